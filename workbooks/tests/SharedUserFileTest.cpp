// When a user file belongs to two budgets: a worksheet row of another budget that records the same
// path makes it so, whichever budget asks; a duplicated row of the budget itself does not, budget
// names compare without regard to case, paths exactly; of several rows the first written is named.
#include "workbooks/SharedUserFile.h"

#include "BudgetFixture.h"

#include <vector>

namespace {

class SharedUserFileTest : public workbookstest::BudgetFixture {};

TEST_F(SharedUserFileTest, OnlyARowOfAnotherBudgetMakesAUserFileShared) {
    const QString path = QStringLiteral("/b/North/Sales.xlsx");
    struct Row {
        const char* sheet;
        const char* budget;
        QString path;
    };
    const struct {
        const char* name;
        std::vector<Row> rows;
        const char* asking;
        const char* found; // "sheet|budget", empty for none
    } cases[] = {
        {"the budget's own row alone", {{"Sales", "Plan", path}}, "Plan", ""},
        {"a duplicated row of the budget, its name in other letters",
         {{"Sales", "Plan", path}, {"Sales", "PLAN", path}},
         "plan",
         ""},
        {"a row of another budget",
         {{"Sales", "Plan", path}, {"Costs", "Other", path}},
         "Plan",
         "Costs|Other"},
        {"the other budget asking",
         {{"Sales", "Plan", path}, {"Costs", "Other", path}},
         "Other",
         "Sales|Plan"},
        {"another budget's file in other letters is another file",
         {{"Sales", "Plan", path}, {"Sales", "Other", QStringLiteral("/b/North/sales.xlsx")}},
         "Plan",
         ""},
        {"another budget's row in another folder",
         {{"Sales", "Other", QStringLiteral("/b/South/Sales.xlsx")}},
         "Plan",
         ""},
        {"two other budgets: the first row written",
         {{"Sales", "Plan", path}, {"Summary", "Third", path}, {"Costs", "Other", path}},
         "Plan",
         "Summary|Third"},
    };
    for (const auto& c : cases) {
        execute("DELETE FROM Worksheets");
        for (const Row& row : c.rows)
            execute("INSERT INTO Worksheets (Worksheet_Name, Budget_Name, UFNPath) VALUES (?, ?, ?)",
                    {QString::fromLatin1(row.sheet), QString::fromLatin1(row.budget), row.path});
        platform::db::Connection cnn = openMaster();
        const std::optional<workbooks::OtherBudgetsSheet> other =
            workbooks::OtherBudgetRecordingUserFile(cnn, path, QString::fromLatin1(c.asking));
        EXPECT_EQ(other ? other->worksheet + u'|' + other->budget : QString(), QString::fromLatin1(c.found))
            << c.name;
    }
}

} // namespace
