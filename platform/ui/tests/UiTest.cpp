// The dialog service: the scripted double's answers and records, and the Qt service's plain-text
// messages.
#include "platform/ui/Ui.h"

#include "platform/ui/QtUi.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
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

// Texts from outside (a mail's sender, subject and body) are shown as they stand: markup stays
// text, and a long one scrolls in a box of bounded size instead of growing the message box.
TEST(QtUiService, PlainTextIsNeverRichTextAndALongOneScrolls) {
    const QString markup = QStringLiteral("From: \"<b>Ann</b>\"@evil.example <a href=\"http://evil\">x</a>");
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("message %1: Summary.xlsx is no user file of the budget Sales").arg(i);
    const struct {
        QString text;
        bool scrolls;
    } cases[] = {
        {markup, false}, {lines.join(QLatin1Char('\n')), true}, {QString(300000, QLatin1Char('x')), true}};
    platform::ui::QtUi service;
    for (const auto& c : cases) {
        int height = 0;
        Qt::TextFormat format = Qt::AutoText;
        bool scrolling = false;
        QString scrolled;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            height = box->sizeHint().height();
            format = box->textFormat();
            auto* view = box->findChild<QPlainTextEdit*>(QStringLiteral("messageText"));
            scrolling = view != nullptr;
            if (view)
                scrolled = view->toPlainText();
            box->accept();
        });
        platform::ui::Message message;
        message.text = c.text;
        message.plainText = true;
        service.message(message);
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_EQ(scrolling, c.scrolls);
        if (c.scrolls) {
            EXPECT_EQ(scrolled, c.text);
        }
        EXPECT_LT(height, 600);
    }
}
