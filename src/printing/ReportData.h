#pragma once

#include <QString>
#include <QVariant>

class Dataset;

namespace report {

// The datasets a template prints from, under the names templates use.
struct ReportData {
    Dataset *master = nullptr;  // 主表
    bool masterAllRows = true;  // false: only the current row of 主表
    Dataset *detail = nullptr;  // 子表
    Dataset *company = nullptr; // 企业信息 (its current row)
};

// Where the text of one object is expanded: the rows in print.
struct ExpandContext {
    const ReportData *data = nullptr;
    int masterRow = -1;
    int detailRow = -1;
};

// Stand-ins for the page numbers until the page count is known.
inline constexpr QChar kPageMark = QChar(0xE000);
inline constexpr QChar kTotalPagesMark = QChar(0xE001);

// Replaces every [dataset."field"], [Date] and [Time] in text; [Page#] and
// [TotalPages#] become kPageMark / kTotalPagesMark. A field value is shown in
// `format` when one is given. Throws TemplateError for an unknown dataset,
// field or expression, or a dataset that is not bound.
QString expandText(const QString &text, const ExpandContext &ctx, const QString &format);

// Fills in the page numbers.
QString resolvePageMarks(QString text, int page, int pageCount);

// A value shown in a display format: numbers "0", "0.00", "#,##0.00";
// dates and times with Qt patterns ("yyyy-MM-dd HH:mm").
QString formatValue(const QVariant &value, const QString &format);

} // namespace report
