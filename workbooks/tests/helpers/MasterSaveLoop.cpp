// Test helper: saves a master workbook again and again as the update run does (opened for
// writing with its passwords, a cell written, saved once), printing "saved <n>" after each
// save, until it is killed. The save test kills it at odd moments and opens the workbook.
//   workbooks_master_save_loop PATH [OPEN_PASSWORD WRITE_PASSWORD]
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 && args.size() != 4)
        return 2;
    platform::sheet::OpenOptions options;
    if (args.size() == 4) {
        options.password = args[2];
        options.writeResPassword = args[3];
    }
    for (int n = 1;; ++n) {
        std::unique_ptr<platform::sheet::Workbook> book = platform::sheet::Workbook::open(args[1], options);
        book->sheet(QStringLiteral("Sales")).setEntry({2, 2}, QString::number(100 + n));
        book->save();
        book->close();
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}
