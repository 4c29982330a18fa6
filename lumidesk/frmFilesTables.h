// The file system view: a read-only, drill-down grid of the master workbooks of every
// budget, under each its worksheets and under each worksheet its user files, read from
// DataEnvironment1. Each level opens with a heading row of its own columns; a "+" in front
// of a row opens the rows below it.
//
// One program-wide instance (instance(), loaded()), loaded when shown and unloaded by
// Close. The main window opens it from View > Budgets > File System View and its toolbar.
#pragma once

#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace lumidesk {

class ControlResizer;
struct ShapedRowset;

class frmFilesTables : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmFilesTables");
    static inline const QString kCaption = QStringLiteral("Budgets File System View");
    static inline const QString kHint = QStringLiteral("Click on + symbols to drill down.");

    static constexpr int kWidthTwips = 12510;
    static constexpr int kHeightTwips = 8505;

    // Loads the window and fills the grid; owner: the main window.
    explicit frmFilesTables(QWidget* owner = nullptr);
    ~frmFilesTables() override;

    static frmFilesTables* loaded();
    static frmFilesTables* instance(QWidget* owner = nullptr);
    // Shows the window modeless, loading it when needed: as a child window of the main
    // window when that is loaded, else as a window of its own.
    static frmFilesTables* Display();

    QTreeWidget* dtFilesTables() const { return dtFilesTables_; }
    QPushButton* cmdClose() const { return cmdClose_; }
    ControlResizer* CorvResizer1() const { return CorvResizer1_; }

    // Fills the grid with the rows of a hierarchical command.
    void ShowRows(const ShapedRowset& rows);

    void Form_Activate();
    void cmdClose_Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void fitColumns();

    QTreeWidget* dtFilesTables_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
    ControlResizer* CorvResizer1_ = nullptr;
};

} // namespace lumidesk
