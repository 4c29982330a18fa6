// The workbook-password dialog; see frmEnterWBPwd.h. Positions are design positions in twips.
#include "platform/ui/frmEnterWBPwd.h"

#include "platform/ui/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace platform::ui {

namespace {
constexpr int kWidthTwips = 5400;
constexpr int kHeightTwips = 2580;
constexpr int kCaptionLeft = 240;
constexpr int kCaptionWidth = 1800;
constexpr int kBoxLeft = 2160;
constexpr int kBoxWidth = 2880;
constexpr int kRowHeight = 315;
} // namespace

frmEnterWBPwd::frmEnterWBPwd(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmEnterWBPwd"));
    setWindowTitle(QStringLiteral("Enter workbook passwords"));
    setFixedSize(Twips::size(kWidthTwips, kHeightTwips));

    lblPrompt_ = new QLabel(
        QStringLiteral("To add this workbook to the budget, enter the File Open and Write passwords."), this);
    lblPrompt_->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt_->setWordWrap(true);
    lblPrompt_->setGeometry(Twips::rect(kCaptionLeft, 150, kWidthTwips - 2 * kCaptionLeft, 480));

    tbxFOPwd_ = addPasswordBox(QStringLiteral("tbxFOPwd"), QStringLiteral("File Open Password"), 780);
    tbxWritePwd_ = addPasswordBox(QStringLiteral("tbxWritePwd"), QStringLiteral("File Write Password"), 1260);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(Twips::rect(2160, 1890, 1215, 375));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &frmEnterWBPwd::okClicked);

    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setGeometry(Twips::rect(3825, 1890, 1215, 375));
    connect(cmdCancel_, &QPushButton::clicked, this, &frmEnterWBPwd::cancelClicked);
}

QLineEdit* frmEnterWBPwd::addPasswordBox(const QString& name, const QString& caption, int top) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("lbl") + name.mid(3));
    label->setGeometry(Twips::rect(kCaptionLeft, top + 30, kCaptionWidth, kRowHeight - 30));
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setGeometry(Twips::rect(kBoxLeft, top, kBoxWidth, kRowHeight));
    label->setBuddy(box);
    return box;
}

void frmEnterWBPwd::closeEvent(QCloseEvent* event) {
    // The window stays for the caller to read and unload; the close box only answers Cancel.
    emit cancelClicked();
    event->ignore();
}

} // namespace platform::ui
