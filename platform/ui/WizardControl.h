// The wizard control of the setup windows: pages shown one at a time with Back, Next,
// Finish and Cancel buttons, numbered from 1.
//
// Next and Back first ask the window's handler, which may cancel the move or steer it: the
// control moves from the page that is current after the handler returns, so a handler that
// makes page 2 current before a Next lands on page 3. The window also learns of every page
// change, of Finish and Cancel, and of the moment to go to the page it was asked to open on
// (raised once, when the control is first shown, and whenever requestPage() is called).
#pragma once

#include <QWidget>
#include <functional>

class QPushButton;
class QStackedWidget;

namespace platform::ui {

class WizardControl : public QWidget {
    Q_OBJECT
public:
    // cancel is false on entry; a handler sets it to stay where the wizard is.
    using BeforeMove = std::function<void(bool& cancel)>;

    explicit WizardControl(QWidget* parent = nullptr);

    // Adds a page container at the end; returns its number (from 1).
    int addPage(QWidget* page);
    QWidget* page(int number) const;
    int pageCount() const;

    // The name the window gives its page containers.
    void setPagesName(const QString& name) { pagesName_ = name; }
    QString pagesName() const { return pagesName_; }

    int currentPage() const;
    // Shows the page (1 to pageCount(); others are ignored) and raises pageChanged.
    void setCurrentPage(int number);

    // The page the window wants; goToRequestedPage asks the window to set it.
    int pageRequest() const { return pageRequest_; }
    void setPageRequest(int number);
    void requestPage() { emit goToRequestedPage(); }

    void setBeforeNext(BeforeMove handler) { beforeNext_ = std::move(handler); }
    void setBeforeBack(BeforeMove handler) { beforeBack_ = std::move(handler); }

    // What the buttons do, for callers that press them in code.
    void next();
    void back();
    void finish() { emit finished(); }
    void cancel() { emit cancelled(); }

    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* finishButton() const { return finish_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void pageChanged();
    void afterNext();
    void afterBack();
    void finished();
    void cancelled();
    void goToRequestedPage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void move(const BeforeMove& handler, int step);
    void updateButtons();

    QStackedWidget* pages_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* cancel_ = nullptr;
    BeforeMove beforeNext_;
    BeforeMove beforeBack_;
    QString pagesName_;
    int pageRequest_ = 1;
    bool requestRaised_ = false;
};

} // namespace platform::ui
