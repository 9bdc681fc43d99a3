#pragma once
// Picture codecs: JPEG (libjpeg-turbo), PNG (libpng), GIF (giflib) and BMP
// (own reader and writer), all decoding into and encoding from TBitmap32.
//
// Every decoder treats its input as untrusted: a header claiming a picture
// larger than PictureSizeAllowed permits is refused before any pixel memory
// is allocated, and truncated or corrupt data throws EUserError with a text
// naming the file. A decoder that throws leaves its target untouched; one
// that succeeds replaces the target's size and pixels and keeps its drawing
// properties (draw mode, master alpha, resampler, outer colour).
//
// Encoders write to a temporary file beside the target and rename it into
// place, so a failed write never leaves a half-written picture behind; a
// failed write throws EUserError naming the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"

struct TPictureSize {
    int Width = 0, Height = 0;
    bool operator==(const TPictureSize&) const = default;
};

// ---- JPEG ----

// More scans than this in one JPEG is refused: real progressive files use a
// dozen, crafted ones use thousands to make decoding crawl.
constexpr int kMaxJpegScans = 100;

struct TJpegOptions {
    // When either is positive the decoder scales in the DCT domain by the
    // largest of 1/2, 1/4 and 1/8 whose result still covers MinWidth x
    // MinHeight (thumbnails); 0 x 0 decodes at full size. The minimum is
    // compared with the picture as stored, before EXIF rotation.
    int MinWidth = 0, MinHeight = 0;
    // Turn the picture upright by its EXIF orientation tag.
    bool ApplyOrientation = true;
};

// Opaque 0xFFRRGGBB pixels; greyscale and CMYK/YCCK pictures convert to RGB.
void DecodeJPEGFile(const std::string& path, TBitmap32& out, const TJpegOptions& options = {});
void DecodeJPEGMemory(const uint8_t* data, size_t size, TBitmap32& out, const TJpegOptions& options = {});
// Size from the header only, as the picture will appear (EXIF orientations
// 5-8 swap width and height).
TPictureSize ReadJPEGSize(const std::string& path);
TPictureSize ReadJPEGSizeMemory(const uint8_t* data, size_t size);
// Baseline (SOF0) JPEG, 4:2:0, quality 1..100; alpha is dropped.
void EncodeJPEGFile(const std::string& path, const TBitmap32& source, int quality = 90);
std::vector<uint8_t> EncodeJPEGMemory(const TBitmap32& source, int quality = 90);

// ---- PNG ----
// Decoding with the transparency details of the file is DecodePNGFile /
// DecodePNGMemory of PictureUtils.h; these give the finished picture.

// Colour types 4 and 6 carry their alpha; a grey or RGB tRNS colour becomes
// alpha 0; palette tRNS alphas are applied per entry. 16-bit samples keep
// their high byte.
void DecodePNGToBitmapFile(const std::string& path, TBitmap32& out);
void DecodePNGToBitmapMemory(const uint8_t* data, size_t size, TBitmap32& out);
TPictureSize ReadPNGSize(const std::string& path);
TPictureSize ReadPNGSizeMemory(const uint8_t* data, size_t size);
// 8-bit RGBA PNG with the source alpha, zlib level 0..9 (the compression
// effort; the data is compressed by libdeflate on every core).
void EncodePNGFile(const std::string& path, const TBitmap32& source, int level = 9);
std::vector<uint8_t> EncodePNGMemory(const TBitmap32& source, int level = 9);
// The same picture written by libpng with zlib, as other programs write it:
// the yardstick the writer above is measured and tested against.
std::vector<uint8_t> EncodePNGMemoryLibpng(const TBitmap32& source, int level = 9);

// ---- GIF ----

// First frame only, placed on its logical screen; screen areas the frame does
// not cover and the frame's transparent index are alpha 0, all else 255.
void DecodeGIFFile(const std::string& path, TBitmap32& out);
void DecodeGIFMemory(const uint8_t* data, size_t size, TBitmap32& out);
// Logical screen size.
TPictureSize ReadGIFSize(const std::string& path);
TPictureSize ReadGIFSizeMemory(const uint8_t* data, size_t size);
// At most 256 colours, no dithering, no transparency: the exact colours when
// the picture has 256 or fewer, otherwise a median-cut palette with
// nearest-colour mapping. Alpha is ignored.
void EncodeGIFFile(const std::string& path, const TBitmap32& source);
std::vector<uint8_t> EncodeGIFMemory(const TBitmap32& source);

// Palette of at most maxColors colours for the RGB of source (alpha ignored)
// and the palette index of every pixel; exact when the picture has no more
// colours than that. Palette entries are 0x00RRGGBB.
struct TQuantized {
    std::vector<TColor32> Palette;
    std::vector<uint8_t> Indexes; // row-major, one per pixel
};
TQuantized QuantizeColors(const TBitmap32& source, int maxColors = 256);

// ---- BMP ----

// 1/4/8-bit palette (also RLE4/RLE8), 16/24/32-bit with or without bit
// fields, top-down or bottom-up. Alpha comes from an alpha bit field when the
// file declares one; otherwise pixels are opaque.
void DecodeBMPFile(const std::string& path, TBitmap32& out);
void DecodeBMPMemory(const uint8_t* data, size_t size, TBitmap32& out);
TPictureSize ReadBMPSize(const std::string& path);
TPictureSize ReadBMPSizeMemory(const uint8_t* data, size_t size);
// 32-bit BMP (BITMAPV4 header with an alpha bit field) keeping the alpha.
void EncodeBMPFile(const std::string& path, const TBitmap32& source);
std::vector<uint8_t> EncodeBMPMemory(const TBitmap32& source);

// ---- Any format ----

enum class TPictureFormat { Unknown, Jpeg, Png, Gif, Bmp };
// Recognised from the first bytes of the data, not from a file name.
TPictureFormat SniffPictureFormat(const uint8_t* data, size_t size);
// Decodes by content; unknown data throws EUserError.
void DecodePictureMemory(const uint8_t* data, size_t size, TBitmap32& out);
TPictureSize ReadPictureSize(const std::string& path);
