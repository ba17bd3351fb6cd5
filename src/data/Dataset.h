#pragma once

#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class DbConnection;

// A client-side result set: runs one SELECT, keeps its rows in memory with a
// current row, and writes changes back to one update table, either at once on
// each post or, in cached mode, all together through applyUpdates() inside the
// caller's transaction. Only columns that exist in the update table are
// written; columns from joins and client-only fields never are.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum class UpdateStatus { Unmodified, Modified, Inserted, Deleted };

    struct Field {
        QString name;
        QMetaType::Type type = QMetaType::QString;
        bool isBoolean = false;
        bool clientOnly = false;
        QVariant defaultValue; // for client-only fields
    };

    explicit Dataset(DbConnection &db, QObject *parent = nullptr);
    ~Dataset() override;

    DbConnection &connection() const { return m_db; }

    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    // Empty: the dataset writes nothing.
    void setUpdateTable(const QString &table) { m_updateTable = table; }
    const QString &updateTable() const { return m_updateTable; }
    void setCachedUpdates(bool on) { m_cached = on; }
    bool cachedUpdates() const { return m_cached; }
    // A field that lives only in the client (selection marks, calculated values).
    void addClientField(const QString &name, QMetaType::Type type, const QVariant &defaultValue = {});

    void open();
    void close();
    // Runs the statement again and keeps the current row on the same id when it still exists.
    void refresh();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    int fieldCount() const { return m_fields.size(); }
    const QVector<Field> &fields() const { return m_fields; }
    QStringList fieldNames() const;
    int fieldIndex(const QString &name) const { return m_fieldIndex.value(name, -1); }
    bool hasField(const QString &name) const { return m_fieldIndex.contains(name); }
    const Field &field(const QString &name) const;

    int recordCount() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // Current row index, -1 when there is none.
    int recNo() const { return m_current; }
    // Moves to a row; an edited row is posted first (and the move is abandoned when posting is refused).
    bool setRecNo(int row);
    void first() { setRecNo(0); }
    void last() { setRecNo(m_rows.size() - 1); }
    void next() { setRecNo(m_current + 1); }
    void prior() { setRecNo(m_current - 1); }
    bool bof() const { return m_current <= 0; }
    bool eof() const { return m_current < 0 || m_current >= m_rows.size() - 1; }
    bool locate(const QString &fieldName, const QVariant &value);

    QVariant value(const QString &name) const { return valueAt(m_current, name); }
    QVariant valueAt(int row, const QString &name) const;
    // Changes a field of the current row, entering edit state first when needed.
    // False when the row may not be edited.
    bool setValue(const QString &name, const QVariant &value);
    // Sets a client-only field of any row without entering edit state.
    void setClientValue(int row, const QString &name, const QVariant &value);
    QString displayText(int row, const QString &name) const;

    void append();
    bool edit();
    // False when the before-post hook refused: nothing written, state kept.
    bool post();
    void cancel();
    bool deleteRecord();

    // Cached mode.
    void applyUpdates();
    void commitUpdates();
    void cancelUpdates();
    bool hasPendingUpdates() const;
    UpdateStatus updateStatus(int row) const;

    // Hooks.
    std::function<void(Dataset &)> onNewRecord;
    std::function<bool(Dataset &)> beforeEdit;
    std::function<bool(Dataset &)> beforePost;
    std::function<void(Dataset &)> afterPost;
    std::function<bool(Dataset &)> beforeDelete;
    std::function<void(Dataset &, int row)> onCalcFields;
    std::function<void(Dataset &, const QString &fieldName)> onFieldChanged;
    // Display text of a value; a null QString falls back to the default text.
    std::function<QString(const Dataset &, int row, const QString &fieldName, const QVariant &value)> onDisplayText;

signals:
    void stateChanged(Dataset::State state);
    void currentRowChanged(int row);
    void rowChanged(int row);
    // Structural changes come in pairs, so item models can follow them.
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void aboutToReset();
    void rowsReset();

private:
    struct Row {
        QVariantList values;
        QVariantList original;
        UpdateStatus status = UpdateStatus::Unmodified;
    };

    void setState(State s);
    void setCurrent(int row);
    void calc(int row);
    QStringList tableColumns();
    QVariant normalised(const QVariant &v, const Field &f) const;
    void writeRow(Row &row);
    void insertRow(Row &row);
    void updateRow(Row &row);
    void deleteRow(const Row &row);
    void reloadWrittenRow(Row &row);
    int idOf(const Row &row) const;

    DbConnection &m_db;
    QString m_sql;
    QString m_updateTable;
    bool m_cached = false;
    bool m_calculating = false;
    State m_state = State::Inactive;
    QVector<Field> m_fields;
    QVector<Field> m_clientFields;
    QHash<QString, int> m_fieldIndex;
    QVector<Row> m_rows;
    QVector<QPair<int, Row>> m_deleted;
    int m_current = -1;
    Row m_backup;
    QStringList m_tableColumns;
};
