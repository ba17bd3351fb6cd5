#include "app/CkApplication.h"
#include "app/uLogin.h"
#include "app/uMain.h"
#include "data/udm.h"
#include "frames/QtInteraction.h"

#include <QFont>
#include <memory>

int main(int argc, char *argv[]) {
    CkApplication app(argc, argv);
    CkApplication::setApplicationName(QStringLiteral("ck-stock"));
    CkApplication::setOrganizationName(QStringLiteral("ck-stock"));
    CkApplication::setApplicationDisplayName(QStringLiteral("岑柚库管"));
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(14);
    CkApplication::setFont(font);
    setInteraction(std::make_unique<QtInteraction>());

    // The window first (its creation touches no database), then the data
    // module; the login runs when the window is first shown.
    auto window = std::make_unique<TfrmMain>();
    TfrmDM dm;
    dm.setLoginRunner([&window] { return TfrmLogin::execute(window.get()); });
    window->showMaximized();
    const int result = CkApplication::exec();
    // Open screens write their closing log rows while the connection still exists.
    window.reset();
    return result;
}
