// Lumidesk, the desktop program. For now it only starts its event loop and quits:
// the start-up checks arrive with the core services.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumivane"));
    return 0;
}
