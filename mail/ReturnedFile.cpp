// See ReturnedFile.h. The workbook layer opens the bytes as it would open the file; an encrypted
// package answers that it needs its password, which is enough to know what it is.
#include "mail/ReturnedFile.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"

namespace mail {

ReturnedFileCheck CheckReturnedFile(const QByteArray& data, const QString& name) {
    if (data.isEmpty())
        return {name + QStringLiteral(" is empty"), std::nullopt};
    try {
        const std::unique_ptr<platform::sheet::Workbook> book =
            platform::sheet::Workbook::openBytes(data, name, platform::sheet::OpenOptions::readOnlyAccess());
        return {QString(), workbooks::ReadUserFileStamp(*book)};
    } catch (const platform::sheet::SheetError& error) {
        if (error.code() == platform::sheet::SheetError::Code::PasswordRequired)
            return {};
        return {name + QStringLiteral(" is no workbook that opens: ") + error.description(), std::nullopt};
    } catch (const std::exception& error) {
        return {name + QStringLiteral(" is no workbook that opens: ") + QString::fromLocal8Bit(error.what()),
                std::nullopt};
    }
}

} // namespace mail
