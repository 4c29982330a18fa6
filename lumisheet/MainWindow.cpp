// See MainWindow.h.
#include "lumisheet/MainWindow.h"

#include "lumisheet/AddInHost.h"
#include "lumisheet/HostMessages.h"
#include "lumisheet/SheetModel.h"
#include "lumisheet/SheetView.h"
#include "lumisheet/WorkbookFiles.h"
#include "lumisheet/WorkbookView.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/ProgramIcons.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumisheet {

using platform::sheet::CellAddress;
using platform::sheet::CellRange;
using platform::sheet::CellRef;
using platform::sheet::Workbook;
using platform::sheet::Worksheet;

MainWindow::MainWindow(platform::sheet::Application& app, AddInHost* addIn, QWidget* parent)
    : QMainWindow(parent)
    , app_(app)
    , addIn_(addIn) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(platform::ui::programIcon(platform::ui::kLumisheetIcon));
    app_.setMainWindow(this);
    app_.setVisible(true);
    buildMenus();

    workbooks_ = new QTabWidget(this);
    workbooks_->setObjectName(QStringLiteral("Workbooks"));
    workbooks_->setDocumentMode(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    buildFormulaBar();
    auto* bar = new QHBoxLayout;
    bar->addWidget(nameBox_);
    bar->addWidget(formulaBar_, 1);
    layout->addLayout(bar);
    layout->addWidget(workbooks_, 1);
    setCentralWidget(central);
    resize(1000, 700);

    connect(workbooks_, &QTabWidget::currentChanged, this, &MainWindow::onTabChosen);
    connect(&app_, &platform::sheet::Application::workbookOpened, this, &MainWindow::onWorkbookOpened);
    connect(&app_, &platform::sheet::Application::workbookClosing, this, &MainWindow::onWorkbookClosing);
    connect(&app_, &platform::sheet::Application::workbookActivate, this, &MainWindow::onWorkbookActivated);
    connect(&app_, &platform::sheet::Application::screenUpdatingChanged, this, &MainWindow::onScreenUpdating);
    connect(&app_, &platform::sheet::Application::sheetsChanged, this, [this](Workbook* workbook) {
        if (WorkbookView* view = viewOf(*workbook))
            view->syncToWorkbook();
    });
    connect(&app_, &platform::sheet::Application::sheetActivate, this, [this](Worksheet* sheet) {
        if (WorkbookView* view = viewOf(sheet->workbook()))
            view->syncToWorkbook();
    });
    connect(&app_, &platform::sheet::Application::sheetChange, this,
            [this](Worksheet* sheet, const platform::sheet::Range&) {
                if (WorkbookView* view = viewOf(sheet->workbook()))
                    view->refreshCells();
                onCurrentCell(currentCell_);
            });
    connect(&app_, &platform::sheet::Application::sheetSelectionChange, this,
            [this](Worksheet* sheet, const platform::sheet::Range& target) {
                WorkbookView* view = viewOf(sheet->workbook());
                if (view && view->shownModel() && &view->shownModel()->sheet() == sheet)
                    view->sheetView()->selectBlock(target.area());
            });
    for (int i = 0; i < app_.workbookCount(); ++i)
        onWorkbookOpened(&app_.workbook(i));
    updateTitle();
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    auto add = [this](QMenu* menu, const QString& name, const QString& text, QKeySequence keys, auto slot) {
        QAction* action = menu->addAction(text, this, slot);
        action->setObjectName(name);
        action->setShortcut(keys);
        return action;
    };
    // The file commands carry the icon theme's pictures (or the program's own).
    const auto picture = [](QAction* action, const char* icon) {
        action->setIcon(platform::ui::themeIcon(QString::fromLatin1(icon)));
    };
    picture(add(file, QStringLiteral("mnuNew"), QStringLiteral("&New"), QKeySequence::New,
                [this] { newWorkbook(); }),
            "document-new");
    picture(add(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open..."), QKeySequence::Open,
                [this] { openWorkbook(); }),
            "document-open");
    picture(add(file, QStringLiteral("mnuSave"), QStringLiteral("&Save"), QKeySequence::Save,
                [this] { saveActive(); }),
            "document-save");
    picture(add(file, QStringLiteral("mnuSaveAs"), QStringLiteral("Save &As..."), QKeySequence(),
                [this] { saveActiveAs(); }),
            "document-save-as");
    picture(add(file, QStringLiteral("mnuClose"), QStringLiteral("&Close"), QKeySequence::Close,
                [this] { closeActive(); }),
            "window-close");
    file->addSeparator();
    picture(add(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), QKeySequence::Quit,
                [this] { close(); }),
            "application-exit");

    if (!addIn_ || !addIn_->isLoaded())
        return;
    // The add-in's four commands, as its outside pieces offer them in a spreadsheet program.
    addInMenu_ = menuBar()->addMenu(QStringLiteral("Lumi&vane"));
    addInMenu_->setObjectName(QStringLiteral("mnuLumivane"));
    add(addInMenu_, QStringLiteral("mnuBuildBudget"), QStringLiteral("&Build Budget..."), QKeySequence(),
        [this] { addIn_->buildBudget(); });
    add(addInMenu_, QStringLiteral("mnuRunBudget"), QStringLiteral("&Run Budget..."), QKeySequence(),
        [this] { addIn_->runBudget(); });
    add(addInMenu_, QStringLiteral("mnuConfigure"), QStringLiteral("&Configure..."), QKeySequence(),
        [this] { addIn_->configure(); });
    addInMenu_->addSeparator();
    add(addInMenu_, QStringLiteral("mnuAboutBudget"), QStringLiteral("&About Lumivane..."), QKeySequence(),
        [this] { addIn_->about(); });
    picture(addInMenu_->findChild<QAction*>(QStringLiteral("mnuConfigure")), "preferences-system");
    picture(addInMenu_->findChild<QAction*>(QStringLiteral("mnuAboutBudget")), "help-about");
}

void MainWindow::buildFormulaBar() {
    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName(QStringLiteral("NameBox"));
    nameBox_->setFixedWidth(110);
    formulaBar_ = new QLineEdit(this);
    formulaBar_->setObjectName(QStringLiteral("FormulaBar"));
    connect(formulaBar_, &QLineEdit::returnPressed, this, &MainWindow::enterFormula);
    connect(nameBox_, &QLineEdit::returnPressed, this, &MainWindow::goToName);
}

WorkbookView* MainWindow::viewOf(const Workbook& workbook) const {
    for (int i = 0; i < workbooks_->count(); ++i) {
        auto* view = qobject_cast<WorkbookView*>(workbooks_->widget(i));
        if (view && &view->workbook() == &workbook)
            return view;
    }
    return nullptr;
}

WorkbookView* MainWindow::activeView() const {
    Workbook* active = app_.activeWorkbook();
    return active ? viewOf(*active) : nullptr;
}

void MainWindow::onWorkbookOpened(Workbook* workbook) {
    if (viewOf(*workbook))
        return;
    auto* view = new WorkbookView(*workbook, workbooks_);
    connect(view->sheetView(), &SheetView::currentCellChanged, this, &MainWindow::onCurrentCell);
    followingApplication_ = true;
    workbooks_->addTab(view, workbook->name());
    followingApplication_ = false;
}

void MainWindow::onWorkbookClosing(Workbook* workbook) {
    WorkbookView* view = viewOf(*workbook);
    if (!view)
        return;
    followingApplication_ = true;
    workbooks_->removeTab(workbooks_->indexOf(view));
    delete view;
    followingApplication_ = false;
    updateTitle();
}

void MainWindow::onWorkbookActivated(Workbook* workbook) {
    if (WorkbookView* view = viewOf(*workbook)) {
        followingApplication_ = true;
        workbooks_->setCurrentWidget(view);
        followingApplication_ = false;
    }
    updateTitle();
}

void MainWindow::onTabChosen(int tab) {
    auto* view = qobject_cast<WorkbookView*>(workbooks_->widget(tab));
    if (!view || followingApplication_)
        return;
    if (app_.activeWorkbook() != &view->workbook())
        app_.activate(view->workbook());
    updateTitle();
}

void MainWindow::onScreenUpdating(bool on) {
    workbooks_->setUpdatesEnabled(on);
    if (!on)
        return;
    for (int i = 0; i < workbooks_->count(); ++i) {
        if (auto* view = qobject_cast<WorkbookView*>(workbooks_->widget(i))) {
            view->syncToWorkbook();
            view->refreshCells();
        }
    }
    if (WorkbookView* view = activeView()) {
        followingApplication_ = true;
        workbooks_->setCurrentWidget(view);
        followingApplication_ = false;
    }
    updateTitle();
}

void MainWindow::onCurrentCell(CellRef cell) {
    currentCell_ = cell;
    WorkbookView* view = activeView();
    SheetModel* model = view ? view->shownModel() : nullptr;
    nameBox_->setText(CellAddress::isValid(cell) && model ? CellAddress::toA1(cell) : QString());
    formulaBar_->setText(model ? model->sheet().formula(cell) : QString());
}

void MainWindow::enterFormula() {
    WorkbookView* view = activeView();
    SheetModel* model = view ? view->shownModel() : nullptr;
    if (!model)
        return;
    model->setData(model->index(currentCell_.row - 1, currentCell_.col - 1), formulaBar_->text(),
                   Qt::EditRole);
    onCurrentCell(currentCell_);
    view->sheetView()->setFocus();
}

void MainWindow::goToName() {
    WorkbookView* view = activeView();
    const std::optional<CellRange> block = CellRange::parse(nameBox_->text().trimmed());
    if (!view || !view->shownModel() || !block) {
        onCurrentCell(currentCell_);
        return;
    }
    view->sheetView()->selectBlock(*block);
    view->shownModel()->sheet().select(*block);
    view->sheetView()->setFocus();
}

void MainWindow::updateTitle() {
    Workbook* active = app_.activeWorkbook();
    if (!active || active->isClosed()) {
        setWindowTitle(kHostTitle);
        return;
    }
    setWindowTitle(active->name() + (active->readOnly() ? kReadOnlyMark : QString()) + QStringLiteral(" - ") +
                   kHostTitle);
}

void MainWindow::newWorkbook() {
    app_.add();
}

void MainWindow::openWorkbook() {
    OpenWorkbookAsked(app_);
    updateTitle();
}

bool MainWindow::saveActive() {
    return saveActiveWith(SaveWorkbook);
}

bool MainWindow::saveActiveAs() {
    return saveActiveWith([this](Workbook& workbook) { return SaveWorkbookAs(app_, workbook); });
}

// A save may give the workbook another name: its tab and the title follow.
bool MainWindow::saveActiveWith(const std::function<bool(Workbook&)>& save) {
    Workbook* active = app_.activeWorkbook();
    const bool saved = active && save(*active);
    if (saved)
        workbooks_->setTabText(workbooks_->currentIndex(), active->name());
    updateTitle();
    return saved;
}

bool MainWindow::closeActive() {
    Workbook* active = app_.activeWorkbook();
    return active && CloseWorkbook(app_, *active);
}

bool MainWindow::closeAll() {
    while (Workbook* active = app_.activeWorkbook()) {
        if (!CloseWorkbook(app_, *active))
            return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closeAll()) {
        event->ignore();
        return;
    }
    if (addIn_)
        addIn_->shutDown();
    app_.setMainWindow(nullptr);
    event->accept();
}

} // namespace lumisheet
