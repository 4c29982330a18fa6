// See NameCompletion.h.
#include "core/NameCompletion.h"

#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/sys/PlaceholderRow.h"

namespace core {

namespace {

using platform::db::quoteIdentifier;
using platform::db::Recordset;

std::optional<QString> equalName(platform::db::Connection& cnn, const QString& table, const QString& column,
                                 const QString& typed) {
    const QString name = quoteIdentifier(column);
    Recordset rows =
        Recordset::open(cnn,
                        QStringLiteral("SELECT ") + name + QStringLiteral(" FROM ") + quoteIdentifier(table) +
                            QStringLiteral(" WHERE ") + name + QStringLiteral(" = ? COLLATE NOCASE_U AND ") +
                            name + QStringLiteral(" <> ? ORDER BY rowid LIMIT 1"),
                        {typed, platform::sys::kPlaceholderText});
    if (rows.eof())
        return std::nullopt;
    return rows.value(0).toString();
}

} // namespace

QStringList NamesContaining(platform::db::Connection& cnn, const QString& table, const QString& column,
                            const QString& typed, int limit) {
    const QString name = quoteIdentifier(column);
    QString sql = QStringLiteral("SELECT ") + name + QStringLiteral(" FROM ") + quoteIdentifier(table) +
                  QStringLiteral(" WHERE ") + name + QStringLiteral(" LIKE ? ESCAPE '\\' AND ") + name +
                  QStringLiteral(" <> ? ORDER BY rowid");
    if (limit > 0)
        sql += QStringLiteral(" LIMIT ") + QString::number(limit);
    Recordset rows =
        Recordset::open(cnn, sql, {platform::db::containsPattern(typed), platform::sys::kPlaceholderText});
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    return names;
}

std::optional<QString> CompleteName(platform::db::Connection& cnn, const QString& table,
                                    const QString& column, const QString& typed, Completion rule) {
    if (typed.isEmpty())
        return std::nullopt;
    if (std::optional<QString> equal = equalName(cnn, table, column, typed))
        return equal;
    const QStringList names = NamesContaining(cnn, table, column, typed, rule == Completion::OnlyOne ? 2 : 1);
    if (names.isEmpty() || (rule == Completion::OnlyOne && names.size() != 1))
        return std::nullopt;
    return names.front();
}

} // namespace core
