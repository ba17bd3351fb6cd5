#include "GridView.h"

#include "GridModels.h"
#include "GridParts.h"
#include "GroupByBox.h"
#include "GroupRowsModel.h"
#include "data/Dataset.h"
#include "data/DatasetModel.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>

namespace {
GroupRowsModel *groupModelOf(const QTableView *table)
{
    return qobject_cast<GroupRowsModel *>(table->model());
}
} // namespace

GridView::GridView(QWidget *parent) : QWidget(parent)
{
    m_find = new QLineEdit(this);
    m_find->setPlaceholderText(QStringLiteral("请输入要搜索的内容......"));
    m_find->setClearButtonEnabled(true);
    m_findTimer.setSingleShot(true);
    m_findTimer.setInterval(500);
    connect(m_find, &QLineEdit::textEdited, &m_findTimer, qOverload<>(&QTimer::start));
    connect(m_find, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (t.isEmpty())
            applyFind(); // the clear button acts at once
    });
    connect(&m_findTimer, &QTimer::timeout, this, &GridView::applyFind);

    m_table = new GridTable(this);
    m_table->setAlternatingRowColors(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSortingEnabled(true);
    m_table->horizontalHeader()->setSectionsMovable(true);
    m_table->horizontalHeader()->setSortIndicatorShown(true);
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setTabKeyNavigation(true);
    m_table->setWordWrap(false);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);

    m_filter = new GridFilterModel(this);
    auto *delegate = new GridDelegate(this);
    delegate->columnAt = [this](int column) -> const GridColumn * {
        return column >= 0 && column < m_columns.size() ? &m_columns[column] : nullptr;
    };
    delegate->findTerms = [this]() -> const QList<FindTerm> & { return m_filter->findTerms(); };
    m_table->setItemDelegate(delegate);
    m_table->mayEdit = [this](const QModelIndex &index) {
        const int row = datasetRow(index.row());
        if (!m_ds || row < 0)
            return false;
        if (m_ds->isEditing() && m_ds->recNo() == row)
            return true;
        return m_ds->setRecNo(row) && m_ds->edit();
    };

    m_bands = new GridStrip(m_table, true, this);
    m_bands->cells = [this] {
        QList<GridStrip::Cell> cells;
        for (const auto &span : bandSpans())
            cells.append({span.second, span.first});
        return cells;
    };
    m_bands->hide();
    m_footer = new GridStrip(m_table, false, this);
    m_footer->cells = [this] {
        QList<GridStrip::Cell> cells;
        for (int c = 0; c < m_columns.size(); ++c)
            if (m_columns[c].summary != Summary::None)
                cells.append({{c}, footerText(m_columns[c].field)});
        return cells;
    };
    m_footer->hide();

    m_groupBox = new GroupByBox(this);
    m_groupBox->hide();
    connect(m_groupBox, &GroupByBox::ungroupRequested, this, [this] { setGroupField(QString()); });
    connect(m_groupBox, &GroupByBox::expandAllRequested, this, &GridView::expandAll);
    connect(m_groupBox, &GroupByBox::collapseAllRequested, this, &GridView::collapseAll);
    auto *headerDrag = new HeaderGroupDrag(m_table->horizontalHeader(), m_groupBox);
    headerDrag->canGroup = [this](int column) {
        return column >= 0 && column < m_columns.size() && !m_columns[column].field.isEmpty();
    };
    connect(headerDrag, &HeaderGroupDrag::dropped, this, &GridView::groupByColumn);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_find);
    layout->addWidget(m_groupBox);
    layout->addWidget(m_bands);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_footer);

    auto repaintStrips = [this] {
        m_bands->update();
        m_footer->update();
    };
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, repaintStrips);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionMoved, this, repaintStrips);
    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaintStrips);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        auto *groups = groupModelOf(m_table);
        if (groups && groups->isGroupRow(index.row())) {
            const bool collapse = !groups->memberRows(index.row()).isEmpty() &&
                                  !m_table->isRowHidden(groups->memberRows(index.row()).first());
            for (int r : groups->memberRows(index.row()))
                m_table->setRowHidden(r, collapse);
            return;
        }
        const int row = datasetRow(index.row());
        if (row >= 0)
            emit rowDoubleClicked(row);
    });
    connect(m_table, &GridTable::insertRequested, this, &GridView::insertRequested);
    connect(m_table, &GridTable::deleteRequested, this, &GridView::deleteRequested);
}

GridView::~GridView() = default;

QTableView *GridView::table() const { return m_table; }

void GridView::setDataset(Dataset *ds)
{
    m_ds = ds;
    m_model = new DatasetModel(ds, this);
    m_filter->setDataset(ds);
    m_filter->setSourceModel(m_model);
    m_table->setModel(m_filter);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onViewCurrentChanged(current); });
    connect(ds, &Dataset::currentRowChanged, this, &GridView::syncCurrentFromDataset);
    connect(ds, &Dataset::rowsReset, this, [this] {
        syncCurrentFromDataset();
        updateFooter();
        if (m_autoWidth)
            fitColumns();
    });
    connect(ds, &Dataset::rowInserted, this, [this](int row) {
        // A new row starts in its first cell.
        const QModelIndex shown = m_filter->mapFromSource(m_model->index(row, 0));
        if (shown.isValid()) {
            m_syncing = true;
            const int first = m_table->horizontalHeader()->logicalIndex(0);
            m_table->setCurrentIndex(m_table->model()->index(shown.row(), qMax(0, first)));
            m_syncing = false;
        }
    });
    connect(ds, &Dataset::rowChanged, this, [this] { updateFooter(); });
    connect(ds, &Dataset::rowRemoved, this, [this] { updateFooter(); });
}

void GridView::setColumns(const QList<GridColumn> &columns)
{
    m_columns = columns;
    QStringList fields, captions;
    for (const GridColumn &c : columns) {
        fields << c.field;
        captions << c.caption;
    }
    m_model->setColumns(fields, captions);
    for (const GridColumn &c : columns)
        if (!c.field.isEmpty())
            m_model->setColumnReadOnly(c.field, c.kind == EditorKind::ReadOnly || c.readOnly);
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].width > 0)
            m_table->setColumnWidth(i, columns[i].width);
        else if (columns[i].kind == EditorKind::Button)
            m_table->setColumnWidth(i, 30);
    }
    updateSearchColumns();
    connect(m_table->horizontalHeader(), &QHeaderView::sectionCountChanged, this, &GridView::updateSearchColumns,
            Qt::UniqueConnection);
}

int GridView::columnOf(const QString &field) const
{
    if (field.isEmpty()) // picture and button columns have no field; none of them is meant
        return -1;
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field == field)
            return i;
    return -1;
}

void GridView::setEditable(bool on)
{
    m_editable = on;
    m_model->setReadOnly(!on);
    m_table->viewport()->update();
}

void GridView::setFindText(const QString &text)
{
    m_find->setText(text);
    applyFind();
}

void GridView::applyFind()
{
    m_findTimer.stop();
    m_appliedFind = m_find->text();
    updateSearchColumns();
    m_filter->setFindText(m_appliedFind);
    syncCurrentFromDataset();
    updateFooter();
}

void GridView::updateSearchColumns()
{
    QSet<int> visible;
    for (int c = 0; c < m_columns.size(); ++c)
        if (!m_table->isColumnHidden(c) && !m_columns[c].field.isEmpty())
            visible.insert(c);
    m_filter->setSearchColumns(visible);
}

int GridView::shownRowCount() const { return m_table->model() ? m_table->model()->rowCount() : 0; }

int GridView::datasetRow(int shownRow) const
{
    QModelIndex idx = m_table->model()->index(shownRow, 0);
    if (auto *groups = groupModelOf(m_table))
        idx = groups->mapToSource(idx);
    if (!idx.isValid())
        return -1;
    return m_filter->mapToSource(idx).row();
}

void GridView::syncCurrentFromDataset()
{
    if (m_syncing || !m_ds)
        return;
    const int row = m_ds->recNo();
    QModelIndex shown = row < 0 ? QModelIndex() : m_filter->mapFromSource(m_model->index(row, 0));
    if (auto *groups = groupModelOf(m_table))
        shown = groups->mapFromSource(shown);
    m_syncing = true;
    if (!shown.isValid()) {
        m_table->selectionModel()->clearCurrentIndex();
    } else if (m_table->currentIndex().row() != shown.row()) {
        const int column = m_table->currentIndex().isValid() ? m_table->currentIndex().column()
                                                              : qMax(0, m_table->horizontalHeader()->logicalIndex(0));
        m_table->setCurrentIndex(m_table->model()->index(shown.row(), column));
    }
    m_syncing = false;
    m_table->verticalHeader()->viewport()->update();
}

void GridView::onViewCurrentChanged(const QModelIndex &current)
{
    m_table->verticalHeader()->viewport()->update();
    if (m_syncing || !m_ds || !current.isValid())
        return;
    const int row = datasetRow(current.row());
    if (row < 0 || row == m_ds->recNo())
        return;
    // Moving away from a row posts it; a refused post keeps the person on that row.
    if (!m_ds->setRecNo(row))
        QMetaObject::invokeMethod(this, &GridView::syncCurrentFromDataset, Qt::QueuedConnection);
}

void GridView::setBandsVisible(bool on) { m_bands->setVisible(on); }

void GridView::setFooterVisible(bool on)
{
    m_footer->setVisible(on);
    updateFooter();
}

QList<QPair<QString, QList<int>>> GridView::bandSpans() const
{
    QList<QPair<QString, QList<int>>> spans;
    const QHeaderView *h = m_table->horizontalHeader();
    for (int visual = 0; visual < h->count(); ++visual) {
        const int logical = h->logicalIndex(visual);
        if (logical >= m_columns.size() || h->isSectionHidden(logical))
            continue;
        const QString &band = m_columns[logical].band;
        if (!spans.isEmpty() && spans.last().first == band)
            spans.last().second << logical;
        else
            spans.append({band, {logical}});
    }
    return spans;
}

QString GridView::footerText(const QString &field) const
{
    const int c = columnOf(field);
    if (c < 0 || !m_ds || !m_ds->isActive())
        return {};
    const GridColumn &col = m_columns[c];
    const int rows = m_filter->rowCount();
    if (col.summary == Summary::Count)
        return QString::number(rows);
    if (col.summary != Summary::Sum)
        return {};
    double sum = 0;
    for (int r = 0; r < rows; ++r)
        sum += m_ds->valueAt(m_filter->mapToSource(m_filter->index(r, 0)).row(), field).toDouble();
    return QString::number(sum, 'f', GridDelegate::decimalsOf(col.decimalsKind));
}

void GridView::updateFooter()
{
    if (m_footer->isVisible())
        m_footer->update();
}

void GridView::setGroupField(const QString &field)
{
    const int column = columnOf(field);
    m_groupField = column < 0 ? QString() : field;
    auto *groups = groupModelOf(m_table);
    QAbstractItemModel *shown = m_table->model();
    if (column < 0) {
        if (groups) {
            m_table->setModel(m_filter);
            groups->deleteLater();
        }
    } else {
        if (!groups) {
            groups = new GroupRowsModel(this);
            groups->setSourceModel(m_filter);
            m_table->setModel(groups);
            connect(groups, &QAbstractItemModel::modelReset, this, &GridView::rebuildGroups);
        }
        groups->setGroupColumn(column);
    }
    if (m_table->model() != shown) // a new model comes with a new selection model
        connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex &current) { onViewCurrentChanged(current); });
    m_groupBox->setGroupCaption(column < 0 ? QString() : m_columns[column].caption);
    rebuildGroups();
    syncCurrentFromDataset();
}

void GridView::setGroupBoxVisible(bool on) { m_groupBox->setVisible(on); }

bool GridView::isGroupBoxVisible() const { return !m_groupBox->isHidden(); }

bool GridView::groupByColumn(int column)
{
    if (column < 0 || column >= m_columns.size() || m_columns[column].field.isEmpty())
        return false;
    setGroupField(m_columns[column].field);
    return true;
}

void GridView::rebuildGroups()
{
    m_table->clearSpans();
    auto *groups = groupModelOf(m_table);
    if (!groups)
        return;
    const int columns = qMax(1, groups->columnCount());
    for (int r = 0; r < groups->rowCount(); ++r) {
        m_table->setRowHidden(r, false);
        if (groups->isGroupRow(r))
            m_table->setSpan(r, 0, 1, columns);
    }
}

void GridView::expandAll()
{
    for (int r = 0; r < shownRowCount(); ++r)
        m_table->setRowHidden(r, false);
}

void GridView::collapseAll()
{
    auto *groups = groupModelOf(m_table);
    if (!groups)
        return;
    for (int r = 0; r < groups->rowCount(); ++r)
        m_table->setRowHidden(r, !groups->isGroupRow(r));
}

void GridView::setAutoWidth(bool on)
{
    m_autoWidth = on;
    fitColumns();
}

void GridView::fitColumns()
{
    m_table->resizeColumnsToContents();
    if (!m_autoWidth)
        return;
    // Spread the remaining width over the columns in proportion to their fitted widths.
    QHeaderView *h = m_table->horizontalHeader();
    int total = 0;
    for (int c = 0; c < h->count(); ++c)
        if (!h->isSectionHidden(c))
            total += h->sectionSize(c);
    const int room = m_table->viewport()->width();
    if (total <= 0 || total >= room)
        return;
    int used = 0, last = -1;
    for (int c = 0; c < h->count(); ++c) {
        if (h->isSectionHidden(c))
            continue;
        const int w = h->sectionSize(c) * room / total;
        h->resizeSection(c, w);
        used += w;
        last = c;
    }
    if (last >= 0)
        h->resizeSection(last, h->sectionSize(last) + room - used);
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_autoWidth)
        QMetaObject::invokeMethod(this, &GridView::fitColumns, Qt::QueuedConnection);
}

void GridView::setCellStyle(std::function<QVariant(const Dataset &, int, const QString &, int)> rule)
{
    m_filter->cellStyle = std::move(rule);
}

// Layout file: one group per column, named after its field, so that a column
// added to a screen later simply keeps its default place.
void GridView::saveLayout(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path); // rewritten whole
    QSettings s(path, QSettings::IniFormat);
    const QHeaderView *h = m_table->horizontalHeader();
    s.setValue(QStringLiteral("view/autoWidth"), m_autoWidth);
    const int sortColumn = h->sortIndicatorSection();
    s.setValue(QStringLiteral("view/sortField"),
               sortColumn >= 0 && sortColumn < m_columns.size() ? m_columns[sortColumn].field : QString());
    s.setValue(QStringLiteral("view/sortOrder"), static_cast<int>(h->sortIndicatorOrder()));
    s.setValue(QStringLiteral("view/groupField"), m_groupField);
    for (int c = 0; c < m_columns.size(); ++c) {
        const QString key = m_columns[c].field.isEmpty() ? QStringLiteral("#%1").arg(c) : m_columns[c].field;
        s.beginGroup(QStringLiteral("column_") + key);
        s.setValue(QStringLiteral("position"), h->visualIndex(c));
        s.setValue(QStringLiteral("width"), h->sectionSize(c));
        s.setValue(QStringLiteral("hidden"), h->isSectionHidden(c));
        s.endGroup();
    }
    s.sync();
}

bool GridView::restoreLayout(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    QSettings s(path, QSettings::IniFormat);
    QHeaderView *h = m_table->horizontalHeader();
    QList<QPair<int, int>> positions; // wanted position, column
    for (int c = 0; c < m_columns.size(); ++c) {
        const QString key = m_columns[c].field.isEmpty() ? QStringLiteral("#%1").arg(c) : m_columns[c].field;
        s.beginGroup(QStringLiteral("column_") + key);
        if (s.contains(QStringLiteral("width"))) {
            const int w = s.value(QStringLiteral("width")).toInt();
            if (w > 0)
                h->resizeSection(c, w);
            h->setSectionHidden(c, s.value(QStringLiteral("hidden")).toBool());
            positions.append({s.value(QStringLiteral("position")).toInt(), c});
        }
        s.endGroup();
    }
    std::sort(positions.begin(), positions.end());
    for (const auto &p : std::as_const(positions))
        h->moveSection(h->visualIndex(p.second), qBound(0, p.first, h->count() - 1));
    const int sortColumn = columnOf(s.value(QStringLiteral("view/sortField")).toString());
    if (sortColumn >= 0)
        m_table->sortByColumn(sortColumn, static_cast<Qt::SortOrder>(s.value(QStringLiteral("view/sortOrder")).toInt()));
    m_autoWidth = s.value(QStringLiteral("view/autoWidth"), m_autoWidth).toBool();
    // A field the screen no longer has leaves the grid ungrouped.
    if (s.contains(QStringLiteral("view/groupField")))
        setGroupField(s.value(QStringLiteral("view/groupField")).toString());
    updateSearchColumns();
    return true;
}

PrintColumns GridView::printColumns() const
{
    PrintColumns out;
    const QHeaderView *h = m_table->horizontalHeader();
    for (int i = 0; i < m_columns.size(); ++i) {
        const GridColumn &c = m_columns[i];
        PrintColumn p;
        p.fieldName = c.field;
        p.caption = c.caption;
        p.visible = !h->isSectionHidden(i);
        p.width = h->isSectionHidden(i) ? (c.width > 0 ? c.width : h->defaultSectionSize()) : h->sectionSize(i);
        p.tag = c.tag;
        out << p;
    }
    return out;
}

ExportTable GridView::exportTable() const
{
    ExportTable t;
    const QHeaderView *h = m_table->horizontalHeader();
    QStringList fields;
    for (int visual = 0; visual < h->count(); ++visual) {
        const int logical = h->logicalIndex(visual);
        if (logical >= m_columns.size() || h->isSectionHidden(logical) || m_columns[logical].field.isEmpty())
            continue;
        if (!m_ds->hasField(m_columns[logical].field))
            continue;
        t.captions << m_columns[logical].caption;
        fields << m_columns[logical].field;
    }
    for (int r = 0; r < m_filter->rowCount(); ++r) {
        const int row = m_filter->mapToSource(m_filter->index(r, 0)).row();
        QVariantList values;
        for (const QString &f : std::as_const(fields))
            values << m_ds->valueAt(row, f);
        t.rows << values;
    }
    return t;
}
