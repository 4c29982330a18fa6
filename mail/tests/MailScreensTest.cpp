// The mail windows as a person sees them: the send-mail window with a budget's user files, the
// due-date calendar over it and the address import with a list read. Each must show its
// controls inside the window at its design size. With LUMIDESK_SCREENSHOT_DIR set, each is also
// saved there as a PNG picture to look at.
#include "MailFixture.h"
#include "mail/MailServices.h"
#include "mail/frmAddAddress.h"
#include "mail/frmCalendar.h"
#include "mail/frmMail.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/EditGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <gtest/gtest.h>

namespace mailtest {
namespace {

void save(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("LUMIDESK_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window.grab().save(folder + '/' + name + QStringLiteral(".png"));
}

// Every visible control lies wholly inside its window.
void expectInside(QWidget& window) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&window) || child->isWindow() ||
            !child->objectName().startsWith(QLatin1String("cmd")))
            continue;
        const QRect area(child->mapTo(&window, QPoint(0, 0)), child->size());
        EXPECT_TRUE(window.rect().contains(area)) << child->objectName().toStdString();
    }
}

class MailScreens : public MailFixture {};

TEST_F(MailScreens, SendWindowCalendarAndAddressImport) {
    addAuthor(QStringLiteral("Ada Author"), QStringLiteral("ada@example.org"),
              QStringLiteral("smtp.example.org"));
    addStockTexts(QStringLiteral("Budget 2026"),
                  QStringLiteral("Please return your figures by the due date."));
    for (const char* file : {"Sales East.xlsx", "Sales West.xlsx", "Marketing.xlsx", "Engineering.xlsx"})
        addUserFile(QStringLiteral("Sales"), QStringLiteral("Operations.xlsx"), QString::fromLatin1(file),
                    QStringLiteral("Ann Smith"));
    mail::ShowSendMail(nullptr);
    mail::frmMail* mailWindow = mail::frmMail::loaded();
    ASSERT_NE(nullptr, mailWindow);
    mailWindow->panel()->cbxFrom()->setListIndex(0);
    mailWindow->panel()->cbxSubject()->setListIndex(0);
    mailWindow->panel()->cbxBodyText()->setListIndex(0);
    mailWindow->panel()->setDueDate(QDate(2026, 3, 31));
    QApplication::processEvents();
    EXPECT_EQ(4, mailWindow->panel()->dtSendMail()->rowCount());
    expectInside(*mailWindow);
    save(*mailWindow, QStringLiteral("frmMail"));

    mailWindow->panel()->tbxDueDate_Click();
    auto* calendar = mailWindow->findChild<mail::frmCalendar*>();
    ASSERT_NE(nullptr, calendar);
    calendar->adjustSize();
    QApplication::processEvents();
    expectInside(*calendar);
    save(*calendar, QStringLiteral("frmCalendar"));
    calendar->cmdCancel()->click();
    mailWindow->close();
    delete mailWindow;

    const QString contacts = testsupport::freshDir(QStringLiteral("contacts"));
    QFile book(contacts + QStringLiteral("/Contacts.vcf"));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    for (const char* address : {"ann.smith@example.org", "bob.jones@example.org", "carl@example.org",
                                "dora.lee@example.org", "eve@example.org"})
        book.write(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\nEMAIL:") + address +
                   "\r\nEND:VCARD\r\n");
    book.close();
    platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                QStringLiteral("ContactsFolder"), contacts);
    mail::ShowAddAddress(nullptr);
    mail::frmAddAddress* import = mail::frmAddAddress::loaded();
    ASSERT_NE(nullptr, import);
    import->cbxListSource()->setText(mail::kContactsSource);
    import->cbxListName()->setText(QStringLiteral("Contacts"));
    import->lbxEmailSource()->item(0)->setSelected(true);
    import->lbxEmailSource()->item(1)->setSelected(true);
    import->cmdSelToUsers()->click();
    QApplication::processEvents();
    EXPECT_EQ(3, import->lbxEmailSource()->count());
    expectInside(*import);
    save(*import, QStringLiteral("frmAddAddress"));
    import->close();
    platform::sys::deleteSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"),
                                 QStringLiteral("ContactsFolder"));
}

} // namespace
} // namespace mailtest
