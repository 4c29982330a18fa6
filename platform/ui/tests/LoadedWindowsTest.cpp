// Loaded windows are found by name, shown or hidden, without regard to case.
#include "platform/ui/LoadedWindows.h"

#include "platform/ui/Twips.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using platform::ui::LoadedWindows;
using platform::ui::Twips;

TEST(LoadedWindows, FindsHiddenAndShownWindowsByNameIgnoringCase) {
    auto wait = std::make_unique<QWidget>();
    wait->setObjectName("frmWait");
    EXPECT_TRUE(LoadedWindows::isLoaded("FRMWAIT")); // loaded, never shown
    wait->show();
    EXPECT_EQ(LoadedWindows::find("frmwait"), wait.get());
    EXPECT_FALSE(LoadedWindows::isLoaded("frmWai"));
    EXPECT_FALSE(LoadedWindows::isLoaded(""));
    wait.reset();
    EXPECT_FALSE(LoadedWindows::isLoaded("frmWait"));
}

TEST(LoadedWindows, FindsChildWindowsOfTheMainWindow) {
    QMainWindow main;
    auto* area = new QMdiArea;
    main.setCentralWidget(area);
    auto* form = new QWidget;
    form->setObjectName("frmDataTable");
    area->addSubWindow(form);
    EXPECT_EQ(LoadedWindows::find("FrmDataTable"), form);
    EXPECT_FALSE(LoadedWindows::isLoaded("frmWizard"));
}

TEST(Twips, FifteenTwipsMakeOnePixel) {
    const struct {
        int twips;
        int pixels;
    } cases[] = {{0, 0}, {15, 1}, {6555, 437}, {3540, 236}, {22, 1}, {23, 2}, {-15, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(Twips::toPixels(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(Twips::rect(120, 0, 6255, 2775), QRect(8, 0, 417, 185));
}
