// See DbError.h.
#include "platform/db/DbError.h"

namespace platform::db {

DbError::DbError(qint32 number, QString description, int nativeError)
    : number_(number)
    , description_(std::move(description))
    , nativeError_(nativeError)
    , what_(description_.toStdString()) {}

} // namespace platform::db
