// A transaction that rolls back unless committed: work that must be all or nothing opens one,
// commits at its end, and any exception on the way leaves the database as it was.
#pragma once

#include <QString>

namespace platform::db {

class Connection;

class Transaction {
public:
    explicit Transaction(Connection& connection); // begins the transaction
    ~Transaction();                               // rolls back when not committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& connection_;
    bool done_ = false;
};

// One all-or-nothing step of writing that may run inside a caller's transaction: a savepoint of
// that name when a transaction is open (the caller's transaction stays the caller's to end),
// else a transaction of its own. Taken back unless committed.
class WriteStep {
public:
    WriteStep(Connection& connection, QString savepoint);
    ~WriteStep();
    WriteStep(const WriteStep&) = delete;
    WriteStep& operator=(const WriteStep&) = delete;

    void commit();

private:
    Connection& connection_;
    QString savepoint_;
    bool nested_;
    bool done_ = false;
};

} // namespace platform::db
