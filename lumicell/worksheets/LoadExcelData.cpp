// See LoadExcelData.h.
#include "lumicell/worksheets/LoadExcelData.h"

#include "core/AppTitle.h"
#include "core/DataControl.h"
#include "core/FormControl.h"
#include "lumicell/worksheets/GridColumn.h"
#include "lumistore/cData.h"
#include "lumistore/cError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/BusyPointer.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Ui.h"

#include <stdexcept>

namespace lumicell {

namespace {

const QString kConnectTemplate = QStringLiteral(
    "Provider=MSDASQL.1;Connect Timeout=15;Extended Properties='DSN=Excel;DBQ=XXLSFILEX;DefaultDir=XXLSDIRX;"
    "DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;PageTimeout=5;UID=admin;';Locale Identifier=1033");

// The rows whose first column holds something.
const QString kQueryTemplate = QStringLiteral("SELECT * FROM \"XWKSHTX\" WHERE F1 IS NOT NULL");

void show(platform::ui::DataGrid& grid, platform::db::Recordset& rows) {
    const platform::ui::DataGridRows data = core::GridRowsOf(rows);
    QList<platform::ui::DataGridColumn> columns;
    for (const QString& field : data.fields)
        columns.append(GridColumn(field, 1200, platform::ui::ColumnKind::Text, field));
    grid.setColumns(columns);
    for (const QVariantList& row : data.rows)
        grid.appendRow(row);
}

// The import itself; false with the data source's error text when a step failed.
bool load(const QString& fullName, lumistore::cData& data, QString& error) {
    data.setXLSConnectString(ExcelDataConnectString(fullName));
    if (!data.XLSConnect(error))
        return false;
    platform::db::Recordset tables;
    if (!data.OpenSchema(tables, error))
        return false;
    const QString table = tables.value(QStringLiteral("Table_Name")).toString();
    QString query = kQueryTemplate;
    query.replace(QStringLiteral("XWKSHTX"), table);
    platform::db::Recordset rows;
    if (data.OpenRecordSet(query, rows, error, false) != lumistore::cData::kDone)
        return false;
    show(core::ActiveFormControl<platform::ui::DataGrid>("DataTable1"), rows);
    return true;
}

} // namespace

QString ExcelDataConnectString(const QString& fullName) {
    const qsizetype slash = fullName.lastIndexOf(u'/');
    if (slash < 0)
        throw std::invalid_argument("The workbook's folder cannot be taken from its name.");
    QString connect = kConnectTemplate;
    connect.replace(QStringLiteral("XXLSFILEX"), fullName);
    connect.replace(QStringLiteral("XXLSDIRX"), fullName.left(slash));
    return connect;
}

void LoadExcelData(const QString& fullName) {
    lumistore::cData data;
    lumistore::cError texts;
    texts.setApplicationTitle(core::applicationTitle());
    QString error;
    QString message;
    {
        platform::ui::BusyPointer::Guard busy;
        try {
            if (!load(fullName, data, error))
                message = texts.FormatErrorText(error, QStringLiteral("LoadExcelData"), QString());
        } catch (const std::exception&) {
            // Formatted inside the handler, so that the text carries the error's own lines.
            message = texts.FormatErrorText(error, QStringLiteral("LoadExcelData"), QString());
        }
        data.Disconnect();
    }
    if (!message.isEmpty())
        platform::ui::msgBox(message, platform::ui::Buttons::Ok, kLoadExcelDataTitle,
                             platform::ui::Icon::Critical);
}

} // namespace lumicell
