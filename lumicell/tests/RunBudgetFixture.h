// Fixture of the Run Budget tests: the add-in started on a program's Application (offscreen)
// with a master database of the test's own, the budget "Plan" whose master workbook Budget.xlsx
// LibreOffice made (sheet Sales: B3 10, D1:D3 numbers, D4 =SUM(D1:D3)), its sheet Sales cut
// into North/Sales.xlsx and assigned to the user Ann, and the steps a user takes with
// LibreOffice on the returned file.
#pragma once

#include "AddInFixture.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "lumicell/frmRun.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/tests/SheetTestSupport.h"
#include "platform/sys/FileFacts.h"
#include "support/ScriptedUi.h"
#include "workbooks/CreateUserFiles.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QTimer>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

namespace lumicelltest {

class RunBudgetFixture : public AddInFixture {
protected:
    static void SetUpTestSuite() {
        // One master made by LibreOffice for the whole suite; each test works on its own copy.
        made_ =
            new QString(testsupport::freshDir(QStringLiteral("lo-master")) + QStringLiteral("/Budget.xlsx"));
        typeWithLibreOffice(
            *made_,
            {{"B1", "Q1"}, {"B3", "10"}, {"D1", "1"}, {"D2", "2"}, {"D3", "3"}, {"D4", "=SUM(D1:D3)"}},
            QStringLiteral("Sales"));
    }
    static void TearDownTestSuite() {
        delete made_;
        made_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(QFile::exists(*made_)) << "LibreOffice made no master workbook";
        AddInFixture::SetUp();
        startAddIn();
        ASSERT_NE(lumicell::gOptions(), nullptr);
        masters_ = testsupport::freshDir(QStringLiteral("masters"));
        master_ = masters_ + QStringLiteral("/Budget.xlsx");
        ASSERT_TRUE(QFile::copy(*made_, master_));
        QFile::setPermissions(master_, QFile::ReadOwner | QFile::WriteOwner);
        userFile_ = masters_ + QStringLiteral("/North/Sales.xlsx");
    }

    platform::db::Connection database() const { return folders_.openMaster(); }
    void execute(const QString& sql, const QVariantList& params = {}) const {
        database().execute(sql, params);
    }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) const {
        return database().scalar(sql, params);
    }

    // A budget of one master workbook with one picked sheet, cut into the folder beside the
    // master and its user file assigned to a user.
    struct OneSheetBudget {
        QString budget;
        qint64 masterId;
        QString folder; // the master's
        QString masterFile;
        QString sheet;
        QString userFolder;
        QString user;
    };

    // The budget, its master row, the picked sheet filed under its folder, the cut and the
    // register row of the user file, assigned to the user; the budget is left in context.
    void buildBudget(const OneSheetBudget& b) {
        execute("INSERT INTO Budgets (Budget_Name, Active, LumiXL) VALUES (?, 1, 1)", {b.budget});
        execute(
            "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES (?, ?, ?, ?)",
            {b.masterId, b.masterFile, b.folder, b.budget});
        execute("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, MasterFiles_ID, "
                "Master_File, Budget_Name) VALUES (?, 1, ?, ?, ?, ?)",
                {b.sheet, b.userFolder, b.masterId, b.masterFile, b.budget});
        lumicell::gOptions()->BudgetNameContext = b.budget;
        testsupport::ScopedScriptedUi ui;
        ASSERT_EQ(workbooks::CreateUserFiles(b.masterFile, true, false, false), workbooks::kCutFinished)
            << ui->messageTexts().join('|').toStdString();
        const QString userFile = b.sheet + QStringLiteral(".xlsx");
        execute("INSERT INTO UserFileTablesData (User_Filename, Users, Select_By_User, Master_File, "
                "Budget_Name, Folder_Name, Attachment) VALUES (?, ?, 1, ?, ?, ?, 1)",
                {userFile, b.user, b.masterFile, b.budget, b.userFolder});
        execute("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)",
                {b.user, b.user.toLower() + QStringLiteral("@example.org")});
    }
    // The budget Plan: Budget.xlsx's sheet Sales into North/Sales.xlsx, assigned to Ann.
    void buildBudget() {
        buildBudget({QStringLiteral("Plan"), 11, masters_, QStringLiteral("Budget.xlsx"),
                     QStringLiteral("Sales"), QStringLiteral("North"), QStringLiteral("Ann")});
    }

    // Opens the master in the program and the Run Budget dialog on it.
    lumicell::frmRun& openDialog() {
        master() = &app_.open(master_);
        lumicell::RunBudget();
        lumicell::frmRun* form = lumicell::frmRun::loaded();
        EXPECT_NE(form, nullptr);
        return *form;
    }
    platform::sheet::Workbook*& master() { return book_; }

    // The user types into the returned file with LibreOffice (nothing typed: saves it again
    // unchanged), a minute after the time recorded at its cut.
    void returnWithLibreOffice(const QList<std::pair<const char*, const char*>>& typed) {
        typeWithLibreOffice(userFile_, typed);
        const QDateTime recorded = platform::db::parseDateTime(
            scalar("SELECT UF_Modified_Date FROM Worksheets WHERE Worksheet_Name = 'Sales'").toString());
        ASSERT_TRUE(recorded.isValid());
        const timespec times[2] = {{recorded.toSecsSinceEpoch() + 60, 0},
                                   {recorded.toSecsSinceEpoch() + 60, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(userFile_).constData(), times, 0), 0);
    }

    static void typeWithLibreOffice(const QString& path,
                                    const QList<std::pair<const char*, const char*>>& typed,
                                    const QString& newSheet = {}) {
        QJsonArray cells;
        for (const auto& [cell, text] : typed)
            cells.append(QJsonArray{1, QString::fromUtf8(cell), QString::fromUtf8(text)});
        const QString json = QString::fromUtf8(QJsonDocument(cells).toJson(QJsonDocument::Compact));
        const QString script = testsupport::fixturePath(QStringLiteral("lo_cells.py"));
        if (newSheet.isEmpty())
            sheettest::runPythonFile(script, {QStringLiteral("edit"), path, json});
        else
            sheettest::runPythonFile(script, {QStringLiteral("new"), path, newSheet, json});
    }

    // The user file's UserFile_Update and Corrupt_Error, and whether its recorded date is the
    // file's ("merged") or older ("waiting").
    QString state() const {
        platform::db::Connection db = database();
        auto row = platform::db::Recordset::open(
            db,
            QStringLiteral("SELECT u.UserFile_Update, w.Corrupt_Error, w.UF_Modified_Date FROM Worksheets w "
                           "JOIN UserFileTablesData u ON u.User_Filename = w.User_Filename"));
        const bool merged = platform::db::parseDateTime(row.value(2).toString()) ==
                            platform::sys::GetFileModifiedText(userFile_);
        return row.value(0).toString() + u'|' + row.value(1).toString() + u'|' +
               (merged ? QStringLiteral("merged") : QStringLiteral("waiting"));
    }

    // A cell of the master file on disk.
    QString cellOnDisk(const char* address, bool formula = false) const {
        auto book = platform::sheet::Workbook::open(master_, platform::sheet::OpenOptions::readOnlyAccess());
        const auto ref = *platform::sheet::CellAddress::parseA1(QString::fromLatin1(address));
        const platform::sheet::Worksheet& sheet = book->sheet(QStringLiteral("Sales"));
        const QString text = formula ? sheet.formula(ref) : sheet.value(ref).toText();
        book->close();
        return text;
    }

    static QByteArray digest(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly)
                   ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                   : QByteArray();
    }

    // Answers each review of the wait window with Continue (after `look` saw it).
    void continueEveryReview(std::function<void(core::frmWait&)> look = {}) {
        reviewer_ = std::make_unique<QTimer>();
        reviewer_->setInterval(0);
        QObject::connect(reviewer_.get(), &QTimer::timeout, [this, look] {
            core::frmWait* wait = core::frmWait::loaded();
            if (!core::gOptions || !core::gOptions->Pause || !wait)
                return;
            if (look)
                look(*wait);
            wait->cmdContinue()->click();
        });
        reviewer_->start();
    }

    QString masters_;
    QString master_;
    QString userFile_;
    platform::sheet::Workbook* book_ = nullptr;
    std::unique_ptr<QTimer> reviewer_;
    static inline QString* made_ = nullptr;
};

} // namespace lumicelltest
