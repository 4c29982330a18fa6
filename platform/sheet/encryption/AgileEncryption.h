// The "agile" form of an encrypted workbook package: an XML description of the algorithms (any hash
// the XML names that OpenSSL provides, AES in CBC chaining with 128-, 192- or 256-bit keys), a
// password key derived by a salted, spun hash, the package encrypted in 4096-byte segments under a
// random secret key, and an HMAC over the encrypted stream that proves it was not altered.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace platform::sheet::encryption {

// What the writer uses; the defaults are what current spreadsheet programs write.
struct AgileParameters {
    QString hashAlgorithm = QStringLiteral("SHA512");
    int keyBits = 256;
    std::uint32_t spinCount = 100000;
};

class AgileEncryption {
public:
    // The largest spin count the format allows; a larger one is a damaged (or hostile) file.
    static constexpr std::uint32_t kMaxSpinCount = 10'000'000;

    // info is the whole EncryptionInfo stream (version 4.4 header and XML), package the whole
    // EncryptedPackage stream. Throws EncryptionError: WrongPassword when the password verifier does
    // not match, DamagedFile for malformed data or a failed integrity check, Unsupported for
    // algorithms this module cannot run.
    static QByteArray decrypt(const QByteArray& info, const QByteArray& package, const QString& password);

    struct Streams {
        QByteArray info;
        QByteArray package;
    };
    // Encrypts a package with fresh random salts and keys.
    static Streams encrypt(const QByteArray& plain, const QString& password,
                           const AgileParameters& parameters = AgileParameters());
};

} // namespace platform::sheet::encryption
