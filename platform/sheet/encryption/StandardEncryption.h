// The "standard" form of an encrypted workbook package: a binary header naming AES with a 128-,
// 192- or 256-bit key and SHA-1, a key derived from the password by 50,000 SHA-1 rounds, a verifier
// to tell a wrong password, and the package encrypted as a whole in ECB chaining. Read only: the
// module writes the agile form.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform::sheet::encryption {

class StandardEncryption {
public:
    // info is the whole EncryptionInfo stream, package the whole EncryptedPackage stream. Throws
    // EncryptionError: WrongPassword, DamagedFile, or Unsupported (RC4, outside providers).
    static QByteArray decrypt(const QByteArray& info, const QByteArray& package, const QString& password);
};

} // namespace platform::sheet::encryption
