// See DataEnvironment1.h.
#include "lumidesk/DataEnvironment1.h"

#include <memory>

namespace lumidesk {

namespace {

std::unique_ptr<DataEnvironment1> gInstance;

const QString kMasterFiles =
    QStringLiteral("SELECT * FROM MasterFilesView ORDER BY Budget_Name, Master_File");
const QString kWorksheets = QStringLiteral("SELECT * FROM WorksheetsView "
                                           "WHERE Master_File = ? COLLATE NOCASE_U "
                                           "AND Budget_Name = ? COLLATE NOCASE_U "
                                           "ORDER BY Worksheet_Name");
const QString kUserFiles = QStringLiteral("SELECT * FROM UFTDView "
                                          "WHERE User_Filename = ? COLLATE NOCASE_U "
                                          "AND Budget_Name = ? COLLATE NOCASE_U "
                                          "ORDER BY User_Filename, Users");

} // namespace

DataEnvironment1::DataEnvironment1()
    : DataEnvironment(QStringLiteral("FilesTables"), QStringLiteral("MasterFilesView")) {}

DataEnvironment1& DataEnvironment1::instance() {
    if (!gInstance)
        gInstance = std::make_unique<DataEnvironment1>();
    return *gInstance;
}

void DataEnvironment1::release() {
    gInstance.reset();
}

bool DataEnvironment1::exists() {
    return gInstance != nullptr;
}

ShapedRowset DataEnvironment1::shape(platform::db::Connection& connection) {
    ShapedRowset masterFiles = select(connection, QStringLiteral("MasterFilesView"), kMasterFiles);
    const int masterFile = masterFiles.fieldIndex(QStringLiteral("Master_File"));
    const int masterBudget = masterFiles.fieldIndex(QStringLiteral("Budget_Name"));
    for (ShapedRow& workbook : masterFiles.rows) {
        workbook.children = select(connection, QStringLiteral("WorksheetsView"), kWorksheets,
                                   {workbook.values.value(masterFile), workbook.values.value(masterBudget)});
        ShapedRowset& worksheets = workbook.children;
        const int userFile = worksheets.fieldIndex(QStringLiteral("User_Filename"));
        const int sheetBudget = worksheets.fieldIndex(QStringLiteral("Budget_Name"));
        for (ShapedRow& worksheet : worksheets.rows) {
            worksheet.children =
                select(connection, QStringLiteral("UFTDView"), kUserFiles,
                       {worksheet.values.value(userFile), worksheet.values.value(sheetBudget)});
        }
    }
    return masterFiles;
}

} // namespace lumidesk
