// The one error type of the encrypted-package module. Its code tells the caller what went wrong, so
// that a refused password ("ask again") is never mistaken for a damaged file ("give up") or for a
// file that uses an encryption this module does not read.
#pragma once

#include <QString>
#include <stdexcept>

namespace platform::sheet::encryption {

class EncryptionError : public std::runtime_error {
public:
    enum class Code {
        // The password is wrong or missing: the file itself looks sound.
        WrongPassword,
        // The container or its encryption data is malformed, truncated or fails its integrity check.
        DamagedFile,
        // A well-formed file whose encryption method or algorithm this module does not handle.
        Unsupported,
    };

    EncryptionError(Code code, const QString& message);

    Code code() const { return code_; }
    QString message() const { return QString::fromUtf8(what()); }

    static EncryptionError wrongPassword();
    static EncryptionError damaged(const QString& detail);
    static EncryptionError unsupported(const QString& detail);

private:
    Code code_;
};

} // namespace platform::sheet::encryption
