#include "ScreenRegistry.h"

#include "app/uFrmAbout.h"
#include "masterdata/uCompany.h"
#include "masterdata/uListCustomer.h"
#include "masterdata/uListDepart.h"
#include "masterdata/uListEmployee.h"
#include "masterdata/uListGoods.h"
#include "masterdata/uListPosition.h"
#include "masterdata/uListStore.h"
#include "masterdata/uListStoreBegin.h"
#include "masterdata/uListUnit.h"

// Connects each screen to its main-window action: one line per screen.
ScreenRegistry standardScreens() {
    ScreenRegistry screens;
    screens.add<TfrmAbout>(QStringLiteral("act关于"));
    screens.add<TfrmListStore>(QStringLiteral("actStore"));
    screens.add<TfrmListPosition>(QStringLiteral("actPosition"));
    screens.add<TfrmListDepart>(QStringLiteral("actDepart"));
    screens.add<TfrmListEmployee>(QStringLiteral("actEmployee"));
    screens.add<TfrmListUnit>(QStringLiteral("actUnit"));
    screens.add<TfrmCompany>(QStringLiteral("actCompany"));
    screens.add<TfrmListGoods>(QStringLiteral("actGoods"));
    screens.add<TfrmListCustomer>(QStringLiteral("actCompanyClass"));
    screens.add<TfrmListStoreBegin>(QStringLiteral("actStoreBegin"));
    return screens;
}
