// The dataset layer: states, navigation, hooks, immediate and cached writing,
// client-only fields and the item-model adapter.
#include "TestFixture.h"
#include "data/DatasetModel.h"
#include "data/DbError.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class TestDataset : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    std::unique_ptr<Dataset> stores(bool cached = false)
    {
        auto ds = std::make_unique<Dataset>(fx->db());
        ds->setSql(QStringLiteral("select * from tb_store where del=0 order by id"));
        ds->setUpdateTable(QStringLiteral("tb_store"));
        ds->setCachedUpdates(cached);
        ds->open();
        return ds;
    }
    int storeCount() { return fx->scalar(QStringLiteral("select count(*) from tb_store")).toInt(); }

private slots:
    void initTestCase() { fx = std::make_unique<TestFixture>(); }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->exec(QStringLiteral("delete from tb_store"));
        fx->exec(QStringLiteral("insert into tb_store (id, store_no, store_name, is_stop) values "
                                "(1, '01', '北京仓', 0), (2, '02', '上海仓', 1), (3, '03', '广州仓', 0)"));
        fx->ui().clear();
    }

    void opensWithTypedFieldsAndNavigates()
    {
        auto ds = stores();
        QCOMPARE(ds->state(), Dataset::State::Browse);
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->recNo(), 0);
        QVERIFY(ds->field(QStringLiteral("is_stop")).isBoolean);
        QCOMPARE(ds->valueAt(1, QStringLiteral("is_stop")).typeId(), QMetaType::Bool);
        QCOMPARE(ds->value(QStringLiteral("id")).typeId(), QMetaType::Int);
        QVERIFY(ds->bof());
        ds->last();
        QVERIFY(ds->eof());
        QCOMPARE(ds->value(QStringLiteral("store_name")).toString(), QStringLiteral("广州仓"));
        ds->prior();
        QCOMPARE(ds->value(QStringLiteral("store_no")).toString(), QStringLiteral("02"));
        QVERIFY(ds->locate(QStringLiteral("store_name"), QStringLiteral("北京仓")));
        QCOMPARE(ds->recNo(), 0);
        QVERIFY(!ds->locate(QStringLiteral("store_name"), QStringLiteral("无此仓")));
        QCOMPARE(ds->recNo(), 0);
    }

    void immediateInsertTakesServerIdAndDefaults()
    {
        auto ds = stores();
        QSignalSpy states(ds.get(), &Dataset::stateChanged);
        ds->onNewRecord = [](Dataset &d) { d.setValue(QStringLiteral("store_no"), QStringLiteral("04")); };
        ds->append();
        QCOMPARE(ds->state(), Dataset::State::Insert);
        QCOMPARE(ds->recNo(), 3);
        QCOMPARE(ds->value(QStringLiteral("store_no")).toString(), QStringLiteral("04"));
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("深圳仓"));
        QVERIFY(ds->post());
        QCOMPARE(ds->state(), Dataset::State::Browse);
        const int id = ds->value(QStringLiteral("id")).toInt();
        QVERIFY(id > 3);
        QCOMPARE(ds->value(QStringLiteral("is_stop")), QVariant(false)); // server default read back
        QCOMPARE(fx->scalar(QStringLiteral("select store_name from tb_store where id=%1").arg(id)).toString(),
                 QStringLiteral("深圳仓"));
        QCOMPARE(states.count(), 2);
    }

    void editWritesOnlyChangedColumnsAndCancelRestores()
    {
        auto ds = stores();
        // Another client renames the warehouse meanwhile; our edit of another column must not undo it.
        fx->exec(QStringLiteral("update tb_store set store_name='北京一号仓' where id=1"));
        QVERIFY(ds->setValue(QStringLiteral("store_no"), QStringLiteral("01A")));
        QCOMPARE(ds->state(), Dataset::State::Edit);
        QVERIFY(ds->post());
        QCOMPARE(fx->scalar(QStringLiteral("select concat(store_no,'/',store_name) from tb_store where id=1"))
                     .toString(),
                 QStringLiteral("01A/北京一号仓"));

        ds->setValue(QStringLiteral("store_name"), QStringLiteral("改名"));
        ds->cancel();
        QCOMPARE(ds->state(), Dataset::State::Browse);
        QCOMPARE(ds->value(QStringLiteral("store_name")).toString(), QStringLiteral("北京仓"));
    }

    void beforePostRefusalKeepsEditState()
    {
        auto ds = stores();
        int afterPosts = 0;
        ds->beforePost = [](Dataset &d) { return !d.value(QStringLiteral("store_name")).toString().isEmpty(); };
        ds->afterPost = [&](Dataset &) { ++afterPosts; };
        ds->append();
        QVERIFY(!ds->post());
        QCOMPARE(ds->state(), Dataset::State::Insert);
        QCOMPARE(storeCount(), 3);
        // Moving away is refused too, so nothing typed is lost.
        QVERIFY(!ds->setRecNo(0));
        QCOMPARE(ds->recNo(), 3);
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("新仓"));
        QVERIFY(ds->post());
        QCOMPARE(afterPosts, 1);
        QCOMPARE(storeCount(), 4);
    }

    void beforeEditRefusalBlocksChanges()
    {
        auto ds = stores();
        ds->beforeEdit = [](Dataset &) { return false; };
        QVERIFY(!ds->edit());
        QVERIFY(!ds->setValue(QStringLiteral("store_name"), QStringLiteral("x")));
        QCOMPARE(ds->state(), Dataset::State::Browse);
        QCOMPARE(ds->value(QStringLiteral("store_name")).toString(), QStringLiteral("北京仓"));
    }

    void cancelledInsertLeavesNoRow()
    {
        auto ds = stores();
        ds->setRecNo(1);
        ds->append();
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("草稿"));
        ds->cancel();
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->state(), Dataset::State::Browse);
        QCOMPARE(storeCount(), 3);
    }

    void immediateDeleteRemovesRow()
    {
        auto ds = stores();
        ds->setRecNo(1);
        QVERIFY(ds->deleteRecord());
        QCOMPARE(ds->recordCount(), 2);
        QCOMPARE(ds->value(QStringLiteral("id")).toInt(), 3);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store where id=2")).toInt(), 0);
    }

    void fieldChangeAndCalcHooks()
    {
        auto ds = std::make_unique<Dataset>(fx->db());
        ds->setSql(QStringLiteral("select * from tb_in_out_detail where 1>2"));
        ds->setUpdateTable(QStringLiteral("tb_in_out_detail"));
        ds->addClientField(QStringLiteral("label"), QMetaType::QString);
        ds->onFieldChanged = [](Dataset &d, const QString &name) {
            if (name == QLatin1String("quantity") || name == QLatin1String("price"))
                d.setValue(QStringLiteral("amount"), d.value(QStringLiteral("quantity")).toDouble() *
                                                         d.value(QStringLiteral("price")).toDouble());
        };
        ds->onCalcFields = [](Dataset &d, int row) {
            d.setClientValue(row, QStringLiteral("label"),
                             QStringLiteral("%1 件").arg(d.valueAt(row, QStringLiteral("quantity")).toDouble()));
        };
        ds->open();
        ds->append();
        ds->setValue(QStringLiteral("guid"), QStringLiteral("G1"));
        ds->setValue(QStringLiteral("quantity"), 3);
        ds->setValue(QStringLiteral("price"), 2.5);
        QCOMPARE(ds->value(QStringLiteral("amount")).toDouble(), 7.5);
        QCOMPARE(ds->value(QStringLiteral("label")).toString(), QStringLiteral("3 件"));
        QVERIFY(ds->post());
        QCOMPARE(fx->scalar(QStringLiteral("select amount from tb_in_out_detail where guid='G1'")).toDouble(), 7.5);
    }

    void cachedUpdatesWaitForApplyAndRollBackWithTransaction()
    {
        auto ds = stores(true);
        ds->append();
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("新仓"));
        ds->post();
        ds->setRecNo(0);
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("北京总仓"));
        ds->post();
        ds->setRecNo(2);
        ds->deleteRecord();
        QCOMPARE(storeCount(), 3); // nothing written yet
        QVERIFY(ds->hasPendingUpdates());
        QCOMPARE(ds->updateStatus(0), Dataset::UpdateStatus::Modified);
        QCOMPARE(ds->updateStatus(2), Dataset::UpdateStatus::Inserted);

        // Applied inside a transaction that is rolled back: the server keeps the old rows,
        // the dataset keeps its pending changes and can apply them again.
        {
            TransactionGuard tx(fx->db());
            ds->applyUpdates();
            QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store")).toInt(), 3);
        }
        QCOMPARE(fx->scalar(QStringLiteral("select store_name from tb_store where id=1")).toString(),
                 QStringLiteral("北京仓"));
        QCOMPARE(storeCount(), 3);
        QVERIFY(ds->hasPendingUpdates());

        {
            TransactionGuard tx(fx->db());
            ds->applyUpdates();
            tx.commit();
        }
        ds->commitUpdates();
        QVERIFY(!ds->hasPendingUpdates());
        QCOMPARE(fx->scalar(QStringLiteral("select group_concat(store_name order by id) from tb_store")).toString(),
                 QStringLiteral("北京总仓,上海仓,新仓"));
    }

    void failedApplyLeavesChangesPending()
    {
        auto ds = stores(true);
        ds->append();
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("甲"));
        ds->post();
        ds->append();
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("乙"));
        ds->setValue(QStringLiteral("store_no"), QStringLiteral("太长的编号超过十个字符了")); // refused by the server
        ds->post();
        bool failed = false;
        try {
            TransactionGuard tx(fx->db());
            ds->applyUpdates();
            tx.commit();
        } catch (const DbError &e) {
            failed = true;
            QVERIFY2(e.message().contains(QStringLiteral("store_no")), qPrintable(e.message()));
        }
        QVERIFY(failed);
        QCOMPARE(storeCount(), 3);
        QVERIFY(ds->valueAt(3, QStringLiteral("id")).isNull());
        QCOMPARE(ds->updateStatus(3), Dataset::UpdateStatus::Inserted);
    }

    void cancelUpdatesRestoresEverything()
    {
        auto ds = stores(true);
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("改"));
        ds->post();
        ds->setRecNo(1);
        ds->deleteRecord();
        ds->append();
        ds->setValue(QStringLiteral("store_name"), QStringLiteral("新"));
        ds->post();
        ds->cancelUpdates();
        QVERIFY(!ds->hasPendingUpdates());
        QCOMPARE(ds->recordCount(), 3);
        QStringList names;
        for (int i = 0; i < ds->recordCount(); ++i)
            names << ds->valueAt(i, QStringLiteral("store_name")).toString();
        QCOMPARE(names, (QStringList{QStringLiteral("北京仓"), QStringLiteral("上海仓"), QStringLiteral("广州仓")}));
    }

    void joinedColumnsAreNeverWritten()
    {
        fx->exec(QStringLiteral("insert into tb_store_position (id, position_no, position_name, store_id) "
                                "values (1, 'A1', '一号位', 1)"));
        Dataset ds(fx->db());
        ds.setSql(QStringLiteral("select a.*, b.store_name from tb_store_position a "
                                 "left join tb_store b on a.store_id=b.id"));
        ds.setUpdateTable(QStringLiteral("tb_store_position"));
        ds.open();
        ds.setValue(QStringLiteral("store_name"), QStringLiteral("不应写入"));
        ds.setValue(QStringLiteral("position_name"), QStringLiteral("二号位"));
        QVERIFY(ds.post());
        QCOMPARE(fx->scalar(QStringLiteral("select position_name from tb_store_position where id=1")).toString(),
                 QStringLiteral("二号位"));
        QCOMPARE(fx->scalar(QStringLiteral("select store_name from tb_store where id=1")).toString(),
                 QStringLiteral("北京仓"));
    }

    void textWithQuotesAndBackslashesRoundTrips()
    {
        const QString name = QStringLiteral("O'Neil\\仓\"; drop table x;--");
        auto ds = stores();
        ds->append();
        ds->setValue(QStringLiteral("store_name"), name);
        ds->post();
        auto again = stores();
        QVERIFY(again->locate(QStringLiteral("store_name"), name));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_store where store_name=%1")
                                .arg(fx->db().quote(name)))
                     .toInt(),
                 1);
    }

    void modelEditsThroughDataset()
    {
        auto ds = stores();
        DatasetModel model(ds.get());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns({QStringLiteral("store_no"), QStringLiteral("store_name"), QStringLiteral("is_stop")},
                         {QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("停用")});
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
        QCOMPARE(model.data(model.index(1, 2), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("广州仓"));

        bool refuse = true;
        ds->beforeEdit = [&](Dataset &) { return !refuse; };
        QVERIFY(!model.setData(model.index(2, 1), QStringLiteral("拒绝")));
        refuse = false;
        QVERIFY(model.setData(model.index(2, 1), QStringLiteral("广州新仓")));
        QCOMPARE(ds->recNo(), 2);
        QCOMPARE(ds->state(), Dataset::State::Edit);
        QVERIFY(model.setData(model.index(2, 2), Qt::Checked, Qt::CheckStateRole));
        ds->post();
        QCOMPARE(fx->scalar(QStringLiteral("select concat(store_name, is_stop) from tb_store where id=3")).toString(),
                 QStringLiteral("广州新仓1"));

        ds->append();
        QCOMPARE(model.rowCount(), 4);
        ds->cancel();
        QCOMPARE(model.rowCount(), 3);
        ds->refresh();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(ds->recNo(), 2); // refresh stays on the same id
        model.setReadOnly(true);
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
    }
};

QTEST_MAIN(TestDataset)
#include "tst_dataset.moc"
