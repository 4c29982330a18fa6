// Workbooks protected by a file-open password are stored encrypted inside a compound file.
// This is where the workbook layer recognises such a file and turns it into the plain package
// and back, through the encryption module when it is built in; without it both directions say
// that the function is not available, so a caller never takes an encrypted file for a plain one.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform::sheet {

class PackageEncryption {
public:
    // True for a compound file that holds an encrypted package.
    static bool isEncrypted(const QByteArray& file);
    // True for any compound file (encrypted packages, and workbooks of the legacy binary format).
    static bool isCompoundFile(const QByteArray& file);

    // The plain package; throws SheetError (WrongPassword, DamagedPackage, NotAWorkbook for an
    // encryption method that cannot be read, NotAvailable without the encryption module).
    static QByteArray decrypt(const QByteArray& file, const QString& password);
    // The encrypted file of a plain package; throws SheetError (NotAvailable without the module).
    static QByteArray encrypt(const QByteArray& package, const QString& password);
};

} // namespace platform::sheet
