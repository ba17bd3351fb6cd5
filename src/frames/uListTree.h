#pragma once

#include "uBaseList.h"
#include "uEditCustomerClass.h"

#include <QHash>
#include <memory>

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

    // Opens the classes (classSql), then the unfiltered list (openSql or mainSql).
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
    // the list that the class condition is appended to, captions of the class
    // dialog when adding a class and when renaming one (empty: as when adding).
    QString classTable;
    QString classSql;
    QString classListSql;
    QString classDialogCaption;
    QString classRenameCaption;
    // Statement of the unfiltered list that opendata opens (empty: mainSql).
    QString openSql;

    // The screen's record dialog with its caption set, for a new row or for the
    // current one; null: rows are added and changed in the grid.
    virtual TfrmRecordEdit *createRecordDialog(bool forNewRow)
    {
        Q_UNUSED(forNewRow);
        return nullptr;
    }
    // Client fields of the list (such as class_name) looked up by the row's
    // class_id in the class dataset, and kept current when the classes reload.
    void addClassLookups(const QStringList &classFields);

    void showEvent(QShowEvent *event) override;

private:
    void treeSelectionChanged();
    // The root "全部" (code "000"), which is never stopped.
    bool isRootClass() const;
    // Opens the dialog on row id (0: a new row of the current class), runs it and
    // reloads the list when it saved anything.
    void runRecordDialog(std::unique_ptr<TfrmRecordEdit> dialog, int id);
    // Runs the class-node dialog, already prepared, under the given caption.
    int runClassDialog(TfrmEditCustomerClass &dialog, const QString &caption);
    void indexClasses();
    void lookUpClassFields(Dataset &ds, int row) const;

    QStringList m_classLookups;
    QHash<int, int> m_classRowById;
};
