// The grid's group-by box through the position screen: grouping by a header
// dragged onto the box, the chip that ungroups and folds, grouping kept in the
// layout file, and which screens show the box at all.
#include "TestFixture.h"
#include "frames/GridView.h"
#include "frames/GroupByBox.h"
#include "frames/GroupRowsModel.h"
#include "masterdata/uListEmployee.h"
#include "masterdata/uListPosition.h"
#include "masterdata/uListStore.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

class TestGroupBox : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    // Two warehouses: 总仓 with, 乙库 with B-01.
    std::unique_ptr<TfrmListPosition> openPositions()
    {
        auto p = std::make_unique<TfrmListPosition>();
        p->resize(900, 500);
        p->show();
        return p;
    }
    static QStringList groupTitles(GridView *grid)
    {
        QStringList titles;
        auto *groups = qobject_cast<GroupRowsModel *>(grid->table()->model());
        for (int r = 0; groups && r < groups->rowCount(); ++r)
            if (groups->isGroupRow(r))
                titles << groups->index(r, 0).data().toString();
        return titles;
    }
    static QString chipText(GridView *grid)
    {
        QFrame *chip = grid->groupBox()->findChild<QFrame *>(QStringLiteral("groupChip"));
        return chip->isVisible() ? chip->findChild<QLabel *>()->text() : QString();
    }
    static bool hintShown(GridView *grid)
    {
        return grid->groupBox()->findChild<QLabel *>(QStringLiteral("groupHint"))->isVisible();
    }
    static QPoint sectionCenter(QHeaderView *h, int column)
    {
        return {h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2};
    }
    static QPoint centerIn(QWidget *from, QWidget *to) { return to->mapFromGlobal(from->mapToGlobal(from->rect().center())); }
    static QList<int> visualOrder(QHeaderView *h)
    {
        QList<int> order;
        for (int v = 0; v < h->count(); ++v)
            order << h->logicalIndex(v);
        return order;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->reset();
        QDir(fx->workPath(QStringLiteral("store"))).removeRecursively();
        fx->exec(QStringLiteral("insert into tb_store (id, create_date, store_no, store_name, is_stop, del) "
                                "values (1, now(), '01', '总仓', 0, 0), (2, now(), '02', '乙库', 0, 0)"));
        fx->exec(QStringLiteral("insert into tb_store_position (store_id, position_no, position_name) values "
                                "(1, 'A-01', '一号架'), (2, 'B-01', '乙一架'), (1, 'A-02', '二号架')"));
    }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void onlyTheGroupingScreensShowTheBox()
    {
        TfrmListStore stores;
        stores.show();
        QVERIFY(!stores.cxGrid1->isGroupBoxVisible());
        QVERIFY(!stores.cxGrid1->groupBox()->isVisible());

        auto p = openPositions();
        QVERIFY(p->cxGrid1->groupBox()->isVisible());
        QVERIFY(hintShown(p->cxGrid1));
        QCOMPARE(p->cxGrid1->groupBox()->findChild<QLabel *>(QStringLiteral("groupHint"))->text(),
                 QStringLiteral("拖动列标题到此处，按该列分组"));
        // Between the find panel and the column headers.
        GridView *grid = p->cxGrid1;
        QVERIFY(grid->groupBox()->geometry().top() >= grid->findEdit()->geometry().bottom());
        QVERIFY(grid->groupBox()->geometry().bottom() <= grid->table()->geometry().top());

        TfrmListEmployee employees;
        employees.show();
        QVERIFY(employees.cxGrid1->groupBox()->isVisible());
    }

    void droppedColumnGroupsTheRows()
    {
        auto p = openPositions();
        GridView *grid = p->cxGrid1;
        QVERIFY(grid->groupByColumn(grid->columnOf(QStringLiteral("store_name"))));
        QCOMPARE(grid->groupField(), QStringLiteral("store_name"));
        QCOMPARE(chipText(grid), QStringLiteral("所属仓库名称"));
        QVERIFY(!hintShown(grid));
        QCOMPARE(groupTitles(grid),
                 QStringList({QStringLiteral("所属仓库名称: 乙库 (1)"), QStringLiteral("所属仓库名称: 总仓 (2)")}));
        // The row numbers count the positions only.
        auto *groups = qobject_cast<GroupRowsModel *>(grid->table()->model());
        QList<int> numbers;
        for (int r = 0; r < groups->rowCount(); ++r)
            numbers << groups->rowNumber(r);
        QCOMPARE(numbers, QList<int>({0, 1, 0, 2, 3}));
        // The column headers keep their captions over the group rows.
        QCOMPARE(grid->table()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("货位名称"));

        // Another column replaces the grouping; the picture column has nothing to group by.
        QVERIFY(grid->groupByColumn(grid->columnOf(QStringLiteral("position_no"))));
        QCOMPARE(chipText(grid), QStringLiteral("货位编号"));
        QVERIFY(!grid->groupByColumn(1));
        QVERIFY(!grid->groupByColumn(-1));
        QCOMPARE(grid->groupField(), QStringLiteral("position_no"));
        QCOMPARE(groupTitles(grid).size(), 3);
    }

    void headerDraggedOntoTheBox_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("ontoBox");
        QTest::addColumn<QString>("grouped");
        QTest::newRow("warehouse onto the box") << 0 << true << QStringLiteral("store_name");
        QTest::newRow("name onto the box") << 3 << true << QStringLiteral("position_name");
        QTest::newRow("released on the find panel") << 3 << false << QString();
        QTest::newRow("picture column") << 1 << true << QString();
    }
    void headerDraggedOntoTheBox()
    {
        QFETCH(int, column);
        QFETCH(bool, ontoBox);
        QFETCH(QString, grouped);
        auto p = openPositions();
        GridView *grid = p->cxGrid1;
        QHeaderView *h = grid->table()->horizontalHeader();
        QWidget *vp = h->viewport();
        const QList<int> order = visualOrder(h);
        const int sortSection = h->sortIndicatorSection();

        const QPoint start = sectionCenter(h, column);
        const QPoint target = centerIn(ontoBox ? static_cast<QWidget *>(grid->groupBox()) : grid->findEdit(), vp);
        QTest::mousePress(vp, Qt::LeftButton, {}, start);
        QTest::mouseMove(vp, start + QPoint(25, 0)); // the header starts moving the column
        QTest::mouseMove(vp, QPoint(start.x(), -30));
        QTest::mouseMove(vp, target);
        QCOMPARE(grid->groupBox()->dropHighlight(), ontoBox && !grouped.isEmpty());
        QTest::mouseRelease(vp, Qt::LeftButton, {}, target);

        QCOMPARE(grid->groupField(), grouped);
        QVERIFY(!grid->groupBox()->dropHighlight());
        // Neither moved nor sorted by the way.
        QCOMPARE(visualOrder(h), order);
        QCOMPARE(h->sortIndicatorSection(), sortSection);
        // The label that followed the mouse is gone.
        for (QLabel *l : p->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY(l->text() != grid->columns()[column].caption);
    }

    void sidewaysDragStillMovesTheColumn()
    {
        auto p = openPositions();
        QHeaderView *h = p->cxGrid1->table()->horizontalHeader();
        QWidget *vp = h->viewport();
        const QPoint start = sectionCenter(h, 3);
        const QPoint end = sectionCenter(h, 4) + QPoint(h->sectionSize(4) / 3, 0);
        QTest::mousePress(vp, Qt::LeftButton, {}, start);
        QTest::mouseMove(vp, start + QPoint(10, 0));
        QTest::mouseMove(vp, end);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, end);
        QCOMPARE(h->visualIndex(3), 4);
        QVERIFY(p->cxGrid1->groupField().isEmpty());
    }

    void chipUngroupsAndFolds()
    {
        auto p = openPositions();
        GridView *grid = p->cxGrid1;
        grid->setGroupField(QStringLiteral("store_name"));
        QFrame *chip = grid->groupBox()->findChild<QFrame *>(QStringLiteral("groupChip"));
        QAction *expand = nullptr, *collapse = nullptr;
        for (QAction *a : chip->actions()) {
            if (a->text() == QStringLiteral("全部展开"))
                expand = a;
            else if (a->text() == QStringLiteral("全部折叠"))
                collapse = a;
        }
        QVERIFY(expand && collapse);
        QCOMPARE(chip->contextMenuPolicy(), Qt::ActionsContextMenu);

        QTableView *t = grid->table();
        auto hiddenRows = [&] {
            int n = 0;
            for (int r = 0; r < grid->shownRowCount(); ++r)
                n += t->isRowHidden(r) ? 1 : 0;
            return n;
        };
        collapse->trigger();
        QCOMPARE(hiddenRows(), 3);
        expand->trigger();
        QCOMPARE(hiddenRows(), 0);

        QTest::mouseClick(chip->findChild<QToolButton *>(QStringLiteral("groupChipClose")), Qt::LeftButton);
        QVERIFY(grid->groupField().isEmpty());
        QVERIFY(groupTitles(grid).isEmpty());
        QCOMPARE(grid->shownRowCount(), 3);
        QVERIFY(hintShown(grid));
    }

    void layoutKeepsTheGrouping()
    {
        {
            auto p = openPositions();
            p->cxGrid1->groupByColumn(0);
        }
        {
            auto p = openPositions();
            QCOMPARE(p->cxGrid1->groupField(), QStringLiteral("store_name"));
            QCOMPARE(chipText(p->cxGrid1), QStringLiteral("所属仓库名称"));
            QCOMPARE(groupTitles(p->cxGrid1).size(), 2);
            p->cxGrid1->setGroupField(QString());
        }
        auto p = openPositions();
        QVERIFY(p->cxGrid1->groupField().isEmpty());
        QVERIFY(hintShown(p->cxGrid1));
    }

    void unknownGroupFieldInLayoutLeavesGridUngrouped()
    {
        {
            auto p = openPositions();
            p->cxGrid1->groupByColumn(0);
        }
        const QString file = fx->workPath(QStringLiteral("store/frmListPosition"));
        {
            QSettings s(file, QSettings::IniFormat);
            QCOMPARE(s.value(QStringLiteral("view/groupField")).toString(), QStringLiteral("store_name"));
            s.setValue(QStringLiteral("view/groupField"), QStringLiteral("no_such_field"));
        }
        auto p = openPositions();
        QVERIFY(p->cxGrid1->groupField().isEmpty());
        QVERIFY(hintShown(p->cxGrid1));
        QCOMPARE(p->cxGrid1->shownRowCount(), 3);
    }
};

QTEST_MAIN(TestGroupBox)
#include "tst_groupbox.moc"
