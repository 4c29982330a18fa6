// The data grid control over a QTableView and its table model.
#include "platform/ui/DataGrid.h"

#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/ControlInfoPage.h"
#include "platform/ui/DataGridDelegate.h"
#include "platform/ui/DataGridModel.h"
#include "platform/ui/Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace platform::ui {

namespace {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

DataGrid::DataGrid(QWidget* parent)
    : QWidget(parent)
    , model_(new DataGridModel(this))
    , view_(new QTableView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    offerControlInfoPage(*this);
    setFocusProxy(view_);

    view_->setModel(model_);
    auto* delegate = new DataGridDelegate(*model_, view_);
    view_->setItemDelegate(delegate);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
    view_->verticalHeader()->setMinimumWidth(14);

    // A heading click is an event for the window, not a column selection: the rows the
    // user highlighted must stay as they are when a heading is clicked.
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setResizeContentsPrecision(kFitRows);
    disconnect(header, &QHeaderView::sectionPressed, view_, nullptr);
    disconnect(header, &QHeaderView::sectionEntered, view_, nullptr);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { emit cellClicked(-1, column, ClickArea::Heading); });
    connect(header, &QHeaderView::sectionDoubleClicked, this,
            [this](int column) { emit cellDoubleClicked(-1, column, ClickArea::Heading); });

    connect(view_, &QTableView::clicked, this,
            [this](const QModelIndex& at) { emit cellClicked(at.row(), at.column(), ClickArea::Cell); });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& at) {
        emit cellDoubleClicked(at.row(), at.column(), ClickArea::Cell);
    });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::onCurrentChanged);

    // A typed edit is committed while its editor is still open: the window hears of it once the
    // view has closed the editor, since its handler may refill the rows under it (the editor
    // would then be closed a second time). A tick or a pick is complete at once.
    connect(model_, &DataGridModel::cellChanged, this, [this](int row, int column, ChangeOrigin origin) {
        if (origin == ChangeOrigin::User && view_->indexWidget(model_->index(row, column)))
            QMetaObject::invokeMethod(
                this, [this, row, column, origin] { emit cellChanged(row, column, origin); },
                Qt::QueuedConnection);
        else
            emit cellChanged(row, column, origin);
    });
    connect(model_, &DataGridModel::editStarting, this, &DataGrid::beforeEdit);
    connect(delegate, &DataGridDelegate::editStarting, this, &DataGrid::beforeEdit);
    connect(model_, &QAbstractItemModel::modelReset, this, &DataGrid::applyColumns);
    connect(model_, &QAbstractItemModel::modelReset, this, &DataGrid::scheduleFit);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &DataGrid::scheduleFit);
    connect(model_, &QAbstractItemModel::dataChanged, this, &DataGrid::scheduleFit);

    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    setRowSelection(RowSelection::Cells);
}

// --- columns

void DataGrid::setColumns(const QList<DataGridColumn>& columns) {
    model_->setColumns(columns); // the reset applies widths and hidden flags
}

int DataGrid::appendColumn(const DataGridColumn& column) {
    const int at = model_->appendColumn(column);
    applyColumn(at);
    return at;
}

int DataGrid::columnCount() const {
    return model_->columnCount();
}

DataGridColumn DataGrid::column(int column) const {
    return model_->isColumn(column) ? model_->columns()[column] : DataGridColumn();
}

int DataGrid::columnOfField(const QString& field) const {
    return model_->columnOfField(field);
}

void DataGrid::setColumnHeading(int column, const QString& heading) {
    model_->setColumnHeading(column, heading);
}

void DataGrid::setColumnHidden(int column, bool hidden) {
    if (!model_->isColumn(column))
        return;
    model_->setColumnHidden(column, hidden);
    view_->setColumnHidden(column, hidden);
}

bool DataGrid::isColumnHidden(int column) const {
    return model_->isColumn(column) && model_->columns()[column].hidden;
}

void DataGrid::setColumnWidthTwips(int column, int twips) {
    if (!model_->isColumn(column))
        return;
    model_->setColumnWidthTwips(column, twips);
    view_->setColumnWidth(column, Twips::toPixels(twips));
}

void DataGrid::fitColumnsToHeadings() {
    QHeaderView* header = view_->horizontalHeader();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
    for (int c = 0; c < columnCount(); ++c) {
        const int needed = header->fontMetrics().horizontalAdvance(model_->columns()[c].heading) + margins;
        if (view_->columnWidth(c) < needed)
            view_->setColumnWidth(c, needed);
    }
}

void DataGrid::fitColumnsToContents() {
    fitColumnsToHeadings();
    const int limit = Twips::toPixels(kFitLimitTwips);
    for (int c = 0; c < columnCount(); ++c) {
        if (view_->isColumnHidden(c))
            continue;
        const int needed =
            std::min(static_cast<const QAbstractItemView*>(view_)->sizeHintForColumn(c), limit);
        if (view_->columnWidth(c) < needed)
            view_->setColumnWidth(c, needed);
    }
}

void DataGrid::setFitsToContents(bool fits) {
    fitsToContents_ = fits;
    scheduleFit();
}

// Rows come one by one: the fit waits until the loading is over and runs once.
void DataGrid::scheduleFit() {
    if (!fitsToContents_ || fitPending_)
        return;
    fitPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            fitPending_ = false;
            fitColumnsToContents();
        },
        Qt::QueuedConnection);
}

void DataGrid::setColumnList(int column, const QString& tabSeparated) {
    model_->setColumnList(column, tabSeparated.isEmpty() ? QStringList() : tabSeparated.split('\t'));
}

QString DataGrid::columnList(int column) const {
    return model_->isColumn(column) ? model_->columns()[column].list.join('\t') : QString();
}

void DataGrid::applyColumn(int column) {
    const DataGridColumn& spec = model_->columns()[column];
    view_->setColumnWidth(column, Twips::toPixels(spec.widthTwips));
    view_->setColumnHidden(column, spec.hidden);
}

void DataGrid::applyColumns() {
    for (int c = 0; c < model_->columnCount(); ++c)
        applyColumn(c);
}

// --- rows and cells

int DataGrid::rowCount() const {
    return model_->rowCount();
}

void DataGrid::resetRows() {
    model_->resetRows();
}

void DataGrid::appendRow(const QVariantList& values) {
    model_->appendRow(values);
}

void DataGrid::removeRow(int row) {
    model_->deleteRow(row);
}

QVariant DataGrid::cellValue(int row, int column) const {
    return model_->value(row, column);
}

QString DataGrid::cellText(int row, int column) const {
    return model_->text(row, column);
}

void DataGrid::setCellValue(int row, int column, const QVariant& value) {
    model_->writeValue(row, column, value);
}

QColor DataGrid::cellBackground(int row, int column) const {
    return model_->background(row, column);
}

void DataGrid::setCellBackground(int row, int column, const QColor& colour) {
    model_->setBackground(row, column, colour);
}

// --- current cell

int DataGrid::currentRow() const {
    const QModelIndex at = view_->currentIndex();
    return at.isValid() ? at.row() : kNoRow;
}

int DataGrid::currentColumn() const {
    const QModelIndex at = view_->currentIndex();
    return at.isValid() ? at.column() : -1;
}

void DataGrid::setCurrentCell(int row, int column) {
    if (!model_->isCell(row, column))
        return;
    const QModelIndex at = model_->index(row, column);
    const QScopedValueRollback chosen(currentChosen_, true);
    view_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    view_->scrollTo(at);
}

void DataGrid::editCurrentCell() {
    const QModelIndex at = view_->currentIndex();
    if (!at.isValid())
        return;
    view_->setFocus();
    view_->edit(at);
}

void DataGrid::onCurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The view makes its first cell current as it takes the focus: never a placeholder row so,
    // only at the user's click or the program's choice.
    if (current.isValid() && !previous.isValid() && isPlaceholderRow(current.row()) && !currentChosen_ &&
        QGuiApplication::mouseButtons() == Qt::NoButton) {
        leavePlaceholderRow();
        return;
    }
    const int row = current.isValid() ? current.row() : kNoRow;
    const int before = previous.isValid() ? previous.row() : kNoRow;
    emit currentCellChanged(row, current.isValid() ? current.column() : -1);
    if (row != before)
        emit currentRowChanged(row);
}

// --- highlighted rows

void DataGrid::setRowSelection(RowSelection mode) {
    selection_ = mode;
    switch (mode) {
    case RowSelection::Cells:
        view_->setSelectionBehavior(QAbstractItemView::SelectItems);
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        break;
    case RowSelection::SingleRow:
        view_->setSelectionBehavior(QAbstractItemView::SelectRows);
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        break;
    case RowSelection::MultipleRows:
        view_->setSelectionBehavior(QAbstractItemView::SelectRows);
        view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
        break;
    }
}

void DataGrid::selectRange(int from, int to, bool select) {
    if (from > to)
        std::swap(from, to);
    from = std::max(from, 0);
    to = std::min(to, rowCount() - 1);
    if (from > to || columnCount() == 0)
        return;
    const QItemSelection rows(model_->index(from, 0), model_->index(to, columnCount() - 1));
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Rows;
    if (!select)
        flags |= QItemSelectionModel::Deselect;
    else if (selection_ == RowSelection::SingleRow)
        flags |= QItemSelectionModel::ClearAndSelect;
    else
        flags |= QItemSelectionModel::Select;
    view_->selectionModel()->select(rows, flags);
    if (select)
        view_->scrollTo(model_->index(from, 0));
}

bool DataGrid::isRowSelected(int row) const {
    return row >= 0 && row < rowCount() && view_->selectionModel()->isRowSelected(row, {});
}

QList<int> DataGrid::selectedRows() const {
    QList<int> rows;
    const QModelIndexList indexes = view_->selectionModel()->selectedRows();
    for (const QModelIndex& at : indexes)
        rows.append(at.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DataGrid::clearSelection() {
    view_->selectionModel()->clearSelection();
}

// --- redraw and source

void DataGrid::setRedraw(bool on) {
    redraw_ = on;
    view_->setUpdatesEnabled(on);
    if (on)
        refresh();
}

void DataGrid::refresh() {
    view_->viewport()->update();
    view_->horizontalHeader()->viewport()->update();
}

void DataGrid::setSource(DataGridSource source) {
    source_ = std::move(source);
}

bool DataGrid::requery() {
    if (!source_)
        return false;
    const std::optional<DataGridRows> rows = source_();
    if (!rows)
        return false;
    if (columnCount() == 0) {
        QList<DataGridColumn> columns;
        for (const QString& field : rows->fields) {
            DataGridColumn column;
            column.field = field;
            column.heading = field;
            columns.append(column);
        }
        model_->setColumns(columns);
    }
    model_->loadRows(*rows);
    if (columnCount() > 0 && firstRealRow() != kNoRow)
        setCurrentCell(firstRealRow(), 0);
    return true;
}

bool DataGrid::isPlaceholderRow(int row) const {
    return columnCount() > 0 && cellText(row, 0) == platform::sys::kPlaceholderText;
}

int DataGrid::firstRealRow() const {
    for (int row = 0; row < rowCount(); ++row)
        if (!isPlaceholderRow(row))
            return row;
    return kNoRow;
}

void DataGrid::leavePlaceholderRow() {
    const int row = currentRow();
    if (row == kNoRow || !isPlaceholderRow(row))
        return;
    const int real = firstRealRow();
    if (real != kNoRow)
        setCurrentCell(real, std::max(0, currentColumn()));
    else
        view_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
}

// --- size and printing

void DataGrid::setHeightTwips(int twips) {
    heightTwips_ = twips;
    setFixedHeight(Twips::toPixels(twips));
}

int DataGrid::heightTwips() const {
    return heightTwips_ > 0 ? heightTwips_ : Twips::fromPixels(height());
}

QList<int> DataGrid::shownWidths() const {
    QList<int> widths;
    for (int c = 0; c < columnCount(); ++c)
        widths.append(view_->isColumnHidden(c) ? 0 : view_->columnWidth(c));
    return widths;
}

bool DataGrid::print(QPrinter& printer, const GridPrintOptions& options) const {
    const DataGridPrinter job(*model_, shownWidths(), options);
    printer.setDocName(options.documentName);
    printer.setPageOrientation(job.orientation());
    return job.print(printer);
}

bool DataGrid::printToPdf(const QString& path, const GridPrintOptions& options) const {
    const DataGridPrinter job(*model_, shownWidths(), options);
    // Written beside the target and renamed when complete, so a failed print never
    // leaves a half-written file in place of an earlier one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(options.documentName);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(job.orientation());
        writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        if (!job.print(writer)) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}

// --- events

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::FocusIn) {
        emit gotFocus();

    } else if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex at = view_->indexAt(mouse->position().toPoint());
        emit mousePressed(buttonCode(mouse->button()), at.isValid() ? at.row() : kNoRow,
                          at.isValid() ? at.column() : -1);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace platform::ui
