// A spreadsheet program's window over an Application of its own, shown offscreen, with the
// scripted dialog service answering; and the workbooks the tests open in it.
#pragma once

#include "SheetTestSupport.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/SheetModel.h"
#include "lumisheet/SheetView.h"
#include "lumisheet/WorkbookView.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace lumisheettest {

class LumisheetFixture : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<lumisheet::MainWindow>(app_, nullptr);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        app_.setDisplayAlerts(false);
        window_.reset();
        app_.closeAll();
    }

    lumisheet::SheetView& view() const { return *window_->activeView()->sheetView(); }
    lumisheet::SheetModel& model() const { return *window_->activeView()->shownModel(); }
    // The text the view shows in a cell (row and column from 1).
    QString shown(int row, int col) const {
        return model().index(row - 1, col - 1).data(Qt::DisplayRole).toString();
    }

    // Types a cell's entry as a user does: the cell chosen, the keys, Enter.
    void type(int row, int col, const QString& keys) {
        view().setFocus();
        view().setCurrentIndex(model().index(row - 1, col - 1));
        // The first key opens the cell's editor, which takes the rest.
        QTest::keyClicks(&view(), keys.left(1));
        QTest::keyClicks(QApplication::focusWidget(), keys.mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the closed editor goes
    }

    // A click on a column heading (from 1) or a row heading (from 1).
    void clickColumnHeading(int col) {
        QHeaderView* header = view().horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col - 1) + 5, header->height() / 2));
    }
    void clickRowHeading(int row) {
        QHeaderView* header = view().verticalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->width() / 2, header->sectionViewportPosition(row - 1) + 5));
    }

    testsupport::ScopedScriptedUi ui_;
    platform::sheet::Application app_;
    std::unique_ptr<lumisheet::MainWindow> window_;
};

} // namespace lumisheettest
