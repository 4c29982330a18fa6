// Picks the encryption form from the version at the head of EncryptionInfo and wraps the result
// in, or takes it out of, the compound-file container.
#include "platform/sheet/encryption/EncryptedPackage.h"

#include "platform/sheet/encryption/AgileEncryption.h"
#include "platform/sheet/encryption/ByteReader.h"
#include "platform/sheet/encryption/CompoundFileReader.h"
#include "platform/sheet/encryption/CompoundFileWriter.h"
#include "platform/sheet/encryption/DataSpaces.h"
#include "platform/sheet/encryption/StandardEncryption.h"

namespace platform::sheet::encryption {

namespace {

const QString kInfoStream = QStringLiteral("EncryptionInfo");
const QString kPackageStream = QStringLiteral("EncryptedPackage");

} // namespace

bool isEncryptedPackage(const QByteArray& file) {
    if (!CompoundFileReader::hasSignature(file))
        return false;
    try {
        const CompoundFileReader reader(file);
        return reader.hasStream(kInfoStream) && reader.hasStream(kPackageStream);
    } catch (const EncryptionError&) {
        return false;
    }
}

QByteArray decryptPackage(const QByteArray& file, const QString& password) {
    if (!CompoundFileReader::hasSignature(file))
        throw EncryptionError::damaged(QStringLiteral("it is not an encrypted workbook file."));
    const CompoundFileReader reader(file);
    if (!reader.hasStream(kInfoStream) || !reader.hasStream(kPackageStream))
        throw EncryptionError::unsupported(QStringLiteral("the file holds no encrypted workbook package."));
    const QByteArray info = reader.stream(kInfoStream);
    const QByteArray package = reader.stream(kPackageStream);

    ByteReader version(info, QStringLiteral("The encryption description"));
    const std::uint16_t major = version.u16();
    const std::uint16_t minor = version.u16();
    if (major == 4 && minor == 4)
        return AgileEncryption::decrypt(info, package, password);
    if ((major == 2 || major == 3 || major == 4) && minor == 2)
        return StandardEncryption::decrypt(info, package, password);
    if ((major == 3 || major == 4) && minor == 3)
        throw EncryptionError::unsupported(QStringLiteral("an outside encryption provider."));
    throw EncryptionError::unsupported(QStringLiteral("encryption version %1.%2.").arg(major).arg(minor));
}

QByteArray encryptPackage(const QByteArray& zipBytes, const QString& password) {
    const AgileEncryption::Streams streams = AgileEncryption::encrypt(zipBytes, password);
    CompoundFileWriter writer;
    DataSpaces::addTo(writer);
    writer.addStream(kInfoStream, streams.info);
    writer.addStream(kPackageStream, streams.package);
    return writer.toBytes();
}

int fuzzEncryptedPackage(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        if (CompoundFileReader::hasSignature(bytes)) {
            const CompoundFileReader reader(bytes);
            for (const QString& path : reader.streamPaths())
                reader.stream(path);
        }
        if (isEncryptedPackage(bytes))
            decryptPackage(bytes, QStringLiteral("password"));
    } catch (const EncryptionError&) {
        // Refusing bad input with the module's error is the expected outcome.
    }
    return 0;
}

} // namespace platform::sheet::encryption
