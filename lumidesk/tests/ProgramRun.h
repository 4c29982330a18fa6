// Runs the desktop program as a child process with its own home, settings and data folders,
// under the offscreen platform, answering its dialogs from an answers file and reading back
// what it showed from its transcript (see lumidesk/AnswersFileUi.h).
#pragma once

#include "platform/db/Connection.h"
#include "platform/sys/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace lumideskTest {

class ProgramRun {
public:
    // A fresh set of folders; the data folder exists but holds no master database.
    ProgramRun() {
        root_ = testsupport::freshDir(QStringLiteral("program-run"));
        for (const char* sub : {"home", "config", "data", "common/Lumidesk"})
            QDir().mkpath(root_ + QLatin1Char('/') + QLatin1String(sub));
    }

    QString dataFolder() const { return root_ + QStringLiteral("/common/Lumidesk"); }
    QString masterPath() const { return dataFolder() + QStringLiteral("/lumimaster.mdb"); }
    QString previousPath() const { return dataFolder() + QStringLiteral("/oldlumimaster.mdb"); }
    QString settingsPath() const { return root_ + QStringLiteral("/config/Lumivane/Lumivane.ini"); }
    QString transcriptPath(int run = 0) const { return root_ + QStringLiteral("/transcript%1.txt").arg(run); }

    // Copies the master database the build made to path, then lets change alter it.
    static void installMaster(const QString& path,
                              const std::function<void(platform::db::Connection&)>& change = {}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (change) {
            platform::db::Connection cnn;
            cnn.open(QStringLiteral("Data Source=") + path);
            change(cnn);
        }
    }

    // Reads or writes the child's settings (the test process's own settings folder is put
    // back afterwards).
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) {
        withChildSettings([&] { platform::sys::writeSetting(application, section, key, value); });
    }
    void writeSetting(const QString& section, const QString& key, const QString& value) {
        writeSetting(platform::sys::kDesktopApplication, section, key, value);
    }
    QString readSetting(const QString& application, const QString& section, const QString& key) {
        QString value;
        withChildSettings(
            [&] { value = platform::sys::readSetting(application, section, key, QStringLiteral("<none>")); });
        return value;
    }

    // Starts the program with these answers; run numbers the transcript.
    QProcess* start(const QStringList& answers, int run = 0) {
        const QString answersPath = root_ + QStringLiteral("/answers%1.txt").arg(run);
        QFile file(answersPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((answers.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        file.close();
        QFile::remove(transcriptPath(run));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), root_ + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root_ + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), root_ + QStringLiteral("/data"));
        env.insert(QStringLiteral("LUMIVANE_COMMON_FILES"), root_ + QStringLiteral("/common"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LUMIDESK_TEST_ANSWERS"), answersPath);
        env.insert(QStringLiteral("LUMIDESK_TEST_TRANSCRIPT"), transcriptPath(run));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::MergedChannels);
        if (withoutAccessOverride_ && ::geteuid() == 0)
            process->start(QStringLiteral("setpriv"),
                           {QStringLiteral("--bounding-set=-dac_override,-dac_read_search"),
                            QStringLiteral(LUMIDESK_PROGRAM)});
        else
            process->start(QStringLiteral(LUMIDESK_PROGRAM), {});
        EXPECT_TRUE(process->waitForStarted());
        processes_.push_back(std::move(process));
        return processes_.back().get();
    }

    // Runs the program to its end and answers its exit code (-1 when it did not end).
    int run(const QStringList& answers, int run = 0) {
        QProcess* process = start(answers, run);
        if (!process->waitForFinished(kPatienceMilliseconds)) {
            ADD_FAILURE() << "the program did not end; transcript:\n"
                          << transcript(run).join('\n').toStdString();
            process->kill();
            process->waitForFinished();
            return -1;
        }
        return process->exitCode();
    }

    // The transcript's lines.
    QStringList transcript(int run = 0) const {
        QFile file(transcriptPath(run));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // The texts of the message boxes shown, in order.
    QStringList messages(int run = 0) const {
        QStringList texts;
        for (const QString& line : transcript(run)) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() == 3 && fields[0] == QStringLiteral("message"))
                texts << QString(fields[2]).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        }
        return texts;
    }

    // The windows shown, in order.
    QStringList shown(int run = 0) const {
        QStringList names;
        for (const QString& line : transcript(run))
            if (line.startsWith(QStringLiteral("shown\t")))
                names << line.section(QLatin1Char('\t'), 1);
        return names;
    }

    // Waits until the transcript holds the line (the program runs on meanwhile).
    bool waitForLine(const QString& line, int run = 0) const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kPatienceMilliseconds) {
            if (transcript(run).contains(line))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    ~ProgramRun() {
        for (auto& process : processes_) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
        // A test may have taken the permissions away; the folders must go again.
        QFile::setPermissions(dataFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Runs the program without the file-access override that root has, so that file
    // permissions apply to it as to any user (a user who is not root has no such override).
    void runWithoutAccessOverride() { withoutAccessOverride_ = true; }

private:
    // How long a run may take before the test gives up on it (a hang, not a speed goal).
    static constexpr int kPatienceMilliseconds = 60000;

    void withChildSettings(const std::function<void()>& work) {
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        setenv("XDG_CONFIG_HOME", qPrintable(root_ + QStringLiteral("/config")), 1);
        work();
        setenv("XDG_CONFIG_HOME", previous.constData(), 1);
    }

    QString root_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    bool withoutAccessOverride_ = false;
};

} // namespace lumideskTest
