#include "text/TextRender.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "engine/PictureUtils.h"
#include "platform/Paths.h"

namespace {

// ---- Fonts ----

std::string Trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

std::mutex gFontMutex;

// The family a name resolves to, asked once per name (the template
// generator draws on two threads).
QString ResolvedFamily(const QString& name) {
    static std::map<QString, QString> cache;
    std::lock_guard lock(gFontMutex);
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, QFontInfo(QFont(name)).family()).first;
    return it->second;
}

QString GenericSansFamily() {
    return ResolvedFamily(QStringLiteral("sans-serif"));
}

// ---- Textures ----

// The texture last drawn with, kept while the user types.
struct TTextureCache {
    std::mutex Mutex;
    std::string Path;
    TBitmap32 Picture;
    bool Loaded = false;
};

TTextureCache& Textures() {
    static TTextureCache cache;
    return cache;
}

// A copy of the texture picture; false when the file is missing or cannot
// be read (the letters are then filled with the solid colour).
bool LoadTexture(const std::string& path, TBitmap32& out) {
    if (path.empty()) return false;
    TTextureCache& c = Textures();
    std::lock_guard lock(c.Mutex);
    if (c.Path != path) {
        c.Path = path;
        c.Loaded = false;
        c.Picture.SetSize(0, 0);
        try {
            const std::string ext = LowerExtension(path);
            const bool readable =
                ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".bmp" || ext == ".gif";
            c.Loaded = readable && FileExists(path) && LoadPicture32(path, c.Picture) && !c.Picture.Empty();
        } catch (const std::exception&) {
            c.Loaded = false;
        }
    }
    if (!c.Loaded) return false;
    out.Assign(c.Picture);
    return true;
}

// Source index along one axis of a texture tiled mirrored: every other
// tile is flipped, so the tiles meet without seams.
std::vector<int> MirroredIndex(int count, int size) {
    std::vector<int> index(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const int u = i % (2 * size);
        index[size_t(i)] = u < size ? u : 2 * size - 1 - u;
    }
    return index;
}

// ---- Composing ----

// Text colour c at coverage at, over glow colour g at coverage ag, at
// straight alpha:
//   a = at + ag (255 - at) / 255,  colour = (c at + g ag (255 - at) / 255) / a.
// Where nothing covers a pixel it still carries the colour next to it (the
// glow's when there is one, else the letters'), so that resampling the
// picture never mixes dark fringes into the edges.
inline TColor32 Over(TColor32 c, int at, TColor32 g, int ag, bool glow) {
    if (ag == 0 || at == 255) return SetAlpha(at == 0 && glow ? g : c, uint8_t(at));
    if (at == 0) return SetAlpha(g, uint8_t(ag));
    const int under = (ag * (255 - at) + 127) / 255;
    const int a = at + under;
    auto mix = [&](int cc, int gc) { return (cc * at + gc * under + a / 2) / a; };
    return Color32(uint8_t(mix(RedOf(c), RedOf(g))), uint8_t(mix(GreenOf(c), GreenOf(g))),
                   uint8_t(mix(BlueOf(c), BlueOf(g))), uint8_t(a));
}

} // namespace

// ---- Lines and sizes ----

std::vector<QString> SplitTextLines(const std::string& text) {
    std::vector<QString> lines;
    const QString all = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QString line;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QChar ch = all[i];
        if (ch == u'\r' || ch == u'\n') {
            lines.push_back(line);
            line.clear();
            if (ch == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n') ++i;
        } else {
            line += ch;
        }
    }
    lines.push_back(line);
    return lines;
}

TTextBoxSize TextBoxSize(const std::vector<double>& widths, const std::vector<double>& heights) {
    TTextBoxSize s;
    for (double w : widths) s.Width = std::max(s.Width, Round(w + 0.5));
    double sum = 0;
    for (double h : heights) sum += h;
    s.Height = Round(sum + 0.5);
    if (s.Width == 0) s.Width = 200;
    if (s.Height == 0) s.Height = 200;
    return s;
}

// ---- Fonts ----

bool FontFamilyInstalled(const std::string& family) {
    const QString name = QString::fromStdString(Trimmed(family));
    if (name.isEmpty()) return false;
    if (QFontDatabase::hasFamily(name)) return true;
    // An alias the font configuration maps to an installed face ("Arial" to
    // its metric-compatible replacement) resolves to something other than
    // what an unknown name falls back to.
    static const QString fallback = ResolvedFamily(QStringLiteral("Velmora-no-such-family"));
    const QString resolved = ResolvedFamily(name);
    return !resolved.isEmpty() && resolved != fallback;
}

QFont TextFont(const TTextLook& look) {
    const std::string name = Trimmed(look.FontName);
    QFont font(FontFamilyInstalled(name) ? QString::fromStdString(name) : GenericSansFamily());
    font.setPixelSize(std::max(1, look.Size));
    font.setBold(look.Bold);
    font.setItalic(look.Italic);
    font.setUnderline(look.Underline);
    // outlines at their designed shapes: measured and drawn alike at any size
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

int GlowMargin(const TTextLook& look) {
    if (!look.Halation) return 0;
    return (std::clamp(look.HalationSize, 1, 100) + 1) / 2 + 1;
}

// ---- The glow ----

// d(x, y)^2 = min over dy of h(x, y + dy)^2 + dy^2, with h the distance
// along the row to the nearest inside pixel, both capped past the radius.
void GrowCoverage(const uint8_t* coverage, uint8_t* glow, int width, int height, double radius) {
    if (width <= 0 || height <= 0) return;
    const int reach = int(std::ceil(radius + 0.5)); // farthest distance with any glow
    const int cap = reach + 1;
    const size_t w = size_t(width);
    // squared row distances, capped at cap^2
    std::vector<uint16_t> hsq(w * size_t(height));
    std::vector<int> dist(w);
    for (int y = 0; y < height; ++y) {
        const uint8_t* cov = coverage + size_t(y) * w;
        int d = cap;
        for (int x = 0; x < width; ++x) {
            d = cov[x] >= 128 ? 0 : std::min(d + 1, cap);
            dist[size_t(x)] = d;
        }
        d = cap;
        uint16_t* row = hsq.data() + size_t(y) * w;
        for (int x = width - 1; x >= 0; --x) {
            d = cov[x] >= 128 ? 0 : std::min(d + 1, cap);
            const int m = std::min(d, dist[size_t(x)]);
            row[x] = uint16_t(m * m);
        }
    }
    // alpha by squared distance: 255 within radius - 0.5, falling to 0 at
    // radius + 0.5
    const int maxSq = cap * cap + reach * reach;
    std::vector<uint8_t> alphaOf(size_t(maxSq) + 1);
    for (int s = 0; s <= maxSq; ++s) {
        const double a = std::clamp(radius + 0.5 - std::sqrt(double(s)), 0.0, 1.0);
        alphaOf[size_t(s)] = uint8_t(Round(a * 255));
    }
    std::vector<uint16_t> best(w);
    for (int y = 0; y < height; ++y) {
        std::fill(best.begin(), best.end(), uint16_t(maxSq));
        const int y0 = std::max(0, y - reach), y1 = std::min(height - 1, y + reach);
        for (int yy = y0; yy <= y1; ++yy) {
            const uint16_t dy2 = uint16_t((yy - y) * (yy - y));
            const uint16_t* row = hsq.data() + size_t(yy) * w;
            for (size_t x = 0; x < w; ++x) best[x] = std::min<uint16_t>(best[x], uint16_t(row[x] + dy2));
        }
        uint8_t* out = glow + size_t(y) * w;
        const uint8_t* cov = coverage + size_t(y) * w;
        for (size_t x = 0; x < w; ++x) out[x] = std::max(alphaOf[best[x]], cov[x]);
    }
}

// ---- Drawing ----

TTextDraw DrawTextPicture(const TTextLook& look, TBitmap32& picture, TTextBoxSize* boxSize) {
    const QFont font = TextFont(look);
    QFont glyphFont = font;
    glyphFont.setUnderline(false); // underlines are filled as bars of their own
    const QFontMetricsF fm(font);
    const double lineHeight = fm.ascent() + fm.descent();

    struct TLine {
        QPainterPath Path;
        double Advance = 0, Left = 0, Width = 0;
    };
    std::vector<TLine> lines;
    std::vector<double> widths, heights;
    for (QString s : SplitTextLines(look.Text)) {
        // an italic line gets a trailing space, so its slanted last letter
        // has room
        if (look.Italic) s += u' ';
        TLine line;
        line.Path.addText(0, 0, glyphFont, s);
        line.Advance = fm.horizontalAdvance(s);
        const QRectF ink = line.Path.boundingRect();
        line.Left = std::min(0.0, ink.isNull() ? 0.0 : ink.left());
        const double right = std::max(line.Advance, ink.isNull() ? 0.0 : ink.right());
        line.Width = right - line.Left;
        widths.push_back(line.Width);
        heights.push_back(lineHeight);
        lines.push_back(std::move(line));
    }
    const TTextBoxSize box = TextBoxSize(widths, heights);
    const int margin = GlowMargin(look);
    const int64_t pw = int64_t(box.Width) + 2 * margin, ph = int64_t(box.Height) + 2 * margin;
    if (pw > kMaxTextPictureSide || ph > kMaxTextPictureSide) return TTextDraw::TooLarge;
    if (boxSize) *boxSize = box;

    // The letters' coverage.
    QImage coverage(int(pw), int(ph), QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        double top = margin;
        for (TLine& line : lines) {
            double x = margin;
            if (look.LineAlign == 1)
                x += (box.Width - line.Width) / 2;
            else if (look.LineAlign == 2)
                x += box.Width - line.Width;
            const double originX = x - line.Left, baseline = top + fm.ascent();
            line.Path.setFillRule(Qt::WindingFill);
            p.fillPath(line.Path.translated(originX, baseline), Qt::black);
            if (look.Underline && line.Advance > 0)
                p.fillRect(QRectF(originX, baseline + fm.underlinePos(), line.Advance,
                                  std::max(1.0, fm.lineWidth())),
                           Qt::black);
            top += lineHeight;
        }
    }

    const size_t count = size_t(pw) * size_t(ph);
    std::vector<uint8_t> glow;
    if (look.Halation) {
        glow.resize(count);
        std::vector<uint8_t> cov(count);
        for (int y = 0; y < int(ph); ++y)
            std::copy_n(coverage.constScanLine(y), size_t(pw), cov.data() + size_t(y) * size_t(pw));
        GrowCoverage(cov.data(), glow.data(), int(pw), int(ph), std::clamp(look.HalationSize, 1, 100) / 2.0);
    }

    TBitmap32 texture;
    const bool textured = LoadTexture(look.TextureFile, texture);
    std::vector<int> tx, ty;
    if (textured) {
        tx = MirroredIndex(int(pw), texture.Width());
        ty = MirroredIndex(int(ph), texture.Height());
    }
    const TColor32 solid = ToColor32(look.Color);
    const TColor32 glowColor = ToColor32(look.HalationColor);

    picture.SetSize(int(pw), int(ph));
    picture.DrawMode = TDrawMode::Blend;
    for (int y = 0; y < int(ph); ++y) {
        const uint8_t* cov = coverage.constScanLine(y);
        const uint8_t* g = look.Halation ? glow.data() + size_t(y) * size_t(pw) : nullptr;
        const TColor32* trow = textured ? texture.ScanLine(ty[size_t(y)]) : nullptr;
        TColor32* out = picture.ScanLine(y);
        for (int x = 0; x < int(pw); ++x) {
            int at = cov[x];
            TColor32 c = solid;
            if (trow) {
                c = trow[tx[size_t(x)]];
                at = (at * AlphaOf(c) + 127) / 255; // a texture with transparency shows through
            }
            out[x] = Over(c, at, glowColor, g ? g[x] : 0, g != nullptr);
        }
    }
    return TTextDraw::Drawn;
}
