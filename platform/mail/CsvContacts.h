// Reads the contacts of a CSV address list: a heading row, then one contact a row. The
// e-mail column is the first whose heading, without spaces and punctuation, contains "email"
// ("E-mail Address", "Email", "E-mail 1 - Value"); the name comes from a "Name", "Display
// Name" or "Full Name" column, else from "First Name" and "Last Name". Fields may be quoted
// (with doubled quotes inside and line breaks); a heading row with more semicolons than
// commas is read as semicolon-separated. No value when there is no e-mail column.
#pragma once

#include "platform/mail/Contact.h"

#include <QByteArray>
#include <optional>

namespace platform::mail {

std::optional<QList<Contact>> readCsvContacts(const QByteArray& text);

} // namespace platform::mail
