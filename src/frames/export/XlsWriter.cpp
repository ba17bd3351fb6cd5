// Excel 97-2003 workbook: a BIFF8 "Workbook" stream (globals with fonts,
// formats, cell styles, the sheet directory and the shared strings, then one
// worksheet) inside a compound file.
#include "frames/GridExport.h"
#include "frames/export/CompoundFile.h"
#include "frames/export/ExportCell.h"
#include "frames/export/ExportFile.h"
#include "frames/export/XlsSheet.h"

namespace {

constexpr qsizetype kMaxXlsRows = 65536;
constexpr int kMaxXlsColumns = 256;
constexpr quint16 kFormatDate = 164; // first number format index free for the workbook's own
constexpr quint16 kFormatDateTime = 165;

LittleEndian &shortText(LittleEndian &out, const QString &s)
{
    return out.u8(quint8(s.size())).u8(0x01).utf16(s);
}

LittleEndian &longText(LittleEndian &out, const QString &s)
{
    return out.u16(quint16(s.size())).u8(0x01).utf16(s);
}

void addFont(BiffStream &out, bool bold)
{
    LittleEndian f;
    // 11 points, automatic colour, no underline, GB2312 character set. Bit 0 of
    // the options repeats "bold" for readers that predate the weight field.
    f.u16(220).u16(bold ? 0x0001 : 0).u16(0x7FFF).u16(bold ? 700 : 400).u16(0).u8(0).u8(0).u8(134).u8(0);
    shortText(f, QStringLiteral("宋体"));
    out.add(Biff::Font, f);
}

void addFonts(BiffStream &out)
{
    // Readers skip font index 4, so five records give indexes 0, 1, 2, 3 and 5;
    // the caption style uses index 1.
    for (int i = 0; i < 5; ++i)
        addFont(out, i == 1);
}

void addFormat(BiffStream &out, quint16 index, const QString &code)
{
    LittleEndian f;
    f.u16(index);
    longText(f, code);
    out.add(Biff::Format, f);
}

enum XfAttribute : quint8 { UsesFormat = 0x04, UsesFont = 0x08, UsesAlignment = 0x10 };

void addXf(BiffStream &out, quint16 font, quint16 format, bool style, quint8 alignment, quint8 used)
{
    // Locked; style records have no parent (0xFFF), cell records the Normal style.
    const quint16 flags = style ? 0xFFF5 : 0x0001;
    LittleEndian xf;
    xf.u16(font).u16(format).u16(flags).u8(alignment).u8(0).u8(0).u8(used);
    xf.u32(0).u32(0).u16(0x20C0); // no borders, no fill, system fore- and background colours
    out.add(Biff::Xf, xf);
}

void addXfs(BiffStream &out)
{
    constexpr quint8 bottom = 0x20, centredBottom = 0x22;
    addXf(out, 0, 0, true, bottom, 0);
    for (int i = 1; i < Biff::XfDefault; ++i)
        addXf(out, 0, 0, true, bottom, 0xF4);
    addXf(out, 0, 0, false, bottom, 0);
    addXf(out, 1, 0, false, centredBottom, UsesFont | UsesAlignment);
    addXf(out, 0, kFormatDate, false, bottom, UsesFormat);
    addXf(out, 0, kFormatDateTime, false, bottom, UsesFormat);
}

void addWindow1(BiffStream &out)
{
    // Scroll bars and sheet tabs shown, the first sheet active and selected.
    out.add(Biff::Window1, LittleEndian().u16(0).u16(0).u16(0x4000).u16(0x2000).u16(0x0038).u16(0).u16(0).u16(1).u16(600));
}

// Writes the globals; returns where BOUNDSHEET keeps the sheet's stream position.
qsizetype addGlobals(BiffStream &out, const SharedStrings &strings)
{
    Biff::addBof(out, 0x0005);
    out.add(Biff::Codepage, LittleEndian().u16(1200)); // UTF-16 texts
    addWindow1(out);
    out.add(Biff::DateMode, LittleEndian().u16(0)); // dates count from 1900
    out.add(Biff::Precision, LittleEndian().u16(1));
    addFonts(out);
    addFormat(out, kFormatDate, QStringLiteral("yyyy-mm-dd"));
    addFormat(out, kFormatDateTime, QStringLiteral("yyyy-mm-dd hh:mm:ss"));
    addXfs(out);
    out.add(Biff::Style, LittleEndian().u16(0x8000).u8(0).u8(0xFF)); // built-in Normal on XF 0

    const qsizetype sheetPosition = out.size() + 4;
    LittleEndian sheet;
    sheet.u32(0).u8(0).u8(0); // visible worksheet
    shortText(sheet, QStringLiteral("Sheet1"));
    out.add(Biff::BoundSheet, sheet);

    strings.write(out);
    out.add(Biff::Eof, QByteArray());
    return sheetPosition;
}

void checkLimits(const ExportTable &table)
{
    if (table.rows.size() + 1 > kMaxXlsRows)
        refuseExport(QStringLiteral("共有 %1 行数据，超过了 Excel 97-2003 格式（.xls）每个工作表最多 %2 行（含标题行）的限制。"
                                    "请改为导出 .xlsx 或 .csv 文件。")
                         .arg(table.rows.size())
                         .arg(kMaxXlsRows));
    if (exportColumnCount(table) > kMaxXlsColumns)
        refuseExport(QStringLiteral("共有 %1 列，超过了 Excel 97-2003 格式（.xls）最多 %2 列的限制。"
                                    "请改为导出 .xlsx 或 .csv 文件。")
                         .arg(exportColumnCount(table))
                         .arg(kMaxXlsColumns));
    checkWorkbookTextLengths(table);
}

QByteArray workbookStream(const ExportTable &table)
{
    SharedStrings strings;
    const BiffStream sheet = xlsSheet(table, strings);
    BiffStream book;
    const qsizetype sheetPosition = addGlobals(book, strings);
    book.patchU32(sheetPosition, quint32(book.size()));
    book.append(sheet.data());
    return book.data();
}

} // namespace

void GridExport::writeXls(const QString &path, const ExportTable &table)
{
    checkLimits(table);
    const QByteArray bytes = compoundFile(QStringLiteral("Workbook"), workbookStream(table));
    ExportFile file(path);
    file.write(bytes);
    file.commit();
}
