// The spreadsheet program's sheet view on a large workbook.
//   sheet_view_bench INPUT.xlsx          the program: from its start to the first painted sheet,
//                                        then a scroll through the whole first sheet, a page at a
//                                        time, each page painted
//   sheet_view_bench --layer INPUT.xlsx  the workbook layer alone opening the same workbook
// prints "seconds=<s> page_ms=<median ms> pages=<n> peak_kb=<kb>", or with --layer
// "seconds=<s> peak_kb=<kb>". bench/run.sh runs both beside LibreOffice loading the workbook.
#include "lumisheet/FirstPaintWatch.h"
#include "lumisheet/MainWindow.h"
#include "lumisheet/SheetView.h"
#include "lumisheet/WorkbookFiles.h"
#include "lumisheet/WorkbookView.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int layerOnly(const char* path, Clock::time_point start) {
    auto book = platform::sheet::Workbook::open(QString::fromLocal8Bit(path));
    std::printf("seconds=%.3f peak_kb=%ld\n", secondsSince(start), peakKb());
    return book->sheetCount() > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const auto start = Clock::now();
    if (argc == 3 && std::strcmp(argv[1], "--layer") == 0)
        return layerOnly(argv[2], start);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sheet_view_bench [--layer] INPUT.xlsx\n");
        return 2;
    }
    // As the program starts: the application first, then the workbook is read while the window
    // comes up.
    QApplication qapp(argc, argv);
    lumisheet::PendingWorkbook pending(QString::fromLocal8Bit(argv[1]));
    platform::sheet::Application app;
    lumisheet::MainWindow window(app, nullptr);
    window.resize(1024, 768);
    window.show();
    if (!lumisheet::OpenWorkbook(app, pending))
        return 1;
    lumisheet::SheetView* view = window.activeView()->sheetView();
    const lumisheet::FirstPaintWatch watch(view->viewport(), {});
    while (!watch.painted())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double firstPaint = secondsSince(start);

    // A full scroll through the sheet's used rows, each page painted before the next.
    const int usedRows = app.activeWorkbook()->activeSheet().lastCell().row;
    QScrollBar* bar = view->verticalScrollBar();
    std::vector<double> pages;
    while (view->rowAt(view->viewport()->height() - 1) < usedRows && bar->value() < bar->maximum()) {
        const auto t = Clock::now();
        bar->setValue(bar->value() + bar->pageStep());
        view->viewport()->repaint();
        pages.push_back(secondsSince(t) * 1000.0);
    }
    std::sort(pages.begin(), pages.end());
    const double median = pages.empty() ? 0.0 : pages[pages.size() / 2];
    std::printf("seconds=%.3f page_ms=%.2f pages=%zu peak_kb=%ld\n", firstPaint, median, pages.size(),
                peakKb());
    window.close();
    return 0;
}
