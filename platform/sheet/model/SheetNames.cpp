// Sheet naming rules.
#include "platform/sheet/model/SheetNames.h"

#include <QRegularExpression>

namespace platform::sheet {

bool SheetNames::contains(const QStringList& names, const QString& name) {
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::optional<QString> SheetNames::problem(const QString& name, const QStringList& others) {
    if (name.isEmpty())
        return QStringLiteral("A sheet name cannot be empty.");
    if (name.size() > kMaxLength)
        return QStringLiteral("The sheet name '%1' is longer than %2 characters.").arg(name).arg(kMaxLength);
    for (QChar c : name)
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
            return QStringLiteral(
                       "The sheet name '%1' holds a character a sheet name cannot hold ([ ] : * ? / \\).")
                .arg(name);
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return QStringLiteral("The sheet name '%1' cannot begin or end with an apostrophe.").arg(name);
    if (name.compare(u"History", Qt::CaseInsensitive) == 0)
        return QStringLiteral("The name History is reserved and cannot be a sheet name.");
    if (contains(others, name))
        return QStringLiteral("The workbook already has a sheet named '%1'.").arg(name);
    return std::nullopt;
}

QString SheetNames::forNewSheet(const QStringList& existing) {
    for (int n = int(existing.size()) + 1;; ++n) {
        const QString name = QStringLiteral("Sheet%1").arg(n);
        if (!contains(existing, name))
            return name;
    }
}

QString SheetNames::forCopy(const QString& name, const QStringList& existing) {
    // A copy of "Rates (2)" is "Rates (3)", as the spreadsheet program names it.
    QString base = name;
    static const QRegularExpression numbered(QStringLiteral("^(.*) \\((\\d+)\\)$"));
    int n = 2;
    if (const auto m = numbered.match(name); m.hasMatch()) {
        base = m.captured(1);
        n = m.captured(2).toInt() + 1;
    }
    for (;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        const QString candidate = base.left(kMaxLength - suffix.size()) + suffix;
        if (!contains(existing, candidate))
            return candidate;
    }
}

} // namespace platform::sheet
