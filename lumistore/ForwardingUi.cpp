// See ForwardingUi.h and HostUi.h.
#include "lumistore/ForwardingUi.h"

namespace lumistore {

platform::ui::Answer ForwardingUi::message(const platform::ui::Message& message) {
    return host_().message(message);
}

std::optional<QString> ForwardingUi::input(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    return host_().input(prompt, title, defaultText);
}

std::optional<QString> ForwardingUi::password(const QString& prompt, const QString& title) {
    return host_().password(prompt, title);
}

std::optional<QString> ForwardingUi::openFile(const platform::ui::FileRequest& request) {
    return host_().openFile(request);
}

std::optional<QString> ForwardingUi::saveFile(const platform::ui::FileRequest& request) {
    return host_().saveFile(request);
}

std::optional<QString> ForwardingUi::chooseFolder(const platform::ui::FileRequest& request) {
    return host_().chooseFolder(request);
}

namespace detail {

void bindHostUi(HostUi hostUi) {
    // The library's own service needs no forwarding (and forwarding to it would loop).
    if (!hostUi || hostUi == &platform::ui::ui)
        return;
    static HostUi bound = nullptr;
    if (bound == hostUi)
        return;
    platform::ui::installUi(std::make_unique<ForwardingUi>(hostUi));
    bound = hostUi;
}

} // namespace detail

} // namespace lumistore
