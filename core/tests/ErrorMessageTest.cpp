// The program's one error message for a caught failure: each kind of error shows its own number
// and description (a workbook error the number a spreadsheet program gives), anything else the
// general failure number and its text, under the title the caller names.
#include "core/ErrorMessage.h"

#include "lumistore/LumistoreError.h"
#include "platform/db/DbError.h"
#include "platform/sheet/SheetError.h"
#include "support/ScriptedUi.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using platform::db::DbError;
using platform::sheet::SheetError;

TEST(ErrorMessage, EachKindOfFailureShowsItsOwnNumberAndDescription) {
    const struct {
        const char* name;
        std::function<void()> fail;
        const char* shown;
    } cases[] = {
        {"a missing sheet",
         [] { throw SheetError(SheetError::Code::NoSuchSheet, QStringLiteral("No sheet 'Sales'.")); },
         "Error 9 has occured. No sheet 'Sales'."},
        {"another workbook failure",
         [] { throw SheetError(SheetError::Code::ProtectedCell, QStringLiteral("The cell is protected.")); },
         "Error 1004 has occured. The cell is protected."},
        {"a database failure",
         [] { throw DbError(DbError::kNoCurrentRow, QStringLiteral("Either BOF or EOF is True.")); },
         "Error 3021 has occured. Either BOF or EOF is True."},
        {"a data store library failure",
         [] { throw lumistore::LumistoreError(3022, QStringLiteral("The row is there already.")); },
         "Error 3022 has occured. The row is there already."},
        {"anything else", [] { throw std::runtime_error("The disk went away."); },
         "Error -2147467259 has occured. The disk went away."},
    };
    for (const auto& c : cases) {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({platform::ui::Answer::Ok});
        try {
            c.fail();
        } catch (const std::exception& error) {
            core::ShowErrorMessage(error, QStringLiteral("Lumicell"));
        }
        EXPECT_EQ(ui->messageTexts(), QStringList{QString::fromUtf8(c.shown)}) << c.name;
        ASSERT_EQ(ui->asked().size(), 1u) << c.name;
        EXPECT_EQ(ui->asked()[0].title, QStringLiteral("Lumicell")) << c.name;
    }
}

} // namespace
