// Addresses that would change the SMTP conversation or the headers if they went on the wire
// as they are: refused by the check, kept apart by the address-book readers, and made visible
// (not obeyed) where a message names them.
#include "platform/mail/MailAddress.h"

#include "platform/mail/CsvContacts.h"
#include "platform/mail/VCardReader.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace platform::mail {
namespace {

// Text with one character between two parts (a NUL cannot stand in a string literal here).
QString with(const char* before, char16_t c, const char* after) {
    return QString::fromUtf8(before) + QChar(c) + QString::fromUtf8(after);
}

TEST(MailAddress, ControlCharactersAndAngleBracketsAreRefused) {
    const struct {
        QString address;
        bool acceptable;
    } cases[] = {
        {QStringLiteral("ann@example.org"), true},
        {QStringLiteral("o'neil+budget@example.org"), true},
        {QStringLiteral("jürgen@exämple.org"), true},
        {QString(), false},
        {QStringLiteral("  "), false},
        {QStringLiteral("ann@example.org>\r\nRCPT TO:<leak@evil.example"), false},
        {QStringLiteral("ann@example.org\nRCPT TO:leak@evil.example"), false},
        {QStringLiteral("ann@example.org\r"), false},
        {QStringLiteral("ann@exa\tmple.org"), false},
        {with("ann@example.org", 0, ".evil"), false},
        {with("ann@example.org", 0x85, "x"), false},   // C1 next line
        {with("ann@example.org", 0x2028, "x"), false}, // line separator
        {QStringLiteral("Ann <ann@example.org>"), false},
        {QStringLiteral("ann@example.org>"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.acceptable, isAcceptableAddress(c.address)) << visibleText(c.address).toStdString();
}

TEST(MailAddress, RefusedTextIsShownOnOneLineAndFileNamesLoseTheirLineBreaks) {
    EXPECT_EQ(QStringLiteral("a>\\r\\nRCPT\\t\\x00\\x7f"), visibleText(with("a>\r\nRCPT\t", 0, "\x7f")));
    EXPECT_EQ(QStringLiteral("Sales_.xlsx"), withoutControlCharacters(QStringLiteral("Sales\n.xlsx")));
    EXPECT_EQ(QStringLiteral("Prévision été.xlsx"),
              withoutControlCharacters(QStringLiteral("Prévision été.xlsx")));
}

// The injections of an address book: a quoted CSV field, quoted-printable and an escaped line
// break in vCards. The contact stays (its name may be imported by hand) without the address.
TEST(MailAddress, AddressBooksKeepInjectedAddressesApart) {
    const std::optional<QList<Contact>> csv =
        readCsvContacts("Name,Email\r\nEve,\"ann@example.org>\r\nRCPT TO:<leak@evil.example\"\r\n"
                        "Bob,bob@example.org\r\n");
    ASSERT_TRUE(csv);
    ASSERT_EQ(2, csv->size());
    EXPECT_TRUE(csv->at(0).addresses.isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("ann@example.org>\r\nRCPT TO:<leak@evil.example")},
              csv->at(0).refused);
    EXPECT_EQ(QStringList{QStringLiteral("bob@example.org")}, csv->at(1).addresses);

    const QList<Contact> cards = readVCards(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Eve\r\n"
        "EMAIL;ENCODING=QUOTED-PRINTABLE:ann@example.org=0D=0ARCPT TO:<leak@evil.example>\r\n"
        "EMAIL:eve@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Mal\r\nEMAIL:mal@example.org\\nRCPT TO:leak@evil.example\r\n"
        "END:VCARD\r\n");
    ASSERT_EQ(2, cards.size());
    EXPECT_EQ(QStringList{QStringLiteral("eve@example.org")}, cards[0].addresses);
    EXPECT_EQ(QStringList{QStringLiteral("ann@example.org\r\nRCPT TO:<leak@evil.example>")},
              cards[0].refused);
    EXPECT_TRUE(cards[1].addresses.isEmpty());
    EXPECT_EQ(QStringList{QStringLiteral("mal@example.org\nRCPT TO:leak@evil.example")}, cards[1].refused);
}

} // namespace
} // namespace platform::mail
