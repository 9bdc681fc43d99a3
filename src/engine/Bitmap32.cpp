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
    if (count <= 0) return;
    if (source.DrawMode == TDrawMode::Opaque)
        std::memcpy(dst, src, size_t(count) * sizeof(TColor32));
    else
        PixelOps().BlendLine(src, dst, count, source.MasterAlpha);
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
void BuildNearestMap(std::vector<int>& map, int first, int count, int dw, int sw, int srcOrigin) {
    map.resize(size_t(count));
    for (int k = 0; k < count; ++k) {
        int64_t i = first + k;
        map[size_t(k)] = srcOrigin + int(((2 * i + 1) * int64_t(sw)) / (2 * int64_t(dw)));
    }
}

struct TLinearTap {
    int I0, I1;    // neighbouring source indexes (clamped into the source rectangle)
    uint32_t Frac; // weight of I1, 0..255
};

// Linear: the sample position of destination pixel i is
// (i + 0.5) * sw / dw - 0.5 in 16.16 fixed point, clamped into the source
// rectangle, so edge pixels repeat instead of fading.
void BuildLinearMap(std::vector<TLinearTap>& map, int first, int count, int dw, int sw, int srcOrigin) {
    map.resize(size_t(count));
    const int64_t maxPos = int64_t(sw - 1) << 16;
    for (int k = 0; k < count; ++k) {
        int64_t i = first + k;
        int64_t pos = ((2 * i + 1) * int64_t(sw) * 65536) / (2 * int64_t(dw)) - 32768;
        pos = std::clamp<int64_t>(pos, 0, maxPos);
        int i0 = int(pos >> 16);
        int i1 = std::min(i0 + 1, sw - 1);
        map[size_t(k)] = {srcOrigin + i0, srcOrigin + i1, uint32_t((pos >> 8) & 0xFF)};
    }
}

} // namespace

void TBitmap32::StretchDraw(const TRect& dest, const TRect& sourceRect, const TBitmap32& source) {
    if (Empty() || source.Empty() || dest.IsEmpty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    TRect src = Intersect(sourceRect, source.BoundsRect());
    if (src.IsEmpty()) return;
    if (src != sourceRect) {
        // A source rectangle reaching past the surface keeps its mapping: the
        // part inside the surface lands where it would have landed.
        const double kx = double(dest.Width()) / sourceRect.Width();
        const double ky = double(dest.Height()) / sourceRect.Height();
        TRect d{dest.Left + Round((src.Left - sourceRect.Left) * kx),
                dest.Top + Round((src.Top - sourceRect.Top) * ky),
                dest.Left + Round((src.Right - sourceRect.Left) * kx),
                dest.Top + Round((src.Bottom - sourceRect.Top) * ky)};
        StretchDraw(d, src, source);
        return;
    }
    if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
        Draw(dest.Left, dest.Top, src, source);
        return;
    }
    if (&source == this) {
        TBitmap32 copy;
        copy.Assign(source);
        StretchDraw(dest, sourceRect, copy);
        return;
    }
    TRect clip = Intersect(dest, FClipRect);
    if (clip.IsEmpty()) return;
    const int dw = dest.Width(), dh = dest.Height();
    const int firstX = clip.Left - dest.Left, countX = clip.Width();
    if (source.Resampler == TResamplerKind::Nearest) {
        std::vector<TColor32> line(static_cast<size_t>(countX));
        std::vector<int> xs, ys;
        BuildNearestMap(xs, firstX, countX, dw, src.Width(), src.Left);
        BuildNearestMap(ys, clip.Top - dest.Top, clip.Height(), dh, src.Height(), src.Top);
        for (int row = 0; row < clip.Height(); ++row) {
            const TColor32* s = source.ScanLine(ys[size_t(row)]);
            for (int k = 0; k < countX; ++k) line[size_t(k)] = s[xs[size_t(k)]];
            CombineLine(line.data(), PixelPtr(clip.Left, clip.Top + row), countX, source);
        }
    } else {
        std::vector<TLinearTap> xs, ys;
        BuildLinearMap(xs, firstX, countX, dw, src.Width(), src.Left);
        BuildLinearMap(ys, clip.Top - dest.Top, clip.Height(), dh, src.Height(), src.Top);
        // the columns as separate arrays, the layout the row routines load
        const size_t n = static_cast<size_t>(countX);
        std::vector<int32_t> x0(n), x1(n);
        std::vector<uint32_t> fx(n);
        for (size_t k = 0; k < n; ++k) {
            x0[k] = xs[k].I0;
            x1[k] = xs[k].I1;
            fx[k] = xs[k].Frac;
        }
        const TStretchRowFn stretchRow = StretchRowOps().Row;
        // bands of rows may go to helper threads (full-resolution renders)
        ForRowBands(0, clip.Height(), int64_t(countX) * clip.Height(), [&](int first, int end) {
            std::vector<TColor32> band(n);
            for (int row = first; row < end; ++row) {
                const TLinearTap& ty = ys[size_t(row)];
                stretchRow(source.ScanLine(ty.I0), source.ScanLine(ty.I1), x0.data(), x1.data(), fx.data(),
                           ty.Frac, band.data(), countX);
                CombineLine(band.data(), PixelPtr(clip.Left, clip.Top + row), countX, source);
            }
        });
    }
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
