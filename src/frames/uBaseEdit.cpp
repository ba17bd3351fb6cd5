#include "uBaseEdit.h"

#include "data/uFunction.h"
#include "data/udm.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TfrmBaseEdit::TfrmBaseEdit(QWidget *parent) : TfrmBaseForm(parent), FDQuery1(dm().FDConnection1)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    Panel2 = new QWidget(this);
    Panel1 = new QWidget(this);
    btnSaveNew = new QPushButton(QStringLiteral("保存并新增"), Panel1);
    btncancel = new QPushButton(QStringLiteral("取消"), Panel1);
    btnsave = new QPushButton(QStringLiteral("保存"), Panel1);
    for (QPushButton *b : {btnSaveNew, btncancel, btnsave}) {
        b->setAutoDefault(false); // Enter moves on; it never saves by itself
        b->setMinimumWidth(100);
    }
    auto *bar = new QHBoxLayout(Panel1);
    bar->addStretch(1);
    bar->addWidget(btnSaveNew);
    bar->addWidget(btncancel);
    bar->addWidget(btnsave);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel2, 1);
    layout->addWidget(Panel1);

    connect(btnsave, &QPushButton::clicked, this, &TfrmBaseEdit::btnsaveClick);
    connect(btnSaveNew, &QPushButton::clicked, this, &TfrmBaseEdit::btnSaveNewClick);
    connect(btncancel, &QPushButton::clicked, this, &TfrmBaseEdit::btncancelClick);
    connect(&FDQuery1, &Dataset::stateChanged, this, &TfrmBaseEdit::DataSource1StateChange);
    DataSource1StateChange();
    qApp->installEventFilter(this);
}

TfrmBaseEdit::~TfrmBaseEdit() { qApp->removeEventFilter(this); }

TfrmDM &TfrmBaseEdit::dm() const { return TfrmDM::instance(); }

void TfrmBaseEdit::DataSource1StateChange()
{
    const bool editing = FDQuery1.isEditing();
    for (QPushButton *b : {btnSaveNew, btncancel, btnsave})
        b->setEnabled(editing);
}

void TfrmBaseEdit::btnsaveClick()
{
    if (!verifydata())
        return;
    if (!FDQuery1.post())
        return;
    showInfo(this, QStringLiteral("保存"), QStringLiteral("保存成功!"));
    ++FchangeCount;
    accept();
}

void TfrmBaseEdit::btnSaveNewClick()
{
    if (!FDQuery1.isEditing() || !verifydata())
        return;
    if (!FDQuery1.post())
        return;
    showInfo(this, QStringLiteral("保存"), QStringLiteral("保存成功!"));
    ++FchangeCount;
    FDQuery1.append();
}

void TfrmBaseEdit::btncancelClick()
{
    FDQuery1.cancel();
    done(QDialog::Rejected);
}

void TfrmBaseEdit::done(int result)
{
    if (FDQuery1.isEditing()) {
        if (!askYesNo(this, QStringLiteral("退出"), QStringLiteral("数据已修改尚未保存，确定要退出吗？")))
            return;
        FDQuery1.cancel();
    }
    TfrmBaseForm::done(result);
}

bool TfrmBaseEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (m_keyPreview && event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *w = static_cast<QWidget *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && w->window() == this)
            focusNextChild(); // the key still reaches the control
    }
    return TfrmBaseForm::eventFilter(watched, event);
}
