// The main window: actions with their read right, one tab per action, screens
// that release their tab, the login step, leaving the program, the clock, the
// saved navigation group and Enter moving the focus.
#include "TestFixture.h"
#include "frames/uBaseList.h"
#include "app/uDashboard.h"
#include "app/uFrmAbout.h"
#include "app/uLogin.h"
#include "app/uMain.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Stands in for a list screen: two edit boxes and a way to close itself.
class FakeScreen : public QDialog {
public:
    explicit FakeScreen(QWidget *owner) : QDialog(owner) {
        auto *layout = new QVBoxLayout(this);
        first = new QLineEdit(this);
        second = new QLineEdit(this);
        layout->addWidget(first);
        layout->addWidget(second);
        ++created;
    }
    QLineEdit *first;
    QLineEdit *second;
    static int created;
};
int FakeScreen::created = 0;

ScreenRegistry testScreens() {
    ScreenRegistry screens = standardScreens();
    screens.add<FakeScreen>(QStringLiteral("actGoods"));
    screens.add<FakeScreen>(QStringLiteral("actStore"));
    return screens;
}

FakeScreen *screenOf(QWidget *tab) {
    return tab ? tab->findChild<FakeScreen *>() : nullptr;
}

// Plays the person in the login dialog: types, presses "确定", then cancels
// when the login failed.
std::function<int(QDialog *)> typeLogin(const QString &name, const QString &password) {
    return [name, password](QDialog *d) {
        auto *login = qobject_cast<TfrmLogin *>(d);
        login->cbUserList->setEditText(name);
        login->edPassWord->setText(password);
        login->btnOkClick();
        return login->result() == QDialog::Accepted ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFixture> fx;
    std::unique_ptr<TfrmMain> w;
    QTemporaryDir workDir;
    QString startDir;

private slots:
    void initTestCase() {
        fx = std::make_unique<TestFixture>();
        startDir = QDir::currentPath();
        QDir::setCurrent(workDir.path()); // the navigation layout goes to store/ under it
    }
    void cleanupTestCase() {
        fx.reset();
        QDir::setCurrent(startDir);
        QFile::remove(TfrmLogin::settingsFile());
    }
    void init() {
        fx->reset();
        fx->dm().setLoginRunner([this] { return TfrmLogin::execute(w.get()); });
        w = std::make_unique<TfrmMain>(testScreens());
    }
    void cleanup() {
        w.reset();
        QVERIFY2(fx->ui().unexpected.isEmpty(), qPrintable(fx->ui().unexpected.join(QLatin1Char('\n'))));
    }

    void actionsWithoutScreenAreDisabled() {
        QVERIFY(!w->action(QStringLiteral("actCGYK"))->isEnabled());
        QVERIFY(!w->action(QStringLiteral("act清除数据"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("actGoods"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("act关于"))->isEnabled());
        QVERIFY(w->action(QStringLiteral("actExit"))->isEnabled());

        w->runAction(QStringLiteral("actCGYK"));
        QCOMPARE(w->cxPageControl1->count(), 1);
        QVERIFY(fx->ui().messages.isEmpty());
    }

    void menusAndToolBarsFollowTheTable() {
        QStringList titles;
        for (QAction *a : w->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"系统设置", "基础资料", "入库登记", "出库登记", "仓库管理", "报表查询",
                                      "帮助 "}));

        QMenu *reports = w->menuBar()->actions().at(5)->menu();
        QMenu *purchase = reports->actions().at(3)->menu();
        QVERIFY(purchase);
        QCOMPARE(reports->actions().at(3)->text(), QStringLiteral("采购报表"));
        QCOMPARE(purchase->actions().size(), 5);
        QVERIFY(purchase->actions().at(2)->isSeparator());

        auto *bar = w->findChild<QToolBar *>(QStringLiteral("tbReport"));
        QVERIFY(bar);
        auto *alarm = qobject_cast<QToolButton *>(bar->widgetForAction(bar->actions().last()));
        QCOMPARE(alarm->text(), QStringLiteral("库存报警"));
        QCOMPARE(alarm->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(bar->actions().last()->text(), QStringLiteral("货品库存报警表"));
    }

    void runningAnActionTwiceKeepsOneTab() {
        const int before = FakeScreen::created;
        w->runAction(QStringLiteral("actStore"));
        QWidget *tab = w->actionTab(QStringLiteral("actStore"));
        QVERIFY(tab);
        QCOMPARE(w->cxPageControl1->tabText(w->cxPageControl1->indexOf(tab)), QStringLiteral("仓库"));
        QCOMPARE(screenOf(tab)->property("ckAction").toString(), QStringLiteral("actStore"));

        w->cxPageControl1->setCurrentIndex(0);
        w->runAction(QStringLiteral("actStore"));
        QCOMPARE(w->cxPageControl1->count(), 2);
        QCOMPARE(w->cxPageControl1->currentWidget(), tab);
        QCOMPARE(FakeScreen::created, before + 1);
    }

    void screenThatClosesReleasesItsTab() {
        w->runAction(QStringLiteral("actStore"));
        FakeScreen *first = screenOf(w->actionTab(QStringLiteral("actStore")));
        QPointer<FakeScreen> watch(first);
        first->close();
        QTRY_VERIFY(!watch);
        QCOMPARE(w->cxPageControl1->count(), 1);
        QVERIFY(!w->actionTab(QStringLiteral("actStore")));

        w->runAction(QStringLiteral("actStore"));
        QCOMPARE(w->cxPageControl1->count(), 2);
        QVERIFY(screenOf(w->actionTab(QStringLiteral("actStore"))));
    }

    void listScreenInATabClosesWithItsButtonOnly() {
        w->runAction(QStringLiteral("actPosition"));
        QWidget *tab = w->actionTab(QStringLiteral("actPosition"));
        QVERIFY(tab);
        QPointer<TfrmBaseList> screen(tab->findChild<TfrmBaseList *>());
        QVERIFY(screen);
        QTest::keyClick(screen, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(screen);
        QCOMPARE(w->cxPageControl1->count(), 2);

        screen->btnCloseClick();
        QTRY_VERIFY(!screen);
        QCOMPARE(w->cxPageControl1->count(), 1);
        QCOMPARE(fx->scalar(QStringLiteral("select group_concat(action order by id) from tb_user_log "
                                           "where module='货位'")).toString(),
                 QStringLiteral("浏览,关闭"));
    }

    void refusedReadRightOpensNoTab_data() {
        QTest::addColumn<QString>("employee");
        QTest::addColumn<bool>("opens");
        QTest::newRow("demo role without can_read") << "测试用户" << false;
        QTest::newRow("role 1 without any rights rows") << "管理员" << true;
    }
    void refusedReadRightOpensNoTab() {
        QFETCH(QString, employee);
        QFETCH(bool, opens);
        fx->exec(QStringLiteral("update tb_role_rights set can_read=0 where module='货品'"));
        fx->exec(QStringLiteral("delete from tb_role_rights where role_id=1"));
        fx->loginAs(employee);

        w->runAction(QStringLiteral("actGoods"));
        QCOMPARE(w->actionTab(QStringLiteral("actGoods")) != nullptr, opens);
        QCOMPARE(w->cxPageControl1->count(), opens ? 2 : 1);
        QCOMPARE(fx->ui().texts(),
                 opens ? QStringList() : QStringList({"权限验证失败|您没有操作此项目的权限！"}));
    }

    void aboutAndWebsiteNeedNoRight() {
        fx->exec(QStringLiteral("update tb_role_rights set can_read=0 where role_id=2"));
        fx->loginAs(QStringLiteral("测试用户"));
        QString caption, copyright;
        fx->ui().dialogs.enqueue([&](QDialog *d) {
            auto *about = qobject_cast<TfrmAbout *>(d);
            caption = about->windowTitle();
            copyright = about->lblCopyright->text();
            about->btnOk->click();
            return about->result();
        });
        w->runAction(QStringLiteral("act关于"));
        QCOMPARE(caption, QStringLiteral("关于"));
        QVERIFY(copyright.contains(QString::number(QDate::currentDate().year())));

        w->runAction(QStringLiteral("act作者网站"));
        QCOMPARE(fx->ui().opened, QStringList({maker::website}));
        QVERIFY(fx->ui().messages.isEmpty());
    }

    void exitAsksFirst() {
        w->show();
        fx->ui().answers.enqueue(false);
        w->runAction(QStringLiteral("actExit"));
        QVERIFY(w->isVisible());
        QCOMPARE(fx->ui().texts(), QStringList({"退出|确定要退出系统吗？"}));

        fx->ui().answers.enqueue(true);
        w->runAction(QStringLiteral("actExit"));
        QVERIFY(!w->isVisible());
    }

    void loginSetsTheStatusBar() {
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("测试用户"), QStringLiteral("123456")));
        w->runAction(QStringLiteral("actChangeUser"));
        QCOMPARE(w->statusText(1), QStringLiteral("当前用户:测试用户"));
        QCOMPARE(w->statusText(3), QStringLiteral("用户角色:体验用户"));
        QCOMPARE(w->statusText(4), QString());
    }

    void cancelledChangeOfUserKeepsThePreviousUser() {
        fx->exec(QStringLiteral("update tb_role_rights set can_read=0 where role_id=2 and module='货品'"));
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("测试用户"), QStringLiteral("123456")));
        w->runLogin();
        w->runAction(QStringLiteral("actStore"));

        w->show();
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("管理员"), QStringLiteral("wrong")));
        w->runAction(QStringLiteral("actChangeUser"));
        QVERIFY(w->isVisible());
        QCOMPARE(fx->dm().user->name, QStringLiteral("测试用户"));
        QCOMPARE(w->statusText(1), QStringLiteral("当前用户:测试用户"));
        QCOMPARE(w->statusText(3), QStringLiteral("用户角色:体验用户"));
        QVERIFY(!fx->dm().checkUserRight(QStringLiteral("货品"), QStringLiteral("can_read")));

        // A successful change keeps the open tabs and uses the new rights.
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("管理员"), QStringLiteral("888888")));
        w->runAction(QStringLiteral("actChangeUser"));
        QCOMPARE(w->statusText(1), QStringLiteral("当前用户:管理员"));
        QVERIFY(w->actionTab(QStringLiteral("actStore")));
        w->runAction(QStringLiteral("actGoods"));
        QVERIFY(w->actionTab(QStringLiteral("actGoods")));
    }

    void nobodyLoggedInClosesTheWindow() {
        fx->dm().user.reset();
        w->show();
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("管理员"), QStringLiteral("wrong")));
        w->runLogin();
        QVERIFY(!fx->dm().user);
        QVERIFY(!w->isVisible());
    }

    void clockText() {
        QCOMPARE(TfrmMain::clockText(QDateTime(QDate(2024, 5, 1), QTime(9, 5, 7))),
                 QStringLiteral("2024-05-01 09:05:07"));
        QCOMPARE(TfrmMain::clockText(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59))),
                 QStringLiteral("2023-12-31 23:59:59"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(w->statusText(2))
                    .hasMatch());
    }

    void navigationGroupIsSavedAndRestored() {
        QFile::remove(TfrmMain::storeFile());
        QCOMPARE(w->currentNavigationGroup(), QStringLiteral("报表查询"));
        w->restoreLayout(); // no file: the designed state stays
        QCOMPARE(w->currentNavigationGroup(), QStringLiteral("报表查询"));

        w->setCurrentNavigationGroup(QStringLiteral("基础资料"));
        w.reset();
        QVERIFY(QFile::exists(QDir::currentPath() + QStringLiteral("/store/frmMain")));

        w = std::make_unique<TfrmMain>(testScreens());
        QCOMPARE(w->currentNavigationGroup(), QStringLiteral("报表查询"));
        w->restoreLayout();
        QCOMPARE(w->currentNavigationGroup(), QStringLiteral("基础资料"));
    }

    void firstShowLogsInAndFillsTheDashboard() {
        fx->dm().user.reset();
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("测试用户"), QStringLiteral("123456")));
        w->show();
        QTRY_COMPARE(w->statusText(1), QStringLiteral("当前用户:测试用户"));
        QCOMPARE(w->cxTabSheet1->tileValue(QStringLiteral("UpLimit")), QStringLiteral("0"));
        QCOMPARE(w->cxPageControl1->tabText(0), QStringLiteral("首页"));
        QVERIFY(w->isVisible());
    }

    void enterMovesTheFocusAndStillReachesTheControl() {
        fx->ui().dialogs.enqueue(typeLogin(QStringLiteral("管理员"), QStringLiteral("888888")));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTRY_COMPARE(w->statusText(1), QStringLiteral("当前用户:管理员"));
        w->runAction(QStringLiteral("actStore"));
        FakeScreen *screen = screenOf(w->actionTab(QStringLiteral("actStore")));
        screen->first->setFocus();
        QTRY_VERIFY(screen->first->hasFocus());
        QSignalSpy returned(screen->first, &QLineEdit::returnPressed);
        QTest::keyClick(screen->first, Qt::Key_Return);
        QVERIFY(screen->second->hasFocus());
        QCOMPARE(returned.count(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
