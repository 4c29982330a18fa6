// See cUpdate.h.
#include "workbooks/cUpdate.h"

namespace workbooks {

std::unique_ptr<cUpdate> gUpdate;

} // namespace workbooks
