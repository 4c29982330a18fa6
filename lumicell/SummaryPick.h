// What a selection on a sheet adds to the Build Budget dialog's row and column lists while the
// dialog is in summary mode: a whole single column ("C:C") gives its letters, a whole single row
// ("12:12") its number. Anything else -- a block, a single cell, several columns or rows, a
// column of more than three letters or a row numbered 1000 or above -- gives nothing.
#pragma once

#include <QString>
#include <optional>

namespace lumicell {

struct SummaryPick {
    bool isRow = false;
    QString entry; // "C" or "12"
};

// From the selection's address in relative A1 form.
std::optional<SummaryPick> SummaryPickOf(const QString& relativeAddress);

} // namespace lumicell
