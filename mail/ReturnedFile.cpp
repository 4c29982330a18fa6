// See ReturnedFile.h. The workbook layer opens the bytes as a look at the user file's sheet,
// which the cut names the file after: that sheet's cells are read, every other worksheet's part
// is only unpacked and checked, so a file of many large sheets costs the check one sheet. An
// encrypted package answers that it needs its password, which is enough to know what it is.
#include "mail/ReturnedFile.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"

#include <QFileInfo>

namespace mail {

ReturnedFileCheck CheckReturnedFile(const QByteArray& data, const QString& name) {
    if (data.isEmpty())
        return {name + QStringLiteral(" is empty"), std::nullopt};
    try {
        platform::sheet::OpenOptions look = platform::sheet::OpenOptions::readOnlyAccess();
        look.onlySheet = QFileInfo(name).completeBaseName();
        const std::unique_ptr<platform::sheet::Workbook> book =
            platform::sheet::Workbook::openBytes(data, name, look);
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
