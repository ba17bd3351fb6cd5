#include "PrintEntry.h"

#include "data/Interaction.h"
#include "data/uFunction.h"
#include "data/udm.h"
#include "uFrmPrint.h"

namespace {

// Releases the print screen however the print action ends.
struct PrintScreenRelease {
    ~PrintScreenRelease() { TfrmPrint::freeInstance(); }
};

} // namespace

bool printDataset(QWidget *owner, const QString &module, Dataset *master, const PrintColumns &columns,
                  Dataset *detail)
{
    TfrmDM &dm = TfrmDM::instance();
    if (!dm.checkUserRight(module, QStringLiteral("can_print"))) {
        showWarning(owner, QStringLiteral("权限验证失败"), QStringLiteral("您没有操作此项目的权限！"));
        return false;
    }
    dm.getCompanyInfo();
    PrintScreenRelease release;
    TfrmPrint *screen = TfrmPrint::getInstance();
    if (owner)
        screen->setParent(owner, screen->windowFlags()); // shown over the screen that prints
    screen->setCompanyData(&dm.fdCompany);
    screen->setDatasetDetail(detail);
    screen->setDataset(master);
    screen->setModularName(module);
    screen->setBandedTableView(columns);
    screen->getMainData();
    interaction().runModal(screen);
    const bool printed = screen->printed();
    if (printed)
        dm.writeLog(module, QStringLiteral("打印"));
    return printed;
}
