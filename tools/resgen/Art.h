#pragma once
// Drawing toolkit of the resource generator: a seeded random source, tileable
// gradient noise, float pictures and planes, fast blur, distance fields and
// the shaded-surface painters shared by masks, frames, cliparts and photos.
//
// Everything here is deterministic: the same seed gives the same pixels on
// every run, so the library is reproducible byte for byte.

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace resgen {

// ---- Random numbers ----

// splitmix64: tiny, fast and fully specified (std engines and std::rand are
// not guaranteed to give the same sequence everywhere).
class TRandom {
public:
    explicit TRandom(uint64_t seed) : FState(seed) {}
    uint64_t NextU64() {
        uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Next() { return double(NextU64() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double a, double b) { return a + (b - a) * Next(); }
    int Int(int n) { return n <= 0 ? 0 : int(NextU64() % uint64_t(n)); }
    // Roughly normal (sum of four uniforms), mean 0, deviation 1.
    double Gauss() { return (Next() + Next() + Next() + Next() - 2.0) * 1.7320508; }

private:
    uint64_t FState;
};

// ---- Small maths ----

inline float Clamp01(float v) { return v < 0.f ? 0.f : (v > 1.f ? 1.f : v); }
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float Smoothstep(float e0, float e1, float x) {
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.f - 2.f * t);
}
constexpr float kPi = 3.14159265358979f;

struct TRgb {
    float R = 0, G = 0, B = 0;
    TRgb operator+(const TRgb& o) const { return {R + o.R, G + o.G, B + o.B}; }
    TRgb operator-(const TRgb& o) const { return {R - o.R, G - o.G, B - o.B}; }
    TRgb operator*(float s) const { return {R * s, G * s, B * s}; }
    TRgb operator*(const TRgb& o) const { return {R * o.R, G * o.G, B * o.B}; }
    TRgb& operator+=(const TRgb& o) {
        R += o.R, G += o.G, B += o.B;
        return *this;
    }
    float Luma() const { return 0.299f * R + 0.587f * G + 0.114f * B; }
};

// 0xRRGGBB to linear-free display values in 0..1 (we work in display space).
inline TRgb Hex(uint32_t rgb) {
    return {float((rgb >> 16) & 255) / 255.f, float((rgb >> 8) & 255) / 255.f, float(rgb & 255) / 255.f};
}
inline TRgb Mix(const TRgb& a, const TRgb& b, float t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}
// Screen blend: light added without clipping harshly.
inline TRgb Screen(const TRgb& a, const TRgb& b) {
    return {1 - (1 - a.R) * (1 - b.R), 1 - (1 - a.G) * (1 - b.G), 1 - (1 - a.B) * (1 - b.B)};
}
TRgb Hsv(float h, float s, float v); // h in turns (0..1)
QColor ToQColor(const TRgb& c, float alpha = 1.f);
TRgb FromQColor(const QColor& c);
// Colour ramp through evenly spaced stops, t in 0..1.
TRgb Ramp(const TRgb* stops, size_t n, float t);
inline TRgb Ramp(const std::vector<TRgb>& stops, float t) { return Ramp(stops.data(), stops.size(), t); }
inline TRgb Ramp(std::initializer_list<TRgb> stops, float t) { return Ramp(stops.begin(), stops.size(), t); }

// ---- Noise ----

// Gradient (Perlin-style) noise over an integer lattice with an optional
// period per axis (in lattice cells; 0 = no wrap), so pictures can tile.
class TNoise {
public:
    explicit TNoise(uint32_t seed) : FSeed(seed) {}
    // One octave, about -1..1.
    float At(float x, float y, int periodX = 0, int periodY = 0, uint32_t octave = 0) const;
    // Fractal sum of octaves at doubling frequency (periods double too, so a
    // periodic fBm stays periodic), normalised to about -1..1.
    float Fbm(float x, float y, int octaves, float gain = 0.5f, int periodX = 0, int periodY = 0) const;
    // Ridged fBm (sharp crests), 0..1.
    float Ridged(float x, float y, int octaves, float gain = 0.5f) const;

private:
    uint32_t FSeed;
};

// ---- Float pictures ----

struct TPlane;
// fBm of TNoise(seed) over a w x h pixel grid with the given cell size
// (pixels per lattice cell of the first octave). Each octave is evaluated on
// a grid just fine enough for its frequency and interpolated, which makes
// smooth noise cheap. tile = the plane repeats after w x h pixels (w / cellX
// and h / cellY must be whole numbers). Offsets shift the noise domain.
// ridged: each octave contributes 1 - |noise| (sharp creases, 0..1 overall).
TPlane FbmPlane(uint32_t seed, int w, int h, float cellX, float cellY, int octaves, float gain = 0.5f,
                bool tile = false, float offsetX = 0, float offsetY = 0, bool ridged = false);


// One float channel (heights, coverage, masks).
struct TPlane {
    int W = 0, H = 0;
    std::vector<float> V;
    TPlane() = default;
    TPlane(int w, int h, float fill = 0.f) : W(w), H(h), V(size_t(w) * size_t(h), fill) {}
    float& At(int x, int y) { return V[size_t(y) * W + x]; }
    float At(int x, int y) const { return V[size_t(y) * W + x]; }
    // Clamped-edge read.
    float AtC(int x, int y) const {
        x = x < 0 ? 0 : (x >= W ? W - 1 : x);
        y = y < 0 ? 0 : (y >= H ? H - 1 : y);
        return V[size_t(y) * W + x];
    }
    float Sample(float x, float y) const; // bilinear, clamped
};

// An RGB float picture in display space (0..1).
struct TFloatImage {
    int W = 0, H = 0;
    std::vector<TRgb> P;
    TFloatImage() = default;
    TFloatImage(int w, int h, TRgb fill = {}) : W(w), H(h), P(size_t(w) * size_t(h), fill) {}
    TRgb& At(int x, int y) { return P[size_t(y) * W + x]; }
    const TRgb& At(int x, int y) const { return P[size_t(y) * W + x]; }
    TRgb Sample(float x, float y) const; // bilinear, clamped
    // Blends colour c with weight a (0..1) into pixel (x, y).
    void Blend(int x, int y, const TRgb& c, float a) {
        TRgb& d = At(x, y);
        d = Mix(d, c, a);
    }
};

// Evaluates f(x, y) every `step` pixels and interpolates bilinearly between:
// for smooth fields whose exact per-pixel value is not needed.
template <typename F> TPlane SmoothPlane(int w, int h, int step, F f) {
    TPlane out(w, h);
    const int gw = w / step + 2, gh = h / step + 2;
    std::vector<float> g(size_t(gw) * gh);
    for (int j = 0; j < gh; ++j)
        for (int i = 0; i < gw; ++i) g[size_t(j) * gw + i] = f(float(i * step), float(j * step));
    const float inv = 1.f / float(step);
    for (int y = 0; y < h; ++y) {
        const int j = y / step;
        const float fy = float(y - j * step) * inv;
        const float* g0 = &g[size_t(j) * gw];
        const float* g1 = g0 + gw;
        for (int x = 0; x < w; ++x) {
            const int i = x / step;
            const float fx = float(x - i * step) * inv;
            const float top = g0[i] + (g0[i + 1] - g0[i]) * fx, bottom = g1[i] + (g1[i + 1] - g1[i]) * fx;
            out.V[size_t(y) * w + x] = top + (bottom - top) * fy;
        }
    }
    return out;
}

// Opaque 8-bit picture; a light triangular dither (seeded) avoids banding in
// smooth gradients.
QImage ToQImage(const TFloatImage& img, uint32_t ditherSeed = 1);
TFloatImage FromQImage(const QImage& img);
// Grey picture (Format_Grayscale8) of a plane in 0..1.
QImage PlaneToGrey(const TPlane& p);

// Gaussian-like blur by three box passes; wrap = the picture tiles.
void Blur(TPlane& p, float sigma, bool wrap = false);
void Blur(TFloatImage& img, float sigma, bool wrap = false);
// Blur of a premultiplied ARGB picture (all four channels).
void BlurArgb(QImage& img, float sigma);

// ---- Shapes ----

// Anti-aliased coverage (0..1) of a path on a w x h grid.
TPlane Coverage(const QPainterPath& path, int w, int h);
// Distance in pixels from the coverage edge (0.5 level) inwards; pixels
// outside get cov - 0.5 (-0.5..0), which is all shading and feathering need.
// edgeIsOutside: beyond the picture counts as outside (a shape filling the
// picture still has an edge there).
TPlane InsideDistance(const TPlane& coverage, bool edgeIsOutside = false);
// Distance from the edge outwards (the inside distance of the complement).
TPlane OutsideDistance(const TPlane& coverage);
// The same measured at half resolution (four times cheaper, within about a
// pixel): for large shaded bands.
TPlane InsideDistanceCoarse(const TPlane& coverage, bool edgeIsOutside = false);
TPlane OutsideDistanceCoarse(const TPlane& coverage);
// Plane from the alpha channel of a picture.
TPlane AlphaPlane(const QImage& img);

// A transparent premultiplied ARGB picture.
QImage NewArt(int w, int h);
// Composites `colour` with per-pixel alpha `alpha` (0..1) over the
// premultiplied picture.
void PaintAlpha(QImage& target, const TPlane& alpha, const std::function<TRgb(int x, int y)>& colour);
// The same with the plane's top-left corner at (ox, oy) of the picture; the
// colour function gets picture coordinates.
void PaintAlphaAt(QImage& target, int ox, int oy, const TPlane& alpha,
                  const std::function<TRgb(int x, int y)>& colour);

// Light direction used everywhere: from the top left, slightly in front.
struct TLight {
    float X = -0.52f, Y = -0.62f, Z = 0.58f;
};

// Paints a path as a softly inflated, lit surface (sticker look): the edge
// rounds off over `depth` pixels; gloss adds a specular highlight.
struct TPuffy {
    float Depth = 14.f;
    float Gloss = 0.55f;
    float Shininess = 28.f;
    float Ambient = 0.62f;
    bool Outline = true; // thin darker rim
    const std::vector<TRgb>* Metal = nullptr; // metal ramp: shade as polished metal instead
};
void PaintPuffy(QImage& target, const QPainterPath& path, const TRgb& colour, const TPuffy& style = {});
// Same with a colour function (patterned parts).
void PaintPuffyFn(QImage& target, const QPainterPath& path, const std::function<TRgb(int x, int y)>& colour,
                  const TPuffy& style = {});

// Soft drop shadow under the picture's content.
QImage WithShadow(const QImage& art, float dx, float dy, float sigma, float opacity,
                  const TRgb& colour = {0.f, 0.f, 0.f});

// Lit normal from a height plane at (x, y) (central differences), scaled by
// `strength`. Returns n·L diffuse and a specular term.
struct TShade {
    float Diffuse = 0, Specular = 0, NX = 0, NY = 0, NZ = 1;
};
TShade ShadeAt(const TPlane& height, int x, int y, float strength, float shininess, const TLight& light = {});

// Lit colour of a matte-to-satin surface: flat parts keep the base colour,
// slopes towards the light brighten, slopes away darken to `ambient`.
TRgb Lit(const TRgb& base, const TShade& s, float ambient = 0.55f, float gloss = 0.25f);
// Polished metal: brightness from the light and a fake environment (sky
// above, floor below) mapped through the metal's colour ramp.
TRgb MetalLit(const std::vector<TRgb>& stops, const TShade& s, float variation = 0.f);

} // namespace resgen
