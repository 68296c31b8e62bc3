#pragma once
// Lays a grid's rows out on pages and paints them: a header band, the
// column captions, the rows, a footer band. Kept apart from the widget so a
// page can be painted on any device.

#include "ui/widgets/gridtypes.h"

#include <QFont>
#include <QList>
#include <QRectF>

class QPainter;
class QPaintDevice;

namespace velto {

class GridModel;

class GridPrinter
{
public:
    struct Column {
        int column = 0; // grid column from 1
        int widthTwips = 0;
        double width = 0; // device pixels, set by layout()
    };

    GridPrinter(const GridModel &model, const GridPrintSettings &settings, QList<Column> columns,
                const QFont &bodyFont);

    // Measures against the device that will be printed on; returns the
    // page count, at least 1 (an empty grid prints its captions).
    int layout(QPaintDevice *device);
    [[nodiscard]] int pageCount() const { return m_pageCount; }
    // page from 1.
    void paintPage(QPainter &painter, int page, const GridPageTexts &texts) const;

private:
    [[nodiscard]] int firstRowOf(int page) const;
    [[nodiscard]] int rowsOn(int page) const;
    void paintBand(QPainter &painter, const QRectF &band, const QFont &font, const QString texts[3]) const;
    [[nodiscard]] QString printedText(int position, int column) const;
    [[nodiscard]] bool hasIcon(int column) const;
    // Column widths in device pixels (see GridPrintSettings::stretchColumn).
    void fitColumns(QPaintDevice *device, double dpiX);

    const GridModel &m_model;
    GridPrintSettings m_settings;
    QList<Column> m_columns;
    QFont m_bodyFont;

    QRectF m_page; // inside the margins, device pixels
    double m_headerBand = 0;
    double m_footerBand = 0;
    double m_rowHeight = 0;
    double m_indent = 0;
    int m_firstPageRows = 1;
    int m_otherPageRows = 1;
    int m_pageCount = 1;
};

} // namespace velto
