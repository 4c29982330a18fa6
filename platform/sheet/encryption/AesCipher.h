// AES without padding, in the two chainings the encrypted package uses: CBC (agile form, with an
// initialisation vector per call) and ECB (standard form). The key length picks AES-128, -192 or -256.
// One OpenSSL context is set up with the key once and reused for every call, so decrypting a large
// package segment by segment does not repeat the key schedule.
#pragma once

#include <QByteArray>
#include <memory>

struct evp_cipher_ctx_st;

namespace platform::sheet::encryption {

class AesCipher {
public:
    enum class Chaining { Cbc, Ecb };
    enum class Direction { Encrypt, Decrypt };

    // Throws Unsupported when the key is not 16, 24 or 32 bytes long.
    AesCipher(const QByteArray& key, Chaining chaining, Direction direction);
    ~AesCipher();
    AesCipher(const AesCipher&) = delete;
    AesCipher& operator=(const AesCipher&) = delete;

    static constexpr int kBlockSize = 16;

    // Runs length bytes (a multiple of the block size) from in to out; iv is ignored for ECB.
    void run(const char* in, char* out, qsizetype length, const QByteArray& iv = QByteArray());
    QByteArray run(const QByteArray& data, const QByteArray& iv = QByteArray());

    // Zero bytes appended up to the next multiple of the block size.
    static QByteArray padToBlock(const QByteArray& data);

private:
    struct CtxFree {
        void operator()(evp_cipher_ctx_st* ctx) const;
    };
    std::unique_ptr<evp_cipher_ctx_st, CtxFree> ctx_;
    Chaining chaining_;
};

} // namespace platform::sheet::encryption
