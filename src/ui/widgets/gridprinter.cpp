#include "ui/widgets/gridprinter.h"

#include "ui/widgets/gridmodel.h"

#include <QFontMetricsF>
#include <QIcon>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velto {

GridPrinter::GridPrinter(const GridModel &model, const GridPrintSettings &settings, QList<Column> columns,
                         const QFont &bodyFont)
    : m_model(model), m_settings(settings), m_columns(std::move(columns)), m_bodyFont(bodyFont)
{
}

int GridPrinter::layout(QPaintDevice *device)
{
    const double dpiX = device->logicalDpiX(), dpiY = device->logicalDpiY();
    const double left = m_settings.leftMarginTwips * dpiX / 1440.0;
    const double right = m_settings.rightMarginTwips * dpiX / 1440.0;
    const double top = m_settings.topMarginTwips * dpiY / 1440.0;
    const double bottom = m_settings.bottomMarginTwips * dpiY / 1440.0;
    m_page = QRectF(left, top, std::max(1.0, device->width() - left - right),
                    std::max(1.0, device->height() - top - bottom));

    QFont header = m_settings.headerFont;
    header.setBold(true);
    m_headerBand = QFontMetricsF(header, device).height() * 2;
    m_footerBand = QFontMetricsF(m_settings.footerFont, device).height() * 2;
    const QFontMetricsF body(m_bodyFont, device);
    m_rowHeight = std::ceil(body.height() * 1.3);
    m_indent = body.averageCharWidth() * 2;

    fitColumns(device, dpiX);

    const double body_h = m_page.height() - m_headerBand - m_footerBand;
    const int fit = std::max(1, int(std::floor(body_h / m_rowHeight)));
    // The caption line takes one row's height on the pages that carry it.
    m_firstPageRows = std::max(1, fit - 1);
    m_otherPageRows = m_settings.repeatHeaders ? m_firstPageRows : fit;
    const int rows = m_model.rowTotal();
    m_pageCount = 1;
    if (rows > m_firstPageRows)
        m_pageCount += (rows - m_firstPageRows + m_otherPageRows - 1) / m_otherPageRows;
    return m_pageCount;
}

QString GridPrinter::printedText(int position, int column) const
{
    const QString shown = m_model.cellText(position, column);
    if (!m_settings.printedText)
        return shown;
    const GridRow row = m_model.row(position);
    return row.isGroupRow() ? shown : m_settings.printedText(column, row.bookmark(), shown);
}

bool GridPrinter::hasIcon(int column) const
{
    return m_model.gridColumn(column).hasIcon;
}

void GridPrinter::fitColumns(QPaintDevice *device, double dpiX)
{
    double total = 0;
    for (const Column &c : std::as_const(m_columns))
        total += c.widthTwips * dpiX / 1440.0;
    const double room = std::max(1.0, m_page.width() - m_model.groupCount() * m_indent);
    double scale = dpiX / 1440.0;
    if (m_settings.fitColumns && total > 0)
        scale *= room / total;
    for (Column &c : m_columns)
        c.width = c.widthTwips * scale;
    const bool stretchShown = std::any_of(m_columns.cbegin(), m_columns.cend(),
                                          [&](const Column &c) { return c.column == m_settings.stretchColumn; });
    if (!m_settings.fitColumns || !stretchShown)
        return;

    // Every column but the stretch one as wide as its widest text, caption
    // included; the stretch column takes the rest.
    QFont bold = m_bodyFont;
    bold.setBold(true);
    const QFontMetricsF captions(bold, device);
    const QFontMetricsF body(m_bodyFont, device);
    QFont boldBody = m_bodyFont;
    boldBody.setBold(true); // open rows are drawn bold
    const QFontMetricsF bodyBold(boldBody, device);
    const double pad = m_rowHeight * 0.15;
    double fixed = 0;
    for (Column &c : m_columns) {
        if (c.column == m_settings.stretchColumn)
            continue;
        double widest = captions.horizontalAdvance(m_model.gridColumn(c.column).caption);
        for (int pos = 1; pos <= m_model.rowTotal(); ++pos) {
            if (m_model.row(pos).isGroupRow())
                continue;
            const QString text = printedText(pos, c.column);
            widest = std::max(widest, std::max(body.horizontalAdvance(text), bodyBold.horizontalAdvance(text)));
        }
        if (hasIcon(c.column))
            widest += m_rowHeight;
        c.width = std::ceil(widest + 2 * pad + 1);
        fixed += c.width;
    }
    for (Column &c : m_columns) {
        if (c.column == m_settings.stretchColumn)
            c.width = std::max(room - fixed, 0.0);
    }
    // Columns wider than the page together: scaled down as a whole, which
    // cuts text, but keeps every column on the page.
    if (fixed > room) {
        for (Column &c : m_columns)
            c.width *= room / fixed;
    }
}

int GridPrinter::firstRowOf(int page) const
{
    return page <= 1 ? 1 : 1 + m_firstPageRows + (page - 2) * m_otherPageRows;
}

int GridPrinter::rowsOn(int page) const
{
    const int first = firstRowOf(page);
    const int capacity = page <= 1 ? m_firstPageRows : m_otherPageRows;
    return std::clamp(m_model.rowTotal() - first + 1, 0, capacity);
}

void GridPrinter::paintBand(QPainter &painter, const QRectF &band, const QFont &font, const QString texts[3]) const
{
    painter.setFont(font);
    painter.setPen(Qt::black);
    const Qt::Alignment align[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i].isEmpty())
            painter.drawText(band, int(align[i] | Qt::AlignVCenter), texts[i]);
    }
}

void GridPrinter::paintPage(QPainter &painter, int page, const GridPageTexts &texts) const
{
    painter.save();
    QFont headerFont = m_settings.headerFont;
    headerFont.setBold(true);
    const QString head[3] = {texts.header(1), texts.header(2), texts.header(3)};
    const QString foot[3] = {texts.footer(1), texts.footer(2), texts.footer(3)};
    paintBand(painter, QRectF(m_page.left(), m_page.top(), m_page.width(), m_headerBand), headerFont, head);
    paintBand(painter, QRectF(m_page.left(), m_page.bottom() - m_footerBand, m_page.width(), m_footerBand),
              m_settings.footerFont, foot);

    double y = m_page.top() + m_headerBand;
    const double pad = m_rowHeight * 0.15;
    auto cellRect = [&](double x, double w) { return QRectF(x + pad, y, std::max(0.0, w - 2 * pad), m_rowHeight); };

    if (page == 1 || m_settings.repeatHeaders) {
        QFont bold = m_bodyFont;
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(Qt::black);
        double x = m_page.left() + m_model.groupCount() * m_indent;
        for (const Column &c : std::as_const(m_columns)) {
            const double w = c.width;
            const GridColumn &def = m_model.gridColumn(c.column);
            painter.drawText(
                cellRect(x, w), int(Qt::AlignVCenter | (def.alignment & Qt::AlignHorizontal_Mask)),
                QFontMetricsF(bold, painter.device()).elidedText(def.caption, Qt::ElideRight, w - 2 * pad));
            x += w;
        }
        y += m_rowHeight;
        painter.setPen(QPen(Qt::gray, 0));
        painter.drawLine(QPointF(m_page.left(), y), QPointF(m_page.right(), y));
    }

    const int first = firstRowOf(page);
    const int count = rowsOn(page);
    for (int pos = first; pos < first + count; ++pos) {
        const GridRow row = m_model.row(pos);
        if (row.isGroupRow()) {
            QFont bold = m_bodyFont;
            bold.setBold(true);
            painter.fillRect(QRectF(m_page.left(), y, m_page.width(), m_rowHeight), QColor(0xF0, 0xF0, 0xF0));
            painter.setFont(bold);
            painter.setPen(Qt::black);
            const double indent = (row.groupLevel() - 1) * m_indent;
            painter.drawText(cellRect(m_page.left() + indent, m_page.width() - indent),
                             int(Qt::AlignVCenter | Qt::AlignLeft), row.caption());
        } else {
            double x = m_page.left() + m_model.groupCount() * m_indent;
            for (const Column &c : std::as_const(m_columns)) {
                const double w = c.width;
                const QModelIndex index = m_model.indexAt(pos, c.column);
                const QVariant font = m_model.data(index, Qt::FontRole);
                const QVariant fore = m_model.data(index, Qt::ForegroundRole);
                const QFont f = font.isValid() ? font.value<QFont>() : m_bodyFont;
                painter.setFont(f);
                painter.setPen(fore.isValid() ? fore.value<QColor>() : QColor(Qt::black));
                const GridColumn &def = m_model.gridColumn(c.column);
                QRectF cell = cellRect(x, w);
                // The icon says what the screen says with it: type, series.
                if (hasIcon(c.column)) {
                    const QVariant icon = m_model.data(index, Qt::DecorationRole);
                    const double side = m_rowHeight * 0.8;
                    if (icon.canConvert<QIcon>() && cell.width() >= side) {
                        const QRectF target(cell.left(), y + (m_rowHeight - side) / 2, side, side);
                        painter.drawPixmap(target.toRect(), icon.value<QIcon>().pixmap(64, 64));
                    }
                    cell.setLeft(cell.left() + m_rowHeight);
                }
                const QString text = QFontMetricsF(f, painter.device())
                                         .elidedText(printedText(pos, c.column), Qt::ElideRight, cell.width());
                painter.drawText(cell, int(Qt::AlignVCenter | (def.alignment & Qt::AlignHorizontal_Mask)), text);
                x += w;
            }
        }
        y += m_rowHeight;
    }
    painter.restore();
}

} // namespace velto
