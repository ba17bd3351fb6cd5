#include "uEditCustomerClass.h"

#include "data/uFunction.h"
#include "data/udm.h"

#include <QFormLayout>
#include <QLineEdit>

TfrmEditCustomerClass::TfrmEditCustomerClass(QWidget *parent) : TfrmBaseEdit(parent)
{
    cxTextEdit1 = new QLineEdit(Panel2);
    cxTextEdit1->setEnabled(false);
    cxTextEdit1->setReadOnly(true);
    cxTextEdit2 = new QLineEdit(Panel2);
    cxTextEdit2->setMaxLength(30);
    auto *form = new QFormLayout(Panel2);
    form->addRow(QStringLiteral("上级分类："), cxTextEdit1);
    form->addRow(QStringLiteral("分类名称："), cxTextEdit2);
    setMinimumWidth(420);

    FDQuery1.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("parent_id"), parentInfo.id);
        ds.setValue(QStringLiteral("is_stop"), false);
        ds.setValue(QStringLiteral("del"), false);
    };
    FDQuery1.beforePost = [this](Dataset &) { return FDQuery1BeforePost(); };
}

void TfrmEditCustomerClass::setTableName(const QString &table)
{
    FtableName = table;
    FDQuery1.setUpdateTable(table);
}

void TfrmEditCustomerClass::showEvent(QShowEvent *event)
{
    TfrmBaseEdit::showEvent(event);
    cxTextEdit1->setText(parentInfo.name);
    cxTextEdit2->setFocus();
}

bool TfrmEditCustomerClass::verifydata()
{
    if (cxTextEdit2->text().isEmpty()) {
        showInfo(this, QStringLiteral("保存失败"), QStringLiteral("请输入分类名称!"));
        cxTextEdit2->setFocus();
        return false;
    }
    return true;
}

bool TfrmEditCustomerClass::FDQuery1BeforePost()
{
    FDQuery1.setValue(QStringLiteral("class_name"), cxTextEdit2->text());
    // A renamed class keeps its code, so everything filed below it stays there.
    if (FDQuery1.state() == Dataset::State::Insert)
        FDQuery1.setValue(QStringLiteral("class_no"), dm().getMaxCode(parentInfo.id, parentInfo.code, FtableName));
    return true;
}

void TfrmEditCustomerClass::btnSaveNewClick()
{
    const int before = changeCount();
    TfrmBaseEdit::btnSaveNewClick();
    if (changeCount() > before)
        cxTextEdit2->clear();
}
