// Sequential, bounds-checked reading of a byte array. Every read past the end throws the module's
// damaged-file error naming what was being read, so malformed input can never read out of bounds.
#pragma once

#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/encryption/LittleEndian.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>

namespace platform::sheet::encryption {

class ByteReader {
public:
    ByteReader(const QByteArray& data, QString what)
        : data_(data)
        , what_(std::move(what)) {}

    qsizetype position() const { return pos_; }
    qsizetype remaining() const { return data_.size() - pos_; }

    std::uint16_t u16() { return le::u16(take(2)); }
    std::uint32_t u32() { return le::u32(take(4)); }
    std::uint64_t u64() { return le::u64(take(8)); }

    QByteArray bytes(qsizetype count) {
        const char* at = take(count);
        return QByteArray(at, count);
    }

    void skip(qsizetype count) { take(count); }

private:
    const char* take(qsizetype count) {
        if (count < 0 || count > remaining())
            throw EncryptionError::damaged(QStringLiteral("%1 is cut short.").arg(what_));
        const char* at = data_.constData() + pos_;
        pos_ += count;
        return at;
    }

    const QByteArray& data_;
    QString what_;
    qsizetype pos_ = 0;
};

} // namespace platform::sheet::encryption
