#pragma once

#include "frames/uBaseList.h"

#include <QHash>

// Storage positions ("货位") inside the warehouses, edited in the grid. A new
// position takes the warehouse of the position saved last.
class TfrmListPosition : public TfrmBaseList {
    Q_OBJECT
public:
    explicit TfrmListPosition(QWidget *parent = nullptr);

    void opendata() override;
    // The warehouse button of a row: picks the warehouse of the current position.
    void btnStoreClick();

    Dataset FDStore;
    // Warehouse of the last saved position, given to the next new one.
    int storeId = 0;

protected:
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
    void FDQuery1AfterPost() override;
    // Positions have no deletion mark: they are removed from the table.
    void deleteCurrentRow() override;

private:
    void openStores();
    QString storeNameOf(const QVariant &storeId) const;

    QHash<int, QString> m_storeNames;
};
