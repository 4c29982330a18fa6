// The resizer of a window: while it is on, the controls it was given keep their design
// places in proportion to the window's size, so they grow and shrink with it. While it is
// off the controls keep their design sizes, except those told to follow the window: when the
// window is larger than designed, such a control grows by what the window gained (in width,
// in height, or both) or moves down with the window's bottom edge.
//
// The design places are taken when a control is added (relative to the design size of the
// window); a control the window moves afterwards (a grid made taller) is given its new
// design place with setDesignGeometry.
#pragma once

#include <QFlags>
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
    // How a control follows the window while the resizer is off.
    enum class Follow { Width = 1, Height = 2, Bottom = 4 };
    Q_DECLARE_FLAGS(Following, Follow)

    // designSize: the size of the window's client area the control places are given for.
    ControlResizer(QWidget* window, QSize designSize, const QString& name);

    void addControl(QWidget* control, Following following = {});
    // Gives a control a new design place and shows it there (scaled while the resizer is on).
    void setDesignGeometry(QWidget* control, const QRect& geometry);
    // How a control follows the window while the resizer is off.
    void setFollowing(QWidget* control, Following following);

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
    QHash<QWidget*, Following> following_;
    QList<QPointer<QWidget>> controls_;
    bool enabled_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ControlResizer::Following)

} // namespace lumidesk
