// The commit batch: rows of one step in one transaction, which a second connection sees at each
// commit and after the batch ends however it ends; a caller's own transaction left to the caller;
// and the commits counted, one for a batch of many rows.
#include "platform/db/CommitBatch.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/tests/DbFixture.h"

#include <gtest/gtest.h>

using namespace platform::db;
using dbtest::connectionString;
using dbtest::makeDatabase;

namespace {

class CommitBatchTest : public testing::Test {
protected:
    void SetUp() override {
        path = testsupport::freshDir() + "/m.mdb";
        makeDatabase(path, "", dbtest::kBudgetsScript);
        writer.open(connectionString(path));
        reader.open(connectionString(path));
    }

    void add(const QString& name) { writer.execute("INSERT INTO Budgets (Budget_Name) VALUES (?)", {name}); }
    // The rows as another program reads them.
    qint64 seen() { return reader.scalar("SELECT count(*) FROM Budgets").toLongLong(); }

    QString path;
    Connection writer;
    Connection reader;
};

TEST_F(CommitBatchTest, OthersSeeTheRowsAtEachCommitAndWhenTheBatchEnds) {
    struct Case {
        const char* name;
        bool endsInError;
    };
    for (const Case c : {Case{"ends normally", false}, Case{"ends in an error", true}}) {
        SCOPED_TRACE(c.name);
        writer.execute("DELETE FROM Budgets");
        try {
            CommitBatch batch(writer);
            batch.begin();
            add("one");
            add("two");
            EXPECT_EQ(seen(), 0) << "nothing is seen before the commit";
            batch.commit(); // as before a question
            EXPECT_FALSE(writer.inTransaction());
            EXPECT_EQ(seen(), 2);
            batch.begin();
            add("three");
            batch.begin(); // a second begin joins the open transaction
            add("four");
            EXPECT_EQ(seen(), 2);
            if (c.endsInError)
                throw DbError(DbError::kGeneral, "the step failed");
        } catch (const DbError&) {
        }
        EXPECT_FALSE(writer.inTransaction());
        EXPECT_EQ(seen(), 4) << "the rows written before the end stay written";
    }
}

TEST_F(CommitBatchTest, ACallersTransactionIsLeftToTheCaller) {
    writer.beginTransaction();
    {
        CommitBatch batch(writer);
        batch.begin();
        add("inside");
        batch.commit();
        EXPECT_TRUE(writer.inTransaction()) << "commit() ends only what begin() began";
    }
    EXPECT_TRUE(writer.inTransaction()) << "the destructor leaves the caller's transaction open";
    writer.rollback();
    EXPECT_EQ(seen(), 3) << "the caller took the row back";
}

TEST_F(CommitBatchTest, AClosedConnectionEndsTheBatchWithoutThrowing) {
    {
        CommitBatch batch(writer);
        batch.begin();
        add("lost");
        writer.close(); // rolls back
    }
    EXPECT_EQ(seen(), 3);
}

// Five rows, each after begin(): one commit, or one a row when the batch may hold its
// transaction no time at all (so other programs' writes never wait long for a long step).
TEST_F(CommitBatchTest, ABatchOfRowsIsOneCommitWhileItIsYoung) {
    struct Case {
        const char* name;
        std::chrono::milliseconds maxHold;
        qint64 commits;
    };
    const Case cases[] = {
        {"held as long as the step", CommitBatch::kMaxHold, 1},
        {"held no time", std::chrono::milliseconds(-1), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 before = Connection::commitCount();
        {
            CommitBatch batch(writer, c.maxHold);
            for (int row = 0; row < 5; ++row) {
                batch.begin();
                add(QString::number(row));
            }
        }
        EXPECT_EQ(Connection::commitCount() - before, c.commits);
        EXPECT_FALSE(writer.inTransaction());
    }
    EXPECT_EQ(seen(), 13);
    const qint64 before = Connection::commitCount();
    seen();
    EXPECT_EQ(Connection::commitCount(), before) << "a read commits nothing";
}

} // namespace
