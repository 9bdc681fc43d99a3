#include "engine/Drawing.h"

#include <cmath>

#include "engine/PixelOps.h"

// ---- Stipple ----

void TStipple::Set(std::initializer_list<TColor32> pattern, double step) {
    Pattern.assign(pattern);
    Step = step;
    Counter = 0.0;
}

namespace {

double WrapCounter(double c, size_t length) {
    const double n = double(length);
    if (!std::isfinite(c)) return 0.0;
    if (c >= 0.0 && c < n) return c;
    c = std::fmod(c, n);
    if (c < 0.0) c += n;
    if (c >= n) c = 0.0; // fmod of a value a hair below a multiple of n
    return c;
}

} // namespace

TColor32 TStipple::NextColor() {
    if (Pattern.empty()) return 0xFF000000;
    Counter = WrapCounter(Counter, Pattern.size());
    const TColor32 c = Pattern[size_t(Counter) % Pattern.size()];
    Counter = WrapCounter(Counter + Step, Pattern.size());
    return c;
}

void TStipple::Skip(int64_t count) {
    if (Pattern.empty() || count == 0) return;
    const double n = double(Pattern.size());
    // Reduce the count first so that huge skips keep full precision when the
    // step is a whole number (the usual case).
    double advance;
    if (Step == std::floor(Step) && std::fabs(Step) < 1e9) {
        const int64_t len = int64_t(Pattern.size());
        const int64_t steps = (count % len) * (int64_t(Step) % len);
        advance = double(steps % len);
    } else {
        advance = std::fmod(double(count) * Step, n);
    }
    Counter = WrapCounter(Counter + advance, Pattern.size());
}

// ---- Lines ----

namespace {

void PutPixel(TBitmap32& dest, int64_t x, int64_t y, TColor32 c) {
    const TRect& clip = dest.ClipRect();
    if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) return;
    TColor32* p = dest.PixelPtr(int(x), int(y));
    *p = BlendPixel(c, *p, 255);
}

// The pixels of a line as steps along its major axis; MinorAt(i) is the
// offset along the minor axis of step i (before applying its sign).
struct TLineWalk {
    int64_t X1, Y1;
    int64_t N;  // steps along the major axis
    int64_t A;  // |extent| along the minor axis
    int SX, SY; // signs (-1, 0, 1) of the x and y extents
    bool XMajor;

    int64_t MinorAt(int64_t i) const {
        if (N == 0) return 0;
        const __int128 num = __int128(2) * i * A + N;
        return int64_t(num / (__int128(2) * N));
    }
    int64_t XAt(int64_t i) const { return X1 + SX * (XMajor ? i : MinorAt(i)); }
    int64_t YAt(int64_t i) const { return Y1 + SY * (XMajor ? MinorAt(i) : i); }
};

TLineWalk MakeWalk(int x1, int y1, int x2, int y2) {
    TLineWalk w{};
    w.X1 = x1;
    w.Y1 = y1;
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    w.SX = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
    w.SY = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    w.XMajor = ax >= ay;
    w.N = w.XMajor ? ax : ay;
    w.A = w.XMajor ? ay : ax;
    return w;
}

// Step range [lo, hi] (inclusive) whose coordinate start + sign·off(i) lies
// in [cmin, cmax), where off is non-decreasing in i. Empty when lo > hi.
template <class Off>
void ClipAxis(int64_t& lo, int64_t& hi, int64_t start, int sign, int64_t cmin, int64_t cmax, Off off) {
    if (lo > hi) return;
    // wanted offsets k: cmin ≤ start + sign·k < cmax
    int64_t kmin, kmax;
    if (sign > 0) {
        kmin = cmin - start;
        kmax = cmax - 1 - start;
    } else if (sign < 0) {
        kmin = start - (cmax - 1);
        kmax = start - cmin;
    } else {
        if (start < cmin || start >= cmax) lo = hi + 1;
        return;
    }
    // first step with off ≥ kmin
    int64_t a = lo, b = hi + 1;
    while (a < b) {
        const int64_t m = a + (b - a) / 2;
        if (off(m) >= kmin)
            b = m;
        else
            a = m + 1;
    }
    const int64_t first = a;
    // last step with off ≤ kmax
    a = lo - 1, b = hi;
    while (a < b) {
        const int64_t m = b - (b - a) / 2;
        if (off(m) <= kmax)
            a = m;
        else
            b = m - 1;
    }
    lo = first;
    hi = a;
}

// The visible steps [lo, hi] of a line of count positions (empty when
// lo > hi).
void VisibleSteps(const TBitmap32& dest, const TLineWalk& w, int64_t count, int64_t& lo, int64_t& hi) {
    lo = 0;
    hi = count - 1;
    const TRect& clip = dest.ClipRect();
    if (dest.Empty() || clip.IsEmpty()) {
        lo = hi + 1;
        return;
    }
    auto major = [](int64_t i) { return i; };
    auto minor = [&w](int64_t i) { return w.MinorAt(i); };
    if (w.XMajor) {
        ClipAxis(lo, hi, w.X1, w.SX, clip.Left, clip.Right, major);
        ClipAxis(lo, hi, w.Y1, w.SY, clip.Top, clip.Bottom, minor);
    } else {
        ClipAxis(lo, hi, w.Y1, w.SY, clip.Top, clip.Bottom, major);
        ClipAxis(lo, hi, w.X1, w.SX, clip.Left, clip.Right, minor);
    }
}

} // namespace

void LineS(TBitmap32& dest, int x1, int y1, int x2, int y2, TColor32 color, bool drawLast) {
    const TLineWalk w = MakeWalk(x1, y1, x2, y2);
    const int64_t count = w.N + (drawLast ? 1 : 0);
    int64_t lo, hi;
    VisibleSteps(dest, w, count, lo, hi);
    for (int64_t i = lo; i <= hi; ++i) PutPixel(dest, w.XAt(i), w.YAt(i), color);
}

void LineFS(TBitmap32& dest, int x1, int y1, int x2, int y2, TStipple& stipple, bool drawLast) {
    const TLineWalk w = MakeWalk(x1, y1, x2, y2);
    const int64_t count = w.N + (drawLast ? 1 : 0);
    int64_t lo, hi;
    VisibleSteps(dest, w, count, lo, hi);
    if (lo > hi) {
        stipple.Skip(count);
        return;
    }
    // Clipped positions advance the counter too, so the dashes stay where
    // the unclipped line would put them.
    stipple.Skip(lo);
    for (int64_t i = lo; i <= hi; ++i) PutPixel(dest, w.XAt(i), w.YAt(i), stipple.NextColor());
    stipple.Skip(count - 1 - hi);
}

// ---- Circle ----

namespace {

// Largest d ≥ 0 with d² ≤ v (v ≥ 0).
int64_t ISqrt(int64_t v) {
    int64_t d = int64_t(std::sqrt(double(v)));
    while (d > 0 && __int128(d) * d > v) --d;
    while (__int128(d + 1) * (d + 1) <= v) ++d;
    return d;
}

void FillSpan(TBitmap32& dest, int64_t y, int64_t x1, int64_t x2, TColor32 c) {
    // [x1, x2] inclusive, clipped
    const TRect& clip = dest.ClipRect();
    if (y < clip.Top || y >= clip.Bottom) return;
    x1 = std::max<int64_t>(x1, clip.Left);
    x2 = std::min<int64_t>(x2, int64_t(clip.Right) - 1);
    if (x1 > x2) return;
    TColor32* p = dest.PixelPtr(int(x1), int(y));
    for (int64_t x = x1; x <= x2; ++x, ++p) *p = BlendPixel(c, *p, 255);
}

} // namespace

void FillCircle(TBitmap32& dest, int cx, int cy, int r, TColor32 fill, TColor32 outline) {
    if (r < 0 || dest.Empty()) return;
    const TRect& clip = dest.ClipRect();
    if (clip.IsEmpty()) return;
    const int64_t rr = int64_t(r) * r;
    const int64_t inner = rr - r, outer = rr + r;
    const int64_t yFirst = std::max<int64_t>(int64_t(cy) - r, clip.Top);
    const int64_t yLast = std::min<int64_t>(int64_t(cy) + r, int64_t(clip.Bottom) - 1);
    for (int64_t y = yFirst; y <= yLast; ++y) {
        const int64_t dy = y - cy, dy2 = dy * dy;
        const int64_t ho = ISqrt(outer - dy2); // outer ≥ rr ≥ dy2 here
        const int64_t hi = inner >= dy2 ? ISqrt(inner - dy2) : -1;
        if (hi >= 0) FillSpan(dest, y, int64_t(cx) - hi, int64_t(cx) + hi, fill);
        FillSpan(dest, y, int64_t(cx) - ho, int64_t(cx) - hi - 1, outline);
        FillSpan(dest, y, int64_t(cx) + hi + 1, int64_t(cx) + ho, outline);
    }
}
