// The Run Macros tab of the Build Budget dialog: the grid dtRM of the workbook's worksheets with
// a tick and a procedure per row, the module and procedure boxes, Load All (the chosen procedure
// into every row, or out of every row) and All Worksheets, the state box of the grid's header
// double click. OK ("Run") goes through the ticked rows; running a workbook's procedures is not
// supported on this system, which the run says at the first row that names one.
#pragma once

#include "lumicell/BuildTabPage.h"

class QCheckBox;
class QLabel;

namespace platform::ui {
class ComboList;
class DataGrid;
} // namespace platform::ui

namespace lumicell {

class RunMacrosTab : public BuildTabPage {
    Q_OBJECT
public:
    explicit RunMacrosTab(QWidget* parent = nullptr);

    QString okCaption() const override { return QStringLiteral("Run"); }
    // RunMacrosOnSheets, then the wait window closed and screen updating on, also after an
    // error, which the generic message shows.
    bool runOk() override;
    // LoadRunMacrosGrid and LoadModuleAndMacroLists, each showing its own failure.
    void retarget() override;
    void clearGrids() override;

private:
    void buildControls();
    void loadAllClicked(bool on);
    void headerDoubleClicked(int column, int area);

    platform::ui::DataGrid* dtRM_;
    platform::ui::ComboList* cbxModuleName_;
    platform::ui::ComboList* cbxMacroName_;
    QCheckBox* chkAllMacro_;
    QCheckBox* chkAllWS_;
};

} // namespace lumicell
