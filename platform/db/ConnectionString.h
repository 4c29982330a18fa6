// A connection string: "Key=Value" pairs separated by ";", as the program stores and passes
// them around. Keys are matched without regard to case and keep the order they were given in.
// Values that hold a separator, a quote, an "=" or leading/trailing spaces are quoted when the
// string is written, so a path or a password with such characters survives a round trip.
#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace platform::db {

class ConnectionString {
public:
    // Keys the program uses.
    static inline const QString kProvider = QStringLiteral("Provider");
    static inline const QString kDataSource = QStringLiteral("Data Source");
    static inline const QString kDatabasePassword = QStringLiteral("Jet OLEDB:Database Password");
    static inline const QString kUserId = QStringLiteral("User ID");
    static inline const QString kDsn = QStringLiteral("DSN");
    static inline const QString kUid = QStringLiteral("UID");
    static inline const QString kPwd = QStringLiteral("PWD");
    static inline const QString kDbq = QStringLiteral("DBQ");
    static inline const QString kExtendedProperties = QStringLiteral("Extended Properties");

    ConnectionString() = default;

    // Reads "k1=v1;k2='v;2';k3=\"v\"\"3\"". Unquoted values are trimmed; a quoted value keeps
    // its spaces and takes a doubled quote character as one. A key given twice keeps its first
    // place and its last value. Pieces without "=" are ignored.
    static ConnectionString parse(const QString& text);

    // The value of a key ("" when absent).
    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    // Replaces the value of a key in its place, or appends the key.
    void set(const QString& key, const QString& value);

    // "k=v" pairs joined by ";" (no trailing ";"), values quoted where needed.
    QString toString() const;

    // The database file: Data Source, else DBQ, else DBQ inside Extended Properties (the first
    // of these that is not empty).
    QString databasePath() const;
    // The database password: Jet OLEDB:Database Password, else PWD.
    QString password() const;

    const std::vector<std::pair<QString, QString>>& entries() const { return entries_; }
    bool isEmpty() const { return entries_.empty(); }

private:
    int indexOf(const QString& key) const;

    std::vector<std::pair<QString, QString>> entries_;
};

} // namespace platform::db
