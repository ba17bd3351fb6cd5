#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// How a grid column shows and edits its field.
enum class EditorKind {
    Text,     // free text
    ReadOnly, // a label; never edited in the grid
    Check,    // check box (boolean fields)
    Ellipsis, // text with a "…" button that runs the column's action
    Button,   // no field: a "…" button always shown in every row
    DropDown, // choice from the column's items
    Date,     // date with a calendar
    DateTime, // date and time
    Number,   // number with the company's decimals for its kind
};

// What the footer shows under a column.
enum class Summary { None, Sum, Count };

struct GridColumn {
    QString field;   // dataset field; empty for a Button column
    QString caption; // header text
    EditorKind kind = EditorKind::Text;
    // Decimals of a Number column: 1 quantity, 2 price, 3 amount (company settings), 0 none.
    int decimalsKind = 0;
    QStringList items; // DropDown choices
    // Ellipsis and Button columns: runs when the button is pressed (on the current row).
    std::function<void()> onButton;
    QString band; // caption of the band above the column; consecutive equal bands merge
    Summary summary = Summary::None;
    int width = 0; // initial width in pixels; 0 = fitted to the content
    int tag = 0;   // 999: a working column (buttons) that printouts leave out
    // Ellipsis columns: a changed text typed into the cell goes here instead of
    // into the field, so the screen can look the typed number up and fill the row.
    std::function<void(const QString &text)> onValidate;
    // Shown in the column's own way (a Number with its decimals) but never edited in the grid.
    bool readOnly = false;
};
