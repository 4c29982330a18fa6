// See BudgetDeletion.h: the stand-in until the wizard's deletions are built.
#include "wizard/BudgetDeletion.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace wizard {

bool DeleteBudgetData(const QString& budget, platform::db::Connection& cnn) {
    Q_UNUSED(budget);
    Q_UNUSED(cnn);
    platform::ui::msgBox(
        QStringLiteral("Deleting a budget's rows is not available yet in this version of Lumidesk."),
        platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
    return false;
}

} // namespace wizard
