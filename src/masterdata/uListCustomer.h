#pragma once

#include "frames/uListTree.h"

#include <optional>

// Partners ("往来单位"): suppliers, customers and other counterparts of the
// bills, on the tree of partner classes, changed through the partner record
// dialog or directly in the grid. The tree keeps stopped classes, and the
// list and the picker keep stopped partners: only deletion removes them.
class TfrmListCustomer : public TfrmListTree {
    Q_OBJECT
public:
    explicit TfrmListCustomer(QWidget *parent = nullptr);

    struct Choice {
        int id = 0;
        QString customer_no;
        QString customer_name;
    };
    // Runs the partner picker at 1200 × 800; empty when nothing was chosen.
    static std::optional<Choice> pick(QWidget *owner);

protected:
    TfrmRecordEdit *createRecordDialog(bool forNewRow) override;
    void FDQuery1NewRecord() override;
};
