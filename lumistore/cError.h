// cError: the one layout of the data store library's error texts. cData fills its callers'
// error texts with it, and callers create it themselves for their own messages in the same
// layout:
//
//   Error Msg: <message>
//   <empty line>
//   Procedure: <procedure>
//   <the connection's error details, or the run-time error's number, source and description>
//
// Lines are joined by CR-LF. The run-time error is the exception being handled when the
// text is formatted (inside a catch block); outside one there is none, and only its source
// line is written (the application title).
#pragma once

#include "lumistore/DataSourceError.h"
#include "lumistore/LumistoreExport.h"

#include <QString>

namespace lumistore {

class LUMISTORE_EXPORT cError {
public:
    // True when the collection holds an error whose SQL state is neither "01000" nor "00000".
    bool ADOError(const DataSourceErrors& cnn) const;

    // The error text; strADOErr (the connection's details), when not empty, stands in for
    // the run-time error's lines.
    QString FormatErrorText(const QString& strError, const QString& strProcedure,
                            const QString& strADOErr) const;

    // One block per error, blocks joined by CR-LF; each block holds the lines "Error Number: ",
    // "Error Source: ", "Description: ", "Native Error: ", "SQL State: " whose values are
    // not zero or empty. Empty for an empty collection.
    QString FormatADOErrorText(const DataSourceErrors& cnn) const;

    // The source named when the run-time error has none; set without surrounding blanks.
    const QString& ApplicationTitle() const { return applicationTitle_; }
    void setApplicationTitle(const QString& title) { applicationTitle_ = title.trimmed(); }

private:
    QString applicationTitle_;
};

} // namespace lumistore
