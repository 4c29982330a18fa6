// See ControlResizer.h.
#include "lumidesk/ControlResizer.h"

#include <QEvent>

namespace lumidesk {

ControlResizer::ControlResizer(QWidget* window, QSize designSize, const QString& name)
    : QObject(window)
    , window_(window)
    , designSize_(designSize) {
    setObjectName(name);
    window_->installEventFilter(this);
}

void ControlResizer::addControl(QWidget* control) {
    design_.insert(control, control->geometry());
    controls_ << control;
    place(control);
}

void ControlResizer::setDesignGeometry(QWidget* control, const QRect& geometry) {
    if (!design_.contains(control))
        controls_ << control;
    design_.insert(control, geometry);
    place(control);
}

void ControlResizer::setEnabled(bool on) {
    enabled_ = on;
    placeAll();
}

bool ControlResizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize && enabled_)
        placeAll();
    return QObject::eventFilter(watched, event);
}

void ControlResizer::placeAll() {
    for (const QPointer<QWidget>& control : controls_) {
        if (control)
            place(control);
    }
}

void ControlResizer::place(QWidget* control) {
    const QRect design = design_.value(control);
    if (!enabled_ || designSize_.isEmpty()) {
        control->setGeometry(design);
        return;
    }
    // Scaled by the window's client size against its design size; controls inside a frame
    // scale with the frame, which scales by the same factors.
    const double x = double(window_->width()) / designSize_.width();
    const double y = double(window_->height()) / designSize_.height();
    control->setGeometry(qRound(design.x() * x), qRound(design.y() * y), qRound(design.width() * x),
                         qRound(design.height() * y));
}

} // namespace lumidesk
