// See NumberFormat.h.
#include "platform/sheet/formula/NumberFormat.h"

#include "platform/sheet/CellValue.h"
#include "platform/sheet/formula/FormulaEvaluator.h"
#include "platform/sheet/formula/SerialDate.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace platform::sheet {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// The sections of a pattern, split at semicolons outside quotes.
QStringList sectionsOf(const QString& pattern) {
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"')
            quoted = !quoted;
        if (c == u'\\' && i + 1 < pattern.size()) {
            current += c;
            current += pattern[++i];
            continue;
        }
        if (c == u';' && !quoted) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

// One piece of a section: a literal text, or a code (digits, date and time parts).
struct Piece {
    bool literal = false;
    QString text;
};

std::vector<Piece> piecesOf(const QString& section) {
    std::vector<Piece> pieces;
    auto literal = [&](const QString& t) {
        if (!pieces.empty() && pieces.back().literal)
            pieces.back().text += t;
        else
            pieces.push_back({true, t});
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"') {
            const qsizetype end = section.indexOf(u'"', i + 1);
            literal(section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1));
            i = end < 0 ? section.size() : end;
        } else if (c == u'\\' && i + 1 < section.size()) {
            literal(QString(section[++i]));
        } else if (c == u'[') { // colours and conditions are not written
            const qsizetype end = section.indexOf(u']', i);
            i = end < 0 ? section.size() : end;
        } else if (c == u'_' && i + 1 < section.size()) {
            literal(QStringLiteral(" ")); // the width of the next character
            ++i;
        } else if (c == u'*' && i + 1 < section.size()) {
            ++i; // repeat-to-fill is not written
        } else if (QStringLiteral("0#?.,%eEyYmMdDhHsSaApP/").contains(c)) {
            if (!pieces.empty() && !pieces.back().literal)
                pieces.back().text += c;
            else
                pieces.push_back({false, QString(c)});
        } else {
            literal(QString(c));
        }
    }
    return pieces;
}

bool isDateFormat(const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces)
        if (!p.literal)
            for (const QChar c : p.text)
                if (QStringLiteral("yYdDhHsS").contains(c) ||
                    (c.toLower() == u'm' && !p.text.contains(u'0')) ||
                    p.text.contains(QStringLiteral("AM/PM"), Qt::CaseInsensitive))
                    return true;
    return false;
}

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

// The date and time codes of the pieces, in order. "m" after an hour or before seconds is minutes.
QString formatDate(double value, const std::vector<Piece>& pieces) {
    const auto date = SerialDate::fromSerial(value);
    if (!date)
        return QString(10, u'#');
    double seconds = std::round((value - std::floor(value)) * 86400);
    int hour = int(seconds / 3600);
    const int minute = int(std::fmod(seconds, 3600) / 60);
    const int second = int(std::fmod(seconds, 60));
    QString codes;
    for (const Piece& p : pieces)
        if (!p.literal)
            codes += p.text;
    const bool twelveHours = codes.contains(QStringLiteral("AM/PM"), Qt::CaseInsensitive) ||
                             codes.contains(QStringLiteral("A/P"), Qt::CaseInsensitive);
    const bool afternoon = hour >= 12;
    if (twelveHours)
        hour = hour % 12 == 0 ? 12 : hour % 12;
    QString out;
    bool lastWasHour = false;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const Piece& p = pieces[k];
        if (p.literal) {
            out += p.text;
            continue;
        }
        const QString t = p.text;
        for (qsizetype i = 0; i < t.size();) {
            const QChar c = t[i].toLower();
            qsizetype n = 1;
            while (i + n < t.size() && t[i + n].toLower() == c)
                ++n;
            if (t.mid(i, 5).compare(QStringLiteral("AM/PM"), Qt::CaseInsensitive) == 0) {
                out += afternoon ? QStringLiteral("PM") : QStringLiteral("AM");
                i += 5;
                continue;
            }
            if (t.mid(i, 3).compare(QStringLiteral("A/P"), Qt::CaseInsensitive) == 0) {
                out += afternoon ? QStringLiteral("P") : QStringLiteral("A");
                i += 3;
                continue;
            }
            // Minutes: after an hour code, or before a seconds code later in the format.
            bool minutes = false;
            if (c == u'm' && n <= 2) {
                minutes = lastWasHour;
                const QString rest = codes.mid(codes.indexOf(t) + i + n);
                if (!minutes)
                    for (const QChar r : rest) {
                        if (r.toLower() == u's') {
                            minutes = true;
                            break;
                        }
                        if (QStringLiteral("ydhm").contains(r.toLower()))
                            break;
                    }
            }
            if (c == u'y')
                out += n <= 2 ? twoDigits(date->year % 100) : QString::number(date->year);
            else if (c == u'm' && minutes)
                out += n == 1 ? QString::number(minute) : twoDigits(minute);
            else if (c == u'm')
                out += n == 1   ? QString::number(date->month)
                       : n == 2 ? twoDigits(date->month)
                       : n == 3 ? QString::fromLatin1(kMonths[date->month - 1]).left(3)
                       : n == 5 ? QString::fromLatin1(kMonths[date->month - 1]).left(1)
                                : QString::fromLatin1(kMonths[date->month - 1]);
            else if (c == u'd')
                out += n == 1   ? QString::number(date->day)
                       : n == 2 ? twoDigits(date->day)
                       : n == 3 ? QString::fromLatin1(kDays[SerialDate::weekday(value)]).left(3)
                                : QString::fromLatin1(kDays[SerialDate::weekday(value)]);
            else if (c == u'h')
                out += n == 1 ? QString::number(hour) : twoDigits(hour);
            else if (c == u's')
                out += n == 1 ? QString::number(second) : twoDigits(second);
            else
                out += t.mid(i, n);
            lastWasHour = c == u'h';
            i += n;
        }
    }
    return out;
}

// The digits of the number pattern: places before and after the point, grouping, scaling.
QString formatDigits(double value, const QString& pattern) {
    QString digits = pattern;
    double scaled = value;
    // Commas right after the last digit place divide by a thousand each.
    while (digits.endsWith(u',')) {
        digits.chop(1);
        scaled /= 1000;
    }
    const qsizetype point = digits.indexOf(u'.');
    const QString integerPart = point < 0 ? digits : digits.left(point);
    const QString fractionPart = point < 0 ? QString() : digits.mid(point + 1);
    const bool grouping = integerPart.contains(u',');
    int places = 0;
    int required = 0;
    for (const QChar c : fractionPart)
        if (c == u'0' || c == u'#' || c == u'?') {
            ++places;
            if (c != u'#')
                required = places;
        }
    int minimumInteger = 0;
    for (const QChar c : integerPart)
        if (c == u'0')
            ++minimumInteger;
    const double rounded =
        FormulaEvaluator::roundDecimal(scaled, places, FormulaEvaluator::Rounding::Nearest);
    QString text = QString::number(rounded, 'f', places);
    QString whole = point < 0 && places == 0 ? text : text.section(u'.', 0, 0);
    QString fraction = places > 0 ? text.section(u'.', 1, 1) : QString();
    if (whole == u"0" && minimumInteger == 0)
        whole.clear();
    whole = whole.rightJustified(minimumInteger, u'0');
    if (grouping)
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, u',');
    while (fraction.size() > required && fraction.endsWith(u'0'))
        fraction.chop(1);
    return point < 0 ? whole : whole + u'.' + fraction;
}

QString formatNumberSection(double value, const std::vector<Piece>& pieces) {
    bool percent = false;
    for (const Piece& p : pieces)
        percent = percent || (!p.literal && p.text.contains(u'%'));
    const double shown = percent ? value * 100 : value;
    QString out;
    bool done = false;
    for (const Piece& p : pieces) {
        if (p.literal) {
            out += p.text;
            continue;
        }
        QString codes = p.text;
        const bool hasDigits = codes.contains(u'0') || codes.contains(u'#') || codes.contains(u'?');
        if (hasDigits && !done) {
            QString digitCodes;
            QString after;
            for (const QChar c : codes)
                (c == u'%' ? after : digitCodes) += c;
            out += formatDigits(shown, digitCodes) + after;
            done = true;
        } else {
            out += codes; // a percent sign or stray codes outside the digits
        }
    }
    return out;
}

} // namespace

std::optional<QString> NumberFormat::format(double value, const QString& pattern) {
    const QStringList sections = sectionsOf(pattern);
    if (sections.size() > 4)
        return std::nullopt;
    QString section = sections[0];
    bool sign = value < 0;
    if (value < 0 && sections.size() >= 2) {
        section = sections[1];
        sign = false;
    } else if (value == 0 && sections.size() >= 3) {
        section = sections[2];
    }
    if (section.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0 || section.isEmpty())
        return CellValue::numberText(sign ? value : std::fabs(value));
    const std::vector<Piece> pieces = piecesOf(section);
    if (isDateFormat(pieces)) {
        if (value < 0)
            return std::nullopt;
        return formatDate(value, pieces);
    }
    const QString body = formatNumberSection(std::fabs(value), pieces);
    // A negative number shown as zero has no sign.
    const bool allZero = !body.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return (sign && !allZero ? QStringLiteral("-") : QString()) + body;
}

QString NumberFormat::formatText(const QString& text, const QString& pattern) {
    const QStringList sections = sectionsOf(pattern);
    const QString section = sections.size() >= 4   ? sections[3]
                            : sections.size() == 1 ? sections[0]
                                                   : QString();
    if (!section.contains(u'@'))
        return text;
    QString out;
    for (const Piece& p : piecesOf(section))
        out += p.literal ? QString(p.text).replace(u'@', text) : p.text;
    return out;
}

} // namespace platform::sheet
