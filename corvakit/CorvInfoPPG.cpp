// See CorvInfoPPG.h. The texts on the page are the controls' makers' own; positions follow the
// page's design (dialog units of a 283 x 171 page, shown at twice their size in pixels).
#include "corvakit/CorvInfoPPG.h"

#include "corvakit/CorvHotLink.h"
#include "corvakit/PageSound.h"
#include "platform/ui/Ui.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>

namespace corvakit {

namespace {

CorvInfoPPG::LinkOpener& opener() {
    static CorvInfoPPG::LinkOpener installed;
    return installed;
}

// A dialog unit of the page's design, in pixels.
constexpr int kUnit = 2;

QRect designRect(int left, int top, int width, int height) {
    return {left * kUnit, top * kUnit, width * kUnit, height * kUnit};
}

// The makers' logo: a tall plate with their mark.
QPixmap logo() {
    QPixmap pixmap(86, 252);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, 252);
    gradient.setColorAt(0, QColor(0x1b5e20));
    gradient.setColorAt(1, QColor(0x4caf50));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRect(pixmap.rect());
    painter.setPen(QPen(QColor(255, 255, 255, 220), 5));
    painter.drawArc(QRectF(18, 60, 50, 50), 40 * 16, 280 * 16);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.drawText(QRectF(0, 200, 86, 30), Qt::AlignCenter, QStringLiteral("CORVANA"));
    return pixmap;
}

QLabel* text(QWidget* page, const QString& content, int left, int top, int width, int height,
             bool heading = false) {
    auto* label = new QLabel(content, page);
    label->setGeometry(designRect(left, top, width, height));
    if (heading) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

CorvInfoPPG::CorvInfoPPG(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(kTitle);
    setFixedSize(283 * kUnit, 171 * kUnit);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picLogo"));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setPixmap(logo());
    picture->setGeometry(designRect(5, 4, 43, 126));

    text(this, QStringLiteral("Corvana Controls Ltd."), 49, 1, 199, 15, true)
        ->setObjectName(QStringLiteral("lbl208"));
    text(this, QStringLiteral("Northern office"), 162, 17, 97, 11, true)
        ->setObjectName(QStringLiteral("lbl209"));
    text(this, QStringLiteral("Tel. +44 20 7946 0418"), 57, 20, 100, 9);
    text(this, QStringLiteral("Fax +44 20 7946 0419"), 57, 29, 100, 9);
    text(this, QStringLiteral("Tel. +353 1 555 0142"), 162, 29, 110, 9);
    text(this, QStringLiteral("Fax +353 1 555 0143"), 162, 38, 110, 9);

    const struct {
        LinkId id;
        const char* caption;
        QRect place;
    } links[] = {
        {FirstWeb, "https://controls.corvana.example/", designRect(56, 47, 100, 12)},
        {FirstMail, "info@corvana.example", designRect(56, 62, 99, 12)},
        {SecondWeb, "https://north.corvana.example/", designRect(162, 47, 112, 12)},
        {SecondMail, "north@corvana.example", designRect(162, 63, 112, 12)},
    };
    for (const auto& l : links) {
        auto* link = new CorvHotLink(QString::fromLatin1(l.caption), this);
        link->setObjectName(QStringLiteral("lnk%1").arg(int(l.id)));
        link->setGeometry(l.place);
        links_[l.id - FirstWeb] = link;
        connect(link, &CorvHotLink::clicked, this, [this, id = l.id] { InfoPageProcessMessage(id); });
    }

    text(this, QStringLiteral("Also from Corvana:"), 57, 84, 200, 10, true);
    text(this, QStringLiteral("Data grids for every window"), 57, 95, 200, 9);
    text(this, QStringLiteral("Check lists, combo boxes and explorer trees"), 57, 104, 220, 9);
    text(this, QStringLiteral("Calendars and progress bars"), 57, 113, 200, 9);
    text(this, QStringLiteral("Wizard pages and tabbed dialogs"), 57, 122, 200, 9);
}

CorvHotLink* CorvInfoPPG::link(LinkId id) const {
    return links_[id - FirstWeb];
}

void CorvInfoPPG::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    InfoPageActivate();
}

void CorvInfoPPG::InfoPageActivate() {
    pageSound().play();
}

void CorvInfoPPG::InfoPageProcessMessage(LinkId id) {
    switch (id) {
    case FirstWeb:
    case SecondWeb:
        OpenLinkTarget(*link(id));
        break;
    case FirstMail:
    case SecondMail:
        MailLinkTarget(*link(id));
        break;
    }
}

void CorvInfoPPG::OpenLinkTarget(const CorvHotLink& hotLink) {
    openAddress(hotLink.caption());
}

void CorvInfoPPG::MailLinkTarget(const CorvHotLink& hotLink) {
    openAddress(QStringLiteral("mailto:") + hotLink.caption() + kMailSubject);
}

void CorvInfoPPG::openAddress(const QString& address) {
    const QUrl url(address);
    const bool opened = opener() ? opener()(url) : QDesktopServices::openUrl(url);
    if (!opened)
        platform::ui::msgBox(kBrowserMissingText, platform::ui::Buttons::Ok, kProductLine,
                             platform::ui::Icon::Information);
}

void CorvInfoPPG::setLinkOpener(LinkOpener replacement) {
    opener() = std::move(replacement);
}

bool ShowInfoPage(QWidget* owner) {
    static QPointer<CorvInfoPPG> shown;
    if (shown && shown->parentWidget() != owner)
        shown->close();
    if (!shown)
        shown = new CorvInfoPPG(owner);
    if (shown->isVisible())
        shown->InfoPageActivate(); // shown again: activated again
    shown->show();
    shown->raise();
    shown->activateWindow();
    return true;
}

} // namespace corvakit
