// See CellComparison.h. The tables are compared in memory; nothing outside is called but for a
// corrupted formula (the errors row, the setting and the question).
#include "workbooks/CellComparison.h"

#include "core/AppTitle.h"
#include "core/ErrorsTable.h"
#include "core/cOptions.h"
#include "platform/sheet/CellAddress.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/Ui.h"

namespace workbooks {

namespace {

bool isFormula(const QString& text) {
    return text.startsWith(u'=');
}

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A cell of a table, or nothing when the cell lies beyond it.
std::optional<QString> cellOf(const CellTexts& table, int row, int column) {
    if (!table.contains(row, column))
        return std::nullopt;
    return table.at(row, column);
}

} // namespace

void ReportRefusedCell(int row, int column, const QString& masterText, const QString& userText,
                       const QString& userFile, const QString& masterFile, const QString& question) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Errors"),
                                QStringLiteral("CorruptedFilename"), userFile);
    core::gOptions->CorruptedFilename = userFile;
    core::gOptions->CorruptedFlag = true;
    core::LogCellError(row, column, false, true, false, CellLabel(row, column), userFile, QStringLiteral("1"),
                       QStringLiteral("0"), masterFile, masterText, userText);
    const auto answer = platform::ui::msgBox(question, platform::ui::Buttons::YesNo, core::appTitle());
    if (answer != platform::ui::Answer::Yes)
        core::gOptions->CancelOp = true;
}

void ReportCorruptedFormula(int row, int column, const QString& masterText, const QString& userText,
                            const QString& userFile, const QString& masterFile) {
    ReportRefusedCell(row, column, masterText, userText, userFile, masterFile,
                      kCorruptedFormulaText.arg(userFile, CellLabel(row, column)));
}

bool AskAboutValuesOutsideBlock(const CellTexts& master, const CellTexts& user, const QString& userFile,
                                const QString& masterFile) {
    // The first values get a row each; the rest are counted, so that a file full of values far
    // beyond the block writes a bounded number of rows.
    std::vector<std::pair<int, int>> listed;
    std::optional<std::pair<int, int>> firstUnlisted;
    int total = 0;
    for (int column = 1; column <= user.columns(); ++column)
        for (int row = 1; row <= user.rows(); ++row) {
            if (master.contains(row, column) || user.at(row, column).isEmpty())
                continue;
            if (listed.size() < std::size_t(kValuesOutsideBlockListed))
                listed.emplace_back(row, column);
            else if (!firstUnlisted)
                firstUnlisted.emplace(row, column);
            ++total;
        }
    if (total == 0)
        return true;
    const auto outsideError = [&](int row, int column, const QVariant& address, const QString& value) {
        core::CellError error;
        error.row = row;
        error.column = column;
        error.recordLengthError = true;
        error.cellAddress = address;
        error.userFileName = userFile;
        error.userFileSheet = QStringLiteral("1");
        error.masterSheet = QStringLiteral("0");
        error.masterFileName = masterFile;
        error.changedValue = value;
        return error;
    };
    std::vector<core::CellError> errors;
    for (const auto& [row, column] : listed)
        errors.push_back(outsideError(row, column, CellLabel(row, column), user.at(row, column)));
    if (firstUnlisted)
        errors.push_back(outsideError(firstUnlisted->first, firstUnlisted->second, QVariant(),
                                      kMoreValuesOutsideBlockText.arg(total - kValuesOutsideBlockListed)
                                          .arg(CellLabel(firstUnlisted->first, firstUnlisted->second))));
    core::LogCellErrors(errors);
    const auto [row, column] = listed.front();
    const QString value = user.at(row, column);
    const QString shown = value.size() > 100 ? value.left(97) + QStringLiteral("...") : value;
    const QString question = total == 1 ? kValueOutsideBlockText.arg(userFile, CellLabel(row, column), shown)
                                        : kValuesOutsideBlockText.arg(userFile, CellLabel(row, column), shown,
                                                                      QString::number(total));
    if (platform::ui::msgBox(question, platform::ui::Buttons::YesNo, core::appTitle()) ==
        platform::ui::Answer::Yes)
        return true;
    core::gOptions->CorruptedFlag = true;
    return false;
}

qint16 ClassifyCellChange(const QString& masterText, const QString& userText, const QString& masterFile) {
    if (!userText.isEmpty()) {
        if (!isFormula(masterText))
            return sameText(masterText, userText) ? kUnchangedValue : kChangedValue;
        if (sameText(masterText, userText))
            return kSameFormula;
        return userText.contains(masterFile, Qt::CaseInsensitive) ? kExternalReference : kCorruptedFormula;
    }
    if (masterText.isEmpty())
        return kBothEmpty;
    return isFormula(masterText) ? kCorruptedFormula : kChangedValue;
}

void StoreChangeRecord(std::size_t n, ChangeList& list, const QString& label, const QString& changedValue,
                       const QString& currentValue, int row, int column) {
    if (list.size() <= n)
        list.resize(n + 1);
    list[n] = ChangeRecord{row, column, changedValue, currentValue, label, false};
}

QString CellLabel(int row, int column) {
    return platform::sheet::CellAddress::toA1({row, column});
}

std::optional<ChangeList> CompareSheetArrays(const CellTexts& master, const CellTexts& user, int rows,
                                             int columns, const QString& userFile,
                                             const QString& masterFile) {
    ChangeList list;
    for (int column = 1; column <= columns; ++column) {
        for (int row = 1; row <= rows; ++row) {
            const std::optional<QString> masterText = cellOf(master, row, column);
            const std::optional<QString> userText = cellOf(user, row, column);
            if (!masterText || !userText) {
                ReportCorruptedFormula(row, column, masterText.value_or(QString()),
                                       userText.value_or(QString()), userFile, masterFile);
                return std::nullopt;
            }
            switch (ClassifyCellChange(*masterText, *userText, masterFile)) {
            case kChangedValue:
                StoreChangeRecord(list.size(), list, CellLabel(row, column), *userText, *masterText, row,
                                  column);
                break;
            case kCorruptedFormula:
                ReportCorruptedFormula(row, column, *masterText, *userText, userFile, masterFile);
                return std::nullopt;
            default:
                break;
            }
        }
    }
    return list;
}

} // namespace workbooks
