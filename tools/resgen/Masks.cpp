// Photo masks: grey JPEG pictures, white keeps the photo, black cuts it, grey
// fades it. They are stretched over the photo's box, so every shape is drawn
// for a 4:3 landscape box.

#include <QPainter>

#include "Art.h"
#include "Library.h"
#include "Shapes.h"

namespace resgen {

namespace {

constexpr int W = 512, H = 384;

// Coverage of the path with its edge faded inwards over `feather` pixels.
TPlane Feather(const QPainterPath& path, float feather) {
    TPlane cov = Coverage(path, W, H);
    if (feather <= 0.6f) return cov;
    const TPlane d = InsideDistance(cov);
    for (size_t i = 0; i < cov.V.size(); ++i) cov.V[i] = Smoothstep(-0.5f, feather, d.V[i]);
    return cov;
}

// Inside distance to a rectangle (negative outside).
inline float RectDistance(float x, float y, float l, float t, float r, float b) {
    return std::min(std::min(x - l, r - x), std::min(y - t, b - y));
}

// Normalised elliptic radius about the centre: 1 on the ellipse touching the
// picture's edges.
inline float EllipseRadius(float x, float y) {
    const float dx = (x + 0.5f - W * 0.5f) / (W * 0.5f), dy = (y + 0.5f - H * 0.5f) / (H * 0.5f);
    return std::sqrt(dx * dx + dy * dy);
}

template <typename F> TPlane PerPixel(F f) {
    TPlane p(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) p.At(x, y) = Clamp01(f(float(x), float(y)));
    return p;
}

// ---- Circle ----

TPlane Yuan13() {
    // The default mask of every photo: only the outer few percent fade, the
    // corners round off gently.
    return Feather(RoundRectPath(QRectF(3, 3, W - 6, H - 6), H * 0.11), W * 0.062f);
}

TPlane Vignette() {
    return PerPixel([](float x, float y) { return 1.f - Smoothstep(0.5f, 1.02f, EllipseRadius(x, y)); });
}

TPlane Trio() {
    QPainterPath p;
    p.addEllipse(QPointF(W * 0.34, H * 0.5), H * 0.40, H * 0.40);
    p.addEllipse(QPointF(W * 0.77, H * 0.30), H * 0.21, H * 0.21);
    p.addEllipse(QPointF(W * 0.78, H * 0.75), H * 0.17, H * 0.17);
    return Feather(p, 2.f);
}

// ---- Heart ----

QPainterPath CenteredHeart(double scale, double dx = 0, double dy = 0) {
    const double h = H * scale, w = h * 1.1;
    return HeartPath(QRectF(W / 2.0 - w / 2 + dx, H / 2.0 - h / 2 + dy, w, h));
}

TPlane HeartGlow() {
    TPlane p = Coverage(CenteredHeart(0.8), W, H);
    Blur(p, 22.f);
    for (float& v : p.V) v = Smoothstep(0.05f, 0.75f, v);
    return p;
}

TPlane TwoHearts() {
    QTransform t1;
    t1.translate(W * 0.40, H * 0.52);
    t1.rotate(-12);
    t1.translate(-W * 0.40, -H * 0.52);
    QTransform t2;
    t2.translate(W * 0.70, H * 0.45);
    t2.rotate(14);
    t2.translate(-W * 0.70, -H * 0.45);
    const double h1 = H * 0.80, h2 = H * 0.56;
    QPainterPath a = t1.map(HeartPath(QRectF(W * 0.40 - h1 * 0.55, H * 0.52 - h1 / 2, h1 * 1.1, h1)));
    QPainterPath b = t2.map(HeartPath(QRectF(W * 0.70 - h2 * 0.55, H * 0.45 - h2 / 2, h2 * 1.1, h2)));
    return Feather(a.united(b), 2.f);
}

TPlane HeartsScatter() {
    // Many small hearts filling a big heart: a playful, airy outline.
    const TPlane big = Coverage(CenteredHeart(0.92), W, H);
    QImage img = NewArt(W, H);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(CenteredHeart(0.70), Qt::white);
    TRandom rnd(77);
    for (int i = 0; i < 520; ++i) {
        const double x = rnd.Range(0, W), y = rnd.Range(0, H);
        if (big.At(int(x), int(y)) < 0.5f) continue;
        const double s = rnd.Range(10, 30);
        p.save();
        p.translate(x, y);
        p.rotate(rnd.Range(-30, 30));
        p.fillPath(HeartPath(QRectF(-s * 0.55, -s / 2, s * 1.1, s)), Qt::white);
        p.restore();
    }
    p.end();
    return AlphaPlane(img);
}

// ---- Free ----

TPlane Panels(int cols, int rows, bool sprockets) {
    QPainterPath p;
    const double m = 16, gap = 14;
    const double top = sprockets ? 58 : m, bottom = sprockets ? H - 58 : H - m;
    const double pw = (W - 2 * m - gap * (cols - 1)) / cols, ph = (bottom - top - gap * (rows - 1)) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            p.addRoundedRect(QRectF(m + c * (pw + gap), top + r * (ph + gap), pw, ph), 10, 10);
    if (sprockets) {
        for (double x = 20; x < W - 20; x += 30) {
            p.addRoundedRect(QRectF(x, 22, 16, 14), 3, 3);
            p.addRoundedRect(QRectF(x, H - 36, 16, 14), 3, 3);
        }
    }
    return Feather(p, 1.5f);
}

TPlane Wave() {
    QPainterPath p;
    const double amp = 11, len = W / 4.0;
    p.moveTo(14, 40);
    for (int x = 14; x <= W - 14; x += 2) p.lineTo(x, 40 + amp * std::sin(2 * M_PI * (x - 14) / len));
    for (int x = W - 14; x >= 14; x -= 2)
        p.lineTo(x, H - 40 + amp * std::sin(2 * M_PI * (x - 14) / len + M_PI));
    p.closeSubpath();
    return Feather(p, 3.f);
}

TPlane Puzzle() {
    const double s = H * 0.66, l = W / 2.0 - s / 2, t = H / 2.0 - s / 2 + 10, r = s * 0.15;
    QPainterPath body;
    body.addRoundedRect(QRectF(l, t, s, s), 6, 6);
    QPainterPath knobs, holes;
    knobs.addEllipse(QPointF(l + s / 2, t - r * 0.55), r, r);
    knobs.addEllipse(QPointF(l + s + r * 0.55, t + s / 2), r, r);
    holes.addEllipse(QPointF(l + r * 0.45, t + s / 2), r, r);
    holes.addEllipse(QPointF(l + s / 2, t + s - r * 0.45), r, r);
    return Feather(body.united(knobs).subtracted(holes), 1.5f);
}

// ---- Artistic ----

TPlane Torn() {
    const TPlane big = FbmPlane(11, W, H, 70, 70, 4), fine = FbmPlane(12, W, H, 6, 6, 3),
                 fibre = FbmPlane(13, W, H, 2, 2, 2);
    return PerPixel([&](float x, float y) {
        const int ix = int(x), iy = int(y);
        const float d =
            RectDistance(x, y, 26, 22, W - 26, H - 22) + big.At(ix, iy) * 12.f + fine.At(ix, iy) * 3.f;
        const float core = Smoothstep(-0.7f, 0.7f, d);
        // A fringe of torn fibres just outside the edge lets a little photo through.
        const float fringe = Smoothstep(-7.f, -0.5f, d) * (0.45f + 0.35f * fibre.At(ix, iy));
        return std::max(core, fringe * 0.8f);
    });
}

TPlane Brush() {
    // Six overlapping horizontal strokes with ragged, dry ends. The noises that
    // depend on one coordinate only are tabulated per row or column.
    struct TStroke {
        float Y, Half, X0, X1, Tilt;
    };
    const TStroke strokes[] = {{64, 44, 40, 470, -5}, {122, 46, 22, 492, 4},  {184, 48, 30, 484, -3},
                               {246, 46, 18, 496, 5}, {306, 44, 36, 476, -4}, {352, 30, 70, 430, 2}};
    const TNoise ends(22), wobble(23);
    TPlane out(W, H);
    int k = 0;
    for (const TStroke& s : strokes) {
        ++k;
        const TPlane bristles = FbmPlane(21, W, H, 110, 2.6f, 3, 0.5f, false, 0, k * 34.f);
        std::vector<float> yc(W), x0(H), x1(H);
        for (int x = 0; x < W; ++x)
            yc[x] = s.Y + s.Tilt * std::sin(x / float(W) * kPi) + wobble.Fbm(x / 140.f, float(k), 2) * 8.f;
        for (int y = 0; y < H; ++y) {
            x0[y] = s.X0 + ends.Fbm(y / 30.f, k * 3.f, 4) * 30.f;
            x1[y] = s.X1 + ends.Fbm(y / 30.f, k * 3.f + 50.f, 4) * 30.f;
        }
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const float fx = float(x), fy = float(y);
                const float bristle = bristles.At(x, y);
                const float toEnd = std::min(fx - x0[y], x1[y] - fx);
                const float edge = std::min(s.Half - std::fabs(fy - yc[x]), toEnd);
                float v = Smoothstep(0.f, 3.f, edge + bristle * 5.f);
                // Dry brush: bristle gaps open up towards the ends of the stroke.
                v *= 1.f - (1.f - Smoothstep(0.f, 90.f, toEnd)) * Smoothstep(-0.1f, 0.35f, bristle);
                out.At(x, y) = std::max(out.At(x, y), v);
            }
    }
    return out;
}

TPlane Splash() {
    const TPlane warp = FbmPlane(31, W, H, 60, 60, 4);
    TRandom rnd(32);
    struct TSpike {
        float A, Len, Width;
    };
    std::vector<TSpike> spikes;
    for (int i = 0; i < 9; ++i)
        spikes.push_back(
            {float(rnd.Range(0, 2 * M_PI)), float(rnd.Range(0.08, 0.2)), float(rnd.Range(0.05, 0.12))});
    TPlane p = PerPixel([&](float x, float y) {
        const float dx = (x - W * 0.5f) / (W * 0.40f), dy = (y - H * 0.5f) / (H * 0.40f);
        const float r = std::sqrt(dx * dx + dy * dy);
        const float a = std::atan2(dy, dx);
        float edge = 1.f + 0.10f * warp.At(int(x), int(y));
        for (const TSpike& s : spikes) {
            float da = std::fabs(a - s.A);
            if (da > kPi) da = 2 * kPi - da;
            edge += s.Len * std::exp(-(da * da) / (s.Width * s.Width));
        }
        return Smoothstep(-0.006f, 0.006f, edge - r);
    });
    // Droplets flung along the spikes.
    QImage drops = NewArt(W, H);
    {
        QPainter g(&drops);
        g.setRenderHint(QPainter::Antialiasing);
        for (const TSpike& s : spikes) {
            float dist = 1.f + s.Len + 0.05f;
            for (int j = 0; j < 3; ++j) {
                const float rad = float(rnd.Range(3, 9)) * (1.f - j * 0.25f);
                const float da = float(rnd.Range(-0.06, 0.06));
                const double cx = W * 0.5 + std::cos(s.A + da) * dist * W * 0.40;
                const double cy = H * 0.5 + std::sin(s.A + da) * dist * H * 0.40;
                g.setBrush(Qt::white);
                g.setPen(Qt::NoPen);
                g.drawEllipse(QPointF(cx, cy), rad, rad);
                dist += float(rnd.Range(0.06, 0.12));
            }
        }
    }
    const TPlane d = AlphaPlane(drops);
    for (size_t i = 0; i < p.V.size(); ++i) p.V[i] = std::max(p.V[i], d.V[i]);
    return p;
}

TPlane Grunge() {
    const TPlane n1 = FbmPlane(41, W, H, 26, 26, 4), n2 = FbmPlane(42, W, H, 3, 3, 2);
    return PerPixel([&](float x, float y) {
        const float d = RectDistance(x, y, 0, 0, W, H) / (H * 0.16f);
        const float v = d + n1.At(int(x), int(y)) * 0.7f + n2.At(int(x), int(y)) * 0.35f - 0.45f;
        return Smoothstep(0.2f, 0.45f, v);
    });
}

TPlane Watercolour() {
    const TPlane warpX = FbmPlane(51, W, H, 90, 90, 4),
                 warpY = FbmPlane(51, W, H, 90, 90, 4, 0.5f, false, 810.f),
                 pigment = FbmPlane(52, W, H, 40, 40, 3), bloom = FbmPlane(53, W, H, 12, 12, 3),
                 bloomWide = FbmPlane(54, W, H, 30, 30, 2);
    return PerPixel([&](float x, float y) {
        const int ix = int(x), iy = int(y);
        const float wx = x + warpX.At(ix, iy) * 40.f;
        const float wy = y + warpY.At(ix, iy) * 40.f;
        const float d = (0.86f - EllipseRadius(wx, wy)) + bloom.At(ix, iy) * 0.025f;
        const float core = Smoothstep(0.0f, 0.05f, d);
        const float inner = 0.97f + 0.03f * pigment.At(ix, iy);
        const float halo = Smoothstep(-0.08f, 0.0f, d) * 0.35f * (0.6f + 0.4f * bloomWide.At(ix, iy));
        return std::max(core * inner, halo);
    });
}

TPlane Halftone() {
    // Dots on a 45° grid, large enough to merge in the middle, shrinking to
    // nothing at the edge.
    const float cell = 13.f;
    return PerPixel([&](float x, float y) {
        const float u = (x + y) * 0.70710678f / cell, v = (x - y) * 0.70710678f / cell;
        const float cu = std::floor(u) + 0.5f, cv = std::floor(v) + 0.5f;
        const float cx = (cu + cv) * 0.70710678f * cell, cy = (cu - cv) * 0.70710678f * cell;
        const float t = EllipseRadius(cx, cy);
        const float rad = cell * 0.78f * (1.f - Smoothstep(0.42f, 1.0f, t));
        const float dist = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
        return Smoothstep(-0.7f, 0.7f, rad - dist);
    });
}

TPlane Mosaic() {
    // Square tiles shrinking towards the edge: a pixel dissolve. The size
    // follows the distance from the centre alone, so tiles part ring by ring
    // (a lone shrunk tile among whole ones would look outlined); chance only
    // decides which tiles of the outer rings drop out.
    const float cell = 16.f;
    TRandom rnd(61);
    const int cols = W / int(cell), rows = H / int(cell);
    std::vector<float> jitter(size_t(cols) * rows);
    for (float& j : jitter) j = float(rnd.Range(-0.14, 0.14));
    return PerPixel([&](float x, float y) {
        const int cx = int(x / cell), cy = int(y / cell);
        const float t = EllipseRadius((cx + 0.5f) * cell, (cy + 0.5f) * cell);
        if (t + jitter[size_t(cy) * cols + cx] > 0.97f) return 0.f;
        const float keep = 1.f - Smoothstep(0.6f, 1.1f, t);
        const float half = cell * 0.5f * std::min(1.1f, 0.3f + keep);
        const float fx = std::fabs(x + 0.5f - (cx + 0.5f) * cell),
                    fy = std::fabs(y + 0.5f - (cy + 0.5f) * cell);
        return Smoothstep(-0.6f, 0.6f, half - std::max(fx, fy));
    });
}

TPlane Sketch() {
    const float spacing = 7.f;
    TRandom rnd(71);
    std::vector<float> len(400);
    for (float& l : len) l = float(rnd.Range(6, 42));
    return PerPixel([&](float x, float y) {
        const float d = RectDistance(x, y, 46, 40, W - 46, H - 40);
        const float core = Smoothstep(-1.f, 1.f, d);
        const float u = (x + y) / spacing;
        const int id = int(std::floor(u));
        const float frac = u - float(id) - 0.5f;
        const float line = Smoothstep(-0.8f, 0.8f, 1.4f - std::fabs(frac) * spacing);
        const float reach = len[size_t(id + 200) % len.size()];
        return std::max(core, line * Smoothstep(-reach - 3.f, -reach + 3.f, d) * 0.9f);
    });
}

TItem MaskItem(const std::string& category, const std::string& name, std::function<TPlane()> draw) {
    const std::string path = "Masks/" + category + "/" + name + ".msk";
    return {path, [path, draw] {
                return std::vector<TPicture>{{path, TFormat::Jpeg, PlaneToGrey(draw()), 92}};
            }};
}

} // namespace

void AddMasks(TCatalogue& items) {
    const QRectF full(0, 0, W, H);
    auto inset = [full](double dx, double dy) { return full.adjusted(dx, dy, -dx, -dy); };
    auto circle = [](double r) { return EllipsePath(QRectF(W / 2.0 - r, H / 2.0 - r, 2 * r, 2 * r)); };

    // Circle: round and rounded shapes; yuan13 is the default of every photo.
    items.push_back(MaskItem("Circle", "yuan13", Yuan13));
    items.push_back(MaskItem("Circle", "oval", [=] { return Feather(EllipsePath(inset(8, 6)), 2.f); }));
    items.push_back(MaskItem("Circle", "oval_soft", [=] { return Feather(EllipsePath(inset(4, 3)), 70.f); }));
    items.push_back(MaskItem("Circle", "circle", [=] { return Feather(circle(H * 0.46), 2.f); }));
    items.push_back(MaskItem("Circle", "circle_soft", [=] { return Feather(circle(H * 0.49), 46.f); }));
    items.push_back(MaskItem("Circle", "vignette", Vignette));
    items.push_back(
        MaskItem("Circle", "rounded", [=] { return Feather(RoundRectPath(inset(10, 10), 42), 1.5f); }));
    items.push_back(
        MaskItem("Circle", "rounded_soft", [=] { return Feather(RoundRectPath(inset(6, 6), 96), 48.f); }));
    items.push_back(MaskItem("Circle", "capsule",
                             [=] { return Feather(RoundRectPath(inset(18, 54), (H - 108) / 2.0), 2.f); }));
    items.push_back(MaskItem("Circle", "trio", Trio));

    // Heart.
    items.push_back(MaskItem("Heart", "heart", [] { return Feather(CenteredHeart(0.9), 2.f); }));
    items.push_back(MaskItem("Heart", "heart_soft", [] { return Feather(CenteredHeart(0.94), 34.f); }));
    items.push_back(MaskItem("Heart", "heart_glow", HeartGlow));
    items.push_back(MaskItem("Heart", "two_hearts", TwoHearts));
    items.push_back(MaskItem("Heart", "heart_confetti", HeartsScatter));

    // Free: geometric shapes and layouts.
    items.push_back(MaskItem("Free", "star", [] {
        return Feather(StarPath(QPointF(W / 2.0, H * 0.53), H * 0.50, H * 0.21, 5), 1.5f);
    }));
    items.push_back(MaskItem("Free", "star_soft", [] {
        return Feather(SoftStarPath(QPointF(W / 2.0, H * 0.53), H * 0.52, H * 0.26, 5, 0.3), 22.f);
    }));
    items.push_back(MaskItem("Free", "hexagon", [] {
        return Feather(PolygonPath(QPointF(W / 2.0, H / 2.0), H * 0.56, H * 0.48, 6, 90), 1.5f);
    }));
    items.push_back(MaskItem("Free", "diamond", [] {
        return Feather(PolygonPath(QPointF(W / 2.0, H / 2.0), W * 0.46, H * 0.47, 4, 0), 1.5f);
    }));
    items.push_back(MaskItem("Free", "octagon", [] {
        return Feather(PolygonPath(QPointF(W / 2.0, H / 2.0), H * 0.52, H * 0.52, 8, 22.5), 1.5f);
    }));
    items.push_back(MaskItem("Free", "arch",
                             [] { return Feather(ArchPath(QRectF(W * 0.24, 14, W * 0.52, H - 28)), 1.5f); }));
    items.push_back(MaskItem("Free", "flower", [] {
        return Feather(FlowerPath(QPointF(W / 2.0, H / 2.0), H * 0.47, 8, 0.62, 0), 1.5f);
    }));
    items.push_back(
        MaskItem("Free", "speech", [=] { return Feather(SpeechBubblePath(inset(20, 16)), 1.5f); }));
    items.push_back(MaskItem("Free", "triptych", [] { return Panels(3, 1, false); }));
    items.push_back(MaskItem("Free", "four_panels", [] { return Panels(2, 2, false); }));
    items.push_back(MaskItem("Free", "filmstrip", [] { return Panels(3, 1, true); }));
    items.push_back(MaskItem("Free", "wave", Wave));
    items.push_back(MaskItem("Free", "puzzle", Puzzle));

    // Artistic edges.
    items.push_back(MaskItem("Artistic", "torn_paper", Torn));
    items.push_back(MaskItem("Artistic", "brush", Brush));
    items.push_back(MaskItem("Artistic", "splash", Splash));
    items.push_back(
        MaskItem("Artistic", "cloud", [=] { return Feather(CloudPath(inset(18, 10), 5), 18.f); }));
    items.push_back(MaskItem("Artistic", "grunge", Grunge));
    items.push_back(MaskItem("Artistic", "watercolour", Watercolour));
    items.push_back(MaskItem("Artistic", "halftone", Halftone));
    items.push_back(MaskItem("Artistic", "mosaic", Mosaic));
    items.push_back(MaskItem("Artistic", "sketch", Sketch));
    items.push_back(
        MaskItem("Artistic", "scallop", [=] { return Feather(ScallopPath(inset(30, 30), 14), 1.5f); }));
    items.push_back(
        MaskItem("Artistic", "stamp", [=] { return Feather(StampPath(inset(24, 22), 8), 1.2f); }));
}

} // namespace resgen
