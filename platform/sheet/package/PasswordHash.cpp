// Protection password hashes: the legacy 16-bit form and the salted SHA family over OpenSSL.
#include "platform/sheet/package/PasswordHash.h"

#include "platform/sheet/SheetError.h"

#include <memory>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace platform::sheet {

namespace {

const EVP_MD* digestNamed(const QString& name) {
    const QString n = name.toUpper().remove(u'-');
    if (n == u"SHA512")
        return EVP_sha512();
    if (n == u"SHA384")
        return EVP_sha384();
    if (n == u"SHA256")
        return EVP_sha256();
    if (n == u"SHA1")
        return EVP_sha1();
    return nullptr;
}

// H0 = H(salt + password as UTF-16LE); Hn = H(Hn-1 + n as 4 bytes little-endian).
QByteArray spin(const EVP_MD* md, const QByteArray& salt, const QString& password, std::uint32_t count) {
    QByteArray utf16;
    utf16.reserve(password.size() * 2);
    for (QChar c : password)
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char buffer[EVP_MAX_MD_SIZE + 4];
    unsigned int size = 0;
    EVP_DigestInit_ex(ctx.get(), md, nullptr);
    EVP_DigestUpdate(ctx.get(), salt.constData(), std::size_t(salt.size()));
    EVP_DigestUpdate(ctx.get(), utf16.constData(), std::size_t(utf16.size()));
    EVP_DigestFinal_ex(ctx.get(), buffer, &size);
    for (std::uint32_t i = 0; i < count; ++i) {
        buffer[size] = static_cast<unsigned char>(i & 0xFF);
        buffer[size + 1] = static_cast<unsigned char>((i >> 8) & 0xFF);
        buffer[size + 2] = static_cast<unsigned char>((i >> 16) & 0xFF);
        buffer[size + 3] = static_cast<unsigned char>((i >> 24) & 0xFF);
        unsigned int out = 0;
        EVP_DigestInit_ex(ctx.get(), md, nullptr);
        EVP_DigestUpdate(ctx.get(), buffer, size + 4);
        EVP_DigestFinal_ex(ctx.get(), buffer, &out);
    }
    return QByteArray(reinterpret_cast<const char*>(buffer), int(size));
}

} // namespace

QString PasswordHash::legacy(const QString& password) {
    // Each character counts as one byte (its low byte, or its high byte when the low one is 0).
    std::uint16_t hash = 0;
    const int length = int(std::min<qsizetype>(password.size(), 15));
    for (int i = length; i >= 1; --i) {
        const char16_t u = password[i - 1].unicode();
        std::uint16_t ch = (u & 0xFF) ? (u & 0xFF) : (u >> 8);
        const unsigned shifted = unsigned(ch) << i;
        hash ^= std::uint16_t((shifted & 0x7FFF) | (shifted >> 15));
    }
    hash ^= std::uint16_t(length);
    hash ^= 0xCE4B;
    if (password.isEmpty())
        hash = 0;
    return QStringLiteral("%1").arg(hash, 4, 16, QLatin1Char('0')).toUpper();
}

bool PasswordHash::verifyLegacy(const QString& password, const QString& storedHex) {
    bool ok = false;
    const unsigned stored = storedHex.toUInt(&ok, 16);
    return ok && stored == legacy(password).toUInt(nullptr, 16);
}

PasswordHash::Salted PasswordHash::make(const QString& password) {
    unsigned char salt[16];
    if (RAND_bytes(salt, sizeof salt) != 1)
        throw SheetError(SheetError::Code::WriteFailed,
                         QStringLiteral("No random salt could be made for the password."));
    Salted result;
    result.algorithm = QStringLiteral("SHA-512");
    const QByteArray rawSalt(reinterpret_cast<const char*>(salt), sizeof salt);
    result.salt = rawSalt.toBase64();
    result.hash = spin(EVP_sha512(), rawSalt, password, kSpinCount).toBase64();
    return result;
}

bool PasswordHash::verify(const QString& password, const Salted& stored) {
    const EVP_MD* md = digestNamed(stored.algorithm);
    if (!md || stored.spinCount > 10000000)
        return false;
    const QByteArray expected = QByteArray::fromBase64(stored.hash);
    const QByteArray actual = spin(md, QByteArray::fromBase64(stored.salt), password, stored.spinCount);
    return expected.size() == actual.size() &&
           CRYPTO_memcmp(expected.constData(), actual.constData(), std::size_t(actual.size())) == 0;
}

} // namespace platform::sheet
