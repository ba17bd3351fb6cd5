#pragma once

#include <QHash>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Creates the screen of one action, owned by `owner`. Screens are dialogs so
// that one class can live in a tab or run modally.
using ScreenFactory = std::function<QDialog *(QWidget *owner)>;

// Which screen each main-window action opens, by action name. An action
// without an entry has no screen yet and is shown disabled.
class ScreenRegistry {
public:
    void add(const QString &actionName, ScreenFactory factory) {
        m_factories.insert(actionName, std::move(factory));
    }
    bool contains(const QString &actionName) const { return m_factories.contains(actionName); }
    // Empty function when the action has no screen.
    ScreenFactory find(const QString &actionName) const { return m_factories.value(actionName); }

    template <class Screen> void add(const QString &actionName) {
        add(actionName, [](QWidget *owner) -> QDialog * { return new Screen(owner); });
    }

private:
    QHash<QString, ScreenFactory> m_factories;
};

// Every screen of the program, one line each (ScreenCatalog.cpp).
ScreenRegistry standardScreens();
