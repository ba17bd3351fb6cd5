#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <stdexcept>

// Print templates: a page with bands, each band holding objects. Positions and
// sizes are pixels at 96 per inch; the page's paper and margins are
// millimetres. Templates are stored as one XML document (see docs/printing.md).

namespace report {

enum class ObjectKind { Text, Line, Rect, Barcode };
enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };
enum class BarcodeType { Code128, QrCode, Ean13 };
enum class BandType { ReportTitle, PageHeader, MasterData, DetailData, Summary, PageFooter };

// Frame sides of an object.
enum FrameSide { FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

struct ReportFont {
    QString family;
    double pointSize = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const ReportFont &) const = default;
};

struct ReportObject {
    ObjectKind kind = ObjectKind::Text;
    QString name;
    QRectF rect;            // within the band
    bool centerInBand = false; // placed in the middle of the band whatever its left
    // Text: fixed text mixed with [dataset."field"] expressions and [Page#],
    // [TotalPages#], [Date], [Time]; barcode: the data to encode (same syntax).
    QString text;
    // Field of the caller's grid the object was generated from (header cells).
    QString field;
    ReportFont font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Center;
    bool wordWrap = false;
    int frame = 0; // FrameSide flags; lines and rectangles are drawn with the frame pen anyway
    double frameWidth = 1;
    QColor frameColor = Qt::black;
    QColor fill;      // invalid: no fill
    QColor textColor = Qt::black;
    // Numbers: "0", "0.00", "#,##0.00"; dates and times: Qt patterns such as "yyyy-MM-dd".
    QString displayFormat;
    BarcodeType barcodeType = BarcodeType::Code128;
    bool operator==(const ReportObject &) const = default;
};

struct ReportBand {
    BandType type = BandType::MasterData;
    double top = 0; // position in the designer
    double height = 20;
    QString dataset; // data bands: "主表" or "子表"
    // Detail bands: when both are set, only the detail rows whose linkDetail
    // value equals the master row's linkMaster value belong to a master row.
    QString linkMaster;
    QString linkDetail;
    QList<ReportObject> objects;
    bool operator==(const ReportBand &) const = default;
};

struct ReportPage {
    double paperWidth = 210; // millimetres, portrait
    double paperHeight = 297;
    bool landscape = false;
    double marginLeft = 10;
    double marginRight = 10;
    double marginTop = 10;
    double marginBottom = 10;
    bool operator==(const ReportPage &) const = default;

    // Paper as printed, in millimetres (orientation applied).
    QSizeF paperSizeMm() const;
    // Printable area in pixels at 96 per inch.
    QSizeF contentSizePx() const;
};

struct ReportTemplate {
    ReportPage page;
    QList<ReportBand> bands;
    bool operator==(const ReportTemplate &) const = default;

    ReportBand *band(BandType type);
    const ReportBand *band(BandType type) const;
};

// Names of the bound datasets as templates use them.
QString masterName();  // 主表
QString detailName();  // 子表
QString companyName(); // 企业信息

// 96 pixels per inch.
inline constexpr double kPxPerMm = 96.0 / 25.4;

QString bandTypeName(BandType type); // shown in the designer
bool isDataBand(BandType type);

// The XML form. fromXml throws TemplateError for anything that is not a template.
QByteArray toXml(const ReportTemplate &t);
ReportTemplate fromXml(const QByteArray &xml);

class TemplateError : public std::runtime_error {
public:
    explicit TemplateError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

} // namespace report
