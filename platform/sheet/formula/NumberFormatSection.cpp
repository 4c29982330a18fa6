// A number format pattern read into sections and tokens (see NumberFormatSection.h).
#include "platform/sheet/formula/NumberFormatSection.h"

#include <algorithm>

namespace platform::sheet::numberformat {

bool Condition::matches(double v) const {
    switch (op) {
    case Op::Less:
        return v < number;
    case Op::LessEqual:
        return v <= number;
    case Op::Greater:
        return v > number;
    case Op::GreaterEqual:
        return v >= number;
    case Op::NotEqual:
        return v != number;
    case Op::Equal:
        break;
    }
    return v == number;
}

namespace {

bool isDateLetter(QChar c) {
    const QChar l = c.toLower();
    return l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's' || l == u'e';
}

std::optional<Condition::Op> conditionOp(const QString& text) {
    using Op = Condition::Op;
    if (text == u"<")
        return Op::Less;
    if (text == u"<=")
        return Op::LessEqual;
    if (text == u">")
        return Op::Greater;
    if (text == u">=")
        return Op::GreaterEqual;
    if (text == u"<>")
        return Op::NotEqual;
    if (text == u"=")
        return Op::Equal;
    return std::nullopt;
}

// "[<10]", "[h]", "[$€-407]", "[Red]": a condition, elapsed time, a currency text or nothing.
void bracket(const QString& inner, Section& section) {
    if (!inner.isEmpty() && (inner[0] == u'<' || inner[0] == u'>' || inner[0] == u'=')) {
        qsizetype n = 1;
        while (n < inner.size() && (inner[n] == u'<' || inner[n] == u'>' || inner[n] == u'='))
            ++n;
        bool ok = false;
        const double number = inner.mid(n).trimmed().toDouble(&ok);
        const auto op = conditionOp(inner.left(n));
        if (ok && op)
            section.condition = Condition{*op, number};
        return;
    }
    const QString lower = inner.toLower();
    if (!lower.isEmpty() && (lower.count(u'h') == lower.size() || lower.count(u'm') == lower.size() ||
                             lower.count(u's') == lower.size())) {
        section.tokens.push_back({Kind::Elapsed, lower});
        section.isDate = true;
        section.hasElapsed = true;
        return;
    }
    if (inner.startsWith(u'$')) {
        const qsizetype dash = inner.indexOf(u'-');
        const QString symbol = inner.mid(1, dash < 0 ? -1 : dash - 1);
        if (!symbol.isEmpty())
            section.tokens.push_back({Kind::Literal, symbol});
    }
}

// The length of a named code at i ("General", "AM/PM", "A/P"), 0 when none starts there.
qsizetype namedCode(const QString& text, qsizetype i, const char16_t* name) {
    const QString code = QString::fromUtf16(name);
    return text.mid(i, code.size()).compare(code, Qt::CaseInsensitive) == 0 ? code.size() : 0;
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
            s.tokens.push_back({Kind::Exponent, text.mid(i, 2)});
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
        } else if (const qsizetype n = namedCode(text, i, u"General")) {
            s.tokens.push_back({Kind::General, QString()});
            i += n - 1;
        } else if (const qsizetype m = std::max(namedCode(text, i, u"AM/PM"), namedCode(text, i, u"A/P"))) {
            s.tokens.push_back({Kind::AmPm, text.mid(i, m)});
            s.isDate = true;
            i += m - 1;
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
                t.kind == Kind::Percent || t.kind == Kind::Exponent)
                t.kind = Kind::Literal;
    }
    return s;
}

} // namespace

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

} // namespace platform::sheet::numberformat
