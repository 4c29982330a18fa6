// Encrypted workbooks: recognised here, deciphered by the encryption module.
#include "platform/sheet/package/PackageEncryption.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/encryption/CompoundFileReader.h"
#include "platform/sheet/encryption/EncryptedPackage.h"

namespace platform::sheet {

namespace {

const QByteArray kCompoundSignature = QByteArray::fromHex("D0CF11E0A1B11AE1");

// A stream name as a compound file's directory holds it: UTF-16, ended by a zero character.
QByteArray directoryName(const char* ascii) {
    QByteArray out;
    for (const char* p = ascii; *p; ++p)
        out.append(*p).append('\0');
    return out.append(2, '\0');
}

bool holdsName(const QByteArray& file, const char* name) {
    return file.contains(directoryName(name));
}

// The content told by the stream names found anywhere in the bytes, for a container whose
// directory cannot be walked.
PackageEncryption::Content contentByNames(const QByteArray& file, PackageEncryption::Content encrypted,
                                          PackageEncryption::Content otherwise) {
    if (holdsName(file, "EncryptedPackage") || holdsName(file, "EncryptionInfo"))
        return encrypted;
    if (holdsName(file, "Workbook") || holdsName(file, "Book"))
        return PackageEncryption::Content::LegacyWorkbook;
    return otherwise;
}

} // namespace

bool PackageEncryption::isCompoundFile(const QByteArray& file) {
    return file.startsWith(kCompoundSignature);
}

PackageEncryption::Content PackageEncryption::contentOf(const QByteArray& compoundFile) {
    try {
        const encryption::CompoundFileReader reader(compoundFile);
        if (reader.hasStream(QStringLiteral("EncryptionInfo")) &&
            reader.hasStream(QStringLiteral("EncryptedPackage")))
            return Content::Encrypted;
        if (reader.hasStream(QStringLiteral("Workbook")) || reader.hasStream(QStringLiteral("Book")))
            return Content::LegacyWorkbook;
        return Content::Other;
    } catch (const encryption::EncryptionError&) {
        return contentByNames(compoundFile, Content::Damaged, Content::Damaged);
    }
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

} // namespace platform::sheet
