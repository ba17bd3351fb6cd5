#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct ExportTable;

// One grid value as every export format sees it, so that the three writers
// agree on what is a number, a date or a text.
struct ExportCell {
    enum class Kind { Empty, Text, Number, Boolean, Date, DateTime };

    Kind kind = Kind::Empty;
    QString text;      // how the value reads in a text file (CSV)
    double number = 0; // Number: the value; Date/DateTime: the spreadsheet serial; Boolean: 1 or 0

    static ExportCell from(const QVariant &value);
};

// Number of columns of the export: the captions, or more when a row carries
// more values (nothing the grid hands over is dropped).
int exportColumnCount(const ExportTable &table);

// Rough display width of each column in characters (Chinese characters count
// double), bounded so that a long note does not push the sheet off screen.
QList<int> exportColumnWidths(const ExportTable &table);

// A spreadsheet cell holds at most this many UTF-16 units of text.
inline constexpr int kMaxWorkbookTextLength = 32767;

// Throws the person-facing error when some caption or text is longer than a
// workbook cell can hold; checked before anything is written.
void checkWorkbookTextLengths(const ExportTable &table);
