// The records of a macro project's dir stream (decompressed), as far as listing needs them: the
// project's code page and name, and for each module its name, the name of its stream, where its
// compressed source starts in that stream, and whether it is a standard (procedural) module.
// Records are read by identifier and size and those not needed are passed over; a record that
// claims more bytes than there are is the damaged-project error.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform::sheet::macro {

struct DirModule {
    QString name;
    QString streamName;
    std::uint32_t sourceOffset = 0;
    bool procedural = false;
};

struct DirInfo {
    std::uint16_t codePage = 1252;
    QString projectName;
    std::vector<DirModule> modules;
};

// Throws SheetError (DamagedMacroProject).
DirInfo readDir(const QByteArray& dir);

// Text in the project's code page; bytes it cannot take are read as Latin-1.
QString decodeText(const QByteArray& bytes, std::uint16_t codePage);

} // namespace platform::sheet::macro
