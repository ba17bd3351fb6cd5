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
    // The human-readable line is drawn by us, at a legible size whatever the box.
    symbol->show_hrt = 0;
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
    QRectF bars = rect;
    QRectF caption;
    if (type != BarcodeType::QrCode && rect.height() >= 30) {
        const double strip = qMin(16.0, rect.height() * 0.3);
        bars.setHeight(rect.height() - strip);
        caption = QRectF(rect.left(), bars.bottom(), rect.width(), strip);
    }
    double sx = bars.width() / v.width;
    double sy = bars.height() / v.height;
    QPointF origin = bars.topLeft();
    if (type == BarcodeType::QrCode) {
        sx = sy = qMin(sx, sy);
        origin += QPointF((bars.width() - v.width * sx) / 2, (bars.height() - v.height * sy) / 2);
    }

    painter.save();
    painter.setPen(Qt::NoPen);
    for (const zint_vector_rect *r = v.rectangles; r; r = r->next) {
        painter.setBrush(r->colour == 8 ? Qt::white : Qt::black);
        painter.drawRect(QRectF(origin.x() + r->x * sx, origin.y() + r->y * sy, r->width * sx, r->height * sy));
    }
    if (!caption.isEmpty()) {
        QFont f = painter.font();
        f.setPixelSize(qMax(6, qRound(caption.height() * 0.75)));
        painter.setFont(f);
        painter.setPen(Qt::black);
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignVCenter, data);
    }
    painter.restore();
    return {};
}

} // namespace report
