// See cUpdate.h.
#include "workbooks/cUpdate.h"

#include "core/ErrorsTable.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EventPump.h"
#include "workbooks/ReportError.h"
#include "workbooks/WaitWindowSteps.h"

namespace workbooks {

std::unique_ptr<cUpdate> gUpdate;

namespace {

using platform::sheet::CellRange;
using platform::sheet::CellRef;
using platform::sheet::SheetError;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;

constexpr int kChangedValueColumn = 3;
constexpr double kReviewPollSeconds = 2.0;

// The block from A1 to the sheet's last used cell, as formulas or as values.
CellTexts tableOf(const Worksheet& sheet, bool values) {
    const CellRange block({1, 1}, sheet.lastCell());
    if (!values)
        return sheet.formulas(block);
    const platform::sheet::ValueGrid grid = sheet.values(block);
    CellTexts texts(grid.rows(), grid.columns());
    for (int row = 1; row <= grid.rows(); ++row)
        for (int column = 1; column <= grid.columns(); ++column)
            texts.at(row, column) = grid.at(row, column).toText();
    return texts;
}

// Leaves (and reports) the changes that the master sheet cannot take: a locked cell of a
// protected sheet, and -- from a user file of values only -- a cell that holds a formula.
void leaveUntakeable(ChangeList& list, const Worksheet& sheet, bool copyValues, const QString& userFile,
                     const QString& masterFile) {
    ChangeList kept;
    for (const ChangeRecord& change : list) {
        const CellRef cell{change.row, change.column};
        const bool formula = copyValues && sheet.hasFormula(cell);
        const bool locked = !formula && !sheet.canWrite(cell);
        if (!formula && !locked) {
            kept.push_back(change);
            continue;
        }
        core::LogCellError(change.row, change.column, false, false, false, change.label, userFile,
                           QStringLiteral("1"), QStringLiteral("0"), masterFile, change.currentValue,
                           change.changedValue, formula, locked);
    }
    list = std::move(kept);
}

// Every formula among the changes must be one the workbook takes, before the first write.
void requireFormulasTaken(const ChangeList& list, const Worksheet& sheet, const QString& userFile) {
    std::unique_ptr<Workbook> scratch;
    for (const ChangeRecord& change : list) {
        if (!change.changedValue.startsWith(u'='))
            continue;
        if (!scratch)
            scratch = Workbook::create(QStringLiteral("Check"));
        try {
            scratch->sheet(0).setEntry({1, 1}, change.changedValue);
        } catch (const SheetError& error) {
            throw SheetError(
                SheetError::Code::BadFormula,
                QStringLiteral("The formula %1 for the cell %2 of the sheet '%3' cannot be taken; "
                               "nothing of the user file '%4' was written. %5")
                    .arg(change.changedValue, change.label, sheet.name(), userFile, error.description()));
        }
    }
}

} // namespace

qint32 cUpdate::TestWS(const QString& userFile, const QString& userFilePath,
                       const QDateTime& recordedModified) const {
    const platform::sys::FindData found = platform::sys::GetFindData(userFilePath);
    if (!found.found || found.isFolder || found.name.compare(userFile, Qt::CaseInsensitive) != 0)
        return kMissing;
    if (found.modified == recordedModified)
        return kNothingNew;
    return platform::sys::IsFileInUse(found.path) ? kInUse : kUpdateIt;
}

qint32 cUpdate::UpdateWBWS(Workbook& master, const QString& worksheet, const QString& userFile,
                           const QString& sheetPassword, const QString& userFilePath, bool copyValues) {
    try {
        CellTexts user;
        {
            std::unique_ptr<Workbook> book =
                Workbook::open(userFilePath, platform::sheet::OpenOptions::readOnlyAccess());
            user = tableOf(book->activeSheet(), copyValues);
            book->close();
        }
        Worksheet& sheet = master.sheet(worksheet);
        sheet.activate();
        const CellTexts current = tableOf(sheet, copyValues);
        const CellTexts& extent = copyValues ? user : current;
        std::optional<ChangeList> list =
            CompareSheetArrays(current, user, extent.rows(), extent.columns(), userFile, master.name());
        if (core::gOptions->CorruptedFlag || !list)
            return kFailed;
        leaveUntakeable(*list, sheet, copyValues, userFile, master.name());
        if (list->empty())
            return kNoChange;
        if (isMode(kPreviewChanges)) {
            PreviewChanges(*list);
            return kNotWritten;
        }
        if (isMode(kEditChanges) && !PreviewChanges(*list))
            return kNotWritten;
        requireFormulasTaken(*list, sheet, userFile);
        for (const ChangeRecord& change : *list)
            sheet.setEntry({change.row, change.column}, change.changedValue);
        if (!sheetPassword.isEmpty())
            sheet.protect(sheetPassword);
        return kWritten;
    } catch (const std::exception& error) {
        ReportError(error);
        return kFailed;
    }
}

bool cUpdate::PreviewChanges(ChangeList& list) {
    core::frmWait& wait = core::frmWait::load();
    platform::ui::DataGrid& grid = *wait.dtChangedData();
    grid.resetRows();
    const bool editing = isMode(kEditChanges);
    for (const ChangeRecord& change : list)
        grid.appendRow({change.label, change.currentValue, editing ? 1 : 0, change.changedValue});
    PaintWaitWindowNow();
    core::gOptions->Pause = true;
    const auto answered = [] { return !core::gOptions->Pause || !core::frmWait::loaded(); };
    while (!answered())
        platform::ui::EventPump::pollFor(answered, kReviewPollSeconds);
    if (!core::frmWait::loaded())
        return false; // the window went away: nothing may be written
    if (editing)
        for (std::size_t i = 0; i < list.size(); ++i)
            list[i].changedValue = grid.cellText(int(i), kChangedValueColumn);
    return !core::gOptions->CancelOp;
}

} // namespace workbooks
