// A transaction that rolls back unless committed: work that must be all or nothing opens one,
// commits at its end, and any exception on the way leaves the database as it was.
#pragma once

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

} // namespace platform::db
