// Internal: the dialog service the library installs in its own copy of the window layer. It
// asks the caller's service (found anew for every question, so a service the caller
// installs later is used too) and gives back its answer.
#pragma once

#include "lumistore/HostUi.h"
#include "platform/ui/Ui.h"

namespace lumistore {

class ForwardingUi final : public platform::ui::Ui {
public:
    explicit ForwardingUi(detail::HostUi host)
        : host_(host) {}

    detail::HostUi host() const { return host_; }

    platform::ui::Answer message(const platform::ui::Message& message) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> password(const QString& prompt, const QString& title) override;
    std::optional<QString> openFile(const platform::ui::FileRequest& request) override;
    std::optional<QString> saveFile(const platform::ui::FileRequest& request) override;
    std::optional<QString> chooseFolder(const platform::ui::FileRequest& request) override;

private:
    detail::HostUi host_;
};

} // namespace lumistore
