#include "ScriptedInteraction.h"

#include <QDialog>

void ScriptedInteraction::showWarning(QWidget *, const QString &caption, const QString &message)
{
    messages.append({Kind::Warning, caption, message});
}

void ScriptedInteraction::showInfo(QWidget *, const QString &caption, const QString &message)
{
    messages.append({Kind::Info, caption, message});
}

bool ScriptedInteraction::askYesNo(QWidget *, const QString &caption, const QString &message)
{
    messages.append({Kind::Question, caption, message});
    if (answers.isEmpty()) {
        unexpected << QStringLiteral("question: %1|%2").arg(caption, message);
        return false;
    }
    return answers.dequeue();
}

void ScriptedInteraction::notify(QWidget *, const QString &caption, const QString &message)
{
    messages.append({Kind::Notice, caption, message});
}

QString ScriptedInteraction::getSaveFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    if (fileNames.isEmpty()) {
        unexpected << QStringLiteral("save file dialog: %1").arg(caption);
        return {};
    }
    return fileNames.dequeue();
}

QString ScriptedInteraction::getOpenFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    if (fileNames.isEmpty()) {
        unexpected << QStringLiteral("open file dialog: %1").arg(caption);
        return {};
    }
    return fileNames.dequeue();
}

bool ScriptedInteraction::openWithDefaultProgram(const QString &pathOrUrl)
{
    opened << pathOrUrl;
    return true;
}

int ScriptedInteraction::runModal(QDialog *dialog)
{
    if (dialogs.isEmpty()) {
        unexpected << QStringLiteral("modal dialog: %1").arg(dialog ? dialog->windowTitle() : QString());
        return QDialog::Rejected;
    }
    auto handler = dialogs.dequeue();
    return handler(dialog);
}

QList<ScriptedInteraction::Message> ScriptedInteraction::ofKind(Kind kind) const
{
    QList<Message> out;
    for (const Message &m : messages)
        if (m.kind == kind)
            out << m;
    return out;
}

QStringList ScriptedInteraction::texts() const
{
    QStringList out;
    for (const Message &m : messages)
        out << m.caption + QLatin1Char('|') + m.text;
    return out;
}

void ScriptedInteraction::clear()
{
    answers.clear();
    fileNames.clear();
    dialogs.clear();
    messages.clear();
    opened.clear();
    unexpected.clear();
}
