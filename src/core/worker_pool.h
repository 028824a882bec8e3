#pragma once

#include "core/ui.h"

#include <atomic>
#include <functional>
#include <memory>

namespace zanfold {

// A request to stop running work, set from the user-interface thread (a key, a button, a signal) and read by
// the workers between items. Movable, so AppState stays movable.
class CancelFlag {
public:
    void request() { flag_->store(true, std::memory_order_relaxed); }
    void clear() { flag_->store(false, std::memory_order_relaxed); }
    bool requested() const { return flag_->load(std::memory_order_relaxed); }

private:
    std::unique_ptr<std::atomic<bool>> flag_ = std::make_unique<std::atomic<bool>>(false);
};

// Number of workers for parallel jobs: one per core.
int workerCount();

// Runs work(i) for every i in [0, count) on `workers` threads that pull the next item from a shared
// counter, so fast and slow items balance out. Each item must touch only its own data. The calling
// (user-interface) thread waits, keeps the window alive through ui.processEvents() and reports the number of
// finished items through onProgress whenever it changed. Returns when every item is done, or, once `cancel`
// is requested, when the items already begun are done (no new one starts); true when it was cancelled.
bool runParallel(int count, int workers, const std::function<void(int)>& work, Ui& ui,
                 const std::function<void(int done)>& onProgress, const CancelFlag* cancel = nullptr);

} // namespace zanfold
