#pragma once

#include "frames/uBaseList.h"

// Opening stock ("期初库存"): per warehouse and goods item the quantity, unit
// price and amount on hand when the system is taken into use, edited in the
// grid. Warehouse and goods are chosen with their pickers or by typing their
// numbers; a new row starts in the warehouse of the row saved last (or of the
// warehouse number typed last). Deleted rows are removed from the table.
class TfrmListStoreBegin : public TfrmBaseList {
    Q_OBJECT
public:
    explicit TfrmListStoreBegin(QWidget *parent = nullptr);

    void opendata() override;

    // The buttons of the "仓库编号" and "货号" cells of the current row.
    void btnStoreClick();
    void btnGoodsClick();
    // Numbers typed into those cells.
    void storeNoValidate(const QString &storeNo);
    void goodsNoValidate(const QString &goodsNo);

    Dataset tbStore;
    Dataset tbGoods;
    Dataset fdQuery;
    // The warehouse given to the next new row.
    int storeID = 0;
    QString storeNo;
    QString storeName;

protected:
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
    void deleteCurrentRow() override;

private:
    void FDQuery1FieldChanged(const QString &fieldName);
    void takeStore(int id, const QString &no, const QString &name);
    void takeGoods(const Dataset &source);
    bool isDuplicate();
};
