// The find window, Edit > Find: the administrator types a text, chooses how it is to match
// and presses Find Next, which selects the first row of the active data window's grid whose
// first cell matches (FindInGrid.h). Every text searched for is added to the find box's list,
// so it can be picked again. The tab strip's second tab (replacing) is switched off.
//
// One program-wide instance (loaded(), instance()); the main window shows it modeless, owned
// by the main window. It is no data window: gOptions.ActiveForm stays the window searched.
#pragma once

#include "lumidesk/SingleDialog.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace platform::ui {
class ComboList;
}

namespace lumidesk {

class frmFind : public SingleDialog<frmFind> {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmFind");
    static inline const QString kCaption = QStringLiteral("Find and Replace");

    explicit frmFind(QWidget* owner = nullptr);

    QTabWidget* SSTab1() const { return SSTab1_; }
    platform::ui::ComboList* cbxFind() const { return cbxFind_; }
    platform::ui::ComboList* cbxMatch() const { return cbxMatch_; }
    QPushButton* cmdFindNext() const { return cmdFindNext_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // The handlers.
    void cbxFind_Change();
    void cmdFindNext_Click();
    void cmdCancel_Click();

private:
    void buildControls();
    void Form_Load();

    QTabWidget* SSTab1_ = nullptr;
    QLabel* lblFind_ = nullptr;
    QLabel* lblMatch_ = nullptr;
    platform::ui::ComboList* cbxFind_ = nullptr;
    platform::ui::ComboList* cbxMatch_ = nullptr;
    QPushButton* cmdFindNext_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace lumidesk
