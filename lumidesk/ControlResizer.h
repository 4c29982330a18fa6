// The resizer of a window: while it is on, the controls it was given keep their design
// places in proportion to the window's size, so they grow and shrink with it. While it is
// off the controls keep their design places whatever the window's size.
//
// The design places are taken when a control is added (relative to the design size of the
// window); a control the window moves afterwards (a grid made taller) is given its new
// design place with setDesignGeometry.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace lumidesk {

class ControlResizer : public QObject {
    Q_OBJECT
public:
    // designSize: the size of the window's client area the control places are given for.
    ControlResizer(QWidget* window, QSize designSize, const QString& name);

    void addControl(QWidget* control);
    // Gives a control a new design place and shows it there (scaled while the resizer is on).
    void setDesignGeometry(QWidget* control, const QRect& geometry);

    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* control);
    void placeAll();

    QWidget* window_;
    QSize designSize_;
    QHash<QWidget*, QRect> design_;
    QList<QPointer<QWidget>> controls_;
    bool enabled_ = false;
};

} // namespace lumidesk
