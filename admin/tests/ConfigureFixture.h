// The configuration window on a master database of the test's own (MasterDbFixture) with the
// desktop program's settings started afresh, and the helpers its tests share: rows of the
// database, typed edits through a grid's real cell editor, ticks of check cells.
#pragma once

#include "admin/frmConfigure.h"
#include "core/tests/MasterDbFixture.h"
#include "platform/db/Recordset.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/EventPump.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <ostream>

namespace admintest {

class ConfigureFixture : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
        MasterDbFixture::SetUp();
        core::gOptions->DatabaseMode = QStringLiteral("Local");
    }

    void TearDown() override {
        delete window_.data();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget())
                delete window;
        MasterDbFixture::TearDown();
    }

    // Loads and shows the window on a tab.
    admin::frmConfigure& open(int tab) {
        window_ = new admin::frmConfigure;
        window_->SSTab1()->setCurrentIndex(tab);
        window_->show();
        return *window_;
    }

    void execute(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(sql, params);
    }

    // The rows of a query, each row's fields joined by "|" (Null as "<null>").
    QStringList rows(const QString& sql) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(cnn, sql);
        QStringList result;
        for (; !rst.eof(); rst.moveNext()) {
            QStringList fields;
            for (int f = 0; f < rst.fieldCount(); ++f)
                fields << (rst.isNull(f) ? QStringLiteral("<null>") : rst.value(f).toString());
            result << fields.join(QLatin1Char('|'));
        }
        return result;
    }

    // A grid's rows as shown, the cells of the given columns joined by "|".
    static QStringList shown(const platform::ui::EditGrid* grid, const QList<int>& columns) {
        QStringList result;
        for (int row = 0; row < grid->rowCount(); ++row) {
            QStringList cells;
            for (int column : columns)
                cells << grid->cellText(row, column);
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }

    // Lets the view commit a finished edit and the grid run its change procedure.
    static void settle() {
        for (int round = 0; round < 3; ++round)
            platform::ui::EventPump::processPending();
    }

    // Types the text into the cell through its editor and finishes the edit with Enter.
    static void typeInto(platform::ui::EditGrid* grid, int row, int column, const QString& text) {
        grid->setCurrentCell(row, column);
        grid->editCurrentCell();
        QWidget* editor = grid->view()->indexWidget(grid->view()->model()->index(row, column));
        ASSERT_NE(editor, nullptr) << "no editor on " << row << "," << column;
        QLineEdit* line = qobject_cast<QLineEdit*>(editor);
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            line = combo->lineEdit();
        ASSERT_NE(line, nullptr);
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
        settle();
    }

    // Ticks or clears a check cell as the space bar does.
    static void toggle(platform::ui::EditGrid* grid, int row, int column) {
        grid->view()->setFocus();
        grid->setCurrentCell(row, column);
        QTest::keyClick(grid->view(), Qt::Key_Space);
        settle();
    }

    QPointer<admin::frmConfigure> window_;
};

} // namespace admintest
