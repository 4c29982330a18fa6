// Workbooks open for writing are marked in use; the in-use test sees our lock, LibreOffice's
// lock file and the owner file a spreadsheet program leaves on a shared folder.
#include "platform/sheet/model/WorkbookLock.h"

#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::copyOfFixture;

namespace {
void touch(const QString& path, const QByteArray& content = {}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}
} // namespace

TEST(WorkbookLock, AWorkbookOpenForWritingIsInUseUntilItCloses) {
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Budget.xlsx"));
    EXPECT_FALSE(WorkbookLock::isInUse(path));
    auto wb = Workbook::open(path);
    EXPECT_FALSE(wb->readOnly());
    EXPECT_TRUE(WorkbookLock::isInUse(path));
    EXPECT_TRUE(WorkbookLock::isInUse(u'"' + path + u'"'));

    // The lock file is in the form LibreOffice writes: name, user, host, date and time, profile
    // (ours names the holding process).
    QFile lockFile(QFileInfo(path).absolutePath() + QStringLiteral("/.~lock.Budget.xlsx#"));
    ASSERT_TRUE(lockFile.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(lockFile.readAll());
    lockFile.close();
    static const QRegularExpression format(
        QStringLiteral("^,[^,]+,[^,]*,\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d,lumivane-pid:\\d+;$"));
    EXPECT_TRUE(format.match(content).hasMatch()) << content.toStdString();

    // A second opener gets the workbook read-only, also after a save replaced the file.
    wb->sheet(0).setEntry({1, 1}, QStringLiteral("x"));
    wb->save();
    {
        auto second = Workbook::open(path);
        EXPECT_TRUE(second->readOnly());
    }
    QFile::remove(lockFile.fileName()); // the advisory lock on the file alone still counts
    EXPECT_TRUE(WorkbookLock::isInUse(path));
    touch(lockFile.fileName(), content.toUtf8());
    wb->close();
    EXPECT_FALSE(WorkbookLock::isInUse(path));
    EXPECT_FALSE(lockFile.exists());
}

TEST(WorkbookLock, LockFilesOfOtherProgramsCount) {
    const QString folder = testsupport::freshDir();
    const QString path = folder + QStringLiteral("/Budget.xlsx");
    touch(path);
    EXPECT_FALSE(WorkbookLock::isInUse(path));

    touch(folder + QStringLiteral("/.~lock.Budget.xlsx#"),
          ",Ann,ann,pc1,10.12.2026 12:49,file:///home/ann/.config;");
    EXPECT_TRUE(WorkbookLock::isInUse(path));
    QFile::remove(folder + QStringLiteral("/.~lock.Budget.xlsx#"));

    touch(folder + QStringLiteral("/~$Budget.xlsx"));
    EXPECT_TRUE(WorkbookLock::isInUse(path));
    QFile::remove(folder + QStringLiteral("/~$Budget.xlsx"));
    // A long name loses its first two characters to the marker.
    touch(folder + QStringLiteral("/~$dget.xlsx"));
    EXPECT_TRUE(WorkbookLock::isInUse(path));
    QFile::remove(folder + QStringLiteral("/~$dget.xlsx"));

    // A lock file of LibreOffice makes our open read-only and leaves that lock file alone.
    touch(folder + QStringLiteral("/.~lock.Budget.xlsx#"), ",Ann,ann,pc1,10.12.2026 12:49,;");
    QFile::remove(path);
    QFile::copy(sheettest::fixture(QStringLiteral("libreoffice.xlsx")), path);
    {
        auto wb = Workbook::open(path);
        EXPECT_TRUE(wb->readOnly());
    }
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/.~lock.Budget.xlsx#")));
}

// A lock file of ours whose process is gone was left by a killed program: it must not keep the
// workbook in use for ever. Every other lock file still counts.
TEST(WorkbookLock, OnlyOurLockFilesOfEndedProcessesAreStale) {
    QProcess ended;
    ended.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(ended.waitForStarted());
    const QByteArray deadPid = QByteArray::number(ended.processId());
    ended.kill();
    ASSERT_TRUE(ended.waitForFinished());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray ownPid = QByteArray::number(QCoreApplication::applicationPid());
    const struct {
        const char* what;
        QByteArray content;
        bool inUse;
    } cases[] = {
        {"ours, process ended", ",ann," + host + ",10.12.2026 12:49,lumivane-pid:" + deadPid + ";", false},
        {"ours, process runs", ",ann," + host + ",10.12.2026 12:49,lumivane-pid:" + ownPid + ";", true},
        {"ours, other machine", ",ann,elsewhere-pc,10.12.2026 12:49,lumivane-pid:" + deadPid + ";", true},
        {"LibreOffice's", ",Ann,ann," + host + ",10.12.2026 12:49,file:///home/ann/.config;", true},
        {"no profile", ",Ann,ann," + host + ",10.12.2026 12:49,;", true},
        {"damaged", "lumivane-pid:" + deadPid, true},
    };
    const QString folder = testsupport::freshDir();
    const QString path = folder + QStringLiteral("/Budget.xlsx");
    ASSERT_TRUE(QFile::copy(sheettest::fixture(QStringLiteral("libreoffice.xlsx")), path));
    const QString lockFile = WorkbookLock::lockFilePath(path);
    for (const auto& c : cases) {
        touch(lockFile, c.content);
        EXPECT_EQ(c.inUse, WorkbookLock::isInUse(path)) << c.what;
        {
            // Opening takes the workbook for writing exactly when nobody else holds it, and
            // puts its own lock file in place of a stale one.
            auto wb = Workbook::open(path);
            EXPECT_EQ(c.inUse, wb->readOnly()) << c.what;
        }
        EXPECT_EQ(c.inUse, QFile::exists(lockFile)) << c.what;
        QFile::remove(lockFile);
    }
}

TEST(WorkbookLock, MissingFilesAndFoldersAreNotInUse) {
    const QString folder = testsupport::freshDir();
    EXPECT_FALSE(WorkbookLock::isInUse(folder + QStringLiteral("/none.xlsx")));
    EXPECT_FALSE(WorkbookLock::isInUse(folder));
    EXPECT_FALSE(WorkbookLock::isInUse(folder + u'/'));
}
