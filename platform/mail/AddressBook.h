// The address books of a contacts folder. A book is a vCard file (.vcf), a folder that holds
// vCard files, or a CSV file with an e-mail column; its list name is the file's name without
// its extension, or the folder's name. Reading a book gives its contacts in the order of the
// files (a folder's cards file by file, by name).
#pragma once

#include "platform/mail/Contact.h"

#include <QString>
#include <optional>

namespace platform::mail {

enum class BookKind { None, VCardFile, VCardFolder, CsvFile };

BookKind addressBookKind(const QString& path);

// The list name of a book at path ("Team.vcf" and "Team/" both give "Team").
QString addressBookName(const QString& path);

// The entries of a folder that are address books, sorted by name without regard to case.
QStringList addressBooksIn(const QString& folder);

// The first book of folder whose list name equals listName (without regard to case); empty
// when there is none.
QString findAddressBook(const QString& folder, const QString& listName);

// The contacts of the book at path; no value when it is no book or cannot be read.
std::optional<QList<Contact>> readAddressBook(const QString& path);

} // namespace platform::mail
