// See frmCompose.h.
#include "mail/frmCompose.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mail {

frmCompose::frmCompose(const QString& sender, const QString& recipient, const QString& subject,
                       const QString& body, const QString& attachment, QWidget* parent)
    : QDialog(parent)
    , tbxTo_(new QLineEdit(recipient, this))
    , tbxSubject_(new QLineEdit(subject, this))
    , tbxBody_(new QPlainTextEdit(body, this))
    , cmdSend_(new QPushButton(QStringLiteral("Send"), this))
    , cmdCancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmCompose"));
    setWindowTitle(QStringLiteral("New message"));
    tbxTo_->setObjectName(QStringLiteral("tbxTo"));
    tbxSubject_->setObjectName(QStringLiteral("tbxSubject"));
    tbxBody_->setObjectName(QStringLiteral("tbxBody"));
    cmdSend_->setObjectName(QStringLiteral("cmdSend"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* fields = new QFormLayout;
    auto* from = new QLabel(sender, this);
    from->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fields->addRow(QStringLiteral("From:"), from);
    fields->addRow(QStringLiteral("To:"), tbxTo_);
    fields->addRow(QStringLiteral("Subject:"), tbxSubject_);
    auto* file =
        new QLabel(attachment.isEmpty() ? QStringLiteral("(none)") : QFileInfo(attachment).fileName(), this);
    file->setObjectName(QStringLiteral("lblAttachment"));
    file->setToolTip(attachment);
    fields->addRow(QStringLiteral("Attachment:"), file);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdSend_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel_, QDialogButtonBox::RejectRole);
    connect(cmdSend_, &QPushButton::clicked, this, [this] { done(kSend); });
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(tbxBody_, 1);
    layout->addWidget(buttons);
    resize(520, 360);
}

QString frmCompose::recipient() const {
    return tbxTo_->text().trimmed();
}

QString frmCompose::subject() const {
    return tbxSubject_->text();
}

QString frmCompose::body() const {
    return tbxBody_->toPlainText();
}

} // namespace mail
