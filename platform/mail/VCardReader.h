// Reads the contacts of vCard text, versions 2.1, 3.0 and 4.0: folded lines, property groups
// ("item1.EMAIL"), parameters in both their old ("EMAIL;INTERNET;PREF") and new ("TYPE=pref",
// "PREF=1") forms, quoted-printable values with their character set (2.1) and escaped text
// (3.0, 4.0). A card whose KIND is group (or that a mail client marked as a group) is read as a
// group. Cards that never end are read up to the end of the text.
#pragma once

#include "platform/mail/Contact.h"

#include <QByteArray>

namespace platform::mail {

QList<Contact> readVCards(const QByteArray& text);

} // namespace platform::mail
