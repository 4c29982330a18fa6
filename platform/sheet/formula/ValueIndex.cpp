// See ValueIndex.h.
#include "platform/sheet/formula/ValueIndex.h"

#include "platform/sheet/formula/EvaluatorValues.h"

#include <algorithm>
#include <cmath>

namespace platform::sheet {

namespace {

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

void ValueIndex::add(const CellValue& value, int position) {
    if (value.type == CellValue::Type::Number) {
        numbers_.emplace_back(value.number, position);
    } else if (value.type == CellValue::Type::Text && !value.text.isEmpty()) {
        double number = 0;
        if (evaluation::numberFromText(value.text, number))
            numericTexts_.emplace_back(number, position);
        Texts& texts = texts_[value.text.toCaseFolded()];
        texts.positions.push_back(position);
        texts.ascii = texts.ascii && isAscii(value.text);
    }
}

void ValueIndex::finish() {
    std::sort(numbers_.begin(), numbers_.end());
    std::sort(numericTexts_.begin(), numericTexts_.end());
}

ValueIndex::Span ValueIndex::span(const Numbers& sorted, double number, Side side) {
    const double slack = std::fabs(number) * kTolerance + 1e-300;
    auto first = sorted.begin();
    auto last = sorted.end();
    if (side != Side::Below)
        first = std::lower_bound(sorted.begin(), sorted.end(), std::make_pair(number - slack, -1));
    if (side != Side::Above)
        last = std::upper_bound(sorted.begin(), sorted.end(), std::make_pair(number + slack, 1 << 30));
    return {first, std::max(first, last)};
}

std::vector<int> ValueIndex::numbers(double number, Side side, bool numericTexts) const {
    std::vector<int> out;
    for (const Numbers* sorted : {&numbers_, &numericTexts_}) {
        if (sorted == &numericTexts_ && !numericTexts)
            break;
        const auto [first, last] = span(*sorted, number, side);
        for (auto it = first; it < last; ++it)
            out.push_back(it->second);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::size_t ValueIndex::countNumbers(double number, Side side, bool numericTexts) const {
    std::size_t count = 0;
    for (const Numbers* sorted : {&numbers_, &numericTexts_}) {
        if (sorted == &numericTexts_ && !numericTexts)
            break;
        const auto [first, last] = span(*sorted, number, side);
        count += std::size_t(last - first);
    }
    return count;
}

const std::vector<int>& ValueIndex::texts(const QString& text) const {
    static const std::vector<int> kNone;
    const auto it = texts_.find(text.toCaseFolded());
    return it == texts_.end() ? kNone : it->second.positions;
}

bool ValueIndex::textsExact(const QString& text) const {
    const auto it = texts_.find(text.toCaseFolded());
    return isAscii(text) && (it == texts_.end() || it->second.ascii);
}

} // namespace platform::sheet
