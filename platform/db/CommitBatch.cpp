// See CommitBatch.h.
#include "platform/db/CommitBatch.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

namespace platform::db {

CommitBatch::CommitBatch(Connection& connection, std::chrono::milliseconds maxHold)
    : connection_(connection)
    , maxHold_(maxHold) {}

CommitBatch::~CommitBatch() {
    try {
        commit();
    } catch (const std::exception&) {
        // The failure that ended the step is the one its caller reports.
    }
}

void CommitBatch::begin() {
    if (began_ && std::chrono::steady_clock::now() - beganAt_ > maxHold_)
        commit();
    if (connection_.inTransaction())
        return;
    connection_.beginTransaction();
    began_ = true;
    beganAt_ = std::chrono::steady_clock::now();
}

void CommitBatch::commit() {
    if (!began_)
        return;
    began_ = false;
    // A failed statement may have ended the transaction already (the engine rolls back on a
    // full disk or a lost lock); then there is nothing left to commit.
    if (connection_.isOpen() && connection_.inTransaction())
        connection_.commit();
}

} // namespace platform::db
