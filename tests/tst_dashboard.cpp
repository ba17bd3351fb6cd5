// The home dashboard: tiles, pies, week charts and the stock ranking over a
// small database of bills, refresh on demand, failures and the proportions.
#include "TestFixture.h"
#include "app/uDashboard.h"
#include "data/DbError.h"
#include "data/uFunction.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPieSeries>
#include <QPushButton>
#include <QtTest>

namespace {

struct Line {
    int goods;
    double quantity;
    QString inReason = {};
    QString outReason = {};
};

// Slices of a pie chart as "label=value", sorted (the server sets no order).
QStringList pieSlices(QChartView *view) {
    QStringList out;
    const auto series = view->chart()->series();
    if (series.isEmpty())
        return out;
    for (QPieSlice *s : static_cast<QPieSeries *>(series.first())->slices())
        out << QStringLiteral("%1=%2").arg(s->label()).arg(s->value());
    out.sort();
    return out;
}

// Points of a week chart as "month-day:quantity".
QStringList weekPoints(QChartView *view) {
    QStringList out;
    const auto axes = view->chart()->axes(Qt::Horizontal);
    const QStringList days = static_cast<QBarCategoryAxis *>(axes.first())->categories();
    auto *quantity = static_cast<QLineSeries *>(view->chart()->series().at(0));
    for (int i = 0; i < days.size(); ++i)
        out << QStringLiteral("%1:%2").arg(days.at(i)).arg(quantity->at(i).y());
    return out;
}

} // namespace

class TestDashboard : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    void goods(int id, const QString &name, const QString &high, const QString &low) {
        fx->exec(QStringLiteral("insert into tb_goods (id, goods_no, goods_name, high_limit, low_limit) "
                                "values (%1, 'G%1', '%2', %3, %4)")
                     .arg(id)
                     .arg(name, high, low));
    }
    // One bill; every line is priced at 2.
    void bill(int sign, int inStore, int outStore, const QString &dateExpr, const QList<Line> &lines) {
        const QString guid = newGuidText();
        fx->exec(
            QStringLiteral(
                "insert into tb_in_out_main (create_date, sign, in_store_id, out_store_id, guid, bill_no) "
                "values (%1, %2, %3, %4, '%5', left('%5', 16))")
                .arg(dateExpr)
                .arg(sign)
                .arg(inStore)
                .arg(outStore)
                .arg(guid));
        for (const Line &l : lines)
            fx->db().exec(
                QStringLiteral("insert into tb_in_out_detail (guid, goods_id, quantity, price, amount, "
                               "in_reason, out_reason) values (?, ?, ?, 2, ?, ?, ?)"),
                DbConnection::Kind::Write,
                {guid, l.goods, l.quantity, l.quantity * 2, l.inReason.isEmpty() ? QVariant() : l.inReason,
                 l.outReason.isEmpty() ? QVariant() : l.outReason});
    }

private slots:
    void initTestCase() { fx = std::make_unique<TestFixture>(); }
    void cleanupTestCase() { fx.reset(); }
    void init() {
        fx->reset();
        fx->exec(QStringLiteral("insert into tb_store (id, store_no, store_name) values (1, '01', '总仓'), "
                                "(2, '02', '分仓')"));
    }

    void emptyStockShowsEmptyFigures() {
        THomeDashboard dash;
        dash.initData();
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QString());
        QCOMPARE(dash.tileValue(QStringLiteral("TotalAmount")), QStringLiteral("￥"));
        QCOMPARE(dash.tileValue(QStringLiteral("UpLimit")), QStringLiteral("0"));
        QCOMPARE(dash.tileValue(QStringLiteral("LowLimit")), QStringLiteral("0"));
        QCOMPARE(dash.tileValue(QStringLiteral("TotalYK")), QString());
        QCOMPARE(dash.tileValue(QStringLiteral("TotalCK")), QString());
        auto *ranking = static_cast<QBarSeries *>(dash.cxGrid1->chart()->series().first());
        QCOMPARE(ranking->barSets().first()->count(), 0);
        QCOMPARE(pieSlices(dash.cxGrid5), QStringList());
    }

    void limitsTotalsAndRanking() {
        goods(1, QStringLiteral("甲"), QStringLiteral("10"), QStringLiteral("1"));      // at its upper limit
        goods(2, QStringLiteral("乙"), QStringLiteral("NULL"), QStringLiteral("NULL")); // no limits
        goods(3, QStringLiteral("丙"), QStringLiteral("10"), QStringLiteral("1"));      // above
        goods(4, QStringLiteral("丁"), QStringLiteral("10"), QStringLiteral("2"));      // below
        goods(5, QStringLiteral("戊"), QStringLiteral("2"), QStringLiteral("2"));       // exactly at both
        goods(6, QStringLiteral("己"), QStringLiteral("NULL"), QStringLiteral("NULL")); // moved to zero
        goods(7, QStringLiteral("庚"), QStringLiteral("NULL"), QStringLiteral("NULL")); // negative
        const QString longAgo = QStringLiteral("DATE_SUB(NOW(), INTERVAL 30 DAY)");
        bill(0, 1, 0, longAgo, {{1, 10}, {2, 3}, {3, 12}, {4, 1}, {5, 2}, {6, 5}});
        bill(11, 0, 1, longAgo, {{6, 5}, {7, 1}});

        THomeDashboard dash;
        dash.initData();
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QStringLiteral("27"));
        QCOMPARE(dash.tileValue(QStringLiteral("TotalAmount")), QStringLiteral("￥54"));
        QCOMPARE(dash.tileValue(QStringLiteral("UpLimit")), QStringLiteral("1"));
        QCOMPARE(dash.tileValue(QStringLiteral("LowLimit")), QStringLiteral("1"));
        QCOMPARE(dash.tileValue(QStringLiteral("TotalYK")), QString());

        const QStringList names =
            static_cast<QBarCategoryAxis *>(dash.cxGrid1->chart()->axes(Qt::Horizontal).first())
                ->categories();
        QCOMPARE(names, QStringList({"丙", "甲", "乙", "戊", "丁", "庚"}));
        auto *ranking = static_cast<QBarSeries *>(dash.cxGrid1->chart()->series().first());
        QCOMPARE(ranking->barSets().at(0)->label(), QStringLiteral("数量"));
        QCOMPARE(ranking->barSets().at(0)->at(0), 12.0);
        QCOMPARE(ranking->barSets().at(1)->at(0), 24.0);
        QCOMPARE(ranking->barSets().at(0)->at(5), -1.0);
    }

    void todayLeavesTransfersOutOfTheTilesOnly() {
        goods(1, QStringLiteral("甲"), QStringLiteral("NULL"), QStringLiteral("NULL"));
        bill(0, 1, 0, QStringLiteral("DATE_SUB(NOW(), INTERVAL 30 DAY)"), {{1, 100}});
        bill(0, 1, 0, QStringLiteral("CURDATE() + INTERVAL 1 SECOND"), {{1, 5, QStringLiteral("采购入库")}});
        bill(11, 0, 1, QStringLiteral("CURDATE() + INTERVAL 2 SECOND"),
             {{1, 2, {}, QStringLiteral("销售出库")}});
        bill(19, 2, 1, QStringLiteral("CURDATE() + INTERVAL 3 SECOND"),
             {{1, 3, QStringLiteral("调拨入库"), QStringLiteral("调拨出库")}});
        bill(0, 1, 0, QStringLiteral("CURDATE()"),
             {{1, 100, QStringLiteral("采购入库")}}); // midnight: not today's
        bill(2, 1, 0, QStringLiteral("DATE_SUB(NOW(), INTERVAL 2 DAY)"),
             {{1, 7, QStringLiteral("生产入库")}});

        THomeDashboard dash;
        dash.initData();
        QCOMPARE(dash.tileValue(QStringLiteral("TotalYK")), QStringLiteral("5"));
        QCOMPARE(dash.tileValue(QStringLiteral("TotalCK")), QStringLiteral("2"));
        QCOMPARE(pieSlices(dash.cxGrid5), QStringList({"调拨入库=3", "采购入库=5"}));
        QCOMPARE(pieSlices(dash.cxGrid4), QStringList({"调拨出库=3", "销售出库=2"}));

        const QString today = fx->scalar(QStringLiteral("select left(now(),10)")).toString();
        const QString twoDaysAgo =
            fx->scalar(QStringLiteral("select left(DATE_SUB(NOW(), INTERVAL 2 DAY),10)")).toString();
        QCOMPARE(weekPoints(dash.cxGrid3), QStringList({twoDaysAgo.mid(5) + ":7", today.mid(5) + ":108"}));
        QCOMPARE(weekPoints(dash.cxGrid2), QStringList({today.mid(5) + ":5"}));
        // The goods now lies in two warehouses: two bars, both named after it.
        const QStringList ranked =
            static_cast<QBarCategoryAxis *>(dash.cxGrid1->chart()->axes(Qt::Horizontal).first())
                ->categories();
        QCOMPARE(ranked.size(), 2);
        QCOMPARE(ranked.at(0).left(1), QStringLiteral("甲"));
        QCOMPARE(ranked.at(1).left(1), QStringLiteral("甲"));
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QStringLiteral("210"));
    }

    void figuresChangeOnlyOnRefresh() {
        goods(1, QStringLiteral("甲"), QStringLiteral("NULL"), QStringLiteral("NULL"));
        bill(0, 1, 0, QStringLiteral("DATE_SUB(NOW(), INTERVAL 30 DAY)"), {{1, 4}});
        THomeDashboard dash;
        dash.initData();
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QStringLiteral("4"));

        bill(0, 1, 0, QStringLiteral("DATE_SUB(NOW(), INTERVAL 30 DAY)"), {{1, 0.25}});
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QStringLiteral("4"));
        dash.btnRefresh->click();
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QStringLiteral("4.25"));
        QCOMPARE(dash.tileValue(QStringLiteral("TotalAmount")), QStringLiteral("￥8.5"));
    }

    void failingStatementKeepsWhatWasShown() {
        goods(1, QStringLiteral("甲"), QStringLiteral("NULL"), QStringLiteral("NULL"));
        bill(0, 1, 0, QStringLiteral("DATE_SUB(NOW(), INTERVAL 30 DAY)"), {{1, 4}});
        THomeDashboard dash;
        dash.initData();
        fx->exec(QStringLiteral("drop procedure sp_store_goods"));
        bill(0, 1, 0, QStringLiteral("DATE_SUB(NOW(), INTERVAL 30 DAY)"), {{1, 1}});
        QVERIFY_THROWS_EXCEPTION(DbError, dash.initData());
        QCOMPARE(dash.tileValue(QStringLiteral("TotalQuantity")), QStringLiteral("4"));
        QCOMPARE(
            static_cast<QBarSeries *>(dash.cxGrid1->chart()->series().first())->barSets().first()->count(),
            1);
    }

    void valueText_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << QVariant() << "";
        QTest::newRow("whole decimal") << QVariant(150.0) << "150";
        QTest::newRow("fraction") << QVariant(12.5) << "12.5";
        QTest::newRow("negative") << QVariant(-0.25) << "-0.25";
        QTest::newRow("large") << QVariant(12345678.5) << "12345678.5";
        QTest::newRow("count") << QVariant(qlonglong(3)) << "3";
    }
    void valueText() {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(THomeDashboard::valueText(value), text);
    }

    void proportionsFollowTheSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366x768 work area") << QSize(1150, 560);
        QTest::newRow("1920x1080 work area") << QSize(1700, 880);
    }
    void proportionsFollowTheSize() {
        QFETCH(QSize, size);
        THomeDashboard dash;
        dash.resize(size);
        dash.show();
        QCOMPARE(dash.cxGrid5->width(), size.width() / 4 - 5);
        QCOMPARE(dash.cxGrid2->width(), size.width() / 4 - 5);
        const int h = (size.height() - dash.pTitle->height() - dash.dxTileControl1->height()) / 2;
        QCOMPARE(dash.pGrids->height(), h);
        QCOMPARE(dash.cxGrid1->height(), h);
        QVERIFY(dash.cxGrid1->geometry().bottom() < size.height());
    }
};

QTEST_MAIN(TestDashboard)
#include "tst_dashboard.moc"
