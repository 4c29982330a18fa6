// See frmMain.h: the menu tree of the main window, the budget items of Edit > Set Budget
// Context, the network captions and states, and the Window menu's list of child windows.
#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumidesk/GridClipboardCommands.h"
#include "lumidesk/NetworkCommands.h"
#include "lumidesk/ShellLinks.h"
#include "lumidesk/frmMain.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/ProgramIcons.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace lumidesk {

namespace {

const QString kBudgetQuery = QStringLiteral("SELECT Budget_Name FROM Budgets WHERE Budget_Name Is Not Null");

// A menu caption shows an "&" of a name as itself, not as an access key.
QString captionOfName(QString name) {
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void hideAndDisable(QAction* item) {
    item->setVisible(false);
    item->setEnabled(false);
}

} // namespace

QMenu* frmMain::addMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* created = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    created->setObjectName(name);
    created->menuAction()->setObjectName(name);
    menus_.insert(name, created);
    items_.insert(name, created->menuAction());
    return created;
}

QAction* frmMain::addItem(QMenu* parent, const QString& name, const QString& caption,
                          void (frmMain::*command)()) {
    QAction* item = parent->addAction(caption);
    item->setObjectName(name);
    if (command)
        connect(item, &QAction::triggered, this, command);
    items_.insert(name, item);
    return item;
}

void frmMain::buildMenus() {
    auto separator = [this](QMenu* parent, const QString& name) {
        QAction* bar = parent->addSeparator();
        bar->setObjectName(name);
        items_.insert(name, bar);
    };
    auto network = [this](void (*command)(QWidget*)) { return [this, command] { command(this); }; };

    QMenu* file = addMenu(nullptr, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("mnuNewBudget"), QStringLiteral("New &Budget"),
            &frmMain::mnuNewBudget_Click);
    addItem(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), nullptr)->setVisible(false);
    addItem(file, QStringLiteral("mnuClose"), QStringLiteral("&Close"), &frmMain::mnuClose_Click);
    separator(file, QStringLiteral("mnuFileBar0"));
    QMenu* luminet = addMenu(file, QStringLiteral("mnuLuminetlogin"), QStringLiteral("Lumi&Net"));
    connect(addItem(luminet, QStringLiteral("mnuLogon"), QStringLiteral("&Logon"), nullptr),
            &QAction::triggered, this, network(&mnuLogon_Click));
    connect(
        addItem(luminet, QStringLiteral("mnuMakeNetDB"), QStringLiteral("&Make network database"), nullptr),
        &QAction::triggered, this, network(&mnuMakeNetDB_Click));
    QAction* saConfig =
        addItem(luminet, QStringLiteral("mnuSAConfig"), QStringLiteral("Super-Admin &Configure"), nullptr);
    connect(saConfig, &QAction::triggered, this, network(&mnuSAConfig_Click));
    saConfig->setEnabled(false);
    hideAndDisable(addItem(file, QStringLiteral("mnuSaveAs"), QStringLiteral("&Save As"), nullptr));
    connect(addItem(file, QStringLiteral("mnuMigrateBudgets"), QStringLiteral("&Migrate Budgets"), nullptr),
            &QAction::triggered, this, network(&mnuMigrateBudgets_Click));
    separator(file, QStringLiteral("mnuFileBar1"));
    addItem(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print"), &frmMain::mnuPrint_Click);
    addItem(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), &frmMain::mnuFileExit_Click);

    QMenu* edit = addMenu(nullptr, QStringLiteral("mnuEdit"), QStringLiteral("&Edit"));
    QMenu* context = addMenu(edit, QStringLiteral("mnuSetBudContext"), QStringLiteral("Set &Budget Context"));
    budgetTemplate_ = addItem(context, QStringLiteral("mnuBudgets"), QStringLiteral("Budgets"), nullptr);
    budgetTemplate_->setProperty("index", 0);
    connect(budgetTemplate_, &QAction::triggered, this, [this] { mnuBudgets_Click(0); });
    nothingItem_ =
        addItem(context, QStringLiteral("mnuNothing"), QStringLiteral("Nothing"), &frmMain::mnuNothing_Click);
    hideAndDisable(addItem(edit, QStringLiteral("mnuEditUndo"), QStringLiteral("&Undo"), nullptr));
    const std::pair<const char*, const char*> clipboard[] = {
        {"mnuEditCut", "Cu&t"}, {"mnuEditCopy", "&Copy"}, {"mnuEditPaste", "&Paste"}};
    const QKeySequence shortcuts[] = {QKeySequence(QStringLiteral("Ctrl+X")),
                                      QKeySequence(QStringLiteral("Ctrl+C")),
                                      QKeySequence(QStringLiteral("Ctrl+V"))};
    for (int i = 0; i < 3; ++i) {
        QAction* item = addItem(edit, QString::fromLatin1(clipboard[i].first),
                                QString::fromLatin1(clipboard[i].second), nullptr);
        item->setShortcut(shortcuts[i]);
        hideAndDisable(item);
    }
    addItem(edit, QStringLiteral("mnuFind"), QStringLiteral("&Find"), &frmMain::mnuFind_Click)
        ->setEnabled(false);
    hideAndDisable(
        addItem(edit, QStringLiteral("mnuEditPasteSpecial"), QStringLiteral("Paste &Special..."), nullptr));

    QMenu* view = addMenu(nullptr, QStringLiteral("mnuView"), QStringLiteral("&View"));
    QMenu* budgets = addMenu(view, QStringLiteral("mnuBudgetExplorer"), QStringLiteral("&Budgets"));
    addItem(budgets, QStringLiteral("mnuExplorerView"), QStringLiteral("&Explorer View"),
            &frmMain::mnuExplorerView_Click);
    addItem(budgets, QStringLiteral("mnuMasterFilesView"), QStringLiteral("&File System View"),
            &frmMain::mnuMasterFilesView_Click);
    addItem(view, QStringLiteral("mnuErrorsTable"), QStringLiteral("&Errors Table"),
            &frmMain::mnuErrorsTable_Click);
    separator(view, QStringLiteral("mnuViewBar0"));
    for (const auto& [name, caption, command] :
         {std::tuple{"mnuViewToolbar", "Show &Toolbar", &frmMain::mnuViewToolbar_Click},
          std::tuple{"mnuShowControls", "Show Update &Controls", &frmMain::mnuShowControls_Click}}) {
        QAction* item = addItem(view, QString::fromLatin1(name), QString::fromLatin1(caption), command);
        item->setCheckable(true);
        item->setChecked(true);
    }

    QMenu* tools = addMenu(nullptr, QStringLiteral("mnuTools"), QStringLiteral("&Tools"));
    QMenu* wizards =
        addMenu(tools, QStringLiteral("mnuToolsmnuWizards"), QStringLiteral("&Setup Budget Wizard"));
    addItem(wizards, QStringLiteral("mnuManageBudgets"), QStringLiteral("&Manage Budgets"),
            &frmMain::mnuManageBudgets_Click);
    addItem(wizards, QStringLiteral("mnuCUF"), QStringLiteral("Create &User Files"), &frmMain::mnuCUF_Click);
    addItem(wizards, QStringLiteral("mnuAssignUF"), QStringLiteral("&Assign User Files"),
            &frmMain::mnuAssignUF_Click);
    addItem(tools, QStringLiteral("mnuQSWiz"), QStringLiteral("&QuickStart Wizard"),
            &frmMain::mnuQSWiz_Click);
    separator(tools, QStringLiteral("mnuToolsbar0"));
    addItem(tools, QStringLiteral("mnuUpdateSystem"), QStringLiteral("&Update Workbooks"),
            &frmMain::mnuUpdateSystem_Click);
    addItem(tools, QStringLiteral("mnuCheckUserActivity"), QStringLiteral("Check User &Activity"),
            &frmMain::mnuCheckUserActivity_Click);
    separator(tools, QStringLiteral("mnuToolsBar1"));
    addItem(tools, QStringLiteral("mnuSendMail"), QStringLiteral("Sen&d Mail"), &frmMain::mnuSendMail_Click);
    addItem(tools, QStringLiteral("mnuGetMail"), QStringLiteral("&Get Mail"), &frmMain::mnuGetMail_Click);
    hideAndDisable(addItem(tools, QStringLiteral("mnuScheduler"), QStringLiteral("&Scheduler"), nullptr));
    separator(tools, QStringLiteral("mnuToolsBar2"));
    QMenu* configure = addMenu(tools, QStringLiteral("mnuConfigure"), QStringLiteral("&Configure"));
    addItem(configure, QStringLiteral("mnuOptions"), QStringLiteral("&Options"), &frmMain::mnuOptions_Click);
    addItem(configure, QStringLiteral("mnuEmailLists"), QStringLiteral("&Get Email Lists"),
            &frmMain::mnuEmailLists_Click);
    QMenu* clean = addMenu(tools, QStringLiteral("mnuSystemClean"), QStringLiteral("Syste&m Clean"));
    addItem(clean, QStringLiteral("mnuDelAllDataTables"), QStringLiteral("&Clear System Data"),
            &frmMain::mnuDelAllDataTables_Click);
    addItem(clean, QStringLiteral("mnuFolderNames"), QStringLiteral("Clear Folder Names Data"),
            &frmMain::mnuFolderNames_Click);
    addItem(clean, QStringLiteral("mnuClrUsersData"), QStringLiteral("Clear &Users Table Data  "),
            &frmMain::mnuClrUsersData_Click);
    addItem(clean, QStringLiteral("mnuClearSendMail"), QStringLiteral("Clear &SendMail Table Data"),
            &frmMain::mnuClearSendMail_Click);
    addItem(clean, QStringLiteral("mnuClearErrorsTable"), QStringLiteral("Clear &Errors Table Data"),
            &frmMain::mnuClearErrorsTable_Click);
    addItem(tools, QStringLiteral("mnuCompactDatabase"), QStringLiteral("Compact &Database"),
            &frmMain::mnuCompactDatabase_Click);

    windowMenu_ = addMenu(nullptr, QStringLiteral("mnuWindow"), QStringLiteral("&Window"));
    addItem(windowMenu_, QStringLiteral("mnuWindowCascade"), QStringLiteral("&Cascade"),
            &frmMain::mnuWindowCascade_Click);
    addItem(windowMenu_, QStringLiteral("mnuWindowTileHorizontal"), QStringLiteral("Tile &Horizontal"),
            &frmMain::mnuWindowTileHorizontal_Click);
    addItem(windowMenu_, QStringLiteral("mnuWindowTileVertical"), QStringLiteral("Tile &Vertical"),
            &frmMain::mnuWindowTileVertical_Click);
    connect(windowMenu_, &QMenu::aboutToShow, this, &frmMain::fillWindowMenu);

    QMenu* help = addMenu(nullptr, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    addItem(help, QStringLiteral("mnuHelpContents"), QStringLiteral("&Contents"),
            &frmMain::mnuHelpContents_Click);
    addItem(help, QStringLiteral("mnuHelpIndex"), QStringLiteral("&Index"), &frmMain::mnuHelpIndex_Click);
    addItem(help, QStringLiteral("mnuHelpSearch"), QStringLiteral("&Search"), &frmMain::mnuHelpSearch_Click);
    addItem(help, QStringLiteral("mnuSamples"), QStringLiteral("&Install Sample Budget"),
            &frmMain::mnuSamples_Click);
    separator(help, QStringLiteral("mnuHelpBar0"));
    addItem(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About "), &frmMain::mnuHelpAbout_Click);

    // The two context menus of the other windows' grids: never in the menu bar.
    QMenu* config = new QMenu(QStringLiteral("RtMouseContextfrmConfig"), this);
    config->setObjectName(QStringLiteral("mnuRtMseMenufrmConfig"));
    menus_.insert(config->objectName(), config);
    connect(addItem(config, QStringLiteral("mnuPopupCutfrmConfig"), QStringLiteral("C&ut"), nullptr),
            &QAction::triggered, this, [] { mnuPopupCutfrmConfig_Click(); });
    connect(addItem(config, QStringLiteral("mnuPopupCopyfrmConfig"), QStringLiteral("&Copy"), nullptr),
            &QAction::triggered, this, [] { mnuPopupCopyfrmConfig_Click(); });
    connect(addItem(config, QStringLiteral("mnuPopupPastefrmConfig"), QStringLiteral("&Paste"), nullptr),
            &QAction::triggered, this, [] { mnuPopupPastefrmConfig_Click(); });
    QMenu* wizard = new QMenu(QStringLiteral("RtMouseContextfrmWizard"), this);
    wizard->setObjectName(QStringLiteral("mnuRtMseMenufrmWizard"));
    menus_.insert(wizard->objectName(), wizard);
    addItem(wizard, QStringLiteral("mnuPopupCutfrmWizard"), QStringLiteral("C&ut"), nullptr)
        ->setVisible(false);
    connect(addItem(wizard, QStringLiteral("mnuPopupCopyfrmWizard"), QStringLiteral("&Copy"), nullptr),
            &QAction::triggered, this, [] { mnuPopupCopyfrmWizard_Click(); });
    connect(addItem(wizard, QStringLiteral("mnuPopupPastefrmWizard"), QStringLiteral("&Paste"), nullptr),
            &QAction::triggered, this, [] { mnuPopupPastefrmWizard_Click(); });
    showMenuPictures();
}

// The items whose command a toolbar button also starts carry its picture; a few others the
// pictures every program's menus show for them.
void frmMain::showMenuPictures() {
    const std::pair<const char*, const char*> pictures[] = {
        {"mnuNewBudget", "document-new"},
        {"mnuPrint", "document-print"},
        {"mnuFileExit", "application-exit"},
        {"mnuFind", "edit-find"},
        {"mnuExplorerView", "x-office-spreadsheet"},
        {"mnuMasterFilesView", "folder"},
        {"mnuErrorsTable", "dialog-warning"},
        {"mnuManageBudgets", "tools-wizard"},
        {"mnuUpdateSystem", "view-refresh"},
        {"mnuSendMail", "mail-send"},
        {"mnuGetMail", "mail-receive"},
        {"mnuOptions", "preferences-system"},
        {"mnuHelpContents", "help-contents"},
        {"mnuSamples", "system-software-install"},
        {"mnuHelpAbout", "help-about"},
        {"mnuPopupCutfrmConfig", "edit-cut"},
        {"mnuPopupCopyfrmConfig", "edit-copy"},
        {"mnuPopupPastefrmConfig", "edit-paste"},
        {"mnuPopupCopyfrmWizard", "edit-copy"},
        {"mnuPopupPastefrmWizard", "edit-paste"},
    };
    for (const auto& [item, picture] : pictures)
        menuItem(QString::fromLatin1(item))->setIcon(platform::ui::themeIcon(QString::fromLatin1(picture)));
}

QAction* frmMain::menuItem(const QString& name) const {
    return items_.value(name, nullptr);
}

QMenu* frmMain::menu(const QString& name) const {
    return menus_.value(name, nullptr);
}

QList<QAction*> frmMain::budgetItems() const {
    return budgetItems_;
}

QAction* frmMain::toolbarButton(const QString& key) const {
    return buttons_.value(key, nullptr);
}

void frmMain::setFindEnabled(bool enabled) {
    menuItem(QStringLiteral("mnuFind"))->setEnabled(enabled);
}

// One item per budget, in the order the query gives them, each carrying its budget's name;
// the placeholder row is skipped. Without budgets (or when the query fails) the template
// stays as it is.
void frmMain::loadBudgetList() {
    core::gDB2 = std::make_unique<core::cDB2>();
    platform::db::Recordset rst;
    const qint32 status = core::gDB2->GetRecordset(kBudgetQuery, rst);
    if (status == core::QueryObject::kRows) {
        QMenu* context = menu(QStringLiteral("mnuSetBudContext"));
        for (int index = 1; !rst.eof(); rst.moveNext()) {
            const QString name = rst.value(0).toString();
            if (name == platform::sys::kPlaceholderText)
                continue;
            auto* item = new QAction(captionOfName(name), context);
            item->setObjectName(QStringLiteral("mnuBudgets"));
            item->setProperty("index", index);
            item->setData(name);
            context->insertAction(nothingItem_, item);
            connect(item, &QAction::triggered, this, [this, index] { mnuBudgets_Click(index); });
            budgetItems_.append(item);
            ++index;
        }
        budgetTemplate_->setVisible(false);
    }
    rst.close();
    core::gDB2.reset();
}

// The chosen item's own budget becomes the context; the template (index 0) changes nothing.
void frmMain::mnuBudgets_Click(int index) {
    try {
        if (index >= 1 && index <= budgetItems_.size())
            core::gOptions->BudgetNameContext = budgetItems_.at(index - 1)->data().toString();
        links::SetBudgetContextAndRefresh();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void frmMain::mnuNothing_Click() {
    core::gOptions->BudgetNameContext.clear();
    links::SetBudgetContextAndRefresh();
}

// The network captions and states follow the logon that the start-up made. Every item is set
// for the state found, so no state is left over from the design when a step before failed.
void frmMain::loadNetworkMenus() {
    const core::cOptions& options = *core::gOptions;
    const bool network = options.NetMenus;
    const bool superAdmin = network && options.SAAuth;
    menuItem(QStringLiteral("mnuLogon"))
        ->setText(network ? QStringLiteral("&Log off LumiNet") : QStringLiteral("&Logon"));
    menuItem(QStringLiteral("mnuSAConfig"))->setEnabled(superAdmin);
    // An administrator logged on at start-up keeps the item as designed.
    menuItem(QStringLiteral("mnuMakeNetDB"))->setEnabled(true);
    menuItem(QStringLiteral("mnuMakeNetDB"))
        ->setText(superAdmin ? QStringLiteral("&Remove network database")
                             : QStringLiteral("&Make network database"));
    menuItem(QStringLiteral("mnuCompactDatabase"))->setEnabled(!network || superAdmin);
    menuItem(QStringLiteral("mnuSystemClean"))->setEnabled(!network || superAdmin);
}

void frmMain::fillWindowMenu() {
    for (QAction* item : windowMenu_->actions())
        if (item->property("childWindow").toBool())
            windowMenu_->removeAction(item), item->deleteLater();
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (windows.isEmpty())
        return;
    QAction* bar = windowMenu_->addSeparator();
    bar->setProperty("childWindow", true);
    int number = 1;
    for (QMdiSubWindow* sub : windows) {
        QAction* item =
            windowMenu_->addAction(QStringLiteral("&%1 %2").arg(number++).arg(sub->windowTitle()));
        item->setProperty("childWindow", true);
        item->setCheckable(true);
        item->setChecked(sub == mdiArea_->activeSubWindow());
        QPointer<QMdiSubWindow> target(sub);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target)
                mdiArea_->setActiveSubWindow(target);
        });
    }
}

} // namespace lumidesk
