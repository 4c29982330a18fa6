// The global query object gDB2; the behaviour is QueryObject's.
#include "core/cDB2.h"

namespace core {

std::unique_ptr<cDB2> gDB2;

} // namespace core
