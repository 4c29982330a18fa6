// The spreadsheet program that opens workbooks for the user: the one the environment names, else
// the one beside the running program or in the build tree; it is really started with the
// workbook's full path, and a program that is not there is not found.
#include "platform/sys/SpreadsheetProgram.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(SpreadsheetProgram, TheNamedProgramIsStartedWithTheWorkbook) {
    const QString folder = testsupport::freshDir(QStringLiteral("program"));
    const QString record = folder + QStringLiteral("/started");
    const QString program = folder + QStringLiteral("/sheet");
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > \"%1.tmp\" && mv \"%1.tmp\" \"%1\"\n")
                         .arg(record)
                         .toUtf8());
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray previous = qgetenv("LUMIVANE_SPREADSHEET_PROGRAM");
    setenv("LUMIVANE_SPREADSHEET_PROGRAM", qPrintable(program), 1);

    EXPECT_EQ(platform::sys::spreadsheetProgram(), program);
    QDir::setCurrent(folder);
    ASSERT_TRUE(platform::sys::openInSpreadsheetProgram(QStringLiteral("Budget.xlsx")));
    for (int i = 0; i < 400 && !QFile::exists(record); ++i)
        QTest::qWait(25);
    QFile started(record);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(started.readAll()), folder + QStringLiteral("/Budget.xlsx"));

    setenv("LUMIVANE_SPREADSHEET_PROGRAM", qPrintable(folder + QStringLiteral("/missing")), 1);
    EXPECT_EQ(platform::sys::spreadsheetProgram(), QString());
    EXPECT_FALSE(platform::sys::openInSpreadsheetProgram(QStringLiteral("Budget.xlsx")));
    setenv("LUMIVANE_SPREADSHEET_PROGRAM", previous.constData(), 1);
}

} // namespace
