// Units of measure: the required name, its search code, soft delete, and the
// main window's action.
#include "TestFixture.h"
#include "app/uMain.h"
#include "masterdata/uListUnit.h"

#include <QtTest>

class TestUnit : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }
    void init() { fx->reset(); }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void emptyNameIsRefused()
    {
        TfrmListUnit s;
        s.show();
        s.btnNewClick();
        QCOMPARE(s.FDQuery1.value(QStringLiteral("is_stop")).toBool(), false);
        s.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入计量单位名称!")));
        QCOMPARE(fx->ui().messages.first().kind, ScriptedInteraction::Kind::Warning);
        QCOMPARE(s.FDQuery1.state(), Dataset::State::Insert);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_unit")).toInt(), 0);
    }

    void searchCodeFollowsTheName()
    {
        TfrmListUnit s;
        s.show();
        s.btnNewClick();
        s.FDQuery1.setValue(QStringLiteral("unit_name"), QStringLiteral("公斤"));
        s.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("提示|计量单位【公斤】保存成功!")));
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_unit")).toString(), QStringLiteral("GJ"));
        s.btnEditClick();
        s.FDQuery1.setValue(QStringLiteral("unit_name"), QStringLiteral("箱"));
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_unit")).toString(), QStringLiteral("X"));
    }

    void deletedUnitLeavesTheScreenOnly()
    {
        fx->exec(QStringLiteral("insert into tb_unit (unit_name) values ('个'), ('箱')"));
        fx->exec(QStringLiteral("insert into tb_goods (goods_name, unit) values ('螺丝', '个')"));
        TfrmListUnit s;
        s.show();
        QCOMPARE(s.FDQuery1.recordCount(), 2);
        fx->ui().answers.enqueue(true);
        s.btnDelClick();
        QCOMPARE(s.FDQuery1.recordCount(), 1);
        QCOMPARE(s.FDQuery1.value(QStringLiteral("unit_name")).toString(), QStringLiteral("箱"));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_unit")).toInt(), 2);
        QCOMPARE(fx->scalar(QStringLiteral("select del from tb_unit where unit_name='个'")).toInt(), 1);
        QCOMPARE(fx->scalar(QStringLiteral("select unit from tb_goods")).toString(), QStringLiteral("个"));
        // A later reopening still leaves it out.
        TfrmListUnit again;
        again.show();
        QCOMPARE(again.FDQuery1.recordCount(), 1);
    }

    void mainWindowOpensTheScreen()
    {
        TfrmMain w;
        w.runAction(QStringLiteral("actUnit"));
        QWidget *tab = w.actionTab(QStringLiteral("actUnit"));
        QVERIFY(tab);
        QVERIFY(tab->findChild<TfrmListUnit *>());
    }
};

QTEST_MAIN(TestUnit)
#include "tst_unit.moc"
