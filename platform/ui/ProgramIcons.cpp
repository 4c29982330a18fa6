// See ProgramIcons.h.
#include "platform/ui/ProgramIcons.h"

#include <QFile>

// The resources of a library are registered by name, outside any namespace.
static void registerOwnDrawings() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

namespace platform::ui {

namespace {

QString ownDrawingPath(const QString& name) {
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

bool hasOwnDrawing(const QString& name) {
    registerOwnDrawings();
    return QFile::exists(ownDrawingPath(name));
}

QIcon themeIcon(const QString& name) {
    const QIcon own = hasOwnDrawing(name) ? QIcon(ownDrawingPath(name)) : QIcon();
    return QIcon::fromTheme(name, own);
}

QIcon programIcon(const QString& program) {
    return hasOwnDrawing(program) ? QIcon(ownDrawingPath(program)) : QIcon();
}

} // namespace platform::ui
