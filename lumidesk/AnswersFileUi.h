// A dialog service for running the program without a person, as the start-up tests do:
// when the environment variable LUMIDESK_TEST_ANSWERS names a file, the program takes the
// answers to its message boxes, input boxes and file dialogs from that file instead of
// showing dialogs, and writes every question to the file named by LUMIDESK_TEST_TRANSCRIPT.
// Without the variable the program shows its ordinary dialogs and this class is unused.
//
// The answers file holds one entry a line, taken in order by the kind of question:
//   Yes | No | Cancel | Ok | Abort | Retry | Ignore   the answer to the next message box
//   text <value>                                     the next input, password or file answer
//   text-cancel                                      the next input or file dialog is cancelled
//   close <form name>                                close that window as soon as it is shown
//   type <form>.<control> <text>                     when that window shows, put the text in its box
//   click <form>.<control>                           when that window shows, press its button
// (the type and click lines of a window run in their order once it has shown)
// A message box without an answer left gets its first button, other questions are cancelled.
//
// The transcript gets one line per event, fields separated by a tab, line breaks in texts
// written as "\n": "message <title> <text>", "input <title> <prompt>" (likewise password,
// openFile, saveFile, chooseFolder), "shown <form name>" when a top-level window is shown,
// "closed <form name>" when one is closed, and the notes the program writes with note().
#pragma once

#include "platform/ui/Ui.h"

#include <QObject>
#include <QStringList>
#include <deque>
#include <vector>

namespace lumidesk {

class AnswersFileUi final : public platform::ui::Ui {
public:
    // Installs the service when LUMIDESK_TEST_ANSWERS is set; true when it did.
    static bool installFromEnvironment();

    // Adds a line to the transcript when one is being written; nothing otherwise.
    static void note(const QString& text);

    AnswersFileUi(const QStringList& entries, QString transcriptPath);

    platform::ui::Answer message(const platform::ui::Message& message) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> password(const QString& prompt, const QString& title) override;
    std::optional<QString> openFile(const platform::ui::FileRequest& request) override;
    std::optional<QString> saveFile(const platform::ui::FileRequest& request) override;
    std::optional<QString> chooseFolder(const platform::ui::FileRequest& request) override;

    // The window names to close when shown.
    const QStringList& formsToClose() const { return formsToClose_; }

    // A box to fill or a button to press when a window shows.
    struct ControlAction {
        QString form;
        QString control;
        bool click = false;
        QString text;
    };
    const std::vector<ControlAction>& controlActions() const { return controlActions_; }

private:
    std::optional<QString> nextText(const QString& kind, const QString& title, const QString& text);

    std::deque<platform::ui::Answer> messageAnswers_;
    std::deque<std::optional<QString>> textAnswers_;
    QStringList formsToClose_;
    std::vector<ControlAction> controlActions_;
};

} // namespace lumidesk
