// See SpreadsheetProgram.h.
#include "platform/sys/SpreadsheetProgram.h"

#include "platform/sys/SpecialFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace platform::sys {

namespace {

ProgramStarter& starter() {
    static ProgramStarter installed;
    return installed;
}

bool isProgram(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

} // namespace

QString spreadsheetProgram() {
    const QString named = qEnvironmentVariable("LUMIVANE_SPREADSHEET_PROGRAM");
    if (!named.isEmpty())
        return isProgram(named) ? QFileInfo(named).absoluteFilePath() : QString();
    const QDir folder(programFolder());
    for (const QString& candidate : {folder.filePath(QStringLiteral("lumisheet")),
                                     folder.filePath(QStringLiteral("../lumisheet/lumisheet"))}) {
        if (isProgram(candidate))
            return QDir::cleanPath(candidate);
    }
    return {};
}

bool openInSpreadsheetProgram(const QString& workbookPath) {
    const QString program = spreadsheetProgram();
    if (program.isEmpty())
        return false;
    const QStringList arguments{QFileInfo(workbookPath).absoluteFilePath()};
    return starter() ? starter()(program, arguments) : QProcess::startDetached(program, arguments);
}

void setProgramStarter(ProgramStarter replacement) {
    starter() = std::move(replacement);
}

} // namespace platform::sys
