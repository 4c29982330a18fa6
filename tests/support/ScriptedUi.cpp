// The scripted test double of the Ui service; see ScriptedUi.h.
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace testsupport {

using platform::ui::Answer;
using platform::ui::Buttons;

void ScriptedUi::answerMessages(std::initializer_list<Answer> answers) {
    messageAnswers_.insert(messageAnswers_.end(), answers);
}

void ScriptedUi::answerTexts(std::initializer_list<std::optional<QString>> answers) {
    textAnswers_.insert(textAnswers_.end(), answers);
}

QStringList ScriptedUi::messageTexts() const {
    QStringList texts;
    for (const auto& a : asked_)
        if (a.kind == QLatin1String("message"))
            texts << a.text;
    return texts;
}

Answer ScriptedUi::message(const platform::ui::Message& message) {
    Asked asked;
    asked.kind = QStringLiteral("message");
    asked.text = message.text;
    asked.title = message.title;
    asked.buttons = message.buttons;
    asked.icon = message.icon;
    asked.plainText = message.plainText;
    asked_.push_back(asked);
    if (whileAsking_)
        whileAsking_();
    if (!messageAnswers_.empty()) {
        const Answer a = messageAnswers_.front();
        messageAnswers_.pop_front();
        return a;
    }
    if (message.buttons == Buttons::Ok || acceptUnscripted_)
        return platform::ui::firstAnswer(message.buttons);
    ADD_FAILURE() << "unscripted question: " << message.text.toStdString();
    return Answer::Cancel;
}

std::optional<QString> ScriptedUi::nextText(const QString& kind, const QString& text, const QString& title) {
    Asked asked;
    asked.kind = kind;
    asked.text = text;
    asked.title = title;
    asked_.push_back(asked);
    if (textAnswers_.empty()) {
        ADD_FAILURE() << "unscripted " << kind.toStdString() << ": " << text.toStdString();
        return std::nullopt;
    }
    const bool cancelled = !textAnswers_.front().has_value();
    const QString answer = textAnswers_.front().value_or(QString());
    textAnswers_.pop_front();
    if (cancelled)
        return std::nullopt;
    return answer;
}

std::optional<QString> ScriptedUi::input(const QString& prompt, const QString& title,
                                         const QString& defaultText) {
    auto answer = nextText(QStringLiteral("input"), prompt, title);
    asked_.back().defaultText = defaultText;
    return answer;
}

std::optional<QString> ScriptedUi::password(const QString& prompt, const QString& title) {
    return nextText(QStringLiteral("password"), prompt, title);
}

std::optional<QString> ScriptedUi::openFile(const platform::ui::FileRequest& r) {
    auto answer = nextText(QStringLiteral("openFile"), r.title, r.title);
    asked_.back().initialPath = r.initialPath;
    asked_.back().filter = r.filter;
    return answer;
}

std::optional<QString> ScriptedUi::saveFile(const platform::ui::FileRequest& r) {
    auto answer = nextText(QStringLiteral("saveFile"), r.title, r.title);
    asked_.back().initialPath = r.initialPath;
    asked_.back().filter = r.filter;
    asked_.back().confirmOverwrite = r.confirmOverwrite;
    return answer;
}

std::optional<QString> ScriptedUi::chooseFolder(const platform::ui::FileRequest& r) {
    auto answer = nextText(QStringLiteral("chooseFolder"), r.title, r.title);
    asked_.back().initialPath = r.initialPath;
    asked_.back().filter = r.filter;
    return answer;
}

ScopedScriptedUi::ScopedScriptedUi() {
    auto scripted = std::make_unique<ScriptedUi>();
    ui_ = scripted.get();
    previous_ = platform::ui::installUi(std::move(scripted));
}

ScopedScriptedUi::~ScopedScriptedUi() {
    platform::ui::installUi(std::move(previous_));
}

} // namespace testsupport
