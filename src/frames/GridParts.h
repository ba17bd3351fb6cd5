#pragma once

// Pieces of the grid widget; only GridView uses them.

#include "GridColumn.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

struct FindTerm;

// The table: asks before an editor opens (the dataset's before-edit check),
// moves to the next cell on Enter and hands the Insert and Ctrl+Delete keys
// to the screen.
class GridTable : public QTableView {
    Q_OBJECT
public:
    explicit GridTable(QWidget *parent = nullptr);

    // False refuses the editor (nothing opens).
    std::function<bool(const QModelIndex &)> mayEdit;
    // The indicator's "≡" corner.
    void paintCorner(QWidget *corner);
    // What an empty grid shows.
    static QString emptyText();

signals:
    void insertRequested();
    void deleteRequested();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // An empty grid says so ("<空空如也>") instead of showing a blank area.
    void paintEvent(QPaintEvent *event) override;

private:
    void moveToNextCell();
};

// Indicator column: the current row shows a red "➤", every other row its number.
class IndicatorHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit IndicatorHeader(QTableView *table);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QTableView *m_table;
};

// A row of captions aligned with the table's columns: the bands above the
// headers and the footer below the rows.
class GridStrip : public QWidget {
    Q_OBJECT
public:
    struct Cell {
        QList<int> columns; // logical columns the cell spans (contiguous when shown)
        QString text;
    };
    GridStrip(QTableView *table, bool headerLook, QWidget *parent = nullptr);
    std::function<QList<Cell>()> cells;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTableView *m_table;
    bool m_headerLook;
};

// Editors and painting by column kind; highlights the find panel's matches.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(QObject *parent = nullptr);

    std::function<const GridColumn *(int column)> columnAt;
    std::function<const QList<FindTerm> &()> findTerms;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    // Decimal places of a Number column's kind from the company settings.
    static int decimalsOf(int decimalsKind);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static QRect buttonRect(const QRect &cell);
};
