// The layer's own state of one workbook, behind the Workbook callers use: the package with its
// parts (content types, relationships, workbook part, shared strings, styles, external links),
// the sheets, the file's lock and the facts of the file, with the work that reads them from a
// package and writes them back. Only the layer includes this header.
#pragma once

#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::sheet {

class CellBudget;
class ContentTypes;
class CustomProperties;
class ExternalLinks;
class Package;
class Recalculator;
class Relationships;
class SharedStrings;
class Styles;
class WorkbookLock;
class WorkbookPart;

class Workbook::Impl {
public:
    static Impl& of(const Workbook& workbook) { return *workbook.d_; }

    explicit Impl(Workbook& self);
    ~Impl();

    // Opening: the bytes of a file, or a blank workbook with one sheet.
    void load(QByteArray bytes, const OpenOptions& options);
    void buildBlank();

    // Saving: the changed parts into the package, then the package as the bytes of a file.
    QByteArray serialize();
    void writeFile(const QString& path, const QByteArray& bytes) const;
    void applySaveOptions(const SaveOptions& options);
    void checkExtension(const QString& path) const;

    void requireOpen() const;
    void requireStructureChange() const;
    void markStructureChanged();
    // Tells the application's viewers, at the end of a sheet operation, that the list changed.
    void sheetListChanged();
    void cellWritten(Worksheet& sheet, CellRef cell);
    void setActiveSheet(Worksheet& sheet);
    Recalculator& recalculator();

    // Sheet operations' helpers.
    void insertSheet(std::unique_ptr<Worksheet> sheet, const Worksheet* before, const Worksheet* after);
    std::string newSheetPart(std::string& relId);
    void removeSheetParts(Worksheet& sheet);
    void renameInFormulas(const std::string& oldName, const std::string& newName);
    // Copies the parts a part links to (drawings, comments, ...) along with it, between packages
    // or within one; a copy into a new workbook leaves threaded comments behind.
    static void copyRelatedParts(const Package& from, const std::string& fromPart, Package& to,
                                 const std::string& toPart, ContentTypes& toTypes,
                                 const ContentTypes& fromTypes, bool newWorkbook);

    Workbook& self;
    std::unique_ptr<Package> package;
    std::unique_ptr<ContentTypes> types;
    std::unique_ptr<Relationships> workbookRels;
    std::unique_ptr<WorkbookPart> workbookPart;
    std::unique_ptr<SharedStrings> strings;
    std::unique_ptr<Styles> styles;
    std::unique_ptr<ExternalLinks> links;
    std::unique_ptr<Recalculator> recalc;
    // The custom document properties; none until the file has them or one is set.
    std::unique_ptr<CustomProperties> custom;
    std::string customPart;
    std::vector<std::unique_ptr<Worksheet>> sheets;
    Worksheet* active = nullptr;
    std::unique_ptr<WorkbookLock> lock;
    // Takes the lock of the file at filePath; without it the workbook is read-only, for the
    // reason found.
    void lockFile();
    std::string workbookPartName = "xl/workbook.xml";
    std::string stringsPart;
    std::string stylesPart;

    QString name;
    QString filePath; // empty for a workbook never saved
    QString openPassword;
    bool defaultEncryption = false; // encrypted with the format's default password, no password of its own
    bool readOnly = false;
    Workbook::ReadOnlyReason readOnlyReason = Workbook::ReadOnlyReason::None;
    bool saved = true;
    bool closed = false;
    bool structureChanged = false; // workbook part, its relationships or content types to write
    bool cellsWritten = false;
    bool activeChanged = false; // the selected tab of the sheets' views is to follow
    Application* application = nullptr;

private:
    void readSheets(CellBudget& budget, const QString& onlySheet);
    std::vector<Worksheet*> sheetsToRead(const std::vector<Worksheet*>& worksheets, const QString& onlySheet);
    void readTables(Worksheet::Impl& sheet);
    void requireContentTypes() const;
    void readCustomProperties(const Relationships& rootRels);
    void saveCustomProperties();
    void prepareSave();
};

// The layer's state behind a workbook.
inline Workbook::Impl& impl(const Workbook& workbook) {
    return Workbook::Impl::of(workbook);
}

} // namespace platform::sheet
