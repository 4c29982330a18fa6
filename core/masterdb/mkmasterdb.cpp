// mkmasterdb <script.sql>... <output.mdb>: makes a new plain master database from SQL scripts
// (the schema, then any rows to ship in it, as the sample database does). The scripts run in
// order in one transaction on a new file beside the output; only a database that all of them
// built and that passes the engine's check is renamed into place, so a failed run leaves an
// existing output file as it was and no partial file behind.
#include "platform/db/DbError.h"
#include "platform/db/Engine.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdio>

namespace {

using platform::db::DbError;
namespace engine = platform::db::engine;

QString readScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(DbError::kFileNotFound,
                      QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

void runScript(sqlite3* db, const QString& script) {
    char* message = nullptr;
    int rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(message);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw DbError(DbError::kCommandError, QStringLiteral("the script failed: %1").arg(text), rc);
    }
    engine::check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
}

void build(const QStringList& scriptPaths, const QString& outputPath) {
    QString script;
    for (const QString& path : scriptPaths)
        script += readScript(path) + QLatin1Char('\n');
    const QFileInfo output(outputPath);
    QTemporaryFile file(output.absolutePath() + QStringLiteral("/.") + output.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open())
        throw DbError(DbError::kCannotOpen, QStringLiteral("cannot create a file beside %1").arg(outputPath));
    file.close();
    sqlite3* db = engine::openHandle(file.fileName(), QString(), engine::OpenMode::CreateNew);
    try {
        runScript(db, script);
        engine::quickCheck(db, file.fileName());
    } catch (...) {
        engine::closeHandle(db);
        throw;
    }
    engine::closeHandle(db);
    // The file ships with the program: readable by all, not only by whoever built it.
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                        QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(outputPath).constData()) != 0)
        throw DbError(DbError::kCannotOpen,
                      QStringLiteral("cannot rename the new database to %1").arg(outputPath));
    file.setAutoRemove(false);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: mkmasterdb <script.sql>... <output.mdb>\n");
        return 2;
    }
    QStringList scripts;
    for (int i = 1; i < argc - 1; ++i)
        scripts << QString::fromLocal8Bit(argv[i]);
    try {
        build(scripts, QString::fromLocal8Bit(argv[argc - 1]));
    } catch (const DbError& error) {
        std::fprintf(stderr, "mkmasterdb: %s\n", error.what());
        return 1;
    }
    return 0;
}
