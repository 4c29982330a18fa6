// See NumberFormat.h. A pattern is split into sections, each section into tokens (literals, digit
// places, date codes, ...); the section the value calls for is then written by the part that
// fits it: General, a date or time, a fraction, scientific notation or plain digits.
#include "platform/sheet/formula/NumberFormat.h"

#include "platform/sheet/formula/SerialDate.h"

#include <QStringList>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace platform::sheet {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// ---- decimal digits ---------------------------------------------------------------------------

// The 15 significant digits of |value| (a nonzero finite number), without trailing zeros, and
// the power of ten of the first: 1234.5 -> "12345", 3.
struct Significant {
    std::string digits;
    int exponent = 0;
};

Significant significantOf(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
    Significant s;
    const char* p = text;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            s.digits += *p;
    s.exponent = std::atoi(p + 1);
    while (s.digits.size() > 1 && s.digits.back() == '0')
        s.digits.pop_back();
    return s;
}

// |value| rounded to `places` decimals, read from its 15 significant digits: the whole part
// without leading zeros ("" for less than 1) and exactly `places` fraction digits.
struct Decimal {
    QString whole;
    QString fraction;
};

Decimal decimalOf(double value, int places) {
    Decimal out;
    if (value == 0 || !std::isfinite(value)) {
        out.fraction = QString(places, u'0');
        return out;
    }
    Significant s = significantOf(value);
    std::string digits = s.digits;
    int point = s.exponent + 1; // digits before the decimal point
    const int keep = point + places;
    if (keep < int(digits.size())) {
        const bool up = keep >= 0 && digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(std::max(keep, 0)));
        if (up) {
            int i = int(digits.size()) - 1;
            for (; i >= 0 && digits[std::size_t(i)] == '9'; --i)
                digits[std::size_t(i)] = '0';
            if (i >= 0) {
                ++digits[std::size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    auto digitAt = [&](int i) {
        return i >= 0 && i < int(digits.size()) ? QChar(digits[std::size_t(i)]) : u'0';
    };
    for (int i = 0; i < point; ++i)
        out.whole += digitAt(i);
    while (out.whole.startsWith(u'0'))
        out.whole.remove(0, 1);
    for (int i = 0; i < places; ++i)
        out.fraction += digitAt(point + i);
    return out;
}

// ---- tokens of a section ----------------------------------------------------------------------

enum class Kind {
    Literal,
    Digit,       // 0 # ?
    Point,       // .
    Comma,       // ,
    Percent,     // %
    Exponent,    // E+ E- (text holds the sign)
    Slash,       // / between digit places
    Denominator, // a denominator written out: 4 in "# ?/4"
    TextCode,    // @
    General,
    DateCode, // a run of y, m, d, h or s
    AmPm,     // AM/PM or A/P as written
    Elapsed,  // [h] [mm] [ss]
};

struct Token {
    Kind kind;
    QString text;
};

struct Condition {
    QString op;
    double number = 0;
    bool matches(double v) const {
        if (op == u"<")
            return v < number;
        if (op == u"<=")
            return v <= number;
        if (op == u">")
            return v > number;
        if (op == u">=")
            return v >= number;
        if (op == u"<>")
            return v != number;
        return v == number;
    }
};

struct Section {
    std::vector<Token> tokens;
    std::optional<Condition> condition;
    bool isDate = false;
    bool hasText = false;
    bool empty() const { return tokens.empty(); }
};

bool isDateLetter(QChar c) {
    const QChar l = c.toLower();
    return l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's' || l == u'e';
}

// "[<10]", "[h]", "[$€-407]", "[Red]": a condition, elapsed time, a currency text or nothing.
void bracket(const QString& inner, Section& section) {
    if (!inner.isEmpty() && (inner[0] == u'<' || inner[0] == u'>' || inner[0] == u'=')) {
        qsizetype n = 1;
        while (n < inner.size() && (inner[n] == u'<' || inner[n] == u'>' || inner[n] == u'='))
            ++n;
        bool ok = false;
        const double number = inner.mid(n).trimmed().toDouble(&ok);
        if (ok)
            section.condition = Condition{inner.left(n), number};
        return;
    }
    const QString lower = inner.toLower();
    if (!lower.isEmpty() && (lower.count(u'h') == lower.size() || lower.count(u'm') == lower.size() ||
                             lower.count(u's') == lower.size())) {
        section.tokens.push_back({Kind::Elapsed, lower});
        section.isDate = true;
        return;
    }
    if (inner.startsWith(u'$')) {
        const qsizetype dash = inner.indexOf(u'-');
        const QString symbol = inner.mid(1, dash < 0 ? -1 : dash - 1);
        if (!symbol.isEmpty())
            section.tokens.push_back({Kind::Literal, symbol});
    }
}

Section sectionOf(const QString& text) {
    Section s;
    auto literal = [&](const QString& t) {
        if (!s.tokens.empty() && s.tokens.back().kind == Kind::Literal)
            s.tokens.back().text += t;
        else
            s.tokens.push_back({Kind::Literal, t});
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype end = text.indexOf(u'"', i + 1);
            literal(text.mid(i + 1, (end < 0 ? text.size() : end) - i - 1));
            i = end < 0 ? text.size() : end;
        } else if (c == u'\\' && i + 1 < text.size()) {
            literal(QString(text[++i]));
        } else if (c == u'_' && i + 1 < text.size()) {
            literal(QStringLiteral(" ")); // the width of the next character
            ++i;
        } else if (c == u'*' && i + 1 < text.size()) {
            ++i; // filling the cell's width: nothing in a text
        } else if (c == u'[') {
            const qsizetype end = text.indexOf(u']', i);
            bracket(text.mid(i + 1, (end < 0 ? text.size() : end) - i - 1), s);
            i = end < 0 ? text.size() : end;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            s.tokens.push_back({Kind::Digit, QString(c)});
        } else if (c == u'.') {
            s.tokens.push_back({Kind::Point, QString(c)});
        } else if (c == u',') {
            s.tokens.push_back({Kind::Comma, QString(c)});
        } else if (c == u'%') {
            s.tokens.push_back({Kind::Percent, QString(c)});
        } else if (lower == u'e' && i + 1 < text.size() && (text[i + 1] == u'+' || text[i + 1] == u'-')) {
            s.tokens.push_back({Kind::Exponent, QString(text[i + 1])});
            ++i;
        } else if (c == u'/') {
            s.tokens.push_back({Kind::Slash, QString(c)});
            qsizetype n = 0;
            while (i + 1 + n < text.size() && text[i + 1 + n].isDigit() && (n > 0 || text[i + 1] != u'0'))
                ++n;
            if (n > 0) {
                s.tokens.push_back({Kind::Denominator, text.mid(i + 1, n)});
                i += n;
            }
        } else if (c == u'@') {
            s.tokens.push_back({Kind::TextCode, QString(c)});
            s.hasText = true;
        } else if (text.mid(i, 7).compare(u"General", Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({Kind::General, QString()});
            i += 6;
        } else if (text.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({Kind::AmPm, text.mid(i, 5)});
            s.isDate = true;
            i += 4;
        } else if (text.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            s.tokens.push_back({Kind::AmPm, text.mid(i, 3)});
            s.isDate = true;
            i += 2;
        } else if (isDateLetter(c)) {
            qsizetype n = 1;
            while (i + n < text.size() && text[i + n].toLower() == lower)
                ++n;
            s.tokens.push_back({Kind::DateCode, text.mid(i, n).toLower()});
            s.isDate = true;
            i += n - 1;
        } else {
            literal(QString(c));
        }
    }
    if (s.isDate) {
        // In a date the digit places after the seconds are fractions of a second; other codes
        // of numbers are plain characters.
        for (Token& t : s.tokens)
            if (t.kind == Kind::Slash || t.kind == Kind::Denominator || t.kind == Kind::Comma ||
                t.kind == Kind::Percent)
                t.kind = Kind::Literal;
    }
    return s;
}

// The sections of a pattern, split at semicolons outside quotes and brackets.
std::vector<Section> sectionsOf(const QString& pattern) {
    std::vector<Section> sections;
    QString current;
    bool quoted = false;
    bool bracketed = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"' && !bracketed)
            quoted = !quoted;
        else if (c == u'[' && !quoted)
            bracketed = true;
        else if (c == u']' && !quoted)
            bracketed = false;
        if (c == u'\\' && i + 1 < pattern.size() && !quoted) {
            current += c;
            current += pattern[++i];
            continue;
        }
        if (c == u';' && !quoted && !bracketed) {
            sections.push_back(sectionOf(current));
            current.clear();
            continue;
        }
        current += c;
    }
    sections.push_back(sectionOf(current));
    return sections;
}

// ---- General ------------------------------------------------------------------------------------

QString generalOf(double value) {
    if (value == 0)
        return QStringLiteral("0");
    const Significant s = significantOf(value);
    QString out = value < 0 ? QStringLiteral("-") : QString();
    const QString digits = QString::fromLatin1(s.digits.c_str());
    if (s.exponent >= 11 || s.exponent < -9) {
        out += digits.left(1);
        if (digits.size() > 1)
            out += u'.' + digits.mid(1);
        out += s.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        out += QString::number(std::abs(s.exponent)).rightJustified(2, u'0');
        return out;
    }
    if (s.exponent < 0)
        return out + QStringLiteral("0.") + QString(-s.exponent - 1, u'0') + digits;
    const int whole = s.exponent + 1;
    if (digits.size() <= whole)
        return out + digits + QString(whole - digits.size(), u'0');
    return out + digits.left(whole) + u'.' + digits.mid(whole);
}

// ---- digits -------------------------------------------------------------------------------------

// The places of a run of tokens that write one number: how many, and how many must show.
int placesIn(const std::vector<Token>& tokens) {
    int n = 0;
    for (const Token& t : tokens)
        n += t.kind == Kind::Digit;
    return n;
}

// The whole part written into its places from the right: each place takes a digit; those left
// over go to the first place; a place without a digit writes 0, a space (?) or nothing (#).
// Literals between the places stay where they are.
QString writeWhole(const std::vector<Token>& tokens, const QString& digits) {
    QString out;
    int next = int(digits.size()) - 1; // the digit the next place (from the right) takes
    int placesLeft = placesIn(tokens);
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it) {
        if (it->kind == Kind::Literal) {
            out.prepend(it->text);
            continue;
        }
        if (it->kind != Kind::Digit)
            continue;
        --placesLeft;
        if (placesLeft == 0 && next >= 0) {
            out.prepend(digits.left(next + 1)); // the first place takes what is left
            next = -1;
        } else if (next >= 0) {
            out.prepend(digits[next--]);
        } else if (it->text == u"0") {
            out.prepend(u'0');
        } else if (it->text == u"?") {
            out.prepend(u' ');
        }
    }
    return out;
}

// The whole part with thousands separators: the digits padded with zeros to the leftmost 0
// place, grouped by three; literals before and after the places stay around them.
QString writeGrouped(const std::vector<Token>& tokens, const QString& digits) {
    int count = 0;
    int zeros = 0;
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it)
        if (it->kind == Kind::Digit && (++count, it->text == u"0"))
            zeros = count;
    const QString filled = digits.rightJustified(zeros, u'0');
    QString grouped;
    for (qsizetype i = 0; i < filled.size(); ++i) {
        if (i > 0 && (filled.size() - i) % 3 == 0)
            grouped += u',';
        grouped += filled[i];
    }
    QString before;
    QString after;
    bool digitSeen = false;
    for (const Token& t : tokens) {
        if (t.kind == Kind::Digit) {
            digitSeen = true;
            after.clear();
        } else if (t.kind == Kind::Literal) {
            (digitSeen ? after : before) += t.text;
        }
    }
    return before + grouped + after;
}

// The fraction digits written into their places from the left: trailing zeros are dropped
// for # and become spaces for ?.
QString writeFraction(const std::vector<Token>& tokens, const QString& digits) {
    int last = -1;
    for (int i = 0; i < digits.size(); ++i)
        if (digits[i] != u'0')
            last = i;
    QString out;
    int k = 0;
    for (const Token& t : tokens) {
        if (t.kind == Kind::Literal) {
            out += t.text;
            continue;
        }
        if (t.kind != Kind::Digit)
            continue;
        if (k <= last || t.text == u"0")
            out += digits[k];
        else if (t.text == u"?")
            out += u' ';
        ++k;
    }
    return out;
}

// The tokens of a number section split at its decimal point, with what the commas do.
struct NumberLayout {
    std::vector<Token> whole;
    std::vector<Token> fraction;
    bool point = false;
    bool grouping = false;
    int scaling = 0; // thousands the number is divided by
};

NumberLayout layoutOf(const std::vector<Token>& tokens) {
    NumberLayout layout;
    int lastDigit = -1;
    for (int i = 0; i < int(tokens.size()); ++i)
        if (tokens[std::size_t(i)].kind == Kind::Digit)
            lastDigit = i;
    bool digitBefore = false;
    for (int i = 0; i < int(tokens.size()); ++i) {
        const Token& t = tokens[std::size_t(i)];
        if (t.kind == Kind::Point && !layout.point) {
            layout.point = true;
            continue;
        }
        if (t.kind == Kind::Comma) {
            // Between digit places it groups thousands; after the last place it scales.
            if (i > lastDigit && digitBefore)
                ++layout.scaling;
            else if (digitBefore && !layout.point)
                layout.grouping = true;
            continue;
        }
        if (t.kind == Kind::Digit)
            digitBefore = true;
        (layout.point ? layout.fraction : layout.whole).push_back(t);
    }
    return layout;
}

QString writeFixed(double value, const std::vector<Token>& tokens) {
    const NumberLayout layout = layoutOf(tokens);
    const double scaled = value / std::pow(1000.0, layout.scaling);
    const Decimal d = decimalOf(scaled, placesIn(layout.fraction));
    QString out = layout.grouping ? writeGrouped(layout.whole, d.whole) : writeWhole(layout.whole, d.whole);
    if (layout.point)
        out += u'.' + writeFraction(layout.fraction, d.fraction);
    return out;
}

QString writeScientific(double value, const std::vector<Token>& tokens) {
    std::size_t e = 0;
    while (tokens[e].kind != Kind::Exponent)
        ++e;
    const std::vector<Token> mantissaTokens(tokens.begin(), tokens.begin() + std::ptrdiff_t(e));
    const std::vector<Token> exponentTokens(tokens.begin() + std::ptrdiff_t(e) + 1, tokens.end());
    const NumberLayout layout = layoutOf(mantissaTokens);
    const int wholePlaces = placesIn(layout.whole);
    bool optional = false;
    for (const Token& t : layout.whole)
        optional = optional || (t.kind == Kind::Digit && t.text == u"#");
    // With several places that may stay empty (##0.0E+0) the exponent is a multiple of their
    // number; otherwise it is chosen so that every whole place holds a digit.
    const bool engineering = optional && wholePlaces > 1;
    const int wholeDigits = engineering ? wholePlaces : std::max(wholePlaces, 1);
    auto exponentFor = [&](int magnitude) {
        if (engineering)
            return int(std::floor(double(magnitude) / wholePlaces)) * wholePlaces;
        return magnitude - std::max(wholePlaces, 0) + 1;
    };
    const int places = placesIn(layout.fraction);
    int exponent = 0;
    Decimal d = decimalOf(0, places);
    if (value != 0) {
        const int magnitude = significantOf(value).exponent;
        exponent = exponentFor(magnitude);
        d = decimalOf(value / std::pow(10.0, exponent), places);
        if (d.whole.size() > wholeDigits) { // rounding carried into one more digit: 9.99 -> 10.0
            exponent = exponentFor(magnitude + 1);
            d = decimalOf(value / std::pow(10.0, exponent), places);
        }
    }
    QString out = writeWhole(layout.whole, d.whole);
    if (layout.point)
        out += u'.' + writeFraction(layout.fraction, d.fraction);
    const QString sign = exponent < 0             ? QStringLiteral("-")
                         : tokens[e].text == u"+" ? QStringLiteral("+")
                                                  : QString();
    return out + u'E' + sign + writeWhole(exponentTokens, QString::number(std::abs(exponent)));
}

// The nearest fraction with a denominator of at most `largest` (the smaller one of two as
// near): numerator and denominator.
std::pair<long long, long long> nearestFraction(double value, long long largest) {
    long long bestNumerator = std::llround(value);
    long long bestDenominator = 1;
    double bestError = std::fabs(value - double(bestNumerator));
    for (long long d = 2; d <= largest && bestError > 0; ++d) {
        const long long n = std::llround(value * double(d));
        const double error = std::fabs(value - double(n) / double(d));
        if (error < bestError - 1e-12) {
            bestError = error;
            bestNumerator = n;
            bestDenominator = d;
        }
    }
    return {bestNumerator, bestDenominator};
}

// The denominator written into its places from the left, padded on the right with zeros or
// spaces as the places say.
QString writeDenominator(const std::vector<Token>& places, const QString& digits) {
    QString out = digits;
    for (std::size_t i = std::size_t(digits.size()); i < places.size(); ++i) {
        if (places[i].text == u"?")
            out += u' ';
        else if (places[i].text == u"0")
            out += u'0';
    }
    return out;
}

QString writeFraction(double value, const std::vector<Token>& tokens) {
    std::size_t slash = 0;
    while (tokens[slash].kind != Kind::Slash)
        ++slash;
    // The numerator is the run of places right before the slash; places before it (with a
    // literal between) write the whole part.
    std::size_t numeratorStart = slash;
    while (numeratorStart > 0 && tokens[numeratorStart - 1].kind == Kind::Digit)
        --numeratorStart;
    std::vector<Token> wholePlaces;
    QString between;
    for (std::size_t i = 0; i < numeratorStart; ++i) {
        if (tokens[i].kind == Kind::Digit) {
            wholePlaces.push_back(tokens[i]);
            between.clear();
        } else if (tokens[i].kind == Kind::Literal) {
            between += tokens[i].text;
        }
    }
    const std::vector<Token> numeratorPlaces(tokens.begin() + std::ptrdiff_t(numeratorStart),
                                             tokens.begin() + std::ptrdiff_t(slash));
    // The denominator: digit places, or a number written out ("# ?/4", "0/100").
    std::vector<Token> denominatorPlaces;
    QString fixed;
    QString tail;
    std::size_t i = slash + 1;
    if (i < tokens.size() && tokens[i].kind == Kind::Denominator)
        fixed = tokens[i++].text;
    for (; i < tokens.size() && fixed.isEmpty() && tokens[i].kind == Kind::Digit; ++i)
        denominatorPlaces.push_back(tokens[i]);
    for (; i < tokens.size(); ++i)
        tail += tokens[i].kind == Kind::Literal ? tokens[i].text : QString();

    const bool hasWhole = !wholePlaces.empty();
    double whole = hasWhole ? std::floor(value) : 0;
    const double part = value - whole;
    long long numerator = 0;
    long long denominator = 1;
    if (!fixed.isEmpty()) {
        denominator = fixed.toLongLong();
        numerator = std::llround(part * double(denominator));
    } else {
        const int digits = std::max(int(denominatorPlaces.size()), 1);
        std::tie(numerator, denominator) = nearestFraction(part, std::llround(std::pow(10.0, digits)) - 1);
    }
    if (hasWhole && numerator == denominator) {
        whole += 1;
        numerator = 0;
    }
    QString out;
    if (hasWhole) {
        if (numerator == 0) {
            // A whole number: its whole part (0 for nothing at all), and spaces where the
            // fraction would stand.
            const QString digits = whole == 0 ? QStringLiteral("0") : decimalOf(whole, 0).whole;
            const qsizetype width = between.size() + qsizetype(numeratorPlaces.size()) + 1 +
                                    (fixed.isEmpty() ? qsizetype(denominatorPlaces.size()) : fixed.size());
            return writeWhole(wholePlaces, digits) + QString(width, u' ') + tail;
        }
        out = writeWhole(wholePlaces, decimalOf(whole, 0).whole) + between;
    }
    out += writeWhole(numeratorPlaces, QString::number(numerator)) + u'/';
    out += fixed.isEmpty() ? writeDenominator(denominatorPlaces, QString::number(denominator)) : fixed;
    return out + tail;
}

// ---- dates and times ----------------------------------------------------------------------------

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

std::optional<QString> writeDate(double value, const Section& section, bool date1904) {
    if (value < 0)
        return std::nullopt;
    // Fractions of a second: the digit places after a point.
    int fractionDigits = 0;
    for (std::size_t i = 0; i < section.tokens.size(); ++i)
        if (section.tokens[i].kind == Kind::Point)
            for (std::size_t k = i + 1; k < section.tokens.size() && section.tokens[k].kind == Kind::Digit;
                 ++k)
                fractionDigits = std::max(fractionDigits, int(k - i));
    const double scale = std::pow(10.0, fractionDigits);
    const long long units = std::llround(value * 86400.0 * scale);
    const long long perDay = std::llround(86400.0 * scale);
    Moment m;
    const long long days = units / perDay;
    const long long inDay = units % perDay;
    const auto date = SerialDate::fromSerial(double(days), date1904);
    if (!date)
        return std::nullopt;
    m.date = *date;
    m.weekday = SerialDate::weekday(double(days), date1904);
    m.totalSeconds = units / std::llround(scale);
    const long long secondsInDay = inDay / std::llround(scale);
    m.hour = int(secondsInDay / 3600);
    m.minute = int(secondsInDay % 3600 / 60);
    m.second = int(secondsInDay % 60);
    if (fractionDigits > 0)
        m.fraction = QString::number(inDay % std::llround(scale)).rightJustified(fractionDigits, u'0');

    const std::vector<Token>& t = section.tokens;
    bool twelveHours = false;
    for (const Token& token : t)
        twelveHours = twelveHours || token.kind == Kind::AmPm;
    // Whether the code at i is a time code (h, s, [h], [s]) and the m at i is minutes.
    auto timeCode = [&](std::size_t i, QChar letter) {
        return (t[i].kind == Kind::DateCode || t[i].kind == Kind::Elapsed) && t[i].text[0] == letter;
    };
    auto isMinutes = [&](std::size_t i) {
        for (std::size_t k = i; k-- > 0;) {
            if (t[k].kind == Kind::DateCode || t[k].kind == Kind::Elapsed)
                return timeCode(k, u'h');
        }
        return false;
    };
    auto beforeSeconds = [&](std::size_t i) {
        for (std::size_t k = i + 1; k < t.size(); ++k)
            if (t[k].kind == Kind::DateCode || t[k].kind == Kind::Elapsed)
                return timeCode(k, u's');
        return false;
    };
    auto padded = [](long long n, int width) { return QString::number(n).rightJustified(width, u'0'); };
    const int hour12 = m.hour % 12 == 0 ? 12 : m.hour % 12;
    QString out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const Token& token = t[i];
        const int n = int(token.text.size());
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
            if (token.text[0] == u'h')
                out += padded(m.totalSeconds / 3600, n);
            else if (token.text[0] == u'm')
                out += padded(m.totalSeconds / 60, n);
            else
                out += padded(m.totalSeconds, n);
            break;
        case Kind::DateCode:
            switch (token.text[0].unicode()) {
            case u'y': // yy, or yyyy from three letters on
                out += n <= 2 ? padded(m.date.year % 100, 2) : QString::number(m.date.year);
                break;
            case u'e': // the year
                out += QString::number(m.date.year);
                break;
            case u'm':
                if (n <= 2 && (isMinutes(i) || beforeSeconds(i)))
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
        case Kind::Digit:
            out += token.text; // a digit place outside a fraction of a second
            break;
        default:
            out += token.text;
            break;
        }
    }
    return out;
}

// ---- a number section ---------------------------------------------------------------------------

QString writeNumber(double value, const Section& section) {
    const std::vector<Token>& tokens = section.tokens;
    double shown = value;
    bool hasDigits = false;
    bool exponent = false;
    bool fraction = false;
    bool percent = false;
    for (const Token& t : tokens) {
        percent = percent || t.kind == Kind::Percent;
        hasDigits = hasDigits || t.kind == Kind::Digit;
        exponent = exponent || t.kind == Kind::Exponent;
        fraction = fraction || t.kind == Kind::Slash;
    }
    if (percent)
        shown *= 100;
    // The number is written where its first digit place stands, the literals around it.
    std::vector<Token> numberTokens;
    QString before;
    QString after;
    bool started = false;
    for (const Token& t : tokens) {
        const bool numberPart = t.kind == Kind::Digit || t.kind == Kind::Point || t.kind == Kind::Comma ||
                                t.kind == Kind::Exponent || t.kind == Kind::Slash ||
                                t.kind == Kind::Denominator;
        if (t.kind == Kind::General) {
            (started ? after : before) += generalOf(shown);
            continue;
        }
        if (t.kind == Kind::Percent || t.kind == Kind::TextCode) {
            (started ? after : before) += t.kind == Kind::Percent ? QStringLiteral("%") : QString();
            continue;
        }
        if (numberPart && hasDigits) {
            // Literals between digit places belong to the number (000-00-0000).
            started = true;
            if (!after.isEmpty()) {
                numberTokens.push_back({Kind::Literal, after});
                after.clear();
            }
            numberTokens.push_back(t);
            continue;
        }
        (started ? after : before) += t.text;
    }
    if (!hasDigits)
        return before + after;
    QString number;
    if (exponent)
        number = writeScientific(shown, numberTokens);
    else if (fraction)
        number = writeFraction(shown, numberTokens);
    else
        number = writeFixed(shown, numberTokens);
    return before + number + after;
}

// The section the number is written in, and whether its sign is written: the second section
// writes negative numbers without their sign. Conditions choose among the first two sections,
// the next one without a condition takes what they leave; without conditions the sections are
// for positive numbers, negative numbers and zero.
const Section* sectionFor(double value, const std::vector<Section>& sections, bool& sign) {
    const std::size_t numberSections = std::min<std::size_t>(sections.size(), 3);
    bool conditions = false;
    for (std::size_t i = 0; i < numberSections && i < 2; ++i)
        conditions = conditions || sections[i].condition.has_value();
    std::size_t chosen = 0;
    if (conditions) {
        for (chosen = 0; chosen < numberSections; ++chosen)
            if (!sections[chosen].condition || sections[chosen].condition->matches(value))
                break;
        if (chosen == numberSections)
            return nullptr;
    } else if (numberSections >= 2 && value < 0) {
        chosen = 1;
    } else if (numberSections >= 3 && value == 0) {
        chosen = 2;
    }
    sign = chosen != 1;
    return &sections[chosen];
}

} // namespace

QString NumberFormat::general(double value) {
    return generalOf(value);
}

std::optional<QString> NumberFormat::format(double value, const QString& pattern, bool date1904) {
    const std::vector<Section> sections = sectionsOf(pattern);
    if (sections.size() > 4)
        return std::nullopt;
    bool sign = true;
    const Section* section = sectionFor(value, sections, sign);
    if (!section)
        return std::nullopt;
    if (section->isDate)
        return writeDate(value, *section, date1904);
    // A single text section writes numbers in the General form.
    if (section->hasText && sections.size() == 1)
        return generalOf(value);
    const QString body = writeNumber(std::fabs(value), *section);
    // A negative number keeps its sign also where its digits round to zero ("-0").
    return sign && value < 0 ? u'-' + body : body;
}

QString NumberFormat::formatText(const QString& text, const QString& pattern) {
    const std::vector<Section> sections = sectionsOf(pattern);
    const Section* section = sections.size() >= 4                          ? &sections[3]
                             : sections.size() == 1 && sections[0].hasText ? &sections[0]
                                                                           : nullptr;
    if (!section)
        return text;
    QString out;
    for (const Token& t : section->tokens) {
        if (t.kind == Kind::TextCode)
            out += text;
        else if (t.kind == Kind::Literal)
            out += t.text;
    }
    return out;
}

} // namespace platform::sheet
