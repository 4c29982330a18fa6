// The desktop program's options object: the program-wide state that windows and modules
// read and write directly (budget context, database mode and logon state, the OK and
// Cancel flags of the modeless logon and password dialogs, wait-window and wizard modes,
// the passwords of the master workbook in use). One instance, gOptions, lives from
// start-up to the end of the program. Its three operations fill a few fields from the
// program folder and the settings, and save the budget context.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

namespace core {

class cOptions {
public:
    // The add-in's options object extends this one (the shared routines see it through gOptions).
    virtual ~cOptions() = default;

    // Every field starts as False, 0 or the empty text; the form reference as no window.
    qint16 WizPageRequest = 0; // wizard page to open: 1 manage, 2 new budget, 4 create, 5 assign
    QString NewBudgetName;
    bool LocalToNet = false; // direction of a budget migration between the databases
    bool NetToLocal = false;
    bool LastRecOK = false;
    bool RetrieveMailOnOpen = false; // "Runtime" "Xvalue": fetch mail when the explorer opens
    bool CancelPwd = false;          // the modeless dialog now shown was cancelled
    bool SetPwd = false;             // the modeless dialog now shown was confirmed
    QString LumiSAID;
    QString LumiAUID;
    QString LumiAdminUserID;
    QString LumiAdminUserName;
    bool OpenNetwork = false;
    bool OpenLocal = false;
    bool NetMenus = false;
    bool SAAuth = false;
    bool AUAuth = false;
    bool LoggingOn = false;
    bool LoggingOff = false;
    bool LoggedOn = false;
    bool LoggedOff = false;
    QString DatabaseMode; // "Local" or "Network"
    bool ChangingSAPassword = false;
    bool Resize = false;
    bool ScrollBars = false;
    bool DataTableIsRunning = false;
    bool CopyPermissions = false;
    QString ViewMode; // "Context" limits the views to the budget context
    QString QuickStartMode;
    QString BudgetNameContext; // the budget context; empty or "Nothing" means none
    bool CancelOp = false;
    QString CorruptedFilename;
    bool CorruptedFlag = false;
    QString MasterFilename;
    bool Messages = false;
    bool AdminControl = false;
    bool EmailReplys = false; // "Options" "EmailReplys": show each fetched message
    QString LastUpdate;
    qint32 AppWindowHandle = 0;
    QString AppPath; // folder of the program file
    bool InstallSample = false;
    bool AddRecord = false;
    QString BeforeEditValue;
    QPointer<QWidget> ActiveForm; // the data window activated last
    QString DefaultAdmin;
    bool WSProtected = false;
    QString FOPwd;    // file-open password of the master workbook in use, in clear
    QString WritePwd; // write password of the master workbook in use, in clear
    bool m_UserCancel = false;
    bool ReviewChanges = false;
    bool FrmWaitBig = false; // the wait window's big layout with Continue and the change list
    bool Pause = false;      // the update run waits while the user reviews changes
    QString DueDate;
    bool FormLoading = false;
    bool SaveMailPW = false;

    // AppPath := the program's folder; WizPageRequest := 1.
    void ReadValues();
    // Saves gOptions' budget context as "Runtime" "BudgetNameContext".
    void WriteValues();
    // EmailReplys := "Options" "EmailReplys" (default 1); RetrieveMailOnOpen :=
    // "Runtime" "Xvalue" (default 0). A text that is no valid flag leaves its field.
    void GetMFInfo();
};

// The program's one options object.
extern std::unique_ptr<cOptions> gOptions;

} // namespace core
