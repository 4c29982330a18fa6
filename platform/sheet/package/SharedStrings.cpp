// Reading and writing the shared strings part: elements sst, si, t, r, rPh.
#include "platform/sheet/package/SharedStrings.h"

#include "platform/sheet/SheetError.h"
#include "platform/sheet/package/XmlChunks.h"
#include "platform/sheet/package/XmlText.h"

#include <pugixml.hpp>

namespace platform::sheet {

namespace {

const QString kEmpty;

// The plain text of one entry: its <t>, or the <t> of each run; phonetic runs do not count.
std::string entryText(const pugi::xml_node& si, bool& rich) {
    std::string text;
    rich = false;
    for (const pugi::xml_node& child : si.children()) {
        const std::string_view name = XmlText::localName(child.name());
        if (name == "t") {
            text += child.text().get();
        } else if (name == "r") {
            rich = true;
            for (const pugi::xml_node& t : child.children())
                if (std::string_view(XmlText::localName(t.name())) == "t")
                    text += t.text().get();
        }
    }
    return XmlText::decodeCellText(text);
}

} // namespace

SharedStrings::SharedStrings() {
    rootStart_ = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
}

void SharedStrings::parse(std::string xml) {
    original_ = std::move(xml);
    // Where the entries begin and end, for writing them back unchanged.
    const XmlChunks shape = XmlChunks::split(original_, "xl/sharedStrings.xml", {"si"});
    prefix_ = shape.prefix();
    rootStart_ = shape.rootStart();
    prologEnd_ = shape.prolog().size();
    bodyStart_ = shape.bodyOffset();
    bodyEnd_ = shape.emptyRoot() ? bodyStart_ : original_.rfind("</" + prefix_ + "sst");
    if (bodyEnd_ == std::string::npos || bodyEnd_ < bodyStart_)
        bodyEnd_ = bodyStart_;

    pugi::xml_document doc;
    if (!doc.load_buffer(original_.data(), original_.size(),
                         pugi::parse_default | pugi::parse_ws_pcdata_single))
        throw SheetError(SheetError::Code::DamagedXml,
                         QStringLiteral("The part xl/sharedStrings.xml of the workbook is damaged."));
    texts_.clear();
    rich_.clear();
    for (const pugi::xml_node& si : doc.document_element().children()) {
        if (std::string_view(XmlText::localName(si.name())) != "si")
            continue;
        bool rich = false;
        texts_.push_back(entryText(si, rich));
        rich_.push_back(rich);
    }
    qtexts_.clear();
    qtexts_.resize(texts_.size());
    index_.clear();
    indexed_ = false;
}

std::string_view SharedStrings::text(std::uint32_t index) const {
    return index < texts_.size() ? std::string_view(texts_[index]) : std::string_view();
}

const QString& SharedStrings::qtext(std::uint32_t index) const {
    if (index >= texts_.size())
        return kEmpty;
    if (qtexts_.size() < texts_.size())
        qtexts_.resize(texts_.size());
    auto& slot = qtexts_[index];
    if (!slot)
        slot = std::make_unique<QString>(XmlText::toQString(texts_[index]));
    return *slot;
}

void SharedStrings::buildIndex() {
    index_.reserve(texts_.size());
    for (std::uint32_t i = 0; i < texts_.size(); ++i)
        if (!rich_[i])
            index_.emplace(std::string_view(texts_[i]), i);
    indexed_ = true;
}

std::uint32_t SharedStrings::add(std::string_view text) {
    if (!indexed_)
        buildIndex();
    const auto it = index_.find(text);
    if (it != index_.end())
        return it->second;
    // Keep the views of the index valid: reserve before growing when the vector would move.
    if (texts_.size() == texts_.capacity()) {
        texts_.reserve(texts_.size() * 2 + 16);
        index_.clear();
        for (std::uint32_t i = 0; i < texts_.size(); ++i)
            if (!rich_[i])
                index_.emplace(std::string_view(texts_[i]), i);
    }
    texts_.emplace_back(text);
    rich_.push_back(false);
    const auto index = std::uint32_t(texts_.size() - 1);
    index_.emplace(std::string_view(texts_.back()), index);
    ++added_;
    return index;
}

std::string SharedStrings::serialize() const {
    std::string out;
    out.reserve(original_.size() + added_ * 32 + 256);
    if (original_.empty())
        out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    else
        out.append(original_, 0, prologEnd_);
    // The start tag again, with the counts brought up to date.
    pugi::xml_document tag;
    std::string closed = rootStart_;
    closed.insert(closed.size() - 1, "/");
    tag.load_buffer(closed.data(), closed.size());
    pugi::xml_node root = tag.document_element();
    root.remove_attribute("count");
    root.remove_attribute("uniqueCount");
    out += '<';
    out += root.name();
    for (const pugi::xml_attribute& a : root.attributes()) {
        out += ' ';
        out += a.name();
        out += "=\"";
        XmlText::appendEscaped(out, a.value(), true);
        out += '"';
    }
    out += " uniqueCount=\"" + std::to_string(texts_.size()) + "\">";
    out.append(original_, bodyStart_, bodyEnd_ - bodyStart_);
    for (std::size_t i = texts_.size() - added_; i < texts_.size(); ++i) {
        out += '<' + prefix_ + "si><" + prefix_ + 't';
        if (XmlText::needsSpacePreserve(texts_[i]))
            out += " xml:space=\"preserve\"";
        out += '>';
        XmlText::appendCellText(out, texts_[i]);
        out += "</" + prefix_ + "t></" + prefix_ + "si>";
    }
    out += "</" + prefix_ + "sst>";
    return out;
}

} // namespace platform::sheet
