#include "uDashboard.h"

#include "data/udm.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPieSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

constexpr int kTileStripHeight = 118;

QChartView *newChartView(QWidget *parent, const QString &name) {
    auto *view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

QFont chartFont(int pixels, bool bold = false) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A fresh chart for the view, so that old series and axes go together.
QChart *resetChart(QChartView *view, const QString &title) {
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(chartFont(14, true));
    chart->legend()->setFont(chartFont(12));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
    return chart;
}

// A scale from 0 (or the lowest value) to the highest value; an empty or flat
// series still gets a proper range.
QValueAxis *valueAxis(const QList<double> &values) {
    double lo = 0, hi = 0;
    for (double v : values) {
        lo = qMin(lo, v);
        hi = qMax(hi, v);
    }
    if (hi <= lo)
        hi = lo + 1;
    auto *axis = new QValueAxis;
    axis->setLabelsFont(chartFont(11));
    axis->setRange(lo, hi);
    axis->applyNiceNumbers();
    axis->setLabelFormat(hi - lo < 5 ? QStringLiteral("%.2f") : QStringLiteral("%.0f"));
    return axis;
}

QBarCategoryAxis *categoryAxis(const QStringList &categories, const QString &title = {}) {
    auto *axis = new QBarCategoryAxis;
    axis->setLabelsFont(chartFont(11));
    axis->setTitleFont(chartFont(13, true));
    axis->setTitleText(title);
    // Category names must be unique on the axis; goods ranked once per
    // warehouse repeat their name, so repeats get invisible marks.
    QStringList unique;
    for (const QString &c : categories) {
        QString text = c;
        while (unique.contains(text))
            text += QChar(0x200B);
        unique << text;
    }
    axis->append(unique);
    return axis;
}

void fillPie(QChartView *view, const QString &title, const Dataset *data, const QString &category,
             const QString &value, const QString &seriesName) {
    QChart *chart = resetChart(view, title);
    if (!data)
        return;
    auto *series = new QPieSeries;
    series->setName(seriesName);
    for (int row = 0; row < data->recordCount(); ++row)
        series->append(data->valueAt(row, category).toString(), data->valueAt(row, value).toDouble());
    chart->addSeries(series);
}

void fillWeek(QChartView *view, const QString &axisTitle, const Dataset *data, const QString &quantity,
              const QString &amount) {
    QChart *chart = resetChart(view, QString());
    if (!data)
        return;
    QStringList days;
    QList<double> values;
    auto *qty = new QLineSeries;
    qty->setName(QStringLiteral("数量"));
    auto *amt = new QLineSeries;
    amt->setName(QStringLiteral("金额"));
    for (int row = 0; row < data->recordCount(); ++row) {
        // The day is shown as month and day so that a whole week fits under a small chart.
        days << data->valueAt(row, QStringLiteral("the_day")).toString().mid(5);
        qty->append(row, data->valueAt(row, quantity).toDouble());
        amt->append(row, data->valueAt(row, amount).toDouble());
        values << qty->points().last().y() << amt->points().last().y();
    }
    chart->addSeries(qty);
    chart->addSeries(amt);
    QBarCategoryAxis *x = categoryAxis(days, axisTitle);
    QValueAxis *y = valueAxis(values);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries *s : {qty, amt}) {
        s->setPointsVisible(true);
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

void fillRanking(QChartView *view, const Dataset *data) {
    QChart *chart = resetChart(view, QStringLiteral("库存排行榜"));
    if (!data)
        return;
    auto *qty = new QBarSet(QStringLiteral("数量"));
    auto *amt = new QBarSet(QStringLiteral("金额"));
    QStringList goods;
    QList<double> values;
    for (int row = 0; row < data->recordCount(); ++row) {
        goods << data->valueAt(row, QStringLiteral("goods_name")).toString();
        *qty << data->valueAt(row, QStringLiteral("quantity")).toDouble();
        *amt << data->valueAt(row, QStringLiteral("amount")).toDouble();
        values << qty->at(row) << amt->at(row);
    }
    auto *series = new QBarSeries;
    series->append(qty);
    series->append(amt);
    chart->addSeries(series);
    QBarCategoryAxis *x = categoryAxis(goods);
    QValueAxis *y = valueAxis(values);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

} // namespace

struct THomeDashboard::Sources {
    explicit Sources(DbConnection &db)
        : tbGoodsStore(db), tbStoreByInReason(db), tbStoreByOutReason(db), tbWeekYK(db), tbWeekCK(db),
          fdTotal(db) {
        tbGoodsStore.setSql(
            QStringLiteral("SELECT a.*,b.goods_no,b.goods_name,b.model,b.specs,b.unit,c.class_no,"
                           "c.class_name from temp_store_goods a \n"
                           "LEFT JOIN tb_goods b on (b.id=a.goods_id)\n"
                           "left JOIN tb_goods_class c on (c.id=b.class_id)\n"
                           "where a.quantity <> 0\n"
                           "order by quantity desc limit 6 "));
        tbStoreByInReason.setSql(
            QStringLiteral("SELECT in_reason,sum(quantity)  as  入库数量  from v_in_out_detail where "
                           "create_date>curdate() and in_store_id>0  GROUP BY in_reason"));
        tbStoreByOutReason.setSql(
            QStringLiteral("SELECT out_reason,sum(quantity)  as  出库数量  from v_in_out_detail "
                           "where create_date>curdate() and out_store_id>0  GROUP BY out_reason"));
        tbWeekYK.setSql(QStringLiteral(
            "SELECT left(create_date,10) as the_day,sum(quantity) as in_quantity,sum(amount) as in_amount "
            "from "
            "v_in_out_detail where in_store_id>0 and create_date>DATE_SUB(now(),interval 1 week) GROUP BY "
            "left(create_date,10) ORDER BY left(create_date,10)"));
        tbWeekCK.setSql(QStringLiteral(
            "SELECT left(create_date,10) as the_day,sum(quantity) as out_quantity,sum(amount) as out_amount "
            "from "
            "v_in_out_detail where out_store_id>0 and create_date>DATE_SUB(now(),interval 1 week) GROUP BY "
            "left(create_date,10) ORDER BY left(create_date,10)"));
    }

    Dataset tbGoodsStore;
    Dataset tbStoreByInReason;
    Dataset tbStoreByOutReason;
    Dataset tbWeekYK;
    Dataset tbWeekCK;
    Dataset fdTotal;
};

THomeDashboard::THomeDashboard(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("cxTabSheet1"));
    setMinimumSize(400, 300);

    pTitle = new QFrame(this);
    pTitle->setObjectName(QStringLiteral("pTitle"));
    pTitle->setStyleSheet(QStringLiteral("#pTitle{background:#2f5597;} #pTitle QLabel{color:white;}"));
    auto *caption = new QLabel(QStringLiteral("库存状态总览"), pTitle);
    QFont captionFont = caption->font();
    captionFont.setPixelSize(18);
    captionFont.setBold(true);
    caption->setFont(captionFont);
    btnRefresh = new QPushButton(QStringLiteral("刷新"), pTitle);
    btnRefresh->setToolTip(QStringLiteral("刷新"));
    connect(btnRefresh, &QPushButton::clicked, this, &THomeDashboard::initData);
    auto *titleLayout = new QHBoxLayout(pTitle);
    titleLayout->setContentsMargins(12, 6, 12, 6);
    titleLayout->addWidget(caption, 1);
    titleLayout->addWidget(btnRefresh);
    pTitle->setFixedHeight(pTitle->sizeHint().height());

    dxTileControl1 = new QWidget(this);
    dxTileControl1->setObjectName(QStringLiteral("dxTileControl1"));
    auto *tiles = new QHBoxLayout(dxTileControl1);
    tiles->setContentsMargins(8, 8, 8, 8);
    tiles->setSpacing(8);
    addTile(QStringLiteral("TotalQuantity"), QStringLiteral("库存数量"), QStringLiteral("#2e8bcc"));
    addTile(QStringLiteral("TotalAmount"), QStringLiteral("库存金额"), QStringLiteral("#339933"));
    addTile(QStringLiteral("UpLimit"), QStringLiteral("库存量超出上限"), QStringLiteral("#e51400"));
    addTile(QStringLiteral("LowLimit"), QStringLiteral("库存量低于下限"), QStringLiteral("#f09609"));
    addTile(QStringLiteral("TotalYK"), QStringLiteral("今日入库"), QStringLiteral("#8cbf26"));
    addTile(QStringLiteral("TotalCK"), QStringLiteral("今日出库"), QStringLiteral("#a05000"));

    pGrids = new QWidget(this);
    pGrids->setObjectName(QStringLiteral("pGrids"));
    cxGrid5 = newChartView(pGrids, QStringLiteral("cxGrid5"));
    cxGrid4 = newChartView(pGrids, QStringLiteral("cxGrid4"));
    cxGrid3 = newChartView(pGrids, QStringLiteral("cxGrid3"));
    cxGrid2 = newChartView(pGrids, QStringLiteral("cxGrid2"));
    cxGrid1 = newChartView(this, QStringLiteral("cxGrid1"));
    fillCharts();
}

THomeDashboard::~THomeDashboard() = default;

void THomeDashboard::addTile(const QString &name, const QString &title, const QString &color) {
    auto *tile = new QFrame(dxTileControl1);
    tile->setObjectName(name);
    tile->setStyleSheet(QStringLiteral("#%1{background:%2;} #%1 QLabel{color:white;}").arg(name, color));
    auto *titleLabel = new QLabel(title, tile);
    QFont titleFont = titleLabel->font();
    titleFont.setPixelSize(15);
    titleLabel->setFont(titleFont);
    auto *value = new QLabel(tile);
    value->setObjectName(name + QStringLiteral("Value"));
    value->setAlignment(Qt::AlignCenter);
    QFont valueFont = value->font();
    valueFont.setPixelSize(28);
    valueFont.setBold(true);
    value->setFont(valueFont);
    auto *layout = new QVBoxLayout(tile);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->addWidget(titleLabel);
    layout->addWidget(value, 1);
    static_cast<QHBoxLayout *>(dxTileControl1->layout())->addWidget(tile, 1);
    m_tileValues.insert(name, value);
}

void THomeDashboard::setTile(const QString &name, const QString &value) {
    m_tileValues.value(name)->setText(value);
}

QString THomeDashboard::tileValue(const QString &tile) const {
    const QLabel *label = m_tileValues.value(tile);
    return label ? label->text() : QString();
}

QString THomeDashboard::valueText(const QVariant &value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return QLocale::c().toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    return value.toString();
}

QVariant THomeDashboard::total(const QString &sql, const QString &column) {
    data->fdTotal.close();
    data->fdTotal.setSql(sql);
    data->fdTotal.open();
    return data->fdTotal.value(column);
}

void THomeDashboard::initData() {
    if (!data)
        data = std::make_unique<Sources>(TfrmDM::instance().FDConnection1);
    Sources &d = *data;
    for (Dataset *q :
         {&d.tbGoodsStore, &d.tbStoreByInReason, &d.tbStoreByOutReason, &d.tbWeekYK, &d.tbWeekCK, &d.fdTotal})
        q->close();
    TfrmDM::instance().execSQL(QStringLiteral("call sp_store_goods(0,0,0)"));
    for (Dataset *q :
         {&d.tbGoodsStore, &d.tbStoreByInReason, &d.tbStoreByOutReason, &d.tbWeekYK, &d.tbWeekCK})
        q->open();
    fillCharts();

    const QString totals =
        QStringLiteral("SELECT sum(quantity) as a,sum(amount) as b from temp_store_goods ");
    setTile(QStringLiteral("TotalQuantity"), valueText(total(totals)));
    setTile(QStringLiteral("TotalAmount"),
            QStringLiteral("￥") + valueText(d.fdTotal.value(QStringLiteral("b"))));
    setTile(QStringLiteral("TotalYK"),
            valueText(
                total(QStringLiteral("SELECT sum(quantity) as a from v_in_out_detail where in_store_id>0 and "
                                     "sign <> 19 and create_date>CURDATE()"))));
    setTile(QStringLiteral("TotalCK"),
            valueText(total(
                QStringLiteral("SELECT sum(quantity) as a from v_in_out_detail where out_store_id>0 and "
                               "sign <> 19 and create_date>CURDATE()"))));
    setTile(QStringLiteral("UpLimit"),
            valueText(total(
                QStringLiteral("SELECT count(a.goods_id) as a from temp_store_goods a LEFT JOIN tb_goods "
                               "b on (b.id=a.goods_id) where ((high_limit<quantity))"))));
    setTile(QStringLiteral("LowLimit"),
            valueText(total(
                QStringLiteral("SELECT count(a.goods_id) as a from temp_store_goods a LEFT JOIN tb_goods "
                               "b on (b.id=a.goods_id) where ((low_limit>quantity))"))));
}

void THomeDashboard::fillCharts() {
    const Dataset *in = data ? &data->tbStoreByInReason : nullptr;
    const Dataset *out = data ? &data->tbStoreByOutReason : nullptr;
    const Dataset *weekIn = data ? &data->tbWeekYK : nullptr;
    const Dataset *weekOut = data ? &data->tbWeekCK : nullptr;
    const Dataset *ranking = data ? &data->tbGoodsStore : nullptr;
    fillPie(cxGrid5, QStringLiteral("今日入库类型分析"), in, QStringLiteral("in_reason"),
            QStringLiteral("入库数量"), QStringLiteral("入库类型分析"));
    fillPie(cxGrid4, QStringLiteral("今日出库类型分析"), out, QStringLiteral("out_reason"),
            QStringLiteral("出库数量"), QStringLiteral("出库类型分析"));
    fillWeek(cxGrid3, QStringLiteral("一周入库分析"), weekIn, QStringLiteral("in_quantity"),
             QStringLiteral("in_amount"));
    fillWeek(cxGrid2, QStringLiteral("一周出库分析"), weekOut, QStringLiteral("out_quantity"),
             QStringLiteral("out_amount"));
    fillRanking(cxGrid1, ranking);
}

void THomeDashboard::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    relayout();
}

// The four small charts share the strip's width; the strip and the ranking
// chart share the height left below the title and the tiles.
void THomeDashboard::relayout() {
    const int w = width();
    pTitle->setGeometry(0, 0, w, pTitle->height());
    dxTileControl1->setGeometry(0, pTitle->height(), w, kTileStripHeight);
    const int h = (height() - pTitle->height() - kTileStripHeight) / 2;
    const int top = pTitle->height() + kTileStripHeight;
    pGrids->setGeometry(0, top, w, h);
    cxGrid1->setGeometry(0, top + h, w, h);
    const int chartWidth = pGrids->width() / 4 - 5;
    int x = 0;
    for (QChartView *v : {cxGrid5, cxGrid4, cxGrid3, cxGrid2}) {
        v->setGeometry(x, 0, chartWidth, h);
        x += chartWidth + 5;
    }
}
