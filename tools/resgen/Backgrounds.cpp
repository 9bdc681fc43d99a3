// Page backgrounds (1024 x 768 JPEG). Most of them tile seamlessly for the
// tile fill mode: their noise and patterns repeat after exactly one picture.
// 3.jpg is the default page of every new collage: light, warm and quiet.

#include <QPainter>

#include "Art.h"
#include "Library.h"
#include "Materials.h"
#include "Shapes.h"

namespace resgen {

namespace {

constexpr int W = 1024, H = 768;

template <typename F> TFloatImage Fill(F f) {
    TFloatImage img(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) img.At(x, y) = f(float(x), float(y));
    return img;
}

inline float Fract(float v) { return v - std::floor(v); }

// Draws `draw` at the position and at its wrapped copies, so a pattern of
// scattered shapes tiles.
template <typename F> void Wrapped(QPainter& p, QPointF at, double reach, F draw) {
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const QPointF q(at.x() + i * W, at.y() + j * H);
            if (q.x() < -reach || q.x() > W + reach || q.y() < -reach || q.y() > H + reach) continue;
            p.save();
            p.translate(q);
            draw(p);
            p.restore();
        }
}

QImage Paper() {
    // Warm off-white with barely visible fibres: it must flatter any photo.
    const TPaper paper(201, W, H, true, 8, 256);
    return ToQImage(Fill([&](float x, float y) { return paper.At(int(x), int(y), Hex(0xf5f0e7), 0.8f); }));
}

QImage Linen() {
    const TPlane slubX = FbmPlane(211, W, H, 4, 64, 2, 0.5f, true), slubY = FbmPlane(212, W, H, 64, 4, 2, 0.5f, true),
                 tone = FbmPlane(213, W, H, 128, 128, 3, 0.5f, true);
    const TRgb base = Hex(0xd8ccb6);
    return ToQImage(Fill([&](float x, float y) {
        // Plain weave: threads 4 px wide passing over and under each other.
        const int tx = int(x) / 4, ty = int(y) / 4;
        const bool warpOnTop = ((tx + ty) & 1) == 0;
        const float px = 0.5f + 0.5f * std::cos((Fract(x / 4.f) - 0.5f) * 2.f * kPi * 0.5f);
        const float py = 0.5f + 0.5f * std::cos((Fract(y / 4.f) - 0.5f) * 2.f * kPi * 0.5f);
        const size_t i = size_t(y) * W + size_t(x);
        const float warp = 0.9f + 0.12f * slubX.V[i];
        const float weft = 0.9f + 0.12f * slubY.V[i];
        const float v = warpOnTop ? warp * (0.82f + 0.18f * px) : weft * (0.82f + 0.18f * py);
        return base * (v * (1.f + 0.04f * tone.V[i]));
    }));
}

QImage Kraft() {
    const TPaper paper(221, W, H, true, 6, 128);
    const TPlane specks = FbmPlane(223, W, H, 2, 2, 1, 0.5f, true);
    return ToQImage(Fill([&](float x, float y) {
        TRgb c = paper.At(int(x), int(y), Hex(0xc39a6b), 2.2f);
        const float s = specks.At(int(x), int(y));
        if (s > 0.62f) c = c * 0.85f;
        return c;
    }));
}

QImage PastelGradient() {
    const TPlane n = FbmPlane(231, W, H, 500, 500, 3);
    return ToQImage(Fill([&](float x, float y) {
        const float t = Clamp01((x / W * 0.6f + y / H * 0.4f) + n.At(int(x), int(y)) * 0.12f);
        return Ramp({Hex(0xfde2cf), Hex(0xf7d3e0), Hex(0xdcd6f2), Hex(0xcfe6f3)}, t);
    }));
}

QImage Bokeh() {
    TFloatImage img = Fill([&](float x, float y) {
        const float t = y / H;
        const float glow = std::exp(-std::pow((x - W * 0.62f) / (W * 0.5f), 2.f) - std::pow((y - H * 0.4f) / (H * 0.6f), 2.f));
        return Mix(Mix(Hex(0x1e130e), Hex(0x3a2116), t), Hex(0x8a5428), glow * 0.55f);
    });
    // Out-of-focus lights: discs with a slightly brighter rim, added on top.
    TRandom rnd(232);
    for (int i = 0; i < 95; ++i) {
        const float cx = float(rnd.Range(-40, W + 40)), cy = float(rnd.Range(-40, H + 40));
        const float r = float(rnd.Range(14, 70) * (i < 20 ? 1.5 : 1.0));
        const TRgb col = Ramp({Hex(0xffb347), Hex(0xffd28a), Hex(0xfff0c8), Hex(0xff8f5a)}, float(rnd.Next()));
        const float strength = float(rnd.Range(0.12, 0.45));
        for (int y = std::max(0, int(cy - r - 3)); y < std::min(H, int(cy + r + 3)); ++y)
            for (int x = std::max(0, int(cx - r - 3)); x < std::min(W, int(cx + r + 3)); ++x) {
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
                if (d > 1.05f) continue;
                const float disc = Smoothstep(1.03f, 0.95f, d);
                const float rim = 0.75f + 0.35f * Smoothstep(0.7f, 0.97f, d);
                img.At(x, y) = Screen(img.At(x, y), col * (disc * rim * strength));
            }
    }
    Blur(img, 1.6f);
    return ToQImage(img);
}

QImage Watercolour() {
    const TPlane a = FbmPlane(241, W, H, 256, 256, 5, 0.5f, true), b = FbmPlane(242, W, H, 256, 256, 5, 0.5f, true),
                 edge = FbmPlane(243, W, H, 64, 64, 3, 0.5f, true);
    const TPaper paper(244, W, H);
    const TRgb pink = Hex(0xf2b8c6), blue = Hex(0xa9cbe8), paperTone = Hex(0xfbf8f3);
    return ToQImage(Fill([&](float x, float y) {
        TRgb c = paper.At(int(x), int(y), paperTone, 1.5f);
        auto wash = [&](const TPlane& n, float sign, const TRgb& pigment) {
            const float v = n.At(int(x), int(y)) - 0.08f + edge.At(int(x), int(y)) * 0.15f * sign;
            const float body = Smoothstep(0.0f, 0.25f, v);
            // Pigment collects at the drying edge of a wash.
            const float rim = std::exp(-std::pow((v - 0.02f) / 0.035f, 2.f)) * 0.5f;
            c = Mix(c, pigment, Clamp01(body * 0.42f + rim * 0.4f));
        };
        wash(a, 1.f, pink);
        wash(b, -1.f, blue);
        return c;
    }));
}

QImage WoodPlanks() {
    const TPlane warp = FbmPlane(251, W, H, 128, 128, 3, 0.5f, true), pores = FbmPlane(252, W, H, 2, 128, 2, 0.5f, true),
                 knot = FbmPlane(253, W, H, 64, 64, 2, 0.5f, true);
    const int plank = 128;
    TRandom rnd(254);
    float shift[8], tone[8];
    for (int i = 0; i < 8; ++i) shift[i] = float(rnd.Range(0, 100)), tone[i] = float(rnd.Range(-0.05, 0.05));
    return ToQImage(Fill([&](float x, float y) {
        const int i = int(x) / plank;
        const float u = x - float(i * plank); // across the plank
        const size_t k = size_t(y) * W + size_t(x);
        const float ring = (u + shift[i]) / 14.f + warp.V[k] * 1.8f + knot.V[k] * 0.8f;
        const float f = Fract(ring);
        const float band = Smoothstep(0.f, 0.6f, f) * (1.f - Smoothstep(0.75f, 1.f, f));
        TRgb wood = Mix(Hex(0x9c7a58), Hex(0xc9a883), Clamp01(0.35f + 0.4f * band + 0.2f * pores.V[k]));
        // Whitewash over the grain, a dark joint between planks.
        TRgb c = Mix(wood, Hex(0xf1ece4), 0.62f + tone[i]);
        const float joint = std::min(u, float(plank) - u);
        return c * (0.55f + 0.45f * Smoothstep(0.f, 2.5f, joint));
    }));
}

QImage Dots() {
    const TPaper paper(261, W, H);
    return ToQImage(Fill([&](float x, float y) {
        const float cell = 64.f;
        float gx = x / cell;
        const float gy = y / cell;
        if (int(std::floor(gy)) % 2) gx += 0.5f;
        const float d = std::hypot((Fract(gx) - 0.5f) * cell, (Fract(gy) - 0.5f) * cell);
        const TRgb ground = paper.At(int(x), int(y), Hex(0xc4e6d8), 1.f);
        return Mix(ground, Hex(0xfbfcf8), Smoothstep(-0.8f, 0.8f, 9.5f - d));
    }));
}

QImage Stripes() {
    const TPaper paper(271, W, H);
    return ToQImage(Fill([&](float x, float y) {
        const float u = (x + 0.5f) / 32.f;
        const bool pink = int(std::floor(u)) % 2 == 0;
        const float edge = std::min(Fract(u), 1.f - Fract(u)) * 32.f;
        const TRgb a = Hex(0xf6d5d9), b = Hex(0xfdf6ee);
        const TRgb mid = Mix(a, b, 0.5f);
        const TRgb c = Mix(mid, pink ? a : b, Smoothstep(0.f, 1.f, edge));
        return paper.At(int(x), int(y), c, 1.f);
    }));
}

QImage StarryNight() {
    const TNoise band(282);
    const TPlane haze = FbmPlane(281, W, H, 300, 300, 3);
    const TPlane milkyNoise = SmoothPlane(W, H, 3, [&](float x, float y) {
        const float along = (x * 0.55f + y * 0.83f);
        const float dist = (x * 0.83f - y * 0.55f - 150.f) / 170.f;
        return band.Fbm(along / 200.f, dist, 5);
    });
    TFloatImage img = Fill([&](float x, float y) {
        const float t = y / H;
        TRgb c = Ramp({Hex(0x060a1f), Hex(0x0f1740), Hex(0x2a2260), Hex(0x5a3a78)}, t * 0.9f);
        // A faint milky band across the sky.
        const float dist = (x * 0.83f - y * 0.55f - 150.f) / 170.f;
        const float milky = std::exp(-dist * dist) * (0.5f + 0.5f * milkyNoise.At(int(x), int(y)));
        c = Screen(c, Hex(0x8a86c8) * (milky * 0.22f + 0.04f * haze.At(int(x), int(y))));
        return c;
    });
    TRandom rnd(283);
    for (int i = 0; i < 900; ++i) {
        const float sx = float(rnd.Range(0, W)), sy = float(rnd.Range(0, H));
        const float b = float(std::pow(rnd.Next(), 4.0)) * 0.95f + 0.08f;
        const float rad = 0.55f + b * 1.3f;
        const TRgb col = Mix(Hex(0xcfe0ff), Hex(0xfff1d6), float(rnd.Next()));
        for (int y = std::max(0, int(sy) - 4); y <= std::min(H - 1, int(sy) + 4); ++y)
            for (int x = std::max(0, int(sx) - 4); x <= std::min(W - 1, int(sx) + 4); ++x) {
                const float d = std::hypot(x + 0.5f - sx, y + 0.5f - sy);
                img.At(x, y) = Screen(img.At(x, y), col * (std::exp(-d * d / (rad * rad)) * b));
            }
    }
    return ToQImage(img);
}

QImage Hearts() {
    const TPaper paper(291, W, H);
    QImage img = ToQImage(Fill([&](float x, float y) { return paper.At(int(x), int(y), Hex(0xfbe3e6), 1.f); }));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor colours[] = {QColor(0xf4a7b4), QColor(0xffffff), QColor(0xeb8b9c)};
    int k = 0;
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 16; ++col, ++k) {
            const QPointF at(col * 64 + (row % 2 ? 32 : 0) + 32, row * 64 + 32);
            const double s = 22, angle = (k % 2 ? -14 : 12);
            Wrapped(p, at, 30, [&](QPainter& g) {
                g.rotate(angle);
                g.setBrush(colours[(row + col) % 3]);
                g.drawPath(HeartPath(QRectF(-s * 0.55, -s / 2, s * 1.1, s)));
            });
        }
    return img;
}

QImage Confetti() {
    const TPaper paper(301, W, H);
    QImage img = ToQImage(Fill([&](float x, float y) { return paper.At(int(x), int(y), Hex(0xfdfbf7), 1.f); }));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor colours[] = {QColor(0xf27a8a), QColor(0xf7c04a), QColor(0x5ec4b6), QColor(0x7b9be8),
                              QColor(0xb58be0), QColor(0x8fd16a)};
    TRandom rnd(303);
    for (int i = 0; i < 420; ++i) {
        const QPointF at(rnd.Range(0, W), rnd.Range(0, H));
        const QColor c = colours[rnd.Int(6)];
        const int kind = rnd.Int(3);
        const double angle = rnd.Range(0, 360), s = rnd.Range(5, 11);
        Wrapped(p, at, 30, [&](QPainter& g) {
            g.rotate(angle);
            g.setBrush(c);
            if (kind == 0)
                g.drawEllipse(QPointF(0, 0), s * 0.55, s * 0.55);
            else if (kind == 1)
                g.drawRect(QRectF(-s * 0.5, -s * 0.3, s, s * 0.6));
            else {
                QPainterPath curl;
                curl.moveTo(-s, 0);
                curl.cubicTo(-s * 0.5, -s * 0.8, s * 0.5, s * 0.8, s, 0);
                g.strokePath(curl, QPen(c, 2.4, Qt::SolidLine, Qt::RoundCap));
            }
        });
    }
    return img;
}

QImage Chalkboard() {
    const TPlane smudge = FbmPlane(311, W, H, 256, 256, 4, 0.5f, true), dust = FbmPlane(312, W, H, 4, 4, 2, 0.5f, true),
                 wipe = FbmPlane(313, W, H, 512, 64, 3, 0.5f, true);
    return ToQImage(Fill([&](float x, float y) {
        const size_t i = size_t(y) * W + size_t(x);
        TRgb c = Hex(0x2d3a33);
        c = Mix(c, Hex(0x4d5a53), Clamp01(0.25f + 0.35f * smudge.V[i] + 0.25f * wipe.V[i]));
        return c * (1.f + 0.05f * dust.V[i]);
    }));
}

QImage Sky() {
    // One cloud field 25 px taller than the picture: reading it 25 px higher
    // up tells how much cloud lies towards the sun, which shades the undersides.
    const int lift = 25;
    const TPlane clouds = FbmPlane(321, W, H + lift, 420, 260, 6, 0.5f, false, 0, -float(lift));
    const TPlane detail = FbmPlane(322, W, H, 60, 60, 3);
    return ToQImage(Fill([&](float x, float y) {
        const float t = y / H;
        TRgb c = Ramp({Hex(0x3f7fcf), Hex(0x74a8e0), Hex(0xb9d6f0), Hex(0xe4eef6)}, t);
        const int ix = int(x), iy = int(y);
        const float n = clouds.At(ix, iy + lift) + detail.At(ix, iy) * 0.08f;
        const float cover = Smoothstep(0.05f, 0.55f, n + 0.15f * t);
        const float shade = Clamp01(0.5f + (clouds.At(ix, iy) - n) * 4.f);
        const TRgb cloud = Mix(Hex(0xffffff), Hex(0xb9c4d4), shade * 0.7f);
        return Mix(c, cloud, cover * 0.9f);
    }));
}

QImage Floral() {
    const TPaper paper(331, W, H);
    QImage img = ToQImage(Fill([&](float x, float y) { return paper.At(int(x), int(y), Hex(0xdfe8da), 1.f); }));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    TRandom rnd(333);
    // Jittered grid so the flowers neither clump nor line up.
    for (int gy = 0; gy < 8; ++gy)
        for (int gx = 0; gx < 10; ++gx) {
            const QPointF at((gx + rnd.Range(0.15, 0.85)) * W / 10.0, (gy + rnd.Range(0.15, 0.85)) * H / 8.0);
            const double s = rnd.Range(18, 30), rot = rnd.Range(0, 360);
            const bool white = rnd.Next() < 0.6;
            Wrapped(p, at, 60, [&](QPainter& g) {
                g.rotate(rot);
                g.setBrush(QColor(0x9fb894));
                for (int l = 0; l < 2; ++l) {
                    g.save();
                    g.rotate(l * 150 + 20);
                    g.drawPath(LeafPath(QRectF(-s * 0.28, -s * 1.9, s * 0.56, s * 1.2)));
                    g.restore();
                }
                g.setBrush(white ? QColor(0xfdfcf7) : QColor(0xf3c6c2));
                g.drawPath(FlowerPath(QPointF(0, 0), s, 5, 0.7, 0));
                g.setBrush(QColor(0xe9c16a));
                g.drawEllipse(QPointF(0, 0), s * 0.26, s * 0.26);
            });
        }
    return img;
}

QImage GridPaper() {
    const TPaper paper(341, W, H);
    return ToQImage(Fill([&](float x, float y) {
        TRgb c = paper.At(int(x), int(y), Hex(0xfbfbf7), 1.f);
        auto line = [](float v, float period, float width) {
            const float d = std::fabs(Fract((v + 0.5f) / period + 0.5f) - 0.5f) * period;
            return Smoothstep(width + 0.6f, width - 0.6f, d);
        };
        const float minor = std::max(line(x, 32, 0.35f), line(y, 32, 0.35f));
        const float major = std::max(line(x, 128, 0.8f), line(y, 128, 0.8f));
        c = Mix(c, Hex(0xb5cde6), minor * 0.7f);
        return Mix(c, Hex(0x8fb2d8), major * 0.75f);
    }));
}

TItem BackgroundItem(const std::string& name, std::function<QImage()> draw) {
    const std::string path = "background/" + name + ".jpg";
    return {path, [path, draw] { return std::vector<TPicture>{{path, TFormat::Jpeg, draw(), 92}}; }};
}

} // namespace

void AddBackgrounds(TCatalogue& items) {
    items.push_back(BackgroundItem("1", Linen));
    items.push_back(BackgroundItem("2", PastelGradient));
    items.push_back(BackgroundItem("3", Paper));
    items.push_back(BackgroundItem("4", Kraft));
    items.push_back(BackgroundItem("5", Bokeh));
    items.push_back(BackgroundItem("6", Watercolour));
    items.push_back(BackgroundItem("7", WoodPlanks));
    items.push_back(BackgroundItem("8", Dots));
    items.push_back(BackgroundItem("9", Stripes));
    items.push_back(BackgroundItem("10", StarryNight));
    items.push_back(BackgroundItem("11", Hearts));
    items.push_back(BackgroundItem("12", Confetti));
    items.push_back(BackgroundItem("13", Chalkboard));
    items.push_back(BackgroundItem("14", Sky));
    items.push_back(BackgroundItem("15", Floral));
    items.push_back(BackgroundItem("16", GridPaper));
}

} // namespace resgen
