// See LibreOfficeSheet.h.
#include "workbooks/tests/LibreOfficeSheet.h"

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace workbookstest {

QList<QStringList> LibreOfficeSheets(const QString& path, const QList<int>& sheetNumbers, const QString& password) {
    const QString out = testsupport::freshDir(QStringLiteral("csv"));
    QStringList numbers;
    for (const int number : sheetNumbers)
        numbers << QString::number(number);
    QStringList args{testsupport::fixturePath(QStringLiteral("budget/lo_sheet_csv.py")), path, out,
                     numbers.join(u',')};
    if (!password.isEmpty())
        args << password;
    const testsupport::ProgramResult run = testsupport::runPython(args);
    QList<QStringList> sheets;
    for (const QString& number : numbers) {
        QFile csv(out + u'/' + number + QStringLiteral(".csv"));
        if (!csv.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "LibreOffice read no sheet " << number.toStdString() << " of " << path.toStdString()
                          << ": " << run.err.toStdString();
            sheets << QStringList();
            continue;
        }
        sheets << QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    return sheets;
}

QStringList LibreOfficeSheet(const QString& path, int sheetNumber, const QString& password) {
    return LibreOfficeSheets(path, {sheetNumber}, password).value(0);
}

} // namespace workbookstest
