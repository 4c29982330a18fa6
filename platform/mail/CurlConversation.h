// What libcurl said to a mail server and what the server answered, line by line, taken from
// libcurl's debug callback. libcurl folds many different refusals into one error code (a
// rejected sender, recipient or message all end as one "send failed"); the conversation tells
// which command the server refused. Also the one place that initialises libcurl and owns an
// easy handle.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

typedef void CURL;

namespace platform::mail {

class CurlConversation {
public:
    struct Reply {
        QByteArray command; // the command it answers, upper case ("MAIL", "RCPT", "DATA", "." for the
                            // end of a message, "" for the greeting)
        int code = 0;       // SMTP: the three-digit code; POP3: 1 for +OK, -1 for -ERR
        QByteArray text;    // the whole line, without its line end
    };

    CurlConversation();
    ~CurlConversation();
    CurlConversation(const CurlConversation&) = delete;
    CurlConversation& operator=(const CurlConversation&) = delete;

    // The easy handle, with the debug callback installed (which needs verbose on).
    CURL* handle() const { return handle_; }

    // The command words sent so far, in order ("EHLO", "MAIL", "USER", "RETR", ...).
    const QList<QByteArray>& commands() const { return commands_; }
    const QList<Reply>& replies() const { return replies_; }
    // How often the given command word was sent.
    int count(const QByteArray& command) const;
    // The last reply, or a reply with code 0 when the server said nothing.
    Reply lastReply() const;
    void clear();

private:
    static int onDebug(CURL* handle, int type, char* data, size_t size, void* self);
    void onText(int type, const QByteArray& text);

    CURL* handle_ = nullptr;
    QList<QByteArray> commands_;
    QList<Reply> replies_;
    QByteArray lastCommand_;
    QByteArray pending_; // a reply line split over two callbacks
};

} // namespace platform::mail
