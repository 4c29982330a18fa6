// A question the explorer tree asks its window before it acts on a node: the handler
// sets `cancel` to stop the action. Handlers must be connected directly (the default for
// objects of one thread), since the tree reads the flag as soon as the signal returns.
#pragma once

namespace platform::ui {

struct ExplorerRequest {
    int node = -1;
    bool cancel = false;
};

} // namespace platform::ui
