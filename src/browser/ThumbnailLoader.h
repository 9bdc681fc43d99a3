#pragma once
// Makes thumbnails on worker threads and hands them back on the thread that
// owns the loader (the user-interface thread), so that a grid can show its
// cells at once and fill them in while the window goes on repainting,
// scrolling and taking other commands.
//
// Requests are kept in a small queue of the loader's own: only a few are
// handed to the worker pool at a time, so that abandoning a folder drops the
// rest without their ever being decoded. Results of abandoned or cancelled
// requests are dropped; destroying the loader drops everything still on its
// way (a worker that is busy finishes its file and its result is discarded).

#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"

class QThreadPool;

class TThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit TThumbnailLoader(QObject* parent = nullptr);
    ~TThumbnailLoader() override;

    // Called on the loader's thread for every request that was neither
    // abandoned nor cancelled: ok false for a file that makes no picture.
    // The picture may be moved from.
    std::function<void(uint64_t ticket, bool ok, TBitmap32& picture)> OnLoaded;

    // Queues a thumbnail of `path` for a box of boxWidth x boxHeight
    // (LoadThumbnail); requests start in the order they were made. Returns
    // the ticket that OnLoaded reports.
    uint64_t Request(const std::string& path, int boxWidth, int boxHeight);
    // Forgets one request: dropped from the queue, or its result discarded.
    void Cancel(uint64_t ticket);
    // Forgets every request made so far.
    void Abandon();

    // Requests whose result is still to come (queued or running).
    int Pending() const { return int(FQueue.size() + FRunningWanted.size()); }
    bool Idle() const { return Pending() == 0; }

    // Most requests handed to the pool at once (running or waiting there).
    int MaxInFlight = 0; // 0: twice the pool's thread count

    // The pool the thumbnails are made on: the program's one decode pool
    // (engine/DecodePool.h), shared by every loader.
    static QThreadPool* Pool();

signals:
    // The last pending request of the current batch has been answered.
    void Finished();

private:
    struct TJob {
        uint64_t Ticket;
        std::string Path;
        int BoxWidth, BoxHeight;
    };
    void Pump();
    void Deliver(uint64_t ticket, bool ok, TBitmap32& picture);

    std::deque<TJob> FQueue;
    std::vector<uint64_t> FRunningWanted; // handed to the pool and still wanted
    uint64_t FNextTicket = 1;
    uint64_t FValidFrom = 1; // tickets below this were abandoned
    int FInFlight = 0;       // handed to the pool, wanted or not
};
