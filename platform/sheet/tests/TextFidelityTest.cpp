// What a save must keep for every reader although the layer rewrites it: the outer spaces and
// line breaks of texts (typed texts and formulas' text results) in workbooks made by
// LibreOffice and by openpyxl, and a sheet entry without a part, which stays in the sheet list
// as it was while the other sheets are read.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::copyOfFixture;

namespace {

// The fields of LibreOffice's CSV lines (quoted fields may hold commas and line breaks).
QList<QStringList> csvRows(const QStringList& lines) {
    const QString text = lines.join(u'\n');
    QList<QStringList> rows{{}};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',' || c == u'\n') {
            rows.last() << field;
            field.clear();
            if (c == u'\n')
                rows << QStringList();
        } else {
            field += c;
        }
    }
    rows.last() << field;
    return rows;
}

// openpyxl's repr of a text.
QString pythonRepr(const QString& text) {
    QString out = text;
    out.replace(u"\\"_qs, u"\\\\"_qs).replace(u"\n"_qs, u"\\n"_qs).replace(u"'"_qs, u"\\'"_qs);
    return u'\'' + out + u'\'';
}

struct SpacedText {
    int row;
    int col;
    const char16_t* text;
};

} // namespace

TEST(TextFidelity, OuterSpacesAndLineBreaksSurviveARewriteForEveryReader) {
    const struct {
        const char* fixture;
        const char* sheet;
        int csvSheet;
        std::vector<SpacedText> texts;
    } workbooks[] = {
        // LibreOffice's file: formulas with their text results stored after them, and a typed
        // text among the shared strings.
        {"spaced-texts.xlsx",
         "Texts",
         1,
         {{1, 1, u" lead"},
          {2, 1, u"trail "},
          {3, 1, u"  both  "},
          {4, 1, u"line\nbreak "},
          {5, 1, u"  typed  "}}},
        // openpyxl's file: typed texts as inline strings.
        {"basic.xlsx", "Rates", 1, {{2, 5, u"  padded text  "}, {3, 5, u"line one\nline two"}}},
    };
    for (const auto& w : workbooks) {
        SCOPED_TRACE(w.fixture);
        const QString path = copyOfFixture(QString::fromLatin1(w.fixture));
        {
            // A write elsewhere on the sheet has it written again, its untouched cells included.
            auto wb = Workbook::open(path);
            wb->sheet(QString::fromLatin1(w.sheet)).setEntry({20, 8}, QStringLiteral("written"));
            wb->save();
        }
        const auto again = Workbook::open(path, OpenOptions::readOnlyAccess());
        const auto openpyxl = sheettest::readWithOpenpyxl(path, true);
        // LibreOffice with its default settings shows the results as stored.
        const QList<QStringList> libreOffice =
            csvRows(sheettest::convertWithLibreOffice(path, w.csvSheet, false));
        for (const SpacedText& t : w.texts) {
            const QString expected = QString::fromUtf16(t.text);
            const QString cell = QString::fromLatin1(w.sheet) + u'!' + CellAddress::toA1({t.row, t.col});
            SCOPED_TRACE(cell.toStdString());
            EXPECT_EQ(again->sheet(QString::fromLatin1(w.sheet)).value({t.row, t.col}).text, expected);
            EXPECT_EQ(openpyxl.value(cell), pythonRepr(expected));
            ASSERT_GE(libreOffice.size(), t.row);
            ASSERT_GE(libreOffice[t.row - 1].size(), t.col);
            EXPECT_EQ(libreOffice[t.row - 1][t.col - 1], expected);
        }
    }
}

TEST(TextFidelity, ASheetWithoutAPartIsKeptAsItWasAndSkipped) {
    const QString path = copyOfFixture(QStringLiteral("partless-sheet.xlsx"));
    {
        auto wb = Workbook::open(path);
        EXPECT_EQ(wb->sheetNames(), (QStringList{"Rates", "Ghost", "Budget", "Hidden", "Chart1"}));
        EXPECT_EQ(wb->sheet(u"Ghost"_qs).kind(), Worksheet::Kind::Other);
        EXPECT_EQ(wb->worksheets().size(), 4u);
        EXPECT_EQ(wb->activeSheet().name(), u"Rates");
        EXPECT_EQ(wb->sheet(u"Budget"_qs).value({2, 2}), CellValue::fromNumber(2401));
        wb->sheet(u"Rates"_qs).setEntry({2, 2}, QStringLiteral("1000"));
        wb->addSheet(nullptr, &wb->sheet(u"Chart1"_qs), QStringLiteral("Added"));
        wb->save();
    }
    // The entry is written back as it was, in its place; the layer reads the file again.
    const QByteArray workbookXml = sheettest::zipParts(path).value(u"xl/workbook.xml"_qs);
    const qsizetype ghost = workbookXml.indexOf("<sheet name=\"Ghost\" sheetId=\"9\"");
    ASSERT_GE(ghost, 0) << workbookXml.constData();
    EXPECT_TRUE(workbookXml.mid(ghost, workbookXml.indexOf("/>", ghost) - ghost).endsWith("r:id=\"\""));
    EXPECT_LT(workbookXml.indexOf("name=\"Rates\""), workbookXml.indexOf("name=\"Ghost\""));
    EXPECT_LT(workbookXml.indexOf("name=\"Ghost\""), workbookXml.indexOf("name=\"Budget\""));
    EXPECT_EQ(Workbook::open(path, OpenOptions::readOnlyAccess())->sheetNames(),
              (QStringList{"Rates", "Ghost", "Budget", "Hidden", "Chart1", "Added"}));
    // openpyxl drops the entry, LibreOffice shows it as an empty sheet; both read the others.
    const auto cells = sheettest::readWithOpenpyxl(path);
    EXPECT_EQ(cells.value(u"Rates!B2"_qs), u"1000");
    EXPECT_TRUE(cells.contains(u"Added!@state"_qs));
    const QStringList budget = sheettest::convertWithLibreOffice(path, 3);
    ASSERT_GE(budget.size(), 2);
    EXPECT_TRUE(budget[1].startsWith(u"Salaries,2000")) << budget[1].toStdString();
}
