// Workbooks as other programs write them, written back by the layer so that those programs read
// them as before: a Strict workbook keeps the Strict spelling of what the layer writes into it;
// inline strings keep their formatted runs, and an inline string cell without its text stays
// empty; a workbook encrypted with the encryption format's default password opens without
// asking and stays encrypted the same way. Fixtures: make_roundtrip_workbooks.py and
// tests/fixtures/encrypted/make_fixtures.sh.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::num;
using sheettest::text;
using sheettest::truth;

TEST(RoundTrip, AStrictWorkbookIsWrittenBackInStrictSpelling) {
    const QString path = sheettest::copyOfFixture(QStringLiteral("strict.xlsx"));
    {
        auto wb = Workbook::open(path);
        ASSERT_EQ(wb->sheetCount(), 2);
        EXPECT_EQ(wb->sheet(0).value({4, 2}), num(1560.5));
        wb->sheet(0).setEntry({3, 2}, QStringLiteral("400"));
        wb->addSheet(nullptr, &wb->sheet(1), QStringLiteral("Added")).setEntry({1, 1}, QStringLiteral("new"));
        wb->save();
    }
    const QMap<QString, QByteArray> parts = sheettest::zipParts(path);
    const QByteArray workbook = parts.value(QStringLiteral("xl/workbook.xml"));
    EXPECT_TRUE(workbook.contains("http://purl.oclc.org/ooxml/officeDocument/relationships\" r:id=\"rId1\""))
        << workbook.constData();
    EXPECT_FALSE(workbook.contains("schemas.openxmlformats.org")) << workbook.constData();
    const QByteArray rels = parts.value(QStringLiteral("xl/_rels/workbook.xml.rels"));
    EXPECT_FALSE(rels.contains("schemas.openxmlformats.org/officeDocument")) << rels.constData();
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        if (!it.key().startsWith(u"xl/worksheets/sheet"))
            continue;
        EXPECT_FALSE(it.value().contains("schemas.openxmlformats.org/spreadsheetml")) << qPrintable(it.key());
    }
    // A Strict reader finds every sheet, the new one too.
    const QStringList budget = sheettest::convertWithLibreOffice(path, 1);
    ASSERT_GE(budget.size(), 4);
    EXPECT_EQ(budget[3], QStringLiteral("Total,1650.5"));
    EXPECT_EQ(sheettest::convertWithLibreOffice(path, 3), QStringList{QStringLiteral("new")});
}

// The shared strings the layer added to a Strict workbook stay in Strict spelling when the
// workbook is changed and saved again.
TEST(RoundTrip, AStrictWorkbooksNewSharedStringsStayStrictAtTheNextSave) {
    const QString path = sheettest::copyOfFixture(QStringLiteral("strict.xlsx"));
    for (const char* typed : {"first", "second"}) {
        auto wb = Workbook::open(path);
        wb->sheet(0).setEntry({9, 1}, QString::fromLatin1(typed));
        wb->save();
        const QByteArray strings = sheettest::zipParts(path).value(QStringLiteral("xl/sharedStrings.xml"));
        ASSERT_FALSE(strings.isEmpty()) << typed;
        EXPECT_FALSE(strings.contains("schemas.openxmlformats.org/spreadsheetml"))
            << typed << strings.constData();
    }
    EXPECT_EQ(sheettest::convertWithLibreOffice(path, 1).value(8), QStringLiteral("second,"));
}

TEST(RoundTrip, InlineStringsKeepTheirRunsAndOneWithoutTextStaysEmpty) {
    const QString path = sheettest::copyOfFixture(QStringLiteral("rich-inline.xlsx"));
    {
        auto wb = Workbook::open(path);
        Worksheet& data = wb->sheet(0);
        EXPECT_EQ(data.value({1, 1}), text(u"Bold plain"));
        EXPECT_TRUE(data.value({2, 1}).isEmpty()) << "no text: an empty cell, not an empty text";
        EXPECT_EQ(data.value({1, 2}), truth(true)) << "ISBLANK";
        EXPECT_EQ(data.value({2, 2}), num(1)) << "COUNTA";
        data.setEntry({5, 1}, QStringLiteral("written"));
        wb->save();
    }
    const QByteArray sheet = sheettest::zipParts(path).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet.contains("<r><rPr><b/><sz val=\"11\"/></rPr><t>Bold</t></r>")) << sheet.constData();
    EXPECT_FALSE(sheet.contains("<c r=\"A2\" t=\"inlineStr\"><is>")) << sheet.constData();
    // LibreOffice agrees: the cell is blank.
    const QStringList rows = sheettest::convertWithLibreOffice(path);
    ASSERT_GE(rows.size(), 2);
    EXPECT_EQ(rows[0], QStringLiteral("Bold plain,TRUE"));
    EXPECT_EQ(rows[1], QStringLiteral(",1"));

    // A new text takes the runs' place.
    {
        auto wb = Workbook::open(path);
        wb->sheet(0).setEntry({1, 1}, QStringLiteral("Plain now"));
        wb->save();
    }
    const QByteArray rewritten = sheettest::zipParts(path).value(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_FALSE(rewritten.contains("<b/>")) << rewritten.constData();
    EXPECT_EQ(sheettest::readWithOpenpyxl(path).value(QStringLiteral("Data!A1")),
              QStringLiteral("'Plain now'"));
}

TEST(RoundTrip, AWorkbookEncryptedWithTheDefaultPasswordOpensWithoutAskingAndStaysEncrypted) {
    const QString path = testsupport::freshDir(QStringLiteral("default")) + QStringLiteral("/Budget.xlsx");
    ASSERT_TRUE(
        QFile::copy(testsupport::fixturePath(QStringLiteral("encrypted/default_password.xlsx")), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    {
        auto wb = Workbook::open(path);
        EXPECT_FALSE(wb->hasPassword()) << "no password of its own";
        Worksheet& budget = wb->sheet(0);
        EXPECT_EQ(budget.value({2, 2}), num(1250.5));
        budget.setEntry({3, 2}, QStringLiteral("400"));
        wb->save();
    }
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1")) << "still an encrypted file";
    saved.close();
    auto again = Workbook::open(path);
    EXPECT_EQ(again->sheet(0).value({4, 2}), num(1650.5));
    const QStringList rows = sheettest::convertWithLibreOffice(path);
    ASSERT_GE(rows.size(), 4);
    EXPECT_EQ(rows[3], QStringLiteral("Total,1650.5"));

    // A workbook with a password of its own still asks for it.
    const QString other = testsupport::fixturePath(QStringLiteral("encrypted/standard_lo.xlsx"));
    try {
        Workbook::open(other);
        ADD_FAILURE() << "opened without its password";
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::PasswordRequired);
    }
}
