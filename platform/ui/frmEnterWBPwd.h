// The dialog "Enter workbook passwords", in which the administrator types the file-open and
// write passwords of a protected master workbook when it is added to a budget. Both boxes
// show "*" for every character typed.
//
// The dialog only reports: OK and Cancel raise their signals and neither hides nor closes the
// window, since the code that showed it (modeless) polls for the answer, reads both boxes and
// then unloads it. Closing it by its close box counts as Cancel, so no poll can outlive it.
// The signals are connected by the caller to the flags it polls.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::ui {

class frmEnterWBPwd : public QWidget {
    Q_OBJECT
public:
    explicit frmEnterWBPwd(QWidget* owner = nullptr);

    QLineEdit* tbxFOPwd() const { return tbxFOPwd_; }
    QLineEdit* tbxWritePwd() const { return tbxWritePwd_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

signals:
    void okClicked();
    void cancelClicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLineEdit* addPasswordBox(const QString& name, const QString& caption, int top);

    QLabel* lblPrompt_ = nullptr;
    QLineEdit* tbxFOPwd_ = nullptr;
    QLineEdit* tbxWritePwd_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace platform::ui
