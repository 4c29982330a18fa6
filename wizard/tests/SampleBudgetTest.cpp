// Installing the sample budget from a copy of the samples folder the build makes, which the
// program may only read, into a private master database that also holds a budget of the
// user's own; the sample's workbooks and user files go into the data folder.
#include "wizard/SampleBudget.h"

#include "core/RunGuard.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/tests/SheetTestSupport.h" // readable texts in failures
#include "platform/sys/FileFacts.h"
#include "platform/sys/SettingsStore.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"
#include "wizard/WizardServices.h"
#include "workbooks/CreateUserFilesForSelection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using testsupport::ScopedScriptedUi;

// The tables the installation touches, each read without its key column.
const char* const kTables[][2] = {
    {"Budgets", "Budget_Name, Active, Admin_Name"},
    {"MasterFiles", "Master_File, Path, Budget_Name"},
    {"Worksheets", "Worksheet_Name, Master_File, Budget_Name, Select_By_User, Folder_Name, User_Filename"},
    {"UserFileTablesData", "User_Filename, Users, Master_File, Budget_Name"},
    {"Admin", "Admin_Name, \"Default\", RecType"},
    {"FolderNames", "Folder_Name"},
    {"UsersData", "Users, Email_Address"},
    {"Subject", "Subject"},
    {"BodyText", "Body_Text"},
};

class SampleBudget : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        samples_ = testsupport::freshDir(QStringLiteral("program")) + QStringLiteral("/lumixl/samples");
        QDir().mkpath(samples_);
        for (const char* file : {"sampledb.mdb", "Employee.xlsx", "Departme.xlsx"}) {
            const QString target = samples_ + u'/' + QLatin1String(file);
            ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_SAMPLES_DIR "/") + QLatin1String(file), target));
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
        core::gCnn = std::make_unique<core::cConnection>(platform::sys::kDesktopApplication,
                                                         samples_ + QStringLiteral("/sampledb.mdb"));
        core::gCnn->LocalCnn();
        data_ = QFileInfo(core::gCnn->LocalCnnPath()).absolutePath() + QStringLiteral("/Samples");
        QDir(data_).removeRecursively();

        // The user's own budget, with rows whose names contain the sample's.
        execute(
            "INSERT INTO Budgets (Budget_Name, Active, Admin_Name) VALUES ('SampleBudget2', 1, 'Velkan')");
        execute("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Employee.xlsx', '/own', "
                "'SampleBudget2')");
        execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, Select_By_User) "
                "VALUES ('Salaries', 'Employee.xlsx', 'SampleBudget2', 1)");
        execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) "
                "VALUES ('Salaries.xlsx', 'Employee.xlsx', 'SampleBudget2')");
        execute("INSERT INTO Admin (Admin_Name, \"Default\", RecType) VALUES ('Velkan', 1, 'Author')");
        execute("INSERT INTO UsersData (Users, Email_Address) VALUES ('Person10', 'p10@example.org')");
    }

    // Every real row of the touched tables, sorted per table: "Table: a|b|c".
    static QStringList snapshot() {
        platform::db::Connection cnn = openMaster();
        QStringList all;
        for (const auto& [table, columns] : kTables) {
            platform::db::Recordset rst =
                platform::db::Recordset::open(cnn, QStringLiteral("SELECT ") + QLatin1String(columns) +
                                                       QStringLiteral(" FROM ") + QLatin1String(table));
            QStringList rows;
            for (; !rst.eof(); rst.moveNext()) {
                QStringList cells;
                for (int i = 0; i < rst.fieldCount(); ++i)
                    cells << (rst.isNull(i) ? QStringLiteral("-") : rst.value(i).toString());
                if (cells.first() != QStringLiteral("<Dummy record>"))
                    rows << QLatin1String(table) + QStringLiteral(": ") + cells.join(u'|');
            }
            rows.sort();
            all << rows;
        }
        return all;
    }

    static QStringList only(const QStringList& rows, const QString& table) {
        return rows.filter(QRegularExpression(QStringLiteral("^") + table + QStringLiteral(": ")));
    }

    // Where the program's samples folder is read only, as an installed program's is.
    void shipReadOnly() const {
        for (const QString& entry : QDir(samples_).entryList(QDir::Files))
            QFile::setPermissions(samples_ + u'/' + entry, QFile::ReadOwner);
        QFile::setPermissions(samples_, QFile::ReadOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        QFile::setPermissions(samples_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        coretest::MasterDbFixture::TearDown();
    }

    QString samples_; // the program's (shipped)
    QString data_;    // the data folder's
};

// Installed twice: one set of sample rows, the master workbooks copied into the data folder's
// samples folder and the user files of the picked worksheets cut below it, nothing written into
// the program's read-only folder, the sample the budget context; the user's own rows (whose
// names contain the sample's) untouched.
TEST_F(SampleBudget, InstallingTwiceLeavesOneSetAndOtherBudgetsAlone) {
    const QStringList before = snapshot();
    const QStringList shipped = QDir(samples_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    shipReadOnly();
    ScopedScriptedUi ui;
    ASSERT_TRUE(wizard::InstallSampleBudget());
    const QStringList once = snapshot();
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join(u'\n').toStdString();
    EXPECT_EQ(core::gOptions->BudgetNameContext, QStringLiteral("SampleBudget"));
    EXPECT_FALSE(core::gOptions->InstallSample);
    EXPECT_EQ(wizard::SamplesFolder(), data_);
    EXPECT_EQ(QDir(samples_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), shipped);
    for (const QString& workbook : wizard::kSampleWorkbooks) {
        const QFile::Permissions mode = QFileInfo(data_ + u'/' + workbook).permissions();
        EXPECT_TRUE(mode.testFlag(QFile::WriteOwner)) << "a copy the update runs can write";
        EXPECT_FALSE(mode & (QFile::ReadGroup | QFile::ReadOther)) << "readable by its owner only";
    }

    for (const QString& row : before)
        EXPECT_TRUE(once.contains(row)) << "lost: " << row.toStdString();
    QStringList masters{"MasterFiles: Departme.xlsx|" + data_ + "|SampleBudget",
                        "MasterFiles: Employee.xlsx|/own|SampleBudget2",
                        "MasterFiles: Employee.xlsx|" + data_ + "|SampleBudget"};
    masters.sort();
    EXPECT_EQ(only(once, "MasterFiles"), masters);
    EXPECT_EQ(only(once, "Worksheets").size(), 8);
    EXPECT_EQ(only(once, "UserFileTablesData").size(), 5);
    EXPECT_EQ(only(once, "Admin"), (QStringList{"Admin: Velkan|1|Author", "Admin: Velk|0|Author"}));
    EXPECT_EQ(only(once, "UsersData").size(), 3);
    for (const char* file : {"LumiSupport/Salaries.xlsx", "LumiSystems/Benefits.xlsx",
                             "LumiSupport/Support.xlsx", "LumiSystems/Systems.xlsx"})
        EXPECT_TRUE(QFile::exists(data_ + u'/' + QLatin1String(file))) << file;
    platform::db::Connection cnn = openMaster();
    EXPECT_EQ(cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM Worksheets WHERE Budget_Name = 'SampleBudget' "
                                        "AND UF_Create_Date IS NOT NULL AND UFNPath LIKE ?"),
                         {data_ + QStringLiteral("/%")})
                  .toInt(),
              4)
        << "the picked worksheets are stamped with their cut user files";

    // An earlier installation whose master files point elsewhere, and a user who changed the
    // sample: the second installation starts from the sample again.
    execute("UPDATE MasterFiles SET Path = '/moved' WHERE Budget_Name = 'SampleBudget'");
    execute("UPDATE UsersData SET Email_Address = 'changed@example.org' WHERE Users = 'Person1'");
    ASSERT_TRUE(wizard::InstallSampleBudget());
    EXPECT_EQ(snapshot(), once);
    EXPECT_TRUE(ui->asked().empty());
}

// A missing sample database is told before anything is removed; a file under another name
// (letter case counts) is as good as missing.
TEST_F(SampleBudget, AMissingSampleDatabaseRemovesNothing) {
    ScopedScriptedUi ui;
    ASSERT_TRUE(wizard::InstallSampleBudget());
    const QStringList installed = snapshot();
    for (const char* name : {"sampledb.away", "SampleDB.mdb"}) {
        SCOPED_TRACE(name);
        const QString moved = samples_ + u'/' + QLatin1String(name);
        ASSERT_TRUE(QFile::rename(samples_ + QStringLiteral("/sampledb.mdb"), moved));
        ui->clear();
        EXPECT_FALSE(wizard::InstallSampleBudget());
        EXPECT_EQ(ui->messageTexts(),
                  QStringList{QStringLiteral("The database file to migrate 'sampledb.mdb' is "
                                             "missing.  Re-install from its source.")});
        EXPECT_EQ(snapshot(), installed);
        EXPECT_FALSE(core::gOptions->InstallSample);
        ASSERT_TRUE(QFile::rename(moved, samples_ + QStringLiteral("/sampledb.mdb")));
    }

    // Not a database at all: the engine's refusal is told, and again nothing is removed.
    QFile damaged(samples_ + QStringLiteral("/sampledb.mdb"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    ui->clear();
    EXPECT_FALSE(wizard::InstallSampleBudget());
    EXPECT_EQ(ui->messageTexts().size(), 1);
    EXPECT_EQ(snapshot(), installed);
}

// A sample workbook that is missing or open elsewhere is told with the user-file builder's
// messages; the sample is installed and the other workbook's user files are cut.
TEST_F(SampleBudget, AMissingOrBusySampleWorkbookIsTold) {
    ASSERT_TRUE(QFile::remove(samples_ + QStringLiteral("/Employee.xlsx")));
    ASSERT_TRUE(QDir().mkpath(data_));
    QFile lock(platform::sys::WorkbookLockFilePath(data_ + QStringLiteral("/Departme.xlsx")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    ScopedScriptedUi ui;
    EXPECT_TRUE(wizard::InstallSampleBudget());
    EXPECT_EQ(ui->messageTexts(), (QStringList{workbooks::kMasterMissingText, workbooks::kMasterInUseText}));
    EXPECT_EQ(only(snapshot(), "Budgets").filter("SampleBudget|").size(), 1);
    lock.remove();

    ui->clear();
    EXPECT_TRUE(wizard::InstallSampleBudget());
    EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kMasterMissingText});
    EXPECT_TRUE(QFile::exists(data_ + QStringLiteral("/LumiSupport/Support.xlsx")));
}

// Inside a run the installation is refused and changes nothing.
TEST_F(SampleBudget, RefusedWhileARunIsUnderWay) {
    const QStringList before = snapshot();
    ScopedScriptedUi ui;
    {
        core::RunGuard::Token running;
        EXPECT_FALSE(wizard::InstallSampleBudget());
    }
    EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText});
    EXPECT_EQ(snapshot(), before);
}

} // namespace
