// The small file-system facts that the work on workbooks asks for again and again: whether a
// folder is there and how to make one, whether another program holds a file open, a file's
// creation and last-write times, the parts of a path, and a path without enclosing quotes.
//
// Names of files and folders are looked up without regard to case, as the budget records
// were written by hand and by other programs: a lookup of "P/F/Sales.xlsx" finds
// "P/f/SALES.xlsx" when no entry has exactly that name. Times are local times to the second,
// the resolution at which the budget records keep them. Paths use "/".
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <stdexcept>

namespace platform::sys {

// A file-system operation that failed (a folder that cannot be made); its text says why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a directory listing of one path gives.
struct FindData {
    bool found = false;
    QString name; // the entry's own name, in the letter case the file system keeps
    QString path; // its full path as found
    bool isFolder = false;
    QDateTime created;  // the birth time; the last write where the file system keeps none
    QDateTime modified; // the last write
    qint64 size = 0;
};

// The entry the path names, each part matched exactly or, failing that, without regard to
// case. Nothing found: found is false and the times are those of a file never written
// (1 January 1601).
FindData GetFindData(const QString& path);

// True when the entry the path names (a folder or a plain file) has the name folderName,
// compared without regard to case; with nothing found the name is "" (so an empty folderName
// answers true).
bool FolderExists(const QString& path, const QString& folderName);

// Makes one folder; its parent must exist. Throws FileError for an existing entry, a missing
// parent or a refusal of the file system.
void MakeFolder(const QString& path);

// Copies the file over target: the copy is written beside target and renamed into place, so
// a failure leaves target as it was. Throws FileError.
void CopyFileReplacing(const QString& source, const QString& target);

// True when a program (this one included) holds the file open as a workbook: a lock on the
// file, LibreOffice's lock file beside it, or the owner file ("~$<name>") that a spreadsheet
// program leaves beside a workbook it has open. A lock file that this program wrote on this
// machine for a process that no longer runs (it was killed) does not count; every other lock
// file does. A missing file or a folder is not in use.
// Quotes around the path and a final "/" are ignored. Never throws.
bool IsFileInUse(const QString& path);

// The lock file that LibreOffice (and the workbook layer) keeps beside an open workbook:
// "<folder>/.~lock.<name>#".
QString WorkbookLockFilePath(const QString& path);

// The content of the lock file this process writes beside a workbook it opens for writing.
QByteArray OwnLockFileContent();

// True for a lock file this program wrote on this machine for a process that no longer runs.
// Lock files of other programs or machines, and unreadable ones, are never stale.
bool IsStaleLockFile(const QString& lockFilePath);

// The creation time of the file (see FindData::created).
QDateTime GetFileCreatedTime(const QString& path);
// The same as the date text (DateText).
QString GetFileCreatedText(const QString& path);
// The last-write time of the file, to the second; 1 January 1601 for a missing file.
QDateTime GetFileModifiedText(const QString& path);

// The date text shown for a file time: month/day/year hour:minute:second, without leading
// zeros ("3/5/2002 14:7:9").
QString DateText(const QDateTime& time);

// Part 0 of the path is its parent (all parts but the last, joined by "/"), part 1 its last
// part; any other number gives "". A path without "/" has the parent "". An empty path has
// no parts: throws std::invalid_argument.
QString GetPathPart(const QString& path, int part);

// The text trimmed and without one pair of enclosing double quotes; a text that is a lone
// double quote comes back as it is.
QString StripQuotes(const QString& text);

} // namespace platform::sys
