// See UpdateReadEnvironment.h.
#include "workbooks/fuzz/UpdateReadEnvironment.h"

#include "core/cConnection.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace workbooks::fuzz {

namespace {

// Answers every question with its box's first button and keeps the text.
class AnsweringUi final : public platform::ui::Ui {
public:
    explicit AnsweringUi(std::shared_ptr<QStringList> texts)
        : texts_(std::move(texts)) {}
    platform::ui::Answer message(const platform::ui::Message& message) override {
        *texts_ << message.text;
        return platform::ui::firstAnswer(message.buttons);
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> password(const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const platform::ui::FileRequest&) override { return {}; }
    std::optional<QString> saveFile(const platform::ui::FileRequest&) override { return {}; }
    std::optional<QString> chooseFolder(const platform::ui::FileRequest&) override { return {}; }

private:
    std::shared_ptr<QStringList> texts_;
};

QString scratchRoot() {
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    return memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
}

} // namespace

UpdateReadEnvironment::UpdateReadEnvironment(const QString& masterDatabase)
    : folder_(scratchRoot() + QStringLiteral("/lumivane-update-XXXXXX"))
    , messages_(std::make_shared<QStringList>()) {
    for (const char* sub : {"config", "data", "common/Lumidesk"})
        QDir().mkpath(folder_.filePath(QString::fromLatin1(sub)));
    setenv("XDG_CONFIG_HOME", qPrintable(folder_.filePath(QStringLiteral("config"))), 1);
    setenv("XDG_DATA_HOME", qPrintable(folder_.filePath(QStringLiteral("data"))), 1);
    setenv("LUMIVANE_COMMON_FILES", qPrintable(folder_.filePath(QStringLiteral("common"))), 1);
    const QString database = folder_.filePath(QStringLiteral("common/Lumidesk/lumimaster.mdb"));
    QFile::copy(masterDatabase, database);
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
    core::gOptions = std::make_unique<core::cOptions>();
    core::gOptions->BudgetNameContext = QStringLiteral("Fuzz");
    core::gCnn = std::make_unique<core::cConnection>();
    core::gCnn->LocalCnn();
    platform::ui::installUi(std::make_unique<AnsweringUi>(messages_));
}

UpdateReadEnvironment::~UpdateReadEnvironment() {
    platform::ui::installUi(nullptr);
    core::gDB3.reset();
    core::gCnn.reset();
    core::gOptions.reset();
}

QStringList UpdateReadEnvironment::takeMessages() {
    return std::exchange(*messages_, {});
}

} // namespace workbooks::fuzz
