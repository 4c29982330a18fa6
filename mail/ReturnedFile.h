// Whether a file that came back by mail may replace a user file. A user file is a workbook: what
// replaces it must be one that opens, as a workbook package or as an encrypted package (a
// workbook with a file-open password), so that an empty file, a text, a workbook cut short in
// transit or decoded from damaged content never takes the place of the last good one. The check
// reads no more than that needs: the package, every worksheet part unpacked and checked, and the
// cells of the user file's own sheet alone; a package beyond what a workbook holds is refused
// with the layer's message. The workbook's stamp (workbooks/UserFileStamp.h) says which user file
// it was cut as; an encrypted package's cannot be read and counts as none.
#pragma once

#include "workbooks/UserFileStamp.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace mail {

struct ReturnedFileCheck {
    QString refusal; // why the file may not replace a user file; "" when it may
    std::optional<workbooks::UserFileStamp> stamp;
};

// name: the attachment's name.
ReturnedFileCheck CheckReturnedFile(const QByteArray& data, const QString& name);

} // namespace mail
