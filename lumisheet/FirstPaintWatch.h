// Notes when a widget has been painted for the first time: once its first paint event has been
// handled, the given function is called once, from the event loop. The program's start-up report
// (LUMIVANE_REPORT_FIRST_PAINT) and the sheet view's benchmark use it to know that the first page
// of a sheet reached the screen.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace lumisheet {

class MainWindow;

class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* widget, std::function<void()> painted, QObject* parent = nullptr);

    bool painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onPainted_;
    bool seen_ = false;
    bool painted_ = false;
};

// With LUMIVANE_REPORT_FIRST_PAINT set, watches the sheet view of the window's active workbook and,
// once its first page is painted, prints "painted: <workbook> <text of the first cell shown>" on
// standard output and quits the application; with no workbook shown it prints "painted: nothing"
// and quits with 1. Tests start the real program with it to see that it starts to a painted sheet.
// Does nothing without the variable.
void ReportFirstPaintIfAsked(MainWindow& window);

} // namespace lumisheet
