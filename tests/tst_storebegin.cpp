// Opening stock: required warehouse and goods in their order, the duplicate
// check within one warehouse, amount = price × quantity while editing and the
// rounding on save (also after the company's decimals changed), typed numbers
// and pickers, the warehouse carried to the next row, and physical deletion.
#include "TestFixture.h"
#include "app/uMain.h"
#include "masterdata/uCompany.h"
#include "masterdata/uListGoods.h"
#include "masterdata/uListStore.h"
#include "masterdata/uListStoreBegin.h"

#include <QSpinBox>
#include <QTableView>
#include <QtTest>

using Kind = ScriptedInteraction::Kind;

class TestStoreBegin : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;
    int storeA = 0, storeB = 0, stoppedStore = 0, deletedStore = 0;
    int screw = 0, nut = 0, stoppedGoods = 0, deletedGoods = 0;

    int addStore(const QString &no, const QString &name, bool stopped = false, bool deleted = false)
    {
        fx->exec(QStringLiteral("insert into tb_store (store_no, store_name, is_stop, del) values (%1, %2, %3, %4)")
                     .arg(fx->db().quote(no), fx->db().quote(name))
                     .arg(stopped ? 1 : 0)
                     .arg(deleted ? 1 : 0));
        return fx->scalar(QStringLiteral("select max(id) from tb_store")).toInt();
    }
    int addGoods(const QString &no, const QString &name, bool stopped = false, bool deleted = false)
    {
        fx->exec(QStringLiteral("insert into tb_goods (class_id, goods_no, goods_name, unit, model, specs, is_stop, del) "
                                "values (1, %1, %2, '个', 'M-%3', 'S-%3', %4, %5)")
                     .arg(fx->db().quote(no), fx->db().quote(name), no)
                     .arg(stopped ? 1 : 0)
                     .arg(deleted ? 1 : 0));
        return fx->scalar(QStringLiteral("select max(id) from tb_goods")).toInt();
    }
    void addBegin(int store, int goods, double quantity = 1, double price = 1)
    {
        fx->exec(QStringLiteral("insert into tb_store_begin (store_id, goods_id, quantity, price, amount) "
                                "values (%1, %2, %3, %4, %5)")
                     .arg(store)
                     .arg(goods)
                     .arg(quantity)
                     .arg(price)
                     .arg(quantity * price));
    }
    std::unique_ptr<TfrmListStoreBegin> openScreen()
    {
        auto s = std::make_unique<TfrmListStoreBegin>();
        s->show();
        return s;
    }
    // A new row with this warehouse and goods, both typed as numbers.
    static void newRow(TfrmListStoreBegin &s, const QString &storeNo, const QString &goodsNo)
    {
        s.btnNewClick();
        if (!storeNo.isEmpty())
            s.storeNoValidate(storeNo);
        if (!goodsNo.isEmpty())
            s.goodsNoValidate(goodsNo);
    }
    int rows(const QString &where = QStringLiteral("1=1"))
    {
        return fx->scalar(QStringLiteral("select count(*) from tb_store_begin where ") + where).toInt();
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
        storeA = addStore(QStringLiteral("A1"), QStringLiteral("一号库"));
        storeB = addStore(QStringLiteral("B2"), QStringLiteral("二号库"));
        stoppedStore = addStore(QStringLiteral("T9"), QStringLiteral("停用库"), true);
        deletedStore = addStore(QStringLiteral("D9"), QStringLiteral("删除库"), false, true);
        screw = addGoods(QStringLiteral("G01"), QStringLiteral("螺丝"));
        nut = addGoods(QStringLiteral("G02"), QStringLiteral("螺母"));
        stoppedGoods = addGoods(QStringLiteral("G08"), QStringLiteral("停用货"), true);
        deletedGoods = addGoods(QStringLiteral("G09"), QStringLiteral("删除货"), false, true);
    }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void requiredInOrder_data()
    {
        QTest::addColumn<QString>("storeNo");
        QTest::addColumn<QString>("goodsNo");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing: the warehouse first") << "" << "" << "保存|请输入仓库!";
        QTest::newRow("goods only") << "" << "G01" << "保存|请输入仓库!";
        QTest::newRow("warehouse only") << "A1" << "" << "保存|请输入货品!";
        QTest::newRow("both") << "A1" << "G01" << "提示|期初库存【螺丝】保存成功!";
    }
    void requiredInOrder()
    {
        QFETCH(QString, storeNo);
        QFETCH(QString, goodsNo);
        QFETCH(QString, message);
        auto s = openScreen();
        newRow(*s, storeNo, goodsNo);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("is_stop")).toBool(), false);
        QVERIFY(s->FDQuery1.value(QStringLiteral("create_date")).toDateTime().isValid());
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(message));
        const bool saved = message.startsWith(QStringLiteral("提示"));
        QCOMPARE(s->FDQuery1.state(), saved ? Dataset::State::Browse : Dataset::State::Insert);
        QCOMPARE(rows(), saved ? 1 : 0);
    }

    void duplicateWithinOneWarehouseOnly_data()
    {
        QTest::addColumn<QString>("storeNo");
        QTest::addColumn<QString>("goodsNo");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same warehouse, same goods") << "A1" << "G01" << true;
        QTest::newRow("other warehouse, same goods") << "B2" << "G01" << false;
        QTest::newRow("same warehouse, other goods") << "A1" << "G02" << false;
    }
    void duplicateWithinOneWarehouseOnly()
    {
        QFETCH(QString, storeNo);
        QFETCH(QString, goodsNo);
        QFETCH(bool, refused);
        addBegin(storeA, screw);
        auto s = openScreen();
        newRow(*s, storeNo, goodsNo);
        s->btnSaveClick();
        if (refused) {
            QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请不要重复输入货品!")));
            QCOMPARE(fx->ui().ofKind(Kind::Warning).size(), 1);
            QCOMPARE(s->FDQuery1.state(), Dataset::State::Insert);
        }
        QCOMPARE(rows(), refused ? 1 : 2);
    }

    void aSavedRowIsNotItsOwnDuplicate()
    {
        addBegin(storeA, screw, 4, 2);
        auto s = openScreen();
        s->btnEditClick();
        s->FDQuery1.setValue(QStringLiteral("quantity"), 4.0);
        s->FDQuery1.setValue(QStringLiteral("create_date"), QDateTime(QDate(2026, 1, 2), QTime(8, 0)));
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("提示|期初库存【螺丝】保存成功!")));
        QCOMPARE(fx->scalar(QStringLiteral("select date(create_date) from tb_store_begin")).toDate(), QDate(2026, 1, 2));
        // Moved onto a row that exists, it is refused.
        addBegin(storeB, screw);
        fx->ui().clear();
        s->btnEditClick();
        s->storeNoValidate(QStringLiteral("B2"));
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请不要重复输入货品!")));
    }

    void amountWorkedOutAndRounded_data()
    {
        QTest::addColumn<int>("amountSize");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("editingAmount");
        QTest::addColumn<double>("savedQuantity");
        QTest::addColumn<double>("savedPrice");
        QTest::addColumn<double>("savedAmount");
        QTest::newRow("3 x 2.5") << 2 << 3.0 << 2.5 << 7.5 << 3.0 << 2.5 << 7.5;
        QTest::newRow("3 x 2.5, whole amounts") << 0 << 3.0 << 2.5 << 7.5 << 3.0 << 2.5 << 8.0;
        QTest::newRow("rounded quantity and price") << 2 << 1.004 << 2.3456 << 1.004 * 2.3456 << 1.0 << 2.35 << 2.35;
        QTest::newRow("negative half away from zero") << 0 << -3.0 << 2.5 << -7.5 << -3.0 << 2.5 << -8.0;
    }
    void amountWorkedOutAndRounded()
    {
        QFETCH(int, amountSize);
        QFETCH(double, quantity);
        QFETCH(double, price);
        QFETCH(double, editingAmount);
        QFETCH(double, savedQuantity);
        QFETCH(double, savedPrice);
        QFETCH(double, savedAmount);
        fx->exec(QStringLiteral("update tb_company set amount_size=%1").arg(amountSize));
        fx->dm().getCompanyInfo();
        auto s = openScreen();
        newRow(*s, QStringLiteral("A1"), QStringLiteral("G01"));
        s->FDQuery1.setValue(QStringLiteral("quantity"), quantity);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("amount")).toDouble(), 0.0); // no price yet
        s->FDQuery1.setValue(QStringLiteral("price"), price);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("amount")).toDouble(), editingAmount);
        s->btnSaveClick();
        QCOMPARE(s->FDQuery1.state(), Dataset::State::Browse);
        QCOMPARE(fx->scalar(QStringLiteral("select quantity from tb_store_begin")).toDouble(), savedQuantity);
        QCOMPARE(fx->scalar(QStringLiteral("select price from tb_store_begin")).toDouble(), savedPrice);
        QCOMPARE(fx->scalar(QStringLiteral("select amount from tb_store_begin")).toDouble(), savedAmount);
    }

    void amountIsNotTypedInTheGrid()
    {
        addBegin(storeA, screw);
        auto s = openScreen();
        QAbstractItemModel *m = s->cxGrid1->table()->model();
        QVERIFY(!(m->index(0, s->cxGrid1->columnOf(QStringLiteral("amount"))).flags() & Qt::ItemIsEditable));
        QVERIFY(m->index(0, s->cxGrid1->columnOf(QStringLiteral("quantity"))).flags() & Qt::ItemIsEditable);
        // Through the grid the amount follows the quantity.
        QVERIFY(m->setData(m->index(0, s->cxGrid1->columnOf(QStringLiteral("quantity"))), 6.0));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("amount")).toDouble(), 6.0);
    }

    void companyDecimalsApplyWithoutRestart()
    {
        {
            TfrmCompany company;
            company.show();
            company.edAmountSize->setValue(0);
            company.btnsaveClick();
            QCOMPARE(company.result(), int(QDialog::Accepted));
        }
        auto s = openScreen();
        newRow(*s, QStringLiteral("A1"), QStringLiteral("G01"));
        s->FDQuery1.setValue(QStringLiteral("quantity"), 3.0);
        s->FDQuery1.setValue(QStringLiteral("price"), 2.5);
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select amount from tb_store_begin")).toDouble(), 8.0);
    }

    void typedWarehouseNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("storeName"); // empty: not found
        QTest::newRow("in use") << "B2" << "二号库";
        QTest::newRow("stopped") << "T9" << "停用库";
        QTest::newRow("deleted") << "D9" << "删除库";
        QTest::newRow("unknown") << "Z0" << "";
        QTest::newRow("injection") << "' or '1'='1" << "";
    }
    void typedWarehouseNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, storeName);
        auto s = openScreen();
        newRow(*s, QStringLiteral("A1"), QString());
        s->storeNoValidate(typed);
        if (storeName.isEmpty()) {
            QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("错误|请输入正确仓库编号!")));
            QCOMPARE(fx->ui().messages.first().kind, Kind::Info);
            QCOMPARE(s->FDQuery1.value(QStringLiteral("store_id")).toInt(), storeA);
            QCOMPARE(s->storeID, storeA);
            return;
        }
        QVERIFY(fx->ui().texts().isEmpty());
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_no")).toString(), typed);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_name")).toString(), storeName);
        // The following new rows start there, even though this one is dropped.
        fx->ui().answers.enqueue(true);
        s->btnCancelClick();
        s->btnNewClick();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_name")).toString(), storeName);
        QCOMPARE(s->storeNo, typed);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_id")).toInt(),
                 fx->scalar(QStringLiteral("select id from tb_store where store_no=%1").arg(fx->db().quote(typed))).toInt());
    }

    void typedGoodsNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("goodsName"); // empty: not found
        QTest::newRow("in use") << "G02" << "螺母";
        QTest::newRow("stopped") << "G08" << "停用货";
        QTest::newRow("deleted") << "G09" << "删除货";
        QTest::newRow("unknown") << "X" << "";
    }
    void typedGoodsNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, goodsName);
        auto s = openScreen();
        newRow(*s, QStringLiteral("A1"), QStringLiteral("G01"));
        s->goodsNoValidate(typed);
        if (goodsName.isEmpty()) {
            QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("错误|请输入正确货物编号!")));
            QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_id")).toInt(), screw);
            QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_name")).toString(), QStringLiteral("螺丝"));
            return;
        }
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_name")).toString(), goodsName);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("unit")).toString(), QStringLiteral("个"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("model")).toString(), QStringLiteral("M-") + typed);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("specs")).toString(), QStringLiteral("S-") + typed);
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select c.goods_name from tb_store_begin a join tb_goods c on c.id=a.goods_id"))
                     .toString(),
                 goodsName);
    }

    void pickersFillTheRow()
    {
        auto s = openScreen();
        s->btnNewClick();
        QSize pickerSize;
        fx->ui().dialogs.enqueue([](QDialog *d) {
            auto *picker = qobject_cast<TfrmListStore *>(d);
            picker->show();
            picker->FDQuery1.locate(QStringLiteral("store_name"), QStringLiteral("二号库"));
            picker->btnSelectClick();
            return picker->result();
        });
        s->btnStoreClick();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_id")).toInt(), storeB);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_no")).toString(), QStringLiteral("B2"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_name")).toString(), QStringLiteral("二号库"));

        fx->ui().dialogs.enqueue([&pickerSize](QDialog *d) {
            auto *picker = qobject_cast<TfrmListGoods *>(d);
            pickerSize = picker->size();
            picker->show();
            picker->FDQuery1.locate(QStringLiteral("goods_name"), QStringLiteral("螺母"));
            picker->btnSelectClick();
            return picker->result();
        });
        s->btnGoodsClick();
        QCOMPARE(pickerSize, QSize(1200, 800));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_id")).toInt(), nut);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_no")).toString(), QStringLiteral("G02"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_name")).toString(), QStringLiteral("螺母"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("unit")).toString(), QStringLiteral("个"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("model")).toString(), QStringLiteral("M-G02"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("specs")).toString(), QStringLiteral("S-G02"));

        // Pickers closed without a choice change nothing.
        fx->ui().dialogs.enqueue([](QDialog *) { return int(QDialog::Rejected); });
        fx->ui().dialogs.enqueue([](QDialog *) { return int(QDialog::Rejected); });
        s->btnStoreClick();
        s->btnGoodsClick();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_id")).toInt(), storeB);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_id")).toInt(), nut);
        s->btnSaveClick();
        QCOMPARE(rows(QStringLiteral("store_id=%1 and goods_id=%2").arg(storeB).arg(nut)), 1);
        // The picker's choice does not become the next row's warehouse until the row is saved.
        QCOMPARE(s->storeID, storeB);
    }

    void warehouseCarriedToTheNextRow()
    {
        auto s = openScreen();
        s->btnNewClick();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_id")).toInt(), 0);
        s->goodsNoValidate(QStringLiteral("G01"));
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入仓库!")));
        s->storeNoValidate(QStringLiteral("B2"));
        s->btnSaveClick();
        s->btnNewClick();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_id")).toInt(), storeB);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_no")).toString(), QStringLiteral("B2"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("store_name")).toString(), QStringLiteral("二号库"));
        s->goodsNoValidate(QStringLiteral("G02"));
        fx->ui().clear();
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("提示|期初库存【螺母】保存成功!")));
        QCOMPARE(rows(QStringLiteral("store_id=%1").arg(storeB)), 2);
    }

    void deleteRemovesTheRow()
    {
        addBegin(storeA, screw);
        addBegin(storeA, nut);
        auto s = openScreen();
        fx->ui().answers.enqueue(false);
        s->btnDelClick();
        QCOMPARE(rows(), 2);
        fx->ui().answers.enqueue(true);
        s->btnDelClick();
        QCOMPARE(fx->ui().texts(), QStringList({QStringLiteral("删除|确定要删除吗？"), QStringLiteral("删除|确定要删除吗？")}));
        QCOMPARE(rows(), 1);
        QCOMPARE(rows(QStringLiteral("del=1")), 0);
        QCOMPARE(s->FDQuery1.recordCount(), 1);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_name")).toString(), QStringLiteral("螺母"));
    }

    void mainWindowOpensTheScreen()
    {
        TfrmMain w;
        w.runAction(QStringLiteral("actStoreBegin"));
        QWidget *tab = w.actionTab(QStringLiteral("actStoreBegin"));
        QVERIFY(tab);
        auto *screen = tab->findChild<TfrmListStoreBegin *>();
        QVERIFY(screen);
        QCOMPARE(screen->windowTitle(), QStringLiteral("期初库存"));
    }
};

QTEST_MAIN(TestStoreBegin)
#include "tst_storebegin.moc"
