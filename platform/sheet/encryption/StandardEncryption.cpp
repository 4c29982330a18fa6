// Standard encryption: reading the binary header and verifier, deriving the key and decrypting.
#include "platform/sheet/encryption/StandardEncryption.h"

#include "platform/sheet/encryption/AesCipher.h"
#include "platform/sheet/encryption/ByteReader.h"
#include "platform/sheet/encryption/Digest.h"
#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/encryption/LittleEndian.h"

#include <openssl/crypto.h>

namespace platform::sheet::encryption {

namespace {

constexpr std::uint32_t kFlagCryptoApi = 0x04;
constexpr std::uint32_t kFlagExternal = 0x10;
constexpr std::uint32_t kFlagAes = 0x20;
constexpr std::uint32_t kAlgAes128 = 0x660E;
constexpr std::uint32_t kAlgAes192 = 0x660F;
constexpr std::uint32_t kAlgAes256 = 0x6610;
constexpr std::uint32_t kAlgSha1 = 0x8004;
constexpr std::uint32_t kSpinCount = 50000;
constexpr int kSaltSize = 16;
constexpr int kSha1Size = 20;
constexpr int kFixedHeaderSize = 32;

struct StandardHeader {
    int keyBits = 0;
    QByteArray salt;
    QByteArray encryptedVerifier;
    QByteArray encryptedVerifierHash;
};

[[noreturn]] void damaged(const QString& detail) {
    throw EncryptionError::damaged(detail);
}

int keyBitsOf(std::uint32_t algorithm, std::uint32_t keySize) {
    // An algorithm of 0 with the AES flag set means AES-128.
    const std::uint32_t expected = algorithm == kAlgAes128 || algorithm == 0 ? 128
                                   : algorithm == kAlgAes192                 ? 192
                                   : algorithm == kAlgAes256                 ? 256
                                                                             : 0;
    if (expected == 0)
        throw EncryptionError::unsupported(QStringLiteral("the cipher 0x%1.").arg(algorithm, 0, 16));
    if (keySize != expected)
        damaged(QStringLiteral("the key size does not fit the cipher."));
    return int(expected);
}

StandardHeader readHeader(const QByteArray& info) {
    ByteReader r(info, QStringLiteral("The encryption description"));
    r.skip(4); // version, checked by the caller
    const std::uint32_t flags = r.u32();
    const std::uint32_t headerSize = r.u32();
    if (headerSize < kFixedHeaderSize || headerSize > std::uint32_t(r.remaining()))
        damaged(QStringLiteral("the encryption header has a wrong size."));
    const qsizetype headerEnd = r.position() + headerSize;
    r.skip(8); // flags again and the extra size
    const std::uint32_t algorithm = r.u32();
    const std::uint32_t hashAlgorithm = r.u32();
    const std::uint32_t keySize = r.u32();
    r.skip(headerEnd - r.position()); // provider type, reserved fields, provider name

    if ((flags & kFlagExternal) || !(flags & kFlagCryptoApi))
        throw EncryptionError::unsupported(QStringLiteral("an outside encryption provider."));
    if (!(flags & kFlagAes))
        throw EncryptionError::unsupported(QStringLiteral("RC4 encryption."));
    if (hashAlgorithm != kAlgSha1 && hashAlgorithm != 0)
        throw EncryptionError::unsupported(
            QStringLiteral("the hash algorithm 0x%1.").arg(hashAlgorithm, 0, 16));

    StandardHeader h;
    h.keyBits = keyBitsOf(algorithm, keySize);
    if (r.u32() != kSaltSize)
        damaged(QStringLiteral("the password verifier has a wrong salt size."));
    h.salt = r.bytes(kSaltSize);
    h.encryptedVerifier = r.bytes(AesCipher::kBlockSize);
    if (r.u32() != kSha1Size)
        damaged(QStringLiteral("the password verifier has a wrong hash size."));
    h.encryptedVerifierHash = r.bytes(2 * AesCipher::kBlockSize); // 20 bytes rounded up to whole blocks
    return h;
}

// The key: the spun SHA-1 hash with block number 0, widened through the 0x36 and 0x5C pads.
QByteArray deriveKey(const Digest& sha1, const QByteArray& salt, const QString& password, int keyBits) {
    const QByteArray spun = sha1.spin(salt, le::utf16(password), kSpinCount);
    const QByteArray finalHash = sha1.hash(spun, le::u32Bytes(0));
    QByteArray inner(64, '\x36');
    QByteArray outer(64, '\x5C');
    for (qsizetype i = 0; i < finalHash.size(); ++i) {
        inner[i] = char(inner[i] ^ finalHash[i]);
        outer[i] = char(outer[i] ^ finalHash[i]);
    }
    return (sha1.hash(inner) + sha1.hash(outer)).left(keyBits / 8);
}

} // namespace

QByteArray StandardEncryption::decrypt(const QByteArray& info, const QByteArray& package,
                                       const QString& password) {
    const StandardHeader h = readHeader(info);
    const Digest sha1(QStringLiteral("SHA1"));
    AesCipher cipher(deriveKey(sha1, h.salt, password, h.keyBits), AesCipher::Chaining::Ecb,
                     AesCipher::Direction::Decrypt);

    const QByteArray verifier = cipher.run(h.encryptedVerifier);
    const QByteArray verifierHash = cipher.run(h.encryptedVerifierHash).left(kSha1Size);
    const QByteArray expected = sha1.hash(verifier);
    if (CRYPTO_memcmp(expected.constData(), verifierHash.constData(), kSha1Size) != 0)
        throw EncryptionError::wrongPassword();

    ByteReader body(package, QStringLiteral("The encrypted package"));
    const std::uint64_t size = body.u64();
    if (size > std::uint64_t(body.remaining()))
        damaged(QStringLiteral("the encrypted package is cut short."));
    const qsizetype cipherLength =
        (qsizetype(size) + AesCipher::kBlockSize - 1) / AesCipher::kBlockSize * AesCipher::kBlockSize;
    if (cipherLength > body.remaining())
        damaged(QStringLiteral("the encrypted package is cut short."));
    QByteArray plain(cipherLength, Qt::Uninitialized);
    cipher.run(package.constData() + body.position(), plain.data(), cipherLength);
    plain.truncate(qsizetype(size));
    return plain;
}

} // namespace platform::sheet::encryption
