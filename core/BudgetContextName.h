// The budget context as the commands read it: gOptions.BudgetNameContext, where an empty text
// or "Nothing" in any letter case means that no budget is chosen.
#pragma once

#include <QString>

namespace core {

inline const QString kNoBudgetContext = QStringLiteral("Nothing");

// The context budget's name, or the empty text when no budget is chosen.
QString ContextBudget();

// True when a budget is the context.
inline bool HasContextBudget() {
    return !ContextBudget().isEmpty();
}

} // namespace core
