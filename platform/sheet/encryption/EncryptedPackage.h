// The file-open password of a workbook. A workbook saved with such a password is not a zip package
// but a compound file holding the encrypted package ("EncryptedPackage") and a description of how it
// was encrypted ("EncryptionInfo"). These functions tell such a file apart, open it with a password
// (agile and standard forms) and write one (agile form). Everything works on bytes in memory; the
// workbook layer reads and writes the files.
#pragma once

#include "platform/sheet/encryption/EncryptionError.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace platform::sheet::encryption {

// True when the bytes are a readable compound file with both encryption streams in its root. A
// compound file that is damaged or holds something else (a legacy binary workbook) answers false.
bool isEncryptedPackage(const QByteArray& file);

// The plain package (zip bytes) inside an encrypted workbook file. Throws EncryptionError:
// WrongPassword for a wrong or empty password, DamagedFile when the container or its encryption
// data is malformed, cut short or fails its integrity check, Unsupported for encryption methods
// other than the agile and standard AES forms.
QByteArray decryptPackage(const QByteArray& file, const QString& password);

// An encrypted workbook file holding the package: agile form, SHA-512, AES-256 in CBC chaining,
// 100,000 spin rounds, fresh random salts and keys, an HMAC over the encrypted data.
QByteArray encryptPackage(const QByteArray& zipBytes, const QString& password);

// Entry for a fuzz target: runs the reading paths on arbitrary bytes and swallows the module's own
// errors, so that only a crash or a sanitizer report counts as a finding. Always returns 0.
int fuzzEncryptedPackage(const std::uint8_t* data, std::size_t size);

} // namespace platform::sheet::encryption
