// What the update engine needs around it when it runs on its own, outside the program and its
// tests (the fuzz target, the probe program of the update tests): a folder of its own -- in
// memory where the system has one, since the engine writes an errors row for most inputs -- that
// holds the settings, the data folder and a copy of the master database the build made; the
// options, with the budget "Fuzz" in context, and the connection; and a dialog service that
// answers every question with its first button and keeps the texts.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace workbooks::fuzz {

class UpdateReadEnvironment {
public:
    explicit UpdateReadEnvironment(const QString& masterDatabase);
    ~UpdateReadEnvironment();
    UpdateReadEnvironment(const UpdateReadEnvironment&) = delete;
    UpdateReadEnvironment& operator=(const UpdateReadEnvironment&) = delete;

    // The texts the engine showed or asked since the last call.
    QStringList takeMessages();

private:
    QTemporaryDir folder_;
    std::shared_ptr<QStringList> messages_;
};

} // namespace workbooks::fuzz
