#pragma once
// Splitting a large drawing between threads.
//
// A full-resolution render (export, printing, the wallpaper) draws pictures
// of many megapixels, and the user waits for it; within a TParallelDrawScope
// the big drawing routines hand bands of their destination rows to helper
// threads, and the page composes several layers' pictures at once. Bands
// never share a destination row, and every row is computed exactly as it
// would be alone, so the result does not depend on the split. The screen
// path never opens the scope: repaints stay on one thread.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class TParallelDrawScope {
public:
    // At most maxThreads threads (0: as many as ThreadBudget() allows).
    explicit TParallelDrawScope(int maxThreads = 0);
    ~TParallelDrawScope();
    TParallelDrawScope(const TParallelDrawScope&) = delete;
    TParallelDrawScope& operator=(const TParallelDrawScope&) = delete;

private:
    int FSavedDepth, FSavedThreads;
};

// The threads the program puts to work at once: the machine's cores (at most
// four), capped by the environment variable VELMORA_THREADS (1: everything
// on the calling thread). Every pool of the program keeps to it.
int ThreadBudget();

// Threads a drawing may use on this thread now: 1 outside the scope.
int DrawThreadCount();

// body(i) for every i in [0, count), spread over up to ThreadBudget()
// threads (the calling thread among them); jobs are taken in order as
// threads become free. body must not throw. For independent pieces of work
// of a command the user waits for (decoding the pictures of a project).
template <class F> void ForEachJob(int count, F&& body) {
    const int n = std::min(ThreadBudget(), count);
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

namespace parallel_detail {
// Runs body(i) for i in [0, count) on the calling thread with parallel
// drawing switched off there (helpers never have it on).
struct TSerialHere {
    TSerialHere();
    ~TSerialHere();
    int SavedDepth;
};
} // namespace parallel_detail

// body(first, end) over [top, bottom) in bands; the first band runs on the
// calling thread. body must not throw.
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

// body(i) once for every i in [0, count), on up to `threads` threads (the
// calling one among them), each taking the next index as it gets free.
// Within body no drawing is split further. body must not throw.
template <class F> void ForEachConcurrently(int count, int threads, F&& body) {
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++) body(i);
    };
    std::vector<std::thread> helpers;
    try {
        for (int t = 1; t < std::min(threads, count); ++t) helpers.emplace_back(work);
    } catch (...) {
        // fewer helpers: the calling thread takes the rest
    }
    {
        parallel_detail::TSerialHere serial;
        work();
    }
    for (std::thread& t : helpers) t.join();
}
