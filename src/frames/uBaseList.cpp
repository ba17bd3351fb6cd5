#include "uBaseList.h"

#include "GridExport.h"
#include "printing/PrintEntry.h"
#include "data/Interaction.h"
#include "data/uFunction.h"
#include "data/UnitConverionPy.h"
#include "data/udm.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace {
const QString kRefusedCaption = QStringLiteral("权限验证失败");
const QString kRefusedText = QStringLiteral("您没有操作此项目的权限！");
} // namespace

TfrmBaseList::TfrmBaseList(const QString &caption, const QString &formName, const QString &designedSql,
                           QWidget *parent)
    : TfrmBaseForm(parent), FDQuery1(dm().FDConnection1)
{
    setWindowTitle(caption);
    setObjectName(formName);
    FDQuery1.setSql(designedSql);
    mainSql = designedSql;

    buildToolBar();
    cxGrid1 = new GridView(this);
    cxGrid1->setDataset(&FDQuery1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(dxBarManager1Bar1);
    layout->addWidget(cxGrid1, 1);

    FDQuery1.onNewRecord = [this](Dataset &) { FDQuery1NewRecord(); };
    FDQuery1.beforeEdit = [this](Dataset &) { return FDQuery1BeforeEdit(); };
    FDQuery1.beforePost = [this](Dataset &) { return FDQuery1BeforePost(); };
    FDQuery1.afterPost = [this](Dataset &) { FDQuery1AfterPost(); };
    connect(&FDQuery1, &Dataset::stateChanged, this, &TfrmBaseList::DataSource1StateChange);
    connect(&FDQuery1, &Dataset::rowsReset, this, &TfrmBaseList::DataSource1StateChange);
    connect(&FDQuery1, &Dataset::rowRemoved, this, &TfrmBaseList::DataSource1StateChange);
    connect(&FDQuery1, &Dataset::currentRowChanged, this, &TfrmBaseList::DataSource1Scroll);
    connect(cxGrid1, &GridView::rowDoubleClicked, this, &TfrmBaseList::cxGrid1DblClick);
    // The grid's own keys take the same way as the buttons, with their rights and log rows.
    connect(cxGrid1, &GridView::insertRequested, this, [this] {
        if (!Fselectmode && btnNew->isEnabled())
            btnNewClick();
    });
    connect(cxGrid1, &GridView::deleteRequested, this, [this] {
        if (!Fselectmode && btnDel->isEnabled())
            btnDelClick();
    });

    setselectmode(false);
    DataSource1StateChange();
    dm().writeLog(caption, QStringLiteral("浏览"));
}

TfrmBaseList::~TfrmBaseList()
{
    // Nothing may escape a destructor; a failure here must not lose the layout either.
    try {
        dm().writeLog(windowTitle(), QStringLiteral("关闭"));
    } catch (const std::exception &e) {
        qWarning("could not write the closing log row: %s", e.what());
    }
    if (m_layoutRestored)
        cxGrid1->saveLayout(layoutFile());
    FDQuery1.close();
}

TfrmDM &TfrmBaseList::dm() const { return TfrmDM::instance(); }

QString TfrmBaseList::layoutFolder() { return QDir::current().absoluteFilePath(QStringLiteral("store")); }

QString TfrmBaseList::layoutFile() const { return layoutFolder() + QLatin1Char('/') + objectName(); }

void TfrmBaseList::buildToolBar()
{
    dxBarManager1Bar1 = new QToolBar(this);
    // Captions only, so that the whole bar fits even an 800-pixel picker; navigation shows pictures.
    dxBarManager1Bar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    dxBarManager1Bar1->setIconSize(QSize(16, 16));
    QStyle *st = style();
    auto add = [this, st](const QString &name, const QString &text, QStyle::StandardPixmap icon, auto handler) {
        QAction *a = dxBarManager1Bar1->addAction(st->standardIcon(icon), text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto picture = [this](QAction *a, const QString &tip) {
        a->setToolTip(tip);
        if (auto *button = qobject_cast<QToolButton *>(dxBarManager1Bar1->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        return a;
    };
    btnFirst = picture(add(QStringLiteral("btnFirst"), QStringLiteral("第一条"), QStyle::SP_MediaSkipBackward,
                           &TfrmBaseList::btnFirstClick), QStringLiteral("第一条"));
    btnPrior = picture(add(QStringLiteral("btnPrior"), QStringLiteral("上一条"), QStyle::SP_MediaSeekBackward,
                           &TfrmBaseList::btnPriorClick), QStringLiteral("上一条"));
    btnNext = picture(add(QStringLiteral("btnNext"), QStringLiteral("下一条"), QStyle::SP_MediaSeekForward,
                          &TfrmBaseList::btnNextClick), QStringLiteral("下一条"));
    btnLast = picture(add(QStringLiteral("btnLast"), QStringLiteral("最后一条"), QStyle::SP_MediaSkipForward,
                          &TfrmBaseList::btnLastClick), QStringLiteral("最后一条"));
    dxBarManager1Bar1->addSeparator();
    btnNew = add(QStringLiteral("btnNew"), QStringLiteral("新增"), QStyle::SP_FileIcon, &TfrmBaseList::btnNewClick);
    btnEdit = add(QStringLiteral("btnEdit"), QStringLiteral("修改"), QStyle::SP_FileDialogDetailedView,
                  &TfrmBaseList::btnEditClick);
    btnDel = add(QStringLiteral("btnDel"), QStringLiteral("删除"), QStyle::SP_TrashIcon, &TfrmBaseList::btnDelClick);
    dxBarManager1Bar1->addSeparator();
    btnSave = add(QStringLiteral("btnSave"), QStringLiteral("保存"), QStyle::SP_DialogSaveButton,
                  &TfrmBaseList::btnSaveClick);
    btnCancel = add(QStringLiteral("btnCancel"), QStringLiteral("取消"), QStyle::SP_DialogCancelButton,
                    &TfrmBaseList::btnCancelClick);
    dxBarManager1Bar1->addSeparator();
    btnexport = add(QStringLiteral("btnexport"), QStringLiteral("导出"), QStyle::SP_DriveFDIcon,
                    &TfrmBaseList::btnexportClick);
    btnPrint = add(QStringLiteral("btnPrint"), QStringLiteral("打印"), QStyle::SP_FileDialogListView,
                   &TfrmBaseList::btnPrintClick);
    dxBarManager1Bar1->addSeparator();
    btnRefresh = add(QStringLiteral("btnRefresh"), QStringLiteral("刷新"), QStyle::SP_BrowserReload,
                     &TfrmBaseList::btnRefreshClick);
    btnAutoWidth = add(QStringLiteral("btnAutoWidth"), QStringLiteral("自动宽度"), QStyle::SP_ToolBarHorizontalExtensionButton,
                       &TfrmBaseList::btnAutoWidthClick);
    dxBarManager1Bar1->addSeparator();
    btnSelect = add(QStringLiteral("btnSelect"), QStringLiteral("选择"), QStyle::SP_DialogApplyButton,
                    &TfrmBaseList::btnSelectClick);
    btnclose = add(QStringLiteral("btnclose"), QStringLiteral("关闭"), QStyle::SP_DialogCloseButton,
                   &TfrmBaseList::btnCloseClick);
}

void TfrmBaseList::showEvent(QShowEvent *event)
{
    TfrmBaseForm::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    m_layoutRestored = true;
    const bool restored = cxGrid1->restoreLayout(layoutFile());
    opendata();
    // Without a saved layout the columns start fitted to what they show.
    if (cxGrid1->autoWidth() || !restored)
        cxGrid1->fitColumns();
    updateAutoWidthButton();
}

void TfrmBaseList::updateAutoWidthButton()
{
    btnAutoWidth->setText(cxGrid1->autoWidth() ? QStringLiteral("取消自动宽度") : QStringLiteral("自动宽度"));
}

bool TfrmBaseList::checkRight(const QString &rightName)
{
    if (dm().checkUserRight(windowTitle(), rightName))
        return true;
    showWarning(this, kRefusedCaption, kRefusedText);
    return false;
}

bool TfrmBaseList::runAsPicker(TfrmBaseList &picker, QSize size)
{
    picker.setselectmode(true);
    if (size.isValid())
        picker.resize(size);
    return interaction().runModal(&picker) == QDialog::Accepted && picker.selectId() != 0;
}

bool TfrmBaseList::refuseEmpty(const QString &field, const QString &message)
{
    const QVariant v = FDQuery1.value(field);
    const bool empty = v.isNull() || v.toString().isEmpty() ||
                       ((v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) && v.toLongLong() == 0);
    if (empty)
        showWarning(this, QStringLiteral("保存"), message);
    return empty;
}

void TfrmBaseList::updatePinyin(const QString &nameFieldName)
{
    FDQuery1.setValue(QStringLiteral("pym"), getPinyinCode(FDQuery1.value(nameFieldName).toString()));
}

void TfrmBaseList::setselectmode(bool on)
{
    Fselectmode = on;
    btnSelect->setVisible(on);
    cxGrid1->setEditable(!on || FDQuery1.isEditing());
    if (on)
        resize(800, 600);
}

// --- state of the tool bar ----------------------------------------------------------

void TfrmBaseList::DataSource1StateChange()
{
    const QList<QAction *> browseOnly = {btnFirst, btnPrior, btnNext, btnLast, btnNew, btnEdit, btnDel,
                                         btnexport, btnPrint, btnSelect, btnRefresh, btnclose};
    switch (FDQuery1.state()) {
    case Dataset::State::Browse:
    case Dataset::State::Inactive: {
        const bool rows = FDQuery1.isActive() && !FDQuery1.isEmpty();
        for (QAction *a : browseOnly)
            a->setEnabled(rows);
        btnNew->setEnabled(FDQuery1.isActive());
        btnclose->setEnabled(true);
        btnSave->setEnabled(false);
        btnCancel->setEnabled(false);
        cxGrid1->setEditable(!Fselectmode);
        DataSource1Scroll();
        break;
    }
    case Dataset::State::Edit:
    case Dataset::State::Insert:
        for (QAction *a : browseOnly)
            a->setEnabled(false);
        btnSave->setEnabled(true);
        btnCancel->setEnabled(true);
        cxGrid1->setEditable(true);
        break;
    }
}

void TfrmBaseList::DataSource1Scroll()
{
    if (!FDQuery1.isActive() || FDQuery1.isEmpty())
        return;
    const bool browse = FDQuery1.state() == Dataset::State::Browse;
    btnFirst->setEnabled(browse && !FDQuery1.bof());
    btnPrior->setEnabled(browse && !FDQuery1.bof());
    btnNext->setEnabled(browse && !FDQuery1.eof());
    btnLast->setEnabled(browse && !FDQuery1.eof());
}

// --- query hooks -----------------------------------------------------------------------

void TfrmBaseList::FDQuery1NewRecord()
{
    if (FDQuery1.hasField(QStringLiteral("create_date")))
        FDQuery1.setValue(QStringLiteral("create_date"), QDateTime::currentDateTime());
    if (FDQuery1.hasField(QStringLiteral("del")))
        FDQuery1.setValue(QStringLiteral("del"), false);
    if (FDQuery1.hasField(QStringLiteral("is_stop")))
        FDQuery1.setValue(QStringLiteral("is_stop"), false);
}

bool TfrmBaseList::FDQuery1BeforeEdit()
{
    if (m_selfEdit)
        return true;
    if (!checkRight(QStringLiteral("can_edit")))
        return false;
    dm().writeLog(windowTitle(), QStringLiteral("修改"));
    return true;
}

bool TfrmBaseList::editBySelf()
{
    m_selfEdit = true;
    const bool ok = FDQuery1.edit();
    m_selfEdit = false;
    return ok;
}

// --- buttons ------------------------------------------------------------------------------

void TfrmBaseList::btnFirstClick() { FDQuery1.first(); }
void TfrmBaseList::btnPriorClick() { FDQuery1.prior(); }
void TfrmBaseList::btnNextClick() { FDQuery1.next(); }
void TfrmBaseList::btnLastClick() { FDQuery1.last(); }

void TfrmBaseList::btnNewClick()
{
    if (!checkRight(QStringLiteral("can_edit")))
        return;
    FDQuery1.append();
    if (FDQuery1.state() != Dataset::State::Insert)
        return; // the row being edited could not be posted
    dm().writeLog(windowTitle(), QStringLiteral("新增"));
    cxGrid1->table()->setFocus();
}

void TfrmBaseList::btnEditClick()
{
    if (!checkRight(QStringLiteral("can_edit")))
        return;
    FDQuery1.edit();
}

void TfrmBaseList::btnSaveClick()
{
    if (!checkRight(QStringLiteral("can_edit")))
        return;
    if (!FDQuery1.isEditing() || !FDQuery1.post())
        return;
    const QString name = FnameField.isEmpty() ? QString() : FDQuery1.value(FnameField).toString();
    interaction().notify(this, QStringLiteral("提示"), windowTitle() + QStringLiteral("【") + name +
                                                          QStringLiteral("】保存成功!"));
    dm().writeLog(windowTitle(), QStringLiteral("保存"));
}

void TfrmBaseList::btnCancelClick()
{
    if (askYesNo(this, QStringLiteral("取消编辑"), QStringLiteral("数据已经修改过，确定要取消吗？")))
        FDQuery1.cancel();
}

void TfrmBaseList::btnDelClick()
{
    if (!checkRight(QStringLiteral("can_del")))
        return;
    if (FDQuery1.recNo() >= 0 && askYesNo(this, QStringLiteral("删除"), QStringLiteral("确定要删除吗？")))
        deleteCurrentRow();
    dm().writeLog(windowTitle(), QStringLiteral("删除"));
}

void TfrmBaseList::deleteCurrentRow()
{
    // A new row that was never saved has nothing to mark: it is simply dropped.
    if (FDQuery1.state() == Dataset::State::Insert) {
        FDQuery1.cancel();
        return;
    }
    if (!editBySelf())
        return;
    FDQuery1.setValue(QStringLiteral("del"), true);
    if (!FDQuery1.post()) {
        FDQuery1.cancel(); // the screen's checks refused the row: leave it as it was
        return;
    }
    FDQuery1.refresh();
}

void TfrmBaseList::btnRefreshClick() { FDQuery1.refresh(); }

void TfrmBaseList::btnAutoWidthClick()
{
    cxGrid1->setAutoWidth(!cxGrid1->autoWidth());
    updateAutoWidthButton();
}

void TfrmBaseList::btnexportClick()
{
    if (!checkRight(QStringLiteral("can_export")))
        return;
    QString fileName = interaction().getSaveFileName(this, QStringLiteral("导出"), QString(),
                                                     QStringLiteral("XLS (*.xls);;CSV (*.csv);;XLSX (*.xlsx)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".xls"); // the dialog's default extension
    const QString suffix = QFileInfo(fileName).suffix();
    try {
        WaitCursor wait;
        if (suffix == QLatin1String("xlsx"))
            GridExport::writeXlsx(fileName, cxGrid1->exportTable());
        else if (suffix == QLatin1String("xls"))
            GridExport::writeXls(fileName, cxGrid1->exportTable());
        else if (suffix == QLatin1String("csv"))
            GridExport::writeCsv(fileName, cxGrid1->exportTable());
    } catch (const std::exception &e) {
        // A failed write leaves no file worth opening.
        showWarning(this, QStringLiteral("错误"), QString::fromUtf8(e.what()));
        return;
    }
    interaction().openWithDefaultProgram(fileName);
}

void TfrmBaseList::btnPrintClick()
{
    printDataset(this, windowTitle(), &FDQuery1, cxGrid1->printColumns());
}

void TfrmBaseList::btnSelectClick()
{
    if (!Fselectmode)
        return;
    if (FDQuery1.recNo() < 0) {
        FselectId = 0;
        return;
    }
    FselectId = FDQuery1.value(QStringLiteral("id")).toInt();
    accept();
}

void TfrmBaseList::cxGrid1DblClick(int)
{
    if (Fselectmode)
        btnSelectClick();
}

void TfrmBaseList::btnCloseClick()
{
    if (FDQuery1.isEditing() &&
        !askYesNo(this, QStringLiteral("关闭确认"), QStringLiteral("数据已修改，尚未保存，确定要退出吗？")))
        return;
    // In a tab the main window releases the screen, and its tab, when it closes.
    reject();
}
