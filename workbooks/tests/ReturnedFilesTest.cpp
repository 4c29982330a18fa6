// The update run on user files that came back other than as cut, over the master workbook
// LibreOffice saved: a sheet the user added (and left active), the stamp of what a file was cut
// from (this row's, another budget's, sheet's or cut's, none), a file without the master's
// sheet, a damaged file, error values (and why), a circular formula, a note beside a values-only
// table, texts that look like numbers or dates; the guard rows of refused cells only when the
// file is merged; masters whose passwords are not stored; the master's date after a run stopped
// before its bookings; and a user file that worksheets of two budgets record.
#include "core/cOptions.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/MasterWorkbookPasswords.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/UserFileStamp.h"
#include "workbooks/cUpdate.h"
#include "workbooks/tests/LibreOfficeSheet.h"
#include "workbooks/tests/PlanBudgetFixture.h"

#include <QDir>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::sheet::CellValue;
using platform::sheet::OpenOptions;
using platform::ui::Answer;

class ReturnedFilesTest : public PlanBudgetFixture {
protected:
    // The user edits the file with openpyxl: body runs with `wb` loaded and `ws` its sheet of the
    // master sheet's name (or its active sheet); the file is then dated as returned.
    static void edit(const QString& path, const char* body) {
        sheettest::runPython(
            QStringLiteral("import sys, openpyxl\n"
                           "wb = openpyxl.load_workbook(sys.argv[1])\n"
                           "ws = wb[sys.argv[2]] if sys.argv[2] in wb.sheetnames else wb.active\n") +
                QString::fromUtf8(body) + QStringLiteral("\nwb.save(sys.argv[1])\n"),
            {path, QFileInfo(path).completeBaseName()});
        markReturned(path);
    }

    // Dates the file later again: a new version of it.
    static void touchLater(const QString& path, int seconds) {
        const qint64 at = QFileInfo(path).lastModified().toSecsSinceEpoch() + seconds;
        const timespec times[2] = {{at, 0}, {at, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }

    // The user types B2 = 150 into the file with the workbook layer, which keeps its stamp, as
    // the user's spreadsheet program does; the stamp first changed as `change` says, the one
    // sheet renamed when a name is given.
    static void restamp(const QString& path, const std::function<void(workbooks::UserFileStamp&)>& change,
                        const QString& renameTo = {}) {
        std::unique_ptr<platform::sheet::Workbook> book = platform::sheet::Workbook::open(path);
        std::optional<workbooks::UserFileStamp> stamp = workbooks::ReadUserFileStamp(*book);
        ASSERT_TRUE(stamp.has_value()) << "the cut stamps every user file";
        change(*stamp);
        workbooks::WriteUserFileStamp(*book, *stamp);
        if (!renameTo.isEmpty())
            book->renameSheet(book->sheet(0), renameTo);
        book->sheet(0).setEntry({2, 2}, QStringLiteral("150"));
        book->save();
        book->close();
    }

    // The file as one cut before stamps were written: without its custom properties.
    static void unstamp(const QString& path) {
        sheettest::runPython(
            QStringLiteral("import sys, zipfile, shutil\n"
                           "shutil.move(sys.argv[1], sys.argv[1] + '.stamped')\n"
                           "with zipfile.ZipFile(sys.argv[1] + '.stamped') as z, "
                           "zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as out:\n"
                           "    for item in z.infolist():\n"
                           "        if item.filename != 'docProps/custom.xml':\n"
                           "            out.writestr(item, z.read(item.filename))\n"),
            {path});
        std::unique_ptr<platform::sheet::Workbook> book =
            platform::sheet::Workbook::open(path, OpenOptions::readOnlyAccess());
        ASSERT_FALSE(workbooks::ReadUserFileStamp(*book).has_value());
    }

    static void editWithLibreOffice(const QString& path, const char* cells) {
        sheettest::runPythonFile(testsupport::fixturePath(QStringLiteral("lo_cells.py")),
                                 {QStringLiteral("edit"), path, QString::fromUtf8(cells)});
    }

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeAll(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // The master workbook as LibreOffice saved it, for the next case of a table.
    // A round starts from nothing: the master copied again, the user files of the round before
    // gone (a cut would ask before replacing their answers, which no run merged).
    void freshMaster() {
        QFile::remove(master_);
        copyMaster(QStringLiteral("Budget.xlsx"), masters_);
        for (const char* folder : {"North", "South"})
            QDir(masters_ + u'/' + QString::fromLatin1(folder)).removeRecursively();
    }

    static CellValue valueOf(const QString& path, const char* sheet, const char* address) {
        std::unique_ptr<platform::sheet::Workbook> book =
            platform::sheet::Workbook::open(path, OpenOptions::readOnlyAccess());
        const CellValue value =
            book->sheet(QString::fromLatin1(sheet))
                .value(*platform::sheet::CellAddress::parseA1(QString::fromLatin1(address)));
        book->close();
        return value;
    }
};

// Whole sheet or values only, a sheet the user added and saved active is passed over: the
// master sheet's own sheet of the file is merged.
TEST_F(ReturnedFilesTest, AnAddedSheetIsNeverComparedWithTheMaster) {
    for (const bool valuesOnly : {false, true}) {
        SCOPED_TRACE(valuesOnly ? "values only" : "whole sheet");
        freshMaster();
        cut("Budget.xlsx", valuesOnly);
        edit(userFile("North", "Sales"), "ws['B2'] = 150\n"
                                         "notes = wb.create_sheet('Notes')\n"
                                         "notes['A1'] = 'my notes'\n"
                                         "wb.active = wb.sheetnames.index('Notes')");
        testsupport::ScopedScriptedUi ui;
        run(workbooks::kAcceptChanges);
        EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
        EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
        EXPECT_EQ(cell(master_, "Sales", "A1"), "Item");
        EXPECT_EQ(state("Sales"), "0|0|0|merged");
    }
}

// The stamp decides whose file a returned file is: one stamped for this worksheet row is merged
// (after LibreOffice saved it; with its one sheet renamed, in a values-only cut), one stamped for
// another budget, another sheet or an earlier cut is refused with a message that names both; a
// file without a stamp, as files were cut before, is merged by its sheet's name -- and a single
// sheet of another name is then another sheet's, and refused.
TEST_F(ReturnedFilesTest, TheStampDecidesWhoseFileItIs) {
    const QString path = userFile("North", "Sales");
    const struct {
        const char* name;
        bool valuesOnly;
        std::function<void(const QString&)> spoil; // after the cut; types B2 = 150 its own way
        const char* refusal;                       // a part of the message; "" when merged
    } cases[] = {
        {"stamped for this row, saved by LibreOffice", false,
         [](const QString& file) { editWithLibreOffice(file, R"([[1, "B2", "150"]])"); }, ""},
        {"stamped for another budget", false,
         [](const QString& file) {
             restamp(file, [](workbooks::UserFileStamp& stamp) {
                 stamp.budget = "Other";
                 stamp.cutId = "20250101T080000Z-0000abcd";
             });
         },
         "Sales.xlsx was cut from the sheet 'Sales' of Budget.xlsx in the budget 'Other' (cut "
         "20250101T080000Z-0000abcd), not from the sheet 'Sales' of Budget.xlsx in the budget 'Plan' (cut "},
        {"stamped for another sheet", false,
         [](const QString& file) {
             restamp(file, [](workbooks::UserFileStamp& stamp) { stamp.worksheet = "Costs"; });
         },
         "Sales.xlsx was cut from the sheet 'Costs' of Budget.xlsx in the budget 'Plan'"},
        {"stamped by an earlier cut", false,
         [this](const QString& file) {
             const QByteArray earlier = readAll(file);
             cut();
             writeAll(file, earlier);
             restamp(file, [](workbooks::UserFileStamp&) {});
         },
         ", not from the sheet 'Sales' of Budget.xlsx in the budget 'Plan' (cut "},
        {"values only, its sheet renamed, stamped for this row", true,
         [](const QString& file) {
             restamp(
                 file, [](workbooks::UserFileStamp&) {}, "Sheet1");
         },
         ""},
        {"values only, its sheet renamed, no stamp", true,
         [](const QString& file) {
             restamp(
                 file, [](workbooks::UserFileStamp&) {}, "Sheet1");
             unstamp(file);
         },
         "it holds no worksheet named 'Sales' (its sheets: Sheet1)."},
        {"no stamp, as cut before stamps", false,
         [](const QString& file) {
             restamp(file, [](workbooks::UserFileStamp&) {});
             unstamp(file);
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM Errors");
        freshMaster();
        cut("Budget.xlsx", c.valuesOnly);
        c.spoil(path);
        markReturned(path);
        testsupport::ScopedScriptedUi ui;
        run(workbooks::kAcceptChanges);
        if (!*c.refusal) {
            EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
            EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
            EXPECT_EQ(state("Sales"), "0|0|0|merged");
            continue;
        }
        EXPECT_EQ(ui->messageTexts().size(), 1);
        const QString message = ui->messageTexts().join(u'|');
        EXPECT_TRUE(message.contains(QStringLiteral("The user file '%1' is not merged: ").arg(path)))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.refusal))) << message.toStdString();
        EXPECT_EQ(cell(master_, "Sales", "B2"), "100");
        EXPECT_EQ(state("Sales"), "1|1|0|as cut");
        EXPECT_EQ(rows("SELECT UF_name, UFPassArrayFailed FROM Errors"), QStringList{"Sales.xlsx|1"});
    }
}

// A file that cannot be used as a whole is named in its message, not merged, and logged once
// for each version of it.
TEST_F(ReturnedFilesTest, AnUnusableFileIsNamedLoggedOncePerVersionAndNotMerged) {
    const struct {
        const char* name;
        std::function<void(const QString&)> spoil;
        const char* reason; // a part of the errors row's reason
    } cases[] = {
        {"no sheet of the master's name",
         [](const QString& path) {
             edit(path, "ws.title = 'Data'\nws['B2'] = 150\nwb.create_sheet('Notes')");
         },
         "no worksheet named 'Sales'"},
        {"garbage",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(QByteArray(3000, 'x'));
             file.close();
             markReturned(path);
         },
         ""},
        {"cut short",
         [](const QString& path) {
             edit(path, "ws['B2'] = 150");
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.resize(file.size() * 2 / 3));
             file.close();
             markReturned(path);
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        execute("DELETE FROM Errors");
        freshMaster();
        cut();
        const QByteArray before = digest(master_);
        const QString path = userFile("North", "Sales");
        c.spoil(path);
        returnFile(userFile("South", "Costs"), {{"B2", "60"}});

        testsupport::ScopedScriptedUi ui;
        run(workbooks::kAcceptChanges);
        ASSERT_EQ(ui->messageTexts().size(), 1);
        EXPECT_TRUE(ui->messageTexts().front().contains(
            QStringLiteral("The user file '%1' is not merged: ").arg(path)))
            << ui->messageTexts().front().toStdString();
        EXPECT_EQ(cell(master_, "Sales", "B2"), "100");
        EXPECT_EQ(cell(master_, "Costs", "B2"), "60") << "the run goes on with the next file";
        EXPECT_NE(digest(master_), before);
        EXPECT_EQ(state("Sales"), "1|1|0|as cut") << "left waiting, marked corrupt";
        EXPECT_EQ(rows("SELECT UF_name, MF_Name, UFPassArrayFailed FROM Errors"),
                  QStringList{"Sales.xlsx|Budget.xlsx|1"});
        EXPECT_TRUE(
            scalar("SELECT Change_Value FROM Errors").toString().contains(QString::fromUtf8(c.reason)));

        run(workbooks::kAcceptChanges);
        EXPECT_EQ(errorCount(), 1) << "the same version is logged once";
        touchLater(path, 120);
        run(workbooks::kAcceptChanges);
        EXPECT_EQ(errorCount(), 2) << "a new version is logged again";
    }
}

// A changed cell whose value is an error would carry it into the master's totals: the file is
// refused as for a corrupted formula, with a question that says what the cell holds.
TEST_F(ReturnedFilesTest, ErrorValuesAreRefusedSayingWhatTheCellHolds) {
    const struct {
        bool valuesOnly;
        const char* typed;
        const char* cell;
        QString question;
    } cases[] = {
        {true, "ws['B3'] = '=1/0'", "B3", workbooks::kErrorValueText.arg("Sales.xlsx", "B3", "#DIV/0!")},
        {false, "ws['B3'] = '=Rates!B1*1000'", "B3",
         workbooks::kForeignSheetText.arg("Sales.xlsx", "B3", "Rates")},
        {true, "ws['B3'] = '=Rates!B1*1000'", "B3",
         workbooks::kForeignSheetText.arg("Sales.xlsx", "B3", "Rates")},
        {false, "ws['C4'] = '=B4/0'", "C4", workbooks::kErrorValueText.arg("Sales.xlsx", "C4", "#DIV/0!")},
        {false, "ws['B3'] = '=#REF!*2'", "B3", workbooks::kDeletedReferenceText.arg("Sales.xlsx", "B3")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        execute("DELETE FROM Errors");
        freshMaster();
        cut("Budget.xlsx", c.valuesOnly);
        const QByteArray before = digest(master_);
        edit(userFile("North", "Sales"), (std::string("ws['B2'] = 150\n") + c.typed).c_str());
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::Yes});
        run(workbooks::kAcceptChanges);
        EXPECT_EQ(ui->messageTexts(), QStringList{c.question});
        EXPECT_EQ(cell(master_, "Sales", "B2"), "100") << "nothing of the file is written";
        EXPECT_EQ(digest(master_), before) << "the master and its totals stay as they were";
        EXPECT_EQ(rows("SELECT A1Style, Corrupt_Error FROM Errors"),
                  QStringList{QString::fromLatin1(c.cell) + "|1"});
        EXPECT_EQ(state("Sales"), "1|1|0|as cut");
    }
}

// A note the user typed beside the table of a values-only file is no part of the merge: the
// question names it and merges the rest at Yes; at No the file waits, marked.
TEST_F(ReturnedFilesTest, AValueBesideAValuesOnlyTableIsLeftOutAtTheUsersWord) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        execute("DELETE FROM Errors");
        freshMaster();
        cut("Budget.xlsx", true);
        const QByteArray before = digest(master_);
        edit(userFile("North", "Sales"), "ws['B2'] = 150\nws['G3'] = 'ask Bob about rent'");
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({answer});
        run(workbooks::kAcceptChanges);
        EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kValueOutsideBlockText.arg(
                                          "Sales.xlsx", "G3", "ask Bob about rent")});
        EXPECT_EQ(rows("SELECT A1Style, Change_Value, RecordLength_Error, Corrupt_Error FROM Errors"),
                  QStringList{"G3|ask Bob about rent|1|0"});
        if (answer == Answer::Yes) {
            EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
            EXPECT_EQ(cell(master_, "Sales", "G3"), "") << "the note stays out of the master";
            EXPECT_EQ(state("Sales"), "0|0|0|merged");
        } else {
            EXPECT_EQ(digest(master_), before);
            EXPECT_EQ(state("Sales"), "1|1|0|as cut");
        }
    }
    // Several: counted, the first named; a Yes takes the rest.
    execute("DELETE FROM Errors");
    freshMaster();
    cut("Budget.xlsx", true);
    edit(userFile("North", "Sales"), "ws['B2'] = 175\nws['G3'] = 'note'\nws['A9'] = 'more'");
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(),
              QStringList{workbooks::kValuesOutsideBlockText.arg("Sales.xlsx", "A9", "more", "2")});
    EXPECT_EQ(cell(master_, "Sales", "B2"), "175");
}

TEST_F(ReturnedFilesTest, ACircularFormulaIsRefusedBeforeTheFirstWrite) {
    cut();
    const QByteArray before = digest(master_);
    // C2 feeds D2 = B2+C2; the user makes C2 read D2. B2's formula is sound.
    edit(userFile("North", "Sales"), "ws['B2'] = '=40+60'\nws['C2'] = '=D2'");
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::Yes});
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kCircularFormulaText.arg("Sales.xlsx", "C2")});
    EXPECT_EQ(digest(master_), before) << "no write, no save";
    EXPECT_EQ(rows("SELECT A1Style, MF_Value, Change_Value, Corrupt_Error FROM Errors"),
              QStringList{"C2|110|=D2|1"});

    // The same file without the circle goes in, its formula with it.
    edit(userFile("North", "Sales"), "ws['C2'] = 115");
    ui->clear();
    run(workbooks::kAcceptChanges);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(cell(master_, "Sales", "B2", true), "=40+60");
    EXPECT_EQ(LibreOfficeSheet(master_, 1)[1], "North,100,115,215,10.75");
}

// A text of the user file is written as the text it is, however it looks.
TEST_F(ReturnedFilesTest, TextCellsAreWrittenAsText) {
    for (const bool valuesOnly : {false, true}) {
        SCOPED_TRACE(valuesOnly ? "values only" : "whole sheet");
        freshMaster();
        cut("Budget.xlsx", valuesOnly);
        edit(userFile("North", "Sales"), "ws['A2'] = '007'\nws['A3'] = '3-4'\nws['A4'] = '1/2'\n"
                                         "ws['A1'] = 'TRUE'\nws['B2'] = 150");
        testsupport::ScopedScriptedUi ui;
        run(workbooks::kAcceptChanges);
        EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
        for (const auto& [address, text] :
             {std::pair{"A2", "007"}, {"A3", "3-4"}, {"A4", "1/2"}, {"A1", "TRUE"}}) {
            const CellValue value = valueOf(master_, "Sales", address);
            EXPECT_EQ(value.type, CellValue::Type::Text) << address;
            EXPECT_EQ(value.text, QString::fromLatin1(text)) << address;
        }
        EXPECT_EQ(valueOf(master_, "Sales", "B2"), CellValue::fromNumber(150)) << "a number stays a number";
    }
}

// The rows of the cells a values-only file may not change are written when its other cells
// are merged: not at a preview, not at an edit run that is cancelled.
TEST_F(ReturnedFilesTest, GuardRowsAreWrittenOnlyWhenTheFileIsMerged) {
    cut("Budget.xlsx", true);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}, {"D5", "9999"}});
    testsupport::ScopedScriptedUi ui;

    whenReviewing([](core::frmWait& wait) { wait.cmdContinue()->click(); });
    run(workbooks::kPreviewChanges);
    EXPECT_EQ(errorCount(), 0) << "preview";

    whenReviewing([](core::frmWait& wait) { wait.cmdCancelOps()->click(); });
    run(workbooks::kEditChanges);
    EXPECT_EQ(errorCount(), 0) << "edit cancelled";

    whenReviewing([](core::frmWait& wait) { wait.cmdContinue()->click(); });
    run(workbooks::kEditChanges);
    EXPECT_EQ(rows("SELECT A1Style, Formula_Error FROM Errors"), QStringList{"D5|1"});
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
}

// A master whose file asks for a password the budget does not keep is skipped as a password
// problem, with one message, and the run goes on with the next master.
TEST_F(ReturnedFilesTest, AMasterWhosePasswordIsNotStoredIsAPasswordProblem) {
    const QString folder = testsupport::freshDir("more");
    const QString reserved = copyMaster("Reserved.xlsx", folder);
    const QString locked = copyMaster("Encrypted.xlsx", folder, "Locked.xlsx");
    addMaster(13, "Reserved.xlsx", folder, "Plan", {}, kWritePassword);
    addMaster(12, "Locked.xlsx", folder, "Plan", kOpenPassword, kWritePassword);
    addWorksheet("Rates", 13, "Reserved.xlsx", "Plan", "East");
    addWorksheet("Summary", 12, "Locked.xlsx", "Plan", "West");
    cut();
    cut("Reserved.xlsx");
    cut("Locked.xlsx");
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    returnFile(userFile("East", "Rates", folder), {{"B1", "0.07"}});
    returnFile(userFile("West", "Summary", folder), {{"A1", "Income"}});
    execute("UPDATE MasterFiles SET WBWrite_Password = NULL WHERE ID_MasterFiles = 13");
    execute(
        "UPDATE MasterFiles SET WBOpen_Password = NULL, WBWrite_Password = NULL WHERE ID_MasterFiles = 12");
    const QByteArray reservedBefore = digest(reserved);
    const QByteArray lockedBefore = digest(locked);

    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(), (QStringList{workbooks::kMasterPasswordMissingText.arg("Locked.xlsx"),
                                               workbooks::kMasterPasswordMissingText.arg("Reserved.xlsx")}));
    EXPECT_EQ(rows("SELECT MF_Name, File_In_Use, Protected_Error FROM Errors ORDER BY MF_Name"),
              (QStringList{"Locked.xlsx|0|1", "Reserved.xlsx|0|1"}));
    EXPECT_EQ(digest(reserved), reservedBefore);
    EXPECT_EQ(digest(locked), lockedBefore);
    EXPECT_EQ(state("Rates"), "1|0|0|as cut");
    EXPECT_EQ(state("Summary"), "1|0|0|as cut");
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150") << "the other master is merged";
}

// A run stopped between a master's save and its bookings: the next run finds the values in the
// master, books the user file and the date of the master file it finds.
TEST_F(ReturnedFilesTest, AfterAStopBeforeTheBookingsTheNextRunBooksTheMastersDate) {
    cut();
    const QString cutTime =
        scalar("SELECT UF_Modified_Date FROM Worksheets WHERE Worksheet_Name = 'Sales'").toString();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    testsupport::ScopedScriptedUi ui;
    run(workbooks::kAcceptChanges);
    ASSERT_EQ(cell(master_, "Sales", "B2"), "150");
    // The bookings as a kill before them left them.
    execute("UPDATE UserFileTablesData SET UserFile_Update = 1 WHERE User_Filename = 'Sales.xlsx'");
    execute("UPDATE Worksheets SET UF_Modified_Date = ? WHERE Worksheet_Name = 'Sales'", {cutTime});
    execute("UPDATE MasterFiles SET MF_Modified_Date = NULL WHERE ID_MasterFiles = 11");
    const QByteArray saved = digest(master_);

    run(workbooks::kAcceptChanges);
    EXPECT_EQ(digest(master_), saved) << "nothing new to write";
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
    EXPECT_EQ(platform::db::parseDateTime(
                  scalar("SELECT MF_Modified_Date FROM MasterFiles WHERE ID_MasterFiles = 11").toString()),
              platform::sys::GetFileModifiedText(master_));
}

// Two budgets whose masters share a folder, a folder name and a sheet name would share the
// user file: the second cut refuses it, and a file that two rows record is merged into neither.
TEST_F(ReturnedFilesTest, AUserFileOfTwoBudgetsIsNeitherCutTwiceNorMerged) {
    const QString other = copyMaster("Budget.xlsx", masters_, "Other.xlsx");
    addMaster(21, "Other.xlsx", masters_, "Other");
    addWorksheet("Sales", 21, "Other.xlsx", "Other", "North");
    cut();
    const QByteArray planFile = digest(userFile("North", "Sales"));
    core::gOptions->BudgetNameContext = "Other";
    {
        testsupport::ScopedScriptedUi ui;
        EXPECT_EQ(workbooks::CreateUserFiles("Other.xlsx", true, false, false), workbooks::kCutFinished);
        EXPECT_EQ(ui->messageTexts(), QStringList{workbooks::kUserFileOfAnotherBudgetText.arg(
                                          userFile("North", "Sales"), "Other", "Sales", "Plan")});
    }
    EXPECT_EQ(digest(userFile("North", "Sales")), planFile);
    EXPECT_EQ(
        scalar("SELECT COUNT(*) FROM Worksheets WHERE Budget_Name = 'Other' AND UFNPath IS NOT NULL").toInt(),
        0);

    // Rows that a cut before this check left: both record the one file.
    execute(
        "UPDATE Worksheets SET UFNPath = ?, User_Filename = 'Sales.xlsx', UF_Create_Date = "
        "(SELECT UF_Create_Date FROM Worksheets WHERE Budget_Name = 'Plan' AND Worksheet_Name = 'Sales'), "
        "UF_Modified_Date = (SELECT UF_Modified_Date FROM Worksheets WHERE Budget_Name = 'Plan' AND "
        "Worksheet_Name = 'Sales') WHERE Budget_Name = 'Other'",
        {userFile("North", "Sales")});
    registerUserFiles();
    execute("UPDATE UserFileTablesData SET UserFile_Update = 1");
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    const QByteArray otherBefore = digest(other);
    for (const char* budget : {"Plan", "Other"}) {
        testsupport::ScopedScriptedUi ui;
        execute("DELETE FROM Errors");
        run(workbooks::kAcceptChanges, {}, QString::fromLatin1(budget));
        ASSERT_EQ(ui->messageTexts().size(), 1) << budget;
        EXPECT_TRUE(ui->messageTexts().front().contains(workbooks::kSharedUserFileText));
        EXPECT_EQ(rows("SELECT UF_name, UFPassArrayFailed, Budget_Name FROM Errors"),
                  QStringList{QStringLiteral("Sales.xlsx|1|") + budget});
    }
    EXPECT_EQ(cell(master_, "Sales", "B2"), "100");
    EXPECT_EQ(digest(other), otherBefore);
    EXPECT_EQ(state("Sales", "Plan"), "1|0|0|as cut");
}

} // namespace
