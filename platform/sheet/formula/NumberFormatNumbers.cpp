// Numbers written into the digit places of a number format section: plain digits with
// thousands separators and scaling commas, scientific notation with the exponent a multiple of
// the whole places, fractions with literals between their parts; and the two General forms.
// Digits are taken from the number's 15 significant digits, as the spreadsheet program shows
// them, so that 2.675 with two places is 2.68 although its double lies below.
#include "platform/sheet/formula/NumberFormatSection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform::sheet::numberformat {

namespace {

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

// The digits rounded to `count` significant digits (a carry may raise the exponent), without
// trailing zeros.
Significant roundedTo(Significant s, int count) {
    if (int(s.digits.size()) > count) {
        const bool up = s.digits[std::size_t(count)] >= '5';
        s.digits.resize(std::size_t(count));
        if (up) {
            int i = count - 1;
            for (; i >= 0 && s.digits[std::size_t(i)] == '9'; --i)
                s.digits[std::size_t(i)] = '0';
            if (i >= 0) {
                ++s.digits[std::size_t(i)];
            } else {
                s.digits.insert(s.digits.begin(), '1');
                s.digits.pop_back();
                ++s.exponent;
            }
        }
    }
    while (s.digits.size() > 1 && s.digits.back() == '0')
        s.digits.pop_back();
    return s;
}

// |value| x 10^-shift rounded to `places` decimals: the whole part without leading zeros (""
// for less than 1) and exactly `places` fraction digits. The shift moves the decimal point
// in the digits, so that scaling costs no precision.
struct Decimal {
    QString whole;
    QString fraction;
};

Decimal decimalOf(double value, int places, int shift = 0) {
    Decimal out;
    if (value == 0 || !std::isfinite(value)) {
        out.fraction = QString(places, u'0');
        return out;
    }
    const Significant s = significantOf(value);
    std::string digits = s.digits;
    int point = s.exponent - shift + 1; // digits before the decimal point
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

// "12" "50" -> "12.5"; "" "00" -> "0".
QString plainDecimal(const Decimal& d) {
    QString fraction = d.fraction;
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    const QString whole = d.whole.isEmpty() ? QStringLiteral("0") : d.whole;
    return fraction.isEmpty() ? whole : whole + u'.' + fraction;
}

// d.dddE+XX with the significant digits given.
QString scientificText(const Significant& s) {
    QString out = QChar(s.digits[0]);
    if (s.digits.size() > 1)
        out += u'.' + QString::fromLatin1(s.digits.c_str() + 1);
    out += s.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    return out + QString::number(std::abs(s.exponent)).rightJustified(2, u'0');
}

// ---- digit places -------------------------------------------------------------------------------

int placesIn(const std::vector<Token>& tokens) {
    int n = 0;
    for (const Token& t : tokens)
        n += t.kind == Kind::Digit;
    return n;
}

// Whether a digit place of the tokens is the given one (0, # or ?).
bool holdsPlace(const std::vector<Token>& tokens, char16_t place) {
    for (const Token& t : tokens)
        if (t.kind == Kind::Digit && t.text[0] == place)
            return true;
    return false;
}

QString literalsOf(const std::vector<Token>& tokens, std::size_t from, std::size_t to) {
    QString out;
    for (std::size_t i = from; i < to; ++i)
        if (tokens[i].kind == Kind::Literal)
            out += tokens[i].text;
    return out;
}

// The whole part written into its places from the right: each place takes a digit; those left
// over go to the first place; a place without a digit writes 0, a space (?) or nothing (#).
// Literals between the places stay where they are.
QString writeWhole(const std::vector<Token>& tokens, const QString& digits) {
    QString out;
    int next = int(digits.size()) - 1; // the digit the next place (from the right) takes
    int placesLeft = placesIn(tokens);
    if (placesLeft == 0)
        out = digits;
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

// The whole part with thousands separators: every place writes a digit, a 0 or a space as in
// writeWhole, and a separator stands before every third place from the right -- a comma, or a
// space where the place to its left is a space. Literals between the places follow the number.
QString writeGrouped(const std::vector<Token>& tokens, const QString& digits) {
    std::vector<QChar> places;
    QString literals;
    for (const Token& t : tokens) {
        if (t.kind == Kind::Digit)
            places.push_back(t.text[0]);
        else if (t.kind == Kind::Literal)
            literals += t.text;
    }
    const int count = int(places.size());
    const int digitCount = int(digits.size());
    // What the k-th place from the right (from 1) writes; null for nothing.
    auto shownAt = [&](int k) -> QChar {
        if (k <= digitCount)
            return digits[digitCount - k];
        const QChar place = places[std::size_t(count - k)];
        return place == u'0' ? u'0' : place == u'?' ? u' ' : QChar();
    };
    QString out;
    for (int k = std::max(count, digitCount); k >= 1; --k) {
        const QChar c = shownAt(k);
        if (c.isNull())
            continue;
        out += c;
        if (k > 1 && (k - 1) % 3 == 0)
            out += c == u' ' ? u' ' : u',';
    }
    return out + literals;
}

// The fraction digits written into their places from the left: trailing zeros are dropped
// for # and become spaces for ?.
QString writeDecimals(const std::vector<Token>& tokens, const QString& digits) {
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

// ---- plain digits and scientific notation -------------------------------------------------------

// The tokens of a number split at its decimal point, with what the commas do: a comma between
// places of the whole part groups thousands; one at the end of the whole part or after the
// last place divides by a thousand.
struct NumberLayout {
    std::vector<Token> whole;
    std::vector<Token> fraction;
    bool point = false;
    bool grouping = false;
    int scaling = 0;
};

NumberLayout layoutOf(const std::vector<Token>& tokens) {
    NumberLayout layout;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Kind::Point && !layout.point) {
            layout.point = true;
            continue;
        }
        if (t.kind == Kind::Comma) {
            std::size_t next = i + 1;
            while (next < tokens.size() && tokens[next].kind == Kind::Comma)
                ++next;
            const bool placeNext = next < tokens.size() && tokens[next].kind == Kind::Digit;
            if (placeNext && !layout.point)
                layout.grouping = true;
            else if (!placeNext)
                ++layout.scaling;
            continue;
        }
        (layout.point ? layout.fraction : layout.whole).push_back(t);
    }
    return layout;
}

QString writeWholePart(const NumberLayout& layout, const QString& digits) {
    return layout.grouping ? writeGrouped(layout.whole, digits) : writeWhole(layout.whole, digits);
}

QString writeFixed(double value, const std::vector<Token>& tokens) {
    const NumberLayout layout = layoutOf(tokens);
    const Decimal d = decimalOf(value, placesIn(layout.fraction), 3 * layout.scaling);
    QString out = writeWholePart(layout, d.whole);
    if (layout.point)
        out += u'.' + writeDecimals(layout.fraction, d.fraction);
    return out;
}

int floorDivision(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The mantissa in its places, the exponent's letter as written, the literals up to its places,
// its sign (- always, + where the pattern says E+) and its digits. The exponent is a multiple
// of the number of whole places: ##0.0E+0 writes thousands, 0000.00E+0 ten thousands. Zero
// writes 0 in every whole place. Commas only group; percent signs are plain characters here.
QString writeScientific(double value, const std::vector<Token>& tokens) {
    std::size_t e = 0;
    while (tokens[e].kind != Kind::Exponent)
        ++e;
    const NumberLayout layout = layoutOf({tokens.begin(), tokens.begin() + std::ptrdiff_t(e)});
    const int wholePlaces = placesIn(layout.whole);
    const int step = std::max(wholePlaces, 1);
    const int places = placesIn(layout.fraction);
    int exponent = 0;
    Decimal d;
    if (value == 0) {
        d.whole = QString(wholePlaces, u'0');
        d.fraction = QString(places, u'0');
    } else {
        const int magnitude = significantOf(value).exponent;
        exponent = floorDivision(magnitude, step) * step;
        d = decimalOf(value, places, exponent);
        if (d.whole.size() > step) { // rounding carried into one more place: 9.99 -> 10.0
            exponent = floorDivision(magnitude + 1, step) * step;
            d = decimalOf(value, places, exponent);
        }
    }
    QString out = writeWholePart(layout, d.whole);
    if (layout.point)
        out += u'.' + writeDecimals(layout.fraction, d.fraction);

    const QString& letter = tokens[e].text;
    QString between;
    std::vector<Token> exponentPlaces;
    for (std::size_t i = e + 1; i < tokens.size(); ++i) {
        if (tokens[i].kind == Kind::Literal && exponentPlaces.empty())
            between += tokens[i].text;
        else if (tokens[i].kind == Kind::Digit || tokens[i].kind == Kind::Literal)
            exponentPlaces.push_back(tokens[i]);
    }
    const QString sign = exponent < 0        ? QStringLiteral("-")
                         : letter[1] == u'+' ? QStringLiteral("+")
                                             : QString();
    return out + letter[0] + between + sign + writeWhole(exponentPlaces, QString::number(std::abs(exponent)));
}

// ---- fractions ----------------------------------------------------------------------------------

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

// The denominator in its places: padded on the left with zeros to the number of 0 places, on
// the right with spaces for the ? places beyond its digits.
QString writeDenominator(const std::vector<Token>& places, long long denominator) {
    int zeros = 0;
    for (const Token& t : places)
        zeros += t.text == u"0";
    QString out = QString::number(denominator).rightJustified(zeros, u'0');
    for (std::size_t i = std::size_t(out.size()); i < places.size(); ++i)
        if (places[i].text == u"?")
            out += u' ';
    return out;
}

// A fraction section: [whole places] [literal] numerator places [literals] / [literals]
// denominator places or a number written out [literals]. Without whole places the fraction is
// improper (15/4). A whole number leaves the fraction out unless its numerator has a 0 place
// (then 0/1); spaces of its width stand for it where a place is a ?. Without whole units the
// whole places write 0 where one is a 0 place, else nothing, and the literal after them goes
// too (spaces where a place is a ?).
QString writeFraction(double value, const std::vector<Token>& tokens) {
    std::size_t slash = 0;
    while (tokens[slash].kind != Kind::Slash)
        ++slash;
    std::size_t numeratorEnd = slash;
    while (numeratorEnd > 0 && tokens[numeratorEnd - 1].kind != Kind::Digit)
        --numeratorEnd;
    std::size_t numeratorStart = numeratorEnd;
    while (numeratorStart > 0 && tokens[numeratorStart - 1].kind == Kind::Digit)
        --numeratorStart;
    std::size_t wholeEnd = numeratorStart;
    while (wholeEnd > 0 && tokens[wholeEnd - 1].kind != Kind::Digit)
        --wholeEnd;
    std::vector<Token> wholePlaces;
    for (std::size_t i = 0; i < wholeEnd; ++i)
        if (tokens[i].kind == Kind::Digit || tokens[i].kind == Kind::Literal)
            wholePlaces.push_back(tokens[i]);
    const QString between = literalsOf(tokens, wholeEnd, numeratorStart);
    const std::vector<Token> numeratorPlaces(tokens.begin() + std::ptrdiff_t(numeratorStart),
                                             tokens.begin() + std::ptrdiff_t(numeratorEnd));
    const QString beforeSlash = literalsOf(tokens, numeratorEnd, slash);

    std::size_t i = slash + 1;
    QString afterSlash;
    for (; i < tokens.size() && tokens[i].kind == Kind::Literal; ++i)
        afterSlash += tokens[i].text;
    QString fixed;
    std::vector<Token> denominatorPlaces;
    if (i < tokens.size() && tokens[i].kind == Kind::Denominator)
        fixed = tokens[i++].text;
    for (; i < tokens.size() && fixed.isEmpty() && tokens[i].kind == Kind::Digit; ++i)
        denominatorPlaces.push_back(tokens[i]);
    const QString tail = literalsOf(tokens, i, tokens.size());

    const bool hasWhole = wholeEnd > 0;
    double whole = hasWhole ? std::floor(value) : 0;
    const double part = value - whole;
    long long numerator = 0;
    long long denominator = 1;
    if (!fixed.isEmpty()) {
        denominator = std::max(fixed.toLongLong(), 1LL);
        numerator = std::llround(part * double(denominator));
    } else {
        const int digits = std::max(int(denominatorPlaces.size()), 1);
        std::tie(numerator, denominator) = nearestFraction(part, std::llround(std::pow(10.0, digits)) - 1);
    }
    if (hasWhole && numerator == denominator) {
        whole += 1;
        numerator = 0;
    }
    const QString wholeDigits = whole >= 1 ? decimalOf(whole, 0).whole : QString();
    const bool spaced = holdsPlace(wholePlaces, u'?') || holdsPlace(numeratorPlaces, u'?');

    if (hasWhole && numerator == 0 && !holdsPlace(numeratorPlaces, u'0')) {
        QString out = writeWhole(wholePlaces, wholeDigits.isEmpty() ? QStringLiteral("0") : wholeDigits);
        if (spaced || holdsPlace(denominatorPlaces, u'?')) {
            const qsizetype width = between.size() + qsizetype(numeratorPlaces.size()) + beforeSlash.size() +
                                    1 + afterSlash.size() +
                                    (fixed.isEmpty() ? qsizetype(denominatorPlaces.size()) : fixed.size());
            out += QString(width, u' ');
        }
        return out + tail;
    }
    QString out;
    if (hasWhole && !wholeDigits.isEmpty()) {
        out = writeWhole(wholePlaces, wholeDigits) + between;
    } else if (hasWhole) {
        const bool zeroShown = numerator == 0
                                   ? !(placesIn(wholePlaces) > 0 && !holdsPlace(wholePlaces, u'0') &&
                                       !holdsPlace(wholePlaces, u'?'))
                                   : holdsPlace(wholePlaces, u'0');
        if (zeroShown)
            out = writeWhole(wholePlaces, QStringLiteral("0")) + between;
        else
            out = writeWhole(wholePlaces, QString()) + (spaced ? QString(between.size(), u' ') : QString());
    }
    out += writeWhole(numeratorPlaces, QString::number(numerator)) + beforeSlash + u'/' + afterSlash;
    out += fixed.isEmpty() ? writeDenominator(denominatorPlaces, denominator) : fixed;
    return out + tail;
}

bool isNumberCode(Kind kind) {
    return kind == Kind::Digit || kind == Kind::Point || kind == Kind::Comma || kind == Kind::Exponent ||
           kind == Kind::Slash || kind == Kind::Denominator;
}

} // namespace

// ---- General ------------------------------------------------------------------------------------

QString generalText(double value) {
    if (value == 0)
        return QStringLiteral("0");
    const Significant s = significantOf(value);
    QString out = value < 0 ? QStringLiteral("-") : QString();
    const QString digits = QString::fromLatin1(s.digits.c_str());
    if (s.exponent >= 11 || s.exponent < -9)
        return out + scientificText(s);
    if (s.exponent < 0)
        return out + QStringLiteral("0.") + QString(-s.exponent - 1, u'0') + digits;
    const int whole = s.exponent + 1;
    if (digits.size() <= whole)
        return out + digits + QString(whole - digits.size(), u'0');
    return out + digits.left(whole) + u'.' + digits.mid(whole);
}

QString generalShown(double value) {
    constexpr int kWidth = 11;
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const Significant s = significantOf(value);
    // Scientific notation keeps what its exponent leaves of the width: d.ddddd with E+XX.
    auto scientificDigits = [&](int exponent) {
        const int exponentWidth = 2 + std::max(2, int(QString::number(std::abs(exponent)).size()));
        return std::max(kWidth - exponentWidth - 1, 1);
    };
    if (s.exponent >= 0 && s.exponent < kWidth) {
        const Decimal d = decimalOf(value, std::max(kWidth - s.exponent - 2, 0));
        if (d.whole.size() <= kWidth)
            return sign + plainDecimal(d);
    } else if (s.exponent < 0) {
        // "0." and the places below: the decimal form unless it shows fewer digits.
        const int places = kWidth - 2;
        const int shown = places + s.exponent + 1;
        const int all = int(s.digits.size());
        if (shown >= std::min(all, scientificDigits(s.exponent)))
            return sign + plainDecimal(decimalOf(value, places));
    }
    Significant r = roundedTo(s, scientificDigits(s.exponent));
    r = roundedTo(r, scientificDigits(r.exponent));
    return sign + scientificText(r);
}

// ---- a number section ---------------------------------------------------------------------------

QString writeNumber(double value, const Section& section) {
    const std::vector<Token>& tokens = section.tokens;
    // The number stands from its first digit place (or decimal point) to its last code, with
    // the literals between; percent signs there are literals too.
    int first = -1;
    int last = -1;
    int percents = 0;
    for (int i = 0; i < int(tokens.size()); ++i) {
        const Kind kind = tokens[std::size_t(i)].kind;
        percents += kind == Kind::Percent;
        if (first < 0 && (kind == Kind::Digit || kind == Kind::Point))
            first = i;
        if (first >= 0 && isNumberCode(kind))
            last = i;
    }
    bool exponent = false;
    bool fraction = false;
    for (int i = first; first >= 0 && i <= last; ++i) {
        exponent = exponent || tokens[std::size_t(i)].kind == Kind::Exponent;
        fraction = fraction || tokens[std::size_t(i)].kind == Kind::Slash;
    }
    // Each percent sign multiplies by 100, but in scientific notation.
    const double shown = exponent ? value : value * std::pow(100.0, percents);
    auto textOf = [&](const Token& t) -> QString {
        switch (t.kind) {
        case Kind::General:
            return generalShown(shown);
        case Kind::TextCode:
            return {};
        default:
            return t.text;
        }
    };
    QString before;
    QString after;
    std::vector<Token> number;
    for (int i = 0; i < int(tokens.size()); ++i) {
        const Token& t = tokens[std::size_t(i)];
        if (i < first || first < 0)
            before += textOf(t);
        else if (i > last)
            after += textOf(t);
        else if (t.kind == Kind::Literal || t.kind == Kind::Percent)
            number.push_back({Kind::Literal, t.text});
        else if (t.kind != Kind::TextCode && t.kind != Kind::General)
            number.push_back(t);
    }
    if (first < 0)
        return before;
    if (exponent)
        return before + writeScientific(shown, number) + after;
    if (fraction)
        return before + writeFraction(shown, number) + after;
    return before + writeFixed(shown, number) + after;
}

} // namespace platform::sheet::numberformat
