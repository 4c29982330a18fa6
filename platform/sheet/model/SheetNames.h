// The rules a sheet name must follow -- at most 31 characters, none of []:*?/\, not empty, not
// beginning or ending with an apostrophe, not the reserved "History", unique in the workbook
// without regard to case -- and the names the layer makes: "Sheet4" for an added sheet,
// "Rates (2)" for a copy.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace platform::sheet {

class SheetNames {
public:
    static constexpr int kMaxLength = 31;

    // Why the name cannot be a sheet name in a workbook holding `others`; nothing when it can.
    static std::optional<QString> problem(const QString& name, const QStringList& others);
    static bool contains(const QStringList& names, const QString& name);

    // "Sheet<n>" with the lowest n from count + 1 on that is free.
    static QString forNewSheet(const QStringList& existing);
    // "<name> (2)", "(3)", ... shortening the name so that the result stays within 31 characters.
    static QString forCopy(const QString& name, const QStringList& existing);
};

} // namespace platform::sheet
