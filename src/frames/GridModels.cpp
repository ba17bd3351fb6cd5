#include "GridModels.h"

#include "data/Dataset.h"
#include "data/DatasetModel.h"

#include <QBrush>
#include <QColor>

QList<FindTerm> parseFindText(const QString &text)
{
    QList<FindTerm> terms;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        if (i >= n)
            break;
        FindTerm t;
        if (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')) {
            t.mode = text[i] == QLatin1Char('+') ? FindTerm::Mode::Required : FindTerm::Mode::Excluded;
            ++i;
        }
        QString word;
        bool quoted = false;
        while (i < n && (quoted || !text[i].isSpace())) {
            if (text[i] == QLatin1Char('"'))
                quoted = !quoted;
            else
                word += text[i];
            ++i;
        }
        const int colon = word.indexOf(QLatin1Char(':'));
        if (colon > 0 && colon < word.size() - 1) {
            t.column = word.left(colon);
            word = word.mid(colon + 1);
        }
        t.text = word.toLower();
        if (!t.text.isEmpty())
            terms << t;
    }
    return terms;
}

GridFilterModel::GridFilterModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(Qt::EditRole);
    setSortLocaleAware(true);
}

void GridFilterModel::setFindText(const QString &text)
{
    m_terms = parseFindText(text);
    invalidateFilter();
}

void GridFilterModel::setSearchColumns(const QSet<int> &columns)
{
    if (columns == m_searchColumns)
        return;
    m_searchColumns = columns;
    invalidateFilter();
}

bool GridFilterModel::termMatches(const FindTerm &term, int sourceRow) const
{
    const auto *src = sourceModel();
    for (int c : m_searchColumns) {
        if (!term.column.isEmpty() && src->headerData(c, Qt::Horizontal).toString() != term.column)
            continue;
        const QString cell = src->index(sourceRow, c).data(Qt::DisplayRole).toString();
        if (cell.contains(term.text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool GridFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_terms.isEmpty())
        return true;
    bool anyPlain = false;
    bool plainMatched = false;
    for (const FindTerm &t : m_terms) {
        const bool hit = termMatches(t, sourceRow);
        switch (t.mode) {
        case FindTerm::Mode::Required:
            if (!hit)
                return false;
            break;
        case FindTerm::Mode::Excluded:
            if (hit)
                return false;
            break;
        case FindTerm::Mode::Any:
            anyPlain = true;
            plainMatched = plainMatched || hit;
            break;
        }
    }
    return !anyPlain || plainMatched;
}

QVariant GridFilterModel::data(const QModelIndex &index, int role) const
{
    if (m_ds && index.isValid() && (role == Qt::ForegroundRole || role == Qt::BackgroundRole || role == Qt::FontRole)) {
        const int row = mapToSource(index).row();
        const auto *src = static_cast<const DatasetModel *>(sourceModel());
        const QString field = src->fieldAt(mapToSource(index).column());
        if (cellStyle) {
            const QVariant own = cellStyle(*m_ds, row, field, role);
            if (own.isValid())
                return own;
        }
        if (role == Qt::ForegroundRole && m_ds->hasField(QStringLiteral("is_stop")) &&
            m_ds->valueAt(row, QStringLiteral("is_stop")).toBool())
            return QBrush(Qt::red);
    }
    return QSortFilterProxyModel::data(index, role);
}
