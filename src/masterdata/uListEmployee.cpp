#include "uListEmployee.h"

#include "data/DbConnection.h"
#include "data/uFunction.h"
#include "uListDepart.h"

#include <memory>

TfrmListEmployee::TfrmListEmployee(QWidget *parent)
    : TfrmBaseList(QStringLiteral("职员"), QStringLiteral("frmListEmployee"),
                   QStringLiteral("select a.*,b.depart_no,b.depart_name from tb_employee a left join tb_depart b on "
                                  "(b.id=a.depart_id) where a.del=0\n"),
                   parent),
      FDDepart(FDQuery1.connection())
{
    FDQuery1.setUpdateTable(QStringLiteral("tb_employee"));
    FDDepart.setSql(QStringLiteral("select * from tb_depart"));
    cxGrid1->setColumns({
        {.field = QStringLiteral("depart_no"),
         .caption = QStringLiteral("部门编号"),
         .kind = EditorKind::Ellipsis,
         .onButton = [this] { btnDepartClick(); },
         .onValidate = [this](const QString &text) { departNoValidate(text); }},
        {.field = QStringLiteral("depart_name"), .caption = QStringLiteral("所属部门名称"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("emp_no"), .caption = QStringLiteral("职员编号")},
        {.field = QStringLiteral("emp_name"), .caption = QStringLiteral("职员名称")},
        {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码")},
        {.field = QStringLiteral("create_date"), .caption = QStringLiteral("创建时间"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    cxGrid1->setGroupBoxVisible(true);
    setNameField(QStringLiteral("emp_name"));
}

void TfrmListEmployee::opendata()
{
    QString sql = mainSql;
    if (selectmode())
        sql += QStringLiteral(" and a.is_stop=0");
    if (FdepartId != 0)
        sql += QStringLiteral(" and a.depart_id=") + QString::number(FdepartId);
    FDQuery1.setSql(sql);
    FDQuery1.open();
}

void TfrmListEmployee::takeDepartment(int id, const QString &departNo, const QString &departName)
{
    if (!FDQuery1.edit())
        return;
    FDQuery1.setValue(QStringLiteral("depart_id"), id);
    FDQuery1.setValue(QStringLiteral("depart_no"), departNo);
    FDQuery1.setValue(QStringLiteral("depart_name"), departName);
}

void TfrmListEmployee::btnDepartClick()
{
    if (FDQuery1.recNo() < 0)
        return;
    if (const auto choice = TfrmListDepart::pick(this))
        takeDepartment(choice->id, choice->depart_no, choice->depart_name);
}

void TfrmListEmployee::departNoValidate(const QString &departNo)
{
    // Stopped and deleted departments are found too: the number names the department, whatever its state.
    FDDepart.setSql(QStringLiteral("select * from tb_depart where depart_no=") + FDDepart.connection().quote(departNo));
    FDDepart.open();
    if (FDDepart.isEmpty()) {
        showInfo(this, QStringLiteral("错误"), QStringLiteral("请输入正确部门编号!"));
        return;
    }
    takeDepartment(FDDepart.value(QStringLiteral("id")).toInt(), FDDepart.value(QStringLiteral("depart_no")).toString(),
                   FDDepart.value(QStringLiteral("depart_name")).toString());
}

void TfrmListEmployee::FDQuery1NewRecord()
{
    TfrmBaseList::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("is_stop"), false);
    FDQuery1.setValue(QStringLiteral("depart_id"), storeId);
}

bool TfrmListEmployee::FDQuery1BeforePost()
{
    if (refuseEmpty(QStringLiteral("depart_id"), QStringLiteral("请输入所属部门!")))
        return false;
    if (refuseEmpty(QStringLiteral("emp_name"), QStringLiteral("请输入职员名称!")))
        return false;
    updatePinyin(QStringLiteral("emp_name"));
    return true;
}

void TfrmListEmployee::FDQuery1AfterPost() { storeId = FDQuery1.value(QStringLiteral("depart_id")).toInt(); }

std::optional<TfrmListEmployee::Choice> TfrmListEmployee::pick(QWidget *owner, int departId)
{
    auto picker = std::make_unique<TfrmListEmployee>(owner);
    picker->setDepartId(departId);
    if (!runAsPicker(*picker))
        return std::nullopt;
    Choice c;
    c.id = picker->selectId();
    c.emp_no = picker->FDQuery1.value(QStringLiteral("emp_no")).toString();
    c.emp_name = picker->FDQuery1.value(QStringLiteral("emp_name")).toString();
    return c;
}
