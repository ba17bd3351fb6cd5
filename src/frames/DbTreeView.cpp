#include "DbTreeView.h"

#include "data/Dataset.h"

#include <QHash>

DbTreeView::DbTreeView(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (m_building || m_disabled || !m_ds || !item)
            return;
        const int id = item->data(0, Qt::UserRole).toInt();
        m_ds->locate(m_key, id);
        emit selectionChangedTo(id);
    });
}

void DbTreeView::setDataset(Dataset *ds, const QString &keyField, const QString &parentField, const QString &textField)
{
    m_ds = ds;
    m_key = keyField;
    m_parent = parentField;
    m_text = textField;
    connect(ds, &Dataset::rowsReset, this, [this] {
        if (!m_disabled)
            rebuild();
    });
    connect(ds, &Dataset::rowChanged, this, [this] {
        if (!m_disabled && m_ds->state() == Dataset::State::Browse)
            rebuild();
    });
    connect(ds, &Dataset::currentRowChanged, this, [this] {
        if (!m_disabled)
            followDataset();
    });
    rebuild();
}

void DbTreeView::disableControls() { ++m_disabled; }

void DbTreeView::enableControls()
{
    if (m_disabled > 0 && --m_disabled == 0)
        rebuild();
}

void DbTreeView::rebuild()
{
    m_building = true;
    clear();
    if (m_ds && m_ds->isActive()) {
        QHash<int, QTreeWidgetItem *> items;
        for (int row = 0; row < m_ds->recordCount(); ++row) {
            auto *item = new QTreeWidgetItem(QStringList(m_ds->valueAt(row, m_text).toString()));
            const int id = m_ds->valueAt(row, m_key).toInt();
            item->setData(0, Qt::UserRole, id);
            item->setToolTip(0, item->text(0));
            // A tree that keeps stopped classes shows them greyed.
            if (m_ds->hasField(QStringLiteral("is_stop")) && m_ds->valueAt(row, QStringLiteral("is_stop")).toBool()) {
                item->setForeground(0, QBrush(Qt::gray));
                item->setToolTip(0, item->text(0) + QStringLiteral("（已停用）"));
            }
            items.insert(id, item);
        }
        for (int row = 0; row < m_ds->recordCount(); ++row) {
            QTreeWidgetItem *item = items.value(m_ds->valueAt(row, m_key).toInt());
            const QVariant parentId = m_ds->valueAt(row, m_parent);
            QTreeWidgetItem *parentItem = parentId.isNull() ? nullptr : items.value(parentId.toInt());
            if (parentItem && parentItem != item)
                parentItem->addChild(item);
            else
                addTopLevelItem(item); // a root, or a class whose parent is not listed
        }
    }
    m_building = false;
    followDataset();
}

void DbTreeView::followDataset()
{
    if (!m_ds || m_ds->recNo() < 0)
        return;
    const int id = m_ds->value(m_key).toInt();
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == id) {
            if (currentItem() != *it) {
                m_building = true;
                setCurrentItem(*it);
                m_building = false;
                emit selectionChangedTo(id);
            }
            return;
        }
    }
}

int DbTreeView::currentId() const { return currentItem() ? currentItem()->data(0, Qt::UserRole).toInt() : 0; }

QString DbTreeView::currentText() const { return currentItem() ? currentItem()->text(0) : QString(); }
