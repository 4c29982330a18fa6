// See ReportFailure.h.
#include "lumidesk/ReportFailure.h"

#include "core/ErrorMessage.h"
#include "lumistore/LumistoreError.h"

namespace lumidesk {

void ReportFailure(const std::exception& error) {
    if (const auto* store = dynamic_cast<const lumistore::LumistoreError*>(&error)) {
        core::ShowErrorMessage(store->number(), store->description());
        return;
    }
    core::ShowErrorMessage(error);
}

} // namespace lumidesk
