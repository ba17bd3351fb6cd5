#include "uListTree.h"

#include "DbTreeView.h"
#include "data/Interaction.h"
#include "data/uFunction.h"
#include "data/udm.h"
#include "uRecordEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLayout>
#include <QMenu>
#include <QSplitter>
#include <memory>

namespace {
// Keeps the tree detached from its dataset while a caller moves the dataset around.
class ControlsDisabled {
public:
    explicit ControlsDisabled(DbTreeView *tree) : m_tree(tree) { m_tree->disableControls(); }
    ~ControlsDisabled() { m_tree->enableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    DbTreeView *m_tree;
};

// The tree's Delete key stops the class like the menu's "删除", never removes its row.
class TreeDeleteKey : public QObject {
public:
    TreeDeleteKey(QObject *parent, std::function<void()> action) : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
            m_action();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};
} // namespace

TfrmListTree::TfrmListTree(const QString &caption, const QString &formName, const QString &designedSql,
                           QWidget *parent)
    : TfrmBaseList(caption, formName, designedSql, parent), FDQuery2(FDQuery1.connection())
{
    cxSplitter1 = new QSplitter(Qt::Horizontal, this);
    dxDBTreeView1 = new DbTreeView(cxSplitter1);
    dxDBTreeView1->setDataset(&FDQuery2);
    layout()->removeWidget(cxGrid1);
    cxSplitter1->addWidget(dxDBTreeView1);
    cxSplitter1->addWidget(cxGrid1);
    cxSplitter1->setStretchFactor(1, 1);
    cxSplitter1->setSizes({200, 600});
    layout()->addWidget(cxSplitter1);

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QStringLiteral("新增同级"), this, &TfrmListTree::N1Click);
    N2 = PopupMenu1->addAction(QStringLiteral("新增下级"), this, &TfrmListTree::N2Click);
    N3 = PopupMenu1->addAction(QStringLiteral("修改"), this, &TfrmListTree::N3Click);
    N4 = PopupMenu1->addAction(QStringLiteral("删除"), this, &TfrmListTree::N4Click);
    dxDBTreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(dxDBTreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->exec(dxDBTreeView1->viewport()->mapToGlobal(pos)); });
    connect(dxDBTreeView1, &DbTreeView::selectionChangedTo, this, &TfrmListTree::treeSelectionChanged);
    // Choosing another class reloads the list, which would drop a row still being edited:
    // the tree waits, like the tool bar, until the row is saved or cancelled.
    connect(&FDQuery1, &Dataset::stateChanged, this,
            [this] { dxDBTreeView1->setEnabled(!FDQuery1.isEditing()); });
    dxDBTreeView1->installEventFilter(new TreeDeleteKey(this, [this] {
        if (FDQuery2.recNo() >= 0)
            N4Click();
    }));
}

void TfrmListTree::opendata()
{
    FDQuery2.setSql(classSql);
    FDQuery2.setUpdateTable(classTable);
    FDQuery2.open();
    FDQuery1.setSql(openSql.isEmpty() ? mainSql : openSql);
    FDQuery1.open();
}

void TfrmListTree::showEvent(QShowEvent *event)
{
    TfrmBaseList::showEvent(event);
    dxDBTreeView1->expandAll();
}

void TfrmListTree::treeSelectionChanged()
{
    N1->setEnabled(dxDBTreeView1->currentText() != QStringLiteral("全部"));
    N4->setEnabled(!isRootClass());
    getDataFromClass();
}

void TfrmListTree::getDataFromClass()
{
    if (FDQuery2.recNo() < 0)
        return;
    FDQuery1.close();
    QString sql = classListSql;
    const QString code = FDQuery2.value(QStringLiteral("class_no")).toString();
    if (code != QStringLiteral("000"))
        sql += QStringLiteral(" and class_id in (select id from %1 where class_no like %2)")
                   .arg(classTable, FDQuery1.connection().quote(code + QLatin1Char('%')));
    FDQuery1.setSql(sql);
    FDQuery1.open();
}

int TfrmListTree::runClassDialog(TfrmEditCustomerClass &dialog, const QString &caption)
{
    dialog.setWindowTitle(caption);
    dialog.setTableName(classTable);
    return interaction().runModal(&dialog);
}

void TfrmListTree::addClass(bool below)
{
    if (FDQuery2.recNo() < 0)
        return;
    TfrmEditCustomerClass dialog(this);
    const QVariant rememberedId = FDQuery2.value(QStringLiteral("id"));
    {
        ControlsDisabled frozen(dxDBTreeView1);
        if (!below && !FDQuery2.locate(QStringLiteral("id"), FDQuery2.value(QStringLiteral("parent_id"))))
            return; // the root has no level of its own to add to
        dialog.parentInfo = {FDQuery2.value(QStringLiteral("id")).toInt(),
                             FDQuery2.value(QStringLiteral("class_no")).toString(),
                             FDQuery2.value(QStringLiteral("class_name")).toString()};
        dialog.setTableName(classTable);
        dialog.FDQuery1.setSql(QStringLiteral("select * from %1 where 1>2").arg(classTable));
        dialog.FDQuery1.open();
        dialog.FDQuery1.append();
        if (runClassDialog(dialog, classDialogCaption) == QDialog::Accepted || dialog.changeCount() > 0)
            FDQuery2.open();
        FDQuery2.locate(QStringLiteral("id"), rememberedId);
    }
    dxDBTreeView1->expandAll();
}

void TfrmListTree::N3Click()
{
    if (FDQuery2.recNo() < 0)
        return;
    TfrmEditCustomerClass dialog(this);
    const QVariant rememberedId = FDQuery2.value(QStringLiteral("id"));
    const QVariant parentId = FDQuery2.value(QStringLiteral("parent_id"));
    const QString name = FDQuery2.value(QStringLiteral("class_name")).toString();
    ControlsDisabled frozen(dxDBTreeView1);
    if (FDQuery2.locate(QStringLiteral("id"), parentId))
        dialog.parentInfo = {FDQuery2.value(QStringLiteral("id")).toInt(),
                             FDQuery2.value(QStringLiteral("class_no")).toString(),
                             FDQuery2.value(QStringLiteral("class_name")).toString()};
    dialog.setTableName(classTable);
    dialog.FDQuery1.setSql(QStringLiteral("select * from %1 where id=%2").arg(classTable).arg(rememberedId.toInt()));
    dialog.FDQuery1.open();
    dialog.FDQuery1.edit();
    dialog.cxTextEdit2->setText(name);
    // "保存并新增" may have added siblings even when the dialog ends with "取消".
    if (runClassDialog(dialog, classRenameCaption.isEmpty() ? classDialogCaption : classRenameCaption) ==
            QDialog::Accepted ||
        dialog.changeCount() > 0)
        FDQuery2.open();
    FDQuery2.locate(QStringLiteral("id"), rememberedId);
}

bool TfrmListTree::isRootClass() const
{
    return FDQuery2.recNo() >= 0 && FDQuery2.value(QStringLiteral("class_no")).toString() == QStringLiteral("000");
}

void TfrmListTree::N4Click()
{
    // Stopping the root would take every class out of a tree that lists classes in use,
    // and with them any way to add one again.
    if (FDQuery2.recNo() < 0 || isRootClass())
        return;
    const QString name = FDQuery2.value(QStringLiteral("class_name")).toString();
    if (!askYesNo(this, QStringLiteral("删除"), QStringLiteral("确定要删除") + name + QStringLiteral("吗？")))
        return;
    FDQuery2.setValue(QStringLiteral("is_stop"), true);
    FDQuery2.post();
    const QVariant parentId = FDQuery2.value(QStringLiteral("parent_id"));
    FDQuery2.open();
    dxDBTreeView1->expandAll();
    FDQuery2.locate(QStringLiteral("id"), parentId);
}

void TfrmListTree::runRecordDialog(std::unique_ptr<TfrmRecordEdit> dialog, int id)
{
    dialog->ID = id;
    dialog->classID = FDQuery2.value(QStringLiteral("id")).toInt();
    dialog->className = FDQuery2.value(QStringLiteral("class_name")).toString();
    dialog->openData();
    if (id == 0)
        dialog->FDQuery1.append();
    else
        dialog->FDQuery1.edit();
    interaction().runModal(dialog.get());
    if (dialog->changeCount() > 0)
        FDQuery1.refresh();
}

void TfrmListTree::btnNewClick()
{
    std::unique_ptr<TfrmRecordEdit> dialog(createRecordDialog(true));
    if (!dialog) {
        TfrmBaseList::btnNewClick();
        return;
    }
    // The record dialog writes the row as surely as the grid does, so it needs the same right.
    if (checkRight(QStringLiteral("can_edit")))
        runRecordDialog(std::move(dialog), 0);
}

void TfrmListTree::btnEditClick()
{
    if (FDQuery1.recNo() < 0)
        return;
    std::unique_ptr<TfrmRecordEdit> dialog(createRecordDialog(false));
    if (!dialog) {
        TfrmBaseList::btnEditClick();
        return;
    }
    if (checkRight(QStringLiteral("can_edit")))
        runRecordDialog(std::move(dialog), FDQuery1.value(QStringLiteral("id")).toInt());
}

void TfrmListTree::addClassLookups(const QStringList &classFields)
{
    m_classLookups = classFields;
    for (const QString &field : classFields)
        FDQuery1.addClientField(field, QMetaType::QString);
    FDQuery1.onCalcFields = [this](Dataset &ds, int row) { lookUpClassFields(ds, row); };
    connect(&FDQuery2, &Dataset::rowsReset, this, &TfrmListTree::indexClasses);
}

void TfrmListTree::indexClasses()
{
    m_classRowById.clear();
    for (int row = 0; row < FDQuery2.recordCount(); ++row)
        m_classRowById.insert(FDQuery2.valueAt(row, QStringLiteral("id")).toInt(), row);
    // A renamed or stopped class shows at once in the rows already listed.
    for (int row = 0; row < FDQuery1.recordCount(); ++row)
        lookUpClassFields(FDQuery1, row);
}

void TfrmListTree::lookUpClassFields(Dataset &ds, int row) const
{
    const QVariant classId = ds.valueAt(row, QStringLiteral("class_id"));
    const int classRow = classId.isNull() ? -1 : m_classRowById.value(classId.toInt(), -1);
    for (const QString &field : m_classLookups)
        ds.setClientValue(row, field, classRow < 0 ? QVariant() : FDQuery2.valueAt(classRow, field));
}
