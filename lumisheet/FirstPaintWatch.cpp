// See FirstPaintWatch.h.
#include "lumisheet/FirstPaintWatch.h"

#include "lumisheet/MainWindow.h"
#include "lumisheet/SheetModel.h"
#include "lumisheet/SheetView.h"
#include "lumisheet/WorkbookView.h"
#include "platform/sheet/Workbook.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>

namespace lumisheet {

FirstPaintWatch::FirstPaintWatch(QWidget* widget, std::function<void()> painted, QObject* parent)
    : QObject(parent)
    , onPainted_(std::move(painted)) {
    widget->installEventFilter(this);
}

bool FirstPaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        watched->removeEventFilter(this);
        // The filter sees the event before the widget paints: the report waits for the event loop,
        // which comes back only once the paint is done.
        QTimer::singleShot(0, this, [this] {
            painted_ = true;
            if (onPainted_)
                onPainted_();
        });
    }
    return false;
}

void ReportFirstPaintIfAsked(MainWindow& window) {
    if (qEnvironmentVariableIsEmpty("LUMIVANE_REPORT_FIRST_PAINT"))
        return;
    WorkbookView* shown = window.activeView();
    if (!shown || !shown->shownModel()) {
        std::printf("painted: nothing\n");
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, [] { QApplication::exit(1); });
        return;
    }
    new FirstPaintWatch(
        shown->sheetView()->viewport(),
        [shown] {
            const QString first = shown->shownModel()->index(0, 0).data(Qt::DisplayRole).toString();
            std::printf("painted: %s %s\n", qPrintable(shown->workbook().name()), qPrintable(first));
            std::fflush(stdout);
            QApplication::quit();
        },
        shown);
}

} // namespace lumisheet
