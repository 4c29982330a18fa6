// See StatusLine.h.
#include "platform/ui/StatusLine.h"

#include "platform/ui/MenuHost.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace platform::ui {

namespace {

QString& lastLine() {
    static QString line;
    return line;
}

QLabel* ownStatusLabel(QWidget* from) {
    return from ? from->window()->findChild<QLabel*>(kStatusLabelName) : nullptr;
}

} // namespace

void showStatusLine(QWidget* from, const QString& text) {
    lastLine() = text;
    if (QLabel* label = ownStatusLabel(from)) {
        label->setText(text);
        return;
    }
    if (auto* host = qobject_cast<QMainWindow*>(menuHost()))
        host->statusBar()->showMessage(text);
}

QString lastStatusLine() {
    return lastLine();
}

QString countOf(int count, const QString& one, const QString& many) {
    if (count == 0)
        return QStringLiteral("no ") + many;
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace platform::ui
