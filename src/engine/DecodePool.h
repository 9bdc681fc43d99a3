#pragma once
// The decode pool: picture files decoded on several threads at once, the
// thumbnails of a folder among them. It keeps to the thread budget of
// ParallelRows.h (VELMORA_THREADS), as ForEachJob does for the pictures of a
// project while it opens or exports.

#include <string>
#include <vector>

#include "engine/Bitmap32.h"

class QThreadPool;

// The pool (owned by the application object when there is one).
QThreadPool* DecodePool();

// One decoded file: the picture, or why there is none.
struct TDecodedPicture {
    TBitmap32 Picture;
    // Empty when decoded; otherwise "file: reason" as the picture loader
    // reports it (EUserError::Detail), also for running out of memory.
    std::string Error;
    bool Ok() const { return Error.empty(); }
};

// Decodes every file as DecodePictureFile does, on the calling thread and the
// pool's free threads; the results come in the order of the paths. Nothing
// is shown and nothing is thrown for a file: its failure is its Error.
std::vector<TDecodedPicture> DecodePictures(const std::vector<std::string>& paths);

// Moves a decoded picture into target, which keeps its drawing properties
// (draw mode, master alpha, resampler...) as after the picture loader.
void TakeDecodedPicture(TDecodedPicture& decoded, TBitmap32& target);
