// The stock routines on the server, checked against figures computed by hand
// for a small history that uses every bill kind and opening stock.
#include "TestFixture.h"
#include "data/DbError.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

// Classes 000001 > 000001001, 000002 and 000010 (whose number 10 must not be
// mistaken for a part of 000001...). Stores 1 主仓 and 2 分仓.
// Goods 1 (000001001), 2 (000002), 3 (000001), 4 (000002, never moved), 5 (000010).
const char *const kScenario[] = {
    "insert into tb_goods_class (id, class_no, class_name, parent_id) values "
    "(10,'000001','五金',1),(11,'000001001','螺丝',10),(12,'000002','办公',1),(13,'000010','杂项',1)",
    "insert into tb_goods (id, class_id, goods_no, goods_name) values "
    "(1,11,'G1','螺丝'),(2,12,'G2','纸'),(3,10,'G3','扳手'),(4,12,'G4','笔'),(5,13,'G5','绳')",
    "insert into tb_store (id, store_no, store_name) values (1,'01','主仓'),(2,'02','分仓')",
    "insert into tb_customer (id, customer_no, customer_name) values (1,'C1','O''Neil 商店')",
    "insert into tb_store_begin (store_id, goods_id, quantity, price, amount) values (1,1,10,10,100),(1,5,1,5,5)",
    "insert into tb_in_out_main (create_date, sign, in_store_id, out_store_id, customer_id, depart_id, emp_id, "
    "crater_id, bill_no, original_bill_no, memo, guid) values "
    "('2024-03-10 09:00',0,1,null,1,1,1,2,'CGYK1','ORIG1','三月进货','B1'),"
    "('2024-04-02 10:00',11,null,1,1,1,1,2,'XSCK1',null,'销售','B2'),"
    "('2024-04-05 11:00',19,2,1,null,null,null,2,'CKDB1',null,null,'B3'),"
    "('2024-04-08 12:00',20,2,null,null,null,null,2,'KCPD1',null,null,'B4'),"
    "('2024-04-09 13:00',1,2,null,1,1,1,2,'XSTK1',null,null,'B5'),"
    "('2024-04-10 08:00',2,1,null,null,1,1,2,'SCYK1',null,null,'B6'),"
    "('2024-04-11 08:00',3,1,null,null,1,1,2,'TLYK1',null,null,'B7'),"
    "('2024-04-12 08:00',10,null,1,1,1,1,2,'CGTK1',null,null,'B8'),"
    "('2024-04-13 08:00',12,null,1,null,1,1,2,'SCCK1',null,null,'B9'),"
    "('2024-04-14 08:00',13,null,1,null,1,1,2,'LLCK1',null,null,'B10'),"
    "('2024-04-15 08:00',4,2,null,1,1,1,2,'JHYK1',null,null,'B11'),"
    "('2024-04-16 08:00',14,null,2,1,1,1,2,'JHTK1',null,null,'B12'),"
    "('2024-04-17 08:00',15,null,1,1,1,1,2,'JHCK1',null,null,'B13'),"
    "('2024-04-18 08:00',5,1,null,1,1,1,2,'HHYK1',null,null,'B14'),"
    "('2024-05-03 08:00',0,1,null,1,1,1,2,'CGYK2',null,null,'B15')",
    "insert into tb_in_out_detail (guid, goods_id, quantity, price, amount, memo, in_reason, out_reason) values "
    "('B1',1,10,12,120,'第一批','采购入库',null),"
    "('B2',1,5,11,55,null,null,'销售出库'),"
    "('B3',1,4,11,44,null,'调拨入库','调拨出库'),"
    "('B4',1,-1,11,-11,null,'库存盘点',null),"
    "('B5',1,2,11,22,null,'销售退货',null),"
    "('B6',2,8,10,80,null,'生产入库',null),"
    "('B7',2,1,10,10,null,'退料入库',null),"
    "('B8',2,2,10,20,null,null,'采购退货'),"
    "('B9',2,1,10,10,null,null,'生产退库'),"
    "('B10',2,1,10,10,null,null,'领料出库'),"
    "('B11',3,6,5,30,null,'借货入库',null),"
    "('B12',3,2,5,10,null,null,'借入还出'),"
    "('B13',2,3,10,30,null,null,'借货出库'),"
    "('B14',2,1,10,10,null,'还货入库',null),"
    "('B15',1,1,12,12,null,'采购入库',null)",
};

const QString kStoreGoods = QStringLiteral(
    "select goods_id, store_id, quantity, amount from temp_store_goods order by goods_id, store_id");
const QString kSummary = QStringLiteral("select goods_id, store_id, start_quantity, start_amount, in_quantity, in_amount, "
                                        "out_quantity, out_amount from temp_store_hz2 order by goods_id, store_id");
const QString kDetail = QStringLiteral(
    "select store_id, reason, bill_no, in_quantity, out_quantity, quantity, amount from tb_store_mx order by id");
const QString kBorrow = QStringLiteral("select goods_id, store_id, quantity, amount from tb_borrow_goods order by id");

} // namespace

class TestStockEngine : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    QStringList after(const QString &call, const QString &read)
    {
        fx->dm().execSQL(call);
        return TestFixture::rows(fx->db(), read);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
        for (const char *sql : kScenario)
            fx->exec(QString::fromUtf8(sql));
    }
    void cleanupTestCase() { fx.reset(); }

    void viewHasOneRowPerLineOfEveryKind()
    {
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from v_in_out_detail")).toInt(),
                 fx->scalar(QStringLiteral("select count(*) from tb_in_out_detail")).toInt());
        QCOMPARE(TestFixture::rows(fx->db(), QStringLiteral("select goods_id, quantity, price, amount, memo, in_reason, out_reason, "
                                               "bill_no, create_date, sign, in_store_id, out_store_id, customer_id, "
                                               "customer_name, depart_id, depart_name from v_in_out_detail "
                                               "where bill_no in ('CGYK1', 'CKDB1') order by id")),
                 QStringList({QStringLiteral("1 10 12 120 第一批 采购入库 - CGYK1 2024-03-10T09:00:00.000 0 1 - 1 "
                                             "O'Neil 商店 1 管理部"),
                              QStringLiteral("1 4 11 44 - 调拨入库 调拨出库 CKDB1 2024-04-05T11:00:00.000 19 2 1 - - - -")}));
    }

    void stockOnHand_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{"1 1 12 133", "1 2 5 55", "2 1 3 30", "3 2 4 20", "5 1 1 5"};
        QTest::newRow("everything") << "call sp_store_goods(0,0,0)" << all;
        QTest::newRow("class 000001 and below") << "call sp_store_goods(0,000001,0)"
                                                << QStringList{"1 1 12 133", "1 2 5 55", "3 2 4 20"};
        QTest::newRow("class 000001001") << "call sp_store_goods(0,000001001,0)" << QStringList{"1 1 12 133", "1 2 5 55"};
        QTest::newRow("class 000010") << "call sp_store_goods(0,000010,0)" << QStringList{"5 1 1 5"};
        QTest::newRow("class 000002") << "call sp_store_goods(0,000002,0)" << QStringList{"2 1 3 30"};
        QTest::newRow("root class 000") << "call sp_store_goods(0,000,0)" << all;
        QTest::newRow("one store") << "call sp_store_goods(1,0,0)" << QStringList{"1 1 12 133", "2 1 3 30", "5 1 1 5"};
        QTest::newRow("bill line check") << "call sp_store_goods(2,0,1)" << QStringList{"1 2 5 55"};
        QTest::newRow("never moved") << "call sp_store_goods(2,0,4)" << QStringList{};
        QTest::newRow("goods outside the class") << "call sp_store_goods(1,000002,1)" << QStringList{};
    }
    void stockOnHand()
    {
        QFETCH(QString, call);
        QFETCH(QStringList, expected);
        fx->dm().execSQL(QStringLiteral("call sp_store_goods(0,0,0)"));
        QCOMPARE(after(call, kStoreGoods), expected);
    }

    void goodsStore_data()
    {
        QTest::addColumn<int>("store");
        QTest::addColumn<int>("goods");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("amount");
        QTest::newRow("in, out, transfer out") << 1 << 1 << 12.0 << 133.0;
        QTest::newRow("transfer in, count, return") << 2 << 1 << 5.0 << 55.0;
        QTest::newRow("all stores") << 0 << 1 << 17.0 << 188.0;
        QTest::newRow("every other kind") << 1 << 2 << 3.0 << 30.0;
        QTest::newRow("borrowed in") << 2 << 3 << 4.0 << 20.0;
        QTest::newRow("opening only") << 1 << 5 << 1.0 << 5.0;
        QTest::newRow("never moved") << 1 << 4 << 0.0 << 0.0;
    }
    void goodsStore()
    {
        QFETCH(int, store);
        QFETCH(int, goods);
        QFETCH(double, quantity);
        QFETCH(double, amount);
        double q = -1;
        double a = -1;
        fx->dm().getGoodsStore(store, goods, q, a);
        QCOMPARE(q, quantity);
        QCOMPARE(a, amount);
    }

    void summary_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("march") << "call sp_store_hz('2024-03-01','2024-04-01',0,0,0)"
                               << QStringList{"1 1 10 100 10 120 0 0", "5 1 1 5 0 0 0 0"};
        QTest::newRow("april") << "call sp_store_hz('2024-04-01','2024-05-01',0,0,0)"
                               << QStringList{"1 1 20 220 0 0 9 99", "1 2 0 0 6 66 1 11", "2 1 0 0 10 100 7 70",
                                              "3 2 0 0 6 30 2 10", "5 1 1 5 0 0 0 0"};
        QTest::newRow("april, class 000001, store 2") << "call sp_store_hz('2024-04-01','2024-05-01',2,000001,0)"
                                                      << QStringList{"1 2 0 0 6 66 1 11", "3 2 0 0 6 30 2 10"};
        QTest::newRow("may, one goods") << "call sp_store_hz('2024-05-01','2024-06-01',0,0,1)"
                                        << QStringList{"1 1 11 121 1 12 0 0", "1 2 5 55 0 0 0 0"};
        QTest::newRow("before any bill") << "call sp_store_hz('2023-01-01','2023-02-01',0,0,2)" << QStringList{};
    }
    void summary()
    {
        QFETCH(QString, call);
        QFETCH(QStringList, expected);
        fx->dm().execSQL(QStringLiteral("call sp_store_hz('2024-01-01','2025-01-01',0,0,0)"));
        QCOMPARE(after(call, kSummary), expected);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from temp_store_hz2 where end_quantity <> start_quantity + "
                                           "in_quantity - out_quantity or end_amount <> start_amount + in_amount - "
                                           "out_amount")).toInt(),
                 0);
    }

    void detailRunsBalanceFromPeriodStart()
    {
        QCOMPARE(after(QStringLiteral("call sp_store_mx('2024-04-01','2024-05-01',0,0,1)"), kDetail),
                 QStringList({"1 期初结存 - 0 0 20 220", "1 销售出库 XSCK1 0 5 15 165", "1 调拨出库 CKDB1 0 4 11 121",
                              "2 期初结存 - 0 0 0 0", "2 调拨入库 CKDB1 4 0 4 44", "2 库存盘点 KCPD1 0 1 3 33",
                              "2 销售退货 XSTK1 2 0 5 55"}));
        QCOMPARE(TestFixture::rows(fx->db(), QStringLiteral("select store_name, create_date, original_bill_no, customer, depart, emp_name, "
                                               "creator, memo, detail_memo, sign, in_amount, out_amount "
                                               "from tb_store_mx where bill_no = 'XSCK1'")),
                 QStringList{QStringLiteral("主仓 2024-04-02T10:00:00.000 - O'Neil 商店 管理部 管理员 测试用户 销售 - 11 0 55")});
        // A class filter over the same month, and a later call replaces the rows.
        QCOMPARE(after(QStringLiteral("call sp_store_mx('2024-03-01','2024-04-01',0,000001,0)"), kDetail),
                 QStringList({"1 期初结存 - 0 0 10 100", "1 采购入库 CGYK1 10 0 20 220"}));
    }

    void borrowing()
    {
        QCOMPARE(after(QStringLiteral("call sp_get_borrow_in(0,0,0)"), kBorrow), QStringList{"3 2 4 20"});
        QCOMPARE(after(QStringLiteral("call sp_get_borrow_out(0,0,0)"), kBorrow), QStringList{"2 1 2 20"});
        QCOMPARE(after(QStringLiteral("call sp_get_borrow_out(2,0,0)"), kBorrow), QStringList{});
        QCOMPARE(after(QStringLiteral("call sp_get_borrow_in(0,000001,3)"), kBorrow), QStringList{"3 2 4 20"});
    }

    // Two clients calling the routines of the shared result tables at once
    // each read their own result; the shared tables themselves stay untouched.
    void clientsKeepTheirOwnResults()
    {
        DbConnection other(QStringLiteral("second client"));
        other.configure(TestFixture::settings());
        other.open();
        fx->dm().execSQL(QStringLiteral("call sp_store_mx('2024-04-01','2024-05-01',0,0,1)"));
        fx->dm().execSQL(QStringLiteral("call sp_get_borrow_in(0,0,0)"));
        other.exec(QStringLiteral("call sp_store_mx('2024-04-01','2024-05-01',0,0,2)"));
        other.exec(QStringLiteral("call sp_get_borrow_out(0,0,0)"));

        QCOMPARE(TestFixture::rows(fx->db(), QStringLiteral("select distinct goods_id from tb_store_mx")), QStringList{"1"});
        QCOMPARE(TestFixture::rows(fx->db(), kBorrow), QStringList{"3 2 4 20"});
        QCOMPARE(TestFixture::rows(other, QStringLiteral("select distinct goods_id from tb_store_mx")), QStringList{"2"});
        QCOMPARE(TestFixture::rows(other, kBorrow), QStringList{"2 1 2 20"});

        DbConnection third(QStringLiteral("third client"));
        third.configure(TestFixture::settings());
        third.open();
        QCOMPARE(TestFixture::rows(third, QStringLiteral("select count(*) from tb_store_mx")), QStringList{"0"});
        QCOMPARE(TestFixture::rows(third, QStringLiteral("select count(*) from tb_borrow_goods")), QStringList{"0"});
    }

    void periodNeedsBothDates()
    {
        QVERIFY_THROWS_EXCEPTION(DbError, fx->dm().execSQL(QStringLiteral("call sp_store_hz(null,'2024-05-01',0,0,0)")));
        QVERIFY_THROWS_EXCEPTION(DbError, fx->dm().execSQL(QStringLiteral("call sp_store_mx('2024-04-01',null,0,0,0)")));
    }
};

QTEST_MAIN(TestStockEngine)
#include "tst_stock_engine.moc"
