#pragma once

#include <QAbstractProxyModel>
#include <QVector>

// Flat grouping for a table view: above the rows of each value of the group
// column comes one group row ("caption: value (count)"); groups follow the
// order of their values, rows inside a group keep the source order.
class GroupRowsModel : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit GroupRowsModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    void setGroupColumn(int sourceColumn);
    int groupColumn() const { return m_groupColumn; }

    bool isGroupRow(int row) const { return row >= 0 && row < m_rows.size() && m_rows[row].sourceRow < 0; }
    // Rows belonging to the group whose group row is given.
    QList<int> memberRows(int groupRow) const;
    // Number of a row counting only the grouped rows (1 for the first); 0 for a group row.
    int rowNumber(int row) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Columns are the source's own; the base class would map them through row 0, a group row.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Entry {
        int sourceRow; // -1: group row
        int group;
    };
    void rebuild();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);

    int m_groupColumn = -1;
    QVector<Entry> m_rows;
    QVector<int> m_sourceToProxy;
    QStringList m_groupTitles;
    QVector<int> m_groupCounts;
};
