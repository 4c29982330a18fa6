// See frmAbout.h.
#include "core/startup/frmAbout.h"

#include "core/AppTitle.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlace.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace core {

namespace {

const QString kOptions = QStringLiteral("Options");
const QString kSplash = QStringLiteral("Splash");

QString setting(const QString& key) {
    return platform::sys::readSetting(platform::sys::settingsApplication(), kOptions, key);
}

// The product picture: a lamp-blue plate with the product's initial.
QPixmap productPicture() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 96, 96);
    gradient.setColorAt(0, QColor(0x42a5f5));
    gradient.setColorAt(1, QColor(0x0d47a1));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, 92, 92), 14, 14);
    painter.setBrush(QColor(255, 236, 130));
    painter.drawEllipse(QPointF(62, 32), 12, 12);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(58);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(8, 18, 70, 74), Qt::AlignCenter, QStringLiteral("L"));
    return pixmap;
}

} // namespace

QString frmAbout::VersionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

frmAbout* frmAbout::Display(bool timer, const AboutBoxSetup& setup) {
    auto* box = qobject_cast<frmAbout*>(platform::ui::LoadedWindows::find(QStringLiteral("frmAbout")));
    if (!box)
        box = new frmAbout(setup);
    box->lblVersion_->setText(VersionText(setup.major, setup.minor, setup.revision));
    box->lblProductName_->setText(appTitle());
    if (timer) {
        box->Timer1_->setInterval(kSplashMilliseconds);
        box->Timer1_->start();
    }
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

frmAbout::frmAbout(const AboutBoxSetup& setup)
    : QDialog(setup.owner.data())
    , closed_(setup.closed) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + appTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
    Form_Load();
    if (setup.owner && setup.placeTwips) {
        move(setup.owner->mapToGlobal(QPoint(platform::ui::Twips::toPixels(setup.placeTwips->x()),
                                             platform::ui::Twips::toPixels(setup.placeTwips->y()))));
        platform::ui::keepInsideScreen(*this);
    }
}

void frmAbout::buildControls() {
    Picture1_ = new QLabel(this);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setPixmap(productPicture());
    Picture1_->setFixedSize(96, 96);
    lblProductName_ = new QLabel(QStringLiteral("Lumivane"), this);
    lblProductName_->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName_->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    lblProductName_->setFont(big);
    lblVersion_ = new QLabel(QStringLiteral("Version:"), this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblDescription_ =
        new QLabel(QStringLiteral("Budget planning on spreadsheets: master workbooks, user files by "
                                  "mail, and their changes merged back cell by cell."),
                   this);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));
    lblDescription_->setWordWrap(true);
    chkSplash_ = new QCheckBox(QStringLiteral("Do not show at startup"), this);
    chkSplash_->setObjectName(QStringLiteral("chkSplash"));
    cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdVisitWebSite_ = new QPushButton(QStringLiteral("Visit Web Site"), this);
    cmdVisitWebSite_->setObjectName(QStringLiteral("cmdVisitWebSite"));
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setSingleShot(true);
    Timer1_->setInterval(0);

    auto* text = new QVBoxLayout;
    text->addWidget(lblProductName_);
    text->addWidget(lblVersion_);
    text->addSpacing(8);
    text->addWidget(lblDescription_);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1_, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkSplash_);
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo_);
    buttons->addWidget(cmdVisitWebSite_);
    buttons->addWidget(cmdOK_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setFixedSize(560, 240);

    connect(cmdOK_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(chkSplash_, &QCheckBox::clicked, this, &frmAbout::chkSplash_Click);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(cmdVisitWebSite_, &QPushButton::clicked, this, &frmAbout::cmdVisitWebSite_Click);
    connect(Timer1_, &QTimer::timeout, this, &frmAbout::Timer1_Timer);
    // A key pressed anywhere in the box, and a click on the picture, close it.
    Picture1_->installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmAbout::Form_Load() {
    chkSplash_->setChecked(platform::sys::textToBool(setting(kSplash)).value_or(false));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched == Picture1_) {
        Picture1_Click();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        Form_KeyPress();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::keyPressEvent(QKeyEvent*) {
    Form_KeyPress();
}

// Unloads the box; its closing runs what the program added (the desktop shows its main window).
void frmAbout::closeAndShowMain() {
    close();
}

// Closing the box by its close box counts as OK: what follows the closing happens all the same.
void frmAbout::closeEvent(QCloseEvent* event) {
    Timer1_->stop();
    QDialog::closeEvent(event);
    if (const auto closed = std::exchange(closed_, {}))
        closed();
}

void frmAbout::cmdOK_Click() {
    closeAndShowMain();
}

void frmAbout::Form_KeyPress() {
    closeAndShowMain();
}

void frmAbout::Picture1_Click() {
    closeAndShowMain();
}

void frmAbout::Timer1_Timer() {
    closeAndShowMain();
}

void frmAbout::chkSplash_Click() {
    platform::sys::writeSetting(platform::sys::settingsApplication(), kOptions, kSplash,
                                chkSplash_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

// The system information tool is the command configured as "Options" "SysInfoCommand" (a
// program and its arguments); without one, or when it cannot be started, the box says so.
void frmAbout::StartSysInfo() {
    QStringList command = QProcess::splitCommand(setting(kSysInfoCommandKey));
    if (!command.isEmpty()) {
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command))
            return;
    }
    platform::ui::msgBox(kSysInfoUnavailable, platform::ui::Buttons::Ok, appTitle());
}

void frmAbout::cmdVisitWebSite_Click() {
    QDesktopServices::openUrl(QUrl(kHomePage));
}

} // namespace core
