// The workbook-password dialog reports OK and Cancel without closing itself, its close box
// answers Cancel, and both boxes hide what is typed.
#include "platform/ui/frmEnterWBPwd.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using platform::ui::frmEnterWBPwd;

TEST(frmEnterWBPwd, ShowsItsCaptionsAndMasksBothBoxes) {
    frmEnterWBPwd dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("frmEnterWBPwd"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter workbook passwords"));
    const auto* prompt = dialog.findChild<QLabel*>(QStringLiteral("lblPrompt"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(),
              QStringLiteral("To add this workbook to the budget, enter the File Open and Write passwords."));
    for (const char* name : {"tbxFOPwd", "tbxWritePwd"}) {
        const auto* box = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->echoMode(), QLineEdit::Password) << name;
    }
    QStringList captions;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        captions << label->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("File Open Password")));
    EXPECT_TRUE(captions.contains(QStringLiteral("File Write Password")));
    EXPECT_EQ(dialog.cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.cmdCancel()->text(), QStringLiteral("Cancel"));
    // With LUMIDESK_SCREENSHOT_DIR set, the dialog is saved there to look at.
    const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        dialog.tbxFOPwd()->setText(QStringLiteral("secret"));
        dialog.show();
        QDir().mkpath(folder);
        dialog.grab().save(folder + QStringLiteral("/frmEnterWBPwd.png"));
    }
}

TEST(frmEnterWBPwd, ButtonsAndCloseBoxReportWithoutClosing) {
    frmEnterWBPwd dialog;
    dialog.show();
    QSignalSpy ok(&dialog, &frmEnterWBPwd::okClicked);
    QSignalSpy cancel(&dialog, &frmEnterWBPwd::cancelClicked);

    QTest::keyClicks(dialog.tbxFOPwd(), QStringLiteral("open secret"));
    QTest::mouseClick(dialog.cmdOK(), Qt::LeftButton);
    EXPECT_EQ(ok.count(), 1);
    EXPECT_EQ(cancel.count(), 0);
    EXPECT_TRUE(dialog.isVisible()) << "the caller reads the boxes before it unloads the dialog";
    EXPECT_EQ(dialog.tbxFOPwd()->text(), QStringLiteral("open secret"));

    QTest::mouseClick(dialog.cmdCancel(), Qt::LeftButton);
    EXPECT_EQ(cancel.count(), 1);
    dialog.close();
    EXPECT_EQ(cancel.count(), 2) << "the close box answers Cancel";
    EXPECT_EQ(ok.count(), 1);
    EXPECT_TRUE(dialog.isVisible());
}
