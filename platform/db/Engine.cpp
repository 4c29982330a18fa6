// Internal helpers over the engine's C interface; see Engine.h.
#include "platform/db/Engine.h"

#include "platform/db/Connection.h"
#include "platform/db/SqlText.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QStringView>
#include <QTime>
#include <atomic>

namespace platform::db::engine {

namespace {

// Text of a CHECK failure: "CHECK constraint failed: <name>". The project names its checks
// "size:<column>" (a text longer than its column) and "yesno:<column>".
DbError checkError(const QString& message, int native) {
    const QString prefix = QStringLiteral("CHECK constraint failed: ");
    const QString name = message.startsWith(prefix) ? message.mid(prefix.size()) : QString();
    if (name.startsWith(QLatin1String("size:"))) {
        return DbError(DbError::kValueTooLong,
                       QStringLiteral("The value is too long for the field '%1'.").arg(name.mid(5)), native);
    }
    if (name.startsWith(QLatin1String("yesno:"))) {
        return DbError(DbError::kIntegrityViolation,
                       QStringLiteral("The field '%1' holds only Yes (1) or No (0).").arg(name.mid(6)),
                       native);
    }
    return DbError(DbError::kIntegrityViolation, message, native);
}

int compareNoCase(void*, int length1, const void* text1, int length2, const void* text2) {
    const QStringView a(static_cast<const QChar*>(text1), length1 / 2);
    const QStringView b(static_cast<const QChar*>(text2), length2 / 2);
    return a.compare(b, Qt::CaseInsensitive);
}

QString dateText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(kDateTimeFormat);
    case QMetaType::QDate:
        return value.toDate().startOfDay().toString(kDateTimeFormat);
    default:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    }
}

// The transactions that wrote, counted by the engine's commit hook (0 lets the commit go on).
std::atomic<qint64> gCommits{0};

int countCommit(void*) {
    gCommits.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

} // namespace

DbError error(sqlite3* db, int rc) {
    const int native = db ? sqlite3_extended_errcode(db) : rc;
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return DbError(DbError::kAuthenticationFailed,
                       QStringLiteral("Not a valid password, or the file is not a database."), native);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError(
            DbError::kLocked,
            QStringLiteral("The database is locked by another user; try again later (%1).").arg(message),
            native);
    case SQLITE_CONSTRAINT:
        if (native == SQLITE_CONSTRAINT_CHECK)
            return checkError(message, native);
        return DbError(DbError::kIntegrityViolation, message, native);
    case SQLITE_CORRUPT:
        return DbError(DbError::kCorrupt, QStringLiteral("The database is damaged (%1).").arg(message),
                       native);
    case SQLITE_READONLY:
        if (native == SQLITE_READONLY_DBMOVED) {
            return DbError(
                DbError::kPasswordChanged,
                QStringLiteral("The database file was replaced by another user while this work was "
                               "under way (as when its password is changed); nothing was written."),
                native);
        }
        return DbError(DbError::kCannotOpen, message, native);
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return DbError(DbError::kCannotOpen, message, native);
    case SQLITE_ERROR:
        if (message.startsWith(QLatin1String("no such table")) ||
            message.startsWith(QLatin1String("no such view")))
            return DbError(DbError::kTableMissing, message, native);
        return DbError(DbError::kCommandError, message, native);
    default:
        return DbError(DbError::kGeneral, message, native);
    }
}

void check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw error(db, rc);
}

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        // A null QString is still text: only an empty QVariant is Null.
        if (value.typeId() == QMetaType::QString)
            rc = sqlite3_bind_text16(stmt, index, u"", 0, SQLITE_STATIC);
        else
            rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(stmt, index, bytes.constData(),
                                     static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDateTime:
        case QMetaType::QDate:
        case QMetaType::QTime: {
            const QString text = dateText(value);
            rc = sqlite3_bind_text16(stmt, index, text.utf16(), static_cast<int>(text.size() * 2),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString text = value.toString();
            rc = sqlite3_bind_text16(stmt, index,
                                     text.isNull() ? static_cast<const void*>(u"")
                                                   : static_cast<const void*>(text.utf16()),
                                     static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    check(sqlite3_db_handle(stmt), rc);
}

QVariant columnValue(sqlite3_stmt* stmt, int index) {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, index));
    case SQLITE_TEXT: {
        const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, index));
        const int bytes = sqlite3_column_bytes16(stmt, index);
        if (bytes == 0)
            return QVariant(QStringLiteral(""));
        return QVariant(QString::fromUtf16(text, bytes / 2));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, index));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, index)));
    }
    default:
        return QVariant();
    }
}

Statement::Statement(sqlite3* db, const QString& sql)
    : db_(db) {
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt_, &tail);
    check(db, rc);
    if (!stmt_)
        throw DbError(DbError::kCommandError, QStringLiteral("The command text is empty."));
    const QString rest = tail ? QString::fromUtf8(tail).trimmed() : QString();
    if (!rest.isEmpty() && rest != QLatin1String(";")) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DbError(DbError::kCommandError, QStringLiteral("Characters found after end of SQL statement."));
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::bind(const QVariantList& params) {
    const int expected = sqlite3_bind_parameter_count(stmt_);
    if (expected != params.size()) {
        throw DbError(DbError::kCommandError, QStringLiteral("The statement takes %1 parameter(s); %2 given.")
                                                  .arg(expected)
                                                  .arg(params.size()));
    }
    for (int i = 0; i < expected; ++i)
        bindValue(stmt_, i + 1, params[i]);
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw error(db_, rc);
}

qint64 Statement::run() {
    while (step()) {
    }
    return sqlite3_stmt_readonly(stmt_) ? 0 : sqlite3_changes(db_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

QVariant Statement::value(int column) const {
    return columnValue(stmt_, column);
}

qint64 exec(sqlite3* db, const QString& sql, const QVariantList& params) {
    Statement statement(db, sql);
    statement.bind(params);
    return statement.run();
}

QVariant scalar(sqlite3* db, const QString& sql, const QVariantList& params) {
    Statement statement(db, sql);
    statement.bind(params);
    if (!statement.step() || statement.columnCount() == 0)
        return QVariant();
    return statement.value(0);
}

QStringList columnNames(sqlite3* db, const QString& table) {
    Statement info(db, QStringLiteral("PRAGMA table_info(") + quoteIdentifier(table) + QLatin1Char(')'));
    QStringList names;
    while (info.step())
        names << info.value(1).toString();
    return names;
}

qint64 commitsSoFar() {
    return gCommits.load(std::memory_order_relaxed);
}

sqlite3* openHandle(const QString& path, const QString& password, OpenMode mode) {
    int flags = SQLITE_OPEN_FULLMUTEX;
    switch (mode) {
    case OpenMode::ExistingReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::ExistingReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case OpenMode::CreateNew:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        DbError failure = error(db, rc);
        sqlite3_close(db);
        throw DbError(
            DbError::kCannotOpen,
            QStringLiteral("Could not open the database '%1' (%2).").arg(path, failure.description()),
            failure.nativeError());
    }
    try {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, Connection::kBusyTimeoutMs);
        sqlite3_commit_hook(db, countCommit, nullptr);
        if (!password.isEmpty()) {
            const QByteArray key = password.toUtf8();
            check(db, sqlite3_key(db, key.constData(), static_cast<int>(key.size())));
        }
        // The first read is where the engine finds out whether the key fits.
        scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (mode != OpenMode::ExistingReadOnly)
            scalar(db, QStringLiteral("PRAGMA journal_mode = DELETE"));
        check(db, sqlite3_create_collation_v2(db, "NOCASE_U", SQLITE_UTF16_ALIGNED, nullptr, compareNoCase,
                                              nullptr));
    } catch (const DbError& failure) {
        sqlite3_close(db);
        if (failure.number() == DbError::kAuthenticationFailed) {
            throw DbError(DbError::kAuthenticationFailed,
                          QStringLiteral("Not a valid password, or '%1' is not a database.").arg(path),
                          failure.nativeError());
        }
        throw;
    }
    return db;
}

void closeHandle(sqlite3* db) {
    if (db)
        sqlite3_close_v2(db);
}

bool fileHasMoved(sqlite3* db) {
    int moved = 0;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

void quickCheck(sqlite3* db, const QString& path) {
    const QString result = scalar(db, QStringLiteral("PRAGMA quick_check")).toString();
    if (result != QLatin1String("ok")) {
        throw DbError(DbError::kCorrupt,
                      QStringLiteral("The database '%1' is damaged (%2).").arg(path, result));
    }
}

QString checkedDatabasePath(const QString& path) {
    if (path.trimmed().isEmpty())
        throw DbError(DbError::kInvalidPath, QStringLiteral("No database file is named."));
    const QFileInfo info(path);
    if (!info.exists())
        throw DbError(DbError::kFileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isFile())
        throw DbError(DbError::kInvalidPath, QStringLiteral("'%1' is not a valid path.").arg(path));
    // An empty file would open as a new, empty database: it is no database file of ours.
    if (info.size() == 0) {
        throw DbError(DbError::kAuthenticationFailed,
                      QStringLiteral("Not a valid password, or '%1' is not a database.").arg(path));
    }
    return info.canonicalFilePath();
}

void backup(sqlite3* source, sqlite3* destination) {
    sqlite3_backup* run = sqlite3_backup_init(destination, "main", source, "main");
    if (!run)
        throw error(destination, sqlite3_errcode(destination));
    int waited = 0;
    int rc = SQLITE_OK;
    while (true) {
        rc = sqlite3_backup_step(run, -1);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited < Connection::kBusyTimeoutMs) {
            sqlite3_sleep(50);
            waited += 50;
            continue;
        }
        break;
    }
    const int finish = sqlite3_backup_finish(run);
    if (rc != SQLITE_DONE)
        throw error(destination, rc == SQLITE_OK ? finish : rc);
    check(destination, finish);
}

} // namespace platform::db::engine
