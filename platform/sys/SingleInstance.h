// Keeps the program to one running instance per user. The first instance listens on a
// local socket whose name is derived from the user's settings file; a later start finds it
// listening, asks it to bring its window forward and ends. A socket left behind by an
// instance that crashed is taken over.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace platform::sys {

class SingleInstance {
public:
    // key: what makes two starts the same program for the same user (the settings file).
    explicit SingleInstance(const QString& key);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when no other instance runs: this one now answers later starts. False when one
    // runs.
    bool claim();

    // Asks the running instance to bring its window forward; true when it was reached.
    bool activateRunning() const;

    // Called (in the event loop) each time a later start asks this instance to come forward.
    void onActivationRequested(std::function<void()> handler) { handler_ = std::move(handler); }

    // The local socket name for a key.
    static QString serverName(const QString& key);

private:
    bool isAnswering() const;
    void acceptRequests();

    QString name_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> handler_;
};

} // namespace platform::sys
