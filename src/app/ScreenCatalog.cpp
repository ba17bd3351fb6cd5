#include "ScreenRegistry.h"

#include "app/uFrmAbout.h"
#include "masterdata/uListCustomer.h"
#include "masterdata/uListGoods.h"
#include "masterdata/uListPosition.h"
#include "masterdata/uListStore.h"

// Connects each screen to its main-window action: one line per screen.
ScreenRegistry standardScreens() {
    ScreenRegistry screens;
    screens.add<TfrmAbout>(QStringLiteral("act关于"));
    screens.add<TfrmListStore>(QStringLiteral("actStore"));
    screens.add<TfrmListPosition>(QStringLiteral("actPosition"));
    screens.add<TfrmListGoods>(QStringLiteral("actGoods"));
    screens.add<TfrmListCustomer>(QStringLiteral("actCompanyClass"));
    return screens;
}
