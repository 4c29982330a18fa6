// See Transaction.h.
#include "platform/db/Transaction.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

namespace platform::db {

Transaction::Transaction(Connection& connection)
    : connection_(connection) {
    connection_.beginTransaction();
}

Transaction::~Transaction() {
    if (done_)
        return;
    try {
        if (connection_.isOpen() && connection_.inTransaction())
            connection_.rollback();
    } catch (const DbError&) {
        // Nothing more can be done in a destructor; the engine rolls back when the handle closes.
    }
}

void Transaction::commit() {
    connection_.commit();
    done_ = true;
}

WriteStep::WriteStep(Connection& connection, QString savepoint)
    : connection_(connection)
    , savepoint_(std::move(savepoint))
    , nested_(connection.inTransaction()) {
    if (nested_)
        connection_.execute(QStringLiteral("SAVEPOINT ") + savepoint_);
    else
        connection_.beginTransaction();
}

WriteStep::~WriteStep() {
    if (done_ || !connection_.isOpen())
        return;
    try {
        if (nested_) {
            connection_.execute(QStringLiteral("ROLLBACK TO ") + savepoint_);
            connection_.execute(QStringLiteral("RELEASE ") + savepoint_);
        } else if (connection_.inTransaction()) {
            connection_.rollback();
        }
    } catch (const DbError&) {
        // The engine already ended the transaction; nothing is left to take back.
    }
}

void WriteStep::commit() {
    if (nested_)
        connection_.execute(QStringLiteral("RELEASE ") + savepoint_);
    else
        connection_.commit();
    done_ = true;
}

} // namespace platform::db
