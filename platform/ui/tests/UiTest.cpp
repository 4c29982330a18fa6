#include "platform/ui/Ui.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using platform::ui::Answer;
using platform::ui::Buttons;

TEST(UiService, ScriptedAnswersAreGivenInOrderAndRecorded) {
    testsupport::ScopedScriptedUi ui;
    ui->answerMessages({Answer::No, Answer::Yes});
    EXPECT_EQ(platform::ui::msgBox("first?", Buttons::YesNo, "T"), Answer::No);
    EXPECT_EQ(platform::ui::msgBox("second?", Buttons::YesNoCancel, "T"), Answer::Yes);
    EXPECT_EQ(ui->messageTexts(), (QStringList{"first?", "second?"}));
    EXPECT_EQ(ui->asked().at(1).buttons, Buttons::YesNoCancel);
}
