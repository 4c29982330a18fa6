// Workbooks protected by a file-open password are stored encrypted inside a compound file.
// This is where the workbook layer recognises such a file and turns it into the plain package
// and back, so a caller never takes an encrypted file for a plain one.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform::sheet {

class PackageEncryption {
public:
    // The password the encryption format documents for files encrypted without one given.
    static inline const QString kDefaultPassword = QStringLiteral("VelvetSweatshop");

    // True for any compound file (encrypted packages, workbooks of the legacy binary format,
    // other documents), judged by its signature alone.
    static bool isCompoundFile(const QByteArray& file);

    // What a compound file holds. A container that cannot be read (a file cut short) is Damaged,
    // whatever it held, unless the stream names left in it show a legacy workbook: a damaged
    // encrypted workbook is never taken for a legacy one.
    enum class Content { Encrypted, LegacyWorkbook, Damaged, Other };
    static Content contentOf(const QByteArray& compoundFile);

    // The plain package; throws SheetError (WrongPassword, DamagedPackage, NotAWorkbook for an
    // encryption method that cannot be read).
    static QByteArray decrypt(const QByteArray& file, const QString& password);
    // The encrypted file of a plain package; throws SheetError (WriteFailed).
    static QByteArray encrypt(const QByteArray& package, const QString& password);
};

} // namespace platform::sheet
