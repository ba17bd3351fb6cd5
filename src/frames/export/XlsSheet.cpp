#include "frames/export/XlsSheet.h"

#include "frames/GridExport.h"
#include "frames/export/ExportCell.h"

#include <algorithm>

namespace {

void addColumnWidths(BiffStream &out, const ExportTable &table)
{
    out.add(Biff::DefColWidth, LittleEndian().u16(8));
    const QList<int> widths = exportColumnWidths(table);
    for (int c = 0; c < widths.size(); ++c) {
        const auto width = quint16(std::min(widths[c], 255) * 256); // in 1/256 of a character
        out.add(Biff::ColInfo, LittleEndian().u16(quint16(c)).u16(quint16(c)).u16(width).u16(Biff::XfDefault).u16(0).u16(0));
    }
}

void addDimensions(BiffStream &out, const ExportTable &table)
{
    const int columns = exportColumnCount(table);
    const auto rows = quint32(columns ? table.rows.size() + 1 : 0);
    out.add(Biff::Dimensions, LittleEndian().u32(0).u32(rows).u16(0).u16(quint16(columns)).u16(0));
}

LittleEndian cellHead(quint16 row, quint16 column, quint16 xf)
{
    LittleEndian payload;
    payload.u16(row).u16(column).u16(xf);
    return payload;
}

void addText(BiffStream &out, SharedStrings &strings, quint16 row, quint16 column, quint16 xf, const QString &text)
{
    out.add(Biff::LabelSst, cellHead(row, column, xf).u32(strings.add(text)));
}

void addCell(BiffStream &out, SharedStrings &strings, quint16 row, quint16 column, const ExportCell &cell)
{
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        return;
    case ExportCell::Kind::Text:
        addText(out, strings, row, column, Biff::XfDefault, cell.text);
        return;
    case ExportCell::Kind::Number:
        out.add(Biff::Number, cellHead(row, column, Biff::XfDefault).f64(cell.number));
        return;
    case ExportCell::Kind::Boolean:
        out.add(Biff::BoolErr, cellHead(row, column, Biff::XfDefault).u8(cell.number != 0).u8(0));
        return;
    case ExportCell::Kind::Date:
        out.add(Biff::Number, cellHead(row, column, Biff::XfDate).f64(cell.number));
        return;
    case ExportCell::Kind::DateTime:
        out.add(Biff::Number, cellHead(row, column, Biff::XfDateTime).f64(cell.number));
        return;
    }
}

void addWindow2(BiffStream &out)
{
    // Grid lines, headers, zeros, default grid colour, outline symbols, sheet
    // selected and shown; nothing scrolled; default zoom.
    out.add(Biff::Window2, LittleEndian().u16(0x06B6).u16(0).u16(0).u16(64).u16(0).u16(0).u16(0).u32(0));
}

} // namespace

BiffStream xlsSheet(const ExportTable &table, SharedStrings &strings)
{
    BiffStream out;
    Biff::addBof(out, 0x0010);
    addColumnWidths(out, table);
    addDimensions(out, table);
    for (int c = 0; c < table.captions.size(); ++c)
        if (!table.captions[c].isEmpty())
            addText(out, strings, 0, quint16(c), Biff::XfCaption, table.captions[c]);
    for (qsizetype r = 0; r < table.rows.size(); ++r)
        for (qsizetype c = 0; c < table.rows[r].size(); ++c)
            addCell(out, strings, quint16(r + 1), quint16(c), ExportCell::from(table.rows[r][c]));
    addWindow2(out);
    out.add(Biff::Eof, QByteArray());
    return out;
}
