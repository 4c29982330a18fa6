// The Make Worksheets tab of the Build Budget dialog. Make mode: the user ticks the copy template
// in the grid of the workbook's sheets, adds new names to the name list, and OK copies the
// template once per ticked name; Del WS deletes the ticked sheets. Summary mode: the user ticks
// the sheets to add up and selects whole rows and columns on a sheet (they arrive through
// addSummaryPick), and OK writes the summary sheet. The mode is the options object's
// FormBldWSBig; each mode shows its own controls, instruction and window caption.
#pragma once

#include "lumicell/BuildTabPage.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace platform::ui {
class CheckListBox;
class DataGrid;
} // namespace platform::ui

namespace lumicell {

class MakeWorksheetsTab : public BuildTabPage {
    Q_OBJECT
public:
    explicit MakeWorksheetsTab(QWidget* parent = nullptr);

    QString okCaption() const override { return QStringLiteral("Make"); }
    void pageShown() override;
    void layOut() override;
    bool runOk() override;
    void retarget() override;
    void clearGrids() override;
    void addSummaryPick(bool isRow, const QString& entry) override;

    // The controls of the current mode: which show, the grid's tool tip, the instruction.
    void showMode();

    // Del WS: deletes every ticked sheet without asking; a failure ends the deletion with the
    // generic message and keeps the sheets deleted before it.
    void DeleteWorksheets();
    // Del: removes the first selected entry of the name list.
    void DeleteLBItem();

private:
    void buildControls();
    void connectControls();
    void addName();
    void clearLists();
    void setMode(bool summary);
    void tickAll(bool on);
    void listCheckChanged(platform::ui::CheckListBox* list, int position);

    platform::ui::DataGrid* dtWSMake_;
    QCheckBox* chkAllBW_;
    platform::ui::CheckListBox* lbxWSNames_;
    platform::ui::CheckListBox* lbxRows_;
    platform::ui::CheckListBox* lbxCols_;
    QPushButton* cmdAddNew_;
    QPushButton* cmdDelItem_;
    QPushButton* cmdClear_;
    QPushButton* cmdDelete_;
    QPushButton* cmdSummary_;
    QPushButton* cmdReturn_;
    QLabel* lblTaskDefine_;
};

} // namespace lumicell
