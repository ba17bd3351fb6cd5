// Comma-separated text as RFC 4180 describes it, in UTF-8 with a byte-order
// mark so that spreadsheet programs recognise Chinese text.
#include "frames/GridExport.h"
#include "frames/export/ExportCell.h"
#include "frames/export/ExportFile.h"

#include <algorithm>

namespace {

QString csvField(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    const bool quoted = std::any_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); });
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray csvRecord(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &f : fields)
        quoted << csvField(f);
    return (quoted.join(QLatin1Char(',')) + QLatin1String("\r\n")).toUtf8();
}

QStringList rowTexts(const QVariantList &row, int columns)
{
    QStringList texts;
    texts.reserve(columns);
    for (int c = 0; c < columns; ++c)
        texts << (c < row.size() ? ExportCell::from(row[c]).text : QString());
    return texts;
}

} // namespace

void GridExport::writeCsv(const QString &path, const ExportTable &table)
{
    constexpr qsizetype chunkSize = 1 << 20;
    const int columns = exportColumnCount(table);
    QStringList captions = table.captions;
    while (captions.size() < columns)
        captions << QString();

    ExportFile file(path);
    QByteArray chunk("\xEF\xBB\xBF");
    chunk += csvRecord(captions);
    for (const QVariantList &row : table.rows) {
        chunk += csvRecord(rowTexts(row, columns));
        if (chunk.size() >= chunkSize) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    file.commit();
}
