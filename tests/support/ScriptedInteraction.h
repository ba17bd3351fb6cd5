#pragma once

#include "data/Interaction.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

// Conversation service for tests: records every message and answers questions,
// file dialogs and modal dialogs from queues. An unexpected question is
// answered "no", an unexpected modal dialog is rejected; both are recorded so
// that a test can fail on them.
class ScriptedInteraction final : public Interaction {
public:
    enum class Kind { Warning, Info, Question, Notice };
    struct Message {
        Kind kind;
        QString caption;
        QString text;
    };

    void showWarning(QWidget *owner, const QString &caption, const QString &message) override;
    void showInfo(QWidget *owner, const QString &caption, const QString &message) override;
    bool askYesNo(QWidget *owner, const QString &caption, const QString &message) override;
    void notify(QWidget *owner, const QString &caption, const QString &message) override;
    QString getSaveFileName(QWidget *owner, const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getOpenFileName(QWidget *owner, const QString &caption, const QString &dir,
                            const QString &filter) override;
    bool openWithDefaultProgram(const QString &pathOrUrl) override;
    int runModal(QDialog *dialog) override;
    void beginBusy() override { ++busyDepth; }
    void endBusy() override { --busyDepth; }

    // Script.
    QQueue<bool> answers;
    QQueue<QString> fileNames;
    // Each handler plays the person in one modal dialog and returns its result code.
    QQueue<std::function<int(QDialog *)>> dialogs;

    // Record.
    QList<Message> messages;
    QStringList opened;
    QStringList unexpected;
    int busyDepth = 0;

    QList<Message> ofKind(Kind kind) const;
    // Messages shown, as "caption|text" lines, for compact comparisons.
    QStringList texts() const;
    void clear();
};
