// Reading workbooks' macro projects: a project LibreOffice wrote from module sources, checked
// against what LibreOffice reads back from it; the procedures of a module as the listing walks
// them; the stream compression on hand-made containers; damaged projects refused with the layer's
// error; and the part kept byte for byte when the workbook is saved.
#include "platform/sheet/MacroProject.h"

#include "SheetTestSupport.h"
#include "platform/sheet/CodeModule.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/macro/VbaCompression.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <optional>

using namespace platform::sheet;
using sheettest::fixture;

namespace {

using Type = MacroComponent::Type;

QByteArray projectPart(const QString& name) {
    auto wb = Workbook::open(fixture(name), OpenOptions::readOnlyAccess());
    const std::optional<QByteArray> part = wb->macroProjectPart();
    EXPECT_TRUE(part.has_value()) << name.toStdString();
    return part.value_or(QByteArray());
}

QStringList names(const MacroProject& project) {
    QStringList list;
    for (const MacroComponent& c : project.components())
        list << c.name;
    return list;
}

QStringList procedureNames(const CodeModule& code) {
    QStringList list;
    for (const CodeModule::Procedure& p : code.procedures())
        list << p.name;
    return list;
}

// LibreOffice's reading of a module, less the two lines it puts at the top of every module it
// reads from a macro project, and less the comment it puts before a one-line procedure, which
// its own language does not take.
QStringList libreOfficeLines(const QString& source) {
    QStringList lines = source.split(u'\n');
    for (QString& line : lines)
        if (line.startsWith(u"Rem removed unmatched Sub/End: "))
            line.remove(0, qsizetype(std::char_traits<char16_t>::length(u"Rem removed unmatched Sub/End: ")));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty() && lines.first().startsWith(u"Rem Attribute VBA_ModuleType="))
        lines.removeFirst();
    if (!lines.isEmpty() && lines.first() == u"Option VBASupport 1")
        lines.removeFirst();
    return lines;
}

QStringList withoutTrailingBlanks(QStringList lines) {
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

TEST(MacroProject, ModulesOfAProjectLibreOfficeWroteComeInTheProjectsOrderWithTheirKinds) {
    const MacroProject project = MacroProject::read(projectPart(QStringLiteral("lumicell/macros.xlsm")));
    EXPECT_EQ(project.name(), u"VBAProject");
    EXPECT_EQ(names(project), (QStringList{"Module1", "Class1", "Declarations", "Module2"}));
    EXPECT_EQ(project.find(QStringLiteral("module2"))->type, Type::StandardModule);
    EXPECT_EQ(project.find(QStringLiteral("Declarations"))->type, Type::StandardModule);
    EXPECT_NE(project.find(QStringLiteral("Class1"))->type, Type::StandardModule);
    EXPECT_EQ(project.find(QStringLiteral("Missing")), nullptr);
}

TEST(MacroProject, EveryModulesCodeIsWhatLibreOfficeReadsBackFromTheSamePart) {
    QFile file(fixture(QStringLiteral("lumicell/macros.expected.json")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray expected = QJsonDocument::fromJson(file.readAll()).array();
    const MacroProject project = MacroProject::read(projectPart(QStringLiteral("lumicell/macros.xlsm")));
    ASSERT_EQ(qsizetype(project.components().size()), expected.size());
    for (const QJsonValue& value : expected) {
        const QJsonObject theirs = value.toObject();
        const QString name = theirs.value(u"name").toString();
        const MacroComponent* ours = project.find(name);
        ASSERT_NE(ours, nullptr) << name.toStdString();
        EXPECT_EQ(ours->type == Type::StandardModule, theirs.value(u"kind").toString() == u"standard")
            << name.toStdString();
        EXPECT_EQ(withoutTrailingBlanks(ours->code.lines()),
                  withoutTrailingBlanks(libreOfficeLines(theirs.value(u"source").toString())))
            << name.toStdString();
    }
    // Module1 spans several compressed chunks of 4096 bytes.
    EXPECT_GT(project.find(QStringLiteral("Module1"))->code.text().size(), 3 * 4096);
}

TEST(MacroProject, ProceduresOfTheModulesAsTheListingSeesThem) {
    const MacroProject project = MacroProject::read(projectPart(QStringLiteral("lumicell/macros.xlsm")));
    const CodeModule& module2 = project.find(QStringLiteral("Module2"))->code;
    EXPECT_EQ(procedureNames(module2),
              (QStringList{"AddMonth", "ResetTotal", "Twice", "Level", "Level", "OneLiner", "FormatSheet"}));
    EXPECT_EQ(module2.CountOfDeclarationLines(), 3) << "Option Explicit, Dim, Declare";
    // The comment above the first procedure belongs to it; the walk steps procedure by procedure.
    EXPECT_EQ(module2.ProcOfLine(module2.CountOfDeclarationLines() + 1)->name, u"AddMonth");
    EXPECT_EQ(module2.ProcOfLine(module2.CountOfDeclarationLines()), nullptr);
    EXPECT_EQ(module2.procedures()[3].kind, CodeModule::ProcKind::Property);
    const CodeModule& module1 = project.find(QStringLiteral("Module1"))->code;
    ASSERT_EQ(module1.procedures().size(), 200u);
    EXPECT_EQ(module1.procedures().front().name, u"Month001");
    EXPECT_EQ(module1.procedures().back().name, u"Month200");
    const CodeModule& declarations = project.find(QStringLiteral("Declarations"))->code;
    EXPECT_TRUE(declarations.procedures().empty());
    EXPECT_EQ(declarations.CountOfDeclarationLines(), 3);
}

TEST(MacroProject, ProcedureExtentsOfHandWrittenCode) {
    struct Case {
        const char* what;
        const char* source;
        int declarationLines;
        // name:start:count for each procedure
        const char* procedures;
    };
    const Case cases[] = {
        {"attributes hidden, declarations, a comment that belongs to the procedure after it",
         "Attribute VB_Name = \"M\"\r\nDim a\r\n\r\n' note\r\nSub A()\r\nEnd Sub\r\n", 1, "A:2:4"},
        {"the lines after the last End go with the last procedure",
         "Sub A()\r\nEnd Sub\r\nFunction B() As Long\r\nB = 1\r\nEnd Function\r\n\r\n\r\n", 0, "A:1:2 B:3:5"},
        {"a one-line procedure and a header continued on the next line",
         "Sub A(): x = 1: End Sub\r\nPublic Static Sub B(x, _\r\n  y)\r\nEnd Sub\r\n", 0, "A:1:1 B:2:3"},
        {"an End that never comes ends the procedure where the next one starts",
         "Private Sub A()\r\nx = 1\r\nSub B()\r\nEnd Sub", 0, "A:1:2 B:3:2"},
        {"End Sub in a comment or a string does not end the procedure",
         "Sub A()\r\n' End Sub\r\nx = \"End Sub\"\r\nEnd Sub ' done\r\n", 0, "A:1:4"},
        {"a declared outside function is a declaration", "Private Declare Function F Lib \"k\" ()\r\n", 1,
         ""},
        {"lone LF line ends", "Dim a\nSub A()\nEnd Sub\n", 1, "A:2:2"},
        {"empty module", "", 0, ""},
    };
    for (const Case& c : cases) {
        const CodeModule code(QString::fromUtf8(c.source));
        QStringList got;
        for (const CodeModule::Procedure& p : code.procedures())
            got << QStringLiteral("%1:%2:%3").arg(p.name).arg(p.startLine).arg(p.lineCount);
        EXPECT_EQ(got.join(u' '), QString::fromUtf8(c.procedures)) << c.what;
        EXPECT_EQ(code.CountOfDeclarationLines(), c.declarationLines) << c.what;
    }
}

TEST(MacroProject, CompressedContainers) {
    struct Case {
        const char* what;
        QByteArray data;
        std::optional<QByteArray> result; // none: the damaged-project error
    };
    const Case cases[] = {
        {"literals and a copy token that overlaps what it makes", QByteArray::fromHex("0105b0086162630320"),
         QByteArray("abcabcabc")},
        {"literals only", QByteArray::fromHex("0103b000414243"), QByteArray("ABC")},
        {"a stored chunk", QByteArray::fromHex("01ff3f") + QByteArray(4096, 'D'), QByteArray(4096, 'D')},
        {"no signature byte", QByteArray::fromHex("0205b0086162630320"), std::nullopt},
        {"a chunk header with a wrong signature", QByteArray::fromHex("010580086162630320"), std::nullopt},
        {"a copy token before any byte", QByteArray::fromHex("0102b0010020"), std::nullopt},
        {"a copy token reaching before its chunk", QByteArray::fromHex("0104b002610030"), std::nullopt},
        {"a copy token cut short", QByteArray::fromHex("0104b0026103"), std::nullopt},
        {"a stored chunk cut short", QByteArray::fromHex("01ff3f414243"), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
    };
    for (const Case& c : cases) {
        if (c.result) {
            EXPECT_EQ(macro::decompress(c.data, 0, u"test"_qs), *c.result) << c.what;
            continue;
        }
        try {
            macro::decompress(c.data, 0, u"test"_qs);
            ADD_FAILURE() << c.what;
        } catch (const SheetError& e) {
            EXPECT_EQ(e.code(), SheetError::Code::DamagedMacroProject) << c.what;
        }
    }
}

TEST(MacroProject, DamagedProjectsAreRefusedWithTheLayersError) {
    const QByteArray sound = projectPart(QStringLiteral("lumicell/macros.xlsm"));
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"not a compound file", QByteArray("Attribute VB_Name = \"Module1\"")},
        {"cut in half", sound.left(sound.size() / 2)},
        {"the header alone", sound.left(512)},
        {"the fixture's stand-in part: a signature and filler", projectPart(QStringLiteral("macros.xlsm"))},
    };
    for (const Case& c : cases) {
        try {
            MacroProject::read(c.bytes);
            ADD_FAILURE() << c.what << ": read as sound";
        } catch (const SheetError& e) {
            EXPECT_EQ(e.code(), SheetError::Code::DamagedMacroProject) << c.what;
            EXPECT_EQ(e.number(), SheetError::kApplicationError) << c.what;
        }
    }
}

TEST(MacroProject, AWorkbookWithoutAProjectHasNone) {
    auto wb = Workbook::open(fixture(QStringLiteral("libreoffice.xlsx")), OpenOptions::readOnlyAccess());
    EXPECT_FALSE(MacroProject::of(*wb).has_value());
    EXPECT_FALSE(wb->macroProjectPart().has_value());
}

TEST(MacroProject, ThePartIsKeptByteForByteWhenTheWorkbookIsSaved) {
    const QString path =
        sheettest::copyOfFixture(QStringLiteral("lumicell/macros.xlsm"), QStringLiteral("Plan.xlsm"));
    const QByteArray before = sheettest::zipParts(path).value(u"xl/vbaProject.bin"_qs);
    ASSERT_FALSE(before.isEmpty());
    {
        auto wb = Workbook::open(path);
        MacroProject::of(*wb); // reading changes nothing
        wb->sheet(0).setEntry({3, 2}, QStringLiteral("=1+2"));
        wb->copySheet(wb->sheet(0));
        wb->save();
    }
    EXPECT_EQ(sheettest::zipParts(path).value(u"xl/vbaProject.bin"_qs), before);
    auto again = Workbook::open(path, OpenOptions::readOnlyAccess());
    EXPECT_EQ(names(*MacroProject::of(*again)),
              (QStringList{"Module1", "Class1", "Declarations", "Module2"}));
}
