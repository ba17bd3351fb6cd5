#pragma once

#include <QApplication>

// The application object: shows any error that reaches the event loop in one
// "错误" box with its message, so that nothing fails silently.
class CkApplication : public QApplication {
public:
    CkApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    static void showError(const QString &message);
};
