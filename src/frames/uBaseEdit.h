#pragma once

#include "data/Dataset.h"
#include "ubaseform.h"

class QPushButton;
class TfrmDM;

// Frame of the record dialogs: editors in Panel2 over the rows of FDQuery1,
// and "保存并新增", "取消", "保存" in Panel1. changeCount tells the caller
// after the dialog closed how many saves were made, so it knows whether to
// reload. A descendant opens its own data in opendata(), which it calls at the
// end of its constructor when it has any; verifydata() runs before every save.
class TfrmBaseEdit : public TfrmBaseForm {
    Q_OBJECT
public:
    explicit TfrmBaseEdit(QWidget *parent = nullptr);
    ~TfrmBaseEdit() override;

    virtual void opendata() {}
    virtual bool verifydata() { return true; }

    int changeCount() const { return FchangeCount; }

    virtual void btnsaveClick();
    virtual void btnSaveNewClick();
    void btncancelClick();

    // Every way of closing asks first while a row is still being edited.
    void done(int result) override;

    Dataset FDQuery1;
    QWidget *Panel1 = nullptr;
    QWidget *Panel2 = nullptr;
    QPushButton *btnSaveNew = nullptr;
    QPushButton *btncancel = nullptr;
    QPushButton *btnsave = nullptr;

protected:
    TfrmDM &dm() const;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Enter moves the focus to the next control (on by default).
    void setKeyPreview(bool on) { m_keyPreview = on; }

private:
    void DataSource1StateChange();

    int FchangeCount = 0;
    bool m_keyPreview = true;
};
