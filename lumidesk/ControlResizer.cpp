// See ControlResizer.h.
#include "lumidesk/ControlResizer.h"

#include <QEvent>
#include <algorithm>

namespace lumidesk {

ControlResizer::ControlResizer(QWidget* window, QSize designSize, const QString& name)
    : QObject(window)
    , window_(window)
    , designSize_(designSize) {
    setObjectName(name);
    window_->installEventFilter(this);
}

void ControlResizer::addControl(QWidget* control, Following following) {
    design_.insert(control, control->geometry());
    following_.insert(control, following);
    controls_ << control;
    place(control);
}

void ControlResizer::setDesignGeometry(QWidget* control, const QRect& geometry) {
    if (!design_.contains(control))
        controls_ << control;
    design_.insert(control, geometry);
    place(control);
}

void ControlResizer::setFollowing(QWidget* control, Following following) {
    following_.insert(control, following);
    if (design_.contains(control))
        place(control);
}

void ControlResizer::setEnabled(bool on) {
    enabled_ = on;
    placeAll();
}

bool ControlResizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize)
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
        // What the window has more than designed goes to the controls that follow it.
        const Following following = following_.value(control);
        const int wider = std::max(0, window_->width() - designSize_.width());
        const int taller = std::max(0, window_->height() - designSize_.height());
        QRect place = design;
        if (following & Follow::Width)
            place.setWidth(design.width() + wider);
        if (following & Follow::Height)
            place.setHeight(design.height() + taller);
        if (following & Follow::Bottom)
            place.moveTop(design.top() + taller);
        control->setGeometry(place);
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
