// The view of one worksheet: a grid of the cells with column letters and row numbers as
// headings, over the sheet's model (which reads only the cells on screen, and grows as the view
// scrolls towards its end). A click on a column heading selects the whole column, one on a row
// heading the whole row (to the sheet's last row and column, beyond those the model holds). Whatever the user
// selects becomes the sheet's selection in the workbook layer, which raises the application's
// selection event with the block's address ("B2:D4", "C:C", "7:7"); a selection made by the
// program is shown in turn.
#pragma once

#include "platform/sheet/CellRange.h"

#include <QTableView>
#include <optional>

namespace lumisheet {

class SheetModel;

class SheetView : public QTableView {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // Shows another sheet's model (owned elsewhere), with that sheet's selection.
    void showSheet(SheetModel* model);
    SheetModel* sheetModel() const { return sheetModel_; }

    // The block the view has selected, in the sheet's numbering.
    platform::sheet::CellRange selectedBlock() const;
    // Selects the block in the view (the program's selection), the first cell current.
    void selectBlock(const platform::sheet::CellRange& block);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The current cell moved (to show its address and formula).
    void currentCellChanged(platform::sheet::CellRef cell);

private:
    void onSelectionChanged();
    void onCurrentChanged(const QModelIndex& current);
    void growWithScrolling();

    SheetModel* sheetModel_ = nullptr;
    bool showingProgramSelection_ = false;
    // While a heading is pressed, the selection is of whole columns (or rows).
    std::optional<Qt::Orientation> headingPressed_;
};

} // namespace lumisheet
