// The data module and the shared helpers: rounding, GUIDs, rights, the log,
// start-up against a missing server, the temporary tables and safe quoting.
#include "TestFixture.h"
#include "data/DbError.h"
#include "data/uFunction.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QtTest>

class TestData : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

private slots:
    void initTestCase() { fx = std::make_unique<TestFixture>(); }
    void cleanupTestCase() { fx.reset(); }
    void init() { fx->ui().clear(); }

    void roundFloat_data()
    {
        QTest::addColumn<int>("places");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.675 to 2") << 2 << 2.675 << 2.68;
        QTest::newRow("12.345 to 2") << 2 << 12.345 << 12.35;
        QTest::newRow("2.5 to 0") << 0 << 2.5 << 3.0;
        QTest::newRow("-2.5 to 0") << 0 << -2.5 << -3.0;
        QTest::newRow("0.3 to 0") << 0 << 0.3 << 0.0;
        QTest::newRow("0.5 to 0") << 0 << 0.5 << 1.0;
        QTest::newRow("0.001 to 2") << 2 << 0.001 << 0.0;
        QTest::newRow("0.005 to 2") << 2 << 0.005 << 0.01;
        QTest::newRow("-0.005 to 2") << 2 << -0.005 << -0.01;
        QTest::newRow("zero") << 3 << 0.0 << 0.0;
        QTest::newRow("carry through nines") << 0 << 999.5 << 1000.0;
        QTest::newRow("1.005 to 2") << 2 << 1.005 << 1.01;
        QTest::newRow("10 places") << 10 << 1.23456789015 << 1.2345678902;
        QTest::newRow("large") << 2 << 123456789.125 << 123456789.13;
        QTest::newRow("already round") << 4 << 7.5 << 7.5;
        QTest::newRow("small with leading zeros") << 3 << 0.0456 << 0.046;
    }
    void roundFloat()
    {
        QFETCH(int, places);
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(::roundFloat(places, value), expected);
    }

    void formatFloatUsesCompanyPlaces_data()
    {
        QTest::addColumn<int>("flag");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        // Company: quantities 0 places, prices 3, amounts 1.
        QTest::newRow("quantity 0.3") << 1 << 0.3 << 0.0;
        QTest::newRow("quantity 0.5") << 1 << 0.5 << 1.0;
        QTest::newRow("price") << 2 << 3.33333 << 3.333;
        QTest::newRow("amount") << 3 << 7.25 << 7.3;
        QTest::newRow("flag 4 whole numbers") << 4 << 2.5 << 3.0;
        QTest::newRow("flag 0 whole numbers") << 0 << 1.49 << 1.0;
    }
    void formatFloatUsesCompanyPlaces()
    {
        QFETCH(int, flag);
        QFETCH(double, value);
        QFETCH(double, expected);
        fx->exec(QStringLiteral("update tb_company set quantity_size=0, price_size=3, amount_size=1"));
        fx->dm().getCompanyInfo();
        QCOMPARE(fx->dm().formatFloat(value, flag), expected);
        fx->exec(QStringLiteral("update tb_company set quantity_size=2, price_size=2, amount_size=2"));
        fx->dm().getCompanyInfo();
    }

    void newGuidTextShape()
    {
        const QRegularExpression shape(QStringLiteral("^[0-9A-F]{32}$"));
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i) {
            const QString g = newGuidText();
            QVERIFY2(shape.match(g).hasMatch(), qPrintable(g));
            seen.insert(g);
        }
        QCOMPARE(seen.size(), 200);
    }

    void checkUserRight()
    {
        // Administrator (role 1) passes a module that has no rights row at all.
        QVERIFY(fx->dm().checkUserRight(QStringLiteral("没有这个模块"), QStringLiteral("can_del")));

        // Role 3: first matching row wins, is_stop is ignored, unknown modules are refused.
        fx->exec(QStringLiteral("insert into tb_role (id, role_no, role_name) values (3, '003', '仓管')"));
        fx->exec(QStringLiteral("insert into tb_employee (id, emp_no, emp_name) values (3, '03', '仓管员')"));
        fx->exec(QStringLiteral("insert into tb_user (role_id, emp_id, password) values (3, 3, '1')"));
        fx->exec(QStringLiteral(
            "insert into tb_role_rights (role_id, module, is_stop, can_read, can_edit, can_del, can_print, can_export) "
            "values (3, '仓库', 1, 1, 0, 1, 0, 1), (3, '仓库', 0, 0, 1, 0, 1, 0), (3, '货品', 0, 0, 0, 0, 0, 0)"));
        fx->loginAs(QStringLiteral("仓管员"));
        TfrmDM &dm = fx->dm();
        QVERIFY(!dm.user->isSuper);
        QVERIFY(dm.checkUserRight(QStringLiteral("仓库"), QStringLiteral("can_read")));
        QVERIFY(!dm.checkUserRight(QStringLiteral("仓库"), QStringLiteral("can_edit")));
        QVERIFY(dm.checkUserRight(QStringLiteral("仓库"), QStringLiteral("can_del")));
        QVERIFY(dm.checkUserRight(QStringLiteral("仓库"), QStringLiteral("can_export")));
        QVERIFY(!dm.checkUserRight(QStringLiteral("货品"), QStringLiteral("can_read")));
        QVERIFY(!dm.checkUserRight(QStringLiteral("仓 库"), QStringLiteral("can_read")));
        QVERIFY(!dm.checkUserRight(QStringLiteral("没有这个模块"), QStringLiteral("can_read")));
        fx->loginAs(QStringLiteral("管理员"));
    }

    // The demo login may look at everything but change nothing: the dialogs
    // that write after the read check alone stay closed to it.
    void demoRoleMayOnlyLook_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("right");
        QTest::addColumn<bool>("granted");
        QTest::newRow("open a bill") << QStringLiteral("采购入库") << QStringLiteral("can_read") << true;
        QTest::newRow("print a report") << QStringLiteral("货品库存表") << QStringLiteral("can_print") << true;
        QTest::newRow("export the finder") << QStringLiteral("单据查询") << QStringLiteral("can_export") << true;
        QTest::newRow("edit goods") << QStringLiteral("货品") << QStringLiteral("can_edit") << false;
        QTest::newRow("delete a bill") << QStringLiteral("销售出库") << QStringLiteral("can_del") << false;
        QTest::newRow("company dialog") << QStringLiteral("公司信息") << QStringLiteral("can_read") << false;
        QTest::newRow("clearing of data") << QStringLiteral("清除数据") << QStringLiteral("can_read") << false;
    }
    void demoRoleMayOnlyLook()
    {
        QFETCH(QString, module);
        QFETCH(QString, right);
        QFETCH(bool, granted);
        fx->loginAs(QStringLiteral("测试用户"));
        const bool answer = fx->dm().checkUserRight(module, right);
        fx->loginAs(QStringLiteral("管理员"));
        QCOMPARE(answer, granted);
    }

    void writeLogCarriesLoginName()
    {
        fx->loginAs(QStringLiteral("测试用户"));
        fx->dm().writeLog(QStringLiteral("仓库"), QStringLiteral("浏览"));
        QSqlQuery q = fx->db().read(
            QStringLiteral("select module, action, user_name, a_time from tb_user_log order by id desc limit 1"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("仓库"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("浏览"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("测试用户"));
        QVERIFY(qAbs(q.value(3).toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
        fx->loginAs(QStringLiteral("管理员"));
    }

    void startupWithoutServerWarnsOnce()
    {
        ConnectionSettings s = TestFixture::settings();
        s.port = 1; // nothing listens there
        fx->ui().clear();
        TfrmDM lonely(s);
        const auto warnings = fx->ui().ofKind(ScriptedInteraction::Kind::Warning);
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.first().caption, QStringLiteral("连接数据库"));
        QVERIFY(!warnings.first().text.isEmpty());
        QCOMPARE(fx->ui().messages.size(), 1);
        QVERIFY(!lonely.isConnected());
        QVERIFY(!lonely.fdCompany.isActive());
    }

    void temporaryTablesExistOnTheConnection()
    {
        for (const char *table : {"temp_store_goods", "temp_store_hz", "temp_store_hz2"}) {
            const QString t = QString::fromLatin1(table);
            fx->exec(QStringLiteral("insert into %1 (goods_id, store_id) values (1, 1)").arg(t));
            QCOMPARE(fx->scalar(QStringLiteral("select count(*) from %1").arg(t)).toInt(), 1);
            fx->exec(QStringLiteral("delete from %1").arg(t));
        }
        fx->exec(QStringLiteral("insert into temp_store_goods (goods_id) values (1)"));
        QVERIFY(fx->scalar(QStringLiteral("select max(id) from temp_store_goods")).toInt() >= 103);
        // A second connection does not see them.
        DbConnection other(QStringLiteral("tst_other"));
        other.configure(TestFixture::settings());
        other.open();
        QVERIFY_THROWS_EXCEPTION(DbError, other.read(QStringLiteral("select * from temp_store_goods")));
    }

    void quotedTextIsStoredAndFoundUnchanged()
    {
        const QString name = QStringLiteral("O'Neil \\ 仓库\\' or 1=1 -- ");
        DbConnection &db = fx->db();
        db.exec(QStringLiteral("insert into tb_store (store_no, store_name) values ('Q1', %1)").arg(db.quote(name)));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store where store_name=%1").arg(db.quote(name)))
                     .toInt(),
                 1);
        QCOMPARE(fx->scalar(QStringLiteral("select store_name from tb_store where store_no='Q1'")).toString(), name);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store")).toInt(), 1);
    }

    void companyRowLoaded()
    {
        QVERIFY(fx->dm().fdCompany.isActive());
        QCOMPARE(fx->dm().fdCompany.recordCount(), 1);
        QCOMPARE(fx->dm().fdCompany.value(QStringLiteral("CKDB_mark")).toString(), QStringLiteral("CKDB"));
    }
};

QTEST_MAIN(TestData)
#include "tst_data.moc"
