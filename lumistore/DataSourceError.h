// One error of a data-source connection, as cData collects them while it works and cError
// formats them: the error's number, where it came from, its description, the engine's own
// result code and a five-character SQL state ("01000" and "00000" are warnings and
// success, which do not count as errors).
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace lumistore {

struct DataSourceError {
    qint32 Number = 0;
    QString Source;
    QString Description;
    qint32 NativeError = 0;
    QString SQLState;
};

// The error collection of a connection, in the order the errors came.
using DataSourceErrors = QList<DataSourceError>;

} // namespace lumistore
