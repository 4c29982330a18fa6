// The file commands on real workbooks: one LibreOffice made, edited and saved, read back by
// LibreOffice; an encrypted one opened with its password and saved still encrypted (read back by
// msoffcrypto-tool and openpyxl); one another process holds, opened read-only; damaged and legacy
// files refused with nothing written; the question before a changed workbook is closed; a new
// workbook saved under the name asked, and Save As keeping the password.
#include "lumisheet/WorkbookFiles.h"

#include "LumisheetFixture.h"
#include "platform/sheet/SheetError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

using lumisheettest::LumisheetFixture;
using platform::sheet::SheetError;
using platform::sheet::Workbook;
using platform::ui::Answer;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder's files and their contents, to see that nothing was written.
QMap<QString, QByteArray> folderContents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        contents.insert(name, bytesOf(dir.filePath(name)));
    return contents;
}

// A workbook LibreOffice made: openpyxl writes A1 = 21, LibreOffice converts it.
QString libreOfficeWorkbook() {
    const QString folder = testsupport::freshDir(QStringLiteral("lo"));
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/lo-work-XXXXXX"));
    sheettest::runPython(QStringLiteral(R"(
import os, sys, openpyxl
sys.path.insert(0, sys.argv[1])
import office
wb = openpyxl.Workbook()
wb.active["A1"] = 21
source = os.path.join(sys.argv[2], "Plan.xlsx")
wb.save(source)
office.convert(source, sys.argv[3], "xlsx:Calc MS Excel 2007 XML")
)"),
                         {testsupport::fixturePath(QString()), work.path(), folder});
    return folder + QStringLiteral("/Plan.xlsx");
}

class WorkbookFilesTest : public LumisheetFixture {};

TEST_F(WorkbookFilesTest, ALibreOfficeWorkbookEditedAndSavedReadsBackInLibreOffice) {
    const QString path = libreOfficeWorkbook();
    ASSERT_TRUE(QFile::exists(path));
    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    type(1, 2, QStringLiteral("=A1*2"));
    EXPECT_EQ(shown(1, 2), u"42");
    ASSERT_TRUE(window_->saveActive());
    EXPECT_TRUE(app_.activeWorkbook()->saved());
    const QStringList csv = sheettest::convertWithLibreOffice(path, 1, false);
    ASSERT_FALSE(csv.isEmpty());
    EXPECT_EQ(sheettest::csvFields(csv[0]), (QStringList{"21", "42"}));
    EXPECT_EQ(sheettest::readWithOpenpyxl(path).value(QStringLiteral("Sheet!B1")), u"'=A1*2'");
}

TEST_F(WorkbookFilesTest, AnEncryptedWorkbookAsksItsPasswordAndIsSavedStillEncrypted) {
    const QString path =
        sheettest::copyOfFixture(QStringLiteral("encrypted.xlsx"), QStringLiteral("Secret.xlsx"));
    ui_->answerTexts({QStringLiteral("wrong"), QStringLiteral("opensesame")});
    ui_->answerMessages({Answer::Ok});
    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    ASSERT_EQ(ui_->asked().size(), 3u);
    EXPECT_EQ(ui_->asked()[0].kind, u"password");
    EXPECT_EQ(ui_->asked()[0].text, u"'Secret.xlsx' is protected.  Enter its password to open it:");
    EXPECT_EQ(ui_->asked()[1].text, u"The password is not correct.");
    EXPECT_EQ(ui_->asked()[2].kind, u"password");

    type(6, 1, QStringLiteral("250"));
    ASSERT_TRUE(window_->saveActive());
    // Another program decrypts it with the same password and finds the edit.
    const QString read = sheettest::runPython(QStringLiteral(R"(
import io, sys, msoffcrypto, openpyxl
with open(sys.argv[1], "rb") as f:
    office = msoffcrypto.OfficeFile(f)
    office.load_key(password="opensesame")
    plain = io.BytesIO()
    office.decrypt(plain)
print(openpyxl.load_workbook(plain).worksheets[0]["A6"].value)
)"),
                                              {path});
    EXPECT_EQ(read.trimmed(), u"250");
    try {
        Workbook::open(path, platform::sheet::OpenOptions::readOnlyAccess());
        ADD_FAILURE() << "the saved workbook opened without its password";
    } catch (const SheetError& error) {
        EXPECT_EQ(error.code(), SheetError::Code::PasswordRequired);
    }
}

TEST_F(WorkbookFilesTest, CancellingThePasswordOpensNothing) {
    const QString path = sheettest::copyOfFixture(QStringLiteral("encrypted.xlsx"));
    ui_->answerTexts({std::nullopt});
    EXPECT_EQ(lumisheet::OpenWorkbook(app_, path), nullptr);
    EXPECT_EQ(app_.workbookCount(), 0);
}

TEST_F(WorkbookFilesTest, AWorkbookAnotherProcessHoldsOpensReadOnlyAndSaveIsRefused) {
    const QString path =
        sheettest::copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Held.xlsx"));
    // Another process holds a lock on the file until its input closes.
    QProcess holder;
    holder.start(
        testsupport::python(),
        {QStringLiteral("-c"),
         QStringLiteral("import fcntl, sys\nf = open(sys.argv[1], 'r+b')\nfcntl.lockf(f, fcntl.LOCK_EX)\n"
                        "print('locked', flush=True)\nsys.stdin.read()\n"),
         path});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    const QByteArray before = bytesOf(path);

    Workbook* book = lumisheet::OpenWorkbook(app_, path);
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(book->readOnly());
    EXPECT_EQ(window_->windowTitle(), u"Held.xlsx [Read-Only] - Lumisheet");
    type(2, 2, QStringLiteral("5"));
    ui_->answerMessages({Answer::Ok});
    EXPECT_FALSE(window_->saveActive());
    EXPECT_EQ(ui_->messageTexts(),
              QStringList{"The workbook 'Held.xlsx' is open read-only: save it under another name."});
    EXPECT_EQ(bytesOf(path), before);

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
}

// Each refused file says why, in the workbook layer's words, and nothing is written anywhere.
TEST_F(WorkbookFilesTest, DamagedAndLegacyFilesAreRefusedWithNothingWritten) {
    const struct {
        const char* fixture;
        const char* says;
    } cases[] = {
        {"legacy.xls", "save it as .xlsx first"},
        {"damaged-zip.xlsx", "damaged"},
        {"damaged-xml.xlsx", "damaged"},
        {"not-a-workbook.xlsx", "not a workbook"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString path = sheettest::copyOfFixture(QString::fromLatin1(c.fixture));
        const QString folder = QFileInfo(path).absolutePath();
        const auto before = folderContents(folder);
        ui_->clear();
        ui_->answerMessages({Answer::Ok});
        EXPECT_EQ(lumisheet::OpenWorkbook(app_, path), nullptr);
        ASSERT_EQ(ui_->asked().size(), 1u);
        EXPECT_TRUE(ui_->asked()[0].text.contains(QString::fromLatin1(c.says), Qt::CaseInsensitive))
            << ui_->asked()[0].text.toStdString();
        EXPECT_EQ(ui_->asked()[0].title, u"Lumisheet");
        EXPECT_EQ(folderContents(folder), before);
        EXPECT_EQ(app_.workbookCount(), 0);
    }
}

TEST_F(WorkbookFilesTest, ClosingAChangedWorkbookAsksUnlessAlertsAreOff) {
    const QString path =
        sheettest::copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Plan.xlsx"));
    const QByteArray before = bytesOf(path);
    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    type(2, 2, QStringLiteral("9"));

    ui_->answerMessages({Answer::Cancel});
    EXPECT_FALSE(window_->closeActive());
    EXPECT_EQ(app_.workbookCount(), 1);
    EXPECT_EQ(ui_->messageTexts(), QStringList{"Do you want to save the changes you made to 'Plan.xlsx'?"});

    ui_->answerMessages({Answer::No});
    EXPECT_TRUE(window_->closeActive());
    EXPECT_EQ(app_.workbookCount(), 0);
    EXPECT_EQ(bytesOf(path), before);

    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    type(2, 2, QStringLiteral("9"));
    ui_->answerMessages({Answer::Yes});
    EXPECT_TRUE(window_->closeActive());
    EXPECT_EQ(sheettest::readWithOpenpyxl(path).value(QStringLiteral("Rates!B2")), u"9");

    ASSERT_NE(lumisheet::OpenWorkbook(app_, path), nullptr);
    type(2, 2, QStringLiteral("10"));
    app_.setDisplayAlerts(false);
    ui_->clear();
    EXPECT_TRUE(window_->closeActive());
    EXPECT_TRUE(ui_->asked().empty());
    EXPECT_EQ(sheettest::readWithOpenpyxl(path).value(QStringLiteral("Rates!B2")), u"9");
}

// While an operation of the add-in holds a workbook, Close says why it stays open, without
// asking to save it, and the program's own end is refused the same way.
TEST_F(WorkbookFilesTest, AWorkbookHeldByAnOperationStaysOpen) {
    const QString path =
        sheettest::copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Held.xlsx"));
    platform::sheet::Workbook* book = lumisheet::OpenWorkbook(app_, path);
    ASSERT_NE(book, nullptr);
    type(2, 2, QStringLiteral("9"));
    {
        const platform::sheet::Application::WorkbookHold hold(app_, *book);
        ui_->clear();
        EXPECT_FALSE(window_->closeActive());
        EXPECT_FALSE(window_->closeAll());
        EXPECT_EQ(app_.workbookCount(), 1);
        EXPECT_EQ(ui_->messageTexts(), QStringList(2, platform::sheet::Application::heldText(*book)));
    }
    ui_->answerMessages({Answer::No});
    EXPECT_TRUE(window_->closeActive());
    EXPECT_EQ(app_.workbookCount(), 0);
}

} // namespace

namespace {

// The workbooks of the command line, read in the background while the program starts, open as
// any other: their events come when they are taken over, an encrypted one asks its password, a
// refused one says why, and the same file twice is one workbook.
TEST_F(WorkbookFilesTest, WorkbooksReadInTheBackgroundOpenAsAnyOther) {
    const QString plan =
        sheettest::copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Plan.xlsx"));
    const QString secret =
        sheettest::copyOfFixture(QStringLiteral("encrypted.xlsx"), QStringLiteral("Secret.xlsx"));
    const QString legacy = sheettest::copyOfFixture(QStringLiteral("legacy.xls"));
    std::vector<lumisheet::PendingWorkbook> pending;
    for (const QString& path : {plan, secret, legacy, plan})
        pending.emplace_back(path);
    QStringList activated;
    QObject::connect(&app_, &platform::sheet::Application::workbookActivate,
                     [&activated](Workbook* book) { activated << book->name(); });
    EXPECT_EQ(app_.workbookCount(), 0) << "nothing is in the program before it is taken over";

    ui_->answerTexts({QStringLiteral("opensesame")});
    ui_->answerMessages({Answer::Ok});
    Workbook* first = lumisheet::OpenWorkbook(app_, pending[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(lumisheet::OpenWorkbook(app_, pending[1]), nullptr);
    EXPECT_EQ(lumisheet::OpenWorkbook(app_, pending[2]), nullptr);
    EXPECT_EQ(lumisheet::OpenWorkbook(app_, pending[3]), first);
    EXPECT_EQ(activated, (QStringList{"Plan.xlsx", "Secret.xlsx", "Plan.xlsx"}));
    ASSERT_EQ(ui_->asked().size(), 2u);
    EXPECT_EQ(ui_->asked()[0].kind, u"password");
    EXPECT_TRUE(ui_->asked()[1].text.contains(u".xlsx first")) << ui_->asked()[1].text.toStdString();
    EXPECT_EQ(window_->workbookTabs()->count(), 2);
}

// New gives an unsaved workbook; its first Save asks for a name, and a name typed without an
// extension becomes a .xlsx file that another program reads. Save As of an encrypted workbook
// keeps its file-open password on the new file and leaves the old file as it was.
TEST_F(WorkbookFilesTest, ANewWorkbookIsSavedUnderTheNameAskedAndSaveAsKeepsThePassword) {
    const QString folder = testsupport::freshDir(QStringLiteral("saved"));
    window_->newWorkbook();
    ASSERT_NE(app_.activeWorkbook(), nullptr);
    EXPECT_TRUE(app_.activeWorkbook()->fullName().isEmpty() ||
                !QFile::exists(app_.activeWorkbook()->fullName()));
    type(1, 1, QStringLiteral("17"));
    ui_->answerTexts({folder + QStringLiteral("/Budget")});
    ASSERT_TRUE(window_->saveActive());
    EXPECT_EQ(ui_->asked().back().kind, u"saveFile");
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("/Budget.xlsx")));
    const QString written = sheettest::runPython(QStringLiteral(R"(
import sys, openpyxl
print(openpyxl.load_workbook(sys.argv[1]).worksheets[0]["A1"].value)
)"),
                                                 {folder + QStringLiteral("/Budget.xlsx")});
    EXPECT_EQ(written.trimmed(), u"17");

    const QString secret =
        sheettest::copyOfFixture(QStringLiteral("encrypted.xlsx"), QStringLiteral("Secret.xlsx"));
    const QByteArray before = bytesOf(secret);
    ui_->answerTexts({QStringLiteral("opensesame"), folder + QStringLiteral("/Copy.xlsx")});
    ASSERT_NE(lumisheet::OpenWorkbook(app_, secret), nullptr);
    type(2, 1, QStringLiteral("5"));
    ASSERT_TRUE(window_->saveActiveAs());
    EXPECT_EQ(bytesOf(secret), before) << "the old file is left as it was";
    try {
        Workbook::open(folder + QStringLiteral("/Copy.xlsx"), platform::sheet::OpenOptions::readOnlyAccess());
        ADD_FAILURE() << "the copy opened without its password";
    } catch (const SheetError& error) {
        EXPECT_EQ(error.code(), SheetError::Code::PasswordRequired);
    }
}

} // namespace
