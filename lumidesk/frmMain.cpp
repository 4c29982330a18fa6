// See frmMain.h. This file holds the window's controls, its load and unload, the drop of
// workbooks and the commands of the View, Window and Help menus; frmMainMenus.cpp the menu
// tree and the budget menu, frmMainCommands.cpp the other commands.
#include "lumidesk/frmMain.h"

#include "core/ErrorMessage.h"
#include "core/SystemOps.h"
#include "core/cOptions.h"
#include "lumidesk/AboutBox.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/DesktopSettings.h"
#include "lumidesk/MainWindowPlace.h"
#include "lumidesk/ShellLinks.h"
#include "platform/sys/SettingText.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/MenuHost.h"
#include "platform/ui/ProgramIcons.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlace.h"
#include "wizard/WizardServices.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace lumidesk {

QPointer<frmMain> gMainForm;

namespace {

using platform::ui::Twips;

const QString kRuntime = QStringLiteral("Runtime");
const QString kOptions = QStringLiteral("Options");

// Left edges of the two picture buttons inside the toolbar, in twips.
constexpr int kQuickStartLeftTwips = 9600;
constexpr int kLoadSampleLeftTwips = 11040;
constexpr QSize kPictureSize(88, 31);

// Runs one step of the load; an unexpected failure is reported and the load goes on.
template <typename Step> void loadStep(Step&& step) {
    try {
        step();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

// The picture of a picture button: its words on a coloured plate.
QPixmap picturePlate(const QString& words, const QColor& colour) {
    QPixmap pixmap(kPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(0.5, 0.5, kPictureSize.width() - 1, kPictureSize.height() - 1), 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, words);
    return pixmap;
}

} // namespace

frmMain::frmMain()
    : QMainWindow(nullptr) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kCaption);
    setWindowIcon(platform::ui::programIcon(platform::ui::kLumideskIcon));
    setAcceptDrops(true);
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mdiArea_);
    buildMenus();
    // The other windows' grids pop up its context menus and switch its Find item.
    platform::ui::setMenuHost(this);
    buildToolbar();
    buildStatusBar();
    MDIForm_Load();
}

// The child windows unload while the main window is still whole: their unload handlers
// reach its menus.
frmMain::~frmMain() {
    const QList<QMdiSubWindow*> children = mdiArea_->subWindowList();
    for (QMdiSubWindow* child : children)
        delete child;
    // The windows it owns go with its children, when its menus may be gone already.
    platform::ui::setMenuHost(nullptr);
}

void frmMain::buildToolbar() {
    // Each button's picture is the icon theme's of its freedesktop name (or the program's own).
    struct Button {
        const char* key;
        const char* tip;
        const char* icon;
    };
    const QList<Button> buttons = {
        {"New", "New Budget", "document-new"},
        {"Open", "Open", "document-open"},
        {"Save As", "Save As", "document-save-as"},
        {"Save", nullptr, "document-save"},
        {nullptr, nullptr, nullptr},
        {"Print", "Print", "document-print"},
        {"Cut", "Cut", "edit-cut"},
        {"Copy", "Copy", "edit-copy"},
        {"Paste", "Paste", "edit-paste"},
        {nullptr, nullptr, nullptr},
        {"SetupFilesWizard", "Setup Budget Wizard", "tools-wizard"},
        {"SetupSystemWizard", "Setup System Operations Wizard", "system-run"},
        {nullptr, nullptr, nullptr},
        {"DataTable", "Budgets Explorer", "x-office-spreadsheet"},
        {nullptr, nullptr, nullptr},
        {"UpdateMF", "Update Master Files", "view-refresh"},
        {nullptr, nullptr, nullptr},
        {"MasterFiles", "Master Files View", "folder"},
        {nullptr, nullptr, nullptr},
        {"Mail", "Send Mail", "mail-send"},
        {nullptr, nullptr, nullptr},
        {"GetMail", "Get Mail", "mail-receive"},
        {nullptr, nullptr, nullptr},
        {"Configure", "Configure", "preferences-system"},
        {nullptr, nullptr, nullptr},
        {"Errors", "Errors Table", "dialog-warning"},
    };
    tbToolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setMovable(false);
    tbToolBar_->setIconSize(QSize(16, 16));
    tbToolBar_->setMinimumHeight(Twips::toPixels(420));
    addToolBar(Qt::TopToolBarArea, tbToolBar_);
    for (const Button& button : buttons) {
        if (!button.key) {
            tbToolBar_->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        QAction* action = tbToolBar_->addAction(platform::ui::themeIcon(QString::fromLatin1(button.icon)),
                                                button.tip ? QString::fromLatin1(button.tip) : key);
        action->setObjectName(key);
        action->setData(key);
        // The button carries its key too, so a script of the program's answers can press it.
        tbToolBar_->widgetForAction(action)->setObjectName(key);
        if (!button.tip)
            action->setToolTip(QString());
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        buttons_.insert(key, action);
    }
    buildPictureButtons();
    tbToolBar_->hide();
    tbToolBar_->installEventFilter(this);
}

void frmMain::buildPictureButtons() {
    pictureSpacer_ = new QWidget(tbToolBar_);
    pictureSpacer_->setObjectName(QStringLiteral("pictureSpacer"));
    tbToolBar_->addWidget(pictureSpacer_);
    auto makePicture = [this](const QString& name, const QString& words, const QColor& colour) {
        auto* picture = new QPushButton(tbToolBar_);
        picture->setObjectName(name);
        picture->setFlat(true);
        picture->setCursor(Qt::PointingHandCursor);
        picture->setIcon(QIcon(picturePlate(words, colour)));
        picture->setIconSize(kPictureSize);
        picture->setFixedSize(Twips::size(1360, 375).expandedTo(kPictureSize + QSize(4, 2)));
        return picture;
    };
    picQuickStart_ =
        makePicture(QStringLiteral("picQuickStart"), QStringLiteral("QuickStart"), QColor(0x1565c0));
    picLoadSample_ =
        makePicture(QStringLiteral("picLoadSample"), QStringLiteral("Load Sample"), QColor(0x2e7d32));
    picQuickStart_->setToolTip(QStringLiteral("QuickStart"));
    picLoadSample_->setToolTip(QStringLiteral("Install Sample Budget"));
    quickStartPlace_ = tbToolBar_->addWidget(picQuickStart_);
    auto* gap = new QWidget(tbToolBar_);
    gap->setObjectName(QStringLiteral("pictureGap"));
    gap->setFixedWidth(Twips::toPixels(kLoadSampleLeftTwips - kQuickStartLeftTwips) -
                       picQuickStart_->width());
    tbToolBar_->addWidget(gap);
    loadSamplePlace_ = tbToolBar_->addWidget(picLoadSample_);
    connect(picQuickStart_, &QPushButton::clicked, this, &frmMain::picQuickStart_Click);
    connect(picLoadSample_, &QPushButton::clicked, this, &frmMain::picLoadSample_Click);
}

// Puts the QuickStart picture at its place from the toolbar's left edge, or right after the
// buttons when they reach past it. The toolbar is laid out with the spacer at its least first,
// so where the picture would stand does not depend on an earlier layout (or none, while the
// toolbar was hidden).
void frmMain::placePictureButtons() {
    if (!tbToolBar_->isVisible())
        return;
    pictureSpacer_->setFixedWidth(0);
    tbToolBar_->layout()->invalidate();
    tbToolBar_->layout()->activate();
    const int target = Twips::toPixels(kQuickStartLeftTwips);
    const int now = picQuickStart_->mapTo(tbToolBar_, QPoint(0, 0)).x();
    pictureSpacer_->setFixedWidth(picQuickStart_->isVisibleTo(tbToolBar_) ? std::max(0, target - now) : 0);
}

// The toolbar is laid out again whenever it is shown or its width changes (the window made
// larger or smaller, maximised), once the main window has given it its place.
bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tbToolBar_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
        QTimer::singleShot(0, this, [this] { placePictureButtons(); });
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::buildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(bar);
    statusPanel_ = new QLabel(QStringLiteral("Status"), bar);
    statusPanel_->setObjectName(QStringLiteral("Status"));
    datePanel_ = new QLabel(bar);
    datePanel_->setObjectName(QStringLiteral("Date"));
    timePanel_ = new QLabel(bar);
    timePanel_->setObjectName(QStringLiteral("Time"));
    bar->addWidget(statusPanel_, 1);
    bar->addPermanentWidget(datePanel_);
    bar->addPermanentWidget(timePanel_);
    auto showClock = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        datePanel_->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
        timePanel_->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
    };
    showClock();
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, showClock);
    clock_->start(1000);
}

QString frmMain::statusText() const {
    return statusPanel_->text();
}

void frmMain::setStatusText(const QString& text) {
    statusPanel_->setText(text);
}

QMdiSubWindow* frmMain::addChildWindow(QWidget* window) {
    QMdiSubWindow* sub = mdiArea_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

// Load: each step reads its settings with their defaults and runs whatever the step before
// it met, so a bad value or a failed query never leaves the menus half set.
void frmMain::MDIForm_Load() {
    core::cOptions& options = *core::gOptions;
    loadStep([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        ApplyDisplayClass(screen ? screen->geometry().width() : 0);
    });
    loadStep([this] { loadToolbarState(); });
    loadStep([this] {
        menuItem(QStringLiteral("mnuShowControls"))
            ->setChecked(settingFlag(kRuntime, QStringLiteral("ShowControls"), true));
    });
    loadStep([&options] { options.SaveMailPW = settingFlag(kRuntime, QStringLiteral("SaveMailPW"), false); });
    loadStep([&options] {
        if (settingFlag(kOptions, QStringLiteral("Resize"), false))
            options.Resize = true;
        if (settingFlag(kOptions, QStringLiteral("ScrollBars"), false))
            options.ScrollBars = true;
    });
    loadStep([this] {
        const WindowPlace place = StoredWindowPlace();
        move(Twips::toPixels(place.left), Twips::toPixels(place.top));
        resize(Twips::toPixels(place.width), Twips::toPixels(place.height));
        // A stored place that would put part of the window off the screen (a smaller screen
        // than last time, or the defaults on a 768-pixel screen) is moved back onto it.
        platform::ui::keepInsideScreen(*this);
    });
    loadStep([this] { loadBudgetList(); });
    loadStep([this] { loadPictureButtons(); });
    loadStep([this] { loadNetworkMenus(); });
    loadStep([this] { loadStatusText(); });
}

void frmMain::loadToolbarState() {
    const bool show = settingFlag(kRuntime, QStringLiteral("ShowToolbar"), false);
    menuItem(QStringLiteral("mnuViewToolbar"))->setChecked(show);
    tbToolBar_->setVisible(show);
}

void frmMain::loadPictureButtons() {
    const bool pictures = settingFlag(kOptions, QStringLiteral("ToolbarPictures"), true);
    // A widget in a toolbar is shown and hidden through its place in the toolbar.
    for (QAction* place : {loadSamplePlace_, quickStartPlace_})
        place->setVisible(pictures);
    for (QPushButton* picture : {picLoadSample_, picQuickStart_})
        picture->setEnabled(pictures);
}

void frmMain::loadStatusText() {
    const core::cOptions& options = *core::gOptions;
    setStatusText(options.DatabaseMode == QStringLiteral("Local")
                      ? kLocalStatus
                      : options.LumiAdminUserName + kLoggedOnStatus);
}

void frmMain::busy(bool on) {
    core::SetBusyPointer(on ? 11 : 0);
}

// Closing: the help windows go first, then the place is saved unless the window is minimized.
void frmMain::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        MDIForm_QueryUnload();
        MDIForm_Unload();
        unloaded_ = true;
    }
    event->accept();
    QMainWindow::closeEvent(event);
    emit unloaded();
}

void frmMain::MDIForm_QueryUnload() {
    platform::ui::HelpWindow::closeAll();
}

void frmMain::MDIForm_Unload() {
    mdiArea_->closeAllSubWindows();
    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        SaveWindowPlace({Twips::fromPixels(frame.x()), Twips::fromPixels(frame.y()),
                         Twips::fromPixels(width()), Twips::fromPixels(height())});
    }
    if (core::gOptions)
        core::gOptions->ActiveForm = nullptr;
}

namespace {

// Dropped files are only ever copied from: a source that proposes moving them (a file manager
// may) would delete the user's workbook once the drop is accepted. A drag that offers no copy
// is refused.
bool takeAsCopy(QDropEvent* event) {
    if (!event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    takeAsCopy(event);
}

void frmMain::dropEvent(QDropEvent* event) {
    if (takeAsCopy(event))
        dropFiles(event->mimeData()->urls());
}

// The workbooks among the dropped files become rows of the QuickStart window in drop order;
// a workbook of the old binary format is refused with a message, other files are skipped.
void frmMain::dropFiles(const QList<QUrl>& urls) {
    try {
        QList<wizard::QSWorkbookRow> rows;
        for (const QUrl& url : urls) {
            if (!url.isLocalFile())
                continue;
            const QString path = url.toLocalFile();
            const QString name = QFileInfo(path).fileName();
            if (IsWorkbookName(path))
                rows.append({name, path});
            else if (IsLegacyWorkbookName(path))
                platform::ui::msgBox(LegacyWorkbookText(name), platform::ui::Buttons::Ok, kCaption);
        }
        if (rows.isEmpty())
            return;
        links::CloseBudgetsExplorer();
        wizard::ShowQSWizard(this, QStringLiteral("QuickStart Wizard"), rows);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void frmMain::mnuClose_Click() {
    links::CloseBudgetsExplorer();
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuExplorerView_Click() {
    busy(true);
    links::ShowBudgetsExplorer();
    busy(false);
    if (core::IsFormLoaded(QStringLiteral("frmDataTable")))
        setFindEnabled(true);
}

void frmMain::mnuMasterFilesView_Click() {
    if (core::gOptions->ViewMode == QStringLiteral("Context")) {
        platform::ui::msgBox(kViewTurnedOffText, platform::ui::Buttons::Ok, kCaption);
        return;
    }
    busy(true);
    links::ShowFileSystemView();
    busy(false);
}

void frmMain::mnuViewToolbar_Click() {
    QAction* item = menuItem(QStringLiteral("mnuViewToolbar"));
    tbToolBar_->setVisible(item->isChecked());
    writeSettingText(kRuntime, QStringLiteral("ShowToolbar"), platform::sys::boolToText(item->isChecked()));
}

void frmMain::mnuShowControls_Click() {
    QAction* item = menuItem(QStringLiteral("mnuShowControls"));
    writeSettingText(kRuntime, QStringLiteral("ShowControls"), platform::sys::boolToText(item->isChecked()));
    links::CloseBudgetsExplorer();
    links::ShowBudgetsExplorer();
}

void frmMain::mnuWindowCascade_Click() {
    mdiArea_->cascadeSubWindows();
}

// One above the other, each the full width of the area.
void frmMain::mnuWindowTileHorizontal_Click() {
    tileChildWindows(Qt::Vertical);
}

// Side by side, each the full height of the area.
void frmMain::mnuWindowTileVertical_Click() {
    tileChildWindows(Qt::Horizontal);
}

// Shares the area out among the shown child windows, in a column (Qt::Vertical) or a row.
void frmMain::tileChildWindows(Qt::Orientation stacking) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (sub->isVisible() && !sub->isMinimized())
            windows << sub;
    if (windows.isEmpty())
        return;
    const QRect area = mdiArea_->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        windows[i]->showNormal();
        if (stacking == Qt::Vertical)
            windows[i]->setGeometry(0, i * (area.height() / count), area.width(), area.height() / count);
        else
            windows[i]->setGeometry(i * (area.width() / count), 0, area.width() / count, area.height());
    }
}

void frmMain::mnuHelpContents_Click() {
    platform::ui::HelpWindow::showContents();
}

void frmMain::mnuHelpIndex_Click() {
    platform::ui::HelpWindow::showIndex();
}

void frmMain::mnuHelpSearch_Click() {
    platform::ui::HelpWindow::showSearch();
}

void frmMain::mnuHelpAbout_Click() {
    DisplayAbout(false);
}

} // namespace lumidesk
