#pragma once
// Splitting a large drawing's rows between threads.
//
// A full-resolution render (export, printing, the wallpaper) draws pictures
// of many megapixels, and the user waits for it; within a TParallelDrawScope
// the big drawing routines hand bands of their destination rows to helper
// threads. Bands never share a destination row, and every row is computed
// exactly as it would be alone, so the result does not depend on the split.
// The screen path never opens the scope: repaints stay on one thread.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class TParallelDrawScope {
public:
    TParallelDrawScope();
    ~TParallelDrawScope();
    TParallelDrawScope(const TParallelDrawScope&) = delete;
    TParallelDrawScope& operator=(const TParallelDrawScope&) = delete;
};

// The most threads any split of work uses: the cores (at most four), capped
// by VELMORA_THREADS (1: everything on the calling thread).
int ThreadLimit();

// body(i) for every i in [0, count), spread over up to ThreadLimit()
// threads (the calling thread among them); jobs are taken in order as
// threads become free. body must not throw. For independent pieces of work
// of a command the user waits for (decoding the pictures of a project).
template <class F> void ForEachJob(int count, F&& body) {
    const int n = std::min(ThreadLimit(), count);
    if (n <= 1) {
        for (int i = 0; i < count; ++i) body(i);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++) body(i);
    };
    std::vector<std::thread> helpers;
    try {
        helpers.reserve(size_t(n - 1));
        for (int t = 1; t < n; ++t) helpers.emplace_back(work);
    } catch (...) {
        // no thread to be had: the calling thread does the rest
    }
    work();
    for (std::thread& t : helpers) t.join();
}

// How many bands a drawing of this many rows and pixels is split into on
// this thread now: 1 outside the scope or for small drawings.
int DrawBandCount(int rows, int64_t pixels);

// body(firstRow, endRow) over [top, bottom) in bands; the first band runs on
// the calling thread. body must not throw.
template <class F> void ForRowBands(int top, int bottom, int64_t pixels, F&& body) {
    const int rows = bottom - top;
    const int n = DrawBandCount(rows, pixels);
    if (n <= 1) {
        body(top, bottom);
        return;
    }
    auto band = [top, rows, n](int i, int& first, int& end) {
        first = top + int(int64_t(rows) * i / n);
        end = top + int(int64_t(rows) * (i + 1) / n);
    };
    std::vector<std::thread> helpers;
    int started = 1;
    try {
        helpers.reserve(size_t(n - 1));
        for (; started < n; ++started) {
            int first, end;
            band(started, first, end);
            helpers.emplace_back([&body, first, end] { body(first, end); });
        }
    } catch (...) {
        // no thread to be had: the bands left run here
    }
    int first, end;
    band(0, first, end);
    body(first, end);
    for (int i = started; i < n; ++i) {
        band(i, first, end);
        body(first, end);
    }
    for (std::thread& t : helpers) t.join();
}
