#pragma once

#include <QSortFilterProxyModel>
#include <QSet>
#include <functional>

class Dataset;

// One term of the find panel's search text.
struct FindTerm {
    enum class Mode { Any, Required, Excluded };
    Mode mode = Mode::Any;
    QString text;   // lower case
    QString column; // caption the term is limited to ("名称:abc"); empty = every searched column
};

// Parses the find panel syntax: words separated by blanks, "quoted phrases",
// +word (must match), -word (must not match), caption:word (one column only).
// Rows match when every required term matches, no excluded term matches and,
// if there are plain terms, at least one of them matches.
QList<FindTerm> parseFindText(const QString &text);

// Sort and find filter between the dataset model and the grid; also supplies
// the row colours: a screen's own rule first, then red text for stopped rows.
class GridFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit GridFilterModel(QObject *parent = nullptr);

    void setDataset(Dataset *ds) { m_ds = ds; }
    void setFindText(const QString &text);
    const QList<FindTerm> &findTerms() const { return m_terms; }
    // Source columns the find panel searches (the visible ones).
    void setSearchColumns(const QSet<int> &columns);

    // A screen's own colouring: returns a brush/colour/font for the role or an invalid QVariant.
    std::function<QVariant(const Dataset &, int row, const QString &field, int role)> cellStyle;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    bool termMatches(const FindTerm &term, int sourceRow) const;

    Dataset *m_ds = nullptr;
    QList<FindTerm> m_terms;
    QSet<int> m_searchColumns;
};
