// The data grid control of the program's windows: rows and cells addressed by index from
// 0, columns created at run time (text, check-box and drop-down columns, each of which can
// be hidden), cell colours, the current cell, highlighted rows, a redraw switch, a source
// that is queried again on request, and printing.
//
// Its events tell the windows what happened: a click or double click on a cell or on a
// column heading (row -1 and ClickArea::Heading), a cell changed (by the user finishing
// an edit or by the program writing a value; the event says which), an edit about to
// begin, the current cell or row changed, a mouse button pressed, and the grid getting
// the focus. Handlers run synchronously and may write cells; a program write inside a
// handler raises its own change event.
#pragma once

#include "platform/ui/DataGridPrinter.h"
#include "platform/ui/DataGridTypes.h"

#include <QColor>
#include <QWidget>

class QPrinter;
class QTableView;

namespace platform::ui {

class DataGridModel;

class DataGrid : public QWidget {
    Q_OBJECT
public:
    // The current row when the cursor is on no row.
    static constexpr int kNoRow = -3;

    explicit DataGrid(QWidget* parent = nullptr);

    // Columns. A new set of columns starts with no rows.
    void setColumns(const QList<DataGridColumn>& columns);
    int appendColumn(const DataGridColumn& column);
    int columnCount() const;
    DataGridColumn column(int column) const;
    int columnOfField(const QString& field) const;
    void setColumnHeading(int column, const QString& heading);
    void setColumnHidden(int column, bool hidden);
    bool isColumnHidden(int column) const;
    void setColumnWidthTwips(int column, int twips);
    // Widens every column that is narrower than its heading needs, so no heading is cut.
    void fitColumnsToHeadings();
    // Widens every shown column that is narrower than its heading or its cells' texts need,
    // up to kFitLimitTwips; no column is made narrower. The texts measured are those of the
    // rows in view and of kFitRows rows around them: a grid whose rows change at every step of a
    // long run (a stamp for each mail sent) fits itself after each, and measuring every row
    // would make the run cost the square of its rows.
    void fitColumnsToContents();
    static constexpr int kFitLimitTwips = 7200;
    static constexpr int kFitRows = 100;
    // Set, the grid fits its columns to their contents (as above) whenever its rows are loaded
    // or their cells change, once the loading is over.
    void setFitsToContents(bool fits);
    // The drop-down entries of a list column, given as one text with the entries
    // separated by tab characters.
    void setColumnList(int column, const QString& tabSeparated);
    QString columnList(int column) const;

    // Rows.
    int rowCount() const;
    void resetRows();
    void appendRow(const QVariantList& values);
    void removeRow(int row);

    // Cells. Writing a value raises cellChanged with ChangeOrigin::Program when the value
    // changed; an address outside the grid reads empty and is not written.
    QVariant cellValue(int row, int column) const;
    QString cellText(int row, int column) const;
    void setCellValue(int row, int column, const QVariant& value);
    QColor cellBackground(int row, int column) const;
    void setCellBackground(int row, int column, const QColor& colour); // invalid colour = none

    // The current cell; kNoRow and -1 when there is none.
    int currentRow() const;
    int currentColumn() const;
    void setCurrentCell(int row, int column);
    // Opens the current cell's editor for typing, as a user's key press would.
    void editCurrentCell();

    // Highlighted rows.
    void setRowSelection(RowSelection mode);
    RowSelection rowSelection() const { return selection_; }
    // Highlights (or clears) the rows from..to; with RowSelection::SingleRow the rows
    // highlighted before are cleared first.
    void selectRange(int from, int to, bool select);
    bool isRowSelected(int row) const;
    QList<int> selectedRows() const; // ascending
    void clearSelection();

    // Painting is held back while redraw is off; switching it on repaints once.
    void setRedraw(bool on);
    bool redraw() const { return redraw_; }
    void refresh();

    // The source queried by requery(). A requery replaces every row (fields taken into
    // the columns of the same field name; a grid without columns takes the source's
    // fields as its columns), clears highlights and colours and puts the cursor on the
    // first row. False, with the grid unchanged, when there is no source or it failed.
    void setSource(DataGridSource source);
    bool requery();

    void setHeightTwips(int twips);
    int heightTwips() const;

    // Printing; hidden columns are left out when the options say so. False when the
    // printer or file could not be written.
    bool print(QPrinter& printer, const GridPrintOptions& options) const;
    bool printToPdf(const QString& path, const GridPrintOptions& options) const;

    // The view inside, for layouts and tests.
    QTableView* view() const { return view_; }

signals:
    void cellClicked(int row, int column, platform::ui::ClickArea area);
    void cellDoubleClicked(int row, int column, platform::ui::ClickArea area);
    void cellChanged(int row, int column, platform::ui::ChangeOrigin origin);
    void beforeEdit(int row, int column);
    void currentCellChanged(int row, int column);
    void currentRowChanged(int row);
    // button: 1 left, 2 right, 4 middle; row kNoRow and column -1 outside the cells.
    void mousePressed(int button, int row, int column);
    void gotFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumns();
    void applyColumn(int column);
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    // A row whose first cell reads as a table's placeholder row (platform/sys/PlaceholderRow.h):
    // a grid may show the row, but never makes it the current row by itself (when it fills, or
    // takes the focus); only the user's click does.
    bool isPlaceholderRow(int row) const;
    void scheduleFit();
    // The first row that is no placeholder row; kNoRow when there is none.
    int firstRealRow() const;
    // Moves the cursor off a placeholder row the view put it on by itself.
    void leavePlaceholderRow();
    QList<int> shownWidths() const;

    DataGridModel* model_;
    QTableView* view_;
    DataGridSource source_;
    RowSelection selection_ = RowSelection::Cells;
    bool redraw_ = true;
    bool currentChosen_ = false; // setCurrentCell is moving the cursor
    bool fitsToContents_ = false;
    bool fitPending_ = false;
    int heightTwips_ = 0;
};

} // namespace platform::ui
