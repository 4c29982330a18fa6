// See OpenDialogs.h.
#include "lumicell/OpenDialogs.h"

#include <QObject>
#include <QPointer>
#include <array>

namespace lumicell {

namespace {

struct Registration {
    QPointer<QObject> window;
    SinkTarget* target = nullptr;
};

std::array<Registration, 2>& registrations() {
    static std::array<Registration, 2> open;
    return open;
}

Registration& slot(MainDialog which) {
    return registrations()[which == MainDialog::Build ? 0 : 1];
}

} // namespace

void RegisterMainDialog(MainDialog which, QObject* window, SinkTarget* target) {
    Registration& registration = slot(which);
    registration.window = window;
    registration.target = window ? target : nullptr;
}

SinkTarget* RegisteredMainDialog(MainDialog which) {
    const Registration& registration = slot(which);
    return registration.window ? registration.target : nullptr;
}

} // namespace lumicell
