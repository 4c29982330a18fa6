// See AddressBook.h.
#include "platform/mail/AddressBook.h"

#include "platform/mail/CsvContacts.h"
#include "platform/mail/VCardReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform::mail {

namespace {

bool hasSuffix(const QFileInfo& info, const char* suffix) {
    return info.suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

QStringList vcardFilesIn(const QString& folder) {
    QStringList files;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase))
        if (hasSuffix(info, "vcf"))
            files << info.filePath();
    return files;
}

std::optional<QByteArray> readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

BookKind addressBookKind(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return vcardFilesIn(path).isEmpty() ? BookKind::None : BookKind::VCardFolder;
    if (!info.isFile())
        return BookKind::None;
    if (hasSuffix(info, "vcf"))
        return BookKind::VCardFile;
    if (hasSuffix(info, "csv")) {
        const std::optional<QByteArray> bytes = readAll(path);
        return bytes && readCsvContacts(*bytes) ? BookKind::CsvFile : BookKind::None;
    }
    return BookKind::None;
}

QString addressBookName(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() ? info.fileName() : info.completeBaseName();
}

QStringList addressBooksIn(const QString& folder) {
    QStringList books;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        if (addressBookKind(info.filePath()) != BookKind::None)
            books << info.filePath();
    }
    return books;
}

QString findAddressBook(const QString& folder, const QString& listName) {
    for (const QString& book : addressBooksIn(folder))
        if (addressBookName(book).compare(listName, Qt::CaseInsensitive) == 0)
            return book;
    return {};
}

std::optional<QList<Contact>> readAddressBook(const QString& path) {
    switch (addressBookKind(path)) {
    case BookKind::VCardFile: {
        const std::optional<QByteArray> bytes = readAll(path);
        return bytes ? std::optional(readVCards(*bytes)) : std::nullopt;
    }
    case BookKind::VCardFolder: {
        QList<Contact> contacts;
        for (const QString& file : vcardFilesIn(path))
            if (const std::optional<QByteArray> bytes = readAll(file))
                contacts << readVCards(*bytes);
        return contacts;
    }
    case BookKind::CsvFile: {
        const std::optional<QByteArray> bytes = readAll(path);
        return bytes ? readCsvContacts(*bytes) : std::nullopt;
    }
    case BookKind::None:
        break;
    }
    return std::nullopt;
}

} // namespace platform::mail
