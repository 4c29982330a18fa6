// Agile encryption: reading its XML description, deriving the password key, checking the
// verifier, unwrapping the secret key, checking the HMAC and decrypting the segments -- and the
// same steps the other way round for writing.
#include "platform/sheet/encryption/AgileEncryption.h"

#include "platform/sheet/encryption/AesCipher.h"
#include "platform/sheet/encryption/ByteReader.h"
#include "platform/sheet/encryption/Digest.h"
#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/encryption/LittleEndian.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <optional>

namespace platform::sheet::encryption {

namespace {

const QString kEncryptionNs = QStringLiteral("http://schemas.microsoft.com/office/2006/encryption");
const QString kPasswordNs = QStringLiteral("http://schemas.microsoft.com/office/2006/keyEncryptor/password");
const QString kCertificateNs =
    QStringLiteral("http://schemas.microsoft.com/office/2006/keyEncryptor/certificate");

// Block keys that make the hash inputs of the different derived values distinct.
const QByteArray kVerifierInputBlock = QByteArray::fromHex("fea7d2763b4b9e79");
const QByteArray kVerifierValueBlock = QByteArray::fromHex("d7aa0f6d3061344e");
const QByteArray kKeyValueBlock = QByteArray::fromHex("146e0be7abacd0d6");
const QByteArray kHmacKeyBlock = QByteArray::fromHex("5fb2ad010cb9e1f6");
const QByteArray kHmacValueBlock = QByteArray::fromHex("a0677f02b22c8433");

constexpr qsizetype kSegmentSize = 4096;
constexpr int kSaltSize = 16;

[[noreturn]] void damaged(const QString& detail) {
    throw EncryptionError::damaged(detail);
}

// Algorithm settings shared by the key data and the password key encryptor.
struct CipherSettings {
    int saltSize = 0;
    int blockSize = 0;
    int keyBits = 0;
    int hashSize = 0;
    QString cipherAlgorithm;
    QString cipherChaining;
    QString hashAlgorithm;
    QByteArray salt;
};

struct PasswordKeyEncryptor {
    CipherSettings cipher;
    std::uint32_t spinCount = 0;
    QByteArray verifierInput;
    QByteArray verifierValue;
    QByteArray keyValue;
};

struct AgileDescription {
    std::optional<CipherSettings> keyData;
    std::optional<PasswordKeyEncryptor> password;
    bool certificateOnly = false;
    bool hasIntegrity = false;
    QByteArray hmacKey;
    QByteArray hmacValue;
};

// --- reading the XML description -------------------------------------------------------------

int intAttribute(const QXmlStreamAttributes& attributes, const QString& name) {
    bool ok = false;
    const int value = attributes.value(name).toInt(&ok);
    if (!ok || value < 0)
        damaged(
            QStringLiteral("the attribute \"%1\" of the encryption description is missing or not a number.")
                .arg(name));
    return value;
}

QByteArray base64Attribute(const QXmlStreamAttributes& attributes, const QString& name) {
    const auto decoded = QByteArray::fromBase64Encoding(attributes.value(name).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        damaged(QStringLiteral("the attribute \"%1\" of the encryption description is missing or malformed.")
                    .arg(name));
    return decoded.decoded;
}

CipherSettings readCipherSettings(const QXmlStreamAttributes& a) {
    CipherSettings c;
    c.saltSize = intAttribute(a, QStringLiteral("saltSize"));
    c.blockSize = intAttribute(a, QStringLiteral("blockSize"));
    c.keyBits = intAttribute(a, QStringLiteral("keyBits"));
    c.hashSize = intAttribute(a, QStringLiteral("hashSize"));
    c.cipherAlgorithm = a.value(QStringLiteral("cipherAlgorithm")).toString();
    c.cipherChaining = a.value(QStringLiteral("cipherChaining")).toString();
    c.hashAlgorithm = a.value(QStringLiteral("hashAlgorithm")).toString();
    c.salt = base64Attribute(a, QStringLiteral("saltValue"));
    return c;
}

AgileDescription readDescription(const QByteArray& xml) {
    AgileDescription d;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto ns = reader.namespaceUri();
        const auto name = reader.name();
        const QXmlStreamAttributes attributes = reader.attributes();
        if (ns == kEncryptionNs && name == QLatin1String("keyData")) {
            d.keyData = readCipherSettings(attributes);
        } else if (ns == kEncryptionNs && name == QLatin1String("dataIntegrity")) {
            d.hasIntegrity = true;
            d.hmacKey = base64Attribute(attributes, QStringLiteral("encryptedHmacKey"));
            d.hmacValue = base64Attribute(attributes, QStringLiteral("encryptedHmacValue"));
        } else if (ns == kPasswordNs && name == QLatin1String("encryptedKey") && !d.password) {
            PasswordKeyEncryptor p;
            p.cipher = readCipherSettings(attributes);
            bool ok = false;
            const qulonglong spin = attributes.value(QStringLiteral("spinCount")).toULongLong(&ok);
            if (!ok || spin > AgileEncryption::kMaxSpinCount)
                damaged(
                    QStringLiteral("the spin count of the encryption description is missing or too large."));
            p.spinCount = std::uint32_t(spin);
            p.verifierInput = base64Attribute(attributes, QStringLiteral("encryptedVerifierHashInput"));
            p.verifierValue = base64Attribute(attributes, QStringLiteral("encryptedVerifierHashValue"));
            p.keyValue = base64Attribute(attributes, QStringLiteral("encryptedKeyValue"));
            d.password = p;
        } else if (ns == kCertificateNs && name == QLatin1String("encryptedKey")) {
            d.certificateOnly = true;
        }
    }
    if (reader.hasError())
        damaged(QStringLiteral("the encryption description is not well-formed XML (%1).")
                    .arg(reader.errorString()));
    if (!d.keyData)
        damaged(QStringLiteral("the encryption description has no key data."));
    if (!d.password) {
        if (d.certificateOnly)
            throw EncryptionError::unsupported(
                QStringLiteral("it is encrypted for a certificate, not a password."));
        damaged(QStringLiteral("the encryption description has no password key."));
    }
    return d;
}

// Checks what the algorithms need of the settings; returns the digest they name.
Digest checkSettings(const CipherSettings& c) {
    if (c.cipherAlgorithm != QLatin1String("AES"))
        throw EncryptionError::unsupported(QStringLiteral("the cipher \"%1\".").arg(c.cipherAlgorithm));
    if (c.cipherChaining != QLatin1String("ChainingModeCBC"))
        throw EncryptionError::unsupported(QStringLiteral("the chaining mode \"%1\".").arg(c.cipherChaining));
    if (c.keyBits != 128 && c.keyBits != 192 && c.keyBits != 256)
        throw EncryptionError::unsupported(QStringLiteral("an AES key of %1 bits.").arg(c.keyBits));
    if (c.blockSize != AesCipher::kBlockSize)
        damaged(QStringLiteral("the block size does not fit the cipher."));
    if (c.saltSize < 1 || c.saltSize > 65536 || c.salt.size() != c.saltSize)
        damaged(QStringLiteral("a salt does not have its stated size."));
    Digest digest(c.hashAlgorithm);
    if (c.hashSize != digest.size())
        damaged(QStringLiteral("the hash size does not fit the hash algorithm."));
    return digest;
}

// --- derivations ------------------------------------------------------------------------------

// Cuts a hash to length, or pads it with 0x36 bytes when it is shorter.
QByteArray fitted(QByteArray bytes, qsizetype length) {
    if (bytes.size() >= length)
        return bytes.left(length);
    return bytes.append(QByteArray(length - bytes.size(), '\x36'));
}

QByteArray passwordKey(const Digest& digest, const QByteArray& spun, const QByteArray& block, int keyBits) {
    return fitted(digest.hash(spun, block), keyBits / 8);
}

QByteArray blockIv(const Digest& digest, const QByteArray& keySalt, const QByteArray& block) {
    return fitted(digest.hash(keySalt, block), AesCipher::kBlockSize);
}

QByteArray decryptValue(const QByteArray& key, const QByteArray& iv, const QByteArray& value,
                        qsizetype need) {
    if (value.size() % AesCipher::kBlockSize != 0 || value.size() < need)
        damaged(QStringLiteral("an encrypted key value has the wrong length."));
    AesCipher cipher(key, AesCipher::Chaining::Cbc, AesCipher::Direction::Decrypt);
    return cipher.run(value, iv).left(need);
}

QByteArray encryptValue(const QByteArray& key, const QByteArray& iv, const QByteArray& value) {
    AesCipher cipher(key, AesCipher::Chaining::Cbc, AesCipher::Direction::Encrypt);
    return cipher.run(AesCipher::padToBlock(value), iv);
}

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    return a.size() == b.size() && CRYPTO_memcmp(a.constData(), b.constData(), std::size_t(a.size())) == 0;
}

QByteArray randomBytes(int count) {
    QByteArray out(count, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), count) != 1)
        throw EncryptionError::unsupported(QStringLiteral("the random number generator failed."));
    return out;
}

// Runs the package body segment by segment: each 4096-byte segment restarts CBC with an IV drawn
// from the key salt and the segment's number. in and out hold whole blocks.
void runSegments(AesCipher& cipher, const Digest& digest, const QByteArray& keySalt, const char* in,
                 char* out, qsizetype length) {
    for (qsizetype offset = 0, index = 0; offset < length; offset += kSegmentSize, ++index) {
        const qsizetype piece = std::min(kSegmentSize, length - offset);
        const QByteArray iv = blockIv(digest, keySalt, le::u32Bytes(std::uint32_t(index)));
        cipher.run(in + offset, out + offset, piece, iv);
    }
}

qsizetype roundUpToBlock(qsizetype n) {
    return (n + AesCipher::kBlockSize - 1) / AesCipher::kBlockSize * AesCipher::kBlockSize;
}

} // namespace

QByteArray AgileEncryption::decrypt(const QByteArray& info, const QByteArray& package,
                                    const QString& password) {
    ByteReader header(info, QStringLiteral("The encryption description"));
    header.skip(8); // version 4.4 and reserved flags, checked by the caller
    const AgileDescription d = readDescription(info.mid(header.position()));
    const CipherSettings& keyData = *d.keyData;
    const PasswordKeyEncryptor& encryptor = *d.password;
    const Digest dataDigest = checkSettings(keyData);
    const Digest passwordDigest = checkSettings(encryptor.cipher);

    // The password key: check the verifier, then unwrap the secret key.
    const QByteArray spun =
        passwordDigest.spin(encryptor.cipher.salt, le::utf16(password), encryptor.spinCount);
    const QByteArray iv = fitted(encryptor.cipher.salt, AesCipher::kBlockSize);
    const int keyBits = encryptor.cipher.keyBits;
    const QByteArray verifierInput =
        decryptValue(passwordKey(passwordDigest, spun, kVerifierInputBlock, keyBits), iv,
                     encryptor.verifierInput, encryptor.cipher.saltSize);
    const QByteArray verifierValue =
        decryptValue(passwordKey(passwordDigest, spun, kVerifierValueBlock, keyBits), iv,
                     encryptor.verifierValue, passwordDigest.size());
    if (!sameBytes(passwordDigest.hash(verifierInput), verifierValue))
        throw EncryptionError::wrongPassword();
    const QByteArray secretKey = decryptValue(passwordKey(passwordDigest, spun, kKeyValueBlock, keyBits), iv,
                                              encryptor.keyValue, keyData.keyBits / 8);

    // The HMAC covers the whole encrypted stream, size field included.
    if (d.hasIntegrity) {
        const QByteArray hmacKey = decryptValue(secretKey, blockIv(dataDigest, keyData.salt, kHmacKeyBlock),
                                                d.hmacKey, dataDigest.size());
        const QByteArray hmacValue = decryptValue(
            secretKey, blockIv(dataDigest, keyData.salt, kHmacValueBlock), d.hmacValue, dataDigest.size());
        if (!sameBytes(dataDigest.hmac(hmacKey, package), hmacValue))
            damaged(QStringLiteral("its contents fail the integrity check."));
    }

    ByteReader body(package, QStringLiteral("The encrypted package"));
    const std::uint64_t size = body.u64();
    if (size > std::uint64_t(body.remaining()))
        damaged(QStringLiteral("the encrypted package is cut short."));
    const qsizetype cipherLength = roundUpToBlock(qsizetype(size));
    if (cipherLength > body.remaining())
        damaged(QStringLiteral("the encrypted package is cut short."));
    QByteArray plain(cipherLength, Qt::Uninitialized);
    AesCipher cipher(secretKey, AesCipher::Chaining::Cbc, AesCipher::Direction::Decrypt);
    runSegments(cipher, dataDigest, keyData.salt, package.constData() + body.position(), plain.data(),
                cipherLength);
    plain.truncate(qsizetype(size));
    return plain;
}

namespace {

QString cipherAttributes(const AgileParameters& p, int hashSize, const QByteArray& salt) {
    return QStringLiteral(
               "saltSize=\"%1\" blockSize=\"%2\" keyBits=\"%3\" hashSize=\"%4\" cipherAlgorithm=\"AES\" "
               "cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"%5\" saltValue=\"%6\"")
        .arg(kSaltSize)
        .arg(AesCipher::kBlockSize)
        .arg(p.keyBits)
        .arg(hashSize)
        .arg(p.hashAlgorithm, QString::fromLatin1(salt.toBase64()));
}

} // namespace

AgileEncryption::Streams AgileEncryption::encrypt(const QByteArray& plain, const QString& password,
                                                  const AgileParameters& parameters) {
    const Digest digest(parameters.hashAlgorithm);
    const QByteArray keySalt = randomBytes(kSaltSize);
    const QByteArray passwordSalt = randomBytes(kSaltSize);
    const QByteArray secretKey = randomBytes(parameters.keyBits / 8);
    const QByteArray verifierInput = randomBytes(kSaltSize);
    const QByteArray hmacKey = randomBytes(digest.size());

    Streams out;
    const qsizetype cipherLength = roundUpToBlock(plain.size());
    out.package.reserve(8 + cipherLength);
    le::appendU64(out.package, std::uint64_t(plain.size()));
    out.package.append(plain);
    out.package.append(QByteArray(cipherLength - plain.size(), '\0'));
    AesCipher cipher(secretKey, AesCipher::Chaining::Cbc, AesCipher::Direction::Encrypt);
    runSegments(cipher, digest, keySalt, out.package.constData() + 8, out.package.data() + 8, cipherLength);

    const QByteArray hmacValue = digest.hmac(hmacKey, out.package);
    const QByteArray encryptedHmacKey =
        encryptValue(secretKey, blockIv(digest, keySalt, kHmacKeyBlock), hmacKey);
    const QByteArray encryptedHmacValue =
        encryptValue(secretKey, blockIv(digest, keySalt, kHmacValueBlock), hmacValue);

    const QByteArray spun = digest.spin(passwordSalt, le::utf16(password), parameters.spinCount);
    const QByteArray iv = fitted(passwordSalt, AesCipher::kBlockSize);
    const int keyBits = parameters.keyBits;
    const QByteArray encryptedVerifierInput =
        encryptValue(passwordKey(digest, spun, kVerifierInputBlock, keyBits), iv, verifierInput);
    const QByteArray encryptedVerifierValue =
        encryptValue(passwordKey(digest, spun, kVerifierValueBlock, keyBits), iv, digest.hash(verifierInput));
    const QByteArray encryptedKeyValue =
        encryptValue(passwordKey(digest, spun, kKeyValueBlock, keyBits), iv, secretKey);

    const QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                       "<encryption xmlns=\"%1\" xmlns:p=\"%2\" xmlns:c=\"%3\">"
                       "<keyData %4/>"
                       "<dataIntegrity encryptedHmacKey=\"%5\" encryptedHmacValue=\"%6\"/>"
                       "<keyEncryptors><keyEncryptor uri=\"%2\">"
                       "<p:encryptedKey spinCount=\"%7\" %8 encryptedVerifierHashInput=\"%9\" "
                       "encryptedVerifierHashValue=\"%10\" encryptedKeyValue=\"%11\"/>"
                       "</keyEncryptor></keyEncryptors></encryption>")
            .arg(kEncryptionNs, kPasswordNs, kCertificateNs,
                 cipherAttributes(parameters, digest.size(), keySalt),
                 QString::fromLatin1(encryptedHmacKey.toBase64()),
                 QString::fromLatin1(encryptedHmacValue.toBase64()))
            .arg(parameters.spinCount)
            .arg(cipherAttributes(parameters, digest.size(), passwordSalt),
                 QString::fromLatin1(encryptedVerifierInput.toBase64()),
                 QString::fromLatin1(encryptedVerifierValue.toBase64()),
                 QString::fromLatin1(encryptedKeyValue.toBase64()));

    le::appendU16(out.info, 4);
    le::appendU16(out.info, 4);
    le::appendU32(out.info, 0x40);
    out.info.append(xml.toUtf8());
    return out;
}

} // namespace platform::sheet::encryption
