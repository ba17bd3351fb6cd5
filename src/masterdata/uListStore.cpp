#include "uListStore.h"


#include <memory>

TfrmListStore::TfrmListStore(QWidget *parent)
    : TfrmBaseList(QStringLiteral("仓库"), QStringLiteral("frmListStore"), QStringLiteral("select * from tb_store where 1=1"),
                   parent)
{
    FDQuery1.setUpdateTable(QStringLiteral("tb_store"));
    cxGrid1->setColumns({
        {.field = QStringLiteral("store_no"), .caption = QStringLiteral("仓库编号")},
        {.field = QStringLiteral("store_name"), .caption = QStringLiteral("仓库名称")},
        {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建时间"), .kind = EditorKind::DateTime},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    setNameField(QStringLiteral("store_name"));
}

void TfrmListStore::opendata()
{
    // A picker offers only the warehouses in use.
    FDQuery1.setSql(selectmode() ? QStringLiteral("select * from tb_store where is_stop=0 and del=0")
                                 : QStringLiteral("select * from tb_store where del=0"));
    FDQuery1.open();
}

void TfrmListStore::FDQuery1NewRecord()
{
    TfrmBaseList::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("is_stop"), false);
}

bool TfrmListStore::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("store_name"), QStringLiteral("请输入仓库名称!")))
        return false;
    updatePinyin(QStringLiteral("store_name"));
    return true;
}

std::optional<TfrmListStore::Choice> TfrmListStore::pick(QWidget *owner)
{
    auto picker = std::make_unique<TfrmListStore>(owner);
    if (!runAsPicker(*picker))
        return std::nullopt;
    Choice c;
    c.id = picker->selectId();
    c.store_no = picker->FDQuery1.value(QStringLiteral("store_no")).toString();
    c.store_name = picker->FDQuery1.value(QStringLiteral("store_name")).toString();
    return c;
}
