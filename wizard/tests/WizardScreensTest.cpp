// The Setup Budget Wizard's five pages as a person sees them, on a budget with two master
// workbooks, their worksheets and assigned user files. Every named control of a page lies
// inside the window at its design size. With LUMIDESK_SCREENSHOT_DIR set, each page is also
// saved there as a PNG picture to look at.
#include "WizardFixture.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using wizard::frmWizard;

class WizardScreens : public wizardtest::WizardFixture {};

TEST_F(WizardScreens, EveryPageShowsItsControlsInsideTheWindow) {
    execute("DELETE FROM Budgets");
    execute(
        "INSERT INTO Budgets (Budget_Name, Admin_Name, Active, Budget_Date) VALUES ('Plan 2027', 'Ann', 1, "
        "'2026-11-30 09:00:00'), ('Sales 2027', 'Ann', 1, '2026-12-01 10:30:00')");
    execute(
        "INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Folder_Name, Process_Date, Drive, Path, "
        "Budget_Name) VALUES (41, 'Operations.xlsx', 'Master', '2026-12-01 11:00:00', '/', '/srv/budgets', "
        "'Plan 2027'), (42, 'Staff.xlsx', 'Master', '2026-12-01 11:05:00', '/', '/srv/budgets', 'Plan "
        "2027')");
    execute("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, Master_File, Budget_Name, "
            "MasterFiles_ID, User_Filename, UFNPath, UF_Create_Date) VALUES "
            "('North', 1, 'North', 'Operations.xlsx', 'Plan 2027', 41, 'North.xlsx', "
            "'/srv/budgets/North/North.xlsx', '2026-12-02 08:00:00'), "
            "('South', 1, 'South', 'Operations.xlsx', 'Plan 2027', 41, 'South.xlsx', "
            "'/srv/budgets/South/South.xlsx', '2026-12-02 08:00:00'), "
            "('Summary', 0, NULL, 'Operations.xlsx', 'Plan 2027', 41, NULL, NULL, NULL), "
            "('Salaries', 1, 'North', 'Staff.xlsx', 'Plan 2027', 42, NULL, NULL, NULL)");
    execute("INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name, Folder_Name, "
            "Select_By_User, "
            "Users) VALUES ('North.xlsx', 'Operations.xlsx', 'Plan 2027', 'North', 1, 'West'), "
            "('South.xlsx', 'Operations.xlsx', 'Plan 2027', 'South', 1, 'Westfield')");
    testsupport::ScopedScriptedUi ui;
    frmWizard& form = open(1, QStringLiteral("Plan 2027"));
    for (int page = 1; page <= frmWizard::kPageCount; ++page) {
        form.EZWiz()->setCurrentPage(page);
        if (page == 2)
            form.tbxBudWiz1()->setText(QStringLiteral("Capital 2027"));
        if (page == 5)
            form.cmdUserList_Click();
        QApplication::processEvents();
        QWidget* shown = form.EZWiz()->page(page);
        for (QWidget* child : shown->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(&form) || child->objectName().isEmpty() ||
                child->objectName().startsWith(QLatin1String("qt_")))
                continue;
            const QRect area(child->mapTo(&form, QPoint(0, 0)), child->size());
            EXPECT_TRUE(form.rect().contains(area)) << page << ": " << child->objectName().toStdString();
        }
        testsupport::saveScreenshot(form, QStringLiteral("wizard-page%1").arg(page));
    }
    EXPECT_TRUE(ui->messageTexts().isEmpty()) << ui->messageTexts().join(QLatin1Char('|')).toStdString();
}

} // namespace
