// Recognising encrypted workbooks; the cipher itself is still to come.
#include "platform/sheet/PackageEncryption.h"

#include "platform/sheet/SheetError.h"

namespace platform::sheet {

namespace {

const QByteArray kCompoundSignature = QByteArray::fromHex("D0CF11E0A1B11AE1");

QByteArray utf16(const char* ascii) {
    QByteArray out;
    for (const char* p = ascii; *p; ++p)
        out.append(*p).append('\0');
    return out;
}

} // namespace

bool PackageEncryption::isCompoundFile(const QByteArray& file) {
    return file.startsWith(kCompoundSignature);
}

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

} // namespace platform::sheet
