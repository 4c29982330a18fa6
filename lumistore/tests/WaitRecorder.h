// Stands in for the program's wait window while a test of the data store library runs: installs
// hooks that record each opening and closing and the captions of the steps, and takes them away
// again at the end of the test.
#pragma once

#include "lumistore/WaitWindowHooks.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace storetest {

class WaitRecorder {
public:
    struct Seen {
        int opened = 0;
        int closed = 0;
        // "table / operation" of each step, a repeat of the step before shown once, the
        // steps without a table left out.
        QStringList captions;
    };

    WaitRecorder() {
        lumistore::setWaitWindowHooks(
            {[seen = seen_] { ++seen->opened; },
             [seen = seen_](const QString& table, const QString& operation, int, int) {
                 const QString caption = table + QStringLiteral(" / ") + operation;
                 if (!table.isEmpty() && (seen->captions.isEmpty() || seen->captions.last() != caption))
                     seen->captions << caption;
             },
             [seen = seen_] { ++seen->closed; }});
    }
    ~WaitRecorder() { lumistore::setWaitWindowHooks({}); }
    WaitRecorder(const WaitRecorder&) = delete;
    WaitRecorder& operator=(const WaitRecorder&) = delete;

    const Seen& seen() const { return *seen_; }
    // True while an operation holds the window open.
    bool open() const { return seen_->opened > seen_->closed; }

private:
    std::shared_ptr<Seen> seen_ = std::make_shared<Seen>();
};

} // namespace storetest
