// Gated selection for the explorer tree.
#include "platform/ui/ExplorerSelectionModel.h"

namespace platform::ui {

ExplorerSelectionModel::ExplorerSelectionModel(QAbstractItemModel* model, Gate gate, QObject* parent)
    : QItemSelectionModel(model, parent)
    , gate_(std::move(gate)) {}

void ExplorerSelectionModel::setCurrentIndex(const QModelIndex& index,
                                             QItemSelectionModel::SelectionFlags command) {
    // The view gives itself a current node when it first gets the focus, selecting
    // nothing; that is no one's choice and is not asked about.
    const bool initial = !currentIndex().isValid() && command == QItemSelectionModel::NoUpdate;
    if (initial || gate_(index))
        QItemSelectionModel::setCurrentIndex(index, command);
}

void ExplorerSelectionModel::select(const QItemSelection& selection,
                                    QItemSelectionModel::SelectionFlags command) {
    // Only taking a node is put to the gate; clearing or deselecting is not.
    const bool takes =
        (command & (QItemSelectionModel::Select | QItemSelectionModel::Toggle)) && !selection.isEmpty();
    if (takes && !gate_(selection.indexes().value(0)))
        return;
    QItemSelectionModel::select(selection, command);
}

} // namespace platform::ui
