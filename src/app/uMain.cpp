#include "uMain.h"

#include "app/uDashboard.h"
#include "app/uFrmAbout.h"
#include "data/Interaction.h"
#include "data/uFunction.h"
#include "data/udm.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolBox>
#include <QTranslator>
#include <QVBoxLayout>

// Resources live in the static core library; naming them here keeps the linker from dropping them.
static void initResources() {
    Q_INIT_RESOURCE(app);
}

namespace {
const char *const kActionProperty = "ckAction";
const QString kNavGroupKey = QStringLiteral("dxNavBar1/ActiveGroup");
} // namespace

TfrmMain::TfrmMain(ScreenRegistry screens, QWidget *parent)
    : QMainWindow(parent), m_screens(std::move(screens)) {
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("岑柚库管-普及版"));
    setWindowIcon(QPixmap(productLogo(64)));
    loadTranslation();
    createActions();
    createMenu();
    createToolBars();

    cxPageControl1 = new QTabWidget;
    cxPageControl1->setObjectName(QStringLiteral("cxPageControl1"));
    cxPageControl1->setTabsClosable(false);
    cxPageControl1->setDocumentMode(true);
    cxTabSheet1 = new THomeDashboard;
    cxPageControl1->addTab(cxTabSheet1, QStringLiteral("首页"));

    auto *split = new QSplitter;
    split->addWidget(createNavigation());
    split->addWidget(cxPageControl1);
    split->setStretchFactor(1, 1);
    split->setCollapsible(1, false);
    setCentralWidget(split);
    createStatusBar();

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    Timer1.start();
    Timer1Timer();

    // Enter moves the focus in every screen embedded in this window, so the
    // window watches key presses before its controls do.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain() {
    qApp->removeEventFilter(this);
    saveLayout();
    // Screens leave while the window's bookkeeping still exists.
    const auto tabs = m_tabs.values();
    for (const QPointer<QWidget> &tab : tabs)
        delete tab.data();
}

void TfrmMain::loadTranslation() {
    m_translator = new QTranslator(this);
    if (m_translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_translator);
}

void TfrmMain::createActions() {
    for (const ActionDef &def : actionTable()) {
        auto *act = new QAction(def.caption, this);
        act->setObjectName(def.name);
        if (!def.buttonCaption.isEmpty())
            act->setIconText(def.buttonCaption);
        if (!def.icon.isEmpty())
            act->setIcon(QIcon(def.icon));
        // A screen not built yet shows its action disabled.
        act->setEnabled(def.kind == ActionKind::Command || m_screens.contains(def.name));
        const QString name = def.name;
        connect(act, &QAction::triggered, this, [this, name] { runAction(name); });
        m_actions.insert(def.name, act);
    }
}

void TfrmMain::createMenu() {
    std::function<void(QMenu *, const QVector<MenuNode> &)> fill = [&](QMenu *menu,
                                                                       const QVector<MenuNode> &nodes) {
        for (const MenuNode &node : nodes) {
            if (!node.children.isEmpty())
                fill(menu->addMenu(node.text), node.children);
            else if (node.text == QStringLiteral("-"))
                menu->addSeparator();
            else if (const ActionDef *def = findActionByCaption(node.text))
                menu->addAction(m_actions.value(def->name));
        }
    };
    for (const MenuNode &top : mainMenu())
        fill(menuBar()->addMenu(top.text), top.children);
}

void TfrmMain::createToolBars() {
    for (const ActionGroup &bar : toolBars()) {
        QToolBar *tb = addToolBar(bar.caption);
        tb->setObjectName(bar.caption);
        tb->setMovable(false);
        tb->setFloatable(false);
        tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tb->setIconSize(QSize(32, 32));
        tb->toggleViewAction()->setEnabled(false);
        for (const QString &caption : bar.actions)
            if (const ActionDef *def = findActionByCaption(caption))
                tb->addAction(m_actions.value(def->name));
    }
    setContextMenuPolicy(Qt::NoContextMenu); // the bars cannot be switched off or rearranged
}

QWidget *TfrmMain::createNavigation() {
    dxNavBar1 = new QToolBox;
    dxNavBar1->setObjectName(QStringLiteral("dxNavBar1"));
    dxNavBar1->setMinimumWidth(180);
    for (const ActionGroup &group : navigationGroups()) {
        auto *list = new QListWidget;
        list->setIconSize(QSize(24, 24));
        list->setFrameShape(QFrame::NoFrame);
        list->setSpacing(2);
        for (const QString &caption : group.actions) {
            const ActionDef *def = findActionByCaption(caption);
            if (!def)
                continue;
            QAction *act = m_actions.value(def->name);
            auto *item =
                new QListWidgetItem(act->icon().isNull() ? QIcon(group.icon) : act->icon(), caption, list);
            item->setData(Qt::UserRole, def->name);
            if (!act->isEnabled())
                item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        }
        connect(list, &QListWidget::itemClicked, this,
                [this](QListWidgetItem *item) { runAction(item->data(Qt::UserRole).toString()); });
        dxNavBar1->addItem(list, QIcon(group.icon), group.caption);
    }
    setCurrentNavigationGroup(defaultNavigationGroup());
    return dxNavBar1;
}

void TfrmMain::createStatusBar() {
    QStatusBar *sb = statusBar();
    sb->setObjectName(QStringLiteral("sb"));
    sb->setSizeGripEnabled(false);
    const int widths[4] = {200, 120, 200, 0};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(sb);
        m_panels[i]->setMinimumWidth(widths[i]);
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        sb->addPermanentWidget(m_panels[i], i == 3 ? 1 : 0);
    }
}

QString TfrmMain::statusText(int panel) const {
    return m_panels[panel - 1]->text();
}

QString TfrmMain::currentNavigationGroup() const {
    return dxNavBar1->itemText(dxNavBar1->currentIndex());
}

void TfrmMain::setCurrentNavigationGroup(const QString &caption) {
    for (int i = 0; i < dxNavBar1->count(); ++i)
        if (dxNavBar1->itemText(i) == caption)
            dxNavBar1->setCurrentIndex(i);
}

QString TfrmMain::storeFile() {
    return QDir::currentPath() + QStringLiteral("/store/frmMain");
}

void TfrmMain::restoreLayout() {
    const QSettings store(storeFile(), QSettings::IniFormat);
    const QString group = store.value(kNavGroupKey).toString();
    if (!group.isEmpty())
        setCurrentNavigationGroup(group);
}

void TfrmMain::saveLayout() const {
    QDir().mkpath(QFileInfo(storeFile()).absolutePath());
    QSettings store(storeFile(), QSettings::IniFormat);
    store.setValue(kNavGroupKey, currentNavigationGroup());
}

QString TfrmMain::clockText(const QDateTime &time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void TfrmMain::Timer1Timer() {
    m_panels[1]->setText(clockText(QDateTime::currentDateTime()));
}

void TfrmMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // After the window is on the screen, so that the login dialog appears above it.
    QTimer::singleShot(0, this, &TfrmMain::firstShow);
}

void TfrmMain::firstShow() {
    restoreLayout();
    runLogin();
    if (TfrmDM::instance().user)
        initData();
}

void TfrmMain::runLogin() {
    TfrmDM &dm = TfrmDM::instance();
    dm.doLogin();
    if (!dm.user) {
        close();
        return;
    }
    m_panels[0]->setText(QStringLiteral("当前用户:") + dm.user->name);
    m_panels[2]->setText(QStringLiteral("用户角色:") + dm.user->role_name);
}

void TfrmMain::initData() {
    cxTabSheet1->initData();
}

void TfrmMain::runAction(const QString &actionName) {
    const ActionDef *def = findAction(actionName);
    if (!def)
        return;
    switch (def->kind) {
    case ActionKind::Tab:
        runTabAction(*def);
        break;
    case ActionKind::Modal:
        runModalAction(*def);
        break;
    case ActionKind::Command:
        runCommand(*def);
        break;
    }
}

bool TfrmMain::mayRead(const ActionDef &def) {
    if (!def.checksRead || TfrmDM::instance().checkUserRight(def.caption, QStringLiteral("can_read")))
        return true;
    showWarning(this, QStringLiteral("权限验证失败"), QStringLiteral("您没有操作此项目的权限！"));
    return false;
}

void TfrmMain::runTabAction(const ActionDef &def) {
    const ScreenFactory factory = m_screens.find(def.name);
    if (!factory || !mayRead(def))
        return;
    QPointer<QWidget> &tab = m_tabs[def.name];
    if (!tab) {
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        cxPageControl1->addTab(page, def.caption);
        tab = page;
        try {
            QDialog *screen = factory(this);
            // Borderless inside the tab; a screen that closes itself is
            // released, and its tab with it (see docs/application-shell.md).
            screen->setParent(page, Qt::Widget);
            screen->setAttribute(Qt::WA_DeleteOnClose);
            screen->setProperty(kActionProperty, def.name);
            const QString name = def.name;
            connect(screen, &QObject::destroyed, page, [this, name, page] {
                m_tabs.remove(name);
                cxPageControl1->removeTab(cxPageControl1->indexOf(page));
                page->deleteLater();
            });
            layout->addWidget(screen);
            screen->show();
        } catch (...) {
            m_tabs.remove(def.name);
            delete page;
            throw;
        }
    }
    cxPageControl1->setCurrentWidget(tab);
}

void TfrmMain::runModalAction(const ActionDef &def) {
    const ScreenFactory factory = m_screens.find(def.name);
    if (!factory || !mayRead(def))
        return;
    std::unique_ptr<QDialog> dialog(factory(this));
    interaction().runModal(dialog.get());
}

void TfrmMain::runCommand(const ActionDef &def) {
    if (def.name == QStringLiteral("actChangeUser"))
        runLogin();
    else if (def.name == QStringLiteral("actExit"))
        actExitExecute();
    else if (def.name == QStringLiteral("act作者网站"))
        interaction().openWithDefaultProgram(maker::website);
}

void TfrmMain::actExitExecute() {
    if (askYesNo(this, QStringLiteral("退出"), QStringLiteral("确定要退出系统吗？")))
        close();
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        // Only the first delivery (to the focused control) moves the focus;
        // the press itself goes on to that control.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && widget &&
            widget == QApplication::focusWidget() && isAncestorOf(widget))
            focusNextChild();
    }
    return QMainWindow::eventFilter(watched, event);
}
