#pragma once

#include "GridColumn.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>
#include <functional>

class Dataset;
class QGridLayout;
class QLabel;

// One row of a property grid: a caption and the editor of one field.
struct PropertyRow {
    QString field;
    QString caption;
    // Text, ReadOnly, Ellipsis (read-only text with a "…" button), DropDown
    // (choices, any text may also be typed), Number, DateTime or Check.
    EditorKind kind = EditorKind::Text;
    int maxLength = 0; // 0: no limit
    QStringList items;
    std::function<void()> onButton; // Ellipsis rows
};

// A heading and the rows grouped under it.
struct PropertyCategory {
    QString caption;
    QList<PropertyRow> rows;
};

// Vertical property grid of the record dialogs: headed groups of rows, each
// a caption beside the editor of one field of the dataset's current row.
// Every editor is always shown, so the focused row has its editor at hand;
// typing puts the dataset into edit state. Enter and Tab move to the next
// row (Shift+Tab to the previous one) and wrap around at the ends; the grid
// never moves the dataset to another record.
class PropertyGrid : public QScrollArea {
    Q_OBJECT
public:
    explicit PropertyGrid(QWidget *parent = nullptr);
    ~PropertyGrid() override;

    void setDataset(Dataset *ds);
    void setCategories(const QList<PropertyCategory> &categories);
    // Replaces the choices of a DropDown row (for lists read after construction).
    void setItems(const QString &field, const QStringList &items);

    QStringList headings() const;
    // Fields of the rows in their shown order.
    QStringList fields() const;
    QString captionOf(const QString &field) const;
    QWidget *editor(const QString &field) const;
    // Text shown by a row's editor ("是"/"否" for check rows).
    QString shownText(const QString &field) const;

    void focusRow(const QString &field);
    // Field of the row holding the focus; empty when the focus is elsewhere.
    QString focusedField() const;
    void focusNextRow();
    void focusPriorRow();

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row {
        PropertyRow def;
        QLabel *label = nullptr;
        QWidget *cell = nullptr;   // the white cell holding the editor
        QWidget *editor = nullptr; // the widget that takes the focus
    };

    QWidget *createEditor(Row &row);
    void watchKeys(QWidget *w);
    void write(const QString &field, const QVariant &value);
    void loadValues();
    void loadValue(Row &row);
    void highlightFocusedRow();
    int rowOfWidget(const QWidget *w) const;
    void moveFocus(int step);
    const Row *rowOf(const QString &field) const;

    QPointer<Dataset> m_ds;
    QWidget *m_body = nullptr;
    QGridLayout *m_layout = nullptr;
    QList<QLabel *> m_headings;
    QList<Row> m_rows;
    int m_focusedRow = -1;
    bool m_loading = false;
    QString m_writingField;
};
