// The record sources of the wizard's pages 3 to 5 for the budget context: the rows of the
// context budget, matched by its exact name (letter case aside). Without a context the pages
// show every budget's rows, except while the Budgets Explorer is in its Context view, where
// they show those of a budget named "HOME". The worksheets can be narrowed to one master
// workbook, also matched by its exact name.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace wizard {

struct RecordSource {
    QString sql;
    QVariantList params;
};

struct WizardGridSources {
    RecordSource masterFiles;
    RecordSource worksheets;
    RecordSource assignments;
};

// filter: a master workbook's name; empty or "All" for every one.
WizardGridSources ContextGridSources(const QString& filter);

// The context budget's master workbooks, in the order stored, for the wizard's filter list.
QStringList ContextMasterFiles();

// The users of UsersData that have a name, for the page-5 user list; no value when the
// table has none.
QStringList WizardUserNames();

// Fills a loaded wizard's user list dtUsersData; true when UsersData had users.
bool FillWizardUserList();

} // namespace wizard
