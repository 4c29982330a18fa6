// The mail folder tree: a window that is loaded but never shown, holding the tree of the
// contacts folder (platform/mail/ContactFolderTree.h). Loading it builds the tree and adds the
// name of every address book directly in the contacts folder to the address import window's
// list-name box, after what that window put there. A contacts folder named in the settings
// that does not exist is reported, and the tree unloads itself.
#pragma once

#include "platform/mail/ContactFolderTree.h"

#include <QWidget>

namespace mail {

class frmAddAddress;

class frmOutTree : public QWidget {
    Q_OBJECT
public:
    static inline const QString kFormName = QStringLiteral("frmOutTree");

    // Loads the tree for the import window (unloading one loaded before). Null when it
    // unloaded itself after a failure.
    static frmOutTree* load(frmAddAddress& importWindow);
    static frmOutTree* loaded();
    static void unload();

    const platform::mail::ContactFolderTree& tree() const { return tree_; }

private:
    explicit frmOutTree(const QString& folder, QWidget* parent);
    platform::mail::ContactFolderTree tree_;
};

} // namespace mail
