#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The main window's functions as data. Menu, tool bars and navigation pane are
// built from these lists, and a screen is connected to its action through the
// screen registry (ScreenRegistry.h), so adding a screen never touches the
// window's code.

enum class ActionKind {
    Tab,     // opens its screen in a tab of the work area, one tab per action
    Modal,   // shows its dialog modally and releases it afterwards
    Command, // runs a function of the main window itself
};

struct ActionDef {
    QString name;    // object name, for example "actStore"
    QString caption; // text of menu entries and navigation items, tab title, module name of the rights
    ActionKind kind;
    bool checksRead;            // whether can_read is tested under the caption before running
    QString icon;               // resource path of its picture; empty: the navigation group's picture
    QString buttonCaption = {}; // caption on tool bar buttons when it differs from the caption
};

// A menu entry: an action caption, "-" for a separator, or a sub-menu caption with children.
struct MenuNode {
    QString text;
    QVector<MenuNode> children = {};
};

struct ActionGroup {
    QString caption;
    QStringList actions; // action captions in order
    QString icon = {};
};

const QVector<ActionDef> &actionTable();
// The action with this caption, or nullptr.
const ActionDef *findActionByCaption(const QString &caption);
const ActionDef *findAction(const QString &name);

// Main menu: top-level menus with their entries.
const QVector<MenuNode> &mainMenu();
// Tool bars in order, each with its object name as caption.
const QVector<ActionGroup> &toolBars();
// Groups of the navigation pane, in order.
const QVector<ActionGroup> &navigationGroups();
// The group open when no saved layout exists.
QString defaultNavigationGroup();
