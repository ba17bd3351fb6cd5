#pragma once

#include <QList>
#include <QString>

// One column of the caller's grid, as the print screen needs it to generate a
// template: in the grid's definition order, hidden columns included.
struct PrintColumn {
    QString fieldName;
    QString caption;
    int width = 0; // pixels at 96 per inch, as the grid shows it now
    bool visible = true;
    int tag = 0; // 999: a button column of the bill editor, never printed
};

// Tag of grid columns that a generated template leaves out.
inline constexpr int kNoPrintColumnTag = 999;

using PrintColumns = QList<PrintColumn>;
