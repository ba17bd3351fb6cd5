#pragma once

#include <QDialog>

// Root of every window of the program: fixes the common font. A dialog, so
// that one screen can live embedded in a tab or run modally as a picker.
class TfrmBaseForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBaseForm(QWidget *parent = nullptr);

    // "微软雅黑" 14 px, falling back to the CJK fonts found on Linux desktops.
    static QFont defaultFont();

protected:
    // A screen embedded in a tab is not closed by Esc (a dialog's default).
    void keyPressEvent(QKeyEvent *event) override;
};
