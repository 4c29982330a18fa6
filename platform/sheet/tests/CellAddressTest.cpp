// Cell and range addresses in A1 and R1C1 form, and typed entries.
#include "SheetTestSupport.h"
#include "platform/sheet/CellRange.h"
#include "platform/sheet/model/CellEntry.h"

#include <gtest/gtest.h>

using namespace platform::sheet;

TEST(CellAddress, ColumnNamesAtTheLetterBoundaries) {
    const struct {
        int col;
        const char* name;
    } cases[] = {{1, "A"},   {26, "Z"},   {27, "AA"},   {28, "AB"},
                 {52, "AZ"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& c : cases) {
        EXPECT_EQ(CellAddress::columnName(c.col), QString::fromLatin1(c.name));
        EXPECT_EQ(CellAddress::columnNumber(QString::fromLatin1(c.name)), c.col);
    }
    EXPECT_EQ(CellAddress::columnNumber(u"XFE"), 0);
    EXPECT_EQ(CellAddress::columnNumber(u"A1"), 0);
}

TEST(CellAddress, A1ReadsAbsoluteAndRelativeAndRefusesWhatIsNoCell) {
    EXPECT_EQ(CellAddress::parseA1(u"B3"), (CellRef{3, 2}));
    EXPECT_EQ(CellAddress::parseA1(u"$AB$12"), (CellRef{12, 28}));
    EXPECT_EQ(CellAddress::parseA1(u"xfd1048576"), (CellRef{1048576, 16384}));
    for (const char16_t* bad : {u"", u"B", u"3", u"B0", u"XFE1", u"B1048577", u"B3 ", u"$$B3", u"B-3"})
        EXPECT_FALSE(CellAddress::parseA1(bad).has_value()) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(CellAddress::toA1({3, 28}), u"AB3");
    EXPECT_EQ(CellAddress::toA1({3, 2}, true, true), u"$B$3");
}

TEST(CellAddress, R1C1BothWaysWithRelativeParts) {
    const CellRef base{5, 5};
    EXPECT_EQ(CellAddress::parseR1C1(u"R3C2"), (CellRef{3, 2}));
    EXPECT_EQ(CellAddress::parseR1C1(u"R[1]C[-2]", base), (CellRef{6, 3}));
    EXPECT_EQ(CellAddress::parseR1C1(u"RC", base), base);
    EXPECT_FALSE(CellAddress::parseR1C1(u"R[-5]C1", base).has_value());
    EXPECT_FALSE(CellAddress::parseR1C1(u"R3", base).has_value());
    EXPECT_EQ(CellAddress::toR1C1({3, 2}), u"R3C2");
    EXPECT_EQ(CellAddress::toR1C1({6, 3}, false, false, base), u"R[1]C[-2]");
}

TEST(CellAddress, RawBytesAsWorksheetsStoreThem) {
    CellRef cell;
    EXPECT_TRUE(CellAddress::parseA1("AB12", 4, cell));
    EXPECT_EQ(cell, (CellRef{12, 28}));
    EXPECT_FALSE(CellAddress::parseA1("AB", 2, cell));
    EXPECT_FALSE(CellAddress::parseA1("12", 2, cell));
    EXPECT_FALSE(CellAddress::parseA1("A0", 2, cell));
    char out[16];
    EXPECT_EQ(std::string(out, std::size_t(CellAddress::writeA1({1048576, 16384}, out))), "XFD1048576");
}

TEST(CellRange, AddressesAsTheSelectionGivesThem) {
    const struct {
        const char16_t* text;
        bool rowAbs, colAbs;
        const char16_t* address;
    } cases[] = {
        {u"B2:D4", false, false, u"B2:D4"}, {u"d4:b2", true, true, u"$B$2:$D$4"},
        {u"C:C", false, false, u"C:C"},     {u"$C:$E", true, true, u"$C:$E"},
        {u"7:7", false, false, u"7:7"},     {u"12:12", true, true, u"$12:$12"},
        {u"C5", false, false, u"C5"},       {u"A1:A1", false, false, u"A1"},
    };
    for (const auto& c : cases) {
        const auto range = CellRange::parse(c.text);
        ASSERT_TRUE(range.has_value()) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(range->address(c.rowAbs, c.colAbs), QString::fromUtf16(c.address));
    }
    EXPECT_TRUE(CellRange::parse(u"C:C")->isWholeColumns());
    EXPECT_TRUE(CellRange::parse(u"7:7")->isWholeRows());
    EXPECT_EQ(CellRange::parse(u"B2:D4")->address(true, true, ReferenceStyle::R1C1), u"R2C2:R4C4");
    EXPECT_FALSE(CellRange::parse(u"C:7").has_value());
    EXPECT_FALSE(CellRange::parse(u"A1:").has_value());
}

TEST(CellEntry, TypedEntriesReadAsTheUserMeansThem) {
    struct Case {
        const char16_t* typed;
        bool formula;
        CellValue value;
    };
    const Case cases[] = {
        {u"=A1*2", true, {}},
        {u"12.5", false, CellValue::fromNumber(12.5)},
        {u"-3e2", false, CellValue::fromNumber(-300)},
        {u" 7 ", false, CellValue::fromNumber(7)},
        {u"true", false, CellValue::fromBoolean(true)},
        {u"FALSE", false, CellValue::fromBoolean(false)},
        {u"#n/a", false, CellValue::fromError(QStringLiteral("#N/A"))},
        {u"'0012", false, CellValue::fromText(QStringLiteral("0012"))},
        {u"1,234", false, CellValue::fromNumber(1234)}, // thousands separators as typed in the US
        {u"1,23", false, CellValue::fromText(QStringLiteral("1,23"))},
        {u"12abc", false, CellValue::fromText(QStringLiteral("12abc"))},
        {u"=", false, CellValue::fromText(QStringLiteral("="))},
        {u"", false, {}},
    };
    for (const Case& c : cases) {
        const CellEntry entry = CellEntry::parse(QString::fromUtf16(c.typed));
        EXPECT_EQ(entry.isFormula, c.formula) << QString::fromUtf16(c.typed).toStdString();
        if (!c.formula) {
            EXPECT_EQ(entry.value, c.value) << QString::fromUtf16(c.typed).toStdString();
        }
    }
    EXPECT_EQ(CellEntry::parse(QStringLiteral("=A1*2")).formula, u"A1*2");
}

TEST(CellValue, GeneralNumberTextKeepsFifteenDigits) {
    EXPECT_EQ(CellValue::numberText(0.1), u"0.1");
    EXPECT_EQ(CellValue::numberText(1.0 / 3), u"0.333333333333333");
    EXPECT_EQ(CellValue::numberText(1e20), u"1E+20");
    EXPECT_EQ(CellValue::numberText(-42), u"-42");
    EXPECT_EQ(CellValue::fromBoolean(true).toText(), u"TRUE");
}
