#pragma once

#include "PrintColumns.h"
#include "ReportData.h"
#include "ReportRenderer.h"
#include "data/Dataset.h"

#include <QDialog>
#include <optional>

class DatasetModel;
class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTableView;
class QToolBar;

// The print screen: lists the print templates stored for one module, creates
// a template from the caller's grid columns or imports a template file,
// opens a template in the designer, deletes it, previews, prints or exports
// it as PDF. Exists once at a time (getInstance / freeInstance).
class TfrmPrint : public QDialog {
    Q_OBJECT
public:
    static TfrmPrint *getInstance();
    static void freeInstance();

    Dataset *dataset() const { return m_data.master; }
    void setDataset(Dataset *ds) { m_data.master = ds; }
    Dataset *datasetDetail() const { return m_data.detail; }
    void setDatasetDetail(Dataset *ds) { m_data.detail = ds; }
    // The company information bound as 企业信息.
    void setCompanyData(Dataset *ds) { m_data.company = ds; }
    // The caller's grid columns in definition order: the headers of generated templates.
    const PrintColumns &BandedTableView() const { return m_columns; }
    void setBandedTableView(const PrintColumns &columns) { m_columns = columns; }
    const QString &ModularName() const { return m_module; }
    void setModularName(const QString &name) { m_module = name; }
    bool printed() const { return m_printed; }
    void setPrinted(bool on) { m_printed = on; }

    // Loads the templates of ModularName.
    void getMainData();

    // Toolbar and panel actions.
    void btnNewClick();
    void btnCancelClick();
    void btnSaveClick();
    void btnImportClick();
    void btnDesignClick();
    void btnDeleteClick();
    void btnPrintClick();
    void btnPreviewClick();
    void btnExportPdfClick();

    // Folder of the working copies of templates, ending with a separator.
    static QString workingFolder();
    // Working copy of a template name.
    static QString workingFile(const QString &reportName);

    // Parts, public for the callers' tests.
    Dataset fdReport;
    QToolBar *toolBar = nullptr;
    QAction *btnNew = nullptr;
    QAction *btnDesign = nullptr;
    QAction *btnDelete = nullptr;
    QAction *btnPrint = nullptr;
    QAction *btnPreview = nullptr;
    QAction *btnExportPdf = nullptr;
    QGroupBox *pnlAdd = nullptr;
    QLineEdit *edReportName = nullptr;
    QRadioButton *rbPortrait = nullptr;
    QRadioButton *rbLandscape = nullptr;
    QCheckBox *cbPrintAll = nullptr;
    QTableView *gridReports = nullptr;

private:
    TfrmPrint();
    ~TfrmPrint() override;

    void buildUi();
    void createWorkingFolder();
    bool hasCurrentTemplate() const;
    bool checkNameEntered();
    void applyTemplateChanges();
    void appendTemplate(const QString &path, const QByteArray &content);
    // Writes the current template's working file and lays it out over the data;
    // empty (after telling the person why) when it cannot be prepared.
    std::optional<report::PreparedReport> prepareCurrent();
    void updateActions();

    report::ReportData m_data;
    PrintColumns m_columns;
    QString m_module;
    bool m_printed = false;
    DatasetModel *m_model = nullptr;
};
