// See Failure.h. SQL states follow the usual classes: 08 connection, 22 data, 23 integrity,
// 28 authorization, 42 syntax or missing object, HY general.
#include "lumistore/Failure.h"

#include "lumistore/LumistoreError.h"
#include "platform/db/DbError.h"
#include "platform/sheet/SheetError.h"

#include <exception>

namespace lumistore {

namespace {

using platform::db::DbError;
using platform::sheet::SheetError;

QString databaseState(qint32 number) {
    switch (number) {
    case DbError::kAuthenticationFailed:
    case DbError::kPasswordChanged:
        return QStringLiteral("28000");
    case DbError::kFileNotFound:
    case DbError::kInvalidPath:
    case DbError::kCannotOpen:
        return QStringLiteral("08001");
    case DbError::kTableMissing:
        return QStringLiteral("42S02");
    case DbError::kCommandError:
        return QStringLiteral("42000");
    case DbError::kIntegrityViolation:
        return QStringLiteral("23000");
    case DbError::kValueTooLong:
        return QStringLiteral("22001");
    default:
        return QStringLiteral("HY000");
    }
}

QString workbookState(SheetError::Code code) {
    switch (code) {
    case SheetError::Code::FileNotFound:
    case SheetError::Code::LegacyFormat:
    case SheetError::Code::NotAWorkbook:
    case SheetError::Code::PasswordRequired:
    case SheetError::Code::WrongPassword:
        return QStringLiteral("08001");
    default:
        return QStringLiteral("HY000");
    }
}

} // namespace

DataSourceError currentFailure() {
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return {};
    try {
        std::rethrow_exception(current);
    } catch (const LumistoreError& error) {
        return {error.number(), {}, error.description(), 0, QStringLiteral("HY000")};
    } catch (const DbError& error) {
        return {error.number(), kDatabaseSource, error.description(), error.nativeError(),
                databaseState(error.number())};
    } catch (const SheetError& error) {
        return {error.number(), kWorkbookSource, error.description(), 0, workbookState(error.code())};
    } catch (const std::exception& error) {
        return {DbError::kGeneral, {}, QString::fromUtf8(error.what()), 0, QStringLiteral("HY000")};
    } catch (...) {
        return {DbError::kGeneral, {}, QStringLiteral("Unknown error."), 0, QStringLiteral("HY000")};
    }
}

void raiseCurrentFailure() {
    const DataSourceError failure = currentFailure();
    throw LumistoreError(failure.Number, failure.Description);
}

} // namespace lumistore
