#pragma once

#include "uBaseEdit.h"

class QLineEdit;

// The parent class handed to the class-node dialog.
struct Tparent {
    int id = 0;
    QString code;
    QString name;
};

// Class-node dialog of the class trees: the name of a new class below
// parentInfo, or a new name for an existing class (which keeps its code).
class TfrmEditCustomerClass : public TfrmBaseEdit {
    Q_OBJECT
public:
    explicit TfrmEditCustomerClass(QWidget *parent = nullptr);

    Tparent parentInfo;
    const QString &tableName() const { return FtableName; }
    void setTableName(const QString &table);

    bool verifydata() override;
    void btnSaveNewClick() override;

    QLineEdit *cxTextEdit1 = nullptr; // the parent class, shown only
    QLineEdit *cxTextEdit2 = nullptr; // the class name

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool FDQuery1BeforePost();

    QString FtableName;
};
