// Installing the sample budget "SampleBudget": the sample database shipped in the program's
// samples folder is copied into the master database in use after the rows of an earlier
// installation are removed, the sample's master workbooks are copied from the program's folder
// into the samples folder of the data folder and the sample's master files pointed there, and
// their user files are cut there. The program only reads its own folder, which may not be
// written. It is the first-run path: afterwards the sample is the budget context, ready to
// browse, cut and update.
//
// The sample database is checked before anything is removed, so a missing or unreadable file
// leaves the master database as it was. The removal is one transaction; the import is the data
// store library's migration, one transaction of its own (on its own connection, so the two
// cannot share one). Rows of other budgets are never touched: the sample's rows are found by
// their exact names.
#pragma once

#include <QString>

namespace wizard {

inline const QString kSampleBudgetName = QStringLiteral("SampleBudget");
inline const QString kSampleDatabaseName = QStringLiteral("sampledb.mdb");
inline const QString kSampleDatabaseMissingText =
    QStringLiteral("The database file to migrate 'sampledb.mdb' is missing.  Re-install from its source.");
// The sample's master workbooks, cut in this order.
inline const QString kSampleWorkbooks[] = {QStringLiteral("Employee.xlsx"), QStringLiteral("Departme.xlsx")};

// The folder the program ships the sample in: the folder of gCnn's sample database.
QString ShippedSamplesFolder();
// The samples folder the sample's master workbooks and user files lie in: "Samples" in the data
// folder.
QString SamplesFolder();

// The installation itself is InstallSampleBudget (WizardServices.h): true when the sample was
// imported; false after the message that says why not (refused inside a run, missing
// database, a failure). A sample workbook that is missing or in use is told with the
// user-file builder's messages; its user files are then not cut, but the sample stays.

} // namespace wizard
