#include "engine/DecodePool.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "engine/CodecSupport.h"
#include "engine/Errors.h"
#include "engine/ParallelRows.h"
#include "engine/PictureUtils.h"

QThreadPool* DecodePool() {
    static QPointer<QThreadPool> pool;
    static std::mutex creating;
    std::lock_guard lock(creating);
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setObjectName("DecodePool");
        pool->setMaxThreadCount(ThreadBudget());
    }
    return pool;
}

namespace {
TDecodedPicture DecodeOne(const std::string& path) {
    TDecodedPicture r;
    try {
        DecodePictureFile(path, r.Picture);
    } catch (const EUserError& e) {
        r.Error = e.Detail();
    } catch (const std::exception& e) {
        r.Error = path + ": " + e.what();
    }
    if (!r.Ok()) r.Picture = TBitmap32();
    return r;
}
} // namespace

std::vector<TDecodedPicture> DecodePictures(const std::vector<std::string>& paths) {
    const int n = int(paths.size());
    std::vector<TDecodedPicture> results(paths.size());
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < n; i = next++) results[size_t(i)] = DecodeOne(paths[size_t(i)]);
    };
    // Helpers only from threads that are free now (the thumbnails of a grid
    // may hold the others): the calling thread decodes what is left.
    std::mutex m;
    std::condition_variable done;
    int running = 0;
    QThreadPool* pool = DecodePool();
    for (int h = 1; h < std::min(n, pool->maxThreadCount()); ++h) {
        {
            std::lock_guard lock(m);
            ++running;
        }
        const bool started = pool->tryStart([&] {
            work();
            std::lock_guard lock(m);
            if (--running == 0) done.notify_one();
        });
        if (!started) {
            std::lock_guard lock(m);
            --running;
            break;
        }
    }
    work();
    std::unique_lock lock(m);
    done.wait(lock, [&] { return running == 0; });
    return results;
}

void TakeDecodedPicture(TDecodedPicture& decoded, TBitmap32& target) {
    codec::AdoptPixels(target, std::move(decoded.Picture));
}
