// The add-in's entry object and the library's one C entry point (see cBridge.h). Each command
// runs the add-in's operation and turns a failure into the automation error the host receives:
// the number and description of a database, workbook or data store error, 91 for an operation
// called before OnOpenWorkBook, the general failure number for anything else.
#include "core/ErrorMessage.h"
#include "lumicell/AddIn.h"
#include "lumicell/cBridge.h"
#include "platform/db/DbError.h"

#include <functional>

namespace lumicell {

namespace {

AutomationResult failure(const std::exception& error) {
    if (dynamic_cast<const NotStartedError*>(&error))
        return {NotStartedError::kNumber, QString::fromUtf8(error.what())};
    const core::ErrorInfo info = core::ErrorInfoOf(error);
    return {info.number, info.description};
}

AutomationResult run(const std::function<void()>& operation) {
    try {
        operation();
        return {};
    } catch (const std::exception& error) {
        return failure(error);
    } catch (...) {
        return {platform::db::DbError::kGeneral, QStringLiteral("The add-in failed.")};
    }
}

// The entry object holds no state: every instance works on the add-in's one context.
class Bridge final : public cBridge {
public:
    AutomationResult OnOpenWorkBook(platform::sheet::Application& oApp) override {
        return run([&oApp] { lumicell::OnOpenWorkBook(oApp); });
    }
    AutomationResult AboutBudget() override { return run(lumicell::AboutBudget); }
    AutomationResult BuildBudget() override { return run(lumicell::BuildBudget); }
    AutomationResult Configure() override { return run(lumicell::Configure); }
    AutomationResult RunBudget() override { return run(lumicell::RunBudget); }
    AutomationResult AppShutdown() override { return run(lumicell::AppShutdown); }
};

} // namespace

} // namespace lumicell

extern "C" __attribute__((visibility("default"))) lumicell::cBridge* LumicellCreateBridge() {
    return new lumicell::Bridge;
}
