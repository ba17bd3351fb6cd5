// The login dialog: finding the user, checking the password, the rights that
// come with the role, remembering the login and the demo account.
#include "TestFixture.h"
#include "app/uLogin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

class TestLogin : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;

    void removeSettings() { QFile::remove(TfrmLogin::settingsFile()); }

private slots:
    void initTestCase() { fx = std::make_unique<TestFixture>(); }
    void cleanupTestCase() {
        fx.reset();
        removeSettings();
    }
    void init() {
        fx->reset();
        removeSettings();
    }

    void verifyLogin_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("roleId");

        QTest::newRow("administrator") << QString() << "管理员"
                                       << "888888" << true << 1;
        QTest::newRow("demo user") << QString() << "测试用户"
                                   << "123456" << true << 2;
        QTest::newRow("wrong password") << QString() << "管理员"
                                        << "888889" << false << 1;
        QTest::newRow("unknown name") << QString() << "张三"
                                      << "888888" << false << 1;
        QTest::newRow("name differs in letter case")
            << "insert into tb_employee (id, emp_no, emp_name) values (3, 'e3', 'Alice');"
               "insert into tb_user (id, role_id, emp_id, password, del) values (3, 2, 3, 'pw1234', 0)"
            << "alice"
            << "pw1234" << false << 1;
        QTest::newRow("password differs in letter case") << "update tb_user set password='Secret' where id=2"
                                                         << "测试用户"
                                                         << "secret" << false << 1;
        QTest::newRow("typed password is trimmed") << QString() << "管理员"
                                                   << "  888888 " << true << 1;
        QTest::newRow("stored password with a blank never matches")
            << "update tb_user set password=' 888888' where id=1"
            << "管理员"
            << " 888888" << false << 1;
        QTest::newRow("stopped user logs in") << "update tb_user set is_stop=1 where id=2"
                                              << "测试用户"
                                              << "123456" << true << 2;
        QTest::newRow("deleted user cannot log in") << "update tb_user set del=1 where id=2"
                                                    << "测试用户"
                                                    << "123456" << false << 1;
        QTest::newRow("duplicate names take the first row")
            << "insert into tb_employee (id, emp_no, emp_name) values (3, 'e3', '管理员');"
               "insert into tb_user (id, role_id, emp_id, password, del) values (3, 2, 3, 'other1', 0)"
            << "管理员"
            << "other1" << false << 1;
    }
    void verifyLogin() {
        QFETCH(QString, setup);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        QFETCH(int, roleId);
        for (const QString &sql : setup.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            fx->exec(sql);

        TfrmLogin dialog;
        dialog.cbUserList->setEditText(name);
        dialog.edPassWord->setText(password);
        dialog.btnOkClick();

        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.statusText(), accepted ? QStringLiteral("用户验证成功!")
                                               : QStringLiteral("用户名与密码验证失败，请重新输入!"));
        // A failed login leaves the administrator of the fixture in place.
        QVERIFY(fx->dm().user);
        QCOMPARE(fx->dm().user->role_id, roleId);
        QCOMPARE(fx->dm().user->name, accepted ? name : QStringLiteral("管理员"));
        QCOMPARE(fx->dm().user->isSuper, roleId == 1);
        QVERIFY(fx->ui().messages.isEmpty());
    }

    void listHoldsLiveUsersInServerOrder() {
        fx->exec(QStringLiteral(
            "insert into tb_employee (id, emp_no, emp_name) values (3, 'e3', '王五'), (4, 'e4', '赵六')"));
        fx->exec(QStringLiteral(
            "insert into tb_user (id, role_id, emp_id, password, del) values (3, 2, 3, 'x', 1), "
            "(4, 2, 4, 'y', 0)"));
        TfrmLogin dialog;
        QStringList names;
        for (int i = 0; i < dialog.cbUserList->count(); ++i)
            names << dialog.cbUserList->itemText(i);
        QCOMPARE(names,
                 QStringList({QStringLiteral("管理员"), QStringLiteral("测试用户"), QStringLiteral("赵六")}));
        QCOMPARE(dialog.cbUserList->currentText(), QString());
        QCOMPARE(dialog.statusText(), QStringLiteral("请输入用户名与密码登录系统"));
    }

    void loginLoadsTheRightsOfTheRole() {
        fx->exec(QStringLiteral("update tb_role_rights set can_read=0 where role_id=2 and module='货品'"));
        TfrmLogin dialog;
        QVERIFY(dialog.verifyLogin(QStringLiteral("测试用户"), QStringLiteral("123456")));
        QVERIFY(!fx->dm().checkUserRight(QStringLiteral("货品"), QStringLiteral("can_read")));
        QVERIFY(fx->dm().checkUserRight(QStringLiteral("仓库"), QStringLiteral("can_read")));
        QVERIFY(!fx->dm().checkUserRight(QStringLiteral("仓库"), QStringLiteral("can_edit")));

        // Back to the administrator, whose role has no rights rows at all.
        fx->exec(QStringLiteral("delete from tb_role_rights where role_id=1"));
        QVERIFY(dialog.verifyLogin(QStringLiteral("管理员"), QStringLiteral("888888")));
        QVERIFY(fx->dm().checkUserRight(QStringLiteral("货品"), QStringLiteral("can_del")));
    }

    void rememberedLoginFillsTheNextDialog() {
        {
            TfrmLogin dialog;
            dialog.cbUserList->setEditText(QStringLiteral("测试用户"));
            dialog.edPassWord->setText(QStringLiteral(" 123456"));
            dialog.cb->setChecked(true);
            dialog.btnOkClick();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QSettings ini(TfrmLogin::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("login/username")).toString(), QStringLiteral("测试用户"));
        QCOMPARE(ini.value(QStringLiteral("login/password")).toString(), QStringLiteral(" 123456"));
        QCOMPARE(ini.value(QStringLiteral("login/remember")).toString(), QStringLiteral("1"));

        TfrmLogin next;
        QCOMPARE(next.cbUserList->currentText(), QStringLiteral("测试用户"));
        QCOMPARE(next.edPassWord->text(), QStringLiteral(" 123456"));
        QVERIFY(next.cb->isChecked());
    }

    void uncheckedRememberKeepsOldValuesButShowsNothing() {
        {
            QSettings ini(TfrmLogin::settingsFile(), QSettings::IniFormat);
            ini.setValue(QStringLiteral("login/username"), QStringLiteral("测试用户"));
            ini.setValue(QStringLiteral("login/password"), QStringLiteral("123456"));
            ini.setValue(QStringLiteral("login/remember"), 1);
        }
        {
            TfrmLogin dialog;
            QVERIFY(dialog.cb->isChecked());
            dialog.cbUserList->setEditText(QStringLiteral("管理员"));
            dialog.edPassWord->setText(QStringLiteral("888888"));
            dialog.cb->setChecked(false);
            dialog.btnOkClick();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QSettings ini(TfrmLogin::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("login/remember")).toString(), QStringLiteral("0"));
        QCOMPARE(ini.value(QStringLiteral("login/username")).toString(), QStringLiteral("测试用户"));

        TfrmLogin next;
        QCOMPARE(next.cbUserList->currentText(), QString());
        QCOMPARE(next.edPassWord->text(), QString());
        QVERIFY(!next.cb->isChecked());
    }

    void failedLoginWritesNoSettings() {
        TfrmLogin dialog;
        dialog.cbUserList->setEditText(QStringLiteral("管理员"));
        dialog.edPassWord->setText(QStringLiteral("wrong"));
        dialog.cb->setChecked(true);
        dialog.btnOkClick();
        QVERIFY(!QFile::exists(TfrmLogin::settingsFile()));
    }

    void demoButtonLogsInTheDemoUser() {
        TfrmLogin dialog;
        dialog.cxButton1Click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.cbUserList->currentText(), QStringLiteral("测试用户"));
        QCOMPARE(fx->dm().user->name, QStringLiteral("测试用户"));
        QCOMPARE(fx->dm().user->role_name, QStringLiteral("体验用户"));
    }

    void demoButtonFailsWithoutTheDemoAccount() {
        fx->exec(QStringLiteral("update tb_user set password='654321' where id=2"));
        TfrmLogin dialog;
        dialog.cxButton1Click();
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(fx->dm().user->name, QStringLiteral("管理员"));
    }

    void enterAndEscapeAreOkAndCancel() {
        TfrmLogin dialog;
        QVERIFY(dialog.btnOk->isDefault());
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    // Enter in either box is "确定"; a name that fails stays out of the user list.
    void enterInTheBoxesIsOk() {
        TfrmLogin dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const int users = dialog.cbUserList->count();

        dialog.cbUserList->setFocus();
        QTest::keyClicks(dialog.cbUserList, QStringLiteral("nobody"));
        QTest::keyClick(dialog.cbUserList, Qt::Key_Return);
        QCOMPARE(dialog.statusText(), QStringLiteral("用户名与密码验证失败，请重新输入!"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.cbUserList->count(), users);

        dialog.cbUserList->setEditText(QStringLiteral("管理员"));
        dialog.edPassWord->setFocus();
        QTest::keyClicks(dialog.edPassWord, QStringLiteral("888888"));
        QTest::keyClick(dialog.edPassWord, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.statusText(), QStringLiteral("用户验证成功!"));
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
