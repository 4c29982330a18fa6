// A second program on the same database files, for the tests that need one: it reads one
// command a line from its standard input and answers each with one line, "ok <result>" or
// "error <number> <description>", so a test can hold a transaction open in another process,
// commit it when it chooses, change a file's password from outside, or be present on a
// shared database (a presence hold, see Presence.h) the way another administrator's program
// is. Arguments are separated by tabs.
//   open <connection string>      close              scalar <sql>       exec <sql>
//   begin | commit | rollback      compact           backup <path>
//   password <path> <old> <new>    hold <path>       release            quit
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"

#include <QString>
#include <QStringList>
#include <iostream>
#include <memory>
#include <string>

namespace {

using platform::db::Connection;
using platform::db::DbError;

// The peer's presence on a shared database, taken without waiting.
std::shared_ptr<platform::db::PresenceHold> presence;

QString run(Connection& connection, const QStringList& words) {
    const QString& command = words.value(0);
    const QString argument = words.value(1);
    if (command == QLatin1String("open")) {
        connection.open(argument);
        return {};
    }
    if (command == QLatin1String("scalar"))
        return connection.scalar(argument).toString();
    if (command == QLatin1String("exec"))
        return QString::number(connection.execute(argument));
    if (command == QLatin1String("close"))
        connection.close();
    else if (command == QLatin1String("begin"))
        connection.beginTransaction();
    else if (command == QLatin1String("commit"))
        connection.commit();
    else if (command == QLatin1String("rollback"))
        connection.rollback();
    else if (command == QLatin1String("compact"))
        connection.compact();
    else if (command == QLatin1String("backup"))
        connection.backupTo(argument);
    else if (command == QLatin1String("password"))
        Connection::setPassword(argument, words.value(2), words.value(3));
    else if (command == QLatin1String("hold"))
        presence = platform::db::PresenceHold::take(argument, 0);
    else if (command == QLatin1String("release"))
        presence.reset();
    else
        throw DbError(DbError::kInvalidOperation, QStringLiteral("unknown command ") + command);
    return {};
}

} // namespace

int main() {
    Connection connection;
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char('\t'));
        if (words.value(0) == QLatin1String("quit"))
            break;
        try {
            const std::string result = run(connection, words).toStdString();
            std::cout << "ok " << result << std::endl;
        } catch (const DbError& error) {
            std::cout << "error " << error.number() << ' ' << error.description().toStdString() << std::endl;
        }
    }
    return 0;
}
