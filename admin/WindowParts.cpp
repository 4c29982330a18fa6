// See WindowParts.h.
#include "admin/WindowParts.h"

#include "core/AppTitle.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace admin::parts {

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* created = new QLabel(text, parent);
    created->setObjectName(name);
    return created;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
    auto* created = platform::ui::namedControl<QPushButton>(parent, name, caption);
    created->setAutoDefault(false);
    return created;
}

QLineEdit* textBox(QWidget* parent, const QString& name) {
    auto* created = new QLineEdit(parent);
    created->setObjectName(name);
    return created;
}

QLineEdit* passwordBox(QWidget* parent, const QString& name) {
    QLineEdit* created = textBox(parent, name);
    created->setEchoMode(QLineEdit::Password);
    return created;
}

QHBoxLayout* buttonRow(const QList<QPushButton*>& buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* each : buttons)
        row->addWidget(each);
    return row;
}

bool FolderHoldsMasterDatabase(const QString& folder) {
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (name.compare(kMasterFileName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::optional<QString> chooseMasterDatabase(const QString& title, const QString& question,
                                            const QString& startPath, bool save) {
    const QFileInfo start(startPath);
    const QString folder = start.isDir() ? start.absoluteFilePath() : start.absolutePath();
    platform::ui::FileRequest request{title, kDatabaseFilter, folder + QLatin1Char('/') + kMasterFileName};
    request.confirmOverwrite = false;
    for (;;) {
        const auto chosen =
            save ? platform::ui::ui().saveFile(request) : platform::ui::ui().openFile(request);
        if (!chosen || chosen->isEmpty())
            return std::nullopt;
        if (QFileInfo(*chosen).fileName() != kMasterFileName)
            continue;
        if (platform::ui::msgBox(question, platform::ui::Buttons::YesNo, core::appTitle(),
                                 platform::ui::Icon::Question) == platform::ui::Answer::Yes)
            return chosen;
    }
}

} // namespace admin::parts
