// See WorkbookFiles.h.
#include "lumisheet/WorkbookFiles.h"

#include "lumisheet/HostMessages.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"

#include <QFileInfo>

namespace lumisheet {

namespace {

using platform::sheet::SheetError;
using platform::sheet::Workbook;
using platform::ui::Answer;
using platform::ui::Buttons;

void tell(const SheetError& error) {
    ShowHostMessage(error.description(), Buttons::Ok, platform::ui::Icon::Exclamation);
}

QString workbookFileName(QString path) {
    if (!Workbook::isWorkbookName(path))
        path += QLatin1String(Workbook::kDefaultExtension);
    return path;
}

// Asks for the new name and saves there.
bool saveAsAsked(Workbook& workbook) {
    platform::ui::FileRequest request;
    request.title = QStringLiteral("Save As");
    request.filter = kWorkbookFilter;
    request.initialPath = workbook.path().isEmpty()
                              ? workbook.name() + QLatin1String(Workbook::kDefaultExtension)
                              : workbook.fullName();
    const std::optional<QString> path = platform::ui::ui().saveFile(request);
    if (!path)
        return false;
    try {
        workbook.saveAs(workbookFileName(*path));
        return true;
    } catch (const SheetError& error) {
        tell(error);
        return false;
    }
}

} // namespace

Workbook* OpenWorkbook(platform::sheet::Application& app, const QString& path) {
    platform::sheet::OpenOptions options;
    for (;;) {
        try {
            return &app.open(path, options);
        } catch (const SheetError& error) {
            const bool asked = error.code() == SheetError::Code::PasswordRequired;
            const bool refused =
                error.code() == SheetError::Code::WrongPassword && !options.password.isEmpty();
            if (!asked && !refused) {
                tell(error);
                return nullptr;
            }
            if (refused)
                tell(error);
            const std::optional<QString> password =
                platform::ui::ui().password(kPasswordPrompt.arg(QFileInfo(path).fileName()), kHostTitle);
            if (!password)
                return nullptr;
            options.password = *password;
        }
    }
}

PendingWorkbook::PendingWorkbook(const QString& path)
    : path_(path)
    , reading_(std::async(std::launch::async, [path] { return Workbook::open(path); })) {}

PendingWorkbook::~PendingWorkbook() {
    // A reading never taken over is finished and its workbook let go.
    if (reading_.valid())
        reading_.wait();
}

PendingWorkbook::PendingWorkbook(PendingWorkbook&&) noexcept = default;
PendingWorkbook& PendingWorkbook::operator=(PendingWorkbook&&) noexcept = default;

std::unique_ptr<Workbook> PendingWorkbook::take() {
    return reading_.get();
}

Workbook* OpenWorkbook(platform::sheet::Application& app, PendingWorkbook& pending) {
    const QFileInfo file(pending.path());
    if (app.findWorkbook(file.absoluteFilePath()) || app.findWorkbook(file.fileName()))
        return OpenWorkbook(app, pending.path());
    try {
        return &app.adopt(pending.take());
    } catch (const SheetError& error) {
        if (error.code() == SheetError::Code::PasswordRequired)
            return OpenWorkbook(app, pending.path());
        tell(error);
        return nullptr;
    }
}

Workbook* OpenWorkbookAsked(platform::sheet::Application& app) {
    platform::ui::FileRequest request;
    request.title = QStringLiteral("Open");
    request.filter = kWorkbookFilter;
    const std::optional<QString> path = platform::ui::ui().openFile(request);
    return path ? OpenWorkbook(app, *path) : nullptr;
}

bool SaveWorkbook(Workbook& workbook) {
    if (workbook.path().isEmpty())
        return saveAsAsked(workbook);
    try {
        workbook.save();
        return true;
    } catch (const SheetError& error) {
        tell(error);
        return false;
    }
}

bool SaveWorkbookAs(platform::sheet::Application& app, Workbook& workbook) {
    if (app.isHeld(workbook)) {
        ShowHostMessage(kHeldSaveAsText.arg(workbook.name()), Buttons::Ok, platform::ui::Icon::Exclamation);
        return false;
    }
    return saveAsAsked(workbook);
}

bool CloseWorkbook(platform::sheet::Application& app, Workbook& workbook) {
    if (app.isHeld(workbook)) {
        ShowHostMessage(platform::sheet::Application::heldText(workbook), Buttons::Ok,
                        platform::ui::Icon::Exclamation);
        return false;
    }
    if (!workbook.saved() && app.displayAlerts()) {
        const Answer answer = ShowHostMessage(kSaveChangesQuestion.arg(workbook.name()), Buttons::YesNoCancel,
                                              platform::ui::Icon::Exclamation);
        if (answer == Answer::Cancel || (answer == Answer::Yes && !SaveWorkbook(workbook)))
            return false;
    }
    app.close(workbook, false);
    return true;
}

} // namespace lumisheet
