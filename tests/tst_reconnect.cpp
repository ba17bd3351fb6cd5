// A connection dropped by the server (here: killed from a second session) is
// reopened once: reads carry on, per-connection temporary tables come back,
// writes are never repeated and an open transaction is never half-written.
#include "TestFixture.h"
#include "data/DbError.h"

#include <QtTest>

class TestReconnect : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;
    std::unique_ptr<DbConnection> admin;

    void killClient()
    {
        const int id = fx->db().serverConnectionId();
        admin->exec(QStringLiteral("KILL %1").arg(id));
    }
    int count(const QString &table)
    {
        QSqlQuery q = admin->read(QStringLiteral("select count(*) from %1").arg(table));
        q.next();
        return q.value(0).toInt();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
        admin = std::make_unique<DbConnection>(QStringLiteral("tst_admin"));
        admin->configure(TestFixture::settings());
        admin->open();
    }
    void cleanupTestCase()
    {
        admin.reset();
        fx.reset();
    }
    void init() { admin->exec(QStringLiteral("delete from tb_store")); }

    void readAfterDropReconnectsAndRestoresTemporaryTables()
    {
        const int before = fx->db().serverConnectionId();
        admin->exec(QStringLiteral("insert into tb_store (store_name) values ('甲')"));
        killClient();
        Dataset ds(fx->db());
        ds.setSql(QStringLiteral("select * from tb_store"));
        ds.open();
        QCOMPARE(ds.recordCount(), 1);
        QVERIFY(fx->db().serverConnectionId() != before);
        fx->exec(QStringLiteral("insert into temp_store_goods (goods_id, store_id, quantity) values (1, 1, 5)"));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from temp_store_hz2")).toInt(), 0);
    }

    void writeAfterDropIsNotRepeated()
    {
        killClient();
        bool failed = false;
        try {
            fx->exec(QStringLiteral("insert into tb_store (store_name) values ('乙')"));
        } catch (const DbError &e) {
            failed = true;
            QVERIFY2(e.message().contains(QStringLiteral("重新连接")), qPrintable(e.message()));
        }
        QVERIFY(failed);
        QCOMPARE(count(QStringLiteral("tb_store")), 0);
        // The connection works again for the next operation.
        fx->exec(QStringLiteral("insert into tb_store (store_name) values ('丙')"));
        QCOMPARE(count(QStringLiteral("tb_store")), 1);
    }

    void transactionCutByDropWritesNothing()
    {
        bool failed = false;
        try {
            TransactionGuard tx(fx->db());
            fx->exec(QStringLiteral("insert into tb_store (store_name) values ('一')"));
            killClient();
            fx->exec(QStringLiteral("insert into tb_store (store_name) values ('二')"));
            tx.commit();
        } catch (const DbError &) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(!fx->db().inTransaction());
        QCOMPARE(count(QStringLiteral("tb_store")), 0);
        // Reads inside a lost transaction are not repeated either, but the next one works.
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store")).toInt(), 0);
    }

    void failedReconnectGivesClearMessage()
    {
        QSqlDatabase handle = fx->db().database();
        const int port = handle.port();
        handle.setPort(1); // the next connect attempt goes nowhere
        killClient();
        bool failed = false;
        try {
            fx->scalar(QStringLiteral("select 1"));
        } catch (const DbError &e) {
            failed = true;
            QVERIFY2(e.message().startsWith(QStringLiteral("与数据库服务器的连接已断开，重新连接失败")),
                     qPrintable(e.message()));
        }
        QVERIFY(failed);
        // While the server stays out of reach every operation says so, and the
        // keep-alive leaves the connection alone.
        QVERIFY_THROWS_EXCEPTION(DbError, fx->scalar(QStringLiteral("select 1")));
        fx->dm().Timer1Timer();
        // Once it is back, the next statement reconnects on its own, with the
        // temporary tables in place again.
        handle.setPort(port);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from temp_store_goods")).toInt(), 0);
        QVERIFY(fx->db().isOpen());
    }

    void keepAliveSurvivesDrop()
    {
        killClient();
        fx->dm().Timer1Timer();
        QCOMPARE(fx->dm().fdHeart.recordCount(), 1);
    }
};

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
