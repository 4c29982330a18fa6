// The update run's speed: 10 master workbooks of 10 sheets (made by make_update_masters.py; MASTERS
// makes another number), a budget of a temporary master database whose picked worksheets, 10 a
// master, are cut into user files through the program's cut, 1% of each user file's cells changed,
// then one update run in accept mode through the real code path (the command, the activity check,
// the engine, the bookings), its questions answered by a script. Beside it, on a copy of the same
// files, the workbook layer alone reads the user files and the masters and saves the masters.
// bench/run.sh runs the same compare-and-write with openpyxl on another copy, for 100 and for
// 1,000 user files.
//   update_run_bench FOLDER [MASTERS]   (FOLDER holds M0.xlsx ... M<MASTERS-1>.xlsx, 10 by default;
//                                        copies go below it)
// prints "seconds=<run> layer_seconds=<read and save>".
#include "bench/BenchBudget.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/Ui.h"
#include "wizard/SyncUserFileTable.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/UpdateRun.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;
using platform::sheet::OpenOptions;
using platform::sheet::Workbook;

constexpr int kChangedCells = 10; // 1% of a sheet's 1,000 cells

// The number of master workbooks, 10 sheets and so 10 user files each.
int gMasters = kMasters;

// The user's edits: 10 input cells of each user file, written a minute after the cut.
void changeUserFiles(const QString& folder) {
    std::mt19937 rng(12);
    std::uniform_int_distribution<int> row(1, 100);
    std::uniform_int_distribution<int> column(1, 8);
    for (int m = 0; m < gMasters; ++m) {
        for (int s = 0; s < kSheets; ++s) {
            const QString path =
                folder + QStringLiteral("/U%1/").arg(m) + sheetName(m, s) + QStringLiteral(".xlsx");
            std::unique_ptr<Workbook> book = Workbook::open(path);
            for (int k = 0; k < kChangedCells; ++k)
                book->activeSheet().setEntry({row(rng), column(rng)}, QString::number(5000 + k));
            book->save();
            book->close();
            const qint64 later = QFileInfo(path).lastModified().toSecsSinceEpoch() + 60;
            const timespec times[2] = {{later, 0}, {later, 0}};
            ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
        }
    }
}

// What the layer alone does with the same files: read the user files and the masters' sheets as
// formulas, and save the masters.
double layerReadAndSave(const QString& folder) {
    const auto start = Clock::now();
    for (int m = 0; m < gMasters; ++m) {
        std::unique_ptr<Workbook> master = Workbook::open(folder + u'/' + masterName(m));
        for (int s = 0; s < kSheets; ++s) {
            std::unique_ptr<Workbook> user = Workbook::open(folder + QStringLiteral("/U%1/").arg(m) +
                                                                sheetName(m, s) + QStringLiteral(".xlsx"),
                                                            OpenOptions::readOnlyAccess());
            const auto& sheet = user->activeSheet();
            (void)sheet.formulas(sheet.usedBlock());
            user->close();
            const auto& ours = master->sheet(sheetName(m, s));
            (void)ours.formulas(ours.usedBlock());
        }
        master->save();
        master->close();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: update_run_bench FOLDER [MASTERS]\n");
        return 2;
    }
    if (argc == 3)
        gMasters = std::max(1, std::atoi(argv[2]));
    const QString folder = prepareRun(argv[1]);
    QApplication app(argc, argv);
    copyFolder(folder + QStringLiteral("/masters"), folder + QStringLiteral("/run"));
    auto* script = new ScriptUi;
    platform::ui::installUi(std::unique_ptr<platform::ui::Ui>(script));
    makeBudget(folder, gMasters);
    for (int m = 0; m < gMasters; ++m)
        if (workbooks::CreateUserFiles(masterName(m), true, false, false) != workbooks::kCutFinished)
            return 1;
    wizard::SyncUserFileTable();
    changeUserFiles(folder + QStringLiteral("/run"));
    copyFolder(folder + QStringLiteral("/run"), folder + QStringLiteral("/layer"));
    copyFolder(folder + QStringLiteral("/run"), folder + QStringLiteral("/openpyxl"));

    const double layer = layerReadAndSave(folder + QStringLiteral("/layer"));
    const auto start = Clock::now();
    workbooks::UpdateMasterFilesCommand({QStringLiteral("Bench"), {}, QStringLiteral("Accept changes")});
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    // The run did the work: every user file booked as merged, the changes in the masters.
    platform::db::Connection cnn;
    cnn.open(core::gCnn->LumiCnn());
    const qint64 waiting = cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM UserFileTablesData WHERE "
                                                     "Budget_Name = 'Bench' AND UserFile_Update = 1"))
                               .toLongLong();
    const qint64 merged = cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM UserFileTablesData WHERE "
                                                    "Budget_Name = 'Bench'"))
                              .toLongLong();
    if (waiting != 0 || merged != gMasters * kSheets || script->asked != 0) {
        std::fprintf(stderr, "the run left %lld of %lld user files waiting\n", waiting, merged);
        return 1;
    }
    std::printf("seconds=%.3f layer_seconds=%.3f\n", seconds, layer);
    return 0;
}
