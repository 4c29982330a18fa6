// The print window, File > Print: the administrator picks one of the program's printable
// grids from the Print table's list (its document name and the title printed on each page),
// chooses whether hidden columns are left out and whether the table is shrunk to one page,
// and presses Continue; PrintSelectedTable (PrintSelectedTable.h) prints that grid to a PDF
// file the administrator chooses.
//
// One program-wide instance (loaded(), instance()), shown modeless by the main window; it
// unloads itself after printing or on Cancel.
#pragma once

#include "lumidesk/SingleDialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace platform::ui {
class ComboList;
}

namespace core {
class DataControl;
}

namespace lumidesk {

using core::DataControl;

class frmPrint : public SingleDialog<frmPrint> {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmPrint");
    static inline const QString kCaption = QStringLiteral("Print Selection");
    static inline const QString kNothingChosenText = QStringLiteral("Please select a table to print.");

    explicit frmPrint(QWidget* owner = nullptr);

    platform::ui::ComboList* cbxPrintList() const { return cbxPrintList_; }
    DataControl* datPrintRS() const { return datPrintRS_; }
    QCheckBox* chkSkipHidden() const { return chkSkipHidden_; }
    QCheckBox* chkFitonpage() const { return chkFitonpage_; }
    QPushButton* cmdPrintCont() const { return cmdPrintCont_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // The document name and the page title of the list's chosen row (empty when none is).
    QString chosenDocument() const;
    QString chosenTitle() const;

    // The handlers.
    void cmdPrintCont_Click();
    void cmdCancel_Click();

private:
    void buildControls();
    void Form_Load();

    QLabel* lblPrintList_ = nullptr;
    platform::ui::ComboList* cbxPrintList_ = nullptr;
    DataControl* datPrintRS_ = nullptr;
    QCheckBox* chkSkipHidden_ = nullptr;
    QCheckBox* chkFitonpage_ = nullptr;
    QPushButton* cmdPrintCont_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace lumidesk
