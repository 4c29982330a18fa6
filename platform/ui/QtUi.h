// The Ui service over Qt's standard dialogs. The open-file dialog takes one file: names typed
// together ("a.xlsx" "b.xlsx") are refused with kOneFileText and the dialog stays, where Qt's
// own would answer the first and drop the others without a word.
#pragma once

#include "platform/ui/Ui.h"

namespace platform::ui {

inline const QString kOneFileText = QStringLiteral("Choose one file only.");

class QtUi final : public Ui {
public:
    Answer message(const Message& message) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> password(const QString& prompt, const QString& title) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const FileRequest& request) override;
};

} // namespace platform::ui
