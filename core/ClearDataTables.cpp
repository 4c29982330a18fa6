// See ClearDataTables.h.
#include "core/ClearDataTables.h"

#include "core/AppTitle.h"
#include "core/SharedDatabase.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "platform/db/Connection.h"
#include "platform/db/SqlText.h"
#include "platform/db/Transaction.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/Ui.h"

#include <QStringList>
#include <stdexcept>

namespace core {

namespace {

struct ClearStep {
    const char* question;
    QStringList tables; // emptied in this order
};

const QList<ClearStep>& clearSteps() {
    static const QList<ClearStep> steps = {
        {"Do you want to clear the Budget tables?",
         {QStringLiteral("UserFileTablesData"), QStringLiteral("Worksheets"), QStringLiteral("MasterFiles"),
          QStringLiteral("Budgets")}},
        {"Do you want to clear the FolderNames table?", {QStringLiteral("FolderNames")}},
        {"Do you want to clear the Users table?", {QStringLiteral("UsersData")}},
        {"Do you want to clear the SendMail tables?",
         {QStringLiteral("Admin"), QStringLiteral("BodyText"), QStringLiteral("Subject")}},
    };
    return steps;
}

void writeRuntime(const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"), key, value);
}

// The tables of every step answered Yes, in the order they are emptied.
QStringList askForTables() {
    QStringList tables;
    for (const ClearStep& step : clearSteps())
        if (platform::ui::msgBox(QString::fromLatin1(step.question), platform::ui::Buttons::YesNo,
                                 appTitle()) == platform::ui::Answer::Yes)
            tables += step.tables;
    return tables;
}

// Empties the tables all together or not at all: a failure part-way leaves every table as it was.
void emptyTables(const QString& connectionString, const QStringList& tables) {
    platform::db::Connection connection;
    connection.open(connectionString);
    platform::db::Transaction transaction(connection);
    for (const QString& table : tables)
        connection.execute(QStringLiteral("DELETE FROM ") + platform::db::quoteIdentifier(table));
    transaction.commit();
}

} // namespace

void ClearDataTables() {
    if (!gCnn)
        throw std::runtime_error("The connection descriptor is not set up.");
    const QString connection = gCnn->LumiCnn();
    const auto ownUse = TakeMasterDatabaseForOwnUse(QStringLiteral("The database can't be cleared"));
    if (!ownUse)
        return;
    const QStringList tables = askForTables();
    if (!tables.isEmpty())
        emptyTables(connection, tables);
    if (tables.contains(QStringLiteral("Budgets"))) {
        if (gOptions)
            gOptions->BudgetNameContext = QStringLiteral("Nothing");
        writeRuntime(QStringLiteral("BudgetNameContext"), QStringLiteral("Nothing"));
    }
    lumistore::cClean().SweepRecords(connection, QString());
    writeRuntime(QStringLiteral("ConfiguredData"), QStringLiteral("0"));
}

} // namespace core
