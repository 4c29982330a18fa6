// The Ui service over Qt's standard dialogs.
#pragma once

#include "platform/ui/Ui.h"

namespace platform::ui {

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
