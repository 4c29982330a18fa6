// The program's own scrambling of stored passwords and identifiers; see StringScrambling.h.
#include "core/StringScrambling.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <vector>

namespace core {

namespace {

constexpr int kBase = 93;
constexpr int kFirstDigitCode = 33; // "!" is digit 0, "}" digit 92
constexpr int kCodeOffset = 355;    // p = (355 - code) * factor keeps p at four digits
constexpr int kMinFactor = 10;
constexpr int kMaxFactor = 28;
constexpr char32_t kUnmappable = U'?';

// Shows the hourglass for the life of the object and puts the previous pointer back,
// however the scope is left. Only where a GUI application runs, on its thread.
class BusyPointer {
public:
    BusyPointer() {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (app && QThread::currentThread() == app->thread()) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            active_ = true;
        }
    }
    ~BusyPointer() {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    bool active_ = false;
};

// The characters of a text by code point, each as its single-byte code; characters
// outside Latin-1 (including a surrogate pair, which is one character) become "?".
std::vector<char32_t> characters(const QString& text) {
    std::vector<char32_t> out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const char32_t c : text.toUcs4())
        out.push_back(c <= 0xFF ? c : kUnmappable);
    return out;
}

int randomFactor() {
    // The process-wide generator is seeded once from the system's entropy source.
    return static_cast<int>(QRandomGenerator::global()->bounded(kMinFactor, kMaxFactor + 1));
}

qint64 power(qint64 base, int exponent) {
    qint64 result = 1;
    while (exponent-- > 0)
        result *= base;
    return result;
}

// One character's group: length mark, then x in base 93, most significant digit first.
QString encodeCharacter(int code, int factor) {
    const int p = (kCodeOffset - code) * factor;           // 1000 to 9940
    qint64 x = (p / 100) * 10000 + factor * 100 + p % 100; // digits p1 p2 k1 k2 p3 p4
    int top = 0;
    for (int e = 5; e >= 0; --e) {
        if (x / power(kBase, e) >= 1) {
            top = e;
            break;
        }
    }
    QString digits;
    for (int e = top; e >= 0; --e) {
        const qint64 unit = power(kBase, e);
        digits += QChar(static_cast<char16_t>(x / unit + kFirstDigitCode));
        x %= unit;
    }
    return QString::number(digits.size()) + digits;
}

// p / k to the nearest whole number, a half to the even neighbour; k > 0.
qint64 roundedQuotient(qint64 p, qint64 k) {
    qint64 q = p / k;
    qint64 r = p % k;
    if (r < 0) { // floor division
        q -= 1;
        r += k;
    }
    if (2 * r > k || (2 * r == k && q % 2 != 0))
        q += 1;
    return q;
}

bool isDecimalDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

} // namespace

QString EncodeString(const QString& text) noexcept {
    return EncodeString(text, randomFactor);
}

QString EncodeString(const QString& text, const ScrambleFactorSource& drawFactor) noexcept {
    BusyPointer busy;
    QString result;
    try {
        for (const char32_t c : characters(text)) {
            const int factor = std::clamp(drawFactor ? drawFactor() : randomFactor(), kMinFactor, kMaxFactor);
            result += encodeCharacter(static_cast<int>(c), factor);
        }
    } catch (...) {
        // Nothing escapes to the caller: the text scrambled so far is the answer.
    }
    return result;
}

// Reads group after group. Each step that cannot be done (a mark that is no digit, a
// number too short to hold a factor, a factor of 0, a code outside 0 to 255) leaves its
// value as an earlier group set it and the work goes on; so characters ahead of the first
// digit are passed over one at a time, and a text that is no scrambled text decodes to
// little or nothing rather than failing.
QString DecodeString(const QString& text) noexcept {
    BusyPointer busy;
    QString result;
    try {
        const std::vector<char32_t> chars = characters(text);
        const qint64 length = static_cast<qint64>(chars.size());
        qint64 n = 0, k = 0, p = 0, q = 0;
        for (qint64 i = 0; i < length; i += n + 1) {
            if (isDecimalDigit(chars[i]))
                n = chars[i] - U'0';
            const qint64 groupLength = std::min(n, length - i - 1);
            qint64 x = 0;
            for (qint64 j = 0; j < groupLength; ++j) {
                const qint64 digit = static_cast<qint64>(chars[i + 1 + j]) - kFirstDigitCode;
                x += digit * power(kBase, static_cast<int>(groupLength - 1 - j));
            }
            const QString decimal = QString::number(x);
            if (decimal.size() >= 3)
                k = decimal.mid(2, 2).toLongLong();
            bool ok = false;
            const qint64 value = (decimal.left(2) + decimal.mid(4, 2)).toLongLong(&ok);
            if (ok)
                p = value;
            if (k != 0)
                q = roundedQuotient(p, k);
            const qint64 code = kCodeOffset - q;
            if (code >= 0 && code <= 0xFF)
                result += QChar(static_cast<char16_t>(code));
        }
    } catch (...) {
        // Nothing escapes to the caller: the text decoded so far is the answer.
    }
    return result;
}

bool IsScramblable(const QString& text) noexcept {
    for (const char32_t code : text.toUcs4())
        if (code > 255)
            return false;
    return true;
}

bool ScrambledEquals(const QString& scrambled, const QString& plain) noexcept {
    return DecodeString(scrambled).compare(DecodeString(EncodeString(plain)), Qt::CaseInsensitive) == 0;
}

} // namespace core
