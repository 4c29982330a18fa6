// Prints a data grid's rows as a table: the title on every page, the column headings
// repeated on every page, the cells with their colours and check boxes. Hidden columns
// can be left out. A printed column is as wide as on screen, widened where its heading or
// its values need more room (up to a limit, beyond which texts are cut with an ellipsis).
// "Fit on one page" shrinks the table to the page's width; otherwise the columns that do
// not fit continue on further pages.
#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>

class QPaintDevice;
class QPagedPaintDevice;

namespace platform::ui {

class DataGridModel;

struct GridPrintOptions {
    QString documentName; // the name the printed document carries
    QString title;        // printed at the top of every page
    bool fitOnPage = true;
    bool skipHidden = true;
};

class DataGridPrinter {
public:
    // `widthsPx` holds each column's width on screen in pixels (15 twips each; 0 for a
    // hidden column).
    DataGridPrinter(const DataGridModel& model, QList<int> widthsPx, GridPrintOptions options);

    // False when the device could not be opened for painting.
    bool print(QPagedPaintDevice& device) const;

    // Landscape when the printed columns are wider than a portrait page.
    QPageLayout::Orientation orientation() const;

private:
    QList<int> printedColumns() const;
    // Printed widths in inches of the given columns, measured for the device.
    QList<double> columnInches(const QList<int>& columns, const QPaintDevice& device) const;
    QList<QList<int>> bands(const QList<double>& widths, double pageWidth) const;

    const DataGridModel& model_;
    QList<int> widthsPx_;
    GridPrintOptions options_;
};

} // namespace platform::ui
