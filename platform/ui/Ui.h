// The one service through which the program asks the user anything: message boxes,
// input boxes, password prompts and file dialogs. Windows never call QMessageBox or
// QFileDialog themselves, so tests can install a scripted double that records every
// text and gives the answers the test chose.
#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace platform::ui {

enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };

// The answers keep the numbers the program's callers compare with.
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Message {
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 1; // 1 = first button, 2 = second, 3 = third
    // The text is shown as it stands, never read as rich text (texts that come from outside:
    // mail fields, file names); a long one scrolls in a box of bounded size.
    bool plainText = false;
};

struct FileRequest {
    QString title;
    QString filter;      // Qt filter text, e.g. "Workbooks (*.xlsx *.xlsm)"
    QString initialPath; // folder or file to start in
    // Save dialogs: ask before a chosen file that exists is overwritten. Callers that check
    // the chosen place themselves (and never overwrite) turn it off.
    bool confirmOverwrite = true;
};

class Ui {
public:
    virtual ~Ui() = default;

    // Shows a message box and waits for the answer. A box closed by its close box
    // answers Cancel where Cancel is offered, otherwise the box's only button.
    virtual Answer message(const Message& message) = 0;

    // An input box; no value when it was cancelled or closed.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = {}) = 0;

    // A masked input box for a password; no value when it was cancelled or closed.
    virtual std::optional<QString> password(const QString& prompt, const QString& title) = 0;

    // File dialogs; no value when cancelled.
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    virtual std::optional<QString> chooseFolder(const FileRequest& request) = 0;
};

// The installed service; the Qt dialogs unless a test installed something else.
Ui& ui();

// Installs a service and returns the one it replaces (null when the default was in use).
std::unique_ptr<Ui> installUi(std::unique_ptr<Ui> service);

// The answer of a box's first button (what pressing Enter on a box with the default default gives).
Answer firstAnswer(Buttons buttons);

// Shorthand for the common case.
Answer msgBox(const QString& text, Buttons buttons = Buttons::Ok, const QString& title = {},
              Icon icon = Icon::None);

} // namespace platform::ui
