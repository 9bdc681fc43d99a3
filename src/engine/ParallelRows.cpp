#include "engine/ParallelRows.h"

#include <algorithm>
#include <cstdlib>

namespace {
thread_local int tScopeDepth = 0;
thread_local int tScopeThreads = 0; // 0: the whole budget
// Below this a helper thread costs more than it saves.
constexpr int64_t kMinParallelPixels = 1 << 18;
} // namespace

TParallelDrawScope::TParallelDrawScope(int maxThreads)
    : FSavedDepth(tScopeDepth), FSavedThreads(tScopeThreads) {
    ++tScopeDepth;
    if (maxThreads > 0) tScopeThreads = tScopeThreads > 0 ? std::min(tScopeThreads, maxThreads) : maxThreads;
}
TParallelDrawScope::~TParallelDrawScope() {
    tScopeDepth = FSavedDepth;
    tScopeThreads = FSavedThreads;
}

parallel_detail::TSerialHere::TSerialHere() : SavedDepth(tScopeDepth) {
    tScopeDepth = 0;
}
parallel_detail::TSerialHere::~TSerialHere() {
    tScopeDepth = SavedDepth;
}

int ThreadBudget() {
    static const int budget = [] {
        int n = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        if (const char* cap = std::getenv("VELMORA_THREADS"); cap && std::atoi(cap) > 0)
            n = std::min(n, std::atoi(cap));
        return n;
    }();
    return budget;
}

int DrawThreadCount() {
    if (tScopeDepth <= 0) return 1;
    return tScopeThreads > 0 ? std::min(tScopeThreads, ThreadBudget()) : ThreadBudget();
}

int DrawBandCount(int rows, int64_t pixels) {
    const int threads = DrawThreadCount();
    if (threads <= 1 || pixels < kMinParallelPixels || rows < 16) return 1;
    return std::min(threads, rows / 8);
}
