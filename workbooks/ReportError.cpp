// See ReportError.h.
#include "workbooks/ReportError.h"

#include "core/ErrorMessage.h"
#include "platform/sheet/SheetError.h"

namespace workbooks {

void ReportError(const std::exception& error) {
    if (const auto* sheet = dynamic_cast<const platform::sheet::SheetError*>(&error)) {
        core::ShowErrorMessage(sheet->number(), sheet->description());
        return;
    }
    core::ShowErrorMessage(error);
}

} // namespace workbooks
