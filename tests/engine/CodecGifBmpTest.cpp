// GIF and BMP codecs: round trips, the frame rules of GIF (first frame,
// placement, transparency, interlacing, colour maps), BMP variants, and
// hostile input.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <functional>
#include <gif_lib.h>
#include <set>

#include "CodecHelpers.h"
#include "common/TestSupport.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"

using namespace testpic;

namespace {

std::string ThrownText(const std::function<void()>& f) {
    try {
        f();
    } catch (const EUserError& e) {
        return e.what();
    }
    return "";
}

// ---- GIF files written with giflib directly ----

struct TGifFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlace = false;
    int Transparent = -1;
    std::vector<GifColorType> LocalMap;
    std::vector<uint8_t> Indexes; // row-major, Width * Height
};

int CollectGif(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

std::vector<uint8_t> WriteGif(int sw, int sh, std::vector<GifColorType> global,
                              const std::vector<TGifFrame>& frames) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, CollectGif, &error);
    EXPECT_NE(gif, nullptr);
    EGifSetGifVersion(gif, true);
    ColorMapObject* gmap = global.empty() ? nullptr : GifMakeMapObject(int(global.size()), global.data());
    EXPECT_NE(EGifPutScreenDesc(gif, sw, sh, 8, 0, gmap), GIF_ERROR);
    for (const TGifFrame& f : frames) {
        if (f.Transparent >= 0) {
            uint8_t gce[4] = {1, 0, 0, uint8_t(f.Transparent)};
            EXPECT_NE(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce), GIF_ERROR);
        }
        std::vector<GifColorType> local = f.LocalMap;
        ColorMapObject* lmap = local.empty() ? nullptr : GifMakeMapObject(int(local.size()), local.data());
        EXPECT_NE(EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlace, lmap), GIF_ERROR);
        std::vector<int> order;
        if (f.Interlace) {
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = start[p]; y < f.Height; y += step[p]) order.push_back(y);
        } else {
            for (int y = 0; y < f.Height; ++y) order.push_back(y);
        }
        for (int y : order) {
            std::vector<uint8_t> row(f.Indexes.begin() + y * f.Width, f.Indexes.begin() + (y + 1) * f.Width);
            EXPECT_NE(EGifPutLine(gif, row.data(), f.Width), GIF_ERROR);
        }
        if (lmap) GifFreeMapObject(lmap);
    }
    EGifCloseFile(gif, &error);
    if (gmap) GifFreeMapObject(gmap);
    return out;
}

std::vector<GifColorType> Ramp(int n, uint8_t blue) {
    std::vector<GifColorType> map;
    for (int i = 0; i < n; ++i)
        map.push_back({uint8_t(i * 255 / (n - 1)), uint8_t(255 - i * 255 / (n - 1)), blue});
    return map;
}

TColor32 MapColor(const std::vector<GifColorType>& map, int i) {
    return 0xFF000000u | uint32_t(map[size_t(i)].Red) << 16 | uint32_t(map[size_t(i)].Green) << 8 |
           map[size_t(i)].Blue;
}

TGifFrame Pattern(int w, int h, int colors) {
    TGifFrame f;
    f.Width = w, f.Height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) f.Indexes.push_back(uint8_t((x + 3 * y) % colors));
    return f;
}

// ---- BMP files written by hand ----

void Le(std::vector<uint8_t>& v, uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// File header + 40-byte info header; extra follows the info header (masks,
// palette), then the pixel data.
std::vector<uint8_t> MakeBmp(int w, int h, int bpp, uint32_t compression, const std::vector<uint8_t>& extra,
                             const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> v = {'B', 'M'};
    Le(v, uint32_t(54 + extra.size() + pixels.size()), 4);
    Le(v, 0, 4);
    Le(v, uint32_t(54 + extra.size()), 4);
    Le(v, 40, 4);
    Le(v, uint32_t(w), 4);
    Le(v, uint32_t(h), 4);
    Le(v, 1, 2);
    Le(v, uint32_t(bpp), 2);
    Le(v, compression, 4);
    Le(v, uint32_t(pixels.size()), 4);
    Le(v, 2835, 4);
    Le(v, 2835, 4);
    Le(v, 0, 4);
    Le(v, 0, 4);
    v.insert(v.end(), extra.begin(), extra.end());
    v.insert(v.end(), pixels.begin(), pixels.end());
    return v;
}

TBitmap32 DecodeBmp(const std::vector<uint8_t>& v) {
    TBitmap32 out;
    DecodeBMPMemory(v.data(), v.size(), out);
    return out;
}

} // namespace

// ---- GIF ----

TEST(GifCodec, FewColoursRoundTripExactly) {
    for (int colors : {1, 2, 200, 256}) {
        TBitmap32 pic = MakeFewColors(53, 41, colors, true);
        std::vector<uint8_t> data = EncodeGIFMemory(pic);
        TBitmap32 back;
        DecodeGIFMemory(data.data(), data.size(), back);
        TBitmap32 opaque = pic;
        opaque.ResetAlpha(255); // GIF export carries no transparency
        EXPECT_EQ(MaxChannelDiff(opaque, back), 0) << colors;
        QImage qt = QImage::fromData(data.data(), int(data.size()), "GIF");
        ASSERT_FALSE(qt.isNull()) << colors;
        EXPECT_EQ(MaxChannelDiff(FromQImage(qt), opaque), 0) << colors;
    }
}

TEST(GifCodec, PhotoIsReducedTo256CloseColours) {
    TBitmap32 photo = MakePhoto(160, 120);
    const std::string path = MakeTempDir() + "/photo.gif";
    EncodeGIFFile(path, photo);
    TBitmap32 back;
    DecodeGIFFile(path, back);
    ASSERT_EQ(back.Width(), 160);
    std::set<TColor32> colors(back.Bits(), back.Bits() + back.PixelCount());
    EXPECT_LE(colors.size(), 256u);
    EXPECT_GT(colors.size(), 100u);
    double sum = 0;
    for (size_t i = 0; i < back.PixelCount(); ++i)
        for (int k = 0; k < 24; k += 8)
            sum += std::abs(int(back.Bits()[i] >> k & 255) - int(photo.Bits()[i] >> k & 255));
    EXPECT_LT(sum / (back.PixelCount() * 3), 6.0);
    EXPECT_EQ(ReadGIFSize(path), (TPictureSize{160, 120}));

    TQuantized q = QuantizeColors(photo, 16);
    EXPECT_LE(q.Palette.size(), 16u);
    for (uint8_t i : q.Indexes) ASSERT_LT(i, q.Palette.size());
}

TEST(GifCodec, FirstFramePlacedOnItsScreenWithTransparency) {
    std::vector<GifColorType> global = Ramp(8, 10);
    TGifFrame first = Pattern(5, 4, 8);
    first.Left = 3, first.Top = 2, first.Transparent = 2;
    TGifFrame second = Pattern(10, 8, 8); // must not show
    std::vector<uint8_t> data = WriteGif(10, 8, global, {first, second});
    TBitmap32 out;
    DecodeGIFMemory(data.data(), data.size(), out);
    ASSERT_EQ(out.Width(), 10);
    ASSERT_EQ(out.Height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 8 && y >= 2 && y < 6;
            if (!inside) {
                EXPECT_EQ(out.Pixel(x, y) >> 24, 0u) << x << "," << y;
                continue;
            }
            int index = first.Indexes[size_t((y - 2) * 5 + (x - 3))];
            TColor32 expected = MapColor(global, index);
            if (index == 2) expected &= 0x00FFFFFF;
            EXPECT_EQ(out.Pixel(x, y), expected) << x << "," << y;
        }
}

TEST(GifCodec, InterlacedLocalMapAndClipping) {
    std::vector<GifColorType> global = Ramp(16, 0), local = Ramp(16, 200);
    TGifFrame frame = Pattern(13, 19, 16);
    frame.Interlace = true;
    frame.LocalMap = local;
    std::vector<uint8_t> data = WriteGif(13, 19, global, {frame});
    TBitmap32 out;
    DecodeGIFMemory(data.data(), data.size(), out);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(out.Pixel(x, y), MapColor(local, frame.Indexes[size_t(y * 13 + x)]));
    QImage qt = QImage::fromData(data.data(), int(data.size()), "GIF");
    EXPECT_EQ(MaxChannelDiff(FromQImage(qt), out), 0);

    // A frame reaching past its screen is cut at the screen's edge.
    TGifFrame wide = Pattern(6, 6, 16);
    wide.Left = wide.Top = 2;
    std::vector<uint8_t> clipped = WriteGif(8, 8, global, {wide});
    clipped[6] = 5, clipped[8] = 5; // screen 5 x 5
    DecodeGIFMemory(clipped.data(), clipped.size(), out);
    ASSERT_EQ(out.Width(), 5);
    ASSERT_EQ(out.Height(), 5);
    EXPECT_EQ(out.Pixel(4, 4), MapColor(global, wide.Indexes[2 * 6 + 2]));
    EXPECT_EQ(out.Pixel(1, 1) >> 24, 0u);

    // A zero screen takes the frame's size.
    std::vector<uint8_t> zero = WriteGif(13, 19, global, {Pattern(13, 19, 16)});
    zero[6] = zero[7] = zero[8] = zero[9] = 0;
    DecodeGIFMemory(zero.data(), zero.size(), out);
    EXPECT_EQ(out.Width(), 13);
    EXPECT_EQ(out.Height(), 19);
}

TEST(GifCodec, MissingColourMapReadsIndexesAsGrey) {
    std::vector<GifColorType> global = Ramp(4, 0);
    TGifFrame frame = Pattern(4, 4, 4);
    std::vector<uint8_t> data = WriteGif(4, 4, global, {frame});
    // Drop the global colour table (flag bit 7 of byte 10, table at 13..24).
    ASSERT_EQ(data[10] & 0x87, 0x81);
    data[10] &= 0x70;
    data.erase(data.begin() + 13, data.begin() + 13 + 12);
    TBitmap32 out;
    DecodeGIFMemory(data.data(), data.size(), out);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(out.Bits()[i], 0xFF000000u | uint32_t(frame.Indexes[size_t(i)]) * 0x010101u);
}

TEST(GifCodec, TruncatedCorruptAndOversizeFilesThrow) {
    std::vector<uint8_t> data = EncodeGIFMemory(MakePhoto(64, 48));
    for (double f : {0.0, 0.005, 0.1, 0.5, 0.9, 0.98}) {
        std::vector<uint8_t> cut(data.begin(), data.begin() + ptrdiff_t(data.size() * f));
        TBitmap32 out;
        EXPECT_FALSE(ThrownText([&] { DecodeGIFMemory(cut.data(), cut.size(), out); }).empty()) << f;
        EXPECT_TRUE(out.Empty());
    }
    // An unknown record where the image separator belongs.
    std::vector<uint8_t> bad = data;
    size_t sep = 13 + 3 * 256;
    ASSERT_EQ(bad[sep], 0x2C);
    bad[sep] = 0x99;
    TBitmap32 out;
    EXPECT_FALSE(ThrownText([&] { DecodeGIFMemory(bad.data(), bad.size(), out); }).empty());
    // Only a trailer: no picture.
    std::vector<uint8_t> empty(data.begin(), data.begin() + ptrdiff_t(sep));
    empty.push_back(0x3B);
    EXPECT_NE(ThrownText([&] { DecodeGIFMemory(empty.data(), empty.size(), out); }).find("no picture"),
              std::string::npos);

    const std::string dir = MakeTempDir();
    std::vector<uint8_t> wide = data;
    wide[6] = uint8_t(40000 & 255), wide[7] = uint8_t(40000 >> 8), wide[8] = 10, wide[9] = 0;
    WriteBytes(dir + "/wide.gif", wide);
    std::string text = ThrownText([&] { DecodeGIFFile(dir + "/wide.gif", out); });
    EXPECT_NE(text.find(dir + "/wide.gif"), std::string::npos) << text;
    EXPECT_NE(text.find("40000 x 10"), std::string::npos) << text;
    EXPECT_EQ(ReadGIFSize(dir + "/wide.gif"), (TPictureSize{40000, 10}));

    // Screen left 0, the frame itself claims 20000 x 20000.
    std::vector<uint8_t> huge = data;
    huge[6] = huge[7] = huge[8] = huge[9] = 0;
    huge[sep + 5] = uint8_t(20000 & 255), huge[sep + 6] = uint8_t(20000 >> 8);
    huge[sep + 7] = uint8_t(20000 & 255), huge[sep + 8] = uint8_t(20000 >> 8);
    text = ThrownText([&] { DecodeGIFMemory(huge.data(), huge.size(), out); });
    EXPECT_NE(text.find("20000 x 20000"), std::string::npos) << text;

    uint32_t rnd = 5;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> damaged = data;
        rnd = rnd * 1664525u + 1013904223u;
        damaged[rnd % damaged.size()] ^= uint8_t(1 + (rnd >> 24) % 255);
        TBitmap32 result;
        try {
            DecodeGIFMemory(damaged.data(), damaged.size(), result);
            EXPECT_FALSE(result.Empty());
        } catch (const EUserError&) {
            EXPECT_TRUE(result.Empty());
        }
    }
}

// ---- BMP ----

TEST(BmpCodec, RoundTripKeepsAlphaAndQtReadsIt) {
    TBitmap32 pic = MakeFewColors(37, 23, 1000, true);
    const std::string path = MakeTempDir() + "/pic.bmp";
    EncodeBMPFile(path, pic);
    TBitmap32 back;
    DecodeBMPFile(path, back);
    EXPECT_EQ(MaxChannelDiff(pic, back), 0);
    QImage qt(QString::fromStdString(path));
    ASSERT_FALSE(qt.isNull());
    EXPECT_TRUE(qt.hasAlphaChannel());
    EXPECT_EQ(MaxChannelDiff(FromQImage(qt), pic), 0);
    EXPECT_EQ(ReadBMPSize(path), (TPictureSize{37, 23}));
}

TEST(BmpCodec, SamplesAndQtWrittenVariantsMatchQt) {
    for (const char* name : {"shira_bird8.bmp", "vgl_6434_0018a.bmp"}) {
        TBitmap32 ours;
        DecodeBMPFile(TestDataPath(std::string("jpeg-bmp/") + name), ours);
        QImage qt(QString::fromStdString(TestDataPath(std::string("jpeg-bmp/") + name)));
        EXPECT_EQ(MaxChannelDiff(FromQImage(qt), ours), 0) << name;
    }
    QImage photo = MakePhoto(29, 17).ToImage();
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8, QImage::Format_Mono}) {
        QImage img = photo.convertToFormat(format);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(img.save(&buffer, "BMP"));
        TBitmap32 ours;
        DecodeBMPMemory(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), ours);
        QImage qt = QImage::fromData(bytes, "BMP");
        EXPECT_EQ(MaxChannelDiff(FromQImage(qt), ours), 0) << int(format);
    }
}

TEST(BmpCodec, HandMadeVariants) {
    // 16-bit 5-6-5 bit fields, one row: white, pure red, pure blue (+ padding).
    std::vector<uint8_t> masks;
    Le(masks, 0xF800, 4), Le(masks, 0x07E0, 4), Le(masks, 0x001F, 4);
    std::vector<uint8_t> px;
    Le(px, 0xFFFF, 2), Le(px, 0xF800, 2), Le(px, 0x001F, 2), Le(px, 0, 2);
    TBitmap32 b = DecodeBmp(MakeBmp(3, 1, 16, 3, masks, px));
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(b.Pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(2, 0), 0xFF0000FFu);

    // 24-bit top-down (negative height): first stored row is the top.
    // 1 x 2, each row one BGR pixel and a padding byte.
    std::vector<uint8_t> td = MakeBmp(1, -2, 24, 0, {}, {0, 0, 255, 0, 0, 255, 0, 0});
    b = DecodeBmp(td);
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(0, 1), 0xFF00FF00u);

    // 4-bit palette: 3 pixels 0, 1, 2 in one row.
    std::vector<uint8_t> pal;
    for (uint32_t c : {0x000000u, 0xFF0000u, 0x00FF00u}) Le(pal, c, 4);
    for (int i = 3; i < 16; ++i) Le(pal, 0x0000FFu, 4);
    b = DecodeBmp(MakeBmp(3, 1, 4, 0, pal, {0x01, 0x20, 0, 0}));
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(b.Pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(2, 0), 0xFF00FF00u);

    // RLE8, 4 x 2: bottom row a run of four 1s; top row literal 0 1 2, then one 3.
    std::vector<uint8_t> pal8;
    for (uint32_t c : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu}) Le(pal8, c, 4);
    for (int i = 4; i < 256; ++i) Le(pal8, 0xFFFFFFu, 4);
    std::vector<uint8_t> rle = {4, 1, 0, 0, 0, 3, 0, 1, 2, 0, 1, 3, 0, 1};
    b = DecodeBmp(MakeBmp(4, 2, 8, 1, pal8, rle));
    EXPECT_EQ(b.Pixel(0, 1), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(3, 1), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(b.Pixel(2, 0), 0xFF00FF00u);
    EXPECT_EQ(b.Pixel(3, 0), 0xFF0000FFu);

    // Plain 32-bit RGB ignores the fourth byte.
    b = DecodeBmp(MakeBmp(1, 1, 32, 0, {}, {1, 2, 3, 0}));
    EXPECT_EQ(b.Pixel(0, 0), 0xFF030201u);
}

TEST(BmpCodec, TruncatedCorruptAndOversizeFilesThrow) {
    std::vector<uint8_t> data = EncodeBMPMemory(MakePhoto(20, 10));
    for (size_t n : {size_t(0), size_t(1), size_t(10), size_t(30), size_t(122), data.size() - 1}) {
        std::vector<uint8_t> cut(data.begin(), data.begin() + ptrdiff_t(n));
        TBitmap32 out;
        EXPECT_FALSE(ThrownText([&] { DecodeBMPMemory(cut.data(), cut.size(), out); }).empty()) << n;
        EXPECT_TRUE(out.Empty());
    }
    std::vector<uint8_t> badHeader = data;
    badHeader[14] = 7; // info header size
    TBitmap32 out;
    EXPECT_FALSE(ThrownText([&] { DecodeBMPMemory(badHeader.data(), badHeader.size(), out); }).empty());
    std::vector<uint8_t> badDepth = MakeBmp(2, 2, 7, 0, {}, std::vector<uint8_t>(16));
    EXPECT_FALSE(ThrownText([&] { DecodeBMPMemory(badDepth.data(), badDepth.size(), out); }).empty());
    // RLE data without its end.
    std::vector<uint8_t> pal8(1024);
    std::vector<uint8_t> rle = MakeBmp(4, 2, 8, 1, pal8, {4, 1, 0, 0, 2});
    EXPECT_FALSE(ThrownText([&] { DecodeBMPMemory(rle.data(), rle.size(), out); }).empty());

    const std::string dir = MakeTempDir();
    for (auto [w, h] : {std::pair{40000, 10}, std::pair{20000, -20000}}) {
        std::vector<uint8_t> big = MakeBmp(w, h, 24, 0, {}, {});
        const std::string path = dir + "/big.bmp";
        WriteBytes(path, big);
        std::string text = ThrownText([&] { DecodeBMPFile(path, out); });
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_NE(text.find(std::to_string(w) + " x " + std::to_string(std::abs(h))), std::string::npos)
            << text;
        EXPECT_EQ(ReadBMPSize(path), (TPictureSize{w, std::abs(h)}));
    }
}

TEST(PictureFormats, SniffingAndGenericDecode) {
    TBitmap32 pic = MakeFewColors(8, 8, 5);
    std::vector<uint8_t> encoded[] = {EncodeJPEGMemory(pic), EncodePNGMemory(pic), EncodeGIFMemory(pic),
                                      EncodeBMPMemory(pic)};
    TPictureFormat formats[] = {TPictureFormat::Jpeg, TPictureFormat::Png, TPictureFormat::Gif,
                                TPictureFormat::Bmp};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SniffPictureFormat(encoded[i].data(), encoded[i].size()), formats[i]);
        TBitmap32 out;
        DecodePictureMemory(encoded[i].data(), encoded[i].size(), out);
        EXPECT_EQ(out.Width(), 8);
    }
    std::vector<uint8_t> junk = {1, 2, 3};
    TBitmap32 out;
    EXPECT_THROW(DecodePictureMemory(junk.data(), junk.size(), out), EUserError);
}
