#include "frames/export/ExportCell.h"

#include "frames/GridExport.h"
#include "frames/export/ExportFile.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Spreadsheets keep 15 significant digits; longer integers (card numbers,
// long codes) are exported as text so that no digit is lost.
constexpr double kLargestExactInteger = 999999999999999.0;

ExportCell textCell(const QString &value)
{
    if (value.isEmpty())
        return {};
    return {ExportCell::Kind::Text, value, 0};
}

ExportCell integer(double value, const QString &digits)
{
    if (std::fabs(value) > kLargestExactInteger)
        return textCell(digits);
    return {ExportCell::Kind::Number, digits, value};
}

ExportCell decimal(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        value = 0; // no "-0" in the file
    // Shortest text that reads back as the same double, never in exponent form.
    return {ExportCell::Kind::Number, QString::number(value, 'f', QLocale::FloatingPointShortest), value};
}

// Spreadsheet day numbers count from 1899-12-30 in the 1900 date system; the
// system's phantom 1900-02-29 makes earlier days ambiguous, so those are text.
bool hasSerial(QDate date)
{
    return date >= QDate(1900, 3, 1) && date.year() <= 9999;
}

double serial(QDate date, QTime time)
{
    return double(QDate(1899, 12, 30).daysTo(date)) + time.msecsSinceStartOfDay() / 86400000.0;
}

ExportCell date(QDate value)
{
    if (!value.isValid())
        return {};
    const QString shown = value.toString(QStringLiteral("yyyy-MM-dd"));
    if (!hasSerial(value))
        return textCell(shown);
    return {ExportCell::Kind::Date, shown, serial(value, QTime(0, 0))};
}

ExportCell dateTime(const QDateTime &value)
{
    if (!value.isValid())
        return {};
    const QString shown = value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!hasSerial(value.date()))
        return textCell(shown);
    return {ExportCell::Kind::DateTime, shown, serial(value.date(), value.time())};
}

int displayWidth(const QString &s)
{
    int width = 0;
    for (QChar c : s)
        width += c.unicode() >= 0x2E80 ? 2 : 1; // CJK and full-width forms take two columns
    return width;
}

int displayWidth(const ExportCell &cell)
{
    switch (cell.kind) {
    case ExportCell::Kind::Boolean:
        return 5; // TRUE / FALSE in a workbook
    default:
        return displayWidth(cell.text);
    }
}

} // namespace

ExportCell ExportCell::from(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool: {
        const bool on = value.toBool();
        // A check mark reads as 是/否 in text; workbooks store a real boolean.
        return {Kind::Boolean, on ? QStringLiteral("是") : QStringLiteral("否"), on ? 1.0 : 0.0};
    }
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
        return integer(double(value.toLongLong()), QString::number(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return integer(double(value.toULongLong()), QString::number(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return decimal(value.toDouble());
    case QMetaType::QDate:
        return date(value.toDate());
    case QMetaType::QDateTime:
        return dateTime(value.toDateTime());
    default:
        return textCell(value.toString());
    }
}

int exportColumnCount(const ExportTable &table)
{
    qsizetype count = table.captions.size();
    for (const QVariantList &row : table.rows)
        count = std::max(count, row.size());
    return int(count);
}

QList<int> exportColumnWidths(const ExportTable &table)
{
    constexpr int minWidth = 6, maxWidth = 50, padding = 2;
    QList<int> widths(exportColumnCount(table), minWidth);
    for (qsizetype c = 0; c < table.captions.size(); ++c)
        widths[c] = std::max(widths[c], displayWidth(table.captions[c]));
    for (const QVariantList &row : table.rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(ExportCell::from(row[c])));
    for (int &w : widths)
        w = std::min(w, maxWidth) + padding;
    return widths;
}

void checkWorkbookTextLengths(const ExportTable &table)
{
    const auto check = [](const QString &s, qsizetype row, qsizetype column) {
        if (s.size() <= kMaxWorkbookTextLength)
            return;
        refuseExport(QStringLiteral("第 %1 行第 %2 列的文本有 %3 个字符，超过了 Excel 单元格最多 %4 个字符的限制。"
                                    "请改为导出 .csv 文件。")
                         .arg(row + 1)
                         .arg(column + 1)
                         .arg(s.size())
                         .arg(kMaxWorkbookTextLength));
    };
    for (qsizetype c = 0; c < table.captions.size(); ++c)
        check(table.captions[c], 0, c);
    for (qsizetype r = 0; r < table.rows.size(); ++r)
        for (qsizetype c = 0; c < table.rows[r].size(); ++c)
            if (table.rows[r][c].typeId() == QMetaType::QString)
                check(table.rows[r][c].toString(), r + 1, c);
}
