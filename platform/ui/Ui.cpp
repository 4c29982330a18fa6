// The one dialog service and its installed implementation; see Ui.h.
#include "platform/ui/Ui.h"

#include "platform/ui/QtUi.h"

namespace platform::ui {

namespace {
std::unique_ptr<Ui>& installed() {
    static std::unique_ptr<Ui> service;
    return service;
}
} // namespace

Ui& ui() {
    auto& service = installed();
    if (!service)
        service = std::make_unique<QtUi>();
    return *service;
}

std::unique_ptr<Ui> installUi(std::unique_ptr<Ui> service) {
    auto previous = std::move(installed());
    installed() = std::move(service);
    return previous;
}

Answer firstAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::YesNoCancel:
    case Buttons::YesNo:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    }
    return Answer::Ok;
}

Answer msgBox(const QString& text, Buttons buttons, const QString& title, Icon icon) {
    return ui().message(Message{text, title, buttons, icon});
}

} // namespace platform::ui
