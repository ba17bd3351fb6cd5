#include "app/CkApplication.h"
#include "data/udm.h"
#include "frames/QtInteraction.h"

#include <QFont>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    CkApplication app(argc, argv);
    CkApplication::setApplicationName(QStringLiteral("ck-stock"));
    CkApplication::setOrganizationName(QStringLiteral("ck-stock"));
    setInteraction(std::make_unique<QtInteraction>());

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("岑柚库管-普及版"));
    TfrmDM dm;
    auto *label = new QLabel(dm.isConnected() ? QStringLiteral("已连接到数据库。") : QStringLiteral("没有连接到数据库。"));
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(800, 600);
    window.show();
    return app.exec();
}
