#include "CkApplication.h"

#include "data/DbError.h"
#include "data/uFunction.h"

#include <exception>

CkApplication::CkApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool CkApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError &e) {
        showError(e.message());
    } catch (const std::exception &e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void CkApplication::showError(const QString &message) {
    showWarning(nullptr, QStringLiteral("错误"), message);
}
