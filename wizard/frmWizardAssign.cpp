// The wizard's page 5: assigning each user file to a user. A name is typed, picked, pasted or
// dragged from the user list onto the User Name column; a part of a name that exactly one
// user's name contains is completed to that name. An assignment cannot be cleared.
#include "core/AppTitle.h"
#include "core/BudgetContextName.h"
#include "core/ErrorMessage.h"
#include "core/GridBinding.h"
#include "core/NameCompletion.h"
#include "core/cDB2.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "wizard/BudgetPages.h"
#include "wizard/WizardGrids.h"
#include "wizard/frmWizard.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

namespace wizard {

namespace {

constexpr int kUserNameColumn = frmWizard::kAssignUserName;
const QList<int> kAssignWidths = {2800, 1600, 1200};

// The one user whose name contains the text (taken literally); no value for none or several.
std::optional<QString> completedUserName(const QString& text) {
    try {
        core::cDB2 query;
        query.SetConnection();
        const QStringList users =
            core::NamesContaining(query.Cnn(), QStringLiteral("UsersData"), QStringLiteral("Users"), text, 2);
        if (users.size() != 1)
            return std::nullopt;
        return users.front();
    } catch (const std::exception&) {
        return std::nullopt; // a failed look-up completes nothing, as a look-up without rows
    }
}

// Starts a drag of the user list's name under the mouse, as copied text.
class NameDragSource : public QObject {
public:
    NameDragSource(platform::ui::EditGrid& list)
        : QObject(&list)
        , list_(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            pressedAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        } else if (event->type() == QEvent::MouseMove) {
            auto* move = static_cast<QMouseEvent*>(event);
            if ((move->buttons() & Qt::LeftButton) &&
                (move->position().toPoint() - pressedAt_).manhattanLength() >=
                    QApplication::startDragDistance()) {
                const QModelIndex index = list_.view()->indexAt(pressedAt_);
                if (index.isValid()) {
                    auto* drag = new QDrag(list_.view());
                    auto* data = new QMimeData;
                    data->setText(list_.cellText(index.row(), index.column()));
                    drag->setMimeData(data);
                    drag->exec(Qt::CopyAction);
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    platform::ui::EditGrid& list_;
    QPoint pressedAt_;
};

// Takes dropped text on the assignment grid, always as a copy.
class NameDropTarget : public QObject {
public:
    NameDropTarget(frmWizard& form)
        : QObject(form.dtUFAssign())
        , form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasText()) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            const QModelIndex index = form_.dtUFAssign()->view()->indexAt(drop->position().toPoint());
            if (index.isValid())
                form_.dtUFAssign_OLEDragDrop(drop->mimeData()->text(), index.row(), index.column());
            return true;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    frmWizard& form_;
};

} // namespace

void frmWizard::enableUserNameDrags() {
    dtUsersData_->view()->viewport()->installEventFilter(new NameDragSource(*dtUsersData_));
    dtUFAssign_->view()->viewport()->setAcceptDrops(true);
    dtUFAssign_->view()->viewport()->installEventFilter(new NameDropTarget(*this));
}

void frmWizard::dtUFAssign_Change(int row, int column) {
    if (!ContextBudgetChosen(kSetContextText)) {
        assignments_->undoEdit(row, column);
        return;
    }
    if (column != kUserNameColumn)
        return;
    const QString typed = dtUFAssign_->cellText(row, column);
    if (typed.isEmpty()) {
        // An assignment is changed, never removed.
        assignments_->undoEdit(row, column);
    } else if (const std::optional<QString> user = completedUserName(typed)) {
        assignments_->recordset().setValue(QStringLiteral("Users"), *user);
        dtUFAssign_->setCellValue(row, column, *user);
    }
    dtUFAssign_->setColumnWidthTwips(1, kAssignWidths[1]);
}

// A dropped name lands only on the User Name column, and is stored as a typed one would be.
void frmWizard::dtUFAssign_OLEDragDrop(const QString& text, int row, int column) {
    if (column != kUserNameColumn || row < 0 || row >= dtUFAssign_->rowCount())
        return;
    dtUFAssign_->setCurrentCell(row, column);
    dtUFAssign_->editCell(row, column, text);
}

void frmWizard::cmdUserList_Click() {
    const bool show = cmdUserList_->text() == QStringLiteral("User List");
    for (int c = 0; c < kAssignWidths.size(); ++c)
        dtUFAssign_->setColumnWidthTwips(c, kAssignWidths[c]);
    dtUsersData_->setVisible(show);
    if (show) {
        FillWizardUserList();
        cmdUserList_->setText(QStringLiteral("Data Table"));
        cmdUserList_->setToolTip(QStringLiteral("Click for DataTable"));
    } else {
        cmdUserList_->setText(QStringLiteral("User List"));
        cmdUserList_->setToolTip(QStringLiteral("Click for List"));
    }
}

} // namespace wizard
