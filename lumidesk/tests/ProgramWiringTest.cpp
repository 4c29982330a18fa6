// The program's own wiring, as its start-up installs it: every hook through which a lower layer
// reaches the program is installed, every window a lower layer opens by name has its opener,
// and the wizard's Build Files (without Build All) registers the user files it cut through the
// installed register sync.
#include "core/GridBinding.h"
#include "lumidesk/ProgramHooks.h"
#include "platform/sys/ProgramHook.h"
#include "platform/ui/WindowOpeners.h"
#include "support/ChildProcess.h"
#include "wizard/tests/WizardFixture.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The form names that the program's sources open through platform::ui::openWindow.
QStringList formNamesOpenedByName() {
    const QString root = qEnvironmentVariable("LUMIVANE_SOURCE_DIR");
    const QRegularExpression call(QStringLiteral(R"(openWindow\(\s*QStringLiteral\(\s*"([^"]+)\"\s*\))"));
    QStringList names;
    QDirIterator files(root, {QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (path.contains(QStringLiteral("/tests/")) || path.contains(QStringLiteral("/build")))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        auto matches = call.globalMatch(QString::fromUtf8(file.readAll()));
        while (matches.hasNext())
            names << matches.next().captured(1);
    }
    names.removeDuplicates();
    return names;
}

TEST(ProgramWiring, EveryHookAndNamedWindowIsInstalled) {
    lumidesk::InstallProgramHooks();
    const std::vector<platform::sys::HookState> hooks = platform::sys::programHooks();
    QStringList names;
    for (const platform::sys::HookState& hook : hooks) {
        names << hook.name;
        EXPECT_TRUE(hook.installed) << hook.name.toStdString();
    }
    // The list is that of the hooks linked into the program: these must be among them.
    for (const char* expected :
         {"user-file register sync", "workbook opener", "sample-budget installation",
          "wizard's program routines", "release of the update engine", "data store library's wait window"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(expected))) << expected;

    const QStringList forms = formNamesOpenedByName();
    EXPECT_FALSE(forms.isEmpty()) << "the sources were not found";
    for (const QString& form : forms)
        EXPECT_TRUE(platform::ui::hasWindowOpener(form)) << form.toStdString();
}

class ProgramWiringBuild : public wizardtest::WizardFixture {};

// Build Files with Build All unticked, through the hooks the program installs: the user files
// cut from the highlighted rows get their register rows, so they can be assigned and merged.
TEST_F(ProgramWiringBuild, BuildFilesOfTheSelectionRegistersTheNewUserFiles) {
    lumidesk::InstallProgramHooks();
    const QString folder = testsupport::freshDir(QStringLiteral("masters"));
    const testsupport::ProgramResult made =
        testsupport::runPython({QStringLiteral("-c"),
                                QStringLiteral("import openpyxl, sys\n"
                                               "wb = openpyxl.Workbook(); wb.active.title = 'North'\n"
                                               "wb.create_sheet('East')\n"
                                               "for ws in wb.worksheets: ws['A1'] = 1; ws['A2'] = '=A1*2'\n"
                                               "wb.save(sys.argv[1])\n"),
                                folder + QStringLiteral("/Plan.xlsx")});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    execute("INSERT INTO Budgets (Budget_Name, Admin_Name) VALUES ('Plan', 'Ann')");
    execute("DELETE FROM UserFileTablesData");
    execute(
        "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) VALUES (31, 'Plan.xlsx', "
        "?, 'Plan')",
        {folder});
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, Select_By_User, "
        "Folder_Name) VALUES ('North', 'Plan.xlsx', 'Plan', 31, 1, 'North'), "
        "('East', 'Plan.xlsx', 'Plan', 31, 1, 'South')");

    testsupport::ScopedScriptedUi ui;
    wizard::frmWizard& form = open(4, QStringLiteral("Plan"));
    form.chkBuildAllFiles()->setChecked(false);
    form.chkOWAll()->setChecked(true);
    auto& grid = *form.dtWorksheets();
    grid.setRowSelection(platform::ui::RowSelection::MultipleRows);
    for (const char* sheet : {"North", "East"}) {
        const int row = rowOf(grid, 0, QString::fromLatin1(sheet));
        ASSERT_GE(row, 0) << sheet;
        grid.selectRange(row, row, true);
    }
    form.cmdBuildFiles_Click();

    EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT User_Filename || ':' || Folder_Name FROM UserFileTablesData "
                   "WHERE Budget_Name = 'Plan' ORDER BY User_Filename"),
              "East.xlsx:South|North.xlsx:North");
    EXPECT_EQ(form.assignments().control().Recordset().recordCount(), 2) << "page 5 shows them";
}

} // namespace
