#include "uListUnit.h"


TfrmListUnit::TfrmListUnit(QWidget *parent)
    : TfrmBaseList(QStringLiteral("计量单位"), QStringLiteral("frmListUnit"),
                   QStringLiteral("select * from tb_unit where 1=1"), parent)
{
    FDQuery1.setUpdateTable(QStringLiteral("tb_unit"));
    cxGrid1->setColumns({
        {.field = QStringLiteral("unit_name"), .caption = QStringLiteral("计量单位名称")},
        {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码")},
        {.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建时间"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    setNameField(QStringLiteral("unit_name"));
}

void TfrmListUnit::opendata()
{
    FDQuery1.setSql(QStringLiteral("select * from tb_unit where del=0"));
    FDQuery1.open();
}

void TfrmListUnit::FDQuery1NewRecord()
{
    TfrmBaseList::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("is_stop"), false);
}

bool TfrmListUnit::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("unit_name"), QStringLiteral("请输入计量单位名称!")))
        return false;
    updatePinyin(QStringLiteral("unit_name"));
    return true;
}
