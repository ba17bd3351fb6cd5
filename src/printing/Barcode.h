#pragma once

#include "ReportTemplate.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace report {

// Draws `data` as a barcode filling `rect` (a QR code keeps its square shape).
// Returns an empty string on success, else the encoder's message (nothing drawn).
QString drawBarcode(QPainter &painter, const QRectF &rect, BarcodeType type, const QString &data);

} // namespace report
