// See frmSync.h. The handlers show the add-in's generic error message for a failure and switch
// the spreadsheet program's screen updating on at their end. The three that change records are
// refused while a run works on them.
#include "lumicell/buildbudget/frmSync.h"

#include "core/RunGuard.h"
#include "lumicell/AddIn.h"
#include "lumicell/DialogHandler.h"
#include "lumicell/ParentToExcel.h"
#include "lumicell/buildbudget/CreateUserFilesGrid.h"
#include "lumicell/buildbudget/WorksheetRecordSync.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/NamedControls.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <functional>

namespace lumicell {

namespace {

using platform::ui::namedControl;

platform::sheet::Workbook* activeWorkbook() {
    platform::sheet::Application* app = gXLApp();
    return app ? app->activeWorkbook() : nullptr;
}

QString selectedText(const platform::ui::ListBox& list) {
    const int entry = list.selectedEntry();
    return entry < 0 ? QString() : list.subItem(entry);
}

} // namespace

frmSync::frmSync(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    lblTitle_ = namedControl<QLabel>(this, QStringLiteral("lblTitle"), QString());
    lbxWB_ = new platform::ui::ListBox(this);
    lbxWB_->setObjectName(QStringLiteral("lbxWB"));
    lbxWB_->setColumnHeadings({QStringLiteral("Excel Worksheets")});
    lbxDB_ = new platform::ui::ListBox(this);
    lbxDB_->setObjectName(QStringLiteral("lbxDB"));
    lbxDB_->setColumnHeadings({QStringLiteral("DB Record Names")});
    cmdAddRec_ = namedControl<QPushButton>(this, QStringLiteral("cmdAddRec"), QStringLiteral(">"));
    cmdDelRec_ =
        namedControl<QPushButton>(this, QStringLiteral("cmdDelRec"), QStringLiteral("Delete Record"));
    cmdClearRec_ =
        namedControl<QPushButton>(this, QStringLiteral("cmdClearRec"), QStringLiteral("Clear Records"));
    cmdAutoSync_ =
        namedControl<QPushButton>(this, QStringLiteral("cmdAutoSync"), QStringLiteral("Auto Sync"));
    cmdOK_ = namedControl<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("OK"),
                                       QStringLiteral("Click to run the operation."));
    cmdCancel_ = namedControl<QPushButton>(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                                           QStringLiteral("Click to cancel the operation."));
    cmdHelp_ = namedControl<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblTitle_, 0, 0, 1, 3);
    layout->addWidget(lbxWB_, 1, 0, 4, 1);
    layout->addWidget(cmdAddRec_, 1, 1);
    layout->addWidget(cmdDelRec_, 2, 1);
    layout->addWidget(cmdClearRec_, 3, 1);
    layout->addWidget(cmdAutoSync_, 4, 1);
    layout->addWidget(lbxDB_, 1, 2, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {cmdOK_, cmdCancel_, cmdHelp_})
        buttons->addWidget(button);
    layout->addLayout(buttons, 5, 0, 1, 3);

    connect(cmdAddRec_, &QPushButton::clicked, this, &frmSync::cmdAddRec_Click);
    connect(cmdDelRec_, &QPushButton::clicked, this, &frmSync::cmdDelRec_Click);
    connect(cmdClearRec_, &QPushButton::clicked, this, &frmSync::cmdClearRec_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmSync::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdHelp_, &QPushButton::clicked, this, [] { platform::ui::showHelpPage(kFormName); });
}

frmSync* frmSync::loaded() {
    return qobject_cast<frmSync*>(platform::ui::LoadedWindows::find(kFormName));
}

frmSync& frmSync::open() {
    frmSync* dialog = loaded();
    if (!dialog) {
        dialog = new frmSync(ExcelWindow());
        dialog->Form_Load();
    }
    dialog->show();
    dialog->raise();
    return *dialog;
}

void frmSync::Form_Load() {
    RunDialogHandler([this] {
        gOptions()->ActiveForm = this;
        lblTitle_->setText(VersionText());
        lbxWB_->clearItems();
        lbxDB_->clearItems();
        if (platform::sheet::Workbook* book = activeWorkbook())
            for (const platform::sheet::Worksheet* sheet : book->worksheets())
                lbxWB_->addEntry(sheet->name());
        LoadSyncDatabaseList();
        ParentToExcel(*this);
    });
}

void frmSync::LoadSyncDatabaseList() {
    const QStringList names = WorksheetRecordNames();
    if (names.isEmpty())
        return; // the list keeps what it showed
    lbxDB_->clearItems();
    for (const QString& name : names)
        lbxDB_->addEntry(name);
    lbxDB_->selectEntry(lbxDB_->listCount() - 1);
}

void frmSync::cmdAddRec_Click() {
    if (core::RunGuard::refuseDuringRun())
        return;
    RunDialogHandler([this] {
        const QString name = selectedText(*lbxWB_);
        for (int entry = 0; entry < lbxDB_->listCount(); ++entry)
            if (lbxDB_->subItem(entry) == name && !name.isEmpty())
                return;
        if (AddWorksheetRecord(name))
            LoadSyncDatabaseList();
    });
}

void frmSync::cmdDelRec_Click() {
    if (core::RunGuard::refuseDuringRun())
        return;
    RunDialogHandler([this] {
        if (DeleteWorksheetRecord(selectedText(*lbxDB_)))
            LoadSyncDatabaseList();
    });
}

void frmSync::cmdClearRec_Click() {
    if (core::RunGuard::refuseDuringRun())
        return;
    RunDialogHandler([this] {
        if (platform::sheet::Workbook* book = activeWorkbook())
            ResyncWorksheetRecords(*book);
        LoadSyncDatabaseList();
    });
}

void frmSync::cmdOK_Click() {
    cOptions& options = *gOptions();
    if (options.RequestedByCUF) {
        BuildBudget();
        options.RequestedByCUF = false;
    }
    close();
    if (frmBuild* build = frmBuild::loaded()) {
        build->show();
        LoadCreateUserFilesGrid(*build);
    }
}

void frmSync::closeEvent(QCloseEvent* event) {
    setObjectName(QString()); // no longer found as the loaded dialog while it waits to be deleted
    QWidget::closeEvent(event);
}

void frmSync::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        gOptions()->ActiveForm = this;
}

} // namespace lumicell
