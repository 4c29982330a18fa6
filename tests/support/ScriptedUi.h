// Test double of the Ui service: answers from a script the test writes, records every
// question asked. A question the script did not foresee fails the test and answers
// Cancel (or no value), so a run can never hang waiting for a person.
#pragma once

#include "platform/ui/Ui.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace testsupport {

class ScriptedUi final : public platform::ui::Ui {
public:
    struct Asked {
        QString kind; // "message", "input", "password", "openFile", "saveFile", "chooseFolder"
        QString text; // the message text or prompt
        QString title;
        platform::ui::Buttons buttons = platform::ui::Buttons::Ok;
        platform::ui::Icon icon = platform::ui::Icon::None;
        QString defaultText;          // input boxes: the text offered
        QString initialPath;          // file and folder requests: where the dialog opens
        QString filter;               // file requests: the filter offered
        bool confirmOverwrite = true; // save requests: the dialog asks before overwriting
        bool plainText = false;       // messages: shown as plain text
    };

    // Answers given in order to message boxes.
    void answerMessages(std::initializer_list<platform::ui::Answer> answers);
    // Answers given in order to input, password and file questions (nullopt = cancelled).
    void answerTexts(std::initializer_list<std::optional<QString>> answers);
    // Message boxes without a scripted answer get their first button instead of failing.
    void acceptUnscriptedMessages(bool accept = true) { acceptUnscripted_ = accept; }
    // Runs look while each message box is up, before it is answered: what another program
    // could do while the user takes their time.
    void whileAsking(std::function<void()> look) { whileAsking_ = std::move(look); }

    const std::vector<Asked>& asked() const { return asked_; }
    QStringList messageTexts() const;
    void clear() { asked_.clear(); }

    platform::ui::Answer message(const platform::ui::Message& message) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> password(const QString& prompt, const QString& title) override;
    std::optional<QString> openFile(const platform::ui::FileRequest& request) override;
    std::optional<QString> saveFile(const platform::ui::FileRequest& request) override;
    std::optional<QString> chooseFolder(const platform::ui::FileRequest& request) override;

private:
    std::optional<QString> nextText(const QString& kind, const QString& text, const QString& title);

    std::deque<platform::ui::Answer> messageAnswers_;
    std::deque<std::optional<QString>> textAnswers_;
    std::vector<Asked> asked_;
    bool acceptUnscripted_ = false;
    std::function<void()> whileAsking_;
};

// Installs a ScriptedUi for the life of the guard and puts the previous service back after.
class ScopedScriptedUi {
public:
    ScopedScriptedUi();
    ~ScopedScriptedUi();
    ScopedScriptedUi(const ScopedScriptedUi&) = delete;
    ScopedScriptedUi& operator=(const ScopedScriptedUi&) = delete;

    ScriptedUi* operator->() { return ui_; }
    ScriptedUi& operator*() { return *ui_; }

private:
    ScriptedUi* ui_; // owned by the installed service slot
    std::unique_ptr<platform::ui::Ui> previous_;
};

} // namespace testsupport
