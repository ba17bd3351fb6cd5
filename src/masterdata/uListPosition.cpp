#include "uListPosition.h"

#include "uListStore.h"

#include <QDateTime>

TfrmListPosition::TfrmListPosition(QWidget *parent)
    : TfrmBaseList(QStringLiteral("货位"), QStringLiteral("frmListPosition"),
                   QStringLiteral("select * from tb_store_position"), parent),
      FDStore(FDQuery1.connection())
{
    FDQuery1.setUpdateTable(QStringLiteral("tb_store_position"));
    FDQuery1.addClientField(QStringLiteral("store_name"), QMetaType::QString);
    FDQuery1.onCalcFields = [this](Dataset &ds, int row) {
        ds.setClientValue(row, QStringLiteral("store_name"), storeNameOf(ds.valueAt(row, QStringLiteral("store_id"))));
    };
    FDStore.setSql(QStringLiteral("select * from tb_store"));
    cxGrid1->setColumns({
        {.field = QStringLiteral("store_name"), .caption = QStringLiteral("所属仓库名称"), .kind = EditorKind::ReadOnly},
        {.caption = QString(), .kind = EditorKind::Button, .onButton = [this] { btnStoreClick(); }},
        {.field = QStringLiteral("position_no"), .caption = QStringLiteral("货位编号")},
        {.field = QStringLiteral("position_name"), .caption = QStringLiteral("货位名称")},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    cxGrid1->setGroupBoxVisible(true);
    setNameField(QStringLiteral("position_name"));
}

void TfrmListPosition::openStores()
{
    FDStore.open();
    m_storeNames.clear();
    for (int row = 0; row < FDStore.recordCount(); ++row)
        m_storeNames.insert(FDStore.valueAt(row, QStringLiteral("id")).toInt(),
                            FDStore.valueAt(row, QStringLiteral("store_name")).toString());
}

QString TfrmListPosition::storeNameOf(const QVariant &id) const
{
    return id.isNull() ? QString() : m_storeNames.value(id.toInt());
}

void TfrmListPosition::opendata()
{
    openStores();
    FDQuery1.setSql(mainSql); // every position, stopped ones too
    FDQuery1.open();
}

void TfrmListPosition::btnStoreClick()
{
    if (FDQuery1.recNo() < 0)
        return;
    const auto choice = TfrmListStore::pick(this);
    if (!choice)
        return;
    // A warehouse added in the picker must be known to the lookup.
    openStores();
    for (int row = 0; row < FDQuery1.recordCount(); ++row)
        FDQuery1.setClientValue(row, QStringLiteral("store_name"),
                                storeNameOf(FDQuery1.valueAt(row, QStringLiteral("store_id"))));
    if (!FDQuery1.edit())
        return;
    FDQuery1.setValue(QStringLiteral("store_id"), choice->id);
}

void TfrmListPosition::FDQuery1NewRecord()
{
    // No deletion mark here, so not the frame's defaults.
    FDQuery1.setValue(QStringLiteral("create_date"), QDateTime::currentDateTime());
    FDQuery1.setValue(QStringLiteral("is_stop"), false);
    FDQuery1.setValue(QStringLiteral("store_id"), storeId);
}

bool TfrmListPosition::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("store_id"), QStringLiteral("请输入所属仓库!")))
        return false;
    if (refuseEmpty(QStringLiteral("position_name"), QStringLiteral("请输入货位名称!")))
        return false;
    return true;
}

void TfrmListPosition::FDQuery1AfterPost() { storeId = FDQuery1.value(QStringLiteral("store_id")).toInt(); }

void TfrmListPosition::deleteCurrentRow()
{
    if (FDQuery1.state() == Dataset::State::Insert) {
        FDQuery1.cancel();
        return;
    }
    FDQuery1.deleteRecord();
}
