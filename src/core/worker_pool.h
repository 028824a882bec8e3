#pragma once

#include "core/ui.h"

#include <functional>

namespace zanfold {

// Number of workers for parallel jobs: one per core.
int workerCount();

// Runs work(i) for every i in [0, count) on `workers` threads that pull the next item from a shared
// counter, so fast and slow items balance out. Each item must touch only its own data. The calling
// (user-interface) thread waits, keeps the window alive through ui.processEvents() and reports the number of
// finished items through onProgress whenever it changed. Returns when every item is done.
void runParallel(int count, int workers, const std::function<void(int)>& work, Ui& ui,
                 const std::function<void(int done)>& onProgress);

} // namespace zanfold
