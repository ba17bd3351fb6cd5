#pragma once

#include <QAbstractTableModel>
#include <QSet>
#include <QStringList>

#include "Dataset.h"

// Presents a Dataset to Qt's item views. Columns are dataset fields in the
// order given; edits go through the dataset, so its before-edit check runs
// when a cell starts changing and its hooks run as on any other change.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset *dataset, QObject *parent = nullptr);

    Dataset *dataset() const { return m_ds; }

    // Field names shown as columns, with their captions. Without a call every field is shown.
    void setColumns(const QStringList &fieldNames, const QStringList &captions = {});
    const QStringList &columns() const { return m_columns; }
    QString fieldAt(int column) const { return m_columns.value(column); }
    int columnOf(const QString &fieldName) const { return m_columns.indexOf(fieldName); }

    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }
    void setColumnReadOnly(const QString &fieldName, bool on);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void syncColumnsWithFields();
    bool isBoolean(int column) const;

    Dataset *m_ds;
    QStringList m_columns;
    QStringList m_captions;
    bool m_explicitColumns = false;
    bool m_readOnly = false;
    int m_rowCount = 0;
    QSet<QString> m_readOnlyColumns;
};
