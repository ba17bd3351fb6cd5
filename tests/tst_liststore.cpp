// The list frame through the warehouse and storage position screens: tool bar
// states, rights, log rows, save notice, soft and physical delete, select mode,
// stopped rows, layout store, export flow, find panel and the position's
// warehouse carry-over.
#include "TestFixture.h"
#include "data/DatasetModel.h"
#include "frames/GridModels.h"
#include "masterdata/uListPosition.h"
#include "masterdata/uListStore.h"
#include "printing/uFrmPrint.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Kind = ScriptedInteraction::Kind;

class TestListStore : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    std::unique_ptr<TfrmListStore> openStores(bool selectMode = false)
    {
        auto s = std::make_unique<TfrmListStore>();
        s->setselectmode(selectMode);
        s->show();
        return s;
    }
    int logCount(const QString &module, const QString &action)
    {
        return fx->scalar(QStringLiteral("select count(*) from tb_user_log where module='%1' and action='%2'")
                              .arg(module, action))
            .toInt();
    }
    void addStore(const QString &name, bool stopped = false, bool deleted = false)
    {
        fx->exec(QStringLiteral("insert into tb_store (create_date, store_no, store_name, is_stop, del) "
                                "values (now(), 'S', '%1', %2, %3)")
                     .arg(name)
                     .arg(stopped ? 1 : 0)
                     .arg(deleted ? 1 : 0));
    }
    // The demo user's rights on one module.
    void grantDemo(const QString &module, bool edit, bool del, bool exportRight = false)
    {
        fx->exec(QStringLiteral("delete from tb_role_rights where role_id=2 and module='%1'").arg(module));
        fx->exec(QStringLiteral("insert into tb_role_rights (role_id, module, can_read, can_edit, can_del, can_print, "
                                "can_export) values (2, '%1', 1, %2, %3, 0, %4)")
                     .arg(module)
                     .arg(edit ? 1 : 0)
                     .arg(del ? 1 : 0)
                     .arg(exportRight ? 1 : 0));
        fx->loginAs(QStringLiteral("测试用户"));
    }
    // The data buttons (automatic width is a view setting, always available).
    static QStringList enabledButtons(TfrmBaseList &s)
    {
        QStringList names;
        for (QAction *a : {s.btnFirst, s.btnPrior, s.btnNext, s.btnLast, s.btnNew, s.btnEdit, s.btnDel, s.btnSave,
                           s.btnCancel, s.btnexport, s.btnPrint, s.btnRefresh, s.btnSelect, s.btnclose})
            if (a->isEnabled())
                names << a->objectName();
        return names;
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
    }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void buttonStates()
    {
        auto s = openStores();
        QCOMPARE(enabledButtons(*s), QStringList({QStringLiteral("btnNew"), QStringLiteral("btnclose")}));
        QVERIFY(!s->btnSelect->isVisible());

        s->btnNewClick();
        QCOMPARE(enabledButtons(*s), QStringList({QStringLiteral("btnSave"), QStringLiteral("btnCancel")}));
        s->FDQuery1.setValue(QStringLiteral("store_name"), QStringLiteral("一号库"));
        s->btnSaveClick();
        // One row: browse buttons on, but at the only row there is nowhere to scroll
        // ("选择" is hidden, hence off, outside select mode).
        QCOMPARE(enabledButtons(*s),
                 QStringList({QStringLiteral("btnNew"), QStringLiteral("btnEdit"), QStringLiteral("btnDel"),
                              QStringLiteral("btnexport"), QStringLiteral("btnPrint"), QStringLiteral("btnRefresh"),
                              QStringLiteral("btnclose")}));
        s->btnNewClick();
        s->FDQuery1.setValue(QStringLiteral("store_name"), QStringLiteral("二号库"));
        s->btnSaveClick();
        QVERIFY(s->btnFirst->isEnabled() && s->btnPrior->isEnabled());
        QVERIFY(!s->btnNext->isEnabled() && !s->btnLast->isEnabled());
        s->btnFirstClick();
        QVERIFY(!s->btnFirst->isEnabled() && s->btnNext->isEnabled());
    }

    void saveNoticeLogAndPinyin()
    {
        auto s = openStores();
        s->btnNewClick();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("is_stop")).toBool(), false);
        QVERIFY(s->FDQuery1.value(QStringLiteral("create_date")).toDateTime().isValid());
        s->FDQuery1.setValue(QStringLiteral("store_name"), QStringLiteral("总仓"));
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("提示|仓库【总仓】保存成功!")));
        QCOMPARE(fx->ui().ofKind(Kind::Notice).size(), 1);
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_store where store_name='总仓'")).toString(),
                 QStringLiteral("ZC"));
        // Renaming recomputes the search code.
        s->btnEditClick();
        s->FDQuery1.setValue(QStringLiteral("store_name"), QStringLiteral("北京仓库"));
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_store")).toString(), QStringLiteral("BJCK"));
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("浏览")), 1);
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("新增")), 1);
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("修改")), 1);
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("保存")), 2);
        s.reset();
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("关闭")), 1);
    }

    void emptyNameIsRefused()
    {
        auto s = openStores();
        s->btnNewClick();
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入仓库名称!")));
        QCOMPARE(s->FDQuery1.state(), Dataset::State::Insert);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store")).toInt(), 0);
        // Cancelling asks first; Yes drops the new row.
        fx->ui().answers.enqueue(true);
        s->btnCancelClick();
        QCOMPARE(fx->ui().texts().last(), QStringLiteral("取消编辑|数据已经修改过，确定要取消吗？"));
        QCOMPARE(s->FDQuery1.recordCount(), 0);
    }

    void deleteAskLogsWhateverTheAnswer()
    {
        addStore(QStringLiteral("甲库"));
        auto s = openStores();
        fx->ui().answers.enqueue(false);
        s->btnDelClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("删除|确定要删除吗？")));
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("删除")), 1);
        QCOMPARE(s->FDQuery1.recordCount(), 1);
        fx->ui().answers.enqueue(true);
        s->btnDelClick();
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("删除")), 2);
        QCOMPARE(s->FDQuery1.recordCount(), 0);
        QCOMPARE(fx->scalar(QStringLiteral("select del from tb_store")).toInt(), 1);
    }

    void deleteNeedsOnlyCanDel()
    {
        addStore(QStringLiteral("甲库"));
        grantDemo(QStringLiteral("仓库"), false, true);
        auto s = openStores();
        fx->ui().answers.enqueue(true);
        s->btnDelClick();
        QCOMPARE(fx->ui().ofKind(Kind::Warning).size(), 0);
        QCOMPARE(fx->scalar(QStringLiteral("select del from tb_store")).toInt(), 1);
        // Without can_del the refusal comes first, without a question.
        addStore(QStringLiteral("乙库"));
        grantDemo(QStringLiteral("仓库"), true, false);
        s->btnRefreshClick();
        fx->ui().clear();
        s->btnDelClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("权限验证失败|您没有操作此项目的权限！")));
    }

    void withoutCanEditNoCellEditing()
    {
        addStore(QStringLiteral("甲库"));
        grantDemo(QStringLiteral("仓库"), false, false);
        auto s = openStores();
        QTableView *table = s->cxGrid1->table();
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, s->cxGrid1->columnOf(QStringLiteral("store_name"))));
        QTest::keyClick(table, Qt::Key_A);
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("权限验证失败|您没有操作此项目的权限！")));
        QVERIFY(table->viewport()->findChildren<QLineEdit *>().isEmpty()); // no editor opened
        QCOMPARE(s->FDQuery1.state(), Dataset::State::Browse);
        // Ticking the stop box is an edit too.
        fx->ui().clear();
        const QModelIndex stop = table->model()->index(0, s->cxGrid1->columnOf(QStringLiteral("is_stop")));
        QVERIFY(!table->model()->setData(stop, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(fx->ui().ofKind(Kind::Warning).size(), 1);
        s->btnNewClick();
        QCOMPARE(s->FDQuery1.recordCount(), 1);
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("修改")), 0);
    }

    void cellEditingWithTheRight()
    {
        addStore(QStringLiteral("甲库"));
        auto s = openStores();
        QTableView *table = s->cxGrid1->table();
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, s->cxGrid1->columnOf(QStringLiteral("store_name"))));
        QTest::keyClick(table, Qt::Key_B);
        QCOMPARE(table->viewport()->findChildren<QLineEdit *>().size(), 1); // the editor is open
        QCOMPARE(s->FDQuery1.state(), Dataset::State::Edit);
        QCOMPARE(logCount(QStringLiteral("仓库"), QStringLiteral("修改")), 1);
        // The read-only search code never opens an editor.
        QVERIFY(!(table->model()->index(0, s->cxGrid1->columnOf(QStringLiteral("pym"))).flags() & Qt::ItemIsEditable));
    }

    void selectModeReturnsTheRow()
    {
        addStore(QStringLiteral("甲库"));
        addStore(QStringLiteral("乙库"));
        addStore(QStringLiteral("停用库"), true);
        addStore(QStringLiteral("删除库"), false, true);
        auto s = openStores(true);
        QCOMPARE(s->size(), QSize(800, 600));
        QVERIFY(s->btnSelect->isVisible());
        QCOMPARE(s->FDQuery1.recordCount(), 2); // stopped and deleted ones are not offered
        QTableView *table = s->cxGrid1->table();
        for (int c = 0; c < table->model()->columnCount(); ++c)
            QVERIFY(!(table->model()->index(0, c).flags() & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)));
        const QRect cell = table->visualRect(table->model()->index(1, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(s->result(), int(QDialog::Accepted));
        QCOMPARE(s->selectId(),
                 fx->scalar(QStringLiteral("select id from tb_store where store_name='乙库'")).toInt());

        auto all = openStores();
        QCOMPARE(all->FDQuery1.recordCount(), 3); // the stopped one is listed here
    }

    void stoppedRowsAreRed()
    {
        addStore(QStringLiteral("甲库"));
        addStore(QStringLiteral("停用库"), true);
        auto s = openStores();
        QAbstractItemModel *m = s->cxGrid1->table()->model();
        for (int c = 0; c < m->columnCount(); ++c) {
            QCOMPARE(m->index(1, c).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
            QVERIFY(!m->index(0, c).data(Qt::ForegroundRole).isValid());
        }
        fx->exec(QStringLiteral("insert into tb_store_position (store_id, position_name, is_stop) values (1, 'A', 1)"));
        TfrmListPosition p;
        p.show();
        QCOMPARE(p.cxGrid1->table()->model()->index(0, 2).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::red));
    }

    void layoutSurvivesReopening()
    {
        addStore(QStringLiteral("甲库"));
        {
            auto s = openStores();
            QHeaderView *h = s->cxGrid1->table()->horizontalHeader();
            h->resizeSection(1, 321);
            h->setSectionHidden(2, true);
            h->moveSection(4, 0);
            s->cxGrid1->table()->sortByColumn(1, Qt::DescendingOrder);
            s->btnAutoWidthClick();
            QCOMPARE(s->btnAutoWidth->text(), QStringLiteral("取消自动宽度"));
            s->btnAutoWidthClick();
            QCOMPARE(s->btnAutoWidth->text(), QStringLiteral("自动宽度"));
            h->resizeSection(1, 321);
        }
        QVERIFY(QFile::exists(QStringLiteral("store/frmListStore")));
        auto s = openStores();
        QHeaderView *h = s->cxGrid1->table()->horizontalHeader();
        QCOMPARE(h->sectionSize(1), 321);
        QVERIFY(h->isSectionHidden(2));
        QCOMPARE(h->logicalIndex(0), 4);
        QCOMPARE(h->sortIndicatorSection(), 1);
        QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void exportFlow_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("written"); // the file the grid is written to and opened from; empty: none
        QTest::addColumn<QString>("opened");
        QTest::newRow("xlsx") << "a.xlsx" << "a.xlsx" << "a.xlsx";
        QTest::newRow("xls") << "a.xls" << "a.xls" << "a.xls";
        QTest::newRow("csv") << "a.csv" << "a.csv" << "a.csv";
        QTest::newRow("no extension takes xls") << "a" << "a.xls" << "a.xls";
        QTest::newRow("upper case matches nothing") << "a.XLSX" << "" << "a.XLSX";
        QTest::newRow("other extension") << "a.txt" << "" << "a.txt";
    }
    void exportFlow()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, written);
        QFETCH(QString, opened);
        QTemporaryDir dir;
        addStore(QStringLiteral("甲库"));
        auto s = openStores();
        fx->ui().fileNames.enqueue(dir.filePath(fileName));
        s->btnexportClick();
        QCOMPARE(fx->ui().texts(), QStringList());
        QCOMPARE(fx->ui().opened, QStringList(dir.filePath(opened)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList(written));
        if (written.endsWith(QLatin1String(".csv"))) {
            QFile f(dir.filePath(written));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(QString::fromUtf8(f.readAll()).contains(QStringLiteral("甲库")));
        }
    }

    void printHandsTheGridToThePrintScreen()
    {
        addStore(QStringLiteral("甲库"));
        auto s = openStores();
        s->cxGrid1->table()->horizontalHeader()->resizeSection(1, 150);
        s->cxGrid1->table()->horizontalHeader()->setSectionHidden(2, true);
        PrintColumns seen;
        QString module;
        fx->ui().dialogs.enqueue([&](QDialog *d) {
            auto *p = qobject_cast<TfrmPrint *>(d);
            if (p) {
                seen = p->BandedTableView();
                module = p->ModularName();
            }
            return int(QDialog::Rejected);
        });
        s->btnPrintClick();
        QCOMPARE(module, QStringLiteral("仓库"));
        QCOMPARE(seen.size(), s->cxGrid1->columns().size());
        QCOMPARE(seen[1].caption, s->cxGrid1->columns()[1].caption);
        QCOMPARE(seen[1].width, 150);
        QVERIFY(!seen[2].visible);
        QVERIFY(fx->ui().unexpected.isEmpty());
        // Nothing printed: no log row.
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_user_log where action='打印'")).toInt(), 0);
    }

    void failedExportShowsTheReasonAndOpensNothing()
    {
        addStore(QStringLiteral("甲库"));
        auto s = openStores();
        fx->ui().fileNames.enqueue(QStringLiteral("/nonexistent-folder/a.csv"));
        s->btnexportClick();
        QCOMPARE(fx->ui().messages.size(), 1);
        QCOMPARE(fx->ui().messages.first().caption, QStringLiteral("错误"));
        QVERIFY(fx->ui().opened.isEmpty());
    }

    void exportAndPrintNeedTheirRights()
    {
        addStore(QStringLiteral("甲库"));
        grantDemo(QStringLiteral("仓库"), true, true, false);
        auto s = openStores();
        s->btnexportClick();
        s->btnPrintClick();
        QCOMPARE(fx->ui().texts(), QStringList({QStringLiteral("权限验证失败|您没有操作此项目的权限！"),
                                                QStringLiteral("权限验证失败|您没有操作此项目的权限！")}));
        // A cancelled file dialog ends the export quietly.
        grantDemo(QStringLiteral("仓库"), true, true, true);
        fx->ui().clear();
        fx->ui().fileNames.enqueue(QString());
        s->btnexportClick();
        QVERIFY(fx->ui().texts().isEmpty() && fx->ui().opened.isEmpty());
    }

    void exportTableHasVisibleColumnsAndFilteredRows()
    {
        addStore(QStringLiteral("甲库"));
        addStore(QStringLiteral("乙库"));
        auto s = openStores();
        s->cxGrid1->table()->horizontalHeader()->setSectionHidden(2, true);
        s->cxGrid1->setFindText(QStringLiteral("乙"));
        const ExportTable t = s->cxGrid1->exportTable();
        QCOMPARE(t.captions, QStringList({QStringLiteral("仓库编号"), QStringLiteral("仓库名称"),
                                          QStringLiteral("创建时间"), QStringLiteral("停用")}));
        QCOMPARE(t.rows.size(), 1);
        QCOMPARE(t.rows[0][1].toString(), QStringLiteral("乙库"));
        QCOMPARE(t.rows[0][3], QVariant(false));
    }

    void findPanel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty") << "" << QStringList({"北京仓库", "上海仓库", "北京门店"});
        QTest::newRow("one word") << "北京" << QStringList({"北京仓库", "北京门店"});
        QTest::newRow("any of two words") << "上海 门店" << QStringList({"上海仓库", "北京门店"});
        QTest::newRow("required") << "+北京 +仓库" << QStringList({"北京仓库"});
        QTest::newRow("excluded") << "-北京" << QStringList({"上海仓库"});
        QTest::newRow("column") << "仓库名称:门店" << QStringList({"北京门店"});
        QTest::newRow("search code column") << "bjmd" << QStringList({"北京门店"});
        QTest::newRow("nothing") << "广州" << QStringList();
    }
    void findPanel()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        fx->exec(QStringLiteral("insert into tb_store (store_name, pym) values ('北京仓库','BJCK'),('上海仓库','SHCK'),"
                                "('北京门店','BJMD')"));
        auto s = openStores();
        s->cxGrid1->setFindText(text);
        QStringList names;
        for (int r = 0; r < s->cxGrid1->shownRowCount(); ++r)
            names << s->FDQuery1.valueAt(s->cxGrid1->datasetRow(r), QStringLiteral("store_name")).toString();
        QCOMPARE(names, shown);
    }

    void findPanelWaitsForThePause()
    {
        fx->exec(QStringLiteral("insert into tb_store (store_name, pym) values ('北京仓库','BJCK'),('上海仓库','SHCK')"));
        auto s = openStores();
        QTest::keyClicks(s->cxGrid1->findEdit(), QStringLiteral("shck"));
        QCOMPARE(s->cxGrid1->shownRowCount(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(s->cxGrid1->shownRowCount(), 1, 2000);
    }

    void positionCarriesTheWarehouseOver()
    {
        addStore(QStringLiteral("甲库"));
        addStore(QStringLiteral("乙库"));
        const int second = fx->scalar(QStringLiteral("select id from tb_store where store_name='乙库'")).toInt();
        TfrmListPosition p;
        p.show();
        p.btnNewClick();
        p.FDQuery1.setValue(QStringLiteral("position_name"), QStringLiteral("A-01"));
        p.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入所属仓库!")));

        // The warehouse button runs the picker; the person chooses 乙库.
        fx->ui().dialogs.enqueue([](QDialog *d) {
            auto *picker = qobject_cast<TfrmListStore *>(d);
            picker->show();
            picker->FDQuery1.locate(QStringLiteral("store_name"), QStringLiteral("乙库"));
            picker->btnSelectClick();
            return picker->result();
        });
        p.btnStoreClick();
        QCOMPARE(p.FDQuery1.value(QStringLiteral("store_id")).toInt(), second);
        QCOMPARE(p.FDQuery1.value(QStringLiteral("store_name")).toString(), QStringLiteral("乙库"));
        fx->ui().clear();
        p.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("提示|货位【A-01】保存成功!")));
        QCOMPARE(p.storeId, second);

        p.btnNewClick();
        QCOMPARE(p.FDQuery1.value(QStringLiteral("store_id")).toInt(), second);
        fx->ui().clear();
        p.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入货位名称!")));

        // A picker closed without a choice leaves the row as it was.
        fx->ui().dialogs.enqueue([](QDialog *) { return int(QDialog::Rejected); });
        p.btnStoreClick();
        QCOMPARE(p.FDQuery1.value(QStringLiteral("store_id")).toInt(), second);
    }

    void positionDeleteRemovesTheRow()
    {
        fx->exec(QStringLiteral("insert into tb_store_position (store_id, position_name) values (1, 'A'), (1, 'B')"));
        TfrmListPosition p;
        p.show();
        fx->ui().answers.enqueue(true);
        p.btnDelClick();
        QCOMPARE(fx->scalar(QStringLiteral("select group_concat(position_name) from tb_store_position")).toString(),
                 QStringLiteral("B"));
        QCOMPARE(p.FDQuery1.recordCount(), 1);
        QCOMPARE(logCount(QStringLiteral("货位"), QStringLiteral("删除")), 1);
    }

    void closeAsksWhileEditing()
    {
        auto s = openStores();
        QSignalSpy closed(s.get(), &QDialog::rejected);
        s->btnNewClick();
        fx->ui().answers.enqueue(false);
        s->btnCloseClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("关闭确认|数据已修改，尚未保存，确定要退出吗？")));
        QCOMPARE(closed.count(), 0);
        fx->ui().answers.enqueue(true);
        s->btnCloseClick();
        QCOMPARE(closed.count(), 1);
    }

    void modelsPassTheTester()
    {
        addStore(QStringLiteral("甲库"));
        addStore(QStringLiteral("停用库"), true);
        auto s = openStores();
        QAbstractItemModelTester t1(s->cxGrid1->datasetModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester t2(s->cxGrid1->filterModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        s->cxGrid1->setGroupField(QStringLiteral("is_stop"));
        QAbstractItemModelTester t3(s->cxGrid1->table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        s->btnNewClick();
        s->FDQuery1.setValue(QStringLiteral("store_name"), QStringLiteral("新库"));
        s->btnSaveClick();
        s->cxGrid1->setFindText(QStringLiteral("库"));
        s->btnRefreshClick();
        fx->ui().answers.enqueue(true);
        s->btnDelClick();
        s->cxGrid1->setGroupField(QString());
    }
};

QTEST_MAIN(TestListStore)
#include "tst_liststore.moc"
