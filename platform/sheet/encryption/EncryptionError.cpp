// Construction of the module's error values with their user-readable texts.
#include "platform/sheet/encryption/EncryptionError.h"

namespace platform::sheet::encryption {

EncryptionError::EncryptionError(Code code, const QString& message)
    : std::runtime_error(message.toStdString())
    , code_(code) {}

EncryptionError EncryptionError::wrongPassword() {
    return EncryptionError(Code::WrongPassword, QStringLiteral("The password is not correct."));
}

EncryptionError EncryptionError::damaged(const QString& detail) {
    return EncryptionError(Code::DamagedFile,
                           QStringLiteral("The encrypted workbook is damaged: %1").arg(detail));
}

EncryptionError EncryptionError::unsupported(const QString& detail) {
    return EncryptionError(
        Code::Unsupported,
        QStringLiteral("The workbook is encrypted in a way that cannot be read: %1").arg(detail));
}

} // namespace platform::sheet::encryption
