// The network windows as a person sees them: the logon, the two windows of the network
// database's creation, the super-administrator console and the migration window, on a real
// network database logged on as its super-administrator. Each must show its named controls
// inside the window at its design size. With LUMIDESK_SCREENSHOT_DIR set, each is also saved
// there as a PNG picture to look at.
#include "NetworkDbFixture.h"
#include "admin/frmLogon.h"
#include "admin/frmMigrate.h"
#include "admin/frmPwd.h"
#include "admin/frmSA.h"
#include "admin/frmSuperAdmin.h"

#include <QPixmap>
#include <functional>
#include <memory>

using namespace admintest;

namespace {

const Account kSuper{QStringLiteral("Ann"), QStringLiteral("s3cret"), QStringLiteral("ann@example.org")};
const Account kAdmin{QStringLiteral("Bob"), QStringLiteral("b0b"), QStringLiteral("bob@example.org")};

class AdminScreens : public NetworkDbFixture {
protected:
    void SetUp() override {
        NetworkDbFixture::SetUp();
        makeNetworkDatabase(QStringLiteral("pw"), {kSuper, kAdmin});
        logOn(kSuper, true);
        admin::net::write(admin::net::kLumiNetPath, netPath_);
    }

    // Shows the window, checks that its named controls lie inside it and saves its picture.
    static void look(QWidget& window, const QString& name) {
        window.show();
        QApplication::processEvents();
        for (QWidget* child : window.findChildren<QWidget*>()) {
            if (!child->isVisibleTo(&window) || child->isWindow() || child->objectName().isEmpty() ||
                child->objectName().startsWith(QLatin1String("qt_")))
                continue;
            const QRect area(child->mapTo(&window, QPoint(0, 0)), child->size());
            EXPECT_TRUE(window.rect().contains(area))
                << name.toStdString() << ": " << child->objectName().toStdString();
        }
        const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
        if (!folder.isEmpty()) {
            EXPECT_TRUE(window.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
        }
    }
};

TEST_F(AdminScreens, LogonCreationConsoleAndMigration) {
    testsupport::ScopedScriptedUi ui;
    core::gOptions->LoggingOn = true;
    const std::pair<const char*, std::function<QWidget*()>> windows[] = {
        {"frmLogon", [] { return new admin::frmLogon; }},
        {"frmPwd", [] { return new admin::frmPwd; }},
        {"frmSA", [] { return new admin::frmSA; }},
        {"frmSuperAdmin", [] { return new admin::frmSuperAdmin; }},
        {"frmMigrate", [] { return new admin::frmMigrate; }},
    };
    for (const auto& [name, make] : windows) {
        QPointer<QWidget> window = make();
        look(*window, QString::fromLatin1(name));
        delete window;
    }
}

} // namespace
