#include "ScreenRegistry.h"

#include "app/uFrmAbout.h"

// Connects each screen to its main-window action: one line per screen.
ScreenRegistry standardScreens() {
    ScreenRegistry screens;
    screens.add<TfrmAbout>(QStringLiteral("act关于"));
    return screens;
}
