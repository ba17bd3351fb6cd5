#pragma once

#include "frames/uRecordEdit.h"

class PropertyGrid;

// Goods record dialog: one goods item in a property grid under the headings
// "基本资料", "价格", "型号规格", "库存控制" and "系统"; the unit is chosen
// from every unit or typed, the class from the class picker.
class TfrmEditGoods : public TfrmRecordEdit {
    Q_OBJECT
public:
    explicit TfrmEditGoods(QWidget *parent = nullptr);

    // The row and the classes, then every unit name for the "单位" row.
    void openData() override;

    Dataset FDUnit; // every unit, stopped and deleted ones too
    PropertyGrid *cxDBVerticalGrid1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool FDQuery1BeforePost();
};
