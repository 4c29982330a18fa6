// The shared strings part (xl/sharedStrings.xml): the texts that cells refer to by number.
// Each entry's plain text (its runs joined, phonetic runs left out) is what cells show; the
// entries themselves, formatted runs and all, are written back unchanged. New texts are added
// at the end, reusing an equal plain entry when there is one.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::sheet {

class SharedStrings {
public:
    static constexpr std::string_view kContentType =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";

    SharedStrings();

    // Throws SheetError (DamagedXml).
    void parse(std::string xml);

    std::uint32_t count() const { return std::uint32_t(texts_.size()); }
    std::string_view text(std::uint32_t index) const;
    // The text as a QString, converted once and then shared.
    const QString& qtext(std::uint32_t index) const;

    // The index of a plain entry holding the text; a new entry when there is none.
    std::uint32_t add(std::string_view text);

    bool changed() const { return added_ > 0; }
    std::string serialize() const;

private:
    void buildIndex();

    std::string original_;      // the part as read; entries up to its end tag stay as they are
    std::size_t prologEnd_ = 0; // where the root start tag begins
    std::size_t bodyStart_ = 0; // just after the root start tag
    std::size_t bodyEnd_ = 0;   // at the root end tag
    std::string rootStart_;
    std::string prefix_; // namespace prefix of the root, "x:" or ""
    std::vector<std::string> texts_;
    std::vector<bool> rich_; // entries with formatted runs are never reused for plain texts
    std::size_t added_ = 0;
    std::unordered_map<std::string_view, std::uint32_t> index_;
    bool indexed_ = false;
    mutable std::vector<std::unique_ptr<QString>> qtexts_;
};

} // namespace platform::sheet
