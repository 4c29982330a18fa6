// See CellTexts.h.
#include "workbooks/CellTexts.h"

namespace workbooks {

const QString& CellTexts::at(int row, int column) const {
    static const QString empty;
    const auto it = cells_.find(key(row, column));
    return it == cells_.end() ? empty : it->second.text;
}

CellTexts::Kind CellTexts::kindAt(int row, int column) const {
    const auto it = cells_.find(key(row, column));
    return it == cells_.end() ? Kind::Other : it->second.kind;
}

} // namespace workbooks
