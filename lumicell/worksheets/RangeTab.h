// The Range tab of the Build Budget dialog: the grid DataTable1 and Get Data, which loads the
// first sheet of the active workbook's saved file into it. The dialog switches the tab off when
// it loads; this page switches it on again whenever the dialog is set up for a workbook that is
// saved in a file (the import reads the file, not the open workbook), and off for one that is
// not.
#pragma once

#include "lumicell/BuildTabPage.h"

class QPushButton;

namespace platform::ui {
class DataGrid;
}

namespace lumicell {

class RangeTab : public BuildTabPage {
    Q_OBJECT
public:
    explicit RangeTab(QWidget* parent = nullptr);

    QString okCaption() const override { return QStringLiteral("OK"); }
    bool runOk() override { return true; }
    void retarget() override;
    void clearGrids() override;

    // Get Data: LoadExcelData with the master file's full name.
    void cmdGetData_Click();

private:
    void setOwnTabEnabled(bool on);

    platform::ui::DataGrid* DataTable1_;
    QPushButton* cmdGetData_;
};

} // namespace lumicell
