// The add-in's entry object and the library's one C entry point (see cBridge.h). Each command
// runs the add-in's operation and turns a failure into the automation error the host receives:
// the number and description of a database, workbook or data store error, 91 for an operation
// called before OnOpenWorkBook, the general failure number for anything else.
#include "lumicell/AddIn.h"
#include "lumicell/cBridge.h"
#include "lumistore/LumistoreError.h"
#include "platform/db/DbError.h"
#include "platform/sheet/SheetError.h"

#include <functional>

namespace lumicell {

namespace {

AutomationResult failure(const std::exception& error) {
    if (const auto* db = dynamic_cast<const platform::db::DbError*>(&error))
        return {db->number(), db->description()};
    if (const auto* sheet = dynamic_cast<const platform::sheet::SheetError*>(&error))
        return {sheet->number(), sheet->description()};
    if (const auto* store = dynamic_cast<const lumistore::LumistoreError*>(&error))
        return {store->number(), store->description()};
    if (dynamic_cast<const NotStartedError*>(&error))
        return {NotStartedError::kNumber, QString::fromUtf8(error.what())};
    return {platform::db::DbError::kGeneral, QString::fromUtf8(error.what())};
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
