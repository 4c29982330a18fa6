// See VbaCompression.h.
#include "platform/sheet/macro/VbaCompression.h"

#include "platform/sheet/SheetError.h"

#include <QString>
#include <cstdint>

namespace platform::sheet::macro {

namespace {

constexpr char kSignature = 0x01;
constexpr qsizetype kChunkSize = 4096;
constexpr std::uint16_t kChunkSignature = 0x3;

SheetError damaged(const QString& what, const QString& detail) {
    return SheetError(SheetError::Code::DamagedMacroProject,
                      QStringLiteral("The macro project's %1 is damaged: %2.").arg(what, detail));
}

// The number of bits a copy token gives its offset: enough for the bytes decompressed so far in
// this chunk, at least 4.
int offsetBits(qsizetype decompressedInChunk) {
    int bits = 4;
    while ((qsizetype(1) << bits) < decompressedInChunk)
        ++bits;
    return bits;
}

class Decompressor {
public:
    Decompressor(const QByteArray& data, qsizetype offset, const QString& what)
        : data_(data)
        , pos_(offset)
        , what_(what) {}

    QByteArray run() {
        if (pos_ < 0 || pos_ >= data_.size())
            throw damaged(what_, QStringLiteral("it starts past its end"));
        if (data_[pos_] != kSignature)
            throw damaged(what_, QStringLiteral("its signature byte is missing"));
        ++pos_;
        while (pos_ < data_.size())
            chunk();
        return out_;
    }

private:
    void chunk() {
        if (data_.size() - pos_ < 2)
            throw damaged(what_, QStringLiteral("a chunk header is cut short"));
        const auto header = std::uint16_t(std::uint8_t(data_[pos_]) | (std::uint8_t(data_[pos_ + 1]) << 8));
        if (((header >> 12) & 0x7) != kChunkSignature)
            throw damaged(what_, QStringLiteral("a chunk header has a wrong signature"));
        const qsizetype end = std::min(pos_ + qsizetype(header & 0x0FFF) + 3, data_.size());
        pos_ += 2;
        const qsizetype chunkStart = out_.size();
        if ((header & 0x8000) == 0)
            stored(end);
        else
            compressed(end, chunkStart);
        if (out_.size() > kMaxDecompressedSize)
            throw damaged(what_, QStringLiteral("it decompresses to more than it can hold"));
    }

    void stored(qsizetype end) {
        if (end - pos_ != kChunkSize)
            throw damaged(what_, QStringLiteral("a stored chunk is not 4096 bytes long"));
        out_.append(data_.constData() + pos_, kChunkSize);
        pos_ = end;
    }

    void compressed(qsizetype end, qsizetype chunkStart) {
        while (pos_ < end) {
            const auto flags = std::uint8_t(data_[pos_++]);
            for (int bit = 0; bit < 8 && pos_ < end; ++bit) {
                if ((flags >> bit & 1) == 0)
                    out_.append(data_[pos_++]);
                else
                    copyToken(end, chunkStart);
                if (out_.size() - chunkStart > kChunkSize)
                    throw damaged(what_, QStringLiteral("a chunk decompresses to more than 4096 bytes"));
            }
        }
    }

    void copyToken(qsizetype end, qsizetype chunkStart) {
        if (end - pos_ < 2)
            throw damaged(what_, QStringLiteral("a copy token is cut short"));
        const auto token = std::uint16_t(std::uint8_t(data_[pos_]) | (std::uint8_t(data_[pos_ + 1]) << 8));
        pos_ += 2;
        const qsizetype done = out_.size() - chunkStart;
        if (done == 0)
            throw damaged(what_, QStringLiteral("a copy token stands before any byte"));
        const int bits = offsetBits(done);
        const std::uint16_t lengthMask = 0xFFFF >> bits;
        const qsizetype length = (token & lengthMask) + 3;
        const qsizetype offset = (token >> (16 - bits)) + 1;
        if (offset > done)
            throw damaged(what_, QStringLiteral("a copy token reaches before its chunk"));
        if (done + length > kChunkSize)
            throw damaged(what_, QStringLiteral("a copy token runs past its chunk"));
        // Byte by byte: a copy may overlap the bytes it is making.
        const qsizetype from = out_.size() - offset;
        for (qsizetype i = 0; i < length; ++i)
            out_.append(out_.at(from + i));
    }

    const QByteArray& data_;
    qsizetype pos_;
    QString what_;
    QByteArray out_;
};

} // namespace

QByteArray decompress(const QByteArray& data, qsizetype offset, const QString& what) {
    return Decompressor(data, offset, what).run();
}

} // namespace platform::sheet::macro
