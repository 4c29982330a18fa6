// See WindowPlace.h.
#include "platform/ui/WindowPlace.h"

#include "platform/ui/Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace platform::ui {

namespace {

QScreen* screenOf(const QWidget& window) {
    if (QScreen* screen = QGuiApplication::screenAt(window.frameGeometry().center()))
        return screen;
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

// Keeps the window inside its screen again once it is first shown: only then does a window
// manager's frame have its size.
class KeepInsideOnShow : public QObject {
public:
    explicit KeepInsideOnShow(QWidget& window)
        : QObject(&window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] { keepInsideScreen(*window); });
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void placeOnOwner(QWidget& window, const QRect& twips, QWidget* owner) {
    if (!owner && window.parentWidget())
        owner = window.parentWidget()->window();
    const QRect place = Twips::rect(twips.x(), twips.y(), twips.width(), twips.height());
    QPoint origin;
    if (owner)
        origin = owner->window()->geometry().topLeft();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        origin = screen->availableGeometry().topLeft();
    window.resize(place.size());
    window.move(origin + place.topLeft());
    keepInsideScreen(window);
    if (!window.isVisible())
        new KeepInsideOnShow(window);
}

void keepInsideScreen(QWidget& window) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect frame = window.isVisible() ? window.frameGeometry() : QRect(window.pos(), window.size());
    // The top-left corner wins where the window is larger than the area.
    const int x =
        std::max(available.left(), std::min(frame.x(), available.x() + available.width() - frame.width()));
    const int y =
        std::max(available.top(), std::min(frame.y(), available.y() + available.height() - frame.height()));
    if (QPoint(x, y) != frame.topLeft())
        window.move(x, y);
}

} // namespace platform::ui
