#include "Art.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <memory>

namespace resgen {

// ---- Colours ----

TRgb Hsv(float h, float s, float v) {
    h = h - std::floor(h);
    const float hh = h * 6.f;
    const int i = int(hh) % 6;
    const float f = hh - std::floor(hh);
    const float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

QColor ToQColor(const TRgb& c, float alpha) {
    return QColor::fromRgbF(Clamp01(c.R), Clamp01(c.G), Clamp01(c.B), Clamp01(alpha));
}

TRgb FromQColor(const QColor& c) { return {float(c.redF()), float(c.greenF()), float(c.blueF())}; }

TRgb Ramp(const TRgb* stops, size_t n, float t) {
    if (n == 0) return {};
    if (n == 1) return stops[0];
    t = Clamp01(t) * float(n - 1);
    const int i = std::min(int(t), int(n) - 2);
    return Mix(stops[i], stops[i + 1], t - float(i));
}

// ---- Noise ----

namespace {
inline uint32_t Mix32(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}
inline uint32_t LatticeHash(int x, int y, uint32_t seed) {
    return Mix32((uint32_t(x) * 0x8da6b343u) ^ Mix32((uint32_t(y) * 0xd8163841u) ^ seed));
}
inline float Fade(float t) { return t * t * t * (t * (t * 6.f - 15.f) + 10.f); }
inline int Wrap(int i, int p) {
    if (p <= 0) return i;
    const int r = i % p;
    return r < 0 ? r + p : r;
}
} // namespace

namespace {
// Dot product with one of eight gradients at 22.5° + k·45° picked by the
// hash bits (no table, so no memory traffic in the inner loop).
inline float GradDot(uint32_t h, float x, float y) {
    const bool swap = (h & 4) != 0;
    const float a = swap ? 1.f : 0.41421356f, b = swap ? 0.41421356f : 1.f;
    return ((h & 1) ? a : -a) * x + ((h & 2) ? b : -b) * y;
}
} // namespace

float TNoise::At(float x, float y, int periodX, int periodY, uint32_t octave) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float dx = x - fx, dy = y - fy;
    const int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    const int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const uint32_t s = FSeed * 0x27d4eb2du + octave * 0x9E3779B9u;
    const float n00 = GradDot(LatticeHash(x0, y0, s), dx, dy);
    const float n10 = GradDot(LatticeHash(x1, y0, s), dx - 1, dy);
    const float n01 = GradDot(LatticeHash(x0, y1, s), dx, dy - 1);
    const float n11 = GradDot(LatticeHash(x1, y1, s), dx - 1, dy - 1);
    const float u = Fade(dx), v = Fade(dy);
    // Gradients have length 1.082; the factor brings the range to about -1..1.
    return Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v) * 1.31f;
}

float TNoise::Fbm(float x, float y, int octaves, float gain, int periodX, int periodY) const {
    float sum = 0, amp = 1, norm = 0;
    int f = 1;
    for (int o = 0; o < octaves; ++o) {
        // A fixed shift per octave keeps the octaves' lattice points apart
        // (a shift does not break the period).
        const float off = float(o) * 7.31f;
        sum += amp * At(x * float(f) + off, y * float(f) + off * 0.7f, periodX * f, periodY * f, uint32_t(o));
        norm += amp;
        amp *= gain;
        f *= 2;
    }
    return sum / norm * 1.6f;
}

float TNoise::Ridged(float x, float y, int octaves, float gain) const {
    float sum = 0, amp = 1, norm = 0, weight = 1;
    float f = 1;
    for (int o = 0; o < octaves; ++o) {
        float r = 1.f - std::fabs(At(x * f + o * 5.17f, y * f + o * 3.9f, 0, 0, uint32_t(o) + 40));
        r = r * r;
        sum += amp * r * weight;
        weight = Clamp01(r * 1.6f);
        norm += amp;
        amp *= gain;
        f *= 2.03f;
    }
    return sum / norm;
}

// ---- Planes and pictures ----

namespace {
// Largest power of two not above v (at least 1, at most 64).
int Pow2Step(float v) {
    int s = 1;
    while (s < 64 && float(s * 2) <= v) s *= 2;
    return s;
}

// Samples of a field every (sx, sy) pixels covering w x h (one sample past
// the far edges so interpolation never reads outside).
struct TGrid {
    int SX = 1, SY = 1, GW = 0, GH = 0;
    std::vector<float> V;
    TGrid(int w, int h, int sx, int sy) : SX(sx), SY(sy), GW(w / sx + 2), GH(h / sy + 2), V(size_t(GW) * GH, 0.f) {}
};

// Bilinear resampling of a coarse grid onto a finer one whose steps divide
// the coarse steps.
void Refine(const TGrid& c, TGrid& f) {
    const int rx = c.SX / f.SX, ry = c.SY / f.SY;
    std::vector<int> ci(size_t(f.GW));
    std::vector<float> cf(size_t(f.GW));
    for (int i = 0; i < f.GW; ++i) {
        ci[size_t(i)] = std::min(i / rx, c.GW - 2);
        cf[size_t(i)] = float(i - ci[size_t(i)] * rx) / float(rx);
    }
    for (int j = 0; j < f.GH; ++j) {
        const int cj = std::min(j / ry, c.GH - 2);
        const float fy = float(j - cj * ry) / float(ry);
        const float* g0 = &c.V[size_t(cj) * c.GW];
        const float* g1 = g0 + c.GW;
        float* dst = &f.V[size_t(j) * f.GW];
        for (int i = 0; i < f.GW; ++i) {
            const int k = ci[size_t(i)];
            const float fx = cf[size_t(i)];
            const float top = g0[k] + (g0[k + 1] - g0[k]) * fx, bottom = g1[k] + (g1[k + 1] - g1[k]) * fx;
            dst[i] += top + (bottom - top) * fy;
        }
    }
}
} // namespace

TPlane FbmPlane(uint32_t seed, int w, int h, float cellX, float cellY, int octaves, float gain, bool tile,
                float offsetX, float offsetY, bool ridged) {
    // Gradient noise is smooth over a cell: each octave is sampled every
    // quarter cell or so (a power of two, per axis) and the octaves are summed
    // coarse to fine, each sum refined onto the next finer grid. The full
    // resolution is touched only by the fine octaves and one final refinement.
    const TNoise noise(seed);
    const int px = tile ? int(std::lround(w / cellX)) : 0, py = tile ? int(std::lround(h / cellY)) : 0;
    std::unique_ptr<TGrid> acc;
    float amp = 1, norm = 0;
    int f = 1;
    for (int o = 0; o < octaves; ++o, amp *= gain, f *= 2) {
        norm += amp;
        int sx = Pow2Step(cellX / float(f) / 4.f), sy = Pow2Step(cellY / float(f) / 4.f);
        if (acc) sx = std::min(sx, acc->SX), sy = std::min(sy, acc->SY);
        if (!acc || acc->SX != sx || acc->SY != sy) {
            auto next = std::make_unique<TGrid>(w, h, sx, sy);
            if (acc) Refine(*acc, *next);
            acc = std::move(next);
        }
        const float off = float(o) * 7.31f;
        const float kx = float(f) / cellX, ky = float(f) / cellY;
        for (int j = 0; j < acc->GH; ++j) {
            float* dst = &acc->V[size_t(j) * acc->GW];
            const float ny = (float(j * sy) + offsetY) * ky + off * 0.7f;
            for (int i = 0; i < acc->GW; ++i) {
                const float v = noise.At((float(i * sx) + offsetX) * kx + off, ny, px * f, py * f, uint32_t(o));
                dst[i] += amp * (ridged ? 1.f - std::fabs(v) : v);
            }
        }
    }
    TPlane out(w, h);
    if (!acc) return out;
    TGrid full(w, h, 1, 1);
    if (acc->SX == 1 && acc->SY == 1)
        full.V.swap(acc->V);
    else
        Refine(*acc, full);
    const float scale = (ridged ? 1.f : 1.6f) / norm;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.V[size_t(y) * w + x] = full.V[size_t(y) * full.GW + x] * scale;
    return out;
}

float TPlane::Sample(float x, float y) const {
    x = std::clamp(x, 0.f, float(W - 1));
    y = std::clamp(y, 0.f, float(H - 1));
    const int x0 = std::min(int(x), W - 2 < 0 ? 0 : W - 2), y0 = std::min(int(y), H - 2 < 0 ? 0 : H - 2);
    const int x1 = std::min(x0 + 1, W - 1), y1 = std::min(y0 + 1, H - 1);
    const float fx = x - float(x0), fy = y - float(y0);
    return Lerp(Lerp(At(x0, y0), At(x1, y0), fx), Lerp(At(x0, y1), At(x1, y1), fx), fy);
}

TRgb TFloatImage::Sample(float x, float y) const {
    x = std::clamp(x, 0.f, float(W - 1));
    y = std::clamp(y, 0.f, float(H - 1));
    const int x0 = std::min(int(x), std::max(W - 2, 0)), y0 = std::min(int(y), std::max(H - 2, 0));
    const int x1 = std::min(x0 + 1, W - 1), y1 = std::min(y0 + 1, H - 1);
    const float fx = x - float(x0), fy = y - float(y0);
    return Mix(Mix(At(x0, y0), At(x1, y0), fx), Mix(At(x0, y1), At(x1, y1), fx), fy);
}

QImage ToQImage(const TFloatImage& img, uint32_t ditherSeed) {
    QImage out(img.W, img.H, QImage::Format_RGB32);
    for (int y = 0; y < img.H; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
        const TRgb* src = &img.P[size_t(y) * img.W];
        for (int x = 0; x < img.W; ++x) {
            const uint32_t h = Mix32(uint32_t(y * img.W + x) * 0x9E3779B1u ^ ditherSeed);
            // Triangular dither of +-1/255 (sum of two uniform bytes).
            const float d = (float(h & 255) + float((h >> 8) & 255)) / 255.f - 1.f;
            auto q = [d](float v) {
                const float s = v * 255.f + d * 0.5f + 0.5f;
                return uint32_t(s < 0.f ? 0.f : (s > 255.f ? 255.f : s));
            };
            line[x] = 0xFF000000u | (q(src[x].R) << 16) | (q(src[x].G) << 8) | q(src[x].B);
        }
    }
    return out;
}

TFloatImage FromQImage(const QImage& source) {
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    TFloatImage out(img.width(), img.height());
    for (int y = 0; y < out.H; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        for (int x = 0; x < out.W; ++x)
            out.At(x, y) = {float((line[x] >> 16) & 255) / 255.f, float((line[x] >> 8) & 255) / 255.f,
                            float(line[x] & 255) / 255.f};
    }
    return out;
}

QImage PlaneToGrey(const TPlane& p) {
    QImage out(p.W, p.H, QImage::Format_Grayscale8);
    for (int y = 0; y < p.H; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < p.W; ++x) line[x] = uchar(Clamp01(p.At(x, y)) * 255.f + 0.5f);
    }
    return out;
}

// ---- Blur ----

namespace {
// Box widths whose three passes approximate a Gaussian of deviation sigma.
std::array<int, 3> BoxRadii(float sigma) {
    std::array<int, 3> r{0, 0, 0};
    if (sigma <= 0.2f) return r;
    const float ideal = std::sqrt(12.f * sigma * sigma / 3.f + 1.f);
    int wl = int(std::floor(ideal));
    if (wl % 2 == 0) --wl;
    const int wu = wl + 2;
    const float mIdeal = (12.f * sigma * sigma - 3.f * wl * wl - 12.f * wl - 9.f) / (-4.f * wl - 4.f);
    const int m = int(std::lround(mIdeal));
    for (int i = 0; i < 3; ++i) r[i] = ((i < m ? wl : wu) - 1) / 2;
    return r;
}

inline int EdgeIndex(int i, int n, bool wrap) {
    if (wrap) {
        i %= n;
        return i < 0 ? i + n : i;
    }
    return i < 0 ? 0 : (i >= n ? n - 1 : i);
}

// Running-sum box blur of C interleaved channels along rows.
void BoxRows(float* data, int w, int h, int c, int r, bool wrap, std::vector<float>& tmp) {
    if (r <= 0 || w <= 1) return;
    const float inv = 1.f / float(2 * r + 1);
    tmp.resize(size_t(w) * c);
    for (int y = 0; y < h; ++y) {
        float* row = data + size_t(y) * w * c;
        std::copy(row, row + size_t(w) * c, tmp.begin());
        for (int k = 0; k < c; ++k) {
            double sum = 0;
            for (int i = -r; i <= r; ++i) sum += tmp[size_t(EdgeIndex(i, w, wrap)) * c + k];
            for (int x = 0; x < w; ++x) {
                row[size_t(x) * c + k] = float(sum) * inv;
                sum += tmp[size_t(EdgeIndex(x + r + 1, w, wrap)) * c + k] -
                       tmp[size_t(EdgeIndex(x - r, w, wrap)) * c + k];
            }
        }
    }
}

// The same along columns, all columns at once so memory is read row by row.
void BoxCols(float* data, int w, int h, int c, int r, bool wrap, std::vector<float>& tmp) {
    if (r <= 0 || h <= 1) return;
    const float inv = 1.f / float(2 * r + 1);
    const size_t rowLen = size_t(w) * c;
    tmp.assign(data, data + rowLen * h);
    std::vector<double> sum(rowLen, 0.0);
    for (int i = -r; i <= r; ++i) {
        const float* src = tmp.data() + size_t(EdgeIndex(i, h, wrap)) * rowLen;
        for (size_t k = 0; k < rowLen; ++k) sum[k] += src[k];
    }
    for (int y = 0; y < h; ++y) {
        float* dst = data + size_t(y) * rowLen;
        const float* add = tmp.data() + size_t(EdgeIndex(y + r + 1, h, wrap)) * rowLen;
        const float* sub = tmp.data() + size_t(EdgeIndex(y - r, h, wrap)) * rowLen;
        for (size_t k = 0; k < rowLen; ++k) {
            dst[k] = float(sum[k]) * inv;
            sum[k] += double(add[k]) - double(sub[k]);
        }
    }
}

void BlurChannels(float* data, int w, int h, int c, float sigma, bool wrap) {
    std::vector<float> tmp;
    for (int r : BoxRadii(sigma)) {
        BoxRows(data, w, h, c, r, wrap, tmp);
        BoxCols(data, w, h, c, r, wrap, tmp);
    }
}
} // namespace

void Blur(TPlane& p, float sigma, bool wrap) { BlurChannels(p.V.data(), p.W, p.H, 1, sigma, wrap); }

void Blur(TFloatImage& img, float sigma, bool wrap) {
    static_assert(sizeof(TRgb) == 3 * sizeof(float));
    BlurChannels(reinterpret_cast<float*>(img.P.data()), img.W, img.H, 3, sigma, wrap);
}

void BlurArgb(QImage& img, float sigma) {
    if (img.format() != QImage::Format_ARGB32_Premultiplied)
        img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width(), h = img.height();
    std::vector<float> buf(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        float* dst = &buf[size_t(y) * w * 4];
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 4; ++k) dst[x * 4 + k] = float((line[x] >> (8 * k)) & 255);
    }
    BlurChannels(buf.data(), w, h, 4, sigma, false);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
        const float* src = &buf[size_t(y) * w * 4];
        for (int x = 0; x < w; ++x) {
            uint32_t v[4];
            for (int k = 0; k < 4; ++k) v[k] = uint32_t(std::clamp(src[x * 4 + k] + 0.5f, 0.f, 255.f));
            // Premultiplied colour never exceeds alpha.
            for (int k = 0; k < 3; ++k) v[k] = std::min(v[k], v[3]);
            line[x] = v[0] | (v[1] << 8) | (v[2] << 16) | (v[3] << 24);
        }
    }
}

// ---- Shapes ----

TPlane Coverage(const QPainterPath& path, int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(path, Qt::white);
    }
    return AlphaPlane(img);
}

TPlane AlphaPlane(const QImage& source) {
    const QImage img = source.format() == QImage::Format_ARGB32_Premultiplied || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    TPlane out(img.width(), img.height());
    for (int y = 0; y < out.H; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        for (int x = 0; x < out.W; ++x) out.At(x, y) = float(line[x] >> 24) / 255.f;
    }
    return out;
}

namespace {
// Squared distance transform of a sampled function, one line (Felzenszwalb &
// Huttenlocher, lower envelope of parabolas).
void Edt1D(const float* f, int n, float* d, int* v, float* z) {
    int k = 0;
    v[0] = 0;
    z[0] = -1e30f;
    z[1] = 1e30f;
    for (int q = 1; q < n; ++q) {
        // z[0] is below any intersection (values are bounded by 1e10f), so k
        // never drops below 0.
        auto cross = [&](int p) { return ((f[q] + float(q) * float(q)) - (f[p] + float(p) * float(p))) / (2.f * float(q - p)); };
        float s = cross(v[k]);
        while (s <= z[k]) {
            --k;
            s = cross(v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = 1e30f;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q) ++k;
        const float dq = float(q - v[k]);
        d[q] = dq * dq + f[v[k]];
    }
}

// Squared Euclidean distance of every pixel to the nearest pixel where
// `feature` is true.
std::vector<float> Edt2D(const std::vector<uint8_t>& feature, int w, int h) {
    const float inf = 1e10f;
    std::vector<float> g(size_t(w) * h);
    const int n = std::max(w, h);
    std::vector<float> f(n), d(n), z(n + 1);
    std::vector<int> v(n);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) f[y] = feature[size_t(y) * w + x] ? 0.0 : inf;
        Edt1D(f.data(), h, d.data(), v.data(), z.data());
        for (int y = 0; y < h; ++y) g[size_t(y) * w + x] = d[y];
    }
    for (int y = 0; y < h; ++y) {
        std::copy(g.begin() + size_t(y) * w, g.begin() + size_t(y + 1) * w, f.begin());
        Edt1D(f.data(), w, d.data(), v.data(), z.data());
        std::copy(d.begin(), d.begin() + w, g.begin() + size_t(y) * w);
    }
    return g;
}
} // namespace

TPlane InsideDistance(const TPlane& cov, bool edgeIsOutside) {
    if (edgeIsOutside) {
        // Pad with one ring of empty pixels, measure, and crop again.
        TPlane padded(cov.W + 2, cov.H + 2);
        for (int y = 0; y < cov.H; ++y)
            std::copy(cov.V.begin() + size_t(y) * cov.W, cov.V.begin() + size_t(y + 1) * cov.W,
                      padded.V.begin() + size_t(y + 1) * padded.W + 1);
        const TPlane d = InsideDistance(padded, false);
        TPlane out(cov.W, cov.H);
        for (int y = 0; y < cov.H; ++y)
            std::copy(d.V.begin() + size_t(y + 1) * d.W + 1, d.V.begin() + size_t(y + 1) * d.W + 1 + cov.W,
                      out.V.begin() + size_t(y) * cov.W);
        return out;
    }
    const int w = cov.W, h = cov.H;
    std::vector<uint8_t> outside(size_t(w) * h);
    for (size_t i = 0; i < outside.size(); ++i) outside[i] = cov.V[i] < 0.5f;
    const std::vector<float> toOutside = Edt2D(outside, w, h);
    TPlane out(w, h);
    for (size_t i = 0; i < outside.size(); ++i) {
        // Pixels at the edge take their sub-pixel position from the coverage.
        out.V[i] = (outside[i] || toOutside[i] <= 1.f) ? cov.V[i] - 0.5f : std::sqrt(toOutside[i]) - 0.5f;
    }
    return out;
}

TPlane InsideDistanceCoarse(const TPlane& cov, bool edgeIsOutside) {
    // Half resolution: average 2 x 2 blocks, measure, scale back up.
    const int hw = (cov.W + 1) / 2, hh = (cov.H + 1) / 2;
    TPlane small(hw, hh);
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < hw; ++x)
            small.At(x, y) = 0.25f * (cov.AtC(2 * x, 2 * y) + cov.AtC(2 * x + 1, 2 * y) + cov.AtC(2 * x, 2 * y + 1) +
                                      cov.AtC(2 * x + 1, 2 * y + 1));
    const TPlane d = InsideDistance(small, edgeIsOutside);
    TPlane out(cov.W, cov.H);
    for (int y = 0; y < cov.H; ++y)
        for (int x = 0; x < cov.W; ++x) {
            const float v = 2.f * d.Sample((x - 0.5f) * 0.5f, (y - 0.5f) * 0.5f);
            // Keep the exact sub-pixel edge from the full-resolution coverage.
            const float c = cov.At(x, y);
            out.At(x, y) = (c < 1.f && v < 1.5f) ? std::min(v, c - 0.5f) : v;
        }
    return out;
}

TPlane OutsideDistanceCoarse(const TPlane& cov) {
    TPlane inv(cov.W, cov.H);
    for (size_t i = 0; i < cov.V.size(); ++i) inv.V[i] = 1.f - cov.V[i];
    return InsideDistanceCoarse(inv, false);
}

TPlane OutsideDistance(const TPlane& cov) {
    TPlane inv(cov.W, cov.H);
    for (size_t i = 0; i < cov.V.size(); ++i) inv.V[i] = 1.f - cov.V[i];
    return InsideDistance(inv, false);
}

QImage NewArt(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    return img;
}

void PaintAlphaAt(QImage& target, int ox, int oy, const TPlane& alpha,
                  const std::function<TRgb(int x, int y)>& colour) {
    for (int ly = 0; ly < alpha.H; ++ly) {
        const int y = ly + oy;
        if (y < 0 || y >= target.height()) continue;
        auto* line = reinterpret_cast<uint32_t*>(target.scanLine(y));
        for (int lx = 0; lx < alpha.W; ++lx) {
            const int x = lx + ox;
            if (x < 0 || x >= target.width()) continue;
            const float a = Clamp01(alpha.At(lx, ly));
            if (a <= 0.f) continue;
            const TRgb c = colour(x, y);
            const uint32_t d = line[x];
            const float ia = 1.f - a;
            auto ch = [&](float s, int shift) {
                const float v = Clamp01(s) * a * 255.f + float((d >> shift) & 255) * ia;
                return uint32_t(std::min(v + 0.5f, 255.f)) << shift;
            };
            line[x] = ch(1.f, 24) | ch(c.R, 16) | ch(c.G, 8) | ch(c.B, 0);
        }
    }
}

void PaintAlpha(QImage& target, const TPlane& alpha, const std::function<TRgb(int x, int y)>& colour) {
    PaintAlphaAt(target, 0, 0, alpha, colour);
}

TShade ShadeAt(const TPlane& hgt, int x, int y, float strength, float shininess, const TLight& light) {
    const float gx = (hgt.AtC(x + 1, y) - hgt.AtC(x - 1, y)) * 0.5f * strength;
    const float gy = (hgt.AtC(x, y + 1) - hgt.AtC(x, y - 1)) * 0.5f * strength;
    TShade s;
    const float inv = 1.f / std::sqrt(gx * gx + gy * gy + 1.f);
    s.NX = -gx * inv;
    s.NY = -gy * inv;
    s.NZ = inv;
    const float ll = std::sqrt(light.X * light.X + light.Y * light.Y + light.Z * light.Z);
    const float lx = light.X / ll, ly = light.Y / ll, lz = light.Z / ll;
    s.Diffuse = std::max(0.f, s.NX * lx + s.NY * ly + s.NZ * lz);
    // Half vector between the light and a viewer straight in front.
    float hx = lx, hy = ly, hz = lz + 1.f;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= hl, hy /= hl, hz /= hl;
    const float nh = std::max(0.f, s.NX * hx + s.NY * hy + s.NZ * hz);
    s.Specular = std::pow(nh, shininess);
    return s;
}

namespace {
float LightZ() {
    const TLight l;
    return l.Z / std::sqrt(l.X * l.X + l.Y * l.Y + l.Z * l.Z);
}
} // namespace

TRgb Lit(const TRgb& base, const TShade& s, float ambient, float gloss) {
    static const float lz = LightZ();
    const TRgb c = base * (ambient + (1.f - ambient) * s.Diffuse / lz);
    const float sp = s.Specular * gloss;
    return Screen(c, TRgb{sp, sp, sp});
}

TRgb MetalLit(const std::vector<TRgb>& stops, const TShade& s, float variation) {
    static const float lz = LightZ();
    const float d = std::pow(s.Diffuse / lz, 1.5f);
    const float k = 0.10f + 0.44f * d + 0.5f * s.Specular - 0.12f * s.NY + variation;
    return Ramp(stops, k);
}

void PaintPuffyFn(QImage& target, const QPainterPath& path, const std::function<TRgb(int x, int y)>& colour,
                  const TPuffy& style) {
    // Work on the path's bounding box only: cliparts and decorations paint
    // many small parts onto large pictures.
    const QRect box = path.boundingRect().toAlignedRect().adjusted(-3, -3, 3, 3).intersected(target.rect());
    if (box.isEmpty()) return;
    const int w = box.width(), h = box.height(), ox = box.left(), oy = box.top();
    const TPlane cov = Coverage(path.translated(-ox, -oy), w, h);
    const TPlane dist = InsideDistance(cov);
    TPlane height(w, h);
    for (size_t i = 0; i < height.V.size(); ++i) {
        const float t = Clamp01(dist.V[i] / style.Depth);
        height.V[i] = std::sqrt(t * (2.f - t)) * style.Depth;
    }
    Blur(height, 1.2f);
    const TLight light;
    const float lz = light.Z / std::sqrt(light.X * light.X + light.Y * light.Y + light.Z * light.Z);
    PaintAlphaAt(target, ox, oy, cov, [&](int x, int y) {
        const TShade s = ShadeAt(height, x - ox, y - oy, 1.f, style.Shininess, light);
        if (style.Metal) return MetalLit(*style.Metal, s);
        const TRgb base = colour(x, y);
        TRgb c = base * (style.Ambient + (1.f - style.Ambient) * s.Diffuse / lz);
        if (style.Outline) {
            const float rim = 1.f - Smoothstep(0.f, 2.2f, dist.At(x - ox, y - oy));
            c = Mix(c, base * 0.5f, rim * 0.55f);
        }
        const float sp = s.Specular * style.Gloss;
        return Screen(c, TRgb{sp, sp, sp});
    });
}

void PaintPuffy(QImage& target, const QPainterPath& path, const TRgb& colour, const TPuffy& style) {
    PaintPuffyFn(target, path, [&colour](int, int) { return colour; }, style);
}

QImage WithShadow(const QImage& art, float dx, float dy, float sigma, float opacity, const TRgb& colour) {
    TPlane a = AlphaPlane(art);
    Blur(a, sigma);
    TPlane shifted(a.W, a.H);
    for (int y = 0; y < a.H; ++y)
        for (int x = 0; x < a.W; ++x) {
            const float sx = float(x) - dx, sy = float(y) - dy;
            shifted.At(x, y) =
                (sx < 0 || sy < 0 || sx > a.W - 1 || sy > a.H - 1) ? 0.f : a.Sample(sx, sy) * opacity;
        }
    QImage out = NewArt(art.width(), art.height());
    PaintAlpha(out, shifted, [&colour](int, int) { return colour; });
    QPainter p(&out);
    p.drawImage(0, 0, art);
    return out;
}

} // namespace resgen
