// What every mail routine needs first: whether a budget context is set, the texts and
// settings of the desktop program, the message box in the program's form, and due dates in
// their two forms (a date in the database, the short date of the user's locale on screen).
#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace mail {

// The budget context, or the empty text when none is chosen (empty or "Nothing").
QString budgetContext();

// A box with the OK button alone and the program's name as title.
void tell(const QString& text);
// The same with Yes and No; true for Yes.
bool askYesNo(const QString& text);

// Settings of the desktop program in section Runtime.
QString runtimeSetting(const QString& key, const QString& defaultValue);
// A "Runtime" switch of the send-mail window: on unless it reads "0".
bool runtimeFlag(const QString& key);
void writeRuntimeSetting(const QString& key, const QString& value);

// A due date as the user reads it (short date form), and back; an invalid date reads empty.
QString dueDateText(const QDate& date);
QDate dueDateFromText(const QString& text);
// A stored Due_Date value (a date written by the database layer, or an older text) as a date.
QDate storedDueDate(const QVariant& value);

} // namespace mail
