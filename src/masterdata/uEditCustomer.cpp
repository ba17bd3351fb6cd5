#include "uEditCustomer.h"

#include "data/UnitConverionPy.h"
#include "data/uFunction.h"
#include "frames/PropertyGrid.h"

#include <QVBoxLayout>

TfrmEditCustomer::TfrmEditCustomer(QWidget *parent) : TfrmRecordEdit(parent)
{
    mainSql = QStringLiteral("select  a.*,b.class_name from tb_customer a\n"
                             "LEFT JOIN tb_customer_class b on (b.id=a.class_id)\n"
                             "where 1=1");
    FDQuery1.setUpdateTable(QStringLiteral("tb_customer"));
    FDQuery1.beforePost = [this](Dataset &) { return FDQuery1BeforePost(); };
    FDClass.setSql(QStringLiteral("select * from tb_customer_class"));

    // The grid moves to the next row on Enter by itself.
    setKeyPreview(false);
    cxDBVerticalGrid1 = new PropertyGrid(Panel2);
    auto text = [](const char *field, const QString &caption, int maxLength) {
        return PropertyRow{.field = QString::fromLatin1(field), .caption = caption, .maxLength = maxLength};
    };
    cxDBVerticalGrid1->setCategories({
        {QStringLiteral("基本信息"),
         {text("customer_no", QStringLiteral("往来单位编号"), 10),
          text("customer_name", QStringLiteral("往来单位名称"), 50),
          {.field = QStringLiteral("class_name"), .caption = QStringLiteral("分类"), .kind = EditorKind::Ellipsis,
           .onButton = [this] { showClassPickerBelow(cxDBVerticalGrid1->editor(QStringLiteral("class_name"))->parentWidget()); }},
          text("web_site", QStringLiteral("网站"), 50), text("contact", QStringLiteral("联系人"), 20),
          text("tel", QStringLiteral("电话"), 20), text("fax", QStringLiteral("传真"), 20),
          text("mobil", QStringLiteral("手机"), 20), text("memo", QStringLiteral("备注"), 255)}},
        {QStringLiteral("财务"),
         {text("bank", QStringLiteral("开户银行"), 100), text("bank_num", QStringLiteral("开户银行帐号"), 30),
          text("tax_num", QStringLiteral("税号"), 30)}},
        {QStringLiteral("系统"),
         {{.field = QStringLiteral("create_date"), .caption = QStringLiteral("建立日期"), .kind = EditorKind::DateTime},
          {.field = QStringLiteral("is_stop"), .caption = QStringLiteral("停用"), .kind = EditorKind::Check},
          text("pym", QStringLiteral("拼音码"), 50)}},
    });
    cxDBVerticalGrid1->setDataset(&FDQuery1);
    auto *layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(cxDBVerticalGrid1);
    setFixedSize(460, sizeHint().height()); // every row in sight, no scrolling
}

void TfrmEditCustomer::showEvent(QShowEvent *event)
{
    TfrmRecordEdit::showEvent(event);
    cxDBVerticalGrid1->focusRow(QStringLiteral("customer_no"));
}

bool TfrmEditCustomer::FDQuery1BeforePost()
{
    const QString name = FDQuery1.value(QStringLiteral("customer_name")).toString();
    if (name.isEmpty()) {
        showWarning(this, QStringLiteral("保存"), QStringLiteral("请输入往来单位名称!"));
        cxDBVerticalGrid1->focusRow(QStringLiteral("customer_name"));
        return false;
    }
    FDQuery1.setValue(QStringLiteral("pym"), getPinyinCode(name));
    return true;
}
