// A routine that a lower layer calls and the program supplies at start-up: a hook. Layers
// never link upwards; where one needs a routine of a higher one (the wizard's user-file
// register sync for the cut, the program's windows for the mail windows), it keeps a hook and
// the program installs the routine before the first window shows.
//
// Every hook registers itself under a name when the process starts, so that a test of the
// program's wiring can list them all and check that none was forgotten. A hook that is called
// without having been installed is a fault of the wiring, not a feature the user lacks: get()
// then throws HookNotInstalled, which the caller's error trap reports.
#pragma once

#include <QString>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace platform::sys {

class HookNotInstalled : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// One registered hook as the wiring check sees it.
struct HookState {
    QString name;
    bool installed = false;
};

// Every hook of the process, in the order they registered.
std::vector<HookState> programHooks();

class HookRegistration {
public:
    HookRegistration(const char* name, std::function<bool()> installed);
};

// A hook holding a T: a std::function, or a struct of them (installed when each is set).
template <class T> class ProgramHook {
public:
    explicit ProgramHook(const char* name)
        : name_(name)
        , registration_(name, [this] { return installed(); }) {}
    ProgramHook(const ProgramHook&) = delete;
    ProgramHook& operator=(const ProgramHook&) = delete;

    void install(T routine) { routine_ = std::move(routine); }
    bool installed() const { return isSet(routine_); }
    // The installed routine; throws HookNotInstalled when it is not.
    const T& get() const {
        if (!installed())
            throw HookNotInstalled(std::string("The program did not install its ") + name_ + ".");
        return routine_;
    }
    // The routine as it is, empty when not installed: for hooks whose absence means "nothing
    // to do" (a program without the window they reach).
    const T& current() const { return routine_; }

private:
    template <class F> static bool isSet(const std::function<F>& routine) { return bool(routine); }
    template <class S> static bool isSet(const S& hooks) { return hooks.complete(); }

    const char* name_;
    T routine_{};
    HookRegistration registration_;
};

} // namespace platform::sys
