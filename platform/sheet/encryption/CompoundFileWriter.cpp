// Compound-file writing. The layout is fixed and simple: regular-sector streams first, then the
// mini stream, the mini allocation table, the directory, and last the allocation table and its
// extension sectors, whose own size is found by growing them until they cover every sector.
#include "platform/sheet/encryption/CompoundFileWriter.h"

#include "platform/sheet/encryption/CompoundFile.h"
#include "platform/sheet/encryption/LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace platform::sheet::encryption {

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kEntriesPerSector = kSectorSize / 4;
constexpr std::uint32_t kDifatEntriesPerSector = kEntriesPerSector - 1;

std::uint32_t sectorsFor(std::uint64_t bytes, std::uint32_t unit) {
    return std::uint32_t((bytes + unit - 1) / unit);
}

// The order siblings are kept in: shorter names first, then by upper-cased UTF-16 units.
bool siblingLess(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return a.size() < b.size();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t ua = a[i].toUpper().unicode();
        const char16_t ub = b[i].toUpper().unicode();
        if (ua != ub)
            return ua < ub;
    }
    return false;
}

struct DirEntry {
    QString name;
    std::uint8_t type = cfb::kUnused;
    std::uint8_t colour = cfb::kBlack;
    std::uint32_t left = cfb::kNoStream;
    std::uint32_t right = cfb::kNoStream;
    std::uint32_t child = cfb::kNoStream;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

// Links sorted[lo, hi) into a balanced tree (middle element as root) and records each depth.
std::uint32_t linkBalanced(const std::vector<std::uint32_t>& sorted, qsizetype lo, qsizetype hi, int depth,
                           std::vector<DirEntry>& dir, std::vector<std::pair<std::uint32_t, int>>& depths) {
    if (lo >= hi)
        return cfb::kNoStream;
    const qsizetype mid = lo + (hi - lo) / 2;
    const std::uint32_t id = sorted[std::size_t(mid)];
    depths.emplace_back(id, depth);
    dir[id].left = linkBalanced(sorted, lo, mid, depth + 1, dir, depths);
    dir[id].right = linkBalanced(sorted, mid + 1, hi, depth + 1, dir, depths);
    return id;
}

// A balanced tree built this way has every empty link at one of two adjacent depths, so painting
// the deepest level red (all others black) gives every path the same number of black entries and
// no red entry a red child: a valid red-black tree.
std::uint32_t buildSiblingTree(std::vector<std::uint32_t> ids, std::vector<DirEntry>& dir) {
    std::sort(ids.begin(), ids.end(),
              [&dir](std::uint32_t a, std::uint32_t b) { return siblingLess(dir[a].name, dir[b].name); });
    std::vector<std::pair<std::uint32_t, int>> depths;
    const std::uint32_t root = linkBalanced(ids, 0, qsizetype(ids.size()), 0, dir, depths);
    int deepest = 0;
    for (const auto& [id, depth] : depths)
        deepest = std::max(deepest, depth);
    for (const auto& [id, depth] : depths)
        dir[id].colour = (depth == deepest && depth > 0) ? cfb::kRed : cfb::kBlack;
    return root;
}

void writeDirEntry(char* at, const DirEntry& e) {
    std::memset(at, 0, cfb::kDirectoryEntrySize);
    if (e.type != cfb::kUnused) {
        for (qsizetype i = 0; i < e.name.size(); ++i)
            le::putU16(at + 2 * i, e.name[i].unicode());
        le::putU16(at + 64, std::uint16_t((e.name.size() + 1) * 2));
    }
    at[66] = char(e.type);
    at[67] = char(e.type == cfb::kUnused ? 0 : e.colour);
    le::putU32(at + 68, e.left);
    le::putU32(at + 72, e.right);
    le::putU32(at + 76, e.child);
    le::putU32(at + 116, e.start);
    le::putU64(at + 120, e.size);
}

void writeChain(std::vector<std::uint32_t>& table, std::uint32_t start, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i)
        table[start + i] = (i + 1 == count) ? cfb::kEndOfChain : start + i + 1;
}

} // namespace

CompoundFileWriter::CompoundFileWriter() {
    Node root;
    root.name = QStringLiteral("Root Entry");
    root.storage = true;
    nodes_.push_back(root);
}

int CompoundFileWriter::childNamed(int storage, const QString& name) const {
    for (int child : nodes_[std::size_t(storage)].children) {
        if (nodes_[std::size_t(child)].name.compare(name, Qt::CaseInsensitive) == 0)
            return child;
    }
    return -1;
}

void CompoundFileWriter::addStream(const QString& path, const QByteArray& data) {
    const QStringList parts = path.split(QLatin1Char('/'));
    int current = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& name = parts[i];
        if (name.isEmpty() || name.size() > cfb::kMaxNameLength)
            throw std::invalid_argument("compound file entry name is empty or longer than 31 characters");
        const bool last = i == parts.size() - 1;
        int child = childNamed(current, name);
        if (child >= 0 && (last || !nodes_[std::size_t(child)].storage))
            throw std::invalid_argument("compound file path is already in use");
        if (child < 0) {
            Node node;
            node.name = name;
            node.storage = !last;
            node.data = last ? data : QByteArray();
            nodes_.push_back(node);
            child = int(nodes_.size() - 1);
            nodes_[std::size_t(current)].children.push_back(child);
        }
        current = child;
    }
}

QByteArray CompoundFileWriter::toBytes() const {
    // Directory entries take the nodes' indexes: node 0 is the root entry.
    std::vector<DirEntry> dir(nodes_.size());
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        dir[i].name = nodes_[i].name;
        dir[i].type = i == 0 ? cfb::kRoot : (nodes_[i].storage ? cfb::kStorage : cfb::kStream);
        dir[i].size = nodes_[i].storage ? 0 : std::uint64_t(nodes_[i].data.size());
    }
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (!nodes_[i].storage || nodes_[i].children.empty())
            continue;
        std::vector<std::uint32_t> ids(nodes_[i].children.begin(), nodes_[i].children.end());
        dir[i].child = buildSiblingTree(ids, dir);
    }

    // Regular sectors for large streams, mini sectors for the rest.
    std::uint32_t nextSector = 0;
    std::uint32_t nextMini = 0;
    std::vector<std::pair<std::size_t, std::uint32_t>> bigStreams;   // node, first sector
    std::vector<std::pair<std::size_t, std::uint32_t>> smallStreams; // node, first mini sector
    for (std::size_t i = 1; i < nodes_.size(); ++i) {
        if (nodes_[i].storage)
            continue;
        const std::uint64_t size = std::uint64_t(nodes_[i].data.size());
        if (size == 0) {
            dir[i].start = cfb::kEndOfChain;
        } else if (size < cfb::kMiniStreamCutoff) {
            dir[i].start = nextMini;
            smallStreams.emplace_back(i, nextMini);
            nextMini += sectorsFor(size, cfb::kMiniSectorSize);
        } else {
            dir[i].start = nextSector;
            bigStreams.emplace_back(i, nextSector);
            nextSector += sectorsFor(size, kSectorSize);
        }
    }
    const std::uint64_t miniStreamBytes = std::uint64_t(nextMini) * cfb::kMiniSectorSize;
    const std::uint32_t miniStreamStart = nextSector;
    const std::uint32_t miniStreamSectors = sectorsFor(miniStreamBytes, kSectorSize);
    nextSector += miniStreamSectors;
    const std::uint32_t miniFatStart = nextSector;
    const std::uint32_t miniFatSectors = sectorsFor(std::uint64_t(nextMini) * 4, kSectorSize);
    nextSector += miniFatSectors;
    const std::uint32_t directoryStart = nextSector;
    const std::uint32_t directorySectors = sectorsFor(dir.size() * cfb::kDirectoryEntrySize, kSectorSize);
    nextSector += directorySectors;
    dir[0].start = miniStreamSectors ? miniStreamStart : cfb::kEndOfChain;
    dir[0].size = miniStreamBytes;

    // The table must cover itself and its extension sectors too.
    std::uint32_t fatSectors = std::max<std::uint32_t>(1, sectorsFor(nextSector, kEntriesPerSector));
    std::uint32_t difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > cfb::kHeaderDifatEntries
                           ? sectorsFor(fatSectors - cfb::kHeaderDifatEntries, kDifatEntriesPerSector)
                           : 0;
        if (std::uint64_t(nextSector) + fatSectors + difatSectors <=
            std::uint64_t(fatSectors) * kEntriesPerSector)
            break;
        ++fatSectors;
    }
    const std::uint32_t fatStart = nextSector;
    const std::uint32_t difatStart = fatStart + fatSectors;
    const std::uint32_t totalSectors = difatStart + difatSectors;

    std::vector<std::uint32_t> fat(std::size_t(fatSectors) * kEntriesPerSector, cfb::kFreeSector);
    for (const auto& [node, start] : bigStreams)
        writeChain(fat, start, sectorsFor(std::uint64_t(nodes_[node].data.size()), kSectorSize));
    if (miniStreamSectors)
        writeChain(fat, miniStreamStart, miniStreamSectors);
    if (miniFatSectors)
        writeChain(fat, miniFatStart, miniFatSectors);
    writeChain(fat, directoryStart, directorySectors);
    for (std::uint32_t i = 0; i < fatSectors; ++i)
        fat[fatStart + i] = cfb::kFatSector;
    for (std::uint32_t i = 0; i < difatSectors; ++i)
        fat[difatStart + i] = cfb::kDifatSector;

    std::vector<std::uint32_t> miniFat(std::size_t(miniFatSectors) * kEntriesPerSector, cfb::kFreeSector);
    for (const auto& [node, start] : smallStreams)
        writeChain(miniFat, start, sectorsFor(std::uint64_t(nodes_[node].data.size()), cfb::kMiniSectorSize));

    QByteArray out(qsizetype(totalSectors + 1) * kSectorSize, '\0');
    auto sectorAt = [&out](std::uint32_t index) { return out.data() + (qsizetype(index) + 1) * kSectorSize; };

    // Header.
    char* h = out.data();
    std::memcpy(h, cfb::kSignature.constData(), 8);
    le::putU16(h + 24, 0x003E);
    le::putU16(h + 26, 3);
    le::putU16(h + 28, 0xFFFE);
    le::putU16(h + 30, 9);
    le::putU16(h + 32, 6);
    le::putU32(h + 44, fatSectors);
    le::putU32(h + 48, directoryStart);
    le::putU32(h + 56, cfb::kMiniStreamCutoff);
    le::putU32(h + 60, miniFatSectors ? miniFatStart : cfb::kEndOfChain);
    le::putU32(h + 64, miniFatSectors);
    le::putU32(h + 68, difatSectors ? difatStart : cfb::kEndOfChain);
    le::putU32(h + 72, difatSectors);
    for (std::uint32_t i = 0; i < std::uint32_t(cfb::kHeaderDifatEntries); ++i)
        le::putU32(h + cfb::kHeaderDifatOffset + 4 * i, i < fatSectors ? fatStart + i : cfb::kFreeSector);

    // Table extension sectors: 127 table sector numbers each, then the next extension sector.
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        char* s = sectorAt(difatStart + d);
        for (std::uint32_t i = 0; i < kDifatEntriesPerSector; ++i) {
            const std::uint32_t fatIndex = cfb::kHeaderDifatEntries + d * kDifatEntriesPerSector + i;
            le::putU32(s + 4 * i, fatIndex < fatSectors ? fatStart + fatIndex : cfb::kFreeSector);
        }
        le::putU32(s + 4 * kDifatEntriesPerSector,
                   d + 1 < difatSectors ? difatStart + d + 1 : cfb::kEndOfChain);
    }

    for (std::size_t i = 0; i < fat.size(); ++i)
        le::putU32(sectorAt(fatStart) + 4 * i, fat[i]);
    for (std::size_t i = 0; i < miniFat.size(); ++i)
        le::putU32(sectorAt(miniFatStart) + 4 * i, miniFat[i]);

    const std::uint32_t directorySlots = directorySectors * (kSectorSize / cfb::kDirectoryEntrySize);
    for (std::uint32_t i = 0; i < directorySlots; ++i)
        writeDirEntry(sectorAt(directoryStart) + i * cfb::kDirectoryEntrySize,
                      i < dir.size() ? dir[i] : DirEntry());

    for (const auto& [node, start] : bigStreams)
        std::memcpy(sectorAt(start), nodes_[node].data.constData(), std::size_t(nodes_[node].data.size()));
    for (const auto& [node, start] : smallStreams)
        std::memcpy(sectorAt(miniStreamStart) + qsizetype(start) * cfb::kMiniSectorSize,
                    nodes_[node].data.constData(), std::size_t(nodes_[node].data.size()));
    return out;
}

} // namespace platform::sheet::encryption
