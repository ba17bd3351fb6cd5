#include "uFrmPrint.h"

#include "DefaultTemplate.h"
#include "ReportDesigner.h"
#include "TemplateFile.h"
#include "data/DatasetModel.h"
#include "data/DbConnection.h"
#include "data/Interaction.h"
#include "data/uFunction.h"
#include "data/udm.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

TfrmPrint *g_instance = nullptr;

const QString &caption()
{
    static const QString text = QStringLiteral("打印");
    return text;
}

// A template or module name as part of a file name: characters that would
// leave the working folder or are not allowed in file names become "_".
QString safeFileName(const QString &name)
{
    QString out;
    for (const QChar c : name)
        out += (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('_') : c;
    if (out.isEmpty() || out.startsWith(QLatin1Char('.')))
        out.prepend(QLatin1Char('_'));
    return out;
}

bool isInside(const QString &path, const QString &folder)
{
    const QString dir = QFileInfo(folder).canonicalFilePath();
    const QString file = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    return !dir.isEmpty() && file == dir;
}

} // namespace

TfrmPrint *TfrmPrint::getInstance()
{
    if (!g_instance)
        g_instance = new TfrmPrint;
    return g_instance;
}

void TfrmPrint::freeInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

TfrmPrint::TfrmPrint() : QDialog(nullptr), fdReport(TfrmDM::instance().FDConnection1, this)
{
    setWindowTitle(caption());
    fdReport.setUpdateTable(QStringLiteral("tb_report"));
    fdReport.setCachedUpdates(true);
    buildUi();
    createWorkingFolder();
}

TfrmPrint::~TfrmPrint()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void TfrmPrint::buildUi()
{
    resize(520, 420);
    auto *layout = new QVBoxLayout(this);

    toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnNew = toolBar->addAction(QStringLiteral("新增"), this, &TfrmPrint::btnNewClick);
    btnDesign = toolBar->addAction(QStringLiteral("修改"), this, &TfrmPrint::btnDesignClick);
    btnDelete = toolBar->addAction(QStringLiteral("删除"), this, &TfrmPrint::btnDeleteClick);
    toolBar->addSeparator();
    btnPrint = toolBar->addAction(QStringLiteral("打印"), this, &TfrmPrint::btnPrintClick);
    btnPreview = toolBar->addAction(QStringLiteral("预览"), this, &TfrmPrint::btnPreviewClick);
    btnExportPdf = toolBar->addAction(QStringLiteral("导出PDF"), this, &TfrmPrint::btnExportPdfClick);
    layout->addWidget(toolBar);

    pnlAdd = new QGroupBox(this);
    auto *form = new QFormLayout(pnlAdd);
    edReportName = new QLineEdit(pnlAdd);
    edReportName->setMaxLength(50);
    form->addRow(QStringLiteral("报表名称"), edReportName);
    auto *options = new QGroupBox(QStringLiteral("打印选项"), pnlAdd);
    auto *optionsLayout = new QHBoxLayout(options);
    rbPortrait = new QRadioButton(QStringLiteral("纵向"), options);
    rbLandscape = new QRadioButton(QStringLiteral("横向"), options);
    cbPrintAll = new QCheckBox(QStringLiteral("打印全部"), options);
    rbPortrait->setChecked(true);
    cbPrintAll->setChecked(true);
    optionsLayout->addWidget(rbPortrait);
    optionsLayout->addWidget(rbLandscape);
    optionsLayout->addStretch();
    optionsLayout->addWidget(cbPrintAll);
    form->addRow(options);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancel = new QPushButton(QStringLiteral("取消"), pnlAdd);
    auto *import = new QPushButton(QStringLiteral("导入"), pnlAdd);
    auto *save = new QPushButton(QStringLiteral("保存"), pnlAdd);
    connect(cancel, &QPushButton::clicked, this, &TfrmPrint::btnCancelClick);
    connect(import, &QPushButton::clicked, this, &TfrmPrint::btnImportClick);
    connect(save, &QPushButton::clicked, this, &TfrmPrint::btnSaveClick);
    buttons->addWidget(cancel);
    buttons->addWidget(import);
    buttons->addWidget(save);
    form->addRow(buttons);
    pnlAdd->hide();
    layout->addWidget(pnlAdd);

    m_model = new DatasetModel(&fdReport, this);
    m_model->setColumns({QStringLiteral("report_name")}, {QStringLiteral("报表列表")});
    m_model->setReadOnly(true);
    gridReports = new QTableView(this);
    gridReports->setModel(m_model);
    gridReports->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridReports->setSelectionMode(QAbstractItemView::SingleSelection);
    gridReports->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridReports->setAlternatingRowColors(true);
    gridReports->horizontalHeader()->setStretchLastSection(true);
    gridReports->verticalHeader()->setDefaultSectionSize(24);
    layout->addWidget(gridReports, 1);
    connect(gridReports->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    fdReport.setRecNo(current.row());
            });
    connect(&fdReport, &Dataset::currentRowChanged, this, [this](int row) {
        if (row >= 0 && gridReports->currentIndex().row() != row)
            gridReports->setCurrentIndex(m_model->index(row, 0));
        updateActions();
    });
    connect(gridReports, &QTableView::doubleClicked, this, &TfrmPrint::btnPreviewClick);
    updateActions();
}

QString TfrmPrint::workingFolder() { return writableAppPath() + QStringLiteral("report/"); }

QString TfrmPrint::workingFile(const QString &reportName)
{
    return workingFolder() + safeFileName(reportName) + QStringLiteral(".fr3");
}

void TfrmPrint::createWorkingFolder()
{
    const QString folder = workingFolder();
    if (!QDir().mkpath(folder))
        showWarning(this, caption(), QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder)));
}

void TfrmPrint::getMainData()
{
    fdReport.close();
    fdReport.setSql(QStringLiteral("select * from tb_report where formtype= %1")
                        .arg(fdReport.connection().quote(m_module)));
    fdReport.open();
    updateActions();
}

bool TfrmPrint::hasCurrentTemplate() const { return fdReport.isActive() && fdReport.recNo() >= 0; }

void TfrmPrint::updateActions()
{
    const bool any = hasCurrentTemplate();
    for (QAction *a : {btnDesign, btnDelete, btnPrint, btnPreview, btnExportPdf})
        a->setEnabled(any);
}

// Every change of the list is written to the database at once.
void TfrmPrint::applyTemplateChanges()
{
    try {
        TransactionGuard tx(fdReport.connection());
        fdReport.applyUpdates();
        tx.commit();
        fdReport.commitUpdates();
    } catch (...) {
        fdReport.cancelUpdates();
        throw;
    }
}

void TfrmPrint::btnNewClick()
{
    pnlAdd->show();
    edReportName->setFocus();
}

void TfrmPrint::btnCancelClick() { pnlAdd->hide(); }

bool TfrmPrint::checkNameEntered()
{
    if (!edReportName->text().trimmed().isEmpty())
        return true;
    showInfo(this, QStringLiteral("验证"), QStringLiteral("请输入报表名称"));
    edReportName->setFocus();
    return false;
}

void TfrmPrint::appendTemplate(const QString &path, const QByteArray &content)
{
    fdReport.append();
    fdReport.setValue(QStringLiteral("report_name"), edReportName->text().trimmed());
    fdReport.setValue(QStringLiteral("formtype"), m_module);
    fdReport.setValue(QStringLiteral("report_path"), path);
    fdReport.setValue(QStringLiteral("print_all"), cbPrintAll->isChecked());
    fdReport.setValue(QStringLiteral("report_file"), content);
    fdReport.post();
    applyTemplateChanges();
    getMainData();
    pnlAdd->hide();
    edReportName->clear();
}

void TfrmPrint::btnSaveClick()
{
    if (!checkNameEntered())
        return;
    const QString name = edReportName->text().trimmed();
    const QString path = workingFile(name);
    try {
        report::saveTemplateFile(path,
                                 report::generateDefaultTemplate(name, rbLandscape->isChecked(), m_columns));
        appendTemplate(path, report::readWholeFile(path));
    } catch (const report::TemplateError &e) {
        showWarning(this, caption(), e.message());
    }
}

void TfrmPrint::btnImportClick()
{
    if (!checkNameEntered())
        return;
    const QString picked = interaction().getOpenFileName(this, QStringLiteral("导入"), QString(),
                                                         QStringLiteral("*.FR3 (*.fr3 *.FR3);;所有文件 (*)"));
    if (picked.isEmpty())
        return;
    QByteArray content;
    try {
        content = report::readWholeFile(picked);
    } catch (const report::TemplateError &e) {
        showWarning(this, caption(), e.message());
        return;
    }
    const QString target = workingFolder() + safeFileName(m_module) +
                           QString::number(QRandomGenerator::global()->bounded(1000, 10000)) +
                           QStringLiteral(".fr3");
    // The working copy is only a cache: the template is used from the database.
    try {
        report::writeWholeFile(target, content);
    } catch (const report::TemplateError &) {
    }
    appendTemplate(target, content);
}

std::optional<report::PreparedReport> TfrmPrint::prepareCurrent()
{
    if (!hasCurrentTemplate())
        return std::nullopt;
    const QString path = workingFile(fdReport.value(QStringLiteral("report_name")).toString());
    try {
        report::writeWholeFile(path, fdReport.value(QStringLiteral("report_file")).toByteArray());
        const report::ReportTemplate t = report::loadTemplateFile(path);
        m_data.masterAllRows = fdReport.value(QStringLiteral("print_all")).toBool();
        return report::prepareReport(t, m_data);
    } catch (const report::TemplateError &e) {
        showWarning(this, caption(), e.message());
        return std::nullopt;
    }
}

void TfrmPrint::btnDesignClick()
{
    if (!prepareCurrent())
        return;
    const int row = fdReport.recNo();
    const QString path = workingFile(fdReport.value(QStringLiteral("report_name")).toString());
    {
        ReportDesigner designer(path, m_data, this);
        interaction().runModal(&designer);
    }
    QByteArray content;
    try {
        content = report::readWholeFile(path);
    } catch (const report::TemplateError &e) {
        showWarning(this, caption(), e.message());
        return;
    }
    fdReport.setRecNo(row);
    if (!fdReport.isEditing())
        fdReport.edit();
    fdReport.setValue(QStringLiteral("report_file"), content);
    fdReport.post();
    applyTemplateChanges();
}

void TfrmPrint::btnDeleteClick()
{
    if (!hasCurrentTemplate())
        return;
    if (!askYesNo(this, QStringLiteral("确认"), QStringLiteral("确定要删除记录吗？")))
        return;
    const QString path = fdReport.value(QStringLiteral("report_path")).toString();
    fdReport.deleteRecord();
    applyTemplateChanges();
    // The stored path comes from the shared database: only a working copy of
    // our own folder is removed, never a file elsewhere on this machine.
    if (!path.isEmpty() && isInside(path, workingFolder()))
        QFile::remove(path);
    updateActions();
}

void TfrmPrint::btnPrintClick()
{
    const std::optional<report::PreparedReport> prepared = prepareCurrent();
    if (!prepared)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(caption());
    if (interaction().runModal(&dialog) != QDialog::Accepted)
        return;
    if (!prepared->print(&printer)) {
        showWarning(this, caption(), QStringLiteral("无法打开打印机，没有打印。"));
        return;
    }
    m_printed = true;
}

void TfrmPrint::btnPreviewClick()
{
    const std::optional<report::PreparedReport> prepared = prepareCurrent();
    if (!prepared)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("预览"));
    dialog.resize(900, 700);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&prepared](QPrinter *p) { prepared->print(p); });
    if (QToolBar *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addAction(QStringLiteral("导出PDF"), this, &TfrmPrint::btnExportPdfClick);
    }
    interaction().runModal(&dialog);
}

void TfrmPrint::btnExportPdfClick()
{
    const std::optional<report::PreparedReport> prepared = prepareCurrent();
    if (!prepared)
        return;
    QString path = interaction().getSaveFileName(this, QStringLiteral("导出PDF"),
                                                 fdReport.value(QStringLiteral("report_name")).toString(),
                                                 QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!prepared->exportPdf(path, &error)) {
        showWarning(this, caption(), error);
        return;
    }
    interaction().notify(this, QStringLiteral("提示"), QStringLiteral("已导出：%1").arg(QDir::toNativeSeparators(path)));
}
