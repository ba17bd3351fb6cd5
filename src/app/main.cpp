#include "app/CkApplication.h"
#include "app/uLogin.h"
#include "app/uMain.h"
#include "data/udm.h"
#include "frames/QtInteraction.h"
#include "frames/ubaseform.h"

#include <QScreen>
#include <memory>

int main(int argc, char *argv[]) {
    CkApplication app(argc, argv);
    CkApplication::setApplicationName(QStringLiteral("ck-stock"));
    CkApplication::setOrganizationName(QStringLiteral("ck-stock"));
    // No display name: the platform would append it to every window caption.
    CkApplication::setFont(TfrmBaseForm::defaultFont());
    setInteraction(std::make_unique<QtInteraction>());

    // The window first (its creation touches no database), then the data
    // module; the login runs when the window is first shown.
    auto window = std::make_unique<TfrmMain>();
    TfrmDM dm;
    dm.setLoginRunner([&window] { return TfrmLogin::execute(window.get()); });
    // Desktops without a window manager ignore "maximised": start at the full
    // screen size there too.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
    const int result = CkApplication::exec();
    // Open screens write their closing log rows while the connection still exists.
    window.reset();
    return result;
}
