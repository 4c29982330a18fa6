// The errors browser; see frmErrorsTable.h. Positions are the design positions in twips. The
// two value boxes sit where the grid of the "Errors" view reaches: the taller grid covers
// them, the shorter grid of the "Corruption" view uncovers them.
#include "core/frmErrorsTable.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/LoadErrorsGrid.h"
#include "core/OpenWorkbookInExcel.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumistore/LumistoreError.h"
#include "lumistore/cDelete.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlace.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <stdexcept>

namespace core {

namespace {

using platform::ui::ColumnKind;
using platform::ui::DataGrid;
using platform::ui::DataGridColumn;
using platform::ui::Twips;

constexpr int kColumnWidthTwips = 1200;
const QString kValueTip = QStringLiteral("Double click on value in upper table.");

DataGridColumn gridColumn(const QString& field, const QString& heading, ColumnKind kind = ColumnKind::Text) {
    DataGridColumn column;
    column.field = field;
    column.heading = heading;
    column.widthTwips = kColumnWidthTwips;
    column.kind = kind;
    column.editable = false;
    return column;
}

// Runs a handler's work and shows a failure in the program's error message.
template <class Work> void trapped(Work&& work) {
    try {
        work();
    } catch (const lumistore::LumistoreError& error) {
        ShowErrorMessage(error.number(), error.description(), appTitle());
    } catch (const std::exception& error) {
        ShowErrorMessage(error, appTitle());
    }
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, appTitle());
}

} // namespace

frmErrorsTable::frmErrorsTable(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmErrorsTable"));
    setWindowTitle(QStringLiteral("Errors Table"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

void frmErrorsTable::buildControls() {
    lblOrigValue_ = new QLabel(QStringLiteral("Original value"), this);
    lblOrigValue_->setObjectName(QStringLiteral("lblOrigValue"));
    lblOrigValue_->setGeometry(Twips::rect(120, 2160, 2000, 255));
    tbxOrigValue_ = new QLineEdit(this);
    tbxOrigValue_->setObjectName(QStringLiteral("tbxOrigValue"));
    tbxOrigValue_->setToolTip(kValueTip);
    tbxOrigValue_->setGeometry(Twips::rect(120, 2415, 5250, 315));

    lblChangeValue_ = new QLabel(QStringLiteral("Changed Value"), this);
    lblChangeValue_->setObjectName(QStringLiteral("lblChangeValue"));
    lblChangeValue_->setGeometry(Twips::rect(5610, 2160, 2000, 255));
    tbxChangedValue_ = new QLineEdit(this);
    tbxChangedValue_->setObjectName(QStringLiteral("tbxChangedValue"));
    tbxChangedValue_->setToolTip(kValueTip);
    tbxChangedValue_->setGeometry(Twips::rect(5610, 2415, 5250, 315));

    cbxMode_ = new platform::ui::ComboList(this, platform::ui::ComboList::Style::DropDownList);
    cbxMode_->setObjectName(QStringLiteral("cbxMode"));
    cbxMode_->setGeometry(Twips::rect(120, 3720, 2000, 315));
    connect(cbxMode_, &platform::ui::ComboList::changed, this, &frmErrorsTable::cbxMode_Change);

    cmdDeleteErrors_ = new QPushButton(QStringLiteral("Delete"), this);
    cmdDeleteErrors_->setObjectName(QStringLiteral("cmdDeleteErrors"));
    cmdDeleteErrors_->setGeometry(Twips::rect(8280, 3720, 1215, 375));
    connect(cmdDeleteErrors_, &QPushButton::clicked, this, &frmErrorsTable::cmdDeleteErrors_Click);

    cmdCloseErrors_ = new QPushButton(QStringLiteral("Close"), this);
    cmdCloseErrors_->setObjectName(QStringLiteral("cmdCloseErrors"));
    cmdCloseErrors_->setGeometry(Twips::rect(9600, 3720, 1215, 375));
    connect(cmdCloseErrors_, &QPushButton::clicked, this, &frmErrorsTable::cmdCloseErrors_Click);

    // Made last, so it lies over the value boxes while it is tall.
    dtErrors_ = new DataGrid(this);
    dtErrors_->setObjectName(QStringLiteral("dtErrors"));
    dtErrors_->setGeometry(Twips::rect(120, 60, 10695, kErrorsGridHeightTwips));
    connect(dtErrors_, &DataGrid::cellClicked, this,
            [this](int row, int column, platform::ui::ClickArea area) {
                if (area == platform::ui::ClickArea::Cell)
                    dtErrors_Click(row, column);
            });
    connect(dtErrors_, &DataGrid::currentRowChanged, this, &frmErrorsTable::dtErrors_RowColChange);
    connect(dtErrors_, &DataGrid::gotFocus, this, &frmErrorsTable::becomeActiveForm);
    connect(dtErrors_, &DataGrid::mousePressed, this, &frmErrorsTable::becomeActiveForm);
}

void frmErrorsTable::Form_Load() {
    trapped([this] {
        platform::ui::placeOnOwner(*this, QRect(0, 0, kWidthTwips, kHeightTwips));
        dtErrors_->setHeightTwips(kErrorsGridHeightTwips);
        becomeActiveForm();

        dtErrors_->setColumns({
            gridColumn(QStringLiteral("Error_Date"), QStringLiteral("Error Date")),
            gridColumn(QStringLiteral("Budget_Name"), QStringLiteral("Budget Name")),
            gridColumn(QStringLiteral("MF_Name"), QStringLiteral("MF Name")),
            gridColumn(QStringLiteral("UF_Name"), QStringLiteral("UF Name")),
            gridColumn(QStringLiteral("File_Missing"), QStringLiteral("File Missing"), ColumnKind::Check),
            gridColumn(QStringLiteral("Corrupt_Error"), QStringLiteral("Corrupt File"), ColumnKind::Check),
            gridColumn(QStringLiteral("File_In_Use"), QStringLiteral("File Open"), ColumnKind::Check),
            gridColumn(QStringLiteral("A1Style"), QStringLiteral("Cell Label")),
            gridColumn(QStringLiteral("MF_Value"), QStringLiteral("Orig Value")),
            gridColumn(QStringLiteral("Change_Value"), QStringLiteral("Change Value")),
        });
        DataGridColumn id = gridColumn(QStringLiteral("ID"), QStringLiteral("ID"));
        id.hidden = true;
        dtErrors_->appendColumn(id);

        {
            // Filling the list is not a choice of view; the view is loaded once below.
            const QSignalBlocker quiet(cbxMode_);
            cbxMode_->clearEntries();
            cbxMode_->addEntry(kErrorsView);
            cbxMode_->addEntry(kCorruptionView);
            cbxMode_->setText(kErrorsView);
        }
        LoadErrorsGrid(kErrorsView, 0);
        showValuesOf(0);
    });
}

void frmErrorsTable::becomeActiveForm() {
    if (gOptions)
        gOptions->ActiveForm = this;
}

void frmErrorsTable::mousePressEvent(QMouseEvent* event) {
    becomeActiveForm();
    QWidget::mousePressEvent(event);
}

void frmErrorsTable::showValuesOf(int row) {
    tbxChangedValue_->setText(dtErrors_->cellText(row, kChangeValue));
    tbxOrigValue_->setText(dtErrors_->cellText(row, kOrigValue));
}

void frmErrorsTable::clearValues() {
    tbxChangedValue_->clear();
    tbxOrigValue_->clear();
}

void frmErrorsTable::cbxMode_Change() {
    trapped([this] {
        const int row = dtErrors_->currentRow();
        const QString view = cbxMode_->text();
        if (view != kErrorsView && view != kCorruptionView)
            return;
        struct RedrawOff {
            DataGrid* grid;
            ~RedrawOff() { grid->setRedraw(true); }
        } redrawOff{dtErrors_};
        dtErrors_->setRedraw(false);
        LoadErrorsGrid(view, qint16(row));
    });
}

void frmErrorsTable::cmdDeleteErrors_Click() {
    trapped([this] {
        const int row = dtErrors_->currentRow();
        if (row < 0 || row >= dtErrors_->rowCount())
            return;
        if (dtErrors_->cellText(row, kBudgetName).isEmpty())
            return;
        if (!gCnn)
            throw std::runtime_error("The connection descriptor is not set up.");
        const QString key = dtErrors_->cellText(row, kRowId);
        const qint32 result = lumistore::cDelete().DeleteLumiXLRecord(QStringLiteral("dtErrors"), key,
                                                                      qint16(row), gCnn->LumiCnn(), false);
        if (result == lumistore::cDelete::kDeleted || result == lumistore::cDelete::kLastRowDeleted) {
            dtErrors_->removeRow(row);
            if (result == lumistore::cDelete::kLastRowDeleted)
                dtErrors_->refresh();
        }
        if (dtErrors_->rowCount() == 0)
            dtErrors_RowColChange(row);
    });
}

void frmErrorsTable::cmdCloseErrors_Click() {
    close();
}

void frmErrorsTable::dtErrors_Click(int row, int column) {
    trapped([this, row, column] {
        if (row < 0 || row >= dtErrors_->rowCount())
            return;
        switch (column) {
        case kUFName: {
            const QString context = gOptions ? gOptions->BudgetNameContext : QString();
            if (context.isEmpty() || context == QLatin1String("Nothing"))
                tell(QStringLiteral("Set the Budget Context."));
            else if (dtErrors_->cellText(row, kBudgetName) == context)
                OpenWorkbookInExcel(dtErrors_->cellText(row, kUFName));
            else
                tell(QStringLiteral("Set the correct budget context."));
            break;
        }
        case kCorruptFile: {
            QWidget* form = gOptions ? gOptions->ActiveForm.data() : nullptr;
            auto* mode =
                form ? form->findChild<platform::ui::ComboList*>(QStringLiteral("cbxMode")) : nullptr;
            if (!mode)
                throw std::runtime_error("The active window has no mode list.");
            mode->setText(kCorruptionView);
            break;
        }
        case kOrigValue:
        case kChangeValue:
            showValuesOf(row);
            break;
        default:
            break;
        }
    });
}

void frmErrorsTable::dtErrors_RowColChange(int row) {
    trapped([this, row] {
        const int count = dtErrors_->rowCount();
        if (count == 0 || (row >= count && row != 0)) {
            clearValues();
            return;
        }
        showValuesOf(row);
    });
}

} // namespace core
