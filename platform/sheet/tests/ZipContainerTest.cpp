// The zip container as written part after part: each thread's compressor is kept from one part
// to the next, so a part must come out whole whatever was packed before it -- a part that does
// not shrink (stored as it is), a part larger than the compressor's output buffer, another
// compression level, an empty part -- and another program must read every part back.
#include "SheetTestSupport.h"
#include "platform/sheet/package/ZipReader.h"
#include "platform/sheet/package/ZipWriter.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

using namespace platform::sheet;

namespace {

std::string noise(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = char(rng() & 0xFF);
    return out;
}

std::string rows(std::size_t count) {
    std::string out;
    for (std::size_t r = 1; r <= count; ++r)
        out += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
               std::to_string(r * 7) + "</v></c></row>";
    return out;
}

} // namespace

TEST(ZipContainer, PartsPackedOneAfterAnotherComeBackWhole) {
    const struct {
        const char* name;
        std::string content;
        int level;
        std::uint16_t method; // 0 stored, 8 deflated
    } parts[] = {
        {"xl/worksheets/sheet1.xml", rows(20000), 3, 8}, // packs to more than one output buffer
        {"xl/worksheets/sheet2.xml", rows(10), 3, 8},    // right after a finished part
        {"xl/media/image1.png", noise(100000, 1), 3, 0}, // does not shrink: given up, stored
        {"xl/worksheets/sheet3.xml", rows(3000), 3, 8},  // after a part given up half way
        {"xl/empty.xml", std::string(), 3, 0},
        {"xl/styles.xml", rows(500), 9, 8}, // another level
        {"xl/media/image2.bin", noise(3, 2), 1, 0},
        {"docProps/app.xml", "<Properties/>", 3, 0}, // too small to shrink
        {"xl/worksheets/sheet4.xml", rows(50), 3, 8},
    };
    ZipWriter writer;
    for (const auto& part : parts) {
        const ZipWriter::Stored stored = ZipWriter::compress(part.content, part.level);
        EXPECT_EQ(stored.method, part.method) << part.name;
        EXPECT_EQ(stored.size, part.content.size()) << part.name;
        if (part.method == 8) {
            EXPECT_LT(stored.data.size(), part.content.size() / 2) << part.name;
        }
        writer.add(part.name, stored);
    }
    const QByteArray zip = writer.finish();

    const ZipReader reader(zip);
    ASSERT_EQ(reader.entries().size(), std::size(parts));
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        const ZipReader::Entry& entry = reader.entries()[i];
        EXPECT_EQ(entry.name, parts[i].name);
        EXPECT_TRUE(ZipReader::unpack(reader.readStored(entry), entry) == parts[i].content) << parts[i].name;
    }

    // Python's zipfile, which checks every part's checksum, reads the same.
    const QString path = testsupport::freshDir(QStringLiteral("zip")) + QStringLiteral("/packed.zip");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(zip);
    file.close();
    const auto read = sheettest::zipParts(path);
    ASSERT_EQ(read.size(), qsizetype(std::size(parts)));
    for (const auto& part : parts)
        EXPECT_TRUE(read.value(QString::fromLatin1(part.name)).toStdString() == part.content) << part.name;
}
