// The selection model of the explorer tree. Every change of the current or selected node
// is first put to a gate (the tree), which asks the window whether the node may be taken;
// a refused node leaves the selection as it was.
#pragma once

#include <QItemSelectionModel>
#include <functional>

namespace platform::ui {

class ExplorerSelectionModel : public QItemSelectionModel {
    Q_OBJECT
public:
    using Gate = std::function<bool(const QModelIndex&)>;

    ExplorerSelectionModel(QAbstractItemModel* model, Gate gate, QObject* parent);

    using QItemSelectionModel::select;
    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
    // Selecting a single index comes here too, through the base class.
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;

private:
    Gate gate_;
};

} // namespace platform::ui
