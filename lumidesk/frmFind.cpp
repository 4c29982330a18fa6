// See frmFind.h.
#include "lumidesk/frmFind.h"

#include "lumidesk/FindInGrid.h"
#include "platform/ui/ComboList.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumidesk {

using platform::ui::ComboList;

frmFind::frmFind(QWidget* owner)
    : SingleDialog(owner) {
    buildControls();
    Form_Load();
}

void frmFind::buildControls() {
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));

    auto* findPage = new QWidget(SSTab1_);
    lblFind_ = new QLabel(QStringLiteral("Find What:"), findPage);
    cbxFind_ = new ComboList(findPage, ComboList::Style::DropDownCombo);
    cbxFind_->setObjectName(QStringLiteral("cbxFind"));
    cbxFind_->setMinimumWidth(260);
    lblFind_->setBuddy(cbxFind_);
    lblMatch_ = new QLabel(QStringLiteral("Match:"), findPage);
    cbxMatch_ = new ComboList(findPage, ComboList::Style::DropDownList);
    cbxMatch_->setObjectName(QStringLiteral("cbxMatch"));
    lblMatch_->setBuddy(cbxMatch_);
    cmdFindNext_ = new QPushButton(QStringLiteral("Find Next"), findPage);
    cmdFindNext_->setObjectName(QStringLiteral("cmdFindNext"));
    cmdFindNext_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), findPage);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* fields = new QGridLayout;
    fields->addWidget(lblFind_, 0, 0);
    fields->addWidget(cbxFind_, 0, 1);
    fields->addWidget(lblMatch_, 1, 0);
    fields->addWidget(cbxMatch_, 1, 1, Qt::AlignLeft);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdFindNext_);
    buttons->addWidget(cmdCancel_);
    buttons->addStretch();
    auto* page = new QHBoxLayout(findPage);
    page->addLayout(fields, 1);
    page->addSpacing(12);
    page->addLayout(buttons);
    SSTab1_->addTab(findPage, QStringLiteral("Find"));
    SSTab1_->addTab(new QWidget(SSTab1_), QStringLiteral("Replace"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1_);

    connect(cbxFind_, &ComboList::changed, this, &frmFind::cbxFind_Change);
    connect(cmdFindNext_, &QPushButton::clicked, this, &frmFind::cmdFindNext_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmFind::cmdCancel_Click);
}

void frmFind::Form_Load() {
    for (const QString& choice : kMatchChoices)
        cbxMatch_->addEntry(choice);
    cbxMatch_->setText(kMatchWholeField);
    SSTab1_->setTabEnabled(1, false);
    cmdFindNext_->setEnabled(false);
}

void frmFind::cbxFind_Change() {
    // Once a text was typed the button stays enabled, even when the box is cleared again.
    if (!cbxFind_->text().isEmpty())
        cmdFindNext_->setEnabled(true);
}

void frmFind::cmdFindNext_Click() {
    const QString text = cbxFind_->text();
    if (!text.isEmpty()) {
        cbxFind_->addEntry(text);
        cbxFind_->setEditText(text);
    }
    FindInGrid(text, QString(), cbxMatch_->text());
}

void frmFind::cmdCancel_Click() {
    close();
}

} // namespace lumidesk
