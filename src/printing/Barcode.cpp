#include "Barcode.h"

#include <QPainter>
#include <memory>
#include <zint.h>

namespace report {

namespace {

int symbology(BarcodeType type)
{
    switch (type) {
    case BarcodeType::Code128: return BARCODE_CODE128;
    case BarcodeType::QrCode: return BARCODE_QRCODE;
    case BarcodeType::Ean13: return BARCODE_EANX;
    }
    return BARCODE_CODE128;
}

struct SymbolDeleter {
    void operator()(zint_symbol *s) const { ZBarcode_Delete(s); }
};

} // namespace

QString drawBarcode(QPainter &painter, const QRectF &rect, BarcodeType type, const QString &data)
{
    if (data.isEmpty())
        return QStringLiteral("条码内容为空");
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return QStringLiteral("条码库无法初始化");
    symbol->symbology = symbology(type);
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = type == BarcodeType::QrCode ? 0 : 1;
    const QByteArray utf8 = data.toUtf8();
    int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char *>(utf8.constData()),
                             static_cast<int>(utf8.size()));
    if (rc < ZINT_ERROR)
        rc = ZBarcode_Buffer_Vector(symbol.get(), 0);
    if (rc >= ZINT_ERROR || !symbol->vector)
        return QString::fromUtf8(symbol->errtxt);

    const zint_vector &v = *symbol->vector;
    if (v.width <= 0 || v.height <= 0)
        return QStringLiteral("条码无法生成");
    double sx = rect.width() / v.width;
    double sy = rect.height() / v.height;
    QPointF origin = rect.topLeft();
    if (type == BarcodeType::QrCode) {
        sx = sy = qMin(sx, sy);
        origin += QPointF((rect.width() - v.width * sx) / 2, (rect.height() - v.height * sy) / 2);
    }

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const zint_vector_rect *r = v.rectangles; r; r = r->next) {
        painter.setBrush(r->colour == 8 ? Qt::white : Qt::black);
        painter.drawRect(QRectF(origin.x() + r->x * sx, origin.y() + r->y * sy, r->width * sx, r->height * sy));
    }
    painter.setPen(Qt::black);
    for (const zint_vector_string *s = v.strings; s; s = s->next) {
        QFont f = painter.font();
        // The encoder gives the font size in its own units; scale it like the bars.
        f.setPixelSize(qMax(1, qRound(s->fsize * sy)));
        painter.setFont(f);
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(s->text), s->length);
        const double cx = origin.x() + s->x * sx;
        const double baseline = origin.y() + s->y * sy;
        const double w = qMax<double>(s->width * sx, painter.fontMetrics().horizontalAdvance(text));
        painter.drawText(QRectF(cx - w / 2, baseline - f.pixelSize(), w, f.pixelSize() * 1.2),
                         Qt::AlignHCenter | Qt::AlignBottom, text);
    }
    painter.restore();
    return {};
}

} // namespace report
