// Query object cDB3 and its global gDB3: the same as cDB2, for queries that run while a
// recordset of gDB2 is still in use (nested loops) and for the writers of the errors table.
// Reset gDB3 after use, which closes its connection.
#pragma once

#include "core/QueryObject.h"

#include <memory>

namespace core {

class cDB3 : public QueryObject {
public:
    using QueryObject::QueryObject;
};

extern std::unique_ptr<cDB3> gDB3;

} // namespace core
