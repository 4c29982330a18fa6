// See WorkbookTables.h. The database layer opens only existing files, so the private file
// is made through the engine first, the way the master database is made.
#include "lumistore/WorkbookTables.h"

#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QStringList>

namespace lumistore {

namespace {

using platform::db::DbError;
using platform::db::quoteIdentifier;
using platform::sheet::CellValue;

QVariant fieldValue(const CellValue& cell) {
    switch (cell.type) {
    case CellValue::Type::Number:
        return cell.number;
    case CellValue::Type::Text:
        return cell.text;
    case CellValue::Type::Boolean:
        return qint64(cell.boolean() ? 1 : 0);
    case CellValue::Type::Empty:
    case CellValue::Type::Error:
        break;
    }
    return {};
}

void addSheetTable(platform::db::Connection& connection, const platform::sheet::Worksheet& sheet) {
    const platform::sheet::CellRange block = sheet.usedBlock();
    const platform::sheet::ValueGrid values = sheet.values(block);
    const bool empty = block.isSingleCell() && values.at(1, 1).isEmpty();
    const int columns = empty ? 1 : values.columns();

    QStringList names;
    for (int col = 1; col <= columns; ++col)
        names << QStringLiteral("F") + QString::number(col);
    const QString table = quoteIdentifier(sheet.name() + QLatin1Char('$'));
    const QString columnList = platform::db::identifierList(names);
    connection.execute(QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" (") + columnList +
                       QLatin1Char(')'));
    if (empty)
        return;
    const QString insert = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columnList +
                           QStringLiteral(") VALUES (") + platform::db::parameterMarks(names.size()) +
                           QLatin1Char(')');
    for (int row = 1; row <= values.rows(); ++row) {
        QVariantList fields;
        for (int col = 1; col <= columns; ++col)
            fields << fieldValue(values.at(row, col));
        connection.execute(insert, fields);
    }
}

} // namespace

WorkbookTables::WorkbookTables(const QString& workbookPath) {
    if (!folder_.isValid())
        throw DbError(DbError::kCannotOpen,
                      QStringLiteral("No temporary folder could be made for the workbook's tables."));
    databasePath_ = folder_.filePath(QStringLiteral("workbook.db"));
    createDatabase();
    readWorkbook(workbookPath);
}

WorkbookTables::~WorkbookTables() {
    try {
        platform::db::Connection::releaseIdleHandles(databasePath_);
    } catch (...) {
        // The folder goes all the same.
    }
}

QString WorkbookTables::connectionString() const {
    platform::db::ConnectionString text;
    text.set(platform::db::ConnectionString::kDataSource, databasePath_);
    return text.toString();
}

void WorkbookTables::createDatabase() {
    namespace engine = platform::db::engine;
    sqlite3* handle = engine::openHandle(databasePath_, QString(), engine::OpenMode::CreateNew);
    try {
        // The engine writes a new file only when something is stored in it.
        engine::exec(handle, QStringLiteral("PRAGMA user_version = 1"));
    } catch (...) {
        engine::closeHandle(handle);
        throw;
    }
    engine::closeHandle(handle);
}

void WorkbookTables::readWorkbook(const QString& workbookPath) {
    platform::sheet::OpenOptions options;
    options.readOnly = true;
    const std::unique_ptr<platform::sheet::Workbook> workbook =
        platform::sheet::Workbook::open(workbookPath, options);
    platform::db::Connection connection;
    connection.open(connectionString());
    platform::db::Transaction transaction(connection);
    for (const platform::sheet::Worksheet* sheet : workbook->worksheets())
        addSheetTable(connection, *sheet);
    transaction.commit();
}

} // namespace lumistore
