// See BudgetContextName.h.
#include "core/BudgetContextName.h"

#include "core/cOptions.h"

namespace core {

QString ContextBudget() {
    if (!gOptions)
        return {};
    const QString& context = gOptions->BudgetNameContext;
    if (context.compare(kNoBudgetContext, Qt::CaseInsensitive) == 0)
        return {};
    return context;
}

} // namespace core
