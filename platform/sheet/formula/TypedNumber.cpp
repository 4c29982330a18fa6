// Reading typed numbers, dates and times in the English (United States) convention.
#include "platform/sheet/formula/TypedNumber.h"

#include "platform/sheet/formula/SerialDate.h"

#include <QDate>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace platform::sheet {

namespace {

using Look = TypedNumber::Look;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

double toDouble(std::string_view digits) {
    double value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// ---- numbers ----------------------------------------------------------------------------------

// [(] [sign] [$] [sign] digits[,ddd]...[.digits] [E[sign]digits] [%] [)]
std::optional<TypedNumber> readNumber(std::string_view s) {
    bool parenthesised = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        parenthesised = true;
        s = s.substr(1, s.size() - 2);
    }
    std::size_t i = 0;
    bool negative = false;
    bool signSeen = false;
    bool currency = false;
    auto readSign = [&] {
        if (!signSeen && i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negative = s[i] == '-';
            signSeen = true;
            ++i;
        }
    };
    readSign();
    if (i < s.size() && s[i] == '$') {
        currency = true;
        ++i;
        readSign();
    }
    if (parenthesised && signSeen)
        return std::nullopt;
    std::string plain;
    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i]))
        plain += s[i++];
    const std::size_t firstGroup = i - intStart;
    bool grouped = false;
    while (i + 3 < s.size() && s[i] == ',' && isDigit(s[i + 1]) && isDigit(s[i + 2]) && isDigit(s[i + 3]) &&
           (i + 4 >= s.size() || !isDigit(s[i + 4]))) {
        if (firstGroup == 0 || firstGroup > 3)
            return std::nullopt;
        plain.append(s.substr(i + 1, 3));
        grouped = true;
        i += 4;
    }
    int decimals = 0;
    if (i < s.size() && s[i] == '.') {
        plain += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            ++decimals;
        }
    }
    if (plain.empty() || plain == ".")
        return std::nullopt;
    bool exponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t k = i + 1;
        std::string e = "e";
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            e += s[k++];
        const std::size_t digits = k;
        while (k < s.size() && isDigit(s[k]))
            e += s[k++];
        if (k == digits)
            return std::nullopt;
        plain += e;
        exponent = true;
        i = k;
    }
    bool percent = false;
    if (i < s.size() && s[i] == '%') {
        percent = true;
        ++i;
    }
    if (i != s.size() || (percent && currency) || (exponent && (grouped || currency || percent)))
        return std::nullopt;
    double value = toDouble(plain);
    if (!std::isfinite(value))
        return std::nullopt;
    if (negative || parenthesised)
        value = -value;
    if (percent)
        value /= 100;
    TypedNumber n;
    n.value = value;
    if (percent)
        n.look = decimals > 0 ? Look::Percent2 : Look::Percent;
    else if (currency)
        n.look = decimals > 0 ? Look::Currency2 : Look::Currency;
    else if (grouped)
        n.look = decimals > 0 ? Look::Thousands2 : Look::Thousands;
    else if (exponent)
        n.look = Look::Scientific;
    return n;
}

// [sign] whole numerator/denominator: "1 1/2", "-0 3/4".
std::optional<TypedNumber> readFraction(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    auto digits = [&](int& out, std::size_t most) {
        const std::size_t from = i;
        long long v = 0;
        while (i < s.size() && isDigit(s[i]) && i - from < most)
            v = v * 10 + (s[i++] - '0');
        out = int(v);
        return i > from && (i >= s.size() || !isDigit(s[i]));
    };
    int whole = 0, numerator = 0, denominator = 0;
    if (!digits(whole, 9) || i >= s.size() || s[i] != ' ')
        return std::nullopt;
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (!digits(numerator, 9) || i >= s.size() || s[i] != '/')
        return std::nullopt;
    ++i;
    if (!digits(denominator, 3) || i != s.size() || denominator == 0)
        return std::nullopt;
    TypedNumber n;
    n.value = (negative ? -1 : 1) * (whole + double(numerator) / denominator);
    n.look = denominator < 10 ? Look::Fraction : Look::Fraction2;
    return n;
}

// ---- dates and times --------------------------------------------------------------------------

struct Part {
    enum Kind { Number, Word, Separator } kind;
    std::string_view text;
};

// Numbers, words and the separators between them (a run of blanks is one blank; ", " is a
// comma).
std::optional<std::vector<Part>> split(std::string_view s) {
    std::vector<Part> parts;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t from = i;
        const char c = s[i];
        if (isDigit(c)) {
            while (i < s.size() && isDigit(s[i]))
                ++i;
            parts.push_back({Part::Number, s.substr(from, i - from)});
        } else if (isLetter(c)) {
            while (i < s.size() && isLetter(s[i]))
                ++i;
            parts.push_back({Part::Word, s.substr(from, i - from)});
        } else if (c == ' ' || c == ',') {
            bool comma = false;
            while (i < s.size() && (s[i] == ' ' || s[i] == ',')) {
                if (s[i] == ',') {
                    if (comma)
                        return std::nullopt;
                    comma = true;
                }
                ++i;
            }
            parts.push_back({Part::Separator, comma ? std::string_view(",") : std::string_view(" ")});
        } else if (c == '/' || c == '-' || c == ':' || c == '.') {
            ++i;
            parts.push_back({Part::Separator, s.substr(from, 1)});
        } else {
            return std::nullopt;
        }
    }
    return parts;
}

int monthOfWord(std::string_view word) {
    static const char* const names[] = {"january",   "february", "march",    "april",
                                        "may",       "june",     "july",     "august",
                                        "september", "october",  "november", "december"};
    for (int m = 0; m < 12; ++m) {
        const std::string_view full = names[m];
        if (sameNoCase(word, full) || sameNoCase(word, full.substr(0, 3)))
            return m + 1;
    }
    if (sameNoCase(word, "sept"))
        return 9;
    return 0;
}

int number(const Part& p) {
    if (p.text.size() > 6)
        return -1;
    return int(toDouble(p.text));
}

// Two-digit years: 00-29 are 2000-2029, 30-99 are 1930-1999.
int fullYear(const Part& p) {
    const int y = number(p);
    if (p.text.size() <= 2)
        return y < 30 ? 2000 + y : 1900 + y;
    if (p.text.size() == 4)
        return y;
    return -1;
}

struct DateRead {
    double serial = 0;
    Look look = Look::Date;
};

std::optional<DateRead> dateOf(int year, int month, int day, Look look) {
    const auto s = SerialDate::serial(year, month, day);
    if (!s)
        return std::nullopt;
    return DateRead{*s, look};
}

bool isDateSeparator(const Part& p) {
    return p.kind == Part::Separator && (p.text == "/" || p.text == "-");
}

bool isWordSeparator(const Part& p) {
    return p.kind == Part::Separator && (p.text == "/" || p.text == "-" || p.text == " " || p.text == ",");
}

// The date of parts [0, n).
std::optional<DateRead> readDate(const std::vector<Part>& p, std::size_t n, int currentYear) {
    auto num = [&](std::size_t i) { return i < n && p[i].kind == Part::Number; };
    auto word = [&](std::size_t i) { return i < n && p[i].kind == Part::Word && monthOfWord(p[i].text) > 0; };
    // Numbers only: m/d/y, y-m-d, m/d, m/y.
    if (n == 5 && num(0) && num(2) && num(4) && isDateSeparator(p[1]) && p[3].text == p[1].text) {
        if (p[0].text.size() == 4)
            return dateOf(number(p[0]), number(p[2]), number(p[4]), Look::Date);
        if (p[0].text.size() > 2 || p[2].text.size() > 2 || p[4].text.size() == 3)
            return std::nullopt;
        return dateOf(fullYear(p[4]), number(p[0]), number(p[2]), Look::Date);
    }
    if (n == 3 && num(0) && num(2) && isDateSeparator(p[1])) {
        if (p[0].text.size() > 2)
            return std::nullopt;
        const int month = number(p[0]);
        if (auto d = dateOf(currentYear, month, number(p[2]), Look::DayMonth))
            return d;
        if (p[2].text.size() == 2 || p[2].text.size() == 4)
            return dateOf(fullYear(p[2]), month, 1, Look::MonthYear);
        return std::nullopt;
    }
    // With the month's name: d-mmm-y, d-mmm, mmm-y, mmm d, mmm d, y.
    if (n == 5 && num(0) && word(2) && num(4) && isWordSeparator(p[1]) && isWordSeparator(p[3]))
        return dateOf(fullYear(p[4]), monthOfWord(p[2].text), number(p[0]), Look::DayMonthYear);
    if (n == 5 && word(0) && num(2) && num(4) && isWordSeparator(p[1]) && isWordSeparator(p[3]))
        return dateOf(fullYear(p[4]), monthOfWord(p[0].text), number(p[2]), Look::DayMonthYear);
    if (n == 3 && num(0) && word(2) && isWordSeparator(p[1]))
        return dateOf(currentYear, monthOfWord(p[2].text), number(p[0]), Look::DayMonth);
    if (n == 3 && word(0) && num(2) && isWordSeparator(p[1])) {
        const int month = monthOfWord(p[0].text);
        if (p[2].text.size() <= 2)
            if (auto d = dateOf(currentYear, month, number(p[2]), Look::DayMonth))
                return d;
        return dateOf(fullYear(p[2]), month, 1, Look::MonthYear);
    }
    return std::nullopt;
}

struct TimeRead {
    double fraction = 0;
    Look look = Look::Time;
};

// The time of parts [from, end): h:mm, h:mm:ss, h:mm:ss.000, each with AM or PM, or h AM.
std::optional<TimeRead> readTime(const std::vector<Part>& p, std::size_t from) {
    std::size_t end = p.size();
    int half = 0; // 1 AM, 2 PM
    if (end > from && p[end - 1].kind == Part::Word) {
        const std::string_view w = p[end - 1].text;
        if (sameNoCase(w, "am") || sameNoCase(w, "a"))
            half = 1;
        else if (sameNoCase(w, "pm") || sameNoCase(w, "p"))
            half = 2;
        else
            return std::nullopt;
        --end;
        if (end > from && p[end - 1].kind == Part::Separator && p[end - 1].text == " ")
            --end;
    }
    std::vector<const Part*> fields;
    std::string_view fractionDigits;
    for (std::size_t i = from; i < end; ++i) {
        const Part& part = p[i];
        if ((i - from) % 2 == 0) {
            if (part.kind != Part::Number)
                return std::nullopt;
            fields.push_back(&part);
        } else if (part.kind != Part::Separator || part.text != ":") {
            // Seconds may carry a fraction: 10:30:15.25
            if (part.text == "." && fields.size() == 3 && i + 2 == end && p[i + 1].kind == Part::Number) {
                fractionDigits = p[i + 1].text;
                break;
            }
            return std::nullopt;
        }
    }
    if (fields.empty() || fields.size() > 3 || (fields.size() == 1 && !half))
        return std::nullopt;
    const int hours = number(*fields[0]);
    const int minutes = fields.size() > 1 ? number(*fields[1]) : 0;
    double seconds = fields.size() > 2 ? number(*fields[2]) : 0;
    if (!fractionDigits.empty())
        seconds += toDouble(fractionDigits) / std::pow(10.0, double(fractionDigits.size()));
    if (hours < 0 || hours > 9999 || minutes < 0 || minutes > 59 || seconds < 0 || seconds >= 60)
        return std::nullopt;
    if (fields.size() > 1 && fields[1]->text.size() != 2)
        return std::nullopt;
    int h = hours;
    if (half) {
        if (hours > 12)
            return std::nullopt;
        h = hours % 12 + (half == 2 ? 12 : 0);
    }
    TimeRead t;
    t.fraction = (h * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
    if (half)
        t.look = fields.size() > 2 ? Look::Time12Seconds : Look::Time12;
    else if (hours >= 24)
        t.look = Look::ElapsedTime;
    else
        t.look = fields.size() > 2 ? Look::TimeSeconds : Look::Time;
    return t;
}

std::optional<TypedNumber> readDateTime(std::string_view s, int currentYear) {
    const auto parts = split(s);
    if (!parts || parts->empty() || (*parts)[0].kind == Part::Separator)
        return std::nullopt;
    const std::vector<Part>& p = *parts;
    // A time alone, a date alone, or a date, a blank and a time.
    bool hasColon = false;
    for (const Part& part : p)
        hasColon = hasColon || (part.kind == Part::Separator && part.text == ":");
    const bool endsInHalf = p.back().kind == Part::Word && monthOfWord(p.back().text) == 0;
    if (hasColon || endsInHalf) {
        if (auto t = readTime(p, 0))
            return TypedNumber{t->fraction, t->look};
        for (std::size_t cut = 1; cut + 1 < p.size(); ++cut) {
            if (p[cut].kind != Part::Separator || p[cut].text != " ")
                continue;
            const auto d = readDate(p, cut, currentYear);
            const auto t = d ? readTime(p, cut + 1) : std::nullopt;
            if (d && t)
                return TypedNumber{d->serial + t->fraction, Look::DateTime};
        }
        return std::nullopt;
    }
    if (const auto d = readDate(p, p.size(), currentYear))
        return TypedNumber{d->serial, d->look};
    return std::nullopt;
}

// Only texts that begin like a number, a date or a time are looked at closely.
bool mayBeNumber(std::string_view s) {
    const char c = s.front();
    if (isDigit(c) || c == '-' || c == '+' || c == '.' || c == '$' || c == '(')
        return true;
    if (!isLetter(c))
        return false;
    std::size_t n = 0;
    while (n < s.size() && isLetter(s[n]))
        ++n;
    return monthOfWord(s.substr(0, n)) > 0;
}

} // namespace

std::optional<TypedNumber> TypedNumber::parse(QStringView text, int currentYear) {
    // Blanks around are allowed; anything beyond plain ASCII is no number.
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    if (from == to || to - from > 64)
        return std::nullopt;
    char buffer[64];
    for (qsizetype i = from; i < to; ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x80 || u < 0x20)
            return std::nullopt;
        buffer[i - from] = char(u);
    }
    const std::string_view s(buffer, std::size_t(to - from));
    if (!mayBeNumber(s))
        return std::nullopt;
    if (auto n = readNumber(s))
        return n;
    if (auto n = readFraction(s))
        return n;
    return readDateTime(s, currentYear);
}

std::optional<TypedNumber> TypedNumber::parse(QStringView text) {
    return parse(text, QDate::currentDate().year());
}

bool TypedNumber::isDate() const {
    switch (look) {
    case Look::Date:
    case Look::DayMonthYear:
    case Look::DayMonth:
    case Look::MonthYear:
    case Look::DateTime:
        return true;
    default:
        return false;
    }
}

std::optional<double> TypedNumber::valueIn(bool date1904) const {
    if (!date1904 || !isDate())
        return value;
    if (value < SerialDate::kOffset1904)
        return std::nullopt;
    return value - SerialDate::kOffset1904;
}

TypedNumber::Format TypedNumber::format(Look look) {
    switch (look) {
    case Look::General:
        return {0, {}};
    case Look::Thousands:
        return {3, {}};
    case Look::Thousands2:
        return {4, {}};
    case Look::Percent:
        return {9, {}};
    case Look::Percent2:
        return {10, {}};
    case Look::Scientific:
        return {11, {}};
    case Look::Currency:
        return {0, "\"$\"#,##0_);\\(\"$\"#,##0\\)"};
    case Look::Currency2:
        return {0, "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"};
    case Look::Fraction:
        return {12, {}};
    case Look::Fraction2:
        return {13, {}};
    case Look::Date:
        return {14, {}};
    case Look::DayMonthYear:
        return {15, {}};
    case Look::DayMonth:
        return {16, {}};
    case Look::MonthYear:
        return {17, {}};
    case Look::Time12:
        return {18, {}};
    case Look::Time12Seconds:
        return {19, {}};
    case Look::Time:
        return {20, {}};
    case Look::TimeSeconds:
        return {21, {}};
    case Look::DateTime:
        return {22, {}};
    case Look::ElapsedTime:
        return {46, {}};
    }
    return {0, {}};
}

} // namespace platform::sheet
