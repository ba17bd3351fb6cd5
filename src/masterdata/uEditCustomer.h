#pragma once

#include "frames/uRecordEdit.h"

class PropertyGrid;

// Partner record dialog: one partner in a property grid under the headings
// "基本信息", "财务" and "系统"; the class comes from the class picker.
class TfrmEditCustomer : public TfrmRecordEdit {
    Q_OBJECT
public:
    explicit TfrmEditCustomer(QWidget *parent = nullptr);

    PropertyGrid *cxDBVerticalGrid1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool FDQuery1BeforePost();
};
