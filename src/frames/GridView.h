#pragma once

#include "GridColumn.h"
#include "GridExport.h"
#include "printing/PrintColumns.h"

#include <QList>
#include <QTimer>
#include <QWidget>
#include <functional>

class Dataset;
class DatasetModel;
class GridFilterModel;
class GridTable;
class GridStrip;
class GroupByBox;
class QLineEdit;
class QModelIndex;
class QTableView;

// The grid of every list screen: a find panel over a table of one dataset,
// with the row indicator, alternating rows, red stopped rows, editors chosen
// per column, bands above the headers, an optional footer with sums and
// counts, grouping by one column and a layout saved per screen.
// The grid follows the dataset's current row and moves it when the person
// selects another row.
class GridView : public QWidget {
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);
    ~GridView() override;

    void setDataset(Dataset *ds);
    Dataset *dataset() const { return m_ds; }
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    int columnOf(const QString &field) const; // -1 for an empty or unknown field

    // Editing in the grid (check boxes and editors) on or off.
    void setEditable(bool on);
    bool isEditable() const { return m_editable; }

    // Find panel: the filter follows the text 500 ms after the last keystroke.
    QLineEdit *findEdit() const { return m_find; }
    void setFindText(const QString &text); // applied at once
    QString appliedFindText() const { return m_appliedFind; }

    void setBandsVisible(bool on);
    void setFooterVisible(bool on);
    // Groups the rows by one field (empty or unknown: no grouping); group rows show "caption: value (n)".
    void setGroupField(const QString &field);
    QString groupField() const { return m_groupField; }
    void expandAll();
    void collapseAll();
    // The group-by box above the headers (hidden unless a screen shows it): a
    // header dragged onto it groups by that column, its chip ungroups.
    void setGroupBoxVisible(bool on);
    bool isGroupBoxVisible() const;
    GroupByBox *groupBox() const { return m_groupBox; }
    // What a column dropped on the box does; false for a column without a field.
    bool groupByColumn(int column);

    // Fit to content, then fill the grid's width; kept on resizing while switched on.
    void setAutoWidth(bool on);
    bool autoWidth() const { return m_autoWidth; }
    void fitColumns();

    // Colouring of a screen's own rows or cells (before the red of stopped rows).
    void setCellStyle(std::function<QVariant(const Dataset &, int row, const QString &field, int role)> rule);

    // Column order, widths, visibility, sorting, automatic width and grouping.
    void saveLayout(const QString &path) const;
    bool restoreLayout(const QString &path);

    // Visible columns with field, in their shown order, with every row that passes the find filter.
    ExportTable exportTable() const;
    // Every column in definition order, hidden ones included, with the width it has now.
    PrintColumns printColumns() const;
    // Text of the footer under a field's column (empty when it has none).
    QString footerText(const QString &field) const;

    // Rows as shown (after find filter and sort): dataset row of a shown row.
    int shownRowCount() const;
    int datasetRow(int shownRow) const;

    QTableView *table() const;
    DatasetModel *datasetModel() const { return m_model; }
    GridFilterModel *filterModel() const { return m_filter; }

signals:
    void rowDoubleClicked(int datasetRow);
    // The grid's own keys for a new row (Insert) and for deleting (Ctrl+Delete).
    void insertRequested();
    void deleteRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyFind();
    void updateSearchColumns();
    void syncCurrentFromDataset();
    void onViewCurrentChanged(const QModelIndex &current);
    void rebuildGroups();
    void updateFooter();
    QList<QPair<QString, QList<int>>> bandSpans() const;

    Dataset *m_ds = nullptr;
    DatasetModel *m_model = nullptr;
    GridFilterModel *m_filter = nullptr;
    GridTable *m_table = nullptr;
    QLineEdit *m_find = nullptr;
    GridStrip *m_bands = nullptr;
    GridStrip *m_footer = nullptr;
    GroupByBox *m_groupBox = nullptr;
    QTimer m_findTimer;
    QString m_appliedFind;
    QList<GridColumn> m_columns;
    QString m_groupField;
    QList<bool> m_collapsedGroups;
    bool m_editable = true;
    bool m_autoWidth = false;
    bool m_syncing = false;
};
