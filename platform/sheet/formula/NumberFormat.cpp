// See NumberFormat.h. A pattern is split into sections, each section into tokens
// (NumberFormatSection.cpp); the section the value calls for is then written by the part that
// fits it: a date or time (NumberFormatDates.cpp), or digits, fractions, scientific notation
// and General (NumberFormatNumbers.cpp).
#include "platform/sheet/formula/NumberFormat.h"

#include "platform/sheet/formula/NumberFormatSection.h"

#include <cmath>

namespace platform::sheet {

using namespace numberformat;

namespace {

// The section the number is written in, and whether its sign is written: the second section
// writes negative numbers without their sign. Conditions choose among the first two sections,
// the next one without a condition takes what they leave; without conditions the sections are
// for positive numbers, negative numbers and zero. Null when no section takes the number.
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

// A date section: a negative number only as elapsed time, written after its sign.
std::optional<QString> formatDate(double value, const Section& section, bool sign, bool date1904) {
    if (value >= 0)
        return writeDate(value, section, date1904);
    if (!section.hasElapsed)
        return std::nullopt;
    const auto shown = writeDate(-value, section, date1904);
    if (!shown)
        return std::nullopt;
    return sign ? u'-' + *shown : *shown;
}

} // namespace

QString NumberFormat::general(double value) {
    return generalText(value);
}

std::optional<QString> NumberFormat::format(double value, const QString& pattern, bool date1904) {
    const std::vector<Section> sections = sectionsOf(pattern);
    if (sections.size() > 4)
        return std::nullopt;
    bool sign = true;
    const Section* section = sectionFor(value, sections, sign);
    // A number no section takes is shown in General.
    if (!section)
        return generalShown(value);
    if (section->isDate)
        return formatDate(value, *section, sign, date1904);
    // A single text section writes numbers in the General form.
    if (section->hasText && sections.size() == 1)
        return generalShown(value);
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
