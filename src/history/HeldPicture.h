#pragma once
// Pictures kept by history records. A filter step keeps the picture before
// and after the filter, and on a 24-megapixel photo each is 96 MB, so:
//
//  - a record's picture is immutable and reference-counted: neighbouring
//    steps that hold the same picture (the picture after one filter is the
//    one before the next) share it;
//  - a picture starts raw, and once a newer step is opened it is compressed
//    losslessly on a helper thread (rows predicted from their left
//    neighbours, then zstd), which keeps it in a fraction of the memory;
//  - when the compressed pictures of all histories together pass a memory
//    budget, the oldest of them move to a file in this process's own
//    folder of the user's cache folder, which is removed at exit (and, after
//    a crash, by a later start once no running program holds it).
//
// Restoring a picture in any of its forms gives back every pixel exactly.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"

class THeldPicture {
public:
    enum class TForm { Raw, Compressed, Spilled };

    // A copy of the picture, or the picture itself (moved).
    explicit THeldPicture(const TBitmap32& picture);
    explicit THeldPicture(TBitmap32&& picture);
    ~THeldPicture();
    THeldPicture(const THeldPicture&) = delete;
    THeldPicture& operator=(const THeldPicture&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    uint8_t MasterAlpha() const { return FMasterAlpha; }
    // Size, pixels, draw mode, master alpha and resampler into target. A
    // spilled picture whose file cannot be read throws with the reason; the
    // target is then left as it was.
    void CopyTo(TBitmap32& target) const;
    // Same size and pixels (the draw settings are not compared).
    bool SamePixels(const TBitmap32& picture) const;

    TForm Form() const;
    // Memory the picture holds now (pixels or compressed bytes).
    size_t HeldBytes() const;

    // ---- For the store's helper thread ----
    // Compresses a raw picture (false when it was not raw any more).
    bool Compress();
    // Writes a compressed picture to a file of the folder (false when it was
    // not compressed, or the file could not be written: it then stays).
    bool Spill(const std::string& folder);
    std::atomic<bool> Queued{false};

private:
    void Decode(TBitmap32& target, const std::vector<std::vector<uint8_t>>& chunks) const;

    int FWidth = 0, FHeight = 0, FChunkRows = 0;
    uint8_t FMasterAlpha = 255;
    TDrawMode FDrawMode = TDrawMode::Opaque;
    TResamplerKind FResampler = TResamplerKind::Nearest;
    mutable std::mutex FLock; // guards the form change against readers
    TForm FForm = TForm::Raw;
    std::vector<TColor32> FPixels;             // raw
    std::vector<std::vector<uint8_t>> FChunks; // compressed: one per band of rows
    std::vector<uint32_t> FChunkSizes;         // spilled: sizes of the chunks in the file
    std::string FFile;                         // spilled
    size_t FCompressedBytes = 0;
};

using THistoryPicture = std::shared_ptr<THeldPicture>;

// A held copy of the picture.
THistoryPicture HoldPicture(const TBitmap32& picture);

// ---- The process-wide store behind the held pictures ----

// Queues raw pictures for compression on the helper thread.
void CompressHeldPictures(const std::vector<THistoryPicture>& pictures);
// Waits until at most `pending` queued pictures are still raw (1 for none
// but the one being compressed); bounds the raw pictures a quick series of
// steps can pile up.
void WaitForHeldPictures(int pending);
// Compressed bytes kept in memory by all pictures above which the oldest
// are written to the cache folder (default 256 MB).
void SetHeldPictureMemoryBudget(size_t bytes);
size_t HeldPictureMemoryBudget();
// Memory held by compressed pictures now.
size_t CompressedPictureBytes();
// This process's folder for spilled pictures ("" until the first spill).
std::string HeldPictureFolder();
// Removes the history folders of programs no longer running (each running
// program keeps a lock on a file in its own folder). Called at start-up.
void CleanAbandonedHistoryFolders();
