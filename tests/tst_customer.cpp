// Partner screen: the record dialog, in-grid changes without checks, the
// class tree that keeps stopped classes, class filtering and the picker that
// offers stopped partners.
#include "TestFixture.h"
#include "frames/DbTreeView.h"
#include "frames/PropertyGrid.h"
#include "masterdata/uEditCustomer.h"
#include "masterdata/uListCustomer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

class TestCustomer : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    int classId(const QString &name)
    {
        return fx->scalar(QStringLiteral("select id from tb_customer_class where class_name='%1'").arg(name)).toInt();
    }
    // Classes 供应商 (000001) with 华东 below it, and 客户 (000002).
    void addClasses()
    {
        fx->exec(QStringLiteral("insert into tb_customer_class (class_no, class_name, parent_id) values "
                                "('000001','供应商',1),('000002','客户',1)"));
        fx->exec(QStringLiteral("insert into tb_customer_class (class_no, class_name, parent_id) values "
                                "('000001001','华东',%1)")
                     .arg(classId(QStringLiteral("供应商"))));
    }
    void addPartner(const QString &name, const QString &className, int stopped = 0, int deleted = 0)
    {
        fx->exec(QStringLiteral("insert into tb_customer (create_date, customer_no, customer_name, pym, class_id, "
                                "is_stop, del) values (now(), 'C', '%1', 'OLD', %2, %3, %4)")
                     .arg(name)
                     .arg(classId(className))
                     .arg(stopped)
                     .arg(deleted));
    }
    static QStringList listed(const TfrmListCustomer &s)
    {
        QStringList names;
        for (int row = 0; row < s.FDQuery1.recordCount(); ++row)
            names << s.FDQuery1.valueAt(row, QStringLiteral("customer_name")).toString();
        names.sort();
        return names;
    }
    static void type(PropertyGrid *grid, const QString &field, const QString &text)
    {
        grid->focusRow(field);
        auto *edit = qobject_cast<QLineEdit *>(grid->editor(field));
        QVERIFY(edit);
        edit->selectAll();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
    }
    std::unique_ptr<TfrmListCustomer> openPartners()
    {
        auto s = std::make_unique<TfrmListCustomer>();
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

    void recordDialogNewAndChange()
    {
        addClasses();
        auto s = openPartners();
        QVERIFY(s->FDQuery2.locate(QStringLiteral("id"), classId(QStringLiteral("华东"))));
        QStringList seen;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditCustomer *>(d);
            e->show();
            seen << e->windowTitle() << e->cxDBVerticalGrid1->headings().join(QLatin1Char(','))
                 << e->cxDBVerticalGrid1->focusedField() << e->cxDBVerticalGrid1->shownText(QStringLiteral("class_name"));
            // Without a name: refused, the name row takes the focus, nothing saved.
            type(e->cxDBVerticalGrid1, QStringLiteral("customer_no"), QStringLiteral("C01"));
            e->btnsaveClick();
            seen << e->cxDBVerticalGrid1->focusedField();
            type(e->cxDBVerticalGrid1, QStringLiteral("customer_name"), QStringLiteral("华东五金"));
            type(e->cxDBVerticalGrid1, QStringLiteral("tax_num"), QStringLiteral("91310000X"));
            e->btnsaveClick();
            return e->result();
        };
        s->btnNewClick();
        QCOMPARE(seen, QStringList({QStringLiteral("新增往来单位"), QStringLiteral("基本信息,财务,系统"),
                                    QStringLiteral("customer_no"), QStringLiteral("华东"),
                                    QStringLiteral("customer_name")}));
        QCOMPARE(fx->ui().texts(), QStringList({QStringLiteral("保存|请输入往来单位名称!"), QStringLiteral("保存|保存成功!")}));
        QCOMPARE(fx->scalar(QStringLiteral("select concat_ws('|', customer_no, pym, tax_num, class_id, is_stop, del) "
                                           "from tb_customer"))
                     .toString(),
                 QStringLiteral("C01|HDWJ|91310000X|%1|0|0").arg(classId(QStringLiteral("华东"))));
        QCOMPARE(listed(*s), QStringList(QStringLiteral("华东五金")));

        fx->ui().clear();
        QString caption;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *e = qobject_cast<TfrmEditCustomer *>(d);
            caption = e->windowTitle();
            type(e->cxDBVerticalGrid1, QStringLiteral("customer_name"), QStringLiteral("上海五金"));
            e->btnsaveClick();
            return e->result();
        };
        s->btnEditClick();
        QCOMPARE(caption, QStringLiteral("修改往来单位"));
        QCOMPARE(fx->scalar(QStringLiteral("select concat(customer_name, pym) from tb_customer")).toString(),
                 QStringLiteral("上海五金SHWJ"));
    }

    void gridChangesNeedNoNameAndKeepThePinyin()
    {
        addClasses();
        addPartner(QStringLiteral("甲"), QStringLiteral("客户"));
        auto s = openPartners();
        s->FDQuery1.setValue(QStringLiteral("customer_name"), QStringLiteral("乙"));
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select concat(customer_name, pym) from tb_customer")).toString(),
                 QStringLiteral("乙OLD"));
        // A row started in the grid takes the selected class and may be saved without a name.
        QVERIFY(s->FDQuery2.locate(QStringLiteral("id"), classId(QStringLiteral("客户"))));
        s->FDQuery1.append();
        s->btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_customer where customer_name is null and class_id=%1")
                                .arg(classId(QStringLiteral("客户"))))
                     .toInt(),
                 1);
        QCOMPARE(fx->ui().texts(), QStringList({QStringLiteral("提示|往来单位【乙】保存成功!"),
                                                QStringLiteral("提示|往来单位【】保存成功!")}));
    }

    void treeKeepsStoppedClassesAndFilters()
    {
        addClasses();
        addPartner(QStringLiteral("a"), QStringLiteral("供应商"));
        addPartner(QStringLiteral("b"), QStringLiteral("华东"), 1);
        addPartner(QStringLiteral("c"), QStringLiteral("客户"));
        addPartner(QStringLiteral("gone"), QStringLiteral("客户"), 0, 1);
        auto s = openPartners();
        QCOMPARE(listed(*s), QStringList({"a", "b", "c"}));
        QVERIFY(s->FDQuery2.locate(QStringLiteral("id"), classId(QStringLiteral("供应商"))));
        QCOMPARE(listed(*s), QStringList({"a", "b"}));

        // "删除" stops the class; it stays in the tree (greyed), its partners keep their class.
        fx->ui().answers.enqueue(true);
        s->N4Click();
        const auto items = s->dxDBTreeView1->findItems(QStringLiteral("供应商"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first()->foreground(0).color(), QColor(Qt::gray));
        QCOMPARE(items.first()->childCount(), 1);
        QVERIFY(s->FDQuery2.locate(QStringLiteral("id"), classId(QStringLiteral("供应商"))));
        QCOMPARE(listed(*s), QStringList({"a", "b"}));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("class_name")).toString(), QStringLiteral("供应商"));
        QCOMPARE(s->FDQuery1.value(QStringLiteral("class_no")).toString(), QStringLiteral("000001"));

        // Deleting a partner removes it from the list.
        QVERIFY(s->FDQuery1.locate(QStringLiteral("customer_name"), QStringLiteral("b")));
        fx->ui().answers.enqueue(true);
        s->btnDelClick();
        QCOMPARE(listed(*s), QStringList({"a"}));
    }

    void classDialogCaptions()
    {
        addClasses();
        auto s = openPartners();
        QStringList captions;
        auto cancel = [&captions](QDialog *d) {
            captions << d->windowTitle();
            static_cast<TfrmBaseEdit *>(d)->btncancelClick();
            return d->result();
        };
        QVERIFY(s->FDQuery2.locate(QStringLiteral("id"), classId(QStringLiteral("客户"))));
        fx->ui().dialogs << cancel << cancel;
        s->N1Click();
        s->N3Click();
        QCOMPARE(captions, QStringList({QStringLiteral("新增往来单位分类"), QStringLiteral("修改往来单位分类")}));
    }

    void pickerOffersStoppedPartners()
    {
        addClasses();
        addPartner(QStringLiteral("在用"), QStringLiteral("客户"));
        addPartner(QStringLiteral("停用"), QStringLiteral("客户"), 1);
        addPartner(QStringLiteral("删除"), QStringLiteral("客户"), 0, 1);
        QStringList offered;
        QSize size;
        fx->ui().dialogs << [&](QDialog *d) {
            auto *p = qobject_cast<TfrmListCustomer *>(d);
            p->show();
            size = p->size();
            offered = listed(*p);
            // A double-click chooses, as in every picker.
            QTableView *table = p->cxGrid1->table();
            const QRect cell = table->visualRect(table->model()->index(1, 1)); // rows in id order: 停用 second
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            return p->result();
        };
        const auto choice = TfrmListCustomer::pick(nullptr);
        QCOMPARE(size, QSize(1200, 800));
        QCOMPARE(offered, QStringList({QStringLiteral("停用"), QStringLiteral("在用")}));
        QVERIFY(choice.has_value());
        QCOMPARE(choice->customer_name, QStringLiteral("停用"));
        QCOMPARE(choice->id, fx->scalar(QStringLiteral("select id from tb_customer where customer_name='停用'")).toInt());
    }
};

QTEST_MAIN(TestCustomer)
#include "tst_customer.moc"
