#include "engine/ParallelRows.h"

#include <algorithm>
#include <cstdlib>

namespace {
thread_local int tScopeDepth = 0;
// Below this a helper thread costs more than it saves.
constexpr int64_t kMinParallelPixels = 1 << 18;
} // namespace

TParallelDrawScope::TParallelDrawScope() {
    ++tScopeDepth;
}
TParallelDrawScope::~TParallelDrawScope() {
    --tScopeDepth;
}

int ThreadLimit() {
    // VELMORA_THREADS caps the count (1: everything on the calling thread)
    static const int cores = [] {
        int n = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        if (const char* cap = std::getenv("VELMORA_THREADS"); cap && std::atoi(cap) > 0)
            n = std::min(n, std::atoi(cap));
        return n;
    }();
    return cores;
}

int DrawBandCount(int rows, int64_t pixels) {
    if (tScopeDepth <= 0 || pixels < kMinParallelPixels || rows < 16) return 1;
    const int cores = ThreadLimit();
    if (cores <= 1) return 1;
    return std::min(cores, rows / 8);
}
