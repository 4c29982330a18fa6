// The query objects on real copies of the master database: the four answers of
// GetRecordset, the one message (for a refused password), one connection kept for several
// calls, and the connection closed when the object is released.
#include "core/cDB2.h"

#include "core/cConnection.h"
#include "core/cDB3.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/sys/Edition.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using core::cDB2;
using core::cDB3;
using core::QueryObject;
using platform::db::Connection;
using platform::db::ConnectionString;
using platform::db::Recordset;

namespace {

QString connectionString(const QString& path, const QString& password = {}) {
    ConnectionString cs;
    cs.set(ConnectionString::kProvider, core::cConnection::kProvider);
    cs.set(ConnectionString::kDataSource, path);
    if (!password.isEmpty())
        cs.set(ConnectionString::kDatabasePassword, password);
    return cs.toString();
}

class QueryObjects : public testing::Test {
protected:
    void SetUp() override {
        path = testsupport::freshDir() + "/lumimaster.mdb";
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        core::gCnn = std::make_unique<core::cConnection>();
        core::gCnn->setLumiCnn(connectionString(path));
    }
    void TearDown() override {
        core::gDB2.reset();
        core::gDB3.reset();
        core::gCnn.reset();
    }
    QString path;
    testsupport::ScopedScriptedUi ui;
};

TEST_F(QueryObjects, AnswersRowsAndNoRowsSilently) {
    core::gDB2 = std::make_unique<cDB2>();
    Recordset rst;
    EXPECT_EQ(core::gDB2->GetRecordset("SELECT * FROM Budgets WHERE Budget_Name Is Not Null", rst), 0);
    ASSERT_TRUE(rst.isOpen());
    EXPECT_FALSE(rst.eof());
    EXPECT_EQ(rst.absolutePosition(), 1);
    EXPECT_FALSE(rst.value("Budget_Name").toString().isEmpty());

    Recordset none;
    EXPECT_EQ(
        core::gDB2->GetRecordset("SELECT * FROM Budgets WHERE Budget_Name = ?", none, {"No such budget"}), 2);
    ASSERT_TRUE(none.isOpen());
    EXPECT_TRUE(none.eof());
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(QueryObjects, BadQueryAnswersMinus99WithoutAMessage) {
    core::gDB3 = std::make_unique<cDB3>();
    Recordset rst = Recordset(); // a recordset the failed query replaces by a closed one
    EXPECT_EQ(core::gDB3->GetRecordset("SELECT * FROM NoSuchTable", rst), -99);
    EXPECT_FALSE(rst.isOpen());
    EXPECT_EQ(core::gDB3->GetRecordset("SELEKT nothing", rst), -99);

    // A missing file: the caller's recordset keeps what it held.
    core::gCnn->setLumiCnn(connectionString(path + ".missing"));
    auto fresh = std::make_unique<cDB2>();
    Recordset held;
    ASSERT_EQ(core::gDB3->GetRecordset("SELECT * FROM Budgets", held), 0);
    EXPECT_EQ(fresh->GetRecordset("SELECT * FROM Budgets", held), -99);
    EXPECT_TRUE(held.isOpen());
    EXPECT_FALSE(QFile::exists(path + ".missing"));
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(QueryObjects, RefusedPasswordAnswersMinus2AfterTheMessage) {
    Connection::setPassword(path, "", "network pw");
    for (const QString& password : {QString(), QStringLiteral("wrong")}) {
        core::gCnn->setLumiCnn(connectionString(path, password));
        ui->clear();
        ui->answerMessages({platform::ui::Answer::Ok});
        core::gDB2 = std::make_unique<cDB2>();
        Recordset rst;
        EXPECT_EQ(core::gDB2->GetRecordset("SELECT * FROM Budgets", rst), -2);
        EXPECT_FALSE(rst.isOpen());
        ASSERT_EQ(ui->asked().size(), 1u);
        EXPECT_EQ(ui->asked()[0].text, "The database file is corrupted or illegal.  Re-install the product.");
        EXPECT_EQ(ui->asked()[0].title, "Lumivane");
        EXPECT_EQ(ui->asked()[0].buttons, platform::ui::Buttons::Ok);
    }
    core::gCnn->setLumiCnn(connectionString(path, "network pw"));
    core::gDB2 = std::make_unique<cDB2>();
    Recordset rst;
    EXPECT_EQ(core::gDB2->GetRecordset("SELECT * FROM Budgets", rst), 0);
}

// Another program changes the password while the query object's connection is open: it puts
// a new file, under the new password, in the database's place.
TEST_F(QueryObjects, PasswordChangedElsewhereAnswersMinus2AfterSayingSo) {
    core::gDB2 = std::make_unique<cDB2>();
    Recordset rst;
    ASSERT_EQ(core::gDB2->GetRecordset("SELECT * FROM Budgets", rst), 0);
    const QString replacement = path + ".new";
    ASSERT_TRUE(QFile::copy(path, replacement));
    Connection::setPassword(replacement, "", "changed");
    ASSERT_TRUE(QFile::rename(path, path + ".old") && QFile::rename(replacement, path));

    ui->answerMessages({platform::ui::Answer::Ok});
    EXPECT_EQ(core::gDB2->GetRecordset("SELECT * FROM Budgets", rst), QueryObject::kLogonRefused);
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_TRUE(ui->asked()[0].text.contains("was changed by another user"))
        << ui->asked()[0].text.toStdString();
}

TEST_F(QueryObjects, KeepsOneConnectionUntilReleased) {
    core::gDB2 = std::make_unique<cDB2>();
    EXPECT_EQ(core::gDB2->Cnn().state(), Connection::kStateClosed);
    Recordset first;
    ASSERT_EQ(core::gDB2->GetRecordset("SELECT * FROM Budgets", first), 0);
    // The descriptor changes; the open connection stays on the file it opened.
    core::gCnn->setLumiCnn(connectionString(path + ".elsewhere"));
    Recordset second;
    ASSERT_EQ(core::gDB2->GetRecordset("SELECT * FROM TablesList", second), 0);
    core::gDB2->SetConnection();
    EXPECT_EQ(Connection::openConnectionCount(path), 1);
    EXPECT_EQ(core::gDB2->Cnn().state(), Connection::kStateOpen);

    // Edits through the recordset are written on the object's connection.
    first.setValue("Budget_Name", "Renamed");
    first.update();
    EXPECT_EQ(
        core::gDB2->Cnn().scalar("SELECT count(*) FROM Budgets WHERE Budget_Name = 'Renamed'").toLongLong(),
        1);

    core::gDB2.reset();
    EXPECT_EQ(Connection::openConnectionCount(path), 0);
    EXPECT_TRUE(ui->asked().empty());
}

TEST_F(QueryObjects, ReleaseWithoutQueryClosesNothingAndSetConnectionReportsFailure) {
    core::gDB3 = std::make_unique<cDB3>();
    core::gDB3.reset();
    EXPECT_TRUE(ui->asked().empty());

    core::gCnn->setLumiCnn(connectionString(path + ".missing"));
    cDB2 query;
    EXPECT_THROW(query.SetConnection(), platform::db::DbError);
    EXPECT_EQ(query.Cnn().state(), Connection::kStateClosed);
}

TEST(QueryObjectTitle, TheAddInBuildShowsItsOwnTitle) {
    const QString path = testsupport::freshDir() + "/lumimaster.mdb";
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    Connection::setPassword(path, "", "pw");
    core::gCnn = std::make_unique<core::cConnection>();
    core::gCnn->setLumiCnn(connectionString(path));
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({platform::ui::Answer::Ok});
    cDB3 query(platform::sys::Edition::addIn().messageTitle);
    Recordset rst;
    EXPECT_EQ(query.GetRecordset("SELECT * FROM Budgets", rst), QueryObject::kLogonRefused);
    ASSERT_EQ(ui->asked().size(), 1u);
    EXPECT_EQ(ui->asked()[0].title, "LumivaneXL");
    core::gCnn.reset();
}

} // namespace
