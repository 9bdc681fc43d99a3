#include "engine/Bitmap32.h"

#include <QFontMetrics>
#include <QPainter>
#include <cstring>

#include "engine/ParallelRows.h"
#include "engine/PixelOps.h"

bool PictureSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

void TBitmap32::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0) width = height = 0;
    if (width == FWidth && height == FHeight) return;
    FBits.assign(size_t(width) * size_t(height), 0);
    FBits.shrink_to_fit();
    FWidth = width;
    FHeight = height;
    FClipRect = BoundsRect();
}

void TBitmap32::Assign(const TBitmap32& source) {
    if (&source == this) return;
    FWidth = source.FWidth;
    FHeight = source.FHeight;
    FBits = source.FBits;
    FClipRect = BoundsRect();
    DrawMode = source.DrawMode;
    MasterAlpha = source.MasterAlpha;
    Resampler = source.Resampler;
}

void TBitmap32::SetClipRect(const TRect& r) {
    FClipRect = Intersect(r, BoundsRect());
}

void TBitmap32::Clear(TColor32 color) {
    std::fill(FBits.begin(), FBits.end(), color);
}

void TBitmap32::ResetAlpha(uint8_t alpha) {
    const TColor32 a = TColor32(alpha) << 24;
    for (auto& p : FBits) p = (p & 0x00FFFFFFu) | a;
}

void TBitmap32::FillRect(int x1, int y1, int x2, int y2, TColor32 color) {
    TRect r = Intersect({x1, y1, x2, y2}, FClipRect);
    if (r.IsEmpty()) return;
    for (int y = r.Top; y < r.Bottom; ++y) std::fill(PixelPtr(r.Left, y), PixelPtr(r.Right, y), color);
}

void TBitmap32::FrameRect(const TRect& r, TColor32 color) {
    if (r.IsEmpty()) return;
    FillRect(r.Left, r.Top, r.Right, r.Top + 1, color);
    FillRect(r.Left, r.Bottom - 1, r.Right, r.Bottom, color);
    FillRect(r.Left, r.Top, r.Left + 1, r.Bottom, color);
    FillRect(r.Right - 1, r.Top, r.Right, r.Bottom, color);
}

void CombineLine(const TColor32* src, TColor32* dst, int count, const TBitmap32& source) {
    CombineSpan(src, dst, count,
                source.DrawMode == TDrawMode::Opaque ? TCombineKind::Copy : TCombineKind::Blend,
                source.MasterAlpha);
}

void TBitmap32::Draw(int x, int y, const TBitmap32& source) {
    Draw(x, y, source.BoundsRect(), source);
}

void TBitmap32::Draw(int x, int y, const TRect& sourceRect, const TBitmap32& source) {
    if (Empty() || source.Empty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    if (&source == this) {
        // Drawing a surface onto itself: work from a copy of the source.
        TBitmap32 copy;
        copy.Assign(source);
        Draw(x, y, sourceRect, copy);
        return;
    }
    TRect src = Intersect(sourceRect, source.BoundsRect());
    // keep the destination position of the clipped source rectangle
    x += src.Left - sourceRect.Left;
    y += src.Top - sourceRect.Top;
    TRect dst = Intersect({x, y, x + src.Width(), y + src.Height()}, FClipRect);
    if (dst.IsEmpty()) return;
    const int sx = src.Left + (dst.Left - x), sy = src.Top + (dst.Top - y);
    for (int row = 0; row < dst.Height(); ++row)
        CombineLine(source.PixelPtr(sx, sy + row), PixelPtr(dst.Left, dst.Top + row), dst.Width(), source);
}

namespace {

// Nearest neighbour: destination column i of a span of dw pixels reads source
// column floor((i + 0.5) * sw / dw).
template <class T>
void BuildNearestMap(std::vector<T>& map, int first, int count, int dw, int sw, int srcOrigin) {
    map.resize(size_t(count));
    for (int k = 0; k < count; ++k) {
        int64_t i = first + k;
        map[size_t(k)] = srcOrigin + int(((2 * i + 1) * int64_t(sw)) / (2 * int64_t(dw)));
    }
}

// Linear: the sample position of destination pixel i is
// (i + 0.5) * sw / dw - 0.5 in 16.16 fixed point, clamped into the source
// rectangle, so edge pixels repeat instead of fading. Calls
// tap(k, i0, i1, frac) for every pixel k of the span.
template <class F> void ForLinearTaps(int first, int count, int dw, int sw, int srcOrigin, F tap) {
    const int64_t maxPos = int64_t(sw - 1) << 16;
    for (int k = 0; k < count; ++k) {
        int64_t i = first + k;
        int64_t pos = ((2 * i + 1) * int64_t(sw) * 65536) / (2 * int64_t(dw)) - 32768;
        pos = std::clamp<int64_t>(pos, 0, maxPos);
        int i0 = int(pos >> 16);
        int i1 = std::min(i0 + 1, sw - 1);
        tap(k, srcOrigin + i0, srcOrigin + i1, uint32_t((pos >> 8) & 0xFF));
    }
}

} // namespace

TStretchPlan::TStretchPlan(const TRect& destRect, const TRect& sourceRect, const TBitmap32& source,
                           const TRect& clip, TResamplerKind resampler)
    : FSource(&source) {
    TRect dest = destRect;
    if (source.Empty() || dest.IsEmpty()) return;
    TRect src = Intersect(sourceRect, source.BoundsRect());
    if (src.IsEmpty()) return;
    if (src != sourceRect) {
        // A source rectangle reaching past the surface keeps its mapping: the
        // part inside the surface lands where it would have landed.
        const double kx = double(dest.Width()) / sourceRect.Width();
        const double ky = double(dest.Height()) / sourceRect.Height();
        dest = TRect{dest.Left + Round((src.Left - sourceRect.Left) * kx),
                     dest.Top + Round((src.Top - sourceRect.Top) * ky),
                     dest.Left + Round((src.Right - sourceRect.Left) * kx),
                     dest.Top + Round((src.Bottom - sourceRect.Top) * ky)};
        if (dest.IsEmpty()) return;
    }
    FClip = Intersect(dest, clip);
    if (FClip.IsEmpty()) return;
    if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
        // a plain Draw
        FKind = TKind::Direct;
        FSrcX = src.Left + (FClip.Left - dest.Left);
        FSrcY = src.Top + (FClip.Top - dest.Top);
        return;
    }
    const int dw = dest.Width(), dh = dest.Height();
    const int firstX = FClip.Left - dest.Left, countX = FClip.Width();
    const int firstY = FClip.Top - dest.Top, countY = FClip.Height();
    if (resampler == TResamplerKind::Nearest) {
        FKind = TKind::Nearest;
        BuildNearestMap(FXs, firstX, countX, dw, src.Width(), src.Left);
        BuildNearestMap(FYs, firstY, countY, dh, src.Height(), src.Top);
        return;
    }
    FKind = TKind::Linear;
    FX0.resize(size_t(countX));
    FFx.resize(size_t(countX));
    // Columns sampling the last source column have no right neighbour (their
    // weight is 0); they form the end of the row and are drawn apart.
    FLastColumn = src.Right - 1;
    FPairs = countX;
    ForLinearTaps(firstX, countX, dw, src.Width(), src.Left, [&](int k, int i0, int, uint32_t frac) {
        FX0[size_t(k)] = i0;
        FFx[size_t(k)] = frac;
        if (i0 == FLastColumn && FPairs == countX) FPairs = k;
    });
    FYTaps.resize(size_t(countY));
    ForLinearTaps(firstY, countY, dh, src.Height(), src.Top, [&](int k, int i0, int i1, uint32_t frac) {
        FYTaps[size_t(k)] = {i0, i1, frac};
    });
}

void TStretchPlan::Row(int y, TColor32* dst, TCombineKind kind, uint32_t master) const {
    const int n = FClip.Width(), row = y - FClip.Top;
    switch (FKind) {
    case TKind::Empty:
        return;
    case TKind::Direct:
        CombineSpan(FSource->PixelPtr(FSrcX, FSrcY + row), dst, n, kind, master);
        return;
    case TKind::Nearest:
        StretchRowOps().Nearest(FSource->ScanLine(FYs[size_t(row)]), FXs.data(), dst, n, kind, master);
        return;
    case TKind::Linear: {
        const TTap& ty = FYTaps[size_t(row)];
        const TColor32* r0 = FSource->ScanLine(ty.I0);
        const TColor32* r1 = FSource->ScanLine(ty.I1);
        StretchRowOps().Row(r0, r1, FX0.data(), FFx.data(), ty.Frac, dst, FPairs, kind, master);
        if (FPairs < n) {
            // the weight of the missing right neighbour is 0: one colour
            const TColor32 c = LerpPacked(r0[FLastColumn], r1[FLastColumn], ty.Frac);
            CombineSolid(c, dst + FPairs, n - FPairs, kind, master);
        }
        return;
    }
    }
}

void TBitmap32::StretchDraw(const TRect& dest, const TRect& sourceRect, const TBitmap32& source) {
    if (Empty() || source.Empty() || dest.IsEmpty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    if (&source == this) {
        TBitmap32 copy;
        copy.Assign(source);
        StretchDraw(dest, sourceRect, copy);
        return;
    }
    const TStretchPlan plan(dest, sourceRect, source, FClipRect, source.Resampler);
    const TRect clip = plan.Clip();
    if (clip.IsEmpty()) return;
    const TCombineKind kind = source.DrawMode == TDrawMode::Opaque ? TCombineKind::Copy : TCombineKind::Blend;
    // bands of rows may go to helper threads (full-resolution renders)
    ForRowBands(clip.Top, clip.Bottom, int64_t(clip.Width()) * clip.Height(), [&](int first, int end) {
        for (int y = first; y < end; ++y) plan.Row(y, PixelPtr(clip.Left, y), kind, source.MasterAlpha);
    });
}

void TBitmap32::FlipHorz() {
    for (int y = 0; y < FHeight; ++y) std::reverse(ScanLine(y), ScanLine(y) + FWidth);
}

void TBitmap32::FlipVert() {
    for (int y = 0; y < FHeight / 2; ++y)
        std::swap_ranges(ScanLine(y), ScanLine(y) + FWidth, ScanLine(FHeight - 1 - y));
}

void CopyAlpha(TBitmap32& dest, int x, int y, const TRect& sourceRect, const TBitmap32& source) {
    TRect src = Intersect(sourceRect, source.BoundsRect());
    x += src.Left - sourceRect.Left;
    y += src.Top - sourceRect.Top;
    TRect dst = Intersect({x, y, x + src.Width(), y + src.Height()}, dest.ClipRect());
    if (dst.IsEmpty()) return;
    const int sx = src.Left + (dst.Left - x), sy = src.Top + (dst.Top - y);
    for (int row = 0; row < dst.Height(); ++row) {
        const TColor32* s = source.PixelPtr(sx, sy + row);
        TColor32* d = dest.PixelPtr(dst.Left, dst.Top + row);
        for (int k = 0; k < dst.Width(); ++k) d[k] = (d[k] & 0x00FFFFFFu) | (s[k] & 0xFF000000u);
    }
}

// ---- Text ----

QImage TBitmap32::AsImage() {
    if (Empty()) return QImage();
    return QImage(reinterpret_cast<uchar*>(Bits()), FWidth, FHeight, FWidth * 4, QImage::Format_ARGB32);
}

QImage TBitmap32::ToImage() const {
    if (Empty()) return QImage();
    QImage img(FWidth, FHeight, QImage::Format_ARGB32);
    for (int y = 0; y < FHeight; ++y) std::memcpy(img.scanLine(y), ScanLine(y), size_t(FWidth) * 4);
    return img;
}

void TBitmap32::FromImage(const QImage& image) {
    QImage img =
        image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    SetSize(img.width(), img.height());
    for (int y = 0; y < FHeight; ++y) std::memcpy(ScanLine(y), img.constScanLine(y), size_t(FWidth) * 4);
}

void TBitmap32::TextOut(int x, int y, const std::string& text) {
    if (Empty() || text.empty()) return;
    QImage img = AsImage();
    QPainter p(&img);
    p.setClipRect(FClipRect.Left, FClipRect.Top, FClipRect.Width(), FClipRect.Height());
    p.setFont(Font);
    p.setPen(QColor::fromRgba(FontColor));
    QFontMetrics fm(Font);
    p.drawText(x, y + fm.ascent(), QString::fromStdString(text));
}

int TBitmap32::TextWidth(const std::string& text) const {
    return QFontMetrics(Font).horizontalAdvance(QString::fromStdString(text));
}

int TBitmap32::TextHeight(const std::string& text) const {
    (void)text;
    return QFontMetrics(Font).height();
}
