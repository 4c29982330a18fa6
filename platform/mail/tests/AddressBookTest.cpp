// Address books as mail clients export them: vCard files of each version, folders of cards,
// CSV lists, and the folder tree that finds the lists in the contacts folder.
#include "platform/mail/AddressBook.h"

#include "platform/mail/ContactFolderTree.h"
#include "platform/mail/VCardReader.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace platform::mail {
namespace {

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Two cards with one address, a card without any, a group, and the three versions' forms.
const QByteArray kTeamCards =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Smith\r\nN:Smith;Ann;;;\r\n"
    "EMAIL;TYPE=INTERNET:ann@example.org\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann S.\r\nEMAIL:ann@example.org\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:No Mail\r\nTEL:123\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Sales team\r\n"
    "MEMBER:urn:uuid:1\r\nEND:VCARD\r\n";

TEST(VCards, EachVersionsFormsAreRead) {
    const QByteArray text =
        // 2.1: bare parameters, quoted-printable with a soft line break, a character set.
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:M=C3=BCller;J=C3=\r\n=BCrgen\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-"
        "PRINTABLE:"
        "J=C3=BCrgen M=C3=BCller\r\nEMAIL;INTERNET:j@example.org\r\nEMAIL;INTERNET;PREF:pref@example.org\r\n"
        "END:VCARD\r\n"
        // 3.0: folded line, escaped text, a property group, a preferred address.
        "BEGIN:VCARD\nVERSION:3.0\nFN:Smith\\, Bob\nitem1.EMAIL;TYPE=INTERNET:bob@exam\n ple.org\n"
        "EMAIL;TYPE=INTERNET,pref:bob.pref@example.org\nEND:VCARD\n"
        // 4.0: no FN, so the name comes from N; PREF=1; a group of another client's making.
        "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Doe;Jane;;Dr.;\r\nEMAIL;TYPE=work:jane@example.org\r\n"
        "EMAIL;PREF=1:jane.pref@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Friends\r\nX-ADDRESSBOOKSERVER-KIND:group\r\nEND:VCARD\r\n"
        // A card that never ends.
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cut\r\nEMAIL:cut@example.org\r\n";
    const QList<Contact> contacts = readVCards(text);
    ASSERT_EQ(5, contacts.size());
    EXPECT_EQ(QStringLiteral("Jürgen Müller"), contacts[0].name);
    EXPECT_EQ((QStringList{QStringLiteral("pref@example.org"), QStringLiteral("j@example.org")}),
              contacts[0].addresses);
    EXPECT_EQ(QStringLiteral("Smith, Bob"), contacts[1].name);
    EXPECT_EQ((QStringList{QStringLiteral("bob.pref@example.org"), QStringLiteral("bob@example.org")}),
              contacts[1].addresses);
    EXPECT_EQ(QStringLiteral("Dr. Jane Doe"), contacts[2].name);
    EXPECT_EQ(QStringLiteral("jane.pref@example.org"), contacts[2].addresses.value(0));
    EXPECT_TRUE(contacts[3].group);
    EXPECT_FALSE(contacts[2].group);
    EXPECT_EQ(QStringLiteral("cut@example.org"), contacts[4].addresses.value(0));
}

TEST(AddressBooks, VCardFileFolderOfCardsAndCsvList) {
    const QString folder = testsupport::freshDir(QStringLiteral("contacts"));
    write(folder + QStringLiteral("/Contacts.vcf"), kTeamCards);
    write(folder + QStringLiteral("/Team/ann.vcf"),
          "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nEMAIL:ann@example.org\r\nEND:VCARD\r\n");
    write(folder + QStringLiteral("/Team/bob.VCF"),
          "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nEMAIL:bob@example.org\r\nEND:VCARD\r\n");
    write(folder + QStringLiteral("/Team/readme.txt"), "not a card");
    write(folder + QStringLiteral("/Export.csv"),
          "\xEF\xBB\xBF"
          "First Name,Last Name,\"E-mail Address\",Notes\r\n"
          "Carl,Jones,carl@example.org,\"line one\nline \"\"two\"\"\"\r\n"
          "Dana,,,\r\n"
          "\r\n"
          ",Eve,eve@example.org,\r\n");
    write(folder + QStringLiteral("/Semicolons.csv"), "Name;Email\nFay;fay@example.org\n");
    write(folder + QStringLiteral("/NoMail.csv"), "Name,Phone\nGus,1\n");

    const std::optional<QList<Contact>> cards = readAddressBook(folder + QStringLiteral("/Contacts.vcf"));
    ASSERT_TRUE(cards);
    ASSERT_EQ(4, cards->size());
    EXPECT_EQ(cards->at(0).addresses, cards->at(1).addresses); // duplicates are kept
    EXPECT_TRUE(cards->at(2).addresses.isEmpty());
    EXPECT_TRUE(cards->at(3).group);

    const std::optional<QList<Contact>> team = readAddressBook(folder + QStringLiteral("/Team"));
    ASSERT_TRUE(team);
    ASSERT_EQ(2, team->size());
    EXPECT_EQ(QStringLiteral("bob@example.org"), team->at(1).addresses.value(0));

    const std::optional<QList<Contact>> csv = readAddressBook(folder + QStringLiteral("/Export.csv"));
    ASSERT_TRUE(csv);
    ASSERT_EQ(3, csv->size());
    EXPECT_EQ(QStringLiteral("Carl Jones"), csv->at(0).name);
    EXPECT_EQ(QStringLiteral("carl@example.org"), csv->at(0).addresses.value(0));
    EXPECT_TRUE(csv->at(1).addresses.isEmpty());
    EXPECT_EQ(QStringLiteral("Eve"), csv->at(2).name);

    const std::optional<QList<Contact>> semicolons =
        readAddressBook(folder + QStringLiteral("/Semicolons.csv"));
    ASSERT_TRUE(semicolons);
    EXPECT_EQ(QStringLiteral("fay@example.org"), semicolons->value(0).addresses.value(0));

    EXPECT_EQ(BookKind::None, addressBookKind(folder + QStringLiteral("/NoMail.csv")));
    EXPECT_FALSE(readAddressBook(folder + QStringLiteral("/NoMail.csv")));
    EXPECT_FALSE(readAddressBook(folder + QStringLiteral("/Missing.vcf")));
    EXPECT_EQ(folder + QStringLiteral("/Team"), findAddressBook(folder, QStringLiteral("team")));
    EXPECT_TRUE(findAddressBook(folder, QStringLiteral("NoMail")).isEmpty());
}

TEST(ContactFolderTree, OffersTheListsDirectlyInTheContactsFolder) {
    const QString folder = testsupport::freshDir(QStringLiteral("contacts"));
    write(folder + QStringLiteral("/Contacts.vcf"), kTeamCards);
    write(folder + QStringLiteral("/Team/a.vcf"), kTeamCards);
    write(folder + QStringLiteral("/Archive/Old.csv"),
          "Email\nold@example.org\n"); // one level down: not offered
    write(folder + QStringLiteral("/notes.txt"), "x");
    QDir().mkpath(folder + QStringLiteral("/Empty"));

    ContactFolderTree tree(folder);
    EXPECT_EQ((QStringList{QStringLiteral("Contacts"), QStringLiteral("Team")}), tree.build());

    // Root, then Archive (another folder, with a placeholder for its list), Contacts, Empty, Team.
    const QList<ContactFolderTree::Node>& nodes = tree.nodes();
    ASSERT_GE(nodes.size(), 7);
    EXPECT_EQ(ContactFolderTree::kRoot, nodes[0].kind);
    const QList<int> top = tree.children(1);
    ASSERT_EQ(4, top.size());
    const auto& archive = nodes[top[0] - 1];
    EXPECT_EQ(QStringLiteral("Archive"), archive.text);
    EXPECT_EQ(ContactFolderTree::kOtherFolder, archive.kind);
    EXPECT_TRUE(archive.key.endsWith(QStringLiteral("/%1").arg(top[0] - 1))); // "/n": nodes before it
    EXPECT_EQ(3, archive.key.count(QLatin1Char('/')) + 1);
    ASSERT_EQ(1, tree.children(top[0]).size());
    EXPECT_TRUE(nodes[tree.children(top[0]).first() - 1].key.startsWith(QLatin1Char('D')));
    EXPECT_EQ(ContactFolderTree::kContacts, nodes[top[1] - 1].kind);
    EXPECT_TRUE(tree.children(top[2]).isEmpty()); // an empty folder has no placeholder

    // Expanding a deeper folder reads it then, and replaces its placeholder.
    EXPECT_EQ(QStringList{QStringLiteral("Old")}, tree.expand(top[0]));
    const QList<int> inArchive = tree.children(top[0]);
    ASSERT_EQ(1, inArchive.size());
    EXPECT_EQ(QStringLiteral("Old"), nodes[inArchive.first() - 1].text);

    EXPECT_TRUE(ContactFolderTree(folder + QStringLiteral("/none")).build().isEmpty());
}

} // namespace
} // namespace platform::mail
