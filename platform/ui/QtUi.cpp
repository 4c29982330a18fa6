// The Ui service over Qt's standard dialogs; see QtUi.h.
#include "platform/ui/QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <utility>
#include <vector>

namespace platform::ui {

namespace {

using Pair = std::pair<QMessageBox::StandardButton, Answer>;

std::vector<Pair> buttonsOf(Buttons buttons) {
    using B = QMessageBox;
    switch (buttons) {
    case Buttons::Ok:
        return {{B::Ok, Answer::Ok}};
    case Buttons::OkCancel:
        return {{B::Ok, Answer::Ok}, {B::Cancel, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
        return {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}, {B::Ignore, Answer::Ignore}};
    case Buttons::YesNoCancel:
        return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
    case Buttons::YesNo:
        return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
    case Buttons::RetryCancel:
        return {{B::Retry, Answer::Retry}, {B::Cancel, Answer::Cancel}};
    }
    return {{B::Ok, Answer::Ok}};
}

QMessageBox::Icon iconOf(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A plain text longer than this many lines or characters scrolls in a box of its own.
constexpr int kShortLines = 12;
constexpr int kShortLength = 1000;

// Shows a long plain text in a read-only box that scrolls, below the text's first line, in the
// place the message box keeps for a second text.
void showScrolling(QMessageBox& box, const QString& text) {
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    box.setText(lineEnd < 0 ? text.left(200) : text.left(std::min<qsizetype>(lineEnd, 200)));
    auto* view = new QPlainTextEdit(text, &box);
    view->setObjectName(QStringLiteral("messageText"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setFixedSize(560, 280);
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    if (!grid->itemAtPosition(1, 1))
        grid->addWidget(view, 1, 1);
    else
        grid->addWidget(view, grid->rowCount(), 0, 1, grid->columnCount());
}

QString titleOr(const QString& title) {
    return title.isEmpty() ? QApplication::applicationName() : title;
}

// Accepts one chosen file only; several are refused, and the dialog stays for another choice.
class OneFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        if (selectedFiles().size() > 1) {
            QMessageBox::information(this, windowTitle(), kOneFileText);
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

Answer QtUi::message(const Message& message) {
    QMessageBox box(iconOf(message.icon), titleOr(message.title), message.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (message.plainText) {
        box.setTextFormat(Qt::PlainText);
        if (message.text.count(QLatin1Char('\n')) > kShortLines || message.text.size() > kShortLength)
            showScrolling(box, message.text);
    }
    const auto pairs = buttonsOf(message.buttons);
    QMessageBox::StandardButtons all;
    for (const auto& [button, answer] : pairs)
        all |= button;
    box.setStandardButtons(all);
    const int def = std::clamp(message.defaultButton, 1, static_cast<int>(pairs.size())) - 1;
    box.setDefaultButton(pairs[def].first);
    // The close box answers Cancel where Cancel is offered, else the only button there is.
    const auto escape =
        std::find_if(pairs.begin(), pairs.end(), [](const Pair& p) { return p.second == Answer::Cancel; });
    box.setEscapeButton(escape != pairs.end() ? escape->first : pairs.back().first);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& [button, answer] : pairs)
        if (button == clicked)
            return answer;
    return escape != pairs.end() ? Answer::Cancel : pairs.back().second;
}

std::optional<QString> QtUi::input(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), titleOr(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> QtUi::password(const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), titleOr(title), prompt,
                                               QLineEdit::Password, {}, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> QtUi::openFile(const FileRequest& request) {
    OneFileDialog dialog(QApplication::activeWindow(), request.title, request.initialPath, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtUi::saveFile(const FileRequest& request) {
    const QFileDialog::Options options = request.confirmOverwrite
                                             ? QFileDialog::Options()
                                             : QFileDialog::Options(QFileDialog::DontConfirmOverwrite);
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), request.title,
                                                      request.initialPath, request.filter, nullptr, options);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> QtUi::chooseFolder(const FileRequest& request) {
    const QString path =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), request.title, request.initialPath);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

} // namespace platform::ui
