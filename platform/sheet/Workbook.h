// A workbook: an Office Open XML package (.xlsx, .xlsm) read into sheets and cells, changed,
// and saved with every part the layer did not change kept byte for byte. Opening refuses a
// legacy binary workbook, a damaged package and damaged XML with a SheetError; it takes the
// file from disk or from bytes in memory, with the passwords a workbook may ask for. Saving is
// atomic (a temporary file in the same folder, flushed, then renamed over the old one). A
// workbook opened for writing holds the file's lock until it is closed.
#pragma once

#include "platform/sheet/CellAddress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform::sheet {

class Application;
class ContentTypes;
class ExternalLinks;
class Package;
class Recalculator;
class Relationships;
class SharedStrings;
class Styles;
class WorkbookLock;
class WorkbookPart;
class Worksheet;

struct OpenOptions {
    QString password;         // file-open password; ignored for a workbook without one
    QString writeResPassword; // write-reservation password
    bool readOnly = false;

    static OpenOptions readOnlyAccess() {
        OpenOptions options;
        options.readOnly = true;
        return options;
    }
    static OpenOptions withPassword(const QString& password) {
        OpenOptions options;
        options.password = password;
        return options;
    }
};

// A formula cell whose result could not be brought up to date after cells were written: it
// holds its last result.
struct StaleCell {
    Worksheet* sheet = nullptr;
    CellRef cell;
};

struct SaveOptions {
    // Unset: keep what the workbook has. Set to an empty text: remove.
    std::optional<QString> password;
    std::optional<QString> writeResPassword;
};

class Workbook {
public:
    // The extension of a workbook the program makes.
    static constexpr const char* kDefaultExtension = ".xlsx";
    // True when the name ends in .xlsx or .xlsm, without regard to case.
    static bool isWorkbookName(const QString& fileName);

    // Throws SheetError.
    static std::unique_ptr<Workbook> open(const QString& path, const OpenOptions& options = {});
    // A workbook from the bytes of a file; `name` is its file name. It holds no lock.
    static std::unique_ptr<Workbook> openBytes(const QByteArray& bytes, const QString& name,
                                               const OpenOptions& options = {});
    // A new workbook with one empty worksheet "Sheet1", never saved.
    static std::unique_ptr<Workbook> create(const QString& name);

    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // The file name ("Budget.xlsx"), or the name of a workbook never saved ("Book1").
    const QString& name() const { return name_; }
    // The full path, or the name of a workbook never saved.
    QString fullName() const;
    // The folder ("" for a workbook never saved).
    QString path() const;
    bool readOnly() const { return readOnly_; }
    // False while there are changes not saved.
    bool saved() const { return saved_; }
    void setSaved(bool saved) { saved_ = saved; }
    // A file-open password protects the workbook.
    bool hasPassword() const { return !openPassword_.isEmpty(); }
    // A write-reservation password protects the workbook.
    bool writeReserved() const;
    bool hasMacroProject() const;
    bool structureProtected() const;

    // Sheets in tab order (worksheets and chart sheets), from 0.
    int sheetCount() const { return int(sheets_.size()); }
    Worksheet& sheet(int index) const;           // throws SheetError (NoSuchSheet)
    Worksheet& sheet(const QString& name) const; // by name without regard to case; throws NoSuchSheet
    Worksheet* findSheet(const QString& name) const;
    // The worksheets alone (no chart sheets), in tab order.
    std::vector<Worksheet*> worksheets() const;
    QStringList sheetNames() const;
    int indexOf(const Worksheet& sheet) const;

    Worksheet& activeSheet() const;

    // Sheet operations under the naming and structure rules. Without before/after a new sheet
    // goes before the active sheet; a new or copied sheet becomes the active sheet.
    Worksheet& addSheet(const Worksheet* before = nullptr, const Worksheet* after = nullptr,
                        const QString& name = {});
    Worksheet& copySheet(const Worksheet& source, const Worksheet* before = nullptr,
                         const Worksheet* after = nullptr);
    void moveSheet(Worksheet& sheet, const Worksheet* before = nullptr, const Worksheet* after = nullptr);
    void renameSheet(Worksheet& sheet, const QString& name);
    void deleteSheet(Worksheet& sheet);
    // A new workbook holding a copy of the sheet; its references to the other sheets of this
    // workbook become references to this workbook's file.
    std::unique_ptr<Workbook> copySheetToNewWorkbook(const Worksheet& source, const QString& newName) const;

    // Saves over the file; refused for a read-only workbook and for one never saved.
    void save();
    // Saves under another name (or the same), which becomes the workbook's file.
    void saveAs(const QString& path, const SaveOptions& options = {});
    // Writes a copy; the workbook stays what it was.
    void saveCopyAs(const QString& path);
    // The workbook as the bytes of a file.
    QByteArray toBytes();
    // Ends the workbook without saving: its lock is released. It cannot be used afterwards.
    void close();
    bool isClosed() const { return closed_; }

    Application* application() const { return application_; }

    // Formula results. After cells are written, the results of the formulas that depend on them
    // are brought up to date before anything reads, copies or saves them; calculate() does it
    // at once, and also calculates the formulas a file holds without a result. A formula the
    // engine cannot evaluate keeps its last result, is listed by staleCells() and is saved
    // without a result; a workbook saved after writes is flagged to be recalculated on opening.
    void calculate() const;
    std::vector<StaleCell> staleCells() const;

    // Called for every cell written, so that a calculation engine can mark the cells that
    // depend on it; the workbook is flagged to be recalculated when opened anyway.
    using CellWrittenHook = std::function<void(Worksheet&, CellRef)>;
    void setCellWrittenHook(CellWrittenHook hook) { cellWritten_ = std::move(hook); }

private:
    friend class Application;
    friend class CopyBuffer;
    friend class Recalculator;
    friend class Worksheet;

    Workbook();
    void load(QByteArray bytes, const OpenOptions& options);
    void buildBlank();
    void readSheets();
    QByteArray serialize();
    void writeFile(const QString& path, const QByteArray& bytes) const;
    void prepareSave();
    void applySaveOptions(const SaveOptions& options);
    void checkExtension(const QString& path) const;
    void requireOpen() const;
    void requireStructureChange() const;
    void insertSheet(std::unique_ptr<Worksheet> sheet, const Worksheet* before, const Worksheet* after);
    std::string newSheetPart(std::string& relId);
    void removeSheetParts(Worksheet& sheet);
    void copyRelatedParts(const Package& from, const std::string& fromPart, Package& to,
                          const std::string& toPart, ContentTypes& toTypes, const ContentTypes& fromTypes,
                          bool dropTables) const;
    void renameInFormulas(const std::string& oldName, const std::string& newName);
    void markStructureChanged();
    void cellWritten(Worksheet& sheet, CellRef cell);
    void setActiveSheet(Worksheet& sheet);
    Recalculator& recalculator() const;
    const WorkbookPart& workbookPart() const { return *part_; }
    const SharedStrings& sharedStrings() const { return *strings_; }

    std::unique_ptr<Package> package_;
    std::unique_ptr<ContentTypes> types_;
    std::unique_ptr<Relationships> workbookRels_;
    std::unique_ptr<WorkbookPart> part_;
    std::unique_ptr<SharedStrings> strings_;
    std::unique_ptr<Styles> styles_;
    std::unique_ptr<ExternalLinks> links_;
    mutable std::unique_ptr<Recalculator> recalc_;
    std::vector<std::unique_ptr<Worksheet>> sheets_;
    Worksheet* active_ = nullptr;
    std::unique_ptr<WorkbookLock> lock_;
    std::string workbookPartName_ = "xl/workbook.xml";
    std::string stringsPart_;
    std::string stylesPart_;

    QString name_;
    QString filePath_; // empty for a workbook never saved
    QString openPassword_;
    bool readOnly_ = false;
    bool saved_ = true;
    bool closed_ = false;
    bool structureChanged_ = false; // workbook part, its relationships or content types to write
    bool cellsWritten_ = false;
    bool activeChanged_ = false; // the selected tab of the sheets' views is to follow
    Application* application_ = nullptr;
    CellWrittenHook cellWritten_;
};

} // namespace platform::sheet
