// The folder tree in which the address import finds its contact lists. Its one root is the
// user's contacts folder; each folder below it is a node, each address book a contacts node
// whose name is offered as a list. The tree is built lazily: a node's children are read only
// when it is expanded, and until then a node that has children carries one placeholder child.
// Building the tree expands the root, so the lists directly in the contacts folder are found;
// lists deeper down are not offered.
//
// Nodes are numbered from 1 in the order they are added. A node's key is its folder's
// identifier, "/", its store's identifier, "/", and the number of nodes before it; a
// placeholder's key is "D", the parent's folder identifier, "/" and that number. Identifiers
// are the hexadecimal text of the path (relative to the contacts folder; the store's is the
// contacts folder itself), so a key never holds a "/" of its own.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::mail {

class ContactFolderTree {
public:
    // Kinds of node.
    static constexpr int kRoot = 1;
    static constexpr int kContacts = 3;
    static constexpr int kOtherFolder = 12;

    struct Node {
        QString key;
        QString text;
        int kind = 0;
        int parent = 0; // number of the parent node, 0 for the root
    };

    explicit ContactFolderTree(QString contactsFolder);

    // Builds the root and expands it. Answers the list names met, in the order of the nodes.
    // A contacts folder that does not exist gives no root and no names.
    QStringList build();
    // Rebuilds the children of node number `node` from the disk; answers the list names met.
    QStringList expand(int node);

    const QList<Node>& nodes() const { return nodes_; }
    // Nodes whose parent is `node`, in order.
    QList<int> children(int node) const;

private:
    int addNode(const QString& key, const QString& text, int kind, int parent);
    QString folderOf(const QString& key) const;
    bool hasChildren(const QString& path) const;

    QString root_;
    QList<Node> nodes_; // nodes_[n - 1] is node n; a removed node is left with an empty key
};

} // namespace platform::mail
