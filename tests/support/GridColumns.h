// Checks on how a data grid shows its columns, for the window tests.
#pragma once

#include "platform/ui/DataGrid.h"
#include "platform/ui/Twips.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QTableView>
#include <algorithm>

namespace testsupport {

// True when the column is as wide as its heading and the texts of its cells need (up to the
// grid's fitting limit), once the grid has finished loading.
inline bool columnShownWhole(platform::ui::DataGrid& grid, int column) {
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    const QAbstractItemView* view = grid.view();
    const int needed = std::min(view->sizeHintForColumn(column),
                                platform::ui::Twips::toPixels(platform::ui::DataGrid::kFitLimitTwips));
    return grid.view()->columnWidth(column) >= needed;
}

} // namespace testsupport
