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

struct TPixels {
    const TColor32* Bits = nullptr;
    int Width = 0, Height = 0;
    size_t Stride = 0; // in pixels
    bool MayHaveAlpha = true;
};

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

bool FullyOpaque(const TPixels& p) {
    for (int y = 0; y < p.Height; ++y) {
        const TColor32* row = p.Bits + size_t(y) * p.Stride;
        for (int x = 0; x < p.Width; ++x)
            if ((row[x] >> 24) != 0xFF) return false;
    }
    return true;
}

// Area average: result pixel (i, j) is the mean of the source block
// [i*W/w, (i+1)*W/w) x [j*H/h, (j+1)*H/h). Colours are weighted by alpha so
// that transparent pixels lend the result none of their colour. One pass
// over the source: each block row is summed in registers (32 bits hold a
// row of 32767 pixels even weighted by alpha), then added to 64-bit column
// sums.
void ShrinkPixels(const TPixels& src, int w, int h, TBitmap32& out) {
    out.SetSize(w, h);
    const bool opaque = !src.MayHaveAlpha || FullyOpaque(src);
    const size_t n = static_cast<size_t>(w);
    std::vector<int> x0(n + 1);
    for (int i = 0; i <= w; ++i) x0[size_t(i)] = int(int64_t(i) * src.Width / w);
    std::vector<uint64_t> sa(n), sr(n), sg(n), sb(n);
    for (int j = 0; j < h; ++j) {
        const int y0 = int(int64_t(j) * src.Height / h), y1 = int(int64_t(j + 1) * src.Height / h);
        std::fill(sa.begin(), sa.end(), 0);
        std::fill(sr.begin(), sr.end(), 0);
        std::fill(sg.begin(), sg.end(), 0);
        std::fill(sb.begin(), sb.end(), 0);
        for (int y = y0; y < y1; ++y) {
            const TColor32* row = src.Bits + size_t(y) * src.Stride;
            for (size_t i = 0; i < n; ++i) {
                uint32_t a = 0, r = 0, g = 0, b = 0;
                if (opaque) {
                    for (int x = x0[i]; x < x0[i + 1]; ++x) {
                        const TColor32 c = row[x];
                        r += (c >> 16) & 0xFF;
                        g += (c >> 8) & 0xFF;
                        b += c & 0xFF;
                    }
                } else {
                    for (int x = x0[i]; x < x0[i + 1]; ++x) {
                        const TColor32 c = row[x];
                        const uint32_t ca = c >> 24;
                        a += ca;
                        r += ca * ((c >> 16) & 0xFF);
                        g += ca * ((c >> 8) & 0xFF);
                        b += ca * (c & 0xFF);
                    }
                }
                sa[i] += a;
                sr[i] += r;
                sg[i] += g;
                sb[i] += b;
            }
        }
        TColor32* dst = out.ScanLine(j);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t k = uint64_t(x0[i + 1] - x0[i]) * uint64_t(y1 - y0);
            if (k == 0) {
                dst[i] = 0;
            } else if (opaque) {
                dst[i] = Color32(uint8_t((sr[i] + k / 2) / k), uint8_t((sg[i] + k / 2) / k),
                                 uint8_t((sb[i] + k / 2) / k));
            } else if (const uint64_t a = sa[i]; a == 0) {
                dst[i] = 0;
            } else {
                dst[i] = Color32(uint8_t((sr[i] + a / 2) / a), uint8_t((sg[i] + a / 2) / a),
                                 uint8_t((sb[i] + a / 2) / a), uint8_t((a + k / 2) / k));
            }
        }
    }
}

} // namespace

void ShrinkPicture(const TBitmap32& source, int w, int h, TBitmap32& out) {
    if (source.Empty() || w <= 0 || h <= 0 || w > source.Width() || h > source.Height()) {
        out.SetSize(0, 0); // nothing to average, or not a shrink
        return;
    }
    if (w == source.Width() && h == source.Height()) {
        out.Assign(source);
        return;
    }
    ShrinkPixels({source.Bits(), source.Width(), source.Height(), size_t(source.Width()), true}, w, h, out);
}

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
