// See frmAddAddress.h.
#include "mail/frmAddAddress.h"

#include "admin/AccountRules.h"
#include "admin/ConfigGrids.h"
#include "core/SystemOps.h"
#include "core/TextRoutines.h"
#include "core/frmWait.h"
#include "mail/ContactsFolder.h"
#include "mail/MailContext.h"
#include "mail/MailHooks.h"
#include "mail/MailWait.h"
#include "mail/frmOutTree.h"
#include "platform/mail/AddressBook.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/WindowPlace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace mail {

namespace {

QPointer<frmAddAddress> gLoaded;

// The text before the first at sign; an address without one is its own name.
QString nameOf(const QString& address) {
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    return at < 0 ? address : address.left(at);
}

} // namespace

frmAddAddress::frmAddAddress(QWidget* owner)
    : QWidget(owner, owner ? Qt::Window : Qt::WindowFlags()) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Add Budget Users From Lists"));
    buildControls();
    gLoaded = this;
    platform::ui::placeOnOwner(*this, QRect(0, 0, kWidthTwips, kHeightTwips));
    {
        const QSignalBlocker quiet(cbxListSource_);
        cbxListSource_->addEntry(QString());
        cbxListSource_->addEntry(kContactsSource);
        cbxListSource_->setText(QString());
    }
    cbxListSource_Change();
}

frmAddAddress* frmAddAddress::loaded() {
    return gLoaded;
}

void frmAddAddress::buildControls() {
    cbxListSource_ = new platform::ui::ComboList(this, platform::ui::ComboList::Style::DropDownList);
    cbxListSource_->setObjectName(QStringLiteral("cbxListSource"));
    cbxListName_ = new platform::ui::ComboList(this, platform::ui::ComboList::Style::DropDownList);
    cbxListName_->setObjectName(QStringLiteral("cbxListName"));
    auto* lblSelSource = new QLabel(QStringLiteral("Source"), this);
    lblSelSource->setObjectName(QStringLiteral("lblSelSource"));
    lblSelList_ = new QLabel(QStringLiteral("List"), this);
    lblSelList_->setObjectName(QStringLiteral("lblSelList"));
    connect(cbxListSource_, &platform::ui::ComboList::changed, this, &frmAddAddress::cbxListSource_Change);
    connect(cbxListName_, &platform::ui::ComboList::changed, this, &frmAddAddress::cbxListName_Change);

    lbxEmailSource_ = new QListWidget(this);
    lbxEmailSource_->setObjectName(QStringLiteral("lbxEmailSource"));
    lbxEmailSource_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    dtTarget_ = new platform::ui::DataGrid(this);
    dtTarget_->setObjectName(QStringLiteral("dtTarget"));
    platform::ui::DataGridColumn name;
    name.heading = QStringLiteral("User Name");
    name.widthTwips = 1400;
    platform::ui::DataGridColumn address;
    address.heading = QStringLiteral("Email Address");
    address.widthTwips = 2500;
    dtTarget_->setColumns({name, address});
    chkName_ = new QCheckBox(QStringLiteral("Create User Name"), this);
    chkName_->setObjectName(QStringLiteral("chkName"));

    cmdAllToUsers_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdAllToUsers"), QStringLiteral(">>"),
                                                QStringLiteral("Move all addresses to the users."));
    cmdSelToUsers_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdSelToUsers"), QStringLiteral(">"),
                                                QStringLiteral("Move the selected addresses to the users."));
    cmdUnSelectSome_ = platform::ui::namedControl<QPushButton>(
        this, QStringLiteral("cmdUnSelectSome"), QStringLiteral("<"),
        QStringLiteral("Move the current user back to the addresses."));
    cmdUnselectAll_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdUnselectAll"), QStringLiteral("<<"),
                                                QStringLiteral("Move all users back to the addresses."));
    cmdClear_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdClear"), QStringLiteral("Clear"));
    cmdOK_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdCancel_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    cmdHelp_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    connect(cmdAllToUsers_, &QPushButton::clicked, this, &frmAddAddress::cmdAllToUsers_Click);
    connect(cmdSelToUsers_, &QPushButton::clicked, this, &frmAddAddress::cmdSelToUsers_Click);
    connect(cmdUnSelectSome_, &QPushButton::clicked, this, &frmAddAddress::cmdUnSelectSome_Click);
    connect(cmdUnselectAll_, &QPushButton::clicked, this, &frmAddAddress::cmdUnselectAll_Click);
    connect(cmdClear_, &QPushButton::clicked, this, &frmAddAddress::cmdClear_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmAddAddress::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmAddAddress::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmAddAddress::cmdHelp_Click);

    auto* choose = new QGridLayout;
    choose->addWidget(lblSelSource, 0, 0);
    choose->addWidget(cbxListSource_, 0, 1);
    choose->addWidget(lblSelList_, 0, 2);
    choose->addWidget(cbxListName_, 0, 3);
    choose->setColumnStretch(3, 1);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* push : {cmdAllToUsers_, cmdSelToUsers_, cmdUnSelectSome_, cmdUnselectAll_})
        moves->addWidget(push);
    moves->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(lbxEmailSource_, 2);
    lists->addLayout(moves);
    lists->addWidget(dtTarget_, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkName_);
    buttons->addWidget(cmdClear_);
    buttons->addStretch();
    for (QPushButton* push : {cmdOK_, cmdCancel_, cmdHelp_})
        buttons->addWidget(push);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choose);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
}

void frmAddAddress::closeEvent(QCloseEvent* event) {
    frmOutTree::unload();
    // Unloaded: no longer found, even before it is destroyed.
    setObjectName(QString());
    if (gLoaded == this)
        gLoaded = nullptr;
    event->accept();
}

QStringList frmAddAddress::sourceAddresses() const {
    QStringList addresses;
    for (int i = 0; i < lbxEmailSource_->count(); ++i)
        addresses << lbxEmailSource_->item(i)->text();
    return addresses;
}

void frmAddAddress::setSource(QStringList addresses, bool sorted) {
    if (sorted)
        core::QuickSortText(addresses, 0, addresses.size() - 1);
    lbxEmailSource_->clear();
    lbxEmailSource_->addItems(addresses);
}

void frmAddAddress::appendTarget(const QString& name, const QString& address) {
    dtTarget_->appendRow({name, address});
}

void frmAddAddress::cbxListSource_Change() {
    const QString source = cbxListSource_->text();
    if (source.isEmpty()) {
        cbxListName_->hide();
        lblSelList_->hide();
        return;
    }
    if (source != kContactsSource)
        return;
    cbxListName_->show();
    lblSelList_->show();
    {
        const QSignalBlocker quiet(cbxListName_);
        cbxListName_->clearEntries();
        cbxListName_->addEntry(QString());
        cbxListName_->setText(QString());
    }
    frmOutTree::load(*this);
}

void frmAddAddress::cbxListName_Change() {
    if (cbxListName_->text().isEmpty())
        return;
    core::SetBusyPointer(11);
    frmOutTree::unload();
    lbxEmailSource_->clear();
    GetContactItems();
    core::SetBusyPointer(0);
}

// A book that cannot be read leaves the source list empty, as a missing list would.
void frmAddAddress::GetContactItems() {
    core::frmWait& wait = ShowMailWait(QString(), {}, Progress::Shown);

    const QString listName = cbxListName_->text();
    const QString book = platform::mail::findAddressBook(ContactsFolder(), listName);
    const QList<platform::mail::Contact> contacts =
        book.isEmpty() ? QList<platform::mail::Contact>()
                       : platform::mail::readAddressBook(book).value_or(QList<platform::mail::Contact>());
    QStringList addresses;
    QStringList refused;
    for (const platform::mail::Contact& contact : contacts) {
        if (!contact.group && !contact.addresses.isEmpty() && !contact.addresses.first().isEmpty()) {
            addresses << contact.addresses.first();
            lbxEmailSource_->addItem(contact.addresses.first());
        } else if (!contact.group && !contact.refused.isEmpty()) {
            refused << contact.refused.first();
        }
        wait.lblSysOperation()->setText(QStringLiteral("Reading email addresses from [") + listName +
                                        QStringLiteral("]."));
        wait.CorvProgressBar1()->setMax(static_cast<int>(contacts.size()));
        wait.CorvProgressBar1()->setValue(static_cast<int>(addresses.size()));
        wait.repaint();
    }
    core::frmWait::unload();
    setSource(addresses, true);
    if (!refused.isEmpty())
        tell(admin::LeftOutAddressesText(refused));
}

void frmAddAddress::cmdAllToUsers_Click() {
    const QStringList addresses = sourceAddresses();
    for (const QString& address : addresses)
        appendTarget(chkName_->isChecked() ? nameOf(address) : QString(), address);
    lbxEmailSource_->clear();
}

void frmAddAddress::cmdSelToUsers_Click() {
    for (int i = 0; i < lbxEmailSource_->count();) {
        if (!lbxEmailSource_->item(i)->isSelected()) {
            ++i;
            continue;
        }
        const QString address = lbxEmailSource_->item(i)->text();
        delete lbxEmailSource_->takeItem(i);
        appendTarget(nameOf(address), address);
    }
}

void frmAddAddress::cmdUnSelectSome_Click() {
    const int row = dtTarget_->currentRow();
    if (dtTarget_->rowCount() == 0 || row < 0)
        return;
    QStringList addresses = sourceAddresses();
    addresses << dtTarget_->cellText(row, 1);
    dtTarget_->removeRow(row);
    setSource(addresses, addresses.size() >= 2);
}

void frmAddAddress::cmdUnselectAll_Click() {
    if (dtTarget_->rowCount() == 0)
        return;
    QStringList addresses;
    for (int row = 0; row < dtTarget_->rowCount(); ++row)
        addresses << dtTarget_->cellText(row, 1);
    dtTarget_->resetRows();
    setSource(addresses, false);
}

void frmAddAddress::cmdClear_Click() {
    lbxEmailSource_->clear();
}

// A user needs a name: rows without one are named and left out.
void frmAddAddress::cmdOK_Click() {
    QStringList unnamed;
    for (int row = 0; row < dtTarget_->rowCount(); ++row)
        if (dtTarget_->cellText(row, 0).trimmed().isEmpty())
            unnamed << dtTarget_->cellText(row, 1);
    if (!unnamed.isEmpty()) {
        tell(QStringLiteral("These addresses have no user name and were not added as users:\n") +
             unnamed.join(QLatin1Char('\n')));
    }
    if (mailHooks().addAddressesToUsersData)
        mailHooks().addAddressesToUsersData();
    close();
    admin::LoadUsersDataGrid();
}

void frmAddAddress::cmdCancel_Click() {
    close();
}

void frmAddAddress::cmdHelp_Click() {
    platform::ui::showHelpPage(kFormName);
}

} // namespace mail
