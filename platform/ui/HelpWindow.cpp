// See HelpWindow.h.
#include "platform/ui/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace platform::ui {

namespace {

const QString kFormName = QStringLiteral("HelpWindow");

HelpPages& usedPages() {
    static HelpPages pages;
    return pages;
}

const QStringList& pageFolders() {
    return usedPages().folders;
}

QString pageText(const QString& pageName) {
    for (const QString& folder : pageFolders()) {
        QFile file(folder + QLatin1Char('/') + pageName);
        if (file.open(QIODevice::ReadOnly))
            return QString::fromUtf8(file.readAll());
    }
    return {};
}

QString plainText(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

} // namespace

void HelpWindow::usePages(HelpPages pages) {
    closeAll();
    usedPages() = std::move(pages);
}

QStringList HelpWindow::pageNames() {
    QStringList names;
    for (const QString& folder : pageFolders())
        for (const QString& name : QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files))
            if (!names.contains(name))
                names << name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString HelpWindow::pageTitle(const QString& pageName) {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = title.match(pageText(pageName));
    return match.hasMatch() ? match.captured(1).trimmed() : pageName;
}

HelpWindow::HelpWindow()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(usedPages().windowTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("browser"));
    browser_->setSearchPaths(pageFolders());
    browser_->setOpenExternalLinks(true);
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* index = new QPushButton(QStringLiteral("&Index"), this);
    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    searchBox_ = new QLineEdit(this);
    searchBox_->setObjectName(QStringLiteral("searchBox"));
    searchBox_->setPlaceholderText(QStringLiteral("Search the help pages"));
    auto* find = new QPushButton(QStringLiteral("&Search"), this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(index);
    bar->addWidget(back);
    bar->addSpacing(16);
    bar->addWidget(searchBox_, 1);
    bar->addWidget(find);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    resize(720, 560);
    connect(contents, &QPushButton::clicked, this, [] { showContents(); });
    connect(index, &QPushButton::clicked, this, [] { showIndex(); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(find, &QPushButton::clicked, this, [this] { search(searchBox_->text()); });
    connect(searchBox_, &QLineEdit::returnPressed, this, [this] { search(searchBox_->text()); });
}

// The help window shown, or a new one; a closed window waiting for its deletion is not reused.
HelpWindow* HelpWindow::instance() {
    HelpWindow* window = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(shown); help && help->isVisible())
            window = help;
    if (!window)
        window = new HelpWindow;
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpWindow::showGenerated(const QString& title, const QString& body) {
    browser_->setHtml(QStringLiteral("<html><head><title>%1</title></head><body><h1>%1</h1>%2</body></html>")
                          .arg(escaped(title), body));
}

HelpWindow* HelpWindow::showContents() {
    HelpWindow* window = instance();
    const QString& contents = usedPages().contentsPage;
    if (!pageText(contents).isEmpty())
        window->browser_->setSource(QUrl(contents));
    else
        window->showGenerated(QStringLiteral("Contents"), {});
    return window;
}

// Every page's title and headings, alphabetically, each linking to its page.
HelpWindow* HelpWindow::showIndex() {
    HelpWindow* window = instance();
    static const QRegularExpression heading(QStringLiteral("<h[1-3][^>]*>(.*?)</h[1-3]>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    std::multimap<QString, std::pair<QString, QString>> entries; // sort key -> (text, page)
    for (const QString& page : pageNames()) {
        const QString title = pageTitle(page);
        entries.insert({title.toLower(), {title, page}});
        auto found = heading.globalMatch(pageText(page));
        while (found.hasNext()) {
            const QString text = plainText(found.next().captured(1)).trimmed();
            if (!text.isEmpty() && text != title)
                entries.insert(
                    {text.toLower(), {text + QStringLiteral(" (") + title + QLatin1Char(')'), page}});
        }
    }
    QString body = QStringLiteral("<ul>");
    for (const auto& [key, entry] : entries)
        body += QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(entry.second, escaped(entry.first));
    body += QStringLiteral("</ul>");
    window->showGenerated(QStringLiteral("Index"), body);
    return window;
}

HelpWindow* HelpWindow::showSearch() {
    HelpWindow* window = instance();
    window->showGenerated(
        QStringLiteral("Search"),
        QStringLiteral("<p>Type the words to look for in the box above and press Enter.</p>"));
    window->searchBox_->setFocus();
    return window;
}

HelpWindow* HelpWindow::showPage(const QString& windowName) {
    const QString page = windowName + QStringLiteral(".html");
    if (pageText(page).isEmpty())
        return showContents();
    HelpWindow* window = instance();
    window->browser_->setSource(QUrl(page));
    return window;
}

void HelpWindow::search(const QString& query) {
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString body;
    if (words.isEmpty()) {
        body = QStringLiteral("<p>Type the words to look for in the box above and press Enter.</p>");
    } else {
        QStringList hits;
        for (const QString& page : pageNames()) {
            const QString text = plainText(pageText(page));
            const bool all = std::all_of(words.begin(), words.end(), [&text](const QString& word) {
                return text.contains(word, Qt::CaseInsensitive);
            });
            if (all)
                hits << QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(page, escaped(pageTitle(page)));
        }
        body = hits.isEmpty() ? QStringLiteral("<p>No page holds %1.</p>").arg(escaped(query))
                              : QStringLiteral("<ul>") + hits.join(QString()) + QStringLiteral("</ul>");
    }
    searchBox_->setText(query);
    showGenerated(QStringLiteral("Search"), body);
}

void HelpWindow::closeAll() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<HelpWindow*>(window))
            window->close();
}

} // namespace platform::ui
