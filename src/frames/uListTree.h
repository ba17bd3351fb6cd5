#pragma once

#include "uBaseList.h"
#include "uEditCustomerClass.h"

class DbTreeView;
class QMenu;
class QSplitter;
class TfrmRecordEdit;

// A list screen with a tree of classes on its left: selecting a class lists
// the rows of that class and of every class below it; the tree's menu adds,
// renames and stops classes; new and changed rows go through the screen's
// record dialog. Descendants set the class table and the statements.
class TfrmListTree : public TfrmBaseList {
    Q_OBJECT
public:
    TfrmListTree(const QString &caption, const QString &formName, const QString &designedSql,
                 QWidget *parent = nullptr);

    // Opens the classes (classSql), then the unfiltered list (mainSql).
    void opendata() override;
    void getDataFromClass();
    void addClass(bool below);
    void N1Click() { addClass(false); }
    void N2Click() { addClass(true); }
    void N3Click();
    void N4Click();
    void btnNewClick() override;
    void btnEditClick() override;

    Dataset FDQuery2;
    QSplitter *cxSplitter1 = nullptr;
    DbTreeView *dxDBTreeView1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *N1 = nullptr;
    QAction *N2 = nullptr;
    QAction *N3 = nullptr;
    QAction *N4 = nullptr;

protected:
    // Per screen: class table, statement of the tree's classes, statement of
    // the list that the class condition is appended to, caption of the class dialog.
    QString classTable;
    QString classSql;
    QString classListSql;
    QString classDialogCaption;

    // The screen's record dialog with its caption set; null: rows are added and changed in the grid.
    virtual TfrmRecordEdit *createRecordDialog() { return nullptr; }

    void showEvent(QShowEvent *event) override;

private:
    void treeSelectionChanged();
    void runRecordDialog(TfrmRecordEdit *dialog);
    // Opens the class-node dialog, already prepared, and reloads the tree as the caller says.
    int runClassDialog(TfrmEditCustomerClass &dialog);
};
