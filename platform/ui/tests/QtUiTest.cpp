// The Ui service's own Qt dialogs, driven as a user would: the open-file dialog takes one file.
#include "platform/ui/QtUi.h"

#include "support/TestEnvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Chosen {
    std::optional<QString> path;
    QStringList seen; // the messages shown, then "dialog stayed" when it did after one
};

// Opens the dialog on the folder, types the names into its file name box and presses Open. A
// message box that comes up is read and closed; the dialog, should it stay, is then cancelled.
Chosen typeAndOpen(const QString& folder, const QString& typed) {
    Chosen result;
    bool typedIn = false;
    QElapsedTimer running;
    running.start();
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            result.seen << box->text();
            box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (!typedIn) {
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                typedIn = true;
            } else {
                result.seen << QStringLiteral("dialog stayed");
                dialog->reject();
            }
        } else if (modal && running.elapsed() > 10000) {
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection); // never hang
        }
    });
    user.start();
    platform::ui::QtUi ui;
    platform::ui::FileRequest request;
    request.title = QStringLiteral("Pick");
    request.initialPath = folder;
    result.path = ui.openFile(request);
    return result;
}

// Two workbooks typed into the file name box at once are refused with a word and the dialog
// stays (Qt's own would answer the first and drop the other); one is taken.
TEST(QtUi, TheOpenFileDialogTakesOneFileOnly) {
    const QString folder = testsupport::freshDir(QStringLiteral("open-one"));
    for (const char* name : {"a.xlsx", "b.xlsx"}) {
        QFile file(folder + u'/' + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const Chosen two = typeAndOpen(folder, QStringLiteral("\"a.xlsx\" \"b.xlsx\""));
    EXPECT_EQ(two.seen, (QStringList{platform::ui::kOneFileText, QStringLiteral("dialog stayed")}));
    EXPECT_FALSE(two.path.has_value());

    const Chosen one = typeAndOpen(folder, QStringLiteral("b.xlsx"));
    EXPECT_TRUE(one.seen.isEmpty()) << one.seen.join(u'|').toStdString();
    EXPECT_EQ(one.path.value_or(QString()), folder + QStringLiteral("/b.xlsx"));
}

} // namespace
