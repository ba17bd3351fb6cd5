#include "uCompany.h"

#include "data/DbError.h"
#include "data/uFunction.h"
#include "data/udm.h"
#include "frames/FieldBinding.h"
#include "frames/PropertyGrid.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct PrefixRow {
    const char *caption;
    const char *field;
};

// One prefix per bill kind, in the order of the bill menus.
const PrefixRow kPrefixRows[] = {
    {"采购入库", "CGYK_mark"}, {"销售退货", "XSTH_mark"}, {"生产入库", "SCYK_mark"}, {"退料入库", "TLYK_mark"},
    {"借货入库", "JHYK_mark"}, {"借出还入", "JCHY_mark"}, {"采购退货", "CGTH_mark"}, {"销售出库", "XSCH_mark"},
    {"生产出库", "SCCK_mark"}, {"领料出库", "LLCK_mark"}, {"借入还出", "JYHC_mark"}, {"借货出库", "JHCK_mark"},
    {"库存盘点", "KCPD_mark"}, {"仓库调拨", "CKDB_mark"},
};

QSpinBox *decimalsBox()
{
    auto *spin = new QSpinBox;
    spin->setRange(0, 10);
    return spin;
}

} // namespace

TfrmCompany::TfrmCompany(QWidget *parent) : TfrmBaseEdit(parent)
{
    setWindowTitle(QStringLiteral("公司信息"));
    FDQuery1.setSql(QStringLiteral("select * from tb_company"));
    FDQuery1.setUpdateTable(QStringLiteral("tb_company"));
    btnSaveNew->hide();
    m_binding = new FieldBinding(FDQuery1, this);

    cxPageControl1 = new QTabWidget(Panel2);
    cxPageControl1->addTab(buildBasePage(), QStringLiteral("基础信息"));
    cxPageControl1->addTab(buildPrefixPage(), QStringLiteral("单据前缀"));
    auto *layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(cxPageControl1);
    // Tall enough for every bill prefix without scrolling.
    resize(520, sizeHint().height());

    opendata();
}

QLineEdit *TfrmCompany::addText(const QString &field, int maxLength)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(field);
    edit->setMaxLength(maxLength);
    m_binding->bind(edit, field);
    m_editors.insert(field, edit);
    return edit;
}

QWidget *TfrmCompany::buildBasePage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    edCompanyName = addText(QStringLiteral("company_name"), 50);
    form->addRow(QStringLiteral("公司名称："), edCompanyName);
    form->addRow(QStringLiteral("联系人："), addText(QStringLiteral("contact"), 30));
    form->addRow(QStringLiteral("地址："), addText(QStringLiteral("address"), 100));
    form->addRow(QStringLiteral("电话："), addText(QStringLiteral("tel"), 20));
    form->addRow(QStringLiteral("传真："), addText(QStringLiteral("fax"), 20));
    form->addRow(QStringLiteral("网站："), addText(QStringLiteral("website"), 50));
    form->addRow(QStringLiteral("邮箱："), addText(QStringLiteral("email"), 30));
    const QList<QPair<QString, QSpinBox **>> sizes = {
        {QStringLiteral("quantity_size"), &edQuantitySize},
        {QStringLiteral("price_size"), &edPriceSize},
        {QStringLiteral("amount_size"), &edAmountSize},
    };
    const QStringList captions = {QStringLiteral("数量小数位："), QStringLiteral("单价小数位："),
                                  QStringLiteral("金额小数位：")};
    for (int i = 0; i < sizes.size(); ++i) {
        QSpinBox *spin = decimalsBox();
        spin->setObjectName(sizes[i].first);
        m_binding->bind(spin, sizes[i].first);
        m_editors.insert(sizes[i].first, spin);
        *sizes[i].second = spin;
        form->addRow(captions[i], spin);
    }
    return page;
}

QWidget *TfrmCompany::buildPrefixPage()
{
    PropertyCategory prefixes{QStringLiteral("单据前缀"), {}};
    for (const PrefixRow &row : kPrefixRows)
        prefixes.rows.append({.field = QString::fromLatin1(row.field), .caption = QString::fromUtf8(row.caption),
                              .maxLength = 10});
    cxVerticalGrid1 = new PropertyGrid;
    cxVerticalGrid1->setDataset(&FDQuery1);
    cxVerticalGrid1->setCategories({prefixes});
    return cxVerticalGrid1;
}

QWidget *TfrmCompany::editorOf(const QString &field) const
{
    if (QWidget *edit = m_editors.value(field))
        return edit;
    return cxVerticalGrid1->editor(field);
}

void TfrmCompany::opendata()
{
    FDQuery1.open();
    // Without its row the company could never be described: start one.
    if (FDQuery1.isEmpty())
        FDQuery1.append();
}

void TfrmCompany::showEvent(QShowEvent *event)
{
    TfrmBaseEdit::showEvent(event);
    cxPageControl1->setCurrentIndex(0);
    edCompanyName->setFocus();
}

void TfrmCompany::btnsaveClick()
{
    if (!FDQuery1.isEditing())
        return;
    try {
        if (!FDQuery1.post())
            return;
    } catch (const DbError &e) {
        // The row stays as typed, so nothing is lost and the person can correct it.
        showInfo(this, QStringLiteral("错误"), e.message());
        return;
    }
    showInfo(this, QStringLiteral("保存"), QStringLiteral("保存成功!"));
    dm().getCompanyInfo(); // rounding, display and printing use the new settings from now on
    accept();
}
