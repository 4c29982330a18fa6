// The one error type of the database layer. Every failure of the engine, of a connection
// or of a recordset is thrown as a DbError carrying a number and a description. The numbers
// are those the program's callers branch on (a refused database password above all), named
// below; the engine's own result code is kept as the native error for error texts.
#pragma once

#include <QString>
#include <QtGlobal>
#include <exception>
#include <string>

namespace platform::db {

class DbError : public std::exception {
public:
    // Authentication failed: a missing or wrong database password, or a file that is no
    // database at all (the engine cannot tell the two apart).
    static constexpr qint32 kAuthenticationFailed = static_cast<qint32>(0x80040E4Du);
    // Errors in the command text: bad SQL, unknown column, and other failures of a statement.
    static constexpr qint32 kCommandError = static_cast<qint32>(0x80040E14u);
    // A table or view named in a statement does not exist.
    static constexpr qint32 kTableMissing = static_cast<qint32>(0x80040E37u);
    // The row was changed or deleted by someone else since it was read; nothing was written.
    static constexpr qint32 kRowConflict = static_cast<qint32>(0x80040E38u);
    // A value is too long for its column.
    static constexpr qint32 kValueTooLong = static_cast<qint32>(0x80040E57u);
    // Another rule of the table refused the row (a required value missing, a duplicate key).
    static constexpr qint32 kIntegrityViolation = static_cast<qint32>(0x80040E2Fu);
    // The current row of a recordset was deleted.
    static constexpr qint32 kDeletedRow = static_cast<qint32>(0x80040E23u);
    // Any other failure.
    static constexpr qint32 kGeneral = static_cast<qint32>(0x80004005u);
    // The recordset (or the field) cannot be updated.
    static constexpr qint32 kReadOnly = 3251;
    // BOF or EOF is true: there is no current row.
    static constexpr qint32 kNoCurrentRow = 3021;
    // No field of that name or index.
    static constexpr qint32 kItemNotFound = 3265;
    // The connection or recordset is closed.
    static constexpr qint32 kObjectClosed = 3704;
    // The database file does not exist.
    static constexpr qint32 kFileNotFound = 3024;
    // The path is empty or names no file.
    static constexpr qint32 kInvalidPath = 3044;
    // The file is held by another connection, so the operation cannot run now.
    static constexpr qint32 kFileInUse = 3045;
    // A lock of another connection did not go away within the busy timeout.
    static constexpr qint32 kLocked = 3218;
    // The file could not be opened or written (permissions, read-only medium).
    static constexpr qint32 kCannotOpen = 3051;
    // The database is damaged.
    static constexpr qint32 kCorrupt = 3049;
    // Another program changed (added, removed) the password of the database since this
    // connection opened it: its password no longer opens the file now at the path.
    static constexpr qint32 kPasswordChanged = 3031;
    // An operation was asked in a state that does not allow it (a second BEGIN, a COMMIT
    // without BEGIN, a bad argument).
    static constexpr qint32 kInvalidOperation = 3219;

    DbError(qint32 number, QString description, int nativeError = 0);

    qint32 number() const { return number_; }
    const QString& description() const { return description_; }
    // The engine's extended result code (0 when the error did not come from the engine).
    int nativeError() const { return nativeError_; }

    const char* what() const noexcept override { return what_.c_str(); }

private:
    qint32 number_;
    QString description_;
    int nativeError_;
    std::string what_;
};

} // namespace platform::db
