// The add-in started in-process on a real master database, with the three worksheet tabs of the
// Build Budget dialog (made by their factories) in a tab control of a stand-in dialog that is the
// options object's ActiveForm, and workbooks opened through the spreadsheet program's
// Application from copies of real fixtures.
#pragma once

#include "AddInFixture.h"
#include "SheetTestSupport.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "lumicell/BuildTabPages.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace lumicelltest {

class WorksheetTabsTest : public AddInFixture {
protected:
    void SetUp() override {
        AddInFixture::SetUp();
        startAddIn();
        // Not named as the real dialog: the add-in's shutdown unloads that one by its name.
        dialog_.setObjectName(QStringLiteral("standInBuildDialog"));
        tabs_ = new QTabWidget(&dialog_);
        (new QVBoxLayout(&dialog_))->addWidget(tabs_);
        make_ = lumicell::MakeWorksheetsPage(tabs_);
        run_ = lumicell::RunMacrosPage(tabs_);
        range_ = lumicell::RangePage(tabs_);
        tabs_->addTab(make_, QStringLiteral("Make Worksheets"));
        tabs_->addTab(run_, QStringLiteral("Run Macros"));
        tabs_->addTab(range_, QStringLiteral("Range"));
        tabs_->setTabEnabled(2, false); // as the dialog switches the Range tab off when it loads
        lumicell::gOptions()->ActiveForm = &dialog_;
    }

    // A copy of the fixture opened as the active workbook, taken as the master file; the pages
    // then reload from it.
    platform::sheet::Workbook& open(const QString& fixture, const QString& as) {
        platform::sheet::Workbook& workbook = app_.open(sheettest::copyOfFixture(fixture, as));
        lumicell::gOptions()->GetMFInfo(&app_);
        for (lumicell::BuildTabPage* page : {make_, run_, range_})
            page->retarget();
        return workbook;
    }

    template <class T> T& control(const char* name) {
        T* found = dialog_.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    QStringList sheetNames() const { return app_.activeWorkbook()->sheetNames(); }

    QWidget dialog_;
    QTabWidget* tabs_ = nullptr;
    lumicell::BuildTabPage* make_ = nullptr;
    lumicell::BuildTabPage* run_ = nullptr;
    lumicell::BuildTabPage* range_ = nullptr;
};

} // namespace lumicelltest
