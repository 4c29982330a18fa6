// The data store library's own options object; see cOptions.h beside this file.
#include "core/cOptions.h"

namespace core {

std::unique_ptr<cOptions> gOptions;

} // namespace core
