// The explorer tree of the Budgets Explorer: nodes in levels (budgets, their master
// workbooks, their worksheets), a caption above them, optional label editing and sounds.
// Nodes are numbered from 0 in the order they were added.
//
// Before the user's click or key takes a node, or opens one, the tree asks its window:
// first permissionRequested (a cancel flag stops the action), then, for a selection,
// nodeSelecting (also cancellable). A refused node leaves the selection as it was; with
// sounds on, the refusal beeps. Selections made by the program are not asked about.
// Label editing raises beforeLabelEdit (cancellable) and, once the edit is done,
// labelEdited; the node then carries the edited text.
#pragma once

#include "platform/ui/ExplorerRequest.h"

#include <QHash>
#include <QTreeWidget>
#include <vector>

namespace platform::ui {

class ExplorerTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ExplorerTree(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const;
    void setSoundsOn(bool on) { sounds_ = on; }
    bool soundsOn() const { return sounds_; }
    void setLabelEditing(bool on);

    void clearNodes();
    // Adds a node under `parent` (-1: at the top level) and returns its number.
    int addNode(const QString& text, int parent = -1);
    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    QString nodeText(int node) const;
    int nodeParent(int node) const; // -1 for a top-level node or outside the tree
    int findNode(const QString& text, Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;

    // The selected node, -1 when none is. Setting it by program asks nobody.
    int currentNode() const;
    void setCurrentNode(int node);

signals:
    void permissionRequested(platform::ui::ExplorerRequest* request);
    void nodeSelecting(platform::ui::ExplorerRequest* request);
    void nodeSelected(int node);
    void nodeOpened(int node);
    void beforeLabelEdit(platform::ui::ExplorerRequest* request);
    void labelEdited(int node);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int nodeOf(const QTreeWidgetItem* item) const;
    int nodeOf(const QModelIndex& index) const;
    bool mayTake(const QModelIndex& index);
    bool askPermission(ExplorerRequest& request);
    void open(int node);
    void refused();

    std::vector<QTreeWidgetItem*> nodes_;
    // Answers given during the current mouse or key gesture, so one gesture asks once
    // per node however many selection steps it takes.
    QHash<int, bool> answers_;
    bool programChange_ = false;
    bool sounds_ = true;
    int editing_ = -1;
};

} // namespace platform::ui
