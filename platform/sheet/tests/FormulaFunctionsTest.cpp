// The conditional, lookup and arithmetic functions on a small budget table: every result the
// engine computes after writes that change their inputs equals LibreOffice's recalculation of
// the saved workbook (numbers to 1e-9 relative, texts exactly, errors by kind). XLOOKUP, which
// the LibreOffice of this system does not know, is checked against the spreadsheet program's
// documented results instead.
#include "SheetTestSupport.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/TypedNumber.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string_view>

using namespace platform::sheet;

namespace {

// Data: A region, B amount, C category (rows 1-7, row 8 empty); D1:E5 sorted keys and letters;
// G1:G5 cash flows; D10:H11 keys 1-5 over 11-15.
std::unique_ptr<Workbook> budgetTable() {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& data = wb->sheet(0);
    const char* regions[] = {"North", "South", "East", "West", "North", "South", "North"};
    const char* amounts[] = {"100", "250", "75", "300", "50", "125", "400"};
    const char* categories[] = {"Ops", "Sales", "Ops", "IT", "Sales", "Ops", "IT"};
    for (int r = 0; r < 7; ++r) {
        data.setEntry({r + 1, 1}, QString::fromLatin1(regions[r]));
        data.setEntry({r + 1, 2}, QString::fromLatin1(amounts[r]));
        data.setEntry({r + 1, 3}, QString::fromLatin1(categories[r]));
    }
    const char* flows[] = {"-1000", "300", "400", "500", "100"};
    for (int r = 0; r < 5; ++r)
        data.setEntry({r + 1, 7}, QString::fromLatin1(flows[r]));
    const char* letters[] = {"a", "b", "c", "d", "e"};
    for (int r = 0; r < 5; ++r) {
        data.setEntry({r + 1, 4}, QString::number((r + 1) * 10));
        data.setEntry({r + 1, 5}, QString::fromLatin1(letters[r]));
        data.setEntry({10, r + 4}, QString::number(r + 1));
        data.setEntry({11, r + 4}, QString::number(r + 11));
    }
    return wb;
}

// The formulas compared with LibreOffice, one per row of column J.
const char* const kFormulas[] = {
    "SUMIF(A1:A8,\"North\",B1:B8)",
    "SUMIF(B1:B8,\">100\")",
    "SUMIF(A1:A8,\"N*\",B1:B8)",
    "SUMIF(A1:A8,\"<>North\",B1:B8)",
    "SUMIF(C1:C8,\"ops\",B1:B8)",
    "SUMIFS(B1:B8,A1:A8,\"North\",C1:C8,\"IT\")",
    "SUMIFS(B1:B8,B1:B8,\">=75\",B1:B8,\"<=250\")",
    "COUNTIF(A1:A8,\"North\")",
    "COUNTIF(B1:B8,\">=125\")",
    "COUNTIF(A1:A8,\"?????\")",
    "COUNTIF(A1:A8,\"<>North\")",
    "COUNTIF(B1:B8,250)",
    "COUNTIFS(A1:A8,\"South\",B1:B8,\">100\")",
    "COUNTBLANK(A1:C8)",
    "AVERAGEIF(C1:C8,\"Ops\",B1:B8)",
    "AVERAGEIF(C1:C8,\"None\",B1:B8)",
    "AVERAGEIFS(B1:B8,A1:A8,\"North\",B1:B8,\"<400\")",
    "MAXIFS(B1:B8,C1:C8,\"Ops\")",
    "MINIFS(B1:B8,C1:C8,\"Sales\")",
    "VLOOKUP(30,D1:E5,2,FALSE)",
    "VLOOKUP(35,D1:E5,2)",
    "VLOOKUP(5,D1:E5,2)",
    "VLOOKUP(\"west\",A1:B8,2,0)",
    "VLOOKUP(30,D1:E5,3,FALSE)",
    "HLOOKUP(3,D10:H11,2,FALSE)",
    "HLOOKUP(3.5,D10:H11,2)",
    "MATCH(40,D1:D5,0)",
    "MATCH(45,D1:D5)",
    "MATCH(\"s*\",A1:A8,0)",
    "MATCH(\"nowhere\",A1:A8,0)",
    "INDEX(D1:E5,3,2)",
    "INDEX(B1:B8,4)",
    "INDEX(D10:H10,2)",
    "INDEX(D1:E5,9,1)",
    "INDEX(D1:E5,MATCH(40,D1:D5,0),2)",
    "CHOOSE(2,\"a\",\"b\",\"c\")",
    "ROWS(D1:E5)*10+COLUMNS(D1:E5)",
    "MOD(-3,2)",
    "MOD(7,-4)",
    "MOD(5,0)",
    "POWER(2,10)",
    "SQRT(16)",
    "SQRT(-1)",
    "SIGN(-7)",
    "TRUNC(-4.567,2)",
    "TRUNC(8.9)",
    "PRODUCT(D1:D3)",
    "SUMPRODUCT(D1:D5,D1:D5)",
    "LEFT(A2,3)&RIGHT(A2,2)&MID(A3,2,2)",
    "LEFT(A1)&\"|\"&RIGHT(A1,0)&\"|\"&MID(A1,9,2)&\"|\"",
    "LEFT(A1,-1)",
    "LEN(A1)+LEN(\"\")+LEN(B2)",
    "UPPER(A1)&LOWER(\"AbC\")&PROPER(\"north-east sales o'neil\")",
    "\"[\"&TRIM(\"  budget   plan  2026 \")&\"]\"",
    "SUBSTITUTE(\"a-b-c-d\",\"-\",\"+\")&SUBSTITUTE(\"a-b-c-d\",\"-\",\"+\",2)",
    "REPLACE(\"budget 2025\",8,4,\"2026\")",
    "FIND(\"th\",A1)+FIND(\"o\",\"foo\",3)",
    "FIND(\"N\",\"north\")",
    "SEARCH(\"T?\",\"north\")+SEARCH(\"*s\",\"plans\")",
    "VALUE(\"1,250.50\")+VALUE(\"15%\")",
    "VALUE(\"abc\")",
    "CONCAT(A1:A3,\"!\")",
    "TEXTJOIN(\", \",TRUE,A1:A3,\"\",C8)",
    "TEXTJOIN(\"/\",FALSE,C6:C8)",
    "REPT(\"ab\",3)",
    "EXACT(\"North\",A1)&EXACT(\"north\",A1)",
    "N(B1)+N(A1)+N(TRUE)",
    "T(A1)&T(B1)",
    "1*ISBLANK(A8)&1*ISBLANK(A1)&1*ISNUMBER(B1)&1*ISTEXT(A1)&1*ISLOGICAL(TRUE)",
    "1*ISERROR(1/0)&1*ISERR(NA())&1*ISNA(NA())&1*ISNA(1/0)",
    "IFNA(VLOOKUP(5,D1:E5,2),\"none\")&IFNA(1/0,\"x\")",
    "IFS(B1>200,\"big\",B1>50,\"mid\",TRUE,\"small\")",
    "IFS(B1>1000,\"big\")",
    "SWITCH(C1,\"Ops\",1,\"IT\",2,9)+SWITCH(C4,\"Ops\",1,\"IT\",2)",
    "SWITCH(\"x\",\"a\",1)",
    "1*XOR(TRUE,FALSE,TRUE)&1*XOR(B1>50,B2>50,B3>50)",
    "DATE(2026,1,31)",
    "DATE(2026,14,1)",
    "DATE(126,1,1)",
    "DATE(2026,3,0)",
    "YEAR(DATE(2026,3,15))*10000+MONTH(DATE(2026,3,15))*100+DAY(DATE(2026,3,15))",
    "EOMONTH(DATE(2026,1,31),1)",
    "EDATE(DATE(2026,1,31),1)",
    "EOMONTH(DATE(2024,1,15),-11)",
    "DATEDIF(DATE(2020,5,20),DATE(2026,3,10),\"Y\")",
    "DATEDIF(DATE(2020,5,20),DATE(2026,3,10),\"M\")",
    "DATEDIF(DATE(2020,5,20),DATE(2026,3,10),\"D\")",
    "DATEDIF(DATE(2020,5,20),DATE(2026,3,10),\"YM\")",
    "DATEDIF(DATE(2020,5,20),DATE(2026,3,10),\"MD\")",
    "DATEDIF(DATE(2020,5,20),DATE(2026,3,10),\"YD\")",
    "DAYS(DATE(2026,12,25),DATE(2026,1,1))",
    "WEEKDAY(DATE(2026,12,10))*100+WEEKDAY(DATE(2026,12,10),2)*10+WEEKDAY(DATE(2026,12,10),3)",
    "NETWORKDAYS(DATE(2026,12,1),DATE(2026,12,31))",
    "NETWORKDAYS(DATE(2026,12,31),DATE(2026,12,1),DATE(2026,12,25))",
    "YEARFRAC(DATE(2026,1,15),DATE(2026,9,30))",
    "YEARFRAC(DATE(2026,1,15),DATE(2026,9,30),1)",
    "YEARFRAC(DATE(2026,1,15),DATE(2026,9,30),2)",
    "YEARFRAC(DATE(2026,1,15),DATE(2026,9,30),3)",
    "YEARFRAC(DATE(2026,1,31),DATE(2026,9,30),4)",
    "YEARFRAC(DATE(2024,2,29),DATE(2027,3,1),1)",
    "IF(AND(YEAR(TODAY())>=2026,TODAY()=INT(NOW())),\"clock\",\"wrong\")",
    "CEILING(2.5,1)*1000+CEILING(-2.5,2)*100+CEILING(-2.5,-2)",
    "FLOOR(2.5,1)*1000+FLOOR(-2.5,2)*100+FLOOR(-2.5,-2)",
    "FLOOR(2.5,-2)",
    "MROUND(10,3)*100+MROUND(-10,-3)",
    "MROUND(5,-2)",
    "MEDIAN(B1:B7)+MEDIAN(1,2,3,4)",
    "LARGE(B1:B7,2)*1000+SMALL(B1:B7,3)",
    "LARGE(B1:B7,9)",
    "RANK.EQ(125,B1:B7)*10+RANK(125,B1:B7,1)",
    "STDEV.S(B1:B7)",
    "STDEV(1,2,3,4)",
    "PMT(0.05/12,36,10000)",
    "PMT(0,12,1200)",
    "PV(0.04,10,-1000)",
    "FV(0.06/12,24,-200,-1000,1)",
    "NPV(0.1,-1000,300,400,500)",
    "IRR(G1:G5)",
    "RATE(36,-300,10000)",
    "SUMPRODUCT(B1:B7,--(C1:C7=\"Ops\"))",
};

// Where LibreOffice and the spreadsheet program (whose results the engine follows) differ: its
// own error code where the program shows one of its errors, and truth values joined into a
// text as 1 and 0 where the program writes TRUE and FALSE. The formula, ours, LibreOffice's.
struct Differing {
    const char* formula;
    CellValue ours;
    const char* libreOffice;
};
const Differing kDiffering[] = {
    {"VLOOKUP(30,D1:E5,3,FALSE)", CellValue::fromError(QStringLiteral("#REF!")), "Err:502"},
    {"INDEX(D1:E5,9,1)", CellValue::fromError(QStringLiteral("#REF!")), "Err:502"},
    {"SQRT(-1)", CellValue::fromError(QStringLiteral("#NUM!")), "Err:502"},
    {"LEFT(A1,-1)", CellValue::fromError(QStringLiteral("#VALUE!")), "Err:502"},
    {"VALUE(\"abc\")", CellValue::fromError(QStringLiteral("#VALUE!")), "Err:502"},
    {"EXACT(\"North\",A1)&EXACT(\"north\",A1)", CellValue::fromText(QStringLiteral("TRUEFALSE")), "10"},
    // Years 0 to 1899 count from 1900 in the spreadsheet program.
    {"DATE(126,1,1)", CellValue::fromNumber(46023), "#VALUE!"},
    {"FLOOR(2.5,-2)", CellValue::fromError(QStringLiteral("#NUM!")), "Err:502"},
    // The program refuses a multiple of the other sign; LibreOffice rounds.
    {"MROUND(5,-2)", CellValue::fromError(QStringLiteral("#NUM!")), "6"},
    {"LARGE(B1:B7,9)", CellValue::fromError(QStringLiteral("#NUM!")), "#VALUE!"},
};

// Writes that change the inputs of the formulas above.
void changeInputs(Worksheet& data) {
    data.setEntry({2, 2}, QStringLiteral("260"));
    data.setEntry({3, 1}, QStringLiteral("North"));
    data.setEntry({6, 3}, QStringLiteral("IT"));
    data.setEntry({3, 4}, QStringLiteral("33"));
}

QString shown(const CellValue& v) {
    switch (v.type) {
    case CellValue::Type::Number:
        return CellValue::numberText(v.number);
    case CellValue::Type::Boolean:
        return v.boolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return v.text;
    }
}

bool sameAs(const CellValue& ours, const QString& theirs) {
    if (ours.type == CellValue::Type::Number) {
        bool ok = false;
        double b = theirs.toDouble(&ok);
        // LibreOffice shows dates and percentages in the format it gave the result.
        if (const auto typed = ok ? std::nullopt : TypedNumber::parse(theirs)) {
            b = typed->value;
            ok = true;
        }
        return ok && std::abs(ours.number - b) <= 1e-9 * std::max({1.0, std::abs(ours.number), std::abs(b)});
    }
    return shown(ours) == theirs;
}

} // namespace

TEST(FormulaFunctions, ResultsAfterWritesEqualLibreOfficesRecalculation) {
    auto wb = budgetTable();
    Worksheet& data = wb->sheet(0);
    const int count = int(std::size(kFormulas));
    for (int i = 0; i < count; ++i)
        data.setEntry({i + 1, 10}, u'=' + QString::fromLatin1(kFormulas[i]));
    // The SUMPRODUCT with an array operation is not evaluated here: it is saved without a result,
    // and LibreOffice's result is the only one.
    changeInputs(data);
    EXPECT_TRUE(data.isStale({count, 10}));
    const QString path = testsupport::freshDir() + QStringLiteral("/functions.xlsx");
    wb->saveAs(path);

    const QStringList rows = sheettest::convertWithLibreOffice(path, 1, true);
    ASSERT_GE(rows.size(), count);
    int compared = 0;
    QStringList stale;
    for (int i = 0; i < count; ++i) {
        const QStringList fields = sheettest::csvFields(rows[i]);
        ASSERT_GE(fields.size(), 10) << kFormulas[i];
        if (data.isStale({i + 1, 10})) {
            stale << QString::fromLatin1(kFormulas[i]);
            continue;
        }
        const CellValue ours = data.value({i + 1, 10});
        const auto differing = std::find_if(std::begin(kDiffering), std::end(kDiffering), [&](const auto& d) {
            return std::string_view(d.formula) == kFormulas[i];
        });
        if (differing != std::end(kDiffering)) {
            EXPECT_EQ(ours, differing->ours) << kFormulas[i];
            EXPECT_EQ(fields[9], QString::fromLatin1(differing->libreOffice)) << kFormulas[i];
            ++compared;
            continue;
        }
        EXPECT_TRUE(sameAs(ours, fields[9])) << kFormulas[i] << ": ours " << shown(ours).toStdString()
                                             << ", LibreOffice's " << fields[9].toStdString();
        ++compared;
    }
    EXPECT_EQ(stale, QStringList{QString::fromLatin1(kFormulas[count - 1])})
        << "every formula but the array operation is evaluated here";
    EXPECT_EQ(compared, count - 1);
}

TEST(FormulaFunctions, XLookupFindsExactNearestWildcardAndFromTheEnd) {
    auto wb = budgetTable();
    Worksheet& data = wb->sheet(0);
    const struct {
        const char* formula;
        CellValue expected;
    } cases[] = {
        {"XLOOKUP(\"West\",A1:A7,B1:B7)", CellValue::fromNumber(300)},
        {"XLOOKUP(\"north\",A1:A7,B1:B7,0,0,-1)", CellValue::fromNumber(400)},
        {"XLOOKUP(\"Mid\",A1:A7,B1:B7)", CellValue::fromError(QStringLiteral("#N/A"))},
        {"XLOOKUP(\"Mid\",A1:A7,B1:B7,\"none\")", CellValue::fromText(QStringLiteral("none"))},
        {"XLOOKUP(35,D1:D5,E1:E5,,-1)", CellValue::fromText(QStringLiteral("c"))},
        {"XLOOKUP(35,D1:D5,E1:E5,,1)", CellValue::fromText(QStringLiteral("d"))},
        {"XLOOKUP(\"W*\",A1:A7,B1:B7,,2)", CellValue::fromNumber(300)},
        {"XLOOKUP(3,D10:H10,D11:H11)", CellValue::fromNumber(13)},
        {"XLOOKUP(1,D1:D5,E1:E4)", CellValue::fromError(QStringLiteral("#VALUE!"))},
    };
    int row = 20;
    for (const auto& c : cases) {
        data.setEntry({row, 1}, u'=' + QString::fromLatin1(c.formula));
        EXPECT_EQ(data.value({row, 1}), c.expected) << c.formula;
        ++row;
    }
}
