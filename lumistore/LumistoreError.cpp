// See LumistoreError.h. The destructor is defined here so that the type's identity lives in
// the library and a caller's catch clause matches it.
#include "lumistore/LumistoreError.h"

namespace lumistore {

LumistoreError::LumistoreError(qint32 number, QString description)
    : number_(number)
    , description_(std::move(description))
    , what_(description_.toStdString()) {}

LumistoreError::~LumistoreError() = default;

} // namespace lumistore
