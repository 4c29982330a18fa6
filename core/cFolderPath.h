// Answers the location of the machine's special folders by their numeric identifiers:
// 43 the common program files folder (below which the data folder lies), 38 the program
// files folder (here: the running program's folder). The Windows folder (36) and the
// system folder (37) have no counterpart on this platform and answer the empty text, as
// does any other identifier. A missing folder is created when it is asked for.
#pragma once

#include <QString>

namespace core {

class cFolderPath {
public:
    // The folder without a closing "/", or the empty text when there is none.
    QString GetFolderPath(qint32 nFolderID) const;
    QString GetWindowsFolderPath() const;
    QString GetWindowsSystemFolderPath() const;
    QString GetProgramFilesFolderPath() const;
    QString GetCommonFilesFolderPath() const;
};

} // namespace core
