// The address import window over a contacts folder of address books: the lists it offers,
// the addresses it reads, the moves between the lists and what OK hands to the users table.
#include "MailFixture.h"
#include "mail/ContactsFolder.h"
#include "mail/MailServices.h"
#include "mail/frmAddAddress.h"
#include "mail/frmOutTree.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace mailtest {
namespace {

using mail::frmAddAddress;

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QByteArray card(const char* name, const char* address) {
    QByteArray text = QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + name + "\r\n";
    if (*address)
        text += QByteArray("EMAIL:") + address + "\r\n";
    return text + "END:VCARD\r\n";
}

class AddAddress : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        folder_ = testsupport::freshDir(QStringLiteral("contacts"));
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                    mail::kContactsFolderKey, folder_);
        // Duplicates, a contact without address and a group in one book; a folder of cards; a
        // list one level down that is not offered; a file that is no book.
        write(folder_ + QStringLiteral("/Contacts.vcf"),
              card("Zoe", "zoe@example.org") + card("Ann", "ann@example.org") +
                  card("Ann again", "ann@example.org") + card("No Mail", "") +
                  "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Everyone\r\nEMAIL:all@example.org\r\nEND:"
                  "VCARD\r\n" +
                  card("bob", "Bob@example.org"));
        write(folder_ + QStringLiteral("/Team/carl.vcf"), card("Carl", "carl@example.org"));
        write(folder_ + QStringLiteral("/Team/dora.vcf"), card("Dora", "dora@example.org"));
        write(folder_ + QStringLiteral("/Old/Archive.csv"), "Name,E-mail\nEve,eve@example.org\n");
        write(folder_ + QStringLiteral("/readme.txt"), "not a book");
        mail::ShowAddAddress(nullptr);
        window_ = frmAddAddress::loaded();
    }

    void TearDown() override {
        if (window_) {
            window_->close();
            delete window_;
        }
        platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                     mail::kContactsFolderKey);
        MailFixture::TearDown();
    }

    QStringList listNames() const {
        QStringList names;
        for (int i = 0; i < window_->cbxListName()->entryCount(); ++i)
            names << window_->cbxListName()->entry(i);
        return names;
    }

    QStringList targetColumn(int column) const {
        QStringList texts;
        for (int row = 0; row < window_->dtTarget()->rowCount(); ++row)
            texts << window_->dtTarget()->cellText(row, column);
        return texts;
    }

    QString folder_;
    frmAddAddress* window_ = nullptr;
};

TEST_F(AddAddress, OffersTheBooksOfTheContactsFolderAndReadsTheChosenOneSorted) {
    EXPECT_TRUE(window_->cbxListName()->isHidden());
    window_->cbxListSource()->setText(mail::kContactsSource);
    EXPECT_FALSE(window_->cbxListName()->isHidden());
    EXPECT_NE(nullptr, mail::frmOutTree::loaded());
    EXPECT_EQ((QStringList{QString(), QStringLiteral("Contacts"), QStringLiteral("Team")}), listNames());

    // Choosing the source again lists the books afresh, once.
    window_->cbxListSource()->setText(QString());
    window_->cbxListSource()->setText(mail::kContactsSource);
    EXPECT_EQ(3, listNames().size());

    window_->cbxListName()->setText(QStringLiteral("Contacts"));
    EXPECT_EQ(nullptr, mail::frmOutTree::loaded());
    EXPECT_EQ((QStringList{QStringLiteral("ann@example.org"), QStringLiteral("ann@example.org"),
                           QStringLiteral("Bob@example.org"), QStringLiteral("zoe@example.org")}),
              window_->sourceAddresses());

    window_->cbxListName()->setText(QStringLiteral("Team"));
    EXPECT_EQ((QStringList{QStringLiteral("carl@example.org"), QStringLiteral("dora@example.org")}),
              window_->sourceAddresses());
}

// An address book whose address would add a line to the conversation with the mail server:
// that address is left out of the source list and named in one message; the others come in.
TEST_F(AddAddress, InjectedAddressesAreLeftOutAndNamed) {
    write(folder_ + QStringLiteral("/Exported.csv"),
          "Name,Email\r\nEve,\"ann@example.org>\r\nRCPT TO:<leak@evil.example\"\r\nFay,fay@example.org\r\n");
    ui().acceptUnscriptedMessages();
    window_->cbxListSource()->setText(mail::kContactsSource);
    window_->cbxListName()->setText(QStringLiteral("Exported"));
    EXPECT_EQ(QStringList{QStringLiteral("fay@example.org")}, window_->sourceAddresses());
    EXPECT_EQ(
        QStringList{QStringLiteral("These e-mail addresses were left out.  An e-mail address can't hold "
                                   "line breaks, other control characters or angle brackets:\n"
                                   "ann@example.org>\\r\\nRCPT TO:<leak@evil.example")},
        ui().messageTexts());
}

TEST_F(AddAddress, MovesBetweenTheListsFollowTheNameOption) {
    window_->cbxListSource()->setText(mail::kContactsSource);
    window_->cbxListName()->setText(QStringLiteral("Contacts"));

    window_->lbxEmailSource()->item(2)->setSelected(true);
    window_->lbxEmailSource()->item(3)->setSelected(true);
    window_->cmdSelToUsers()->click(); // always named
    EXPECT_EQ((QStringList{QStringLiteral("Bob"), QStringLiteral("zoe")}), targetColumn(0));
    window_->chkName()->setChecked(false);
    window_->cmdAllToUsers()->click(); // named only when "Create User Name" is ticked
    EXPECT_EQ((QStringList{QStringLiteral("Bob"), QStringLiteral("zoe"), QString(), QString()}),
              targetColumn(0));
    EXPECT_TRUE(window_->sourceAddresses().isEmpty());

    window_->dtTarget()->setCurrentCell(1, 0);
    window_->cmdUnSelectSome()->click();
    EXPECT_EQ(QStringList{QStringLiteral("zoe@example.org")}, window_->sourceAddresses());
    window_->cmdUnselectAll()->click(); // in grid order, unsorted
    EXPECT_EQ((QStringList{QStringLiteral("Bob@example.org"), QStringLiteral("ann@example.org"),
                           QStringLiteral("ann@example.org")}),
              window_->sourceAddresses());
    EXPECT_EQ(0, window_->dtTarget()->rowCount());
    window_->cmdClear()->click();
    EXPECT_TRUE(window_->sourceAddresses().isEmpty());
}

TEST_F(AddAddress, OkNamesTheRowsWithoutUserNameAndHandsTheGridToTheUsersTable) {
    window_->cbxListSource()->setText(mail::kContactsSource);
    window_->cbxListName()->setText(QStringLiteral("Team"));
    window_->chkName()->setChecked(true);
    window_->cmdAllToUsers()->click();
    window_->dtTarget()->setCellValue(1, 0, QString());
    ui().acceptUnscriptedMessages();
    window_->cmdOK()->click();
    EXPECT_EQ(QStringList{QStringLiteral("These addresses have no user name and were not added as users:\n"
                                         "dora@example.org")},
              ui().messageTexts());
    EXPECT_EQ(1, addressHookCalls_);
    EXPECT_EQ(nullptr, frmAddAddress::loaded());
    window_ = nullptr;
}

TEST_F(AddAddress, CancelStoresNothingAndAMissingFolderIsReported) {
    window_->cmdCancel()->click();
    EXPECT_EQ(0, addressHookCalls_);
    window_ = nullptr;

    platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                mail::kContactsFolderKey, folder_ + QStringLiteral("/gone"));
    mail::ShowAddAddress(nullptr);
    window_ = frmAddAddress::loaded();
    ui().acceptUnscriptedMessages();
    window_->cbxListSource()->setText(mail::kContactsSource);
    EXPECT_EQ(QStringList{QStringLiteral("The contacts folder ") + folder_ +
                          QStringLiteral("/gone does not exist.")},
              ui().messageTexts());
    EXPECT_EQ(QStringList{QString()}, listNames());
    EXPECT_EQ(nullptr, mail::frmOutTree::loaded());
}

} // namespace
} // namespace mailtest
