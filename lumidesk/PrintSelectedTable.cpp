// See PrintSelectedTable.h.
#include "lumidesk/PrintSelectedTable.h"

#include "admin/AdminServices.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/frmErrorsTable.h"
#include "lumidesk/ShellLinks.h"
#include "lumidesk/frmDataTable.h"
#include "lumidesk/frmMain.h"
#include "lumidesk/frmPrint.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Ui.h"
#include "wizard/WizardServices.h"
#include "wizard/frmWizard.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <functional>
#include <optional>

namespace lumidesk {

namespace {

using platform::ui::DataGrid;

struct PrintableGrid {
    QString document;
    QString form;
    QString grid;
    bool unloadAfter;
    // Loads the window when it is not loaded.
    std::function<void()> load;
};

void loadConfigure() {
    admin::LoadConfigure(gMainForm.data());
}

void loadErrorsBrowser() {
    new core::frmErrorsTable(gMainForm.data());
}

// The wizard is loaded hidden, on its current context.
void loadWizard() {
    new wizard::frmWizard(gMainForm.data());
}

// Loading the Budgets Explorer shows it, since it is a child window of the main window.
void loadBudgetsExplorer() {
    links::ShowBudgetsExplorer();
}

const QList<PrintableGrid>& printableGrids() {
    static const QList<PrintableGrid> grids = {
        {QStringLiteral("FolderNames table"), admin::kConfigureFormName, QStringLiteral("dtFolderNames"),
         true, loadConfigure},
        {QStringLiteral("Errors table"), QStringLiteral("frmErrorsTable"), QStringLiteral("dtErrors"), true,
         loadErrorsBrowser},
        {QStringLiteral("Master files table"), wizard::kWizardFormName, QStringLiteral("dtMasterFiles"), true,
         loadWizard},
        {QStringLiteral("User file assign table"), wizard::kWizardFormName, QStringLiteral("dtUFAssign"),
         true, loadWizard},
        {QStringLiteral("Users status table"), frmDataTable::kFormName, QStringLiteral("dtUFStatus"), false,
         loadBudgetsExplorer},
        {QStringLiteral("UsersData table"), admin::kConfigureFormName, QStringLiteral("dtUsersData"), true,
         loadConfigure},
        {QStringLiteral("Worksheets table"), wizard::kWizardFormName, QStringLiteral("dtWorksheets"), true,
         loadWizard},
    };
    return grids;
}

const PrintableGrid* printableGrid(const QString& document) {
    for (const PrintableGrid& grid : printableGrids())
        if (grid.document == document)
            return &grid;
    return nullptr;
}

DataGrid* loadedGrid(const PrintableGrid& target) {
    QWidget* window = platform::ui::LoadedWindows::find(target.form);
    return window ? window->findChild<DataGrid*>(target.grid) : nullptr;
}

std::optional<QString> askPdfPath(const QString& document) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    platform::ui::FileRequest request;
    request.title = QStringLiteral("Print to PDF");
    request.filter = QStringLiteral("PDF files (*.pdf)");
    request.initialPath = QDir(folder).filePath(document + QStringLiteral(".pdf"));
    std::optional<QString> path = platform::ui::ui().saveFile(request);
    if (path && QFileInfo(*path).suffix().isEmpty())
        *path += QStringLiteral(".pdf");
    return path;
}

// The print window closes itself (it is deleted once its Continue handler has returned), and
// the Budgets Explorer is shown.
void finish() {
    if (frmPrint* window = frmPrint::loaded())
        window->close();
    links::ShowBudgetsExplorer();
}

} // namespace

QString PrintFailedText(const QString& path) {
    return QStringLiteral("The table could not be printed to ") + QDir::toNativeSeparators(path) +
           QStringLiteral(".");
}

bool PrintSelectedTable() {
    try {
        const frmPrint* window = frmPrint::loaded();
        if (!window)
            return false;
        platform::ui::GridPrintOptions options;
        options.fitOnPage = window->chkFitonpage()->isChecked();
        options.skipHidden = window->chkSkipHidden()->isChecked();
        options.documentName = window->chosenDocument();
        options.title = window->chosenTitle();

        const PrintableGrid* target = printableGrid(options.documentName);
        if (!target) {
            finish();
            return false;
        }
        const std::optional<QString> path = askPdfPath(options.documentName);
        if (!path)
            return false;

        links::CloseBudgetsExplorer();
        DataGrid* grid = loadedGrid(*target);
        if (!grid && target->load) {
            target->load();
            grid = loadedGrid(*target);
        }
        const bool printed = grid && grid->printToPdf(*path, options);
        if (target->unloadAfter)
            core::UnloadForm(target->form);
        if (!printed)
            platform::ui::msgBox(PrintFailedText(*path), platform::ui::Buttons::Ok, core::appTitle(),
                                 platform::ui::Icon::Exclamation);
        finish();
        return printed;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

} // namespace lumidesk
