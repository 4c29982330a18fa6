// Encrypted workbooks: recognised here, deciphered by the encryption module.
#include "platform/sheet/package/PackageEncryption.h"

#include "platform/sheet/SheetError.h"

#ifdef LUMIVANE_SHEET_ENCRYPTION
#include "platform/sheet/encryption/EncryptedPackage.h"
#endif

namespace platform::sheet {

namespace {

const QByteArray kCompoundSignature = QByteArray::fromHex("D0CF11E0A1B11AE1");

} // namespace

bool PackageEncryption::isCompoundFile(const QByteArray& file) {
    return file.startsWith(kCompoundSignature);
}

#ifdef LUMIVANE_SHEET_ENCRYPTION

bool PackageEncryption::isEncrypted(const QByteArray& file) {
    return isCompoundFile(file) && encryption::isEncryptedPackage(file);
}

QByteArray PackageEncryption::decrypt(const QByteArray& file, const QString& password) {
    try {
        return encryption::decryptPackage(file, password);
    } catch (const encryption::EncryptionError& e) {
        switch (e.code()) {
        case encryption::EncryptionError::Code::WrongPassword:
            throw SheetError(SheetError::Code::WrongPassword, QStringLiteral("The password is not correct."));
        case encryption::EncryptionError::Code::DamagedFile:
            throw SheetError(SheetError::Code::DamagedPackage,
                             QStringLiteral("The workbook file is damaged: %1").arg(e.message()));
        case encryption::EncryptionError::Code::Unsupported:
            break;
        }
        throw SheetError(SheetError::Code::NotAWorkbook,
                         QStringLiteral("The workbook is encrypted in a way this program cannot open: %1")
                             .arg(e.message()));
    }
}

QByteArray PackageEncryption::encrypt(const QByteArray& package, const QString& password) {
    try {
        return encryption::encryptPackage(package, password);
    } catch (const encryption::EncryptionError& e) {
        throw SheetError(SheetError::Code::WriteFailed,
                         QStringLiteral("The workbook could not be encrypted: %1").arg(e.message()));
    }
}

#else

namespace {

QByteArray utf16(const char* ascii) {
    QByteArray out;
    for (const char* p = ascii; *p; ++p)
        out.append(*p).append('\0');
    return out;
}

} // namespace

bool PackageEncryption::isEncrypted(const QByteArray& file) {
    return isCompoundFile(file) && file.contains(utf16("EncryptedPackage")) &&
           file.contains(utf16("EncryptionInfo"));
}

QByteArray PackageEncryption::decrypt(const QByteArray& file, const QString& password) {
    Q_UNUSED(file);
    Q_UNUSED(password);
    throw SheetError(
        SheetError::Code::NotAvailable,
        QStringLiteral("Opening workbooks protected by a file-open password is not available yet."));
}

QByteArray PackageEncryption::encrypt(const QByteArray& package, const QString& password) {
    Q_UNUSED(package);
    Q_UNUSED(password);
    throw SheetError(SheetError::Code::NotAvailable,
                     QStringLiteral("Saving workbooks with a file-open password is not available yet."));
}

#endif

} // namespace platform::sheet
