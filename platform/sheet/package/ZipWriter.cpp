// The zip container written from parts: local headers, data, central directory.
#include "platform/sheet/package/ZipWriter.h"

#include "platform/sheet/SheetError.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <libdeflate.h>
#include <limits>
#include <memory>
#include <optional>

namespace platform::sheet {

namespace {

void put16(QByteArray& out, std::uint32_t v) {
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

bool isAscii(std::string_view name) {
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// A compressor of each thread's for each level, kept between parts: making one allocates a few
// hundred kilobytes of tables, which for the small parts of a workbook would cost more than
// packing them.
class Compressors {
public:
    Compressors() = default;
    Compressors(const Compressors&) = delete;
    Compressors& operator=(const Compressors&) = delete;
    ~Compressors() {
        for (libdeflate_compressor* c : byLevel_)
            if (c)
                libdeflate_free_compressor(c);
    }

    libdeflate_compressor& forLevel(int level) {
        level = std::clamp(level, 0, kLevels - 1);
        libdeflate_compressor*& c = byLevel_[std::size_t(level)];
        if (!c)
            c = libdeflate_alloc_compressor(level);
        if (!c)
            throw SheetError(SheetError::Code::WriteFailed,
                             QStringLiteral("The compressor could not be started."));
        return *c;
    }

private:
    static constexpr int kLevels = 13;
    std::array<libdeflate_compressor*, kLevels> byLevel_{};
};

// Packs into a buffer of `room` bytes; nothing when the packed part does not fit.
std::optional<std::string> packInto(libdeflate_compressor& compressor, std::string_view plain,
                                    std::size_t room) {
    const std::unique_ptr<char[]> buffer(new char[room]); // not cleared: every byte used is written
    const std::size_t packed =
        libdeflate_deflate_compress(&compressor, plain.data(), plain.size(), buffer.get(), room);
    if (packed == 0)
        return std::nullopt;
    return std::string(buffer.get(), packed);
}

[[noreturn]] void tooLarge() {
    throw SheetError(
        SheetError::Code::WriteFailed,
        QStringLiteral("The workbook is too large to be written (more than 4 GB or 65535 parts)."));
}

} // namespace

ZipWriter::Stored ZipWriter::compress(std::string_view plain, int level) {
    Stored result;
    result.size = plain.size();
    result.crc = libdeflate_crc32(0, plain.data(), plain.size());
    thread_local Compressors compressors;
    libdeflate_compressor& compressor = compressors.forLevel(level);
    // Only a packed part smaller than the part is worth its place. Workbook parts pack to a small
    // fraction of their size, so a buffer of a quarter fits nearly always; and only the packed
    // bytes are kept, since holding room for every part written side by side would cost their
    // whole size.
    std::optional<std::string> packed;
    if (plain.size() > 1) {
        const std::size_t most = plain.size() - 1;
        packed = packInto(compressor, plain, std::min(most, plain.size() / 4 + 1024));
        if (!packed && most > plain.size() / 4 + 1024)
            packed = packInto(compressor, plain, most);
    }
    if (packed) {
        result.data = std::move(*packed);
        result.method = 8;
    } else { // no smaller than the part: stored as it is
        result.data.assign(plain.data(), plain.size());
        result.method = 0;
    }
    return result;
}

std::uint32_t ZipWriter::currentDosTime() {
    return dosTime(time(nullptr));
}

std::uint32_t ZipWriter::dosTime(time_t when) {
    struct tm parts;
    if (!localtime_r(&when, &parts) || parts.tm_year < 80)
        return 0x00210000u;
    const std::uint32_t date =
        std::uint32_t(((parts.tm_year - 80) << 9) | ((parts.tm_mon + 1) << 5) | parts.tm_mday);
    const std::uint32_t time =
        std::uint32_t((parts.tm_hour << 11) | (parts.tm_min << 5) | (parts.tm_sec / 2));
    return (date << 16) | time;
}

std::uint64_t ZipWriter::sizeFor(std::uint64_t dataBytes, std::size_t entries, std::uint64_t nameBytes) {
    // A local header (30 bytes) and a directory entry (46 bytes) with the name in each, the end.
    return dataBytes + entries * (30 + 46) + 2 * nameBytes + 22;
}

void ZipWriter::reserve(std::uint64_t bytes) {
    if (bytes < std::uint64_t(std::numeric_limits<qsizetype>::max()))
        body_.reserve(qsizetype(bytes));
}

void ZipWriter::add(std::string_view name, const Stored& stored, std::uint32_t dosTime) {
    add(name, stored.data, stored, dosTime);
}

void ZipWriter::add(std::string_view name, std::string_view data, const Stored& facts,
                    std::uint32_t dosTime) {
    constexpr std::uint64_t limit = std::numeric_limits<std::uint32_t>::max() - 1;
    if (facts.size > limit || data.size() > limit || std::uint64_t(body_.size()) > limit ||
        count_ >= 0xFFFF || name.size() > 0xFFFF)
        tooLarge();
    if (dosTime == 0)
        dosTime = currentDosTime();
    const std::uint32_t offset = std::uint32_t(body_.size());
    const std::uint32_t flags = isAscii(name) ? 0 : 0x0800; // bit 11: the name is UTF-8
    const std::uint32_t version = facts.method == 8 ? 20 : 10;

    put32(body_, 0x04034b50);
    put16(body_, version);
    put16(body_, flags);
    put16(body_, facts.method);
    put16(body_, dosTime & 0xFFFF);
    put16(body_, dosTime >> 16);
    put32(body_, facts.crc);
    put32(body_, std::uint32_t(data.size()));
    put32(body_, std::uint32_t(facts.size));
    put16(body_, std::uint32_t(name.size()));
    put16(body_, 0);
    body_.append(name.data(), qsizetype(name.size()));
    body_.append(data.data(), qsizetype(data.size()));

    put32(directory_, 0x02014b50);
    put16(directory_, 20); // made by: version 2.0, MS-DOS attributes
    put16(directory_, version);
    put16(directory_, flags);
    put16(directory_, facts.method);
    put16(directory_, dosTime & 0xFFFF);
    put16(directory_, dosTime >> 16);
    put32(directory_, facts.crc);
    put32(directory_, std::uint32_t(data.size()));
    put32(directory_, std::uint32_t(facts.size));
    put16(directory_, std::uint32_t(name.size()));
    put16(directory_, 0); // extra field
    put16(directory_, 0); // comment
    put16(directory_, 0); // disk
    put16(directory_, 0); // internal attributes
    put32(directory_, 0); // external attributes
    put32(directory_, offset);
    directory_.append(name.data(), qsizetype(name.size()));
    ++count_;
}

QByteArray ZipWriter::finish() {
    constexpr std::uint64_t limit = std::numeric_limits<std::uint32_t>::max() - 1;
    if (std::uint64_t(body_.size()) + std::uint64_t(directory_.size()) > limit)
        tooLarge();
    const std::uint32_t directoryOffset = std::uint32_t(body_.size());
    QByteArray out = std::move(body_);
    out += directory_;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, count_);
    put16(out, count_);
    put32(out, std::uint32_t(directory_.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    body_ = QByteArray();
    directory_.clear();
    count_ = 0;
    return out;
}

} // namespace platform::sheet
