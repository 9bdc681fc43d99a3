#pragma once
// A small picture of a project for file managers. Saving a project writes
// the composed page, kPreviewSize pixels on its longer side, as PNG data
// inside the project file (element "Preview" of the root "File", base64;
// readers that do not know the element skip it) -- file managers run
// thumbnailers in a sandbox that sees only the project file, not the folder
// beside it -- and puts the same picture into the freedesktop thumbnail
// cache, so the file manager shows it at once.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"

class TCollageDocument;

constexpr int kPreviewSize = 256;
// Name of the element in the project file.
inline constexpr const char* kPreviewElement = "Preview";

// The page with every content layer, shrunk (area average) to kPreviewSize
// on its longer side, never enlarged. Empty when a layer cannot be drawn.
TBitmap32 ComposePreview(TCollageDocument& doc);

// The preview kept in a project file (the ".clv" itself), decoded, and the
// size of the page it shows (0 x 0 when not recorded). False when the file
// holds none or it cannot be read.
bool ReadProjectPreview(const std::string& projectFile, TBitmap32& preview, int* pageWidth = nullptr,
                        int* pageHeight = nullptr);

// A picture shrunk to `size` on its longer side (area average; never
// enlarged).
TBitmap32 FitPreview(const TBitmap32& picture, int size);

// PNG data of a picture with text chunks ("keyword", "text") after its
// header, as the thumbnail cache wants them.
std::vector<uint8_t> PngWithText(const TBitmap32& picture,
                                 const std::vector<std::pair<std::string, std::string>>& text);

// Where the freedesktop thumbnail cache keeps the picture of a file:
// $XDG_CACHE_HOME/thumbnails/normal (128 pixels) or large (256 pixels) +
// "/" + the MD5 of the file's URI in hexadecimal + ".png".
std::string DesktopThumbnailPath(const std::string& file, bool large);
// Writes both sizes for the file from its preview, with the URI and the
// file's modification time the cache checks. Failures are ignored: the
// cache is only a convenience.
void WriteDesktopThumbnails(const std::string& file, const TBitmap32& preview);
