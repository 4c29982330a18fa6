// File facts on real files in a fresh folder: lookups that tolerate letter case, the in-use
// test against each sign another program leaves, times to the second and their date text,
// and the path helpers.
#include "platform/sys/FileFacts.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform::sys;

namespace {

void touch(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

void setModified(const QString& path, const QDateTime& time) {
    const timespec times[2] = {{time.toSecsSinceEpoch(), 0}, {time.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

class FileFactsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testsupport::freshDir(QStringLiteral("facts"));
        ASSERT_TRUE(QDir().mkpath(dir_ + "/Budgets/North"));
        touch(dir_ + "/Budgets/North/Sales.xlsx");
    }
    QString dir_;
};

TEST_F(FileFactsTest, FindsEntriesWhateverTheLetterCase) {
    const FindData exact = GetFindData(dir_ + "/Budgets/North/Sales.xlsx");
    EXPECT_TRUE(exact.found);
    EXPECT_EQ(exact.name, "Sales.xlsx");
    EXPECT_FALSE(exact.isFolder);

    const FindData other = GetFindData(dir_ + "/budgets/NORTH/sales.XLSX");
    ASSERT_TRUE(other.found);
    EXPECT_EQ(other.name, "Sales.xlsx") << "the name comes back as the file system keeps it";
    EXPECT_EQ(other.path, dir_ + "/Budgets/North/Sales.xlsx");

    const FindData missing = GetFindData(dir_ + "/Budgets/North/Costs.xlsx");
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(missing.modified, QDateTime(QDate(1601, 1, 1), QTime(0, 0)));
    EXPECT_EQ(GetFileModifiedText(dir_ + "/Nowhere/x.xlsx"), QDateTime(QDate(1601, 1, 1), QTime(0, 0)));
}

TEST_F(FileFactsTest, FolderExistsComparesTheFoundNameWithoutCase) {
    EXPECT_TRUE(FolderExists(dir_ + "/Budgets/North", "north"));
    EXPECT_TRUE(FolderExists(dir_ + "/budgets/north", "North"));
    EXPECT_TRUE(FolderExists(dir_ + "/Budgets/North/Sales.xlsx", "Sales.xlsx")) << "a plain file counts";
    EXPECT_FALSE(FolderExists(dir_ + "/Budgets/South", "South"));
    EXPECT_TRUE(FolderExists(dir_ + "/Budgets/South", "")) << "nothing found is the empty name";
    EXPECT_FALSE(FolderExists(dir_ + "/Budgets/North", "South"));
}

TEST_F(FileFactsTest, MakeFolderMakesOneLevelAndRefusesTheRest) {
    MakeFolder(dir_ + "/Budgets/South");
    EXPECT_TRUE(QFileInfo(dir_ + "/Budgets/South").isDir());
    EXPECT_THROW(MakeFolder(dir_ + "/Budgets/South"), FileError);
    EXPECT_THROW(MakeFolder(dir_ + "/Budgets/East/Sub"), FileError);
    EXPECT_FALSE(QFileInfo::exists(dir_ + "/Budgets/East"));
}

TEST_F(FileFactsTest, InUseSeesLocksLockFilesAndOwnerFiles) {
    const QString book = dir_ + "/Budgets/North/Sales.xlsx";
    EXPECT_FALSE(IsFileInUse(book));
    EXPECT_FALSE(IsFileInUse(dir_ + "/Budgets/North/Missing.xlsx"));
    EXPECT_FALSE(IsFileInUse(dir_ + "/Budgets/North")) << "a folder is not in use";
    EXPECT_FALSE(IsFileInUse(""));

    touch(WorkbookLockFilePath(book));
    EXPECT_EQ(WorkbookLockFilePath(book), dir_ + "/Budgets/North/.~lock.Sales.xlsx#");
    EXPECT_TRUE(IsFileInUse(book));
    EXPECT_TRUE(IsFileInUse("  \"" + book + "\" ")) << "quotes and blanks around the path";
    QFile::remove(WorkbookLockFilePath(book));

    for (const QString& owner : {QStringLiteral("~$Sales.xlsx"), QStringLiteral("~$les.xlsx")}) {
        touch(dir_ + "/Budgets/North/" + owner);
        EXPECT_TRUE(IsFileInUse(book)) << owner.toStdString();
        QFile::remove(dir_ + "/Budgets/North/" + owner);
    }
    EXPECT_FALSE(IsFileInUse(book));

    // A lock that another open of the file holds, as a program that has it open would.
    const int fd = ::open(QFile::encodeName(book).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &lock), 0);
    EXPECT_TRUE(IsFileInUse(book));
    EXPECT_TRUE(IsFileInUse(book + "/")) << "a final slash is dropped";
    ::close(fd);
    EXPECT_FALSE(IsFileInUse(book));
}

TEST_F(FileFactsTest, TimesAreLocalToTheSecond) {
    const QString book = dir_ + "/Budgets/North/Sales.xlsx";
    const QDateTime stamp(QDate(2003, 1, 1), QTime(0, 0, 5));
    setModified(book, stamp);
    EXPECT_EQ(GetFileModifiedText(book), stamp);
    EXPECT_EQ(DateText(GetFileModifiedText(book)), "1/1/2003 0:0:5");
    EXPECT_EQ(DateText(QDateTime(QDate(2002, 3, 5), QTime(14, 7, 9))), "3/5/2002 14:7:9");
    EXPECT_EQ(DateText(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58))), "12/31/2024 23:59:58");

    // The birth time stays when the file is written later; it is whole seconds.
    const QString fresh = dir_ + "/Budgets/North/Fresh.xlsx";
    const QDateTime before = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    touch(fresh);
    setModified(fresh, stamp.addYears(30));
    const QDateTime created = GetFileCreatedTime(fresh);
    EXPECT_GE(created, before);
    EXPECT_LE(created, QDateTime::currentDateTime());
    EXPECT_EQ(created.time().msec(), 0);
    EXPECT_EQ(GetFileCreatedText(fresh), DateText(created));
}

struct PathPartCase {
    const char* name;
    const char* path;
    int part;
    const char* expected;
};

void PrintTo(const PathPartCase& c, std::ostream* os) {
    *os << c.name;
}

class PathPartTest : public ::testing::TestWithParam<PathPartCase> {};

TEST_P(PathPartTest, SplitsAtTheLastSlash) {
    EXPECT_EQ(GetPathPart(QString::fromUtf8(GetParam().path), GetParam().part),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathPartTest,
    ::testing::Values(PathPartCase{"ParentOfFile", "/Budgets/2002/Sales.xlsx", 0, "/Budgets/2002"},
                      PathPartCase{"LastOfFile", "/Budgets/2002/Sales.xlsx", 1, "Sales.xlsx"},
                      PathPartCase{"ParentOfFinalSlash", "/Budgets/", 0, "/Budgets"},
                      PathPartCase{"LastOfFinalSlash", "/Budgets/", 1, ""},
                      PathPartCase{"ParentOfBareName", "Sales.xlsx", 0, ""},
                      PathPartCase{"LastOfBareName", "Sales.xlsx", 1, "Sales.xlsx"},
                      PathPartCase{"OtherPart", "/Budgets/2002/Sales.xlsx", 2, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathParts, AnEmptyPathHasNone) {
    EXPECT_THROW(GetPathPart("", 0), std::invalid_argument);
}

TEST(StripQuotesTest, RemovesOnePairOfEnclosingQuotes) {
    EXPECT_EQ(StripQuotes("  \"a phrase with blanks\"  "), "a phrase with blanks");
    EXPECT_EQ(StripQuotes("\"only at the start "), "\"only at the start");
    EXPECT_EQ(StripQuotes("\"\"\"inner\"\"\""), "\"\"inner\"\"");
    EXPECT_EQ(StripQuotes("\""), "\"");
    EXPECT_EQ(StripQuotes("\"\""), "");
}

} // namespace
