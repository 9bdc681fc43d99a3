#pragma once
// TBitmap32: the 32-bit raster surface every picture of the program lives in.
//
// Pixels are 0xAARRGGBB words (in memory: blue, green, red, alpha), rows top
// to bottom without padding -- the layout of QImage::Format_ARGB32, so a
// surface can be wrapped by a QImage without copying.
//
// How a surface combines when drawn onto another is a property of the
// *source*: DrawMode (opaque copy or the blend rule of PixelOps.h),
// MasterAlpha (extra opacity for blending) and Resampler (nearest or linear
// when stretched or transformed). OuterColor is what a linear sample reads
// outside the surface.

#include <QFont>
#include <QImage>
#include <string>
#include <vector>

#include "engine/Types.h"

enum class TDrawMode { Opaque, Blend };
enum class TCombineMode { Blend };
enum class TResamplerKind { Nearest, Linear };

class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(int width, int height) { SetSize(width, height); }

    // ---- Size ----
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    // A changed size zeroes every pixel and resets ClipRect to the whole
    // surface; an unchanged size keeps the pixels. Negative sizes count as 0.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, FHeight); }
    void SetHeight(int height) { SetSize(FWidth, height); }
    void SetSizeFrom(const TBitmap32& other) { SetSize(other.FWidth, other.FHeight); }
    TRect BoundsRect() const { return {0, 0, FWidth, FHeight}; }

    // Copies size, pixels, draw mode, master alpha and resampler kind.
    void Assign(const TBitmap32& source);

    // ---- Clipping ----
    const TRect& ClipRect() const { return FClipRect; }
    // Stored clamped to the surface.
    void SetClipRect(const TRect& r);
    void ResetClipRect() { FClipRect = BoundsRect(); }

    // ---- Filling ----
    void Clear(TColor32 color = 0xFF000000);
    void ResetAlpha(uint8_t alpha = 255);
    // Fills [x1, x2) x [y1, y2), clipped, without blending.
    void FillRect(int x1, int y1, int x2, int y2, TColor32 color);
    // 1-pixel outline of r (its right and bottom edges are r.Right - 1 and
    // r.Bottom - 1), clipped.
    void FrameRect(const TRect& r, TColor32 color);

    // ---- Drawing another surface onto this one ----
    void Draw(int x, int y, const TBitmap32& source);
    void Draw(int x, int y, const TRect& sourceRect, const TBitmap32& source);
    // Resamples sourceRect of source onto dest (clipped). Same sizes: a
    // plain Draw.
    void StretchDraw(const TRect& dest, const TRect& sourceRect, const TBitmap32& source);
    void StretchDraw(const TRect& dest, const TBitmap32& source) {
        StretchDraw(dest, source.BoundsRect(), source);
    }

    void FlipHorz();
    void FlipVert();

    // ---- Pixel access ----
    TColor32* Bits() { return FBits.data(); }
    const TColor32* Bits() const { return FBits.data(); }
    TColor32* ScanLine(int y) { return FBits.data() + size_t(y) * size_t(FWidth); }
    const TColor32* ScanLine(int y) const { return FBits.data() + size_t(y) * size_t(FWidth); }
    TColor32* PixelPtr(int x, int y) { return ScanLine(y) + x; }
    const TColor32* PixelPtr(int x, int y) const { return ScanLine(y) + x; }
    TColor32 Pixel(int x, int y) const { return ScanLine(y)[x]; }
    void SetPixel(int x, int y, TColor32 c) { ScanLine(y)[x] = c; }
    // OuterColor outside the surface.
    TColor32 PixelS(int x, int y) const {
        return (x >= 0 && y >= 0 && x < FWidth && y < FHeight) ? Pixel(x, y) : OuterColor;
    }
    void SetPixelS(int x, int y, TColor32 c) {
        if (FClipRect.Contains(x, y)) SetPixel(x, y, c);
    }
    size_t PixelCount() const { return size_t(FWidth) * size_t(FHeight); }

    // ---- Text (through Qt; the alpha of touched pixels is not meaningful) ----
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

    // A QImage sharing this surface's memory (valid until the size changes).
    QImage AsImage();
    // A copy of the pixels as a QImage (ARGB32, straight alpha).
    QImage ToImage() const;
    // Size and pixels taken from a QImage (converted to ARGB32).
    void FromImage(const QImage& image);

    TDrawMode DrawMode = TDrawMode::Opaque;
    TCombineMode CombineMode = TCombineMode::Blend;
    uint8_t MasterAlpha = 255;
    TResamplerKind Resampler = TResamplerKind::Nearest;
    TColor32 OuterColor = 0;
    QFont Font;
    TColor32 FontColor = 0xFF000000;

private:
    int FWidth = 0, FHeight = 0;
    std::vector<TColor32> FBits;
    TRect FClipRect;
};

// Combines one span of source pixels onto the destination by the source's
// draw mode and master alpha.
void CombineLine(const TColor32* src, TColor32* dst, int count, const TBitmap32& source);

enum class TCombineKind : uint8_t;

// The mapping of one StretchDraw worked out once, so that its destination
// rows can be produced one at a time: in bands on several threads, or several
// stretches of the same size row by row into one surface (a layer's picture,
// frame and masks). The rules are StretchDraw's: a source rectangle reaching
// past the surface keeps its mapping, equal sizes copy without resampling,
// and nearest or linear sampling follows the resampler given.
class TStretchPlan {
public:
    TStretchPlan(const TRect& dest, const TRect& sourceRect, const TBitmap32& source, const TRect& clip,
                 TResamplerKind resampler);
    // The destination pixels the stretch writes (empty: none).
    const TRect& Clip() const { return FClip; }
    // Destination row y of Clip(), Clip().Width() pixels, combined into dst
    // (which points at column Clip().Left of that row).
    void Row(int y, TColor32* dst, TCombineKind kind, uint32_t master) const;

private:
    enum class TKind { Empty, Direct, Nearest, Linear };
    struct TTap {
        int I0, I1;    // neighbouring source indexes (clamped into the source rectangle)
        uint32_t Frac; // weight of I1, 0..255
    };
    TKind FKind = TKind::Empty;
    const TBitmap32* FSource = nullptr;
    TRect FClip;
    int FSrcX = 0, FSrcY = 0;  // Direct: source pixel of Clip()'s top-left
    std::vector<int32_t> FXs;  // Nearest: source column of each
    std::vector<int> FYs;      // Nearest: source row of each
    std::vector<int32_t> FX0;  // Linear: left neighbour of each column
    std::vector<uint32_t> FFx; // Linear: weight of the right neighbour
    int FPairs = 0;            // Linear: leading columns with a right neighbour
    int FLastColumn = 0;       // Linear: the source rectangle's last column
    std::vector<TTap> FYTaps;  // Linear: the rows
};

// Copies only the alpha byte of each pixel of sourceRect of source into dest
// at (x, y) onward, clipped to dest's ClipRect; dest keeps its RGB.
void CopyAlpha(TBitmap32& dest, int x, int y, const TRect& sourceRect, const TBitmap32& source);

// Surface size limits: no side above 32767 pixels and no more than 250
// million pixels. Decoders check picture headers against these before they
// allocate anything.
constexpr int kMaxPictureSide = 32767;
constexpr int64_t kMaxPicturePixels = 250'000'000;
bool PictureSizeAllowed(int64_t width, int64_t height);
