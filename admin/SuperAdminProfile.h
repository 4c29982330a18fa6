// The super-administrator profile: the real row of SuperAdminUser (the one that is not the
// placeholder "<Dummy record>"), whose two options every logon reads into the options object.
// The console writes them, each as the scrambled form of a fixed word: Copy_Permissions
// "True" or "False", View_Mode "All" or "Context".
#pragma once

namespace admin {

inline constexpr const char* kCorruptedProfileText =
    "The SuperAdminUser profile is corrupted and needs to be re-created.";

// "Require permission to copy": a profile of one row (even the placeholder) takes the value;
// a placeholder followed by the real row loses the placeholder and the real row takes it;
// any other profile is reported corrupted and nothing is stored.
void StoreCopyPermission(bool required);

// "All data" / "Context Only": the first real row takes the view; a profile of placeholders
// only stores nothing.
void StoreViewMode(bool contextOnly);

} // namespace admin
