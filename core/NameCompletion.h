// Completing a name the user typed only in part (a folder, a user, a budget) to a name a table
// holds. The text is matched literally ("%" and "_" are no wildcards) and without regard to
// case; the placeholder row never completes a name. A name equal to the text (letter case
// aside) is always the completion, so "Sales" is never completed to "Sales East".
#pragma once

#include "platform/db/Connection.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace core {

// Which name a text that several names contain completes to.
enum class Completion {
    FirstFound, // the first of them in table order
    OnlyOne,    // none: the text must be contained in exactly one name
};

// The names of column (in table) that contain the text, in table order, at most limit of them
// (0: all). table and column are the program's own names, never typed text.
QStringList NamesContaining(platform::db::Connection& cnn, const QString& table, const QString& column,
                            const QString& typed, int limit = 0);

// The name the typed text completes to; no value for an empty text or when nothing matches.
std::optional<QString> CompleteName(platform::db::Connection& cnn, const QString& table,
                                    const QString& column, const QString& typed, Completion rule);

} // namespace core
