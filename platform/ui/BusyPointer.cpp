// The counted busy pointer over the application's override cursor.
#include "platform/ui/BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform::ui {

namespace {

struct State {
    int depth = 0;
    int pointer = BusyPointer::kDefault;
    bool overridden = false; // an override cursor of ours is on the application's stack
};

State& state() {
    static State s;
    return s;
}

// The program's pointer numbers and the cursor each stands for.
Qt::CursorShape shapeOf(int pointer) {
    switch (pointer) {
    case 1:
        return Qt::ArrowCursor;
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
    case 15:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case BusyPointer::kHourglass:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

void BusyPointer::set(int pointer) {
    State& s = state();
    if (pointer == kHourglass)
        ++s.depth;
    else if (pointer == kDefault)
        s.depth = s.depth > 0 ? s.depth - 1 : 0;
    else {
        show(pointer);
        return;
    }
    show(s.depth > 0 ? kHourglass : kDefault);
}

int BusyPointer::depth() {
    return state().depth;
}

int BusyPointer::pointer() {
    return state().pointer;
}

void BusyPointer::show(int pointer) {
    State& s = state();
    s.pointer = pointer;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (pointer == kDefault) {
        if (s.overridden)
            QGuiApplication::restoreOverrideCursor();
        s.overridden = false;
    } else if (s.overridden) {
        QGuiApplication::changeOverrideCursor(QCursor(shapeOf(pointer)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(shapeOf(pointer)));
        s.overridden = true;
    }
}

} // namespace platform::ui
