// Sample photos: procedural landscapes rendered like photographs (sky
// gradients with sun glow, lit fractal clouds, ridged mountains fading into
// haze, forests, water with rippled reflections, stars and aurora), finished
// with a little bloom, vignette and grain.
//
// ---- Sections ----
// Scene toolkit: sky, clouds, ridges, mountains, trees, water, lights, finish
// Scenes
// Catalogue

#include <QPainter>

#include "Art.h"
#include "Library.h"
#include "Materials.h"

namespace resgen {

namespace {

// ---- Scene toolkit ----

struct TScene {
    int W, H;
    TFloatImage Img;
    TScene(int w, int h) : W(w), H(h), Img(w, h) {}
};

inline float Sigmoid(float v) { return 1.f / (1.f + std::exp(-v)); }

// Vertical sky gradient from the top (first stop) to the horizon (last stop)
// with a glow around the sun; below the horizon the last stop continues.
void PaintSky(TScene& s, float horizon, std::initializer_list<TRgb> stops, QPointF sun, const TRgb& glow,
              float glowRadius, float glowStrength) {
    const std::vector<TRgb> ramp(stops);
    const TPlane g = SmoothPlane(s.W, s.H, 4, [&](float x, float y) {
        const float d = std::hypot(float(x - sun.x()), float(y - sun.y())) / glowRadius;
        return glowStrength * (std::exp(-d * d) * 0.8f + 0.35f * std::exp(-d * 0.9f));
    });
    for (int y = 0; y < s.H; ++y) {
        const TRgb base = Ramp(ramp, Clamp01(y / horizon));
        for (int x = 0; x < s.W; ++x) s.Img.At(x, y) = Screen(base, glow * g.At(x, y));
    }
}

void PaintSun(TScene& s, QPointF c, float radius, const TRgb& colour) {
    const int x0 = std::max(0, int(c.x() - radius - 3)), x1 = std::min(s.W - 1, int(c.x() + radius + 3));
    const int y0 = std::max(0, int(c.y() - radius - 3)), y1 = std::min(s.H - 1, int(c.y() + radius + 3));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(x + 0.5f - float(c.x()), y + 0.5f - float(c.y()));
            const float a = Smoothstep(radius + 1.5f, radius - 1.5f, d);
            s.Img.At(x, y) = Mix(s.Img.At(x, y), colour, a);
        }
}

struct TCloudStyle {
    float Top = 0, Bottom = 600;   // band of the sky holding clouds
    float CellX = 560, CellY = 220; // size of the largest cloud features
    int Octaves = 7;
    float Cover = 0.45f;   // 0 clear .. 1 overcast
    float Softness = 0.28f;
    TRgb Lit = Hex(0xffffff), Shade = Hex(0x9aa6b8);
    QPointF SunDir = {-0.6, -0.8}; // towards the sun (image units)
    float Opacity = 1.f;
    float Silver = 0.f; // extra brightness at thin edges (backlit clouds)
};

// Flat-lit cumulus band: density from fBm, shading from how much cloud lies
// towards the sun.
void PaintClouds(TScene& s, uint32_t seed, const TCloudStyle& c) {
    const int top = std::max(0, int(c.Top)), bottom = std::min(s.H, int(c.Bottom));
    const int bh = bottom - top;
    if (bh <= 0) return;
    const TPlane n = FbmPlane(seed, s.W, bh, c.CellX, c.CellY, c.Octaves, 0.52f, false, 0, float(top));
    const float th = 1.f - c.Cover * 2.f; // threshold in noise units (about -1..1)
    TPlane dens(s.W, bh);
    for (int y = 0; y < bh; ++y) {
        // Fade the band in and out so it has no hard edges.
        const float t = float(y) / float(bh);
        const float env = Smoothstep(0.f, 0.25f, t) * Smoothstep(1.f, 0.6f, t);
        for (int x = 0; x < s.W; ++x) {
            const float v = n.At(x, y) * 1.4f - (1.f - env) * 1.2f;
            dens.At(x, y) = Smoothstep(th * 0.5f, th * 0.5f + c.Softness, v * 0.5f);
        }
    }
    const float ox = float(c.SunDir.x()) * 9.f, oy = float(c.SunDir.y()) * 9.f;
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < s.W; ++x) {
            const float d = dens.At(x, y);
            if (d <= 0.002f) continue;
            const float toward = dens.Sample(x + ox, y + oy);
            const float light = Clamp01(0.72f - (toward - d) * 2.2f - (d - 0.6f) * 0.25f);
            TRgb col = Mix(c.Shade, c.Lit, light);
            col = Screen(col, c.Lit * (c.Silver * (1.f - d) * 0.8f));
            s.Img.Blend(x, y + top, col, d * c.Opacity);
        }
}

// Clouds on a plane seen in perspective: large overhead, thin streaks at the
// horizon. Lit from below-behind for sunsets.
void PaintPerspectiveClouds(TScene& s, uint32_t seed, float horizon, float scale, float cover, const TRgb& lit,
                            const TRgb& shade, float sunX, float opacity) {
    const TNoise noise(seed);
    const int bottom = int(horizon) - 2;
    const TPlane dens = SmoothPlane(s.W, bottom, 2, [&](float x, float y) {
        const float h = (horizon - y) / s.H + 0.015f;
        const float depth = 0.12f / h;
        const float u = (x - s.W * 0.5f) / s.W * depth * scale, v = depth * scale * 2.2f;
        const float n = noise.Fbm(u, v, 6, 0.55f);
        return Smoothstep(1.f - cover * 2.f, 1.f - cover * 2.f + 0.55f, n * 1.5f);
    });
    for (int y = 0; y < bottom; ++y) {
        const float nearHorizon = Smoothstep(horizon - s.H * 0.03f, horizon - s.H * 0.12f, float(y));
        for (int x = 0; x < s.W; ++x) {
            const float d = dens.At(x, y) * nearHorizon;
            if (d <= 0.002f) continue;
            // Undersides near the sun catch the light.
            const float below = dens.AtC(x, y + 6) * nearHorizon;
            const float sunSide = std::exp(-std::pow((x - sunX) / (s.W * 0.45f), 2.f));
            const float light = Clamp01(0.35f + (d - below) * 1.5f + 0.45f * sunSide * (1.f - d));
            s.Img.Blend(x, y, Mix(shade, lit, light), Clamp01(d * opacity));
        }
    }
}

// A ridge line: y of the skyline for every column. sharp > 0 gives peaks
// (ridged octaves, raised to make pointed summits) under a slowly varying
// envelope of massifs; sharp = 0 gives rolling hills.
std::vector<float> Ridge(int w, uint32_t seed, float baseY, float amplitude, float scale, int octaves, float sharp) {
    const TNoise n(seed);
    std::vector<float> r(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        float v = 0, amp = 1, norm = 0, f = 1;
        for (int o = 0; o < octaves; ++o) {
            const float a = n.At(x / scale * f + o * 3.1f, 0.5f + o * 7.7f);
            const float ridged = 1.f - std::fabs(a);
            v += amp * (sharp > 0 ? ridged * ridged * sharp + (0.5f + 0.5f * a) * (1.f - sharp) : a);
            norm += amp;
            amp *= 0.5f;
            f *= 2.07f;
        }
        v /= norm;
        if (sharp > 0) {
            const float massif = 0.55f + 0.45f * (0.5f + 0.5f * n.At(x / (scale * 2.5f), 40.5f));
            v = std::pow(Clamp01(v), 1.4f) * massif * 1.6f;
        }
        r[size_t(x)] = baseY - amplitude * v;
    }
    return r;
}

struct TMountainStyle {
    TRgb RockLit = Hex(0x8d8a86), RockShade = Hex(0x3f4650);
    TRgb SnowLit = Hex(0xfbfbff), SnowShade = Hex(0x9fb0c8);
    float SnowDepth = 0;       // pixels of snow below the crest (0 = none)
    TRgb Haze = Hex(0xb8c8dc); // colour of the air
    float HazeTop = 0.f;       // haze at the crest
    float HazeBottom = 0.f;    // haze at the foot (valley mist)
    float FootY = 0;           // where the layer's haze reaches HazeBottom
    bool LightFromLeft = true;
    float GullyCell = 90.f; // size of the largest spurs and gullies
    float Relief = 1.f;
};

// The rows a layer has to paint: from its highest crest down to where the
// next, nearer layer (stop) surely covers it.
struct TBandRows {
    int Top, Bottom;
};
TBandRows Rows(const TScene& s, const std::vector<float>& top, const std::vector<float>* stop, float above = 0) {
    float t = float(s.H), b = 0;
    for (float v : top) t = std::min(t, v);
    if (stop)
        for (float v : *stop) b = std::max(b, v);
    else
        b = float(s.H);
    return {std::clamp(int(t - above) - 1, 0, s.H), std::clamp(int(b) + 2, 0, s.H)};
}
inline int StopRow(const TScene& s, const std::vector<float>* stop, int x) {
    return stop ? std::min(s.H, int((*stop)[size_t(x)]) + 2) : s.H;
}

// Fills everything below a ridge with a lit mountainside: a ridged noise
// field is the terrain (its creases read as spurs and gullies), lit from the
// side; snow clings near the crest and along the spurs; haze thickens with
// distance and towards the valley floor.
void PaintMountains(TScene& s, const std::vector<float>& ridge, uint32_t seed, const TMountainStyle& m,
                    const std::vector<float>* stop = nullptr) {
    const TBandRows rows = Rows(s, ridge, stop);
    const int bh = rows.Bottom - rows.Top;
    if (bh <= 0) return;
    // Spurs and gullies run down the slopes: the terrain noise is taller
    // than wide.
    const TPlane terrain = FbmPlane(seed, s.W, bh, m.GullyCell, m.GullyCell * 1.8f, 5, 0.45f, false, 0,
                                    float(rows.Top), true);
    const TPlane snowNoise = FbmPlane(seed + 1, s.W, bh, 24, 16, 3, 0.5f, false, 0, float(rows.Top));
    const float side = m.LightFromLeft ? -1.f : 1.f;
    const float lx = 0.72f * side, ly = -0.35f, lz = 0.6f;
    const float k = 60.f * m.Relief;
    for (int x = 0; x < s.W; ++x) {
        const float crest = ridge[size_t(x)];
        const float slope = (ridge[size_t(std::min(x + 3, s.W - 1))] - ridge[size_t(std::max(x - 3, 0))]) / 6.f;
        const int yEnd = StopRow(s, stop, x);
        for (int y = std::max(rows.Top, int(crest)); y < yEnd; ++y) {
            const float cov = Clamp01(float(y) + 1.f - crest);
            const int ly0 = y - rows.Top;
            const float e = terrain.At(x, ly0);
            const float ex = terrain.At(std::min(x + 1, s.W - 1), ly0) - terrain.At(std::max(x - 1, 0), ly0);
            const float ey = terrain.At(x, std::min(ly0 + 1, bh - 1)) - terrain.At(x, std::max(ly0 - 1, 0));
            const float below = float(y) - crest;
            // The face leans the way the skyline falls, strongest near the crest.
            float nx = -ex * k + slope * 0.8f * std::exp(-below / 260.f), ny = -ey * k - 0.25f, nz = 1.f;
            const float inv = 1.f / std::sqrt(nx * nx + ny * ny + nz * nz);
            nx *= inv, ny *= inv, nz *= inv;
            const float lit = Clamp01((nx * lx + ny * ly + nz * lz) * 1.25f);
            TRgb c = Mix(m.RockShade, m.RockLit, lit);
            if (m.SnowDepth > 0) {
                // Snow lies deeper along the spurs, slides off steep flanks,
                // and its lower edge breaks up into patches.
                const float line = m.SnowDepth * (0.2f + 1.2f * e) * (0.85f + 0.3f * snowNoise.At(x, ly0));
                float snow = Smoothstep(line + 10.f, line - 10.f, below);
                snow *= Smoothstep(0.8f, 0.5f, std::fabs(nx)) * Smoothstep(-0.2f, 0.15f, -ny + 0.1f);
                c = Mix(c, Mix(m.SnowShade, m.SnowLit, Clamp01(lit * 1.2f)), Clamp01(snow));
            }
            const float foot = m.FootY > crest ? Clamp01(below / (m.FootY - crest)) : 0.f;
            c = Mix(c, m.Haze, Clamp01(Lerp(m.HazeTop, m.HazeBottom, foot)));
            s.Img.Blend(x, y, c, cov);
        }
    }
}

struct TTreeStyle {
    TRgb Dark = Hex(0x16261c), Light = Hex(0x2e4a33);
    TRgb Haze = Hex(0xb8c8dc);
    float HazeTop = 0, HazeBottom = 0, FootY = 0;
    float MinH = 40, MaxH = 120, Spacing = 14;
    float Snow = 0; // 0..1 snow on the upper side of the tiers
    bool FillGround = true;
};

// A line of conifers standing on a ground line; fills the ground below too.
void PaintConifers(TScene& s, uint32_t seed, const std::vector<float>& ground, const TTreeStyle& t,
                   const std::vector<float>* stop = nullptr) {
    const TBandRows rows = Rows(s, ground, stop, t.MaxH + 4);
    const int bh = rows.Bottom - rows.Top;
    if (bh <= 0) return;
    TRandom rnd(seed);
    TPlane cov(s.W, bh), snow(s.W, bh);
    if (t.FillGround)
        for (int x = 0; x < s.W; ++x)
            for (int y = std::max(rows.Top, int(ground[size_t(x)])); y < StopRow(s, stop, x); ++y)
                cov.At(x, y - rows.Top) = Clamp01(float(y) + 1.f - ground[size_t(x)]);
    for (float cx = float(rnd.Range(-t.Spacing, 0)); cx < s.W + t.Spacing; cx += float(t.Spacing * rnd.Range(0.5, 1.3))) {
        const float h = float(rnd.Range(t.MinH, t.MaxH));
        const float halfW = h * float(rnd.Range(0.16, 0.24));
        const float base = ground[size_t(std::clamp(int(cx), 0, s.W - 1))] + 4.f;
        const float tiers = float(rnd.Range(5, 9));
        const float jag = float(rnd.Range(0, 10));
        for (int y = std::max(rows.Top, int(base - h)); y < std::min(rows.Bottom, int(base) + 1); ++y) {
            const float u = (base - float(y)) / h; // 0 at the foot .. 1 at the tip
            const float tier = (1.f - u) * tiers + jag;
            const float saw = tier - std::floor(tier);
            const float w = halfW * (1.f - u) * (0.55f + 0.45f * saw) + 1.f;
            for (int x = std::max(0, int(cx - w - 1)); x <= std::min(s.W - 1, int(cx + w + 1)); ++x) {
                const float a = Clamp01(w - std::fabs(x + 0.5f - cx) + 0.5f);
                if (a <= 0) continue;
                float& cv = cov.At(x, y - rows.Top);
                cv = std::max(cv, a);
                if (t.Snow > 0) {
                    float& sv = snow.At(x, y - rows.Top);
                    sv = std::max(sv, a * Smoothstep(0.55f, 0.2f, saw) * t.Snow);
                }
            }
        }
    }
    const TPlane tone = FbmPlane(seed + 7, s.W, bh, 12, 12, 2, 0.5f, false, 0, float(rows.Top));
    float minTop = float(s.H);
    for (float g : ground) minTop = std::min(minTop, g);
    for (int y = rows.Top; y < rows.Bottom; ++y)
        for (int x = 0; x < s.W; ++x) {
            const float a = cov.At(x, y - rows.Top);
            if (a <= 0.f) continue;
            TRgb c = Mix(t.Dark, t.Light, Clamp01(0.5f + 0.6f * tone.At(x, y - rows.Top)));
            if (t.Snow > 0) c = Mix(c, Hex(0xf4f8fc) * 0.95f, snow.At(x, y - rows.Top));
            const float foot =
                t.FootY > minTop ? Clamp01((float(y) - (minTop - t.MaxH)) / (t.FootY - minTop + t.MaxH)) : 0.f;
            c = Mix(c, t.Haze, Clamp01(Lerp(t.HazeTop, t.HazeBottom, foot)));
            s.Img.Blend(x, y, c, a);
        }
}

// Water below the horizon: the scene mirrored with ripples, tinted, darker
// near the viewer (less reflection straight down).
void PaintWater(TScene& s, float horizon, uint32_t seed, const TRgb& deep, float ripple, float clarity) {
    const int h0 = int(horizon);
    const int wh = s.H - h0;
    const TPlane wave = FbmPlane(seed, s.W, wh, 90, 5, 4, 0.55f);
    const TFloatImage src = s.Img;
    for (int y = h0; y < s.H; ++y) {
        const float dy = float(y) - horizon;
        const float depth = dy / float(wh); // 0 at the horizon .. 1 at the bottom
        for (int x = 0; x < s.W; ++x) {
            const float w = wave.At(x, y - h0);
            const float sx = float(x) + w * ripple * (4.f + 40.f * depth);
            const float sy = horizon - dy - w * ripple * (2.f + 10.f * depth);
            TRgb c = src.Sample(sx, std::max(0.f, sy));
            const float fresnel = Lerp(0.92f, 0.45f, std::pow(depth, 0.7f)) * clarity;
            c = Mix(deep, c, fresnel);
            s.Img.At(x, y) = c;
        }
    }
}

// Sparkling path of the sun on water.
void PaintGlitter(TScene& s, float horizon, float sunX, float width, const TRgb& colour, uint32_t seed) {
    const int h0 = int(horizon) + 1;
    const TPlane sparkle = FbmPlane(seed, s.W, s.H - h0, 14, 2.5f, 3, 0.6f);
    for (int y = h0; y < s.H; ++y) {
        const float depth = float(y - h0) / float(s.H - h0);
        const float w = width * (0.15f + depth * 1.4f);
        for (int x = 0; x < s.W; ++x) {
            const float across = std::exp(-std::pow((x - sunX) / w, 2.f));
            if (across < 0.01f) continue;
            const float g = Smoothstep(0.25f, 0.7f, sparkle.At(x, y - h0)) * across;
            s.Img.At(x, y) = Screen(s.Img.At(x, y), colour * (g * (1.f - depth * 0.5f)));
        }
    }
}

void PaintStars(TScene& s, uint32_t seed, int count, float bottom, float brightness = 1.f) {
    TRandom rnd(seed);
    for (int i = 0; i < count; ++i) {
        const float sx = float(rnd.Range(0, s.W)), sy = float(rnd.Range(0, bottom));
        const float b = (float(std::pow(rnd.Next(), 5.0)) * 0.9f + 0.1f) * brightness *
                        Smoothstep(bottom, bottom * 0.6f, sy);
        const float rad = 0.5f + b * 1.2f;
        const TRgb col = Mix(Hex(0xbfd4ff), Hex(0xfff0d8), float(rnd.Next()));
        for (int y = std::max(0, int(sy) - 3); y <= std::min(s.H - 1, int(sy) + 3); ++y)
            for (int x = std::max(0, int(sx) - 3); x <= std::min(s.W - 1, int(sx) + 3); ++x) {
                const float d = std::hypot(x + 0.5f - sx, y + 0.5f - sy);
                s.Img.At(x, y) = Screen(s.Img.At(x, y), col * (std::exp(-d * d / (rad * rad)) * b));
            }
    }
}

// Out-of-focus light: a soft disc with a slightly brighter rim.
void PaintBokeh(TScene& s, QPointF c, float r, const TRgb& colour, float strength) {
    for (int y = std::max(0, int(c.y() - r - 2)); y < std::min(s.H, int(c.y() + r + 2)); ++y)
        for (int x = std::max(0, int(c.x() - r - 2)); x < std::min(s.W, int(c.x() + r + 2)); ++x) {
            const float d = std::hypot(x + 0.5f - float(c.x()), y + 0.5f - float(c.y())) / r;
            if (d > 1.04f) continue;
            const float disc = Smoothstep(1.03f, 0.93f, d) * (0.8f + 0.3f * Smoothstep(0.6f, 0.96f, d));
            s.Img.At(x, y) = Screen(s.Img.At(x, y), colour * (disc * strength));
        }
}

// Half-size copy (box filter), for cheap wide blurs.
TFloatImage Half(const TFloatImage& src) {
    TFloatImage out(src.W / 2, src.H / 2);
    for (int y = 0; y < out.H; ++y)
        for (int x = 0; x < out.W; ++x)
            out.At(x, y) = (src.At(2 * x, 2 * y) + src.At(2 * x + 1, 2 * y) + src.At(2 * x, 2 * y + 1) +
                            src.At(2 * x + 1, 2 * y + 1)) *
                           0.25f;
    return out;
}

// Photographic finish: bloom around bright parts, a gentle vignette, and the
// light grain of the dithered conversion.
QImage Finish(TScene& s, float bloom = 0.35f, float vignette = 0.22f, uint32_t seed = 1) {
    if (bloom > 0) {
        TFloatImage glow = Half(s.Img);
        for (TRgb& c : glow.P) c = c * Smoothstep(0.6f, 1.f, c.Luma());
        Blur(glow, 10.f);
        // Pixel (x, y) sits at (x / 2 - 0.25, y / 2 - 0.25) of the half-size
        // picture; with 2x upsampling the weights repeat every two pixels.
        for (int y = 0; y < s.H; ++y) {
            const int j0 = std::clamp((y - 1) / 2, 0, glow.H - 1), j1 = std::min(j0 + 1, glow.H - 1);
            const float fy = y == 0 ? 0.f : (y % 2 ? 0.25f : 0.75f);
            for (int x = 0; x < s.W; ++x) {
                const int i0 = std::clamp((x - 1) / 2, 0, glow.W - 1), i1 = std::min(i0 + 1, glow.W - 1);
                const float fx = x == 0 ? 0.f : (x % 2 ? 0.25f : 0.75f);
                const TRgb top = Mix(glow.At(i0, j0), glow.At(i1, j0), fx);
                const TRgb bottom = Mix(glow.At(i0, j1), glow.At(i1, j1), fx);
                s.Img.At(x, y) = Screen(s.Img.At(x, y), Mix(top, bottom, fy) * bloom);
            }
        }
    }
    const float cx = s.W * 0.5f, cy = s.H * 0.5f, rr = std::hypot(cx, cy);
    const TPlane v = SmoothPlane(s.W, s.H, 8, [&](float x, float y) {
        return 1.f - vignette * Smoothstep(0.45f, 1.1f, std::hypot(x - cx, y - cy) / rr);
    });
    for (size_t i = 0; i < s.Img.P.size(); ++i) s.Img.P[i] = s.Img.P[i] * v.V[i];
    return ToQImage(s.Img, seed);
}

// ---- Scenes ----

constexpr int LW = 1600, LH = 1200;

QImage AlpinePeaks() {
    TScene s(LW, LH);
    const float horizon = 760;
    PaintSky(s, horizon, {Hex(0x2f6fc0), Hex(0x5f97d8), Hex(0x9ec3e8), Hex(0xd6e6f2)}, QPointF(1250, 150),
             Hex(0xfff6dc), 420, 0.35f);
    TCloudStyle c;
    c.Top = 40, c.Bottom = 520, c.Cover = 0.36f, c.SunDir = {0.8, -0.6};
    PaintClouds(s, 801, c);
    const auto r1 = Ridge(LW, 802, 560, 260, 520, 6, 0.8f), r2 = Ridge(LW, 804, 700, 340, 700, 7, 0.85f),
               r3 = Ridge(LW, 806, 880, 220, 600, 6, 0.6f), g = Ridge(LW, 809, 1080, 70, 400, 3, 0.f);
    TMountainStyle m;
    m.LightFromLeft = false;
    m.Haze = Hex(0xaec6e0);
    m.HazeTop = 0.62f, m.HazeBottom = 0.8f, m.FootY = 820;
    m.SnowDepth = 120;
    PaintMountains(s, r1, 803, m, &r2);
    m.HazeTop = 0.25f, m.HazeBottom = 0.6f, m.FootY = 900, m.SnowDepth = 170;
    PaintMountains(s, r2, 805, m, &r3);
    m.HazeTop = 0.05f, m.HazeBottom = 0.35f, m.FootY = 1000, m.SnowDepth = 60;
    m.RockLit = Hex(0x7d7a70), m.RockShade = Hex(0x2f353c);
    PaintMountains(s, r3, 807, m, &g);
    TTreeStyle t;
    t.Haze = Hex(0xaec6e0), t.HazeTop = 0.2f, t.HazeBottom = 0.1f, t.FootY = 1100;
    t.MinH = 60, t.MaxH = 170, t.Spacing = 22;
    PaintConifers(s, 808, g, t);
    return Finish(s, 0.25f);
}

QImage MountainLake() {
    TScene s(LW, LH);
    const float horizon = 700;
    PaintSky(s, horizon, {Hex(0x6d8fc4), Hex(0xb8c4e0), Hex(0xf2d2c8), Hex(0xfbe3c4)}, QPointF(300, 640),
             Hex(0xffe2b8), 500, 0.45f);
    TCloudStyle c;
    c.Top = 60, c.Bottom = 360, c.Cover = 0.3f, c.Lit = Hex(0xfff0e6), c.Shade = Hex(0xb8a8c0), c.SunDir = {-0.9, 0.4};
    PaintClouds(s, 811, c);
    TMountainStyle m;
    m.RockLit = Hex(0xb08a80), m.RockShade = Hex(0x4a4a62), m.SnowLit = Hex(0xffe8e0), m.SnowShade = Hex(0xa8a8cc);
    m.Haze = Hex(0xd8c8d8);
    m.HazeTop = 0.45f, m.HazeBottom = 0.7f, m.FootY = horizon, m.SnowDepth = 160;
    const auto r1 = Ridge(LW, 812, 470, 300, 600, 7, 0.85f), r2 = Ridge(LW, 814, 590, 200, 480, 6, 0.75f);
    const std::vector<float> waterLine(LW, horizon);
    PaintMountains(s, r1, 813, m, &r2);
    m.HazeTop = 0.12f, m.HazeBottom = 0.55f, m.SnowDepth = 90;
    PaintMountains(s, r2, 815, m, &waterLine);
    TTreeStyle t;
    t.Haze = Hex(0xc8c0d0), t.HazeTop = 0.25f, t.HazeBottom = 0.15f, t.FootY = horizon;
    t.MinH = 50, t.MaxH = 130, t.Spacing = 16;
    std::vector<float> shore(LW, horizon);
    PaintConifers(s, 816, shore, t);
    PaintWater(s, horizon, 817, Hex(0x2a3a4e), 0.5f, 0.95f);
    return Finish(s, 0.3f);
}

QImage SunsetSea() {
    TScene s(LW, LH);
    const float horizon = 740;
    const QPointF sun(980, 690);
    PaintSky(s, horizon, {Hex(0x2a2350), Hex(0x7a3f6e), Hex(0xe0705a), Hex(0xffb35c)}, sun, Hex(0xffd08a), 520,
             0.75f);
    PaintPerspectiveClouds(s, 821, horizon, 1.6f, 0.44f, Hex(0xffb070), Hex(0x5a2f55), float(sun.x()), 0.9f);
    PaintSun(s, sun, 34, Hex(0xfff3d0));
    PaintWater(s, horizon, 822, Hex(0x1c1830), 0.6f, 0.85f);
    PaintGlitter(s, horizon, float(sun.x()), 140, Hex(0xffd9a0), 823);
    return Finish(s, 0.45f, 0.3f);
}

QImage CityLights() {
    TScene s(LW, LH);
    // An out-of-focus city at dusk: a skyline of lit windows blurred far out
    // of focus, with large bokeh discs in front.
    PaintSky(s, 1200, {Hex(0x0c1230), Hex(0x1d2350), Hex(0x4a2f5e), Hex(0xb0604a)}, QPointF(800, 1250),
             Hex(0xff9a50), 700, 0.35f);
    QImage skyline(LW / 2, LH / 2, QImage::Format_ARGB32_Premultiplied);
    skyline.fill(0);
    {
        QPainter p(&skyline);
        TRandom rnd(831);
        for (int i = 0; i < 60; ++i) {
            const double w = rnd.Range(30, 90), h = rnd.Range(80, 360);
            const double x = rnd.Range(-20, LW / 2.0);
            const QRectF r(x, LH / 2.0 - h, w, h);
            p.fillRect(r, QColor(14, 14, 28));
            for (double wy = r.top() + 6; wy < r.bottom() - 6; wy += 9)
                for (double wx = r.left() + 4; wx < r.right() - 4; wx += 8)
                    if (rnd.Next() < 0.42)
                        p.fillRect(QRectF(wx, wy, 4, 5),
                                   rnd.Next() < 0.8 ? QColor(255, 200, 120) : QColor(180, 210, 255));
        }
    }
    TFloatImage city = FromQImage(skyline.convertToFormat(QImage::Format_RGB32));
    const TPlane cityAlpha = AlphaPlane(skyline);
    Blur(city, 11.f);
    TPlane a = cityAlpha;
    Blur(a, 11.f);
    for (int y = 0; y < LH; ++y)
        for (int x = 0; x < LW; ++x) {
            const float al = a.Sample(x * 0.5f, y * 0.5f);
            if (al > 0) s.Img.At(x, y) = Mix(s.Img.At(x, y), city.Sample(x * 0.5f, y * 0.5f) * (2.2f / std::max(al, 0.3f)), al);
        }
    TRandom rnd(832);
    const TRgb warm[] = {Hex(0xffb347), Hex(0xffd68a), Hex(0xff7f50), Hex(0xfff0c0), Hex(0x9ec8ff), Hex(0xff6a88)};
    for (int i = 0; i < 70; ++i) {
        const QPointF c(rnd.Range(-60, LW + 60), rnd.Range(LH * 0.25, LH * 1.05));
        const float r = float(rnd.Range(22, 95));
        PaintBokeh(s, c, r, warm[rnd.Int(6)], float(rnd.Range(0.15, 0.5)));
    }
    return Finish(s, 0.5f, 0.3f);
}

QImage Dunes() {
    TScene s(LW, LH);
    const float horizon = 560;
    PaintSky(s, horizon, {Hex(0x2563b4), Hex(0x4d8fd6), Hex(0x9cc4e8), Hex(0xe8e0d0)}, QPointF(1300, 120),
             Hex(0xfff4dc), 360, 0.4f);
    // Dune layers from far to near: a lit face and a shadowed slip face
    // meeting at a sharp crest, fine ripples, haze with distance.
    const TPlane ripples = FbmPlane(841, LW, LH, 300, 40, 4);
    const int layers = 5;
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        const float base = horizon + 10 + k * k * 560;
        const TNoise n(842 + l);
        std::vector<float> crest(LW);
        std::vector<float> slope(LW);
        for (int x = 0; x < LW; ++x) {
            const float u = x / (260.f + 500.f * k);
            const float v = n.Fbm(u, 0.3f, 4);
            crest[size_t(x)] = base - (60.f + 140.f * k) * (0.5f + 0.9f * v);
        }
        for (int x = 0; x < LW; ++x)
            slope[size_t(x)] = crest[size_t(std::min(x + 2, LW - 1))] - crest[size_t(std::max(x - 2, 0))];
        const TRgb lit = Mix(Hex(0xf0c090), Hex(0xf3b27a), k), shade = Mix(Hex(0xb88c6e), Hex(0x9a5f3e), k);
        const float haze = (1.f - k) * 0.55f;
        for (int x = 0; x < LW; ++x)
            for (int y = std::max(0, int(crest[size_t(x)])); y < LH; ++y) {
                const float cov = Clamp01(float(y) + 1.f - crest[size_t(x)]);
                const float below = float(y) - crest[size_t(x)];
                // Slip faces (crest falling to the right) are in shadow near the crest.
                const float face = Sigmoid(-slope[size_t(x)] * 1.6f) * std::exp(-below / (40.f + 160.f * k));
                const float rip = 0.5f + 0.5f * std::sin((y * 0.9f + ripples.At(x, y) * 30.f) * (0.25f + k * 0.2f));
                TRgb c = Mix(lit, shade, Clamp01(face * 1.2f));
                c = c * (0.95f + 0.07f * rip);
                c = Mix(c, Hex(0xe6d6c8), haze);
                s.Img.Blend(x, y, c, cov);
            }
    }
    return Finish(s, 0.2f);
}

QImage MistyForest() {
    TScene s(LW, LH);
    PaintSky(s, 700, {Hex(0xb9c6cc), Hex(0xd5dcdc), Hex(0xe8e6dc), Hex(0xf0ece0)}, QPointF(1150, 380),
             Hex(0xfff4d8), 600, 0.35f);
    const TRgb mist = Hex(0xdfe3e0);
    std::vector<std::vector<float>> grounds;
    for (int l = 0; l < 5; ++l) {
        const float k = float(l) / 4.f;
        grounds.push_back(Ridge(LW, 861 + l, 560 + k * 520, 80 + 60 * k, 500, 3, 0.f));
    }
    for (int l = 0; l < 5; ++l) {
        const float k = float(l) / 4.f;
        TTreeStyle t;
        t.Dark = Hex(0x1b2a22), t.Light = Hex(0x2d4435);
        t.Haze = mist;
        t.HazeTop = 0.82f - k * 0.75f;
        t.HazeBottom = std::min(1.f, t.HazeTop + 0.25f);
        t.FootY = 560 + k * 600;
        t.MinH = 60 + 120 * k, t.MaxH = 150 + 260 * k, t.Spacing = 10 + 22 * k;
        PaintConifers(s, 851 + l, grounds[size_t(l)], t, l < 4 ? &grounds[size_t(l + 1)] : nullptr);
    }
    // Sun rays slanting through the mist.
    for (int y = 0; y < LH; ++y)
        for (int x = 0; x < LW; ++x) {
            const float dx = x - 1150.f, dy = y - 380.f;
            const float a = std::atan2(dy, dx);
            const float rays = 0.5f + 0.5f * std::sin(a * 37.f) * std::sin(a * 13.f + 1.f);
            const float fall = std::exp(-std::hypot(dx, dy) / 700.f) * Smoothstep(0.f, 200.f, dy);
            s.Img.At(x, y) = Screen(s.Img.At(x, y), Hex(0xfff2d0) * (rays * fall * 0.22f));
        }
    return Finish(s, 0.25f, 0.25f);
}

QImage Aurora() {
    TScene s(LW, LH);
    const float horizon = 820;
    PaintSky(s, horizon, {Hex(0x050a1c), Hex(0x0a1a34), Hex(0x12304a), Hex(0x1c3e52)}, QPointF(800, 1400),
             Hex(0x2a5a60), 600, 0.2f);
    PaintStars(s, 871, 1400, horizon);
    // Curtains: a wavy base line, rays rising from it, green at the base and
    // violet at the top, drawn with additive light.
    const TNoise n(872);
    const TPlane rays = FbmPlane(873, LW, int(horizon), 5, 260, 4, 0.6f);
    std::vector<float> baseLine(LW), strength(LW);
    for (int x = 0; x < LW; ++x) {
        baseLine[size_t(x)] = 520 + 120 * std::sin(x / 380.f) + 60 * n.Fbm(x / 300.f, 0.5f, 3);
        strength[size_t(x)] = Smoothstep(-0.3f, 0.6f, n.Fbm(x / 500.f, 5.5f, 3) + 0.2f);
    }
    for (int y = 0; y < int(horizon); ++y)
        for (int x = 0; x < LW; ++x) {
            const float b = baseLine[size_t(x)];
            const float above = b - float(y);
            if (above < -30.f) continue;
            const float body = above < 0 ? std::exp(-above * above / 120.f) : std::exp(-above / 190.f);
            const float ray = 0.45f + 0.8f * Smoothstep(-0.2f, 0.6f, rays.At(x, y));
            const float i = body * ray * strength[size_t(x)];
            const TRgb col = Mix(Hex(0x3cff9a), Hex(0xb45cff), Smoothstep(40.f, 380.f, above));
            s.Img.At(x, y) = Screen(s.Img.At(x, y), col * (i * 0.85f));
        }
    TMountainStyle m;
    m.RockLit = Hex(0x2a3444), m.RockShade = Hex(0x0c121c), m.SnowLit = Hex(0x8fb4c4), m.SnowShade = Hex(0x3a5262);
    m.Haze = Hex(0x1a3040), m.HazeTop = 0.2f, m.HazeBottom = 0.5f, m.FootY = horizon, m.SnowDepth = 110;
    const std::vector<float> shoreStop(LW, horizon);
    PaintMountains(s, Ridge(LW, 874, 760, 210, 500, 6, 0.8f), 875, m, &shoreStop);
    TTreeStyle t;
    t.Dark = Hex(0x05080c), t.Light = Hex(0x0c1218), t.MinH = 40, t.MaxH = 100, t.Spacing = 14;
    std::vector<float> shore(LW, horizon);
    PaintConifers(s, 876, shore, t);
    PaintWater(s, horizon, 877, Hex(0x04080e), 0.35f, 0.9f);
    return Finish(s, 0.45f, 0.3f);
}

QImage Lavender() {
    TScene s(LW, LH);
    const float horizon = 560;
    const QPointF sun(420, 520);
    PaintSky(s, horizon, {Hex(0x5a6ea8), Hex(0xa890b8), Hex(0xf0b8a0), Hex(0xffd8a8)}, sun, Hex(0xffe0b0), 480,
             0.6f);
    TCloudStyle c;
    c.Top = 120, c.Bottom = 420, c.Cover = 0.26f, c.Lit = Hex(0xffd8c0), c.Shade = Hex(0x9a88b0), c.SunDir = {-0.9, 0.5};
    c.Silver = 0.6f;
    PaintClouds(s, 881, c);
    PaintSun(s, sun, 26, Hex(0xfff2d8));
    // Far tree line on the horizon.
    TTreeStyle far;
    far.Dark = Hex(0x4a4a5c), far.Light = Hex(0x5a5a6e), far.MinH = 8, far.MaxH = 22, far.Spacing = 9;
    PaintConifers(s, 882, std::vector<float>(LW, horizon), far);
    // Rows converge on a vanishing point on the horizon.
    const float vx = 900;
    const int h0 = int(horizon);
    const TPlane flowers = FbmPlane(883, LW, LH - h0, 6, 4, 2, 0.5f, false, 0, float(h0));
    for (int y = h0; y < LH; ++y) {
        const float dy = float(y) - horizon + 1.f;
        const float depth = dy / float(LH - horizon);
        for (int x = 0; x < LW; ++x) {
            const float u = (x - vx) / dy; // constant along each row
            const float row = 0.5f + 0.5f * std::cos(u * 2.f * kPi * 3.2f);
            const float bush = Smoothstep(0.25f, 0.7f, row + flowers.At(x, y - h0) * (0.2f + 0.5f * depth));
            TRgb flower = Mix(Hex(0x6a4c9c), Hex(0x9b7fd0), Clamp01(0.5f + flowers.At(x, y - h0)));
            flower = Mix(flower, Hex(0xd0a8c8), (1.f - depth) * 0.25f);
            const TRgb soil = Mix(Hex(0x5c4a3a), Hex(0x3e5a30), 0.4f);
            TRgb c2 = Mix(soil, flower, bush);
            c2 = Mix(c2, Hex(0xe0b8b8), Clamp01(0.55f * (1.f - std::pow(depth, 0.35f))));
            s.Img.At(x, y) = c2;
        }
    }
    // A lone tree on the right.
    QImage tree = NewArt(LW, LH);
    {
        QPainter p(&tree);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 34, 44));
        QPainterPath trunk;
        trunk.moveTo(1262, 600);
        trunk.cubicTo(1266, 560, 1260, 520, 1268, 470);
        trunk.lineTo(1276, 470);
        trunk.cubicTo(1272, 520, 1278, 560, 1282, 600);
        trunk.closeSubpath();
        p.drawPath(trunk);
        TRandom rnd(884);
        for (int i = 0; i < 90; ++i) {
            const double a = rnd.Range(0, 2 * M_PI), r = rnd.Range(0, 1);
            p.drawEllipse(QPointF(1272 + std::cos(a) * r * 90, 440 + std::sin(a) * r * 50), rnd.Range(12, 26),
                          rnd.Range(10, 20));
        }
    }
    TFloatImage treeImg = FromQImage(tree.convertToFormat(QImage::Format_RGB32));
    const TPlane ta = AlphaPlane(tree);
    for (size_t i = 0; i < ta.V.size(); ++i)
        if (ta.V[i] > 0) s.Img.P[i] = Mix(s.Img.P[i], Hex(0x2a2430), ta.V[i]);
    return Finish(s, 0.4f, 0.25f);
}

QImage RollingHills() {
    TScene s(LW, LH);
    const float horizon = 620;
    PaintSky(s, horizon, {Hex(0x2b6cc4), Hex(0x5b98dc), Hex(0x9cc6ec), Hex(0xdcebf4)}, QPointF(300, 100),
             Hex(0xfff8e8), 380, 0.3f);
    TCloudStyle c;
    c.Top = 30, c.Bottom = 560, c.Cover = 0.42f, c.CellX = 460, c.CellY = 200, c.SunDir = {-0.7, -0.7};
    PaintClouds(s, 891, c);
    const int layers = 5;
    std::vector<std::vector<float>> ridges;
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        ridges.push_back(Ridge(LW, 892 + l, horizon + 40 + k * 420, 60 + 70 * k, 500 + 300 * k, 3, 0.f));
    }
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        const auto& ridge = ridges[size_t(l)];
        const std::vector<float>* stop = l + 1 < layers ? &ridges[size_t(l + 1)] : nullptr;
        const TBandRows rows = Rows(s, ridge, stop);
        const TPlane tex = FbmPlane(900 + l, LW, rows.Bottom - rows.Top, 40 + 40 * k, 24 + 20 * k, 5, 0.5f, false, 0,
                                    float(rows.Top));
        const TRgb lit = Mix(Hex(0xa8cc62), Hex(0x86b440), k), shade = Mix(Hex(0x5a8a4a), Hex(0x3e6a2a), k);
        const float haze = (1.f - k) * 0.55f;
        for (int x = 0; x < LW; ++x) {
            const float slope = ridge[size_t(std::min(x + 4, LW - 1))] - ridge[size_t(std::max(x - 4, 0))];
            for (int y = std::max(rows.Top, int(ridge[size_t(x)])); y < StopRow(s, stop, x); ++y) {
                const float cov = Clamp01(float(y) + 1.f - ridge[size_t(x)]);
                const float below = float(y) - ridge[size_t(x)];
                const float lit01 = Sigmoid(slope * 0.15f + 1.5f - below / (90.f + 160.f * k));
                TRgb col = Mix(shade, lit, lit01) * (1.f + 0.12f * tex.At(x, y - rows.Top));
                col = Mix(col, Hex(0xbcd4e4), haze);
                s.Img.Blend(x, y, col, cov);
            }
        }
        // Round trees and hedges dotted along the nearer hills.
        if (l >= 1) {
            TRandom rnd(990 + l);
            QImage trees = NewArt(LW, LH);
            const int count = 10 + l * 8;
            for (int i = 0; i < count; ++i) {
                const float x = float(rnd.Range(0, LW));
                const float y = ridge[size_t(int(x))] + float(rnd.Range(10, 120 + 80 * k));
                const float r = float(rnd.Range(6, 12) * (0.6 + 1.4 * k));
                QPainterPath crown;
                crown.setFillRule(Qt::WindingFill);
                crown.addEllipse(QPointF(x, y - r), r, r * 0.9);
                crown.addEllipse(QPointF(x - r * 0.6, y - r * 0.6), r * 0.7, r * 0.65);
                crown.addEllipse(QPointF(x + r * 0.6, y - r * 0.55), r * 0.7, r * 0.65);
                TPuffy p;
                p.Depth = r * 0.6f, p.Gloss = 0.05f, p.Outline = false;
                PaintPuffy(trees, crown.simplified(), Mix(Hex(0x3a6a2a), Hex(0x2a5420), k), p);
            }
            const TPlane a = AlphaPlane(trees);
            for (int y = rows.Top; y < rows.Bottom; ++y)
                for (int x = 0; x < LW; ++x) {
                    const float al = a.At(x, y);
                    if (al <= 0) continue;
                    const QRgb px = trees.pixel(x, y);
                    const TRgb col = TRgb{qRed(px) / 255.f, qGreen(px) / 255.f, qBlue(px) / 255.f} * (1.f / al);
                    s.Img.Blend(x, y, Mix(col, Hex(0xbcd4e4), haze), al);
                }
        }
    }
    return Finish(s, 0.2f);
}

QImage TropicalBeach() {
    TScene s(LW, LH);
    const float horizon = 520;
    PaintSky(s, horizon, {Hex(0x1e78d0), Hex(0x4ea2e4), Hex(0x9fd0f0), Hex(0xe4f2f8)}, QPointF(1350, 80),
             Hex(0xffffff), 380, 0.35f);
    TCloudStyle c;
    c.Top = 250, c.Bottom = 520, c.Cover = 0.32f, c.CellX = 380, c.CellY = 120, c.SunDir = {0.7, -0.7};
    PaintClouds(s, 911, c);
    // Sea: deep blue far, turquoise in the shallows, with streaky waves.
    const int h0 = int(horizon);
    const TPlane waves = FbmPlane(912, LW, LH - h0, 160, 8, 5, 0.55f, false, 0, float(h0));
    const TNoise shoreN(913);
    const TPlane sand = FbmPlane(914, LW, LH - h0, 14, 14, 3, 0.5f, false, 0, float(h0));
    for (int y = h0; y < LH; ++y)
        for (int x = 0; x < LW; ++x) {
            const float depth = (y - horizon) / float(LH - horizon);
            const float shore = 0.62f + 0.06f * std::sin(x / 260.f) + 0.05f * shoreN.Fbm(x / 200.f, 1.5f, 3);
            TRgb sea = Ramp({Hex(0x0c4f8c), Hex(0x1683b0), Hex(0x2ec4c8), Hex(0x7fe3d4)}, Clamp01(depth / shore));
            sea = Screen(sea, Hex(0xffffff) * (Smoothstep(0.35f, 0.8f, waves.At(x, y - h0)) * 0.25f));
            const float foamLine = std::exp(-std::pow((depth - shore) / 0.012f, 2.f)) * (0.6f + 0.4f * waves.At(x, y - h0));
            TRgb wet = Mix(Hex(0xc9b48e), Hex(0xe8d8b4), Smoothstep(shore, shore + 0.12f, depth));
            wet = wet * (1.f + 0.06f * sand.At(x, y - h0));
            TRgb col = depth < shore ? sea : wet;
            col = Mix(col, Hex(0xffffff), Clamp01(foamLine));
            if (depth < shore) col = Mix(col, wet, Smoothstep(shore - 0.02f, shore, depth));
            s.Img.At(x, y) = col;
        }
    return Finish(s, 0.25f, 0.2f);
}

QImage AutumnValley() {
    TScene s(LW, LH);
    PaintSky(s, 600, {Hex(0x8aa8c8), Hex(0xc0cad4), Hex(0xe8dcc8), Hex(0xf4e6d0)}, QPointF(1200, 300),
             Hex(0xfff0d0), 500, 0.4f);
    const TRgb mist = Hex(0xe8e0d4);
    const int layers = 5;
    std::vector<std::vector<float>> ridges;
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        ridges.push_back(Ridge(LW, 921 + l, 520 + k * 560, 120 + 80 * k, 420 + 200 * k, 5, 0.3f));
    }
    const TRgb palette[] = {Hex(0x6b7a2a), Hex(0xc98a1e), Hex(0xe0641c), Hex(0xb8321e), Hex(0xe8b42a), Hex(0x8a9a3a)};
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        const auto& ridge = ridges[size_t(l)];
        const std::vector<float>* stop = l + 1 < layers ? &ridges[size_t(l + 1)] : nullptr;
        const TBandRows rows = Rows(s, ridge, stop);
        // Tree crowns: one Worley cell per crown, lit as a dome, its colour
        // drawn from the palette with clusters of similar trees.
        const float cell = 5.f + 10.f * k;
        const TPlane cluster = FbmPlane(940 + l, LW, rows.Bottom - rows.Top, 160, 160, 3, 0.5f, false, 0, float(rows.Top));
        for (int x = 0; x < LW; ++x)
            for (int y = std::max(rows.Top, int(ridge[size_t(x)])); y < StopRow(s, stop, x); ++y) {
                const float cov = Clamp01(float(y) + 1.f - ridge[size_t(x)]);
                const TWorley w = Worley(x / cell, y / (cell * 0.8f), 930 + l);
                const float pick = Clamp01(0.5f + 0.75f * cluster.At(x, y - rows.Top) + float(w.Id & 255) / 255.f * 0.16f - 0.08f);
                TRgb leaves = Ramp(palette, 6, pick);
                // Domes lit from the upper right, darker between crowns.
                const float dome = Clamp01(1.f - w.F1 * 1.1f);
                leaves = leaves * (0.72f + 0.3f * dome + 0.08f * Smoothstep(0.f, 0.4f, w.F2 - w.F1));
                const float below = (float(y) - ridge[size_t(x)]) / 260.f;
                const float haze = Clamp01((1.f - k) * 0.72f + below * 0.5f * (1.f - k * 0.6f));
                s.Img.Blend(x, y, Mix(leaves, mist, haze), cov);
            }
    }
    return Finish(s, 0.25f);
}

QImage WinterForest() {
    TScene s(LW, LH);
    PaintSky(s, 760, {Hex(0x8fb0d4), Hex(0xb8cce2), Hex(0xdce6f0), Hex(0xf0f2f4)}, QPointF(500, 460),
             Hex(0xfff6e8), 500, 0.4f);
    const int layers = 4;
    std::vector<std::vector<float>> grounds;
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        grounds.push_back(Ridge(LW, 951 + l, 700 + k * 380, 40 + 30 * k, 500, 3, 0.f));
    }
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        const std::vector<float>* stop = l + 1 < layers ? &grounds[size_t(l + 1)] : nullptr;
        TTreeStyle t;
        t.Dark = Hex(0x1c3028), t.Light = Hex(0x34503e), t.Snow = 0.85f;
        t.Haze = Hex(0xdce4ee), t.HazeTop = 0.75f - k * 0.7f, t.HazeBottom = t.HazeTop, t.FootY = 800;
        t.MinH = 70 + 150 * k, t.MaxH = 160 + 320 * k, t.Spacing = 14 + 30 * k;
        const auto& ground = grounds[size_t(l)];
        // Snow on the ground first, the trees stand in it.
        const TBandRows rows = Rows(s, ground, stop);
        const TPlane drift = FbmPlane(960 + l, LW, rows.Bottom - rows.Top, 200, 60, 4, 0.5f, false, 0, float(rows.Top));
        for (int x = 0; x < LW; ++x)
            for (int y = std::max(rows.Top, int(ground[size_t(x)])); y < StopRow(s, stop, x); ++y) {
                const float cov = Clamp01(float(y) + 1.f - ground[size_t(x)]);
                const TRgb snow = Mix(Hex(0xc8d4e6), Hex(0xf8fafc), Clamp01(0.6f + 0.5f * drift.At(x, y - rows.Top)));
                s.Img.Blend(x, y, Mix(snow, Hex(0xdce4ee), t.HazeTop * 0.5f), cov);
            }
        // Trees only: their ground line sits below the picture.
        std::vector<float> trunks(ground.begin(), ground.end());
        for (float& v : trunks) v += 6.f;
        t.FillGround = false;
        PaintConifers(s, 955 + l, trunks, t, &trunks);
    }
    return Finish(s, 0.3f, 0.18f);
}

QImage FoggyHills() {
    TScene s(LW, LH);
    // Layered hill silhouettes in morning fog, each layer darker and more
    // saturated as it comes closer, under a large low sun.
    const QPointF sun(1060, 420);
    PaintSky(s, 700, {Hex(0x9aa4c0), Hex(0xe0b8b0), Hex(0xf8d0a8), Hex(0xfde4c0)}, sun, Hex(0xffe8b8), 420, 0.5f);
    PaintSun(s, sun, 58, Hex(0xfff6e0));
    const int layers = 7;
    std::vector<std::vector<float>> ridges;
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        ridges.push_back(Ridge(LW, 1021 + l, 560 + k * 600, 50 + 90 * k, 300 + 400 * k, 4, 0.f));
    }
    const TRgb fog = Hex(0xf3d6bc), nearTone = Hex(0x3a2e3e);
    for (int l = 0; l < layers; ++l) {
        const float k = float(l) / (layers - 1);
        const auto& ridge = ridges[size_t(l)];
        const std::vector<float>* stop = l + 1 < layers ? &ridges[size_t(l + 1)] : nullptr;
        const TBandRows rows = Rows(s, ridge, stop);
        const TRgb tone = Mix(fog * 0.92f, nearTone, std::pow(k, 0.8f));
        for (int x = 0; x < LW; ++x)
            for (int y = std::max(rows.Top, int(ridge[size_t(x)])); y < StopRow(s, stop, x); ++y) {
                const float cov = Clamp01(float(y) + 1.f - ridge[size_t(x)]);
                // Fog pools in the valleys: lighter lower down each layer.
                const float mist = Smoothstep(0.f, 140.f + 60.f * k, float(y) - ridge[size_t(x)]) * (0.55f - 0.35f * k);
                s.Img.Blend(x, y, Mix(tone, fog, mist), cov);
            }
        // Tree tops along the nearer crests.
        if (l >= 3) {
            TTreeStyle t;
            t.Dark = tone * 0.95f, t.Light = tone, t.FillGround = false;
            t.MinH = 10 + 30 * k, t.MaxH = 30 + 70 * k, t.Spacing = 8 + 14 * k;
            std::vector<float> base(ridge.begin(), ridge.end());
            for (float& v : base) v += 4.f;
            PaintConifers(s, 1030 + l, base, t, &base);
        }
    }
    return Finish(s, 0.45f, 0.25f);
}

// Portraits.
constexpr int PW = 1200, PH = 1600;

QImage MilkyWay() {
    TScene s(PW, PH);
    const float horizon = 1300;
    PaintSky(s, horizon, {Hex(0x03050f), Hex(0x0a1028), Hex(0x1a2040), Hex(0x6a4a50)}, QPointF(600, 1450),
             Hex(0xd08050), 500, 0.35f);
    // The galactic band: glowing fBm along a diagonal, cut by dark dust lanes.
    const TNoise glow(991), dust(992);
    const TPlane band = SmoothPlane(PW, int(horizon), 3, [&](float x, float y) {
        const float u = x * 0.45f + y * 0.89f, v = x * 0.89f - y * 0.45f - 120.f;
        const float across = v / 230.f;
        const float core = std::exp(-across * across);
        const float g = 0.55f + 0.45f * glow.Fbm(u / 260.f, v / 260.f, 6);
        const float lanes = Smoothstep(0.45f, 0.8f, dust.Ridged(u / 380.f, v / 140.f, 5)) * std::exp(-across * across * 2.f);
        return Clamp01(core * g * (1.f - 0.75f * lanes));
    });
    for (int y = 0; y < int(horizon); ++y)
        for (int x = 0; x < PW; ++x) {
            const float b = band.At(x, y);
            const TRgb col = Mix(Hex(0x7a6aa8), Hex(0xf0d8c0), Smoothstep(0.3f, 0.9f, b));
            s.Img.At(x, y) = Screen(s.Img.At(x, y), col * (b * 0.55f));
        }
    PaintStars(s, 993, 4200, horizon, 1.f);
    TMountainStyle m;
    m.RockLit = Hex(0x141820), m.RockShade = Hex(0x06080c), m.Haze = Hex(0x2a2a38), m.HazeTop = 0.3f,
    m.HazeBottom = 0.1f, m.FootY = 1500;
    const auto treeLine = Ridge(PW, 997, 1540, 50, 300, 3, 0.f);
    PaintMountains(s, Ridge(PW, 994, 1320, 160, 420, 6, 0.7f), 995, m, &treeLine);
    TTreeStyle t;
    t.Dark = Hex(0x020304), t.Light = Hex(0x05070a), t.MinH = 90, t.MaxH = 260, t.Spacing = 30;
    PaintConifers(s, 996, treeLine, t);
    return Finish(s, 0.5f, 0.3f);
}

QImage SeaOfClouds() {
    TScene s(PW, PH);
    const float horizon = 900;
    const QPointF sun(300, 860);
    PaintSky(s, horizon, {Hex(0x27407a), Hex(0x6a7ab4), Hex(0xe8a8a0), Hex(0xffd0a0)}, sun, Hex(0xffe0b0), 520,
             0.6f);
    TMountainStyle m;
    m.RockLit = Hex(0xb07868), m.RockShade = Hex(0x3a3450), m.SnowLit = Hex(0xffe6d8), m.SnowShade = Hex(0x8a8ab8);
    m.Haze = Hex(0xd8b8c0), m.HazeTop = 0.1f, m.HazeBottom = 0.3f, m.FootY = 1200, m.SnowDepth = 260;
    // One tall peak: a ridge with a big bump in the middle.
    std::vector<float> ridge = Ridge(PW, 1001, 1000, 120, 260, 6, 0.8f);
    for (int x = 0; x < PW; ++x) ridge[size_t(x)] -= 560.f * std::exp(-std::pow((x - 700.f) / 260.f, 2.f));
    PaintMountains(s, ridge, 1002, m);
    // A sea of clouds below the summit: an undulating cloud top, opaque
    // beneath, its domes lit from the low sun and lavender in the hollows.
    const int top = 960;
    const TPlane n = FbmPlane(1003, PW, PH - top, 380, 140, 6, 0.5f, false, 0, float(top));
    for (int y = top; y < PH; ++y)
        for (int x = 0; x < PW; ++x) {
            const float v = n.At(x, y - top);
            const float depth = float(y - top) / 260.f;
            const float d = Smoothstep(-0.15f, 0.25f, depth * 0.9f + v * 0.55f - 0.35f);
            if (d <= 0.f) continue;
            const float up = v - n.At(x, std::min(PH - top - 1, y - top + 10));
            const float light = Clamp01(0.55f + up * 3.5f + 0.25f * (1.f - depth));
            const TRgb col = Mix(Hex(0xa898c4), Hex(0xfff0e4), light);
            s.Img.Blend(x, y, col, d);
        }
    PaintSun(s, sun, 26, Hex(0xfff4dc));
    return Finish(s, 0.4f, 0.25f);
}

QImage ForestLake() {
    TScene s(PW, PH);
    const float horizon = 880;
    PaintSky(s, horizon, {Hex(0x7fa0c8), Hex(0xb0c4d8), Hex(0xe0e4e0), Hex(0xf0ece0)}, QPointF(800, 700),
             Hex(0xfff4e0), 500, 0.4f);
    TCloudStyle c;
    c.Top = 80, c.Bottom = 620, c.Cover = 0.35f, c.CellX = 400, c.CellY = 180;
    PaintClouds(s, 1011, c);
    TMountainStyle m;
    m.Haze = Hex(0xc8d4e0), m.HazeTop = 0.5f, m.HazeBottom = 0.65f, m.FootY = horizon, m.SnowDepth = 60;
    const std::vector<float> shoreStop(PW, horizon);
    PaintMountains(s, Ridge(PW, 1012, 780, 160, 380, 6, 0.7f), 1013, m, &shoreStop);
    TTreeStyle t;
    t.Haze = Hex(0xc8d4e0), t.HazeTop = 0.2f, t.HazeBottom = 0.1f, t.FootY = horizon, t.MinH = 80, t.MaxH = 220,
    t.Spacing = 18;
    PaintConifers(s, 1014, std::vector<float>(PW, horizon), t);
    PaintWater(s, horizon, 1015, Hex(0x2a3a44), 0.45f, 0.95f);
    return Finish(s, 0.3f);
}

// ---- Catalogue ----

TItem PhotoItem(const std::string& name, std::function<QImage()> draw) {
    const std::string path = "Photos/" + name + ".jpg";
    return {path, [path, draw] { return std::vector<TPicture>{{path, TFormat::Jpeg, draw(), 90}}; }};
}

} // namespace

void AddPhotos(TCatalogue& items) {
    items.push_back(PhotoItem("alpine_peaks", AlpinePeaks));
    items.push_back(PhotoItem("mountain_lake", MountainLake));
    items.push_back(PhotoItem("sunset_sea", SunsetSea));
    items.push_back(PhotoItem("city_lights", CityLights));
    items.push_back(PhotoItem("desert_dunes", Dunes));
    items.push_back(PhotoItem("misty_forest", MistyForest));
    items.push_back(PhotoItem("aurora", Aurora));
    items.push_back(PhotoItem("lavender_field", Lavender));
    items.push_back(PhotoItem("rolling_hills", RollingHills));
    items.push_back(PhotoItem("tropical_beach", TropicalBeach));
    items.push_back(PhotoItem("autumn_valley", AutumnValley));
    items.push_back(PhotoItem("winter_forest", WinterForest));
    items.push_back(PhotoItem("foggy_hills", FoggyHills));
    items.push_back(PhotoItem("milky_way", MilkyWay));
    items.push_back(PhotoItem("sea_of_clouds", SeaOfClouds));
    items.push_back(PhotoItem("forest_lake", ForestLake));
}

} // namespace resgen
