// Compound-file reading: header, the sector allocation table (with its extension sectors), the
// directory, the mini stream and its own allocation table, then streams by path. Sector chains
// are followed with an upper bound on their length, so a chain that loops is caught.
#include "platform/sheet/encryption/CompoundFileReader.h"

#include "platform/sheet/encryption/CompoundFile.h"
#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/encryption/LittleEndian.h"

#include <cstring>

namespace platform::sheet::encryption {

namespace {

[[noreturn]] void damaged(const QString& detail) {
    throw EncryptionError::damaged(detail);
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

constexpr std::uint64_t kUnbounded = ~std::uint64_t(0);

} // namespace

bool CompoundFileReader::hasSignature(const QByteArray& file) {
    return file.startsWith(cfb::kSignature);
}

CompoundFileReader::CompoundFileReader(const QByteArray& file)
    : file_(file) {
    readHeader();
    readFat();
    readDirectory();
    readMiniStream();
}

void CompoundFileReader::readHeader() {
    if (file_.size() < cfb::kHeaderSize || !hasSignature(file_))
        damaged(QStringLiteral("it is not a compound file."));
    const char* h = file_.constData();
    if (le::u16(h + 28) != 0xFFFE)
        damaged(QStringLiteral("the container header has a wrong byte order mark."));
    majorVersion_ = le::u16(h + 26);
    const int sectorShift = le::u16(h + 30);
    if (!((majorVersion_ == 3 && sectorShift == 9) || (majorVersion_ == 4 && sectorShift == 12)))
        damaged(QStringLiteral("the container header gives an unknown version or sector size."));
    if (le::u16(h + 32) != 6)
        damaged(QStringLiteral("the container header gives an unknown mini sector size."));
    sectorSize_ = qsizetype(1) << sectorShift;
    fatSectorCount_ = le::u32(h + 44);
    firstDirectorySector_ = le::u32(h + 48);
    miniStreamCutoff_ = le::u32(h + 56);
    firstMiniFatSector_ = le::u32(h + 60);
    firstDifatSector_ = le::u32(h + 68);
    difatSectorCount_ = le::u32(h + 72);
    if (miniStreamCutoff_ != cfb::kMiniStreamCutoff)
        damaged(QStringLiteral("the container header gives an unknown mini stream cutoff."));
    // The header fills the first sector; a last sector cut short still counts, its missing bytes
    // are caught when a stream needs them.
    sectorCount_ =
        file_.size() > sectorSize_ ? ceilDiv(std::uint64_t(file_.size() - sectorSize_), sectorSize_) : 0;
}

void CompoundFileReader::readFat() {
    if (fatSectorCount_ > sectorCount_)
        damaged(QStringLiteral("the allocation table is larger than the file."));
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatSectorCount_);
    for (int i = 0; i < cfb::kHeaderDifatEntries && fatSectors.size() < fatSectorCount_; ++i)
        fatSectors.push_back(le::u32(file_.constData() + cfb::kHeaderDifatOffset + 4 * i));

    const qsizetype perDifatSector = sectorSize_ / 4 - 1;
    std::uint32_t next = firstDifatSector_;
    std::uint64_t visited = 0;
    while (fatSectors.size() < fatSectorCount_) {
        if (next >= sectorCount_ || ++visited > sectorCount_)
            damaged(QStringLiteral("the allocation table index is cut short or loops."));
        const char* s = sector(next, QStringLiteral("the allocation table index"));
        for (qsizetype i = 0; i < perDifatSector && fatSectors.size() < fatSectorCount_; ++i)
            fatSectors.push_back(le::u32(s + 4 * i));
        next = le::u32(s + 4 * perDifatSector);
    }

    const qsizetype perSector = sectorSize_ / 4;
    fat_.reserve(fatSectors.size() * perSector);
    for (std::uint32_t fs : fatSectors) {
        if (fs >= sectorCount_)
            damaged(QStringLiteral("the allocation table lies outside the file."));
        const char* s = sector(fs, QStringLiteral("the allocation table"));
        for (qsizetype i = 0; i < perSector; ++i)
            fat_.push_back(le::u32(s + 4 * i));
    }
}

void CompoundFileReader::readDirectory() {
    const std::vector<std::uint32_t> sectors =
        chain(firstDirectorySector_, fat_, kUnbounded, QStringLiteral("the directory"));
    const qsizetype perSector = sectorSize_ / cfb::kDirectoryEntrySize;
    entries_.reserve(sectors.size() * perSector);
    for (std::uint32_t index : sectors) {
        const char* s = sector(index, QStringLiteral("the directory"));
        for (qsizetype i = 0; i < perSector; ++i) {
            const char* e = s + i * cfb::kDirectoryEntrySize;
            Entry entry;
            const int nameBytes = le::u16(e + 64);
            const int maxUnits = qBound(0, nameBytes / 2 - 1, cfb::kMaxNameLength);
            for (int u = 0; u < maxUnits; ++u) {
                const std::uint16_t unit = le::u16(e + 2 * u);
                if (unit == 0)
                    break;
                entry.name.append(QChar(unit));
            }
            entry.type = std::uint8_t(e[66]);
            entry.colour = std::uint8_t(e[67]);
            entry.left = le::u32(e + 68);
            entry.right = le::u32(e + 72);
            entry.child = le::u32(e + 76);
            entry.start = le::u32(e + 116);
            entry.size = le::u64(e + 120);
            // Version 3 files keep only 32 bits of size; some writers leave junk in the rest.
            if (majorVersion_ == 3)
                entry.size &= 0xFFFFFFFFu;
            entries_.push_back(entry);
        }
    }
    if (entries_.empty() || entries_[0].type != cfb::kRoot)
        damaged(QStringLiteral("the container has no root entry."));
}

void CompoundFileReader::readMiniStream() {
    const Entry& root = entries_[0];
    if (root.size == 0)
        return;
    miniStream_ = readRegular(root.start, root.size, QStringLiteral("the mini stream"));
    if (firstMiniFatSector_ == cfb::kEndOfChain || firstMiniFatSector_ == cfb::kFreeSector)
        return;
    const std::vector<std::uint32_t> sectors =
        chain(firstMiniFatSector_, fat_, kUnbounded, QStringLiteral("the mini allocation table"));
    const qsizetype perSector = sectorSize_ / 4;
    miniFat_.reserve(sectors.size() * perSector);
    for (std::uint32_t index : sectors) {
        const char* s = sector(index, QStringLiteral("the mini allocation table"));
        for (qsizetype i = 0; i < perSector; ++i)
            miniFat_.push_back(le::u32(s + 4 * i));
    }
}

std::vector<std::uint32_t> CompoundFileReader::chain(std::uint32_t start,
                                                     const std::vector<std::uint32_t>& table,
                                                     std::uint64_t needed, const QString& what) const {
    std::vector<std::uint32_t> out;
    if (needed != kUnbounded)
        out.reserve(needed);
    std::uint32_t current = start;
    while (out.size() < needed) {
        if (current == cfb::kEndOfChain && needed == kUnbounded)
            break;
        if (current >= table.size() || out.size() >= table.size())
            damaged(QStringLiteral("%1 is cut short or its sector chain is broken.").arg(what));
        out.push_back(current);
        current = table[current];
    }
    return out;
}

const char* CompoundFileReader::sector(std::uint32_t index, const QString& what) const {
    const std::uint64_t offset = (std::uint64_t(index) + 1) * std::uint64_t(sectorSize_);
    if (index >= sectorCount_ || offset + std::uint64_t(sectorSize_) > std::uint64_t(file_.size()))
        damaged(QStringLiteral("%1 lies outside the file.").arg(what));
    return file_.constData() + offset;
}

QByteArray CompoundFileReader::readRegular(std::uint32_t start, std::uint64_t size,
                                           const QString& what) const {
    if (size == 0)
        return QByteArray();
    if (size > sectorCount_ * std::uint64_t(sectorSize_))
        damaged(QStringLiteral("%1 is larger than the file.").arg(what));
    const std::vector<std::uint32_t> sectors = chain(start, fat_, ceilDiv(size, sectorSize_), what);
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    std::uint64_t done = 0;
    for (std::uint32_t index : sectors) {
        const std::uint64_t length = std::min<std::uint64_t>(sectorSize_, size - done);
        const std::uint64_t offset = (std::uint64_t(index) + 1) * std::uint64_t(sectorSize_);
        if (index >= sectorCount_ || offset + length > std::uint64_t(file_.size()))
            damaged(QStringLiteral("%1 is cut short.").arg(what));
        std::memcpy(out.data() + done, file_.constData() + offset, length);
        done += length;
    }
    return out;
}

QByteArray CompoundFileReader::readMini(std::uint32_t start, std::uint64_t size, const QString& what) const {
    if (size == 0)
        return QByteArray();
    const std::vector<std::uint32_t> sectors =
        chain(start, miniFat_, ceilDiv(size, cfb::kMiniSectorSize), what);
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    std::uint64_t done = 0;
    for (std::uint32_t index : sectors) {
        const std::uint64_t length = std::min<std::uint64_t>(cfb::kMiniSectorSize, size - done);
        const std::uint64_t offset = std::uint64_t(index) * cfb::kMiniSectorSize;
        if (offset + length > std::uint64_t(miniStream_.size()))
            damaged(QStringLiteral("%1 is cut short.").arg(what));
        std::memcpy(out.data() + done, miniStream_.constData() + offset, length);
        done += length;
    }
    return out;
}

std::vector<std::uint32_t> CompoundFileReader::children(std::uint32_t storage) const {
    // In-order walk of the storage's sibling tree; a link that leaves the directory, points to an
    // unused entry or comes back to an entry already seen makes the directory damaged.
    std::vector<std::uint32_t> out;
    std::vector<bool> seen(entries_.size(), false);
    std::vector<std::uint32_t> stack;
    std::uint32_t current = entries_[storage].child;
    while (current != cfb::kNoStream || !stack.empty()) {
        while (current != cfb::kNoStream) {
            if (current >= entries_.size() || seen[current] || entries_[current].type == cfb::kUnused ||
                entries_[current].type == cfb::kRoot)
                damaged(QStringLiteral("the directory tree is broken."));
            seen[current] = true;
            stack.push_back(current);
            current = entries_[current].left;
        }
        current = stack.back();
        stack.pop_back();
        out.push_back(current);
        current = entries_[current].right;
    }
    return out;
}

long long CompoundFileReader::findChild(std::uint32_t storage, const QString& name) const {
    for (std::uint32_t index : children(storage)) {
        if (entries_[index].name.compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

long long CompoundFileReader::find(const QString& path, bool wantStream) const {
    const QStringList parts = path.split(QLatin1Char('/'));
    std::uint32_t current = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const long long index = findChild(current, parts[i]);
        if (index < 0)
            return -1;
        const bool last = i == parts.size() - 1;
        const std::uint8_t type = entries_[std::size_t(index)].type;
        if (last)
            return (type == cfb::kStream) == wantStream ? index : -1;
        if (type != cfb::kStorage)
            return -1;
        current = std::uint32_t(index);
    }
    return -1;
}

bool CompoundFileReader::hasStream(const QString& path) const {
    return find(path, true) >= 0;
}

QByteArray CompoundFileReader::stream(const QString& path) const {
    const long long index = find(path, true);
    if (index < 0)
        damaged(QStringLiteral("the stream \"%1\" is missing.").arg(path));
    const Entry& entry = entries_[std::size_t(index)];
    const QString what = QStringLiteral("the stream \"%1\"").arg(path);
    return entry.size < miniStreamCutoff_ ? readMini(entry.start, entry.size, what)
                                          : readRegular(entry.start, entry.size, what);
}

QStringList CompoundFileReader::streamPaths() const {
    QStringList out;
    // Storages are entered once each, so a storage that links back to an ancestor cannot loop.
    std::vector<bool> entered(entries_.size(), false);
    std::vector<std::pair<std::uint32_t, QString>> pending{{0u, QString()}};
    entered[0] = true;
    while (!pending.empty()) {
        const auto [storage, prefix] = pending.back();
        pending.pop_back();
        for (std::uint32_t index : children(storage)) {
            const Entry& entry = entries_[index];
            const QString path = prefix.isEmpty() ? entry.name : prefix + QLatin1Char('/') + entry.name;
            if (entry.type == cfb::kStream) {
                out.append(path);
            } else if (entry.type == cfb::kStorage && !entered[index]) {
                entered[index] = true;
                pending.emplace_back(index, path);
            }
        }
    }
    return out;
}

} // namespace platform::sheet::encryption
