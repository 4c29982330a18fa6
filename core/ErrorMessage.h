// The program's one message for an error that ends an operation: "Error ", the error
// number, " has occured. " and the description, in a box with the application's name as
// title and an OK button. Without a title of the caller's the box shows the edition's
// application title ("Lumivane"; the add-in's "Lumicell").
#pragma once

#include "core/AppTitle.h"

#include <QString>
#include <QtGlobal>
#include <exception>

namespace core {

// The message text for an error number and description.
QString ErrorMessageText(qint64 number, const QString& description);

// Shows the message.
void ShowErrorMessage(qint64 number, const QString& description, const QString& title = applicationTitle());

// The number and description the message shows for a caught exception: a workbook error the
// number a spreadsheet program gives (1004, or 9 for a missing sheet) with the workbook layer's
// description, a database error and a data store library error their own number and
// description, anything else the general failure number and its text. The description alone
// also goes into errors rows.
struct ErrorInfo {
    qint64 number = 0;
    QString description;
};
ErrorInfo ErrorInfoOf(const std::exception& error);

// Shows the message for a caught exception, with its number and description as above.
void ShowErrorMessage(const std::exception& error, const QString& title = applicationTitle());

} // namespace core
