// Grid export to CSV, XLSX and XLS: every file is read back by an independent
// reader (the csv module, openpyxl and xlrd under /usr/bin/python3) and
// compared cell by cell; CSV is also checked byte for byte.
#include "frames/GridExport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <stdexcept>

namespace {

using Writer = void (*)(const QString &, const ExportTable &);

Writer writerFor(const QString &format)
{
    if (format == QLatin1String("csv"))
        return GridExport::writeCsv;
    if (format == QLatin1String("xlsx"))
        return GridExport::writeXlsx;
    return GridExport::writeXls;
}

QVariant sqlNull(QMetaType::Type type)
{
    return QVariant(QMetaType(type));
}

// Chinese texts, a text that needs CSV quoting, integers, decimals, negative
// numbers, dates, date-times, booleans, a code too long for a spreadsheet
// number and empty cells (null values and empty texts).
ExportTable sampleTable()
{
    ExportTable t;
    t.captions = {"编号", "名称", "单价", "数量", "日期", "时间", "备注", "停用", "条码"};
    t.rows << QVariantList{1, "螺丝刀（十字）", 7.5, -3, QDate(2024, 3, 5), QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)),
                           "含逗号,和\"引号\"\n第二行", true, qlonglong(6901234567892)};
    t.rows << QVariantList{2, " 扳手 ", 3.33, 1234567.89, QVariant(), sqlNull(QMetaType::QDateTime), QString(""), false,
                           qlonglong(1234567890123456789)};
    t.rows << QVariantList{-42, QVariant(), -0.125, 0, QDate(1999, 12, 31), QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                           "普通文本", sqlNull(QMetaType::Bool), QVariant()};
    return t;
}

const QList<QStringList> sampleCsvTexts = {
    {"编号", "名称", "单价", "数量", "日期", "时间", "备注", "停用", "条码"},
    {"1", "螺丝刀（十字）", "7.5", "-3", "2024-03-05", "2024-03-05 14:30:15", "含逗号,和\"引号\"\n第二行", "是", "6901234567892"},
    {"2", " 扳手 ", "3.33", "1234567.89", "", "", "", "否", "1234567890123456789"},
    {"-42", "", "-0.125", "0", "1999-12-31", "2000-01-01 00:00:00", "普通文本", "", ""},
};

QJsonObject cell(const QString &type, const QJsonValue &value)
{
    return QJsonObject{{"t", type}, {"v", value}};
}

// What a workbook reader should find for a value handed to the export.
QJsonValue workbookCell(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QJsonValue::Null;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return cell("b", v.toBool());
    case QMetaType::QString:
        return v.toString().isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(cell("s", v.toString()));
    case QMetaType::QDate: {
        QJsonObject c = cell("d", v.toDate().toString("yyyy-MM-dd") + " 00:00:00");
        c["f"] = "yyyy-mm-dd";
        return c;
    }
    case QMetaType::QDateTime: {
        QJsonObject c = cell("d", v.toDateTime().toString("yyyy-MM-dd HH:mm:ss"));
        c["f"] = "yyyy-mm-dd hh:mm:ss";
        return c;
    }
    case QMetaType::LongLong:
        if (std::llabs(v.toLongLong()) > 999999999999999LL) // beyond 15 digits: kept as text
            return cell("s", QString::number(v.toLongLong()));
        return cell("n", v.toDouble());
    default:
        return cell("n", v.toDouble());
    }
}

QList<QJsonArray> expectedWorkbook(const ExportTable &t)
{
    QList<QJsonArray> rows;
    QJsonArray captions;
    for (const QString &c : t.captions)
        captions << cell("s", c);
    rows << captions;
    for (const QVariantList &r : t.rows) {
        QJsonArray row;
        for (const QVariant &v : r)
            row << workbookCell(v);
        rows << row;
    }
    return rows;
}

QList<QJsonArray> expectedCsv(const QList<QStringList> &texts)
{
    QList<QJsonArray> rows;
    for (const QStringList &r : texts) {
        QJsonArray row;
        for (const QString &s : r)
            row << (s.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(cell("s", s)));
        rows << row;
    }
    return rows;
}

// Numbers compare exactly unless a relative tolerance is given.
bool sameCell(const QJsonValue &expected, const QJsonValue &actual, double tolerance)
{
    if (expected.isNull() || actual.isNull())
        return expected.isNull() && actual.isNull();
    const QJsonObject e = expected.toObject(), a = actual.toObject();
    if (e["t"] != a["t"] || (e.contains("f") && e["f"] != a["f"]))
        return false;
    if (e["t"] == "n")
        return std::fabs(e["v"].toDouble() - a["v"].toDouble()) <= tolerance * std::fabs(e["v"].toDouble());
    return e["v"] == a["v"];
}

// Empty when every cell matches, else the first differences.
QString differences(const QList<QJsonArray> &expected, const QJsonArray &actual, double tolerance = 0)
{
    QStringList found;
    if (actual.size() != expected.size())
        found << QString("rows: expected %1, read %2").arg(expected.size()).arg(actual.size());
    for (qsizetype r = 0; r < std::min(expected.size(), actual.size()) && found.size() < 10; ++r) {
        const QJsonArray row = actual[r].toArray();
        for (qsizetype c = 0; c < std::max(expected[r].size(), row.size()); ++c) {
            const QJsonValue e = expected[r].at(c), a = row.at(c);
            if (!sameCell(e.isUndefined() ? QJsonValue::Null : e, a.isUndefined() ? QJsonValue::Null : a, tolerance))
                found << QString("row %1 column %2: expected %3, read %4")
                             .arg(r)
                             .arg(c)
                             .arg(QString::fromUtf8(QJsonDocument(QJsonArray{e}).toJson(QJsonDocument::Compact)),
                                  QString::fromUtf8(QJsonDocument(QJsonArray{a}).toJson(QJsonDocument::Compact)));
        }
    }
    return found.join('\n');
}

// Runs the independent reader; fails the test with its error output when it cannot read the file.
bool readBack(const QString &path, QJsonObject &result)
{
    QProcess p;
    p.start("/usr/bin/python3", {CK_SOURCE_DIR "/tests/tools/read_export.py", path});
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning().noquote() << "reader failed:" << p.readAllStandardError();
        return false;
    }
    result = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    return !result.isEmpty();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint32 headerField(const QByteArray &file, int offset)
{
    return qFromLittleEndian<quint32>(file.constData() + offset);
}

QString exportError(Writer write, const QString &path, const ExportTable &table)
{
    try {
        write(path, table);
    } catch (const std::runtime_error &e) {
        return QString::fromStdString(e.what());
    }
    return {};
}

ExportTable singleText(const QString &text)
{
    ExportTable t;
    t.captions = {"列"};
    t.rows << QVariantList{text};
    return t;
}

} // namespace

Q_DECLARE_METATYPE(ExportTable)

class TestExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void formats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("csv") << "csv";
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("xls") << "xls";
    }

    void csvBytes()
    {
        const QString file = path("sample-bytes.csv");
        GridExport::writeCsv(file, sampleTable());
        const QByteArray expected = "\xEF\xBB\xBF"
                                    "编号,名称,单价,数量,日期,时间,备注,停用,条码\r\n"
                                    "1,螺丝刀（十字）,7.5,-3,2024-03-05,2024-03-05 14:30:15,\"含逗号,和\"\"引号\"\"\n第二行\",是,6901234567892\r\n"
                                    "2, 扳手 ,3.33,1234567.89,,,,否,1234567890123456789\r\n"
                                    "-42,,-0.125,0,1999-12-31,2000-01-01 00:00:00,普通文本,,\r\n";
        QCOMPARE(fileBytes(file), expected);
    }

    void csvField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("plain") << "甲乙" << QByteArray("甲乙");
        QTest::newRow("comma") << "a,b" << QByteArray("\"a,b\"");
        QTest::newRow("quote") << "5\"" << QByteArray("\"5\"\"\"");
        QTest::newRow("only quotes") << "\"\"" << QByteArray("\"\"\"\"\"\"");
        QTest::newRow("line feed") << "一\n二" << QByteArray("\"一\n二\"");
        QTest::newRow("carriage return") << "a\rb" << QByteArray("\"a\rb\"");
        QTest::newRow("crlf") << "a\r\nb" << QByteArray("\"a\r\nb\"");
        QTest::newRow("spaces kept") << "  a  " << QByteArray("  a  ");
        QTest::newRow("semicolon") << "a;b" << QByteArray("a;b");
    }
    void csvField()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        const QString file = path("field.csv");
        GridExport::writeCsv(file, singleText(text));
        QCOMPARE(fileBytes(file), QByteArray("\xEF\xBB\xBF") + "列\r\n" + field + "\r\n");
    }

    void csvNumber_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("7.5") << QVariant(7.5) << QByteArray("7.5");
        QTest::newRow("3.33") << QVariant(3.33) << QByteArray("3.33");
        QTest::newRow("1234567.89") << QVariant(1234567.89) << QByteArray("1234567.89");
        QTest::newRow("whole double") << QVariant(100.0) << QByteArray("100");
        QTest::newRow("negative") << QVariant(-0.5) << QByteArray("-0.5");
        QTest::newRow("negative zero") << QVariant(-0.0) << QByteArray("0");
        QTest::newRow("large, no exponent") << QVariant(1e20) << QByteArray("100000000000000000000");
        QTest::newRow("small, no exponent") << QVariant(1e-7) << QByteArray("0.0000001");
        QTest::newRow("binary noise kept exact") << QVariant(0.1 + 0.2) << QByteArray("0.30000000000000004");
        QTest::newRow("int") << QVariant(-17) << QByteArray("-17");
        QTest::newRow("unsigned long long") << QVariant(quint64(18446744073709551615ULL)) << QByteArray("18446744073709551615");
        QTest::newRow("not a number") << QVariant(std::nan("")) << QByteArray("");
        QTest::newRow("date") << QVariant(QDate(2024, 2, 29)) << QByteArray("2024-02-29");
        QTest::newRow("old date") << QVariant(QDate(1880, 1, 2)) << QByteArray("1880-01-02");
        QTest::newRow("date-time drops milliseconds")
            << QVariant(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999))) << QByteArray("2024-12-31 23:59:59");
        QTest::newRow("true") << QVariant(true) << QByteArray("是");
        QTest::newRow("false") << QVariant(false) << QByteArray("否");
    }
    void csvNumber()
    {
        QFETCH(QVariant, value);
        QFETCH(QByteArray, text);
        ExportTable t;
        t.captions = {"值"};
        t.rows << QVariantList{value};
        const QString file = path("number.csv");
        GridExport::writeCsv(file, t);
        QCOMPARE(fileBytes(file), QByteArray("\xEF\xBB\xBF") + "值\r\n" + text + "\r\n");
    }

    void roundTrip_data() { formats_data(); }
    void roundTrip()
    {
        QFETCH(QString, format);
        const QString file = path("sample." + format);
        writerFor(format)(file, sampleTable());
        QJsonObject read;
        QVERIFY(readBack(file, read));
        const auto expected = format == "csv" ? expectedCsv(sampleCsvTexts) : expectedWorkbook(sampleTable());
        const QString diff = differences(expected, read["rows"].toArray());
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        if (format != "csv")
            QCOMPARE(read["captionBold"].toArray().toVariantList(), QVariantList(9, true));
    }

    void captionsOnly_data() { formats_data(); }
    void captionsOnly()
    {
        QFETCH(QString, format);
        ExportTable t;
        t.captions = {"仓库", "货位"};
        const QString file = path("empty." + format);
        writerFor(format)(file, t);
        QJsonObject read;
        QVERIFY(readBack(file, read));
        const QString diff = differences({QJsonArray{cell("s", "仓库"), cell("s", "货位")}}, read["rows"].toArray());
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // 20,000 distinct texts fill many CONTINUE records of the shared strings, one
    // text alone spans two of them, and the stream needs hundreds of regular sectors.
    void largeTable_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("xls") << "xls";
    }
    void largeTable()
    {
        QFETCH(QString, format);
        ExportTable t;
        t.captions = {"序号", "名称", "金额", "日期", "说明"};
        for (int r = 0; r < 20000; ++r)
            t.rows << QVariantList{r, QString("货品%1").arg(r), r * 0.01 - 50.5, QDate(2020, 1, 1).addDays(r % 3000),
                                   r % 7 ? QVariant(QString("第%1批，共%2件").arg(r / 7).arg(r % 7)) : QVariant()};
        t.rows[5][4] = QString("长").repeated(6000) + "尾";
        const QString file = path("large." + format);
        writerFor(format)(file, t);
        QJsonObject read;
        QVERIFY(readBack(file, read));
        // libxlsxwriter writes numbers with 16 significant digits; XLS keeps every bit.
        const double tolerance = format == "xlsx" ? 1e-15 : 0;
        const QString diff = differences(expectedWorkbook(t), read["rows"].toArray(), tolerance);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        if (format == "xls") {
            const QByteArray bytes = fileBytes(file);
            QCOMPARE(headerField(bytes, 64), 0u); // no mini stream: the workbook lives in regular sectors
            QCOMPARE(headerField(bytes, 72), 0u); // and the FAT fits the header
            QVERIFY(headerField(bytes, 44) > 1);
        }
    }

    void smallXlsUsesMiniStream()
    {
        const QString file = path("mini.xls");
        GridExport::writeXls(file, sampleTable());
        const QByteArray bytes = fileBytes(file);
        QVERIFY(bytes.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
        QCOMPARE(headerField(bytes, 64), 1u); // one mini FAT sector
        QCOMPARE(bytes.size() % 512, 0);
    }

    // The largest sheet the format allows, with a stream of about 9 MB: more
    // than the 109 FAT sectors the header lists, so the DIFAT chain is needed.
    void xlsBeyondHeaderFat()
    {
        ExportTable t;
        t.captions = {"a", "b", "c", "d", "e", "f", "g", "h"};
        for (int r = 0; r < 65535; ++r) {
            QVariantList row;
            for (int c = 0; c < 8; ++c)
                row << r * 8 + c + 0.5;
            t.rows << row;
        }
        const QString file = path("difat.xls");
        GridExport::writeXls(file, t);
        const QByteArray bytes = fileBytes(file);
        QVERIFY2(headerField(bytes, 44) > 109, "expected more FAT sectors than the header holds");
        QVERIFY(headerField(bytes, 72) >= 1);
        QVERIFY(headerField(bytes, 68) != 0xFFFFFFFEu);
        QJsonObject read;
        QVERIFY(readBack(file, read));
        const QString diff = differences(expectedWorkbook(t), read["rows"].toArray());
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void refusesWhatTheFormatCannotHold_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<ExportTable>("table");
        QTest::addColumn<QString>("mentions");
        ExportTable tooManyRows;
        tooManyRows.captions = {"值"};
        tooManyRows.rows = QList<QVariantList>(65536, QVariantList{1});
        ExportTable tooManyColumns;
        tooManyColumns.captions = QStringList(257, "列");
        const ExportTable longText = singleText(QString(32768, QLatin1Char('x')));
        QTest::newRow("xls 65536 data rows") << "xls" << tooManyRows << "65536";
        QTest::newRow("xls 257 columns") << "xls" << tooManyColumns << "256";
        QTest::newRow("xls long text") << "xls" << longText << "32767";
        QTest::newRow("xlsx long text") << "xlsx" << longText << "32767";
    }
    void refusesWhatTheFormatCannotHold()
    {
        QFETCH(QString, format);
        QFETCH(ExportTable, table);
        QFETCH(QString, mentions);
        const QString file = path("refused." + format);
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("earlier export");
        }
        const QString message = exportError(writerFor(format), file, table);
        QVERIFY2(message.contains(mentions), qPrintable(message));
        QVERIFY2(message.contains("csv"), qPrintable(message)); // points to a format that can hold it
        QCOMPARE(fileBytes(file), QByteArray("earlier export"));
    }

    void xlsAcceptsLongestText()
    {
        const QString text = QString("中").repeated(32767);
        const QString file = path("longest.xls");
        GridExport::writeXls(file, singleText(text));
        QJsonObject read;
        QVERIFY(readBack(file, read));
        QCOMPARE(read["rows"].toArray().at(1).toArray().at(0).toObject()["v"].toString(), text);
    }

    void unwritablePath_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("target");
        for (const char *format : {"csv", "xlsx", "xls"}) {
            QTest::addRow("%s in a missing folder", format) << format << QString("missing/out.") + format;
            QTest::addRow("%s onto a folder", format) << format << QString("folder.") + format;
        }
    }
    void unwritablePath()
    {
        QFETCH(QString, format);
        QFETCH(QString, target);
        QDir(m_dir.path()).mkpath("folder." + format);
        const QString file = path(target);
        const QString message = exportError(writerFor(format), file, sampleTable());
        QVERIFY2(message.startsWith("无法写入文件"), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(file)), qPrintable(message));
    }

    void replacesExistingFile_data() { formats_data(); }
    void replacesExistingFile()
    {
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString file = dir.filePath("again." + format);
        writerFor(format)(file, sampleTable());
        writerFor(format)(file, singleText("第二次"));
        QJsonObject read;
        QVERIFY(readBack(file, read));
        const QString diff = differences({QJsonArray{cell("s", "列")}, QJsonArray{cell("s", "第二次")}}, read["rows"].toArray());
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"again." + format});
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
