// See UserFileStamp.h.
#include "workbooks/UserFileStamp.h"

#include "core/MasterDatabaseTables.h"
#include "platform/db/Connection.h"
#include "platform/sheet/Workbook.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace workbooks {

namespace {

const QString kBudgetProperty = QStringLiteral("LumivaneBudget");
const QString kMasterProperty = QStringLiteral("LumivaneMasterFile");
const QString kSheetProperty = QStringLiteral("LumivaneSheet");
const QString kCutProperty = QStringLiteral("LumivaneCut");

const QString kMismatchText =
    QStringLiteral("%1 was cut from the sheet '%2' of %3 in the budget '%4'%5, not from the sheet '%6' of %7 "
                   "in the budget '%8'%9");

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString cutText(const QString& cutId) {
    return cutId.isEmpty() ? QString() : QStringLiteral(" (cut %1)").arg(cutId);
}

} // namespace

QString NewCutId() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")) + u'-' +
           QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
}

void WriteUserFileStamp(platform::sheet::Workbook& book, const UserFileStamp& stamp) {
    book.setCustomProperty(kBudgetProperty, stamp.budget);
    book.setCustomProperty(kMasterProperty, stamp.masterFile);
    book.setCustomProperty(kSheetProperty, stamp.worksheet);
    book.setCustomProperty(kCutProperty, stamp.cutId);
}

std::optional<UserFileStamp> ReadUserFileStamp(const platform::sheet::Workbook& book) {
    const std::optional<QString> budget = book.customProperty(kBudgetProperty);
    const std::optional<QString> master = book.customProperty(kMasterProperty);
    const std::optional<QString> sheet = book.customProperty(kSheetProperty);
    const std::optional<QString> cut = book.customProperty(kCutProperty);
    if (!budget && !master && !sheet && !cut)
        return std::nullopt;
    return UserFileStamp{budget.value_or(QString()), master.value_or(QString()), sheet.value_or(QString()),
                         cut.value_or(QString())};
}

void RecordUserFileCut(platform::db::Connection& cnn, const QString& path, const QString& cutId) {
    core::AddMissingTables(cnn);
    cnn.execute(
        QStringLiteral("INSERT OR REPLACE INTO UserFileCuts (UFNPath, Cut_ID, Cut_Date) VALUES (?, ?, ?)"),
        {path, cutId, QDateTime::currentDateTime()});
}

UserFileStamp StampOfRow(platform::db::Connection& cnn, const QString& budget, const QString& masterFile,
                         const QString& worksheet, const QString& path) {
    core::AddMissingTables(cnn);
    const QVariant cut =
        cnn.scalar(QStringLiteral("SELECT Cut_ID FROM UserFileCuts WHERE UFNPath = ?"), {path});
    return UserFileStamp{budget, masterFile, worksheet, cut.isNull() ? QString() : cut.toString()};
}

QString StampMismatch(const QString& fileName, const UserFileStamp& found, const UserFileStamp& row) {
    // A cut is compared only when the database keeps one for the path.
    const bool cutsDiffer = !row.cutId.isEmpty() && found.cutId != row.cutId;
    if (same(found.budget, row.budget) && same(found.masterFile, row.masterFile) &&
        same(found.worksheet, row.worksheet) && !cutsDiffer)
        return {};
    return kMismatchText.arg(fileName, found.worksheet, found.masterFile, found.budget, cutText(found.cutId),
                             row.worksheet, row.masterFile, row.budget, cutText(row.cutId));
}

} // namespace workbooks
