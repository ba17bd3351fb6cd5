#include "uListCustomer.h"

#include "uEditCustomer.h"

#include <memory>

TfrmListCustomer::TfrmListCustomer(QWidget *parent)
    : TfrmListTree(QStringLiteral("往来单位"), QStringLiteral("frmListCustomer"),
                   QStringLiteral("select  * from tb_customer where 1=1"), parent)
{
    classTable = QStringLiteral("tb_customer_class");
    classSql = QStringLiteral("select * from tb_customer_class");
    // The same in the picker: stopped partners are offered too.
    openSql = QStringLiteral("select * from tb_customer where del=0");
    classListSql = QStringLiteral("select * from tb_customer where del=0 ");
    classDialogCaption = QStringLiteral("新增往来单位分类");
    classRenameCaption = QStringLiteral("修改往来单位分类");

    FDQuery1.setUpdateTable(QStringLiteral("tb_customer"));
    addClassLookups({QStringLiteral("class_name"), QStringLiteral("class_no")});
    cxGrid1->setColumns({
        {.field = QStringLiteral("customer_no"), .caption = QStringLiteral("往来单位编号")},
        {.field = QStringLiteral("customer_name"), .caption = QStringLiteral("往来单位名称")},
        {.field = QStringLiteral("pym"), .caption = QStringLiteral("拼音码")},
        {.field = QStringLiteral("class_name"), .caption = QStringLiteral("所属分类"), .kind = EditorKind::ReadOnly},
        {.field = QStringLiteral("contact"), .caption = QStringLiteral("联系人")},
        {.field = QStringLiteral("tel"), .caption = QStringLiteral("电话")},
        {.field = QStringLiteral("mobil"), .caption = QStringLiteral("手机")},
        {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
    });
    setNameField(QStringLiteral("customer_name"));
}

void TfrmListCustomer::FDQuery1NewRecord()
{
    TfrmListTree::FDQuery1NewRecord();
    FDQuery1.setValue(QStringLiteral("class_id"), FDQuery2.value(QStringLiteral("id")));
}

TfrmRecordEdit *TfrmListCustomer::createRecordDialog(bool forNewRow)
{
    auto *dialog = new TfrmEditCustomer(this);
    dialog->setWindowTitle(forNewRow ? QStringLiteral("新增往来单位") : QStringLiteral("修改往来单位"));
    return dialog;
}

std::optional<TfrmListCustomer::Choice> TfrmListCustomer::pick(QWidget *owner)
{
    auto picker = std::make_unique<TfrmListCustomer>(owner);
    if (!runAsPicker(*picker, QSize(1200, 800)))
        return std::nullopt;
    Choice c;
    c.id = picker->selectId();
    c.customer_no = picker->FDQuery1.value(QStringLiteral("customer_no")).toString();
    c.customer_name = picker->FDQuery1.value(QStringLiteral("customer_name")).toString();
    return c;
}
