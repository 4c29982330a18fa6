// The one error type of the workbook layer. Every failure the layer reports -- a file that is
// not a workbook, a damaged package, a refused password, a write into a protected cell, a bad
// sheet name -- is thrown as a SheetError with a code the callers branch on, the number their
// generic error message shows, and a description in plain words.
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace platform::sheet {

class SheetError : public std::exception {
public:
    enum class Code {
        FileNotFound,          // no file at the path
        LegacyFormat,          // a binary workbook of the old format
        NotAWorkbook,          // some other kind of file
        DamagedPackage,        // the zip container is broken
        DamagedXml,            // a part of the package is not well-formed or misses what it must hold
        PasswordRequired,      // an encrypted workbook opened without a password
        WrongPassword,         // a file-open, write-reservation or sheet password was refused
        NotAvailable,          // a function this layer does not offer yet
        ReadOnly,              // the workbook was opened read-only
        FileInUse,             // another program holds the file
        WriteFailed,           // the file could not be written
        NoSuchSheet,           // no sheet of that name or index
        BadSheetName,          // a sheet name the naming rules refuse
        DuplicateSheetName,    // a sheet of that name already exists
        LastSheet,             // a workbook keeps at least one visible sheet
        StructureProtected,    // the workbook's structure is protected
        ProtectedCell,         // a write into a locked cell of a protected sheet
        BadAddress,            // an address or range that cannot be read
        BadFormula,            // a formula that cannot be read
        AlreadyOpen,           // a workbook of that name is already open
        MacroProjectNeedsXlsm, // a workbook with a macro project saved under a name that cannot hold it
        WrongSheetKind,        // a worksheet operation on a chart sheet
        NoCopyData,            // paste with an empty copy buffer
        Closed,                // the workbook was closed
        BadFileName,           // a workbook saved under a name that is not .xlsx or .xlsm
        HiddenSheet,           // a hidden sheet cannot be activated or selected
        DamagedMacroProject,   // the workbook's macro project cannot be read
        TooLarge,              // a workbook that unpacks to, or holds, more than a workbook needs
    };

    // The numbers the generic error message shows: 9 when an item of a collection does not
    // exist, 1004 for every other failure of the application, as callers expect.
    static constexpr int kSubscriptOutOfRange = 9;
    static constexpr int kApplicationError = 1004;

    SheetError(Code code, QString description);

    Code code() const { return code_; }
    int number() const;
    const QString& description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    Code code_;
    QString description_;
    std::string what_;
};

} // namespace platform::sheet
