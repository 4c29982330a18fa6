// Sheet protection in both hash forms, locked cells, and the workbook's write reservation.
#include "SheetTestSupport.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/package/PasswordHash.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace platform::sheet;
using sheettest::copyOfFixture;

TEST(Protection, LegacyHashIsTheOneOpenpyxlWrites) {
    const QStringList passwords{"secret", "a", "Password1", "longer than fifteen", "äöü"};
    const QString script = QStringLiteral("import sys\nfrom openpyxl.utils.protection import hash_password\n"
                                          "for p in sys.argv[1:]: print(hash_password(p))");
    const QStringList expected = sheettest::runPython(script, passwords).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(expected.size(), passwords.size());
    // openpyxl takes every character whole and never cuts the password short: the forms agree
    // for passwords of at most fifteen single-byte characters.
    for (int i = 0; i < passwords.size(); ++i) {
        if (passwords[i].size() <= 15) {
            EXPECT_EQ(PasswordHash::legacy(passwords[i]), expected[i].rightJustified(4, u'0'))
                << passwords[i].toStdString();
        }
    }
}

TEST(Protection, BothStoredFormsVerify) {
    for (const char* name : {"basic.xlsx", "sha512-protected.xlsx"}) {
        SCOPED_TRACE(name);
        auto wb =
            Workbook::open(sheettest::fixture(QString::fromLatin1(name)), OpenOptions::readOnlyAccess());
        const Worksheet& budget = wb->sheet(u"Budget"_qs);
        EXPECT_TRUE(budget.isProtected());
        EXPECT_TRUE(budget.hasPassword());
        EXPECT_TRUE(budget.verifyPassword(QStringLiteral("secret")));
        EXPECT_FALSE(budget.verifyPassword(QStringLiteral("Secret")));
        EXPECT_FALSE(budget.verifyPassword(QString()));
        EXPECT_FALSE(wb->sheet(u"Rates"_qs).isProtected());
    }
}

TEST(Protection, LockedCellsOfAProtectedSheetRefuseWrites) {
    auto wb = Workbook::open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    Worksheet& budget = wb->sheet(u"Budget"_qs);
    EXPECT_FALSE(budget.canWrite({2, 2}));
    EXPECT_TRUE(budget.canWrite({4, 2})); // formatted as unlocked
    try {
        budget.setEntry({2, 2}, QStringLiteral("5"));
        FAIL();
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::ProtectedCell);
        EXPECT_EQ(e.number(), SheetError::kApplicationError);
    }
    EXPECT_EQ(budget.formula({2, 2}), u"=Rates!B2*2");
    budget.setEntry({4, 2}, QStringLiteral("9"));
    EXPECT_EQ(budget.value({4, 2}), CellValue::fromNumber(9));

    EXPECT_THROW(budget.unprotect(QStringLiteral("wrong")), SheetError);
    EXPECT_TRUE(budget.isProtected());
    budget.unprotect(QStringLiteral("secret"));
    EXPECT_FALSE(budget.isProtected());
    budget.setEntry({2, 2}, QStringLiteral("5"));
    EXPECT_EQ(budget.value({2, 2}), CellValue::fromNumber(5));
}

TEST(Protection, NewProtectionIsReadByLibreOffice) {
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    {
        auto wb = Workbook::open(path);
        Worksheet& rates = wb->sheet(u"Rates"_qs);
        rates.protect(QStringLiteral("n3w pass"));
        EXPECT_TRUE(rates.isProtected());
        EXPECT_THROW(rates.setEntry({1, 1}, QStringLiteral("x")), SheetError);
        wb->save();
    }
    auto wb = Workbook::open(path, OpenOptions::readOnlyAccess());
    EXPECT_TRUE(wb->sheet(0).verifyPassword(QStringLiteral("n3w pass")));
    EXPECT_TRUE(sheettest::zipParts(path)
                    .value(u"xl/worksheets/sheet1.xml"_qs)
                    .contains("algorithmName=\"SHA-512\""));
    EXPECT_FALSE(sheettest::libreOfficeUnprotects(path, 0, QStringLiteral("wrong")));
    EXPECT_TRUE(sheettest::libreOfficeUnprotects(path, 0, QStringLiteral("n3w pass")));
}

TEST(Protection, WriteReservationPasswordDecidesHowTheWorkbookOpens) {
    const QString path = copyOfFixture(QStringLiteral("write-reserved.xlsx"));
    {
        auto wb = Workbook::open(path);
        EXPECT_TRUE(wb->writeReserved());
        EXPECT_TRUE(wb->readOnly());
        EXPECT_THROW(wb->save(), SheetError);
    }
    OpenOptions options;
    options.writeResPassword = QStringLiteral("wrong");
    try {
        Workbook::open(path, options);
        FAIL();
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::WrongPassword);
    }
    options.writeResPassword = QStringLiteral("writer");
    const QString moved = QFileInfo(path).absolutePath() + QStringLiteral("/moved.xlsx");
    {
        auto wb = Workbook::open(path, options);
        EXPECT_FALSE(wb->readOnly());
        wb->sheet(0).setEntry({1, 1}, QStringLiteral("Changed"));
        wb->save();
        // A new write password, in the salted form.
        wb->saveAs(moved, SaveOptions{std::nullopt, QStringLiteral("n3w")});
    }
    EXPECT_TRUE(Workbook::open(moved)->readOnly());
    options.writeResPassword = QStringLiteral("n3w");
    {
        auto wb = Workbook::open(moved, options);
        EXPECT_FALSE(wb->readOnly());
        EXPECT_EQ(wb->sheet(0).value({1, 1}).text, u"Changed");
        // Empty passwords take the reservation off.
        wb->saveAs(moved, SaveOptions{QString(), QString()});
    }
    auto free = Workbook::open(moved);
    EXPECT_FALSE(free->writeReserved());
    EXPECT_FALSE(free->readOnly());
}
