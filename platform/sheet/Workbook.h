// A workbook: an Office Open XML package (.xlsx, .xlsm) read into sheets and cells, changed,
// and saved with every part the layer did not change kept byte for byte. Opening refuses a
// legacy binary workbook, a damaged package and damaged XML with a SheetError; it takes the
// file from disk or from bytes in memory, with the passwords a workbook may ask for. Saving is
// atomic (a temporary file in the same folder, flushed, then renamed over the old one). A
// workbook opened for writing holds the file's lock until it is closed. The workbook's state
// (its package, parts, sheets and lock) lives in the layer's own Impl, so that callers do not
// depend on it.
#pragma once

#include "platform/sheet/CellAddress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace platform::sheet {

class Application;
class Worksheet;

struct OpenOptions {
    QString password;         // file-open password; ignored for a workbook without one
    QString writeResPassword; // write-reservation password
    bool readOnly = false;
    // A look at one worksheet: when set, the workbook opens read-only and only the cells of the
    // worksheet of this name (letter case aside) are read -- or, when it has none of that name
    // and one worksheet in all, of that one. The other worksheets are listed and their parts
    // checked (each unpacks whole, with its checksum), but their cells are not read: using them
    // is refused (SheetError NotAvailable), and a formula of the sheet that must be calculated
    // from them gives #REF!, never a made-up value. Opening so costs one sheet, not the whole
    // workbook.
    QString onlySheet;

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
    const QString& name() const;
    // The full path, or the name of a workbook never saved.
    QString fullName() const;
    // The folder ("" for a workbook never saved).
    QString path() const;
    bool readOnly() const;
    // Why the workbook is read-only, and that reason in words ("another program holds its
    // file: ..."), to follow "is open read-only (" in a refusal.
    enum class ReadOnlyReason { None, Asked, WriteReserved, HeldElsewhere, NotWritable };
    ReadOnlyReason readOnlyReason() const;
    QString readOnlyReasonText() const;
    // False while there are changes not saved.
    bool saved() const;
    void setSaved(bool saved);
    // A file-open password protects the workbook.
    bool hasPassword() const;
    // A write-reservation password protects the workbook.
    bool writeReserved() const;
    bool hasMacroProject() const;
    // The bytes of the macro project part (xl/vbaProject.bin) as stored; no value without one.
    std::optional<QByteArray> macroProjectPart() const;
    bool structureProtected() const;

    // Custom document properties: texts a program keeps with the workbook, which spreadsheet
    // programs carry through their own saves. Names are compared without regard to case; a
    // property that is not there has no value. Setting one leaves every other as it was.
    std::optional<QString> customProperty(const QString& name) const;
    void setCustomProperty(const QString& name, const QString& value);

    // Sheets in tab order (worksheets and chart sheets), from 0.
    int sheetCount() const;
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
    bool isClosed() const;

    Application* application() const;

    // Formula results. After cells are written, the results of the formulas that depend on them
    // are brought up to date before anything reads, copies or saves them; calculate() does it
    // at once, and also calculates the formulas a file holds without a result. A formula the
    // engine cannot evaluate keeps its last result, is listed by staleCells() and is saved
    // without a result; a workbook saved after writes is flagged to be recalculated on opening.
    void calculate() const;
    std::vector<StaleCell> staleCells() const;
    // Typed entries about to be written into cells of the sheet ("=B2*2", "150"): the cell of the
    // first formula among them that would then read its own result, directly or through other
    // formulas -- a circular reference. Nothing is written.
    std::optional<CellRef> circularReference(Worksheet& sheet,
                                             const std::vector<std::pair<CellRef, QString>>& entries) const;

    // The layer's own state of the workbook (platform/sheet/model/WorkbookImpl.h).
    class Impl;

private:
    Workbook();

    std::unique_ptr<Impl> d_;
};

} // namespace platform::sheet
