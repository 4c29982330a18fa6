// The connection descriptor: the master database's paths and connection strings; see cConnection.h.
#include "core/cConnection.h"

#include "core/RunGuard.h"
#include "core/StringScrambling.h"
#include "core/cFolderPath.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"
#include "platform/sys/SpecialFolders.h"

#include <QFileInfo>

namespace core {

std::unique_ptr<cConnection> gCnn;

namespace {

using platform::db::ConnectionString;

const QString kNetworkSection = QStringLiteral("Network");
const QString kNetworkPathKey = QStringLiteral("LumiNetPath");
const QString kNetworkPasswordKey = QStringLiteral("LumiNetPwd");
const QString kNetworkUser = QStringLiteral("admin");

// Provider and file of a database without a password.
QString fileConnection(const QString& path) {
    ConnectionString cs;
    cs.set(ConnectionString::kProvider, cConnection::kProvider);
    cs.set(ConnectionString::kDataSource, path);
    return cs.toString();
}

// The folder part of a path: the path without its last "/" and the name after it. A path
// without any folder (such as a missing setting) has the empty folder.
QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString inFolder(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

} // namespace

cConnection::cConnection(QString application, QString sampleDatabasePath)
    : application_(std::move(application))
    , sampleDatabasePath_(std::move(sampleDatabasePath)) {
    // The program's runs are marked through the presence of the descriptor in use.
    RunGuard::setPresenceLookup([] { return gCnn ? gCnn->presence() : nullptr; });
}

void cConnection::LocalCnn() {
    // An empty answer (no common folder) leaves every local path starting with "/Lumidesk";
    // the start-up check then reports the master database as missing.
    commonFilesFolder_ = cFolderPath().GetCommonFilesFolderPath();
    const QString folder = inFolder(commonFilesFolder_, kDataFolderName);
    const QString sample = sampleDatabasePath_.isEmpty()
                               ? inFolder(platform::sys::programFolder(), kDesktopSampleDatabase)
                               : sampleDatabasePath_;

    lumiCnn_ = fileConnection(inFolder(folder, kMasterFileName)) + QLatin1Char(';');
    lumiCnnTemp_ = fileConnection(inFolder(folder, kTempFileName)) + QLatin1Char(';');
    lumiCnnFolder_ = folder;
    lumiCnnPath_ = inFolder(lumiCnnFolder_, kMasterFileName);
    lumiCnnPathTemp_ = inFolder(lumiCnnFolder_, kTempFileName);
    oLumiCnn_ = fileConnection(inFolder(folder, kPreviousFileName));
    oLumiCnnPath_ = inFolder(lumiCnnFolder_, kPreviousFileName);
    sLumiCnn_ = fileConnection(sample);
    sLumiCnnPath_ = sample;
    localCnnPath_ = lumiCnnPath_;
    // A local file that cannot be held (another program keeps it to itself, or its folder is
    // not writable) is still the master database: the start-up's own checks say what is wrong.
    try {
        holdPresence(lumiCnnPath_);
    } catch (const platform::db::DbError&) {
        presence_.reset();
    }
}

QString cConnection::DataFolder() const {
    return folderOf(localCnnPath_);
}

void cConnection::holdPresence(const QString& path) {
    if (!QFileInfo(path).isFile())
        presence_.reset();
    else if (!presence_ || presence_->databasePath() != path)
        presence_ = platform::db::PresenceHold::take(path);
}

void cConnection::NetCnn() {
    const QString path = platform::sys::readSetting(application_, kNetworkSection, kNetworkPathKey);
    const QString password =
        core::DecodeString(platform::sys::readSetting(application_, kNetworkSection, kNetworkPasswordKey));
    holdPresence(path);

    // Built as pairs, so the password is quoted when it holds ";", "=" or quotes.
    ConnectionString network;
    network.set(ConnectionString::kProvider, kProvider);
    network.set(ConnectionString::kDataSource, path);
    network.set(ConnectionString::kDatabasePassword, password);
    network.set(ConnectionString::kUserId, kNetworkUser);
    lumiCnn_ = network.toString();

    lumiCnnFolder_ = folderOf(path);
    lumiCnnPath_ = path;
    lumiCnnTemp_ = fileConnection(inFolder(lumiCnnFolder_, kTempFileName));
    lumiCnnPathTemp_ = inFolder(lumiCnnFolder_, kTempFileName);
}

void cConnection::MigrateCnn() {}

} // namespace core
