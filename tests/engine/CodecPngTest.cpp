// PNG codec: PngSuite decoding against Qt's reader, interlaced twins,
// transparency details, round trips and hostile input.

#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <filesystem>
#include <set>
#include <zlib.h>

#include "CodecHelpers.h"
#include "common/TestSupport.h"
#include "engine/CodecSupport.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"

using namespace testpic;

namespace {

std::string Suite(const std::string& name) {
    return TestDataPath("pngsuite/" + name);
}

const char* const kSuite[] = {
    "basn0g01.png",  "basn0g02.png",  "basn0g04.png",  "basn0g08.png",  "basn0g16.png",  "basn2c08.png",
    "basn2c16.png",  "basn3p01.png",  "basn3p02.png",  "basn3p04.png",  "basn3p08.png",  "basn4a08.png",
    "basn4a16.png",  "basn6a08.png",  "basn6a16.png",  "ftbbn0g01.png", "ftbbn0g02.png", "ftbbn0g04.png",
    "ftbbn2c16.png", "ftbbn3p08.png", "ftbgn2c16.png", "ftbgn3p08.png", "ftbrn2c08.png", "ftbwn0g16.png",
    "ftbwn3p08.png", "ftbyn3p08.png", "ftp0n0g08.png", "ftp0n2c08.png", "ftp0n3p08.png", "ftp1n3p08.png"};

int HeaderColorType(const std::string& path) {
    return ReadBytes(path).at(25);
}
int HeaderBitDepth(const std::string& path) {
    return ReadBytes(path).at(24);
}

// The zlib stream of a PNG's IDAT chunks, inflated: the filtered rows.
std::vector<uint8_t> InflatedIdat(const std::vector<uint8_t>& png) {
    std::vector<uint8_t> z;
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t n =
            size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) z.insert(z.end(), &png[at + 8], &png[at + 8 + n]);
        at += n + 12;
    }
    std::vector<uint8_t> out(size_t(64) << 20);
    uLongf size = uLongf(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, z.data(), uLong(z.size())), Z_OK);
    out.resize(size);
    return out;
}

std::string ThrownText(const std::vector<uint8_t>& data) {
    try {
        TDecodedPNG png = DecodePNGMemory(data.data(), data.size());
    } catch (const EUserError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(PngCodec, SuiteDecodesLikeQt) {
    for (const char* name : kSuite) {
        SCOPED_TRACE(name);
        const std::string path = Suite(name);
        TDecodedPNG png = DecodePNGFile(path);
        // Qt turns 16-bit RGB with a tRNS colour into partial alpha with
        // altered colours; those two files are checked by hand below.
        if (std::string(name) == "ftbbn2c16.png" || std::string(name) == "ftbgn2c16.png") continue;
        QImage qt = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(qt.isNull());
        ASSERT_EQ(png.Pixels.Width(), qt.width());
        ASSERT_EQ(png.Pixels.Height(), qt.height());
        EXPECT_EQ(png.ColorType, HeaderColorType(path));
        // Qt rounds 16-bit samples where we keep the high byte.
        const int tolerance = HeaderBitDepth(path) == 16 ? 1 : 0;
        const bool alphaData = png.ColorType == 4 || png.ColorType == 6;
        EXPECT_EQ(png.Alpha.size(), alphaData ? png.Pixels.PixelCount() : 0u);
        int worst = 0;
        for (int y = 0; y < qt.height(); ++y) {
            const QRgb* q = reinterpret_cast<const QRgb*>(qt.constScanLine(y));
            for (int x = 0; x < qt.width(); ++x) {
                TColor32 ours = png.Pixels.Pixel(x, y);
                ASSERT_EQ(ours >> 24, 255u);
                if (qAlpha(q[x]) == 0) continue; // Qt need not keep the colour of invisible pixels
                worst = std::max({worst, std::abs(int(ours >> 16 & 255) - qRed(q[x])),
                                  std::abs(int(ours >> 8 & 255) - qGreen(q[x])),
                                  std::abs(int(ours & 255) - qBlue(q[x]))});
                if (alphaData)
                    worst =
                        std::max(worst, std::abs(int(png.Alpha[size_t(y * qt.width() + x)]) - qAlpha(q[x])));
            }
        }
        EXPECT_LE(worst, tolerance);
    }
}

TEST(PngCodec, SixteenBitKeyedRgbKeepsHighBytes) {
    // Samples at row 8 read from the file: (0,8) = FFFF FFFF FFFF (the tRNS
    // colour), (4,8) = 8888 8888 8888, (8,8) = B7B7 1313 1313.
    for (const char* name : {"ftbbn2c16.png", "ftbgn2c16.png"}) {
        TBitmap32 out;
        DecodePNGToBitmapFile(Suite(name), out);
        EXPECT_EQ(out.Pixel(0, 8), 0x00FFFFFFu) << name;
        EXPECT_EQ(out.Pixel(4, 8), 0xFF888888u) << name;
        EXPECT_EQ(out.Pixel(8, 8), 0xFFB71313u) << name;
    }
}

TEST(PngCodec, LowBitDepthGreyScalesToFullRange) {
    TDecodedPNG one = DecodePNGFile(Suite("basn0g01.png"));
    bool black = false, white = false;
    for (size_t i = 0; i < one.Pixels.PixelCount(); ++i) {
        TColor32 c = one.Pixels.Bits()[i];
        ASSERT_TRUE(c == 0xFF000000u || c == 0xFFFFFFFFu) << std::hex << c;
        black |= c == 0xFF000000u, white |= c == 0xFFFFFFFFu;
    }
    EXPECT_TRUE(black && white);
    TDecodedPNG two = DecodePNGFile(Suite("basn0g02.png"));
    for (size_t i = 0; i < two.Pixels.PixelCount(); ++i) ASSERT_EQ((two.Pixels.Bits()[i] & 255) % 85, 0u);
}

TEST(PngCodec, InterlacedTwinsDecodeIdentically) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const char* name : kSuite) {
        std::string twin = Suite(std::string("i") + name);
        if (std::filesystem::exists(twin)) pairs.emplace_back(twin, Suite(name));
        std::string deep = Suite(std::string("interlaced/i") + name);
        if (std::filesystem::exists(deep)) pairs.emplace_back(deep, Suite(name));
    }
    ASSERT_GE(pairs.size(), 25u);
    int interlaced = 0;
    for (auto& [twin, plain] : pairs) {
        SCOPED_TRACE(twin);
        interlaced += ReadBytes(twin).at(28) == 1;
        TDecodedPNG a = DecodePNGFile(twin), b = DecodePNGFile(plain);
        EXPECT_EQ(MaxChannelDiff(a.Pixels, b.Pixels), 0);
        EXPECT_EQ(a.Alpha, b.Alpha);
        EXPECT_EQ(a.HasKeyColor, b.HasKeyColor);
        EXPECT_EQ(a.KeyColor, b.KeyColor);
        EXPECT_EQ(a.HasPaletteAlpha, b.HasPaletteAlpha);
        TBitmap32 fa, fb;
        DecodePNGToBitmapFile(twin, fa);
        DecodePNGToBitmapFile(plain, fb);
        EXPECT_EQ(MaxChannelDiff(fa, fb), 0);
    }
    EXPECT_GE(interlaced, 20);
}

TEST(PngCodec, TransparencyDetailsOfTheSuite) {
    struct {
        const char* Name;
        bool Key;
        TColor32 KeyColor;
        bool PaletteAlpha;
    } cases[] = {
        {"ftbbn0g01.png", true, 0xFF000000, false}, // 1-bit grey key 0
        {"ftbbn0g04.png", true, 0xFFFFFFFF, false}, // 4-bit grey key 15 -> 255
        {"ftbwn0g16.png", true, 0xFFFFFFFF, false}, // 16-bit key 0xFFFF, high byte
        {"ftbrn2c08.png", true, 0xFFFFFFFF, false}, {"ftbbn2c16.png", true, 0xFFFFFFFF, false},
        {"basn2c08.png", false, 0, false},          {"basn6a08.png", false, 0, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TDecodedPNG png = DecodePNGFile(Suite(c.Name));
        EXPECT_EQ(png.HasKeyColor, c.Key);
        if (c.Key) {
            EXPECT_EQ(png.KeyColor, c.KeyColor);
        }
        EXPECT_EQ(png.HasPaletteAlpha, c.PaletteAlpha);
    }
    // Palette tRNS with one fully transparent entry: that entry's colour is the key.
    TDecodedPNG pal = DecodePNGFile(Suite("ftbbn3p08.png"));
    EXPECT_TRUE(pal.HasPaletteAlpha);
    EXPECT_TRUE(pal.HasKeyColor);
    std::vector<uint8_t> bytes = ReadBytes(Suite("ftbbn3p08.png"));
    size_t plte = FindPngChunk(bytes, "PLTE");
    ASSERT_NE(plte, std::string::npos);
    EXPECT_EQ(pal.KeyColor, 0xFF000000u | uint32_t(bytes[plte + 8]) << 16 | uint32_t(bytes[plte + 9]) << 8 |
                                bytes[plte + 10]);
    TDecodedPNG none = DecodePNGFile(Suite("ftp0n3p08.png"));
    EXPECT_FALSE(none.HasPaletteAlpha);
    EXPECT_FALSE(none.HasKeyColor);
}

TEST(PngCodec, PartialPaletteAlpha) {
    // basn3p08 with a tRNS chunk of in-between alphas added after PLTE.
    std::vector<uint8_t> bytes = ReadBytes(Suite("basn3p08.png"));
    size_t plte = FindPngChunk(bytes, "PLTE");
    size_t len = size_t(bytes[plte + 2]) << 8 | bytes[plte + 3];
    std::vector<uint8_t> alphas(256);
    for (int i = 0; i < 256; ++i) alphas[size_t(i)] = uint8_t(i);
    std::vector<uint8_t> trns = PngChunk("tRNS", alphas);
    bytes.insert(bytes.begin() + ptrdiff_t(plte + 12 + len), trns.begin(), trns.end());

    TDecodedPNG png = DecodePNGMemory(bytes.data(), bytes.size());
    EXPECT_TRUE(png.HasPaletteAlpha);
    EXPECT_FALSE(png.HasKeyColor);
    EXPECT_TRUE(png.Alpha.empty());

    // The finished picture carries the per-entry alphas, as Qt reads them.
    TBitmap32 full;
    DecodePNGToBitmapMemory(bytes.data(), bytes.size(), full);
    QImage qt =
        QImage::fromData(bytes.data(), int(bytes.size()), "PNG").convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(qt.isNull());
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x) ASSERT_EQ(int(full.Pixel(x, y) >> 24), qAlpha(qt.pixel(x, y)));
}

TEST(PngCodec, FullPictureAppliesKeyColor) {
    TBitmap32 out;
    DecodePNGToBitmapFile(Suite("ftbrn2c08.png"), out);
    QImage qt = QImage(QString::fromStdString(Suite("ftbrn2c08.png"))).convertToFormat(QImage::Format_ARGB32);
    int transparent = 0;
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x) {
            ASSERT_EQ(int(out.Pixel(x, y) >> 24), qAlpha(qt.pixel(x, y)));
            transparent += qAlpha(qt.pixel(x, y)) == 0;
        }
    EXPECT_GT(transparent, 0);
}

TEST(PngCodec, RoundTripIsExactWithAlpha) {
    TBitmap32 pic = MakePhoto(97, 61);
    for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x)
            pic.SetPixel(x, y, (pic.Pixel(x, y) & 0xFFFFFF) | uint32_t((x * 7 + y * 3) & 255) << 24);
    pic.SetPixel(0, 0, 0x00ABCDEF); // colour of an invisible pixel survives
    for (int level : {0, 6, 9}) {
        std::vector<uint8_t> data = EncodePNGMemory(pic, level);
        TBitmap32 back;
        DecodePNGToBitmapMemory(data.data(), data.size(), back);
        EXPECT_EQ(MaxChannelDiff(pic, back), 0) << level;
        EXPECT_EQ(back.Pixel(0, 0), 0x00ABCDEFu);
        EXPECT_EQ(data[25], 6) << "RGBA colour type";
    }
    EXPECT_LT(EncodePNGMemory(pic, 9).size(), EncodePNGMemory(pic, 0).size());

    // Each row filtered as libpng filters it: the inflated data is libpng's
    // byte for byte (filter types included), here on a picture with flat,
    // noisy, transparent and gradient parts and an odd width.
    TBitmap32 mixed = MakePhoto(301, 93);
    mixed.FillRect(0, 0, 120, 30, 0xFF204060);
    mixed.FillRect(150, 40, 301, 60, 0x00000000);
    for (int y = 60; y < 93; ++y)
        for (int x = 0; x < 301; ++x)
            mixed.SetPixel(x, y, mixed.Pixel(x, y) ^ uint32_t(x * 2654435761u >> 27));
    const std::vector<uint8_t> ours = EncodePNGMemory(mixed, 9), libpng = EncodePNGMemoryLibpng(mixed, 9);
    const std::vector<uint8_t> rows = InflatedIdat(ours);
    EXPECT_EQ(rows, InflatedIdat(libpng));
    EXPECT_EQ(rows, codec::FilterPNGRows(mixed, true));
    std::set<uint8_t> types;
    for (size_t y = 0; y < 93; ++y) types.insert(rows[y * (301 * 4 + 1)]);
    EXPECT_GE(types.size(), 3u) << "the picture exercises several filters";
    // compressed in pieces at once, the pieces joined into one stream
    for (int pieces : {1, 2, 3, 7}) {
        const std::vector<uint8_t> z = codec::CompressPNGData(rows, pieces == 3 ? 0 : 9, pieces); // 0: stored
        std::vector<uint8_t> back(rows.size());
        uLongf size = uLongf(back.size());
        ASSERT_EQ(uncompress(back.data(), &size, z.data(), uLong(z.size())), Z_OK) << pieces;
        EXPECT_EQ(size, rows.size());
        EXPECT_EQ(back, rows) << pieces;
        const std::vector<uint8_t> file = codec::EncodePNGTrueColor(mixed, 9, true, pieces);
        TBitmap32 decoded;
        DecodePNGToBitmapMemory(file.data(), file.size(), decoded);
        EXPECT_EQ(MaxChannelDiff(decoded, mixed), 0) << pieces;
    }

    const std::string path = MakeTempDir() + "/rt.png";
    EncodePNGFile(path, pic);
    QImage qt = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(MaxChannelDiff(FromQImage(qt), pic), 0);
    EXPECT_EQ(ReadPNGSize(path), (TPictureSize{97, 61}));
}

TEST(PngCodec, TruncatedAndCorruptDataThrow) {
    std::vector<uint8_t> data = EncodePNGMemory(MakePhoto(80, 60), 6);
    for (double f : {0.0, 0.02, 0.1, 0.5, 0.9, 0.99}) {
        std::vector<uint8_t> cut(data.begin(), data.begin() + ptrdiff_t(data.size() * f));
        EXPECT_FALSE(ThrownText(cut).empty()) << f;
    }
    std::vector<uint8_t> noEnd(data.begin(), data.end() - 12); // IEND missing
    EXPECT_FALSE(ThrownText(noEnd).empty());

    size_t idat = FindPngChunk(data, "IDAT");
    ASSERT_NE(idat, std::string::npos);
    std::vector<uint8_t> badCrc = data;
    badCrc[idat + 40] ^= 0x55;
    EXPECT_FALSE(ThrownText(badCrc).empty());

    // Damaged compressed data with a correct CRC.
    std::vector<uint8_t> badZlib = data;
    size_t len = size_t(badZlib[idat]) << 24 | size_t(badZlib[idat + 1]) << 16 |
                 size_t(badZlib[idat + 2]) << 8 | badZlib[idat + 3];
    for (size_t i = 8; i < 40; ++i) badZlib[idat + 8 + i] = 0xFF;
    PutBE32(badZlib, idat + 8 + len, Crc32(badZlib.data() + idat + 4, 4 + len));
    EXPECT_FALSE(ThrownText(badZlib).empty());

    std::vector<uint8_t> notPng = {'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_FALSE(ThrownText(notPng).empty());

    uint32_t rnd = 99;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bad = data;
        rnd = rnd * 1664525u + 1013904223u;
        bad[8 + rnd % (bad.size() - 8)] ^= uint8_t(1 + (rnd >> 24) % 255);
        TBitmap32 out;
        try {
            DecodePNGToBitmapMemory(bad.data(), bad.size(), out);
            EXPECT_FALSE(out.Empty());
        } catch (const EUserError&) {
            EXPECT_TRUE(out.Empty());
        }
    }
}

TEST(PngCodec, OversizeHeadersAreRefusedWithTheirSize) {
    std::vector<uint8_t> data = EncodePNGMemory(MakePhoto(4, 4), 9);
    const std::string dir = MakeTempDir();
    for (auto [w, h] : {std::pair{40000, 10}, std::pair{20000, 20000}}) {
        std::vector<uint8_t> big = data;
        PutBE32(big, 16, uint32_t(w));
        PutBE32(big, 20, uint32_t(h));
        PutBE32(big, 29, Crc32(big.data() + 12, 17));
        const std::string path = dir + "/big.png";
        WriteBytes(path, big);
        std::string text;
        try {
            DecodePNGFile(path);
        } catch (const EUserError& e) {
            text = e.what();
        }
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_NE(text.find(std::to_string(w) + " x " + std::to_string(h)), std::string::npos) << text;
        EXPECT_EQ(ReadPNGSize(path), (TPictureSize{w, h}));
    }
}

TEST(PngCodec, TinyFileClaimingHugePictureIsRefusedAsCutOff) {
    // 15000 x 15000 RGBA is within the limits, but 100 bytes of deflate data
    // cannot hold it: refused without allocating 900 MB first.
    std::vector<uint8_t> data = ReadBytes(TestDataPath("fuzz-regressions/png-15000x15000-tiny.png"));
    std::string text = ThrownText(data);
    EXPECT_NE(text.find("ends early"), std::string::npos) << text;
}
