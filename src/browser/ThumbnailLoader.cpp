#include "browser/ThumbnailLoader.h"

#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "browser/Thumbnail.h"
#include "engine/DecodePool.h"

namespace {
struct TThumbResult {
    bool Ok = false;
    TBitmap32 Picture;
};
} // namespace

TThumbnailLoader::TThumbnailLoader(QObject* parent) : QObject(parent) {}

// The watchers are children: destroying them detaches every running request,
// whose worker then finishes and its result is thrown away.
TThumbnailLoader::~TThumbnailLoader() = default;

QThreadPool* TThumbnailLoader::Pool() {
    return DecodePool();
}

uint64_t TThumbnailLoader::Request(const std::string& path, int boxWidth, int boxHeight) {
    const uint64_t ticket = FNextTicket++;
    FQueue.push_back({ticket, path, boxWidth, boxHeight});
    Pump();
    return ticket;
}

void TThumbnailLoader::Cancel(uint64_t ticket) {
    auto queued =
        std::find_if(FQueue.begin(), FQueue.end(), [&](const TJob& j) { return j.Ticket == ticket; });
    if (queued != FQueue.end()) {
        FQueue.erase(queued);
    } else {
        auto running = std::find(FRunningWanted.begin(), FRunningWanted.end(), ticket);
        if (running == FRunningWanted.end()) return;
        FRunningWanted.erase(running);
    }
    if (Idle()) emit Finished();
}

void TThumbnailLoader::Abandon() {
    FQueue.clear();
    FRunningWanted.clear();
    FValidFrom = FNextTicket;
}

void TThumbnailLoader::Pump() {
    const int limit = MaxInFlight > 0 ? MaxInFlight : 2 * Pool()->maxThreadCount();
    while (FInFlight < limit && !FQueue.empty()) {
        TJob job = std::move(FQueue.front());
        FQueue.pop_front();
        ++FInFlight;
        FRunningWanted.push_back(job.Ticket);
        auto* watcher = new QFutureWatcher<TThumbResult>(this);
        const uint64_t ticket = job.Ticket;
        connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, ticket] {
            TThumbResult r = watcher->future().takeResult();
            watcher->deleteLater();
            --FInFlight;
            Deliver(ticket, r.Ok, r.Picture);
        });
        // the worker sees only its own copy of the job: nothing it touches is
        // shared with this thread
        watcher->setFuture(QtConcurrent::run(Pool(), [job = std::move(job)] {
            TThumbResult r;
            r.Ok = LoadThumbnail(job.Path, job.BoxWidth, job.BoxHeight, r.Picture);
            return r;
        }));
    }
}

void TThumbnailLoader::Deliver(uint64_t ticket, bool ok, TBitmap32& picture) {
    auto it = std::find(FRunningWanted.begin(), FRunningWanted.end(), ticket);
    const bool wanted = it != FRunningWanted.end() && ticket >= FValidFrom;
    if (it != FRunningWanted.end()) FRunningWanted.erase(it);
    if (wanted && OnLoaded) OnLoaded(ticket, ok, picture);
    Pump();
    if (wanted && Idle()) emit Finished();
}
