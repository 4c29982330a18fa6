// Reads the zip container of a workbook held in memory, over libzip. Entries are handed out
// as their stored (compressed) bytes, so that a save can copy an untouched part without
// unpacking it, and unpacked on demand with libdeflate -- also on worker threads, since
// unpacking needs no libzip state. Every size, method and checksum is checked; a damaged container is a
// SheetError (DamagedPackage), never a crash, and one whose parts claim more than a workbook
// unpacks to is refused (TooLarge) before it costs anything.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct zip;
struct zip_source;

namespace platform::sheet {

class ZipReader {
public:
    struct Entry {
        std::string name;
        std::uint64_t size = 0; // unpacked
        std::uint64_t compressedSize = 0;
        std::uint32_t crc = 0;
        std::uint16_t method = 0;  // 0 stored, 8 deflated
        std::uint32_t dosTime = 0; // date in the high half, time in the low half
        std::int64_t index = 0;
    };

    // The most that the parts of one package may unpack to, all together; a package whose
    // entries claim more is refused (TooLarge) before anything is unpacked, and every part
    // unpacks to exactly the size it claims, so no package unpacks to more. A workbook of a
    // million cells unpacks to about 40 MB. Fuzz builds use a smaller limit to stay within
    // the fuzzer's memory.
#ifdef LUMIVANE_FUZZ_LIMITS
    static constexpr std::uint64_t kMaxUnpackedSize = std::uint64_t(32) << 20;
#else
    static constexpr std::uint64_t kMaxUnpackedSize = std::uint64_t(256) << 20;
#endif

    explicit ZipReader(QByteArray bytes);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    const std::vector<Entry>& entries() const {
        return entries_;
    }

    // The stored bytes of an entry.
    std::string readStored(const Entry& entry) const;

    // Unpacks stored bytes and checks size and checksum. Safe to call on any thread.
    static std::string unpack(const std::string& stored, const Entry& entry);

private:
    struct Discard {
        void operator()(zip* archive) const;
    };

    QByteArray bytes_;
    std::unique_ptr<zip, Discard> archive_; // released also when the constructor throws
    std::vector<Entry> entries_;
};

} // namespace platform::sheet
