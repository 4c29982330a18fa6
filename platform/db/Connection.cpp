// Opening, closing, statements and transactions of a connection; the schema work is in
// ConnectionSchema.cpp, the work on whole files (compaction, backup, password) in
// ConnectionFiles.cpp.
#include "platform/db/Connection.h"

#include "platform/db/ConnectionState.h"
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"
#include "platform/db/HandlePool.h"

namespace platform::db {

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

Connection::Connection(Connection&& other) noexcept = default;

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        state_ = std::move(other.state_);
    }
    return *this;
}

void Connection::open(const QString& connectionString) {
    open(ConnectionString::parse(connectionString));
}

void Connection::open(const ConnectionString& connectionString) {
    close();
    const QString path = engine::checkedDatabasePath(connectionString.databasePath());
    const QString password = connectionString.password();
    sqlite3* db = HandlePool::instance().acquire(path, password);
    auto state = std::make_shared<ConnectionState>();
    state->db = db;
    state->path = path;
    state->password = password;
    state->connectionString = connectionString.toString();
    state_ = std::move(state);
}

void Connection::close() {
    if (!state_ || !state_->db)
        return;
    sqlite3* db = state_->db;
    state_->db = nullptr;
    HandlePool::instance().release(db);
}

bool Connection::isOpen() const {
    return state_ && state_->db;
}

int Connection::state() const {
    return isOpen() ? kStateOpen : kStateClosed;
}

ConnectionState& Connection::live() const {
    if (!isOpen())
        throw DbError(DbError::kObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    return *state_;
}

QString Connection::databasePath() const {
    return isOpen() ? state_->path : QString();
}

QString Connection::connectionString() const {
    return isOpen() ? state_->connectionString : QString();
}

qint64 Connection::execute(const QString& sql, const QVariantList& params) {
    return engine::exec(live().handle(), sql, params);
}

void Connection::executeScript(const QString& sql) {
    sqlite3* db = live().handle();
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    engine::check(db, rc);
}

namespace {

// Failures that say the database cannot be written now, not that the script is wrong.
bool cannotWriteNow(int rc) {
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_IOERR:
    case SQLITE_FULL:
        return true;
    default:
        return false;
    }
}

int run(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

} // namespace

bool Connection::tryExecuteScript(const QString& sql, int waitMs) {
    sqlite3* db = live().handle();
    const bool nested = !sqlite3_get_autocommit(db);
    // The script waits for other programs' locks only that long; the handle keeps its usual wait.
    sqlite3_busy_timeout(db, waitMs);
    int rc = run(db, "SAVEPOINT lv_try_script");
    if (rc == SQLITE_OK)
        rc = run(db, sql.toUtf8().constData());
    if (rc == SQLITE_OK)
        rc = run(db, "RELEASE lv_try_script");
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        return true;
    }
    const DbError failure = engine::error(db, rc);
    if (!sqlite3_get_autocommit(db)) {
        // Our own transaction is rolled back whole (its commit may be what failed); inside the
        // caller's, only the script's part is taken back.
        if (nested) {
            run(db, "ROLLBACK TO lv_try_script");
            run(db, "RELEASE lv_try_script");
        } else {
            run(db, "ROLLBACK");
        }
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (cannotWriteNow(rc))
        return false;
    throw failure;
}

QVariant Connection::scalar(const QString& sql, const QVariantList& params) {
    return engine::scalar(live().handle(), sql, params);
}

qint64 Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(live().handle());
}

void Connection::beginTransaction() {
    ConnectionState& state = live();
    if (inTransaction())
        throw DbError(DbError::kInvalidOperation, QStringLiteral("A transaction is already open."));
    // The write lock is taken at once, so two writers wait for each other instead of failing.
    engine::exec(state.handle(), QStringLiteral("BEGIN IMMEDIATE"));
}

void Connection::commit() {
    ConnectionState& state = live();
    if (!inTransaction())
        throw DbError(DbError::kInvalidOperation, QStringLiteral("No transaction is open."));
    engine::exec(state.handle(), QStringLiteral("COMMIT"));
}

void Connection::rollback() {
    ConnectionState& state = live();
    if (!inTransaction())
        throw DbError(DbError::kInvalidOperation, QStringLiteral("No transaction is open."));
    engine::exec(state.handle(), QStringLiteral("ROLLBACK"));
}

bool Connection::inTransaction() const {
    return !sqlite3_get_autocommit(live().handle());
}

qint64 Connection::commitCount() {
    return engine::commitsSoFar();
}

} // namespace platform::db
