// A master database with one default author, two folder names and two users, and helpers to
// open the Setup Budget Wizard on it and read its tables.
#pragma once

#include "core/cOptions.h"
#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/WizardControl.h"
#include "support/ScriptedUi.h"
#include "wizard/frmWizard.h"

#include <QCoreApplication>
#include <QEvent>

namespace wizardtest {

class WizardFixture : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        execute("INSERT INTO Admin (Admin_Name, Admin_Email_Address, \"Default\", RecType) "
                "VALUES ('Ann', 'ann@example.org', 1, 'Author'), ('Robot', 'robot@example.org', 0, 'Robot')");
        execute("INSERT INTO FolderNames (Folder_Name) VALUES ('North'), ('South')");
        execute("INSERT INTO UsersData (Users, Email_Address, Folder_Name) VALUES ('West', 'w@example.org', "
                "'North'), ('Westfield', 'wf@example.org', 'South')");
        execute("DELETE FROM Admin WHERE Admin_Name = '<Dummy record>'");
        execute("DELETE FROM FolderNames WHERE Folder_Name = '<Dummy record>'");
        execute("DELETE FROM UsersData WHERE Users = '<Dummy record>'");
    }

    void TearDown() override {
        delete wizard::frmWizard::loaded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MasterDbFixture::TearDown();
    }

    // The first column of the rows of a query, joined by "|".
    static QString rows(const char* sql, const QVariantList& params = {}) {
        return tableRows(QString::fromUtf8(sql), params, QString()).join(QLatin1Char('|'));
    }

    // Opens the wizard on a page with the budget context given, shown as a user sees it.
    wizard::frmWizard& open(int page, const QString& context = {}) {
        core::gOptions->WizPageRequest = static_cast<qint16>(page);
        core::gOptions->BudgetNameContext = context;
        auto* form = new wizard::frmWizard;
        form->show();
        return *form;
    }

    // The grid's row whose cell in the column shows the text; -1 when none does.
    static int rowOf(const platform::ui::EditGrid& grid, int column, const QString& text) {
        for (int r = 0; r < grid.rowCount(); ++r) {
            if (grid.cellText(r, column) == text)
                return r;
        }
        return -1;
    }
};

} // namespace wizardtest
