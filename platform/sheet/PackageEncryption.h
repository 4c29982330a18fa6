// Workbooks protected by a file-open password are stored encrypted inside a compound file.
// This is where the layer recognises such a file and turns it into the plain package and back.
// The decryption and encryption themselves are not available yet: both say so with a
// SheetError (NotAvailable), so a caller never takes an encrypted file for a plain one.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform::sheet {

class PackageEncryption {
public:
    // True for a compound file that holds an encrypted package.
    static bool isEncrypted(const QByteArray& file);
    // True for a compound file that does not (a workbook of the legacy binary format).
    static bool isCompoundFile(const QByteArray& file);

    // The plain package; throws SheetError (WrongPassword, DamagedPackage or NotAvailable).
    static QByteArray decrypt(const QByteArray& file, const QString& password);
    // The encrypted file of a plain package; throws SheetError (NotAvailable).
    static QByteArray encrypt(const QByteArray& package, const QString& password);
};

} // namespace platform::sheet
