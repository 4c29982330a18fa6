// See AccountRules.h.
#include "admin/AccountRules.h"

#include "admin/NetworkSettings.h"
#include "core/DatabaseUpkeep.h"
#include "core/StringScrambling.h"
#include "platform/db/Connection.h"
#include "platform/mail/MailAddress.h"

namespace admin {

using core::IsScramblable;

QStringList BudgetsColumns(platform::db::Connection& db) {
    QStringList names;
    if (const auto budgets = db.table(QStringLiteral("Budgets")))
        for (const auto& column : budgets->columns)
            names << column.name;
    return names;
}

QString AccountNameRefusal(const QString& name, const QStringList& budgetsColumns) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("Enter an AdminUser name.");
    if (name.size() > kAccountNameSize)
        return QStringLiteral("An AdminUser name can hold at most %1 characters.").arg(kAccountNameSize);
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("An AdminUser name can't hold control characters.");
    for (const QString& column : budgetsColumns) {
        if (column.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (core::kBudgetsStandardColumns.contains(column, Qt::CaseInsensitive))
            return QStringLiteral(
                       "'%1' is the name of a column of the Budgets table.  Choose another AdminUser "
                       "name.")
                .arg(name);
        return QStringLiteral("An AdminUser named '%1' exists already.").arg(column);
    }
    return {};
}

QString PasswordRefusal(const QString& password) {
    if (!IsScramblable(password))
        return QStringLiteral(
            "A password can hold only characters of the Latin-1 character set.  Type another "
            "password.");
    return {};
}

QString IdentifierLengthRefusal(const QString& identifierText) {
    if (identifierText.size() > net::kMaxIdentifierLength)
        return QStringLiteral(
                   "The AdminUser name and password (with the database password, for the Super-Admin) "
                   "can hold at most %1 characters together.")
            .arg(net::kMaxIdentifierLength);
    return {};
}

namespace {
const QString kUnusableAddress =
    QStringLiteral("An e-mail address can't hold line breaks, other control characters or angle brackets");
} // namespace

QString EmailRefusal(const QString& email) {
    if (const QString refusal = AddressRefusal(email); !refusal.isEmpty())
        return refusal;
    if (email.size() > kAccountEmailSize)
        return QStringLiteral("An e-mail address can hold at most %1 characters.").arg(kAccountEmailSize);
    return {};
}

QString AddressRefusal(const QString& address) {
    if (address.isEmpty() || platform::mail::isAcceptableAddress(address))
        return {};
    return kUnusableAddress + QStringLiteral(": ") + platform::mail::visibleText(address);
}

QString LeftOutAddressesText(const QStringList& addresses) {
    QStringList shown;
    for (const QString& address : addresses)
        shown << platform::mail::visibleText(address);
    return QStringLiteral("These e-mail addresses were left out.  ") + kUnusableAddress +
           QStringLiteral(":\n") + shown.join(QLatin1Char('\n'));
}

} // namespace admin
