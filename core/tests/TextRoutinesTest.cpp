// The shared text routines: case-insensitive sort and replace-every-occurrence.
#include "core/TextRoutines.h"

#include <gtest/gtest.h>

using core::QuickSortText;
using core::ReplaceText;

namespace {

bool sortedIgnoringCase(const QStringList& items) {
    for (qsizetype i = 1; i < items.size(); ++i)
        if (QString::compare(items[i - 1], items[i], Qt::CaseInsensitive) > 0)
            return false;
    return true;
}

} // namespace

TEST(QuickSortText, SortsIgnoringCase) {
    QStringList items{"beta", "Alpha", "alpha2", "BETA0"};
    QuickSortText(items, 0, items.size() - 1);
    EXPECT_EQ(items, (QStringList{"Alpha", "alpha2", "beta", "BETA0"}));
}

TEST(QuickSortText, SortsOnlyTheGivenRange) {
    QStringList items{"z", "d", "C", "b", "A", "a0"};
    QuickSortText(items, 1, 4);
    EXPECT_EQ(items, (QStringList{"z", "A", "b", "C", "d", "a0"}));
}

TEST(QuickSortText, HandlesDuplicatesSortedReversedAndTinyLists) {
    const QList<QStringList> cases{
        {},
        {"one"},
        {"b", "a"},
        {"x", "X", "x", "a", "A", "x"},
        {"e", "d", "c", "b", "a", "E", "D", "C", "B", "A"},
        {"a", "b", "c", "d", "e", "f", "g"},
    };
    for (QStringList items : cases) {
        const QStringList before = items;
        QuickSortText(items, 0, items.size() - 1);
        EXPECT_TRUE(sortedIgnoringCase(items)) << items.join(',').toStdString();
        QStringList a = items, b = before;
        a.sort(Qt::CaseSensitive);
        b.sort(Qt::CaseSensitive);
        EXPECT_EQ(a, b) << "elements lost or duplicated";
    }
}

TEST(QuickSortText, LargeShuffledListComesOutSorted) {
    QStringList items;
    for (int i = 0; i < 2000; ++i)
        items << QStringLiteral("%1Item%2").arg(i % 2 ? "a" : "A").arg((i * 7919) % 2000, 4, 10, QChar('0'));
    QuickSortText(items, 0, items.size() - 1);
    EXPECT_TRUE(sortedIgnoringCase(items));
    EXPECT_EQ(items.size(), 2000);
}

TEST(ReplaceText, Cases) {
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        int mode;
        const char* expected;
    };
    const Case cases[] = {
        {"C:/Budgets/budget.xls", ".xls", "old.xls", core::kCompareText, "C:/Budgets/budgetold.xls"},
        {"a.XLS and b.xls", ".xls", "old.xls", core::kCompareText, "aold.xls and bold.xls"},
        {"a.XLS and b.xls", ".xls", "old.xls", core::kCompareBinary, "a.XLS and bold.xls"},
        {"no match here", "zz", "y", core::kCompareText, "no match here"},
        {"aaaa", "aa", "b", core::kCompareText, "bb"},
        {"abab", "ab", "", core::kCompareText, ""},
        {"", "x", "y", core::kCompareText, ""},
        {"keep me", "", "y", core::kCompareText, "keep me"},
    };
    for (const Case& c : cases) {
        const auto result = ReplaceText(QString::fromUtf8(c.text), QString::fromUtf8(c.find),
                                        QString::fromUtf8(c.replacement), c.mode);
        ASSERT_TRUE(result.has_value()) << c.text;
        EXPECT_EQ(*result, QString::fromUtf8(c.expected)) << c.text << " / " << c.find;
    }
}

TEST(ReplaceText, NullTextGivesNull) {
    EXPECT_FALSE(ReplaceText(std::nullopt, "a", "b", core::kCompareText).has_value());
}

TEST(ReplaceText, LongTextsBeyondSixteenBits) {
    const QString text = QString(40000, 'x') + "END" + QString(40000, 'x') + "end";
    const auto result = ReplaceText(text, "end", "stop", core::kCompareText);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->count("stop"), 2);
    EXPECT_TRUE(result->endsWith("stop"));
}
