// Query object cDB2 and its global gDB2, through which most reading and editing of rows of
// the master database goes. The habit of use: put a new cDB2 into gDB2, call GetRecordset,
// test the status, work with the rows, release the recordset and then the object (reset
// gDB2), which closes its connection.
#pragma once

#include "core/QueryObject.h"

#include <memory>

namespace core {

class cDB2 : public QueryObject {
public:
    using QueryObject::QueryObject;
};

extern std::unique_ptr<cDB2> gDB2;

} // namespace core
