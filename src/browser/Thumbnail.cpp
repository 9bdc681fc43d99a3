#include "browser/Thumbnail.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "browser/PicGrid.h"
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

// Full decode of JPEG, GIF or BMP data by content (masks are JPEG or GIF
// under ".msk"). The codec module's decoders replace this; they must stay
// free of messages as well.
bool DecodeByContent(const std::string& path, const char* format, TBitmap32& pic) {
    QImageReader reader(QString::fromStdString(path), format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height())) return false;
    QImage img;
    if (!reader.read(&img) || img.isNull()) return false;
    pic.FromImage(img);
    return true;
}

// Decodes the file for a thumbnail of at most boxW x boxH; fullW x fullH
// report the picture's own size, from which the thumbnail size is fitted.
// A decoder that scales while decoding (JPEG: libjpeg-turbo with
// scale_num 1 and the largest scale_denom of 2, 4, 8 whose result still
// covers the fitted thumbnail size) returns a smaller `pic` here and the
// true size through fullW/fullH; the caller shrinks the rest of the way.
bool DecodeForThumbnail(const std::string& path, TPictureKind kind, int boxW, int boxH, TBitmap32& pic,
                        int& fullW, int& fullH) {
    (void)boxW;
    (void)boxH;
    switch (kind) {
    case TPictureKind::PNG:
        LoadPNG32(path, pic);
        break; // throws on bad data
    case TPictureKind::JPEG:
        if (!DecodeByContent(path, "jpeg", pic)) return false;
        break;
    case TPictureKind::GIF:
        if (!DecodeByContent(path, "gif", pic)) return false;
        break;
    case TPictureKind::BMP:
        if (!DecodeByContent(path, "bmp", pic)) return false;
        break;
    case TPictureKind::Unknown:
        return false;
    }
    fullW = pic.Width();
    fullH = pic.Height();
    return !pic.Empty();
}

bool FullyOpaque(const TBitmap32& b) {
    const TColor32* p = b.Bits();
    const size_t n = b.PixelCount();
    for (size_t i = 0; i < n; ++i)
        if ((p[i] >> 24) != 0xFF) return false;
    return true;
}

} // namespace

void ShrinkPicture(const TBitmap32& source, int w, int h, TBitmap32& out) {
    if (source.Empty() || w <= 0 || h <= 0) {
        out.SetSize(0, 0);
        return;
    }
    if (w == source.Width() && h == source.Height()) {
        out.Assign(source);
        return;
    }
    // Opaque pictures are averaged as they are; others premultiplied first so
    // that the colour of transparent pixels does not bleed into the result.
    const bool opaque = FullyOpaque(source);
    const QImage view(reinterpret_cast<const uchar*>(source.Bits()), source.Width(), source.Height(),
                      source.Width() * 4, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    QImage work = opaque ? view : view.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage small = work.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (small.isNull()) {
        out.SetSize(0, 0);
        return;
    }
    out.FromImage(small); // RGB32 keeps alpha bytes of 0xFF; premultiplied is converted back
}

bool LoadThumbnail(const std::string& path, int boxWidth, int boxHeight, TBitmap32& out) {
    out.SetSize(0, 0);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return false;
    if (!IsPictureExtension(UpperExtension(path))) return false;
    const TPictureKind kind = SniffPictureFile(path);
    if (kind == TPictureKind::Unknown) return false;
    try {
        TBitmap32 pic;
        int fullW = 0, fullH = 0;
        if (!DecodeForThumbnail(path, kind, boxWidth, boxHeight, pic, fullW, fullH)) return false;
        if (fullW <= 0 || fullH <= 0) return false;
        int w = 0, h = 0;
        ThumbnailSize(fullW, fullH, boxWidth, boxHeight, w, h);
        ShrinkPicture(pic, w, h, out);
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
