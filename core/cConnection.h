// The connection descriptor: every file path and connection string of the master
// database comes from here. It knows four databases: the master database in use, its
// temporary copy (lumimaster2.mdb beside it), the previous master database that a
// migration reads (oldlumimaster.mdb in the data folder) and the sample database below
// the program folder. LocalCnn builds everything for the local master database in the
// data folder (the common program files folder + "/Lumidesk"); NetCnn switches the master
// database and its temporary copy to the network copy named in the settings. One
// instance, gCnn, lives from start-up to the end of the program.
//
// The descriptor also holds the program's presence on the master database in use (see
// platform/db/Presence.h): NetCnn takes it on the network file, LocalCnn on the local file
// (which the desktop program and the add-in both use), so every program that works on a
// database file is known to the operations that must have the file to themselves. The run
// guard (core/RunGuard.h) marks the program's runs through the same presence.
//
// Local strings of the master database and its temporary copy end with ";"; the network
// ones and those of the previous and the sample database end without one. Values are
// quoted where they hold a separator, so a ";" or "=" in a path or in the network
// password survives.
#pragma once

#include "platform/sys/SettingsStore.h"

#include <QString>
#include <memory>

namespace platform::db {
class PresenceHold;
}

namespace core {

class cConnection {
public:
    // The provider every connection string names: the program's own database layer.
    static inline const QString kProvider = QStringLiteral("Lumivane.SQLCipher");
    static inline const QString kDataFolderName = QStringLiteral("Lumidesk");
    static inline const QString kMasterFileName = QStringLiteral("lumimaster.mdb");
    static inline const QString kTempFileName = QStringLiteral("lumimaster2.mdb");
    static inline const QString kPreviousFileName = QStringLiteral("oldlumimaster.mdb");
    // Where the desktop program finds the sample database, below its own folder.
    static inline const QString kDesktopSampleDatabase = QStringLiteral("lumixl/samples/sampledb.mdb");

    // application: the settings from which NetCnn reads the network database.
    // sampleDatabasePath: the full path of the sample database; empty for the desktop
    // program's <program folder>/lumixl/samples/sampledb.mdb. The add-in passes its own
    // name and <add-in folder>/samples/sampledb.mdb.
    explicit cConnection(QString application = platform::sys::settingsApplication(),
                         QString sampleDatabasePath = {});

    // Builds every string for the local master database and takes the program's presence on
    // the local file (kept when it is the one already held; none when the file is not there,
    // or while another program keeps it to itself, which its operations then cannot see).
    void LocalCnn();
    // Makes the network master database current: the master database and its temporary
    // copy follow the settings "Network" "LumiNetPath" and "LumiNetPwd" (scrambled), read
    // at the moment of the call; the previous and sample databases keep their local values.
    // Takes the program's presence on the network file first (kept when the file is the one
    // already held); a file that another program has to itself fails it with a
    // platform::db::DbError, and the strings then stay as they were. A file that does not
    // exist gets no presence (opening it fails anyway).
    void NetCnn();
    // The program's presence on the master database in use; null when it has none.
    std::shared_ptr<platform::db::PresenceHold> presence() const { return presence_; }
    // The file of the local master database, whichever database is in use.
    const QString& LocalCnnPath() const { return localCnnPath_; }
    // The data folder (<common files>/Lumidesk, the local master database's folder), whichever
    // database is in use: where the programs write what is theirs (backups, the sample
    // budget's workbooks), never into their own folder.
    QString DataFolder() const;
    // Does nothing.
    void MigrateCnn();

    const QString& LumiCnn() const { return lumiCnn_; }
    void setLumiCnn(const QString& value) { lumiCnn_ = value; }
    const QString& lumicnnfolder() const { return lumiCnnFolder_; }
    void setLumicnnfolder(const QString& value) { lumiCnnFolder_ = value; }
    const QString& LumiCnnTemp() const { return lumiCnnTemp_; }
    const QString& LumiCnnPath() const { return lumiCnnPath_; }
    void setLumiCnnPath(const QString& value) { lumiCnnPath_ = value; }
    const QString& LumiCnnPathTemp() const { return lumiCnnPathTemp_; }
    const QString& OLumiCnnPath() const { return oLumiCnnPath_; }
    void setOLumiCnnPath(const QString& value) { oLumiCnnPath_ = value; }
    const QString& OLumiCnn() const { return oLumiCnn_; }
    void setOLumiCnn(const QString& value) { oLumiCnn_ = value; }
    const QString& SLumiCnnPath() const { return sLumiCnnPath_; }
    void setSLumiCnnPath(const QString& value) { sLumiCnnPath_ = value; }
    const QString& SLumiCnn() const { return sLumiCnn_; }
    void setSLumiCnn(const QString& value) { sLumiCnn_ = value; }

private:
    // Takes the presence on the file (kept when it is held already); none for a missing file.
    void holdPresence(const QString& path);

    QString application_;
    QString sampleDatabasePath_;
    QString commonFilesFolder_; // as found when the local strings were last built

    QString lumiCnn_;
    QString lumiCnnFolder_;
    QString lumiCnnTemp_;
    QString lumiCnnPath_;
    QString lumiCnnPathTemp_;
    QString oLumiCnnPath_;
    QString oLumiCnn_;
    QString sLumiCnnPath_;
    QString sLumiCnn_;
    QString localCnnPath_;
    std::shared_ptr<platform::db::PresenceHold> presence_;
};

// The program's one connection descriptor.
extern std::unique_ptr<cConnection> gCnn;

} // namespace core
