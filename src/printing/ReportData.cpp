#include "ReportData.h"

#include "ReportTemplate.h"
#include "data/Dataset.h"
#include "data/uFunction.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace report {

namespace {

bool isNumberFormat(const QString &format)
{
    static const QRegularExpression shape(QStringLiteral("^[#,]*0*(\\.0*#*)?$"));
    return !format.isEmpty() && shape.match(format).hasMatch();
}

QString formatNumber(double value, const QString &format)
{
    const int dot = format.indexOf(QLatin1Char('.'));
    const int decimals = dot < 0 ? 0 : static_cast<int>(format.size()) - dot - 1;
    QLocale c = QLocale::c();
    c.setNumberOptions(format.contains(QLatin1Char(',')) ? QLocale::DefaultNumberOptions
                                                          : QLocale::OmitGroupSeparator);
    // The program's rounding (half away from zero), as amounts are rounded everywhere else.
    return c.toString(roundFloat(decimals, value), 'f', decimals);
}

Dataset *boundDataset(const ExpandContext &ctx, const QString &name, int &row)
{
    const ReportData &d = *ctx.data;
    if (name == masterName()) {
        row = ctx.masterRow >= 0 ? ctx.masterRow : (d.master ? d.master->recNo() : -1);
        return d.master;
    }
    if (name == detailName()) {
        row = ctx.detailRow >= 0 ? ctx.detailRow : (d.detail ? d.detail->recNo() : -1);
        return d.detail;
    }
    if (name == companyName()) {
        row = d.company ? d.company->recNo() : -1;
        return d.company;
    }
    throw TemplateError(QStringLiteral("报表使用了不存在的数据集：%1").arg(name));
}

QString fieldText(const ExpandContext &ctx, const QString &datasetName, const QString &fieldName,
                  const QString &format)
{
    int row = -1;
    Dataset *ds = boundDataset(ctx, datasetName, row);
    if (!ds || !ds->isActive())
        throw TemplateError(QStringLiteral("报表使用的数据集 %1 没有提供数据。").arg(datasetName));
    if (!ds->hasField(fieldName))
        throw TemplateError(QStringLiteral("数据集 %1 中没有字段 %2。").arg(datasetName, fieldName));
    if (row < 0)
        return {};
    const QVariant v = ds->valueAt(row, fieldName);
    if (!format.isEmpty()) {
        const QString shown = formatValue(v, format);
        if (!shown.isNull())
            return shown;
    }
    // Flags read as words on paper, where the grid shows a check box.
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    return ds->displayText(row, fieldName);
}

} // namespace

QString formatValue(const QVariant &value, const QString &format)
{
    if (value.isNull() || format.isEmpty())
        return {};
    if (isNumberFormat(format)) {
        bool ok = false;
        const double v = value.toDouble(&ok);
        return ok ? formatNumber(v, format) : QString();
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        return QLocale::c().toString(value.toDate(), format);
    case QMetaType::QDateTime:
        return QLocale::c().toString(value.toDateTime(), format);
    case QMetaType::QTime:
        return QLocale::c().toString(value.toTime(), format);
    default:
        return {};
    }
}

QString expandText(const QString &text, const ExpandContext &ctx, const QString &format)
{
    static const QRegularExpression token(QStringLiteral("\\[([^\\[\\]]*)\\]"));
    static const QRegularExpression field(QStringLiteral("^\\s*([^.\"]+)\\.\"([^\"]+)\"\\s*$"));
    QString out;
    qsizetype from = 0;
    auto it = token.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(from, m.capturedStart() - from);
        from = m.capturedEnd();
        const QString inner = m.captured(1).trimmed();
        if (inner == QLatin1String("Page#")) {
            out += kPageMark;
        } else if (inner == QLatin1String("TotalPages#")) {
            out += kTotalPagesMark;
        } else if (inner == QLatin1String("Date")) {
            out += QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        } else if (inner == QLatin1String("Time")) {
            out += QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
        } else if (const QRegularExpressionMatch f = field.match(inner); f.hasMatch()) {
            out += fieldText(ctx, f.captured(1).trimmed(), f.captured(2), format);
        } else {
            throw TemplateError(QStringLiteral("报表中的表达式无法识别：[%1]").arg(inner));
        }
    }
    out += QStringView(text).mid(from);
    return out;
}

QString resolvePageMarks(QString text, int page, int pageCount)
{
    text.replace(kPageMark, QString::number(page));
    text.replace(kTotalPagesMark, QString::number(pageCount));
    return text;
}

} // namespace report
