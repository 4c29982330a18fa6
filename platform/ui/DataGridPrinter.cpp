// Table printing of the data grid, on any paged device (a printer or a PDF file).
#include "platform/ui/DataGridPrinter.h"

#include "platform/ui/DataGridModel.h"
#include "platform/ui/Twips.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <numeric>

namespace platform::ui {

namespace {

constexpr double kScreenDpi = 1440.0 / Twips::kPerPixel; // 96 pixels an inch
constexpr double kPortraitInches = 7.2;                  // printable width of a portrait page
constexpr double kWidestColumnInches = 3.5;              // a column widened for its texts stops here

struct Fonts {
    QFont title;
    QFont heading;
    QFont body;
};

// A tiny letter spacing keeps the shaper from joining letters into ligatures, so the
// printed text can be searched and copied as it was written.
QFont plain(double points, bool bold) {
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.2);
    return font;
}

Fonts fonts() {
    return {plain(13, true), plain(9, true), plain(9, false)};
}

void drawCheck(QPainter& painter, const QRectF& cell, bool ticked) {
    const double side = std::min(cell.height() * 0.6, cell.width() * 0.8);
    const QRectF box(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side);
    painter.drawRect(box);
    if (!ticked)
        return;
    QPainterPath tick;
    tick.moveTo(box.left() + side * 0.2, box.top() + side * 0.55);
    tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.78);
    tick.lineTo(box.left() + side * 0.82, box.top() + side * 0.25);
    painter.save();
    painter.setPen(QPen(Qt::black, side * 0.12));
    painter.drawPath(tick);
    painter.restore();
}

} // namespace

DataGridPrinter::DataGridPrinter(const DataGridModel& model, QList<int> widthsPx, GridPrintOptions options)
    : model_(model)
    , widthsPx_(std::move(widthsPx))
    , options_(std::move(options)) {}

QList<int> DataGridPrinter::printedColumns() const {
    QList<int> columns;
    const auto& all = model_.columns();
    for (int c = 0; c < all.size(); ++c) {
        if (!(options_.skipHidden && all[c].hidden))
            columns.append(c);
    }
    return columns;
}

QList<double> DataGridPrinter::columnInches(const QList<int>& columns, const QPaintDevice& device) const {
    const Fonts f = fonts();
    const QFontMetricsF heading(f.heading, &device);
    const QFontMetricsF body(f.body, &device);
    const double dpi = device.logicalDpiX();
    const double pad = body.averageCharWidth() * 2; // room for the cell's inner margins
    QList<double> widths;
    for (int c : columns) {
        // A hidden column printed anyway takes its designed width.
        int px = c < widthsPx_.size() ? widthsPx_[c] : 0;
        if (px <= 0)
            px = Twips::toPixels(model_.columns()[c].widthTwips);
        const double shown = std::max(px, 8) / kScreenDpi;
        double needed = heading.horizontalAdvance(model_.columns()[c].heading) + pad;
        if (model_.columns()[c].kind != ColumnKind::Check) {
            for (int row = 0; row < model_.rowCount(); ++row)
                needed = std::max(needed, body.horizontalAdvance(model_.text(row, c)) + pad);
        }
        widths.append(std::max(shown, std::min(needed / dpi, kWidestColumnInches)));
    }
    return widths;
}

QPageLayout::Orientation DataGridPrinter::orientation() const {
    QImage probe(1, 1, QImage::Format_RGB32); // measures like a 96-dpi device
    const QList<double> widths = columnInches(printedColumns(), probe);
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    return total > kPortraitInches ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QList<QList<int>> DataGridPrinter::bands(const QList<double>& widths, double pageWidth) const {
    // Positions into the printed columns, grouped so that each group fits the page.
    QList<QList<int>> result{QList<int>()};
    double used = 0;
    for (int i = 0; i < widths.size(); ++i) {
        if (!options_.fitOnPage && !result.back().isEmpty() && used + widths[i] > pageWidth) {
            result.append(QList<int>());
            used = 0;
        }
        result.back().append(i);
        used += widths[i];
    }
    return result;
}

bool DataGridPrinter::print(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double dpi = device.logicalDpiX();
    const QList<int> columns = printedColumns();
    QList<double> widths = columnInches(columns, device);
    for (double& w : widths)
        w *= dpi;
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);

    // Fitting shrinks the whole table, text included, to the page's width.
    const double scale = options_.fitOnPage && total > device.width() ? device.width() / total : 1.0;
    painter.scale(scale, scale);
    const double pageWidth = device.width() / scale;
    const double pageHeight = device.height() / scale;

    const Fonts f = fonts();
    const QFontMetricsF headingMetrics(f.heading, &device);
    const QFontMetricsF bodyMetrics(f.body, &device);
    const double titleHeight = QFontMetricsF(f.title, &device).height() * 1.6;
    const double rowHeight = bodyMetrics.height() * 1.5;
    const double footerHeight = rowHeight;
    const double pad = bodyMetrics.averageCharWidth() * 0.5;
    const QColor lines(150, 150, 150);

    int pageNumber = 0;
    double y = 0;
    auto drawText = [&](const QRectF& cell, const QString& text, const QFontMetricsF& metrics) {
        const QRectF inner = cell.adjusted(pad, 0, -pad, 0);
        painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(text, Qt::ElideRight, inner.width()));
    };
    auto startPage = [&](const QList<int>& band) {
        if (pageNumber > 0)
            device.newPage();
        ++pageNumber;
        painter.setPen(Qt::black);
        painter.setFont(f.title);
        painter.drawText(QRectF(0, 0, pageWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         options_.title);
        painter.setFont(f.body);
        painter.drawText(QRectF(0, pageHeight - footerHeight, pageWidth, footerHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1").arg(pageNumber));
        y = titleHeight;
        double x = 0;
        painter.setFont(f.heading);
        for (int i : band) {
            const QRectF cell(x, y, widths[i], rowHeight);
            painter.fillRect(cell, QColor(225, 225, 225));
            painter.setPen(lines);
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            drawText(cell, model_.columns()[columns[i]].heading, headingMetrics);
            x += cell.width();
        }
        y += rowHeight;
        painter.setFont(f.body);
    };

    for (const QList<int>& band : bands(widths, pageWidth)) {
        startPage(band);
        for (int row = 0; row < model_.rowCount(); ++row) {
            if (y + rowHeight > pageHeight - footerHeight)
                startPage(band);
            double x = 0;
            for (int i : band) {
                const int c = columns[i];
                const QRectF cell(x, y, widths[i], rowHeight);
                const QColor colour = model_.background(row, c);
                if (colour.isValid())
                    painter.fillRect(cell, colour);
                painter.setPen(lines);
                painter.drawRect(cell);
                painter.setPen(Qt::black);
                if (model_.columns()[c].kind == ColumnKind::Check)
                    drawCheck(painter, cell, model_.value(row, c).toInt() == 1);
                else
                    drawText(cell, model_.text(row, c), bodyMetrics);
                x += cell.width();
            }
            y += rowHeight;
        }
    }
    return painter.end();
}

} // namespace platform::ui
