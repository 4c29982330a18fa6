// See MasterSheetListing.h. The listing works through a query object of its own, not gDB2:
// while it waits for the password dialog, window events go through, and a routine run from
// them may release gDB2. The workbook is held in memory for the listing alone and closed at its
// end; the stand-in for the spreadsheet program's error 1004 on a protected sheet is the layer's
// own protection check.
#include "wizard/MasterSheetListing.h"

#include "core/AppTitle.h"
#include "core/DialogHandshake.h"
#include "core/ErrorMessage.h"
#include "core/StringScrambling.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"
#include "platform/ui/frmEnterWBPwd.h"
#include "wizard/SheetRegistration.h"
#include "wizard/WizardServices.h"
#include "workbooks/EnterWorkbookPasswords.h"
#include "workbooks/MasterFileRow.h"
#include "workbooks/WaitWindowSteps.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <memory>

namespace wizard {

namespace {

using platform::db::Connection;
using platform::db::Recordset;
using platform::sheet::OpenOptions;
using platform::sheet::SheetError;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;

const QString kLoadingText = QStringLiteral("Loading xl Master File");
const QString kUpdatingText = QStringLiteral("Updating database with Worksheet names");

const QString kMasterRowOfName =
    QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = ? COLLATE NOCASE_U "
                   "AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid");

QString context() {
    return core::gOptions ? core::gOptions->BudgetNameContext : QString();
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

struct MasterRow {
    qint64 id = 0;
    QString file;
    QString fullPath;
};

// The wait window for the listing: the "Master File:" and "Worksheet:" rows, unloaded at the
// end only when the listing loaded it (a run that called the listing keeps its own).
class ListingWaitWindow {
public:
    explicit ListingWaitWindow(const QString& fileName) {
        if (core::frmWait* wait = core::frmWait::loaded()) {
            wait->lblBudgetFileLabel()->hide();
            wait->lblFileStatus()->hide();
        }
        workbooks::ShowWaitStep(fileName, QString(), QString(), kLoadingText, 0, 0);
    }

private:
    workbooks::WaitWindowScope scope_;
};

// The dialog, unloaded on every way out of the password step.
struct PasswordDialogUnloader {
    ~PasswordDialogUnloader() { workbooks::UnloadEnterWBPwd(); }
};

bool passwordRefused(const SheetError& error) {
    return error.code() == SheetError::Code::WrongPassword ||
           error.code() == SheetError::Code::PasswordRequired;
}

// Asks for the workbook's two passwords until they open it; null when the dialog was
// cancelled. A failure other than a refused password is thrown.
std::unique_ptr<Workbook> openWithPasswords(Connection& cnn, const MasterRow& master) {
    const PasswordDialogUnloader unloader;
    platform::ui::frmEnterWBPwd& dialog = workbooks::LoadEnterWBPwd();
    // An answer left over from an earlier dialog must not answer this one.
    core::gOptions->SetPwd = false;
    core::gOptions->CancelPwd = false;
    dialog.show();
    for (;;) {
        if (core::WaitForDialogAnswer(&dialog) == core::DialogAnswer::Cancelled)
            return nullptr;
        const QString open = dialog.tbxFOPwd()->text();
        const QString write = dialog.tbxWritePwd()->text();
        if (open.isEmpty() || write.isEmpty())
            continue; // both are needed; the dialog stays for the other
        OpenOptions options;
        options.password = open;
        options.writeResPassword = write;
        options.readOnly = true;
        std::unique_ptr<Workbook> book;
        try {
            book = Workbook::open(master.fullPath, options);
        } catch (const SheetError& error) {
            if (!passwordRefused(error))
                throw;
            tell(kWrongWorkbookPasswordsText.arg(master.file));
            continue;
        }
        cnn.execute(QStringLiteral("UPDATE MasterFiles SET WBOpen_Password = ?, WBWrite_Password = ?, "
                                   "MFPwdsSet = 1 WHERE ID_MasterFiles = ?"),
                    {core::EncodeString(open), core::EncodeString(write), master.id});
        return book;
    }
}

// The workbook, read-only in memory; null when it is not to be listed, its row then deleted
// (after telling the user why, when it cannot be opened at all).
std::unique_ptr<Workbook> openMaster(Connection& cnn, const MasterRow& master) {
    std::unique_ptr<Workbook> book;
    try {
        bool needsPasswords = false;
        try {
            book = Workbook::open(master.fullPath, OpenOptions::readOnlyAccess());
            needsPasswords = book->writeReserved();
        } catch (const SheetError& error) {
            if (error.code() != SheetError::Code::PasswordRequired)
                throw;
            needsPasswords = true;
        }
        if (needsPasswords) {
            book.reset();
            book = openWithPasswords(cnn, master);
        }
    } catch (const SheetError& error) {
        book.reset();
        cnn.execute(QStringLiteral("DELETE FROM MasterFiles WHERE ID_MasterFiles = ?"), {master.id});
        tell(kUnreadableMasterText.arg(master.file, error.description()));
        return nullptr;
    }
    if (!book)
        cnn.execute(QStringLiteral("DELETE FROM MasterFiles WHERE ID_MasterFiles = ?"), {master.id});
    return book;
}

// The sheet's password, asked until it is the right one; "" when the user gave none.
QString askSheetPassword(const Worksheet& sheet) {
    for (;;) {
        const std::optional<QString> typed =
            platform::ui::ui().input(kSheetPasswordPrompt.arg(sheet.name()), kSheetPasswordTitle);
        if (!typed || typed->isEmpty())
            return QString();
        if (sheet.verifyPassword(*typed))
            return *typed;
    }
}

void listSheet(Connection& cnn, const MasterRow& master, const Worksheet& sheet, bool automatic) {
    const QString budget = context();
    if (!SheetNameIsFree(cnn, sheet.name(), master.file, budget))
        return;
    QString password;
    // A sheet protected without a password can be read as it is.
    if (sheet.isProtected() && sheet.hasPassword()) {
        password = askSheetPassword(sheet);
        if (password.isEmpty())
            return;
    }
    NewSheetRow row;
    row.sheetName = sheet.name();
    row.masterFile = master.file;
    row.budget = budget;
    row.masterFileId = master.id;
    row.scrambledPassword = password.isEmpty() ? QVariant() : QVariant(core::EncodeString(password));
    row.picked = automatic;
    row.folder = automatic && password.isEmpty() ? QVariant(kAutomaticFolder) : QVariant();
    AddSheetRow(cnn, row);
}

void stampRow(Connection& cnn, qint64 masterFileId) {
    cnn.execute(QStringLiteral("UPDATE MasterFiles SET Process_Date = ? WHERE ID_MasterFiles = ?"),
                {QDateTime::currentDateTime(), masterFileId});
}

void listRow(core::cDB2& query, qint64 masterFileId, bool automatic) {
    Connection& cnn = query.Cnn();
    Recordset row = Recordset::open(
        cnn, QStringLiteral("SELECT Master_File, Path FROM MasterFiles WHERE ID_MasterFiles = ?"),
        {masterFileId});
    if (row.eof()) {
        tell(kMasterFileNotFoundText);
        return;
    }
    MasterRow master;
    master.id = masterFileId;
    master.file = workbooks::TextOf(row, QStringLiteral("Master_File"));
    master.fullPath = workbooks::JoinPath(workbooks::TextOf(row, QStringLiteral("Path")), master.file);
    row.close();

    const ListingWaitWindow wait(master.file);
    std::unique_ptr<Workbook> book = openMaster(cnn, master);
    if (!book)
        return;
    const std::vector<Worksheet*> sheets = book->worksheets();
    int ordinal = 0;
    for (const Worksheet* sheet : sheets) {
        ++ordinal;
        workbooks::ShowWaitStep(master.file, QString(), sheet->name(), kUpdatingText, ordinal,
                                int(sheets.size()));
        listSheet(cnn, master, *sheet, automatic);
    }
    book->close();
    stampRow(cnn, master.id);
}

} // namespace

void LoadMasterWorkbookSheetsOfRow(qint64 masterFileId, bool automatic) {
    try {
        core::cDB2 query;
        query.SetConnection();
        listRow(query, masterFileId, automatic);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    if (!automatic)
        RefreshWizardMasterFiles();
}

void LoadMasterWorkbookSheets(const QString& fileName, bool automatic) {
    if (fileName.compare(platform::sys::kPlaceholderText, Qt::CaseInsensitive) == 0)
        return;
    qint64 id = 0;
    try {
        core::cDB2 query;
        query.SetConnection();
        Recordset rows = Recordset::open(query.Cnn(), kMasterRowOfName, {fileName, context()});
        if (rows.recordCount() != 1) {
            tell(kMasterFileNotFoundText);
            return;
        }
        id = rows.value(0).toLongLong();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return;
    }
    LoadMasterWorkbookSheetsOfRow(id, automatic);
}

void StampMasterFileProcessDate(const QString& fileName) {
    try {
        core::cDB2 query;
        query.SetConnection();
        Recordset rows = Recordset::open(query.Cnn(), kMasterRowOfName, {fileName, context()});
        if (!rows.eof())
            stampRow(query.Cnn(), rows.value(0).toLongLong());
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace wizard
