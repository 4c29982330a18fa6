// Fixture of the cut and update-run tests: the budget "Plan" with the master workbook
// Budget.xlsx that LibreOffice saved (sheets Sales and Costs picked, Costs protected by its
// password), its user files cut by the program and registered as the wizard registers them,
// and user files "returned" by a user who typed into them with openpyxl a minute after the cut.
#pragma once

#include "core/cOptions.h"
#include "core/frmWait.h"
#include "platform/db/SqlText.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/FileFacts.h"
#include "platform/ui/DataGrid.h"
#include "workbooks/CheckUserFilesExist.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/UserFileTableSync.h"
#include "workbooks/tests/BudgetFixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

namespace workbookstest {

class PlanBudgetFixture : public BudgetFixture {
protected:
    void SetUp() override {
        BudgetFixture::SetUp();
        masters_ = testsupport::freshDir(QStringLiteral("masters"));
        master_ = copyMaster(QStringLiteral("Budget.xlsx"), masters_);
        addMaster(11, QStringLiteral("Budget.xlsx"), masters_, QStringLiteral("Plan"));
        addWorksheet(QStringLiteral("Sales"), 11, QStringLiteral("Budget.xlsx"), QStringLiteral("Plan"),
                     QStringLiteral("North"));
        addWorksheet(QStringLiteral("Costs"), 11, QStringLiteral("Budget.xlsx"), QStringLiteral("Plan"),
                     QStringLiteral("South"), kCostsPassword);
        workbooks::setUserFileTableSync(&registerUserFiles);
    }
    void TearDown() override {
        workbooks::setUserFileTableSync({});
        core::frmWait::unload();
        BudgetFixture::TearDown();
    }

    // The register rows of the built user files, as the wizard's sync adds them.
    static void registerUserFiles() {
        execute(
            "INSERT INTO UserFileTablesData (User_Filename, Select_By_User, Master_File, Budget_Name, "
            "Folder_Name) SELECT User_Filename, 1, Master_File, Budget_Name, Folder_Name FROM Worksheets w "
            "WHERE UF_Create_Date IS NOT NULL AND Select_By_User = 1 AND NOT EXISTS (SELECT 1 FROM "
            "UserFileTablesData u WHERE u.User_Filename = w.User_Filename AND u.Budget_Name = "
            "w.Budget_Name)");
    }

    // Cuts the picked sheets of a master workbook of the context and registers them.
    void cut(const QString& masterFile = QStringLiteral("Budget.xlsx"), bool valuesOnly = false) {
        testsupport::ScopedScriptedUi ui;
        ASSERT_EQ(workbooks::CreateUserFiles(masterFile, true, false, valuesOnly), workbooks::kCutFinished)
            << ui->messageTexts().join('|').toStdString();
        registerUserFiles();
    }

    QString userFile(const char* folder, const char* sheet, const QString& root = {}) const {
        return (root.isEmpty() ? masters_ : root) + u'/' + QString::fromLatin1(folder) + u'/' +
               QString::fromLatin1(sheet) + QStringLiteral(".xlsx");
    }

    // The user returns the file with the cells typed in (numbers as numbers, "=..." as
    // formulas), saved by openpyxl a minute after the time recorded at its cut.
    static void returnFile(const QString& path, const QList<std::pair<const char*, const char*>>& typed) {
        QJsonArray cells;
        for (const auto& [cell, text] : typed)
            cells.append(QJsonArray{QString::fromUtf8(cell), QString::fromUtf8(text)});
        typeWithOpenpyxl(path, cells);
        markReturned(path);
    }

    static void run(const QString& mode, const QString& folder = {},
                    const QString& budget = QStringLiteral("Plan")) {
        core::gOptions->BudgetNameContext = budget;
        workbooks::UpdateMasterFilesCommand({budget, folder, mode});
    }

    // A cell of the master as the workbook layer reads it: its formula, or its value.
    static QString
    cell(const QString& path, const char* sheet, const char* address, bool formula = false,
         const platform::sheet::OpenOptions& options = platform::sheet::OpenOptions::readOnlyAccess()) {
        std::unique_ptr<platform::sheet::Workbook> book = platform::sheet::Workbook::open(path, options);
        platform::sheet::Worksheet& ws = book->sheet(QString::fromLatin1(sheet));
        const auto ref = *platform::sheet::CellAddress::parseA1(QString::fromLatin1(address));
        const QString text = formula ? ws.formula(ref) : ws.value(ref).toText();
        book->close();
        return text;
    }

    // The merge state of a user file: UserFile_Update, Corrupt_Error, File_Missing, and whether
    // UF_Modified_Date is the file's last-write time ("merged") or not ("as cut").
    static QString state(const QString& sheet, const QString& budget = QStringLiteral("Plan")) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset row = platform::db::Recordset::open(
            cnn,
            "SELECT u.UserFile_Update, w.Corrupt_Error, w.File_Missing, w.UF_Modified_Date, w.UFNPath "
            "FROM Worksheets w JOIN UserFileTablesData u ON u.User_Filename = w.User_Filename "
            "AND u.Budget_Name = w.Budget_Name WHERE w.Worksheet_Name = ? AND w.Budget_Name = ?",
            {sheet, budget});
        if (row.eof())
            return QStringLiteral("no row");
        const bool fileTime = platform::db::parseDateTime(row.value(3).toString()) ==
                              platform::sys::GetFileModifiedText(row.value(4).toString());
        return QStringList{row.value(0).toString(), row.value(1).toString(), row.value(2).toString(),
                           fileTime ? QStringLiteral("merged") : QStringLiteral("as cut")}
            .join(u'|');
    }

    // Runs `act` once, inside the run, when the wait window shows the changes for review.
    void whenReviewing(std::function<void(core::frmWait&)> act) {
        reviewTimer_ = std::make_unique<QTimer>();
        reviewTimer_->setInterval(0);
        QObject::connect(reviewTimer_.get(), &QTimer::timeout, [this, act] {
            core::frmWait* wait = core::frmWait::loaded();
            if (!core::gOptions->Pause || !wait)
                return;
            reviewTimer_->stop();
            act(*wait);
        });
        reviewTimer_->start();
    }

    // With LUMIDESK_SCREENSHOT_DIR set, saves the window there as <name>.png to look at.
    static void saveScreenshot(QWidget& window, const QString& name) {
        const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        window.grab().save(folder + u'/' + name + QStringLiteral(".png"));
    }

    // The rows of the wait window's changes grid, cells joined by "|".
    static QStringList changesShown(const core::frmWait& wait) {
        QStringList shown;
        const auto& grid = *wait.dtChangedData();
        for (int row = 0; row < grid.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < 4; ++column)
                cells << grid.cellText(row, column);
            shown << cells.join(u'|');
        }
        return shown;
    }

    QString masters_;
    QString master_;
    std::unique_ptr<QTimer> reviewTimer_;
};

} // namespace workbookstest
