// The fixture of the Build Budget tests: the add-in started in-process on a master database of
// the test's own, with the spreadsheet program's Application and main window, the Ui double
// answering, and master workbooks made by LibreOffice and openpyxl (tests/fixtures/budget)
// copied into a folder of the test's own and opened as the user would open them.
#pragma once

#include "AddInFixture.h"
#include "core/StringScrambling.h"
#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>

namespace lumicelltest {

inline QString readSetting(const char* section, const char* key) {
    return setting(platform::sys::kAddInApplication, section, key);
}

// The password of the protected sheet Costs of tests/fixtures/budget/Budget.xlsx.
inline const QString kCostsPassword = QStringLiteral("costs");

class BuildBudgetFixture : public AddInFixture {
protected:
    void SetUp() override {
        AddInFixture::SetUp();
        startAddIn();
        ASSERT_NE(lumicell::gOptions(), nullptr);
        workFolder_ = testsupport::freshDir(QStringLiteral("masters"));
        execute("INSERT INTO FolderNames (Folder_Name) VALUES ('North'), ('South'), ('West')");
        execute("INSERT INTO UsersData (Users, Email_Address) VALUES ('Smith', 'smith@example.org'), "
                "('Jones', 'jones@example.org'), ('Johnson', 'johnson@example.org')");
    }
    void TearDown() override {
        ui_->acceptUnscriptedMessages(); // questions of the windows that close now are not the test's
        AddInFixture::TearDown();
    }

    lumicell::cOptions& options() { return *lumicell::gOptions(); }

    platform::db::Connection database() const { return folders_.openMaster(); }
    void execute(const QString& sql, const QVariantList& params = {}) const {
        database().execute(sql, params);
    }
    // The rows of a query, each as its fields joined by "|" (Null as "<null>").
    QStringList rows(const QString& sql, const QVariantList& params = {}) const {
        platform::db::Connection db = database();
        platform::db::Recordset rst = platform::db::Recordset::open(db, sql, params);
        QStringList out;
        for (; !rst.eof(); rst.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rst.fieldCount(); ++i)
                fields << (rst.isNull(i) ? QStringLiteral("<null>") : rst.value(i).toString());
            out << fields.join(u'|');
        }
        return out;
    }

    // A copy of a workbook of tests/fixtures/budget in the test's folder.
    QString copyMaster(const QString& fixture, const QString& as = {}) const {
        const QString target = workFolder_ + u'/' + (as.isEmpty() ? fixture : as);
        EXPECT_TRUE(QFile::copy(testsupport::fixturePath(QStringLiteral("budget/") + fixture), target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    // Budget.xlsx (Sales, Costs protected with "costs", Rates, Summary) registered under the
    // budget with its four worksheet rows, Sales and Costs picked under the folders North and
    // South; the master file's key.
    qint64 registerBudgetWorkbook(const QString& budget,
                                  const QString& file = QStringLiteral("Budget.xlsx")) const {
        execute("INSERT INTO Budgets (Budget_Name, Active) VALUES (?, 1)", {budget});
        execute("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES (?, ?, ?)",
                {file, workFolder_, budget});
        const qint64 key =
            database()
                .scalar(QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles WHERE Master_File = ? "
                                       "AND Budget_Name = ?"),
                        {file, budget})
                .toLongLong();
        for (const auto& [sheet, picked, folder, password] : {std::tuple{"Sales", 1, "North", ""},
                                                              {"Costs", 1, "South", "costs"},
                                                              {"Rates", 0, "", ""},
                                                              {"Summary", 0, "", ""}}) {
            execute("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, MasterFiles_ID, "
                    "Master_File, Budget_Name, WS_Password) VALUES (?, ?, ?, ?, ?, ?, ?)",
                    {QString::fromLatin1(sheet), picked,
                     *folder ? QVariant(QString::fromLatin1(folder)) : QVariant(), key, file, budget,
                     *password ? QVariant(core::EncodeString(QString::fromLatin1(password))) : QVariant()});
        }
        return key;
    }

    platform::sheet::Workbook& openInHost(const QString& path) { return app_.open(path); }

    QString workFolder_;
};

} // namespace lumicelltest
