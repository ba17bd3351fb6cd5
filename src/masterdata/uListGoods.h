#pragma once

#include "frames/uListTree.h"

#include <QList>
#include <optional>

// Goods ("货品") on the tree of goods classes, changed through the goods
// record dialog or directly in the grid. Also the goods picker: in select
// mode the "选择" column shows a check mark per row that a double-click
// flips; "选择" ends the picker with the current row as selectId. A caller
// reads either selectId and the current row of FDQuery1 (one goods item) or
// the ticked rows (several at once).
class TfrmListGoods : public TfrmListTree {
    Q_OBJECT
public:
    explicit TfrmListGoods(QWidget *parent = nullptr);

    void setselectmode(bool on) override;

    // Rows of FDQuery1 whose "选择" mark is on, in list order.
    QList<int> checkedRows() const;

    // What a picker hands back of one goods item.
    struct Choice {
        int id = 0;
        QString goods_no;
        QString goods_name;
        QString unit;
        QString model;
        QString specs;
    };
    Choice choiceAt(int row) const;

    // Run the picker at 1200 × 800 through the interaction service: the current
    // row when the person chose, or every ticked row (empty when cancelled).
    static std::optional<Choice> pickOne(QWidget *owner);
    static QList<Choice> pickMany(QWidget *owner);

protected:
    TfrmRecordEdit *createRecordDialog(bool forNewRow) override;
    void FDQuery1NewRecord() override;
    bool FDQuery1BeforePost() override;
    void cxGrid1DblClick(int row) override;
    void showEvent(QShowEvent *event) override;

private:
    void showSelectColumn();
};
