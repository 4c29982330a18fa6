// cData's connection to a workbook: a workbook written by openpyxl, named by DBQ inside
// Extended Properties as the add-in's data import names it, read sheet by sheet into tables
// "<sheet>$" with the columns F1, F2, ...; the workbook itself untouched. A legacy .xls is
// refused.
#include "StoreFixture.h"
#include "lumistore/Lumistore.h"
#include "platform/db/Recordset.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using lumistore::cData;
using platform::db::Recordset;

// The add-in's connection string for a workbook file.
QString workbookConnectString(const QString& path) {
    return QStringLiteral(
               "Provider=MSDASQL.1;Connect Timeout=15;Extended Properties='DSN=Excel;DBQ=%1;DefaultDir=%2;"
               "DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;PageTimeout=5;UID=admin;';Locale "
               "Identifier=1033")
        .arg(path, QFileInfo(path).absolutePath());
}

QString writeWorkbook() {
    const QString path = testsupport::freshDir(QStringLiteral("book")) + QStringLiteral("/Plan.xlsx");
    const QString script = QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
plan = wb.active
plan.title = "Plan"
for row in [("Item", "Amount", None), ("Rent", 800, None), ("Travel", 150.25, "=B3*2"), (None, None, None), ("Flag", True, "late")]:
    plan.append(row)
wb.create_sheet("Notes")
q = wb.create_sheet("Q 2")
q["B2"] = "x"
wb.save(sys.argv[1])
)");
    QProcess python;
    python.start(testsupport::python(), {QStringLiteral("-c"), script, path});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return path;
}

QList<QVariantList> allRows(Recordset& rows) {
    QList<QVariantList> result;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        QVariantList row;
        for (int i = 0; i < rows.fieldCount(); ++i)
            row << rows.value(i);
        result << row;
    }
    return result;
}

TEST(WorkbookSource, EachWorksheetIsATableOfItsRowsInColumnsF1F2) {
    const QString path = writeWorkbook();
    const QByteArray before = storetest::fileBytes(path);
    cData data;
    data.setXLSConnectString(workbookConnectString(path));
    QString error;
    ASSERT_TRUE(data.XLSConnect(error)) << error.toStdString();

    Recordset tables;
    ASSERT_TRUE(data.OpenSchema(tables, error)) << error.toStdString();
    QStringList names;
    for (; !tables.eof(); tables.moveNext())
        names << tables.value(QStringLiteral("Table_Name")).toString();
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("Plan$"), QStringLiteral("Notes$"), QStringLiteral("Q 2$")}));

    Recordset rows;
    ASSERT_EQ(data.OpenRecordSet(QStringLiteral("SELECT * FROM \"Plan$\""), rows, error, false), cData::kDone)
        << error.toStdString();
    EXPECT_EQ(rows.fieldNames(),
              (QStringList{QStringLiteral("F1"), QStringLiteral("F2"), QStringLiteral("F3")}));
    // openpyxl stores no result for the formula: the workbook layer calculates it.
    EXPECT_EQ(allRows(rows),
              (QList<QVariantList>{{QStringLiteral("Item"), QStringLiteral("Amount"), QVariant()},
                                   {QStringLiteral("Rent"), 800.0, QVariant()},
                                   {QStringLiteral("Travel"), 150.25, 300.5},
                                   {QVariant(), QVariant(), QVariant()},
                                   {QStringLiteral("Flag"), qint64(1), QStringLiteral("late")}}));

    EXPECT_EQ(data.OpenRecordSet(QStringLiteral("SELECT * FROM \"Notes$\""), rows, error), cData::kNoRows);
    EXPECT_EQ(rows.fieldNames(), QStringList{QStringLiteral("F1")});
    ASSERT_EQ(data.OpenRecordSet(QStringLiteral("SELECT F2 FROM \"Q 2$\" WHERE F2 IS NOT NULL"), rows, error),
              cData::kDone);
    EXPECT_EQ(rows.value(0).toString(), QStringLiteral("x"));

    data.Disconnect();
    EXPECT_EQ(storetest::fileBytes(path), before) << "the workbook is only read";
}

TEST(WorkbookSource, ALegacyWorkbookOrAMissingFileIsRefused) {
    cData data;
    QString error;
    data.setXLSConnectString(
        workbookConnectString(testsupport::fixturePath(QStringLiteral("workbooks/legacy.xls"))));
    EXPECT_FALSE(data.XLSConnect(error));
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("Error Msg: Unable to connect\r\n\r\nProcedure: XLSConnect\r\n")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("save it as .xlsx first"))) << error.toStdString();

    data.setXLSConnectString(workbookConnectString(testsupport::freshDir() + QStringLiteral("/gone.xlsx")));
    EXPECT_FALSE(data.XLSConnect(error));
    EXPECT_TRUE(error.contains(QStringLiteral("SQL State: 08001"))) << error.toStdString();
}

} // namespace
