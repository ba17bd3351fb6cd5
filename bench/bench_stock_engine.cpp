// Times the stock routines on a generated history, each next to a plain
// statement over the same rows measured in the same run.
//
//   bench/run [--lines N] [--bills N] [--goods N] [--stores N] [--repeat N]
//
// bench/run starts a throw-away server and loads an empty database; this
// program connects to it (--port, --database), generates the data on the
// server and prints one line per routine. With --reuse it times a database
// it generated before (the sizes must be given again).
#include "BenchTiming.h"
#include "data/DbConnection.h"
#include "data/DbError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Scale {
    int goods = 5000;
    int stores = 20;
    int bills = 40000;
    int lines = 200000;
    int years = 3;
};

// Runs a statement and reads every row it returns, as a client would.
void drain(DbConnection &db, const QString &sql)
{
    QSqlQuery q = db.exec(sql);
    while (q.next()) {
    }
}

void timed(const QString &what, const std::function<void()> &step)
{
    QElapsedTimer t;
    t.start();
    step();
    out() << QStringLiteral("  %1: %2 s").arg(what).arg(double(t.elapsed()) / 1000.0, 0, 'f', 1) << Qt::endl;
}

// Classes: 50 top classes with 10 subclasses each; goods spread over the
// subclasses; opening stock for every goods in two stores; bills over
// `years` years ending today, most of them purchases and sales.
void generate(DbConnection &db, const Scale &s)
{
    out() << QStringLiteral("generating %1 goods, %2 stores, %3 bills, %4 lines")
                 .arg(s.goods).arg(s.stores).arg(s.bills).arg(s.lines)
          << Qt::endl;
    timed(QStringLiteral("number table"), [&] {
        db.exec(QStringLiteral("DROP TABLE IF EXISTS bench_seq"));
        db.exec(QStringLiteral("CREATE TABLE bench_seq (n int NOT NULL PRIMARY KEY)"));
        db.exec(QStringLiteral("INSERT INTO bench_seq VALUES (1)"));
        const int needed = std::max({s.lines, s.bills, s.goods});
        for (int have = 1; have < needed; have *= 2)
            db.exec(QStringLiteral("INSERT INTO bench_seq SELECT n + %1 FROM bench_seq WHERE n + %1 <= %2").arg(have).arg(needed));
    });
    timed(QStringLiteral("master data"), [&] {
        db.exec(QStringLiteral("INSERT INTO tb_goods_class (id, class_no, class_name, parent_id) "
                               "SELECT 1000 + n, CONCAT('000', LPAD(n, 3, '0')), CONCAT('类', n), 1 FROM bench_seq WHERE n <= 50"));
        db.exec(QStringLiteral("INSERT INTO tb_goods_class (id, class_no, class_name, parent_id) "
                               "SELECT 2000 + n, CONCAT('000', LPAD((n - 1) DIV 10 + 1, 3, '0'), LPAD((n - 1) MOD 10 + 1, 3, '0')), "
                               "CONCAT('子类', n), 1000 + (n - 1) DIV 10 + 1 FROM bench_seq WHERE n <= 500"));
        db.exec(QStringLiteral("INSERT INTO tb_goods (id, class_id, goods_no, goods_name, in_price) "
                               "SELECT n, 2000 + (n - 1) MOD 500 + 1, CONCAT('G', n), CONCAT('货品', n), 10 + n MOD 90 "
                               "FROM bench_seq WHERE n <= %1").arg(s.goods));
        db.exec(QStringLiteral("INSERT INTO tb_store (id, store_no, store_name) "
                               "SELECT n, LPAD(n, 2, '0'), CONCAT('仓库', n) FROM bench_seq WHERE n <= %1").arg(s.stores));
        db.exec(QStringLiteral("INSERT INTO tb_store_begin (store_id, goods_id, quantity, price, amount) "
                               "SELECT 1 + (n + k) MOD %2, n, 100, 10 + n MOD 90, 100 * (10 + n MOD 90) "
                               "FROM bench_seq, (SELECT 0 AS k UNION ALL SELECT 7) two WHERE n <= %1")
                    .arg(s.goods).arg(s.stores));
    });
    timed(QStringLiteral("bill headers"), [&] {
        // Kinds by share: purchases 30%, sales 35%, transfers 5%, counts 3%, the rest spread.
        db.exec(QStringLiteral(
            "INSERT INTO tb_in_out_main (id, create_date, crater_id, sign, in_store_id, out_store_id, customer_id, "
            "bill_no, guid) "
            "SELECT n, DATE_SUB(NOW(), INTERVAL FLOOR((%1 - n) * (%2 * 365 * 86400 / %1)) SECOND), 1, k.sign, "
            "IF(k.sign < 10 OR k.sign >= 19, 1 + CRC32(n) MOD %3, NULL), "
            "IF(k.sign >= 10 AND k.sign <= 19, 1 + CRC32(n * 3 + 1) MOD %3, NULL), NULL, "
            "CONCAT('B', n), CONCAT('G', LPAD(n, 31, '0')) "
            "FROM (SELECT n, CRC32(CONCAT('k', n)) MOD 100 AS r FROM bench_seq WHERE n <= %1) b "
            "JOIN (SELECT 0 sign, 0 lo, 30 hi UNION ALL SELECT 11, 30, 65 UNION ALL SELECT 19, 65, 70 "
            "UNION ALL SELECT 20, 70, 73 UNION ALL SELECT 1, 73, 76 UNION ALL SELECT 2, 76, 80 "
            "UNION ALL SELECT 3, 80, 82 UNION ALL SELECT 4, 82, 85 UNION ALL SELECT 5, 85, 87 "
            "UNION ALL SELECT 10, 87, 89 UNION ALL SELECT 12, 89, 92 UNION ALL SELECT 13, 92, 95 "
            "UNION ALL SELECT 14, 95, 97 UNION ALL SELECT 15, 97, 100) k ON b.r >= k.lo AND b.r < k.hi")
                    .arg(s.bills).arg(s.years).arg(s.stores));
        // A transfer never goes into the store it leaves.
        db.exec(QStringLiteral("UPDATE tb_in_out_main SET in_store_id = 1 + out_store_id MOD %1 "
                               "WHERE sign = 19 AND in_store_id = out_store_id").arg(s.stores));
    });
    timed(QStringLiteral("bill lines"), [&] {
        db.exec(QStringLiteral(
            "INSERT INTO tb_in_out_detail (guid, goods_id, quantity, price, amount, in_reason, out_reason) "
            "SELECT CONCAT('G', LPAD(1 + (n - 1) MOD %1, 31, '0')), 1 + CRC32(CONCAT('g', n)) MOD %2, "
            "1 + n MOD 10, 10 + n MOD 90, (1 + n MOD 10) * (10 + n MOD 90), 'in', 'out' "
            "FROM bench_seq WHERE n <= %3")
                    .arg(s.bills).arg(s.goods).arg(s.lines));
        db.exec(QStringLiteral("ANALYZE TABLE tb_in_out_main, tb_in_out_detail, tb_store_begin, tb_goods"));
    });
}

void report(const QString &what, double routineMs, const QString &baseline, double baselineMs, const QString &target)
{
    out() << QStringLiteral("%1 | %2 ms | %3 | %4 ms | %5x | %6")
                 .arg(what, -36)
                 .arg(routineMs, 9, 'f', 2)
                 .arg(baseline, -34)
                 .arg(baselineMs, 9, 'f', 2)
                 .arg(baselineMs > 0 ? routineMs / baselineMs : 0.0, 5, 'f', 2)
                 .arg(target)
          << Qt::endl;
}

void measure(DbConnection &db, const Scale &s, int repeat)
{
    // The client creates these on its connection at start-up.
    db.exec(QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS temp_store_goods (id int NOT NULL AUTO_INCREMENT, "
                           "goods_id int, store_id int, quantity decimal(20,10), amount decimal(20,10), PRIMARY KEY (id))"));
    const int goods = s.goods / 2 + 1;
    const int store = 1 + (goods % s.stores);
    QSqlQuery month = db.read(QStringLiteral("SELECT DATE_FORMAT(DATE_SUB(NOW(), INTERVAL 2 MONTH), '%Y-%m-01'), "
                                             "DATE_FORMAT(DATE_SUB(NOW(), INTERVAL 1 MONTH), '%Y-%m-01')"));
    month.next();
    const QString from = month.value(0).toString();
    const QString to = month.value(1).toString();
    const QString period = QStringLiteral("'%1','%2'").arg(from, to);
    out() << QStringLiteral("median of %1 runs; goods %2, store %3, month %4 .. %5").arg(repeat).arg(goods).arg(store).arg(from, to)
          << Qt::endl;
    out() << QStringLiteral("%1 | routine    | %2 | baseline   | ratio | target")
                 .arg(QStringLiteral("routine"), -36)
                 .arg(QStringLiteral("baseline"), -34)
          << Qt::endl;

    const QString bareAggregate = QStringLiteral(
        "SELECT d.goods_id, m.in_store_id, SUM(d.quantity), SUM(d.amount) FROM tb_in_out_detail d "
        "JOIN tb_in_out_main m ON m.guid = d.guid GROUP BY d.goods_id, m.in_store_id");
    report(QStringLiteral("sp_store_goods(0,0,0) + read"),
           medianMs(repeat, [&] { db.exec(QStringLiteral("call sp_store_goods(0,0,0)")); drain(db, QStringLiteral("select * from temp_store_goods")); }),
           QStringLiteral("aggregate of all lines x headers"), medianMs(repeat, [&] { drain(db, bareAggregate); }),
           QStringLiteral("<= 1.5x baseline"));

    const QString oneGoods = QStringLiteral("SELECT SUM(d.quantity), SUM(d.amount) FROM tb_in_out_detail d "
                                            "JOIN tb_in_out_main m ON m.guid = d.guid WHERE d.goods_id = %1").arg(goods);
    const double oneGoodsMs = medianMs(repeat * 5, [&] { drain(db, oneGoods); });
    report(QStringLiteral("sp_store_goods(store,0,goods) + row"),
           medianMs(repeat * 5, [&] {
               db.exec(QStringLiteral("call sp_store_goods(%1,0,%2)").arg(store).arg(goods));
               drain(db, QStringLiteral("select * from  temp_store_goods where store_id=%1 and goods_id=%2").arg(store).arg(goods));
           }),
           QStringLiteral("sum of one goods' lines"), oneGoodsMs, QStringLiteral("< 5 ms"));
    report(QStringLiteral("sp_get_goods_store + select"),
           medianMs(repeat * 5, [&] {
               db.exec(QStringLiteral("call sp_get_goods_store(%1, %2, @q, @a)").arg(store).arg(goods));
               drain(db, QStringLiteral("select @q, @a"));
           }),
           QStringLiteral("sum of one goods' lines"), oneGoodsMs, QStringLiteral("< 5 ms"));

    report(QStringLiteral("sp_store_hz(one month,0,0,0) + read"),
           medianMs(repeat, [&] {
               db.exec(QStringLiteral("call sp_store_hz(%1,0,0,0)").arg(period));
               drain(db, QStringLiteral("select * from temp_store_hz2"));
           }),
           QStringLiteral("aggregate of the month's lines"),
           medianMs(repeat, [&] {
               drain(db, QStringLiteral("SELECT d.goods_id, m.in_store_id, SUM(d.quantity), SUM(d.amount) "
                                        "FROM tb_in_out_main m JOIN tb_in_out_detail d ON d.guid = m.guid "
                                        "WHERE m.create_date >= '%1' AND m.create_date < '%2' "
                                        "GROUP BY d.goods_id, m.in_store_id").arg(from, to));
           }),
           QStringLiteral("well under 1 s"));

    // The start balances of a month halfway through the history are the
    // furthest from both ends of it, the slowest case of the summary.
    QSqlQuery middle = db.read(QStringLiteral("SELECT DATE_FORMAT(DATE_SUB(NOW(), INTERVAL %1 MONTH), '%Y-%m-01'), "
                                              "DATE_FORMAT(DATE_SUB(NOW(), INTERVAL %2 MONTH), '%Y-%m-01')")
                                   .arg(s.years * 6 + 1)
                                   .arg(s.years * 6));
    middle.next();
    const QString middleFrom = middle.value(0).toString();
    const QString middleTo = middle.value(1).toString();
    report(QStringLiteral("sp_store_hz(%1,0,0,0) + read").arg(middleFrom.left(7)),
           medianMs(repeat, [&] {
               db.exec(QStringLiteral("call sp_store_hz('%1','%2',0,0,0)").arg(middleFrom, middleTo));
               drain(db, QStringLiteral("select * from temp_store_hz2"));
           }),
           QStringLiteral("aggregate of the month's lines"),
           medianMs(repeat, [&] {
               drain(db, QStringLiteral("SELECT d.goods_id, m.in_store_id, SUM(d.quantity), SUM(d.amount) "
                                        "FROM tb_in_out_main m JOIN tb_in_out_detail d ON d.guid = m.guid "
                                        "WHERE m.create_date >= '%1' AND m.create_date < '%2' "
                                        "GROUP BY d.goods_id, m.in_store_id").arg(middleFrom, middleTo));
           }),
           QStringLiteral("-"));

    report(QStringLiteral("sp_store_mx(one month,0,0,goods) + read"),
           medianMs(repeat * 3, [&] {
               db.exec(QStringLiteral("call sp_store_mx(%1,0,0,%2)").arg(period).arg(goods));
               drain(db, QStringLiteral("select * from tb_store_mx"));
           }),
           QStringLiteral("all lines of the goods"),
           medianMs(repeat * 3, [&] {
               drain(db, QStringLiteral("SELECT d.*, m.bill_no FROM tb_in_out_detail d JOIN tb_in_out_main m "
                                        "ON m.guid = d.guid WHERE d.goods_id = %1").arg(goods));
           }),
           QStringLiteral("well under 1 s"));

    report(QStringLiteral("sp_get_borrow_in(0,0,0) + read"),
           medianMs(repeat, [&] {
               db.exec(QStringLiteral("call sp_get_borrow_in(0,0,0)"));
               drain(db, QStringLiteral("select * from tb_borrow_goods"));
           }),
           QStringLiteral("aggregate of all lines x headers"), medianMs(repeat, [&] { drain(db, bareAggregate); }),
           QStringLiteral("-"));

    // What the balance triggers add to saving a bill: the same header and five
    // lines written, as the bill editor does, into the bill tables and into
    // copies of them without triggers. Last, as it adds a few bills.
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS bench_main LIKE tb_in_out_main"));
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS bench_detail LIKE tb_in_out_detail"));
    int serial = 0;
    auto saveBill = [&](const QString &mainTable, const QString &detailTable) {
        const QString guid = QStringLiteral("BENCH%1").arg(++serial);
        TransactionGuard tx(db);
        db.exec(QStringLiteral("INSERT INTO %1 (create_date, sign, out_store_id, bill_no, guid) VALUES (NOW(), 11, %2, ?, ?)")
                    .arg(mainTable).arg(store),
                DbConnection::Kind::Write, {guid, guid});
        for (int line = 0; line < 5; ++line)
            db.exec(QStringLiteral("INSERT INTO %1 (guid, goods_id, quantity, price, amount) VALUES (?, ?, 1, 10, 10)")
                        .arg(detailTable),
                    DbConnection::Kind::Write, {guid, goods + line});
        tx.commit();
    };
    report(QStringLiteral("save a bill of 5 lines (transaction)"),
           medianMs(repeat * 5, [&] { saveBill(QStringLiteral("tb_in_out_main"), QStringLiteral("tb_in_out_detail")); }),
           QStringLiteral("same into tables without triggers"),
           medianMs(repeat * 5, [&] { saveBill(QStringLiteral("bench_main"), QStringLiteral("bench_detail")); }),
           QStringLiteral("-"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("server port"), QStringLiteral("port"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("empty database to fill"),
                                      QStringLiteral("name"), QStringLiteral("ck_bench"));
    const QCommandLineOption lines(QStringLiteral("lines"), QStringLiteral("bill lines"), QStringLiteral("n"), QStringLiteral("200000"));
    const QCommandLineOption bills(QStringLiteral("bills"), QStringLiteral("bills"), QStringLiteral("n"), QStringLiteral("40000"));
    const QCommandLineOption goods(QStringLiteral("goods"), QStringLiteral("goods"), QStringLiteral("n"), QStringLiteral("5000"));
    const QCommandLineOption stores(QStringLiteral("stores"), QStringLiteral("warehouses"), QStringLiteral("n"), QStringLiteral("20"));
    const QCommandLineOption repeat(QStringLiteral("repeat"), QStringLiteral("runs per timing"), QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption reuse(QStringLiteral("reuse"), QStringLiteral("time the data generated by an earlier run"));
    parser.addOptions({port, database, lines, bills, goods, stores, repeat, reuse});
    parser.process(app);

    ConnectionSettings settings = ConnectionSettings::fixed();
    if (parser.isSet(port))
        settings.port = parser.value(port).toInt();
    settings.database = parser.value(database);
    Scale s;
    s.lines = parser.value(lines).toInt();
    s.bills = parser.value(bills).toInt();
    s.goods = parser.value(goods).toInt();
    s.stores = parser.value(stores).toInt();

    try {
        DbConnection db(QStringLiteral("bench"));
        db.configure(settings);
        db.open();
        if (!parser.isSet(reuse))
            generate(db, s);
        measure(db, s, std::max(1, parser.value(repeat).toInt()));
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench failed: %s\n  in: %s\n", qPrintable(e.message()), qPrintable(e.where()));
        return 1;
    }
    return 0;
}
