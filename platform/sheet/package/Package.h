// The package of a workbook: its parts by name, as read from the zip container, with the parts
// the layer wrote or removed since. Part names are kept as the container spells them and
// looked up without regard to case, as the packaging rules say. A container whose names could
// reach outside the package -- "..", absolute or backslashed names -- or name one part twice is
// refused as damaged when it is read, and such a name is never written. Saving copies every
// untouched part's stored bytes unchanged and packs only the parts that were written.
#pragma once

#include "platform/sheet/package/CellBudget.h"
#include "platform/sheet/package/ZipReader.h"
#include "platform/sheet/package/ZipWriter.h"

#include <QByteArray>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::sheet {

class Package {
public:
    // The compression level of written parts: the quickest, which packs workbook parts as small
    // as zlib's level 3 does, within a fifth of the best.
    static constexpr int kDeflateLevel = 1;

    Package();
    // Reads the container; throws SheetError (DamagedPackage).
    explicit Package(QByteArray zipBytes);

    // Why a name cannot be a part name of a package (an empty text when it can): empty, "." or
    // ".." segments (also percent-encoded), a leading "/", a backslash, an encoded "/" or "\".
    static QString nameProblem(std::string_view name);

    bool contains(std::string_view part) const;
    // The part's content; throws SheetError (DamagedPackage) when the part is missing. While a
    // budget is set (as a workbook is read), a part read whole is taken from it (TooLarge).
    std::string read(std::string_view part) const;
    void setBudget(CellBudget* budget) { budget_ = budget; }

    // A part read in two steps, so that the unpacking can run on a worker thread.
    struct PendingRead {
        std::string name;
        std::optional<std::string> ready; // a part written since opening
        ZipReader::Entry entry;
        std::string stored;
        std::string unpack() const { return ready ? *ready : ZipReader::unpack(stored, entry); }
    };
    PendingRead prepareRead(std::string_view part) const;

    // Throws SheetError (WriteFailed) for a name nameProblem() refuses.
    void write(std::string_view part, std::string content);
    // A part already packed (by a worker thread that wrote and packed it).
    void writeStored(std::string_view part, ZipWriter::Stored stored);
    void remove(std::string_view part);
    bool isWritten(std::string_view part) const;

    // Names of the parts in container order (parts added since at the end).
    std::vector<std::string> partNames() const;

    // A name from a pattern holding "%1" ("xl/worksheets/sheet%1.xml") with the lowest number
    // from `from` on that no part has.
    std::string freeName(std::string_view pattern, int from = 1) const;

    // The package as a zip container.
    QByteArray save() const;

private:
    struct Item {
        std::string name;
        int entry = -1;                          // index into the reader's entries, -1 for a new part
        std::optional<std::string> content;      // set when written
        std::optional<ZipWriter::Stored> packed; // set when written packed
        bool removed = false;
    };

    static std::string key(std::string_view name);
    const Item* item(std::string_view part) const;
    Item* item(std::string_view part);
    Item& itemForWrite(std::string_view part);

    std::shared_ptr<ZipReader> reader_;
    CellBudget* budget_ = nullptr;
    std::vector<Item> items_;
    std::unordered_map<std::string, std::size_t> index_;
};

} // namespace platform::sheet
