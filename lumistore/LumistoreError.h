// The one exception type that leaves the data store library. The clean-up and deletion
// classes raise every failure of the database engine (or of the workbook reader) as a
// LumistoreError carrying the engine's error number and description, so the caller's own
// error handling can show "Error <number> has occured. <description>".
#pragma once

#include "lumistore/LumistoreExport.h"

#include <QString>
#include <QtGlobal>
#include <exception>
#include <string>

namespace lumistore {

class LUMISTORE_EXPORT LumistoreError : public std::exception {
public:
    LumistoreError(qint32 number, QString description);
    ~LumistoreError() override;

    qint32 number() const { return number_; }
    const QString& description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    qint32 number_;
    QString description_;
    std::string what_;
};

} // namespace lumistore
