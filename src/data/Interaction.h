#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;
class QDialog;

// Every conversation with the person at the screen goes through this service:
// message boxes, questions, the self-closing notice, file dialogs, opening a
// file or address with its default program, modal runs of dialogs and the wait
// cursor. The program installs the Qt implementation; tests install a scripted
// one, so that no test can hang on a modal window.
class Interaction {
public:
    virtual ~Interaction() = default;

    virtual void showWarning(QWidget *owner, const QString &caption, const QString &message) = 0;
    virtual void showInfo(QWidget *owner, const QString &caption, const QString &message) = 0;
    virtual bool askYesNo(QWidget *owner, const QString &caption, const QString &message) = 0;
    // A notice that closes by itself after a moment.
    virtual void notify(QWidget *owner, const QString &caption, const QString &message) = 0;

    // Empty result: the person cancelled.
    virtual QString getSaveFileName(QWidget *owner, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QString getOpenFileName(QWidget *owner, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    // Opens a file path or web address with the system's default handler.
    virtual bool openWithDefaultProgram(const QString &pathOrUrl) = 0;

    // Shows the dialog modally and returns its result code (QDialog::Accepted …).
    virtual int runModal(QDialog *dialog) = 0;

    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;
};

// The installed service; a Qt implementation must be installed before any
// screen runs (tests install their scripted one).
Interaction &interaction();
// Takes ownership; returns the previous service.
std::unique_ptr<Interaction> setInteraction(std::unique_ptr<Interaction> service);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
