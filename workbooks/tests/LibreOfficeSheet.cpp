// See LibreOfficeSheet.h.
#include "workbooks/tests/LibreOfficeSheet.h"

#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace workbookstest {

QStringList LibreOfficeSheet(const QString& path, int sheetNumber, const QString& password) {
    const QString out = testsupport::freshDir(QStringLiteral("csv")) + QStringLiteral("/sheet.csv");
    QStringList args{testsupport::fixturePath(QStringLiteral("budget/lo_sheet_csv.py")), path, out,
                     QString::number(sheetNumber)};
    if (!password.isEmpty())
        args << password;
    QProcess process;
    process.start(testsupport::python(), args);
    process.closeWriteChannel();
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
    }
    QFile csv(out);
    if (!csv.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "LibreOffice read nothing of " << path.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace workbookstest
