// Whether a file that came back by mail may replace a user file. A user file is a workbook: what
// replaces it must be one that opens, as a workbook package or as an encrypted package (a
// workbook with a file-open password), so that an empty file, a text, a workbook cut short in
// transit or decoded from damaged content never takes the place of the last good one.
#pragma once

#include <QByteArray>
#include <QString>

namespace mail {

// Why the file may not replace a user file, or "" when it may. name: the attachment's name.
QString ReturnedFileRefusal(const QByteArray& data, const QString& name);

} // namespace mail
