// Texture pictures for filling text: 256 x 256, all of them tile seamlessly
// (every pattern and every noise repeats after 256 pixels).

#include "Art.h"
#include "Library.h"
#include "Materials.h"

namespace resgen {

namespace {

constexpr int S = 256;

template <typename F> TFloatImage Fill(F f) {
    TFloatImage img(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) img.At(x, y) = f(float(x), float(y));
    return img;
}

// Fractional part.
inline float Fract(float v) { return v - std::floor(v); }
// Distance of u to the nearest integer, 0..0.5.
inline float Tri(float u) { return std::fabs(u - std::floor(u + 0.5f)); }

TFloatImage Wood() {
    const TTileNoise warp(101, 128, S, S), pores(102, 128, 2, S, S), figure(103, 64, S, S);
    const TRgb dark = Hex(0x6b3d1e), light = Hex(0xb77a45);
    return Fill([&](float x, float y) {
        const float ring = y / S * 7.f + warp.Fbm(x, y, 3) * 1.1f;
        const float f = Fract(ring);
        const float band = Smoothstep(0.f, 0.6f, f) * (1.f - Smoothstep(0.75f, 1.f, f));
        // Pores stretched along the grain: sample a squashed copy of the noise.
        const float p = pores.Fbm(x, y, 3);
        const float t = 0.30f + 0.42f * band + 0.16f * p + 0.14f * figure.Fbm(x, y, 3);
        return Mix(dark, light, Clamp01(t));
    });
}

TFloatImage Marble() {
    const TTileNoise turb(111, 64, S, S), soft(112, 128, S, S);
    return Fill([&](float x, float y) {
        const float phase = (x + y * 0.5f) / S * 2.f * kPi * 2.f + turb.Fbm(x, y, 5) * 2.6f;
        const float vein = std::pow(1.f - std::fabs(std::sin(phase)), 5.f);
        const float fine = std::pow(1.f - std::fabs(std::sin(phase * 3.f + 1.3f)), 24.f);
        TRgb base = Mix(Hex(0xf4f2ee), Hex(0xe3e1de), 0.5f + 0.5f * soft.Fbm(x, y, 3));
        base = Mix(base, Hex(0x9aa0aa), vein * 0.6f);
        return Mix(base, Hex(0xb8bcc4), fine * 0.5f);
    });
}

TFloatImage Paper() {
    const TPaper paper(121, S, S, true, 8, 64);
    return Fill([&](float x, float y) { return paper.At(int(x), int(y), Hex(0xefe6d2), 2.f); });
}

TFloatImage Denim() {
    const TTileNoise slub(131, 128, 32, S, S), fade(132, 128, S, S), speck(133, 4, 16, S, S);
    return Fill([&](float x, float y) {
        // Right-hand twill: diagonal ridges 4 px apart (64 per tile).
        const float twill = 0.5f + 0.5f * std::sin((x + y) / S * 2.f * kPi * 64.f);
        const float weft = Smoothstep(0.55f, 0.9f, speck.Fbm(x, y, 2) * 0.5f + 0.5f);
        TRgb c = Mix(Hex(0x1f3556), Hex(0x3f6594), 0.35f + 0.35f * twill + 0.2f * slub.Fbm(x, y, 3));
        c = Mix(c, Hex(0x9fb6d0), weft * 0.35f);
        return c * (0.92f + 0.1f * fade.Fbm(x, y, 3));
    });
}

TFloatImage Metal(const std::vector<TRgb>& stops, uint32_t seed) {
    const TTileNoise brush(seed, 256, 2, S, S), coarse(seed + 2, 128, 16, S, S), wave(seed + 1, 128, S, S);
    return Fill([&](float x, float y) {
        // Brushed metal: fine streaks along x, plus two crisp reflections of a
        // bright window across the tile.
        const float b = brush.Fbm(x, y, 2) * 0.6f + coarse.Fbm(x, y, 2) * 0.4f;
        const float phase = y / S * 2.f * kPi * 2.f + wave.Fbm(x, y, 2) * 0.8f;
        const float sheen = std::pow(0.5f + 0.5f * std::sin(phase), 3.f);
        const float glint = std::pow(0.5f + 0.5f * std::sin(phase * 2.f + 1.f), 12.f);
        return Ramp(stops, Clamp01(0.22f + 0.55f * sheen + 0.2f * glint + 0.12f * b));
    });
}

TFloatImage Leather() {
    const TTileNoise tone(141, 64, S, S), fine(142, 4, S, S);
    return Fill([&](float x, float y) {
        const TWorley w = Worley(x / (S / 28.f) + tone.Fbm(x, y, 2) * 0.4f, y / (S / 28.f), 143, 28, 28);
        const float crease = Smoothstep(0.0f, 0.25f, w.F2 - w.F1);
        const float pebble = Clamp01(1.f - w.F1 * 0.9f);
        TRgb c = Mix(Hex(0x4a2616), Hex(0x8a5232), 0.35f + 0.25f * tone.Fbm(x, y, 3) + 0.25f * pebble);
        c = c * (0.62f + 0.38f * crease);
        return c * (0.96f + 0.05f * fine.Fbm(x, y, 2));
    });
}

TFloatImage Grass() {
    const TTileNoise blades(151, 8, 64, S, S), patches(152, 64, S, S);
    return Fill([&](float x, float y) {
        // Vertical blades: noise stretched upwards, lit on their crests.
        const float b = blades.Fbm(x, y, 3);
        const float p = patches.Fbm(x, y, 3);
        const float t = Clamp01(0.45f + 0.55f * b + 0.2f * p);
        return Ramp({Hex(0x17330f), Hex(0x2f6a1d), Hex(0x5a9a2a), Hex(0xa8d45a)}, t);
    });
}

TFloatImage Water() {
    const TTileNoise warp(161, 64, S, S), tone(162, 128, S, S);
    return Fill([&](float x, float y) {
        const float wx = x + warp.Fbm(x, y, 3) * 30.f, wy = y + warp.Fbm(x + 37.f, y + 11.f, 3) * 30.f;
        const TWorley w = Worley(wx / 32.f, wy / 32.f, 163, S / 32, S / 32);
        const float caustic = std::pow(Clamp01(1.f - (w.F2 - w.F1) * 2.2f), 3.f);
        TRgb c = Mix(Hex(0x0b5a8a), Hex(0x1aa0c8), 0.5f + 0.5f * tone.Fbm(x, y, 3));
        return Screen(c, Hex(0xbff4ff) * (caustic * 0.75f));
    });
}

TFloatImage Stripes() {
    // Nine diagonal stripes per tile in three colours (a multiple of three, so
    // the colours line up across the tile edge), with anti-aliased edges.
    const TRgb colours[] = {Hex(0xf7b6c8), Hex(0xfff4e8), Hex(0xa8dcd9)};
    return Fill([&](float x, float y) {
        const float u = (x + 0.5f + y + 0.5f) / S * 9.f;
        const int i = int(std::floor(u)) % 3;
        const float fromEdge = Fract(u) * S / 9.f; // pixels past the stripe's lower edge
        return Mix(colours[(i + 2) % 3], colours[i], Smoothstep(-0.7f, 0.7f, fromEdge - 0.7f));
    });
}

TFloatImage Dots() {
    return Fill([&](float x, float y) {
        // Offset rows of dots, 8 per tile.
        const float cell = S / 8.f;
        float gx = x / cell, gy = y / cell;
        const int row = int(std::floor(gy));
        if (row % 2) gx += 0.5f;
        const float dx = (Fract(gx) - 0.5f) * cell, dy = (Fract(gy) - 0.5f) * cell;
        const float d = std::hypot(dx, dy);
        const float dot = Smoothstep(-0.8f, 0.8f, cell * 0.28f - d);
        const float shade = Clamp01(0.85f - (dx + dy) / (cell * 0.6f) * 0.25f);
        return Mix(Hex(0x2e5e9e), Hex(0xffffff) * shade, dot);
    });
}

TFloatImage Rainbow() {
    return Fill([&](float x, float y) {
        TRgb c = Hsv(x / S, 0.62f, 1.f);
        const float sheen = 0.5f + 0.5f * std::cos(y / S * 2.f * kPi);
        return Mix(c, Hex(0xffffff), sheen * 0.25f);
    });
}

TFloatImage Lava() {
    const TTileNoise flow(171, 64, S, S), crust(172, 16, S, S);
    return Fill([&](float x, float y) {
        const float f = flow.Fbm(x, y, 5) * 0.5f + 0.5f;
        const float heat = Smoothstep(0.35f, 0.8f, f + crust.Fbm(x, y, 3) * 0.12f);
        return Ramp({Hex(0x140404), Hex(0x5c0c04), Hex(0xc82808), Hex(0xff8c1a), Hex(0xffe680)}, heat);
    });
}

TFloatImage Tartan() {
    // Sums of stripe bands in warp and weft, woven with a fine twill.
    auto band = [](float u) {
        const float p = Fract(u / (S / 2.f)) * 32.f; // two repeats per tile
        if (p < 10) return 0;                          // red ground
        if (p < 18) return 1;                          // green
        if (p < 19) return 2;                          // yellow line
        if (p < 26) return 3;                          // navy
        return 0;
    };
    const TRgb colours[] = {Hex(0xa3162a), Hex(0x1f5a35), Hex(0xe8c547), Hex(0x1c2340)};
    return Fill([&](float x, float y) {
        const TRgb a = colours[band(x)], b = colours[band(y)];
        const float twill = Fract((x + y) / 4.f) < 0.5f ? 1.f : 0.f;
        return Mix(a, b, 0.35f + 0.3f * twill) * 0.95f;
    });
}

TFloatImage NightStars() {
    const TTileNoise haze(181, 128, S, S);
    TFloatImage img = Fill([&](float x, float y) {
        return Mix(Hex(0x0b1030), Hex(0x2b2360), 0.5f + 0.5f * haze.Fbm(x, y, 4));
    });
    TRandom rnd(182);
    for (int i = 0; i < 140; ++i) {
        const float sx = float(rnd.Range(0, S)), sy = float(rnd.Range(0, S));
        const float bright = float(std::pow(rnd.Next(), 3.0)) * 0.9f + 0.1f;
        const float rad = 0.6f + bright * 1.4f;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const int px = (int(sx) + dx + S) % S, py = (int(sy) + dy + S) % S;
                const float d = std::hypot(float(int(sx) + dx) + 0.5f - sx, float(int(sy) + dy) + 0.5f - sy);
                const float a = std::exp(-d * d / (rad * rad)) * bright;
                img.At(px, py) = Screen(img.At(px, py), Hex(0xfff6e0) * a);
            }
    }
    return img;
}

TItem TextureItem(const std::string& name, std::function<TFloatImage()> draw) {
    const std::string path = "Textures/" + name + ".jpg";
    return {path, [path, draw] { return std::vector<TPicture>{{path, TFormat::Jpeg, ToQImage(draw(), 7), 92}}; }};
}

} // namespace

void AddTextures(TCatalogue& items) {
    items.push_back(TextureItem("wood", Wood));
    items.push_back(TextureItem("marble", Marble));
    items.push_back(TextureItem("paper", Paper));
    items.push_back(TextureItem("denim", Denim));
    items.push_back(TextureItem("gold", [] { return Metal(GoldStops(), 191); }));
    items.push_back(TextureItem("silver", [] { return Metal(SilverStops(), 193); }));
    items.push_back(TextureItem("copper", [] { return Metal(CopperStops(), 195); }));
    items.push_back(TextureItem("leather", Leather));
    items.push_back(TextureItem("grass", Grass));
    items.push_back(TextureItem("water", Water));
    items.push_back(TextureItem("stripes", Stripes));
    items.push_back(TextureItem("dots", Dots));
    items.push_back(TextureItem("rainbow", Rainbow));
    items.push_back(TextureItem("lava", Lava));
    items.push_back(TextureItem("tartan", Tartan));
    items.push_back(TextureItem("stars", NightStars));
}

} // namespace resgen
