// The configuration window's options tab (see frmConfigure.h): the option boxes and the
// settings they keep, the pairs of boxes that exclude each other, the default database, and
// the buttons of the database tools. Check boxes keep "1" or "0", the two database buttons
// "True" or "False"; a setting that is absent, or no valid flag, reads as its default.
#include "admin/AdminServices.h"
#include "admin/ConfigureAddIn.h"
#include "admin/DatabaseTools.h"
#include "admin/frmConfigure.h"
#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/cOptions.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/WindowOpeners.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace admin {

namespace {

const QString kOptions = QStringLiteral("Options");
const QString kRuntime = QStringLiteral("Runtime");
const QString kNetwork = QStringLiteral("Network");

bool readFlag(const QString& section, const QString& key, bool defaultValue) {
    const QString text = platform::sys::readSetting(platform::sys::settingsApplication(), section, key);
    return platform::sys::textToBool(text).value_or(defaultValue);
}

void writeText(const QString& section, const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), section, key, value);
}

QString boxText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

QString buttonText(bool selected) {
    return selected ? QStringLiteral("True") : QStringLiteral("False");
}

QCheckBox* optionBox(QWidget* parent, const char* name, const char* caption, const char* tip = nullptr) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    if (tip)
        box->setToolTip(QString::fromLatin1(tip));
    return box;
}

QPushButton* toolButton(QWidget* parent, const char* name, const char* caption, const QString& tip = {}) {
    auto* made = new QPushButton(QString::fromLatin1(caption), parent);
    made->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty())
        made->setToolTip(tip);
    return made;
}

QGroupBox* frame(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

// --- building

QWidget* frmConfigure::buildOptionsTab() {
    auto* tab = new QWidget;
    chkMailMsgBox_ = optionBox(tab, "chkMailMsgBox", "Display e-mail replys", "Uncheck to run silent mode.");
    chkRetrieve_ =
        optionBox(tab, "chkRetrieve", "Retrieve e-mail on open", "Check to retrieve e-mail replys on open.");
    chkColor_ = optionBox(tab, "chkColor", "Color Cells", "Check to enable colors in data tables.");
    chkResize_ = optionBox(tab, "chkResize", "Enable resizing", "Control resizing");
    chkScrollBars_ = optionBox(tab, "chkScrollBars", "Enable ScrollBars");
    chkSound_ = optionBox(tab, "chkSound", "Use sound effects");

    QGroupBox* mail = frame(tab, "fmeEmail", "E-mail controls");
    chkMailCompose_ = optionBox(mail, "chkMailCompose", "Enable e-mail compose dialogs",
                                "Check to enable free form Compose dialogs.");
    (new QVBoxLayout(mail))->addWidget(chkMailCompose_);

    QGroupBox* screen = frame(tab, "fmeScreen", "Screen Controls");
    chkTlBarPics_ = optionBox(screen, "chkTlBarPics", "Toolbar Pictures");
    chkCloseWin_ = optionBox(screen, "chkCloseWin", "Close dialog after operation",
                             "Removes the Lumivane screen after processing.");
    chkCOMAI_ = optionBox(screen, "chkCOMAI", "Show 'COM Add-Ins...' menu item",
                          "Select to add 'COM Add-Ins...' to the 'Tools' menu at runtime.");
    chkAutoPrompt_ = optionBox(screen, "chkAutoPrompt", "Auto-prompt for new budget file");
    auto* screenLayout = new QVBoxLayout(screen);
    for (QCheckBox* box : {chkTlBarPics_, chkCloseWin_, chkCOMAI_, chkAutoPrompt_})
        screenLayout->addWidget(box);

    QGroupBox* database = frame(tab, "fmeDatabase", "Database controls");
    QGroupBox* openDb = frame(database, "fmeOpenDb", "Open db (default)");
    optLocal_ = new QRadioButton(QStringLiteral("Local"), openDb);
    optLocal_->setObjectName(QStringLiteral("optLocal"));
    optNetwork_ = new QRadioButton(QStringLiteral("Network"), openDb);
    optNetwork_->setObjectName(QStringLiteral("optNetwork"));
    auto* openLayout = new QHBoxLayout(openDb);
    openLayout->addWidget(optLocal_);
    openLayout->addWidget(optNetwork_);
    cmdKillOldDB_ = toolButton(
        database, "cmdKillOldDB", "Del Old db",
        QStringLiteral("Deletes the file \\program files\\common files\\lumidesk\\oldlumimaster.mdb."));
    cmdCompact_ = toolButton(database, "cmdCompact", "Compact db",
                             QStringLiteral("Performs repairs and compacts the database file."));
    cmdClearDB_ =
        toolButton(database, "cmdClearDB", "Clear db", QStringLiteral("Removes budget data with prompts."));
    cmdSweep_ = toolButton(
        database, "cmdSweep", "Sweep Records",
        QStringLiteral("Scans all database tables removing or adding the <Dummy records> as required."));
    cmdBackup_ = toolButton(database, "cmdBackup", "Backup db",
                            QStringLiteral("Copies the database file to a filename of choice."));
    cmdRestore_ = toolButton(
        database, "cmdRestore", "Restore db",
        QStringLiteral(
            "Copies the backup database file to \\program files\\common files\\lumidesk\\lumimaster.mdb."));
    auto* tools = new QGridLayout(database);
    tools->addWidget(openDb, 0, 0, 1, 2);
    const QList<QPushButton*> toolButtons = {cmdKillOldDB_, cmdCompact_, cmdClearDB_,
                                             cmdSweep_,     cmdBackup_,  cmdRestore_};
    for (int i = 0; i < toolButtons.size(); ++i)
        tools->addWidget(toolButtons[i], 1 + i / 2, i % 2);
    cmdInstall_ = toolButton(tab, "cmdInstall", "Install Sample Budget");

    auto* left = new QVBoxLayout;
    for (QCheckBox* box : {chkMailMsgBox_, chkRetrieve_, chkColor_, chkResize_, chkScrollBars_, chkSound_})
        left->addWidget(box);
    left->addWidget(mail);
    left->addWidget(screen);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(database);
    right->addWidget(cmdInstall_);
    right->addStretch(1);
    auto* layout = new QHBoxLayout(tab);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    connectOptionBoxes();
    return tab;
}

void frmConfigure::connectOptionBoxes() {
    connect(chkMailMsgBox_, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked)
            chkRetrieve_->setChecked(false);
    });
    connect(chkRetrieve_, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked)
            chkMailMsgBox_->setChecked(false);
    });
    connect(chkResize_, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked)
            chkScrollBars_->setChecked(false);
        if (core::gOptions)
            core::gOptions->Resize = ticked;
    });
    connect(chkScrollBars_, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked)
            chkResize_->setChecked(false);
        if (core::gOptions)
            core::gOptions->ScrollBars = ticked;
    });
    connect(chkCloseWin_, &QCheckBox::toggled, this,
            [this] { writeText(kRuntime, QStringLiteral("CloseWin"), boxText(chkCloseWin_)); });
    connect(chkCOMAI_, &QCheckBox::toggled, this,
            [this] { writeText(kRuntime, QStringLiteral("COMAdd-In"), boxText(chkCOMAI_)); });

    connect(cmdKillOldDB_, &QPushButton::clicked, this, &frmConfigure::cmdKillOldDB_Click);
    connect(cmdCompact_, &QPushButton::clicked, this, &frmConfigure::cmdCompact_Click);
    connect(cmdClearDB_, &QPushButton::clicked, this, &frmConfigure::cmdClearDB_Click);
    connect(cmdSweep_, &QPushButton::clicked, this, &frmConfigure::cmdSweep_Click);
    connect(cmdBackup_, &QPushButton::clicked, this, &frmConfigure::cmdBackup_Click);
    connect(cmdRestore_, &QPushButton::clicked, this, &frmConfigure::cmdRestore_Click);
    connect(cmdInstall_, &QPushButton::clicked, this, &frmConfigure::cmdInstall_Click);
}

// --- reading and writing the options

// In the order the boxes are set: of two boxes that exclude each other and are both stored
// ticked, the later one wins.
void frmConfigure::readOptions() {
    const struct {
        QCheckBox* box;
        const QString& section;
        const char* key;
        bool defaultValue;
    } boxes[] = {
        {chkMailMsgBox_, kOptions, "EmailReplys", true}, {chkMailCompose_, kRuntime, "EmailCompose", true},
        {chkRetrieve_, kRuntime, "Xvalue", false},       {chkColor_, kOptions, "ColorCells", true},
        {chkResize_, kOptions, "Resize", false},         {chkScrollBars_, kOptions, "ScrollBars", false},
        {chkSound_, kOptions, "UseSound", true},         {chkTlBarPics_, kOptions, "ToolbarPictures", true},
    };
    for (const auto& option : boxes)
        option.box->setChecked(
            readFlag(option.section, QString::fromLatin1(option.key), option.defaultValue));
    for (QCheckBox* box : {chkColor_, chkResize_, chkScrollBars_, chkSound_, chkTlBarPics_}) {
        box->setVisible(true);
        box->setEnabled(true);
    }
    if (core::gOptions) {
        core::gOptions->Resize = chkResize_->isChecked();
        core::gOptions->ScrollBars = chkScrollBars_->isChecked();
    }
    // The add-in's options have no meaning here.
    for (QCheckBox* box : {chkAutoPrompt_, chkCloseWin_, chkCOMAI_}) {
        box->setVisible(false);
        box->setEnabled(false);
    }
    cmdGetLists_->setVisible(true);
    cmdGetLists_->setEnabled(true);
    const bool local = readFlag(kNetwork, QStringLiteral("OpenLocal"), true);
    (local ? optLocal_ : optNetwork_)->setChecked(true);
}

// The add-in's options, with its defaults; the desktop's own boxes hidden and never read.
void frmConfigure::readAddInOptions() {
    chkMailMsgBox_->setChecked(readFlag(kOptions, QStringLiteral("EmailReplys"), true));
    chkMailCompose_->setChecked(readFlag(kRuntime, QStringLiteral("EmailCompose"), true));
    chkRetrieve_->setChecked(readFlag(kRuntime, QStringLiteral("Xvalue"), false));
    for (QCheckBox* box : {chkAutoPrompt_, chkCloseWin_, chkCOMAI_}) {
        box->setVisible(true);
        box->setEnabled(true);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{chkColor_, chkResize_, chkScrollBars_, chkSound_,
                                                            chkTlBarPics_, cmdGetLists_}) {
        control->setVisible(false);
        control->setEnabled(false);
    }
    // The add-in always works on the local master database.
    optLocal_->setEnabled(false);
    optNetwork_->setEnabled(false);
    const ConfigureAddIn& addIn = *configureAddIn();
    if (addIn.refreshMasterFile)
        addIn.refreshMasterFile();
    // Only the number 1 ticks it.
    const QString autoPrompt = platform::sys::readSetting(platform::sys::settingsApplication(), kRuntime,
                                                          QStringLiteral("AutoPrompt"));
    chkAutoPrompt_->setChecked(platform::sys::textToInt(autoPrompt) == 1);
    const int version = addIn.hostMajorVersion ? addIn.hostMajorVersion() : 0;
    if (version < kFirstVersionWithComAddIns)
        chkCOMAI_->setEnabled(false);
    else
        chkCOMAI_->setChecked(readFlag(kRuntime, QStringLiteral("COMAdd-In"), false));
}

void frmConfigure::writeAddInOptions() const {
    writeText(kRuntime, QStringLiteral("SetConfigTab"), QString::number(SSTab1_->currentIndex()));
    writeText(kOptions, QStringLiteral("EmailReplys"), boxText(chkMailMsgBox_));
    writeText(kRuntime, QStringLiteral("EmailCompose"), boxText(chkMailCompose_));
    writeText(kRuntime, QStringLiteral("Xvalue"), boxText(chkRetrieve_));
    writeText(kRuntime, QStringLiteral("COMAdd-In"), boxText(chkCOMAI_));
    writeText(kRuntime, QStringLiteral("CloseWin"), boxText(chkCloseWin_));
    writeText(kRuntime, QStringLiteral("AutoPrompt"), boxText(chkAutoPrompt_));
}

void frmConfigure::readCloseWindowOption() {
    chkCloseWin_->setChecked(readFlag(kRuntime, QStringLiteral("CloseWin"), false));
}

int frmConfigure::savedTab() const {
    const QString text = platform::sys::readSetting(platform::sys::settingsApplication(), kRuntime,
                                                    QStringLiteral("SetConfigTab"));
    const int tab = platform::sys::textToInt(text).value_or(kOptionsTab);
    return tab >= kOptionsTab && tab <= kMessagesTab ? tab : kOptionsTab;
}

void frmConfigure::writeOptions() const {
    writeText(kRuntime, QStringLiteral("SetConfigTab"), QString::number(SSTab1_->currentIndex()));
    writeText(kOptions, QStringLiteral("EmailReplys"), boxText(chkMailMsgBox_));
    writeText(kRuntime, QStringLiteral("EmailCompose"), boxText(chkMailCompose_));
    writeText(kRuntime, QStringLiteral("Xvalue"), boxText(chkRetrieve_));
    writeText(kOptions, QStringLiteral("ColorCells"), boxText(chkColor_));
    writeText(kNetwork, QStringLiteral("OpenLocal"), buttonText(optLocal_->isChecked()));
    writeText(kNetwork, QStringLiteral("OpenNet"), buttonText(optNetwork_->isChecked()));
    writeText(kOptions, QStringLiteral("Resize"), boxText(chkResize_));
    writeText(kOptions, QStringLiteral("ScrollBars"), boxText(chkScrollBars_));
    writeText(kOptions, QStringLiteral("UseSound"), boxText(chkSound_));
    writeText(kOptions, QStringLiteral("ToolbarPictures"), boxText(chkTlBarPics_));
}

// Logged on to a network database, only the super-administrator may use the tools that
// clear, compact, replace or delete databases.
void frmConfigure::applyNetworkRights() {
    const bool networkMenus = core::gOptions && core::gOptions->NetMenus;
    const bool allowed = !networkMenus || core::gOptions->SAAuth;
    for (QPushButton* tool : {cmdBackup_, cmdClearDB_, cmdCompact_, cmdRestore_, cmdKillOldDB_})
        tool->setEnabled(allowed);
}

// --- the database tools

void frmConfigure::cmdKillOldDB_Click() {
    DeleteOldDatabase();
}

void frmConfigure::cmdCompact_Click() {
    CompactTool();
}

void frmConfigure::cmdBackup_Click() {
    BackupTool();
}

void frmConfigure::cmdRestore_Click() {
    if (RestoreTool())
        refillGrids();
}

void frmConfigure::cmdSweep_Click() {
    if (SweepTool())
        refillGrids();
}

void frmConfigure::cmdClearDB_Click() {
    if (ClearDatabaseTool())
        refillGrids();
}

// The sample budget replaces rows under a run as the tools do.
void frmConfigure::cmdInstall_Click() {
    if (core::RunGuard::refuseDuringRun())
        return;
    bool installed = false;
    if (!core::RunTrapped([&] { installed = RunSampleInstaller(); }) || !installed)
        return;
    if (QWidget* active = core::gOptions ? core::gOptions->ActiveForm.data() : nullptr)
        active->close();
    platform::ui::openWindow(configureAddIn() ? configureAddIn()->windowAfterSample
                                              : QStringLiteral("frmDataTable"));
}

} // namespace admin
