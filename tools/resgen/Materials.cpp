#include "Materials.h"

#include <cmath>

namespace resgen {

namespace {
inline uint32_t Hash3(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}
inline int WrapI(int i, int p) {
    if (p <= 0) return i;
    const int r = i % p;
    return r < 0 ? r + p : r;
}
} // namespace

TWorley Worley(float x, float y, uint32_t seed, int periodX, int periodY) {
    const int cx = int(std::floor(x)), cy = int(std::floor(y));
    float f1 = 1e9f, f2 = 1e9f;
    uint32_t id = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const uint32_t h = Hash3(WrapI(gx, periodX), WrapI(gy, periodY), seed);
            const float px = float(gx) + float(h & 1023) / 1023.f;
            const float py = float(gy) + float((h >> 10) & 1023) / 1023.f;
            const float d = std::hypot(px - x, py - y);
            if (d < f1) {
                f2 = f1;
                f1 = d;
                id = h;
            } else if (d < f2) {
                f2 = d;
            }
        }
    return {f1, f2, id};
}

const std::vector<TRgb>& GoldStops() {
    static const std::vector<TRgb> s = {Hex(0x3d2306), Hex(0x7a4e16), Hex(0xb5832e), Hex(0xe3bd5e), Hex(0xf8e4a0),
                                        Hex(0xfffbe8)};
    return s;
}
const std::vector<TRgb>& SilverStops() {
    static const std::vector<TRgb> s = {Hex(0x25292e), Hex(0x5b626a), Hex(0x9aa2aa), Hex(0xcdd3d9), Hex(0xeef1f4),
                                        Hex(0xffffff)};
    return s;
}
const std::vector<TRgb>& CopperStops() {
    static const std::vector<TRgb> s = {Hex(0x3a1a0c), Hex(0x7a3a1c), Hex(0xb8643a), Hex(0xe39a6e), Hex(0xf8cdb0),
                                        Hex(0xfff0e6)};
    return s;
}

TRgb WoodAt(const TNoise& noise, float u, float v, const TWoodStyle& style) {
    // Rings across the grain, bent by low-frequency noise; fine pores along it.
    const float warp = noise.Fbm(u / 260.f, v / 40.f, 3) * 2.2f;
    const float ring = v * style.RingScale + warp;
    const float frac = ring - std::floor(ring);
    const float band = Smoothstep(0.0f, 0.55f, frac) * (1.f - Smoothstep(0.7f, 1.0f, frac));
    const float pores = noise.Fbm(u / 30.f + 100.f, v * 1.1f, 2);
    const float figure = noise.Fbm(u / 120.f + 50.f, v / 12.f, 2);
    float t = 0.35f + 0.38f * band + 0.14f * pores + 0.16f * figure;
    return Mix(style.Dark, style.Light, Clamp01(t));
}

TPaper::TPaper(uint32_t seed, int w, int h, bool tile, float fibreCell, float mottleCell)
    : Fibres(FbmPlane(seed, w, h, fibreCell, fibreCell, 3, 0.6f, tile)),
      Mottle(FbmPlane(seed + 1, w, h, mottleCell, mottleCell, 4, 0.55f, tile)) {}

} // namespace resgen
