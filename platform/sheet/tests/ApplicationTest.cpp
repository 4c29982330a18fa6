// The application object: open workbooks, activation order, Book names, display switches and the
// guard that keeps them quiet while some work runs, the copy buffer, formula conversion, and its
// events in the order a spreadsheet program raises them.
#include "platform/sheet/Application.h"

#include "SheetTestSupport.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Worksheet.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace platform::sheet;
using sheettest::copyOfFixture;

namespace {

// What a log has recorded since it was last taken.
class Log {
public:
    QStringList take() {
        QStringList out = events;
        events.clear();
        return out;
    }
    QStringList events;
};

// Records every event as "event name[ argument]".
class EventLog : public Log {
public:
    explicit EventLog(Application& app) {
        QObject::connect(&app, &Application::workbookActivate, [this](Workbook* wb) {
            events << QStringLiteral("WorkbookActivate ") + wb->name();
        });
        QObject::connect(&app, &Application::workbookDeactivate, [this](Workbook* wb) {
            events << QStringLiteral("WorkbookDeactivate ") + wb->name();
        });
        QObject::connect(&app, &Application::sheetActivate,
                         [this](Worksheet* s) { events << QStringLiteral("SheetActivate ") + s->name(); });
        QObject::connect(&app, &Application::sheetDeactivate,
                         [this](Worksheet* s) { events << QStringLiteral("SheetDeactivate ") + s->name(); });
        QObject::connect(&app, &Application::sheetChange, [this](Worksheet* s, const Range& r) {
            events << QStringLiteral("SheetChange ") + s->name() + u' ' + r.address(false, false);
        });
        QObject::connect(&app, &Application::sheetSelectionChange, [this](Worksheet* s, const Range& r) {
            events << QStringLiteral("SheetSelectionChange ") + s->name() + u' ' + r.address(false, false);
        });
    }
};

} // namespace

TEST(Application, EventsComeInTheOrderOfASpreadsheetProgram) {
    Application app;
    EventLog log(app);
    Workbook& book1 = app.add();
    EXPECT_EQ(log.take(), (QStringList{"WorkbookActivate Book1"}));
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"), QStringLiteral("Budget.xlsx"));
    Workbook& budget = app.open(path);
    EXPECT_EQ(log.take(), (QStringList{"WorkbookDeactivate Book1", "WorkbookActivate Budget.xlsx"}));

    budget.sheet(u"Budget"_qs).activate();
    EXPECT_EQ(log.take(), (QStringList{"SheetDeactivate Rates", "SheetActivate Budget"}));
    budget.sheet(u"Budget"_qs).activate();
    EXPECT_TRUE(log.take().isEmpty());

    Worksheet& rates = budget.sheet(u"Rates"_qs);
    rates.range(QStringLiteral("C:C")).select();
    EXPECT_EQ(log.take(), (QStringList{"SheetDeactivate Budget", "SheetActivate Rates",
                                       "SheetSelectionChange Rates C:C"}));
    EXPECT_EQ(rates.selectionAddress(), u"C:C");
    rates.range(QStringLiteral("12:12")).select();
    EXPECT_EQ(log.take(), (QStringList{"SheetSelectionChange Rates 12:12"}));

    rates.setEntry({2, 2}, QStringLiteral("5"));
    rates.range(QStringLiteral("D2:E3")).setEntry(QStringLiteral("x"));
    EXPECT_EQ(log.take(), (QStringList{"SheetChange Rates B2", "SheetChange Rates D2:E3"}));

    // A sheet of a workbook in the background activates its workbook first.
    book1.sheet(0).select(CellRange({2, 2}));
    EXPECT_EQ(log.take(), (QStringList{"WorkbookDeactivate Budget.xlsx", "WorkbookActivate Book1",
                                       "SheetSelectionChange Sheet1 B2"}));

    // Adding a sheet activates it; copying a sheet into a new workbook activates that workbook.
    book1.addSheet();
    EXPECT_EQ(log.take(), (QStringList{"SheetDeactivate Sheet1", "SheetActivate Sheet2"}));
    app.copySheetToNewWorkbook(budget.sheet(u"Rates"_qs));
    EXPECT_EQ(log.take(), (QStringList{"WorkbookDeactivate Book1", "WorkbookActivate Book2"}));

    // Closing the active workbook brings back the one activated before it.
    app.close(*app.activeWorkbook());
    EXPECT_EQ(log.take(), (QStringList{"WorkbookDeactivate Book2", "WorkbookActivate Book1"}));
    app.close(budget);
    EXPECT_TRUE(log.take().isEmpty()); // not the active one: no events
    EXPECT_EQ(app.workbookCount(), 1);
}

TEST(Application, ActivationOrderAndBookNames) {
    Application app;
    Workbook& a = app.add();
    Workbook& b = app.add();
    Workbook& c = app.add();
    EXPECT_EQ(c.name(), u"Book3");
    app.activate(a);
    app.activate(b);
    app.close(b);
    EXPECT_EQ(app.activeWorkbook(), &a);
    app.close(a);
    EXPECT_EQ(app.activeWorkbook(), &c);
    EXPECT_EQ(app.add().name(), u"Book4"); // names are not reused
    EXPECT_EQ(app.findWorkbook(QStringLiteral("book3")), &c);
    EXPECT_EQ(app.activeSheet(), &app.activeWorkbook()->activeSheet());
}

TEST(Application, OpeningTheSameFileTwiceGivesTheOpenWorkbook) {
    Application app;
    const QString path = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    Workbook& first = app.open(path);
    app.add();
    EXPECT_EQ(&app.open(path), &first);
    EXPECT_EQ(app.activeWorkbook(), &first);
    EXPECT_EQ(app.findWorkbook(path), &first);
    // Another file of the same name cannot be open at the same time.
    const QString other = copyOfFixture(QStringLiteral("libreoffice.xlsx"));
    try {
        app.open(other);
        FAIL();
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::AlreadyOpen);
    }
    // Closing with saving writes the changes.
    first.sheet(0).setEntry({2, 2}, QStringLiteral("77"));
    app.close(first, true);
    EXPECT_EQ(sheettest::readWithOpenpyxl(path).value(u"Rates!B2"_qs), u"77");
}

// A workbook an operation holds cannot be closed until every hold on it has ended; the
// application's own end closes it regardless.
TEST(Application, AHeldWorkbookIsNotClosedUntilItsHoldsEnd) {
    Application app;
    Workbook& held = app.add();
    Workbook& other = app.add();
    {
        const Application::WorkbookHold outer(app, held);
        {
            const Application::WorkbookHold inner(app, held);
            EXPECT_TRUE(app.isHeld(held));
        }
        EXPECT_TRUE(app.isHeld(held)) << "the outer hold still lasts";
        EXPECT_FALSE(app.isHeld(other));
        try {
            app.close(held);
            FAIL() << "closed while held";
        } catch (const SheetError& e) {
            EXPECT_EQ(e.code(), SheetError::Code::FileInUse);
            EXPECT_EQ(e.description(), Application::heldText(held));
        }
        EXPECT_EQ(app.workbookCount(), 2);
        app.close(other);
        EXPECT_EQ(app.activeWorkbook(), &held);
    }
    EXPECT_FALSE(app.isHeld(held));
    app.close(held);
    EXPECT_EQ(app.workbookCount(), 0);

    Workbook& last = app.add();
    const Application::WorkbookHold lasting(app, last);
    app.closeAll();
    EXPECT_EQ(app.workbookCount(), 0) << "closing them all is not refused";
}

TEST(Application, DisplaySwitchesAreState) {
    Application app;
    EXPECT_TRUE(app.screenUpdating());
    EXPECT_TRUE(app.displayAlerts());
    EXPECT_TRUE(app.askToUpdateLinks());
    EXPECT_FALSE(app.visible());
    app.setScreenUpdating(false);
    app.setDisplayAlerts(false);
    app.setAskToUpdateLinks(false);
    app.setVisible(true);
    EXPECT_FALSE(app.screenUpdating());
    EXPECT_FALSE(app.displayAlerts());
    EXPECT_FALSE(app.askToUpdateLinks());
    EXPECT_TRUE(app.visible());
}

// The guard switches off what it names for its work and on again at every end, a failure
// included; the alerts only when asked; without an application it does nothing.
TEST(Application, QuietHostSwitchesOffForTheWorkAndOnAtEveryEnd) {
    const struct {
        const char* name;
        Quiet what;
        bool fails;
        bool alertsOffDuringWork;
    } cases[] = {
        {"screen alone", Quiet::Screen, false, false},
        {"screen and alerts", Quiet::ScreenAndAlerts, false, true},
        {"screen alone, the work fails", Quiet::Screen, true, false},
        {"screen and alerts, the work fails", Quiet::ScreenAndAlerts, true, true},
    };
    for (const auto& c : cases) {
        Application app;
        bool screenDuringWork = true;
        bool alertsDuringWork = true;
        try {
            const QuietHost quiet(&app, c.what);
            screenDuringWork = app.screenUpdating();
            alertsDuringWork = app.displayAlerts();
            if (c.fails)
                throw std::runtime_error("the work failed");
        } catch (const std::runtime_error&) {
        }
        EXPECT_FALSE(screenDuringWork) << c.name;
        EXPECT_EQ(alertsDuringWork, !c.alertsOffDuringWork) << c.name;
        EXPECT_TRUE(app.screenUpdating()) << c.name;
        EXPECT_TRUE(app.displayAlerts()) << c.name;
        EXPECT_FALSE(app.visible()) << c.name << ": visibility is not the guard's";
    }
    const QuietHost none(nullptr, Quiet::ScreenAndAlerts); // no application: nothing to switch
}

TEST(Application, CellLabelsConvertFromR1C1) {
    EXPECT_EQ(Application::convertFormula(QStringLiteral("R3C2"), ReferenceStyle::R1C1, ReferenceStyle::A1),
              u"$B$3");
    EXPECT_EQ(Application::convertFormula(QStringLiteral("R3C28"), ReferenceStyle::R1C1, ReferenceStyle::A1),
              u"$AB$3");
    EXPECT_EQ(Application::convertFormula(QStringLiteral("=SUM(R1C1:R2C2)"), ReferenceStyle::R1C1,
                                          ReferenceStyle::A1),
              u"=SUM($A$1:$B$2)");
}

TEST(Application, CopyBufferHoldsTheBlockAsItWasCopied) {
    Application app;
    Workbook& source = app.add();
    Worksheet& from = source.sheet(0);
    from.setEntry({1, 1}, QStringLiteral("=B1*2"));
    from.setEntry({1, 2}, QStringLiteral("4"));
    Workbook& target = app.add();
    EXPECT_THROW(target.sheet(0).range(QStringLiteral("A1")).pasteSpecial(PasteType::Values), SheetError);
    from.range(QStringLiteral("A1:B1")).copy();
    from.setEntry({1, 2}, QStringLiteral("5")); // later changes do not reach the buffer
    app.close(source);
    target.sheet(0).range(QStringLiteral("C3")).pasteSpecial(PasteType::All);
    EXPECT_EQ(target.sheet(0).formula({3, 3}), u"=D3*2"); // relative references move along
    EXPECT_EQ(target.sheet(0).value({3, 4}), CellValue::fromNumber(4));
}

TEST(Application, AHiddenSheetCannotBeActivated) {
    Application app;
    Workbook& wb = app.open(copyOfFixture(QStringLiteral("libreoffice.xlsx")));
    try {
        wb.sheet(u"Hidden"_qs).activate();
        FAIL();
    } catch (const SheetError& e) {
        EXPECT_EQ(e.code(), SheetError::Code::HiddenSheet);
        EXPECT_EQ(e.number(), SheetError::kApplicationError);
    }
    EXPECT_EQ(wb.activeSheet().name(), u"Rates");
}

namespace {

// Records the signals for the program that shows the workbooks.
class ViewerLog : public Log {
public:
    explicit ViewerLog(Application& app) {
        QObject::connect(&app, &Application::workbookOpened,
                         [this](Workbook* wb) { events << QStringLiteral("Opened ") + wb->name(); });
        QObject::connect(&app, &Application::workbookClosing,
                         [this](Workbook* wb) { events << QStringLiteral("Closing ") + wb->name(); });
        QObject::connect(&app, &Application::sheetsChanged, [this](Workbook* wb) {
            events << QStringLiteral("Sheets ") + wb->sheetNames().join(u',');
        });
        QObject::connect(&app, &Application::screenUpdatingChanged,
                         [this](bool on) { events << QStringLiteral("ScreenUpdating %1").arg(on); });
    }
};

} // namespace

// With the events kept quiet, the six application events stay away whatever the program does;
// the viewer still learns of every workbook and sheet list, so it never shows a closed one.
TEST(Application, QuietEventsLeaveTheViewerInformed) {
    Application app;
    EventLog events(app);
    ViewerLog viewer(app);
    app.add();
    EXPECT_EQ(events.take(), (QStringList{"WorkbookActivate Book1"}));
    EXPECT_EQ(viewer.take(), (QStringList{"Opened Book1"}));

    app.setEnableEvents(false);
    Workbook& scratch = app.add();
    Worksheet& sheet = scratch.sheet(0);
    sheet.setEntry({1, 1}, QStringLiteral("=2*3"));
    sheet.range(QStringLiteral("C:C")).select();
    scratch.addSheet(nullptr, &sheet, QStringLiteral("Work"));
    sheet.activate();
    app.close(scratch);
    EXPECT_TRUE(events.take().isEmpty());
    EXPECT_EQ(viewer.take(), (QStringList{"Opened Book2", "Sheets Sheet1,Work", "Closing Book2"}));

    app.setEnableEvents(true);
    app.activeWorkbook()->sheet(0).setEntry({1, 1}, QStringLiteral("1"));
    EXPECT_EQ(events.take(), (QStringList{"SheetChange Sheet1 A1"}));
}

// Every change of a workbook's list of sheets is told once, after the change; cell writes and
// activation are not changes of the list, and a switch set to what it was tells nothing.
TEST(Application, SheetListChangesAndScreenUpdatingAreTold) {
    Application app;
    Workbook& book = app.add();
    ViewerLog viewer(app);
    Worksheet& first = book.sheet(0);
    Worksheet& second = book.addSheet(nullptr, &first, QStringLiteral("B"));
    book.copySheet(first, nullptr, &second);
    book.renameSheet(first, QStringLiteral("A"));
    book.moveSheet(first, nullptr, &second);
    second.setVisibility(Worksheet::Visibility::Hidden);
    book.deleteSheet(book.sheet(QStringLiteral("Sheet1 (2)")));
    first.setEntry({1, 1}, QStringLiteral("x"));
    first.activate();
    EXPECT_EQ(viewer.take(),
              (QStringList{"Sheets Sheet1,B", "Sheets Sheet1,B,Sheet1 (2)", "Sheets A,B,Sheet1 (2)",
                           "Sheets B,A,Sheet1 (2)", "Sheets B,A,Sheet1 (2)", "Sheets B,A"}));

    app.setScreenUpdating(true);
    app.setScreenUpdating(false);
    app.setScreenUpdating(false);
    app.setScreenUpdating(true);
    EXPECT_EQ(viewer.take(), (QStringList{"ScreenUpdating 0", "ScreenUpdating 1"}));
}

// The program reports a major version of 9 or more (an add-in disables what older versions lack);
// tests set another.
TEST(Application, VersionIsTheMajorNumberAndSettable) {
    Application app;
    EXPECT_GE(app.majorVersion(), 9);
    EXPECT_EQ(app.version(), QString::number(app.majorVersion()) + QStringLiteral(".0"));
    app.setMajorVersion(8);
    EXPECT_EQ(app.version(), u"8.0");
}
