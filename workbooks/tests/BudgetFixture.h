// Test fixture of the user-file and update-run tests: a master database of the test's own
// (core's fixture) with a budget in context, helpers that add its rows the way the setup
// wizard stores them, copies of the master workbooks that LibreOffice and openpyxl made
// (tests/fixtures/budget), and the readings the tests compare.
#pragma once

#include "core/StringScrambling.h"
#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/sheet/tests/SheetTestSupport.h" // readable texts in failures, openpyxl readings
#include "support/ScriptedUi.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantList>
#include <fcntl.h>
#include <sys/stat.h>

namespace workbookstest {

// The passwords of tests/fixtures/budget/Encrypted.xlsx and of the protected sheet Costs.
inline const QString kOpenPassword = QStringLiteral("open-pw");
inline const QString kWritePassword = QStringLiteral("write-pw");
inline const QString kCostsPassword = QStringLiteral("costs");

class BudgetFixture : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
        execute("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Plan', 1), ('Other', 1)");
    }

    // The rows of a query, each as its fields joined by "|" (Null as "<null>").
    static QStringList rows(const QString& sql, const QVariantList& params = {}) {
        return tableRows(sql, params, QStringLiteral("<null>"));
    }

    // A MasterFiles row; the passwords are stored scrambled, as the wizard stores them.
    static void addMaster(qint64 id, const QString& file, const QString& folder, const QString& budget,
                          const QString& openPassword = {}, const QString& writePassword = {}) {
        const auto scrambled = [](const QString& password) {
            return password.isEmpty() ? QVariant() : QVariant(core::EncodeString(password));
        };
        execute("INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name, WBOpen_Password, "
                "WBWrite_Password, MFPwdsSet) VALUES (?, ?, ?, ?, ?, ?, ?)",
                {id, file, folder, budget, scrambled(openPassword), scrambled(writePassword),
                 openPassword.isEmpty() ? 0 : 1});
    }

    // A picked Worksheets row of a master workbook, filed under the folder.
    static void addWorksheet(const QString& sheet, qint64 masterId, const QString& masterFile,
                             const QString& budget, const QString& folder,
                             const QString& sheetPassword = {}) {
        execute("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, MasterFiles_ID, "
                "Master_File, "
                "Budget_Name, WS_Password) VALUES (?, 1, ?, ?, ?, ?, ?)",
                {sheet, folder, masterId, masterFile, budget,
                 sheetPassword.isEmpty() ? QVariant() : QVariant(core::EncodeString(sheetPassword))});
    }

    // Copies a master workbook of tests/fixtures/budget into the folder (made when missing).
    static QString copyMaster(const QString& fixture, const QString& folder, const QString& as = {}) {
        QDir().mkpath(folder);
        const QString target = folder + u'/' + (as.isEmpty() ? fixture : as);
        EXPECT_TRUE(QFile::copy(testsupport::fixturePath(QStringLiteral("budget/") + fixture), target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    // A user types into the workbook's active sheet and saves it with openpyxl: cells is a list
    // of [cell, text] pairs, numbers going in as numbers and "=..." as formulas.
    static void typeWithOpenpyxl(const QString& path, const QJsonArray& cells) {
        sheettest::runPython(QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
for cell, text in json.loads(sys.argv[2]):
    for kind in (int, float):
        try:
            text = kind(text)
            break
        except ValueError:
            pass
    ws[cell] = text
wb.save(sys.argv[1])
)"),
                             {path, QString::fromUtf8(QJsonDocument(cells).toJson(QJsonDocument::Compact))});
    }

    // Dates a user file a minute after the time recorded at its cut, as a file returned later.
    static void markReturned(const QString& path) {
        const QDateTime recorded = platform::db::parseDateTime(
            scalar("SELECT UF_Modified_Date FROM Worksheets WHERE UFNPath = ?", {path}).toString());
        ASSERT_TRUE(recorded.isValid()) << path.toStdString();
        const timespec times[2] = {{recorded.toSecsSinceEpoch() + 60, 0},
                                   {recorded.toSecsSinceEpoch() + 60, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }

    static QByteArray digest(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

    static qint64 errorCount(const QString& condition = QStringLiteral("1")) {
        return scalar("SELECT COUNT(*) FROM Errors WHERE " + condition).toLongLong();
    }
};

} // namespace workbookstest
