// The update run's reading of a returned user file, end to end, for fuzzing and for replaying
// what fuzzing found: the input is a user file, which the update engine reads, compares with its
// master sheet and merges as the run does in accept mode -- with its refusals, errors rows and
// questions (answered with their first button), without the windows. The master is
// tests/fixtures/budget/Budget.xlsx: Sales (values and formulas) and Costs (protected, its
// inputs unlocked), each merged as a whole cut and as a cut of values.
//
// Every merge must keep the rules whatever the file holds: a file is merged whole or not at all,
// no cell outside the master sheet's used block is written, nor a locked cell of a protected
// sheet, nor any formula of the master; the protected sheet stays protected. And reading one
// input may take at most kMaxInputMegabytes of memory: the workbook layer's limits bound what a
// file may hold, and the reading must cost what the file holds, not what it claims.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace workbooks::fuzz {

constexpr double kMaxInputMegabytes = 256;

// One merge: the engine's answer (cUpdate::UpdateWBWS), the memory it took, and the rule it broke
// ("" when none).
struct Merge {
    qint32 result = -1;
    double peakMb = -1;
    QString broken;
};

// Merges the user file at `path` into the sheet (Sales or Costs) of a fresh copy of the master.
// Needs the options, the connection to a master database and a dialog service in place.
Merge mergeReturnedFile(const QByteArray& master, const QString& sheet, const QString& path, bool values);

// The input merged into each sheet in each way; false when a merge broke a rule (why says which).
bool updateReadHolds(const QByteArray& master, const std::uint8_t* data, std::size_t size,
                     QString* why = nullptr);

} // namespace workbooks::fuzz
