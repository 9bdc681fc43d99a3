// The templates of the library. Each is an ordinary collage built in code --
// photo layers in their places, masks, sub-frames, shadows, a border, a
// background -- saved with the program's own project writer in template mode,
// so the photos become placeholders, plus the thumbnail the chooser shows.
// The photos of the thumbnails are little landscapes drawn here.
//
// ---- Sections ----
//   Library lookups
//   Photos for the thumbnails
//   The templates
//   Writing

#include "Templates.h"

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "document/CollageDocument.h"
#include "document/Decorations.h"
#include "engine/PictureUtils.h"
#include "persistence/ProjectFile.h"
#include "persistence/Templates.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "text/TextCommands.h"

namespace {

// ---- Library lookups ----

std::vector<std::string> SortedEntries(const std::string& folder, const QStringList& patterns, bool folders) {
    std::vector<std::string> names;
    QDir dir(QString::fromStdString(folder));
    if (!dir.exists()) return names;
    const QStringList list =
        dir.entryList(patterns, (folders ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& n : list) names.push_back(n.toStdString());
    return names;
}

// Every "Category\file" of a library folder with one of the patterns, sorted
// by category then file. The user's own cliparts are not the library's.
std::vector<std::string> LibraryNames(const std::string& root, const char* folder,
                                      const QStringList& patterns) {
    std::vector<std::string> names;
    for (const std::string& category : SortedEntries(root + folder, {}, true)) {
        if (category == "Customize") continue;
        for (const std::string& file : SortedEntries(root + folder + "/" + category, patterns, false))
            names.push_back(category + "\\" + file);
    }
    return names;
}

struct TLibrary {
    std::vector<std::string> Masks, Frames, Backgrounds, Cliparts;

    explicit TLibrary(const std::string& root) {
        Masks = LibraryNames(root, "Masks", {"*.msk"});
        Frames = LibraryNames(root, "Frames", {"*.frm"});
        Cliparts = LibraryNames(root, "Cliparts", {"*.png", "*.gif", "*.jpg"});
        for (const std::string& f : SortedEntries(root + "background", {"*.jpg", "*.png"}, false))
            Backgrounds.push_back(root + "background/" + f);
    }

    // The first mask whose file name (without category) is one of the
    // wishes, else the n-th mask; "" when there are none.
    std::string Mask(std::initializer_list<const char*> wishes, size_t n = 0) const {
        for (const char* w : wishes)
            for (const std::string& m : Masks)
                if (ExtractFileName(NativePath(m)) == w) return m;
        return Masks.empty() ? "" : Masks[n % Masks.size()];
    }
    std::string Frame(size_t n) const { return Frames.empty() ? "" : Frames[n % Frames.size()]; }
    std::string Background(size_t n) const {
        return Backgrounds.empty() ? "" : Backgrounds[n % Backgrounds.size()];
    }
    std::string Clipart(size_t n) const { return Cliparts.empty() ? "" : Cliparts[n % Cliparts.size()]; }
    // A library name when the library has it, else "".
    static std::string Named(const std::vector<std::string>& names, const char* name) {
        for (const std::string& n : names)
            if (n == name || ExtractFileName(n) == name) return n;
        return "";
    }
};

// ---- Photos for the thumbnails ----

struct TScene {
    QColor SkyTop, SkyBottom, Sun, Far, Near, Ground;
};

const TScene kScenes[] = {
    {{64, 120, 200},
     {180, 214, 240},
     {255, 244, 200},
     {110, 150, 120},
     {70, 120, 70},
     {48, 92, 48}},                                                                                  // summer
    {{250, 140, 90}, {255, 214, 150}, {255, 250, 220}, {150, 90, 110}, {100, 60, 90}, {60, 40, 60}}, // sunset
    {{30, 90, 160}, {120, 190, 220}, {255, 255, 240}, {60, 130, 170}, {30, 100, 150}, {230, 210, 160}}, // sea
    {{120, 160, 200},
     {220, 230, 240},
     {255, 255, 255},
     {150, 160, 180},
     {235, 240, 248},
     {200, 210, 225}},                                                                            // snow
    {{90, 60, 140}, {230, 150, 170}, {255, 230, 200}, {80, 70, 120}, {50, 50, 90}, {30, 30, 60}}, // dusk
    {{110, 170, 210},
     {210, 235, 220},
     {255, 250, 210},
     {140, 170, 80},
     {200, 150, 60},
     {160, 100, 40}}, // autumn
};

QPainterPath Ridge(int w, int h, double base, double amp, double freq, double phase) {
    QPainterPath path;
    path.moveTo(0, h);
    for (int x = 0; x <= w; x += 4) {
        const double t = double(x) / w;
        const double y =
            base - amp * (0.6 * std::sin(t * freq + phase) + 0.4 * std::sin(t * freq * 2.3 + phase * 1.7));
        path.lineTo(x, y * h);
    }
    path.lineTo(w, h);
    path.closeSubpath();
    return path;
}

TBitmap32 ScenePhoto(int w, int h, int seed) {
    const TScene& s = kScenes[size_t(seed) % (sizeof kScenes / sizeof kScenes[0])];
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.7);
    sky.setColorAt(0, s.SkyTop);
    sky.setColorAt(1, s.SkyBottom);
    p.fillRect(img.rect(), sky);
    const double sx = w * (0.2 + 0.6 * ((seed * 37) % 10) / 10.0), sy = h * 0.28, r = std::min(w, h) * 0.09;
    QRadialGradient glow(sx, sy, r * 3);
    glow.setColorAt(0, s.Sun);
    glow.setColorAt(0.3, QColor(s.Sun.red(), s.Sun.green(), s.Sun.blue(), 120));
    glow.setColorAt(1, QColor(s.Sun.red(), s.Sun.green(), s.Sun.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(sx, sy), r * 3, r * 3);
    p.setBrush(s.Sun);
    p.drawEllipse(QPointF(sx, sy), r, r);
    p.setBrush(s.Far);
    p.drawPath(Ridge(w, h, 0.62, 0.12, 5.0, seed * 0.9));
    p.setBrush(s.Near);
    p.drawPath(Ridge(w, h, 0.76, 0.08, 7.5, seed * 1.3 + 1));
    p.setBrush(s.Ground);
    p.drawPath(Ridge(w, h, 0.9, 0.04, 11.0, seed * 2.1 + 2));
    p.end();
    TBitmap32 b;
    b.FromImage(img);
    return b;
}

// ---- The templates ----

// A photo place, in fractions of the page.
struct TSlot {
    float X, Y, W, H;
    float Angle = 0;
    int Mask = -1;  // index into kMaskWishes, -1 none
    int Frame = -1; // sub-frame number in the library, -1 none
    bool Shadow = false;
    const char* FrameName = nullptr; // a sub-frame by its library name instead of its number
};

// A clipart by its library name, centred at (X, Y) and W wide (fractions of
// the page).
struct TClipartPlace {
    const char* Name;
    float X, Y, W;
    float Angle = 0;
};

// A title or caption: a text layer drawn by the text commands, centred at
// (X, Y) (fractions of the page), its em size a fraction of the page height.
struct TTitle {
    const char* Text;
    const char* Font;
    float Size;
    TColor Color; // platform colour 0x00BBGGRR
    float X, Y;
    bool Bold = false, Italic = false;
    float Angle = 0;
    TColor Glow = 0xFFFFFFFF; // glow colour; 0xFFFFFFFF = no glow
    int GlowSize = 10;
    const char* Texture = nullptr; // file name in Textures
    int LineAlign = 1;
};

struct TTemplate {
    const char* Category;
    const char* Name;
    int Width, Height;
    TColor Color;        // page colour (0x00BBGGRR) when there is no background picture
    int Background = -1; // background picture number, -1 for the colour
    uint8_t FillType = 2;
    std::vector<TSlot> Slots;
    int Border = -1;  // border frame number, -1 none
    int Clipart = -1; // clipart number placed in a corner, -1 none
    const char* BackgroundName = nullptr; // a background picture by its file name instead of its number
    const char* BorderName = nullptr;     // a border frame by its library name instead of its number
    std::vector<TClipartPlace> Cliparts{};
    std::vector<TTitle> Titles{};
};

// The masks a slot asks for by number; a library without that file gives the
// slot another of its masks.
const char* const kMaskWishes[] = {"yuan13.msk",    "rounded_soft.msk", "oval_soft.msk", "circle_soft.msk",
                                   "star_soft.msk", "heart.msk",        "circle.msk"};

std::vector<TTemplate> Templates() {
    std::vector<TTemplate> t;
    // Free: loose, tilted photos over a picture or a colour.
    t.push_back({"Free",
                 "Single portrait",
                 1240,
                 1754,
                 0xF4F0EB,
                 0,
                 2,
                 {{0.12f, 0.10f, 0.76f, 0.62f, 0, 0, -1, true}},
                 0});
    t.push_back({"Free",
                 "Scattered memories",
                 1024,
                 768,
                 0xE8F0F6,
                 1,
                 2,
                 {{0.06f, 0.08f, 0.40f, 0.40f, 8, -1, -1, true},
                  {0.52f, 0.06f, 0.40f, 0.40f, -6, -1, -1, true},
                  {0.30f, 0.50f, 0.40f, 0.42f, 4, -1, -1, true}}});
    t.push_back({"Free",
                 "Heart of summer",
                 1000,
                 1000,
                 0xD6E8FF,
                 2,
                 2,
                 {{0.18f, 0.14f, 0.64f, 0.60f, 0, 5, -1, true},
                  {0.06f, 0.70f, 0.26f, 0.24f, -10, 0, -1, true},
                  {0.68f, 0.70f, 0.26f, 0.24f, 10, 0, -1, true}},
                 -1,
                 0});
    t.push_back({"Free",
                 "Circle of friends",
                 1000,
                 1000,
                 0xF2E6FA,
                 -1,
                 2,
                 {{0.34f, 0.34f, 0.32f, 0.32f, 0, 6},
                  {0.05f, 0.05f, 0.28f, 0.28f, 0, 6},
                  {0.67f, 0.05f, 0.28f, 0.28f, 0, 6},
                  {0.05f, 0.67f, 0.28f, 0.28f, 0, 6},
                  {0.67f, 0.67f, 0.28f, 0.28f, 0, 6}}});
    t.push_back({"Free",
                 "Postcard",
                 1800,
                 1200,
                 0xFFFFFF,
                 3,
                 2,
                 {{0.05f, 0.08f, 0.56f, 0.84f, -3, -1, 0, true},
                  {0.64f, 0.10f, 0.30f, 0.36f, 5, -1, 1, true},
                  {0.65f, 0.54f, 0.30f, 0.36f, -4, -1, 1, true}},
                 0});
    t.push_back({"Free",
                 "Fan of four",
                 1800,
                 1200,
                 0xEBF5F0,
                 -1,
                 2,
                 {{0.10f, 0.22f, 0.30f, 0.56f, -18, -1, -1, true},
                  {0.27f, 0.16f, 0.30f, 0.56f, -6, -1, -1, true},
                  {0.43f, 0.16f, 0.30f, 0.56f, 6, -1, -1, true},
                  {0.60f, 0.22f, 0.30f, 0.56f, 18, -1, -1, true}},
                 -1,
                 1});
    t.push_back({"Free",
                 "Polaroid pile",
                 1024,
                 768,
                 0x5A6E82,
                 4,
                 0,
                 {{0.08f, 0.12f, 0.34f, 0.44f, -12, -1, 2, true},
                  {0.36f, 0.06f, 0.30f, 0.40f, 7, -1, 2, true},
                  {0.60f, 0.18f, 0.32f, 0.42f, -5, -1, 2, true},
                  {0.18f, 0.52f, 0.30f, 0.40f, 10, -1, 2, true},
                  {0.50f, 0.54f, 0.30f, 0.40f, -8, -1, 2, true},
                  {0.74f, 0.58f, 0.22f, 0.32f, 14, -1, 2, true}}});
    t.push_back({"Free",
                 "Sunny corner",
                 1240,
                 1754,
                 0xDCF5FF,
                 5,
                 2,
                 {{0.08f, 0.06f, 0.84f, 0.46f, 0, 1, -1, true},
                  {0.10f, 0.56f, 0.38f, 0.28f, -7, 0, -1, true},
                  {0.52f, 0.60f, 0.38f, 0.28f, 6, 0, -1, true}},
                 1,
                 2});

    // Occasions: a title and captions in fitting faces, cliparts and
    // frames of the occasion.
    t.push_back({.Category = "Free",
                 .Name = "Happy birthday",
                 .Width = 1024,
                 .Height = 768,
                 .Color = 0xF6EEFF,
                 .Slots = {{0.08f, 0.30f, 0.28f, 0.37f, -7, -1, -1, true, "Free\\polaroid.frm"},
                           {0.37f, 0.27f, 0.28f, 0.37f, 2, -1, -1, true, "Free\\polaroid.frm"},
                           {0.66f, 0.30f, 0.28f, 0.37f, 8, -1, -1, true, "Free\\polaroid.frm"}},
                 .BackgroundName = "12.jpg",
                 .Cliparts = {{"Party\\balloons.png", 0.08f, 0.84f, 0.15f, -8},
                              {"Party\\cake.png", 0.89f, 0.83f, 0.15f, 6},
                              {"Party\\party_hat.png", 0.90f, 0.12f, 0.10f, 14}},
                 .Titles = {{"Happy Birthday!", "Dancing Script", 0.15f, 0x2CA8E8, 0.5f, 0.13f, true, false,
                             0, 0xFFFFFF, 14},
                            {"Make a wish", "Comfortaa", 0.06f, 0x9B4FD8, 0.5f, 0.83f, true, false, 0,
                             0xFFFFFF, 8}}});
    t.push_back(
        {.Category = "Free",
         .Name = "Our wedding",
         .Width = 1024,
         .Height = 768,
         .Color = 0xF2F6FB,
         .Slots = {{0.30f, 0.22f, 0.40f, 0.52f, 0, 2, -1, true},
                   {0.07f, 0.40f, 0.20f, 0.26f, -5, 3, -1, true},
                   {0.73f, 0.40f, 0.20f, 0.26f, 5, 3, -1, true}},
         .BackgroundName = "3.jpg",
         .BorderName = "Wedding\\gold_filigree.frm",
         .Cliparts = {{"Wedding\\rings.png", 0.50f, 0.90f, 0.10f},
                      {"Wedding\\dove.png", 0.16f, 0.22f, 0.13f, -6}},
         .Titles = {
             {"Just Married", "Dancing Script", 0.12f, 0x5A2A9C, 0.5f, 0.11f, true, false, 0, 0xFFFFFF, 10},
             {"Forever & Always", "Liberation Serif", 0.045f, 0x3C5A7A, 0.5f, 0.80f, false, true}}});
    t.push_back(
        {.Category = "Free",
         .Name = "Summer holiday",
         .Width = 1024,
         .Height = 768,
         .Color = 0xF5E1B8,
         .Slots = {{0.06f, 0.28f, 0.30f, 0.40f, -6, -1, -1, true, "Free\\polaroid.frm"},
                   {0.36f, 0.34f, 0.30f, 0.40f, 4, -1, -1, true, "Free\\polaroid.frm"},
                   {0.65f, 0.26f, 0.30f, 0.40f, -3, -1, -1, true, "Free\\polaroid.frm"}},
         .BackgroundName = "14.jpg",
         .Cliparts = {{"Travel\\palm.png", 0.88f, 0.80f, 0.18f}, {"Free\\sun.png", 0.09f, 0.12f, 0.12f}},
         .Titles = {{"Summer Holiday", "Lobster Two", 0.14f, 0xC07A1E, 0.52f, 0.13f, true, false, -3,
                     0xFFFFFF, 12, "water.jpg"},
                    {"sun, sea and sand", "Comfortaa", 0.05f, 0xFFFFFF, 0.42f, 0.87f, true, false, 0,
                     0x7A5A1E, 6}}});
    t.push_back({.Category = "Free",
                 .Name = "Welcome baby",
                 .Width = 1024,
                 .Height = 768,
                 .Color = 0xF3F8E8,
                 .Slots = {{0.31f, 0.25f, 0.38f, 0.50f, 0, 0, -1, true},
                           {0.08f, 0.52f, 0.20f, 0.28f, -6, 3, -1, true},
                           {0.72f, 0.52f, 0.20f, 0.28f, 6, 3, -1, true}},
                 .BackgroundName = "8.jpg",
                 .BorderName = "Baby\\pastel_dots.frm",
                 .Cliparts = {{"Baby\\teddy.png", 0.17f, 0.33f, 0.14f, -6},
                              {"Baby\\duck.png", 0.83f, 0.33f, 0.12f, 6},
                              {"Baby\\rattle.png", 0.62f, 0.85f, 0.07f, 20}},
                 .Titles = {{"Welcome, Baby!", "Comfortaa", 0.10f, 0xC88C50, 0.5f, 0.15f, true, false, 0,
                             0xFFFFFF, 12},
                            {"born with love", "Dancing Script", 0.06f, 0x9E6AD8, 0.43f, 0.86f, true}}});
    t.push_back({.Category = "Free",
                 .Name = "Travel journal",
                 .Width = 1024,
                 .Height = 768,
                 .Color = 0x7FA8C9,
                 .Slots = {{0.10f, 0.24f, 0.34f, 0.44f, -4, -1, -1, true, "Free\\stamp.frm"},
                           {0.52f, 0.20f, 0.36f, 0.30f, 3, -1, -1, true, "Free\\stamp.frm"},
                           {0.54f, 0.53f, 0.34f, 0.30f, -2, -1, -1, true, "Free\\stamp.frm"}},
                 .BackgroundName = "4.jpg",
                 .BorderName = "Travel\\vintage_map.frm",
                 .Cliparts = {{"Travel\\airplane.png", 0.82f, 0.13f, 0.14f, 8},
                              {"Travel\\suitcase.png", 0.27f, 0.81f, 0.11f, -6},
                              {"Travel\\map_pin.png", 0.45f, 0.30f, 0.05f}},
                 .Titles = {{"Travel Memories", "Kaushan Script", 0.09f, 0x1E3A5A, 0.40f, 0.17f, false, false,
                             -2, 0xD8EAF3, 10},
                            {"the world is a book", "Liberation Serif", 0.045f, 0x2C3E50, 0.70f, 0.90f, false,
                             true}}});
    t.push_back({.Category = "Free",
                 .Name = "Season's greetings",
                 .Width = 1024,
                 .Height = 768,
                 .Color = 0x301A10,
                 .Slots = {{0.20f, 0.27f, 0.28f, 0.42f, -4, 1, -1, true},
                           {0.52f, 0.27f, 0.28f, 0.42f, 4, 1, -1, true}},
                 .BackgroundName = "10.jpg",
                 .BorderName = "Winter\\snowflakes.frm",
                 .Cliparts = {{"Winter\\fir_tree.png", 0.11f, 0.72f, 0.15f},
                              {"Winter\\snowman.png", 0.89f, 0.72f, 0.14f},
                              {"Winter\\holly.png", 0.50f, 0.81f, 0.08f}},
                 .Titles = {{"Season's Greetings", "Kaushan Script", 0.11f, 0x37AFD4, 0.5f, 0.14f, false,
                             false, 0, 0x1E2A8C, 8, "gold.jpg"},
                            {"Merry Christmas and a Happy New Year", "Liberation Serif", 0.045f, 0xFFFFFF,
                             0.5f, 0.84f, false, true, 0, 0x5A2A14, 8}}});

    // Collage: photos side by side on an even grid.
    const float g = 0.02f; // gap
    auto grid = [&](int cols, int rows, float top = 0.02f, float bottom = 0.98f) {
        std::vector<TSlot> cells;
        const float w = (1 - g * (cols + 1)) / cols, h = (bottom - top - g * (rows - 1)) / rows;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) cells.push_back({g + c * (w + g), top + r * (h + g), w, h});
        return cells;
    };
    t.push_back({"Collage", "Two up", 1024, 768, 0xFFFFFF, -1, 2, grid(2, 1)});
    t.push_back({"Collage", "Three columns", 1800, 1200, 0x202020, -1, 2, grid(3, 1)});
    t.push_back({"Collage", "Four square", 1000, 1000, 0xF5F5F5, -1, 2, grid(2, 2)});
    {
        std::vector<TSlot> s = {{g, g, 0.64f, 1 - 2 * g}};
        const float h = (1 - 4 * g) / 3;
        for (int i = 0; i < 3; ++i) s.push_back({0.68f, g + i * (h + g), 0.30f, h});
        t.push_back({"Collage", "Feature and three", 1800, 1200, 0xFFFFFF, -1, 2, s});
    }
    {
        std::vector<TSlot> s = {{g, g, 0.47f, 0.47f}, {0.51f, g, 0.47f, 0.47f}};
        const float w = (1 - 4 * g) / 3;
        for (int i = 0; i < 3; ++i) s.push_back({g + i * (w + g), 0.51f, w, 0.47f});
        t.push_back({"Collage", "Five mosaic", 1024, 768, 0xF0EBE6, 0, 1, s, 3});
    }
    t.push_back({"Collage", "Six grid", 1240, 1754, 0xFFFFFF, -1, 2, grid(2, 3)});
    t.push_back({"Collage", "Filmstrip", 1800, 1200, 0x141414, -1, 2, grid(4, 1, 0.25f, 0.75f), 4});
    t.push_back({"Collage", "Nine grid", 1000, 1000, 0xFFFFFF, -1, 2, grid(3, 3)});
    {
        std::vector<TSlot> s = grid(2, 2, 0.30f, 0.98f);
        s.insert(s.begin(), {0.02f, 0.02f, 0.96f, 0.26f});
        for (TSlot& slot : s) slot.Mask = 1;
        t.push_back({"Collage", "Poster", 1240, 1754, 0xE6E6E6, 5, 2, s});
    }
    return t;
}

// ---- Writing ----

// Collects the messages of the writer, so a failure can say why.
class TCollectMessages final : public TMessageService {
public:
    TCollectMessages() : FPrevious(&MessageService()) { SetMessageService(this); }
    ~TCollectMessages() override { SetMessageService(FPrevious == this ? nullptr : FPrevious); }
    void Error(const std::string& m) override { Text += m + "\n"; }
    void Info(const std::string& m) override { Text += m + "\n"; }
    TAnswer Ask(const std::string&, const std::string&, TButtons) override { return TAnswer::Yes; }
    std::string Text;

private:
    TMessageService* FPrevious;
};

TNewRotLayer* AddPhoto(TCollageDocument& doc, const TSlot& slot, int seed) {
    const TBitmap32& page = doc.ImageScreen.Bitmap;
    const TFloatRect box{std::round(slot.X * page.Width()), std::round(slot.Y * page.Height()),
                         std::round((slot.X + slot.W) * page.Width()),
                         std::round((slot.Y + slot.H) * page.Height())};
    const bool portrait = box.Height() > box.Width();
    TBitmap32 picture = ScenePhoto(portrait ? 360 : 480, portrait ? 480 : 360, seed);
    TUpdateScope<TImage32> update(doc.ImageScreen);
    auto* layer = doc.Layers().Add<TNewRotLayer>();
    layer->AssignPicture(&picture);
    layer->Picture.DrawMode = TDrawMode::Blend;
    layer->ImageType = itPhoto;
    layer->SetLocation(box);
    layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
    layer->Picture.Resampler = TResamplerKind::Linear;
    layer->SetScaled(true);
    layer->AlphaHit = true;
    // the middle of the picture with the box's proportions
    int cw = Round(box.Width()), ch = Round(box.Height());
    AspectCut(picture.Width(), picture.Height(), cw, ch);
    const int left = (picture.Width() - cw) / 2, top = (picture.Height() - ch) / 2;
    layer->SetViewedRect({left, top, left + cw, top + ch});
    layer->SetAngle(slot.Angle);
    return layer;
}

void AddClipart(TCollageDocument& doc, const std::string& name, const TClipartPlace& place) {
    TBitmap32 picture;
    if (name.empty() || !LoadPicture32(ResourceRoot() + "Cliparts/" + NativePath(name), picture)) return;
    const TBitmap32& page = doc.ImageScreen.Bitmap;
    const float w = place.W * page.Width(), h = w * picture.Height() / std::max(1, picture.Width());
    const float x = place.X * page.Width() - w / 2, y = place.Y * page.Height() - h / 2;
    TUpdateScope<TImage32> update(doc.ImageScreen);
    auto* layer = doc.Layers().Add<TNewRotLayer>();
    layer->AssignPicture(&picture);
    layer->Picture.DrawMode = TDrawMode::Blend;
    layer->ImageType = itClipart;
    layer->SourceFile = name;
    layer->SetLocation({x, y, x + w, y + h});
    layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
    layer->Picture.Resampler = TResamplerKind::Linear;
    layer->SetScaled(true);
    layer->AlphaHit = true;
    layer->SetViewedRect({0, 0, picture.Width(), picture.Height()});
    layer->SetAngle(place.Angle);
    layer->RebuildScreenCache();
}

// A title drawn exactly as the text page draws one, so that the user edits
// it like any text of their own.
void AddTitle(TCollageDocument& doc, const TTitle& title) {
    TCanvasEditor editor(doc);
    TTextCommands text(editor);
    TTextPageState page;
    page.Text = title.Text;
    page.FontName = title.Font;
    page.SizeText = std::to_string(Round(title.Size * doc.ImageScreen.Bitmap.Height()));
    page.Color = title.Color;
    page.Bold = title.Bold;
    page.Italic = title.Italic;
    page.LineAlign = title.LineAlign;
    const bool centred = std::fabs(title.X - 0.5f) < 1e-3f;
    page.HorzAlign = centred ? 1 : 3;
    page.VertAlign = 3;
    page.Halation = title.Glow != TColor(0xFFFFFFFF);
    page.HalationColor = page.Halation ? title.Glow : 0xFFFFFF;
    page.HalationSize = title.GlowSize;
    page.Texture = title.Texture != nullptr;
    if (title.Texture) page.TextureFile = ResourceRoot() + "Textures/" + title.Texture;
    if (text.RenderNewText(page) != TTextResult::Done)
        throw std::runtime_error(std::string("title ") + title.Text);
    TNewRotLayer* layer = text.SelectedText();
    const TFloatRect r = layer->Location;
    const float cx = title.X * doc.ImageScreen.Bitmap.Width(), cy = title.Y * doc.ImageScreen.Bitmap.Height();
    layer->SetLocation({cx - r.Width() / 2, cy - r.Height() / 2, cx + r.Width() / 2, cy + r.Height() / 2});
    layer->SetAngle(title.Angle);
    layer->TextStyle->HorzAlign = centred && title.Angle == 0 ? 1 : 3;
    layer->TextStyle->VertAlign = 3;
    editor.DeselectAll();
}

void BuildTemplate(TCollageDocument& doc, const TTemplate& t, const TLibrary& lib) {
    TCollageSettings& s = doc.CollageSettings;
    s.Width = t.Width;
    s.Height = t.Height;
    s.BKColor = t.Color;
    const std::string bk = t.BackgroundName    ? TLibrary::Named(lib.Backgrounds, t.BackgroundName)
                           : t.Background >= 0 ? lib.Background(size_t(t.Background))
                                               : "";
    if (!bk.empty()) {
        s.BKType = 2;
        s.BKImageFile = bk;
        s.BKImageFillType = t.FillType;
    } else {
        s.BKType = 1;
    }
    doc.ApplyCanvasSettings();

    int seed = int(std::hash<std::string>{}(t.Name) % 7);
    for (const TSlot& slot : t.Slots) {
        TNewRotLayer* layer = AddPhoto(doc, slot, seed++);
        if (slot.Mask >= 0) {
            const size_t n = size_t(slot.Mask) % std::size(kMaskWishes);
            const std::string mask = lib.Mask({kMaskWishes[n]}, n);
            if (!mask.empty()) ApplyMaskByName(*layer, mask);
        }
        if (slot.Frame >= 0 || slot.FrameName) {
            const std::string frame =
                slot.FrameName ? TLibrary::Named(lib.Frames, slot.FrameName) : lib.Frame(size_t(slot.Frame));
            if (!frame.empty()) ApplySubFrameByName(*layer, frame);
        }
        if (slot.Shadow) {
            layer->SetShadowOffsetX(Round(t.Width / 120.0));
            layer->SetShadowOffsetY(Round(t.Width / 120.0));
            layer->SetShadowTransparent(45);
            layer->SetShadowSmooth(3);
            layer->SetShadowEnabled(true);
        }
        layer->RebuildScreenCache();
    }
    if (t.Clipart >= 0) {
        const std::string name = lib.Clipart(size_t(t.Clipart));
        TBitmap32 picture;
        if (!name.empty() && LoadPicture32(ResourceRoot() + "Cliparts/" + NativePath(name), picture)) {
            TUpdateScope<TImage32> update(doc.ImageScreen);
            auto* layer = doc.Layers().Add<TNewRotLayer>();
            layer->AssignPicture(&picture);
            layer->Picture.DrawMode = TDrawMode::Blend;
            layer->ImageType = itClipart;
            layer->SourceFile = name;
            // about a sixth of the page wide, in the lower right corner
            int w = t.Width / 6, h = t.Height / 6;
            FitInside(picture.Width(), picture.Height(), w, h);
            const float x = t.Width * 0.97f - w, y = t.Height * 0.97f - h;
            layer->SetLocation({x, y, x + w, y + h});
            layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
            layer->Picture.Resampler = TResamplerKind::Linear;
            layer->SetScaled(true);
            layer->AlphaHit = true;
            layer->SetViewedRect({0, 0, picture.Width(), picture.Height()});
            layer->SetAngle(-8);
            layer->RebuildScreenCache();
        }
    }
    for (const TClipartPlace& c : t.Cliparts) AddClipart(doc, TLibrary::Named(lib.Cliparts, c.Name), c);
    if (t.Border >= 0 || t.BorderName) {
        const std::string frame =
            t.BorderName ? TLibrary::Named(lib.Frames, t.BorderName) : lib.Frame(size_t(t.Border) * 3 + 1);
        if (!frame.empty()) SetBorderByName(doc, frame);
    }
    for (const TTitle& title : t.Titles) AddTitle(doc, title);
}

} // namespace

void WriteTemplates(const std::string& outputRoot) {
    std::string root = outputRoot;
    if (!root.empty() && root.back() != '/') root += '/';
    const std::string previousRoot = ResourceRoot();
    SetResourceRoot(root);
    struct TRestore {
        std::string Root;
        ~TRestore() { SetResourceRoot(Root); }
    } restore{previousRoot};

    const TLibrary lib(root);
    TCollectMessages messages;
    for (const TTemplate& t : Templates()) {
        const std::string folder = root + "template/" + t.Category;
        if (!ForceDirectories(folder)) throw std::runtime_error("cannot create " + folder);
        TCollageDocument doc;
        try {
            BuildTemplate(doc, t, lib);
        } catch (const std::exception& e) {
            throw std::runtime_error(std::string("template ") + t.Name + ": " + e.what());
        }
        const std::string clv = folder + "/" + t.Name + ".clv";
        const TBitmap32 thumbnail = TemplateThumbnail(doc);
        if (!SaveProject(doc, clv, true))
            throw std::runtime_error("cannot write " + clv + ": " + messages.Text);
        SaveThumbnailJPEG(folder + "/" + t.Name + ".jpg", thumbnail);
    }
}
