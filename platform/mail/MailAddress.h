// What an e-mail address, a display name or an attachment's file name may hold before it goes
// into a mail. An address travels into the SMTP envelope ("MAIL FROM:<...>", "RCPT TO:<...>")
// and into header lines: a line break in it would start a command or header line of its own,
// and an angle bracket would end the bracketed address early. So addresses with control
// characters (line breaks among them) or angle brackets are refused wherever they enter the
// program (address books, grids) and again by the sender. File names on Linux may hold line
// breaks; an outgoing attachment's name has its control characters replaced.
#pragma once

#include <QString>

namespace platform::mail {

// True for a control character: C0, DEL, C1, and the Unicode line and paragraph separators.
bool isControlCharacter(QChar c);
bool hasControlCharacters(const QString& text);

// True when the address may go into the envelope and the headers: not empty, no control
// characters, no angle brackets.
bool isAcceptableAddress(const QString& address);

// The text with each control character shown as "\n", "\r", "\t" or "\x<hex>", so that a
// message or a list can name a refused text without being broken up by it.
QString visibleText(const QString& text);

// The name with every control character replaced by "_".
QString withoutControlCharacters(const QString& name);

} // namespace platform::mail
