// Custom document properties (docProps/custom.xml) as the layer reads and writes them: set on
// workbooks that openpyxl and LibreOffice made (with and without the part, in either conformance
// class), read back after the save with every other part kept byte for byte; carried through a
// LibreOffice save; and the properties another program keeps beside ours left as they were.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

namespace {

// The parts the layer writes to add a property.
const QStringList kPropertyParts{QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
                                 QStringLiteral("docProps/custom.xml")};

QString read(const QString& path, const QString& name) {
    std::unique_ptr<Workbook> book = Workbook::open(path, OpenOptions::readOnlyAccess());
    const QString value = book->customProperty(name).value_or(QStringLiteral("<none>"));
    book->close();
    return value;
}

} // namespace

TEST(CustomProperties, SetOnWorkbooksOfOtherProgramsAndReadBackWithTheOtherPartsKept) {
    const struct {
        const char* fixture;
        const char* relationship; // the link from the package to the part, as the class spells it
    } cases[] = {
        {"basic.xlsx",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties"},
        {"libreoffice.xlsx",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties"},
        {"strict.xlsx", "http://purl.oclc.org/ooxml/officeDocument/relationships/customProperties"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString path = sheettest::copyOfFixture(QString::fromLatin1(c.fixture));
        const QMap<QString, QByteArray> before = sheettest::zipParts(path);
        {
            std::unique_ptr<Workbook> book = Workbook::open(path);
            EXPECT_FALSE(book->customProperty(QStringLiteral("LumivaneBudget")).has_value());
            book->setCustomProperty(QStringLiteral("LumivaneBudget"), QStringLiteral("Sales & \"Co\" <1>"));
            book->setCustomProperty(QStringLiteral("LumivaneCut"), QStringLiteral("first"));
            book->setCustomProperty(QStringLiteral("lumivanecut"), QStringLiteral("second"));
            EXPECT_FALSE(book->saved());
            book->save();
            book->close();
        }
        EXPECT_EQ(read(path, QStringLiteral("lumivanebudget")), QStringLiteral("Sales & \"Co\" <1>"));
        EXPECT_EQ(read(path, QStringLiteral("LumivaneCut")), QStringLiteral("second"));

        const QMap<QString, QByteArray> after = sheettest::zipParts(path);
        for (auto part = before.begin(); part != before.end(); ++part) {
            if (!kPropertyParts.contains(part.key())) {
                EXPECT_EQ(after.value(part.key()), part.value()) << part.key().toStdString();
            }
        }
        EXPECT_TRUE(after.value(QStringLiteral("_rels/.rels")).contains(c.relationship));
        EXPECT_TRUE(after.value(QStringLiteral("[Content_Types].xml"))
                        .contains("PartName=\"/docProps/custom.xml\" "
                                  "ContentType=\"application/vnd.openxmlformats-officedocument.custom-"
                                  "properties+xml\""));
        EXPECT_EQ(after.value(QStringLiteral("docProps/custom.xml")).count("name=\"LumivaneCut\""), 1);
    }
}

// A workbook the layer made with its properties, opened, typed into and saved by LibreOffice: the
// properties are there, with LibreOffice's cell.
TEST(CustomProperties, ALibreOfficeSaveKeepsThem) {
    const QString path =
        testsupport::freshDir(QStringLiteral("custom-properties")) + QStringLiteral("/Costs.xlsx");
    {
        std::unique_ptr<Workbook> book = Workbook::create(QStringLiteral("Costs.xlsx"));
        book->sheet(0).setEntry({1, 1}, QStringLiteral("Item"));
        book->setCustomProperty(QStringLiteral("LumivaneBudget"), QStringLiteral("Sales"));
        book->setCustomProperty(QStringLiteral("LumivaneSheet"), QStringLiteral("Costs"));
        book->saveCopyAs(path);
        book->close();
    }
    sheettest::runPythonFile(testsupport::fixturePath(QStringLiteral("lo_cells.py")),
                             {QStringLiteral("edit"), path, QStringLiteral(R"([[1, "B2", "70"]])")});
    EXPECT_EQ(read(path, QStringLiteral("LumivaneBudget")), QStringLiteral("Sales"));
    EXPECT_EQ(read(path, QStringLiteral("LumivaneSheet")), QStringLiteral("Costs"));
    std::unique_ptr<Workbook> book = Workbook::open(path, OpenOptions::readOnlyAccess());
    EXPECT_EQ(book->sheet(0).value({2, 2}).toText(), QStringLiteral("70")) << "LibreOffice saved the file";
}

// Properties of other kinds and other programs' own are read as text and kept as written when
// the layer sets one of its own.
TEST(CustomProperties, ThePropertiesOfOtherProgramsStayAsTheyWere) {
    const QString path = sheettest::copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    sheettest::runPython(
        QStringLiteral("import sys, zipfile, shutil\n"
                       "src = sys.argv[1] + '.orig'\n"
                       "shutil.move(sys.argv[1], src)\n"
                       "with zipfile.ZipFile(src) as z, zipfile.ZipFile(sys.argv[1], 'w', "
                       "zipfile.ZIP_DEFLATED) as out:\n"
                       "    for item in z.infolist():\n"
                       "        data = z.read(item.filename)\n"
                       "        if item.filename == 'docProps/custom.xml':\n"
                       "            data = data.replace(b'></Properties>', b'><property "
                       "fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"2\" "
                       "name=\"Owner\"><vt:lpwstr>Ann</vt:lpwstr>"
                       "</property><property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"5\" "
                       "name=\"Revision\"><vt:i4>7</vt:i4></property></Properties>')\n"
                       "        out.writestr(item, data)\n"),
        {path});
    {
        std::unique_ptr<Workbook> book = Workbook::open(path);
        EXPECT_EQ(book->customProperty(QStringLiteral("owner")), QStringLiteral("Ann"));
        EXPECT_EQ(book->customProperty(QStringLiteral("Revision")), QStringLiteral("7"));
        book->setCustomProperty(QStringLiteral("LumivaneBudget"), QStringLiteral("Sales"));
        book->save();
        book->close();
    }
    const QByteArray custom = sheettest::zipParts(path).value(QStringLiteral("docProps/custom.xml"));
    EXPECT_TRUE(custom.contains("name=\"Owner\"><vt:lpwstr>Ann</vt:lpwstr>")) << custom.constData();
    EXPECT_TRUE(custom.contains("pid=\"5\" name=\"Revision\"><vt:i4>7</vt:i4>")) << custom.constData();
    EXPECT_TRUE(custom.contains("pid=\"6\" name=\"LumivaneBudget\"><vt:lpwstr>Sales</vt:lpwstr>"))
        << custom.constData();
    EXPECT_EQ(read(path, QStringLiteral("Owner")), QStringLiteral("Ann"));
}
