// The default budget author: the one Admin row marked Default. The budget-context change
// keeps its name in gOptions.DefaultAdmin, and new budgets take their author from there.
#pragma once

#include <QString>

namespace wizard {

inline const QString kNoAuthorText = QStringLiteral(
    "The Budget Author(s) for Lumivane have not been entered.  Enter them in Configure - Budget Author "
    "and then create new budgets.");

// item 0: the author's name, 1: the author's e-mail address, any other item empty. When there
// is not exactly one default author the answer is empty without a word; when that one row is
// the placeholder the answer is empty, after the message above when showMessage is set (the
// configuration still holds no author at all). A failure shows the program's error message and
// answers empty.
QString GetDefaultAuthor(int item, bool showMessage);

} // namespace wizard
