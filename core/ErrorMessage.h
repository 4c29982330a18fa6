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

// Shows the message for a caught exception: a database error with its own number and
// description, anything else with the general failure number and its text.
void ShowErrorMessage(const std::exception& error, const QString& title = applicationTitle());

} // namespace core
