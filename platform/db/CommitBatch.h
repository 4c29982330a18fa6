// The rows one step writes, gathered in one transaction instead of one transaction each: a
// transaction that wrote waits for the disk several times at its commit, so committing every
// row alone makes a step of many rows wait on the disk for each of them.
//
// The step calls begin() before its writes and commit() before anything that must not find
// the database held: a question or message the user may take their time to answer (another
// program may read or write meanwhile), and a write through another connection (which would
// wait for this one). The destructor commits what was written, also when the step ends in an
// error, so every row written before the failure stays written; it never throws.
//
// A long step does not keep other programs' writes waiting until its end: begin() commits the
// rows written so far when the transaction has been open longer than maxHold, well within the
// time another program's write waits for the lock (Connection::kBusyTimeoutMs).
//
// A transaction the connection had open before begin() is not the batch's: the batch writes
// inside it and leaves it to its owner to end.
#pragma once

#include <chrono>

namespace platform::db {

class Connection;

class CommitBatch {
public:
    static constexpr std::chrono::milliseconds kMaxHold{1000};

    explicit CommitBatch(Connection& connection, std::chrono::milliseconds maxHold = kMaxHold);
    ~CommitBatch();
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;

    // Begins a transaction unless one is open; commits the batch's own first when it has been
    // open longer than maxHold.
    void begin();
    // Commits the transaction begin() began, when it is still open; nothing otherwise.
    void commit();

private:
    Connection& connection_;
    std::chrono::milliseconds maxHold_;
    std::chrono::steady_clock::time_point beganAt_; // when the batch's transaction began
    bool began_ = false;
};

} // namespace platform::db
