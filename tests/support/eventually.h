#pragma once
// Waiting in tests without hanging them: a fault shows as a failed check,
// not as a test that never ends.

#include <chrono>
#include <functional>

// Polls `condition`, every `interval`, until it holds or `limit` has passed.
// A condition that costs the machine something (a look at a window) is polled
// less often, to leave the program under test its share.
bool Eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(10),
                std::chrono::milliseconds interval = std::chrono::milliseconds(1));

// Runs `work` on a thread of its own; false when it has not finished within
// `limit` (it is then left behind, stuck).
bool FinishesWithin(std::function<void()> work,
                    std::chrono::milliseconds limit = std::chrono::seconds(10));
