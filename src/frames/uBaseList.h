#pragma once

#include "GridView.h"
#include "data/Dataset.h"
#include "ubaseform.h"

#include <functional>

class QAction;
class QToolBar;
class TfrmDM;

// Frame of every list screen: a tool bar over one grid showing the screen's
// own query, with navigation, new, change, save, cancel, soft delete, export,
// print, refresh and automatic width, rights checks and log rows, a layout
// kept per screen, and a select mode in which the screen serves as a picker.
// The window caption is the module name of rights and log rows.
class TfrmBaseList : public TfrmBaseForm {
    Q_OBJECT
public:
    // formName names the layout file (for example "frmListStore"); designedSql is the
    // screen's query text, kept as mainSql.
    TfrmBaseList(const QString &caption, const QString &formName, const QString &designedSql,
                 QWidget *parent = nullptr);
    ~TfrmBaseList() override;

    bool selectmode() const { return Fselectmode; }
    virtual void setselectmode(bool on);
    int selectId() const { return FselectId; }
    const QString &nameField() const { return FnameField; }
    void setNameField(const QString &field) { FnameField = field; }

    // Opens the screen's data; called when the screen is first shown.
    virtual void opendata() {}

    // Runs a screen as a picker: select mode on (at `size` when given), shown
    // modally; true when the person chose a row (selectId and the current row
    // then describe it).
    static bool runAsPicker(TfrmBaseList &picker, QSize size = {});

    // Folder of the saved layouts: "store" under the working directory.
    static QString layoutFolder();
    QString layoutFile() const;

    // Tool bar handlers.
    void btnFirstClick();
    void btnPriorClick();
    void btnNextClick();
    void btnLastClick();
    virtual void btnNewClick();
    virtual void btnEditClick();
    void btnDelClick();
    void btnSaveClick();
    void btnCancelClick();
    void btnexportClick();
    void btnPrintClick();
    void btnRefreshClick();
    void btnAutoWidthClick();
    void btnSelectClick();
    void btnCloseClick();

    Dataset FDQuery1;
    QString mainSql;
    GridView *cxGrid1 = nullptr;
    QToolBar *dxBarManager1Bar1 = nullptr;
    QAction *btnFirst = nullptr;
    QAction *btnPrior = nullptr;
    QAction *btnNext = nullptr;
    QAction *btnLast = nullptr;
    QAction *btnNew = nullptr;
    QAction *btnEdit = nullptr;
    QAction *btnDel = nullptr;
    QAction *btnSave = nullptr;
    QAction *btnCancel = nullptr;
    QAction *btnexport = nullptr;
    QAction *btnPrint = nullptr;
    QAction *btnRefresh = nullptr;
    QAction *btnAutoWidth = nullptr;
    QAction *btnSelect = nullptr;
    QAction *btnclose = nullptr;

protected:
    TfrmDM &dm() const;
    // Shows the refusal and returns false when the user lacks the right ("can_edit" …).
    bool checkRight(const QString &rightName);

    // Query hooks; a screen's own version calls the frame's first where it extends it.
    virtual void FDQuery1NewRecord();
    virtual bool FDQuery1BeforePost() { return true; }
    virtual void FDQuery1AfterPost() {}
    // Removes the current row after "确定要删除吗？": marks del and reloads.
    virtual void deleteCurrentRow();
    // A double-click on a grid row; in select mode it chooses the row.
    virtual void cxGrid1DblClick(int row);
    // Before-post checks: shows the "保存" warning and returns true when the
    // field is empty (no value, an empty text, or 0 for an id).
    bool refuseEmpty(const QString &field, const QString &message);
    // Stores the pinyin initials of a name field in "pym".
    void updatePinyin(const QString &nameFieldName);
    // Runs an edit the screen makes itself, without the right check and log row of the person's edits.
    bool editBySelf();

    void showEvent(QShowEvent *event) override;

private:
    void buildToolBar();
    void DataSource1StateChange();
    void DataSource1Scroll();
    void updateAutoWidthButton();
    bool FDQuery1BeforeEdit();

    bool Fselectmode = false;
    int FselectId = 0;
    QString FnameField;
    bool m_shown = false;
    bool m_layoutRestored = false;
    bool m_selfEdit = false;
};
