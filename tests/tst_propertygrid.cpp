// The property grid of the record dialogs: rows under headings, keys that
// move between rows and wrap, editors that write to the dataset's current row
// and follow it.
#include "TestFixture.h"
#include "frames/PropertyGrid.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

class TestPropertyGrid : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;
    std::unique_ptr<Dataset> ds;
    std::unique_ptr<QWidget> window;
    PropertyGrid *grid = nullptr;
    int buttonPresses = 0;

private slots:
    void initTestCase() { fx = std::make_unique<TestFixture>(); }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->reset();
        fx->exec(QStringLiteral("insert into tb_goods (goods_no, goods_name, unit, in_price, is_stop) values "
                                "('G1','甲','个',2.5,0),('G2','乙','箱',NULL,1)"));
        ds = std::make_unique<Dataset>(fx->db());
        ds->setSql(QStringLiteral("select * from tb_goods order by id"));
        ds->setUpdateTable(QStringLiteral("tb_goods"));
        ds->open();
        window = std::make_unique<QWidget>();
        grid = new PropertyGrid(window.get());
        buttonPresses = 0;
        grid->setCategories({
            {QStringLiteral("一"),
             {{.field = QStringLiteral("goods_no"), .caption = QStringLiteral("货号"), .maxLength = 5},
              {.field = QStringLiteral("unit"), .caption = QStringLiteral("单位"), .kind = EditorKind::DropDown,
               .items = {QStringLiteral("个"), QStringLiteral("箱")}},
              {.field = QStringLiteral("goods_name"), .caption = QStringLiteral("货名"), .kind = EditorKind::Ellipsis,
               .onButton = [this] { ++buttonPresses; }}}},
            {QStringLiteral("二"),
             {{.field = QStringLiteral("in_price"), .caption = QStringLiteral("入库价"), .kind = EditorKind::Number},
              {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check}}},
        });
        grid->setDataset(ds.get());
        window->show();
    }
    void cleanup()
    {
        window.reset();
        ds.reset();
    }

    void rowsUnderHeadingsFollowTheCurrentRecord()
    {
        QCOMPARE(grid->headings(), QStringList({QStringLiteral("一"), QStringLiteral("二")}));
        QCOMPARE(grid->fields(), QStringList({"goods_no", "unit", "goods_name", "in_price", "is_stop"}));
        QCOMPARE(grid->captionOf(QStringLiteral("in_price")), QStringLiteral("入库价"));
        for (const QString &f : grid->fields())
            QVERIFY2(grid->editor(f)->isVisible(), qPrintable(f));
        QCOMPARE(grid->shownText(QStringLiteral("in_price")), QStringLiteral("2.5"));
        QCOMPARE(grid->shownText(QStringLiteral("unit")), QStringLiteral("个"));
        QCOMPARE(grid->shownText(QStringLiteral("is_stop")), QStringLiteral("否"));
        ds->next();
        QCOMPARE(grid->shownText(QStringLiteral("goods_no")), QStringLiteral("G2"));
        QCOMPARE(grid->shownText(QStringLiteral("in_price")), QString());
        QCOMPARE(grid->shownText(QStringLiteral("is_stop")), QStringLiteral("是"));
    }

    void keysMoveToTheNextRowAndWrap_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("Enter") << int(Qt::Key_Return) << "goods_no" << "unit";
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "unit" << "goods_name";
        QTest::newRow("Tab") << int(Qt::Key_Tab) << "goods_name" << "in_price";
        QTest::newRow("Enter wraps") << int(Qt::Key_Return) << "is_stop" << "goods_no";
        QTest::newRow("Tab wraps") << int(Qt::Key_Tab) << "is_stop" << "goods_no";
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << "in_price" << "goods_name";
        QTest::newRow("Shift+Tab wraps") << int(Qt::Key_Backtab) << "goods_no" << "is_stop";
    }
    void keysMoveToTheNextRowAndWrap()
    {
        QFETCH(int, key);
        QFETCH(QString, from);
        QFETCH(QString, to);
        grid->focusRow(from);
        QCOMPARE(grid->focusedField(), from);
        QWidget *target = grid->editor(from);
        if (auto *combo = qobject_cast<QComboBox *>(target))
            target = combo->lineEdit();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(grid->focusedField(), to);
        QCOMPARE(ds->recNo(), 0); // the grid never moves to another record
        QCOMPARE(ds->state(), Dataset::State::Browse);
    }

    void typingWritesTheCurrentRow()
    {
        auto *no = qobject_cast<QLineEdit *>(grid->editor(QStringLiteral("goods_no")));
        QCOMPARE(no->maxLength(), 5);
        grid->focusRow(QStringLiteral("goods_no"));
        no->selectAll();
        QTest::keyClicks(no, QStringLiteral("X9"));
        QCOMPARE(ds->state(), Dataset::State::Edit);
        QCOMPARE(ds->value(QStringLiteral("goods_no")).toString(), QStringLiteral("X9"));
        QCOMPARE(no->text(), QStringLiteral("X9"));

        auto *price = qobject_cast<QLineEdit *>(grid->editor(QStringLiteral("in_price")));
        price->selectAll();
        QTest::keyClicks(price, QStringLiteral("abc")); // refused by the editor
        QCOMPARE(ds->value(QStringLiteral("in_price")).toDouble(), 2.5);
        price->selectAll();
        QTest::keyClick(price, Qt::Key_Delete); // emptied: no value
        QVERIFY(ds->value(QStringLiteral("in_price")).isNull());
        QTest::keyClicks(price, QStringLiteral("7.25"));
        QCOMPARE(ds->value(QStringLiteral("in_price")).toDouble(), 7.25);

        // A unit not in the list is kept as typed.
        auto *unit = qobject_cast<QComboBox *>(grid->editor(QStringLiteral("unit")));
        unit->lineEdit()->selectAll();
        QTest::keyClicks(unit->lineEdit(), QStringLiteral("kg"));
        QCOMPARE(ds->value(QStringLiteral("unit")).toString(), QStringLiteral("kg"));

        qobject_cast<QCheckBox *>(grid->editor(QStringLiteral("is_stop")))->click();
        QCOMPARE(ds->value(QStringLiteral("is_stop")).toBool(), true);

        // The button row shows its text read-only and runs its action.
        auto *name = qobject_cast<QLineEdit *>(grid->editor(QStringLiteral("goods_name")));
        QVERIFY(name->isReadOnly());
        name->parentWidget()->findChild<QAbstractButton *>()->click();
        QCOMPARE(buttonPresses, 1);

        QVERIFY(ds->post());
        QCOMPARE(fx->scalar(QStringLiteral("select concat_ws('|', goods_no, unit, cast(in_price as double), is_stop) "
                                           "from tb_goods where goods_name='甲'"))
                     .toString(),
                 QStringLiteral("X9|kg|7.25|1"));
        ds->cancel();
    }

    void cancelShowsTheStoredValuesAgain()
    {
        auto *no = qobject_cast<QLineEdit *>(grid->editor(QStringLiteral("goods_no")));
        no->selectAll();
        QTest::keyClicks(no, QStringLiteral("ZZ"));
        ds->cancel();
        QCOMPARE(no->text(), QStringLiteral("G1"));
    }
};

QTEST_MAIN(TestPropertyGrid)
#include "tst_propertygrid.moc"
