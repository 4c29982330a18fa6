// What the master database remembers of the messages of the robot mailbox that stay on its
// server, by each message's lasting identifier there (its UIDL): the files of a message that
// replaced a user file -- or lost to a newer answer -- so that a message kept on the server
// never replaces a user file again; and the reasons each kept message was reported with, so that a
// later collection counts it instead of listing it again while its reasons stay the same. What
// the server no longer holds is forgotten at the end of a collection that went through.
#pragma once

#include <QSet>
#include <QString>

namespace platform::db {
class Connection;
}

namespace mail {

class CollectedMessages {
public:
    // Adds the tables the memory lives in when the database lacks them.
    CollectedMessages(platform::db::Connection& cnn, QString server, QString account);

    enum class Taken {
        No,         // the message's file for that user file was never taken
        Applied,    // it replaced the user file
        PassedOver, // it lost to a newer answer of the same collection
    };
    // By the message and the attached file's name: a file applied once is not applied again,
    // whichever budget is in context.
    Taken taken(const QString& messageId, const QString& fileName) const;
    void remember(const QString& messageId, const QString& fileName, const QString& userFilePath,
                  Taken taken);

    bool reportedBefore(const QString& messageId, const QStringList& reasons) const;
    void noteReported(const QString& messageId, const QStringList& reasons);

    // Forgets every message of the mailbox but those named.
    void keepOnly(const QSet<QString>& messageIds);

private:
    platform::db::Connection& cnn_;
    QString server_;
    QString account_;
};

} // namespace mail
