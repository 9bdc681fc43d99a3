#pragma once
// Helpers shared by the codec implementations (not for use outside them).

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"
#include "engine/Codecs.h"

struct TDecodedPNG;

namespace codec {

// Name used in messages about pictures decoded from memory.
inline const char* const kMemoryName = "picture data";

// Reads a whole file (at most maxBytes when given); throws EUserError when it
// cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxBytes = SIZE_MAX);

// Throws EUserError naming the picture and its claimed size unless
// PictureSizeAllowed(width, height).
void CheckPictureSize(const std::string& name, int64_t width, int64_t height);

[[noreturn]] void ThrowCorrupt(const std::string& name, const std::string& reason);

// Writes data to a temporary file beside path, then renames it over path.
void WritePictureFile(const std::string& path, const std::vector<uint8_t>& data);

// Moves the pixels of a freshly decoded picture into out, keeping out's
// drawing properties.
void AdoptPixels(TBitmap32& out, TBitmap32&& decoded);

// Internal decoders carrying the picture's name for messages.
void DecodeJPEG(const uint8_t* data, size_t size, TBitmap32& out, const TJpegOptions& options,
                const std::string& name);
TPictureSize ReadJPEGSize(const uint8_t* data, size_t size, const std::string& name);
TDecodedPNG DecodePNG(const uint8_t* data, size_t size, const std::string& name);
void DecodePNGToBitmap(const uint8_t* data, size_t size, TBitmap32& out, const std::string& name);
TPictureSize ReadPNGSize(const uint8_t* data, size_t size, const std::string& name);
// Rgba: 8-bit RGBA; Rgb: alpha dropped; Palette: at most 256 colours;
// PaletteKeyed: the same with the entry of the transparent colour (its RGB)
// marked transparent in a tRNS chunk.
enum class TPngLayout { Rgba, Rgb, Palette, PaletteKeyed };
// Rgba and Rgb through our own writer (PngWriter.cpp), the palettes through
// libpng.
std::vector<uint8_t> EncodePNG(const TBitmap32& source, int level, TPngLayout layout, TColor32 transparent);
// Every layout through libpng, with its own filter choice and zlib.
std::vector<uint8_t> EncodePNGLibpng(const TBitmap32& source, int level, TPngLayout layout,
                                     TColor32 transparent);
// The rows of a true-colour PNG in byte order, each led by its filter type
// and filtered as libpng filters them.
std::vector<uint8_t> FilterPNGRows(const TBitmap32& source, bool alpha);
// Filtered rows as the zlib stream of the IDAT chunks at zlib's level 0..9,
// compressed in `pieces` parts at once (0: one per thread for large data).
std::vector<uint8_t> CompressPNGData(const std::vector<uint8_t>& filtered, int level, int pieces = 0);
// 8-bit RGBA (alpha) or RGB PNG: signature, IHDR, IDAT, IEND.
std::vector<uint8_t> EncodePNGTrueColor(const TBitmap32& source, int level, bool alpha, int pieces = 0);
void DecodeGIF(const uint8_t* data, size_t size, TBitmap32& out, const std::string& name);
TPictureSize ReadGIFSize(const uint8_t* data, size_t size, const std::string& name);
void DecodeBMP(const uint8_t* data, size_t size, TBitmap32& out, const std::string& name);
TPictureSize ReadBMPSize(const uint8_t* data, size_t size, const std::string& name);

} // namespace codec
