// Reads streams out of a compound file (the structured-storage container an encrypted workbook
// lives in) held in memory. Everything the file claims -- sector numbers, chains, sizes, directory
// links -- is checked before use; anything that does not hold is the damaged-file error, so a
// malformed or cut-short file never reads out of bounds or loops.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace platform::sheet::encryption {

class CompoundFileReader {
public:
    // One directory entry as stored: the tree links are indexes into entries(), or kNoStream.
    struct Entry {
        QString name;
        std::uint8_t type = 0;
        std::uint8_t colour = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    // True when the bytes begin with the compound-file signature (says nothing about the rest).
    static bool hasSignature(const QByteArray& file);

    // Reads the header, allocation tables and directory. Throws EncryptionError (DamagedFile).
    explicit CompoundFileReader(const QByteArray& file);

    // path names a stream below the root, storages separated by "/" ("EncryptionInfo",
    // "\x06DataSpaces/Version"); names are compared without regard to case, as the format says.
    bool hasStream(const QString& path) const;
    // The stream's bytes; a missing stream or one whose sectors are not all there is DamagedFile.
    QByteArray stream(const QString& path) const;

    // Every stream of the file as a path, in directory order.
    QStringList streamPaths() const;
    const std::vector<Entry>& entries() const { return entries_; }

private:
    void readHeader();
    void readFat();
    void readDirectory();
    void readMiniStream();

    std::vector<std::uint32_t> chain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                                     std::uint64_t limit, const QString& what) const;
    QByteArray readRegular(std::uint32_t start, std::uint64_t size, const QString& what) const;
    QByteArray readMini(std::uint32_t start, std::uint64_t size, const QString& what) const;
    const char* sector(std::uint32_t index, const QString& what) const;

    // Index of the entry at path, or -1; wantStream picks the kind of the last element.
    long long find(const QString& path, bool wantStream) const;
    long long findChild(std::uint32_t storage, const QString& name) const;
    std::vector<std::uint32_t> children(std::uint32_t storage) const;

    QByteArray file_;
    int majorVersion_ = 3;
    qsizetype sectorSize_ = 512;
    std::uint64_t sectorCount_ = 0;
    std::uint32_t fatSectorCount_ = 0;
    std::uint32_t firstDirectorySector_ = 0;
    std::uint32_t miniStreamCutoff_ = 4096;
    std::uint32_t firstMiniFatSector_ = 0;
    std::uint32_t firstDifatSector_ = 0;
    std::uint32_t difatSectorCount_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    QByteArray miniStream_;
};

} // namespace platform::sheet::encryption
