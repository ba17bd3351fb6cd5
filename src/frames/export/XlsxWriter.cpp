// Office Open XML workbook through libxlsxwriter. The library writes into a
// private temporary folder; the finished file then replaces the target in one
// step, like the other formats.
#include "frames/GridExport.h"
#include "frames/export/ExportCell.h"
#include "frames/export/ExportFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <utility>

#include <xlsxwriter.h>

namespace {

constexpr qsizetype kMaxXlsxRows = 1048576;
constexpr int kMaxXlsxColumns = 16384;

[[noreturn]] void libraryFailure(lxw_error error)
{
    refuseExport(QStringLiteral("生成 Excel 文件失败：%1。").arg(QString::fromUtf8(lxw_strerror(error))));
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        libraryFailure(error);
}

// Owns the open workbook; closing (which also frees it) happens exactly once.
class Workbook {
public:
    Workbook(const QByteArray &file, QByteArray tmpdir)
        : m_tmpdir(std::move(tmpdir))
    {
        lxw_workbook_options options{};
        options.tmpdir = m_tmpdir.data();
        m_book = workbook_new_opt(file.constData(), &options);
        if (!m_book)
            refuseExport(QStringLiteral("生成 Excel 文件失败：无法创建工作簿。"));
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_workbook *get() const { return m_book; }
    void close()
    {
        lxw_workbook *book = std::exchange(m_book, nullptr);
        check(workbook_close(book));
    }

private:
    QByteArray m_tmpdir;
    lxw_workbook *m_book = nullptr;
};

struct Formats {
    lxw_format *caption;
    lxw_format *date;
    lxw_format *dateTime;
};

Formats addFormats(lxw_workbook *book)
{
    Formats f{workbook_add_format(book), workbook_add_format(book), workbook_add_format(book)};
    format_set_bold(f.caption);
    format_set_num_format(f.date, "yyyy-mm-dd");
    format_set_num_format(f.dateTime, "yyyy-mm-dd hh:mm:ss");
    return f;
}

void writeCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t col, const ExportCell &cell, const Formats &formats)
{
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        return;
    case ExportCell::Kind::Text:
        check(worksheet_write_string(sheet, row, col, cell.text.toUtf8().constData(), nullptr));
        return;
    case ExportCell::Kind::Number:
        check(worksheet_write_number(sheet, row, col, cell.number, nullptr));
        return;
    case ExportCell::Kind::Boolean:
        check(worksheet_write_boolean(sheet, row, col, cell.number != 0, nullptr));
        return;
    case ExportCell::Kind::Date:
        check(worksheet_write_number(sheet, row, col, cell.number, formats.date));
        return;
    case ExportCell::Kind::DateTime:
        check(worksheet_write_number(sheet, row, col, cell.number, formats.dateTime));
        return;
    }
}

void fillSheet(lxw_workbook *book, const ExportTable &table)
{
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
    if (!sheet)
        refuseExport(QStringLiteral("生成 Excel 文件失败：无法创建工作表。"));
    const Formats formats = addFormats(book);

    const QList<int> widths = exportColumnWidths(table);
    for (int c = 0; c < widths.size(); ++c)
        check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr));
    for (int c = 0; c < table.captions.size(); ++c)
        check(worksheet_write_string(sheet, 0, lxw_col_t(c), table.captions[c].toUtf8().constData(), formats.caption));
    for (qsizetype r = 0; r < table.rows.size(); ++r)
        for (qsizetype c = 0; c < table.rows[r].size(); ++c)
            writeCell(sheet, lxw_row_t(r + 1), lxw_col_t(c), ExportCell::from(table.rows[r][c]), formats);
}

void checkLimits(const ExportTable &table)
{
    if (table.rows.size() + 1 > kMaxXlsxRows)
        refuseExport(QStringLiteral("共有 %1 行数据，超过了 Excel 工作表最多 %2 行（含标题行）的限制。请改为导出 .csv 文件。")
                         .arg(table.rows.size())
                         .arg(kMaxXlsxRows));
    if (exportColumnCount(table) > kMaxXlsxColumns)
        refuseExport(QStringLiteral("共有 %1 列，超过了 Excel 工作表最多 %2 列的限制。")
                         .arg(exportColumnCount(table))
                         .arg(kMaxXlsxColumns));
    checkWorkbookTextLengths(table);
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuseExport(QStringLiteral("生成 Excel 文件失败：无法读取临时文件（%1）。").arg(file.errorString()));
    return file.readAll();
}

} // namespace

void GridExport::writeXlsx(const QString &path, const ExportTable &table)
{
    checkLimits(table);
    QTemporaryDir work;
    if (!work.isValid())
        refuseExport(QStringLiteral("生成 Excel 文件失败：无法创建临时文件夹（%1）。").arg(work.errorString()));
    const QString built = work.filePath(QStringLiteral("export.xlsx"));

    Workbook book(QFile::encodeName(built), QFile::encodeName(work.path()));
    fillSheet(book.get(), table);
    book.close();

    ExportFile file(path);
    file.write(readBack(built));
    file.commit();
}
