// See cError.h.
#include "lumistore/cError.h"

#include "lumistore/Failure.h"

namespace lumistore {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isWarningOrSuccess(const QString& state) {
    return state == QLatin1String("01000") || state == QLatin1String("00000");
}

} // namespace

bool cError::ADOError(const DataSourceErrors& cnn) const {
    for (const DataSourceError& error : cnn)
        if (!isWarningOrSuccess(error.SQLState))
            return true;
    return false;
}

QString cError::FormatErrorText(const QString& strError, const QString& strProcedure,
                                const QString& strADOErr) const {
    QString text = QStringLiteral("Error Msg: ") + strError + kCrLf + kCrLf + QStringLiteral("Procedure: ") +
                   strProcedure + kCrLf;
    if (!strADOErr.isEmpty())
        return text + strADOErr;
    const DataSourceError failure = currentFailure();
    if (failure.Number != 0)
        text += QStringLiteral("Error Number: ") + QString::number(failure.Number);
    text += kCrLf + QStringLiteral("Error Source: ") +
            (failure.Source.isEmpty() ? applicationTitle_ : failure.Source);
    if (!failure.Description.isEmpty())
        text += kCrLf + QStringLiteral("Description: ") + failure.Description;
    return text;
}

QString cError::FormatADOErrorText(const DataSourceErrors& cnn) const {
    QString text;
    for (const DataSourceError& error : cnn) {
        QString block;
        if (error.Number != 0)
            block += QStringLiteral("Error Number: ") + QString::number(error.Number);
        if (!error.Source.isEmpty())
            block += kCrLf + QStringLiteral("Error Source: ") + error.Source;
        if (!error.Description.isEmpty())
            block += kCrLf + QStringLiteral("Description: ") + error.Description;
        if (error.NativeError != 0)
            block += kCrLf + QStringLiteral("Native Error: ") + QString::number(error.NativeError);
        if (!error.SQLState.isEmpty())
            block += kCrLf + QStringLiteral("SQL State: ") + error.SQLState;
        text += kCrLf + block;
    }
    return text.mid(2);
}

} // namespace lumistore
