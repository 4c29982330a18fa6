// The two forms in which a workbook stores a protection password (of a sheet, of the workbook's
// structure, of the write reservation): the legacy 16-bit hash written as four hex digits, and
// the salted, iterated SHA-512 hash (algorithm name, base64 hash and salt, spin count). New
// passwords get the SHA-512 form; both forms are verified.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace platform::sheet {

class PasswordHash {
public:
    static constexpr std::uint32_t kSpinCount = 100000;

    struct Salted {
        QString algorithm; // "SHA-512"
        QByteArray hash;   // base64
        QByteArray salt;   // base64
        std::uint32_t spinCount = kSpinCount;
    };

    // The legacy hash, as the four upper-case hex digits the format stores ("CBEB").
    static QString legacy(const QString& password);
    static bool verifyLegacy(const QString& password, const QString& storedHex);

    // A new salted hash with a random salt.
    static Salted make(const QString& password);
    // Checks a password against a stored salted hash; false for an algorithm it does not know.
    static bool verify(const QString& password, const Salted& stored);
};

} // namespace platform::sheet
