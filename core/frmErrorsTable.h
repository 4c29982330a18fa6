// The errors browser: the Errors table in a grid, in two views chosen with a mode combo,
// "Errors" (missing and busy files) and "Corruption" (cell problems, with the cell and its
// value before and after the change). From it the administrator deletes single rows, opens
// the user file of a row of the current budget, and reads a row's old and new cell value in
// the two boxes below the grid.
//
// The main window shows it modeless from View > Errors Table and its toolbar; the print
// window loads it and prints its grid. Every row keeps its Errors row number (ID) in a
// hidden last column: Delete removes the row by that number, since rows written in the same
// second share their date. The window makes itself the active data window when it loads and
// whenever it or its grid is clicked, so LoadErrorsGrid fills this window's grid.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::ui {
class ComboList;
class DataGrid;
} // namespace platform::ui

namespace core {

class frmErrorsTable : public QWidget {
    Q_OBJECT
public:
    // Grid columns.
    static constexpr int kErrorDate = 0;
    static constexpr int kBudgetName = 1;
    static constexpr int kMFName = 2;
    static constexpr int kUFName = 3;
    static constexpr int kFileMissing = 4;
    static constexpr int kCorruptFile = 5;
    static constexpr int kFileInUse = 6;
    static constexpr int kCellLabel = 7;
    static constexpr int kOrigValue = 8;
    static constexpr int kChangeValue = 9;
    static constexpr int kRowId = 10; // hidden: the row's ID in Errors

    // Grid heights of the two views, and the window's design size, in twips.
    static constexpr int kErrorsGridHeightTwips = 3495;
    static constexpr int kCorruptionGridHeightTwips = 2000;
    static constexpr int kWidthTwips = 11055;
    static constexpr int kHeightTwips = 5070;

    static inline const QString kErrorsView = QStringLiteral("Errors");
    static inline const QString kCorruptionView = QStringLiteral("Corruption");

    // Loads the window (columns, views, rows of the "Errors" view); owner: the main window.
    explicit frmErrorsTable(QWidget* owner = nullptr);

    platform::ui::DataGrid* dtErrors() const { return dtErrors_; }
    platform::ui::ComboList* cbxMode() const { return cbxMode_; }
    QLineEdit* tbxOrigValue() const { return tbxOrigValue_; }
    QLineEdit* tbxChangedValue() const { return tbxChangedValue_; }
    QPushButton* cmdDeleteErrors() const { return cmdDeleteErrors_; }
    QPushButton* cmdCloseErrors() const { return cmdCloseErrors_; }

    // The handlers.
    void cbxMode_Change();
    void cmdDeleteErrors_Click();
    void cmdCloseErrors_Click();
    void dtErrors_Click(int row, int column);
    void dtErrors_RowColChange(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void becomeActiveForm();
    void showValuesOf(int row);
    void clearValues();

    platform::ui::DataGrid* dtErrors_ = nullptr;
    platform::ui::ComboList* cbxMode_ = nullptr;
    QLabel* lblOrigValue_ = nullptr;
    QLineEdit* tbxOrigValue_ = nullptr;
    QLabel* lblChangeValue_ = nullptr;
    QLineEdit* tbxChangedValue_ = nullptr;
    QPushButton* cmdDeleteErrors_ = nullptr;
    QPushButton* cmdCloseErrors_ = nullptr;
};

} // namespace core
