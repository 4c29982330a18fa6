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

} // namespace platform::db
