// See AnswersFileUi.h.
#include "lumidesk/AnswersFileUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>

namespace lumidesk {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

QString& transcriptPath() {
    static QString path;
    return path;
}

QString oneLine(QString text) {
    return text.replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\n"));
}

void writeTranscript(const QStringList& fields) {
    if (transcriptPath().isEmpty())
        return;
    QFile file(transcriptPath());
    if (file.open(QIODevice::Append | QIODevice::Text)) {
        QStringList line;
        for (const QString& field : fields)
            line << oneLine(field);
        file.write((line.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
    }
}

const std::map<QString, Answer>& answerWords() {
    static const std::map<QString, Answer> words = {
        {QStringLiteral("ok"), Answer::Ok},         {QStringLiteral("cancel"), Answer::Cancel},
        {QStringLiteral("abort"), Answer::Abort},   {QStringLiteral("retry"), Answer::Retry},
        {QStringLiteral("ignore"), Answer::Ignore}, {QStringLiteral("yes"), Answer::Yes},
        {QStringLiteral("no"), Answer::No}};
    return words;
}

// Writes the top-level windows' showing and closing to the transcript and closes the windows
// the answers file names once they are shown.
class WindowWatcher final : public QObject {
public:
    using ControlAction = AnswersFileUi::ControlAction;

    WindowWatcher(QStringList formsToClose, std::vector<ControlAction> actions, QObject* parent)
        : QObject(parent)
        , formsToClose_(std::move(formsToClose))
        , actions_(std::move(actions)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow() || widget->objectName().isEmpty())
            return false;
        if (event->type() == QEvent::Show) {
            writeTranscript({QStringLiteral("shown"), widget->objectName()});
            playActions(widget);
            if (formsToClose_.contains(widget->objectName(), Qt::CaseInsensitive)) {
                QPointer<QWidget> target(widget);
                QTimer::singleShot(0, widget, [target] {
                    if (target)
                        target->close();
                });
            }
        } else if (event->type() == QEvent::Close) {
            writeTranscript({QStringLiteral("closed"), widget->objectName()});
        }
        return false;
    }

private:
    // Fills the boxes and presses the buttons listed for this window, once it has shown.
    void playActions(QWidget* window) {
        std::vector<ControlAction> mine;
        for (auto it = actions_.begin(); it != actions_.end();) {
            if (it->form.compare(window->objectName(), Qt::CaseInsensitive) == 0) {
                mine.push_back(*it);
                it = actions_.erase(it);
            } else {
                ++it;
            }
        }
        if (mine.empty())
            return;
        QPointer<QWidget> target(window);
        QTimer::singleShot(0, window, [target, mine] {
            for (const ControlAction& action : mine) {
                if (!target)
                    return;
                if (action.click) {
                    if (auto* button = target->findChild<QAbstractButton*>(action.control))
                        button->click();
                } else if (auto* box = target->findChild<QLineEdit*>(action.control)) {
                    box->setText(action.text);
                }
            }
        });
    }

    QStringList formsToClose_;
    std::vector<ControlAction> actions_;
};

// "<form>.<control>" of a type or click line.
std::pair<QString, QString> formAndControl(const QString& text) {
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return {text.left(dot), text.mid(dot + 1)};
}

} // namespace

bool AnswersFileUi::installFromEnvironment() {
    const QString answersPath = qEnvironmentVariable("LUMIDESK_TEST_ANSWERS");
    if (answersPath.isEmpty())
        return false;
    QStringList entries;
    QFile file(answersPath);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        entries = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    auto service = std::make_unique<AnswersFileUi>(entries, qEnvironmentVariable("LUMIDESK_TEST_TRANSCRIPT"));
    if (qApp)
        qApp->installEventFilter(new WindowWatcher(service->formsToClose(), service->controlActions(), qApp));
    platform::ui::installUi(std::move(service));
    return true;
}

void AnswersFileUi::note(const QString& text) {
    writeTranscript({QStringLiteral("note"), text});
}

AnswersFileUi::AnswersFileUi(const QStringList& entries, QString transcript) {
    transcriptPath() = std::move(transcript);
    for (const QString& raw : entries) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty() || entry.startsWith(QLatin1Char('#')))
            continue;
        if (entry == QStringLiteral("text-cancel")) {
            textAnswers_.push_back(std::nullopt);
        } else if (entry.startsWith(QStringLiteral("text "))) {
            textAnswers_.push_back(entry.mid(5));
        } else if (entry.startsWith(QStringLiteral("close "))) {
            formsToClose_ << entry.mid(6).trimmed();
        } else if (entry.startsWith(QStringLiteral("click "))) {
            const auto [form, control] = formAndControl(entry.mid(6).trimmed());
            controlActions_.push_back({form, control, true, QString()});
        } else if (entry.startsWith(QStringLiteral("type "))) {
            const QString rest = entry.mid(5).trimmed();
            const qsizetype blank = rest.indexOf(QLatin1Char(' '));
            const auto [form, control] = formAndControl(rest.left(blank));
            controlActions_.push_back({form, control, false, blank < 0 ? QString() : rest.mid(blank + 1)});
        } else if (const auto found = answerWords().find(entry.toLower()); found != answerWords().end()) {
            messageAnswers_.push_back(found->second);
        }
    }
}

Answer AnswersFileUi::message(const platform::ui::Message& message) {
    writeTranscript({QStringLiteral("message"), message.title, message.text});
    if (messageAnswers_.empty())
        return platform::ui::firstAnswer(message.buttons);
    const Answer answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
}

std::optional<QString> AnswersFileUi::nextText(const QString& kind, const QString& title,
                                               const QString& text) {
    writeTranscript({kind, title, text});
    if (textAnswers_.empty())
        return std::nullopt;
    const bool cancelled = !textAnswers_.front().has_value();
    const QString answer = textAnswers_.front().value_or(QString());
    textAnswers_.pop_front();
    if (cancelled)
        return std::nullopt;
    return answer;
}

std::optional<QString> AnswersFileUi::input(const QString& prompt, const QString& title, const QString&) {
    return nextText(QStringLiteral("input"), title, prompt);
}

std::optional<QString> AnswersFileUi::password(const QString& prompt, const QString& title) {
    return nextText(QStringLiteral("password"), title, prompt);
}

std::optional<QString> AnswersFileUi::openFile(const platform::ui::FileRequest& request) {
    return nextText(QStringLiteral("openFile"), request.title, request.filter);
}

std::optional<QString> AnswersFileUi::saveFile(const platform::ui::FileRequest& request) {
    return nextText(QStringLiteral("saveFile"), request.title, request.filter);
}

std::optional<QString> AnswersFileUi::chooseFolder(const platform::ui::FileRequest& request) {
    return nextText(QStringLiteral("chooseFolder"), request.title, request.initialPath);
}

} // namespace lumidesk
