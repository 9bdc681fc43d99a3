#include "browser/Thumbnail.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "browser/PicGrid.h"
#include "engine/Codecs.h"
#include "engine/PictureUtils.h"

// ---- Content sniffing ----

TPictureKind SniffPictureKind(const unsigned char* head, size_t size) {
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::memcmp(head, png, 8) == 0) return TPictureKind::PNG;
    if (size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return TPictureKind::JPEG;
    if (size >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0))
        return TPictureKind::GIF;
    if (size >= 2 && head[0] == 'B' && head[1] == 'M') return TPictureKind::BMP;
    return TPictureKind::Unknown;
}

TPictureKind SniffPictureFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return TPictureKind::Unknown;
    unsigned char head[8] = {};
    const size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return SniffPictureKind(head, n);
}

// ---- Geometry ----

void ThumbnailSize(int picW, int picH, int areaW, int areaH, int& w, int& h) {
    w = areaW;
    h = areaH;
    FitInside(picW, picH, w, h);
    if (picW > 0) w = std::max(w, 1);
    if (picH > 0) h = std::max(h, 1);
}

TRect ThumbnailRect(int picW, int picH, int cellW, int pictureH) {
    int w = 0, h = 0;
    ThumbnailSize(picW, picH, cellW - 6, pictureH - 6, w, h);
    const int left = (cellW - w) / 2, top = (pictureH - h) / 2;
    return {left, top, left + w, top + h};
}

// ---- Decoding ----

namespace {

// A decoded picture, held either as a surface (PNG, with the program's
// transparency rules) or as the QImage a decoder returned (no copy).
struct TDecoded {
    TBitmap32 Surface;
    QImage Image;
    int FullWidth = 0, FullHeight = 0; // the picture's own size
};

using TPixels = TPixelView;

TPixels PixelsOf(const TDecoded& d) {
    if (!d.Image.isNull())
        return {reinterpret_cast<const TColor32*>(d.Image.constBits()), d.Image.width(), d.Image.height(),
                size_t(d.Image.bytesPerLine()) / 4, d.Image.format() != QImage::Format_RGB32};
    return {d.Surface.Bits(), d.Surface.Width(), d.Surface.Height(), size_t(d.Surface.Width()), true};
}

// Decodes the file for a thumbnail of at most boxW x boxH and reports the
// picture's own size, from which the thumbnail size is fitted. A decoder
// that scales while decoding belongs here (JPEG: libjpeg-turbo with
// scale_num 1 and the largest scale_denom of 2, 4, 8 whose result still
// covers the fitted thumbnail size): it returns the smaller picture with the
// true size in FullWidth/FullHeight, and the caller shrinks the rest of the
// way.
bool DecodeForThumbnail(const std::string& path, TPictureKind kind, int boxW, int boxH, TDecoded& out) {
    switch (kind) {
    case TPictureKind::PNG:
        LoadPNG32(path, out.Surface);
        break; // throws on bad data
    case TPictureKind::JPEG: {
        // Entropy decoding dominates, but the DCT-domain scaling of the
        // decoder still saves the inverse transforms, colour conversion and
        // most of the memory: decode at the smallest 1/2, 1/4 or 1/8 size
        // that still covers the thumbnail.
        const TPictureSize full = ReadJPEGSize(path);
        int w = 0, h = 0;
        ThumbnailSize(full.Width, full.Height, boxW, boxH, w, h);
        TJpegOptions options;
        options.MinWidth = w;
        options.MinHeight = h;
        DecodeJPEGFile(path, out.Surface, options);
        const TPixels px = PixelsOf(out);
        out.FullWidth = full.Width;
        out.FullHeight = full.Height;
        return px.Width > 0 && px.Height > 0;
    }
    case TPictureKind::GIF: DecodeGIFFile(path, out.Surface); break;
    case TPictureKind::BMP: DecodeBMPFile(path, out.Surface); break;
    case TPictureKind::Unknown: return false;
    }
    const TPixels px = PixelsOf(out);
    out.FullWidth = px.Width;
    out.FullHeight = px.Height;
    return px.Width > 0 && px.Height > 0;
}

} // namespace

bool LoadThumbnail(const std::string& path, int boxWidth, int boxHeight, TBitmap32& out) {
    out.SetSize(0, 0);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return false;
    if (!IsPictureExtension(UpperExtension(path))) return false;
    const TPictureKind kind = SniffPictureFile(path);
    if (kind == TPictureKind::Unknown) return false;
    try {
        TDecoded decoded;
        if (!DecodeForThumbnail(path, kind, boxWidth, boxHeight, decoded)) return false;
        int w = 0, h = 0;
        ThumbnailSize(decoded.FullWidth, decoded.FullHeight, boxWidth, boxHeight, w, h);
        const TPixels px = PixelsOf(decoded);
        if (w == px.Width && h == px.Height) {
            out.SetSize(w, h);
            for (int y = 0; y < h; ++y)
                std::memcpy(out.ScanLine(y), px.Bits + size_t(y) * px.Stride, size_t(w) * 4);
            if (!px.MayHaveAlpha) out.ResetAlpha(255);
        } else {
            ShrinkPixels(px, std::min(w, px.Width), std::min(h, px.Height), out);
        }
        if (out.Empty()) return false;
    } catch (...) {
        // decoder errors and failed allocations alike: no picture
        out.SetSize(0, 0);
        return false;
    }
    out.DrawMode = TDrawMode::Blend;
    out.Resampler = TResamplerKind::Linear;
    return true;
}

// ---- Painting one cell ----

namespace {
TColor32 Mix(TColor32 a, TColor32 b, int weightOfB /* of 256 */) {
    auto ch = [&](int shift) {
        const int x = int((a >> shift) & 0xFF), y = int((b >> shift) & 0xFF);
        return TColor32((x * (256 - weightOfB) + y * weightOfB) >> 8) << shift;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

void Band(TBitmap32& c, int w, int h, TColor32 color) {
    c.FrameRect({0, 0, w, h}, color);
    c.FrameRect({1, 1, w - 1, h - 1}, color);
}
} // namespace

void PaintPicCell(TBitmap32& canvas, const TPicCellLook& look, const TBitmap32* picture, const TRect& dest) {
    const int W = look.Width, H = look.Height, Hp = look.PictureHeight;
    canvas.SetSize(W, H);
    if (canvas.Empty()) return;
    canvas.ResetClipRect();
    canvas.FillRect(0, 0, W, H, look.Color | 0xFF000000u);
    if ((look.Color & 0xFFFFFF) != (look.BKColor & 0xFFFFFF))
        canvas.FillRect(3, 3, W - 4, Hp - 4, look.BKColor | 0xFF000000u);

    if (picture && !picture->Empty() && !dest.IsEmpty()) {
        if (dest.Width() == picture->Width() && dest.Height() == picture->Height())
            canvas.Draw(dest.Left, dest.Top, *picture);
        else
            canvas.StretchDraw(dest, *picture);
    } else if (look.Placeholder) {
        // a quiet tile a quarter of the way from the box colour to the frame
        // colour, inset from the frame, while the picture is on its way
        canvas.FillRect(6, 6, W - 6, Hp - 6, Mix(look.BKColor, look.BorderColor, 64));
    }

    canvas.FrameRect({2, 2, W - 3, Hp - 3}, look.BorderColor | 0xFF000000u);
    if (look.Selected) {
        Band(canvas, W, Hp, look.SelectBorderColor | 0xFF000000u);
        if (look.ShowName && !look.LabelRect.IsEmpty())
            canvas.FillRect(look.LabelRect.Left, look.LabelRect.Top, look.LabelRect.Right,
                            look.LabelRect.Bottom, look.SelectBorderColor | 0xFF000000u);
    } else if (look.Hovered) {
        Band(canvas, W, Hp, look.MouseOverColor | 0xFF000000u);
    }
    canvas.ResetAlpha(255);
}
