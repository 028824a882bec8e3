#include "core/worker_pool.h"

#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace zanfold {
namespace {

// A cancel stops new items from starting; the ones begun finish, and nothing runs after the return.
TEST(WorkerPool, CancelLetsBegunItemsFinishAndStartsNoOther) {
    for (int workers : {1, 3}) {
        test::RecordingUi ui;
        CancelFlag cancel;
        std::vector<std::atomic<int>> ran(200);
        std::atomic<int> started{0};
        ui.onProcessEvents = [&] {
            if (started.load() >= 5) cancel.request();
        };
        const bool cancelled = runParallel(
            200, workers,
            [&](int i) {
                ++started;
                std::this_thread::sleep_for(std::chrono::milliseconds(2)); // a photo's worth of work, roughly
                ran[i].store(1);
            },
            ui, {}, &cancel);
        EXPECT_TRUE(cancelled) << workers;
        int count = 0;
        for (auto& r : ran)
            count += r.load();
        EXPECT_EQ(count, started.load());
        EXPECT_LT(count, 200);
        const int after = count;
        EXPECT_EQ(started.load(), after); // the workers are joined: nothing more runs
    }
    test::RecordingUi ui;
    CancelFlag untouched;
    EXPECT_FALSE(runParallel(
        10, 2, [](int) {}, ui, {}, &untouched));
}

} // namespace
} // namespace zanfold
