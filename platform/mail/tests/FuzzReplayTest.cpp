// What fuzzing found stays fixed: every reproducer saved from a finding of the mail target, and
// every seed of its corpus, runs through the target's own code in this plain build. Among the
// reproducers are a recipient, a sender and an attachment name with a line break in them.
#include "platform/mail/fuzz/FuzzMailInput.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace platform::mail {
namespace {

QStringList inputsIn(const QString& folder) {
    QStringList paths;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
        paths << file.filePath();
    return paths;
}

TEST(FuzzReplay, EveryReproducerAndSeedOfTheMailTargetHolds) {
    const QString root = qEnvironmentVariable("LUMIVANE_SOURCE_DIR") + QStringLiteral("/platform/mail/fuzz");
    const QStringList reproducers = inputsIn(root + QStringLiteral("/reproducers/mail_input"));
    const QStringList seeds = inputsIn(root + QStringLiteral("/corpus/mail_input"));
    ASSERT_GE(reproducers.size(), 3) << "the reproducers were not found under " << root.toStdString();
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& path : reproducers + seeds) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray input = file.readAll();
        EXPECT_TRUE(fuzz::mailInputHolds(reinterpret_cast<const std::uint8_t*>(input.constData()),
                                         static_cast<std::size_t>(input.size())))
            << path.toStdString();
    }
}

} // namespace
} // namespace platform::mail
