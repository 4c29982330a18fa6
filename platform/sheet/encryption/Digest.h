// One hash algorithm of the encryption data, fetched from OpenSSL once and then used for plain
// hashes, the password spin loop and HMAC. Built from the algorithm name the EncryptionInfo XML
// gives ("SHA512", "SHA1", ...); a name OpenSSL cannot provide is the module's Unsupported error.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

struct evp_md_st;

namespace platform::sheet::encryption {

class Digest {
public:
    explicit Digest(const QString& algorithmName);
    ~Digest();
    Digest(Digest&&) noexcept;
    Digest& operator=(Digest&&) noexcept;

    // Output length in bytes.
    int size() const { return size_; }

    // H(a + b).
    QByteArray hash(const QByteArray& a, const QByteArray& b = QByteArray()) const;

    // The password hash of both encryption forms: H0 = H(salt + password), then spinCount rounds of
    // Hn = H(LE32(n) + Hn-1). One context and one buffer for all rounds: this is the cost of an open.
    QByteArray spin(const QByteArray& salt, const QByteArray& password, std::uint32_t spinCount) const;

    // HMAC of data under key with this algorithm.
    QByteArray hmac(const QByteArray& key, const QByteArray& data) const;

private:
    struct MdFree {
        void operator()(evp_md_st* md) const;
    };
    std::unique_ptr<evp_md_st, MdFree> md_;
    int size_ = 0;
};

} // namespace platform::sheet::encryption
