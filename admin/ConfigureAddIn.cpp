// See ConfigureAddIn.h.
#include "admin/ConfigureAddIn.h"

namespace admin {

namespace {

std::optional<ConfigureAddIn>& edition() {
    static std::optional<ConfigureAddIn> addIn;
    return addIn;
}

} // namespace

void setConfigureAddIn(std::optional<ConfigureAddIn> addIn) {
    edition() = std::move(addIn);
}

const std::optional<ConfigureAddIn>& configureAddIn() {
    return edition();
}

} // namespace admin
