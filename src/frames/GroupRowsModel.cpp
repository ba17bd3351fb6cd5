#include "GroupRowsModel.h"

#include <QBrush>
#include <QCollator>
#include <QFont>
#include <QMap>
#include <algorithm>

GroupRowsModel::GroupRowsModel(QObject *parent) : QAbstractProxyModel(parent) {}

void GroupRowsModel::setSourceModel(QAbstractItemModel *source)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        // Any change of the row set regroups the rows; grouped grids are read-mostly.
        connect(source, &QAbstractItemModel::modelReset, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::layoutChanged, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::rowsInserted, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::rowsRemoved, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::rowsMoved, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::columnsInserted, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::columnsRemoved, this, &GroupRowsModel::rebuild);
        connect(source, &QAbstractItemModel::dataChanged, this, &GroupRowsModel::sourceDataChanged);
    }
    rebuild();
}

void GroupRowsModel::setGroupColumn(int sourceColumn)
{
    m_groupColumn = sourceColumn;
    rebuild();
}

void GroupRowsModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                       const QList<int> &roles)
{
    if (m_groupColumn >= topLeft.column() && m_groupColumn <= bottomRight.column()) {
        rebuild();
        return;
    }
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        const int p = m_sourceToProxy.value(r, -1);
        if (p >= 0)
            emit dataChanged(index(p, topLeft.column()), index(p, bottomRight.column()), roles);
    }
}

void GroupRowsModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    m_groupTitles.clear();
    m_groupCounts.clear();
    QAbstractItemModel *src = sourceModel();
    const int n = src ? src->rowCount() : 0;
    m_sourceToProxy = QVector<int>(n, -1);
    if (src && m_groupColumn >= 0 && m_groupColumn < src->columnCount()) {
        QMap<QString, QVector<int>> byValue;
        for (int r = 0; r < n; ++r)
            byValue[src->index(r, m_groupColumn).data(Qt::DisplayRole).toString()].append(r);
        QStringList values = byValue.keys();
        QCollator collator;
        collator.setNumericMode(true);
        std::sort(values.begin(), values.end(), collator);
        const QString caption = src->headerData(m_groupColumn, Qt::Horizontal).toString();
        for (const QString &value : std::as_const(values)) {
            const QVector<int> &members = byValue[value];
            const int group = m_groupTitles.size();
            m_groupTitles << QStringLiteral("%1: %2 (%3)").arg(caption, value).arg(members.size());
            m_groupCounts << members.size();
            m_rows.append({-1, group});
            for (int r : members) {
                m_sourceToProxy[r] = m_rows.size();
                m_rows.append({r, group});
            }
        }
    } else {
        for (int r = 0; r < n; ++r) {
            m_sourceToProxy[r] = r;
            m_rows.append({r, -1});
        }
    }
    endResetModel();
}

QList<int> GroupRowsModel::memberRows(int groupRow) const
{
    QList<int> rows;
    if (!isGroupRow(groupRow))
        return rows;
    for (int r = groupRow + 1; r < m_rows.size() && m_rows[r].sourceRow >= 0; ++r)
        rows << r;
    return rows;
}

int GroupRowsModel::rowNumber(int row) const
{
    if (row < 0 || row >= m_rows.size() || isGroupRow(row))
        return 0;
    // Grouped, the row has one group row above it for its own group and each group before.
    return m_rows[row].group < 0 ? row + 1 : row - m_rows[row].group;
}

QModelIndex GroupRowsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_rows.size() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex GroupRowsModel::parent(const QModelIndex &) const { return {}; }

int GroupRowsModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows.size(); }

int GroupRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QModelIndex GroupRowsModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel() || proxyIndex.row() >= m_rows.size())
        return {};
    const int r = m_rows[proxyIndex.row()].sourceRow;
    return r < 0 ? QModelIndex() : sourceModel()->index(r, proxyIndex.column());
}

QModelIndex GroupRowsModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int p = m_sourceToProxy.value(sourceIndex.row(), -1);
    return p < 0 ? QModelIndex() : index(p, sourceIndex.column());
}

QVariant GroupRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Entry &e = m_rows[index.row()];
    if (e.sourceRow >= 0)
        return QAbstractProxyModel::data(index, role);
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? QVariant(m_groupTitles.value(e.group)) : QVariant();
    case Qt::FontRole: {
        QFont f;
        f.setBold(true);
        return f;
    }
    case Qt::BackgroundRole:
        return QBrush(QColor(0xE4, 0xEA, 0xF2));
    default:
        return {};
    }
}

QVariant GroupRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical || !sourceModel())
        return QAbstractProxyModel::headerData(section, orientation, role);
    return sourceModel()->headerData(section, orientation, role);
}

Qt::ItemFlags GroupRowsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isGroupRow(index.row()))
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return QAbstractProxyModel::flags(index);
}
