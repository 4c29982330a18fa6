// Workbooks far larger inside than their files, for the tests of what reading one may cost:
// tests/fixtures/workbooks/make_large_workbook.py writes them into a fresh folder.
#pragma once

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

// A workbook `name` of the sheets make_large_workbook.py takes: "Sales=1000x1000" (that many
// rows of that many empty cells) or "A=+100000000" (one cell and that many blanks).
inline QString largeWorkbook(const QString& name, const QStringList& sheets) {
    const QString path = freshDir(QStringLiteral("large")) + u'/' + name;
    const ProgramResult made = runPython(
        QStringList{fixturePath(QStringLiteral("workbooks/make_large_workbook.py")), path} + sheets);
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    return path;
}

} // namespace testsupport
