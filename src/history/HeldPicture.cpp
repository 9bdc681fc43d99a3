#include "history/HeldPicture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <zstd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Rows are compressed in bands of about a megabyte, so no step needs a
// buffer of the whole picture's size.
constexpr size_t kChunkBytes = 1 << 20;
// zstd's fastest setting: a 24-megapixel photo compresses in a fraction of
// a second on the helper thread and decompresses faster still.
constexpr int kLevel = 1;

// Each byte minus the same byte of the pixel to its left (the first pixel
// of a row as it is): photos turn into small values that compress well.
void Predict(const TColor32* rows, int width, int count, std::vector<uint8_t>& out) {
    const size_t rowBytes = size_t(width) * 4;
    out.resize(rowBytes * size_t(count));
    for (int y = 0; y < count; ++y) {
        const uint8_t* src = reinterpret_cast<const uint8_t*>(rows + size_t(y) * size_t(width));
        uint8_t* dst = out.data() + size_t(y) * rowBytes;
        for (size_t i = 0; i < 4 && i < rowBytes; ++i) dst[i] = src[i];
        for (size_t i = 4; i < rowBytes; ++i) dst[i] = uint8_t(src[i] - src[i - 4]);
    }
}

void Unpredict(uint8_t* rows, int width, int count) {
    const size_t rowBytes = size_t(width) * 4;
    for (int y = 0; y < count; ++y) {
        uint8_t* row = rows + size_t(y) * rowBytes;
        for (size_t i = 4; i < rowBytes; ++i) row[i] = uint8_t(row[i] + row[i - 4]);
    }
}

std::string CacheRoot() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/velmora";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.cache/velmora";
}

// ---- The store: queue, helper thread, memory account, folder ----

class TStore {
public:
    ~TStore() {
        {
            std::lock_guard<std::mutex> g(FLock);
            FStop = true;
        }
        FWake.notify_all();
        if (FWorker.joinable()) FWorker.join();
        RemoveFolder();
    }

    void Enqueue(const std::vector<THistoryPicture>& pictures) {
        std::lock_guard<std::mutex> g(FLock);
        for (const THistoryPicture& p : pictures) {
            if (!p || p->Form() != THeldPicture::TForm::Raw || p->Queued.exchange(true)) continue;
            FQueue.push_back(p);
        }
        if (!FWorker.joinable()) FWorker = std::thread([this] { Run(); });
        FWake.notify_all();
    }

    void Wait(int pending) {
        std::unique_lock<std::mutex> g(FLock);
        FDone.wait(g, [&] { return int(FQueue.size()) + (FBusy ? 1 : 0) <= std::max(pending, 0); });
    }

    std::atomic<size_t> Budget{size_t(256) << 20};
    std::atomic<size_t> Compressed{0};

    std::string Folder() {
        std::lock_guard<std::mutex> g(FFolderLock);
        return FFolder;
    }

    // Creates this process's folder and holds the lock on its lock file.
    std::string EnsureFolder() {
        std::lock_guard<std::mutex> g(FFolderLock);
        if (!FFolder.empty()) return FFolder;
        std::error_code ec;
        const std::string root = CacheRoot();
        fs::create_directories(root, ec);
        std::random_device rd;
        const std::string dir =
            root + "/history-" + std::to_string(getpid()) + "-" + std::to_string(rd() & 0xFFFFFF);
        if (!fs::create_directory(dir, ec)) return {};
        const int fd = ::open((dir + "/lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (fd >= 0) ::close(fd);
            fs::remove_all(dir, ec);
            return {};
        }
        FLockFd = fd;
        FFolder = dir;
        return FFolder;
    }

    // Compressed pictures by age, oldest first: the first to spill.
    void NoteCompressed(const THistoryPicture& p) {
        std::lock_guard<std::mutex> g(FLock);
        FCompressedOrder.push_back(p);
    }

private:
    void Run() {
        std::unique_lock<std::mutex> g(FLock);
        for (;;) {
            FWake.wait(g, [&] { return FStop || !FQueue.empty(); });
            if (FStop) return;
            std::weak_ptr<THeldPicture> next = FQueue.front();
            FQueue.pop_front();
            THistoryPicture picture = next.lock();
            if (!picture) continue;
            FBusy = true;
            g.unlock();
            if (picture->Compress()) {
                NoteCompressed(picture);
                KeepBudget();
            }
            picture.reset(); // may free the picture: outside the store's lock
            g.lock();
            FBusy = false;
            FDone.notify_all();
        }
    }

    // Moves the oldest compressed pictures to files while the memory they
    // hold is over the budget.
    void KeepBudget() {
        for (;;) {
            if (Compressed.load() <= Budget.load()) return;
            THistoryPicture oldest;
            {
                std::lock_guard<std::mutex> g(FLock);
                while (!FCompressedOrder.empty() && !oldest) {
                    oldest = FCompressedOrder.front().lock();
                    FCompressedOrder.pop_front();
                }
            }
            if (!oldest) return;
            const std::string folder = EnsureFolder();
            if (folder.empty() || !oldest->Spill(folder)) return; // kept in memory
        }
    }

    void RemoveFolder() {
        std::lock_guard<std::mutex> g(FFolderLock);
        if (FFolder.empty()) return;
        std::error_code ec;
        fs::remove_all(FFolder, ec);
        if (FLockFd >= 0) ::close(FLockFd);
        FFolder.clear();
    }

    std::mutex FLock;
    std::condition_variable FWake, FDone;
    std::deque<std::weak_ptr<THeldPicture>> FQueue;
    std::deque<std::weak_ptr<THeldPicture>> FCompressedOrder;
    std::thread FWorker;
    bool FStop = false, FBusy = false;
    std::mutex FFolderLock;
    std::string FFolder;
    int FLockFd = -1;
};

TStore& Store() {
    static TStore store;
    return store;
}

} // namespace

// ---- THeldPicture ----

THeldPicture::THeldPicture(const TBitmap32& picture)
    : FWidth(picture.Width()), FHeight(picture.Height()), FMasterAlpha(picture.MasterAlpha),
      FDrawMode(picture.DrawMode), FResampler(picture.Resampler),
      FPixels(picture.Bits(), picture.Bits() + picture.PixelCount()) {}

THeldPicture::THeldPicture(TBitmap32&& picture) : THeldPicture(static_cast<const TBitmap32&>(picture)) {
    picture.SetSize(0, 0);
}

THeldPicture::~THeldPicture() {
    Store().Compressed -= FCompressedBytes;
    if (!FFile.empty()) std::remove(FFile.c_str());
}

THeldPicture::TForm THeldPicture::Form() const {
    std::lock_guard<std::mutex> g(FLock);
    return FForm;
}

size_t THeldPicture::HeldBytes() const {
    std::lock_guard<std::mutex> g(FLock);
    switch (FForm) {
    case TForm::Raw:
        return FPixels.size() * 4;
    case TForm::Compressed:
        return FCompressedBytes;
    default:
        return 0;
    }
}

bool THeldPicture::Compress() {
    // the raw pixels do not change while this runs: only this thread ever
    // changes the form
    if (Form() != TForm::Raw) return false;
    const int rows = std::max(1, int(kChunkBytes / (size_t(std::max(FWidth, 1)) * 4)));
    std::vector<std::vector<uint8_t>> chunks;
    std::vector<uint8_t> predicted, packed;
    size_t total = 0;
    for (int y = 0; y < FHeight; y += rows) {
        const int count = std::min(rows, FHeight - y);
        Predict(FPixels.data() + size_t(y) * size_t(FWidth), FWidth, count, predicted);
        packed.resize(ZSTD_compressBound(predicted.size()));
        const size_t n =
            ZSTD_compress(packed.data(), packed.size(), predicted.data(), predicted.size(), kLevel);
        if (ZSTD_isError(n)) return false; // stays raw
        chunks.emplace_back(packed.begin(), packed.begin() + std::ptrdiff_t(n));
        total += n;
    }
    std::vector<TColor32> freed;
    {
        std::lock_guard<std::mutex> g(FLock);
        FChunks = std::move(chunks);
        FChunkRows = rows;
        FCompressedBytes = total;
        FForm = TForm::Compressed;
        freed.swap(FPixels);
    }
    Store().Compressed += total;
    return true;
}

bool THeldPicture::Spill(const std::string& folder) {
    std::vector<std::vector<uint8_t>> chunks;
    {
        std::lock_guard<std::mutex> g(FLock);
        if (FForm != TForm::Compressed) return false;
    }
    static std::atomic<uint64_t> counter{0};
    const std::string file = folder + "/" + std::to_string(++counter) + ".pic";
    std::vector<uint32_t> sizes;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        // reading the chunks needs no lock: only this thread replaces them
        for (const std::vector<uint8_t>& c : FChunks) {
            out.write(reinterpret_cast<const char*>(c.data()), std::streamsize(c.size()));
            sizes.push_back(uint32_t(c.size()));
        }
        out.flush();
        if (!out) {
            out.close();
            std::remove(file.c_str());
            return false;
        }
    }
    size_t bytes;
    {
        std::lock_guard<std::mutex> g(FLock);
        chunks.swap(FChunks);
        FChunkSizes = std::move(sizes);
        FFile = file;
        FForm = TForm::Spilled;
        bytes = FCompressedBytes;
        FCompressedBytes = 0;
    }
    Store().Compressed -= bytes;
    return true;
}

void THeldPicture::Decode(TBitmap32& target, const std::vector<std::vector<uint8_t>>& chunks) const {
    TBitmap32 out(FWidth, FHeight);
    int y = 0;
    for (const std::vector<uint8_t>& c : chunks) {
        const int count = std::min(FChunkRows, FHeight - y);
        const size_t bytes = size_t(FWidth) * 4 * size_t(count);
        uint8_t* dst = reinterpret_cast<uint8_t*>(out.ScanLine(y));
        const size_t n = ZSTD_decompress(dst, bytes, c.data(), c.size());
        if (ZSTD_isError(n) || n != bytes) throw std::runtime_error("damaged history picture");
        Unpredict(dst, FWidth, count);
        y += count;
    }
    if (y != FHeight) throw std::runtime_error("damaged history picture");
    out.MasterAlpha = FMasterAlpha;
    out.DrawMode = FDrawMode;
    out.Resampler = FResampler;
    target = std::move(out);
}

void THeldPicture::CopyTo(TBitmap32& target) const {
    std::lock_guard<std::mutex> g(FLock);
    switch (FForm) {
    case TForm::Raw: {
        TBitmap32 out(FWidth, FHeight);
        if (!FPixels.empty()) std::memcpy(out.Bits(), FPixels.data(), FPixels.size() * 4);
        out.MasterAlpha = FMasterAlpha;
        out.DrawMode = FDrawMode;
        out.Resampler = FResampler;
        target = std::move(out);
        return;
    }
    case TForm::Compressed:
        Decode(target, FChunks);
        return;
    case TForm::Spilled: {
        std::ifstream in(FFile, std::ios::binary);
        std::vector<std::vector<uint8_t>> chunks;
        for (uint32_t size : FChunkSizes) {
            std::vector<uint8_t> c(size);
            if (!in.read(reinterpret_cast<char*>(c.data()), std::streamsize(size)))
                throw std::runtime_error(FFile + ": " + std::strerror(errno ? errno : EIO));
            chunks.push_back(std::move(c));
        }
        Decode(target, chunks);
        return;
    }
    }
}

bool THeldPicture::SamePixels(const TBitmap32& picture) const {
    if (picture.Width() != FWidth || picture.Height() != FHeight) return false;
    {
        std::lock_guard<std::mutex> g(FLock);
        if (FForm == TForm::Raw)
            return FPixels.empty() || std::memcmp(FPixels.data(), picture.Bits(), FPixels.size() * 4) == 0;
    }
    TBitmap32 mine;
    CopyTo(mine);
    return mine.PixelCount() == 0 || std::memcmp(mine.Bits(), picture.Bits(), mine.PixelCount() * 4) == 0;
}

THistoryPicture HoldPicture(const TBitmap32& picture) {
    return std::make_shared<THeldPicture>(picture);
}

// ---- The store ----

void CompressHeldPictures(const std::vector<THistoryPicture>& pictures) {
    Store().Enqueue(pictures);
}
void WaitForHeldPictures(int pending) {
    Store().Wait(pending);
}
void SetHeldPictureMemoryBudget(size_t bytes) {
    Store().Budget = bytes;
}
size_t HeldPictureMemoryBudget() {
    return Store().Budget;
}
size_t CompressedPictureBytes() {
    return Store().Compressed;
}
std::string HeldPictureFolder() {
    return Store().Folder();
}

void CleanAbandonedHistoryFolders() {
    std::error_code ec;
    const fs::path root = CacheRoot();
    if (!fs::is_directory(root, ec)) return;
    const std::string mine = Store().Folder();
    for (const fs::directory_entry& e : fs::directory_iterator(root, ec)) {
        const std::string name = e.path().filename().string();
        if (!name.starts_with("history-") || !e.is_directory(ec) || e.path().string() == mine) continue;
        // a running program holds an exclusive lock on its lock file
        const int fd = ::open((e.path() / "lock").c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        if (fd >= 0) ::close(fd);
        fs::remove_all(e.path(), ec);
    }
}
