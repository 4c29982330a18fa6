// The global query object gDB3; the behaviour is QueryObject's.
#include "core/cDB3.h"

namespace core {

std::unique_ptr<cDB3> gDB3;

} // namespace core
