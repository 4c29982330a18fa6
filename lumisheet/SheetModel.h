// One worksheet as a table model for the sheet view: the cells of the sheet, read from the
// workbook layer only when the view asks for it (the cells on screen), never copied. The model
// holds the used rows and columns and a margin beyond them, and grows (to the sheet's last row
// and column at most) as the view asks for cells further out, so a view never lays out a
// million rows it does not show. A cell
// shows its text in its number format and is edited as its formula (or constant); an edit is a
// typed entry of the workbook layer, after which the formulas that depend on it are brought up
// to date by the layer. An entry the layer refuses (a formula it cannot read, a locked cell of
// a protected sheet) is told in the layer's words and changes nothing.
#pragma once

#include "platform/sheet/CellAddress.h"

#include <QAbstractTableModel>
#include <QHash>
#include <cstdint>

namespace platform::sheet {
class Worksheet;
}

namespace lumisheet {

class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SheetModel(platform::sheet::Worksheet& sheet, QObject* parent = nullptr);

    platform::sheet::Worksheet& sheet() const { return sheet_; }

    // Rows and columns held beyond the used ones, and the step of growing.
    static constexpr int kMarginRows = 500;
    static constexpr int kMarginColumns = 26;
    // Grows the model so that it holds the cell with a margin beyond it.
    void growTo(platform::sheet::CellRef cell);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Tells the views that any cell may show something else now (the layer's cells changed).
    void refresh();

private:
    bool isBold(platform::sheet::CellRef cell) const;

    platform::sheet::Worksheet& sheet_;
    bool cells_; // a worksheet; a chart sheet has no cells
    int rows_ = 0;
    int columns_ = 0;
    mutable QHash<std::uint32_t, bool> boldStyles_; // per cell format: its font is bold
};

} // namespace lumisheet
