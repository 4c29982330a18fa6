// The help window of a program: shows the help pages that come with it (HTML, one page per
// window), with a contents page, an index of the pages' titles and headings, and a full-text
// search. Each program (the desktop program, the add-in) has pages of its own: it names them
// once at start-up with usePages (its installed folder first, then the pages built into it as
// resources), and installs the window as its help viewer (HelpViewer.h). One help window per
// process; closeAll closes it.
#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QTextBrowser;

namespace platform::ui {

// The help pages a program shows.
struct HelpPages {
    QString windowTitle; // "Lumivane Help"
    QStringList folders; // searched in this order; the first that holds a page gives it
    QString contentsPage = QStringLiteral("index.html");
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Makes these the pages every help window shows from now on; a help window open on other
    // pages is closed.
    static void usePages(HelpPages pages);

    // Opens the help window on its contents, its index, its search, or on the page of a window
    // ("frmMain" shows frmMain.html; a window without a page shows the contents).
    static HelpWindow* showContents();
    static HelpWindow* showIndex();
    static HelpWindow* showSearch();
    static HelpWindow* showPage(const QString& windowName);
    // Closes every help window.
    static void closeAll();

    // The pages found, by file name ("frmMain.html"), and a page's title.
    static QStringList pageNames();
    static QString pageTitle(const QString& pageName);

    // Lists the pages whose text holds every word of the query (any case).
    void search(const QString& query);

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchBox() const { return searchBox_; }

private:
    HelpWindow();
    static HelpWindow* instance();
    void showGenerated(const QString& title, const QString& body);

    QTextBrowser* browser_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
};

} // namespace platform::ui
