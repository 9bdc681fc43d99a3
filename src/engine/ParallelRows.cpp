#include "engine/ParallelRows.h"

#include <algorithm>

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

int DrawBandCount(int rows, int64_t pixels) {
    if (tScopeDepth <= 0 || pixels < kMinParallelPixels || rows < 16) return 1;
    static const int cores = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    return std::min(cores, rows / 8);
}
