#include "uListDepart.h"


#include <memory>

TfrmListDepart::TfrmListDepart(QWidget *parent)
    : TfrmBaseList(QStringLiteral("部门"), QStringLiteral("frmListDepart"),
                   QStringLiteral("select * from tb_depart where 1=1"), parent)
{
    FDQuery1.setUpdateTable(QStringLiteral("tb_depart"));
    cxGrid1->setColumns({
        {.field = QStringLiteral("depart_no"), .caption = QStringLiteral("部门编号")},
        {.field = QStringLiteral("depart_name"), .caption = QStringLiteral("部门名称")},
        {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码")},
        {.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建时间"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    setNameField(QStringLiteral("depart_name"));
}

void TfrmListDepart::opendata()
{
    // A picker offers only the departments in use.
    FDQuery1.setSql(selectmode() ? QStringLiteral("select * from tb_depart where del=0 and is_stop=0")
                                 : QStringLiteral("select * from tb_depart where del=0"));
    FDQuery1.open();
}

void TfrmListDepart::FDQuery1NewRecord()
{
    TfrmBaseList::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("is_stop"), false);
}

bool TfrmListDepart::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("depart_no"), QStringLiteral("请输入部门编号!")))
        return false;
    if (refuseEmpty(QStringLiteral("depart_name"), QStringLiteral("请输入部门名称!")))
        return false;
    updatePinyin(QStringLiteral("depart_name"));
    return true;
}

std::optional<TfrmListDepart::Choice> TfrmListDepart::pick(QWidget *owner)
{
    auto picker = std::make_unique<TfrmListDepart>(owner);
    if (!runAsPicker(*picker))
        return std::nullopt;
    Choice c;
    c.id = picker->selectId();
    c.depart_no = picker->FDQuery1.value(QStringLiteral("depart_no")).toString();
    c.depart_name = picker->FDQuery1.value(QStringLiteral("depart_name")).toString();
    return c;
}
