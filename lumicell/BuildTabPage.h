// A page of the Build Budget dialog whose controls and work live in their own files (Make
// Worksheets, Run Macros, Range). The dialog frame owns the tab control, the OK button and the
// re-targeting to the active workbook; it reaches a page only through these calls.
#pragma once

#include <QString>
#include <QWidget>

namespace lumicell {

class BuildTabPage : public QWidget {
public:
    using QWidget::QWidget;

    // The OK button's caption while this page is the current tab.
    virtual QString okCaption() const = 0;
    // The page became the current tab.
    virtual void pageShown() {}
    // The dialog was shown or resized: the page lays out its current mode (the Make Worksheets
    // page also gives the dialog its size and caption).
    virtual void layOut() {}
    // OK was clicked on this page. Returns false when the operation did not run to its end
    // (the dialog then stays open even when it would close after a finished operation).
    virtual bool runOk() = 0;
    // Another workbook became the active one: the page reloads from the options object.
    virtual void retarget() {}
    // The active workbook was deactivated: the page empties its grids.
    virtual void clearGrids() {}
    // A whole row ("12") or column ("C") the user selected on a sheet while the dialog is in
    // summary mode; only the Make Worksheets page takes them.
    virtual void addSummaryPick(bool isRow, const QString& entry) {
        (void)isRow;
        (void)entry;
    }
};

} // namespace lumicell
