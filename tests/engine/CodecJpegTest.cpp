// JPEG codec: round trips, colour spaces, DCT scaling, EXIF orientation and
// hostile input.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <functional>

extern "C" {
#include <jpeglib.h>
}

#include "CodecHelpers.h"
#include "common/TestSupport.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"

using namespace testpic;

namespace {

// Writes a JPEG with libjpeg directly (grey, CMYK or a custom scan script),
// for inputs the program's own encoder never produces.
struct TRawJpeg {
    int Width = 16, Height = 16, Components = 3;
    J_COLOR_SPACE Space = JCS_RGB;
    bool Adobe = true;
    std::vector<jpeg_scan_info> Scans;
    std::vector<uint8_t> Samples; // Width * Height * Components

    std::vector<uint8_t> Encode() {
        jpeg_compress_struct c{};
        jpeg_error_mgr err{};
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        unsigned char* buf = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&c, &buf, &size);
        c.image_width = JDIMENSION(Width);
        c.image_height = JDIMENSION(Height);
        c.input_components = Components;
        c.in_color_space = Space;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 95, TRUE);
        c.write_Adobe_marker = Adobe ? TRUE : FALSE;
        if (!Scans.empty()) {
            c.scan_info = Scans.data();
            c.num_scans = int(Scans.size());
        }
        jpeg_start_compress(&c, TRUE);
        while (c.next_scanline < c.image_height) {
            JSAMPROW row = Samples.data() + size_t(c.next_scanline) * size_t(Width * Components);
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::vector<uint8_t> out(buf, buf + size);
        std::free(buf);
        return out;
    }
};

// Start-of-frame markers met before the first scan.
std::vector<int> FrameMarkers(const std::vector<uint8_t>& jpeg) {
    std::vector<int> markers;
    size_t p = 2;
    while (p + 4 <= jpeg.size() && jpeg[p] == 0xFF) {
        int m = jpeg[p + 1];
        if (m == 0xDA) break;
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) markers.push_back(m);
        p += 2 + (size_t(jpeg[p + 2]) << 8 | jpeg[p + 3]);
    }
    return markers;
}

size_t FindMarker(const std::vector<uint8_t>& jpeg, int marker) {
    size_t p = 2;
    while (p + 4 <= jpeg.size() && jpeg[p] == 0xFF) {
        if (jpeg[p + 1] == marker) return p;
        if (jpeg[p + 1] == 0xDA) break;
        p += 2 + (size_t(jpeg[p + 2]) << 8 | jpeg[p + 3]);
    }
    return std::string::npos;
}

// A 32 x 16 picture of four flat quadrants: red, green / blue, white.
TBitmap32 Quadrants() {
    TBitmap32 b(32, 16);
    b.FillRect(0, 0, 16, 8, 0xFFFF0000);
    b.FillRect(16, 0, 32, 8, 0xFF00FF00);
    b.FillRect(0, 8, 16, 16, 0xFF0000FF);
    b.FillRect(16, 8, 32, 16, 0xFFFFFFFF);
    return b;
}

std::string ThrownText(const std::function<void()>& f) {
    try {
        f();
    } catch (const EUserError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(JpegCodec, RoundTripStaysCloseAndOpaque) {
    TBitmap32 photo = MakePhoto(203, 151);
    photo.FillRect(10, 10, 40, 40, 0x20FFFFFF); // alpha must not reach the file
    std::vector<uint8_t> data = EncodeJPEGMemory(photo, 90);
    TBitmap32 back;
    DecodeJPEGMemory(data.data(), data.size(), back);
    ASSERT_EQ(back.Width(), 203);
    ASSERT_EQ(back.Height(), 151);
    for (size_t i = 0; i < back.PixelCount(); ++i) ASSERT_EQ(back.Bits()[i] >> 24, 255u);
    TBitmap32 opaque = photo;
    opaque.ResetAlpha(255);
    EXPECT_LE(MaxChannelDiff(opaque, back), 64); // chroma bleeds at the white square's edges
    double sum = 0;
    for (size_t i = 0; i < back.PixelCount(); ++i)
        for (int k = 0; k < 24; k += 8)
            sum += std::abs(int(back.Bits()[i] >> k & 255) - int(opaque.Bits()[i] >> k & 255));
    EXPECT_LT(sum / (back.PixelCount() * 3), 4.0);

    // Qt's own reader agrees with ours on the same bytes.
    QImage qt = QImage::fromData(data.data(), int(data.size()), "JPG");
    ASSERT_FALSE(qt.isNull());
    EXPECT_LE(MaxChannelDiff(FromQImage(qt), back), 2);

    std::vector<uint8_t> low = EncodeJPEGMemory(photo, 30);
    EXPECT_LT(low.size(), data.size());
}

TEST(JpegCodec, ExportIsBaselineSof0) {
    std::vector<uint8_t> data = EncodeJPEGMemory(MakePhoto(64, 48));
    EXPECT_EQ(FrameMarkers(data), std::vector<int>{0xC0});
}

TEST(JpegCodec, SampleFilesMatchQt) {
    for (const char* name : {"testorig.jpg", "testimgint.jpg"}) {
        TBitmap32 ours;
        DecodeJPEGFile(TestDataPath(std::string("jpeg-bmp/") + name), ours);
        QImage qt(QString::fromStdString(TestDataPath(std::string("jpeg-bmp/") + name)));
        ASSERT_FALSE(qt.isNull()) << name;
        EXPECT_EQ(ours.Width(), 227) << name;
        EXPECT_EQ(ours.Height(), 149) << name;
        EXPECT_LE(MaxChannelDiff(FromQImage(qt), ours), 2) << name;
        EXPECT_EQ(ReadJPEGSize(TestDataPath(std::string("jpeg-bmp/") + name)), (TPictureSize{227, 149}));
    }
}

TEST(JpegCodec, GreyscaleAndCmyk) {
    TRawJpeg grey;
    grey.Components = 1;
    grey.Space = JCS_GRAYSCALE;
    grey.Samples.assign(256, 0);
    for (int i = 0; i < 256; ++i) grey.Samples[size_t(i)] = uint8_t(i < 128 ? 40 : 200);
    std::vector<uint8_t> g = grey.Encode();
    TBitmap32 out;
    DecodeJPEGMemory(g.data(), g.size(), out);
    ASSERT_EQ(out.Width(), 16);
    EXPECT_NEAR(int(out.Pixel(3, 2) & 255), 40, 3);
    EXPECT_NEAR(int(out.Pixel(3, 13) & 255), 200, 3);
    for (size_t i = 0; i < out.PixelCount(); ++i) {
        TColor32 c = out.Bits()[i];
        ASSERT_EQ(c >> 24, 255u);
        ASSERT_EQ(c >> 16 & 255, c & 255);
        ASSERT_EQ(c >> 8 & 255, c & 255);
    }

    // Pure red ink-free: C 0, M 100 %, Y 100 %, K 0. Adobe files store the
    // values inverted, others as they are.
    for (bool adobe : {true, false}) {
        TRawJpeg cmyk;
        cmyk.Components = 4;
        cmyk.Space = JCS_CMYK;
        cmyk.Adobe = adobe;
        for (int i = 0; i < 256; ++i) {
            uint8_t ink[4] = {0, 255, 255, 0};
            for (uint8_t v : ink) cmyk.Samples.push_back(adobe ? uint8_t(255 - v) : v);
        }
        std::vector<uint8_t> data = cmyk.Encode();
        DecodeJPEGMemory(data.data(), data.size(), out);
        TColor32 c = out.Pixel(8, 8);
        EXPECT_GE(int(c >> 16 & 255), 250) << adobe;
        EXPECT_LE(int(c >> 8 & 255), 5) << adobe;
        EXPECT_LE(int(c & 255), 5) << adobe;
        EXPECT_EQ(c >> 24, 255u);
    }
}

TEST(JpegCodec, DctScalingPicksLargestCoveringDenominator) {
    std::vector<uint8_t> data = EncodeJPEGMemory(MakePhoto(400, 300));
    auto decoded = [&](int mw, int mh) {
        TBitmap32 out;
        TJpegOptions o;
        o.MinWidth = mw, o.MinHeight = mh;
        DecodeJPEGMemory(data.data(), data.size(), out, o);
        return TPictureSize{out.Width(), out.Height()};
    };
    EXPECT_EQ(decoded(0, 0), (TPictureSize{400, 300}));
    EXPECT_EQ(decoded(50, 30), (TPictureSize{50, 38})); // 1/8, rounded up
    EXPECT_EQ(decoded(51, 0), (TPictureSize{100, 75})); // 1/8 gives 50: too narrow
    EXPECT_EQ(decoded(100, 75), (TPictureSize{100, 75}));
    EXPECT_EQ(decoded(100, 76), (TPictureSize{200, 150}));
    EXPECT_EQ(decoded(201, 10), (TPictureSize{400, 300}));
    EXPECT_EQ(decoded(0, 150), (TPictureSize{200, 150}));
}

TEST(JpegCodec, ExifOrientationTurnsThePictureUpright) {
    // Quadrants as seen after turning: top-left, top-right, bottom-left, bottom-right.
    const TColor32 R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
    const TColor32 expected[9][4] = {{},           {R, G, B, W}, {G, R, W, B}, {W, B, G, R}, {B, W, R, G},
                                     {R, B, G, W}, {B, R, W, G}, {W, G, B, R}, {G, W, R, B}};
    std::vector<uint8_t> plain = EncodeJPEGMemory(Quadrants(), 95);
    auto near = [](TColor32 a, TColor32 b) {
        for (int k = 0; k < 32; k += 8)
            if (std::abs(int(a >> k & 255) - int(b >> k & 255)) > 40) return false;
        return true;
    };
    for (int o = 1; o <= 8; ++o) {
        std::vector<uint8_t> data = WithOrientation(plain, o, o % 2 == 0);
        TBitmap32 out;
        DecodeJPEGMemory(data.data(), data.size(), out);
        const bool swapped = o >= 5;
        ASSERT_EQ(out.Width(), swapped ? 16 : 32) << o;
        ASSERT_EQ(out.Height(), swapped ? 32 : 16) << o;
        EXPECT_EQ(ReadJPEGSizeMemory(data.data(), data.size()), (TPictureSize{out.Width(), out.Height()}))
            << o;
        const int w = out.Width(), h = out.Height();
        const TColor32 seen[4] = {out.Pixel(w / 4, h / 4), out.Pixel(3 * w / 4, h / 4),
                                  out.Pixel(w / 4, 3 * h / 4), out.Pixel(3 * w / 4, 3 * h / 4)};
        for (int q = 0; q < 4; ++q)
            EXPECT_TRUE(near(seen[q], expected[o][q]))
                << "orientation " << o << " quadrant " << q << std::hex << " " << seen[q];
    }
    // The orientation can be ignored on request.
    std::vector<uint8_t> turned = WithOrientation(plain, 6, true);
    TBitmap32 raw;
    TJpegOptions keep;
    keep.ApplyOrientation = false;
    DecodeJPEGMemory(turned.data(), turned.size(), raw, keep);
    EXPECT_EQ(raw.Width(), 32);
}

TEST(JpegCodec, TooManyScansAreRefused) {
    // Spectral selection one coefficient at a time: 1 + 3 x 63 = 190 valid scans.
    TRawJpeg many;
    many.Width = many.Height = 16;
    many.Space = JCS_RGB;
    TBitmap32 photo = MakePhoto(16, 16);
    for (size_t i = 0; i < photo.PixelCount(); ++i)
        for (int k : {16, 8, 0}) many.Samples.push_back(uint8_t(photo.Bits()[i] >> k));
    jpeg_scan_info dc{};
    dc.comps_in_scan = 3;
    dc.component_index[0] = 0, dc.component_index[1] = 1, dc.component_index[2] = 2;
    many.Scans.push_back(dc);
    for (int c = 0; c < 3; ++c)
        for (int k = 1; k < 64; ++k) {
            jpeg_scan_info s{};
            s.comps_in_scan = 1;
            s.component_index[0] = c;
            s.Ss = s.Se = k;
            many.Scans.push_back(s);
        }
    std::vector<uint8_t> data = many.Encode();
    TBitmap32 out(5, 5);
    out.Clear(0xFF123456);
    std::string text = ThrownText([&] { DecodeJPEGMemory(data.data(), data.size(), out); });
    EXPECT_NE(text.find("scans"), std::string::npos) << text;
    EXPECT_EQ(out.Width(), 5); // untouched
    EXPECT_EQ(out.Pixel(0, 0), 0xFF123456u);

    // An ordinary progressive file passes.
    TRawJpeg few = many;
    few.Scans.resize(1);
    jpeg_scan_info ac{};
    ac.comps_in_scan = 1;
    for (int c = 0; c < 3; ++c) {
        ac.component_index[0] = c, ac.Ss = 1, ac.Se = 63;
        few.Scans.push_back(ac);
    }
    std::vector<uint8_t> ok = few.Encode();
    EXPECT_EQ(FrameMarkers(ok), std::vector<int>{0xC2});
    DecodeJPEGMemory(ok.data(), ok.size(), out);
    EXPECT_EQ(out.Width(), 16);
}

TEST(JpegCodec, TruncatedAndCorruptDataThrow) {
    std::vector<uint8_t> data = EncodeJPEGMemory(MakePhoto(120, 90));
    for (double f : {0.0, 0.01, 0.1, 0.3, 0.5, 0.8, 0.95}) {
        std::vector<uint8_t> cut(data.begin(), data.begin() + ptrdiff_t(data.size() * f));
        TBitmap32 out;
        std::string text = ThrownText([&] { DecodeJPEGMemory(cut.data(), cut.size(), out); });
        EXPECT_FALSE(text.empty()) << "cut at " << f;
        EXPECT_TRUE(out.Empty());
    }
    // A premature end-of-image marker inside the scan.
    std::vector<uint8_t> early = data;
    early[data.size() / 2] = 0xFF, early[data.size() / 2 + 1] = 0xD9;
    TBitmap32 out;
    EXPECT_FALSE(ThrownText([&] { DecodeJPEGMemory(early.data(), early.size(), out); }).empty());
    // A quantisation table index out of range.
    std::vector<uint8_t> badTable = data;
    size_t dqt = FindMarker(badTable, 0xDB);
    ASSERT_NE(dqt, std::string::npos);
    badTable[dqt + 4] = 0x07;
    EXPECT_FALSE(ThrownText([&] { DecodeJPEGMemory(badTable.data(), badTable.size(), out); }).empty());
    // Not a JPEG at all.
    std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(ThrownText([&] { DecodeJPEGMemory(text.data(), text.size(), out); }).empty());

    // Random byte damage never crashes; a success is a whole picture.
    uint32_t rnd = 7;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bad = data;
        for (int k = 0; k < 4; ++k) {
            rnd = rnd * 1664525u + 1013904223u;
            bad[rnd % bad.size()] ^= uint8_t(1 + (rnd >> 24) % 255);
        }
        TBitmap32 result;
        try {
            DecodeJPEGMemory(bad.data(), bad.size(), result);
            EXPECT_FALSE(result.Empty());
        } catch (const EUserError&) {
            EXPECT_TRUE(result.Empty());
        }
    }
}

TEST(JpegCodec, OversizeHeadersAreRefusedWithTheirSize) {
    std::vector<uint8_t> data = EncodeJPEGMemory(MakePhoto(16, 16));
    size_t sof = FindMarker(data, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    const std::string dir = MakeTempDir();
    struct {
        int W, H;
    } cases[] = {{40000, 10}, {20000, 20000}};
    for (auto c : cases) {
        std::vector<uint8_t> big = data;
        big[sof + 5] = uint8_t(c.H >> 8), big[sof + 6] = uint8_t(c.H);
        big[sof + 7] = uint8_t(c.W >> 8), big[sof + 8] = uint8_t(c.W);
        const std::string path = dir + "/big.jpg";
        WriteBytes(path, big);
        TBitmap32 out;
        std::string text = ThrownText([&] { DecodeJPEGFile(path, out); });
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_NE(text.find(std::to_string(c.W) + " x " + std::to_string(c.H)), std::string::npos) << text;
        EXPECT_EQ(ReadJPEGSize(path), (TPictureSize{c.W, c.H}));
    }
}

TEST(JpegCodec, FailedWriteKeepsTheOldFileAndNamesTheTarget) {
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/out.jpg";
    EncodeJPEGFile(path, MakePhoto(30, 20));
    std::vector<uint8_t> before = ReadBytes(path);
    EXPECT_THROW(EncodeJPEGFile(path, TBitmap32()), EUserError);
    EXPECT_EQ(ReadBytes(path), before);
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1); // no temporary left behind

    const std::string missing = dir + "/no/such/folder/out.jpg";
    std::string text = ThrownText([&] { EncodeJPEGFile(missing, MakePhoto(8, 8)); });
    EXPECT_NE(text.find(missing), std::string::npos) << text;
}
