// The zip container of a workbook: listing, stored bytes, unpacking.
#include "platform/sheet/package/ZipReader.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/ZipWriter.h"

#include <algorithm>
#include <libdeflate.h>
#include <zip.h>

namespace platform::sheet {

namespace {

[[noreturn]] void damaged(const QString& detail) {
    throw SheetError(SheetError::Code::DamagedPackage,
                     QStringLiteral("The workbook file is damaged: %1.").arg(detail));
}

std::uint32_t dosTimeOf(zip* archive, zip_uint64_t index) {
    // libzip gives the time as a time_t; the save writes it back in the zip's own form.
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_MTIME))
        return 0x00210000u;
    return ZipWriter::dosTime(st.mtime);
}

} // namespace

ZipReader::ZipReader(QByteArray bytes)
    : bytes_(std::move(bytes)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        damaged(QStringLiteral("it cannot be read"));
    }
    archive_.reset(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive_) {
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        damaged(QStringLiteral("its zip container is broken (%1)").arg(why));
    }
    zip_error_fini(&error);
    const zip_int64_t count = zip_get_num_entries(archive_.get(), 0);
    entries_.reserve(std::size_t(count));
    std::uint64_t unpacked = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME))
            damaged(QStringLiteral("an entry of its zip container cannot be read"));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            damaged(QStringLiteral("an entry of its zip container is encrypted"));
        Entry entry;
        entry.name = st.name;
        entry.size = st.size;
        entry.compressedSize = st.comp_size;
        entry.crc = st.crc;
        entry.method = std::uint16_t(st.comp_method);
        entry.index = i;
        entry.dosTime = dosTimeOf(archive_.get(), zip_uint64_t(i));
        if (entry.method != ZIP_CM_STORE && entry.method != ZIP_CM_DEFLATE)
            damaged(QStringLiteral("the entry %1 uses a compression method workbooks do not use")
                        .arg(QString::fromStdString(entry.name)));
        if (entry.compressedSize > std::uint64_t(bytes_.size()))
            damaged(QStringLiteral("the entry %1 claims an impossible size")
                        .arg(QString::fromStdString(entry.name)));
        unpacked += std::min(entry.size, kMaxUnpackedSize + 1);
        if (unpacked > kMaxUnpackedSize)
            throw SheetError(SheetError::Code::TooLarge,
                             QStringLiteral("The workbook file unpacks to more than %1 MB, more than a "
                                            "workbook holds; it is not read.")
                                 .arg(kMaxUnpackedSize >> 20));
        entries_.push_back(std::move(entry));
    }
}

ZipReader::~ZipReader() = default;

void ZipReader::Discard::operator()(zip* archive) const {
    zip_discard(archive);
}

std::string ZipReader::readStored(const Entry& entry) const {
    zip_file_t* file = zip_fopen_index(archive_.get(), zip_uint64_t(entry.index), ZIP_FL_COMPRESSED);
    if (!file)
        damaged(QStringLiteral("the entry %1 cannot be opened").arg(QString::fromStdString(entry.name)));
    std::string data;
    data.resize(std::size_t(entry.compressedSize));
    zip_int64_t done = 0;
    while (std::uint64_t(done) < entry.compressedSize) {
        const zip_int64_t n = zip_fread(file, data.data() + done, entry.compressedSize - zip_uint64_t(done));
        if (n <= 0)
            break;
        done += n;
    }
    zip_fclose(file);
    if (std::uint64_t(done) != entry.compressedSize)
        damaged(QStringLiteral("the entry %1 is cut short").arg(QString::fromStdString(entry.name)));
    return data;
}

std::string ZipReader::unpack(const std::string& stored, const Entry& entry) {
    const QString name = QString::fromStdString(entry.name);
    std::string out;
    if (entry.method == ZIP_CM_STORE) {
        out = stored;
    } else {
        // Each thread keeps its decompressor: making one costs more than unpacking a small part.
        thread_local const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)>
            decompressor(libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
        if (!decompressor)
            damaged(QStringLiteral("the entry %1 cannot be unpacked").arg(name));
        out.resize(std::size_t(entry.size));
        // The claimed size must be the size exactly: a stream that is shorter, or still has
        // output when that size is full, is damaged.
        std::size_t produced = 0;
        const libdeflate_result rc = libdeflate_deflate_decompress(
            decompressor.get(), stored.data(), stored.size(), out.data(), out.size(), &produced);
        if (rc != LIBDEFLATE_SUCCESS || produced != entry.size)
            damaged(QStringLiteral("the entry %1 does not unpack").arg(name));
    }
    if (out.size() != entry.size)
        damaged(QStringLiteral("the entry %1 has the wrong size").arg(name));
    if (libdeflate_crc32(0, out.data(), out.size()) != entry.crc)
        damaged(QStringLiteral("the entry %1 fails its checksum").arg(name));
    return out;
}

} // namespace platform::sheet
