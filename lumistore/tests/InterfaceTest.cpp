// A caller of the library sees only its interface: it creates each class by type, uses it,
// catches the library's one exception type, and the library's questions come to the
// caller's own dialog service.
#include "StoreFixture.h"
#include "lumistore/Lumistore.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryInterface, EachClassIsCreatedByTypeAndUsed) {
    const QString path = storetest::copyMaster();
    const QString connection = storetest::connectionString(path);
    testsupport::ScopedScriptedUi ui;

    auto clean = std::make_unique<lumistore::cClean>();
    storetest::execute(path, {QStringLiteral("DELETE FROM FolderNames")});
    clean->SweepRecords(connection, QStringLiteral("FolderNames"));
    EXPECT_EQ(storetest::column(path, QStringLiteral("SELECT Folder_Name FROM FolderNames")),
              QStringList{platform::sys::kPlaceholderText});
    clean.reset();

    auto remover = std::make_unique<lumistore::cDelete>();
    EXPECT_EQ(remover->DeleteLumiXLRecord(QStringLiteral("dtFolderNames"), platform::sys::kPlaceholderText, 0,
                                          connection),
              lumistore::cDelete::kPlaceholderKept);
    // Its messages reach the dialog service the caller installed.
    platform::db::Recordset none;
    {
        platform::db::Connection open;
        open.open(connection);
        none = platform::db::Recordset::open(open, QStringLiteral("SELECT * FROM Errors"));
        remover->DeleteLumiRecords(none);
    }
    EXPECT_EQ(ui->messageTexts(),
              QStringList{QStringLiteral("There are no records.  Run the System Clean function.")});
    remover.reset();

    auto data = std::make_unique<lumistore::cData>();
    data->setXLSConnectString(connection);
    QString error;
    ASSERT_TRUE(data->XLSConnect(error));
    platform::db::Recordset rows;
    EXPECT_EQ(data->OpenRecordSet(QStringLiteral("SELECT Budget_Name FROM Budgets"), rows, error),
              lumistore::cData::kDone);
    data.reset();

    auto formatter = std::make_unique<lumistore::cError>();
    formatter->setApplicationTitle(QStringLiteral("Caller"));
    EXPECT_TRUE(formatter->FormatErrorText(QStringLiteral("m"), QStringLiteral("p"), QString())
                    .endsWith(QStringLiteral("Error Source: Caller")));
}

TEST(LibraryInterface, FailuresArriveAsTheLibrarysExceptionType) {
    lumistore::cClean clean;
    try {
        clean.InitializeTable(
            storetest::connectionString(testsupport::freshDir() + QStringLiteral("/none.mdb")),
            QStringLiteral("FolderNames"));
        FAIL() << "nothing was raised";
    } catch (const lumistore::LumistoreError& error) {
        EXPECT_NE(error.number(), 0);
        EXPECT_FALSE(error.description().isEmpty());
        EXPECT_STREQ(error.what(), error.description().toStdString().c_str());
    }
}

TEST(LibraryInterface, AServiceInstalledAfterTheObjectWasMadeStillGetsTheQuestions) {
    lumistore::cDelete remover; // made while the default service is installed
    testsupport::ScopedScriptedUi ui;
    platform::db::Recordset rows;
    platform::db::Connection open;
    open.open(storetest::connectionString(storetest::copyMaster()));
    rows = platform::db::Recordset::open(open, QStringLiteral("SELECT Folder_Name FROM FolderNames"));
    rows.movePrevious();
    EXPECT_EQ(remover.DelSelRecord(rows, 0), lumistore::cDelete::kBeforeFirstRow);
    EXPECT_EQ(ui->messageTexts(), QStringList{QStringLiteral("BOF is true and you cannot delete.")});
}

} // namespace
