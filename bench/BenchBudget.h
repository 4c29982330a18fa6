// What the update-run and cycle benchmarks share: the budget "Bench" of 10 master workbooks
// (M0.xlsx ... M9.xlsx of 10 sheets, made by make_update_masters.py; the cycle for 1,000 users
// takes 100) in a fresh master database,
// every sheet picked and filed under the folder U<m>, and a dialog service that answers every
// question with its first button.
#pragma once

#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace bench {

constexpr int kMasters = 10;
constexpr int kSheets = 10;

// Answers every question with its box's first button and says what was asked.
class ScriptUi final : public platform::ui::Ui {
public:
    int asked = 0;
    platform::ui::Answer message(const platform::ui::Message& message) override {
        ++asked;
        std::fprintf(stderr, "asked: %s\n", qPrintable(message.text));
        return platform::ui::firstAnswer(message.buttons);
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> password(const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const platform::ui::FileRequest&) override { return {}; }
    std::optional<QString> saveFile(const platform::ui::FileRequest&) override { return {}; }
    std::optional<QString> chooseFolder(const platform::ui::FileRequest&) override { return {}; }
};

inline QString masterName(int m) {
    return QStringLiteral("M%1.xlsx").arg(m);
}
inline QString sheetName(int m, int s) {
    return QStringLiteral("M%1S%2").arg(m).arg(s);
}

inline void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            copyFolder(entry.filePath(), to + u'/' + entry.fileName());
        else
            QFile::copy(entry.filePath(), to + u'/' + entry.fileName());
    }
}

// The budget "Bench" with its masters and picked worksheets in a fresh master database.
inline void makeBudget(const QString& folder, int masters = kMasters) {
    const QString data = folder + QStringLiteral("/common/Lumidesk");
    QDir().mkpath(data);
    QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), data + QStringLiteral("/lumimaster.mdb"));
    QFile::setPermissions(data + QStringLiteral("/lumimaster.mdb"), QFile::ReadOwner | QFile::WriteOwner);
    qputenv("LUMIVANE_COMMON_FILES", (folder + QStringLiteral("/common")).toLocal8Bit());
    core::gOptions = std::make_unique<core::cOptions>();
    core::gOptions->BudgetNameContext = QStringLiteral("Bench");
    core::gCnn = std::make_unique<core::cConnection>();
    core::gCnn->LocalCnn();
    platform::db::Connection cnn;
    cnn.open(core::gCnn->LumiCnn());
    cnn.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name, Active) VALUES ('Bench', 1)"));
    for (int m = 0; m < masters; ++m) {
        cnn.execute(QStringLiteral("INSERT INTO MasterFiles (ID_MasterFiles, Master_File, Path, Budget_Name) "
                                   "VALUES (?, ?, ?, 'Bench')"),
                    {1000 + m, masterName(m), folder + QStringLiteral("/run")});
        for (int s = 0; s < kSheets; ++s)
            cnn.execute(
                QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Select_By_User, Folder_Name, "
                               "MasterFiles_ID, Master_File, Budget_Name) VALUES (?, 1, ?, ?, ?, 'Bench')"),
                {sheetName(m, s), QStringLiteral("U%1").arg(m), 1000 + m, masterName(m)});
    }
}

// The benchmark's working folder (its one argument, made absolute), after pointing the runtime
// folder below it and drawing the windows of the run (the wait window) off screen. Call before
// the QApplication is made.
inline QString prepareRun(const char* folderArgument) {
    const QString folder = QDir(QString::fromLocal8Bit(folderArgument)).absolutePath();
    const QString runtime = folder + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return folder;
}

} // namespace bench
