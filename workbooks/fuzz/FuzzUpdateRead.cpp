// See FuzzUpdateRead.h. Built into the fuzz target fuzz_update_read (with LUMIVANE_FUZZ_ENTRY,
// which adds libFuzzer's entry point and sets up the engine's surroundings once), into the probe
// program of the update tests and into the tests, which replay every reproducer and seed.
#include "workbooks/fuzz/FuzzUpdateRead.h"

#include "core/cOptions.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "workbooks/cUpdate.h"
#include "workbooks/fuzz/InputMemory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace workbooks::fuzz {

namespace {

using platform::sheet::CellRange;
using platform::sheet::CellRef;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;

// The password of the protected master sheet Costs (tests/fixtures/budget).
const QString kCostsPassword = QStringLiteral("costs");

// What a master cell was before the merge.
struct Before {
    QString formula;
    bool writable = false;
};

QString brokenRule(qint32 result, const Worksheet& sheet, const CellRange& around, const CellRef& used,
                   const std::vector<Before>& before, bool wasProtected) {
    if (result != cUpdate::kWritten && result != cUpdate::kFailed && result != cUpdate::kNoChange)
        return QStringLiteral("an answer the run does not book: %1").arg(result);
    std::size_t i = 0;
    for (int row = around.first.row; row <= around.last.row; ++row) {
        for (int col = around.first.col; col <= around.last.col; ++col, ++i) {
            if (sheet.formula({row, col}) == before[i].formula)
                continue;
            const QString cell = QStringLiteral("the cell (%1, %2) ").arg(row).arg(col);
            if (result != cUpdate::kWritten)
                return cell + QStringLiteral("was written though the file was not merged");
            if (row > used.row || col > used.col)
                return cell + QStringLiteral("outside the master's block was written");
            if (!before[i].writable)
                return cell + QStringLiteral("was written though it is locked");
            if (before[i].formula.startsWith(u'='))
                return cell + QStringLiteral("lost its formula");
        }
    }
    if (wasProtected && !sheet.isProtected())
        return QStringLiteral("the sheet is no longer protected");
    return {};
}

} // namespace

Merge mergeReturnedFile(const QByteArray& master, const QString& sheetName, const QString& path,
                        bool values) {
    const std::unique_ptr<Workbook> book = Workbook::openBytes(master, QStringLiteral("Budget.xlsx"));
    Worksheet& sheet = book->sheet(sheetName);
    const CellRef used = sheet.lastCell();
    const CellRange around({1, 1}, {used.row + 2, used.col + 2});
    std::vector<Before> before;
    for (int row = around.first.row; row <= around.last.row; ++row)
        for (int col = around.first.col; col <= around.last.col; ++col)
            before.push_back({sheet.formula({row, col}), sheet.canWrite({row, col})});
    const bool wasProtected = sheet.isProtected();

    Merge merge;
    const InputMemory memory;
    cUpdate engine;
    engine.UpChngeMode = kAcceptChanges;
    merge.result = engine.UpdateWBWS(*book, sheetName, QFileInfo(path).fileName(),
                                     wasProtected ? kCostsPassword : QString(), path, values);
    merge.peakMb = memory.peakMegabytes();
    core::gOptions->CorruptedFlag = false;
    core::gOptions->CancelOp = false;
    merge.broken = brokenRule(merge.result, sheet, around, used, before, wasProtected);
    if (merge.broken.isEmpty() && merge.peakMb > kMaxInputMegabytes)
        merge.broken = QStringLiteral("the reading took %1 MB").arg(merge.peakMb, 0, 'f', 0);
    return merge;
}

bool updateReadHolds(const QByteArray& master, const std::uint8_t* data, std::size_t size, QString* why) {
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/lumivane-fuzz-update-XXXXXX"));
    for (const QString& sheet : {QStringLiteral("Sales"), QStringLiteral("Costs")}) {
        const QString path = folder.filePath(sheet + QStringLiteral(".xlsx"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return true; // nowhere to put the file: nothing to judge
        file.close();
        for (const bool values : {false, true}) {
            const Merge merge = mergeReturnedFile(master, sheet, path, values);
            if (!merge.broken.isEmpty()) {
                if (why)
                    *why =
                        QStringLiteral("%1 (%2): %3").arg(sheet, values ? "values" : "whole", merge.broken);
                return false;
            }
        }
    }
    return true;
}

} // namespace workbooks::fuzz

#ifdef LUMIVANE_FUZZ_ENTRY
#include "workbooks/fuzz/UpdateReadEnvironment.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

QByteArray theMaster;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static workbooks::fuzz::UpdateReadEnvironment environment(QStringLiteral(LUMIVANE_MASTER_DB));
    QFile master(QStringLiteral(LUMIVANE_BUDGET_MASTER));
    if (!master.open(QIODevice::ReadOnly))
        std::abort();
    theMaster = master.readAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString why;
    if (!workbooks::fuzz::updateReadHolds(theMaster, data, size, &why)) {
        std::fprintf(stderr, "update read: %s\n", qPrintable(why));
        __builtin_trap();
    }
    return 0;
}
#endif
