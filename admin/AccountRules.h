// What an administrator account may be called and what its passwords may hold, checked
// before anything is stored.
//
// An account's name is also the name of its grant column in Budgets, so it may not be empty,
// longer than its column (50), hold control characters, or be the name of a column Budgets
// already has (a standard column, or another account's grant column), compared without
// regard to case. Quotes, apostrophes, blanks and letters of any script are allowed: the
// database layer quotes column names.
//
// Passwords are stored scrambled, and the scrambled form carries Latin-1 characters only, so
// a password holding any other character is refused. Identifier texts are scrambled into
// columns of 200 characters, so the texts joined into one (name and password; database
// password, name and password) may hold at most 40 characters together.
//
// An e-mail address, of an account or of any user, goes into the mail's envelope and headers:
// one with a line break, another control character or an angle bracket is refused wherever it
// is stored, and left out where address books are read.
#pragma once

#include <QString>
#include <QStringList>

namespace platform::db {
class Connection;
}

namespace admin {

constexpr int kAccountNameSize = 50;
constexpr int kAccountEmailSize = 50;

// The columns the Budgets table of the database has now, in their order: the standard ones, then
// one grant column per account.
QStringList BudgetsColumns(platform::db::Connection& db);

// The refusal message for a new account's name, or "" when the name may be used.
// budgetsColumns: the columns Budgets has now.
QString AccountNameRefusal(const QString& name, const QStringList& budgetsColumns);

// The refusal message for a password, or "" when it may be used.
QString PasswordRefusal(const QString& password);

// The refusal message when the texts joined into one identifier are too long, or "".
QString IdentifierLengthRefusal(const QString& identifierText);

// The refusal message for an account's e-mail address that may not go into a mail or is longer
// than its column, or "".
QString EmailRefusal(const QString& email);

// The refusal message for an e-mail address that may not go into a mail, or "".
QString AddressRefusal(const QString& address);

// The message that names the addresses left out of an import, one a line.
QString LeftOutAddressesText(const QStringList& addresses);

} // namespace admin
