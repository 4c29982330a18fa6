// Serial dates and times written in a date section of a number format: y m d h s with AM/PM
// and A/P, elapsed time ([h] [m] [s]) and fractions of a second. An m is minutes after an h
// or an s and before an s, else the month; an h, m or s after the elapsed code of its own unit
// writes the elapsed count too ("[h] h" is 75 75).
#include "platform/sheet/formula/NumberFormatSection.h"
#include "platform/sheet/formula/SerialDate.h"

#include <cmath>

namespace platform::sheet::numberformat {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// The parts of a serial date and time, rounded to what the format shows.
struct Moment {
    SerialDate date;
    long long totalSeconds = 0; // elapsed since serial 0, for [h] [m] [s]
    int hour = 0;
    int minute = 0;
    int second = 0;
    QString fraction; // digits of a second
    int weekday = 0;
};

// The digit places after a point: fractions of a second.
int fractionDigitsOf(const std::vector<Token>& tokens) {
    int digits = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == Kind::Point)
            for (std::size_t k = i + 1; k < tokens.size() && tokens[k].kind == Kind::Digit; ++k)
                digits = std::max(digits, int(k - i));
    return digits;
}

std::optional<Moment> momentOf(double value, int fractionDigits, bool date1904) {
    const double scale = std::pow(10.0, fractionDigits);
    const long long units = std::llround(value * 86400.0 * scale);
    const long long perDay = std::llround(86400.0 * scale);
    const long long days = units / perDay;
    const long long inDay = units % perDay;
    const auto date = SerialDate::fromSerial(double(days), date1904);
    if (!date)
        return std::nullopt;
    Moment m;
    m.date = *date;
    m.weekday = SerialDate::weekday(double(days), date1904);
    m.totalSeconds = units / std::llround(scale);
    const long long secondsInDay = inDay / std::llround(scale);
    m.hour = int(secondsInDay / 3600);
    m.minute = int(secondsInDay % 3600 / 60);
    m.second = int(secondsInDay % 60);
    if (fractionDigits > 0)
        m.fraction = QString::number(inDay % std::llround(scale)).rightJustified(fractionDigits, u'0');
    return m;
}

QString padded(long long n, int width) {
    return QString::number(n).rightJustified(width, u'0');
}

bool isTimeCode(const Token& t) {
    return t.kind == Kind::DateCode || t.kind == Kind::Elapsed;
}

} // namespace

std::optional<QString> writeDate(double value, const Section& section, bool date1904) {
    if (value < 0)
        return std::nullopt;
    const std::vector<Token>& t = section.tokens;
    const int fractionDigits = fractionDigitsOf(t);
    const auto moment = momentOf(value, fractionDigits, date1904);
    if (!moment)
        return std::nullopt;
    const Moment& m = *moment;
    bool twelveHours = false;
    for (const Token& token : t)
        twelveHours = twelveHours || token.kind == Kind::AmPm;
    // The date or time code nearest before and after position i.
    auto codeBefore = [&](std::size_t i) -> QChar {
        for (std::size_t k = i; k-- > 0;)
            if (isTimeCode(t[k]))
                return t[k].text[0];
        return {};
    };
    auto codeAfter = [&](std::size_t i) -> QChar {
        for (std::size_t k = i + 1; k < t.size(); ++k)
            if (isTimeCode(t[k]))
                return t[k].text[0];
        return {};
    };
    auto elapsed = [&](QChar unit) {
        return unit == u'h' ? m.totalSeconds / 3600 : unit == u'm' ? m.totalSeconds / 60 : m.totalSeconds;
    };
    const int hour12 = m.hour % 12 == 0 ? 12 : m.hour % 12;
    QString elapsedSeen; // the units of the elapsed codes so far
    QString out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const Token& token = t[i];
        const int n = int(token.text.size());
        const QChar code = token.text.isEmpty() ? QChar() : token.text[0];
        switch (token.kind) {
        case Kind::Literal:
            out += token.text;
            break;
        case Kind::Point:
            out += fractionDigits > 0 ? u'.' + m.fraction : QStringLiteral(".");
            while (i + 1 < t.size() && t[i + 1].kind == Kind::Digit)
                ++i;
            break;
        case Kind::AmPm: {
            const bool pm = m.hour >= 12;
            if (n == 5)
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            else
                out += pm ? token.text[2] : token.text[0];
            break;
        }
        case Kind::Elapsed:
            out += padded(elapsed(code), n);
            elapsedSeen += code;
            break;
        case Kind::DateCode: {
            const bool minutes = code == u'm' && n <= 2 &&
                                 (codeBefore(i) == u'h' || codeBefore(i) == u's' || codeAfter(i) == u's');
            if ((code == u'h' || code == u's' || minutes) && elapsedSeen.contains(code)) {
                out += padded(elapsed(code), std::min(n, 2));
                break;
            }
            switch (code.unicode()) {
            case u'y': // yy, or yyyy from three letters on
                out += n <= 2 ? padded(m.date.year % 100, 2) : QString::number(m.date.year);
                break;
            case u'e': // the year
                out += QString::number(m.date.year);
                break;
            case u'm':
                if (minutes)
                    out += padded(m.minute, n);
                else if (n <= 2)
                    out += padded(m.date.month, n);
                else if (n == 3)
                    out += QString::fromLatin1(kMonths[m.date.month - 1]).left(3);
                else if (n == 5)
                    out += QString::fromLatin1(kMonths[m.date.month - 1]).left(1);
                else
                    out += QString::fromLatin1(kMonths[m.date.month - 1]);
                break;
            case u'd':
                if (n <= 2)
                    out += padded(m.date.day, n);
                else if (n == 3)
                    out += QString::fromLatin1(kDays[m.weekday]).left(3);
                else
                    out += QString::fromLatin1(kDays[m.weekday]);
                break;
            case u'h':
                out += padded(twelveHours ? hour12 : m.hour, std::min(n, 2));
                break;
            case u's':
                out += padded(m.second, std::min(n, 2));
                break;
            default:
                break;
            }
            break;
        }
        default:
            out += token.text; // a digit place outside a fraction of a second
            break;
        }
    }
    return out;
}

} // namespace platform::sheet::numberformat
