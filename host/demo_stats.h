#pragma once

#include <cstdlib>

// PLASMA_DEMO_STATS=1: counts of the run on stderr as it ends.
inline bool DemoStatsWanted() {
    const char* stats = std::getenv("PLASMA_DEMO_STATS");
    return stats != nullptr && *stats == '1';
}
