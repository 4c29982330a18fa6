// See Criteria.h.
#include "platform/sheet/formula/Criteria.h"

#include "platform/sheet/formula/EvaluatorValues.h"

#include <cmath>

namespace platform::sheet {

namespace {

using Type = CellValue::Type;

bool hasWildcards(const QString& text) {
    return text.contains(u'*') || text.contains(u'?') || text.contains(u'~');
}

// The wildcard text as an anchored pattern: * any run, ? one character, ~ takes the next one as
// it is.
QRegularExpression wildcardPattern(const QString& text) {
    QString pattern;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'~' && i + 1 < text.size())
            pattern += QRegularExpression::escape(QString(text[++i]));
        else if (c == u'*')
            pattern += QStringLiteral(".*");
        else if (c == u'?')
            pattern += u'.';
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

// Equal without regard to case; plain ASCII letters are compared at once, anything else the way
// Qt folds case.
bool sameTextIgnoringCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        if (x >= 128 || y >= 128)
            return a.mid(i).compare(b.mid(i), Qt::CaseInsensitive) == 0;
        const char16_t lx = x >= u'A' && x <= u'Z' ? char16_t(x + 32) : x;
        const char16_t ly = y >= u'A' && y <= u'Z' ? char16_t(y + 32) : y;
        if (lx != ly)
            return false;
    }
    return true;
}

bool nearlyEqual(double a, double b) {
    return a == b || std::fabs(a - b) <= 1e-15 * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

Criterion::Criterion(const CellValue& criterion) {
    switch (criterion.type) {
    case Type::Empty:
        return; // matches empty cells
    case Type::Number:
        kind_ = Kind::Number;
        number_ = criterion.number;
        return;
    case Type::Boolean:
        kind_ = Kind::Boolean;
        number_ = criterion.number;
        return;
    case Type::Error:
        kind_ = Kind::Error;
        text_ = criterion.text;
        return;
    case Type::Text:
        break;
    }
    QString rest = criterion.text;
    static const std::pair<const char*, Compare> kPrefixes[] = {
        {"<=", Compare::LessEqual}, {">=", Compare::GreaterEqual}, {"<>", Compare::NotEqual},
        {"<", Compare::Less},       {">", Compare::Greater},       {"=", Compare::Equal}};
    for (const auto& [prefix, compare] : kPrefixes) {
        if (rest.startsWith(QLatin1String(prefix))) {
            compare_ = compare;
            rest = rest.mid(qsizetype(std::strlen(prefix)));
            break;
        }
    }
    if (rest.isEmpty())
        return; // "=" or "<>" against the empty cell
    double number = 0;
    if (evaluation::numberFromText(rest, number)) {
        kind_ = Kind::Number;
        number_ = number;
    } else if (rest.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
               rest.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
        kind_ = Kind::Boolean;
        number_ = rest.size() == 4 ? 1 : 0;
    } else if (rest.startsWith(u'#')) {
        kind_ = Kind::Error;
        text_ = rest.toUpper();
    } else {
        kind_ = Kind::Text;
        text_ = rest;
        if ((compare_ == Compare::Equal || compare_ == Compare::NotEqual) && hasWildcards(rest)) {
            pattern_ = wildcardPattern(rest);
            wildcard_ = true;
        }
    }
}

bool Criterion::compares(int order) const {
    switch (compare_) {
    case Compare::Equal:
        return order == 0;
    case Compare::NotEqual:
        return order != 0;
    case Compare::Less:
        return order < 0;
    case Compare::Greater:
        return order > 0;
    case Compare::LessEqual:
        return order <= 0;
    case Compare::GreaterEqual:
        return order >= 0;
    }
    return false;
}

std::optional<Criterion::Lookup> Criterion::lookup() const {
    Lookup lookup;
    if (kind_ == Kind::Text && compare_ == Compare::Equal && !wildcard_) {
        lookup.text = true;
        lookup.equal = text_;
        return lookup;
    }
    if (kind_ != Kind::Number)
        return std::nullopt;
    lookup.number = number_;
    switch (compare_) {
    case Compare::Equal:
        lookup.numericTexts = true;
        return lookup;
    case Compare::Less:
    case Compare::LessEqual:
        lookup.side = ValueIndex::Side::Below;
        return lookup;
    case Compare::Greater:
    case Compare::GreaterEqual:
        lookup.side = ValueIndex::Side::Above;
        return lookup;
    case Compare::NotEqual:
        break;
    }
    return std::nullopt;
}

bool Criterion::matches(const CellValue& cell) const {
    const bool empty = cell.type == Type::Empty || (cell.type == Type::Text && cell.text.isEmpty());
    // A cell of another kind is only ever "not equal".
    const bool notEqual = compare_ == Compare::NotEqual;
    switch (kind_) {
    case Kind::Empty:
        return notEqual ? !empty : empty;
    case Kind::Number: {
        double value = 0;
        if (cell.type == Type::Number)
            value = cell.number;
        else if (!(cell.type == Type::Text && (compare_ == Compare::Equal || notEqual) &&
                   evaluation::numberFromText(cell.text, value))) // "5" typed as text equals 5
            return notEqual;
        return compares(nearlyEqual(value, number_) ? 0 : value < number_ ? -1 : 1);
    }
    case Kind::Boolean:
        if (cell.type != Type::Boolean)
            return notEqual;
        return compares(cell.number == number_ ? 0 : cell.number < number_ ? -1 : 1);
    case Kind::Error:
        if (cell.type != Type::Error)
            return notEqual;
        return compares(cell.text.compare(text_, Qt::CaseInsensitive) == 0 ? 0 : 1);
    case Kind::Text:
        if (cell.type != Type::Text || empty)
            return notEqual;
        if (wildcard_)
            return pattern_.match(cell.text).hasMatch() != notEqual;
        if (compare_ == Compare::Equal || notEqual)
            return sameTextIgnoringCase(cell.text, text_) != notEqual;
        const int order = cell.text.compare(text_, Qt::CaseInsensitive);
        return compares(order < 0 ? -1 : order > 0 ? 1 : 0);
    }
    return false;
}

} // namespace platform::sheet
