// The program's help window: shows the help pages that come with the program (one page per
// window, built into the program from lumidesk/help/), with a contents page, an index of
// the pages' titles and headings, and a full-text search. Pages in a "help" folder beside
// the program are shown in place of the built-in ones. The main window closes every help
// window when it closes.
#pragma once

#include <QWidget>

class QLineEdit;
class QTextBrowser;

namespace lumidesk {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the help window (one for the program) on its contents, its index, its search, or
    // on the page of a window ("frmMain" shows frmMain.html).
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

} // namespace lumidesk
