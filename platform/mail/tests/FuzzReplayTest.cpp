// What fuzzing found stays fixed: every reproducer saved from a finding of the mail targets, and
// every seed of their corpora, runs through the targets' own code in this plain build. Among the
// reproducers are a recipient, a sender and an attachment name with a line break in them, and
// headers whose From field the collection once read where the parser reads none.
#include "platform/mail/fuzz/FuzzMailInput.h"
#include "platform/mail/fuzz/FuzzMailSender.h"
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

QByteArray contentOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The target's reproducers and seeds under platform/mail/fuzz, at least `least` reproducers.
QStringList inputsOf(const QString& target, int least) {
    const QString root = qEnvironmentVariable("LUMIVANE_SOURCE_DIR") + QStringLiteral("/platform/mail/fuzz");
    const QStringList reproducers = inputsIn(root + QStringLiteral("/reproducers/") + target);
    const QStringList seeds = inputsIn(root + QStringLiteral("/corpus/") + target);
    EXPECT_GE(reproducers.size(), least) << "the reproducers were not found under " << root.toStdString();
    EXPECT_FALSE(seeds.isEmpty());
    return reproducers + seeds;
}

TEST(FuzzReplay, EveryReproducerAndSeedOfTheMailTargetHolds) {
    for (const QString& path : inputsOf(QStringLiteral("mail_input"), 3)) {
        const QByteArray input = contentOf(path);
        EXPECT_TRUE(fuzz::mailInputHolds(reinterpret_cast<const std::uint8_t*>(input.constData()),
                                         static_cast<std::size_t>(input.size())))
            << path.toStdString();
    }
}

TEST(FuzzReplay, EveryReproducerAndSeedOfTheSenderTargetHolds) {
    for (const QString& path : inputsOf(QStringLiteral("mail_sender"), 3)) {
        const QByteArray input = contentOf(path);
        EXPECT_TRUE(fuzz::mailSenderHolds(reinterpret_cast<const std::uint8_t*>(input.constData()),
                                          static_cast<std::size_t>(input.size())))
            << path.toStdString();
    }
}

} // namespace
} // namespace platform::mail
