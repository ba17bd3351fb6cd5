#pragma once

#include "ReportData.h"
#include "ReportTemplate.h"

#include <QList>
#include <QString>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace report {

// One object placed on a page: its template object, where it lands (pixels
// at 96 per inch from the paper's top-left corner) and its finished text.
struct PlacedObject {
    ReportObject object;
    QRectF rect;
    QString text;
};

struct PreparedPage {
    QList<PlacedObject> objects;
};

// A template laid out over its data, page by page, ready to draw.
class PreparedReport {
public:
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const PreparedPage &pageAt(int index) const { return m_pages.at(index); }

    // Draws one page; the painter's unit must be one pixel at 96 per inch with
    // its origin at the paper's top-left corner.
    void paintPage(QPainter &painter, int index) const;
    // Prints every page (or the printer's chosen range) at the template's paper size;
    // false when the printer could not be opened.
    bool print(QPrinter *printer) const;
    // Writes a PDF; false with a message when the file cannot be written.
    bool exportPdf(const QString &path, QString *error) const;
    // Texts of a page in reading order (tests and diagnostics).
    QStringList pageTexts(int index) const;

private:
    friend class Layout;
    bool paintAll(QPagedPaintDevice &device, const QList<int> &pages) const;

    ReportPage m_page;
    QList<PreparedPage> m_pages;
};

// Draws one placed object (the designer draws with it too, so the page looks
// as it will print).
void drawObject(QPainter &painter, const PlacedObject &placed);

// Lays out the template over the data. Bands flow down the page: the title
// once, the page header on every page, one master band per printed master
// row followed by its detail rows, the summary after the last row and the
// page footer at the bottom of every page. Throws TemplateError when the
// template uses a dataset, field or expression that cannot be printed.
PreparedReport prepareReport(const ReportTemplate &t, const ReportData &data);

} // namespace report
