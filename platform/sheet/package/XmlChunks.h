// A part's XML cut into its top-level pieces: what comes before the root element, the root's
// start tag, each child element of the root as raw text, the end tag and what follows. The
// layer edits a part by replacing, inserting or removing whole children by their names and
// keeps every other child byte for byte. Children named in `placeholders` (the large sheet
// data of a worksheet) are not copied: the caller writes them itself when assembling.
#pragma once

#include "platform/sheet/package/CellBudget.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sheet {

class XmlChunks {
public:
    struct Chunk {
        std::string name; // local name of the element; empty for a comment or processing instruction
        std::string raw;  // the element with the blanks and comments before it
        bool placeholder = false;
        // Where a placeholder stood in the text that was split (its element with the blanks
        // and comments before it), so that its owner can read it from there.
        std::size_t sourceOffset = 0;
        std::size_t sourceSize = 0;
    };

    // Throws SheetError (DamagedXml) naming `what` when the text is not a single well-nested
    // root element. A document type declaration is refused: packages never carry one. With a
    // budget, each child is taken from it as an element (TooLarge once it is spent).
    static XmlChunks split(std::string_view xml, std::string_view what,
                           std::initializer_list<std::string_view> placeholders = {},
                           CellBudget* budget = nullptr);

    // "x:" when the root element is written with a namespace prefix, else "".
    const std::string& prefix() const { return prefix_; }
    const std::string& rootStart() const { return rootStart_; }
    // What stood before the root element, and where its children begin in the text that was
    // split (just after the root's start tag; after "/>" for an empty root).
    const std::string& prolog() const { return prolog_; }
    std::size_t bodyOffset() const { return bodyOffset_; }
    bool emptyRoot() const { return emptyRoot_; }
    void setRootStart(std::string start) { rootStart_ = std::move(start); }

    const std::vector<Chunk>& chunks() const { return chunks_; }
    int indexOf(std::string_view localName) const;
    const Chunk* find(std::string_view localName) const;

    // Replaces the child of that name, or inserts it where `order` (the schema's sequence of
    // child names) puts it when there is none.
    void put(std::string_view localName, std::string raw, const std::vector<std::string_view>& order);
    void remove(std::string_view localName);
    // Marks a child as written by the caller when assembling.
    void markPlaceholder(std::string_view localName);

    // The whole text again; placeholders are written by `writePlaceholder`.
    std::string assemble(const std::function<void(std::string&, const Chunk&)>& writePlaceholder = {}) const;

private:
    std::string prolog_;
    std::string rootStart_;
    std::string rootEnd_;
    std::string epilog_;
    std::string prefix_;
    std::size_t bodyOffset_ = 0;
    bool emptyRoot_ = false;
    std::vector<Chunk> chunks_;
};

} // namespace platform::sheet
