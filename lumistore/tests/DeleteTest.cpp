// cDelete on real database files: the row a settings list or the errors list names, and the
// current row or every row of a recordset the caller holds, with the messages it shows.
#include "StoreFixture.h"
#include "lumistore/Lumistore.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

using lumistore::cDelete;
using lumistore::LumistoreError;
using platform::db::DbError;
using platform::db::Recordset;
using storetest::column;
using storetest::connectionString;
using storetest::copyMaster;

const QString kPlaceholder = QStringLiteral("<Dummy record>");

void fill(const QString& path, const QString& table, const QString& firstColumn, const QVariantList& values) {
    storetest::execute(path, {QStringLiteral("DELETE FROM %1").arg(table)});
    for (const QVariant& value : values)
        storetest::execute(path, {QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, firstColumn)},
                           {value});
}

struct DeleteCase {
    const char* name;
    const char* grid;
    bool messages;
    const char* table;
    const char* keyColumn;
    QVariantList before;
    QString value;
    qint32 result;
    QStringList after;
};

void PrintTo(const DeleteCase& c, std::ostream* out) {
    *out << c.name;
}

class DeleteByKey : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteByKey, DeletesOnlyTheMatchingRowAndSaysWhatHappened) {
    const DeleteCase& c = GetParam();
    const QString path = copyMaster();
    const QString table = QString::fromLatin1(c.table);
    const QString key = QString::fromLatin1(c.keyColumn);
    fill(path, table, key, c.before);
    testsupport::ScopedScriptedUi ui;

    const qint32 result = cDelete().DeleteLumiXLRecord(QString::fromLatin1(c.grid), c.value, 7,
                                                       connectionString(path), c.messages);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(column(path, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(key, table)), c.after);
    EXPECT_TRUE(ui->asked().empty()) << "no message is shown";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteByKey,
    ::testing::Values(DeleteCase{"OnlyRowMatchingIsDeletedAndTheTableIsEmpty",
                                 "dtFolderNames",
                                 false,
                                 "FolderNames",
                                 "Folder_Name",
                                 {QStringLiteral("Sales")},
                                 QStringLiteral("Sales"),
                                 cDelete::kLastRowDeleted,
                                 {}},
                      DeleteCase{"OnlyRowWithAnotherValueIsNotFound",
                                 "dtFolderNames",
                                 false,
                                 "FolderNames",
                                 "Folder_Name",
                                 {QStringLiteral("Sales")},
                                 QStringLiteral("Finance"),
                                 cDelete::kNotFound,
                                 {QStringLiteral("Sales")}},
                      DeleteCase{"OnlyPlaceholderAskedForIsKept",
                                 "dtFolderNames",
                                 false,
                                 "FolderNames",
                                 "Folder_Name",
                                 {kPlaceholder},
                                 kPlaceholder,
                                 cDelete::kPlaceholderKept,
                                 {kPlaceholder}},
                      DeleteCase{"PlaceholderTextForARealOnlyRowIsNotFound",
                                 "dtUsersData",
                                 false,
                                 "UsersData",
                                 "Users",
                                 {QStringLiteral("Ann")},
                                 kPlaceholder,
                                 cDelete::kNotFound,
                                 {QStringLiteral("Ann")}},
                      DeleteCase{"MatchAmongSeveralIsDeleted",
                                 "dtAdmin",
                                 false,
                                 "Admin",
                                 "Admin_Name",
                                 {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")},
                                 QStringLiteral("Bob"),
                                 cDelete::kDeleted,
                                 {QStringLiteral("Ann"), QStringLiteral("Cy")}},
                      DeleteCase{"OtherLetterCaseIsNotFound",
                                 "dtFolderNames",
                                 false,
                                 "FolderNames",
                                 "Folder_Name",
                                 {QStringLiteral("Sales"), QStringLiteral("Finance")},
                                 QStringLiteral("sales"),
                                 cDelete::kNotFound,
                                 {QStringLiteral("Sales"), QStringLiteral("Finance")}},
                      DeleteCase{"NoMatchAmongSeveralIsNotFound",
                                 "dtFolderNames",
                                 false,
                                 "FolderNames",
                                 "Folder_Name",
                                 {QStringLiteral("Sales"), QStringLiteral("Finance")},
                                 QStringLiteral("Travel"),
                                 cDelete::kNotFound,
                                 {QStringLiteral("Sales"), QStringLiteral("Finance")}},
                      DeleteCase{"EmptyTableIsNotFound",
                                 "dtMsgs",
                                 true,
                                 "Subject",
                                 "Subject",
                                 {},
                                 QStringLiteral("Hello"),
                                 cDelete::kNotFound,
                                 {}},
                      DeleteCase{"MessagesFlagChoosesSubject",
                                 "dtMsgs",
                                 true,
                                 "Subject",
                                 "Subject",
                                 {QStringLiteral("Hello"), QStringLiteral("Due")},
                                 QStringLiteral("Due"),
                                 cDelete::kDeleted,
                                 {QStringLiteral("Hello")}},
                      DeleteCase{"WithoutTheFlagMessagesAreBodyTexts",
                                 "dtMsgs",
                                 false,
                                 "BodyText",
                                 "Body_Text",
                                 {QStringLiteral("Hello"), QStringLiteral("Due")},
                                 QStringLiteral("Hello"),
                                 cDelete::kDeleted,
                                 {QStringLiteral("Due")}},
                      DeleteCase{"NullKeysAreNotCounted",
                                 "dtFolderNames",
                                 false,
                                 "FolderNames",
                                 "Folder_Name",
                                 {QVariant(), QStringLiteral("Sales")},
                                 QStringLiteral("Sales"),
                                 cDelete::kLastRowDeleted,
                                 {QStringLiteral("<null>")}}),
    [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.name); });

TEST(DeleteLumiXLRecord, OfEqualKeysOnlyTheFirstGoes) {
    const QString path = copyMaster();
    storetest::execute(
        path, {QStringLiteral("DELETE FROM UsersData"),
               QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES ('Ann', 'first')"),
               QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES ('Ann', 'second')"),
               QStringLiteral("INSERT INTO UsersData (Users, Email_Address) VALUES ('Bob', 'bob')")});
    EXPECT_EQ(cDelete().DeleteLumiXLRecord(QStringLiteral("dtUsersData"), QStringLiteral("Ann"), 0,
                                           connectionString(path)),
              cDelete::kDeleted);
    EXPECT_EQ(column(path, QStringLiteral("SELECT Email_Address FROM UsersData ORDER BY rowid")),
              (QStringList{QStringLiteral("second"), QStringLiteral("bob")}));
}

TEST(DeleteLumiXLRecord, AnAuthorAndARobotOfOneNameAreToldApartByTheirKind) {
    const QString path = copyMaster();
    storetest::execute(
        path, {QStringLiteral("DELETE FROM Admin"),
               QStringLiteral("INSERT INTO Admin (Admin_Name, RecType) VALUES ('Mail Desk', 'Robot')"),
               QStringLiteral("INSERT INTO Admin (Admin_Name, RecType) VALUES ('Mail Desk', 'Author')")});
    cDelete deleter;
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtAdmin"), QStringLiteral("Mail Desk"), 0,
                                         connectionString(path), false, QStringLiteral("author")),
              cDelete::kDeleted);
    EXPECT_EQ(column(path, QStringLiteral("SELECT RecType FROM Admin")),
              QStringList{QStringLiteral("Robot")});
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtAdmin"), QStringLiteral("Mail Desk"), 0,
                                         connectionString(path), false, QStringLiteral("Author")),
              cDelete::kNotFound)
        << "the robot of that name is not an author";
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtAdmin"), QStringLiteral("Mail Desk"), 0,
                                         connectionString(path), false, QStringLiteral("Robot")),
              cDelete::kLastRowDeleted);
}

TEST(DeleteLumiXLRecord, ErrorRowsAreFoundByTheirIdNotTheirDate) {
    const QString path = copyMaster();
    const QString sameSecond = QStringLiteral("2024-03-01 09:15:00");
    storetest::execute(path,
                       {QStringLiteral("INSERT INTO Errors (Error_Date, UF_name) VALUES (?, 'first.xlsx')"),
                        QStringLiteral("INSERT INTO Errors (Error_Date, UF_name) VALUES (?, 'second.xlsx')")},
                       {sameSecond});
    const QStringList ids = column(path, QStringLiteral("SELECT ID FROM Errors ORDER BY ID"));
    ASSERT_EQ(ids.size(), 2);

    cDelete deleter;
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtErrors"), ids.at(1), 1, connectionString(path)),
              cDelete::kDeleted);
    EXPECT_EQ(column(path, QStringLiteral("SELECT UF_name FROM Errors")),
              QStringList{QStringLiteral("first.xlsx")});
    // The date names no row any more, and the gone row's number is not found again.
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtErrors"), sameSecond, 0, connectionString(path)),
              cDelete::kNotFound);
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtErrors"), ids.at(1), 0, connectionString(path)),
              cDelete::kNotFound);
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtErrors"), ids.at(0), 0, connectionString(path)),
              cDelete::kLastRowDeleted);
    EXPECT_EQ(deleter.DeleteLumiXLRecord(QStringLiteral("dtErrors"), ids.at(0), 0, connectionString(path)),
              cDelete::kNotFound)
        << "an empty table";
}

TEST(DeleteLumiXLRecord, UnknownGridsAndMissingTablesRaise) {
    const QString path = copyMaster();
    cDelete deleter;
    for (const char* grid : {"dtNothing", "dtadmin", ""}) {
        try {
            deleter.DeleteLumiXLRecord(QString::fromLatin1(grid), QStringLiteral("x"), 0,
                                       connectionString(path));
            ADD_FAILURE() << "grid '" << grid << "' did not raise";
        } catch (const LumistoreError& error) {
            EXPECT_EQ(error.number(), DbError::kCommandError) << grid;
        }
    }
    // The local database has no administrator accounts.
    try {
        deleter.DeleteLumiXLRecord(QStringLiteral("dtAdminUsers"), QStringLiteral("x"), 0,
                                   connectionString(path));
        ADD_FAILURE() << "a missing table did not raise";
    } catch (const LumistoreError& error) {
        EXPECT_EQ(error.number(), DbError::kTableMissing) << error.what();
    }
}

// DelSelRecord and DeleteLumiRecords work on a recordset the caller holds.
class RecordsetDeletion : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    // A fresh database whose FolderNames holds A, B and C.
    void reset() {
        path_ = copyMaster();
        fill(path_, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"),
             {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        connection_.open(connectionString(path_));
    }
    Recordset open() {
        return Recordset::open(connection_,
                               QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid"));
    }
    QStringList stored() const {
        return column(path_, QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid"));
    }

    QString path_;
    platform::db::Connection connection_;
    testsupport::ScopedScriptedUi ui_;
};

TEST_F(RecordsetDeletion, DelSelRecordLeavesTheRecordsetOnANeighbour) {
    struct Case {
        int position; // 1 = first
        QString landsOn;
        QStringList left;
    };
    for (const Case& c : {Case{1, QStringLiteral("B"), {QStringLiteral("B"), QStringLiteral("C")}},
                          Case{2, QStringLiteral("A"), {QStringLiteral("A"), QStringLiteral("C")}},
                          Case{3, QStringLiteral("B"), {QStringLiteral("A"), QStringLiteral("B")}}}) {
        reset();
        Recordset rows = open();
        rows.move(c.position - 1);
        qint16 field = 0;
        EXPECT_EQ(cDelete().DelSelRecord(rows, field, false), 0);
        EXPECT_EQ(rows.value(0).toString(), c.landsOn) << "deleting row " << c.position;
        EXPECT_EQ(stored(), c.left) << "deleting row " << c.position;
    }
    EXPECT_TRUE(ui_->asked().empty());
}

TEST_F(RecordsetDeletion, DelSelRecordOnTheOnlyRowDeletesIt) {
    fill(path_, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"), {QStringLiteral("A")});
    Recordset rows = open();
    EXPECT_EQ(cDelete().DelSelRecord(rows, 0, true), 0);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(rows.recordCount(), 0);
}

TEST_F(RecordsetDeletion, DelSelRecordRefusesTheAddLineAndThePlaceBeforeTheFirstRow) {
    Recordset rows = open();
    rows.movePrevious(); // before the first row
    EXPECT_EQ(cDelete().DelSelRecord(rows, 0, false), cDelete::kBeforeFirstRow);

    rows.moveLast();
    rows.moveNext(); // past the last row: the grid's new-row line
    EXPECT_EQ(cDelete().DelSelRecord(rows, 0, false), 0);

    fill(path_, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"), {QString(""), QVariant()});
    Recordset blank = open();
    EXPECT_EQ(cDelete().DelSelRecord(blank, 0, false), 0);
    blank.moveNext();
    EXPECT_EQ(cDelete().DelSelRecord(blank, 0, false), 0);
    EXPECT_EQ(stored(), (QStringList{QString(""), QStringLiteral("<null>")})) << "nothing was deleted";

    ASSERT_EQ(ui_->asked().size(), 4u);
    EXPECT_EQ(ui_->messageTexts(), (QStringList{QStringLiteral("BOF is true and you cannot delete."),
                                                QStringLiteral("You can't delete the Add!"),
                                                QStringLiteral("You can't delete the Add!"),
                                                QStringLiteral("You can't delete the Add!")}));
    for (const auto& asked : ui_->asked())
        EXPECT_EQ(asked.title, QStringLiteral("Lumivane"));
}

TEST_F(RecordsetDeletion, DeleteLumiRecordsEmptiesTheRecordsetOrSaysThereIsNothing) {
    Recordset rows = open();
    cDelete().DeleteLumiRecords(rows);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(ui_->asked().empty());

    Recordset none = open();
    cDelete().DeleteLumiRecords(none);
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{QStringLiteral("There are no records.  Run the System Clean function.")});
    EXPECT_EQ(ui_->asked().front().title, QStringLiteral("Lumivane"));
}

TEST_F(RecordsetDeletion, ARowChangedMeanwhileIsNotDeletedAndTheConflictIsRaised) {
    Recordset rows = open();
    storetest::execute(path_,
                       {QStringLiteral("UPDATE FolderNames SET Folder_Name = 'A2' WHERE Folder_Name = 'A'")});
    try {
        cDelete().DelSelRecord(rows, 0, false);
        FAIL() << "the conflict was not raised";
    } catch (const LumistoreError& error) {
        EXPECT_EQ(error.number(), DbError::kRowConflict);
    }
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("A2"), QStringLiteral("B"), QStringLiteral("C")}));
}

} // namespace
