// Bill numbers, class codes, default line prices and the single-goods stock lookup.
#include "TestFixture.h"
#include "data/DbError.h"

#include <QSemaphore>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

namespace {

const QDateTime kDay(QDate(2024, 5, 6), QTime(15, 30));

// Another client that reserves a number inside an open transaction, so that
// our client's insert of the same number waits for it and then collides.
class RivalClient : public QThread {
public:
    RivalClient(QString billNo, QString billDate) : m_billNo(std::move(billNo)), m_billDate(std::move(billDate)) {}
    QSemaphore reserved;
    QString error;

protected:
    void run() override
    {
        const QString name = QStringLiteral("rival");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
            const ConnectionSettings s = TestFixture::settings();
            db.setHostName(s.host);
            db.setPort(s.port);
            db.setUserName(s.user);
            db.setPassword(s.password);
            db.setDatabaseName(s.database);
            if (!db.open()) {
                error = db.lastError().text();
                reserved.release();
                return;
            }
            QSqlQuery q(db);
            q.exec(QStringLiteral("START TRANSACTION"));
            if (!q.exec(QStringLiteral("insert into tb_bill_no (sign, bill_date, bill_no) values (0, '%1', '%2')")
                            .arg(m_billDate, m_billNo)))
                error = q.lastError().text();
            reserved.release();
            QThread::msleep(400);
            q.exec(QStringLiteral("COMMIT"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    QString m_billNo;
    QString m_billDate;
};

} // namespace

class TestNumbering : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    int count(const QString &sql) { return fx->scalar(sql).toInt(); }

private slots:
    void initTestCase() { fx = std::make_unique<TestFixture>(); }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->ui().clear();
        fx->exec(QStringLiteral("delete from tb_bill_no"));
    }

    void prefixes_data()
    {
        QTest::addColumn<int>("sign");
        QTest::addColumn<QString>("expected");
        const QList<QPair<int, QString>> kinds{{0, "CGYK"},  {1, "XSTK"},  {2, "SCYK"},  {3, "TLYK"},  {4, "JHYK"},
                                               {5, "HHYK"},  {10, "CGTK"}, {11, "XSCK"}, {12, "SCCK"}, {13, "LLCK"},
                                               {14, "JHTK"}, {15, "JHCK"}, {19, "CKDB"}, {20, "KCPD"}, {7, ""}};
        for (const auto &[sign, prefix] : kinds)
            QTest::addRow("kind %d", sign) << sign << prefix + QStringLiteral("202405060001");
    }
    void prefixes()
    {
        QFETCH(int, sign);
        QFETCH(QString, expected);
        QCOMPARE(fx->dm().getBillNo(sign, kDay), expected);
    }

    void consecutiveCallsReserveConsecutiveNumbers()
    {
        QCOMPARE(fx->dm().getBillNo(0, kDay), QStringLiteral("CGYK202405060001"));
        QCOMPARE(fx->dm().getBillNo(0, kDay), QStringLiteral("CGYK202405060002"));
        QCOMPARE(count(QStringLiteral("select count(*) from tb_bill_no where sign=0 and bill_date='2024-05-06' and "
                                      "bill_no in ('CGYK202405060001','CGYK202405060002')")),
                 2);
        // Other kinds and other days start afresh.
        QCOMPARE(fx->dm().getBillNo(10, kDay), QStringLiteral("CGTK202405060001"));
        QCOMPARE(fx->dm().getBillNo(0, kDay.addDays(1)), QStringLiteral("CGYK202405070001"));
        QCOMPARE(fx->dm().getBillNo(0, kDay), QStringLiteral("CGYK202405060003"));
    }

    void collisionTakesNextSerial()
    {
        // The latest reservation says 0001, but 0002 is already taken.
        fx->exec(QStringLiteral("insert into tb_bill_no (sign,bill_date,bill_no) values (0,'2024-05-06','CGYK202405060002')"));
        fx->exec(QStringLiteral("insert into tb_bill_no (sign,bill_date,bill_no) values (0,'2024-05-06','CGYK202405060001')"));
        QCOMPARE(fx->dm().getBillNo(0, kDay), QStringLiteral("CGYK202405060003"));
    }

    void racingClientsGetDifferentNumbers()
    {
        RivalClient rival(QStringLiteral("CGYK202405060001"), QStringLiteral("2024-05-06"));
        rival.start();
        rival.reserved.acquire();
        QVERIFY2(rival.error.isEmpty(), qPrintable(rival.error));
        // The rival's reservation is not committed yet: we read no latest row and
        // try 0001 too, wait for the rival, lose and take the next serial.
        const QString ours = fx->dm().getBillNo(0, kDay);
        rival.wait();
        QCOMPARE(ours, QStringLiteral("CGYK202405060002"));
        QCOMPARE(count(QStringLiteral("select count(distinct bill_no) from tb_bill_no where bill_date='2024-05-06'")), 2);
    }

    void serialLimitIsRefused()
    {
        fx->exec(QStringLiteral("insert into tb_bill_no (sign,bill_date,bill_no) values (11,'2024-05-06','XSCK202405069999')"));
        try {
            fx->dm().getBillNo(11, kDay);
            QFAIL("the 10000th number was handed out");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("9999")), qPrintable(e.message()));
        }
        QCOMPARE(count(QStringLiteral("select count(*) from tb_bill_no")), 1);
    }

    void classCodes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("parentId");
        QTest::addColumn<QString>("parentCode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first child") << QString() << 1 << QStringLiteral("000") << QStringLiteral("000001");
        QTest::newRow("empty parent code") << QString() << 1 << QString() << QStringLiteral("001");
        QTest::newRow("after two children")
            << QStringLiteral("(1,'000001'),(1,'000002')") << 1 << QStringLiteral("000") << QStringLiteral("000003");
        // 000001 was deleted: the count says 2, but 000002 is in use.
        QTest::newRow("gap after delete")
            << QStringLiteral("(1,'000002'),(1,'000003')") << 1 << QStringLiteral("000") << QStringLiteral("000004");
        QTest::newRow("second level")
            << QStringLiteral("(1,'000001'),(50,'000001001')") << 50 << QStringLiteral("000001")
            << QStringLiteral("000001002");
    }
    void classCodes()
    {
        QFETCH(QString, setup);
        QFETCH(int, parentId);
        QFETCH(QString, parentCode);
        QFETCH(QString, expected);
        fx->exec(QStringLiteral("delete from tb_goods_class where class_no <> '000'"));
        if (!setup.isEmpty())
            fx->exec(QStringLiteral("insert into tb_goods_class (parent_id, class_no) values ") + setup);
        QCOMPARE(fx->dm().getMaxCode(parentId, parentCode, QStringLiteral("tb_goods_class")), expected);
    }

    void classCodeRefusals_data()
    {
        QTest::addColumn<QString>("parentCode");
        QTest::addColumn<QString>("table");
        QTest::newRow("code longer than 10") << QStringLiteral("000001001") << QStringLiteral("tb_goods_class");
        QTest::newRow("not a class table") << QStringLiteral("000") << QStringLiteral("tb_goods; drop table tb_goods");
    }
    void classCodeRefusals()
    {
        QFETCH(QString, parentCode);
        QFETCH(QString, table);
        try {
            const QString code = fx->dm().getMaxCode(1, parentCode, table);
            QFAIL(qPrintable(QStringLiteral("handed out ") + code));
        } catch (const DbError &e) {
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(fx->scalar(QStringLiteral("select count(*) from tb_goods")).isValid());
    }

    void fullLevelIsRefused()
    {
        fx->exec(QStringLiteral("delete from tb_customer_class where class_no <> '000'"));
        fx->exec(QStringLiteral("insert into tb_customer_class (parent_id, class_no) select 1, concat('000', "
                                "lpad(seq, 3, '0')) from (select a.n * 100 + b.n * 10 + c.n + 1 as seq from "
                                "(select 0 n union all select 1 union all select 2 union all select 3 union all "
                                "select 4 union all select 5 union all select 6 union all select 7 union all select 8 "
                                "union all select 9) a, (select 0 n union all select 1 union all select 2 union all "
                                "select 3 union all select 4 union all select 5 union all select 6 union all select 7 "
                                "union all select 8 union all select 9) b, (select 0 n union all select 1 union all "
                                "select 2 union all select 3 union all select 4 union all select 5 union all select 6 "
                                "union all select 7 union all select 8 union all select 9) c) s where seq <= 999"));
        QCOMPARE(count(QStringLiteral("select count(*) from tb_customer_class where parent_id=1")), 999);
        QVERIFY_THROWS_EXCEPTION(DbError, fx->dm().getMaxCode(1, QStringLiteral("000"), QStringLiteral("tb_customer_class")));
        fx->exec(QStringLiteral("delete from tb_customer_class where class_no = '000500'"));
        QCOMPARE(fx->dm().getMaxCode(1, QStringLiteral("000"), QStringLiteral("tb_customer_class")),
                 QStringLiteral("000500"));
    }

    void prices_data()
    {
        QTest::addColumn<int>("sign");
        QTest::addColumn<int>("goodsId");
        QTest::addColumn<double>("expected");
        QTest::newRow("outbound, no stock") << 11 << 2 << 0.0;
        QTest::newRow("outbound, 3 worth 10") << 11 << 1 << 3.33;
        QTest::newRow("stock count, average cost") << 20 << 1 << 3.33;
        QTest::newRow("inbound, from a bill line") << 0 << 1 << 4.0;
        QTest::newRow("inbound, purchase price") << 0 << 2 << 7.5;
        QTest::newRow("inbound, unknown goods") << 0 << 999 << 0.0;
    }
    void prices()
    {
        QFETCH(int, sign);
        QFETCH(int, goodsId);
        QFETCH(double, expected);
        fx->exec(QStringLiteral("delete from tb_goods"));
        fx->exec(QStringLiteral("delete from tb_store_begin"));
        fx->exec(QStringLiteral("delete from tb_in_out_detail"));
        fx->exec(QStringLiteral("delete from tb_in_out_main"));
        fx->exec(QStringLiteral("insert into tb_goods (id, goods_name, in_price) values (1, 'a', 9), (2, 'b', 7.5)"));
        fx->exec(QStringLiteral("insert into tb_store_begin (store_id, goods_id, quantity, price, amount) values (1, 1, 3, 3.3333, 10)"));
        // An inbound line into another store: it sets the proposed purchase
        // price but leaves store 1 at 3 units worth 10.
        fx->exec(QStringLiteral("insert into tb_in_out_main (sign, in_store_id, guid, create_date) values (0, 2, 'P1', now())"));
        fx->exec(QStringLiteral("insert into tb_in_out_detail (guid, goods_id, quantity, price, amount) values ('P1', 1, 2, 4, 8)"));
        QCOMPARE(fx->dm().getPrice(sign, 1, goodsId), expected);
    }

    void goodsStoreOfUnmovedGoodsIsZero()
    {
        double quantity = -1;
        double amount = -1;
        fx->dm().getGoodsStore(1, 424242, quantity, amount);
        QCOMPARE(quantity, 0.0);
        QCOMPARE(amount, 0.0);
        fx->exec(QStringLiteral("call sp_get_goods_store(1, 424242, @q, @a)"));
        QVERIFY(!fx->scalar(QStringLiteral("select @q")).isNull());
        QVERIFY(!fx->scalar(QStringLiteral("select @a")).isNull());
    }
};

QTEST_MAIN(TestNumbering)
#include "tst_numbering.moc"
