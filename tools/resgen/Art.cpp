#include "Art.h"

#include <QPainter>
#include <algorithm>
#include <array>

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
// Sixteen unit gradients, evenly spread.
struct TGradients {
    float X[16], Y[16];
    TGradients() {
        for (int i = 0; i < 16; ++i) {
            const double a = (i + 0.5) * 2.0 * 3.14159265358979 / 16.0;
            X[i] = float(std::cos(a));
            Y[i] = float(std::sin(a));
        }
    }
};
const TGradients kGrad;
inline float Fade(float t) { return t * t * t * (t * (t * 6.f - 15.f) + 10.f); }
inline int Wrap(int i, int p) {
    if (p <= 0) return i;
    const int r = i % p;
    return r < 0 ? r + p : r;
}
} // namespace

float TNoise::At(float x, float y, int periodX, int periodY, uint32_t octave) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float dx = x - fx, dy = y - fy;
    const int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    const int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const uint32_t s = FSeed * 0x27d4eb2du + octave * 0x9E3779B9u;
    const uint32_t h00 = LatticeHash(x0, y0, s) & 15, h10 = LatticeHash(x1, y0, s) & 15;
    const uint32_t h01 = LatticeHash(x0, y1, s) & 15, h11 = LatticeHash(x1, y1, s) & 15;
    const float n00 = kGrad.X[h00] * dx + kGrad.Y[h00] * dy;
    const float n10 = kGrad.X[h10] * (dx - 1) + kGrad.Y[h10] * dy;
    const float n01 = kGrad.X[h01] * dx + kGrad.Y[h01] * (dy - 1);
    const float n11 = kGrad.X[h11] * (dx - 1) + kGrad.Y[h11] * (dy - 1);
    const float u = Fade(dx), v = Fade(dy);
    return Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v) * 1.42f;
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

TPlane FbmPlane(uint32_t seed, int w, int h, float cellX, float cellY, int octaves, float gain, bool tile,
                float offsetX, float offsetY) {
    const TNoise noise(seed);
    TPlane out(w, h);
    const int px = tile ? int(std::lround(w / cellX)) : 0, py = tile ? int(std::lround(h / cellY)) : 0;
    float amp = 1, norm = 0;
    int f = 1;
    std::vector<float> grid;
    std::vector<int> colIndex(static_cast<size_t>(w));
    std::vector<float> colFrac(static_cast<size_t>(w));
    for (int o = 0; o < octaves; ++o, amp *= gain, f *= 2) {
        norm += amp;
        const float cx = cellX / float(f), cy = cellY / float(f);
        // Gradient noise is smooth over a cell; sampling it every cell/6
        // pixels (per axis) and interpolating is indistinguishable from exact
        // values and far cheaper for coarse octaves.
        const int sx = std::clamp(int(cx / 6.f), 1, 64), sy = std::clamp(int(cy / 6.f), 1, 64);
        const float off = float(o) * 7.31f;
        auto value = [&](float x, float y) {
            return noise.At((x + offsetX) / cellX * float(f) + off, (y + offsetY) / cellY * float(f) + off * 0.7f,
                            px * f, py * f, uint32_t(o));
        };
        if (sx == 1 && sy == 1) {
            for (int y = 0; y < h; ++y) {
                float* dst = &out.V[size_t(y) * w];
                for (int x = 0; x < w; ++x) dst[x] += amp * value(float(x), float(y));
            }
            continue;
        }
        const int gw = w / sx + 2, gh = h / sy + 2;
        grid.resize(size_t(gw) * gh);
        for (int j = 0; j < gh; ++j)
            for (int i = 0; i < gw; ++i) grid[size_t(j) * gw + i] = value(float(i * sx), float(j * sy));
        for (int x = 0; x < w; ++x) {
            colIndex[size_t(x)] = x / sx;
            colFrac[size_t(x)] = float(x % sx) / float(sx);
        }
        for (int y = 0; y < h; ++y) {
            const int j = y / sy;
            const float fy = float(y % sy) / float(sy);
            const float* g0 = &grid[size_t(j) * gw];
            const float* g1 = g0 + gw;
            float* dst = &out.V[size_t(y) * w];
            for (int x = 0; x < w; ++x) {
                const int i = colIndex[size_t(x)];
                const float fx = colFrac[size_t(x)];
                const float top = g0[i] + (g0[i + 1] - g0[i]) * fx;
                const float bottom = g1[i] + (g1[i + 1] - g1[i]) * fx;
                dst[x] += amp * (top + (bottom - top) * fy);
            }
        }
    }
    const float scale = 1.6f / norm;
    for (float& v : out.V) v *= scale;
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
void Edt1D(const double* f, int n, double* d, int* v, double* z) {
    int k = 0;
    v[0] = 0;
    z[0] = -1e30;
    z[1] = 1e30;
    for (int q = 1; q < n; ++q) {
        // z[0] is below any intersection (values are bounded by 1e20), so k
        // never drops below 0.
        auto cross = [&](int p) { return ((f[q] + double(q) * q) - (f[p] + double(p) * p)) / (2.0 * (q - p)); };
        double s = cross(v[k]);
        while (s <= z[k]) {
            --k;
            s = cross(v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = 1e30;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q) ++k;
        const double dq = double(q - v[k]);
        d[q] = dq * dq + f[v[k]];
    }
}

// Squared Euclidean distance of every pixel to the nearest pixel where
// `feature` is true.
std::vector<double> Edt2D(const std::vector<uint8_t>& feature, int w, int h) {
    const double inf = 1e20;
    std::vector<double> g(size_t(w) * h);
    const int n = std::max(w, h);
    std::vector<double> f(n), d(n), z(n + 1);
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

TPlane SignedDistance(const TPlane& cov, bool edgeIsOutside) {
    if (edgeIsOutside) {
        // Pad with one ring of empty pixels, measure, and crop again.
        TPlane padded(cov.W + 2, cov.H + 2);
        for (int y = 0; y < cov.H; ++y)
            std::copy(cov.V.begin() + size_t(y) * cov.W, cov.V.begin() + size_t(y + 1) * cov.W,
                      padded.V.begin() + size_t(y + 1) * padded.W + 1);
        const TPlane d = SignedDistance(padded, false);
        TPlane out(cov.W, cov.H);
        for (int y = 0; y < cov.H; ++y)
            std::copy(d.V.begin() + size_t(y + 1) * d.W + 1, d.V.begin() + size_t(y + 1) * d.W + 1 + cov.W,
                      out.V.begin() + size_t(y) * cov.W);
        return out;
    }
    const int w = cov.W, h = cov.H;
    std::vector<uint8_t> inside(size_t(w) * h), outside(size_t(w) * h);
    for (size_t i = 0; i < inside.size(); ++i) {
        inside[i] = cov.V[i] >= 0.5f;
        outside[i] = !inside[i];
    }
    const std::vector<double> toOutside = Edt2D(outside, w, h);
    const std::vector<double> toInside = Edt2D(inside, w, h);
    TPlane out(w, h);
    for (size_t i = 0; i < inside.size(); ++i) {
        float d;
        if (inside[i]) {
            d = float(std::sqrt(toOutside[i])) - 0.5f;
            if (toOutside[i] <= 1.0) d = cov.V[i] - 0.5f; // sub-pixel edge from coverage
        } else {
            d = -(float(std::sqrt(toInside[i])) - 0.5f);
            if (toInside[i] <= 1.0) d = cov.V[i] - 0.5f;
        }
        out.V[i] = d;
    }
    return out;
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
    const TPlane dist = SignedDistance(cov);
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
