// What fuzzing found stays fixed: every reproducer saved from a finding of the workbook layer's
// fuzz targets, and every seed of their corpora, runs through the targets' own code in this
// plain build; a crash fails the test.
#include "platform/sheet/fuzz/FuzzTargets.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace platform::sheet {
namespace {

// Runs every file of the target's reproducers and corpus folders; answers how many there were.
int replay(const QString& target, void (*run)(const std::uint8_t*, std::size_t)) {
    const QString root =
        qEnvironmentVariable("LUMIVANE_SOURCE_DIR") + QStringLiteral("/platform/sheet/fuzz/");
    int count = 0;
    for (const QString& folder :
         {root + QStringLiteral("reproducers/") + target, root + QStringLiteral("corpus/") + target})
        for (const QFileInfo& input : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
            QFile file(input.filePath());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.readAll();
            run(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                static_cast<std::size_t>(bytes.size()));
            ++count;
        }
    return count;
}

TEST(FuzzReplay, EveryReproducerAndSeedOfTheWorkbookTargetsRunsThrough) {
    EXPECT_GE(replay(QStringLiteral("workbook_open"), &fuzz::workbookOpen), 2);
    EXPECT_GE(replay(QStringLiteral("part_xml"), &fuzz::partXml), 4);
    EXPECT_GE(replay(QStringLiteral("macro_project"), &fuzz::macroProject), 2);
}

} // namespace
} // namespace platform::sheet
