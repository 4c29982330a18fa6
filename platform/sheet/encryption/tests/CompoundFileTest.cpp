// The compound-file reader and writer: round trips on both sides of the mini-stream cutoff and past
// the point where the allocation table needs extension sectors, agreement with an independent reader
// (olefile), red-black validity of the directory trees we write, the container LibreOffice writes,
// and refusal of damaged containers with the damaged-file error.
#include "ExternalTool.h"
#include "platform/sheet/encryption/CompoundFileReader.h"
#include "platform/sheet/encryption/CompoundFileWriter.h"
#include "platform/sheet/encryption/EncryptionError.h"
#include "platform/sheet/encryption/LittleEndian.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace platform::sheet::encryption;
using encryptiontest::readFile;
using encryptiontest::runPython;
using encryptiontest::writeFile;

namespace {

QByteArray patterned(qsizetype size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    std::minstd_rand random(std::uint32_t(seed + 1));
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random() & 0xFF);
    return bytes;
}

using StreamMap = std::map<QString, QByteArray>;

QByteArray writeAll(const StreamMap& streams) {
    CompoundFileWriter writer;
    for (const auto& [path, data] : streams)
        writer.addStream(path, data);
    return writer.toBytes();
}

StreamMap readAll(const QByteArray& file) {
    const CompoundFileReader reader(file);
    StreamMap out;
    for (const QString& path : reader.streamPaths())
        out[path] = reader.stream(path);
    return out;
}

// Streams across the size classes: empty, mini sectors, the 4096-byte cutoff, regular sectors, nested.
StreamMap sampleStreams() {
    StreamMap streams;
    const std::pair<const char*, qsizetype> cases[] = {
        {"Empty", 0},           {"One", 1},
        {"MiniEdge", 4095},     {"Cutoff", 4096},
        {"Regular", 4097},      {"Storage/Nested", 100},
        {"Storage/Big", 70000}, {"Storage/Deeper/Leaf", 64},
    };
    int seed = 0;
    for (const auto& [path, size] : cases)
        streams[QString::fromLatin1(path)] = patterned(size, seed++);
    streams[QChar(6) + QStringLiteral("DataSpaces/Version")] = patterned(76, seed++);
    return streams;
}

std::uint32_t headerField(const QByteArray& file, int offset) {
    return le::u32(file.constData() + offset);
}

TEST(CompoundFile, StreamsOfEverySizeClassRoundTrip) {
    const StreamMap streams = sampleStreams();
    EXPECT_EQ(readAll(writeAll(streams)), streams);
}

TEST(CompoundFile, LargeFileGrowsTableExtensionSectorsAndStillRoundTrips) {
    // 109 table sectors in the header cover about 7 MB; 9 MB needs extension sectors.
    StreamMap streams;
    streams[QStringLiteral("Large")] = patterned(9 * 1024 * 1024 + 17, 7);
    streams[QStringLiteral("Small")] = patterned(300, 8);
    const QByteArray file = writeAll(streams);
    EXPECT_GT(headerField(file, 72), 0u) << "no extension sectors were written";
    EXPECT_EQ(readAll(file), streams);
}

TEST(CompoundFile, IndependentReaderSeesTheSameStreams) {
    StreamMap streams = sampleStreams();
    streams[QStringLiteral("Large")] = patterned(9 * 1024 * 1024 + 17, 9);
    const QString path = testsupport::freshDir() + QStringLiteral("/written.cfb");
    ASSERT_TRUE(writeFile(path, writeAll(streams)));

    const QString script =
        QStringLiteral("import hashlib, sys, olefile\n"
                       "ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)\n"
                       "for entry in ole.listdir(streams=True, storages=False):\n"
                       "    data = ole.openstream(entry).read()\n"
                       "    print('/'.join(entry).encode('unicode_escape').decode(), len(data), "
                       "hashlib.sha256(data).hexdigest())\n");
    const auto result = runPython({QStringLiteral("-c"), script, path});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();

    QStringList expected;
    for (const auto& [name, data] : streams) {
        const QString escaped = name.startsWith(QChar(6)) ? QStringLiteral("\\x06") + name.mid(1) : name;
        expected << QStringLiteral("%1 %2 %3")
                        .arg(escaped)
                        .arg(data.size())
                        .arg(QString::fromLatin1(
                            QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex()));
    }
    QStringList seen = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    expected.sort();
    seen.sort();
    EXPECT_EQ(seen, expected);
}

// Walks one storage's sibling tree: checks sibling order, no red entry with a red child, and
// returns the black height (or -1 when two paths differ).
int blackHeight(const std::vector<CompoundFileReader::Entry>& entries, std::uint32_t id,
                QStringList& inOrder) {
    if (id == 0xFFFFFFFF)
        return 1;
    const auto& entry = entries[id];
    if (entry.colour == 0) {
        for (std::uint32_t childId : {entry.left, entry.right}) {
            if (childId != 0xFFFFFFFF && entries[childId].colour == 0)
                return -1;
        }
    }
    const int left = blackHeight(entries, entry.left, inOrder);
    inOrder << entry.name;
    const int right = blackHeight(entries, entry.right, inOrder);
    if (left < 0 || right < 0 || left != right)
        return -1;
    return left + (entry.colour == 1 ? 1 : 0);
}

TEST(CompoundFile, DirectorySiblingTreesAreValidRedBlackTrees) {
    for (int count = 1; count <= 40; ++count) {
        StreamMap streams;
        for (int i = 0; i < count; ++i) // names of different lengths and cases
            streams[QStringLiteral("%1%2")
                        .arg(i % 2 ? QStringLiteral("s") : QStringLiteral("Stream"))
                        .arg(i * 7)] = patterned(10, i);
        const CompoundFileReader reader(writeAll(streams));
        const auto& entries = reader.entries();
        const std::uint32_t root = entries[0].child;
        ASSERT_EQ(entries[root].colour, 1) << count << " children: the tree's root is red";
        QStringList inOrder;
        ASSERT_GT(blackHeight(entries, root, inOrder), 0) << count << " children: red-black rules broken";
        ASSERT_EQ(inOrder.size(), count);
        for (qsizetype i = 1; i < inOrder.size(); ++i) {
            const QString& a = inOrder[i - 1];
            const QString& b = inOrder[i];
            ASSERT_TRUE(a.size() < b.size() || (a.size() == b.size() && a.toUpper() < b.toUpper()))
                << count << " children: " << a.toStdString() << " before " << b.toStdString();
        }
    }
}

TEST(CompoundFile, ReadsTheContainerLibreOfficeWrites) {
    const CompoundFileReader reader(
        readFile(testsupport::fixturePath(QStringLiteral("encrypted/standard_lo.xlsx"))));
    QStringList paths = reader.streamPaths();
    paths.sort();
    EXPECT_EQ(paths, (QStringList{QStringLiteral("EncryptedPackage"), QStringLiteral("EncryptionInfo")}));
    EXPECT_EQ(reader.stream(QStringLiteral("encryptioninfo")).size(), 224);
    const QByteArray package = reader.stream(QStringLiteral("EncryptedPackage"));
    EXPECT_EQ(package.size(), 5064);
    EXPECT_EQ(le::u64(package.constData()), 5042u); // the size of the plain package inside
}

// A small container: one mini stream and one regular stream of three sectors.
QByteArray damageSubject() {
    StreamMap streams;
    streams[QStringLiteral("Mini")] = patterned(200, 1);
    streams[QStringLiteral("Regular")] = patterned(5000, 2);
    return writeAll(streams);
}

qsizetype sectorOffset(std::uint32_t sector) {
    return (qsizetype(sector) + 1) * 512;
}

// Offset of directory entry `index` (entries are written in the order the writer created them:
// root, then streams in the order added -- here "Mini", then "Regular").
qsizetype entryOffset(const QByteArray& file, int index) {
    return sectorOffset(headerField(file, 48)) + index * 128;
}

void putU32(QByteArray& file, qsizetype offset, std::uint32_t value) {
    le::putU32(file.data() + offset, value);
}

TEST(CompoundFile, DamagedContainersAreRefusedAsDamaged) {
    const QByteArray good = damageSubject();
    ASSERT_NO_THROW(readAll(good));
    const std::pair<const char*, std::function<void(QByteArray&)>> cases[] = {
        {"cut inside the header", [](QByteArray& f) { f.truncate(300); }},
        {"wrong signature", [](QByteArray& f) { f[1] = 'X'; }},
        {"wrong byte order mark", [](QByteArray& f) { f[28] = 0; }},
        {"unknown sector size", [](QByteArray& f) { f[30] = 10; }},
        {"table sector outside the file", [](QByteArray& f) { putU32(f, 76, 0x7FFFFFF0); }},
        {"table larger than the file", [](QByteArray& f) { putU32(f, 44, 5000); }},
        {"directory chain loops",
         [](QByteArray& f) {
             const std::uint32_t dir = headerField(f, 48);
             putU32(f, sectorOffset(headerField(f, 76)) + 4 * dir, dir);
         }},
        {"directory outside the file", [](QByteArray& f) { putU32(f, 48, 0x00FFFFFF); }},
        {"sibling link loops", [](QByteArray& f) { putU32(f, entryOffset(f, 1) + 68, 1); }},
        {"sibling link leaves the directory", [](QByteArray& f) { putU32(f, entryOffset(f, 2) + 72, 4000); }},
        {"stream longer than its chain", [](QByteArray& f) { putU32(f, entryOffset(f, 2) + 120, 50000); }},
        {"mini stream longer than its chain",
         [](QByteArray& f) { putU32(f, entryOffset(f, 1) + 120, 3000); }},
        {"root entry missing", [](QByteArray& f) { f[entryOffset(f, 0) + 66] = 0; }},
        {"file cut short", [](QByteArray& f) { f.truncate(f.size() - 700); }},
    };
    for (const auto& [name, damage] : cases) {
        QByteArray file = good;
        damage(file);
        try {
            readAll(file);
            ADD_FAILURE() << name << ": read without complaint";
        } catch (const EncryptionError& e) {
            EXPECT_EQ(e.code(), EncryptionError::Code::DamagedFile) << name << ": " << e.what();
        }
    }
}

TEST(CompoundFile, RandomDamageGivesOnlyTheModulesError) {
    // Every cut and many random corruptions of a valid container either read or throw the
    // module's error; any other exception fails the test, a bad access crashes it.
    const QByteArray good = damageSubject();
    for (qsizetype length = 0; length < good.size(); length += 29) {
        try {
            readAll(good.left(length));
        } catch (const EncryptionError&) {
        }
    }
    std::mt19937 random(20240611);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray file = good;
        const int changes = 1 + int(random() % 4);
        for (int c = 0; c < changes; ++c) {
            // Mostly the header and the tail (mini stream, tables, directory), where the structure lives.
            qsizetype at = 0;
            switch (random() % 3) {
            case 0:
                at = qsizetype(random() % 512);
                break;
            case 1:
                at = good.size() - 1 - qsizetype(random() % 2048);
                break;
            default:
                at = qsizetype(random() % good.size());
            }
            file[at] = char(random() & 0xFF);
        }
        try {
            readAll(file);
        } catch (const EncryptionError& e) {
            EXPECT_EQ(e.code(), EncryptionError::Code::DamagedFile);
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

} // namespace
