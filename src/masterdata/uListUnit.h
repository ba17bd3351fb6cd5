#pragma once

#include "frames/uBaseList.h"

// Units of measure ("计量单位"), edited in the grid. Goods carry a unit by its
// name, so renaming a unit leaves the goods that already have it unchanged.
class TfrmListUnit : public TfrmBaseList {
    Q_OBJECT
public:
    explicit TfrmListUnit(QWidget *parent = nullptr);

    void opendata() override;

protected:
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
};
