#include "GridParts.h"

#include "GridModels.h"
#include "GroupRowsModel.h"
#include "data/udm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStylePainter>
#include <QToolButton>

// --- GridTable -----------------------------------------------------------------

GridTable::GridTable(QWidget *parent) : QTableView(parent)
{
    setVerticalHeader(new IndicatorHeader(this));
    if (auto *corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        corner->installEventFilter(this);
}

bool GridTable::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->inherits("QAbstractButton")) {
        paintCorner(static_cast<QWidget *>(watched));
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void GridTable::paintCorner(QWidget *corner)
{
    QStylePainter p(corner);
    QStyleOptionHeader opt;
    opt.initFrom(corner);
    opt.rect = corner->rect();
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.text = QStringLiteral("≡");
    opt.textAlignment = Qt::AlignCenter;
    p.drawControl(QStyle::CE_Header, opt);
}

void GridTable::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (model() && model()->rowCount() > 0)
        return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    p.drawText(viewport()->rect().adjusted(0, 8, 0, 0), Qt::AlignHCenter | Qt::AlignTop, emptyText());
}

QString GridTable::emptyText() { return QStringLiteral("<空空如也>"); }

bool GridTable::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opensEditor = index.isValid() && (index.flags() & Qt::ItemIsEditable) &&
                             state() != EditingState &&
                             (trigger == AllEditTriggers || (trigger & editTriggers()));
    if (opensEditor && trigger != AllEditTriggers && trigger == AnyKeyPressed) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key || key->text().isEmpty())
            return QTableView::edit(index, trigger, event);
    }
    if (opensEditor && mayEdit && !mayEdit(index))
        return false;
    return QTableView::edit(index, trigger, event);
}

void GridTable::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter commits the cell and goes on to the next one.
    const bool advance = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, advance ? QAbstractItemDelegate::NoHint : hint);
    if (advance)
        moveToNextCell();
}

void GridTable::moveToNextCell()
{
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return;
    const QHeaderView *h = horizontalHeader();
    for (int visual = h->visualIndex(cur.column()) + 1; visual < h->count(); ++visual) {
        const int logical = h->logicalIndex(visual);
        if (!h->isSectionHidden(logical)) {
            setCurrentIndex(model()->index(cur.row(), logical));
            return;
        }
    }
    for (int r = cur.row() + 1; r < model()->rowCount(); ++r) {
        if (isRowHidden(r))
            continue;
        for (int visual = 0; visual < h->count(); ++visual) {
            const int logical = h->logicalIndex(visual);
            if (!h->isSectionHidden(logical)) {
                setCurrentIndex(model()->index(r, logical));
                return;
            }
        }
    }
}

void GridTable::keyPressEvent(QKeyEvent *event)
{
    if (state() != EditingState) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            moveToNextCell();
            return;
        }
        if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            emit insertRequested();
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
            emit deleteRequested();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

// --- IndicatorHeader --------------------------------------------------------------

IndicatorHeader::IndicatorHeader(QTableView *table) : QHeaderView(Qt::Vertical, table), m_table(table)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultSectionSize(fontMetrics().height() + 8);
    setSectionResizeMode(QHeaderView::Fixed);
}

QSize IndicatorHeader::sizeHint() const
{
    // 30 pixels, wider only when the row numbers need it.
    const int digits = QString::number(qMax(1, count())).size();
    const int needed = fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('9'))) + 10;
    return {qMax(30, needed), QHeaderView::sizeHint().height()};
}

void IndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = rect;
    opt.section = logicalIndex;
    opt.position = QStyleOptionHeader::Middle;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
    const bool current = m_table->currentIndex().isValid() && m_table->currentIndex().row() == logicalIndex;
    painter->setPen(current ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    // Group rows carry no number; the rows under them are counted on as if the group rows were not there.
    const auto *groups = qobject_cast<const GroupRowsModel *>(m_table->model());
    const int number = groups ? groups->rowNumber(logicalIndex) : logicalIndex + 1;
    if (current)
        painter->drawText(rect, Qt::AlignCenter, QStringLiteral("➤"));
    else if (number > 0)
        painter->drawText(rect, Qt::AlignCenter, QString::number(number));
    painter->restore();
}

// --- GridStrip ----------------------------------------------------------------------

GridStrip::GridStrip(QTableView *table, bool headerLook, QWidget *parent)
    : QWidget(parent), m_table(table), m_headerLook(headerLook)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize GridStrip::sizeHint() const { return {100, fontMetrics().height() + 10}; }

void GridStrip::paintEvent(QPaintEvent *)
{
    if (!cells)
        return;
    QPainter p(this);
    const QHeaderView *h = m_table->horizontalHeader();
    const int origin = m_table->frameWidth() + m_table->verticalHeader()->width();
    p.setClipRect(QRect(origin, 0, m_table->viewport()->width(), height()));
    for (const Cell &cell : cells()) {
        int left = INT_MAX, right = INT_MIN;
        for (int c : cell.columns) {
            if (h->isSectionHidden(c))
                continue;
            const int x = h->sectionViewportPosition(c);
            left = qMin(left, x);
            right = qMax(right, x + h->sectionSize(c));
        }
        if (left > right)
            continue;
        const QRect r(origin + left, 0, right - left, height());
        if (m_headerLook) {
            QStyleOptionHeader opt;
            opt.initFrom(this);
            opt.rect = r;
            opt.text = cell.text;
            opt.textAlignment = Qt::AlignCenter;
            style()->drawControl(QStyle::CE_Header, &opt, &p, this);
        } else {
            p.setPen(palette().color(QPalette::Mid));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignRight, cell.text);
        }
    }
}

// --- GridDelegate ---------------------------------------------------------------------

namespace {
// Marks the text box inside an ellipsis editor.
const char *const kEllipsisText = "ckEllipsisText";
} // namespace

GridDelegate::GridDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

int GridDelegate::decimalsOf(int decimalsKind)
{
    static const char *const columns[] = {"quantity_size", "price_size", "amount_size"};
    if (decimalsKind < 1 || decimalsKind > 3 || !TfrmDM::exists())
        return 2;
    const Dataset &company = TfrmDM::instance().fdCompany;
    const QString name = QString::fromLatin1(columns[decimalsKind - 1]);
    if (!company.isActive() || company.isEmpty() || !company.hasField(name))
        return 2;
    return company.value(name).toInt();
}

QRect GridDelegate::buttonRect(const QRect &cell)
{
    const int w = qMin(cell.width(), 24);
    return {cell.right() - w + 1, cell.top() + 1, w, cell.height() - 2};
}

void GridDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const GridColumn *col = columnAt ? columnAt(index.column()) : nullptr;
    if (col && col->kind == EditorKind::Number) {
        const QVariant v = index.data(Qt::EditRole);
        option->text = v.isNull() ? QString() : QString::number(v.toDouble(), 'f', decimalsOf(col->decimalsKind));
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    }
    if (col && col->kind == EditorKind::Check)
        option->displayAlignment = Qt::AlignCenter;
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    const GridColumn *col = columnAt ? columnAt(index.column()) : nullptr;
    if (!col)
        return QStyledItemDelegate::createEditor(parent, option, index);
    switch (col->kind) {
    case EditorKind::Ellipsis: {
        auto *box = new QWidget(parent);
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto *edit = new QLineEdit(box);
        edit->setProperty(kEllipsisText, true);
        edit->installEventFilter(const_cast<GridDelegate *>(this));
        auto *button = new QToolButton(box);
        button->setText(QStringLiteral("…"));
        layout->addWidget(edit);
        layout->addWidget(button);
        box->setFocusProxy(edit);
        const auto action = col->onButton;
        const QPersistentModelIndex cell(index);
        connect(button, &QToolButton::clicked, box, [action, edit, cell] {
            if (!action)
                return;
            action();
            // The picker may have changed the field: the editor shows what the row now holds,
            // so closing it does not write the old text back.
            if (cell.isValid())
                edit->setText(cell.data(Qt::EditRole).toString());
        });
        return box;
    }
    case EditorKind::DropDown: {
        auto *combo = new QComboBox(parent);
        combo->addItems(col->items);
        return combo;
    }
    case EditorKind::Date: {
        auto *date = new QDateEdit(parent);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        return date;
    }
    case EditorKind::DateTime: {
        auto *date = new QDateTimeEdit(parent);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return date;
    }
    case EditorKind::Number: {
        auto *spin = new QDoubleSpinBox(parent);
        spin->setRange(-1e12, 1e12);
        spin->setDecimals(decimalsOf(col->decimalsKind));
        spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        return spin;
    }
    default:
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QVariant v = index.data(Qt::EditRole);
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setCurrentIndex(combo->findText(v.toString()));
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(editor)) {
        const QDateTime dt = v.typeId() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
        date->setDateTime(dt.isValid() ? dt : QDateTime::currentDateTime());
    } else if (auto *spin = qobject_cast<QDoubleSpinBox *>(editor)) {
        spin->setValue(v.toDouble());
    } else if (auto *edit = editor->findChild<QLineEdit *>(); edit && !qobject_cast<QLineEdit *>(editor)) {
        edit->setText(v.toString());
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        model->setData(index, combo->currentText());
    } else if (auto *date = qobject_cast<QDateEdit *>(editor)) {
        model->setData(index, date->date());
    } else if (auto *dateTime = qobject_cast<QDateTimeEdit *>(editor)) {
        model->setData(index, dateTime->dateTime());
    } else if (auto *spin = qobject_cast<QDoubleSpinBox *>(editor)) {
        model->setData(index, spin->value());
    } else if (auto *edit = editor->findChild<QLineEdit *>(); edit && !qobject_cast<QLineEdit *>(editor)) {
        const GridColumn *col = columnAt ? columnAt(index.column()) : nullptr;
        if (col && col->onValidate) {
            if (edit->text() != index.data(Qt::EditRole).toString())
                col->onValidate(edit->text());
        } else {
            model->setData(index, edit->text());
        }
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
}

void GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const GridColumn *col = columnAt ? columnAt(index.column()) : nullptr;
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);

    if (col && col->kind == EditorKind::Button) {
        opt.text.clear();
        const QWidget *w = opt.widget;
        QStyle *style = w ? w->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        QStyleOptionButton button;
        button.rect = buttonRect(opt.rect);
        button.text = QStringLiteral("…");
        button.state = QStyle::State_Enabled;
        if (style)
            style->drawControl(QStyle::CE_PushButton, &button, painter, w);
        return;
    }

    // Find panel matches: yellow text on red.
    QList<QPair<int, int>> hits;
    if (findTerms && !opt.text.isEmpty()) {
        for (const FindTerm &t : findTerms()) {
            if (t.mode == FindTerm::Mode::Excluded)
                continue;
            for (int from = 0; (from = opt.text.indexOf(t.text, from, Qt::CaseInsensitive)) >= 0; from += t.text.size())
                hits.append({from, t.text.size()});
        }
    }
    if (hits.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    std::sort(hits.begin(), hits.end());
    const QString text = opt.text;
    opt.text.clear();
    const QWidget *w = opt.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w).adjusted(3, 0, -3, 0);
    painter->save();
    painter->setFont(opt.font);
    painter->setClipRect(textRect);
    const QFontMetrics fm(opt.font);
    const QColor normal = opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    const QVariant fg = index.data(Qt::ForegroundRole);
    const QColor textColour = fg.canConvert<QBrush>() && fg.isValid() ? fg.value<QBrush>().color() : normal;
    int x = textRect.left();
    if (opt.displayAlignment & Qt::AlignRight)
        x = textRect.right() - fm.horizontalAdvance(text);
    int pos = 0;
    auto drawPart = [&](const QString &part, bool hit) {
        const int width = fm.horizontalAdvance(part);
        const QRect r(x, textRect.top(), width, textRect.height());
        if (hit) {
            painter->fillRect(r, Qt::red);
            painter->setPen(Qt::yellow);
        } else {
            painter->setPen(textColour);
        }
        painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, part);
        x += width;
    };
    for (const auto &h : std::as_const(hits)) {
        if (h.first < pos)
            continue;
        drawPart(text.mid(pos, h.first - pos), false);
        drawPart(text.mid(h.first, h.second), true);
        pos = h.first + h.second;
    }
    drawPart(text.mid(pos), false);
    painter->restore();
}

bool GridDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // The text box of an ellipsis editor holds the focus: its Enter, Tab and Esc stand for the
    // whole editor. Focus changes are left alone, since the "…" button's picker takes the focus.
    if (event->type() == QEvent::KeyPress && watched->property(kEllipsisText).toBool())
        if (auto *box = qobject_cast<QWidget *>(watched->parent()))
            return QStyledItemDelegate::eventFilter(box, event);
    return QStyledItemDelegate::eventFilter(watched, event);
}

bool GridDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                               const QModelIndex &index)
{
    const GridColumn *col = columnAt ? columnAt(index.column()) : nullptr;
    if (col && col->kind == EditorKind::Button && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && buttonRect(option.rect).contains(mouse->position().toPoint()) &&
            col->onButton) {
            col->onButton();
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
