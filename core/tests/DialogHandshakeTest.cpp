// The wait for a modeless dialog's OK or Cancel, with real widgets offscreen.
#include "core/DialogHandshake.h"

#include "core/cOptions.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using core::cOptions;
using core::DialogAnswer;
using core::WaitForDialogAnswer;

namespace {

std::unique_ptr<QWidget> shownDialog() {
    auto dialog = std::make_unique<QWidget>();
    dialog->show();
    return dialog;
}

TEST(DialogHandshake, OkFlagSetByTheDialogConfirmsAndIsReset) {
    cOptions options;
    auto dialog = shownDialog();
    QTimer::singleShot(100, dialog.get(), [&] { options.SetPwd = true; });
    EXPECT_EQ(WaitForDialogAnswer(dialog.get(), options), DialogAnswer::Confirmed);
    EXPECT_FALSE(options.SetPwd);
    EXPECT_FALSE(options.CancelPwd);
}

TEST(DialogHandshake, CancelFlagCancelsAndIsReset) {
    cOptions options;
    auto dialog = shownDialog();
    QTimer::singleShot(100, dialog.get(), [&] { options.CancelPwd = true; });
    EXPECT_EQ(WaitForDialogAnswer(dialog.get(), options), DialogAnswer::Cancelled);
    EXPECT_FALSE(options.CancelPwd);
}

TEST(DialogHandshake, DialogClosedByItsCloseBoxCountsAsCancel) {
    cOptions options;
    auto dialog = shownDialog();
    QTimer::singleShot(100, dialog.get(), [&] { dialog->close(); });
    EXPECT_EQ(WaitForDialogAnswer(dialog.get(), options), DialogAnswer::Cancelled);
    EXPECT_FALSE(options.SetPwd);
}

TEST(DialogHandshake, DestroyedDialogCountsAsCancel) {
    cOptions options;
    auto* dialog = new QWidget;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    QTimer::singleShot(100, dialog, [dialog] { dialog->close(); });
    EXPECT_EQ(WaitForDialogAnswer(dialog, options), DialogAnswer::Cancelled);
}

TEST(DialogHandshake, OkThatClosesItsDialogStillConfirms) {
    cOptions options;
    auto dialog = shownDialog();
    QTimer::singleShot(100, dialog.get(), [&] {
        options.SetPwd = true;
        dialog->hide(); // the logon window unloads itself after an accepted logon
    });
    EXPECT_EQ(WaitForDialogAnswer(dialog.get(), options), DialogAnswer::Confirmed);
}

// The logon window raises SetPwd at the start of its OK handler and takes it back when
// the logon fails, after showing its message (a nested event loop). The wait must not
// take that for a confirmation.
TEST(DialogHandshake, FlagRaisedOnlyInsideAFailingHandlerIsNotSeen) {
    cOptions options;
    auto dialog = shownDialog();
    QTimer::singleShot(100, dialog.get(), [&] {
        options.SetPwd = true;
        QEventLoop message; // stands for the failure message, longer than one poll
        QTimer::singleShot(1500, &message, &QEventLoop::quit);
        message.exec();
        options.SetPwd = false;
        QTimer::singleShot(100, dialog.get(), [&] { options.CancelPwd = true; });
    });
    EXPECT_EQ(WaitForDialogAnswer(dialog.get(), options), DialogAnswer::Cancelled);
    EXPECT_FALSE(options.SetPwd);
}

TEST(DialogHandshake, NoDialogOrNoOptionsEndsAtOnce) {
    cOptions options;
    EXPECT_EQ(WaitForDialogAnswer(nullptr, options), DialogAnswer::Cancelled);
    options.SetPwd = true; // a flag already raised is still taken
    EXPECT_EQ(WaitForDialogAnswer(nullptr, options), DialogAnswer::Confirmed);
    EXPECT_FALSE(options.SetPwd);

    core::gOptions.reset();
    auto dialog = shownDialog();
    EXPECT_EQ(WaitForDialogAnswer(dialog.get()), DialogAnswer::Cancelled);
}

TEST(DialogHandshake, WaitsOnTheProgramsOptions) {
    core::gOptions = std::make_unique<cOptions>();
    auto dialog = shownDialog();
    QTimer::singleShot(100, dialog.get(), [&] { core::gOptions->SetPwd = true; });
    EXPECT_EQ(WaitForDialogAnswer(dialog.get()), DialogAnswer::Confirmed);
    EXPECT_FALSE(core::gOptions->SetPwd);
    core::gOptions.reset();
}

} // namespace
