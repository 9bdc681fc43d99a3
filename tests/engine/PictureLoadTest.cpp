// Loading pictures by extension, the two format messages, PNG transparency
// import (LoadPNG32 / AssignPNG32) and PNG export (SavePNG32).

#include <gtest/gtest.h>

#include <QImage>
#include <QThreadPool>
#include <filesystem>

#include "CodecHelpers.h"
#include "common/TestSupport.h"
#include "engine/Codecs.h"
#include "engine/DecodePool.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "platform/Paths.h"

using namespace testpic;

namespace {

const char* const kFormatMessage = "Picture format must be bmp, jpeg, jpg or png!";
const char* const kBitmapFormatMessage = "Picture format must be bmp, jpeg, jpg, gif or png!";

// A surface with recognisable content and non-default drawing properties.
TBitmap32 Marked() {
    TBitmap32 b(7, 5);
    b.Clear(0x80123456);
    b.DrawMode = TDrawMode::Blend;
    b.MasterAlpha = 77;
    return b;
}

class PictureLoad : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempDir();
        Picture = MakeFewColors(24, 16, 6, true);
        EncodeJPEGFile(Dir + "/photo.JPG", Picture);
        EncodeJPEGFile(Dir + "/photo.jpeg", Picture);
        EncodePNGFile(Dir + "/pic.Png", Picture);
        EncodePNGFile(Dir + "/frame.frm", Picture);
        EncodeGIFFile(Dir + "/anim.gif", Picture);
        EncodeBMPFile(Dir + "/pic.BMP", Picture);
        WriteBytes(Dir + "/photo.tif", {1, 2, 3});
    }
    std::string Dir;
    TBitmap32 Picture;
    TScriptedMessages Messages;
};

} // namespace

TEST_F(PictureLoad, MissingFileShowsMessageAndLeavesTargetUntouched) {
    TBitmap32 target = Marked();
    const std::string path = Dir + "/none.jpg";
    EXPECT_FALSE(LoadPicture32(path, target));
    ASSERT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(Messages.Errors[0], "Picture does not exists!\r" + path + ": No such file or directory");
    EXPECT_EQ(target.Width(), 7);
    EXPECT_EQ(target.Pixel(3, 3), 0x80123456u);

    QImage image(3, 3, QImage::Format_ARGB32);
    image.fill(0xFF00FF00);
    EXPECT_FALSE(LoadPictureToBitmap(path, image));
    EXPECT_EQ(Messages.Errors.back(), "Picture does not exists!\r" + path + ": No such file or directory");
    EXPECT_EQ(image.pixel(1, 1), 0xFF00FF00u);
}

TEST_F(PictureLoad, UnsupportedExtensionClearsToOpaqueBlack) {
    TBitmap32 target = Marked();
    EXPECT_FALSE(LoadPicture32(Dir + "/photo.tif", target));
    ASSERT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(Messages.Errors[0],
              std::string(kFormatMessage) + "\r" + Dir + "/photo.tif: unsupported file type");
    EXPECT_EQ(target.Width(), 7);
    for (size_t i = 0; i < target.PixelCount(); ++i) ASSERT_EQ(target.Bits()[i], 0xFF000000u);

    QImage image(3, 3, QImage::Format_ARGB32);
    image.fill(0xFF00FF00);
    EXPECT_FALSE(LoadPictureToBitmap(Dir + "/photo.tif", image));
    EXPECT_EQ(Messages.Errors.back(),
              std::string(kBitmapFormatMessage) + "\r" + Dir + "/photo.tif: unsupported file type");
    EXPECT_EQ(image.pixel(1, 1), 0xFF00FF00u);
    // Frame files are pictures for the layers but not for previews.
    EXPECT_FALSE(LoadPictureToBitmap(Dir + "/frame.frm", image));
    EXPECT_EQ(Messages.Errors.back(),
              std::string(kBitmapFormatMessage) + "\r" + Dir + "/frame.frm: unsupported file type");
}

TEST_F(PictureLoad, EveryFormatLoadsWhateverTheExtensionCase) {
    TBitmap32 opaque = Picture;
    opaque.ResetAlpha(255);
    for (const char* name : {"photo.JPG", "photo.jpeg", "pic.Png", "frame.frm", "anim.gif", "pic.BMP"}) {
        SCOPED_TRACE(name);
        TBitmap32 target = Marked();
        ASSERT_TRUE(LoadPicture32(Dir + "/" + name, target));
        ASSERT_EQ(target.Width(), 24);
        ASSERT_EQ(target.Height(), 16);
        // The target keeps how it is drawn.
        EXPECT_EQ(target.DrawMode, TDrawMode::Blend);
        EXPECT_EQ(target.MasterAlpha, 77);
        const std::string ext = LowerExtension(name);
        if (ext == ".png" || ext == ".frm") {
            EXPECT_EQ(MaxChannelDiff(target, Picture), 0); // alpha carried over
        } else if (ext == ".jpg" || ext == ".jpeg") {
            TBitmap32 direct;
            DecodeJPEGFile(Dir + "/" + name, direct);
            EXPECT_EQ(MaxChannelDiff(target, direct), 0);
            for (size_t i = 0; i < target.PixelCount(); ++i) ASSERT_EQ(target.Bits()[i] >> 24, 255u);
        } else {
            // BMP and GIF load as colour pictures, alpha 255.
            EXPECT_EQ(MaxChannelDiff(target, opaque), 0);
        }
    }
    EXPECT_TRUE(Messages.Errors.empty());

    for (const char* name : {"photo.JPG", "pic.Png", "anim.gif", "pic.BMP"}) {
        QImage image;
        ASSERT_TRUE(LoadPictureToBitmap(Dir + "/" + name, image)) << name;
        EXPECT_EQ(image.width(), 24) << name;
        EXPECT_EQ(image.height(), 16) << name;
    }
}

TEST_F(PictureLoad, GifTransparencyIsDroppedOnLoad) {
    // A GIF whose first frame marks index 0 transparent.
    std::vector<uint8_t> gif = {
        'G',  'I',  'F',  '8',  '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 255, // colours: red, blue
        0x21, 0xF9, 4,    1,    0,   0,   0, 0,       // graphic control: index 0 transparent
        0x2C, 0,    0,    0,    0,   2,   0, 1, 0, 0, // image 2 x 1
        2,    2,    0x44, 0x0A, 0,   0x3B};
    WriteBytes(Dir + "/t.gif", gif);
    TBitmap32 decoded;
    DecodeGIFFile(Dir + "/t.gif", decoded);
    EXPECT_EQ(decoded.Pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(decoded.Pixel(1, 0), 0xFF0000FFu);
    TBitmap32 loaded;
    ASSERT_TRUE(LoadPicture32(Dir + "/t.gif", loaded));
    EXPECT_EQ(loaded.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(loaded.Pixel(1, 0), 0xFF0000FFu);
}

TEST_F(PictureLoad, CorruptFilesThrowAfterClearing) {
    std::vector<uint8_t> jpeg = ReadBytes(Dir + "/photo.JPG");
    jpeg.resize(jpeg.size() / 2);
    WriteBytes(Dir + "/cut.jpg", jpeg);
    WriteBytes(Dir + "/cut.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0});
    WriteBytes(Dir + "/cut.gif", {'G', 'I', 'F', '8', '9', 'a', 2});
    WriteBytes(Dir + "/cut.bmp", {'B', 'M', 0});
    for (const char* name : {"cut.jpg", "cut.png", "cut.gif", "cut.bmp"}) {
        TBitmap32 target = Marked();
        try {
            LoadPicture32(Dir + "/" + name, target);
            ADD_FAILURE() << name << " loaded";
        } catch (const EUserError& e) {
            // shown as the headline, then the file and the decoder's reason
            EXPECT_EQ(e.Headline(), kPictureReadFailed);
            EXPECT_EQ(e.File(), Dir + "/" + name);
            EXPECT_FALSE(e.Reason().empty());
        }
        EXPECT_EQ(target.Width(), 7) << name;
        EXPECT_EQ(target.Pixel(0, 0), 0xFF000000u) << name;
        QImage image;
        EXPECT_THROW(LoadPictureToBitmap(Dir + "/" + name, image), EUserError) << name;
    }
    EXPECT_TRUE(Messages.Errors.empty());
}

// The decode pool (a project's photos, thumbnails) reads files as the loader
// does, on several threads, and hands back every file's picture or its
// reason -- in the order asked, showing nothing and throwing nothing.
TEST_F(PictureLoad, DecodePoolGivesEachFileItsPictureOrItsReason) {
    std::vector<uint8_t> jpeg = ReadBytes(Dir + "/photo.JPG");
    jpeg.resize(jpeg.size() / 2);
    WriteBytes(Dir + "/cut.jpg", jpeg);
    std::vector<std::string> paths;
    for (const char* name :
         {"photo.JPG", "cut.jpg", "pic.Png", "none.jpg", "anim.gif", "photo.tif", "pic.BMP"})
        for (int copy = 0; copy < 3; ++copy) paths.push_back(Dir + "/" + name);
    for (int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        const int before = DecodePool()->maxThreadCount();
        DecodePool()->setMaxThreadCount(threads);
        std::vector<TDecodedPicture> decoded = DecodePictures(paths);
        DecodePool()->setMaxThreadCount(before);
        ASSERT_EQ(decoded.size(), paths.size());
        for (size_t i = 0; i < paths.size(); ++i) {
            const std::string& path = paths[i];
            if (path.find("cut.jpg") != std::string::npos) {
                EXPECT_EQ(decoded[i].Error.rfind(path + ": ", 0), 0u) << decoded[i].Error;
            } else if (path.find("none.jpg") != std::string::npos) {
                EXPECT_EQ(decoded[i].Error, path + ": No such file or directory");
            } else if (path.find("photo.tif") != std::string::npos) {
                EXPECT_EQ(decoded[i].Error, path + ": unsupported file type");
            } else {
                ASSERT_TRUE(decoded[i].Ok()) << decoded[i].Error;
                TBitmap32 loaded, target = Marked();
                ASSERT_TRUE(LoadPicture32(path, loaded));
                TakeDecodedPicture(decoded[i], target);
                EXPECT_EQ(MaxChannelDiff(target, loaded), 0) << path;
                EXPECT_EQ(target.MasterAlpha, 77); // the target keeps how it is drawn
            }
            if (!decoded[i].Ok()) {
                EXPECT_TRUE(decoded[i].Picture.Empty());
            }
        }
    }
    EXPECT_TRUE(Messages.Errors.empty());
}

TEST(PngTransparency, AssignPNG32AppliesKeyAndAlphaRules) {
    TDecodedPNG png;
    png.Pixels.SetSize(3, 1);
    png.Pixels.SetPixel(0, 0, 0xFF102030);
    png.Pixels.SetPixel(1, 0, 0xFFFFFFFF);
    png.Pixels.SetPixel(2, 0, 0xFFFFFFFE);
    png.ColorType = 2;
    TBitmap32 target = Marked();
    EXPECT_FALSE(AssignPNG32(target, png));
    EXPECT_EQ(target.Pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(target.MasterAlpha, 77);

    png.HasKeyColor = true;
    png.KeyColor = 0xFFFFFFFF;
    EXPECT_TRUE(AssignPNG32(target, png));
    EXPECT_EQ(target.Pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(target.Pixel(1, 0), 0x00FFFFFFu); // only the exact colour
    EXPECT_EQ(target.Pixel(2, 0), 0xFFFFFFFEu);

    // Palette pictures with partial alpha stay opaque.
    png.HasKeyColor = false;
    png.HasPaletteAlpha = true;
    png.ColorType = 3;
    EXPECT_TRUE(AssignPNG32(target, png));
    for (int x = 0; x < 3; ++x) EXPECT_EQ(target.Pixel(x, 0) >> 24, 255u);

    png.HasPaletteAlpha = false;
    png.ColorType = 6;
    png.Alpha = {0, 128, 255};
    EXPECT_TRUE(AssignPNG32(target, png));
    EXPECT_EQ(target.Pixel(0, 0), 0x00102030u);
    EXPECT_EQ(target.Pixel(1, 0), 0x80FFFFFFu);
    EXPECT_EQ(target.Pixel(2, 0), 0xFFFFFFFEu);
}

TEST(PngTransparency, LoadPNG32OnSuiteFiles) {
    // Grey 16-bit keyed on white: exactly the white pixels become transparent.
    TBitmap32 keyed;
    LoadPNG32(TestDataPath("pngsuite/ftbwn0g16.png"), keyed);
    TDecodedPNG raw = DecodePNGFile(TestDataPath("pngsuite/ftbwn0g16.png"));
    int transparent = 0;
    for (size_t i = 0; i < keyed.PixelCount(); ++i) {
        const bool white = raw.Pixels.Bits()[i] == 0xFFFFFFFFu;
        ASSERT_EQ(keyed.Bits()[i] >> 24, white ? 0u : 255u);
        transparent += white;
    }
    EXPECT_GT(transparent, 0);

    // Palette with one transparent entry: its colour is keyed.
    TBitmap32 pal;
    LoadPNG32(TestDataPath("pngsuite/ftbbn3p08.png"), pal);
    TDecodedPNG praw = DecodePNGFile(TestDataPath("pngsuite/ftbbn3p08.png"));
    ASSERT_TRUE(praw.HasKeyColor);
    for (size_t i = 0; i < pal.PixelCount(); ++i)
        ASSERT_EQ(pal.Bits()[i] >> 24, praw.Pixels.Bits()[i] == praw.KeyColor ? 0u : 255u);

    // Grey + alpha takes the alpha data.
    TBitmap32 ga;
    LoadPNG32(TestDataPath("pngsuite/basn4a08.png"), ga);
    TDecodedPNG graw = DecodePNGFile(TestDataPath("pngsuite/basn4a08.png"));
    for (size_t i = 0; i < ga.PixelCount(); ++i) ASSERT_EQ(ga.Bits()[i] >> 24, graw.Alpha[i]);
}

TEST(PngTransparency, SavePNG32Variants) {
    const std::string dir = MakeTempDir();
    TBitmap32 pic = MakeFewColors(20, 12, 5, true);
    pic.SetPixel(0, 0, 0x40FFFFFF);

    // What every caller passes: a 32-bit RGBA PNG with the source alpha.
    SavePNG32(dir + "/a.png", pic, false, 9, 0xFFFFFF, true);
    TDecodedPNG a = DecodePNGFile(dir + "/a.png");
    EXPECT_EQ(a.ColorType, 6);
    TBitmap32 back;
    LoadPNG32(dir + "/a.png", back);
    EXPECT_EQ(MaxChannelDiff(back, pic), 0);

    SavePNG32(dir + "/b.png", pic, false, 9, 0xFFFFFF, false);
    TDecodedPNG b = DecodePNGFile(dir + "/b.png");
    EXPECT_EQ(b.ColorType, 2);
    TBitmap32 opaque = pic;
    opaque.ResetAlpha(255);
    EXPECT_EQ(MaxChannelDiff(b.Pixels, opaque), 0);

    // 8-bit with the transparent colour keyed through a palette tRNS.
    SavePNG32(dir + "/c.png", opaque, true, 9, 0xFFFFFF, true);
    TDecodedPNG c = DecodePNGFile(dir + "/c.png");
    EXPECT_EQ(c.ColorType, 3);
    EXPECT_TRUE(c.HasPaletteAlpha);
    ASSERT_TRUE(c.HasKeyColor);
    EXPECT_EQ(c.KeyColor, 0xFFFFFFFFu);
    LoadPNG32(dir + "/c.png", back);
    EXPECT_EQ(back.Pixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(back.Pixel(1, 0), opaque.Pixel(1, 0));
}
