// The spreadsheet application object: the collection of open workbooks, the active workbook
// and sheet with the order in which workbooks were activated (closing the active one brings
// back the one before), new workbooks named Book1, Book2, ..., the display switches the
// program turns on and off, the private copy buffer for copy and paste-special, and the
// application events, raised in the order a spreadsheet program raises them -- also for the
// workbooks the program's own code opens, creates and closes:
//   open / add / copy to a new workbook:  workbookDeactivate(old), workbookActivate(new)
//   close the active workbook:            workbookDeactivate(closed), workbookActivate(previous)
//   activate another sheet:               sheetDeactivate(old), sheetActivate(new)
//   select:                               sheetSelectionChange(sheet, block)
//   write cells:                          sheetChange(sheet, block)
// The six events can be kept quiet (enableEvents off), as the add-in does around workbooks it
// makes for its own work. Beside them the object tells the program that shows the workbooks
// what it must redraw: a workbook opened or closing, a workbook's list of sheets changed, the
// screen updating switched; these are never kept quiet.
// The collection, the activation order and the copy buffer live in the layer's own Impl.
#pragma once

#include "platform/sheet/CellAddress.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

namespace platform::sheet {

class Worksheet;

class Application : public QObject {
    Q_OBJECT

public:
    explicit Application(QObject* parent = nullptr);
    ~Application() override;

    int workbookCount() const;
    // In the order they were opened or created, from 0.
    Workbook& workbook(int index) const;
    // By name ("Budget.xlsx", "Book1") or full path, without regard to case; null when not open.
    Workbook* findWorkbook(const QString& nameOrPath) const;

    // Opens a workbook file, which becomes the active workbook. A workbook already open from
    // the same path is activated instead; another open workbook of the same name is an error.
    Workbook& open(const QString& path, const OpenOptions& options = {});
    // A new workbook "Book<n>", active.
    Workbook& add();
    // Takes a workbook made elsewhere into the collection, active.
    Workbook& adopt(std::unique_ptr<Workbook> workbook);
    // A copy of the sheet in a new workbook "Book<n>", active.
    Workbook& copySheetToNewWorkbook(Worksheet& sheet);
    // Closes a workbook, saving it first when asked; the one activated before it comes back.
    // A held workbook (below) is refused: SheetError FileInUse, and nothing is closed.
    void close(Workbook& workbook, bool saveChanges = false);
    // Closes every workbook, held or not (the application ends).
    void closeAll();

    // A running operation that works on an open workbook holds it for as long as it lasts:
    // meanwhile closing it is refused, so the operation never writes into, or saves, a workbook
    // that is gone. Holds nest.
    class WorkbookHold {
    public:
        WorkbookHold(Application& app, Workbook& workbook);
        ~WorkbookHold();
        WorkbookHold(const WorkbookHold&) = delete;
        WorkbookHold& operator=(const WorkbookHold&) = delete;

    private:
        QPointer<Application> app_;
        Workbook* workbook_;
    };
    bool isHeld(const Workbook& workbook) const;
    // The refusal close() raises for a held workbook.
    static QString heldText(const Workbook& workbook);

    Workbook* activeWorkbook() const;
    Worksheet* activeSheet() const;
    void activate(Workbook& workbook);

    // The program's version: its major number (at least 9, settable for tests) and its text
    // ("16.0").
    static constexpr int kMajorVersion = 16;
    int majorVersion() const;
    void setMajorVersion(int major);
    QString version() const;

    // The program's main window, which owns the windows an add-in opens; null without one.
    QObject* mainWindow() const;
    void setMainWindow(QObject* window);

    // The six events are raised only while this is on (the default).
    bool enableEvents() const;
    void setEnableEvents(bool on);

    // Display switches, kept as state.
    bool visible() const;
    void setVisible(bool on);
    bool screenUpdating() const;
    void setScreenUpdating(bool on);
    bool displayAlerts() const;
    void setDisplayAlerts(bool on);
    bool askToUpdateLinks() const;
    void setAskToUpdateLinks(bool on);

    // The copy buffer.
    void copy(const Range& source);
    void pasteSpecial(const Range& target, PasteType type);
    bool hasCopy() const;
    void clearCopy();

    // Converts the references of a formula between the A1 and R1C1 styles ("R3C2" -> "$B$3").
    static QString convertFormula(const QString& formula, ReferenceStyle from, ReferenceStyle to,
                                  CellRef base = {});

signals:
    void workbookActivate(platform::sheet::Workbook* workbook);
    void workbookDeactivate(platform::sheet::Workbook* workbook);
    void sheetActivate(platform::sheet::Worksheet* sheet);
    void sheetDeactivate(platform::sheet::Worksheet* sheet);
    void sheetChange(platform::sheet::Worksheet* sheet, const platform::sheet::Range& target);
    void sheetSelectionChange(platform::sheet::Worksheet* sheet, const platform::sheet::Range& target);

    // For the program that shows the workbooks (never kept quiet).
    void workbookOpened(platform::sheet::Workbook* workbook);  // before it is activated
    void workbookClosing(platform::sheet::Workbook* workbook); // before it is deactivated and closed
    void sheetsChanged(platform::sheet::Workbook* workbook); // added, copied, moved, renamed, deleted, hidden
    void screenUpdatingChanged(bool on);

public:
    // The layer's own state of the application (platform/sheet/model/ApplicationImpl.h).
    class Impl;

private:
    std::unique_ptr<Impl> d_;
};

} // namespace platform::sheet
