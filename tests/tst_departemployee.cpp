// Departments and employees: required fields in their order, search codes,
// the department of an employee by picker or typed number, the department
// carried over to the next employee, and the employee picker of one department.
#include "TestFixture.h"
#include "app/uMain.h"
#include "masterdata/uListDepart.h"
#include "masterdata/uListEmployee.h"

#include <QAction>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

class TestDepartEmployee : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    int addDepart(const QString &no, const QString &name, bool stopped = false, bool deleted = false)
    {
        fx->exec(QStringLiteral("insert into tb_depart (create_date, depart_no, depart_name, is_stop, del) "
                                "values (now(), %1, %2, %3, %4)")
                     .arg(fx->db().quote(no), fx->db().quote(name))
                     .arg(stopped ? 1 : 0)
                     .arg(deleted ? 1 : 0));
        return fx->scalar(QStringLiteral("select max(id) from tb_depart")).toInt();
    }
    int addEmployee(const QString &name, int departId, bool stopped = false, bool deleted = false)
    {
        fx->exec(QStringLiteral("insert into tb_employee (create_date, emp_name, depart_id, is_stop, del) "
                                "values (now(), %1, %2, %3, %4)")
                     .arg(fx->db().quote(name))
                     .arg(departId)
                     .arg(stopped ? 1 : 0)
                     .arg(deleted ? 1 : 0));
        return fx->scalar(QStringLiteral("select max(id) from tb_employee")).toInt();
    }
    static QStringList column(const Dataset &ds, const QString &field)
    {
        QStringList values;
        for (int r = 0; r < ds.recordCount(); ++r)
            values << ds.valueAt(r, field).toString();
        return values;
    }
    // Opens the cell's editor as a keystroke would and returns its text box.
    static QLineEdit *openEditor(QTableView *table, const QModelIndex &cell)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // editors closed before
        table->setFocus();
        table->setCurrentIndex(cell);
        table->edit(cell);
        return table->viewport()->findChild<QLineEdit *>();
    }
    // Plays the person in a department picker: chooses the department with this name.
    static std::function<int(QDialog *)> chooseDepart(const QString &name)
    {
        return [name](QDialog *d) {
            auto *picker = qobject_cast<TfrmListDepart *>(d);
            if (!picker)
                return int(QDialog::Rejected);
            picker->show();
            if (!picker->FDQuery1.locate(QStringLiteral("depart_name"), name))
                return int(QDialog::Rejected);
            picker->btnSelectClick();
            return picker->result();
        };
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
        // Each case builds its own departments and employees; the logged-in administrator stays logged in.
        fx->exec(QStringLiteral("delete from tb_employee"));
        fx->exec(QStringLiteral("delete from tb_depart"));
    }
    void cleanup() { fx->checkNoUnexpectedDialogs(); }

    void departRequiredFields_data()
    {
        QTest::addColumn<QString>("departNo");
        QTest::addColumn<QString>("departName");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing: the number first") << "" << "" << "保存|请输入部门编号!";
        QTest::newRow("name only") << "" << "生产部" << "保存|请输入部门编号!";
        QTest::newRow("number only") << "01" << "" << "保存|请输入部门名称!";
        QTest::newRow("both") << "01" << "生产部" << "提示|部门【生产部】保存成功!";
    }
    void departRequiredFields()
    {
        QFETCH(QString, departNo);
        QFETCH(QString, departName);
        QFETCH(QString, message);
        TfrmListDepart s;
        s.show();
        s.btnNewClick();
        s.FDQuery1.setValue(QStringLiteral("depart_no"), departNo);
        s.FDQuery1.setValue(QStringLiteral("depart_name"), departName);
        s.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(message));
        const bool saved = message.startsWith(QStringLiteral("提示"));
        QCOMPARE(s.FDQuery1.state(), saved ? Dataset::State::Browse : Dataset::State::Insert);
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_depart")).toInt(), saved ? 1 : 0);
    }

    void departSearchCodeFollowsTheName()
    {
        TfrmListDepart s;
        s.show();
        s.btnNewClick();
        QCOMPARE(s.FDQuery1.value(QStringLiteral("is_stop")).toBool(), false);
        s.FDQuery1.setValue(QStringLiteral("depart_no"), QStringLiteral("01"));
        s.FDQuery1.setValue(QStringLiteral("depart_name"), QStringLiteral("生产部"));
        s.FDQuery1.setValue(QStringLiteral("pym"), QStringLiteral("XXX")); // typed, then overwritten
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_depart")).toString(), QStringLiteral("SCB"));
        s.btnEditClick();
        s.FDQuery1.setValue(QStringLiteral("depart_name"), QStringLiteral("销售部"));
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_depart")).toString(), QStringLiteral("XSB"));
    }

    void departListAndPicker()
    {
        addDepart(QStringLiteral("01"), QStringLiteral("在用部"));
        addDepart(QStringLiteral("02"), QStringLiteral("停用部"), true);
        addDepart(QStringLiteral("03"), QStringLiteral("删除部"), false, true);
        TfrmListDepart list;
        list.show();
        QCOMPARE(column(list.FDQuery1, QStringLiteral("depart_name")),
                 QStringList({QStringLiteral("在用部"), QStringLiteral("停用部")}));
        QStringList offered;
        fx->ui().dialogs.enqueue([&offered](QDialog *d) {
            auto *picker = qobject_cast<TfrmListDepart *>(d);
            picker->show();
            offered = column(picker->FDQuery1, QStringLiteral("depart_name"));
            picker->btnSelectClick();
            return picker->result();
        });
        const auto choice = TfrmListDepart::pick(nullptr);
        QCOMPARE(offered, QStringList(QStringLiteral("在用部")));
        QVERIFY(choice);
        QCOMPARE(choice->id, fx->scalar(QStringLiteral("select id from tb_depart where depart_no='01'")).toInt());
        QCOMPARE(choice->depart_no, QStringLiteral("01"));
        QCOMPARE(choice->depart_name, QStringLiteral("在用部"));
    }

    void employeeRequiredFields_data()
    {
        QTest::addColumn<bool>("withDepart");
        QTest::addColumn<QString>("empName");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing: the department first") << false << "" << "保存|请输入所属部门!";
        QTest::newRow("name only") << false << "张三" << "保存|请输入所属部门!";
        QTest::newRow("department only") << true << "" << "保存|请输入职员名称!";
        QTest::newRow("both") << true << "张三" << "提示|职员【张三】保存成功!";
    }
    void employeeRequiredFields()
    {
        QFETCH(bool, withDepart);
        QFETCH(QString, empName);
        QFETCH(QString, message);
        const int depart = addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        TfrmListEmployee s;
        s.show();
        s.btnNewClick();
        if (withDepart)
            s.FDQuery1.setValue(QStringLiteral("depart_id"), depart);
        s.FDQuery1.setValue(QStringLiteral("emp_name"), empName);
        s.btnSaveClick();
        QCOMPARE(fx->ui().texts(), QStringList(message));
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_employee where emp_name='张三'")).toInt(),
                 message.startsWith(QStringLiteral("提示")) ? 1 : 0);
    }

    void employeeSearchCodeAndJoinNeverWritten()
    {
        const int depart = addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        const int before = fx->scalar(QStringLiteral("select count(*) from tb_employee")).toInt();
        TfrmListEmployee s;
        s.show();
        s.btnNewClick();
        s.departNoValidate(QStringLiteral("01"));
        s.FDQuery1.setValue(QStringLiteral("emp_name"), QStringLiteral("张三"));
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_employee")).toInt(), before + 1);
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_employee where depart_id=%1").arg(depart)).toString(),
                 QStringLiteral("ZS"));
        s.btnEditClick();
        s.FDQuery1.setValue(QStringLiteral("emp_name"), QStringLiteral("李四"));
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select pym from tb_employee where depart_id=%1").arg(depart)).toString(),
                 QStringLiteral("LS"));
        // The department's own row is untouched by saving an employee.
        QCOMPARE(fx->scalar(QStringLiteral("select depart_name from tb_depart where id=%1").arg(depart)).toString(),
                 QStringLiteral("生产部"));
    }

    void typedDepartmentNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("departName"); // empty: not found
        QTest::newRow("in use") << "01" << "生产部";
        QTest::newRow("stopped") << "02" << "停用部";
        QTest::newRow("deleted") << "03" << "删除部";
        QTest::newRow("quote in the number") << "O'1" << "引号部";
        QTest::newRow("unknown") << "99" << "";
        QTest::newRow("injection") << "' or '1'='1" << "";
    }
    void typedDepartmentNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, departName);
        const int first = addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        addDepart(QStringLiteral("02"), QStringLiteral("停用部"), true);
        addDepart(QStringLiteral("03"), QStringLiteral("删除部"), false, true);
        addDepart(QStringLiteral("O'1"), QStringLiteral("引号部"));
        addEmployee(QStringLiteral("张三"), first);
        TfrmListEmployee s;
        s.show();
        s.departNoValidate(typed);
        if (departName.isEmpty()) {
            QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("错误|请输入正确部门编号!")));
            QCOMPARE(fx->ui().messages.first().kind, ScriptedInteraction::Kind::Info);
            QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_id")).toInt(), first);
            QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_name")).toString(), QStringLiteral("生产部"));
            return;
        }
        QVERIFY(fx->ui().texts().isEmpty());
        QCOMPARE(s.FDQuery1.state(), Dataset::State::Edit);
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_no")).toString(), typed);
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_name")).toString(), departName);
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select b.depart_name from tb_employee a join tb_depart b on b.id=a.depart_id "
                                           "where a.emp_name='张三'"))
                     .toString(),
                 departName);
    }

    void typedNumberThroughTheGridCell()
    {
        const int first = addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        addDepart(QStringLiteral("02"), QStringLiteral("销售部"));
        addEmployee(QStringLiteral("张三"), first);
        TfrmListEmployee s;
        s.show();
        QTableView *table = s.cxGrid1->table();
        const QModelIndex cell = table->model()->index(0, s.cxGrid1->columnOf(QStringLiteral("depart_no")));
        QLineEdit *edit = openEditor(table, cell);
        QVERIFY(edit);
        edit->setText(QStringLiteral("02"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor commits through a queued call
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_name")).toString(), QStringLiteral("销售部"));
        QCOMPARE(cell.data().toString(), QStringLiteral("02"));

        // An unknown number is refused and the cell shows the department the row still has.
        edit = openEditor(table, cell);
        QVERIFY(edit);
        edit->setText(QStringLiteral("77"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(fx->ui().texts(), QStringList(QStringLiteral("错误|请输入正确部门编号!")));
        QCOMPARE(cell.data().toString(), QStringLiteral("02"));
    }

    void cellButtonChoiceSurvivesClosingTheEditor()
    {
        const int first = addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        addDepart(QStringLiteral("02"), QStringLiteral("销售部"));
        addEmployee(QStringLiteral("张三"), first);
        TfrmListEmployee s;
        s.show();
        QTableView *table = s.cxGrid1->table();
        const QModelIndex cell = table->model()->index(0, s.cxGrid1->columnOf(QStringLiteral("depart_no")));
        QLineEdit *edit = openEditor(table, cell);
        auto *button = table->viewport()->findChild<QToolButton *>();
        QVERIFY(button);
        fx->ui().dialogs.enqueue(chooseDepart(QStringLiteral("销售部")));
        button->click();
        QCOMPARE(edit->text(), QStringLiteral("02")); // the editor shows the choice
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(table->viewport()->findChildren<QLineEdit *>().isEmpty()); // the editor closed
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_name")).toString(), QStringLiteral("销售部"));
        QVERIFY(fx->ui().texts().isEmpty());
    }

    void departmentButtonAndCarryOver()
    {
        addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        const int sales = addDepart(QStringLiteral("02"), QStringLiteral("销售部"));
        TfrmListEmployee s;
        s.show();
        s.btnNewClick();
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_id")).toInt(), 0);
        fx->ui().dialogs.enqueue(chooseDepart(QStringLiteral("销售部")));
        s.btnDepartClick();
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_id")).toInt(), sales);
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_no")).toString(), QStringLiteral("02"));
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_name")).toString(), QStringLiteral("销售部"));
        s.FDQuery1.setValue(QStringLiteral("emp_name"), QStringLiteral("张三"));
        s.btnSaveClick();
        QCOMPARE(s.storeId, sales);

        s.btnNewClick();
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_id")).toInt(), sales);
        // A picker closed without a choice changes nothing.
        fx->ui().dialogs.enqueue([](QDialog *) { return int(QDialog::Rejected); });
        s.btnDepartClick();
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_id")).toInt(), sales);
        s.FDQuery1.setValue(QStringLiteral("emp_name"), QStringLiteral("李四"));
        s.btnSaveClick();
        QCOMPARE(fx->scalar(QStringLiteral("select count(*) from tb_employee where depart_id=%1").arg(sales)).toInt(), 2);
    }

    void pickerOfOneDepartment_data()
    {
        QTest::addColumn<bool>("oneDepartment");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("one department") << true << QStringList({"甲", "乙"});
        QTest::newRow("every department") << false << QStringList({"甲", "乙", "丙"});
    }
    void pickerOfOneDepartment()
    {
        QFETCH(bool, oneDepartment);
        QFETCH(QStringList, offered);
        const int prod = addDepart(QStringLiteral("01"), QStringLiteral("生产部"));
        const int sales = addDepart(QStringLiteral("02"), QStringLiteral("销售部"));
        addEmployee(QStringLiteral("甲"), prod);
        addEmployee(QStringLiteral("乙"), prod);
        addEmployee(QStringLiteral("停"), prod, true);
        addEmployee(QStringLiteral("删"), prod, false, true);
        addEmployee(QStringLiteral("丙"), sales);
        QStringList seen;
        fx->ui().dialogs.enqueue([&seen](QDialog *d) {
            auto *picker = qobject_cast<TfrmListEmployee *>(d);
            picker->show();
            seen = column(picker->FDQuery1, QStringLiteral("emp_name"));
            picker->FDQuery1.locate(QStringLiteral("emp_name"), QStringLiteral("乙"));
            picker->btnSelectClick();
            return picker->result();
        });
        const auto choice = TfrmListEmployee::pick(nullptr, oneDepartment ? prod : 0);
        QCOMPARE(seen, offered);
        QVERIFY(choice);
        QCOMPARE(choice->id, fx->scalar(QStringLiteral("select id from tb_employee where emp_name='乙'")).toInt());
        QCOMPARE(choice->emp_name, QStringLiteral("乙"));
    }

    void employeeListShowsStoppedAndDeletedDepartments()
    {
        const int gone = addDepart(QStringLiteral("09"), QStringLiteral("撤销部"), false, true);
        addEmployee(QStringLiteral("甲"), gone);
        addEmployee(QStringLiteral("停用"), gone, true);
        addEmployee(QStringLiteral("删除"), gone, false, true);
        TfrmListEmployee s;
        s.show();
        QCOMPARE(column(s.FDQuery1, QStringLiteral("emp_name")), QStringList({QStringLiteral("甲"), QStringLiteral("停用")}));
        QCOMPARE(s.FDQuery1.value(QStringLiteral("depart_name")).toString(), QStringLiteral("撤销部"));
    }

    void mainWindowOpensBothScreens()
    {
        TfrmMain w;
        for (const auto &[action, caption] : {std::pair{"actDepart", "部门"}, std::pair{"actEmployee", "职员"}}) {
            w.runAction(QString::fromLatin1(action));
            QWidget *tab = w.actionTab(QString::fromLatin1(action));
            QVERIFY(tab);
            auto *screen = tab->findChild<TfrmBaseList *>();
            QVERIFY(screen);
            QCOMPARE(screen->windowTitle(), QString::fromUtf8(caption));
        }
        QVERIFY(w.actionTab(QStringLiteral("actDepart"))->findChild<TfrmListDepart *>());
        QVERIFY(w.actionTab(QStringLiteral("actEmployee"))->findChild<TfrmListEmployee *>());
    }
};

QTEST_MAIN(TestDepartEmployee)
#include "tst_departemployee.moc"
