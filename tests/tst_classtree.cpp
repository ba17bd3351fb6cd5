// The record dialog frame and the class-tree frame, through the class-node
// dialog and a small tree screen over the goods classes.
#include "TestFixture.h"
#include "data/DbError.h"
#include "frames/DbTreeView.h"
#include "frames/uListTree.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
class GoodsClassTree : public TfrmListTree {
public:
    GoodsClassTree()
        : TfrmListTree(QStringLiteral("商品"), QStringLiteral("frmTestTree"),
                       QStringLiteral("select * from tb_goods where del=0"))
    {
        classTable = QStringLiteral("tb_goods_class");
        classSql = QStringLiteral("select * from tb_goods_class where is_stop=0 and del=0");
        classListSql = QStringLiteral("select * from tb_goods where del=0");
        classDialogCaption = QStringLiteral("商品分类");
        FDQuery1.setUpdateTable(QStringLiteral("tb_goods"));
        cxGrid1->setColumns({{.field = QStringLiteral("goods_name"), .caption = QStringLiteral("商品名称")}});
    }
};

// Plays the class-node dialog: types a name and presses "保存".
std::function<int(QDialog *)> saveClass(const QString &name)
{
    return [name](QDialog *d) {
        auto *dialog = static_cast<TfrmEditCustomerClass *>(d);
        dialog->cxTextEdit2->setText(name);
        dialog->btnsaveClick();
        return dialog->result();
    };
}
} // namespace

class TestClassTree : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    QString codeOf(const QString &name)
    {
        return fx->scalar(QStringLiteral("select class_no from tb_goods_class where class_name='%1'").arg(name)).toString();
    }
    int idOf(const QString &name)
    {
        return fx->scalar(QStringLiteral("select id from tb_goods_class where class_name='%1'").arg(name)).toInt();
    }
    void selectClass(GoodsClassTree &t, const QString &name) { QVERIFY(t.FDQuery2.locate(QStringLiteral("id"), idOf(name))); }
    // A new class dialog below a root class, opened on an empty row as the tree screen does.
    std::unique_ptr<TfrmEditCustomerClass> newClassDialog()
    {
        auto d = std::make_unique<TfrmEditCustomerClass>();
        d->parentInfo = {idOf(QStringLiteral("全部")), QStringLiteral("000"), QStringLiteral("全部")};
        d->setTableName(QStringLiteral("tb_goods_class"));
        d->FDQuery1.setSql(QStringLiteral("select * from tb_goods_class where 1>2"));
        d->FDQuery1.open();
        d->FDQuery1.append();
        return d;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }
    void init() { fx->reset(); }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void saveClosesAndCounts()
    {
        auto d = newClassDialog();
        d->show();
        QVERIFY(d->btnsave->isEnabled());
        d->cxTextEdit2->setText(QStringLiteral("五金"));
        d->btnsaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存|保存成功!")));
        QCOMPARE(d->changeCount(), 1);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QVERIFY(!d->btnsave->isEnabled());
        QCOMPARE(codeOf(QStringLiteral("五金")), QStringLiteral("000001"));
    }

    void saveNewTwiceThenCancel()
    {
        auto d = newClassDialog();
        d->show();
        d->cxTextEdit2->setText(QStringLiteral("甲"));
        d->btnSaveNewClick();
        QVERIFY(d->cxTextEdit2->text().isEmpty());
        d->cxTextEdit2->setText(QStringLiteral("乙"));
        d->btnSaveNewClick();
        QCOMPARE(d->FDQuery1.state(), Dataset::State::Insert);
        d->btncancelClick();
        QCOMPARE(d->changeCount(), 2);
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_goods_class")).toInt(), 3);
        QCOMPARE(fx->ui().ofKind(ScriptedInteraction::Kind::Question).size(), 0);
    }

    void closeBoxAsksWhileEditing()
    {
        auto d = newClassDialog();
        d->show();
        d->cxTextEdit2->setText(QStringLiteral("甲"));
        d->btnSaveNewClick();
        fx->ui().clear();
        fx->ui().answers.enqueue(false);
        d->close();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("退出|数据已修改尚未保存，确定要退出吗？")));
        QVERIFY(d->isVisible());
        fx->ui().answers.enqueue(true);
        d->close();
        QVERIFY(!d->isVisible());
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_goods_class")).toInt(), 2);
    }

    void emptyNameRefused()
    {
        auto d = newClassDialog();
        d->btnsaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("保存失败|请输入分类名称!")));
        QCOMPARE(d->changeCount(), 0);
        QCOMPARE(d->FDQuery1.state(), Dataset::State::Insert);
    }

    void classCodes()
    {
        GoodsClassTree t;
        t.show();
        selectClass(t, QStringLiteral("全部"));
        QVERIFY(!t.N1->isEnabled());
        // The root is never stopped: no menu entry, and the Delete key asks nothing.
        QVERIFY(!t.N4->isEnabled());
        t.N4Click();
        QVERIFY(fx->ui().messages.isEmpty());
        QCOMPARE(fx->scalar(QStringLiteral("select is_stop from tb_goods_class where class_no='000'")).toInt(), 0);
        fx->ui().dialogs << saveClass(QStringLiteral("A")) << saveClass(QStringLiteral("B"));
        t.N2Click();
        selectClass(t, QStringLiteral("全部"));
        t.N2Click();
        QCOMPARE(codeOf(QStringLiteral("A")), QStringLiteral("000001"));
        QCOMPARE(codeOf(QStringLiteral("B")), QStringLiteral("000002"));

        selectClass(t, QStringLiteral("B"));
        QVERIFY(t.N1->isEnabled());
        QVERIFY(t.N4->isEnabled());
        fx->ui().dialogs << saveClass(QStringLiteral("B1")) << saveClass(QStringLiteral("B2"));
        t.N2Click();
        selectClass(t, QStringLiteral("B1"));
        t.N1Click(); // same level as B1: below B
        QCOMPARE(codeOf(QStringLiteral("B1")), QStringLiteral("000002001"));
        QCOMPARE(codeOf(QStringLiteral("B2")), QStringLiteral("000002002"));

        // A stopped child still counts.
        selectClass(t, QStringLiteral("B2"));
        fx->ui().answers.enqueue(true);
        t.N4Click();
        QCOMPARE(fx->ui().texts().last(), QStringLiteral("删除|确定要删除B2吗？"));
        QCOMPARE(t.FDQuery2.value(QStringLiteral("class_name")).toString(), QStringLiteral("B"));
        fx->ui().dialogs << saveClass(QStringLiteral("B3"));
        t.N2Click();
        QCOMPARE(codeOf(QStringLiteral("B3")), QStringLiteral("000002003"));

        // Renaming keeps the code.
        selectClass(t, QStringLiteral("B1"));
        fx->ui().dialogs << [](QDialog *d) {
            auto *dialog = static_cast<TfrmEditCustomerClass *>(d);
            if (dialog->cxTextEdit2->text() != QStringLiteral("B1") || dialog->parentInfo.code != QStringLiteral("000002"))
                return int(QDialog::Rejected);
            dialog->cxTextEdit2->setText(QStringLiteral("B1新"));
            dialog->btnsaveClick();
            return dialog->result();
        };
        t.N3Click();
        QCOMPARE(codeOf(QStringLiteral("B1新")), QStringLiteral("000002001"));

        // A third level below the root does not fit: the clear message, and nothing saved.
        selectClass(t, QStringLiteral("B1新"));
        QString refusal;
        fx->ui().dialogs << [&refusal](QDialog *d) {
            auto *dialog = static_cast<TfrmEditCustomerClass *>(d);
            dialog->cxTextEdit2->setText(QStringLiteral("太深"));
            try {
                dialog->btnsaveClick();
            } catch (const DbError &e) {
                refusal = e.message();
            }
            dialog->btncancelClick();
            return dialog->result();
        };
        t.N2Click();
        QVERIFY2(refusal.contains(QStringLiteral("分类编码最长")), qPrintable(refusal));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_goods_class where class_name='太深'")).toInt(), 0);
    }

    void renameSaveNewAddsASiblingAndReloadsTheTree()
    {
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id) values ('000001','A',1)"));
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id) values ('000001001','A1',%1)")
                     .arg(idOf(QStringLiteral("A"))));
        GoodsClassTree t;
        t.show();
        selectClass(t, QStringLiteral("A1"));
        fx->ui().dialogs << [](QDialog *d) {
            auto *dialog = static_cast<TfrmEditCustomerClass *>(d);
            dialog->cxTextEdit2->setText(QStringLiteral("A1改"));
            dialog->btnSaveNewClick();
            dialog->cxTextEdit2->setText(QStringLiteral("A2"));
            dialog->btnSaveNewClick();
            dialog->btncancelClick(); // the third, empty row is dropped
            return dialog->result();
        };
        t.N3Click();
        QCOMPARE(codeOf(QStringLiteral("A1改")), QStringLiteral("000001001"));
        QCOMPARE(codeOf(QStringLiteral("A2")), QStringLiteral("000001002"));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_goods_class")).toInt(), 4);
        // Ended with "取消", yet the tree shows what was saved, and stays on the renamed class.
        QCOMPARE(t.dxDBTreeView1->currentText(), QStringLiteral("A1改"));
        QVERIFY(!t.dxDBTreeView1->findItems(QStringLiteral("A2"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    }

    void treeWaitsWhileARowIsEdited()
    {
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id) values ('000001','A',1)"));
        GoodsClassTree t;
        t.show();
        t.btnNewClick();
        QCOMPARE(t.FDQuery1.state(), Dataset::State::Insert);
        // Choosing a class reloads the list: it must not drop the row being typed.
        QVERIFY(!t.dxDBTreeView1->isEnabled());
        t.FDQuery1.setValue(QStringLiteral("goods_name"), QStringLiteral("扳手"));
        t.btnSaveClick();
        QVERIFY(t.dxDBTreeView1->isEnabled());
        QCOMPARE(fx->scalar(QStringLiteral("select goods_name from tb_goods")).toString(), QStringLiteral("扳手"));
        t.btnEditClick();
        QVERIFY(!t.dxDBTreeView1->isEnabled());
        fx->ui().answers.enqueue(true);
        t.btnCancelClick();
        QVERIFY(t.dxDBTreeView1->isEnabled());
    }

    void selectingAClassFiltersTheList()
    {
        fx->exec(QStringLiteral("insert into tb_goods_class (class_no, class_name, parent_id) values "
                                "('000001','A',1),('000002','B',1),('000002001','B1',3)"));
        fx->exec(QStringLiteral("insert into tb_goods (class_id, goods_name) values (2,'a'),(3,'b'),(4,'b1')"));
        GoodsClassTree t;
        t.show();
        QCOMPARE(t.FDQuery1.recordCount(), 3);
        auto *tree = t.dxDBTreeView1;
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        tree->setCurrentItem(tree->topLevelItem(0)->child(1)); // B
        QCOMPARE(t.FDQuery1.recordCount(), 2);
        tree->setCurrentItem(tree->topLevelItem(0)->child(0)); // A
        QCOMPARE(t.FDQuery1.recordCount(), 1);
        tree->setCurrentItem(tree->topLevelItem(0));
        QCOMPARE(t.FDQuery1.recordCount(), 3);
    }
};

QTEST_MAIN(TestClassTree)
#include "tst_classtree.moc"
