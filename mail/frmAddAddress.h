// The address import window ("Add Budget Users From Lists"): the user picks the source (the
// contacts folder), then one of its address books; the book's e-mail addresses come into a
// sorted source list, from which the user moves them into the target grid of user names and
// addresses, edits the grid and presses OK, which adds its rows as users (rows without a user
// name are left out and named in a message). Cancel stores nothing.
//
// The address books are found by the mail folder tree (frmOutTree), which this window loads,
// hidden, when the source is chosen and unloads when a list is picked.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace platform::ui {
class ComboList;
class DataGrid;
} // namespace platform::ui

namespace mail {

// The list source for the contacts folder (the only source offered beside the empty one).
inline const QString kContactsSource = QStringLiteral("Contacts folder");

class frmAddAddress : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmAddAddress");
    static constexpr int kWidthTwips = 8730;
    static constexpr int kHeightTwips = 5445;

    explicit frmAddAddress(QWidget* owner = nullptr);

    // The loaded window, or null.
    static frmAddAddress* loaded();

    platform::ui::ComboList* cbxListSource() const { return cbxListSource_; }
    platform::ui::ComboList* cbxListName() const { return cbxListName_; }
    QLabel* lblSelList() const { return lblSelList_; }
    QListWidget* lbxEmailSource() const { return lbxEmailSource_; }
    platform::ui::DataGrid* dtTarget() const { return dtTarget_; }
    QCheckBox* chkName() const { return chkName_; }
    QPushButton* cmdAllToUsers() const { return cmdAllToUsers_; }
    QPushButton* cmdSelToUsers() const { return cmdSelToUsers_; }
    QPushButton* cmdUnSelectSome() const { return cmdUnSelectSome_; }
    QPushButton* cmdUnselectAll() const { return cmdUnselectAll_; }
    QPushButton* cmdClear() const { return cmdClear_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // The addresses of the source list, in order.
    QStringList sourceAddresses() const;

    // The handlers.
    void cbxListSource_Change();
    void cbxListName_Change();
    void GetContactItems();
    void cmdAllToUsers_Click();
    void cmdSelToUsers_Click();
    void cmdUnSelectSome_Click();
    void cmdUnselectAll_Click();
    void cmdClear_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void appendTarget(const QString& name, const QString& address);
    void setSource(QStringList addresses, bool sorted);

    platform::ui::ComboList* cbxListSource_ = nullptr;
    platform::ui::ComboList* cbxListName_ = nullptr;
    QLabel* lblSelList_ = nullptr;
    QListWidget* lbxEmailSource_ = nullptr;
    platform::ui::DataGrid* dtTarget_ = nullptr;
    QCheckBox* chkName_ = nullptr;
    QPushButton* cmdAllToUsers_ = nullptr;
    QPushButton* cmdSelToUsers_ = nullptr;
    QPushButton* cmdUnSelectSome_ = nullptr;
    QPushButton* cmdUnselectAll_ = nullptr;
    QPushButton* cmdClear_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

} // namespace mail
