#include "core/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace zanfold {

int workerCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

bool runParallel(int count, int workers, const std::function<void(int)>& work, Ui& ui,
                 const std::function<void(int)>& onProgress, const CancelFlag* cancel) {
    if (count <= 0) return false;
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<int> stopped{0}; // workers that left their loop
    std::mutex mutex;
    std::condition_variable changed;
    const int threads = std::clamp(workers, 1, count);
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (int i = next++; i < count && !(cancel && cancel->requested()); i = next++) {
                work(i);
                ++done;
                changed.notify_one();
            }
            ++stopped;
            changed.notify_one();
        });
    }
    int reported = -1;
    while (true) {
        const int now = done.load();
        if (now != reported) {
            reported = now;
            if (onProgress) onProgress(now);
        }
        if (now == count || stopped.load() == threads) break;
        ui.processEvents();
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::milliseconds(10), [&] { return done.load() != reported; });
    }
    for (std::thread& t : pool)
        t.join();
    if (onProgress && done.load() != reported) onProgress(done.load());
    return done.load() < count;
}

} // namespace zanfold
