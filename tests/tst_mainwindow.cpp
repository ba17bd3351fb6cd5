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
#include <QListWidget>
#include <QMenu>
#include <QToolBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
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

private slots:
    void initTestCase() {
        fx = std::make_unique<TestFixture>();
    }
    void cleanupTestCase() {
        fx.reset();
        QFile::remove(TfrmLogin::settingsFile());
    }
    void init() {
        fx->reset();
        fx->dm().setLoginRunner([this] { return TfrmLogin::execute(w.get()); });
        w = std::make_unique<TfrmMain>(testScreens());
    }
    void cleanup() {
        w.reset();
        fx->checkNoUnexpectedDialogs();
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

    // The whole menu, every tool bar and every navigation group, in order, as
    // the person sees them ("|" a separator, "name>" a sub-menu).
    void menuToolBarsAndNavigationInOrder() {
        std::function<QStringList(QMenu *)> entries = [&](QMenu *menu) {
            QStringList out;
            for (QAction *a : menu->actions())
                out << (a->isSeparator() ? QStringLiteral("|")
                        : a->menu()       ? a->text() + QLatin1Char('>') + entries(a->menu()).join(QLatin1Char(','))
                                          : a->text());
            return out;
        };
        QStringList menu;
        for (QAction *a : w->menuBar()->actions())
            menu << a->text() + QLatin1Char(':') + entries(a->menu()).join(QLatin1Char(';'));
        QCOMPARE(menu,
                 QStringList({
                     "系统设置:公司信息;用户角色;用户;清除数据",
                     "基础资料:仓库;部门;职员;计量单位;往来单位;货品;期初库存",
                     "入库登记:采购入库;销售退货;生产入库;退料入库;借货入库;借出还入",
                     "出库登记:采购退货;销售出库;生产出库;领料出库;借入还出;借货出库",
                     "仓库管理:库存盘点;仓库调拨",
                     "报表查询:查找单据;借进借出>借进货品查询,借出货品查询;"
                     "仓库报表>货品库存表,货品收发汇总表,货品收发明细表,货品库存报警表;"
                     "采购报表>供应商采购汇总表,供应商采购明细表,|,货品采购汇总表,货品采购明细表;"
                     "销售报表>客户销售汇总表,客户销售明细表,|,货品销售汇总表,货品销售明细表;"
                     "产品报表>部门生产汇总表,部门生产明细表,|,产品入库汇总表,产品入库明细表;"
                     "领料报表>部门领料汇总表,部门领料明细表,|,货品领用汇总表,货品领用明细表",
                     "帮助 :关于本系统;访问作者网站",
                 }));

        QStringList bars;
        for (QToolBar *bar : w->findChildren<QToolBar *>()) {
            QStringList buttons;
            for (QAction *a : bar->actions())
                buttons << qobject_cast<QToolButton *>(bar->widgetForAction(a))->text();
            bars << bar->objectName() + QLatin1Char(':') + buttons.join(QLatin1Char(','));
        }
        QCOMPARE(bars, QStringList({"toolbar:采购入库,生产入库,销售出库,领料出库,库存盘点,仓库调拨",
                                    "tbReport:查找单据,货品库存表,货品收发汇总表,货品收发明细表,库存报警",
                                    "Custom 1:关于本系统,更换用户,退出系统"}));

        QStringList groups;
        for (int i = 0; i < w->dxNavBar1->count(); ++i) {
            auto *list = qobject_cast<QListWidget *>(w->dxNavBar1->widget(i));
            QStringList items;
            for (int row = 0; row < list->count(); ++row)
                items << list->item(row)->text();
            groups << w->dxNavBar1->itemText(i) + QLatin1Char(':') + items.join(QLatin1Char(','));
        }
        QCOMPARE(groups,
                 QStringList({"入库登记:采购入库,销售退货,生产入库,退料入库,借货入库,借出还入",
                              "出库登记:采购退货,销售出库,生产出库,领料出库,借入还出,借货出库",
                              "仓库管理:库存盘点,仓库调拨",
                              "报表查询:查找单据,借进货品查询,借出货品查询,货品库存表,货品收发汇总表,"
                              "货品收发明细表,供应商采购汇总表,供应商采购明细表,货品采购汇总表,货品采购明细表,"
                              "客户销售汇总表,客户销售明细表,货品销售汇总表,货品销售明细表,部门生产汇总表,"
                              "部门生产明细表,产品入库汇总表,产品入库明细表,部门领料汇总表,部门领料明细表,"
                              "货品领用汇总表,货品领用明细表,货品库存报警表",
                              "基础资料:仓库,部门,职员,计量单位,往来单位,货品,期初库存",
                              "系统设置:公司信息,用户角色,用户,操作日志,清除数据"}));
        // "货位" is opened from the warehouse screens only.
        QVERIFY(!menu.join(QString()).contains(QStringLiteral("货位")));
        QVERIFY(!groups.join(QString()).contains(QStringLiteral("货位")));
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
