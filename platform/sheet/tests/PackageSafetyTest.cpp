// Packages that must not be taken as they are: entry names that could reach outside the package
// or name one part twice, parts the layer reads without a content type, and encrypted
// workbooks that are damaged. Each is refused as damaged, never opened in part.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/encryption/CompoundFileWriter.h"
#include "platform/sheet/package/Package.h"
#include "platform/sheet/package/ZipReader.h"
#include "platform/sheet/package/ZipWriter.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::fixture;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// LibreOffice's workbook repacked: each entry's content through `change` (nullopt drops the
// entry), then the extra entries.
QByteArray repacked(const std::function<std::optional<std::string>(const std::string&, std::string)>& change,
                    const std::vector<std::pair<std::string, std::string>>& extra = {}) {
    const ZipReader reader(fileBytes(fixture(QStringLiteral("libreoffice.xlsx"))));
    ZipWriter writer;
    for (const ZipReader::Entry& entry : reader.entries()) {
        const auto content = change(entry.name, ZipReader::unpack(reader.readStored(entry), entry));
        if (content)
            writer.add(entry.name, ZipWriter::compress(*content, 6));
    }
    for (const auto& [name, content] : extra)
        writer.add(name, ZipWriter::compress(content, 6));
    return writer.finish();
}

QByteArray withExtraEntry(const std::string& name) {
    return repacked([](const std::string&, std::string content) { return content; }, {{name, "<x/>"}});
}

SheetError::Code refusal(const QByteArray& bytes, const QString& password = {}) {
    try {
        Workbook::openBytes(bytes, QStringLiteral("Budget.xlsx"), OpenOptions::withPassword(password));
    } catch (const SheetError& e) {
        return e.code();
    }
    ADD_FAILURE() << "opened";
    return SheetError::Code::NotAvailable;
}

} // namespace

TEST(PackageSafety, TheTraversalPackageIsRefusedAsDamaged) {
    try {
        Workbook::open(fixture(QStringLiteral("traversal.xlsx")), OpenOptions::readOnlyAccess());
        FAIL() << "opened";
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::DamagedPackage);
        EXPECT_TRUE(e.description().contains(u"../../evil.txt")) << e.what();
    }
}

TEST(PackageSafety, EntryNamesThatLeaveTheirFolderOrRepeatAPartAreRefused) {
    const char* refused[] = {
        "../../evil.txt",      "xl/../../evil.xml", "/etc/evil.xml",      "xl\\worksheets\\evil.xml",
        "xl/./evil.xml",       "xl//evil.xml",      "xl/%2e%2e/evil.xml", "xl/%2E./evil.xml",
        "xl%2fworksheets.xml", "xl%5Cevil.xml",     "XL/Workbook.xml",    "../",
    };
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        EXPECT_EQ(refusal(withExtraEntry(name)), SheetError::Code::DamagedPackage);
    }
    // Names that only look like those are sound parts, kept as they are.
    for (const char* name : {"customXml/item..1.xml", "xl/media/image%201.png", "xl/.hidden/a.xml"}) {
        SCOPED_TRACE(name);
        auto wb = Workbook::openBytes(withExtraEntry(name), QStringLiteral("Budget.xlsx"));
        wb->sheet(0).setEntry({1, 1}, QStringLiteral("Kept"));
        const QByteArray saved = wb->toBytes();
        const ZipReader again(saved);
        EXPECT_TRUE(std::any_of(again.entries().begin(), again.entries().end(),
                                [&](const ZipReader::Entry& e) { return e.name == name; }));
    }
}

TEST(PackageSafety, ThePackageNeverWritesANameItWouldRefuse) {
    Package package;
    for (const char* name : {"../evil.xml", "/xl/evil.xml", "xl\\evil.xml", "xl/./evil.xml"}) {
        SCOPED_TRACE(name);
        try {
            package.write(name, "<x/>");
            ADD_FAILURE() << "written";
        } catch (const SheetError& e) {
            EXPECT_EQ(e.code(), SheetError::Code::WriteFailed);
        }
    }
    EXPECT_TRUE(package.partNames().empty());
}

TEST(PackageSafety, APartTheLayerReadsWithoutAContentTypeIsRefused) {
    // The content types without the default for .xml and without one part's override: that part
    // has no type.
    auto withoutTypeFor = [](const std::string& part) {
        return repacked([part](const std::string& name, std::string content) -> std::optional<std::string> {
            if (name != "[Content_Types].xml")
                return content;
            auto drop = [&](const std::string& element) {
                const std::size_t at = content.find(element);
                EXPECT_NE(at, std::string::npos) << element;
                if (at != std::string::npos)
                    content.erase(at, content.find("/>", at) + 2 - at);
            };
            drop("<Default Extension=\"xml\"");
            drop("<Override PartName=\"/" + part + "\"");
            return content;
        });
    };
    for (const char* part : {"xl/worksheets/sheet2.xml", "xl/sharedStrings.xml", "xl/styles.xml"}) {
        SCOPED_TRACE(part);
        EXPECT_EQ(refusal(withoutTypeFor(part)), SheetError::Code::DamagedPackage);
    }
    // A part the layer does not read keeps the package whole without a type: it is kept as is.
    auto wb = Workbook::openBytes(withoutTypeFor("docProps/custom.xml"), QStringLiteral("Budget.xlsx"));
    EXPECT_EQ(wb->sheet(1).value({2, 2}), CellValue::fromNumber(2401));
}

TEST(PackageSafety, ADamagedEncryptedWorkbookIsDamagedNeverALegacyWorkbook) {
    const QByteArray whole = fileBytes(fixture(QStringLiteral("encrypted.xlsx")));
    const QByteArray half = fileBytes(fixture(QStringLiteral("damaged-encrypted.xlsx")));
    const struct {
        QByteArray bytes;
        const char* what;
    } files[] = {
        {half, "cut in half"},
        {whole.left(whole.size() / 4), "a quarter left"},
        {whole.left(whole.size() * 3 / 4), "three quarters left"},
        {whole.left(whole.size() - 100), "its last directory entry cut"},
    };
    for (const auto& f : files) {
        for (const char* password : {"", "opensesame", "wrong"}) {
            SCOPED_TRACE(std::string(f.what) + ", password '" + password + "'");
            EXPECT_EQ(refusal(f.bytes, QString::fromLatin1(password)), SheetError::Code::DamagedPackage);
        }
    }
    // The whole file still opens, and a legacy workbook is still told as one.
    EXPECT_EQ(Workbook::openBytes(whole, QStringLiteral("Budget.xlsx"),
                                  OpenOptions::withPassword(QStringLiteral("opensesame")))
                  ->sheet(1)
                  .value({2, 2}),
              CellValue::fromNumber(2401));
    EXPECT_EQ(refusal(fileBytes(fixture(QStringLiteral("legacy.xls")))), SheetError::Code::LegacyFormat);
    // A compound file that holds neither is no workbook at all.
    encryption::CompoundFileWriter other;
    other.addStream(QStringLiteral("WordDocument"), QByteArray(5000, 'x'));
    EXPECT_EQ(refusal(other.toBytes()), SheetError::Code::NotAWorkbook);
}
