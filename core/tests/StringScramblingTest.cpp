// The scrambling of stored passwords: worked examples both ways, every single-byte character
// with every factor, the random factors and the group form, characters the form cannot carry,
// texts it did not make, the hourglass, and failing or out-of-range factor sources.
#include "core/StringScrambling.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSet>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

using core::DecodeString;
using core::EncodeString;

namespace {

// A factor source that gives the listed factors in turn.
core::ScrambleFactorSource factors(std::vector<int> list) {
    auto next = std::make_shared<size_t>(0);
    return [list = std::move(list), next] { return list.at((*next)++ % list.size()); };
}

QString allSingleByteCodes() {
    QString text;
    for (int code = 0; code <= 255; ++code)
        text += QChar(static_cast<char16_t>(code));
    return text;
}

// Splits a scrambled text into its groups by their length marks.
QStringList groups(const QString& scrambled) {
    QStringList out;
    for (int i = 0; i < scrambled.size();) {
        const int n = scrambled[i].digitValue();
        if (n < 0)
            return {};
        out << scrambled.mid(i, n + 1);
        i += n + 1;
    }
    return out;
}

// The factor carried in a group: digits 3 and 4 of the decimal number it writes.
int factorOf(const QString& group) {
    qint64 x = 0;
    for (int j = 1; j < group.size(); ++j)
        x = x * 93 + (group[j].unicode() - 33);
    return QString::number(x).mid(2, 2).toInt();
}

TEST(StringScrambling, WorkedExamplesDecode) {
    EXPECT_EQ(DecodeString("3Cnf3mZZ3RvO"), "abc");
    EXPECT_EQ(DecodeString("4\"#-3"), "0");
}

TEST(StringScrambling, ChosenFactorsReproduceTheWorkedExamples) {
    EXPECT_EQ(EncodeString("abc", factors({12, 26, 17})), "3Cnf3mZZ3RvO");
    EXPECT_EQ(EncodeString("0", factors({27})), "4\"#-3");
}

TEST(StringScrambling, EmptyTextStaysEmpty) {
    EXPECT_EQ(EncodeString(""), "");
    EXPECT_EQ(DecodeString(""), "");
}

TEST(StringScrambling, EveryCodeWithEveryFactorRoundTrips) {
    const QString all = allSingleByteCodes();
    for (int factor = 10; factor <= 28; ++factor) {
        const QString scrambled = EncodeString(all, factors({factor}));
        EXPECT_EQ(DecodeString(scrambled), all) << "factor " << factor;
    }
    // And with the random factors the program uses.
    for (int run = 0; run < 5; ++run)
        EXPECT_EQ(DecodeString(EncodeString(all)), all);
}

TEST(StringScrambling, EqualTextsEncodeDifferentlyAndDecodeAlike) {
    const QString password = "Budget-2024!secret";
    const QString first = EncodeString(password);
    const QString second = EncodeString(password);
    EXPECT_NE(first, second);
    EXPECT_EQ(DecodeString(first), password);
    EXPECT_EQ(DecodeString(second), password);
}

TEST(StringScrambling, RandomFactorsCoverTenToTwentyEight) {
    const QStringList parts = groups(EncodeString(QString(400, QChar('m'))));
    ASSERT_EQ(parts.size(), 400);
    QSet<int> seen;
    for (const QString& group : parts) {
        const int factor = factorOf(group);
        ASSERT_GE(factor, 10) << group.toStdString();
        ASSERT_LE(factor, 28) << group.toStdString();
        seen.insert(factor);
    }
    EXPECT_EQ(seen.size(), 19); // every value of the range is drawn, both ends included
}

TEST(StringScrambling, GroupsHaveTheirMarksAndPrintableDigits) {
    const QString all = allSingleByteCodes();
    for (int factor = 10; factor <= 28; ++factor) {
        const QString scrambled = EncodeString(all, factors({factor}));
        const QStringList parts = groups(scrambled);
        ASSERT_EQ(parts.size(), all.size());
        for (const QString& group : parts) {
            ASSERT_TRUE(group.startsWith('3') || group.startsWith('4')) << group.toStdString();
            if (group.startsWith('4')) {
                EXPECT_EQ(group[1], QChar('"')) << group.toStdString();
            }
        }
        for (QChar c : scrambled) {
            ASSERT_GE(c.unicode(), 33);
            ASSERT_LE(c.unicode(), 125);
        }
    }
}

TEST(StringScrambling, FortyCharactersFitTwoHundred) {
    // Low codes with high factors give the largest groups.
    const QString text(40, QChar(char16_t(0)));
    const QString widest = EncodeString(text, factors({28}));
    EXPECT_EQ(widest.size(), 200);
    for (int run = 0; run < 20; ++run) {
        const QString scrambled = EncodeString(allSingleByteCodes().left(40));
        EXPECT_GE(scrambled.size(), 160);
        EXPECT_LE(scrambled.size(), 200);
    }
}

TEST(StringScrambling, CharactersOutsideSingleByteSetBecomeQuestionMarks) {
    EXPECT_EQ(DecodeString(EncodeString(QString::fromUtf8("a\xE2\x82\xAC"
                                                          "b"))),
              "a?b");
    // A character beyond the basic plane is one character, so one "?".
    EXPECT_EQ(DecodeString(EncodeString(QString::fromUtf8("x\xF0\x9F\x98\x80y"))), "x?y");
}

struct DecodeCase {
    const char* scrambled;
    QString plain;
    const char* why;
};

// Inputs not made by EncodeString, worked through by hand.
TEST(StringScrambling, DecodingQuirks) {
    const DecodeCase cases[] = {
        {"Budget", "", "no digit: every group empty, the factor stays 0, nothing appended"},
        {"password", "", "a plain word of letters"},
        {"xy3Cnf", "a", "characters ahead of the first digit are passed over"},
        {"Zz !3Cnf3mZZ3RvO", "abc", "as if the text began at its first digit"},
        {"4Cnf", "a", "a group cut short by the end: the exponent comes from its real length"},
        {"3CnfXmZZ", "ab", "a mark that is no digit keeps the previous length (3)"},
        {"3Cnf3,U:", "aa", "100000 gives factor 0: the division fails, the previous character repeats"},
        {"3,U:", "", "factor 0 before any character: the code 355 is out of range"},
        {"387A", QString(QChar(char16_t(155))), "2005 / 10 = 200.5 goes to 200 (the even one)"},
        {"387K", QString(QChar(char16_t(153))), "2015 / 10 = 201.5 goes to 202 (the even one)"},
        {"3Cnf03mZZ", "ab", "mark 0: an empty group, the quotient 0 gives no character"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeString(QString::fromLatin1(c.scrambled)), c.plain) << c.scrambled << ": " << c.why;
}

TEST(StringScrambling, HourglassShowsWhileRunningAndThePreviousPointerReturns) {
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    bool busyDuringRun = false;
    const QString scrambled = EncodeString("ab", [&] {
        busyDuringRun =
            QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return 15;
    });
    EXPECT_TRUE(busyDuringRun);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    EXPECT_EQ(DecodeString(scrambled), "ab");
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(StringScrambling, FailingFactorSourceEndsQuietlyWithTheTextSoFar) {
    int calls = 0;
    QString scrambled;
    EXPECT_NO_THROW(scrambled = EncodeString("abc", [&]() -> int {
                        if (++calls == 2)
                            throw std::runtime_error("no factor");
                        return 12;
                    }));
    EXPECT_EQ(scrambled, "3Cnf");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(StringScrambling, FactorsOutsideTheRangeAreBroughtIntoIt) {
    EXPECT_EQ(EncodeString("a", factors({5})), EncodeString("a", factors({10})));
    EXPECT_EQ(EncodeString("a", factors({99})), EncodeString("a", factors({28})));
}

} // namespace
