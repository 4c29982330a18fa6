// Single functions where the engine once differed from the workbooks' writers: SUBTOTAL and
// rows a filter hides, LOOKUP's binary search, the sums of squares of pairs, MODE, ADDRESS with a
// workbook's name, RANK over a union, FLOOR with a mode, MDETERM, MINVERSE, POISSON, the
// complex-number functions, and references to a workbook named by its address. The results are
// LibreOffice's recalculation of the same formulas, or, where it differs from the spreadsheet
// program, the program's documented results (noted at the case).
#include "SheetTestSupport.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/formula/FormulaFunctions.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::err;
using sheettest::num;
using sheettest::text;

namespace {

struct Case {
    const char* formula;
    CellValue expected;
    bool nearParts = false; // a complex number compared part by part
};

bool near(double a, double b) {
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b));
}

// The parts of a complex number's text "a+bi" (the cases are well formed).
std::pair<double, double> complexParts(const QString& text) {
    static const QRegularExpression kParts(
        QStringLiteral(R"(^([+-]?[0-9.]+(?:E[+-]\d+)?)?([+-]?[0-9.]*(?:E[+-]\d+)?)i$)"));
    const QRegularExpressionMatch m = kParts.match(text);
    if (!m.hasMatch())
        return {text.toDouble(), 0};
    QString imaginary = m.captured(2);
    if (imaginary.isEmpty() || imaginary == u"+" || imaginary == u"-")
        imaginary += u'1';
    return {m.captured(1).toDouble(), imaginary.toDouble()};
}

// Numbers to 1e-9 relative; texts exactly, but the parts of complex numbers in trigonometry,
// where the last of 15 digits may differ between writers, to 1e-9; errors by kind.
void expectResult(const Worksheet& sheet, CellRef at, const Case& c) {
    const CellValue v = sheet.value(at);
    EXPECT_FALSE(sheet.isStale(at)) << c.formula;
    if (c.expected.type == CellValue::Type::Number && v.type == CellValue::Type::Number) {
        EXPECT_TRUE(near(v.number, c.expected.number)) << c.formula << ": " << v.number;
    } else if (c.nearParts && v.type == CellValue::Type::Text) {
        const auto [a, b] = complexParts(v.text);
        const auto [x, y] = complexParts(c.expected.text);
        EXPECT_TRUE(near(a, x) && near(b, y)) << c.formula << ": " << v.text.toStdString();
    } else {
        EXPECT_EQ(v, c.expected) << c.formula;
    }
}

void expectAll(Worksheet& sheet, const std::vector<Case>& cases, int column) {
    int row = 1;
    for (const Case& c : cases) {
        sheet.setEntry({row, column}, u'=' + QString::fromLatin1(c.formula));
        expectResult(sheet, {row, column}, c);
        ++row;
    }
}

} // namespace

// A: 3, 1, 4; C: 5, 9, 2; E: two texts; F1 empty.
TEST(SingleFunctions, GiveTheResultsOfTheWritersOfWorkbooks) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    const char* entries[][2] = {{"A1", "3"}, {"A2", "1"}, {"A3", "4"}, {"C1", "5"},
                                {"C2", "9"}, {"C3", "2"}, {"E1", "a"}, {"E2", "b"}};
    for (const auto& [at, typed] : entries)
        sheet.range(QString::fromLatin1(at)).setEntry(QString::fromLatin1(typed));
    const std::vector<Case> cases = {
        // LOOKUP halves the keys as the program does, also when they are not sorted (LibreOffice
        // reads unsorted keys one by one: 1 where the program finds 5); errors are passed over.
        {"LOOKUP(8,{1,9,7,2,5})", num(5)},
        {"LOOKUP(6,{1,9,7,2,5})", num(1)},
        {"LOOKUP(3,{1,2,3,3,3,4},{10,20,30,40,50,60})", num(50)},
        {"LOOKUP(2,1/({1,0,0,1,0,1,0}=1),{1,2,3,4,5,6,7})", num(6)},
        {"LOOKUP(10,{1,2,\"a\",3,\"b\",\"c\",20})", num(3)},
        {"LOOKUP(0,{1,2,3})", err(u"#N/A")},
        // No pair of numbers: #DIV/0! in the program (LibreOffice: 0).
        {"SUMX2MY2(E1:E2,E1:E2)", err(u"#DIV/0!")},
        {"SUMX2PY2(A1:A3,E1:E3)", err(u"#DIV/0!")},
        {"SUMXMY2({\"a\"},{\"b\"})", err(u"#DIV/0!")},
        {"SUMXMY2(A1:A3,C1:C3)", num(4 + 64 + 4)},
        // MODE of a typed text (LibreOffice: its own Err:504) and of no number at all.
        {"MODE(\"a\",1,1)", err(u"#VALUE!")},
        {"MODE(F1)", err(u"#VALUE!")},
        {"MODE(E1:E2)", err(u"#VALUE!")},
        {"MODE(A1:A3,1)", num(1)},
        {"MODE(A1:A3)", err(u"#N/A")},
        // ADDRESS quotes a sheet name that holds brackets, a workbook's name among them, and
        // every other name that needs quotes.
        {"ADDRESS(2,3,1,FALSE,\"[Book1]Sheet1\")", text(u"'[Book1]Sheet1'!R2C3")},
        {"ADDRESS(2,3,1,FALSE,\"EXCEL SHEET\")", text(u"'EXCEL SHEET'!R2C3")},
        {"ADDRESS(1,1,1,TRUE,\"Sheet[1]\")", text(u"'Sheet[1]'!$A$1")},
        {"RANK(4,(A1:A3,C1:C3))", num(3)},
        {"RANK(4,(A1:A3,C1:C3),1)", num(4)},
        {"RANK.EQ(9,(A1:A3,C1:C3))", num(1)},
        {"RANK(7,(A1:A3,C1:C3))", err(u"#N/A")},
        // FLOOR with a mode, as the writers that give it one calculate it (LibreOffice's results
        // in a workbook it saved): negative numbers toward zero where the mode is not 0.
        {"FLOOR(-7.5,-2,1)", num(-6)},
        {"FLOOR(-7.5,-2,0)", num(-8)},
        {"FLOOR(7.5,2,1)", num(6)},
        {"FLOOR(-7.5,2,1)", err(u"#VALUE!")},
        {"MDETERM({3,6,1;1,1,0;3,10,2})", num(1)},
        {"MDETERM({1,3,8,5;1,3,6,1;1,1,1,0;7,3,10,2})", num(88)},
        {"MDETERM({3,6;1,1})", num(-3)},
        {"MDETERM({1,2;2,4})", num(0)},
        {"MDETERM({1,2,3})", err(u"#VALUE!")},
        {"MDETERM(A1:A3)", err(u"#VALUE!")},
        {"INDEX(MINVERSE({4,-1;2,0}),1,2)", num(0.5)},
        {"INDEX(MINVERSE({4,-1;2,0}),2,1)", num(-1)},
        {"INDEX(MINVERSE({-1,2,0;3,1,1;2,1,0}),2,3)", num(0.2)},
        {"MINVERSE({1,2;2,4})", err(u"#NUM!")},
        {"SUM(MINVERSE({1,2,1;3,4,-1;0,2,0}))", num(0.5)},
        {"POISSON(2,5,FALSE)", num(0.0842243374885683)},
        {"POISSON(2,5,TRUE)", num(0.124652019483081)},
        {"POISSON.DIST(2,5,TRUE)", num(0.124652019483081)},
        {"POISSON(2.7,5,FALSE)", num(0.0842243374885683)},
        {"POISSON(-1,5,TRUE)", err(u"#NUM!")},
        {"POISSON(2,-5,TRUE)", err(u"#NUM!")},
        {"POISSON(170,150,TRUE)", num(0.9506344675041)},
    };
    expectAll(sheet, cases, 8);
}

TEST(SingleFunctions, ComplexNumbersAreTextsAsThePrograms) {
    auto wb = Workbook::create(QStringLiteral("Book1"));
    Worksheet& sheet = wb->sheet(0);
    for (int row = 1; row <= 3; ++row)
        sheet.setEntry({row, 1}, QString::number(row == 1 ? 3 : row == 2 ? 1 : 4));
    const std::vector<Case> cases = {
        {"COMPLEX(3,4)", text(u"3+4i")},
        {"COMPLEX(3,4,\"j\")", text(u"3+4j")},
        {"COMPLEX(0,1)", text(u"i")},
        {"COMPLEX(1,0)", text(u"1")},
        {"COMPLEX(0,0)", text(u"0")},
        {"COMPLEX(1,-1)", text(u"1-i")},
        {"COMPLEX(1.5,-2.25)", text(u"1.5-2.25i")},
        {"COMPLEX(1,2,\"k\")", err(u"#VALUE!")},
        {"IMABS(\"5+12i\")", num(13)},
        {"IMAGINARY(\"3+4i\")", num(4)},
        {"IMAGINARY(\"0-j\")", num(-1)},
        {"IMAGINARY(4)", num(0)},
        {"IMARGUMENT(\"3+4i\")", num(0.927295218001612)},
        {"IMCONJUGATE(\"3+4i\")", text(u"3-4i")},
        {"IMCOS(\"1+i\")", text(u"0.833730025131149-0.988897705762865i"), true},
        {"IMDIV(\"-238+240i\",\"10+24i\")", text(u"5+12i")},
        {"IMEXP(\"1+i\")", text(u"1.46869393991589+2.28735528717884i"), true},
        {"IMLN(\"3+4i\")", text(u"1.6094379124341+0.927295218001612i"), true},
        {"IMLOG10(\"3+4i\")", text(u"0.698970004336019+0.402719196273373i"), true},
        {"IMLOG2(\"3+4i\")", text(u"2.32192809488736+1.33780421245098i"), true},
        {"IMPOWER(\"2+3i\",3)", text(u"-46+9.00000000000001i")},
        {"IMPOWER(\"-8\",1/3)", text(u"1+1.73205080756888i")},
        {"IMPRODUCT(\"3+4i\",\"5-3i\")", text(u"27+11i")},
        {"IMPRODUCT(\"1+2i\",30)", text(u"30+60i")},
        {"IMPRODUCT(\"2i\",\"3i\")", text(u"-6")},
        {"IMREAL(\"6-9i\")", num(6)},
        {"IMREAL(\"i\")", num(0)},
        {"IMREAL(\"1e3+2.5e-1i\")", num(1000)},
        {"IMSIN(\"3+4i\")", text(u"3.85373803791938-27.0168132580039i"), true},
        {"IMSQRT(\"1+i\")", text(u"1.09868411346781+0.455089860562227i"), true},
        {"IMSUB(\"13+4i\",\"5+3i\")", text(u"8+i")},
        {"IMSUM(\"3+4i\",\"5-3i\")", text(u"8+i")},
        {"IMSUM(A1:A3)", text(u"8")},
        {"IMTAN(\"1+i\")", text(u"0.271752585319512+1.08392332733869i"), true},
        {"IMSINH(\"1+i\")", text(u"0.634963914784736+1.29845758141598i"), true},
        {"IMCOSH(\"1+i\")", text(u"0.833730025131149+0.988897705762865i"), true},
        {"IMSEC(\"1+i\")", text(u"0.498337030555187+0.591083841721045i"), true},
        {"IMCSC(\"1+i\")", text(u"0.621518017170429-0.303931001628427i"), true},
        {"IMCOT(\"1+i\")", text(u"0.217621561854403-0.868014142895925i"), true},
        {"IMSECH(\"1+i\")", text(u"0.498337030555187-0.591083841721045i"), true},
        {"IMCSCH(\"1+i\")", text(u"0.303931001628427-0.621518017170429i"), true},
        // Texts that are no complex number, and what has no result (LibreOffice: Err:502).
        {"IMREAL(\"x\")", err(u"#NUM!")},
        {"IMREAL(\"1+2i+3\")", err(u"#NUM!")},
        {"IMDIV(\"1\",\"0\")", err(u"#NUM!")},
        {"IMLN(\"0\")", err(u"#NUM!")},
        {"IMSUM(\"1+i\",\"2+3j\")", err(u"#VALUE!")},
    };
    expectAll(sheet, cases, 4);
}

// SUBTOTAL 1 to 11 pass over the rows a filter hides but count rows hidden by hand; 101 to 111
// pass over both. The workbook is written by openpyxl: a filter over A1:A6 (a header and five
// numbers) hides rows 3 and 5; row 8, outside it, is hidden by hand.
TEST(SingleFunctions, SubtotalPassesOverRowsAFilterHides) {
    const QString path = testsupport::freshDir(QStringLiteral("sub")) + QStringLiteral("/Filtered.xlsx");
    sheettest::runPython(QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws["A1"] = "Amount"
for r, v in enumerate([1, 2, 3, 4, 5], start=2):
    ws.cell(r, 1).value = v
ws["A8"] = 100
ws.auto_filter.ref = "A1:A6"
ws.auto_filter.add_filter_column(0, ["1", "3", "5"])
for r in (3, 5, 8):
    ws.row_dimensions[r].hidden = True
wb.save(sys.argv[1])
)"),
                         {path});
    auto wb = Workbook::open(path);
    Worksheet& sheet = wb->sheet(0);
    const std::vector<Case> cases = {
        {"SUBTOTAL(9,A2:A8)", num(109)}, {"SUBTOTAL(109,A2:A8)", num(9)}, {"SUBTOTAL(2,A1:A8)", num(4)},
        {"SUBTOTAL(102,A1:A8)", num(3)}, {"SUBTOTAL(3,A1:A8)", num(5)},   {"SUBTOTAL(4,A2:A8)", num(100)},
        {"SUBTOTAL(1,A2:A6)", num(3)},   {"SUM(A2:A8)", num(115)},
    };
    expectAll(sheet, cases, 3);
}

// A reference to another workbook named by its address in quotes within the brackets keeps the
// result the writer stored, as every reference to another workbook does.
TEST(SingleFunctions, AWorkbookNamedByItsAddressIsAnotherWorkbook) {
    auto wb =
        Workbook::openBytes(sheettest::packageWithSheetData(
                                "<row r=\"1\"><c r=\"A1\"><v>2</v></c>"
                                "<c r=\"B1\"><f>['file:///C:/Budgets/Rates.xlsx']Sheet1!A1+1</f><v>42</v></c>"
                                "<c r=\"C1\"><f>B1*A1</f><v>84</v></c></row>"),
                            QStringLiteral("External.xlsx"));
    Worksheet& sheet = wb->sheet(0);
    sheet.setEntry({2, 1}, QStringLiteral("7")); // a write elsewhere: a calculation runs
    EXPECT_EQ(sheet.value({1, 2}), num(42));
    EXPECT_FALSE(sheet.isStale({1, 2})) << "nothing it reads was written";
    EXPECT_EQ(sheet.formula({1, 2}), QStringLiteral("=['file:///C:/Budgets/Rates.xlsx']Sheet1!A1+1"));
    sheet.setEntry({1, 1}, QStringLiteral("3"));
    EXPECT_EQ(sheet.value({1, 3}), num(126)) << "its reader uses the stored result";
    EXPECT_FALSE(sheet.isStale({1, 3}));
}

// Every function the engine evaluates, grouped by family, called with its fewest arguments (a
// block of numbers where it reads a block, else a number): each gives a result of its own --
// no #NAME?, which a function of the table that its family does not evaluate would give -- and
// none is left stale, in a workbook written by openpyxl and again after a write.
TEST(SingleFunctions, EveryFunctionOfEveryFamilyIsEvaluated) {
    QStringList formulas;
    for (std::string_view name : FormulaFunctions::names()) {
        const FormulaFunctions::Info info = *FormulaFunctions::find(name);
        QStringList args;
        for (int i = 0; i < std::max(info.minArgs, 1) && i < info.maxArgs; ++i)
            args << (FormulaFunctions::argument(info.id, i) == FormulaFunctions::Argument::Block
                         ? QStringLiteral("A1:A5")
                         : QStringLiteral("A%1").arg(i + 1));
        formulas << QStringLiteral("=%1(%2)").arg(QString::fromLatin1(name.data(), qsizetype(name.size())),
                                                  args.join(u','));
    }
    ASSERT_GE(formulas.size(), 280);
    QString script = QStringLiteral("import sys, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n"
                                    "for r, v in enumerate([2, 3, 0.5, 4, 5], start=1):\n"
                                    "    ws.cell(r, 1).value = v\n");
    for (int i = 0; i < formulas.size(); ++i)
        script += QStringLiteral("ws.cell(%1, 3).value = %2\n")
                      .arg(i + 1)
                      .arg(QStringLiteral("'") + QString(formulas[i]).replace(u'\'', QStringLiteral("\\'")) +
                           u'\'');
    script += QStringLiteral("wb.save(sys.argv[1])\n");
    const QString path = testsupport::freshDir(QStringLiteral("every")) + QStringLiteral("/Functions.xlsx");
    sheettest::runPython(script, {path});
    auto wb = Workbook::open(path);
    Worksheet& sheet = wb->sheet(0);
    auto check = [&](const char* when) {
        for (int i = 0; i < formulas.size(); ++i) {
            EXPECT_FALSE(sheet.isStale({i + 1, 3})) << when << " " << formulas[i].toStdString();
            EXPECT_NE(sheet.value({i + 1, 3}), sheettest::err(u"#NAME?"))
                << when << " " << formulas[i].toStdString();
        }
    };
    check("on opening");
    sheet.setEntry({3, 1}, QStringLiteral("1.5"));
    check("after a write");
}
