// The file system view; see frmFilesTables.h.
#include "lumidesk/frmFilesTables.h"

#include "core/RunTrapped.h"
#include "core/cOptions.h"
#include "lumidesk/ChildWindow.h"
#include "lumidesk/ControlResizer.h"
#include "lumidesk/DataEnvironment1.h"
#include "lumidesk/ShapedRowset.h"
#include "platform/ui/Twips.h"

#include <QBrush>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

namespace lumidesk {

namespace {

using platform::ui::Twips;

QPointer<frmFilesTables> gLoaded;

// Yes/no columns show as check marks.
const QStringList kFlagFields{QStringLiteral("Select_By_User"), QStringLiteral("UserFile_Update"),
                              QStringLiteral("Lockout_User_Updates")};

const QColor kHeadingBackground{225, 225, 225};

// Column widths in pixels.
constexpr int kCellPadding = 16;
constexpr int kMinColumnWidth = 60;
constexpr int kMaxColumnWidth = 260;

bool isFlag(const QString& field) {
    return kFlagFields.contains(field, Qt::CaseInsensitive);
}

// The heading row of a level below the top: its column names, not selectable.
void addHeading(QTreeWidgetItem* parent, const ShapedRowset& level) {
    auto* heading = new QTreeWidgetItem(parent, level.fields);
    heading->setFlags(Qt::ItemIsEnabled);
    QFont bold = heading->font(0);
    bold.setBold(true);
    for (int column = 0; column < level.fields.size(); ++column) {
        heading->setFont(column, bold);
        heading->setBackground(column, kHeadingBackground);
    }
}

QTreeWidgetItem* rowItem(const ShapedRowset& level, const ShapedRow& row) {
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    for (int column = 0; column < level.fields.size(); ++column) {
        const QVariant value = row.values.value(column);
        if (isFlag(level.fields[column]) && !value.isNull())
            item->setCheckState(column, value.toLongLong() != 0 ? Qt::Checked : Qt::Unchecked);
        else
            item->setText(column, value.toString());
    }
    return item;
}

void addRows(QTreeWidgetItem* parent, const ShapedRowset& level) {
    if (level.empty())
        return;
    addHeading(parent, level);
    for (const ShapedRow& row : level.rows) {
        QTreeWidgetItem* item = rowItem(level, row);
        parent->addChild(item);
        addRows(item, row.children);
    }
}

int widestLevel(const ShapedRowset& level) {
    int widest = level.fields.size();
    for (const ShapedRow& row : level.rows)
        widest = std::max(widest, widestLevel(row.children));
    return widest;
}

} // namespace

frmFilesTables::frmFilesTables(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    gLoaded = this;

    CorvResizer1_ =
        new ControlResizer(this, Twips::size(kWidthTwips, kHeightTwips), QStringLiteral("CorvResizer1"));

    dtFilesTables_ = new QTreeWidget(this);
    dtFilesTables_->setObjectName(QStringLiteral("dtFilesTables"));
    dtFilesTables_->setToolTip(kHint);
    dtFilesTables_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dtFilesTables_->setSelectionMode(QAbstractItemView::SingleSelection);
    dtFilesTables_->setAlternatingRowColors(true);
    dtFilesTables_->setGeometry(Twips::rect(120, 120, 12150, 7320));
    CorvResizer1_->addControl(dtFilesTables_);

    cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setGeometry(Twips::rect(11055, 7560, 1215, 375));
    CorvResizer1_->addControl(cmdClose_);
    connect(cmdClose_, &QPushButton::clicked, this, &frmFilesTables::cmdClose_Click);

    Form_Load();
}

frmFilesTables::~frmFilesTables() {
    if (gLoaded == this)
        gLoaded = nullptr;
}

frmFilesTables* frmFilesTables::loaded() {
    return gLoaded.data();
}

frmFilesTables* frmFilesTables::instance(QWidget* owner) {
    if (gLoaded)
        return gLoaded.data();
    return new frmFilesTables(owner);
}

frmFilesTables* frmFilesTables::Display() {
    frmFilesTables* form = instance();
    ChildWindow::show(form, Twips::rect(0, 0, kWidthTwips, kHeightTwips), [form] { form->Form_Activate(); });
    return form;
}

void frmFilesTables::Form_Load() {
    core::RunTrapped([this] {
        CorvResizer1_->setEnabled(core::gOptions && core::gOptions->Resize);
        move(0, 0);
        resize(Twips::size(kWidthTwips, kHeightTwips));
        // Read afresh at every load, over the environment's own connection.
        DataEnvironment1& source = DataEnvironment1::instance();
        source.Requery();
        ShowRows(source.Rows());
    });
}

void frmFilesTables::ShowRows(const ShapedRowset& rows) {
    dtFilesTables_->clear();
    dtFilesTables_->setColumnCount(std::max(1, widestLevel(rows)));
    // Columns beyond the top level's fields carry no heading of their own.
    QStringList headings = rows.fields;
    while (headings.size() < dtFilesTables_->columnCount())
        headings << QString();
    dtFilesTables_->setHeaderLabels(headings);
    for (const ShapedRow& row : rows.rows) {
        QTreeWidgetItem* item = rowItem(rows, row);
        dtFilesTables_->addTopLevelItem(item);
        addRows(item, row.children);
    }
    dtFilesTables_->header()->setSectionResizeMode(QHeaderView::Interactive);
    fitColumns();
}

void frmFilesTables::fitColumns() {
    // Wide enough for every row of every level, opened or not, within a limit.
    QList<int> widths(dtFilesTables_->columnCount(), 0);
    const QFontMetrics plain(dtFilesTables_->font());
    QFont boldFont = dtFilesTables_->font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    const int indent = dtFilesTables_->indentation();
    std::function<void(QTreeWidgetItem*, int)> measure = [&](QTreeWidgetItem* item, int depth) {
        const QFontMetrics& metrics = item->font(0).bold() ? bold : plain;
        for (int column = 0; column < widths.size(); ++column) {
            int width = metrics.horizontalAdvance(item->text(column)) + kCellPadding;
            if (column == 0)
                width += indent * (depth + 1);
            widths[column] = std::max(widths[column], width);
        }
        for (int child = 0; child < item->childCount(); ++child)
            measure(item->child(child), depth + 1);
    };
    for (int row = 0; row < dtFilesTables_->topLevelItemCount(); ++row)
        measure(dtFilesTables_->topLevelItem(row), 0);
    for (int column = 0; column < widths.size(); ++column) {
        const int heading =
            plain.horizontalAdvance(dtFilesTables_->headerItem()->text(column)) + kCellPadding;
        dtFilesTables_->setColumnWidth(
            column, std::clamp(std::max(widths[column], heading), kMinColumnWidth, kMaxColumnWidth));
    }
}

bool frmFilesTables::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void frmFilesTables::Form_Activate() {
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        frame = this;
    const Qt::WindowStates wanted =
        core::gOptions && core::gOptions->ScrollBars ? Qt::WindowNoState : Qt::WindowMaximized;
    if ((frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) != wanted)
        frame->setWindowState(wanted);
}

void frmFilesTables::closeEvent(QCloseEvent* event) {
    // Unloaded: no longer the program's instance, nor found by its form name.
    if (gLoaded == this)
        gLoaded = nullptr;
    setObjectName(QString());
    event->accept();
    // The child window of the main window that held it goes with it.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
}

void frmFilesTables::cmdClose_Click() {
    close();
}

} // namespace lumidesk
