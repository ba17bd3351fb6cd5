// The balances kept by triggers (tb_stock_balance, tb_stock_month) under every
// way a bill or opening stock is written, edited and deleted, and the stock
// routines that read them, checked against a full rebuild and against plain
// aggregates of the raw rows written here independently of the routines.
#include "TestFixture.h"
#include "data/DbConnection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

// Stores 1..3; goods 1..6 in classes 000001 (1, 2), 000001001 (3, 4), 000002 (5, 6).
const char *const kMasterData[] = {
    "insert into tb_goods_class (id, class_no, class_name, parent_id) values "
    "(10,'000001','五金',1),(11,'000001001','螺丝',10),(12,'000002','办公',1)",
    "insert into tb_goods (id, class_id, goods_no, goods_name) values "
    "(1,10,'G1','扳手'),(2,10,'G2','钳子'),(3,11,'G3','螺丝'),(4,11,'G4','螺母'),(5,12,'G5','纸'),(6,12,'G6','笔')",
    "insert into tb_store (id, store_no, store_name) values (1,'01','主仓'),(2,'02','分仓'),(3,'03','门店')",
    "insert into tb_store_begin (store_id, goods_id, quantity, price, amount) values "
    "(1,1,50,10,500),(1,2,20,5,100),(2,3,30,2,60),(3,5,10,7,70),(2,6,5,3,15)",
};

const int kKinds[] = {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 14, 15, 19, 20};

// Deterministic history of 90 bills over 14 months (January 2024 to February
// 2025), every kind, one to four lines each, written as the bill editor does:
// the header, then its lines.
QStringList history()
{
    QStringList sql;
    quint32 seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };
    for (int bill = 1; bill <= 90; ++bill) {
        const int sign = kKinds[next(14)];
        const int inStore = 1 + next(3);
        const int outStore = sign == 19 ? 1 + (inStore % 3) : 1 + next(3);
        const QDate day = QDate(2024, 1, 1).addDays(bill * 4 + next(4));
        sql << QStringLiteral("insert into tb_in_out_main (create_date, sign, in_store_id, out_store_id, bill_no, guid) "
                              "values ('%1 %2:00', %3, %4, %5, 'N%6', 'H%6')")
                   .arg(day.toString(Qt::ISODate))
                   .arg(8 + next(10))
                   .arg(sign)
                   .arg(sign < 10 || sign >= 19 ? QString::number(inStore) : QStringLiteral("null"))
                   .arg(sign >= 10 && sign <= 19 ? QString::number(outStore) : QStringLiteral("null"))
                   .arg(bill);
        for (int line = 0, lines = 1 + next(4); line < lines; ++line) {
            const int quantity = (1 + next(9)) * (sign == 20 && next(2) == 0 ? -1 : 1);
            const int price = 2 + next(8);
            sql << QStringLiteral("insert into tb_in_out_detail (guid, goods_id, quantity, price, amount) "
                                  "values ('H%1', %2, %3, %4, %5)")
                       .arg(bill)
                       .arg(1 + next(6))
                       .arg(quantity)
                       .arg(price)
                       .arg(quantity * price);
        }
    }
    return sql;
}

// Every stock effect of the raw rows, written out per kind without the
// server's rule table: goods_id, store_id, dt (null for opening stock),
// q, a, dir (1 received, -1 issued) and line (0 for opening stock).
const QString kEffects = QStringLiteral(
    "(select goods_id, store_id, null as dt, quantity as q, amount as a, 1 as dir, 0 as line "
    "   from tb_store_begin where del = 0 "
    " union all "
    " select d.goods_id, m.in_store_id, m.create_date, d.quantity, d.amount, "
    "   case when m.sign = 20 and d.quantity < 0 then -1 else 1 end, 1 "
    "   from tb_in_out_detail d join tb_in_out_main m on m.guid = d.guid "
    "  where m.sign in (0, 1, 2, 3, 4, 5, 19, 20) "
    " union all "
    " select d.goods_id, m.out_store_id, m.create_date, -d.quantity, -d.amount, -1, 1 "
    "   from tb_in_out_detail d join tb_in_out_main m on m.guid = d.guid "
    "  where m.sign in (10, 11, 12, 13, 14, 15, 19)) e");

// Condition on e.goods_id / e.store_id for the arguments store, class code, goods.
QString selection(int store, const QString &classNo, int goods)
{
    QString where = QStringLiteral(" where 1 = 1");
    if (store != 0)
        where += QStringLiteral(" and e.store_id = %1").arg(store);
    if (goods != 0)
        where += QStringLiteral(" and e.goods_id = %1").arg(goods);
    if (!classNo.isEmpty())
        where += QStringLiteral(" and e.goods_id in (select g.id from tb_goods g join tb_goods_class c "
                                "on c.id = g.class_id where c.class_no like '%1%')")
                     .arg(classNo);
    return where;
}

QString expectedStock(int store, const QString &classNo, int goods)
{
    return QStringLiteral("select goods_id, store_id, sum(coalesce(q, 0)), sum(coalesce(a, 0)) from %1%2 "
                          "group by goods_id, store_id order by goods_id, store_id")
        .arg(kEffects, selection(store, classNo, goods));
}

QString expectedSummary(const QString &start, const QString &end, int store, const QString &classNo, int goods)
{
    const QString before = QStringLiteral("(line = 0 or (dt < '%1' and dt < '%2'))").arg(start, end);
    const QString within = QStringLiteral("(line = 1 and dt >= '%1' and dt < '%2')").arg(start, end);
    return QStringLiteral(
               "select goods_id, store_id, sq, sa, iq, ia, oq, oa, sq + iq - oq, sa + ia - oa from ("
               " select goods_id, store_id,"
               "  sum(if(%1, coalesce(q, 0), 0)) sq, sum(if(%1, coalesce(a, 0), 0)) sa,"
               "  sum(if(%2 and dir = 1, coalesce(q, 0), 0)) iq, sum(if(%2 and dir = 1, coalesce(a, 0), 0)) ia,"
               "  sum(if(%2 and dir = -1, -coalesce(q, 0), 0)) oq, sum(if(%2 and dir = -1, -coalesce(a, 0), 0)) oa,"
               "  sum(%2) n"
               " from %3%4 group by goods_id, store_id) s "
               "where n > 0 or sq <> 0 or sa <> 0 order by goods_id, store_id")
        .arg(before, within, kEffects, selection(store, classNo, goods));
}

// The balance tables without rows whose entries have all been taken out again.
const QString kBalanceRows = QStringLiteral(
    "select goods_id, store_id, entries, quantity, amount from tb_stock_balance "
    "where entries <> 0 or quantity <> 0 or amount <> 0 order by goods_id, store_id");
const QString kMonthRows = QStringLiteral(
    "select month, goods_id, store_id, moves, in_quantity, in_amount, out_quantity, out_amount from tb_stock_month "
    "where moves <> 0 or in_quantity <> 0 or in_amount <> 0 or out_quantity <> 0 or out_amount <> 0 "
    "order by month, goods_id, store_id");

const QString kStoreGoods = QStringLiteral(
    "select goods_id, store_id, quantity, amount from temp_store_goods order by id");
const QString kSummary = QStringLiteral(
    "select goods_id, store_id, start_quantity, start_amount, in_quantity, in_amount, out_quantity, out_amount, "
    "end_quantity, end_amount from temp_store_hz2 order by id");

} // namespace

class TestStockBalances : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    QStringList afterCall(const QString &call, const QString &read)
    {
        fx->dm().execSQL(call);
        return TestFixture::rows(fx->db(), read);
    }

    // The balances as the triggers left them must equal a rebuild from scratch.
    void verifyBalancesMatchRebuild()
    {
        const QStringList balances = TestFixture::rows(fx->db(), kBalanceRows);
        const QStringList months = TestFixture::rows(fx->db(), kMonthRows);
        fx->exec(QStringLiteral("call sp_rebuild_balances()"));
        QCOMPARE(balances, TestFixture::rows(fx->db(), kBalanceRows));
        QCOMPARE(months, TestFixture::rows(fx->db(), kMonthRows));
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
        for (const char *sql : kMasterData)
            fx->exec(QString::fromUtf8(sql));
        for (const QString &sql : history())
            fx->exec(sql);
        QVERIFY(fx->scalar(QStringLiteral("select count(*) from tb_stock_month")).toInt() > 30);
    }
    void cleanupTestCase() { fx.reset(); }

    // Each step builds on the previous ones; after each, the balances equal a
    // rebuild and the stock on hand equals the plain aggregate.
    void editsKeepBalances_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("history as saved") << QStringList{};
        QTest::newRow("quantity and amount of a line changed")
            << QStringList{"update tb_in_out_detail set quantity = quantity + 7, amount = amount + 70 "
                           "where id in (3, 17, 40)"};
        QTest::newRow("goods of a line changed") << QStringList{"update tb_in_out_detail set goods_id = 6 where id = 5"};
        QTest::newRow("memo only changed") << QStringList{"update tb_in_out_detail set memo = '备注' where id = 6",
                                                          "update tb_in_out_main set memo = '备注' where guid = 'H7'"};
        QTest::newRow("receiving store of a header changed")
            << QStringList{"update tb_in_out_main set in_store_id = 1 + in_store_id mod 3 where in_store_id is not null "
                           "and guid in ('H2', 'H9', 'H30')"};
        QTest::newRow("issuing store of a header changed")
            << QStringList{"update tb_in_out_main set out_store_id = 1 + out_store_id mod 3 where out_store_id is not null "
                           "and guid in ('H4', 'H11', 'H31', 'H50')"};
        QTest::newRow("date moved across a month end")
            << QStringList{"update tb_in_out_main set create_date = date_add(create_date, interval 1 month) "
                           "where guid in ('H12', 'H13')",
                           "update tb_in_out_main set create_date = '2023-12-31 23:59:59' where guid = 'H60'"};
        QTest::newRow("kind of a header changed")
            << QStringList{"update tb_in_out_main set sign = 11, out_store_id = 2, in_store_id = null where guid = 'H20'",
                           "update tb_in_out_main set sign = 19, in_store_id = 3, out_store_id = 1 where guid = 'H21'"};
        QTest::newRow("lines deleted") << QStringList{"delete from tb_in_out_detail where id in (8, 9, 33)"};
        QTest::newRow("bill deleted, lines first")
            << QStringList{"delete from tb_in_out_detail where guid='H15'", "delete from tb_in_out_main where guid='H15'"};
        QTest::newRow("header deleted before its lines")
            << QStringList{"delete from tb_in_out_main where guid='H16'"};
        QTest::newRow("lines saved before their header")
            << QStringList{"insert into tb_in_out_detail (guid, goods_id, quantity, price, amount) values "
                           "('L1', 2, 4, 5, 20), ('L1', 3, 1, 2, 2)",
                           "insert into tb_in_out_main (create_date, sign, in_store_id, bill_no, guid) "
                           "values ('2024-09-14 10:00', 0, 2, 'L1', 'L1')"};
        QTest::newRow("undated bill, kind without stock, line without amount")
            << QStringList{"insert into tb_in_out_main (sign, in_store_id, bill_no, guid) values (0, 3, 'U1', 'U1')",
                           "insert into tb_in_out_detail (guid, goods_id, quantity, amount) values ('U1', 5, 2, 14)",
                           "insert into tb_in_out_main (create_date, sign, in_store_id, bill_no, guid) "
                           "values ('2024-10-01', 30, 1, 'X1', 'X1')",
                           "insert into tb_in_out_detail (guid, goods_id, quantity, amount) values ('X1', 1, 99, 990)",
                           "insert into tb_in_out_detail (guid, goods_id, quantity, amount) values ('H40', 1, 1, null)"};
        QTest::newRow("opening stock changed")
            << QStringList{"update tb_store_begin set quantity = 60, amount = 600 where goods_id = 1 and store_id = 1",
                           "update tb_store_begin set store_id = 3 where goods_id = 3"};
        QTest::newRow("opening stock deleted as the screen does")
            << QStringList{"update tb_store_begin set del = 1 where goods_id in (2, 6)",
                           "delete from tb_store_begin where del=1"};
        QTest::newRow("opening stock added") << QStringList{"insert into tb_store_begin (store_id, goods_id, quantity, "
                                                            "price, amount) values (2, 4, 12, 3, 36)"};
        QTest::newRow("every line of a goods deleted")
            << QStringList{"delete from tb_in_out_detail where goods_id = 4"};
    }
    void editsKeepBalances()
    {
        QFETCH(QStringList, statements);
        for (const QString &sql : statements)
            fx->exec(sql);
        verifyBalancesMatchRebuild();
        QCOMPARE(afterCall(QStringLiteral("call sp_store_goods(0,0,0)"), kStoreGoods),
                 TestFixture::rows(fx->db(), expectedStock(0, QString(), 0)));
    }

    // A bill rolled back takes its balance changes with it.
    void rolledBackBillLeavesNoTrace()
    {
        const QStringList before = TestFixture::rows(fx->db(), kBalanceRows);
        const QStringList months = TestFixture::rows(fx->db(), kMonthRows);
        {
            TransactionGuard tx(fx->db());
            fx->exec(QStringLiteral("insert into tb_in_out_main (create_date, sign, out_store_id, bill_no, guid) "
                                    "values ('2024-11-02', 11, 1, 'R1', 'R1')"));
            fx->exec(QStringLiteral("insert into tb_in_out_detail (guid, goods_id, quantity, amount) values ('R1', 1, 3, 30)"));
            QVERIFY(TestFixture::rows(fx->db(), kBalanceRows) != before);
        }
        QCOMPARE(TestFixture::rows(fx->db(), kBalanceRows), before);
        QCOMPARE(TestFixture::rows(fx->db(), kMonthRows), months);
    }

    void stockOnHand_data()
    {
        QTest::addColumn<int>("store");
        QTest::addColumn<QString>("classArg");
        QTest::addColumn<QString>("classNo");
        QTest::addColumn<int>("goods");
        QTest::newRow("everything") << 0 << "0" << "" << 0;
        QTest::newRow("one store") << 2 << "0" << "" << 0;
        QTest::newRow("class and descendants") << 0 << "000001" << "000001" << 0;
        QTest::newRow("subclass in one store") << 1 << "000001001" << "000001001" << 0;
        QTest::newRow("bill line check") << 3 << "0" << "" << 1;
        QTest::newRow("one goods, all stores") << 0 << "0" << "" << 5;
        QTest::newRow("goods outside the class") << 0 << "000002" << "000002" << 1;
    }
    void stockOnHand()
    {
        QFETCH(int, store);
        QFETCH(QString, classArg);
        QFETCH(QString, classNo);
        QFETCH(int, goods);
        QCOMPARE(afterCall(QStringLiteral("call sp_store_goods(%1,%2,%3)").arg(store).arg(classArg).arg(goods), kStoreGoods),
                 TestFixture::rows(fx->db(), expectedStock(store, classNo, goods)));
    }

    // Every goods in every store, all stores, and a goods that never moved.
    void goodsStoreOfEveryPair()
    {
        for (int goods = 1; goods <= 7; ++goods) {
            for (int store = 0; store <= 3; ++store) {
                double quantity = -1;
                double amount = -1;
                fx->dm().getGoodsStore(store, goods, quantity, amount);
                const QVariant expectedQ = fx->scalar(QStringLiteral("select coalesce(sum(coalesce(q, 0)), 0) from %1%2")
                                                          .arg(kEffects, selection(store, QString(), goods)));
                const QVariant expectedA = fx->scalar(QStringLiteral("select coalesce(sum(coalesce(a, 0)), 0) from %1%2")
                                                          .arg(kEffects, selection(store, QString(), goods)));
                QCOMPARE(quantity, expectedQ.toDouble());
                QCOMPARE(amount, expectedA.toDouble());
            }
        }
    }

    void summary_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("store");
        QTest::addColumn<QString>("classArg");
        QTest::addColumn<QString>("classNo");
        QTest::addColumn<int>("goods");
        QTest::newRow("early month, counted forward") << "2024-02-01" << "2024-03-01" << 0 << "0" << "" << 0;
        QTest::newRow("late month, counted back") << "2025-01-01" << "2025-02-01" << 0 << "0" << "" << 0;
        QTest::newRow("quarter") << "2024-04-01" << "2024-07-01" << 0 << "0" << "" << 0;
        QTest::newRow("mid-month to mid-month") << "2024-05-17" << "2024-08-09" << 0 << "0" << "" << 0;
        QTest::newRow("within one month") << "2024-06-03" << "2024-06-20" << 0 << "0" << "" << 0;
        QTest::newRow("late, partial months") << "2024-11-15" << "2025-01-10" << 0 << "0" << "" << 0;
        QTest::newRow("whole history") << "2023-12-01" << "2025-04-01" << 0 << "0" << "" << 0;
        QTest::newRow("one store, one class") << "2024-09-01" << "2024-10-01" << 2 << "000001" << "000001" << 0;
        QTest::newRow("one goods") << "2024-10-10" << "2024-12-01" << 0 << "0" << "" << 3;
        QTest::newRow("before every bill") << "2023-01-01" << "2023-02-01" << 0 << "0" << "" << 0;
        QTest::newRow("after every bill") << "2026-01-01" << "2026-02-01" << 0 << "0" << "" << 0;
        QTest::newRow("end before start") << "2024-08-15" << "2024-06-10" << 0 << "0" << "" << 0;
    }
    void summary()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, store);
        QFETCH(QString, classArg);
        QFETCH(QString, classNo);
        QFETCH(int, goods);
        const QStringList expected = TestFixture::rows(fx->db(), expectedSummary(start, end, store, classNo, goods));
        QCOMPARE(afterCall(QStringLiteral("call sp_store_hz('%1','%2',%3,%4,%5)")
                               .arg(start, end).arg(store).arg(classArg).arg(goods),
                           kSummary),
                 expected);
    }
};

QTEST_MAIN(TestStockBalances)
#include "tst_stock_balances.moc"
