// Goods screen: the record dialog with its property grid, in-grid editing,
// class filtering, deletion and stopping, and the goods picker in its
// one-row and ticked-rows forms.
#include "TestFixture.h"
#include "frames/DbTreeView.h"
#include "frames/PropertyGrid.h"
#include "masterdata/uEditGoods.h"
#include "masterdata/uListGoods.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using Kind = ScriptedInteraction::Kind;

class TestGoods : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    int classId(const QString &name)
    {
        return fx->scalar(QStringLiteral("select id from tb_goods_class where class_name='%1'").arg(name)).toInt();
    }
    // Classes A (000001) with A1 below it, and B (000002).
    void addClasses()
    {
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id) values "
                                "('000001','A',1),('000002','B',1)"));
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id) values "
                                "('000001001','A1',%1)")
                     .arg(classId(QStringLiteral("A"))));
    }
    void addGoods(const QString &no, const QString &name, const QString &className, int stopped = 0, int deleted = 0)
    {
        fx->exec(QStringLiteral("insert into tb_goods (create_date, goods_no, goods_name, unit, model, specs, class_id, "
                                "is_stop, del) values (now(), '%1', '%2', '个', 'M-%1', 'S-%1', %3, %4, %5)")
                     .arg(no, name)
                     .arg(classId(className))
                     .arg(stopped)
                     .arg(deleted));
    }
    static QStringList listed(const TfrmListGoods &s)
    {
        QStringList names;
        for (int row = 0; row < s.FDQuery1.recordCount(); ++row)
            names << s.FDQuery1.valueAt(row, QStringLiteral("goods_name")).toString();
        names.sort();
        return names;
    }
    static void selectClass(TfrmListGoods &s, int id) { QVERIFY(s.FDQuery2.locate(QStringLiteral("id"), id)); }
    static void type(PropertyGrid *grid, const QString &field, const QString &text)
    {
        grid->focusRow(field);
        QWidget *w = grid->editor(field);
        if (auto *combo = qobject_cast<QComboBox *>(w))
            w = combo->lineEdit();
        auto *edit = qobject_cast<QLineEdit *>(w);
        QVERIFY(edit);
        edit->selectAll();
        // One key press that carries the whole text, as an input method commits Chinese text.
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
    }
    std::unique_ptr<TfrmListGoods> openGoods(bool selectMode = false)
    {
        auto s = std::make_unique<TfrmListGoods>();
        s->setselectmode(selectMode);
        s->show();
        return s;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }
    void init() { fx->reset(); }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void recordDialogSavesANewGoodsItem()
    {
        addClasses();
        fx->exec(QStringLiteral("insert into tb_unit (unit_name, is_stop, del) values ('个',0,0),('箱',1,0),('袋',0,1)"));
        auto s = openGoods();
        selectClass(*s, classId(QStringLiteral("A1")));
        QStringList seenUnits;
        QString caption, className;
        QStringList headings;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditGoods *>(d);
            e->show();
            caption = e->windowTitle();
            headings = e->cxDBVerticalGrid1->headings();
            className = e->cxDBVerticalGrid1->shownText(QStringLiteral("class_name"));
            auto *units = qobject_cast<QComboBox *>(e->cxDBVerticalGrid1->editor(QStringLiteral("unit")));
            for (int i = 0; i < units->count(); ++i)
                seenUnits << units->itemText(i);
            if (e->cxDBVerticalGrid1->focusedField() != QStringLiteral("goods_no"))
                return int(QDialog::Rejected);
            type(e->cxDBVerticalGrid1, QStringLiteral("goods_no"), QStringLiteral("G001"));
            type(e->cxDBVerticalGrid1, QStringLiteral("goods_name"), QStringLiteral("螺丝刀"));
            type(e->cxDBVerticalGrid1, QStringLiteral("unit"), QStringLiteral("把")); // not a unit of the table
            type(e->cxDBVerticalGrid1, QStringLiteral("in_price"), QStringLiteral("12.5"));
            e->btnsaveClick();
            return e->result();
        };
        s->btnNewClick();
        QCOMPARE(caption, QStringLiteral("新增货品"));
        QCOMPARE(headings, QStringList({QStringLiteral("基本资料"), QStringLiteral("价格"), QStringLiteral("型号规格"),
                                        QStringLiteral("库存控制"), QStringLiteral("系统")}));
        QCOMPARE(className, QStringLiteral("A1"));
        QCOMPARE(seenUnits, QStringList({QStringLiteral("个"), QStringLiteral("箱"), QStringLiteral("袋")}));
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|保存成功!")));
        QCOMPARE(fx->scalar(QStringLiteral("select concat_ws('|', goods_no, pym, unit, class_id, is_stop, del, "
                                           "cast(in_price as double), create_date is not null) from tb_goods"))
                     .toString(),
                 QStringLiteral("G001|LSD|把|%1|0|0|12.5|1").arg(classId(QStringLiteral("A1"))));
        // The list was reloaded and shows the class looked up from the tree's classes.
        QCOMPARE(listed(*s), QStringList(QStringLiteral("螺丝刀")));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("class_name")).toString(), QStringLiteral("A1"));
    }

    void recordDialogRenamesAndReplacesPinyin()
    {
        addClasses();
        addGoods(QStringLiteral("G1"), QStringLiteral("扳手"), QStringLiteral("B"));
        auto s = openGoods();
        QString caption, shownName;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditGoods *>(d);
            e->show();
            caption = e->windowTitle();
            shownName = e->cxDBVerticalGrid1->shownText(QStringLiteral("goods_name"));
            type(e->cxDBVerticalGrid1, QStringLiteral("goods_name"), QStringLiteral("钳子"));
            e->btnsaveClick();
            return e->result();
        };
        s->btnEditClick();
        QCOMPARE(caption, QStringLiteral("修改货品"));
        QCOMPARE(shownName, QStringLiteral("扳手"));
        QCOMPARE(fx->scalar(QStringLiteral("select concat(goods_name, pym) from tb_goods")).toString(),
                 QStringLiteral("钳子QZ"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("goods_name")).toString(), QStringLiteral("钳子"));
    }

    void recordDialogRequiresAName()
    {
        auto s = openGoods();
        int changes = -1;
        QString focused;
        Dataset::State state = Dataset::State::Inactive;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditGoods *>(d);
            e->show();
            type(e->cxDBVerticalGrid1, QStringLiteral("goods_no"), QStringLiteral("G9"));
            e->btnsaveClick();
            focused = e->cxDBVerticalGrid1->focusedField();
            state = e->FDQuery1.state();
            changes = e->changeCount();
            fx->ui().answers.enqueue(true); // leave without saving
            e->btncancelClick();
            return e->result();
        };
        s->btnNewClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入货品名称!")));
        QCOMPARE(focused, QStringLiteral("goods_name"));
        QCOMPARE(state, Dataset::State::Insert);
        QCOMPARE(changes, 0);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_goods")).toInt(), 0);
    }

    void classPickerInTheDialog()
    {
        addClasses();
        addGoods(QStringLiteral("G1"), QStringLiteral("扳手"), QStringLiteral("B"));
        // A stopped class can still be given: the picker lists every class.
        fx->exec(QStringLiteral("update tb_goods_class set is_stop=1 where class_name='A1'"));
        auto s = openGoods();
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditGoods *>(d);
            e->show();
            auto *tree = e->dxDBTreeView1;
            if (tree->isVisible())
                return int(QDialog::Rejected);
            auto *box = e->cxDBVerticalGrid1->editor(QStringLiteral("class_name"))->parentWidget();
            box->findChild<QAbstractButton *>()->click();
            if (!tree->isVisible())
                return int(QDialog::Rejected);
            const auto items = tree->findItems(QStringLiteral("A1"), Qt::MatchExactly | Qt::MatchRecursive);
            if (items.size() != 1)
                return int(QDialog::Rejected);
            emit tree->itemDoubleClicked(items.first(), 0);
            if (tree->isVisible() || e->cxDBVerticalGrid1->shownText(QStringLiteral("class_name")) != QStringLiteral("A1"))
                return int(QDialog::Rejected);
            e->btnsaveClick();
            return e->result();
        };
        s->btnEditClick();
        QCOMPARE(fx->scalar(QStringLiteral("select class_id from tb_goods")).toInt(), classId(QStringLiteral("A1")));
    }

    void inGridEditing()
    {
        addClasses();
        addGoods(QStringLiteral("G1"), QStringLiteral("扳手"), QStringLiteral("B"));
        auto s = openGoods();
        selectClass(*s, classId(QStringLiteral("B")));
        // A row started in the grid itself takes the class selected in the tree.
        s->FDQuery1.append();
        QCOMPARE(s->FDQuery1.value(QStringLiteral("class_id")).toInt(), classId(QStringLiteral("B")));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("is_stop")).toBool(), false);
        QCOMPARE(s->FDQuery1.value(QStringLiteral("del")).toBool(), false);
        s->btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|请输入货品名称!")));
        QCOMPARE(s->FDQuery1.state(), Dataset::State::Insert);
        s->FDQuery1.setValue(QStringLiteral("goods_name"), QStringLiteral("锤子"));
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select concat(pym, class_id) from tb_goods where goods_name='锤子'")).toString(),
                 QStringLiteral("CZ%1").arg(classId(QStringLiteral("B"))));

        // Renaming in the grid replaces the pinyin code.
        QVERIFY(s->FDQuery1.locate(QStringLiteral("goods_name"), QStringLiteral("扳手")));
        s->FDQuery1.setValue(QStringLiteral("goods_name"), QStringLiteral("钳子"));
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_goods where goods_name='钳子'")).toString(),
                 QStringLiteral("QZ"));
    }

    void classFilteringAndWhatTheListOmits()
    {
        addClasses();
        addGoods(QStringLiteral("1"), QStringLiteral("a"), QStringLiteral("A"));
        addGoods(QStringLiteral("2"), QStringLiteral("a1"), QStringLiteral("A1"));
        addGoods(QStringLiteral("3"), QStringLiteral("b"), QStringLiteral("B"));
        addGoods(QStringLiteral("4"), QStringLiteral("stopped"), QStringLiteral("A"), 1, 0);
        addGoods(QStringLiteral("5"), QStringLiteral("deleted"), QStringLiteral("A"), 0, 1);
        // A goods item whose class was deleted is still listed under "全部".
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id, is_stop) "
                                "values ('000003','C',1,1)"));
        addGoods(QStringLiteral("6"), QStringLiteral("c"), QStringLiteral("C"));
        auto s = openGoods();
        QCOMPARE(listed(*s), QStringList({"a", "a1", "b", "c"}));
        QVERIFY(s->dxDBTreeView1->findItems(QStringLiteral("C"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
        QVERIFY(s->dxDBTreeView1->topLevelItem(0)->isExpanded());
        selectClass(*s, classId(QStringLiteral("A")));
        QCOMPARE(listed(*s), QStringList({"a", "a1"}));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("class_name")).toString(), QStringLiteral("A"));
        selectClass(*s, classId(QStringLiteral("A1")));
        QCOMPARE(listed(*s), QStringList({"a1"}));
        selectClass(*s, classId(QStringLiteral("全部")));
        QCOMPARE(listed(*s), QStringList({"a", "a1", "b", "c"}));

        // Deleting leaves both the full list and the class list.
        QVERIFY(s->FDQuery1.locate(QStringLiteral("goods_name"), QStringLiteral("a1")));
        fx->ui().answers.enqueue(true);
        s->btnDelClick();
        QCOMPARE(listed(*s), QStringList({"a", "b", "c"}));
        selectClass(*s, classId(QStringLiteral("A")));
        QCOMPARE(listed(*s), QStringList({"a"}));

        // Stopping in the grid: gone at the next reload.
        s->FDQuery1.setValue(QStringLiteral("is_stop"), true);
        s->btnSaveClick();
        s->btnRefreshClick();
        QCOMPARE(listed(*s), QStringList());
    }

    void classDialogCaptionsAndStoppedClasses()
    {
        addClasses();
        auto s = openGoods();
        QStringList captions;
        auto cancel = [&captions](QDialog *d) {
            captions << d->windowTitle();
            static_cast<TfrmBaseEdit *>(d)->btncancelClick();
            return d->result();
        };
        selectClass(*s, classId(QStringLiteral("A")));
        fx->ui().dialogs << cancel << cancel;
        s->N2Click();
        s->N3Click();
        QCOMPARE(captions, QStringList({QStringLiteral("新增商品分类"), QStringLiteral("修改货品分类")}));

        // A deleted class leaves the goods tree; its child is still shown (at the top level).
        fx->ui().answers.enqueue(true);
        s->N4Click();
        QVERIFY(s->dxDBTreeView1->findItems(QStringLiteral("A"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
        QCOMPARE(s->dxDBTreeView1->findItems(QStringLiteral("A1"), Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    }

    void newGoodsUnderAllGetsTheRootClass()
    {
        auto s = openGoods();
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditGoods *>(d);
            e->cxDBVerticalGrid1->focusRow(QStringLiteral("goods_name"));
            e->FDQuery1.setValue(QStringLiteral("goods_name"), QStringLiteral("杂项"));
            e->btnsaveClick();
            return e->result();
        };
        s->btnNewClick();
        QCOMPARE(fx->scalar(QStringLiteral("select class_id from tb_goods")).toInt(), classId(QStringLiteral("全部")));
    }

    void selectColumnOnlyInThePicker()
    {
        auto tab = openGoods();
        const int column = tab->cxGrid1->columnOf(QStringLiteral("select"));
        QVERIFY(tab->cxGrid1->table()->isColumnHidden(column));
        tab.reset(); // saves its layout with the column hidden
        auto picker = openGoods(true);
        QVERIFY(!picker->cxGrid1->table()->isColumnHidden(column));
        picker.reset();
        tab = openGoods();
        QVERIFY(tab->cxGrid1->table()->isColumnHidden(column));
    }

    void pickOneRow()
    {
        addClasses();
        addGoods(QStringLiteral("G1"), QStringLiteral("扳手"), QStringLiteral("A"));
        addGoods(QStringLiteral("G2"), QStringLiteral("钳子"), QStringLiteral("B"));
        QSize size;
        fx->ui().dialogs << [&size](QDialog *d) {
            auto *p = qobject_cast<TfrmListGoods *>(d);
            p->show();
            size = p->size();
            p->FDQuery1.locate(QStringLiteral("goods_name"), QStringLiteral("钳子"));
            p->btnSelectClick();
            return p->result();
        };
        const auto choice = TfrmListGoods::pickOne(nullptr);
        QCOMPARE(size, QSize(1200, 800));
        QVERIFY(choice.has_value());
        QCOMPARE(choice->id, fx->scalar(QStringLiteral("select id from tb_goods where goods_no='G2'")).toInt());
        QCOMPARE(QStringList({choice->goods_no, choice->goods_name, choice->unit, choice->model, choice->specs}),
                 QStringList({"G2", "钳子", "个", "M-G2", "S-G2"}));

        fx->ui().dialogs << [](QDialog *d) {
            auto *p = qobject_cast<TfrmListGoods *>(d);
            p->show();
            p->btnCloseClick();
            return p->result();
        };
        QVERIFY(!TfrmListGoods::pickOne(nullptr).has_value());
    }

    void recordDialogNeedsTheEditRight()
    {
        addClasses();
        addGoods(QStringLiteral("G1"), QStringLiteral("扳手"), QStringLiteral("A"));
        fx->exec(QStringLiteral("delete from tb_role_rights where role_id=2 and module='货品'"));
        fx->exec(QStringLiteral("insert into tb_role_rights (role_id, module, can_read, can_edit, can_del, can_print, "
                                "can_export) values (2, '货品', 1, 0, 0, 0, 0)"));
        fx->loginAs(QStringLiteral("测试用户"));
        auto s = openGoods();
        s->btnNewClick();
        s->btnEditClick();
        const QString refusal = QStringLiteral("权限验证失败|您没有操作此项目的权限！");
        QCOMPARE(fx->ui().texts(), QStringList({refusal, refusal}));
        QVERIFY(fx->ui().unexpected.isEmpty()); // no record dialog was run
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_goods")).toInt(), 1);
    }

    void pickTickedRowsByDoubleClick()
    {
        addClasses();
        addGoods(QStringLiteral("G1"), QStringLiteral("扳手"), QStringLiteral("A"));
        addGoods(QStringLiteral("G2"), QStringLiteral("钳子"), QStringLiteral("B"));
        addGoods(QStringLiteral("G3"), QStringLiteral("锤子"), QStringLiteral("B"));
        // Ticking needs no right on the goods screen: nothing is stored.
        fx->exec(QStringLiteral("delete from tb_role_rights where role_id=2 and module='货品'"));
        fx->exec(QStringLiteral("insert into tb_role_rights (role_id, module, can_read, can_edit, can_del, can_print, "
                                "can_export) values (2, '货品', 1, 0, 0, 0, 0)"));
        fx->loginAs(QStringLiteral("测试用户"));
        bool stayedOpen = false;
        bool browsing = false;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *p = qobject_cast<TfrmListGoods *>(d);
            p->show();
            QTableView *table = p->cxGrid1->table();
            auto dclick = [table](int shownRow) {
                const QRect cell = table->visualRect(table->model()->index(shownRow, 2));
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            };
            dclick(0);
            dclick(2);
            dclick(1);
            dclick(1); // ticked and unticked again
            stayedOpen = p->isVisible() && p->result() != QDialog::Accepted;
            browsing = p->FDQuery1.state() == Dataset::State::Browse;
            p->btnSelectClick();
            return p->result();
        };
        QStringList picked;
        for (const auto &c : TfrmListGoods::pickMany(nullptr))
            picked << c.goods_no;
        QVERIFY(stayedOpen);
        QVERIFY(browsing);
        QCOMPARE(picked, QStringList({"G1", "G3"}));
        QVERIFY(fx->ui().ofKind(Kind::Warning).isEmpty());
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_user_log where module='货品' and action='修改'")).toInt(), 0);

        // Cancelled: nothing, whatever was ticked.
        fx->ui().dialogs << [](QDialog *d) {
            auto *p = qobject_cast<TfrmListGoods *>(d);
            p->show();
            p->FDQuery1.setClientValue(0, QStringLiteral("select"), true);
            p->btnCloseClick();
            return p->result();
        };
        QVERIFY(TfrmListGoods::pickMany(nullptr).isEmpty());
    }
};

QTEST_MAIN(TestGoods)
#include "tst_goods.moc"
