#include "DefaultTemplate.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSet>

#include <algorithm>

namespace report {

namespace {

constexpr double kTitleTop = 10, kTitleHeight = 30, kTitleWidth = 300;
constexpr double kHeaderTop = 50, kHeaderHeight = 30;
constexpr double kMasterTop = 100, kMasterHeight = 20;
constexpr double kFooterHeight = 24;

// The desktop's colour for inactive window borders: the pale shade of header cells.
QColor headerShade()
{
    return QGuiApplication::palette().color(QPalette::Inactive, QPalette::Window);
}

QString uniqueName(const ReportTemplate &t, const QString &stem)
{
    QSet<QString> used;
    for (const ReportBand &b : t.bands)
        for (const ReportObject &o : b.objects)
            used.insert(o.name);
    for (int i = 1;; ++i) {
        const QString candidate = stem + QString::number(i);
        if (!used.contains(candidate))
            return candidate;
    }
}

} // namespace

QString pageNumberText() { return QStringLiteral("第 [Page#] 页 / 共 [TotalPages#] 页"); }

ReportTemplate generateDefaultTemplate(const QString &name, bool landscape, const PrintColumns &columns)
{
    ReportTemplate t;
    t.page.landscape = landscape;

    ReportBand title;
    title.type = BandType::ReportTitle;
    title.top = kTitleTop;
    title.height = kTitleHeight;
    ReportObject caption;
    caption.name = QStringLiteral("Memo1");
    caption.rect = QRectF(0, 0, kTitleWidth, kTitleHeight);
    caption.centerInBand = true;
    caption.text = name;
    caption.font.pointSize = 14;
    caption.font.bold = true;
    caption.hAlign = HAlign::Center;
    caption.vAlign = VAlign::Center;
    title.objects.append(caption);
    t.bands.append(title);

    ReportBand header;
    header.type = BandType::PageHeader;
    header.top = kHeaderTop;
    header.height = kHeaderHeight;
    double left = 0;
    for (const PrintColumn &c : columns) {
        if (c.tag == kNoPrintColumnTag)
            continue;
        ReportObject cell;
        cell.name = QStringLiteral("Header%1").arg(header.objects.size() + 1);
        cell.rect = QRectF(left, 0, c.width, kHeaderHeight);
        cell.text = c.caption;
        cell.field = c.fieldName;
        cell.frame = FrameAll;
        cell.hAlign = HAlign::Center;
        cell.vAlign = VAlign::Center;
        cell.fill = headerShade();
        header.objects.append(cell);
        left += c.width;
    }
    t.bands.append(header);

    ReportBand master;
    master.type = BandType::MasterData;
    master.top = kMasterTop;
    master.height = kMasterHeight;
    master.dataset = masterName();
    t.bands.append(master);

    ReportBand footer;
    footer.type = BandType::PageFooter;
    footer.top = kMasterTop + kMasterHeight + 20;
    footer.height = kFooterHeight;
    ReportObject pages;
    pages.name = QStringLiteral("PageNumber1");
    pages.rect = QRectF(0, 4, kTitleWidth, kFooterHeight - 4);
    pages.centerInBand = true;
    pages.text = pageNumberText();
    pages.hAlign = HAlign::Center;
    footer.objects.append(pages);
    t.bands.append(footer);
    return t;
}

int addFieldCellsUnderHeaders(ReportTemplate &t)
{
    const ReportBand *header = t.band(BandType::PageHeader);
    ReportBand *master = t.band(BandType::MasterData);
    if (!header || !master)
        return 0;
    const QString dataset = master->dataset.isEmpty() ? masterName() : master->dataset;
    int added = 0;
    for (const ReportObject &h : header->objects) {
        if (h.field.isEmpty())
            continue;
        const bool present = std::any_of(master->objects.cbegin(), master->objects.cend(),
                                         [&](const ReportObject &o) { return o.field == h.field; });
        if (present)
            continue;
        ReportObject cell;
        cell.name = uniqueName(t, QStringLiteral("Field"));
        cell.rect = QRectF(h.rect.left(), 0, h.rect.width(), master->height);
        cell.text = QStringLiteral("[%1.\"%2\"]").arg(dataset, h.field);
        cell.field = h.field;
        cell.frame = FrameAll;
        cell.hAlign = HAlign::Left;
        cell.vAlign = VAlign::Center;
        master->objects.append(cell);
        ++added;
    }
    return added;
}

} // namespace report
