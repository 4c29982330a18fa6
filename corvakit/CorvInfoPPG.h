// CorvInfoPPG: the information page of the program's controls, titled "Info": the logo and
// contact details of the controls' makers, with four hot links, the web address and the mail
// address of each of their two offices. A web link opens its address; a mail link starts a mail
// to its address with the subject "Need Info on Product". When the address cannot be opened the
// page says that a browser and a file association are needed. Each time the page is shown
// (activated) it plays its sound.
//
// The controls reach the page through the program's window openers (platform/ui), which the
// programs set to ShowInfoPage at start-up; Shift+F1 on a grid, list, combo box or tree opens it.
#pragma once

#include "corvakit/CorvakitExport.h"

#include <QUrl>
#include <QWidget>
#include <functional>

namespace corvakit {

class CorvHotLink;

class CORVAKIT_EXPORT CorvInfoPPG : public QWidget {
    Q_OBJECT
public:
    // The form name under which the programs register the page's opener.
    static inline const QString kFormName = QStringLiteral("CorvInfoPPG");
    static inline const QString kTitle = QStringLiteral("Info");
    static inline const QString kMailSubject = QStringLiteral("?subject=Need Info on Product");
    static inline const QString kBrowserMissingText =
        QStringLiteral("Please make sure you have an HTML browser available on your machine and an "
                       "association for HML files exists.");
    // The title of that message: the name of the controls' product line.
    static inline const QString kProductLine = QStringLiteral("Corvana Controls");

    // The link ids of the page, as its commands tell them apart.
    enum LinkId { FirstWeb = 204, FirstMail = 205, SecondWeb = 206, SecondMail = 207 };

    explicit CorvInfoPPG(QWidget* parent = nullptr);

    CorvHotLink* link(LinkId id) const;

    // Activation: plays the page's sound.
    void InfoPageActivate();
    // A click of a hot link: opens its address (web links) or a mail to it (mail links).
    void InfoPageProcessMessage(LinkId id);

    // How addresses are opened: the desktop's own programs, unless a test puts another in place
    // (empty: the desktop's again). Answers whether the address was opened.
    using LinkOpener = std::function<bool(const QUrl& address)>;
    static void setLinkOpener(LinkOpener opener);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OpenLinkTarget(const CorvHotLink& link);
    void MailLinkTarget(const CorvHotLink& link);
    void openAddress(const QString& address);

    CorvHotLink* links_[4] = {};
};

// Shows the page (one at a time; shown again when it is open), owned by owner; the opener the
// programs register for the page's form name.
CORVAKIT_EXPORT bool ShowInfoPage(QWidget* owner);

} // namespace corvakit
