// The workbook layer's error: code, number for the generic message, description.
#include "platform/sheet/SheetError.h"

namespace platform::sheet {

SheetError::SheetError(Code code, QString description)
    : code_(code)
    , description_(std::move(description))
    , what_(description_.toStdString()) {}

int SheetError::number() const {
    return code_ == Code::NoSuchSheet ? kSubscriptOutOfRange : kApplicationError;
}

} // namespace platform::sheet
