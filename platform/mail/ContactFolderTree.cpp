// See ContactFolderTree.h.
#include "platform/mail/ContactFolderTree.h"

#include "platform/mail/AddressBook.h"

#include <QDir>
#include <QFileInfo>

namespace platform::mail {

namespace {

QString hexId(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toHex());
}

QString fromHexId(const QString& id) {
    return QString::fromUtf8(QByteArray::fromHex(id.toLatin1()));
}

} // namespace

ContactFolderTree::ContactFolderTree(QString contactsFolder)
    : root_(QDir::cleanPath(std::move(contactsFolder))) {}

int ContactFolderTree::addNode(const QString& key, const QString& text, int kind, int parent) {
    nodes_ << Node{key, text, kind, parent};
    return static_cast<int>(nodes_.size());
}

bool ContactFolderTree::hasChildren(const QString& path) const {
    const QDir dir(path);
    if (!dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty())
        return true;
    return !addressBooksIn(path).isEmpty();
}

QStringList ContactFolderTree::build() {
    nodes_.clear();
    if (!QFileInfo(root_).isDir())
        return {};
    const QString id = hexId(QStringLiteral("."));
    const int n = addNode(id + '/' + hexId(root_) + '/' + QString::number(nodes_.size()),
                          QFileInfo(root_).fileName(), kRoot, 0);
    if (hasChildren(root_))
        addNode(QStringLiteral("D") + id + '/' + QString::number(nodes_.size()), QString(), kRoot, n);
    return expand(n);
}

QList<int> ContactFolderTree::children(int node) const {
    QList<int> found;
    for (int i = 0; i < nodes_.size(); ++i)
        if (nodes_.at(i).parent == node && !nodes_.at(i).key.isEmpty())
            found << i + 1;
    return found;
}

// The folder identifier is the key's text before its first "/"; the store identifier the text
// after it up to the next "/". A placeholder's key has no store identifier.
QString ContactFolderTree::folderOf(const QString& key) const {
    const QStringList parts = key.split(QLatin1Char('/'));
    if (parts.size() < 3 || parts.at(0).trimmed().isEmpty() || parts.at(1).trimmed().isEmpty())
        return {};
    const QString relative = fromHexId(parts.at(0));
    return QDir::cleanPath(fromHexId(parts.at(1)) + '/' + relative);
}

QStringList ContactFolderTree::expand(int node) {
    if (node < 1 || node > nodes_.size() || nodes_.at(node - 1).key.isEmpty())
        return {};
    // Children are always read afresh; the placeholder goes with them.
    for (int child : children(node))
        nodes_[child - 1].key.clear();
    const QString folder = folderOf(nodes_.at(node - 1).key);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};

    QStringList lists;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        const bool book = addressBookKind(info.filePath()) != BookKind::None;
        if (!book && !info.isDir())
            continue;
        const QString name = addressBookName(info.filePath());
        const QString id = hexId(QDir(root_).relativeFilePath(info.filePath()));
        const int kind = book ? kContacts : kOtherFolder;
        if (book)
            lists << name;
        const int added =
            addNode(id + '/' + hexId(root_) + '/' + QString::number(nodes_.size()), name, kind, node);
        if (info.isDir() && hasChildren(info.filePath()))
            addNode(QStringLiteral("D") + id + '/' + QString::number(nodes_.size()), QString(), kind, added);
    }
    return lists;
}

} // namespace platform::mail
