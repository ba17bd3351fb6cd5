#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// What a grid hands to export: the captions of its visible columns and every
// row's values in the same order. Values are QString, int/qlonglong, double,
// bool, QDate or QDateTime; a null QVariant is an empty cell.
struct ExportTable {
    QStringList captions;
    QList<QVariantList> rows;
};

namespace GridExport {

// Each writer replaces the file; on failure it throws std::runtime_error with a
// message fit to show to the person (the file cannot be written, …).
// A failed or refused export leaves an existing file untouched. Texts keep
// every character; numbers stay numbers and dates real dates in the
// workbooks; CSV writes booleans as 是/否. What a format cannot hold (more than
// 65,535 data rows or 256 columns in .xls, a cell text over 32,767 characters
// in either workbook) is refused before writing. Details: docs/export.md.
void writeCsv(const QString &path, const ExportTable &table);  // RFC 4180, UTF-8 with byte-order mark
void writeXlsx(const QString &path, const ExportTable &table); // Office Open XML workbook
void writeXls(const QString &path, const ExportTable &table);  // Excel 97-2003 workbook (BIFF8)

} // namespace GridExport
