// The control support library: the hot link reports a click only for a press and release inside
// it, with the hand over it and the arrow off it, and acts on its caption cut to 199 characters;
// the information page opens its web links and mail links, says what is missing when an address
// cannot be opened, and plays its sound at each activation (silent without the sound library).
#include "corvakit/CorvHotLink.h"
#include "corvakit/CorvInfoPPG.h"
#include "corvakit/PageSound.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using corvakit::CorvHotLink;
using corvakit::CorvInfoPPG;

// Sends what the pointer does to the link, with the left button held from press to release.
void mouse(CorvHotLink& link, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, link.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&link, &event);
}

struct Gesture {
    const char* name;
    std::vector<QPoint> moves; // between the press inside and the release
    QPoint release;
    int clicks;
};

TEST(CorvHotLink, AClickIsAPressAndAReleaseInside) {
    const QPoint inside(5, 5), outside(300, 5);
    const Gesture gestures[] = {
        {"press and release inside", {}, inside, 1},
        {"moved off, released off", {outside}, outside, 0},
        {"moved off and back on", {outside, inside}, inside, 1},
    };
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.name);
        CorvHotLink link(QStringLiteral("https://example.org/"));
        link.resize(120, 16);
        link.show();
        QSignalSpy clicked(&link, &CorvHotLink::clicked);
        mouse(link, QEvent::MouseButtonPress, inside);
        for (const QPoint& at : g.moves) {
            mouse(link, QEvent::MouseMove, at);
            EXPECT_EQ(link.cursor().shape(), at == inside ? Qt::PointingHandCursor : Qt::ArrowCursor);
        }
        mouse(link, QEvent::MouseButtonRelease, g.release);
        EXPECT_EQ(clicked.count(), g.clicks);
    }
}

TEST(CorvHotLink, TheCaptionIsCutTo199Characters) {
    const QString address = QStringLiteral("https://example.org/") + QString(300, u'a');
    CorvHotLink link(address);
    EXPECT_EQ(link.caption(), address.left(199));
    const QFont font = link.font();
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(font.pointSize(), 8);
}

// Records each start of the page's sound.
class CountedSound : public corvakit::PageSound {
public:
    explicit CountedSound(int& plays)
        : plays_(plays) {}
    void play() override { ++plays_; }

private:
    int& plays_;
};

class InfoPage : public ::testing::Test {
protected:
    void SetUp() override {
        corvakit::setPageSound(std::make_unique<CountedSound>(plays_));
        CorvInfoPPG::setLinkOpener([this](const QUrl& url) {
            opened_ << url.toString();
            return open_;
        });
    }
    void TearDown() override {
        CorvInfoPPG::setLinkOpener({});
        corvakit::setPageSound(nullptr);
    }
    void click(CorvInfoPPG& page, CorvInfoPPG::LinkId id) {
        QTest::mouseClick(page.link(id), Qt::LeftButton, {}, QPoint(3, 3));
    }

    int plays_ = 0;
    QStringList opened_;
    bool open_ = true;
    testsupport::ScopedScriptedUi ui_;
};

TEST_F(InfoPage, WebLinksOpenTheirAddressAndMailLinksAMail) {
    CorvInfoPPG page;
    page.show();
    EXPECT_EQ(page.windowTitle(), u"Info");
    testsupport::saveScreenshot(page, QStringLiteral("corvakit-info")); // with LUMIDESK_SCREENSHOT_DIR set
    for (auto id :
         {CorvInfoPPG::FirstWeb, CorvInfoPPG::FirstMail, CorvInfoPPG::SecondWeb, CorvInfoPPG::SecondMail})
        click(page, id);
    EXPECT_EQ(opened_, (QStringList{page.link(CorvInfoPPG::FirstWeb)->caption(),
                                    "mailto:" + page.link(CorvInfoPPG::FirstMail)->caption() +
                                        "?subject=Need Info on Product",
                                    page.link(CorvInfoPPG::SecondWeb)->caption(),
                                    "mailto:" + page.link(CorvInfoPPG::SecondMail)->caption() +
                                        "?subject=Need Info on Product"}));
    EXPECT_TRUE(ui_->asked().empty());
}

TEST_F(InfoPage, AnAddressThatCannotBeOpenedIsTold) {
    open_ = false;
    ui_->answerMessages({platform::ui::Answer::Ok});
    CorvInfoPPG page;
    page.show();
    click(page, CorvInfoPPG::SecondMail);
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_EQ(ui_->asked()[0].text,
              u"Please make sure you have an HTML browser available on your machine and an "
              u"association for HML files exists.");
    EXPECT_EQ(ui_->asked()[0].title, CorvInfoPPG::kProductLine);
    EXPECT_EQ(ui_->asked()[0].icon, platform::ui::Icon::Information);
}

TEST_F(InfoPage, EachActivationPlaysTheSound) {
    QWidget owner;
    EXPECT_TRUE(corvakit::ShowInfoPage(&owner));
    EXPECT_EQ(plays_, 1);
    EXPECT_TRUE(corvakit::ShowInfoPage(&owner)); // shown again while open
    EXPECT_EQ(plays_, 2);
    auto* page = owner.findChild<CorvInfoPPG*>();
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    EXPECT_EQ(plays_, 3);
    EXPECT_EQ(owner.findChildren<CorvInfoPPG*>().size(), 1);
}

// Without the sound library the page's sound is silent: nothing is looked up, nothing plays.
TEST(PageSound, WithoutTheSoundLibraryThePageIsSilent) {
    corvakit::AlsaSound sound("libno-such-sound-library.so.9");
    EXPECT_FALSE(sound.available());
    sound.play();
    EXPECT_FALSE(sound.started());
    // The chime itself: two channels of 16-bit samples, 0.6 seconds at 22050 Hz.
    EXPECT_EQ(corvakit::AlsaSound::chime().size(), 22050 * 6 / 10 * 2 * 2);
}

} // namespace
