#include "uRecordEdit.h"

#include "DbTreeView.h"

#include <QDateTime>
#include <QEvent>

TfrmRecordEdit::TfrmRecordEdit(QWidget *parent) : TfrmBaseEdit(parent), FDClass(FDQuery1.connection())
{
    dxDBTreeView1 = new DbTreeView(this);
    dxDBTreeView1->setDataset(&FDClass);
    dxDBTreeView1->hide();
    dxDBTreeView1->installEventFilter(this);
    connect(dxDBTreeView1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { pickClass(item->data(0, Qt::UserRole).toInt()); });

    FDQuery1.onNewRecord = [this](Dataset &ds) {
        ds.setValue(QStringLiteral("create_date"), QDateTime::currentDateTime());
        ds.setValue(QStringLiteral("is_stop"), false);
        ds.setValue(QStringLiteral("del"), false);
        ds.setValue(QStringLiteral("class_id"), classID);
        if (ds.hasField(QStringLiteral("class_name")))
            ds.setValue(QStringLiteral("class_name"), className);
    };
}

void TfrmRecordEdit::openData()
{
    FDQuery1.setSql(mainSql + QStringLiteral(" and a.id=") + QString::number(ID));
    FDQuery1.open();
    FDClass.open();
}

void TfrmRecordEdit::showClassPicker()
{
    // The picker opens on the row's own class.
    FDClass.locate(QStringLiteral("id"), FDQuery1.value(QStringLiteral("class_id")));
    dxDBTreeView1->raise();
    dxDBTreeView1->show();
    dxDBTreeView1->expandAll();
    dxDBTreeView1->setFocus();
}

void TfrmRecordEdit::showClassPickerBelow(QWidget *anchor)
{
    const QPoint below = anchor->mapTo(this, QPoint(0, anchor->height()));
    dxDBTreeView1->setGeometry(below.x(), below.y(), anchor->width(), qMin(260, height() - below.y() - 8));
    showClassPicker();
}

void TfrmRecordEdit::pickClass(int classId)
{
    if (!FDClass.locate(QStringLiteral("id"), classId))
        return;
    FDQuery1.setValue(QStringLiteral("class_id"), classId);
    if (FDQuery1.hasField(QStringLiteral("class_name")))
        FDQuery1.setValue(QStringLiteral("class_name"), FDClass.value(QStringLiteral("class_name")));
    dxDBTreeView1->hide();
}

bool TfrmRecordEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dxDBTreeView1 && event->type() == QEvent::FocusOut)
        dxDBTreeView1->hide();
    return TfrmBaseEdit::eventFilter(watched, event);
}
