#include "DatasetModel.h"

DatasetModel::DatasetModel(Dataset *dataset, QObject *parent) : QAbstractTableModel(parent), m_ds(dataset)
{
    syncColumnsWithFields();
    // The dataset announces row changes after making them, so the model keeps
    // its own count: views must see the old count until the change is announced.
    m_rowCount = m_ds->recordCount();
    connect(m_ds, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        syncColumnsWithFields();
        m_rowCount = m_ds->recordCount();
        endResetModel();
    });
    connect(m_ds, &Dataset::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        ++m_rowCount;
        endInsertRows();
    });
    connect(m_ds, &Dataset::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        --m_rowCount;
        endRemoveRows();
    });
    connect(m_ds, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void DatasetModel::syncColumnsWithFields()
{
    if (!m_explicitColumns) {
        m_columns = m_ds->fieldNames();
        m_captions = m_columns;
    }
}

void DatasetModel::setColumns(const QStringList &fieldNames, const QStringList &captions)
{
    beginResetModel();
    m_explicitColumns = true;
    m_columns = fieldNames;
    m_captions = captions.size() == fieldNames.size() ? captions : fieldNames;
    endResetModel();
}

void DatasetModel::setColumnReadOnly(const QString &fieldName, bool on)
{
    if (on)
        m_readOnlyColumns.insert(fieldName);
    else
        m_readOnlyColumns.remove(fieldName);
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

bool DatasetModel::isBoolean(int column) const
{
    const QString &name = m_columns.value(column);
    return m_ds->hasField(name) && m_ds->field(name).isBoolean;
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowCount || index.row() >= m_ds->recordCount() ||
        index.column() >= m_columns.size())
        return {};
    const QString &name = m_columns[index.column()];
    if (!m_ds->hasField(name))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return isBoolean(index.column()) ? QVariant() : QVariant(m_ds->displayText(index.row(), name));
    case Qt::EditRole:
        return m_ds->valueAt(index.row(), name);
    case Qt::CheckStateRole:
        if (isBoolean(index.column()))
            return m_ds->valueAt(index.row(), name).toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const QString &name = m_columns[index.column()];
    QVariant v = value;
    if (role == Qt::CheckStateRole) {
        if (!isBoolean(index.column()))
            return false;
        v = value.toInt() == Qt::Checked;
    } else if (role != Qt::EditRole) {
        return false;
    }
    if (!m_ds->setRecNo(index.row()))
        return false;
    return m_ds->setValue(name, v);
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const QString &name = m_columns.value(index.column());
    if (m_readOnly || m_readOnlyColumns.contains(name) || !m_ds->hasField(name))
        return f;
    if (isBoolean(index.column()))
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_captions.value(section);
    return section + 1;
}
