#include "persistence/ProjectTestSupport.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <fstream>
#include <sstream>

#include "common/TestSupport.h"
#include "engine/PictureUtils.h"
#include "platform/Paths.h"

namespace {

QImage Gradient(int w, int h, int seed, bool alpha) {
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = (x * 255 / std::max(1, w - 1) + seed * 40) & 0xFF;
            const int g = (y * 255 / std::max(1, h - 1) + seed * 70) & 0xFF;
            const int b = (seed * 90 + 60) & 0xFF;
            const int a = alpha ? ((x + y) % 3 == 0 ? 0 : 200) : 255;
            img.setPixel(x, y, qRgba(r, g, b, a));
        }
    // a marker in the top-left corner shows flips
    for (int y = 0; y < std::min(h, 4); ++y)
        for (int x = 0; x < std::min(w, 4); ++x) img.setPixel(x, y, qRgba(255, 0, 0, 255));
    return img;
}

void MakeFolder(const std::string& path) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path)));
}

int DiscGrey(int x, int y, int w, int h) {
    const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0, r = std::min(w, h) / 2.0;
    return dx * dx + dy * dy <= r * r ? 255 : 0;
}

int InnerRectGrey(int x, int y, int w, int h) {
    return x >= w / 5 && x < w * 4 / 5 && y >= h / 5 && y < h * 4 / 5 ? 255 : 0;
}

} // namespace

TMiniLibrary::TMiniLibrary() {
    Root = MakeTempDir() + "/lib/";
    MakeFolder(Root + "Masks/Circle");
    MakeFolder(Root + "Frames/Free");
    MakeFolder(Root + "Cliparts/Animals");
    MakeFolder(Root + "Cliparts/Customize");
    MakeFolder(Root + "background");
    {
        QImage mask(64, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const int g = DiscGrey(x, y, 64, 64);
                mask.setPixel(x, y, qRgb(g, g, g));
            }
        EXPECT_TRUE(mask.save(QString::fromStdString(Root + "Masks/Circle/yuan13.msk"), "JPEG", 95));
    }
    {
        QImage frame(80, 60, QImage::Format_ARGB32);
        frame.fill(Qt::transparent);
        QPainter p(&frame);
        p.setPen(QPen(QColor(200, 160, 40), 10));
        p.drawRect(5, 5, 70, 50);
        p.end();
        EXPECT_TRUE(frame.save(QString::fromStdString(Root + "Frames/Free/gold.frm"), "PNG"));
        EXPECT_TRUE(frame.save(QString::fromStdString(Root + "Frames/Free/plain.frm"), "PNG"));
        WriteGreyGif(Root + "Frames/Free/gold.msk", 80, 60, InnerRectGrey);
    }
    WritePng(Root + "Cliparts/Animals/cat.png", 40, 30, 3, true);
    WriteJpeg(Root + "background/paper.jpg", 50, 40, 5);
    SetResourceRoot(Root);
}

TMiniLibrary::~TMiniLibrary() {
    SetResourceRoot("");
}

std::string WriteJpeg(const std::string& path, int w, int h, int seed) {
    EXPECT_TRUE(Gradient(w, h, seed, false)
                    .convertToFormat(QImage::Format_RGB32)
                    .save(QString::fromStdString(path), "JPEG", 90));
    return path;
}

std::string WritePng(const std::string& path, int w, int h, int seed, bool alpha) {
    EXPECT_TRUE(Gradient(w, h, seed, alpha).save(QString::fromStdString(path), "PNG"));
    return path;
}

void WriteGreyGif(const std::string& path, int w, int h, int (*grey)(int x, int y, int w, int h)) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ASSERT_NE(gif, nullptr);
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EXPECT_EQ(EGifPutScreenDesc(gif, w, h, 8, 0, map), GIF_OK);
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr), GIF_OK);
    std::vector<GifPixelType> line(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) line[size_t(x)] = GifPixelType(grey(x, y, w, h));
        EXPECT_EQ(EGifPutLine(gif, line.data(), w), GIF_OK);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TNewRotLayer* AddLayer(TCollageDocument& doc, uint8_t kind, const TBitmap32& picture,
                       const TFloatRect& location, const std::string& sourceFile) {
    TUpdateScope<TImage32> update(doc.ImageScreen);
    auto* layer = doc.Layers().Add<TNewRotLayer>();
    layer->AssignPicture(&picture);
    layer->Picture.DrawMode = TDrawMode::Blend;
    layer->ImageType = kind;
    layer->SourceFile = sourceFile;
    layer->SetLocation(location);
    layer->SetPictureCenter({layer->Picture.Width() / 2.0f, layer->Picture.Height() / 2.0f});
    layer->Picture.Resampler = TResamplerKind::Linear;
    layer->SetScaled(true);
    layer->AlphaHit = true;
    layer->SetViewedRect({0, 0, layer->Picture.Width(), layer->Picture.Height()});
    layer->RebuildScreenCache();
    return layer;
}

TNewRotLayer* AddLayer(TCollageDocument& doc, uint8_t kind, const std::string& file,
                       const TFloatRect& location, const std::string& sourceFile) {
    TBitmap32 picture;
    EXPECT_TRUE(LoadPicture32(file, picture)) << file;
    return AddLayer(doc, kind, picture, location, sourceFile);
}

TNewRotLayer* AddTextLayer(TCollageDocument& doc, const std::string& text, const TFloatRect& location) {
    QImage img(120, 50, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setPen(QColor(20, 40, 200));
        p.setFont(QFont("DejaVu Sans", 14));
        p.drawText(img.rect(), Qt::AlignCenter, QString::fromStdString(text));
    }
    TBitmap32 picture;
    picture.FromImage(img);
    TNewRotLayer* layer = AddLayer(doc, itText, picture, location, "");
    layer->Text = text;
    auto font = std::make_unique<TLayerFont>();
    font->Font = QFont("DejaVu Sans");
    font->Font.setPixelSize(14);
    font->Font.setBold(true);
    font->Font.setItalic(true);
    font->Color = 0xFF2040C8;
    layer->SetFont(std::move(font));
    layer->AALevel = 3;
    return layer;
}

TNewRotLayer* AddPlaceholder(TCollageDocument& doc, const TFloatRect& location) {
    TBitmap32 white(10, 10);
    white.Clear(0xFFFFFFFF);
    TNewRotLayer* layer = AddLayer(doc, itPlaceholder, white, location, "");
    layer->PlaceholderLine1 = "Double Click or";
    layer->PlaceholderLine2 = "Drag Photo Here.";
    layer->SetViewedRect({0, 0, 9, 9});
    layer->RebuildScreenCache();
    return layer;
}

void ExpectSameLayer(const TNewRotLayer& a, const TNewRotLayer& b, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(a.ImageType, b.ImageType);
    EXPECT_EQ(a.Location, b.Location);
    EXPECT_EQ(a.Angle, b.Angle);
    EXPECT_EQ(a.ViewedRect, b.ViewedRect);
    EXPECT_EQ(a.FlipH, b.FlipH);
    EXPECT_EQ(a.FlipV, b.FlipV);
    EXPECT_EQ(a.Locked, b.Locked);
    EXPECT_EQ(a.Picture.MasterAlpha, b.Picture.MasterAlpha);
    EXPECT_EQ(a.Picture.DrawMode, b.Picture.DrawMode);
    EXPECT_EQ(a.Picture.Resampler, b.Picture.Resampler);
    EXPECT_EQ(MaxChannelDiff(a.Picture, b.Picture), 0);
    EXPECT_EQ(a.PictureCenter, b.PictureCenter);
    EXPECT_EQ(a.Scaled, b.Scaled);
    EXPECT_EQ(a.AlphaHit, b.AlphaHit);
    EXPECT_EQ(a.MaskName, b.MaskName);
    EXPECT_EQ(bool(a.MaskPicture), bool(b.MaskPicture));
    if (a.MaskPicture && b.MaskPicture) {
        EXPECT_EQ(MaxChannelDiff(*a.MaskPicture, *b.MaskPicture), 0);
    }
    EXPECT_EQ(a.SubFrameName, b.SubFrameName);
    EXPECT_EQ(bool(a.SubFramePicture), bool(b.SubFramePicture));
    EXPECT_EQ(bool(a.SubFrameMask), bool(b.SubFrameMask));
    EXPECT_EQ(a.ShadowOn, b.ShadowOn);
    if (a.ShadowOn && b.ShadowOn) {
        EXPECT_EQ(a.ShadowOffsetX, b.ShadowOffsetX);
        EXPECT_EQ(a.ShadowOffsetY, b.ShadowOffsetY);
        EXPECT_EQ(a.ShadowTransparent, b.ShadowTransparent);
        EXPECT_EQ(a.ShadowSmooth, b.ShadowSmooth);
        EXPECT_EQ(a.ShadowColor, b.ShadowColor);
    }
    EXPECT_EQ(a.Text, b.Text);
    EXPECT_EQ(a.PlaceholderLine1, b.PlaceholderLine1);
    EXPECT_EQ(a.PlaceholderLine2, b.PlaceholderLine2);
    EXPECT_EQ(bool(a.Font), bool(b.Font));
    if (a.Font && b.Font) {
        EXPECT_EQ(a.Font->Font.family(), b.Font->Font.family());
        EXPECT_EQ(a.Font->Font.pixelSize(), b.Font->Font.pixelSize());
        EXPECT_EQ(a.Font->Font.bold(), b.Font->Font.bold());
        EXPECT_EQ(a.Font->Font.italic(), b.Font->Font.italic());
        EXPECT_EQ(a.Font->Font.underline(), b.Font->Font.underline());
        EXPECT_EQ(a.Font->Font.strikeOut(), b.Font->Font.strikeOut());
        EXPECT_EQ(a.Font->Color, b.Font->Color);
    }
    if (a.ImageType == itText) {
        EXPECT_EQ(a.AALevel, b.AALevel);
        EXPECT_EQ(a.FlipH, b.FlipH);
        EXPECT_EQ(a.FlipV, b.FlipV);
        ASSERT_EQ(bool(a.TextStyle), bool(b.TextStyle));
        if (a.TextStyle) {
            const TTextStyle &x = *a.TextStyle, &y = *b.TextStyle;
            EXPECT_EQ(x.Halation, y.Halation);
            EXPECT_EQ(x.HalationColor, y.HalationColor);
            EXPECT_EQ(x.HalationSize, y.HalationSize);
            EXPECT_EQ(x.TextureFile, y.TextureFile);
            EXPECT_EQ(x.TextScaleX, y.TextScaleX);
            EXPECT_EQ(x.TextScaleY, y.TextScaleY);
            EXPECT_EQ(x.HorzAlign, y.HorzAlign);
            EXPECT_EQ(x.VertAlign, y.VertAlign);
        }
    }
}

void ExpectSameRender(TCollageDocument& a, TCollageDocument& b) {
    TBitmap32 ra, rb;
    EXPECT_TRUE(a.RenderCollage(ra));
    EXPECT_TRUE(b.RenderCollage(rb));
    int differing = 0;
    EXPECT_EQ(MaxChannelDiff(ra, rb, &differing), 0) << differing << " pixels differ";
}

std::vector<std::string> ChildNames(const pugi::xml_node& node) {
    std::vector<std::string> names;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) names.push_back(c.name());
    return names;
}

std::vector<std::string> AttributeNames(const pugi::xml_node& node) {
    std::vector<std::string> names;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) names.push_back(a.name());
    return names;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    const QDir dir(QString::fromStdString(folder));
    for (const QString& n :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        names.push_back(n.toStdString());
    return names;
}
