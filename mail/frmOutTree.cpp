// See frmOutTree.h.
#include "mail/frmOutTree.h"

#include "mail/ContactsFolder.h"
#include "mail/MailContext.h"
#include "mail/frmAddAddress.h"
#include "platform/ui/ComboList.h"

#include <QFileInfo>
#include <QPointer>

namespace mail {

namespace {
QPointer<frmOutTree> gTree;
}

frmOutTree::frmOutTree(const QString& folder, QWidget* parent)
    : QWidget(parent)
    , tree_(folder) {
    setObjectName(kFormName);
    hide();
}

frmOutTree* frmOutTree::load(frmAddAddress& importWindow) {
    unload();
    const QString folder = ContactsFolder();
    if (!QFileInfo(folder).isDir()) {
        tell(QStringLiteral("The contacts folder ") + folder + QStringLiteral(" does not exist."));
        return nullptr;
    }
    gTree = new frmOutTree(folder, &importWindow);
    const QStringList lists = gTree->tree_.build();
    const QSignalBlocker quiet(importWindow.cbxListName());
    for (const QString& name : lists)
        importWindow.cbxListName()->addEntry(name);
    return gTree;
}

frmOutTree* frmOutTree::loaded() {
    return gTree;
}

void frmOutTree::unload() {
    if (gTree) {
        gTree->setObjectName(QString());
        delete gTree.data();
    }
}

} // namespace mail
