#pragma once

#include "data/Interaction.h"

// The real conversation service: Qt message boxes and file dialogs, the
// desktop's default handlers and the wait cursor.
class QtInteraction final : public Interaction {
public:
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
    void beginBusy() override;
    void endBusy() override;
};
