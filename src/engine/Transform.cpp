#include "engine/Transform.h"

#include <vector>

#include "engine/PixelOps.h"

void TAffineTransformation::Clear() {
    A = 1, B = 0, C = 0;
    D = 0, E = 1, F = 0;
}

void TAffineTransformation::Translate(double dx, double dy) {
    C += dx;
    F += dy;
}

void TAffineTransformation::Rotate(double degrees) {
    const double r = degrees * M_PI / 180.0;
    const double cs = std::cos(r), sn = std::sin(r);
    // new = R · old with R = [cs sn; -sn cs]
    const double a = cs * A + sn * D, b = cs * B + sn * E, c = cs * C + sn * F;
    const double d = -sn * A + cs * D, e = -sn * B + cs * E, f = -sn * C + cs * F;
    A = a, B = b, C = c, D = d, E = e, F = f;
}

void TAffineTransformation::Scale(double sx, double sy) {
    A *= sx, B *= sx, C *= sx;
    D *= sy, E *= sy, F *= sy;
}

void TAffineTransformation::Transform(double x, double y, double& ox, double& oy) const {
    ox = A * x + B * y + C;
    oy = D * x + E * y + F;
}

TFloatPoint TAffineTransformation::Transform(TFloatPoint p) const {
    double x, y;
    Transform(p.X, p.Y, x, y);
    return {float(x), float(y)};
}

bool TAffineTransformation::Inverse(TAffineTransformation& inv) const {
    const double det = A * E - B * D;
    if (det == 0 || !std::isfinite(det)) return false;
    inv.A = E / det;
    inv.B = -B / det;
    inv.D = -D / det;
    inv.E = A / det;
    inv.C = -(inv.A * C + inv.B * F);
    inv.F = -(inv.D * C + inv.E * F);
    return true;
}

bool TAffineTransformation::ReverseTransform(double x, double y, double& ox, double& oy) const {
    TAffineTransformation inv;
    ox = oy = 0;
    if (!Inverse(inv)) return false;
    inv.Transform(x, y, ox, oy);
    return true;
}

TFloatRect TAffineTransformation::TransformedBounds(const TFloatRect& r) const {
    double xs[4], ys[4];
    Transform(r.Left, r.Top, xs[0], ys[0]);
    Transform(r.Right, r.Top, xs[1], ys[1]);
    Transform(r.Right, r.Bottom, xs[2], ys[2]);
    Transform(r.Left, r.Bottom, xs[3], ys[3]);
    return {float(*std::min_element(xs, xs + 4)), float(*std::min_element(ys, ys + 4)),
            float(*std::max_element(xs, xs + 4)), float(*std::max_element(ys, ys + 4))};
}

namespace {

// The destination-to-source mapping in 16.16 fixed point, so that the fast
// incremental walk and the per-pixel reference compute identical positions:
//   U(x, y) = U0 + x·Ux + y·Uy, V(x, y) = V0 + x·Vx + y·Vy
// U, V are the sample positions of the destination pixel centre in source
// pixel units, shifted by half a pixel so that integer positions are source
// pixel centres.
struct TFixedMapping {
    int64_t U0, Ux, Uy, V0, Vx, Vy;
    bool Valid = false;
};

constexpr double kFixedLimit = 4.0e12; // keeps every product far from int64 overflow

TFixedMapping MakeMapping(const TAffineTransformation& t) {
    TFixedMapping m;
    TAffineTransformation inv;
    if (!t.Inverse(inv)) return m;
    const double u0 = (0.5 * inv.A + 0.5 * inv.B + inv.C - 0.5) * 65536.0;
    const double v0 = (0.5 * inv.D + 0.5 * inv.E + inv.F - 0.5) * 65536.0;
    const double vals[6] = {u0, inv.A * 65536.0, inv.B * 65536.0, v0, inv.D * 65536.0, inv.E * 65536.0};
    for (double v : vals)
        if (!std::isfinite(v) || std::fabs(v) > kFixedLimit) return m;
    m.U0 = Round64(u0), m.Ux = Round64(vals[1]), m.Uy = Round64(vals[2]);
    m.V0 = Round64(v0), m.Vx = Round64(vals[4]), m.Vy = Round64(vals[5]);
    m.Valid = true;
    return m;
}

inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b, r = a % b;
    return (r != 0 && ((r < 0) != (b < 0))) ? q - 1 : q;
}
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Narrows [lo, hi] of x to where lo_v <= base + x·step <= hi_v.
void Constrain(int64_t base, int64_t step, int64_t loV, int64_t hiV, int64_t& lo, int64_t& hi) {
    if (step == 0) {
        if (base < loV || base > hiV) hi = lo - 1;
        return;
    }
    int64_t a, b;
    if (step > 0) {
        a = CeilDiv(loV - base, step);
        b = FloorDiv(hiV - base, step);
    } else {
        a = CeilDiv(hiV - base, step);
        b = FloorDiv(loV - base, step);
    }
    lo = std::max(lo, a);
    hi = std::min(hi, b);
}

// The fixed-point limits of positions drawn. Linear: the integer part of the
// position may be −1 .. size−1 (some of the four neighbours inside).
// Nearest: the pixel floor(position + 0.5) must lie inside.
struct TLimits {
    int64_t ULo, UHi, VLo, VHi;
};

TLimits LimitsFor(const TBitmap32& s) {
    if (s.Resampler == TResamplerKind::Linear)
        return {-65536, int64_t(s.Width()) * 65536 - 1, -65536, int64_t(s.Height()) * 65536 - 1};
    return {-32768, int64_t(s.Width()) * 65536 - 32769, -32768, int64_t(s.Height()) * 65536 - 32769};
}

// Packed lerp of two pixels, all four bytes at once in two 16-bit lanes per
// 32-bit word; equal to Lerp8 on every byte.
inline TColor32 LerpPacked(TColor32 c0, TColor32 c1, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = ((((c0 & 0x00FF00FFu) * g) + ((c1 & 0x00FF00FFu) * f) + 0x00800080u) >> 8) & 0x00FF00FFu;
    const uint32_t ag =
        ((((c0 >> 8) & 0x00FF00FFu) * g) + (((c1 >> 8) & 0x00FF00FFu) * f) + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

inline TColor32 SampleLinearSafe(const TBitmap32& s, int64_t u, int64_t v) {
    const int x0 = int(u >> 16), y0 = int(v >> 16);
    const uint32_t fx = uint32_t((u >> 8) & 0xFF), fy = uint32_t((v >> 8) & 0xFF);
    return BilinearPixel(s.PixelS(x0, y0), s.PixelS(x0 + 1, y0), s.PixelS(x0, y0 + 1), s.PixelS(x0 + 1, y0 + 1), fx,
                         fy);
}

inline TColor32 SampleNearest(const TBitmap32& s, int64_t u, int64_t v) {
    return s.Pixel(int((u + 32768) >> 16), int((v + 32768) >> 16));
}

} // namespace

void TransformDrawReference(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t) {
    if (dest.Empty() || source.Empty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    const TFixedMapping m = MakeMapping(t);
    if (!m.Valid) return;
    const TLimits lim = LimitsFor(source);
    const TRect clip = dest.ClipRect();
    for (int y = clip.Top; y < clip.Bottom; ++y)
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int64_t u = m.U0 + x * m.Ux + y * m.Uy;
            const int64_t v = m.V0 + x * m.Vx + y * m.Vy;
            if (u < lim.ULo || u > lim.UHi || v < lim.VLo || v > lim.VHi) continue;
            const TColor32 c = source.Resampler == TResamplerKind::Linear ? SampleLinearSafe(source, u, v)
                                                                          : SampleNearest(source, u, v);
            TColor32& d = *dest.PixelPtr(x, y);
            d = source.DrawMode == TDrawMode::Opaque ? c : BlendPixel(c, d, source.MasterAlpha);
        }
}

void TransformDraw(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t) {
    if (dest.Empty() || source.Empty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    if (&dest == &source) {
        TBitmap32 copy;
        copy.Assign(source);
        TransformDraw(dest, copy, t);
        return;
    }
    const TFixedMapping m = MakeMapping(t);
    if (!m.Valid) return;
    const TLimits lim = LimitsFor(source);
    const TRect clip = dest.ClipRect();
    const bool linear = source.Resampler == TResamplerKind::Linear;
    const int sw = source.Width(), sh = source.Height();
    const TColor32* bits = source.Bits();
    std::vector<TColor32> line(size_t(std::max(clip.Width(), 0)));

    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const int64_t ub = m.U0 + y * m.Uy, vb = m.V0 + y * m.Vy;
        int64_t lo = clip.Left, hi = clip.Right - 1;
        Constrain(ub, m.Ux, lim.ULo, lim.UHi, lo, hi);
        Constrain(vb, m.Vx, lim.VLo, lim.VHi, lo, hi);
        if (hi < lo) continue;
        const int x0 = int(lo), count = int(hi - lo + 1);
        int64_t u = ub + lo * m.Ux, v = vb + lo * m.Vx;
        TColor32* out = line.data();
        if (linear) {
            for (int k = 0; k < count; ++k, u += m.Ux, v += m.Vx) {
                const int ix = int(u >> 16), iy = int(v >> 16);
                if (unsigned(ix) < unsigned(sw - 1) && unsigned(iy) < unsigned(sh - 1)) {
                    const TColor32* p = bits + size_t(iy) * size_t(sw) + size_t(ix);
                    const uint32_t fx = uint32_t((u >> 8) & 0xFF), fy = uint32_t((v >> 8) & 0xFF);
                    out[k] = LerpPacked(LerpPacked(p[0], p[1], fx), LerpPacked(p[sw], p[sw + 1], fx), fy);
                } else {
                    out[k] = SampleLinearSafe(source, u, v);
                }
            }
        } else {
            for (int k = 0; k < count; ++k, u += m.Ux, v += m.Vx) out[k] = SampleNearest(source, u, v);
        }
        CombineLine(out, dest.PixelPtr(x0, y), count, source);
    }
}
