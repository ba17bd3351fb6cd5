#pragma once

#include "uBaseEdit.h"

class DbTreeView;

// Shape of the record dialogs opened from a class tree screen: the row with
// id ID (0 for a new row) of the descendant's query, a class given to new
// rows (classID, className), and a hidden class picker tree over the whole
// class table. Descendants set mainSql (ending in "where 1=1", table alias
// "a") and classSql, place their editors and call showClassPicker() from the
// button of their class row.
class TfrmRecordEdit : public TfrmBaseEdit {
    Q_OBJECT
public:
    explicit TfrmRecordEdit(QWidget *parent = nullptr);

    int ID = 0;
    int classID = 0;
    QString className;
    QString mainSql;
    Dataset FDClass;

    // Opens the row ID and the class picker's rows; a dialog with more lists extends it.
    virtual void openData();
    void showClassPicker();
    // Shows the picker just below a widget (the class row's editor), as wide as it.
    void showClassPickerBelow(QWidget *anchor);
    // Double-click in the picker: the row takes that class.
    void pickClass(int classId);

    DbTreeView *dxDBTreeView1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
