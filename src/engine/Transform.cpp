#include "engine/Transform.h"

#include "engine/ParallelRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/PixelKernels.h"

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
    int64_t U0 = 0, Ux = 0, Uy = 0, V0 = 0, Vx = 0, Vy = 0;
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
inline int64_t CeilDiv(int64_t a, int64_t b) {
    return -FloorDiv(-a, b);
}

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

inline TColor32 SampleLinearSafe(const TBitmap32& s, int64_t u, int64_t v) {
    const int x0 = int(u >> 16), y0 = int(v >> 16);
    const uint32_t fx = uint32_t((u >> 8) & 0xFF), fy = uint32_t((v >> 8) & 0xFF);
    return BilinearPixel(s.PixelS(x0, y0), s.PixelS(x0 + 1, y0), s.PixelS(x0, y0 + 1),
                         s.PixelS(x0 + 1, y0 + 1), fx, fy);
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

// ---- Fast drawing ----
//
// The driver finds, per destination row, the span of pixels whose sample
// position lies inside the source (exactly the pixels the reference visits).
// Of a linear span, the pixels whose four neighbours all lie inside the
// source go to the span routine of the variant; the few at the source's edge,
// where neighbours read OuterColor, are sampled one by one. Every routine
// computes, per pixel, the same 16.16 position, the same four neighbours, the
// same 8-bit weights and the same blend as the reference.

namespace {

inline TColor32 SampleLinearRaw(const TColor32* bits, int sw, int sh, TColor32 outer, int64_t u, int64_t v) {
    const int x0 = int(u >> 16), y0 = int(v >> 16);
    const uint32_t fx = uint32_t((u >> 8) & 0xFF), fy = uint32_t((v >> 8) & 0xFF);
    auto at = [&](int x, int y) {
        return (x >= 0 && y >= 0 && x < sw && y < sh) ? bits[size_t(y) * size_t(sw) + size_t(x)] : outer;
    };
    return LerpPacked(LerpPacked(at(x0, y0), at(x0 + 1, y0), fx),
                      LerpPacked(at(x0, y0 + 1), at(x0 + 1, y0 + 1), fx), fy);
}

using TSpanFn = void (*)(const TTransformSpan&);

struct TTransformVariant {
    TSpanFn Span;
    const char* Name;
};

const TTransformVariant kPortable{TransformSpanScalar, "portable"};
#ifdef VELMORA_X86
const TTransformVariant kAVX2{kernels::TransformSpanAVX2, "avx2"};
#endif

std::vector<const TTransformVariant*> AvailableVariants() {
    std::vector<const TTransformVariant*> v{&kPortable};
#ifdef VELMORA_X86
    if (__builtin_cpu_supports("avx2")) v.push_back(&kAVX2);
#endif
    return v;
}

const std::vector<const TTransformVariant*>& Variants() {
    static const std::vector<const TTransformVariant*> v = AvailableVariants();
    return v;
}

const TTransformVariant& ChosenVariant() {
    static const TTransformVariant& chosen = ScalarForced() ? kPortable : *Variants().back();
    return chosen;
}

// A cover prepared for the row walk: its fixed-point mapping, the positions
// whose four neighbours lie in its opaque rectangle, and the destination
// rows and columns it can reach at all.
struct TPreparedCover {
    TFixedMapping M;
    TLimits Interior;
    int Top, Bottom, Left, Right; // inclusive, conservative
};

bool PrepareCover(const TTransformCover& c, const TRect& clip, TPreparedCover& out) {
    const TRect& o = c.Opaque;
    if (o.Width() < 2 || o.Height() < 2) return false;
    out.M = MakeMapping(c.Transform);
    if (!out.M.Valid) return false;
    out.Interior = {int64_t(o.Left) * 65536, int64_t(o.Right - 1) * 65536 - 1, int64_t(o.Top) * 65536,
                    int64_t(o.Bottom - 1) * 65536 - 1};
    const TFloatRect b = c.Transform.TransformedBounds(FloatRect(o));
    if (!(std::isfinite(b.Left) && std::isfinite(b.Top) && std::isfinite(b.Right) && std::isfinite(b.Bottom)))
        return false;
    out.Left = std::max(clip.Left, int(std::max(-1e9, std::floor(double(b.Left)) - 2)));
    out.Top = std::max(clip.Top, int(std::max(-1e9, std::floor(double(b.Top)) - 2)));
    out.Right = std::min(clip.Right - 1, int(std::min(1e9, std::ceil(double(b.Right)) + 2)));
    out.Bottom = std::min(clip.Bottom - 1, int(std::min(1e9, std::ceil(double(b.Bottom)) + 2)));
    return out.Left <= out.Right && out.Top <= out.Bottom;
}

void TransformDrawWith(const TTransformVariant& variant, TBitmap32& dest, const TBitmap32& source,
                       const TAffineTransformation& t, const TTransformCover* covers = nullptr,
                       int coverCount = 0) {
    if (dest.Empty() || source.Empty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    if (&dest == &source) {
        TBitmap32 copy;
        copy.Assign(source);
        TransformDrawWith(variant, dest, copy, t, covers, coverCount);
        return;
    }
    const TFixedMapping m = MakeMapping(t);
    if (!m.Valid) return;
    const TLimits lim = LimitsFor(source);
    const TRect clip = dest.ClipRect();
    // Where a cover's sample has all four neighbours in its opaque
    // rectangle, the cover will replace the pixel outright.
    std::vector<TPreparedCover> prepared;
    for (int i = 0; i < coverCount; ++i) {
        TPreparedCover pc;
        if (PrepareCover(covers[i], clip, pc)) prepared.push_back(pc);
    }
    const bool linear = source.Resampler == TResamplerKind::Linear;
    const TCombineKind kind = source.DrawMode == TDrawMode::Blend ? TCombineKind::Blend : TCombineKind::Copy;
    const TColor32* bits = source.Bits();
    const int sw = source.Width(), sh = source.Height();
    // positions whose four neighbours all lie inside the source
    const int64_t uInner = (int64_t(sw) - 1) * 65536 - 1, vInner = (int64_t(sh) - 1) * 65536 - 1;
    struct TGap {
        int64_t From, To;
    };

    // The span of every row, found once.
    const int rows = clip.Height();
    std::vector<int64_t> spanLo(size_t(std::max(rows, 0))), spanHi(size_t(std::max(rows, 0)));
    int64_t minLo = clip.Right, maxHi = clip.Left - 1;
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        int64_t lo = clip.Left, hi = clip.Right - 1;
        Constrain(m.U0 + y * m.Uy, m.Ux, lim.ULo, lim.UHi, lo, hi);
        Constrain(m.V0 + y * m.Vy, m.Vx, lim.VLo, lim.VHi, lo, hi);
        spanLo[size_t(y - clip.Top)] = lo, spanHi[size_t(y - clip.Top)] = hi;
        if (lo <= hi) minLo = std::min(minLo, lo), maxHi = std::max(maxHi, hi);
    }
    // A turned picture is walked in vertical strips of the destination, each
    // row of a strip crossing about 512 source rows: few enough pages for the
    // address translation cache, and the rows a strip reads stay in cache
    // from one destination row to the next.
    int64_t strip = maxHi - minLo + 1;
    if (linear && m.Vx != 0 && int64_t(sw) * sh > 65536)
        strip =
            std::clamp<int64_t>((int64_t(512) << 16) / std::abs(m.Vx), 256, std::max<int64_t>(strip, 256));
    // The span routines fetch ahead what the rows this far below will read.
    constexpr int64_t kAheadRows = 8;
    // Bands of rows may go to helper threads (full-resolution renders); each
    // has its own row state and scratch lines.
    auto walk = [&](int yTop, int yBottom) {
        std::vector<TColor32> line;
        std::vector<TGap> covered;
        for (int64_t sx = minLo; sx <= maxHi; sx += strip)
            for (int y = yTop; y < yBottom; ++y) {
                const int64_t ub = m.U0 + y * m.Uy, vb = m.V0 + y * m.Vy;
                const int64_t lo = std::max(spanLo[size_t(y - clip.Top)], sx);
                const int64_t hi = std::min(spanHi[size_t(y - clip.Top)], sx + strip - 1);
                if (hi < lo) continue;
                auto span = [&](int64_t a, int64_t b) {
                    if (b < a) return;
                    const int x0 = int(a), count = int(b - a + 1);
                    int64_t u = ub + a * m.Ux, v = vb + a * m.Vx;
                    if (linear) {
                        // the pixels whose neighbours are all inside [inA, inB]
                        int64_t inA = a, inB = b;
                        Constrain(ub, m.Ux, 0, uInner, inA, inB);
                        Constrain(vb, m.Vx, 0, vInner, inA, inB);
                        if (inB < inA) inA = b + 1, inB = b;
                        auto edge = [&](int64_t from, int64_t to) {
                            for (int64_t x = from; x <= to; ++x) {
                                const TColor32 c = SampleLinearRaw(bits, sw, sh, source.OuterColor,
                                                                   ub + x * m.Ux, vb + x * m.Vx);
                                TColor32& d = *dest.PixelPtr(int(x), y);
                                d = CombinePixel(c, d, kind, source.MasterAlpha);
                            }
                        };
                        edge(a, inA - 1);
                        if (inA <= inB) {
                            const TTransformSpan sp{bits,
                                                    sw,
                                                    ub + inA * m.Ux,
                                                    vb + inA * m.Vx,
                                                    m.Ux,
                                                    m.Vx,
                                                    kAheadRows * m.Uy,
                                                    kAheadRows * m.Vy,
                                                    dest.PixelPtr(int(inA), y),
                                                    int(inB - inA + 1),
                                                    kind,
                                                    source.MasterAlpha};
                            variant.Span(sp);
                        }
                        edge(inB + 1, b);
                    } else {
                        line.resize(size_t(count));
                        for (int k = 0; k < count; ++k, u += m.Ux, v += m.Vx)
                            line[size_t(k)] = SampleNearest(source, u, v);
                        CombineLine(line.data(), dest.PixelPtr(x0, y), count, source);
                    }
                };
                covered.clear();
                for (const TPreparedCover& c : prepared) {
                    if (y < c.Top || y > c.Bottom || c.Right < lo || c.Left > hi) continue;
                    int64_t clo = std::max<int64_t>(lo, c.Left), chi = std::min<int64_t>(hi, c.Right);
                    Constrain(c.M.U0 + y * c.M.Uy, c.M.Ux, c.Interior.ULo, c.Interior.UHi, clo, chi);
                    Constrain(c.M.V0 + y * c.M.Vy, c.M.Vx, c.Interior.VLo, c.Interior.VHi, clo, chi);
                    if (clo <= chi) covered.push_back({clo, chi});
                }
                if (covered.empty()) {
                    span(lo, hi);
                    continue;
                }
                std::sort(covered.begin(), covered.end(),
                          [](const TGap& a, const TGap& b) { return a.From < b.From; });
                int64_t next = lo; // first pixel not yet drawn or covered
                for (const TGap& g : covered) {
                    if (g.From > next) span(next, g.From - 1);
                    next = std::max(next, g.To + 1);
                }
                span(next, hi);
            }
    };
    ForRowBands(clip.Top, clip.Bottom, (maxHi - minLo + 1) * int64_t(rows), walk);
}

} // namespace

void TransformDraw(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t) {
    TransformDrawWith(ChosenVariant(), dest, source, t);
}

void TransformDrawUnder(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t,
                        const TTransformCover* covers, int count) {
    TransformDrawWith(ChosenVariant(), dest, source, t, covers, count);
}

int TransformDrawVariantCount() {
    return int(Variants().size());
}

const char* TransformDrawVariantName(int index) {
    return Variants()[size_t(index)]->Name;
}

void TransformDrawVariant(int index, TBitmap32& dest, const TBitmap32& source,
                          const TAffineTransformation& t) {
    TransformDrawWith(*Variants()[size_t(index)], dest, source, t);
}
