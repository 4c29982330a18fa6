// Hashing through OpenSSL's EVP interface. The spin loop reuses one digest context and a fixed
// buffer, so 100,000 rounds cost only the hash compressions themselves.
#include "platform/sheet/encryption/Digest.h"

#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/encryption/LittleEndian.h"

#include <array>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace platform::sheet::encryption {

namespace {

// Names of the encryption XML mapped to OpenSSL's; MD2 and RIPEMD-128 have no OpenSSL provider.
QByteArray openSslName(const QString& name) {
    const QString upper = name.trimmed().toUpper();
    if (upper == QLatin1String("SHA1") || upper == QLatin1String("SHA-1"))
        return "SHA1";
    if (upper == QLatin1String("SHA256") || upper == QLatin1String("SHA384") ||
        upper == QLatin1String("SHA512") || upper == QLatin1String("MD5") || upper == QLatin1String("MD4") ||
        upper == QLatin1String("WHIRLPOOL"))
        return upper.toLatin1();
    if (upper == QLatin1String("RIPEMD-160"))
        return "RIPEMD160";
    return QByteArray();
}

struct MdCtxFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;

struct MacFree {
    void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
};
struct MacCtxFree {
    void operator()(EVP_MAC_CTX* ctx) const { EVP_MAC_CTX_free(ctx); }
};

[[noreturn]] void cryptoFailed(const char* what) {
    throw EncryptionError::unsupported(
        QStringLiteral("the cryptographic library refused %1.").arg(QLatin1String(what)));
}

MdCtx newContext() {
    MdCtx ctx(EVP_MD_CTX_new());
    if (!ctx)
        cryptoFailed("a hash context");
    return ctx;
}

} // namespace

void Digest::MdFree::operator()(evp_md_st* md) const {
    EVP_MD_free(md);
}

Digest::Digest(const QString& algorithmName) {
    const QByteArray name = openSslName(algorithmName);
    if (!name.isEmpty())
        md_.reset(EVP_MD_fetch(nullptr, name.constData(), nullptr));
    if (!md_)
        throw EncryptionError::unsupported(QStringLiteral("the hash algorithm \"%1\".").arg(algorithmName));
    size_ = EVP_MD_get_size(md_.get());
}

Digest::~Digest() = default;
Digest::Digest(Digest&&) noexcept = default;
Digest& Digest::operator=(Digest&&) noexcept = default;

QByteArray Digest::hash(const QByteArray& a, const QByteArray& b) const {
    MdCtx ctx = newContext();
    QByteArray out(size_, Qt::Uninitialized);
    if (EVP_DigestInit_ex2(ctx.get(), md_.get(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), a.constData(), size_t(a.size())) != 1 ||
        EVP_DigestUpdate(ctx.get(), b.constData(), size_t(b.size())) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), nullptr) != 1)
        cryptoFailed("a hash");
    return out;
}

QByteArray Digest::spin(const QByteArray& salt, const QByteArray& password, std::uint32_t spinCount) const {
    // EVP_MAX_MD_SIZE bytes hold every digest; the round counter sits in front of the running hash so
    // each round is a single update of 4 + size bytes.
    std::array<unsigned char, 4 + EVP_MAX_MD_SIZE> buffer{};
    unsigned char* const running = buffer.data() + 4;
    const size_t roundLength = 4 + size_t(size_);

    MdCtx ctx = newContext();
    if (EVP_DigestInit_ex2(ctx.get(), md_.get(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), salt.constData(), size_t(salt.size())) != 1 ||
        EVP_DigestUpdate(ctx.get(), password.constData(), size_t(password.size())) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), running, nullptr) != 1)
        cryptoFailed("a hash");
    for (std::uint32_t round = 0; round < spinCount; ++round) {
        le::putU32(reinterpret_cast<char*>(buffer.data()), round);
        if (EVP_DigestInit_ex2(ctx.get(), nullptr, nullptr) != 1 ||
            EVP_DigestUpdate(ctx.get(), buffer.data(), roundLength) != 1 ||
            EVP_DigestFinal_ex(ctx.get(), running, nullptr) != 1)
            cryptoFailed("a hash");
    }
    return QByteArray(reinterpret_cast<const char*>(running), size_);
}

QByteArray Digest::hmac(const QByteArray& key, const QByteArray& data) const {
    std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    if (!mac)
        cryptoFailed("HMAC");
    std::unique_ptr<EVP_MAC_CTX, MacCtxFree> ctx(EVP_MAC_CTX_new(mac.get()));
    if (!ctx)
        cryptoFailed("HMAC");
    QByteArray digestName(EVP_MD_get0_name(md_.get()));
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName.data(), 0),
        OSSL_PARAM_construct_end(),
    };
    QByteArray out(size_, Qt::Uninitialized);
    size_t written = 0;
    if (EVP_MAC_init(ctx.get(), reinterpret_cast<const unsigned char*>(key.constData()), size_t(key.size()),
                     params) != 1 ||
        EVP_MAC_update(ctx.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                       size_t(data.size())) != 1 ||
        EVP_MAC_final(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                      size_t(out.size())) != 1)
        cryptoFailed("HMAC");
    out.truncate(qsizetype(written));
    return out;
}

} // namespace platform::sheet::encryption
