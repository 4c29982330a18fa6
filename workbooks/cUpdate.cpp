// See cUpdate.h.
#include "workbooks/cUpdate.h"

#include "core/ErrorMessage.h"
#include "core/ErrorsTable.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/sheet/CellAddress.h"
#include "platform/sheet/FormulaText.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/Ui.h"
#include "workbooks/UserFileStamp.h"
#include "workbooks/WaitWindowSteps.h"

namespace workbooks {

std::unique_ptr<cUpdate> gUpdate;

namespace {

using platform::sheet::CellRange;
using platform::sheet::CellRef;
using platform::sheet::CellValue;
using platform::sheet::FormulaText;
using platform::sheet::SheetError;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;

constexpr int kChangedValueColumn = 3;
constexpr double kReviewPollSeconds = 2.0;

QString context() {
    return core::gOptions ? core::gOptions->BudgetNameContext : QString();
}

// How far a user file's used range may reach beyond its master sheet's: as far again as the
// master's own, and kNearRows rows and kNearColumns columns more, room for the notes a user types
// beside the cut. A file used farther is no copy of its master sheet: it is refused unread.
constexpr int kNearRows = 1000;
constexpr int kNearColumns = 100;

// A cell's text as the comparison reads it -- its value in a table of values, else its formula --
// with the kind of value behind it.
void put(CellTexts& table, CellRef at, const CellValue& value, const QString& formula, bool values) {
    QString text = values ? value.toText() : formula;
    const CellTexts::Kind kind = value.type == CellValue::Type::Error ? CellTexts::Kind::Error
                                 : value.type == CellValue::Type::Text && !text.startsWith(u'=')
                                     ? CellTexts::Kind::Text
                                     : CellTexts::Kind::Other;
    table.set(at.row, at.col, std::move(text), kind);
}

// The master sheet's table: the block from A1 to its last used cell, as formulas or as values,
// read in one piece (the layer refuses a block too large to read).
CellTexts tableOf(const Worksheet& sheet, bool values) {
    const CellRange block({1, 1}, sheet.lastCell());
    CellTexts table(block.rows(), block.columns());
    const auto fill = [&](const auto& grid, const auto& textOf) {
        for (int row = 1; row <= grid.rows(); ++row)
            for (int column = 1; column <= grid.columns(); ++column)
                if (QString text = textOf(grid.at(row, column)); !text.isEmpty())
                    table.at(row, column) = std::move(text);
    };
    if (values)
        fill(sheet.values(block), [](const CellValue& value) { return value.toText(); });
    else
        fill(sheet.formulas(block), [](const QString& formula) { return formula; });
    return table;
}

// A cell of the user file that holds an error value: its formula and the value, which tell why.
struct ErrorCell {
    QString formula;
    QString value;
};

// A returned user file as the comparison reads it: one table of its sheet's cells, their texts
// with the kind of value behind each (a text constant is written back as a text, an error value
// is never merged); its sheets' names and its error cells, which tell why a value is an error.
struct UserTable {
    CellTexts texts;
    QStringList sheets;
    std::map<std::pair<int, int>, ErrorCell> errors;

    bool isText(int row, int column) const { return texts.kindAt(row, column) == CellTexts::Kind::Text; }
    bool isError(int row, int column) const { return texts.kindAt(row, column) == CellTexts::Kind::Error; }
};

// The sheet of the user file that stands for the master sheet: the one of its name, or -- in a
// file of one worksheet whose stamp says it was cut from that sheet (the user renamed it) --
// that one. A sheet the user added, or the one sheet of another sheet's file, is never compared
// with the master sheet.
Worksheet& userSheetOf(const Workbook& book, const QString& worksheet, bool stamped) {
    if (Worksheet* named = book.findSheet(worksheet); named && named->kind() == Worksheet::Kind::Worksheet)
        return *named;
    const std::vector<Worksheet*> sheets = book.worksheets();
    if (stamped && sheets.size() == 1)
        return *sheets.front();
    throw SheetError(SheetError::Code::NoSuchSheet,
                     QStringLiteral("it holds no worksheet named '%1' (its sheets: %2).")
                         .arg(worksheet, book.sheetNames().join(QStringLiteral(", "))));
}

// A user sheet used far beyond its master sheet is refused before its cells are read.
void requireNearItsMaster(const Worksheet& sheet, CellRef last, CellRef masterLast) {
    if (last.row <= 2 * masterLast.row + kNearRows && last.col <= 2 * masterLast.col + kNearColumns)
        return;
    throw SheetError(SheetError::Code::TooLarge,
                     QStringLiteral("its sheet '%1' is used up to %2, far beyond the master sheet's %3; a "
                                    "user file holds the cells of its master sheet, and nothing of this "
                                    "one was read.")
                         .arg(sheet.name(), platform::sheet::CellAddress::toA1(last),
                              CellRange({1, 1}, masterLast).address(false, false)));
}

// A user file that is not merged as a whole: named in its message, with its errors row written
// once per version of the file.
void refuseUserFile(const QString& path, qint64 number, const QString& reason, const QString& userFile,
                    const QString& masterFile) {
    core::ShowErrorMessage(number, QStringLiteral("The user file '%1' is not merged: ").arg(path) + reason);
    core::LogUserFileError(userFile, masterFile, reason, context(), platform::sys::GetFileModifiedText(path));
}

// Reads the user file into one table: of the sheet that stands for the master sheet only the cells
// the comparison needs -- those within the master sheet's used block, and in a file of values those
// beyond it too, which the run asks about. (The workbook is read whole: the sheet's formulas may
// read its other sheets, and the workbook layer bounds what a file may hold.) A file that cannot be
// read, whose stamp names another worksheet row, that holds no sheet for the master sheet, or whose
// sheet is used far beyond the master sheet, is refused (refuseUserFile): nothing then.
std::optional<UserTable> readUserFile(platform::db::Connection& cnn, const QString& path,
                                      const QString& worksheet, CellRef masterLast, bool copyValues,
                                      const QString& userFile, const QString& masterFile) {
    try {
        std::unique_ptr<Workbook> book = Workbook::open(path, platform::sheet::OpenOptions::readOnlyAccess());
        const std::optional<UserFileStamp> stamp = ReadUserFileStamp(*book);
        if (stamp) {
            const QString mismatch =
                StampMismatch(userFile, *stamp, StampOfRow(cnn, context(), masterFile, worksheet, path));
            if (!mismatch.isEmpty()) {
                refuseUserFile(path, platform::db::DbError::kGeneral, mismatch + u'.', userFile, masterFile);
                return std::nullopt;
            }
        }
        const Worksheet& sheet = userSheetOf(*book, worksheet, stamp.has_value());
        const CellRef last = sheet.lastCell();
        requireNearItsMaster(sheet, last, masterLast);
        UserTable table{CellTexts(last.row, last.col), book->sheetNames(), {}};
        const CellRef needed =
            copyValues ? last
                       : CellRef{std::min(last.row, masterLast.row), std::min(last.col, masterLast.col)};
        sheet.forEachHeldCell(CellRange({1, 1}, needed),
                              [&](CellRef at, const CellValue& value, const QString& formula) {
                                  put(table.texts, at, value, formula, copyValues);
                                  if (value.type == CellValue::Type::Error)
                                      table.errors[{at.row, at.col}] = ErrorCell{formula, value.toText()};
                              });
        book->close();
        return table;
    } catch (const SheetError& error) {
        refuseUserFile(path, error.number(), error.description(), userFile, masterFile);
        return std::nullopt;
    }
}

// Why a cell of the user file holds an error value, as its question says: its formula refers to
// a sheet the file does not hold, or holds a reference that was deleted, or it is the value.
QString errorValueQuestion(const UserTable& user, const ChangeRecord& change, const QString& userFile) {
    const auto error = user.errors.find({change.row, change.column});
    if (error != user.errors.end() && error->second.formula.startsWith(u'=')) {
        const std::vector<FormulaText::Token> tokens =
            FormulaText::tokenize(error->second.formula.mid(1).toStdString());
        for (const FormulaText::Token& token : tokens) {
            if (token.kind != FormulaText::Kind::SheetPrefix)
                continue;
            const FormulaText::Prefix prefix = FormulaText::parsePrefix(token.text);
            const QString sheet = QString::fromStdString(prefix.sheet);
            if (!prefix.hasBook && !user.sheets.contains(sheet, Qt::CaseInsensitive))
                return kForeignSheetText.arg(userFile, change.label, sheet);
        }
        for (const FormulaText::Token& token : tokens)
            if (token.kind == FormulaText::Kind::Error && token.text == "#REF!")
                return kDeletedReferenceText.arg(userFile, change.label);
    }
    return kErrorValueText.arg(userFile, change.label,
                               error != user.errors.end() ? error->second.value : change.changedValue);
}

// A changed cell whose value in the user file is an error (#DIV/0!, #REF!) would carry the
// error into the master's totals: it stops the file as a corrupted formula does, with the
// question that says what the cell holds. False then.
bool refuseErrorValues(const ChangeList& list, const UserTable& user, const QString& userFile,
                       const QString& masterFile) {
    for (const ChangeRecord& change : list) {
        if (!user.isError(change.row, change.column))
            continue;
        ReportRefusedCell(change.row, change.column, change.currentValue, change.changedValue, userFile,
                          masterFile, errorValueQuestion(user, change, userFile));
        return false;
    }
    return true;
}

// The changes that the master sheet cannot take, taken out of the list: a locked cell of a
// protected sheet, and -- from a user file of values only -- a cell that holds a formula.
ChangeList takeUntakeable(ChangeList& list, const Worksheet& sheet, bool copyValues) {
    ChangeList kept;
    ChangeList left;
    for (ChangeRecord& change : list) {
        const CellRef cell{change.row, change.column};
        const bool untakeable = (copyValues && sheet.hasFormula(cell)) || !sheet.canWrite(cell);
        (untakeable ? left : kept).push_back(std::move(change));
    }
    list = std::move(kept);
    return left;
}

// The errors row of a change not written, its reason not set yet.
core::CellError leftChange(const ChangeRecord& change, const QString& userFile, const QString& masterFile) {
    core::CellError error;
    error.row = change.row;
    error.column = change.column;
    error.cellAddress = change.label;
    error.userFileName = userFile;
    error.userFileSheet = QStringLiteral("1");
    error.masterSheet = QStringLiteral("0");
    error.masterFileName = masterFile;
    error.masterValue = change.currentValue;
    error.changedValue = change.changedValue;
    return error;
}

// The errors rows of the changes left, written when the file's other cells are merged.
void logUntakeable(const ChangeList& left, const Worksheet& sheet, bool copyValues, const QString& userFile,
                   const QString& masterFile) {
    std::vector<core::CellError> errors;
    for (const ChangeRecord& change : left) {
        const bool formula = copyValues && sheet.hasFormula({change.row, change.column});
        errors.push_back(leftChange(change, userFile, masterFile));
        errors.back().formulaError = formula;
        errors.back().protectedError = !formula;
    }
    core::LogCellErrors(errors);
}

// Every formula among the changes must be one the workbook takes, before the first write. A
// scratch sheet of the master sheet's name takes each at its own cell, so that the refusal
// names the user's cell and says why.
void requireFormulasTaken(const ChangeList& list, const Worksheet& sheet, const QString& userFile) {
    std::unique_ptr<Workbook> scratch;
    for (const ChangeRecord& change : list) {
        if (change.changedIsText || !change.changedValue.startsWith(u'='))
            continue;
        if (!scratch) {
            scratch = Workbook::create(QStringLiteral("Check"));
            scratch->renameSheet(scratch->sheet(0), sheet.name());
        }
        try {
            scratch->sheet(0).setEntry({change.row, change.column}, change.changedValue);
        } catch (const SheetError& error) {
            throw SheetError(SheetError::Code::BadFormula,
                             error.description() +
                                 QStringLiteral(" Nothing of the user file '%1' was written.").arg(userFile));
        }
    }
}

// A formula among the changes that would read its own result once written (a user's "=F2" in
// a cell that F2 sums) stops the file as a corrupted formula does, before the first write, with
// the question that says it is circular. False then.
bool refuseCircularFormulas(const ChangeList& list, Workbook& master, Worksheet& sheet,
                            const QString& userFile) {
    std::vector<std::pair<CellRef, QString>> entries;
    for (const ChangeRecord& change : list)
        entries.emplace_back(CellRef{change.row, change.column},
                             change.changedIsText ? QString() : change.changedValue);
    const std::optional<CellRef> circular = master.circularReference(sheet, entries);
    if (!circular)
        return true;
    for (const ChangeRecord& change : list)
        if (change.row == circular->row && change.column == circular->col)
            ReportRefusedCell(change.row, change.column, change.currentValue, change.changedValue, userFile,
                              master.name(), kCircularFormulaText.arg(userFile, change.label));
    return false;
}

// The text of a master cell as the comparison reads it: its formula (or constant), or its value.
QString cellTextOf(const Worksheet& sheet, const CellRef& cell, bool values) {
    return values ? sheet.value(cell).toText() : sheet.formula(cell);
}

// The changes whose master cell no longer holds the text compared (the administrator typed into
// it during the review), taken out of the list; each keeps the cell's text of now.
ChangeList takeHandEdited(ChangeList& list, const Worksheet& sheet, bool copyValues) {
    ChangeList kept;
    ChangeList edited;
    for (ChangeRecord& change : list) {
        const QString now = cellTextOf(sheet, {change.row, change.column}, copyValues);
        if (now == change.currentValue) {
            kept.push_back(std::move(change));
            continue;
        }
        change.currentValue = now;
        edited.push_back(std::move(change));
    }
    list = std::move(kept);
    return edited;
}

// Says which cells were kept, with an errors row for each.
void reportHandEdited(const ChangeList& edited, const Worksheet& sheet, const QString& userFile,
                      const QString& masterFile) {
    QStringList labels;
    std::vector<core::CellError> errors;
    for (const ChangeRecord& change : edited) {
        labels << change.label;
        errors.push_back(leftChange(change, userFile, masterFile));
        errors.back().syncError = true;
    }
    core::LogCellErrors(errors);
    platform::ui::msgBox(kHandEditsKeptText.arg(labels.join(QStringLiteral(", ")), sheet.name(), userFile),
                         platform::ui::Buttons::Ok, core::appTitle(), platform::ui::Icon::Exclamation);
}

// A text of the user file goes in as a text ("007", "3-4", "TRUE"); anything else as typed.
void write(Worksheet& sheet, const ChangeRecord& change) {
    const CellRef cell{change.row, change.column};
    if (change.changedIsText && !change.changedValue.isEmpty())
        sheet.setEntry(cell, u'\'' + change.changedValue);
    else
        sheet.setEntry(cell, change.changedValue);
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
        SetConnection();
        Worksheet& sheet = master.sheet(worksheet);
        const std::optional<UserTable> user = readUserFile(Cnn(), userFilePath, worksheet, sheet.lastCell(),
                                                           copyValues, userFile, master.name());
        if (!user)
            return kFailed;
        if (sheet.visibility() == Worksheet::Visibility::Visible)
            sheet.activate();
        const CellTexts current = tableOf(sheet, copyValues);
        const CellTexts& extent = copyValues ? user->texts : current;
        int rows = extent.rows();
        int columns = extent.columns();
        // A values-only file is compared within the block it was cut from; what the user put
        // beside it is no part of the merge.
        if (copyValues) {
            if (!AskAboutValuesOutsideBlock(current, user->texts, userFile, master.name()))
                return kFailed;
            rows = std::min(rows, current.rows());
            columns = std::min(columns, current.columns());
        }
        std::optional<ChangeList> list =
            CompareSheetArrays(current, user->texts, rows, columns, userFile, master.name());
        if (core::gOptions->CorruptedFlag || !list)
            return kFailed;
        if (!refuseErrorValues(*list, *user, userFile, master.name()))
            return kFailed;
        for (ChangeRecord& change : *list)
            change.changedIsText = user->isText(change.row, change.column);
        const ChangeList left = takeUntakeable(*list, sheet, copyValues);
        if (isMode(kPreviewChanges)) {
            if (list->empty())
                return kNoChange;
            PreviewChanges(*list);
            return kNotWritten;
        }
        if (isMode(kEditChanges) && !list->empty() && !PreviewChanges(*list))
            return kNotWritten;
        const ChangeList edited = takeHandEdited(*list, sheet, copyValues);
        requireFormulasTaken(*list, sheet, userFile);
        if (!refuseCircularFormulas(*list, master, sheet, userFile))
            return kFailed;
        logUntakeable(left, sheet, copyValues, userFile, master.name());
        if (!edited.empty())
            reportHandEdited(edited, sheet, userFile, master.name());
        if (list->empty())
            return edited.empty() ? kNoChange : kNotWritten;
        for (const ChangeRecord& change : *list)
            write(sheet, change);
        if (!sheetPassword.isEmpty())
            sheet.protect(sheetPassword);
        return edited.empty() ? kWritten : kHandEditsKept;
    } catch (const std::exception& error) {
        // The errors table keeps what failed, once per version of the file.
        core::ShowErrorMessage(error);
        core::LogUserFileError(userFile, master.name(), core::ErrorInfoOf(error).description, context(),
                               platform::sys::GetFileModifiedText(userFilePath));
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
    if (editing) {
        // A value the administrator changed is read as typed; one left alone keeps its kind.
        for (std::size_t i = 0; i < list.size(); ++i) {
            const QString edited = grid.cellText(int(i), kChangedValueColumn);
            if (edited != list[i].changedValue)
                list[i] = ChangeRecord{list[i].row,          list[i].column, edited,
                                       list[i].currentValue, list[i].label,  false};
        }
    }
    return !core::gOptions->CancelOp || (editing && WriteReviewedOnCancel);
}

} // namespace workbooks
