// Marks a workbook file as in use while the layer has it open for writing, in the two ways
// other programs look for: an advisory lock on the file itself (open-file-description locks,
// which other processes and other opens in this process see) and a lock file beside it in the
// format LibreOffice writes and reads (".~lock.<name>#"). The in-use test is the file facts'
// (platform/sys/FileFacts.h): it sees our lock, LibreOffice's lock file and the owner file
// ("~$<name>") that a spreadsheet program leaves beside a workbook it has open on a shared folder.
#pragma once

#include <QString>
#include <memory>

namespace platform::sheet {

class WorkbookLock {
public:
    // Locks the file; nothing when another holder has it or it cannot be opened for writing.
    static std::unique_ptr<WorkbookLock> acquire(const QString& path);
    ~WorkbookLock();
    WorkbookLock(const WorkbookLock&) = delete;
    WorkbookLock& operator=(const WorkbookLock&) = delete;

    // After the file was replaced by a save (a new file under the same name), locks the new one.
    void renew();

    const QString& path() const { return path_; }

    // Whether anyone -- this process included -- holds the workbook: a lock on the file, a lock
    // file or an owner file beside it. A missing file or a folder is not in use. Quotes around
    // the path and a final "/" are ignored.
    static bool isInUse(const QString& path);

    static QString lockFilePath(const QString& path);

private:
    explicit WorkbookLock(QString path);
    bool lockFile();
    void writeLockFile();

    QString path_;
    int fd_ = -1;
    QByteArray lockFileContent_;
};

} // namespace platform::sheet
