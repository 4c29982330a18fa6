// Small pieces the network windows share: their controls made with the names the program and
// its tests find them by as objectName, a row of buttons, and the file dialog loop with which the logon
// window, the main window's "Make network database" and the console's "Move" choose a master database file:
// only the exact name "lumimaster.mdb" is taken, after a Yes to the window's question; any other name, or No,
// shows the dialog again, and Cancel ends it.
#pragma once

#include <QList>
#include <QString>
#include <optional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace admin::parts {

inline const QString kMasterFileName = QStringLiteral("lumimaster.mdb");
inline const QString kDatabaseFilter = QStringLiteral("Access Files (*.MDB *.mdb);;All Files (*)");

QLabel* label(QWidget* parent, const QString& name, const QString& text);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* textBox(QWidget* parent, const QString& name);
QLineEdit* passwordBox(QWidget* parent, const QString& name); // shown as "*"
// The buttons side by side, right-aligned.
QHBoxLayout* buttonRow(const QList<QPushButton*>& buttons);

// True when the folder holds a file named "lumimaster.mdb" in any letter case: a network copy
// may not go there.
bool FolderHoldsMasterDatabase(const QString& folder);

// The dialog loop above. startPath: a file or folder the dialog starts in (the proposed name
// is lumimaster.mdb in that folder). save: a save dialog that never asks about overwriting
// (the callers refuse an existing file themselves), else an open dialog.
std::optional<QString> chooseMasterDatabase(const QString& title, const QString& question,
                                            const QString& startPath, bool save);

} // namespace admin::parts
