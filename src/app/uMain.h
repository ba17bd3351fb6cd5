#pragma once

#include "app/ActionTable.h"
#include "app/ScreenRegistry.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class QAction;
class QDateTime;
class QLabel;
class QListWidget;
class QTabWidget;
class QToolBox;
class QTranslator;
class THomeDashboard;

// The program's main window: menu, tool bars and navigation pane built from
// the action table, the tabbed work area with the home dashboard as its first
// tab, and the status bar with the user, the clock and the role.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(ScreenRegistry screens = standardScreens(), QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The login step: at first show and on "更换用户". Closes the window when nobody is logged in.
    void runLogin();
    // Fills the home dashboard.
    void initData();
    // Runs an action as a click on its menu entry, tool bar button or navigation item does.
    void runAction(const QString &actionName);

    QAction *action(const QString &actionName) const { return m_actions.value(actionName); }
    // The tab page an action opened, or nullptr.
    QWidget *actionTab(const QString &actionName) const { return m_tabs.value(actionName); }
    // Text of a status bar panel, 1 to 4.
    QString statusText(int panel) const;
    // The navigation group that is open.
    QString currentNavigationGroup() const;
    void setCurrentNavigationGroup(const QString &caption);

    // Layout file of the navigation pane: store/frmMain under the working folder.
    static QString storeFile();
    void restoreLayout();
    void saveLayout() const;

    static QString clockText(const QDateTime &time);

    QTabWidget *cxPageControl1;
    THomeDashboard *cxTabSheet1;
    QToolBox *dxNavBar1;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadTranslation();
    void createActions();
    void createMenu();
    void createToolBars();
    QWidget *createNavigation();
    void createStatusBar();
    void firstShow();
    bool mayRead(const ActionDef &def);
    void runTabAction(const ActionDef &def);
    void runModalAction(const ActionDef &def);
    void runCommand(const ActionDef &def);
    void actExitExecute();
    void Timer1Timer();

    ScreenRegistry m_screens;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QPointer<QWidget>> m_tabs;
    QLabel *m_panels[4] = {};
    QTranslator *m_translator = nullptr;
    bool m_shown = false;
};
