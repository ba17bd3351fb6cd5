#include "PropertyGrid.h"

#include "data/Dataset.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {
const QColor kLineColour(0xc8, 0xcc, 0xd2);
const QColor kHeadingColour(0xdc, 0xe4, 0xf0);
const QColor kCaptionColour(0xf4, 0xf5, 0xf7);
const QColor kFocusColour(0xff, 0xe8, 0xa6);
constexpr int kRowHeight = 26;

void fill(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// Numbers are shown without trailing zeros: 12.5, not 12.5000000000.
QString numberText(const QVariant &v)
{
    if (v.isNull())
        return {};
    QString text = QString::number(v.toDouble(), 'f', 10);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
} // namespace

PropertyGrid::PropertyGrid(QWidget *parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_body = new QWidget;
    fill(m_body, kLineColour); // the one-pixel gaps between the cells draw the grid lines
    m_layout = new QGridLayout(m_body);
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->setSpacing(1);
    m_layout->setColumnStretch(1, 1);
    setWidget(m_body);
    connect(qApp, &QApplication::focusChanged, this, [this] { highlightFocusedRow(); });
}

PropertyGrid::~PropertyGrid()
{
    // The editors go first, while the grid is whole; no change may reach the dataset on the way.
    disconnect(qApp, nullptr, this, nullptr);
    m_loading = true;
    delete takeWidget();
    m_rows.clear();
}

void PropertyGrid::setDataset(Dataset *ds)
{
    if (m_ds)
        disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    connect(ds, &Dataset::currentRowChanged, this, &PropertyGrid::loadValues);
    connect(ds, &Dataset::rowsReset, this, &PropertyGrid::loadValues);
    connect(ds, &Dataset::stateChanged, this, &PropertyGrid::loadValues);
    connect(ds, &Dataset::rowChanged, this, [this](int row) {
        if (m_ds && row == m_ds->recNo())
            loadValues();
    });
    loadValues();
}

void PropertyGrid::setCategories(const QList<PropertyCategory> &categories)
{
    int line = 0;
    for (const PropertyCategory &category : categories) {
        auto *heading = new QLabel(category.caption, m_body);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setFixedHeight(kRowHeight);
        heading->setContentsMargins(6, 0, 6, 0);
        fill(heading, kHeadingColour);
        m_layout->addWidget(heading, line++, 0, 1, 2);
        m_headings << heading;
        for (const PropertyRow &def : category.rows) {
            Row row;
            row.def = def;
            row.label = new QLabel(def.caption, m_body);
            row.label->setFixedHeight(kRowHeight);
            row.label->setContentsMargins(18, 0, 10, 0); // rows sit indented under their heading
            fill(row.label, kCaptionColour);
            row.cell = new QWidget(m_body);
            fill(row.cell, palette().color(QPalette::Base));
            auto *cellLayout = new QHBoxLayout(row.cell);
            cellLayout->setContentsMargins(2, 0, 0, 0);
            cellLayout->setSpacing(0);
            cellLayout->addWidget(createEditor(row));
            row.cell->setFixedHeight(kRowHeight);
            m_layout->addWidget(row.label, line, 0);
            m_layout->addWidget(row.cell, line++, 1);
            m_rows.append(row);
        }
    }
    m_layout->setRowStretch(line, 1);
    // The filler below the last row keeps the grid's own background rather than the lines' colour.
    auto *filler = new QWidget(m_body);
    fill(filler, palette().color(QPalette::Window));
    m_layout->addWidget(filler, line, 0, 1, 2);
    for (Row &row : m_rows)
        watchKeys(row.cell);
    loadValues();
}

QWidget *PropertyGrid::createEditor(Row &row)
{
    const PropertyRow &def = row.def;
    const QString field = def.field;
    switch (def.kind) {
    case EditorKind::Ellipsis: {
        auto *box = new QWidget;
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto *edit = new QLineEdit(box);
        edit->setFrame(false);
        edit->setReadOnly(true); // the button chooses; a typed text would name nothing
        auto *button = new QToolButton(box);
        button->setText(QStringLiteral("…"));
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(edit, 1);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, field] {
            if (const Row *r = rowOf(field); r && r->def.onButton) {
                focusRow(field);
                r->def.onButton();
            }
        });
        row.editor = edit;
        return box;
    }
    case EditorKind::DropDown: {
        auto *combo = new QComboBox;
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setFrame(false);
        combo->addItems(def.items);
        if (def.maxLength > 0)
            combo->lineEdit()->setMaxLength(def.maxLength);
        connect(combo, &QComboBox::currentTextChanged, this, [this, field](const QString &text) {
            write(field, text);
        });
        row.editor = combo;
        return combo;
    }
    case EditorKind::Number: {
        auto *edit = new QLineEdit;
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *validator = new QDoubleValidator(edit);
        validator->setLocale(QLocale::c());
        validator->setNotation(QDoubleValidator::StandardNotation);
        edit->setValidator(validator);
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) {
            bool ok = false;
            const double v = text.toDouble(&ok);
            write(field, ok ? QVariant(v) : QVariant());
        });
        row.editor = edit;
        return edit;
    }
    case EditorKind::DateTime:
    case EditorKind::Date: {
        auto *date = new QDateTimeEdit;
        date->setFrame(false);
        date->setCalendarPopup(true);
        date->setButtonSymbols(QAbstractSpinBox::NoButtons);
        date->setDisplayFormat(def.kind == EditorKind::Date ? QStringLiteral("yyyy-MM-dd")
                                                              : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        connect(date, &QDateTimeEdit::dateTimeChanged, this, [this, field, date](const QDateTime &dt) {
            write(field, date->displayFormat().contains(QLatin1Char('H')) ? QVariant(dt) : QVariant(dt.date()));
        });
        row.editor = date;
        return date;
    }
    case EditorKind::Check: {
        auto *check = new QCheckBox;
        connect(check, &QCheckBox::clicked, this, [this, field](bool on) { write(field, on); });
        row.editor = check;
        return check;
    }
    default: {
        auto *edit = new QLineEdit;
        edit->setFrame(false);
        edit->setReadOnly(def.kind == EditorKind::ReadOnly);
        if (def.maxLength > 0)
            edit->setMaxLength(def.maxLength);
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) { write(field, text); });
        row.editor = edit;
        return edit;
    }
    }
}

void PropertyGrid::watchKeys(QWidget *w)
{
    w->installEventFilter(this);
    for (QWidget *child : w->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool PropertyGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        // A drop-down's or calendar's own popup keeps its keys.
        if (w && w->window() == window() && rowOfWidget(w) >= 0) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab:
                focusNextRow();
                return true;
            case Qt::Key_Backtab:
                focusPriorRow();
                return true;
            default:
                break;
            }
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void PropertyGrid::write(const QString &field, const QVariant &value)
{
    if (m_loading || !m_ds || !m_ds->isActive() || m_ds->recNo() < 0)
        return;
    // The editor being typed into keeps its text and cursor while the row reports the change.
    m_writingField = field;
    const bool accepted = m_ds->setValue(field, value);
    m_writingField.clear();
    if (!accepted)
        loadValues(); // the row may not be changed: show what it holds
}

void PropertyGrid::loadValues()
{
    for (Row &row : m_rows)
        if (row.def.field != m_writingField)
            loadValue(row);
}

void PropertyGrid::loadValue(Row &row)
{
    const bool hasRow = m_ds && m_ds->isActive() && m_ds->recNo() >= 0 && m_ds->hasField(row.def.field);
    const QVariant v = hasRow ? m_ds->value(row.def.field) : QVariant();
    m_loading = true;
    if (auto *combo = qobject_cast<QComboBox *>(row.editor)) {
        combo->setEditText(v.toString());
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(row.editor)) {
        const QDateTime dt = v.typeId() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
        date->setSpecialValueText(QStringLiteral(" "));
        date->setDateTime(dt.isValid() ? dt : date->minimumDateTime());
    } else if (auto *check = qobject_cast<QCheckBox *>(row.editor)) {
        check->setChecked(v.toBool());
    } else if (auto *edit = qobject_cast<QLineEdit *>(row.editor)) {
        const QString text = row.def.kind == EditorKind::Number ? numberText(v) : v.toString();
        if (edit->text() != text)
            edit->setText(text);
    }
    m_loading = false;
}

QStringList PropertyGrid::headings() const
{
    QStringList out;
    for (const QLabel *l : m_headings)
        out << l->text();
    return out;
}

QStringList PropertyGrid::fields() const
{
    QStringList out;
    for (const Row &row : m_rows)
        out << row.def.field;
    return out;
}

const PropertyGrid::Row *PropertyGrid::rowOf(const QString &field) const
{
    for (const Row &row : m_rows)
        if (row.def.field == field)
            return &row;
    return nullptr;
}

QString PropertyGrid::captionOf(const QString &field) const
{
    const Row *r = rowOf(field);
    return r ? r->def.caption : QString();
}

QWidget *PropertyGrid::editor(const QString &field) const
{
    const Row *r = rowOf(field);
    return r ? r->editor : nullptr;
}

QString PropertyGrid::shownText(const QString &field) const
{
    QWidget *w = editor(field);
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *date = qobject_cast<QDateTimeEdit *>(w))
        return date->text().trimmed();
    if (auto *check = qobject_cast<QCheckBox *>(w))
        return check->isChecked() ? QStringLiteral("是") : QStringLiteral("否");
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    return {};
}

void PropertyGrid::setItems(const QString &field, const QStringList &items)
{
    const Row *r = rowOf(field);
    auto *combo = r ? qobject_cast<QComboBox *>(r->editor) : nullptr;
    if (!combo)
        return;
    m_loading = true;
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(items);
    combo->setEditText(text);
    m_loading = false;
}

int PropertyGrid::rowOfWidget(const QWidget *w) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (w && (w == m_rows[i].cell || m_rows[i].cell->isAncestorOf(w)))
            return i;
    return -1;
}

void PropertyGrid::focusRow(const QString &field)
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].def.field != field)
            continue;
        m_rows[i].editor->setFocus(Qt::TabFocusReason);
        ensureWidgetVisible(m_rows[i].cell);
        m_focusedRow = i;
        highlightFocusedRow();
        return;
    }
}

QString PropertyGrid::focusedField() const
{
    const int i = rowOfWidget(window()->focusWidget());
    return i >= 0 ? m_rows[i].def.field : QString();
}

void PropertyGrid::moveFocus(int step)
{
    if (m_rows.isEmpty())
        return;
    int from = rowOfWidget(window()->focusWidget());
    if (from < 0)
        from = m_focusedRow >= 0 ? m_focusedRow : (step > 0 ? -1 : 0);
    const int next = (from + step + m_rows.size()) % m_rows.size();
    focusRow(m_rows[next].def.field);
}

void PropertyGrid::focusNextRow() { moveFocus(1); }
void PropertyGrid::focusPriorRow() { moveFocus(-1); }

void PropertyGrid::highlightFocusedRow()
{
    const int focused = rowOfWidget(window()->focusWidget());
    if (focused >= 0)
        m_focusedRow = focused;
    for (int i = 0; i < m_rows.size(); ++i)
        fill(m_rows[i].label, i == focused ? kFocusColour : kCaptionColour);
}

QSize PropertyGrid::sizeHint() const
{
    const QSize body = m_body->sizeHint();
    return {body.width() + 2 * frameWidth(), body.height() + 2 * frameWidth()};
}
