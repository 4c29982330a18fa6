// The budget routines of the wizard's first two pages: adding a new budget's row, the
// uniqueness check of its name and the author list of the budgets grid, with the texts the
// pages show.
#pragma once

#include <QString>

class QLineEdit;

namespace wizard {

inline const QString kEnterValidNameText = QStringLiteral("Enter a valid budget name.");
inline const QString kApostropheText =
    QStringLiteral("The character apostophe cannot be used in the budget name.");
inline const QString kSelectAuthorText = QStringLiteral("Select a budget Author.");
inline const QString kNetworkAuthorText =
    QStringLiteral("The budget Author must be the logged on AdminUser.");
inline const QString kNameExists1Text = QStringLiteral("This budget name already exists1.");
inline const QString kNameExists2Text = QStringLiteral("This budget name already exists2.");
inline const QString kMakeContextText =
    QStringLiteral("Do you want the new budget name to be the current context?");
inline const QString kCancelNewBudgetText =
    QStringLiteral("Going back here will cancel the new budget creation.  Do you want to go back?");
inline const QString kNoAdminUserText = QStringLiteral(
    "This budget cannot be added because the logged on AdminUser is not present in the database.");
inline const QString kAuthorRequiredText =
    QStringLiteral("You must enter a value before leaving this record.");
inline const QString kNoAdminRecordsText = QStringLiteral("There aren't any Admin records.  Add some!");
inline const QString kSetContextText = QStringLiteral("Set the Budget Context.");
inline const QString kSetContextButtonText = QStringLiteral("Set the Budget Context");

// True when a budget is the context; else shows the refusal (one of the two texts above,
// as the page asks) and answers false.
bool ContextBudgetChosen(const QString& refusal);

// The check of a new budget's name typed in the box: an empty name and the placeholder's are
// refused with kEnterValidNameText, one with an apostrophe with kApostropheText, the box then
// holding the name without its apostrophes. True when the name may become a budget.
bool NewBudgetNameAccepted(QLineEdit& box);

enum class AddBudgetResult {
    Added,      // the row is stored
    NameExists, // a budget of that name (letter case aside) exists; nothing written
    Failed,     // refused or failed, and the user has been told why; nothing written
};

// Adds the Budgets row of a new budget: the name, now as its date, the author given, Active;
// on the network database also the logged-on administrator's grant.
AddBudgetResult AddBudgetRecord(const QString& name, const QString& author);

// True when no budget has that name (letter case aside). The placeholder row counts as a name.
bool BudgetNameIsUnique(const QString& name);

// Gives a loaded wizard's budgets grid the list of every account name for its author column.
void FillWizardAuthorList();

} // namespace wizard
