#include "tests/support/eventually.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit,
                std::chrono::milliseconds interval) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
    return true;
}

bool FinishesWithin(std::function<void()> work, std::chrono::milliseconds limit) {
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
    };
    auto state = std::make_shared<Done>();
    std::thread([state, work = std::move(work)] {
        work();
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        state->changed.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(state->mutex);
    return state->changed.wait_for(lock, limit, [&] { return state->done; });
}
