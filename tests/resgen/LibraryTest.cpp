// The resource library as it ships: the folder the build generated next to
// the executables, checked file by file with the program's own decoders, and
// the generator's drawing functions checked for determinism.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <set>

#include "Library.h"
#include "chrome/ButtonFaces.h"
#include "engine/Codecs.h"

#include <QRegularExpression>

namespace {

const QString Root = QStringLiteral(VELMORA_BUILD_BIN);

// Files of one part of the library, grouped by category folder.
std::map<QString, QStringList> Categories(const QString& part, const QString& pattern) {
    std::map<QString, QStringList> out;
    const QDir base(Root + "/" + part);
    for (const QString& cat : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir d(base.filePath(cat));
        out[cat] = d.entryList({pattern}, QDir::Files, QDir::Name);
        for (QString& f : out[cat]) f = d.filePath(f);
    }
    return out;
}

int Total(const std::map<QString, QStringList>& cats) {
    int n = 0;
    for (const auto& [_, files] : cats) n += int(files.size());
    return n;
}

TBitmap32 Decode(const QString& path) {
    TBitmap32 b;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = f.readAll();
    DecodePictureMemory(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), b);
    return b;
}

TPictureFormat FormatOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return TPictureFormat::Unknown;
    const QByteArray head = f.read(16);
    return SniffPictureFormat(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size()));
}

uint8_t Grey(TColor32 c) {
    return RedOf(c);
}

} // namespace

TEST(Library, HoldsEnoughOfEveryKindInItsCategories) {
    const auto masks = Categories("Masks", "*.msk");
    EXPECT_GE(masks.size(), 4u);
    EXPECT_TRUE(masks.count("Free") && masks.count("Circle"));
    EXPECT_GE(Total(masks), 30);

    const auto frames = Categories("Frames", "*.frm");
    EXPECT_GE(frames.size(), 3u);
    EXPECT_TRUE(frames.count("Free"));
    EXPECT_GE(Total(frames), 20);

    const auto cliparts = Categories("Cliparts", "*.png");
    EXPECT_TRUE(cliparts.count("Free"));
    ASSERT_TRUE(cliparts.count("Customize"));
    EXPECT_TRUE(cliparts.at("Customize").isEmpty()) << "the user's own cliparts start empty";
    EXPECT_GE(cliparts.size() - 1, 3u);
    EXPECT_GE(Total(cliparts), 40);

    EXPECT_GE(QDir(Root + "/Textures").entryList(QDir::Files).size(), 12);
    EXPECT_GE(QDir(Root + "/Photos").entryList(QDir::Files).size(), 12);
    EXPECT_GE(QDir(Root + "/background").entryList(QDir::Files).size(), 10);
    EXPECT_TRUE(QFileInfo::exists(Root + "/background/3.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Root + "/resource/start.png"));
    EXPECT_TRUE(QFileInfo::exists(Root + "/cursor.png"));
}

TEST(Library, ButtonPicturesComeInBothSizesWithTransparentMargins) {
    for (const TPictureButtonInfo& b : PictureButtons()) {
        for (int i = 0; i < kFaceCount; ++i) {
            const std::string file = ButtonPictureFile(b, TFace(i));
            if (file.empty()) continue;
            const QString one = Root + "/" + QString::fromStdString(file);
            const QString two = Root + "/" + QString::fromStdString(DoubleSizeFile(file));
            ASSERT_EQ(FormatOf(one), TPictureFormat::Bmp) << file;
            ASSERT_EQ(FormatOf(two), TPictureFormat::Bmp) << DoubleSizeFile(file);
            const TBitmap32 small = Decode(one), large = Decode(two);
            EXPECT_EQ(large.Width(), 2 * small.Width()) << file;
            EXPECT_EQ(large.Height(), 2 * small.Height()) << file;
            if (MainButtonLeft(b.Name) >= 0) {
                EXPECT_EQ(small.Width(), kMainButtonWidth);
                EXPECT_EQ(small.Height(), kMainButtonHeight);
            }
            if (ToolButtonTop(b.Name) >= 0) {
                EXPECT_EQ(small.Width(), kToolButtonWidth);
                EXPECT_EQ(small.Height(), kToolButtonHeight);
            }
            // the bar shows through the corners: the pictures keep their alpha
            EXPECT_EQ(AlphaOf(small.Pixel(0, 0)), 0) << file;
            EXPECT_EQ(AlphaOf(large.Pixel(0, 0)), 0) << DoubleSizeFile(file);
        }
    }
}

TEST(Library, TheGuideLinksOnlyToPagesAndPicturesThatShip) {
    const QDir help(Root + "/help");
    const QStringList pages = help.entryList({"*.html"}, QDir::Files);
    EXPECT_GE(pages.size(), 15);
    for (const char* must :
         {"index.html", "materials.html", "translating.html", "shortcuts.html", "export.html"})
        EXPECT_TRUE(pages.contains(must)) << must;
    const QRegularExpression link(R"((?:href|src)="([^"#]+))");
    int links = 0, pictures = 0;
    for (const QString& page : pages) {
        QFile f(help.filePath(page));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        // the program has no web site: every address is a file of the guide
        EXPECT_FALSE(html.contains("http:") || html.contains("https:") || html.contains("mailto:"))
            << page.toStdString();
        for (auto m = link.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            EXPECT_TRUE(QFileInfo(help.filePath(target)).isFile())
                << page.toStdString() << " -> " << target.toStdString();
            ++links;
            pictures += target.startsWith("images/");
        }
    }
    EXPECT_GE(links, 200);
    EXPECT_GE(pictures, 10);
}

TEST(Library, MasksAreGreyJpegsWithBothBlackAndWhite) {
    for (const auto& [cat, files] : Categories("Masks", "*.msk"))
        for (const QString& path : files) {
            SCOPED_TRACE(path.toStdString());
            ASSERT_EQ(FormatOf(path), TPictureFormat::Jpeg);
            const TBitmap32 m = Decode(path);
            ASSERT_GT(m.Width(), 32);
            int lo = 255, hi = 0;
            bool grey = true;
            for (size_t i = 0; i < m.PixelCount(); ++i) {
                const TColor32 c = m.Bits()[i];
                grey = grey && RedOf(c) == GreenOf(c) && GreenOf(c) == BlueOf(c);
                lo = std::min<int>(lo, RedOf(c));
                hi = std::max<int>(hi, RedOf(c));
            }
            EXPECT_TRUE(grey) << "a colour fringe would tint the photo's edge";
            EXPECT_LE(lo, 8);
            EXPECT_GE(hi, 247);
        }
}

// yuan13 is the mask every new photo gets: opaque in the middle, fully cut at
// the corners, and with a soft ramp between rather than a hard edge.
TEST(Library, DefaultMaskIsASoftRoundedShape) {
    const TBitmap32 m = Decode(Root + "/Masks/Circle/yuan13.msk");
    ASSERT_GT(m.Width(), 100);
    const int w = m.Width(), h = m.Height();
    EXPECT_GE(Grey(m.Pixel(w / 2, h / 2)), 250);
    EXPECT_LE(Grey(m.Pixel(1, 1)), 5);
    EXPECT_LE(Grey(m.Pixel(w - 2, h - 2)), 5);
    // Along the middle row from the left edge inwards the mask rises without
    // falling back and passes through several intermediate levels.
    std::set<int> levels;
    int previous = 0;
    for (int x = 0; x < w / 2; ++x) {
        const int g = Grey(m.Pixel(x, h / 2));
        EXPECT_GE(g + 6, previous) << "at x = " << x;
        previous = std::max(previous, g);
        if (g > 20 && g < 235) levels.insert(g / 16);
    }
    EXPECT_GE(levels.size(), 6u) << "the edge should be a gradual ramp";
    // Most of the photo stays visible.
    size_t open = 0;
    for (size_t i = 0; i < m.PixelCount(); ++i) open += RedOf(m.Bits()[i]) >= 128;
    EXPECT_GT(double(open) / double(m.PixelCount()), 0.6);
}

// A frame is a PNG whose opening is transparent and whose rim is opaque; its
// companion mask, a GIF of the same size, is white in the opening (where the
// photos show) and black where the page's paper must cover what lies below
// (an oval's corners, a film strip's sprocket holes).
TEST(Library, FramesHaveAnOpeningAndMatchingCompanions) {
    int frames = 0, companions = 0;
    for (const auto& [cat, files] : Categories("Frames", "*.frm"))
        for (const QString& path : files) {
            SCOPED_TRACE(path.toStdString());
            ++frames;
            ASSERT_EQ(FormatOf(path), TPictureFormat::Png);
            const TBitmap32 f = Decode(path);
            const int w = f.Width(), h = f.Height();
            ASSERT_GT(w, 100);
            EXPECT_EQ(AlphaOf(f.Pixel(w / 2, h / 2)), 0) << "the opening is see-through";
            size_t opaque = 0;
            for (size_t i = 0; i < f.PixelCount(); ++i) opaque += AlphaOf(f.Bits()[i]) > 200;
            EXPECT_GT(opaque, f.PixelCount() / 50) << "a frame needs a visible rim";
            QString companion = path;
            companion.replace(".frm", ".msk");
            if (!QFileInfo::exists(companion)) continue;
            ++companions;
            ASSERT_EQ(FormatOf(companion), TPictureFormat::Gif);
            const TBitmap32 m = Decode(companion);
            EXPECT_EQ(m.Width(), w);
            EXPECT_EQ(m.Height(), h);
            EXPECT_GE(Grey(m.Pixel(w / 2, h / 2)), 250);
            // The paper must fill see-through parts of the frame itself: a
            // companion that only blacks out the opaque rim changes nothing.
            size_t papered = 0;
            for (size_t i = 0; i < m.PixelCount(); ++i)
                papered += RedOf(m.Bits()[i]) <= 5 && AlphaOf(f.Bits()[i]) < 128;
            EXPECT_GT(papered, m.PixelCount() / 200);
        }
    EXPECT_GE(companions * 3, frames) << "a third of the frames cut a shaped opening";
}

TEST(Library, ClipartsAreTransparentAroundTheirMotif) {
    for (const auto& [cat, files] : Categories("Cliparts", "*.png"))
        for (const QString& path : files) {
            SCOPED_TRACE(path.toStdString());
            const TBitmap32 c = Decode(path);
            ASSERT_GT(c.Width(), 16);
            const int w = c.Width(), h = c.Height();
            EXPECT_EQ(AlphaOf(c.Pixel(0, 0)) + AlphaOf(c.Pixel(w - 1, h - 1)), 0);
            size_t solid = 0; // translucent motifs (tape, glass) count too
            for (size_t i = 0; i < c.PixelCount(); ++i) solid += AlphaOf(c.Bits()[i]) >= 128;
            EXPECT_GT(solid, c.PixelCount() / 20);
        }
}

// Photos must look like pictures, not flat fills: a spread of brightness.
// Backgrounds and textures may be quiet (paper, linen) but not flat, and no
// two files of a folder are alike.
TEST(Library, PhotosAndBackgroundsAreVariedPictures) {
    for (const QString& part :
         {QStringLiteral("Photos"), QStringLiteral("background"), QStringLiteral("Textures")}) {
        const QDir d(Root + "/" + part);
        std::set<std::vector<uint8_t>> signatures;
        const QStringList files = d.entryList(QDir::Files, QDir::Name);
        for (const QString& name : files) {
            SCOPED_TRACE((part + "/" + name).toStdString());
            const TBitmap32 b = Decode(d.filePath(name));
            ASSERT_GT(b.Width(), 64);
            int lo = 255, hi = 0;
            std::vector<uint8_t> signature;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const TColor32 c = b.Pixel(b.Width() * (2 * x + 1) / 8, b.Height() * (2 * y + 1) / 8);
                    signature.push_back(uint8_t(Intensity(c) / 8));
                }
            for (size_t i = 0; i < b.PixelCount(); i += 97) {
                const int v = Intensity(b.Bits()[i]);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            EXPECT_GE(hi - lo, part == "Photos" ? 60 : 6);
            signatures.insert(signature);
        }
        EXPECT_EQ(signatures.size(), size_t(files.size())) << part.toStdString() << " has look-alikes";
    }
}

// Every item draws the same pixels each time: the library is reproducible
// from the sources, and the build never ships pictures that change by chance.
TEST(Library, DrawingIsDeterministic) {
    const resgen::TCatalogue items = resgen::Catalogue();
    ASSERT_GT(items.size(), 100u);
    std::set<std::string> paths;
    for (const auto& item : items) EXPECT_TRUE(paths.insert(item.Path).second) << "duplicate " << item.Path;
    // One item of each part; drawing them all again would double the build's work.
    std::set<std::string> parts;
    for (const auto& item : items) {
        const std::string part = item.Path.substr(0, item.Path.find('/'));
        if (!parts.insert(part).second) continue;
        SCOPED_TRACE(item.Path);
        const auto first = item.Make(), second = item.Make();
        ASSERT_EQ(first.size(), second.size());
        for (size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(first[i].Path, second[i].Path);
            EXPECT_TRUE(first[i].Image == second[i].Image) << first[i].Path;
        }
    }
    EXPECT_GE(parts.size(), 6u);
}
