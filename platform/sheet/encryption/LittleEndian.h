// Little-endian integers in byte arrays, as the compound-file container and the encryption headers
// store them. The appenders grow the array; the readers assume the caller has checked the bounds
// (ByteReader does that for sequential reading).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace platform::sheet::encryption::le {

inline void appendU16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

inline void appendU32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

inline void appendU64(QByteArray& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

inline void putU16(char* at, std::uint16_t v) {
    at[0] = char(v & 0xFF);
    at[1] = char(v >> 8);
}

inline void putU32(char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = char((v >> (8 * i)) & 0xFF);
}

inline void putU64(char* at, std::uint64_t v) {
    putU32(at, std::uint32_t(v & 0xFFFFFFFFu));
    putU32(at + 4, std::uint32_t(v >> 32));
}

inline std::uint16_t u16(const char* at) {
    const auto* p = reinterpret_cast<const unsigned char*>(at);
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t u32(const char* at) {
    const auto* p = reinterpret_cast<const unsigned char*>(at);
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::uint64_t u64(const char* at) {
    return std::uint64_t(u32(at)) | (std::uint64_t(u32(at + 4)) << 32);
}

// The 4-byte little-endian form of a block index, as the key derivations hash it.
inline QByteArray u32Bytes(std::uint32_t v) {
    QByteArray out;
    appendU32(out, v);
    return out;
}

// A password as the key derivations hash it: UTF-16 code units, little-endian, no terminator.
inline QByteArray utf16(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar c : text)
        appendU16(out, c.unicode());
    return out;
}

} // namespace platform::sheet::encryption::le
