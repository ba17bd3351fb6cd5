// Times a list screen over a large table: opening it (query, grid, layout),
// filtering with the find panel, and painting the grid while scrolling.
//
//   bench/run bench_listscreen [--rows N] [--repeat N]
//
// The baseline of each step is measured in the same run: the bare query
// fetched into memory for opening, a plain string scan of the same rows for
// filtering.
#include "BenchTiming.h"
#include "data/DbConnection.h"
#include "data/udm.h"
#include "frames/GridView.h"
#include "masterdata/uListStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

void row(const QString &what, double ms, const QString &baseline = {}, double baseMs = 0)
{
    out() << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0) << QString::number(ms, 'f', 1) << " ms";
    if (!baseline.isEmpty())
        out() << "    " << baseline << ": " << QString::number(baseMs, 'f', 1) << " ms";
    out() << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addOptions({{"port", "server port", "n"},
                  {"database", "database", "name"},
                  {"rows", "warehouse rows", "n", "50000"},
                  {"repeat", "repetitions", "n", "5"}});
    p.process(app);
    ConnectionSettings s = ConnectionSettings::fixed();
    s.port = p.value("port").toInt();
    s.database = p.value("database");
    const int rows = p.value("rows").toInt();
    const int repeat = p.value("repeat").toInt();

    TfrmDM dm(s);
    TUser admin;
    admin.role_id = 1;
    admin.isSuper = true;
    admin.name = QStringLiteral("bench");
    dm.user = admin;
    DbConnection &db = dm.FDConnection1;
    db.exec(QStringLiteral("delete from tb_store"));
    // Numbers 1..rows from six digit tables (portable; no recursion limits).
    const QString digit = QStringLiteral("(select 0 d union all select 1 union all select 2 union all select 3 "
                                         "union all select 4 union all select 5 union all select 6 union all "
                                         "select 7 union all select 8 union all select 9)");
    db.exec(QStringLiteral("insert into tb_store (store_no, store_name, pym, create_date, is_stop, del) "
                           "select lpad(i, 6, '0'), concat('仓库', i, '号'), concat('CK', i), now(), mod(i, 97) = 0, 0 "
                           "from (select a.d + 10*b.d + 100*c.d + 1000*e.d + 10000*f.d + 100000*g.d + 1 as i "
                           "from %1 a, %1 b, %1 c, %1 e, %1 f, %1 g) n where i <= %2")
                .arg(digit)
                .arg(rows));
    out() << "list screen over " << rows << " warehouses, median of " << repeat << Qt::endl;

    const double bare = medianMs(repeat, [&] {
        QSqlQuery q = db.read(QStringLiteral("select * from tb_store where del=0"));
        QList<QVariantList> kept;
        while (q.next()) {
            QVariantList r;
            for (int c = 0; c < 8; ++c)
                r << q.value(c);
            kept << r;
        }
    });
    const double open = medianMs(repeat, [&] {
        TfrmListStore screen;
        screen.resize(1280, 720);
        screen.show();
        QCoreApplication::processEvents();
    });
    row(QStringLiteral("open the screen (query, grid, first paint)"), open, QStringLiteral("bare query"), bare);

    TfrmListStore screen;
    screen.resize(1280, 720);
    screen.show();
    QCoreApplication::processEvents();
    GridView *grid = screen.cxGrid1;
    const QStringList names = [&] {
        QStringList l;
        for (int i = 0; i < screen.FDQuery1.recordCount(); ++i)
            l << screen.FDQuery1.valueAt(i, QStringLiteral("store_name")).toString();
        return l;
    }();
    int hits = 0;
    const double scan = medianMs(repeat, [&] {
        hits = 0;
        for (const QString &n : names)
            hits += n.contains(QStringLiteral("4321"), Qt::CaseInsensitive);
    });
    int shown = 0;
    const double filter = medianMs(
        repeat,
        [&] {
            grid->setFindText(QStringLiteral("4321"));
            QCoreApplication::processEvents();
            shown = grid->shownRowCount();
        },
        [&] {
            grid->setFindText(QString());
            QCoreApplication::processEvents();
        });
    row(QStringLiteral("find panel: filter \"4321\" (%1 rows shown)").arg(shown), filter,
        QStringLiteral("plain scan of one column"), scan);
    grid->setFindText(QString());
    QCoreApplication::processEvents();

    QScrollBar *bar = grid->table()->verticalScrollBar();
    const int steps = 100;
    const double scroll = medianMs(repeat, [&] {
        for (int i = 0; i < steps; ++i) {
            bar->setValue(bar->minimum() + (bar->maximum() - bar->minimum()) * i / steps);
            grid->table()->viewport()->repaint();
        }
    });
    row(QStringLiteral("scroll: one page painted (of %1 positions)").arg(steps), scroll / steps);
    db.exec(QStringLiteral("delete from tb_store"));
    return 0;
}
