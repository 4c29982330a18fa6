// AES through OpenSSL's EVP cipher interface, padding switched off: the package formats round
// their data up to whole blocks themselves and record the true length separately.
#include "platform/sheet/encryption/AesCipher.h"

#include "platform/sheet/encryption/EncryptionError.h"

#include <algorithm>
#include <openssl/evp.h>

namespace platform::sheet::encryption {

namespace {

const EVP_CIPHER* cipherFor(qsizetype keyLength, AesCipher::Chaining chaining) {
    const bool cbc = chaining == AesCipher::Chaining::Cbc;
    switch (keyLength) {
    case 16:
        return cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb();
    case 24:
        return cbc ? EVP_aes_192_cbc() : EVP_aes_192_ecb();
    case 32:
        return cbc ? EVP_aes_256_cbc() : EVP_aes_256_ecb();
    default:
        return nullptr;
    }
}

[[noreturn]] void cipherFailed() {
    throw EncryptionError::unsupported(QStringLiteral("the cryptographic library refused an AES operation."));
}

} // namespace

void AesCipher::CtxFree::operator()(evp_cipher_ctx_st* ctx) const {
    EVP_CIPHER_CTX_free(ctx);
}

AesCipher::AesCipher(const QByteArray& key, Chaining chaining, Direction direction)
    : chaining_(chaining) {
    const EVP_CIPHER* cipher = cipherFor(key.size(), chaining);
    if (!cipher)
        throw EncryptionError::unsupported(QStringLiteral("an AES key of %1 bits.").arg(key.size() * 8));
    ctx_.reset(EVP_CIPHER_CTX_new());
    if (!ctx_ ||
        EVP_CipherInit_ex(ctx_.get(), cipher, nullptr,
                          reinterpret_cast<const unsigned char*>(key.constData()), nullptr,
                          direction == Direction::Encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx_.get(), 0) != 1)
        cipherFailed();
}

AesCipher::~AesCipher() = default;

void AesCipher::run(const char* in, char* out, qsizetype length, const QByteArray& iv) {
    if (length % kBlockSize != 0)
        throw EncryptionError::damaged(QStringLiteral("encrypted data is not a whole number of blocks."));
    const unsigned char* ivBytes = nullptr;
    if (chaining_ == Chaining::Cbc) {
        if (iv.size() != kBlockSize)
            throw EncryptionError::damaged(QStringLiteral("an initialisation vector has the wrong length."));
        ivBytes = reinterpret_cast<const unsigned char*>(iv.constData());
    }
    // Setting only the IV keeps the key schedule and restarts the chaining.
    if (EVP_CipherInit_ex(ctx_.get(), nullptr, nullptr, nullptr, ivBytes, -1) != 1)
        cipherFailed();
    qsizetype done = 0;
    // EVP_CipherUpdate takes an int length: feed very large inputs in pieces.
    constexpr qsizetype kPiece = qsizetype(1) << 30;
    while (done < length) {
        const int piece = int(std::min(kPiece, length - done));
        int written = 0;
        if (EVP_CipherUpdate(ctx_.get(), reinterpret_cast<unsigned char*>(out + done), &written,
                             reinterpret_cast<const unsigned char*>(in + done), piece) != 1 ||
            written != piece)
            cipherFailed();
        done += piece;
    }
}

QByteArray AesCipher::run(const QByteArray& data, const QByteArray& iv) {
    QByteArray out(data.size(), Qt::Uninitialized);
    run(data.constData(), out.data(), data.size(), iv);
    return out;
}

QByteArray AesCipher::padToBlock(const QByteArray& data) {
    QByteArray padded = data;
    const qsizetype rest = data.size() % kBlockSize;
    if (rest != 0)
        padded.append(QByteArray(kBlockSize - rest, '\0'));
    return padded;
}

} // namespace platform::sheet::encryption
