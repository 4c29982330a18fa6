// The add-in's start and shut-down in-process, on a real master database and real settings: the
// migration offer with its answers and their settings, files and compaction, the master-database
// check, the splash, the options object and its three operations, the event sink, the windows
// closed at the shut-down, the titles of the add-in's messages.
#include "lumicell/AddIn.h"

#include "AddInFixture.h"
#include "core/SharedDatabase.h"
#include "core/cConnection.h"
#include "core/startup/ReplacementOffer.h"
#include "core/startup/frmAbout.h"
#include "lumicell/ParentToExcel.h"
#include "lumicell/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/Presence.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using lumicelltest::AddInFolders;
using lumicelltest::setting;
using lumicelltest::writeSetting;
using platform::sys::kAddInApplication;
using platform::sys::kDesktopApplication;
using platform::ui::Answer;

QStringList budgetsIn(const QString& path) {
    platform::db::Connection db = testsupport::openDatabaseFile(path);
    QStringList names;
    auto rows = platform::db::Recordset::open(db, QStringLiteral("SELECT Budget_Name FROM Budgets"));
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    return names;
}

// The operations the wait window showed, each time its operation row was painted.
class WaitOperations : public QObject {
public:
    QStringList seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("lblSysOperation")) {
            const QString text = static_cast<QLabel*>(watched)->text();
            if (!text.isEmpty() && !seen.contains(text))
                seen << text;
        }
        return false;
    }
};

class AddInTest : public lumicelltest::AddInFixture {
protected:
    static bool loaded(const QString& form) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return platform::ui::LoadedWindows::isLoaded(form);
    }
    // Frees pages in the master database, so a compaction shows (no free page is left after it).
    void leaveFreePages() {
        platform::db::Connection db = folders_.openMaster();
        db.execute(QStringLiteral("CREATE TABLE Scratch (Filler TEXT)"));
        for (int i = 0; i < 200; ++i)
            db.execute(QStringLiteral("INSERT INTO Scratch VALUES (?)"), {QString(2000, u'x')});
        db.execute(QStringLiteral("DROP TABLE Scratch"));
        ASSERT_GT(freePages(), 0);
    }
    qint64 freePages() const {
        return folders_.openMaster().scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong();
    }
    // A previous database with a budget of its own.
    void makePreviousDatabase() {
        AddInFolders::copyBuiltMaster(folders_.previousPath());
        testsupport::openDatabaseFile(folders_.previousPath())
            .execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Carried over', 1)"));
    }
};

// --- the migration offer ------------------------------------------------------------------------

TEST_F(AddInTest, TheOfferIsMadeWhenTheDesktopProgramsSettingIsSetAndCancelStopsTheStart) {
    writeSetting(kDesktopApplication, "Runtime", "ReplaceDB", QStringLiteral("1"));
    makePreviousDatabase();
    ui_->answerMessages({Answer::Cancel});
    lumicell::OnOpenWorkBook(app_);
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].text, u"The database has been replaced with a newer version.\nDo you want to "
                                    u"migrate your data?");
    EXPECT_EQ(ui_->asked()[0].title, u"LumivaneXL");
    EXPECT_EQ(ui_->asked()[0].buttons, platform::ui::Buttons::YesNoCancel);
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"1");
    EXPECT_EQ(setting(kAddInApplication, "Runtime", "ReplaceDB"), u"1");
    EXPECT_TRUE(lumicell::gOptions()->DisplayLumiAlerts.isEmpty()) << "the options were not read";
    EXPECT_FALSE(loaded(lumicell::kAboutForm)) << "no splash";
    EXPECT_TRUE(QFile::exists(folders_.previousPath()));
}

TEST_F(AddInTest, YesMigratesDeletesThePreviousFileClearsTheSettingsAndCompacts) {
    writeSetting(kDesktopApplication, "Runtime", "ReplaceDB", QStringLiteral("1"));
    writeSetting(kAddInApplication, "Runtime", "InstallSample", QStringLiteral("1"));
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    makePreviousDatabase();
    leaveFreePages();
    ui_->answerMessages({Answer::Yes});
    WaitOperations wait;
    qApp->installEventFilter(&wait);
    lumicell::OnOpenWorkBook(app_);
    qApp->removeEventFilter(&wait);
    EXPECT_EQ(ui_->asked().size(), 1u);
    EXPECT_TRUE(budgetsIn(folders_.masterPath()).contains(u"Carried over"));
    // The migration and the sweep after it showed their progress in the add-in's wait window.
    EXPECT_EQ(wait.seen, (QStringList{QStringLiteral("Migrating old data to new table."),
                                      QStringLiteral("Checking and cleaning database tables.")}));
    EXPECT_FALSE(QFile::exists(folders_.previousPath()));
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"0");
    EXPECT_EQ(setting(kAddInApplication, "Runtime", "ReplaceDB"), u"0");
    EXPECT_EQ(setting(kAddInApplication, "Runtime", "InstallSample"), u"0");
    EXPECT_FALSE(lumicell::gOptions()->InstallSample);
    EXPECT_EQ(freePages(), 0) << "the master database was compacted";
    EXPECT_EQ(lumicell::gOptions()->DisplayLumiAlerts, u"True");
}

TEST_F(AddInTest, YesWithThePreviousFileMissingSaysSoStillCompactsAndAsksAgainNextTime) {
    writeSetting(kDesktopApplication, "Runtime", "ReplaceDB", QStringLiteral("1"));
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    leaveFreePages();
    ui_->answerMessages({Answer::Yes, Answer::Ok});
    lumicell::OnOpenWorkBook(app_);
    ASSERT_EQ(ui_->asked().size(), 2u);
    EXPECT_EQ(ui_->asked()[1].text,
              u"The database file to migrate 'oldlumimaster.mdb' is missing.  Re-install from its source.");
    EXPECT_EQ(ui_->asked()[1].title, u"LumivaneXL");
    EXPECT_EQ(freePages(), 0);
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"1");
}

// A migration that fails keeps the previous file and both settings: nothing is lost and the offer
// comes again. The failure ends OnOpenWorkBook, as every failure of the add-in's start does.
TEST_F(AddInTest, AFailedMigrationKeepsThePreviousFileAndTheSetting) {
    writeSetting(kDesktopApplication, "Runtime", "ReplaceDB", QStringLiteral("1"));
    {
        QFile previous(folders_.previousPath());
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("this is no database at all, but it is the only copy of the old data");
    }
    ui_->answerMessages({Answer::Yes});
    EXPECT_THROW(lumicell::OnOpenWorkBook(app_), std::exception);
    EXPECT_TRUE(QFile::exists(folders_.previousPath()));
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"1");
    EXPECT_EQ(setting(kAddInApplication, "Runtime", "ReplaceDB"), u"1");
}

TEST_F(AddInTest, NoDeletesAPresentPreviousFileAndClearsTheDesktopSetting) {
    writeSetting(kDesktopApplication, "Runtime", "ReplaceDB", QStringLiteral("1"));
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    ui_->answerMessages({Answer::No, Answer::No});
    lumicell::OnOpenWorkBook(app_);
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"1") << "no file: nothing changes";

    makePreviousDatabase();
    lumicell::OnOpenWorkBook(app_);
    EXPECT_FALSE(QFile::exists(folders_.previousPath()));
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"0");
    EXPECT_FALSE(budgetsIn(folders_.masterPath()).contains(u"Carried over"));
}

// While the desktop program works on the local database (its presence), the migration is refused
// with the reason; the previous file and the setting stay for the next start.
TEST_F(AddInTest, TheMigrationWaitsForTheOtherProgram) {
    writeSetting(kDesktopApplication, "Runtime", "ReplaceDB", QStringLiteral("1"));
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    makePreviousDatabase();
    auto desktop = platform::db::PresenceHold::take(folders_.masterPath());
    ui_->answerMessages({Answer::Yes, Answer::Ok, Answer::Ok});
    lumicell::OnOpenWorkBook(app_);
    ASSERT_GE(ui_->asked().size(), 2u);
    EXPECT_EQ(ui_->asked()[1].text, QStringLiteral("The data can't be migrated") + core::kOtherProgramText);
    EXPECT_TRUE(QFile::exists(folders_.previousPath()));
    EXPECT_EQ(setting(kDesktopApplication, "Runtime", "ReplaceDB"), u"1");
}

// --- the master-database check and the splash ----------------------------------------------------

TEST_F(AddInTest, AMissingMasterDatabaseIsToldUnderTheDesktopTitleAndTheAddInStaysStarted) {
    ASSERT_TRUE(QFile::remove(folders_.masterPath()));
    ui_->answerMessages({Answer::Ok});
    lumicell::OnOpenWorkBook(app_);
    EXPECT_EQ(ui_->messageTexts(), QStringList{"The database file is missing.  Copy it to " +
                                               folders_.masterPath() + " or re-install Lumivane."});
    EXPECT_EQ(ui_->asked()[0].title, u"Lumivane");
    EXPECT_FALSE(loaded(lumicell::kAboutForm));
    ASSERT_NE(lumicell::gOptions(), nullptr);
    EXPECT_TRUE(lumicell::gOptions()->DisplayLumiAlerts.isEmpty());
}

// A database made before the program kept its own tables gets them when the add-in starts.
TEST_F(AddInTest, ADatabaseOfAnEarlierVersionGetsTheTablesTheProgramAdds) {
    const QStringList added{QStringLiteral("UserFileCuts"), QStringLiteral("CollectedMessages"),
                            QStringLiteral("ReportedMessages")};
    for (const QString& table : added)
        testsupport::openDatabaseFile(folders_.masterPath()).dropTable(table);
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    lumicell::OnOpenWorkBook(app_);
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join(u'|').toStdString();
    for (const QString& table : added)
        EXPECT_TRUE(testsupport::openDatabaseFile(folders_.masterPath()).table(table).has_value())
            << table.toStdString();
}

TEST_F(AddInTest, TheSplashIsTheAddInsAboutBoxOnTheSpreadsheetProgramsWindow) {
    host_.show();
    lumicell::OnOpenWorkBook(app_);
    auto* box = qobject_cast<core::frmAbout*>(platform::ui::LoadedWindows::find(lumicell::kAboutForm));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), &host_);
    EXPECT_TRUE(box->isWindow());
    EXPECT_TRUE(box->Timer1()->isActive());
    EXPECT_EQ(box->Timer1()->interval(), 5000);
    EXPECT_EQ(box->lblProductName()->text(), u"LumivaneXL");
    EXPECT_EQ(box->windowTitle(), u"About LumivaneXL");
    QMetaObject::invokeMethod(box->Timer1(), "timeout", Qt::DirectConnection);
    EXPECT_FALSE(loaded(lumicell::kAboutForm));
    EXPECT_TRUE(host_.isVisible()) << "the add-in's box shows no window of its own when it closes";

    // The box's check box stores the add-in's setting; with it set the next start shows no box.
    lumicell::AboutBudget();
    box = qobject_cast<core::frmAbout*>(platform::ui::LoadedWindows::find(lumicell::kAboutForm));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->Timer1()->isActive());
    box->chkSplash()->click();
    EXPECT_EQ(setting(kAddInApplication, "Options", "Splash"), u"1");
    EXPECT_EQ(setting(kDesktopApplication, "Options", "Splash"), u"<none>");
    box->close();
    lumicell::OnOpenWorkBook(app_);
    EXPECT_FALSE(loaded(lumicell::kAboutForm));
    EXPECT_EQ(setting(kAddInApplication, "Runtime", "Nope"), u"1");
}

// A dialog of the add-in becomes a window owned by the spreadsheet program's main window; without
// one it stays a window of its own.
TEST_F(AddInTest, ParentToExcelMakesTheMainWindowTheOwner) {
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    lumicell::OnOpenWorkBook(app_);
    QPointer<QWidget> dialog = new QWidget(nullptr, Qt::Dialog);
    lumicell::ParentToExcel(*dialog);
    EXPECT_EQ(dialog->parentWidget(), &host_);
    EXPECT_TRUE(dialog->isWindow());
    app_.setMainWindow(nullptr);
    QWidget free(nullptr, Qt::Dialog);
    lumicell::ParentToExcel(free);
    EXPECT_EQ(free.parentWidget(), nullptr);
    delete dialog.data();
}

// --- the options object ----------------------------------------------------------------------------

TEST_F(AddInTest, GetMFInfoSplitsTheMasterFileIntoStemAndExtension) {
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    lumicell::OnOpenWorkBook(app_);
    lumicell::cOptions& options = *lumicell::gOptions();
    options.MasterName = QStringLiteral("kept");
    options.GetMFInfo(&app_); // no workbook open: nothing throws, nothing of the workbook changes
    EXPECT_EQ(options.MasterName, u"kept");
    EXPECT_TRUE(options.EmailReplys) << "Options\\EmailReplys absent reads True";

    const QString folder = testsupport::freshDir(QStringLiteral("books"));
    platform::sheet::Workbook& book = app_.add();
    book.saveAs(folder + QStringLiteral("/Budget.xlsx"));
    options.FormBldWSBig = true;
    writeSetting(kAddInApplication, "Options", "EmailReplys", QStringLiteral("0"));
    options.GetMFInfo(&app_);
    EXPECT_EQ(options.MasterFilename, u"Budget.xlsx");
    EXPECT_EQ(options.MasterName, u"Budget");
    EXPECT_EQ(options.TestXLS, u".xlsx");
    EXPECT_EQ(options.MFPath, folder);
    EXPECT_EQ(options.MFFullPath, folder + QStringLiteral("/Budget.xlsx"));
    EXPECT_FALSE(options.FormBldWSBig);
    EXPECT_FALSE(options.EmailReplys);

    app_.add(); // Book2, never saved: no extension, so no workbook the dialogs take
    options.GetMFInfo(&app_);
    EXPECT_EQ(options.MasterName, u"Book2");
    EXPECT_EQ(options.TestXLS, u"");
}

TEST_F(AddInTest, ReadValuesAndWriteValuesKeepTheCorruptedFileSetting) {
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    writeSetting(kAddInApplication, "Errors", "CorruptedFilename", QStringLiteral("Sales.xlsx"));
    lumicell::OnOpenWorkBook(app_);
    lumicell::cOptions& options = *lumicell::gOptions();
    EXPECT_EQ(options.CorruptedFilename, u"Sales.xlsx");
    options.AWBSet = QStringLiteral("as it was");
    options.ReadValues(&app_); // no workbook open: AWBSet stays
    EXPECT_EQ(options.AWBSet, u"as it was");
    EXPECT_FALSE(options.AppPath.isEmpty());
    options.CorruptedFilename = QStringLiteral("Other.xlsx");
    options.WriteValues();
    EXPECT_EQ(setting(kAddInApplication, "Errors", "CorruptedFilename"), u"");
    EXPECT_TRUE(options.UnloadForm);
}

// --- events, commands, shut-down ------------------------------------------------------------------

TEST_F(AddInTest, TheEventSinkKeepsTheOptionsOnTheActiveWorkbook) {
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    lumicell::OnOpenWorkBook(app_);
    lumicell::cOptions* first = lumicell::gOptions();
    app_.add();
    EXPECT_EQ(first->AWBSet, u"Book1");
    app_.add();
    EXPECT_EQ(first->AWBSet, u"Book2");
    app_.close(*app_.activeWorkbook());
    EXPECT_EQ(first->AWBSet, u"Book1") << "the workbook activated after the closing one";

    // A second start replaces the globals; the first sink no longer follows the events.
    lumicell::OnOpenWorkBook(app_);
    lumicell::cOptions* second = lumicell::gOptions();
    EXPECT_NE(second, first);
    EXPECT_EQ(second->AWBSet, u"Book1");
    app_.add();
    EXPECT_EQ(second->AWBSet, u"Book3");
}

TEST_F(AddInTest, CommandsBeforeTheStartFailAndAfterItOpenTheirWindows) {
    EXPECT_THROW(lumicell::Configure(), lumicell::NotStartedError);
    EXPECT_THROW(lumicell::AboutBudget(), lumicell::NotStartedError);
    EXPECT_THROW(lumicell::AppShutdown(), lumicell::NotStartedError);
    EXPECT_TRUE(ui_->asked().empty());

    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    lumicell::OnOpenWorkBook(app_);
    lumicell::BuildBudget();
    lumicell::RunBudget();
    lumicell::Configure();
    // Each command opens its window, owned by the program's window, and says nothing.
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    for (const QString& form :
         {lumicell::kBuildBudgetForm, lumicell::kRunBudgetForm, lumicell::kConfigureForm}) {
        ASSERT_TRUE(loaded(form)) << form.toStdString();
        EXPECT_EQ(platform::ui::LoadedWindows::find(form)->parentWidget(), &host_) << form.toStdString();
    }
}

// The shut-down closes every window of the add-in, whichever reference opened it, and returns the
// add-in to not started.
TEST_F(AddInTest, AppShutdownClosesTheOpenDialogsAndReleasesTheGlobals) {
    writeSetting(kAddInApplication, "Options", "Splash", QStringLiteral("1"));
    lumicell::OnOpenWorkBook(app_);
    lumicell::AboutBudget();
    // The Run Budget and Build Budget dialogs, as they register under their form names.
    auto* run = new QWidget(&host_, Qt::Window);
    run->setObjectName(lumicell::kRunBudgetForm);
    auto* build = new QWidget(&host_, Qt::Window);
    build->setObjectName(lumicell::kBuildBudgetForm);
    QPointer<QWidget> runAlive(run), buildAlive(build);
    run->show();
    build->show();
    lumicell::AppShutdown();
    EXPECT_FALSE(runAlive);
    EXPECT_FALSE(buildAlive);
    EXPECT_FALSE(loaded(lumicell::kAboutForm));
    EXPECT_EQ(lumicell::gOptions(), nullptr);
    EXPECT_EQ(core::gCnn, nullptr);
    EXPECT_EQ(setting(kAddInApplication, "Errors", "CorruptedFilename"), u"");
    EXPECT_THROW(lumicell::RunBudget(), lumicell::NotStartedError) << "a new OnOpenWorkBook is needed";
}

} // namespace
