// See LibreOfficeSheet.h.
#include "workbooks/tests/LibreOfficeSheet.h"

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace workbookstest {

QStringList LibreOfficeSheet(const QString& path, int sheetNumber, const QString& password) {
    const QString out = testsupport::freshDir(QStringLiteral("csv")) + QStringLiteral("/sheet.csv");
    QStringList args{testsupport::fixturePath(QStringLiteral("budget/lo_sheet_csv.py")), path, out,
                     QString::number(sheetNumber)};
    if (!password.isEmpty())
        args << password;
    const testsupport::ProgramResult run = testsupport::runPython(args);
    QFile csv(out);
    if (!csv.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "LibreOffice read nothing of " << path.toStdString() << ": "
                      << run.err.toStdString();
        return {};
    }
    return QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace workbookstest
