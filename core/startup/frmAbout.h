// The About box of the desktop program and of the add-in: the product's name (the edition's
// title: "Lumivane", "LumivaneXL") and version, the system information button, a link to the
// product's home page and the check box that keeps it from showing at start-up (the edition's
// setting "Options" "Splash"). The same window is the start-up splash: shown with its timer
// armed it closes itself after five seconds, or at the first key press or click on its OK
// button or picture. What each program adds is given when the box is shown: the version, the
// window that owns it and its place there (the add-in's box belongs to the spreadsheet
// program's main window), and what happens when it closes (the desktop program then shows its
// main window, loaded behind the splash).
#pragma once

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace core {

struct AboutBoxSetup {
    int major = 0;
    int minor = 0;
    int revision = 0;
    // The window that owns the box; none: a window of its own.
    QPointer<QWidget> owner;
    // Its place in the owner, in twips from the owner's top-left corner; none: centred.
    std::optional<QPoint> placeTwips;
    // Runs once when the box closes, however it closes.
    std::function<void()> closed;
};

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
    // (the one instance, made when needed, owned as the setup says). Returns it.
    static frmAbout* Display(bool timer, const AboutBoxSetup& setup);

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
    explicit frmAbout(const AboutBoxSetup& setup);
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
    std::function<void()> closed_;
};

} // namespace core
