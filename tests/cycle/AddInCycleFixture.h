// Fixture of the add-in's cycle tests: one program process with the real add-in loaded into
// Lumisheet's window, the master workbook (made by LibreOffice) open in it, and the steps the
// administrator takes there: the Build Budget dialog registers the master with the budget "Plan",
// cuts Sales (folder North, user Ann) and Costs (South, Bob) and assigns them (registerAndCut);
// the Run Budget dialog's Update merges the returned files, and a review can be met with what
// the administrator tries meanwhile (update).
#pragma once

#include "CycleFixture.h"
#include "lumisheet/AddInHost.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/WorkbookFiles.h"
#include "platform/sheet/Application.h"
#include "platform/ui/DataGrid.h"

#include <QApplication>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace cycletest {

using platform::sys::kAddInApplication;

inline const CycleUser kAnn{QStringLiteral("Ann"), QStringLiteral("ann@example.org")};
inline const CycleUser kBob{QStringLiteral("Bob"), QStringLiteral("bob@example.org")};
inline const QString kNewWorkbookQuestion = QStringLiteral(
    "This Excel file is new to Lumivane.  Add it to a budget?\nThis will not write data to the workbook.");
// Tabs of the Build Budget dialog.
inline constexpr int kCreateUserFilesTab = 2;
inline constexpr int kAssignUserFilesTab = 3;
// The refusal of a command while a run works.
inline const QString kRefusedDuringRun =
    QStringLiteral("Wait until the running operation has finished or has been cancelled.");

class AddInCycleFixture : public CycleFixture {
protected:
    void SetUp() override {
        CycleFixture::SetUp();
        for (const auto& [section, key, value] : {std::tuple{"Options", "Splash", "1"},
                                                  {"Options", "EmailReplys", "0"},
                                                  {"Runtime", "SetRunTab", "1"}})
            platform::sys::writeSetting(kAddInApplication, QString::fromLatin1(section),
                                        QString::fromLatin1(key), QString::fromLatin1(value));
        ASSERT_TRUE(host_.load(QStringLiteral(LUMICELL_LIBRARY)));
        window_ = std::make_unique<lumisheet::MainWindow>(app_, &host_);
        window_->resize(900, 600);
        window_->show();
        ASSERT_TRUE(host_.start(app_));
    }
    void TearDown() override {
        host_.shutDown();
        window_.reset();
        app_.closeAll();
        CycleFixture::TearDown();
    }

    // The budget's registration, cut and assignment as the administrator makes them in the
    // program: the master opened, the add-in's Build Budget dialog asks to add the workbook new
    // to the system to a budget (Plan, typed) and lists its sheets; Sales and Costs ticked with
    // their folders typed in part, Make cuts them beside the master, and on the Assign User
    // Files tab each user file gets its user, typed in part; OK closes the dialog. `prepare`
    // changes the master's file before it is opened.
    platform::sheet::Workbook* registerAndCut(const std::function<void(const QString&)>& prepare = {}) {
        using platform::ui::Answer;
        plan_ = copyMaster(QStringLiteral("Budget.xlsx"), masters_, QStringLiteral("Plan.xlsx"));
        if (prepare)
            prepare(plan_);
        platform::sheet::Workbook* master = lumisheet::OpenWorkbook(app_, plan_);
        if (!master)
            return nullptr;
        ui().clear();
        ui().answerMessages({Answer::Yes});
        ui().answerTexts({kBudget});
        QWidget& build = addInDialog("mnuBuildBudget", "frmBuild");
        EXPECT_EQ(ui().messageTexts(), QStringList{kNewWorkbookQuestion});
        EXPECT_EQ(rows("SELECT Budget_Name, Path FROM MasterFiles WHERE Master_File = 'Plan.xlsx'"),
                  QStringList{kBudget + u'|' + masters_});
        auto& tabs = control<QTabWidget>(build, "SSTab1");
        EXPECT_EQ(tabs.currentIndex(), kCreateUserFilesTab) << "a workbook just added opens there";
        auto& sheets = control<platform::ui::EditGrid>(build, "dtCUF");
        EXPECT_EQ(column(sheets, 1), (QStringList{"Sales", "Costs", "Rates", "Summary"}));
        for (const auto& [sheet, folder] : {std::pair{"Sales", "Nor"}, {"Costs", "Sou"}}) {
            const int row = static_cast<int>(column(sheets, 1).indexOf(QString::fromLatin1(sheet)));
            sheets.editCell(row, 0, 1);
            sheets.editCell(row, 2, QString::fromLatin1(folder));
        }
        testsupport::saveScreenshot(build, QStringLiteral("addin-build-create-user-files"));
        ui().clear();
        control<QPushButton>(build, "cmdOK").click(); // Make
        EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
        EXPECT_TRUE(master->saved()) << "the cut leaves the open master unchanged";

        tabs.setCurrentIndex(kAssignUserFilesTab);
        auto& assign = control<platform::ui::EditGrid>(build, "dtUFAssign");
        EXPECT_EQ(column(assign, 0), (QStringList{"Sales.xlsx", "Costs.xlsx"}));
        for (const auto& [row, typed] : {std::pair{0, "An"}, {1, "Bo"}})
            assign.editCell(row, 2, QString::fromLatin1(typed));
        EXPECT_EQ(column(assign, 2), (QStringList{kAnn.name, kBob.name}));
        testsupport::saveScreenshot(build, QStringLiteral("addin-build-assign-user-files"));
        control<QPushButton>(build, "cmdOK").click(); // OK on Assign User Files closes
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(ui().asked().empty()) << ui().messageTexts().join(u'|').toStdString();
        EXPECT_EQ(
            rows("SELECT User_Filename, Folder_Name, Users FROM UserFileTablesData WHERE Budget_Name = ? "
                 "ORDER BY User_Filename",
                 {kBudget}),
            (QStringList{"Costs.xlsx|South|Bob", "Sales.xlsx|North|Ann"}));
        return master;
    }

    // One of the add-in's dialogs, as its command on the program's add-in menu opens it.
    QWidget& addInDialog(const char* command, const char* form) {
        window_->findChild<QAction*>(QString::fromLatin1(command))->trigger();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String(form) && top->isVisible())
                return *top;
        ADD_FAILURE() << "no dialog " << form;
        return *window_;
    }
    QWidget& runBudget() { return addInDialog("mnuRunBudget", "frmRunBudget"); }

    static QStringList column(const platform::ui::DataGrid& grid, int col) {
        QStringList texts;
        for (int row = 0; row < grid.rowCount(); ++row)
            texts << grid.cellText(row, col);
        return texts;
    }
    template <class Control> static Control& control(QWidget& form, const char* name) {
        return *testsupport::control<Control>(form, QString::fromLatin1(name));
    }
    void showTab(QWidget& form, int tab, const QString& screenshot) {
        control<QTabWidget>(form, "SSTab1").setCurrentIndex(tab);
        testsupport::saveScreenshot(form, screenshot);
    }

    // The user takes the mailed file (or, answering again, the copy answered last time), types
    // into it (openpyxl, or LibreOffice) and mails it back.
    void answer(const CycleUser& user, const QString& file, const Typing& typed, bool withLibreOffice) {
        QString& path = copies_[user.name + u'/' + file];
        if (path.isEmpty()) {
            const auto mails = delivered();
            ASSERT_EQ(mails.count(file), 1u) << file.toStdString();
            path = testsupport::freshDir(QStringLiteral("user-") + user.name) + u'/' + file;
            QFile mailed(path);
            ASSERT_TRUE(mailed.open(QIODevice::WriteOnly));
            mailed.write(mails.at(file).attachment);
        }
        QFile saved(path);
        if (withLibreOffice) {
            QJsonArray cells;
            for (const auto& [cell, text] : typed)
                cells.append(QJsonArray{1, cell, text});
            sheettest::runPythonFile(
                testsupport::fixturePath(QStringLiteral("lo_cells.py")),
                {QStringLiteral("edit"), path,
                 QString::fromUtf8(QJsonDocument(cells).toJson(QJsonDocument::Compact))});
        } else {
            typeInto(path, typed);
        }
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        ASSERT_TRUE(pop3_->deliver(
            platform::mail::buildMessage({user.address, kRobotAddress, QStringLiteral("RE: Budget 2025"),
                                          QStringLiteral("Done."), file, saved.readAll()})
                .value()));
    }

    // ---- without mail: the folders and users of registerAndCut, and answers typed on disk -----
    void configureWithoutMail() {
        for (const char* folder : {"North", "South"})
            execute("INSERT INTO FolderNames (Folder_Name) VALUES (?)", {QString::fromLatin1(folder)});
        for (const CycleUser& user : {kAnn, kBob})
            execute("INSERT INTO UsersData (Users, Email_Address) VALUES (?, ?)", {user.name, user.address});
    }

    QString userFilePath(const char* folder, const char* sheet) const {
        return masters_ + u'/' + QString::fromLatin1(folder) + u'/' + QString::fromLatin1(sheet) +
               QStringLiteral(".xlsx");
    }

    // The user types into the user file where it lies (as one who saves it on the shared folder),
    // a second after its cut.
    static void answerOnDisk(const QString& path, const Typing& typed) {
        nextSecond();
        typeInto(path, typed);
    }

    // A cell of a workbook on disk as the workbook layer reads its value.
    static QString cellOnDisk(const QString& path, const char* sheet, const char* address) {
        std::unique_ptr<Workbook> book = Workbook::open(path, OpenOptions::readOnlyAccess());
        const QString text = book->sheet(QString::fromLatin1(sheet))
                                 .value(*platform::sheet::CellAddress::parseA1(QString::fromLatin1(address)))
                                 .toText();
        book->close();
        return text;
    }

    // Update in the Run Budget dialog in the change mode, with Save Master File ticked. At the
    // first review (the wait window's changes grid filled) `during` runs, then Continue is
    // clicked, and so at every later review (a click while no review waits changes nothing).
    // Answers the rows of the first review: cell, master value, user value.
    QStringList updateInRunBudget(QWidget& form, const QString& mode,
                                  const std::function<void(QWidget& wait)>& during = {}) {
        control<QTabWidget>(form, "SSTab1").setCurrentIndex(0);
        control<platform::ui::ComboList>(form, "cbxChgeDataMode").setText(mode);
        auto& save = control<QCheckBox>(form, "chkSave");
        if (!save.isChecked())
            save.click();
        QStringList reviewed;
        bool first = true;
        QTimer reviewer;
        reviewer.setInterval(50);
        QObject::connect(&reviewer, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* changes = top->objectName() == QLatin1String("frmWait")
                                    ? top->findChild<platform::ui::DataGrid*>(QStringLiteral("dtChangedData"))
                                    : nullptr;
                if (!changes || !top->isVisible() || changes->rowCount() == 0)
                    continue;
                auto* proceed = top->findChild<QPushButton*>(QStringLiteral("cmdContinue"));
                if (!proceed || !proceed->isVisible())
                    continue;
                if (first) {
                    first = false;
                    for (int row = 0; row < changes->rowCount(); ++row)
                        reviewed << changes->cellText(row, 0) + u'|' + changes->cellText(row, 1) + u'|' +
                                        changes->cellText(row, 3);
                    if (during)
                        during(*top);
                }
                proceed->click();
                return;
            }
        });
        reviewer.start();
        control<QPushButton>(form, "cmdOK").click();
        return reviewed;
    }

    platform::sheet::Application app_;
    lumisheet::AddInHost host_;
    std::unique_ptr<lumisheet::MainWindow> window_;
    std::map<QString, QString> copies_; // user/file: the user's own copy
};

} // namespace cycletest
