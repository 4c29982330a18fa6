// Test fixture of the master workbook intake, the sheet listing and the user-file build: a
// master database of the test's own with the budget "Plan" as context, master workbooks made
// by openpyxl (to order) or by LibreOffice (tests/fixtures/budget), and the readings of the
// MasterFiles and Worksheets rows the tests compare.
#pragma once

#include "core/StringScrambling.h"
#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/tests/SheetTestSupport.h" // readable texts in failures, openpyxl
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace wizardtest {

// The passwords of tests/fixtures/budget/Encrypted.xlsx and of its protected sheet Costs.
inline const QString kOpenPassword = QStringLiteral("open-pw");
inline const QString kWritePassword = QStringLiteral("write-pw");
inline const QString kCostsPassword = QStringLiteral("costs");

class MasterIntakeFixture : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
        folder_ = testsupport::freshDir(QStringLiteral("masters"));
    }

    // The rows of a query, each as its fields joined by "|" (Null as "-").
    static QStringList rows(const QString& sql, const QVariantList& params = {}) {
        return tableRows(sql, params);
    }

    // The listed sheets, without the placeholder: name, master, budget, master key, picked, folder.
    static QStringList sheetRows() {
        return rows(QStringLiteral(
            "SELECT Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, Select_By_User, Folder_Name "
            "FROM Worksheets WHERE Worksheet_Name <> '<Dummy record>' ORDER BY ID_Worksheets"));
    }
    static QStringList masterRows() {
        return rows(QStringLiteral("SELECT Master_File, Budget_Name FROM MasterFiles "
                                   "WHERE Master_File <> '<Dummy record>' ORDER BY ID_MasterFiles"));
    }

    // A MasterFiles row as the Add leaves it; its key.
    static qint64 addMasterRow(const QString& file, const QString& folder, const QString& budget = "Plan") {
        platform::db::Connection cnn = openMaster();
        cnn.execute(QStringLiteral("INSERT INTO MasterFiles (Master_File, Folder_Name, Path, Budget_Name) "
                                   "VALUES (?, 'Master', ?, ?)"),
                    {file, folder, budget});
        return cnn.lastInsertId();
    }

    // A workbook written by openpyxl: each sheet {"name", "protect": password or "" for none,
    // "hidden": true, "chart": true for a chart sheet drawn from the first sheet}.
    static QString makeWorkbook(const QString& path, const QJsonArray& sheets) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        sheettest::runPython(QStringLiteral(R"(
import json, sys, openpyxl
from openpyxl.chart import BarChart, Reference
spec = json.loads(sys.argv[2])
wb = openpyxl.Workbook()
wb.remove(wb.active)
for s in spec:
    if s.get("chart"):
        chart = BarChart()
        chart.add_data(Reference(wb[spec[0]["name"]], min_col=2, min_row=1, max_row=3))
        wb.create_chartsheet(s["name"]).add_chart(chart)
        continue
    ws = wb.create_sheet(s["name"])
    ws.append(["Item", "Amount"])
    ws.append(["Travel", 120])
    ws.append(["Office", 80])
    if "protect" in s:
        ws.protection.sheet = True
        if s["protect"]:
            ws.protection.password = s["protect"]
    if s.get("hidden"):
        ws.sheet_state = "hidden"
wb.save(sys.argv[1])
)"),
                             {path, QString::fromUtf8(QJsonDocument(sheets).toJson(QJsonDocument::Compact))});
        return path;
    }
    static QJsonArray plainSheets(const QStringList& names) {
        QJsonArray sheets;
        for (const QString& name : names)
            sheets.append(QJsonObject{{"name", name}});
        return sheets;
    }

    // A copy of a LibreOffice-made master workbook of tests/fixtures/budget.
    static QString copyBudgetFixture(const QString& fixture, const QString& folder, const QString& as) {
        QDir().mkpath(folder);
        const QString target = folder + u'/' + as;
        EXPECT_TRUE(QFile::copy(testsupport::fixturePath(QStringLiteral("budget/") + fixture), target));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    QString folder_;
};

} // namespace wizardtest
