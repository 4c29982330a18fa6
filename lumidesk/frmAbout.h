// The About box: the product's name and version, the system information button, a link to
// the product's home page and the check box that keeps it from showing at start-up. The same
// window is the start-up splash: shown with its timer armed it closes itself after five
// seconds, or at the first key press or click on its OK button or picture, and then shows the
// main window that the start-up loaded behind it. Help > About shows it without the timer.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace lumidesk {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSplashMilliseconds = 5000;
    static inline const QString kSysInfoUnavailable =
        QStringLiteral("System Information Is Unavailable At This Time");
    // The settings key (section "Options") of the command that shows the system information.
    static inline const QString kSysInfoCommandKey = QStringLiteral("SysInfoCommand");
    static inline const QString kHomePage = QStringLiteral("https://www.lumivane.example/");

    // Fills the labels, arms the splash timer when timer is set, and shows the box modeless
    // without owner (the one instance, made when needed). Returns it.
    static frmAbout* Display(bool timer);

    // "Version " and the three numbers, each as plain decimal text.
    static QString VersionText(int major, int minor, int revision);

    // Starts the configured system information command, or says it is unavailable.
    void StartSysInfo();

    QLabel* lblProductName() const { return lblProductName_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QCheckBox* chkSplash() const { return chkSplash_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }
    QTimer* Timer1() const { return Timer1_; }
    QLabel* Picture1() const { return Picture1_; }

    // The closing actions: OK, a key, the picture and the timer's tick.
    void cmdOK_Click();
    void Form_KeyPress();
    void Picture1_Click();
    void Timer1_Timer();
    void chkSplash_Click();
    void cmdSysInfo_Click();
    void cmdVisitWebSite_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmAbout();
    void buildControls();
    void Form_Load();
    void closeAndShowMain();

    QLabel* Picture1_ = nullptr;
    QLabel* lblProductName_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QCheckBox* chkSplash_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    QPushButton* cmdVisitWebSite_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QTimer* Timer1_ = nullptr;
    bool closing_ = false;
};

} // namespace lumidesk
