#include "ReportRenderer.h"

#include "Barcode.h"
#include "data/Dataset.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>

namespace report {

// --- layout -------------------------------------------------------------------------

class Layout {
public:
    Layout(const ReportTemplate &t, const ReportData &data) : m_t(t), m_data(data)
    {
        m_report.m_page = t.page;
        m_content = t.page.contentSizePx();
        m_origin = QPointF(t.page.marginLeft * kPxPerMm, t.page.marginTop * kPxPerMm);
        const ReportBand *footer = t.band(BandType::PageFooter);
        m_footerHeight = footer ? footer->height : 0;
    }

    PreparedReport run()
    {
        startPage(false);
        place(m_t.band(BandType::ReportTitle), {});
        place(m_t.band(BandType::PageHeader), {});
        const ReportBand *master = m_t.band(BandType::MasterData);
        const ReportBand *detail = m_t.band(BandType::DetailData);
        for (int row : masterRows()) {
            ExpandContext ctx{&m_data, row, -1};
            place(master, ctx);
            if (detail)
                for (int d : detailRows(*detail, row))
                    place(detail, ExpandContext{&m_data, row, d});
        }
        place(m_t.band(BandType::Summary), {&m_data, -1, -1});
        finishPage();
        const int count = m_report.pageCount();
        for (int p = 0; p < count; ++p)
            for (PlacedObject &o : m_report.m_pages[p].objects)
                o.text = resolvePageMarks(o.text, p + 1, count);
        return std::move(m_report);
    }

private:
    QList<int> masterRows() const
    {
        QList<int> rows;
        const Dataset *m = m_data.master;
        if (!m || !m->isActive())
            return rows;
        if (!m_data.masterAllRows) {
            if (m->recNo() >= 0)
                rows << m->recNo();
            return rows;
        }
        for (int i = 0; i < m->recordCount(); ++i)
            rows << i;
        return rows;
    }

    QList<int> detailRows(const ReportBand &band, int masterRow) const
    {
        QList<int> rows;
        const Dataset *d = m_data.detail;
        if (!d || !d->isActive())
            return rows;
        const bool linked = !band.linkMaster.isEmpty() && !band.linkDetail.isEmpty();
        QVariant key;
        if (linked) {
            if (!m_data.master || !m_data.master->hasField(band.linkMaster) || !d->hasField(band.linkDetail))
                throw TemplateError(QStringLiteral("明细数据栏的关联字段 %1 / %2 不存在。")
                                        .arg(band.linkMaster, band.linkDetail));
            key = m_data.master->valueAt(masterRow, band.linkMaster);
        }
        for (int i = 0; i < d->recordCount(); ++i)
            if (!linked || d->valueAt(i, band.linkDetail) == key)
                rows << i;
        return rows;
    }

    void startPage(bool withHeader)
    {
        m_report.m_pages.append(PreparedPage{});
        m_y = 0;
        m_pageHasBody = false;
        if (withHeader)
            place(m_t.band(BandType::PageHeader), {&m_data, -1, -1}, false);
    }

    void finishPage()
    {
        if (const ReportBand *footer = m_t.band(BandType::PageFooter)) {
            m_y = m_content.height() - footer->height;
            putBand(*footer, {&m_data, -1, -1});
        }
    }

    // Places a band at the current position, starting a new page first when
    // it does not fit above the page footer (a band taller than a whole page
    // is placed on a page of its own and cut at the page's edge).
    void place(const ReportBand *band, ExpandContext ctx, bool isBody = true)
    {
        if (!band)
            return;
        if (!ctx.data)
            ctx.data = &m_data;
        if (isBody && m_pageHasBody && m_y + band->height > m_content.height() - m_footerHeight) {
            finishPage();
            startPage(true);
        }
        putBand(*band, ctx);
        m_y += band->height;
        if (isBody && band->type != BandType::PageHeader && band->type != BandType::ReportTitle)
            m_pageHasBody = true;
    }

    void putBand(const ReportBand &band, const ExpandContext &ctx)
    {
        PreparedPage &page = m_report.m_pages.last();
        for (const ReportObject &o : band.objects) {
            PlacedObject p;
            p.object = o;
            const double left = o.centerInBand ? (m_content.width() - o.rect.width()) / 2 : o.rect.left();
            p.rect = QRectF(m_origin.x() + left, m_origin.y() + m_y + o.rect.top(), o.rect.width(), o.rect.height());
            if (o.kind == ObjectKind::Text || o.kind == ObjectKind::Barcode)
                p.text = expandText(o.text, ctx, o.displayFormat);
            page.objects.append(std::move(p));
        }
    }

    const ReportTemplate &m_t;
    const ReportData &m_data;
    PreparedReport m_report;
    QSizeF m_content;
    QPointF m_origin;
    double m_footerHeight = 0;
    double m_y = 0;
    bool m_pageHasBody = false;
};

PreparedReport prepareReport(const ReportTemplate &t, const ReportData &data)
{
    return Layout(t, data).run();
}

// --- drawing ------------------------------------------------------------------------

namespace {

QFont fontFor(const ReportFont &rf, const QPaintDevice *device)
{
    QFont f;
    QStringList families;
    if (!rf.family.isEmpty())
        families << rf.family;
    families << QStringLiteral("Microsoft YaHei") << QStringLiteral("Noto Sans CJK SC")
             << QStringLiteral("WenQuanYi Micro Hei");
    f.setFamilies(families);
    // Point sizes are measured on the device; our painter is scaled to 96
    // units per inch, so the size is given as if the device were 96 dpi.
    f.setPointSizeF(rf.pointSize * 96.0 / device->logicalDpiY());
    f.setBold(rf.bold);
    f.setItalic(rf.italic);
    f.setUnderline(rf.underline);
    return f;
}

int alignmentFlags(const ReportObject &o)
{
    int flags = o.hAlign == HAlign::Left ? Qt::AlignLeft : o.hAlign == HAlign::Center ? Qt::AlignHCenter : Qt::AlignRight;
    flags |= o.vAlign == VAlign::Top ? Qt::AlignTop : o.vAlign == VAlign::Center ? Qt::AlignVCenter : Qt::AlignBottom;
    if (o.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

QPen framePen(const ReportObject &o)
{
    QPen pen(o.frameColor.isValid() ? o.frameColor : QColor(Qt::black));
    pen.setWidthF(o.frameWidth);
    return pen;
}

void drawFrame(QPainter &p, const ReportObject &o, const QRectF &r)
{
    if (!o.frame)
        return;
    p.setPen(framePen(o));
    if (o.frame & FrameLeft)
        p.drawLine(r.topLeft(), r.bottomLeft());
    if (o.frame & FrameTop)
        p.drawLine(r.topLeft(), r.topRight());
    if (o.frame & FrameRight)
        p.drawLine(r.topRight(), r.bottomRight());
    if (o.frame & FrameBottom)
        p.drawLine(r.bottomLeft(), r.bottomRight());
}

} // namespace

void drawObject(QPainter &p, const PlacedObject &placed)
{
    const ReportObject &o = placed.object;
    const QRectF &r = placed.rect;
    p.save();
    switch (o.kind) {
    case ObjectKind::Text:
        if (o.fill.isValid())
            p.fillRect(r, o.fill);
        p.setFont(fontFor(o.font, p.device()));
        p.setPen(o.textColor.isValid() ? o.textColor : QColor(Qt::black));
        p.setClipRect(r);
        p.drawText(r.adjusted(2, 1, -2, -1), alignmentFlags(o), placed.text);
        p.setClipping(false);
        drawFrame(p, o, r);
        break;
    case ObjectKind::Line:
        p.setPen(framePen(o));
        p.drawLine(r.topLeft(), r.bottomRight());
        break;
    case ObjectKind::Rect:
        p.setPen(framePen(o));
        p.setBrush(o.fill.isValid() ? QBrush(o.fill) : QBrush(Qt::NoBrush));
        p.drawRect(r);
        break;
    case ObjectKind::Barcode: {
        if (o.fill.isValid())
            p.fillRect(r, o.fill);
        p.setFont(fontFor(o.font, p.device()));
        const QString error = drawBarcode(p, r, o.barcodeType, placed.text);
        if (!error.isEmpty()) {
            // A value the symbology cannot carry is shown, not silently left out.
            p.setPen(Qt::red);
            p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("条码错误：%1").arg(error));
        }
        drawFrame(p, o, r);
        break;
    }
    }
    p.restore();
}

void PreparedReport::paintPage(QPainter &painter, int index) const
{
    for (const PlacedObject &o : m_pages.at(index).objects)
        drawObject(painter, o);
}

bool PreparedReport::paintAll(QPagedPaintDevice &device, const QList<int> &pages) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double scale = device.logicalDpiX() / 96.0;
    bool first = true;
    for (int index : pages) {
        if (!first)
            device.newPage();
        first = false;
        painter.save();
        painter.scale(scale, scale);
        paintPage(painter, index);
        painter.restore();
    }
    return painter.end();
}

namespace {

QPageLayout pageLayoutOf(const ReportPage &page)
{
    return QPageLayout(QPageSize(QSizeF(page.paperWidth, page.paperHeight), QPageSize::Millimeter),
                       page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

QList<int> allPages(int count)
{
    QList<int> pages;
    for (int i = 0; i < count; ++i)
        pages << i;
    return pages;
}

} // namespace

bool PreparedReport::print(QPrinter *printer) const
{
    printer->setFullPage(true);
    printer->setPageLayout(pageLayoutOf(m_page));
    QList<int> pages;
    const QPageRanges ranges = printer->pageRanges();
    for (int i = 0; i < pageCount(); ++i)
        if (ranges.isEmpty() || ranges.contains(i + 1))
            pages << i;
    return paintAll(*printer, pages);
}

bool PreparedReport::exportPdf(const QString &path, QString *error) const
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("ckstock"));
    writer.setPageLayout(pageLayoutOf(m_page));
    if (!paintAll(writer, allPages(pageCount()))) {
        if (error)
            *error = QStringLiteral("无法写入文件：%1").arg(path);
        return false;
    }
    return true;
}

QStringList PreparedReport::pageTexts(int index) const
{
    QList<const PlacedObject *> items;
    for (const PlacedObject &o : m_pages.at(index).objects)
        if (!o.text.isEmpty())
            items << &o;
    std::stable_sort(items.begin(), items.end(), [](const PlacedObject *a, const PlacedObject *b) {
        return a->rect.top() != b->rect.top() ? a->rect.top() < b->rect.top() : a->rect.left() < b->rect.left();
    });
    QStringList texts;
    for (const PlacedObject *o : items)
        texts << o->text;
    return texts;
}

} // namespace report
