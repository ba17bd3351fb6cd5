#include "ReportTemplate.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace report {

namespace {

const char *const kRoot = "ckreport";
constexpr int kFormatVersion = 1;

template <typename E> struct Names;
template <> struct Names<ObjectKind> {
    static QStringList list() { return {"text", "line", "rect", "barcode"}; }
};
template <> struct Names<HAlign> {
    static QStringList list() { return {"left", "center", "right"}; }
};
template <> struct Names<VAlign> {
    static QStringList list() { return {"top", "center", "bottom"}; }
};
template <> struct Names<BarcodeType> {
    static QStringList list() { return {"code128", "qrcode", "ean13"}; }
};
template <> struct Names<BandType> {
    static QStringList list() { return {"reportTitle", "pageHeader", "masterData", "detailData", "summary", "pageFooter"}; }
};

template <typename E> QString nameOf(E value) { return Names<E>::list().at(static_cast<int>(value)); }

template <typename E> E valueOf(const QString &name, const QString &what)
{
    const int i = Names<E>::list().indexOf(name);
    if (i < 0)
        throw TemplateError(QStringLiteral("报表模板无效：%1 \"%2\" 不可识别。").arg(what, name));
    return static_cast<E>(i);
}

QString num(double v) { return QString::number(v, 'g', 10); }
QString flag(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }
QString colour(const QColor &c)
{
    if (!c.isValid())
        return {};
    return c.alpha() == 255 ? c.name(QColor::HexRgb) : c.name(QColor::HexArgb);
}

// Attribute access that rejects malformed numbers instead of reading them as 0.
class Attrs {
public:
    explicit Attrs(const QXmlStreamAttributes &a) : m_a(a) {}
    QString text(const char *name, const QString &fallback = {}) const
    {
        const QString key = QLatin1String(name);
        return m_a.hasAttribute(key) ? m_a.value(key).toString() : fallback;
    }
    double number(const char *name, double fallback) const
    {
        const QString t = text(name);
        if (t.isEmpty())
            return fallback;
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok)
            throw TemplateError(QStringLiteral("报表模板无效：属性 %1 的值 \"%2\" 不是数字。").arg(QLatin1String(name), t));
        return v;
    }
    bool boolean(const char *name, bool fallback) const
    {
        const QString t = text(name);
        return t.isEmpty() ? fallback : t == QLatin1String("1");
    }
    QColor color(const char *name, const QColor &fallback) const
    {
        if (!m_a.hasAttribute(QLatin1String(name)))
            return fallback;
        const QString t = text(name);
        if (t.isEmpty())
            return {};
        const QColor c = QColor::fromString(t);
        if (!c.isValid())
            throw TemplateError(QStringLiteral("报表模板无效：颜色 \"%1\" 不可识别。").arg(t));
        return c;
    }

private:
    const QXmlStreamAttributes &m_a;
};

void writeObject(QXmlStreamWriter &w, const ReportObject &o)
{
    w.writeStartElement(nameOf(o.kind));
    w.writeAttribute("name", o.name);
    w.writeAttribute("left", num(o.rect.left()));
    w.writeAttribute("top", num(o.rect.top()));
    w.writeAttribute("width", num(o.rect.width()));
    w.writeAttribute("height", num(o.rect.height()));
    w.writeAttribute("centerInBand", flag(o.centerInBand));
    if (!o.field.isEmpty())
        w.writeAttribute("field", o.field);
    w.writeAttribute("fontFamily", o.font.family);
    w.writeAttribute("fontSize", num(o.font.pointSize));
    w.writeAttribute("bold", flag(o.font.bold));
    w.writeAttribute("italic", flag(o.font.italic));
    w.writeAttribute("underline", flag(o.font.underline));
    w.writeAttribute("hAlign", nameOf(o.hAlign));
    w.writeAttribute("vAlign", nameOf(o.vAlign));
    w.writeAttribute("wordWrap", flag(o.wordWrap));
    w.writeAttribute("frame", QString::number(o.frame));
    w.writeAttribute("frameWidth", num(o.frameWidth));
    w.writeAttribute("frameColor", colour(o.frameColor));
    w.writeAttribute("fill", colour(o.fill));
    w.writeAttribute("textColor", colour(o.textColor));
    w.writeAttribute("format", o.displayFormat);
    if (o.kind == ObjectKind::Barcode)
        w.writeAttribute("barcodeType", nameOf(o.barcodeType));
    w.writeCharacters(o.text);
    w.writeEndElement();
}

ReportObject readObject(QXmlStreamReader &r)
{
    ReportObject o;
    o.kind = valueOf<ObjectKind>(r.name().toString(), QStringLiteral("对象"));
    const QXmlStreamAttributes attributes = r.attributes();
    const Attrs a(attributes);
    o.name = a.text("name");
    o.rect = QRectF(a.number("left", 0), a.number("top", 0), a.number("width", 0), a.number("height", 0));
    o.centerInBand = a.boolean("centerInBand", false);
    o.field = a.text("field");
    o.font.family = a.text("fontFamily");
    o.font.pointSize = a.number("fontSize", 9);
    if (o.font.pointSize <= 0)
        o.font.pointSize = 9;
    o.font.bold = a.boolean("bold", false);
    o.font.italic = a.boolean("italic", false);
    o.font.underline = a.boolean("underline", false);
    o.hAlign = valueOf<HAlign>(a.text("hAlign", QStringLiteral("left")), QStringLiteral("水平对齐"));
    o.vAlign = valueOf<VAlign>(a.text("vAlign", QStringLiteral("center")), QStringLiteral("垂直对齐"));
    o.wordWrap = a.boolean("wordWrap", false);
    o.frame = static_cast<int>(a.number("frame", 0)) & FrameAll;
    o.frameWidth = a.number("frameWidth", 1);
    o.frameColor = a.color("frameColor", Qt::black);
    o.fill = a.color("fill", QColor());
    o.textColor = a.color("textColor", Qt::black);
    o.displayFormat = a.text("format");
    if (o.kind == ObjectKind::Barcode)
        o.barcodeType = valueOf<BarcodeType>(a.text("barcodeType", QStringLiteral("code128")), QStringLiteral("条码类型"));
    o.text = r.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    return o;
}

ReportBand readBand(QXmlStreamReader &r)
{
    ReportBand b;
    const QXmlStreamAttributes attributes = r.attributes();
    const Attrs a(attributes);
    b.type = valueOf<BandType>(a.text("type"), QStringLiteral("栏"));
    b.top = a.number("top", 0);
    b.height = a.number("height", 20);
    if (b.height < 0)
        throw TemplateError(QStringLiteral("报表模板无效：栏的高度不能为负数。"));
    b.dataset = a.text("dataset");
    b.linkMaster = a.text("linkMaster");
    b.linkDetail = a.text("linkDetail");
    while (r.readNextStartElement())
        b.objects.append(readObject(r));
    return b;
}

} // namespace

QString masterName() { return QStringLiteral("主表"); }
QString detailName() { return QStringLiteral("子表"); }
QString companyName() { return QStringLiteral("企业信息"); }

QSizeF ReportPage::paperSizeMm() const
{
    return landscape ? QSizeF(paperHeight, paperWidth) : QSizeF(paperWidth, paperHeight);
}

QSizeF ReportPage::contentSizePx() const
{
    const QSizeF paper = paperSizeMm();
    return QSizeF((paper.width() - marginLeft - marginRight) * kPxPerMm,
                  (paper.height() - marginTop - marginBottom) * kPxPerMm);
}

ReportBand *ReportTemplate::band(BandType type)
{
    for (ReportBand &b : bands)
        if (b.type == type)
            return &b;
    return nullptr;
}

const ReportBand *ReportTemplate::band(BandType type) const
{
    return const_cast<ReportTemplate *>(this)->band(type);
}

QString bandTypeName(BandType type)
{
    switch (type) {
    case BandType::ReportTitle: return QStringLiteral("报表标题");
    case BandType::PageHeader: return QStringLiteral("页眉");
    case BandType::MasterData: return QStringLiteral("主数据");
    case BandType::DetailData: return QStringLiteral("明细数据");
    case BandType::Summary: return QStringLiteral("报表合计");
    case BandType::PageFooter: return QStringLiteral("页脚");
    }
    return {};
}

bool isDataBand(BandType type) { return type == BandType::MasterData || type == BandType::DetailData; }

QByteArray toXml(const ReportTemplate &t)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(kRoot);
    w.writeAttribute("version", QString::number(kFormatVersion));
    w.writeStartElement("page");
    w.writeAttribute("paperWidth", num(t.page.paperWidth));
    w.writeAttribute("paperHeight", num(t.page.paperHeight));
    w.writeAttribute("orientation", t.page.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    w.writeAttribute("marginLeft", num(t.page.marginLeft));
    w.writeAttribute("marginRight", num(t.page.marginRight));
    w.writeAttribute("marginTop", num(t.page.marginTop));
    w.writeAttribute("marginBottom", num(t.page.marginBottom));
    w.writeEndElement();
    for (const ReportBand &b : t.bands) {
        w.writeStartElement("band");
        w.writeAttribute("type", nameOf(b.type));
        w.writeAttribute("top", num(b.top));
        w.writeAttribute("height", num(b.height));
        if (!b.dataset.isEmpty())
            w.writeAttribute("dataset", b.dataset);
        if (!b.linkMaster.isEmpty())
            w.writeAttribute("linkMaster", b.linkMaster);
        if (!b.linkDetail.isEmpty())
            w.writeAttribute("linkDetail", b.linkDetail);
        for (const ReportObject &o : b.objects)
            writeObject(w, o);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

ReportTemplate fromXml(const QByteArray &xml)
{
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement() || r.name() != QLatin1String(kRoot))
        throw TemplateError(QStringLiteral("文件不是报表模板。"));
    const QXmlStreamAttributes rootAttributes = r.attributes();
    const int version = static_cast<int>(Attrs(rootAttributes).number("version", 0));
    if (version < 1 || version > kFormatVersion)
        throw TemplateError(QStringLiteral("报表模板的版本 %1 不受支持。").arg(version));
    ReportTemplate t;
    while (r.readNextStartElement()) {
        if (r.name() == QLatin1String("page")) {
            const QXmlStreamAttributes attributes = r.attributes();
            const Attrs a(attributes);
            t.page.paperWidth = a.number("paperWidth", 210);
            t.page.paperHeight = a.number("paperHeight", 297);
            t.page.landscape = a.text("orientation") == QLatin1String("landscape");
            t.page.marginLeft = a.number("marginLeft", 10);
            t.page.marginRight = a.number("marginRight", 10);
            t.page.marginTop = a.number("marginTop", 10);
            t.page.marginBottom = a.number("marginBottom", 10);
            r.skipCurrentElement();
        } else if (r.name() == QLatin1String("band")) {
            t.bands.append(readBand(r));
        } else {
            throw TemplateError(QStringLiteral("报表模板无效：元素 <%1> 不可识别。").arg(r.name().toString()));
        }
    }
    if (r.hasError())
        throw TemplateError(QStringLiteral("报表模板无效：%1（第 %2 行）").arg(r.errorString()).arg(r.lineNumber()));
    const QSizeF content = t.page.contentSizePx();
    if (t.page.paperWidth <= 0 || t.page.paperHeight <= 0 || content.width() <= 0 || content.height() <= 0)
        throw TemplateError(QStringLiteral("报表模板无效：纸张或页边距不正确。"));
    return t;
}

} // namespace report
