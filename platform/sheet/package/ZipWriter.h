// Writes a zip container into memory: entries are added either as bytes already stored in
// another container (an untouched part, copied without unpacking) or as plain bytes that
// compress() packs, which callers may run on worker threads. Names keep their order.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace platform::sheet {

class ZipWriter {
public:
    struct Stored {
        std::string data;       // the bytes as they go into the container
        std::uint64_t size = 0; // unpacked
        std::uint32_t crc = 0;
        std::uint16_t method = 0; // 0 stored, 8 deflated
    };

    // Deflates plain bytes at a level from 0 to 12 (or stores them when that is not smaller);
    // the result holds no more memory than its bytes. Thread-safe.
    static Stored compress(std::string_view plain, int level);

    // The bytes a container of that many entries, names and data bytes takes; reserving them
    // first spares the growing container its copies.
    static std::uint64_t sizeFor(std::uint64_t dataBytes, std::size_t entries, std::uint64_t nameBytes);
    void reserve(std::uint64_t bytes);

    // dosTime: date in the high half, time in the low half; 0 takes the current time.
    void add(std::string_view name, const Stored& stored, std::uint32_t dosTime = 0);
    // The same with the stored bytes held elsewhere (`facts` gives size, checksum and method).
    void add(std::string_view name, std::string_view data, const Stored& facts, std::uint32_t dosTime = 0);

    // The whole container. Throws SheetError (WriteFailed) beyond the limits of a zip without
    // its 64-bit extension (4 GiB, 65535 entries).
    QByteArray finish();

    // A time in the zip's own form (local time, date in the high half); a time before 1980,
    // which that form cannot hold, as 1 January 1980.
    static std::uint32_t dosTime(time_t when);
    static std::uint32_t currentDosTime();

private:
    QByteArray body_;
    QByteArray directory_;
    std::uint32_t count_ = 0;
};

} // namespace platform::sheet
