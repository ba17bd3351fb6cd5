#include "Dataset.h"

#include "DbConnection.h"
#include "DbError.h"

#include <QDateTime>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QMetaType::Type normalisedType(const QSqlField &f, bool &isBoolean)
{
    const auto t = static_cast<QMetaType::Type>(f.metaType().id());
    isBoolean = false;
    switch (t) {
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        // tinyint(1) holds our 0/1 flags.
        isBoolean = f.length() == 1;
        return isBoolean ? QMetaType::Bool : QMetaType::Int;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UInt:
        return QMetaType::Int;
    case QMetaType::ULongLong:
        return QMetaType::LongLong;
    case QMetaType::Float:
        return QMetaType::Double;
    default:
        return t;
    }
}

} // namespace

Dataset::Dataset(DbConnection &db, QObject *parent) : QObject(parent), m_db(db) {}

Dataset::~Dataset() = default;

void Dataset::addClientField(const QString &name, QMetaType::Type type, const QVariant &defaultValue)
{
    Field f;
    f.name = name;
    f.type = type;
    f.isBoolean = type == QMetaType::Bool;
    f.clientOnly = true;
    f.defaultValue = defaultValue;
    m_clientFields.append(f);
}

QStringList Dataset::fieldNames() const
{
    QStringList names;
    for (const Field &f : m_fields)
        names << f.name;
    return names;
}

const Dataset::Field &Dataset::field(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("字段不存在：%1").arg(name), m_sql);
    return m_fields[i];
}

QVariant Dataset::normalised(const QVariant &v, const Field &f) const
{
    if (v.isNull())
        return QVariant();
    if (f.isBoolean)
        return v.toBool();
    switch (f.type) {
    case QMetaType::Int:
        return v.toInt();
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Double:
        return v.toDouble();
    default:
        return v;
    }
}

void Dataset::open()
{
    if (isActive())
        close();
    QSqlQuery q = m_db.read(m_sql);
    const QSqlRecord rec = q.record();
    emit aboutToReset();
    m_fields.clear();
    m_fieldIndex.clear();
    for (int i = 0; i < rec.count(); ++i) {
        Field f;
        f.name = rec.fieldName(i);
        f.type = normalisedType(rec.field(i), f.isBoolean);
        if (m_fieldIndex.contains(f.name))
            continue; // "select a.*, b.id" style duplicates: the first wins, as in lookups by name
        m_fieldIndex.insert(f.name, m_fields.size());
        m_fields.append(f);
    }
    for (const Field &f : m_clientFields) {
        if (m_fieldIndex.contains(f.name))
            continue;
        m_fieldIndex.insert(f.name, m_fields.size());
        m_fields.append(f);
    }
    QVector<int> sourceColumn(m_fields.size(), -1);
    for (int i = 0; i < rec.count(); ++i) {
        const int target = m_fieldIndex.value(rec.fieldName(i), -1);
        if (target >= 0 && sourceColumn[target] < 0)
            sourceColumn[target] = i;
    }

    m_rows.clear();
    m_deleted.clear();
    while (q.next()) {
        Row r;
        r.values.reserve(m_fields.size());
        for (int c = 0; c < m_fields.size(); ++c) {
            const Field &f = m_fields[c];
            r.values.append(f.clientOnly ? f.defaultValue : normalised(q.value(sourceColumn[c]), f));
        }
        r.original = r.values;
        m_rows.append(std::move(r));
    }
    m_state = State::Browse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_rows.size(); ++i)
        calc(i);
    emit rowsReset();
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
}

void Dataset::close()
{
    emit aboutToReset();
    m_rows.clear();
    m_deleted.clear();
    m_current = -1;
    m_state = State::Inactive;
    emit rowsReset();
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
}

void Dataset::refresh()
{
    const QVariant id = hasField(QStringLiteral("id")) ? value(QStringLiteral("id")) : QVariant();
    const int oldRow = m_current;
    open();
    if (id.isValid() && !id.isNull() && locate(QStringLiteral("id"), id))
        return;
    if (oldRow >= 0 && !m_rows.isEmpty())
        setCurrent(qMin(oldRow, m_rows.size() - 1));
}

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

bool Dataset::setRecNo(int row)
{
    if (m_rows.isEmpty() || row < 0 || row >= m_rows.size())
        return false;
    if (row == m_current)
        return true;
    if (isEditing() && !post())
        return false;
    setCurrent(row);
    return true;
}

bool Dataset::locate(const QString &fieldName, const QVariant &v)
{
    const int c = fieldIndex(fieldName);
    if (c < 0)
        return false;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant &cell = m_rows[i].values[c];
        if (cell.isNull() != v.isNull())
            continue;
        if (cell == v || cell.toString() == v.toString())
            return setRecNo(i);
    }
    return false;
}

QVariant Dataset::valueAt(int row, const QString &name) const
{
    if (row < 0 || row >= m_rows.size())
        return QVariant();
    const int c = fieldIndex(name);
    if (c < 0)
        throw DbError(QStringLiteral("字段不存在：%1").arg(name), m_sql);
    return m_rows[row].values[c];
}

bool Dataset::setValue(const QString &name, const QVariant &v)
{
    const int c = fieldIndex(name);
    if (c < 0)
        throw DbError(QStringLiteral("字段不存在：%1").arg(name), m_sql);
    if (m_current < 0)
        return false;
    if (!isEditing() && !edit())
        return false;
    QVariant &cell = m_rows[m_current].values[c];
    const QVariant nv = normalised(v, m_fields[c]);
    if (cell == nv && cell.isNull() == nv.isNull())
        return true;
    cell = nv;
    if (onFieldChanged)
        onFieldChanged(*this, name);
    calc(m_current);
    emit rowChanged(m_current);
    return true;
}

void Dataset::setClientValue(int row, const QString &name, const QVariant &v)
{
    const Field &f = field(name);
    if (!f.clientOnly || row < 0 || row >= m_rows.size())
        return;
    m_rows[row].values[fieldIndex(name)] = v;
    // While calculated fields are being filled the row is announced by the caller
    // (or by the reset that follows opening); announcing it here would reach views
    // that do not know the row yet.
    if (!m_calculating)
        emit rowChanged(row);
}

QString Dataset::displayText(int row, const QString &name) const
{
    const QVariant v = valueAt(row, name);
    if (onDisplayText) {
        const QString text = onDisplayText(*this, row, name, v);
        if (!text.isNull())
            return text;
    }
    if (v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    default:
        return v.toString();
    }
}

void Dataset::calc(int row)
{
    if (onCalcFields && row >= 0) {
        const bool outer = m_calculating;
        m_calculating = true;
        onCalcFields(*this, row);
        m_calculating = outer;
    }
}

void Dataset::append()
{
    if (!isActive())
        throw DbError(QStringLiteral("数据集没有打开。"), m_sql);
    if (isEditing() && !post())
        return;
    Row r;
    for (const Field &f : m_fields)
        r.values.append(f.clientOnly ? f.defaultValue : QVariant());
    r.original = r.values;
    r.status = UpdateStatus::Inserted;
    const int row = m_rows.size();
    emit rowAboutToBeInserted(row);
    m_rows.append(r);
    emit rowInserted(row);
    setCurrent(row);
    m_backup = Row();
    setState(State::Insert);
    if (onNewRecord)
        onNewRecord(*this);
    calc(row);
    emit rowChanged(row);
}

bool Dataset::edit()
{
    if (isEditing())
        return true;
    if (m_current < 0)
        return false;
    if (beforeEdit && !beforeEdit(*this))
        return false;
    m_backup = m_rows[m_current];
    setState(State::Edit);
    return true;
}

bool Dataset::post()
{
    if (!isEditing())
        return true;
    if (beforePost && !beforePost(*this))
        return false;
    Row &r = m_rows[m_current];
    const bool inserting = m_state == State::Insert;
    if (!m_cached) {
        writeRow(r);
    } else if (!inserting && r.status == UpdateStatus::Unmodified && r.values != r.original) {
        r.status = UpdateStatus::Modified;
    }
    setState(State::Browse);
    calc(m_current);
    emit rowChanged(m_current);
    if (afterPost)
        afterPost(*this);
    return true;
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    if (m_state == State::Insert) {
        const int row = m_current;
        emit rowAboutToBeRemoved(row);
        m_rows.removeAt(row);
        m_current = -1;
        emit rowRemoved(row);
        setState(State::Browse);
        setCurrent(m_rows.isEmpty() ? -1 : qMin(row, m_rows.size() - 1));
        return;
    }
    m_rows[m_current] = m_backup;
    setState(State::Browse);
    emit rowChanged(m_current);
}

bool Dataset::deleteRecord()
{
    if (m_current < 0)
        return false;
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (m_state == State::Edit)
        cancel();
    if (beforeDelete && !beforeDelete(*this))
        return false;
    const int row = m_current;
    Row r = m_rows[row];
    if (!m_cached) {
        deleteRow(r);
    } else if (r.status != UpdateStatus::Inserted) {
        r.status = UpdateStatus::Deleted;
        m_deleted.append({row, r});
    }
    emit rowAboutToBeRemoved(row);
    m_rows.removeAt(row);
    m_current = -1;
    emit rowRemoved(row);
    setCurrent(m_rows.isEmpty() ? -1 : qMin(row, m_rows.size() - 1));
    return true;
}

// --- writing --------------------------------------------------------------------

QStringList Dataset::tableColumns()
{
    if (m_tableColumns.isEmpty() && !m_updateTable.isEmpty()) {
        const QSqlRecord rec = m_db.database().record(m_updateTable);
        for (int i = 0; i < rec.count(); ++i)
            m_tableColumns << rec.fieldName(i);
        if (m_tableColumns.isEmpty())
            throw DbError(QStringLiteral("数据表不存在：%1").arg(m_updateTable), m_updateTable);
    }
    return m_tableColumns;
}

int Dataset::idOf(const Row &row) const
{
    const int c = fieldIndex(QStringLiteral("id"));
    return c < 0 ? 0 : row.values[c].toInt();
}

void Dataset::writeRow(Row &row)
{
    switch (row.status) {
    case UpdateStatus::Inserted:
        insertRow(row);
        break;
    case UpdateStatus::Unmodified:
    case UpdateStatus::Modified:
        updateRow(row);
        break;
    case UpdateStatus::Deleted:
        deleteRow(row);
        return;
    }
    row.original = row.values;
    row.status = UpdateStatus::Unmodified;
}

void Dataset::insertRow(Row &row)
{
    if (m_updateTable.isEmpty())
        return;
    const QStringList columns = tableColumns();
    QStringList names, marks;
    QVariantList binds;
    for (int c = 0; c < m_fields.size(); ++c) {
        const Field &f = m_fields[c];
        if (f.clientOnly || f.name == QLatin1String("id") || !columns.contains(f.name))
            continue;
        if (row.values[c].isNull())
            continue; // the column's default applies
        names << QStringLiteral("`%1`").arg(f.name);
        marks << QStringLiteral("?");
        binds << row.values[c];
    }
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 () VALUES ()").arg(m_updateTable)
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(m_updateTable, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    QSqlQuery q = m_db.exec(sql, DbConnection::Kind::Write, binds);
    const int idColumn = fieldIndex(QStringLiteral("id"));
    if (idColumn >= 0)
        row.values[idColumn] = q.lastInsertId().toInt();
    reloadWrittenRow(row);
}

// Reads back the table's own columns of a new row, so that server defaults
// (flags, dates) show as stored.
void Dataset::reloadWrittenRow(Row &row)
{
    const int id = idOf(row);
    if (id <= 0)
        return;
    QStringList names;
    for (const Field &f : m_fields)
        if (!f.clientOnly && f.name != QLatin1String("id") && tableColumns().contains(f.name) &&
            row.values[fieldIndex(f.name)].isNull())
            names << f.name;
    if (names.isEmpty())
        return;
    QStringList quoted;
    for (const QString &n : names)
        quoted << QStringLiteral("`%1`").arg(n);
    QSqlQuery q = m_db.read(
        QStringLiteral("SELECT %1 FROM %2 WHERE id=?").arg(quoted.join(QLatin1Char(',')), m_updateTable), {id});
    if (!q.next())
        return;
    for (int i = 0; i < names.size(); ++i) {
        const int c = fieldIndex(names[i]);
        row.values[c] = normalised(q.value(i), m_fields[c]);
    }
}

void Dataset::updateRow(Row &row)
{
    if (m_updateTable.isEmpty())
        return;
    const QStringList columns = tableColumns();
    QStringList sets;
    QVariantList binds;
    for (int c = 0; c < m_fields.size(); ++c) {
        const Field &f = m_fields[c];
        if (f.clientOnly || f.name == QLatin1String("id") || !columns.contains(f.name))
            continue;
        const QVariant &now = row.values[c];
        const QVariant &before = row.original[c];
        if (now == before && now.isNull() == before.isNull())
            continue;
        sets << QStringLiteral("`%1`=?").arg(f.name);
        binds << now;
    }
    if (sets.isEmpty())
        return;
    binds << idOf(row);
    m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE id=?").arg(m_updateTable, sets.join(QLatin1Char(','))),
              DbConnection::Kind::Write, binds);
}

void Dataset::deleteRow(const Row &row)
{
    if (m_updateTable.isEmpty())
        return;
    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE id=?").arg(m_updateTable), DbConnection::Kind::Write,
              {idOf(row)});
}

// --- cached updates ---------------------------------------------------------------

bool Dataset::hasPendingUpdates() const
{
    if (!m_deleted.isEmpty())
        return true;
    for (const Row &r : m_rows)
        if (r.status != UpdateStatus::Unmodified)
            return true;
    return false;
}

Dataset::UpdateStatus Dataset::updateStatus(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].status : UpdateStatus::Unmodified;
}

void Dataset::applyUpdates()
{
    if (isEditing() && !post())
        throw DbError(QStringLiteral("当前记录没有保存。"), m_updateTable);
    const int idColumn = fieldIndex(QStringLiteral("id"));
    QVector<int> newRows;
    try {
        for (const auto &d : std::as_const(m_deleted))
            deleteRow(d.second);
        for (int i = 0; i < m_rows.size(); ++i) {
            Row &r = m_rows[i];
            if (r.status == UpdateStatus::Modified) {
                updateRow(r);
            } else if (r.status == UpdateStatus::Inserted) {
                newRows << i;
                insertRow(r);
            }
        }
    } catch (...) {
        // The caller rolls back: rows written so far are undone on the server, so
        // they must stay pending (and new rows lose their ids) for the next try.
        if (idColumn >= 0)
            for (int i : std::as_const(newRows))
                m_rows[i].values[idColumn] = QVariant();
        throw;
    }
    for (int i : std::as_const(newRows))
        emit rowChanged(i);
}

void Dataset::commitUpdates()
{
    for (Row &r : m_rows) {
        r.original = r.values;
        r.status = UpdateStatus::Unmodified;
    }
    m_deleted.clear();
}

void Dataset::cancelUpdates()
{
    if (isEditing())
        cancel();
    QVector<Row> kept;
    for (Row &r : m_rows) {
        if (r.status == UpdateStatus::Inserted)
            continue;
        r.values = r.original;
        r.status = UpdateStatus::Unmodified;
        kept.append(r);
    }
    // Deleted rows go back to where they were, latest deletion first.
    for (auto it = m_deleted.crbegin(); it != m_deleted.crend(); ++it) {
        Row r = it->second;
        r.values = r.original;
        r.status = UpdateStatus::Unmodified;
        kept.insert(qBound(0, it->first, static_cast<int>(kept.size())), r);
    }
    m_deleted.clear();
    emit aboutToReset();
    m_rows = kept;
    m_current = m_rows.isEmpty() ? -1 : 0;
    emit rowsReset();
    emit currentRowChanged(m_current);
}
