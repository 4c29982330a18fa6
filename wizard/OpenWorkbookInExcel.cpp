// See OpenWorkbookInExcel.h. The workbook opens in the spreadsheet program the project ships
// (platform/sys/SpreadsheetProgram.h); tests record the program's start in its place.
#include "wizard/OpenWorkbookInExcel.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/sys/SpreadsheetProgram.h"

#include <QDir>
#include <QFileInfo>

namespace wizard {

namespace {

using platform::db::DbError;
using platform::db::Recordset;

const QString kMasterFileQuery = QStringLiteral("SELECT Path, Master_File FROM MasterFiles "
                                                "WHERE Master_File = ? COLLATE NOCASE_U "
                                                "AND Budget_Name = ? COLLATE NOCASE_U");
const QString kUserFileQuery = QStringLiteral("SELECT UFNPath FROM Worksheets "
                                              "WHERE User_Filename = ? COLLATE NOCASE_U "
                                              "AND Budget_Name = ? COLLATE NOCASE_U "
                                              "ORDER BY ID_Worksheets");

// Opens the workbook for the user; a failure of the opening itself is shown like every other
// error.
void openForTheUser(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile())
        core::ShowErrorMessage(kWorkbookNotFoundError,
                               QStringLiteral("The workbook ") + QDir::toNativeSeparators(path) +
                                   QStringLiteral(" could not be found."),
                               core::appTitle());
    else if (!platform::sys::openInSpreadsheetProgram(file.absoluteFilePath()))
        core::ShowErrorMessage(kWorkbookNotOpenedError,
                               kSpreadsheetProgramMissingText.arg(QDir::toNativeSeparators(path)),
                               core::appTitle());
}

// The master workbook's full path when exactly one master workbook of the context has that
// name; empty otherwise. The stored file name is used, since the name passed may differ from
// the file's in letter case.
QString masterWorkbookPath(core::cDB2& query, const QString& name, const QString& context) {
    Recordset rst = Recordset::open(query.Cnn(), kMasterFileQuery, {name, context});
    if (rst.recordCount() != 1)
        return {};
    return QDir(rst.value(QStringLiteral("Path")).toString())
        .filePath(rst.value(QStringLiteral("Master_File")).toString());
}

} // namespace

void OpenWorkbookInExcel(const QString& name) {
    try {
        const QString context = core::gOptions ? core::gOptions->BudgetNameContext : QString();
        // A query object of its own, so a caller's gDB2 and its rows are left alone.
        core::cDB2 query;
        query.SetConnection();
        const QString master = masterWorkbookPath(query, name, context);
        if (!master.isEmpty()) {
            openForTheUser(master);
            return;
        }
        Recordset rst = Recordset::open(query.Cnn(), kUserFileQuery, {name, context});
        // Without a row this read fails with "no current record", shown as the error message.
        const QString userFile = rst.value(QStringLiteral("UFNPath")).toString();
        rst.close();
        if (userFile.isEmpty())
            return; // the user file is not built yet
        openForTheUser(userFile);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void OpenWorkbookFile(const QString& path) {
    openForTheUser(path);
}

} // namespace wizard
