// The explorer tree over QTreeWidget with a gated selection model.
#include "platform/ui/ExplorerTree.h"

#include "platform/ui/ControlInfoPage.h"
#include "platform/ui/ExplorerSelectionModel.h"

#include <QApplication>
#include <QKeyEvent>

namespace platform::ui {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

} // namespace

ExplorerTree::ExplorerTree(QWidget* parent)
    : QTreeWidget(parent) {
    setColumnCount(1);
    offerControlInfoPage(*this);
    setHeaderLabel(QString());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QItemSelectionModel* standard = selectionModel();
    auto* gated = new ExplorerSelectionModel(
        model(), [this](const QModelIndex& index) { return mayTake(index); }, this);
    setSelectionModel(gated);
    delete standard;

    // Listened to on the selection model itself: the tree widget's own selection signal
    // stays tied to the model it was built with.
    connect(gated, &QItemSelectionModel::selectionChanged, this, [this] {
        if (const int node = currentNode(); node >= 0)
            emit nodeSelected(node);
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { open(nodeOf(item)); });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        const int node = nodeOf(item);
        if (column == 0 && node >= 0 && node == editing_) {
            editing_ = -1;
            // The window hears of the label once the view has closed the editor: its answer may
            // show a message or build the tree anew (the editor would then be closed twice).
            QMetaObject::invokeMethod(
                this, [this, node] { emit labelEdited(node); }, Qt::QueuedConnection);
        }
    });
}

void ExplorerTree::setCaption(const QString& caption) {
    setHeaderLabel(caption);
}

QString ExplorerTree::caption() const {
    return headerItem()->text(0);
}

void ExplorerTree::setLabelEditing(bool on) {
    setEditTriggers(on ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
                       : QAbstractItemView::NoEditTriggers);
    for (QTreeWidgetItem* item : nodes_)
        item->setFlags(on ? item->flags() | Qt::ItemIsEditable : item->flags() & ~Qt::ItemIsEditable);
}

void ExplorerTree::clearNodes() {
    programChange_ = true;
    clear();
    nodes_.clear();
    answers_.clear();
    editing_ = -1;
    programChange_ = false;
}

int ExplorerTree::addNode(const QString& text, int parent) {
    const int node = nodeCount();
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kNodeRole, node);
    if (editTriggers() != QAbstractItemView::NoEditTriggers)
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    programChange_ = true;
    if (parent >= 0 && parent < nodeCount())
        nodes_[parent]->addChild(item);
    else
        addTopLevelItem(item);
    programChange_ = false;
    nodes_.push_back(item);
    return node;
}

QString ExplorerTree::nodeText(int node) const {
    return node >= 0 && node < nodeCount() ? nodes_[node]->text(0) : QString();
}

int ExplorerTree::nodeParent(int node) const {
    if (node < 0 || node >= nodeCount())
        return -1;
    return nodeOf(nodes_[node]->parent());
}

int ExplorerTree::findNode(const QString& text, Qt::CaseSensitivity cs) const {
    for (int node = 0; node < nodeCount(); ++node) {
        if (nodes_[node]->text(0).compare(text, cs) == 0)
            return node;
    }
    return -1;
}

int ExplorerTree::currentNode() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : nodeOf(selected.first());
}

void ExplorerTree::setCurrentNode(int node) {
    if (node < 0 || node >= nodeCount())
        return;
    programChange_ = true;
    setCurrentItem(nodes_[node]);
    scrollToItem(nodes_[node]);
    programChange_ = false;
}

int ExplorerTree::nodeOf(const QTreeWidgetItem* item) const {
    return item ? item->data(0, kNodeRole).toInt() : -1;
}

int ExplorerTree::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? index.siblingAtColumn(0).data(kNodeRole).toInt() : -1;
}

bool ExplorerTree::askPermission(ExplorerRequest& request) {
    emit permissionRequested(&request);
    return !request.cancel;
}

bool ExplorerTree::mayTake(const QModelIndex& index) {
    const int node = nodeOf(index);
    if (programChange_ || node < 0 || node == currentNode())
        return true;
    if (const auto known = answers_.constFind(node); known != answers_.constEnd())
        return known.value();
    ExplorerRequest request{node};
    bool granted = askPermission(request);
    if (granted) {
        emit nodeSelecting(&request);
        granted = !request.cancel;
    }
    answers_.insert(node, granted);
    if (!granted)
        refused();
    return granted;
}

void ExplorerTree::open(int node) {
    if (node < 0)
        return;
    ExplorerRequest request{node};
    if (!askPermission(request)) {
        refused();
        return;
    }
    emit nodeOpened(node);
}

void ExplorerTree::refused() {
    if (sounds_)
        QApplication::beep();
}

bool ExplorerTree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool opens = index.isValid() && (index.flags() & Qt::ItemIsEditable) &&
                       (trigger == QAbstractItemView::AllEditTriggers || (editTriggers() & trigger));
    // A click on the selected node only schedules the edit; it is asked about when the
    // scheduled edit opens.
    if (!opens || state() == QAbstractItemView::EditingState || trigger == QAbstractItemView::SelectedClicked)
        return QTreeWidget::edit(index, trigger, event);
    ExplorerRequest request{nodeOf(index)};
    emit beforeLabelEdit(&request);
    if (request.cancel)
        return false;
    editing_ = request.node;
    if (QTreeWidget::edit(index, trigger, event))
        return true;
    editing_ = -1;
    return false;
}

void ExplorerTree::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTreeWidget::closeEditor(editor, hint);
    editing_ = -1; // a cancelled edit changes no label
}

bool ExplorerTree::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        answers_.clear(); // a new gesture asks again
    return QTreeWidget::viewportEvent(event);
}

void ExplorerTree::keyPressEvent(QKeyEvent* event) {
    answers_.clear();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != QAbstractItemView::EditingState && currentItem()) {
        open(nodeOf(currentItem()));
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace platform::ui
