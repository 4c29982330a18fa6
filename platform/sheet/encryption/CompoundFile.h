// Constants of the compound-file container (the "OLE2" structured storage): header fields, special
// sector numbers and directory entry layout, shared by its reader and writer.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace platform::sheet::encryption::cfb {

inline const QByteArray kSignature = QByteArray::fromHex("D0CF11E0A1B11AE1");

constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

constexpr int kHeaderSize = 512;
constexpr int kHeaderDifatEntries = 109;
constexpr int kHeaderDifatOffset = 76;
constexpr int kDirectoryEntrySize = 128;
constexpr int kMiniSectorSize = 64;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
// A directory name holds at most 31 UTF-16 units and its terminating zero.
constexpr int kMaxNameLength = 31;

enum ObjectType : std::uint8_t { kUnused = 0, kStorage = 1, kStream = 2, kRoot = 5 };
enum Colour : std::uint8_t { kRed = 0, kBlack = 1 };

} // namespace platform::sheet::encryption::cfb
