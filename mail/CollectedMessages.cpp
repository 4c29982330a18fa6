// See CollectedMessages.h. The reasons of a report are kept as a digest, which fits its column
// however many reasons a message had.
#include "mail/CollectedMessages.h"

#include "core/MasterDatabaseTables.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QStringList>

namespace mail {

namespace {

QString digest(const QStringList& reasons) {
    return QString::fromLatin1(
        QCryptographicHash::hash(reasons.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha256)
            .toHex());
}

} // namespace

CollectedMessages::CollectedMessages(platform::db::Connection& cnn, QString server, QString account)
    : cnn_(cnn)
    , server_(std::move(server))
    , account_(std::move(account)) {
    core::AddMissingTables(cnn_);
}

CollectedMessages::Taken CollectedMessages::taken(const QString& messageId, const QString& fileName) const {
    const QVariant applied = cnn_.scalar(
        QStringLiteral("SELECT Applied FROM CollectedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? "
                       "AND Message_UIDL = ? AND Attachment_Name = ?"),
        {server_, account_, messageId, fileName});
    if (applied.isNull())
        return Taken::No;
    return applied.toInt() == 1 ? Taken::Applied : Taken::PassedOver;
}

void CollectedMessages::remember(const QString& messageId, const QString& fileName,
                                 const QString& userFilePath, Taken taken) {
    platform::db::WriteStep transaction(cnn_, QStringLiteral("collected_messages"));
    cnn_.execute(QStringLiteral("DELETE FROM CollectedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? "
                                "AND Message_UIDL = ? AND Attachment_Name = ?"),
                 {server_, account_, messageId, fileName});
    cnn_.execute(
        QStringLiteral("INSERT INTO CollectedMessages (Pop3_Server, Pop3_Account, Message_UIDL, "
                       "Attachment_Name, UFNPath, Applied, Collected_Date) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {server_, account_, messageId, fileName, userFilePath, taken == Taken::Applied ? 1 : 0,
         QDateTime::currentDateTime()});
    transaction.commit();
}

bool CollectedMessages::reportedBefore(const QString& messageId, const QStringList& reasons) const {
    return cnn_.scalar(QStringLiteral("SELECT COUNT(*) FROM ReportedMessages WHERE Pop3_Server = ? AND "
                                      "Pop3_Account = ? AND Message_UIDL = ? AND Reasons_Digest = ?"),
                       {server_, account_, messageId, digest(reasons)})
               .toLongLong() > 0;
}

void CollectedMessages::noteReported(const QString& messageId, const QStringList& reasons) {
    platform::db::WriteStep transaction(cnn_, QStringLiteral("collected_messages"));
    cnn_.execute(QStringLiteral("DELETE FROM ReportedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? AND "
                                "Message_UIDL = ?"),
                 {server_, account_, messageId});
    cnn_.execute(QStringLiteral("INSERT INTO ReportedMessages (Pop3_Server, Pop3_Account, Message_UIDL, "
                                "Reasons_Digest, Reported_Date) VALUES (?, ?, ?, ?, ?)"),
                 {server_, account_, messageId, digest(reasons), QDateTime::currentDateTime()});
    transaction.commit();
}

void CollectedMessages::keepOnly(const QSet<QString>& messageIds) {
    static const std::pair<const char*, const char*> kTables[] = {
        {"SELECT DISTINCT Message_UIDL FROM CollectedMessages WHERE Pop3_Server = ? AND Pop3_Account = ?",
         "DELETE FROM CollectedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? AND Message_UIDL = ?"},
        {"SELECT DISTINCT Message_UIDL FROM ReportedMessages WHERE Pop3_Server = ? AND Pop3_Account = ?",
         "DELETE FROM ReportedMessages WHERE Pop3_Server = ? AND Pop3_Account = ? AND Message_UIDL = ?"},
    };
    platform::db::WriteStep transaction(cnn_, QStringLiteral("collected_messages"));
    for (const auto& [select, remove] : kTables) {
        QStringList gone;
        platform::db::Recordset rows =
            platform::db::Recordset::open(cnn_, QString::fromLatin1(select), {server_, account_});
        for (; !rows.eof(); rows.moveNext())
            if (!messageIds.contains(rows.value(0).toString()))
                gone << rows.value(0).toString();
        rows.close();
        for (const QString& id : gone)
            cnn_.execute(QString::fromLatin1(remove), {server_, account_, id});
    }
    transaction.commit();
}

} // namespace mail
