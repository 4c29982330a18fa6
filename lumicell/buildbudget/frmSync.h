// The Sync dialog (form frmSync): the active workbook's sheets beside the worksheet records of
// its master file in the budget context, with ">" (add the selected sheet's record), Delete
// Record, Clear Records (rebuild every record from the workbook) and OK, which shows the Build
// Budget dialog again when the user-file builder asked for the re-sync and reloads its
// user-file grid. Modeless, one at a time, owned by the spreadsheet program's window.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace platform::ui {
class ListBox;
}

namespace lumicell {

class frmSync : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmSync");
    static inline const QString kCaption = QStringLiteral("Syncrhonize database with workbook");

    explicit frmSync(QWidget* parent = nullptr);

    // Shows the loaded dialog, loading it first when there is none; the dialog.
    static frmSync& open();
    static frmSync* loaded();

    void Form_Load();
    // lbxDB from the records.
    void LoadSyncDatabaseList();

    platform::ui::ListBox* lbxWB() const { return lbxWB_; }
    platform::ui::ListBox* lbxDB() const { return lbxDB_; }
    QPushButton* cmdAddRec() const { return cmdAddRec_; }
    QPushButton* cmdDelRec() const { return cmdDelRec_; }
    QPushButton* cmdClearRec() const { return cmdClearRec_; }
    QPushButton* cmdAutoSync() const { return cmdAutoSync_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QLabel* lblTitle() const { return lblTitle_; }

    void cmdAddRec_Click();
    void cmdDelRec_Click();
    void cmdClearRec_Click();
    void cmdOK_Click();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    platform::ui::ListBox* lbxWB_ = nullptr;
    platform::ui::ListBox* lbxDB_ = nullptr;
    QPushButton* cmdAddRec_ = nullptr;
    QPushButton* cmdDelRec_ = nullptr;
    QPushButton* cmdClearRec_ = nullptr;
    QPushButton* cmdAutoSync_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QLabel* lblTitle_ = nullptr;
};

} // namespace lumicell
