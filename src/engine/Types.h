#pragma once
// Basic value types and the numeric conventions of the whole program.
//
// Numeric conventions (stated once here and relied upon everywhere):
//  - Surfaces hold straight (not premultiplied) ARGB words: 0xAARRGGBB.
//  - Converting a float to an integer rounds to the nearest integer with
//    halves going to the even neighbour (Round).
//  - Integer division truncates toward zero (Div, the C++ '/' on ints).
//  - Locations, angles and scale factors are single-precision floats.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

using TColor32 = uint32_t; // 0xAARRGGBB
using TColor = int32_t;    // platform colour 0x00BBGGRR; negative = system colour

// Rounds halves to the even neighbour (the default floating-point rounding
// mode). Values outside the int range saturate instead of overflowing.
inline int Round(double v) {
    if (!(v == v)) return 0; // NaN
    double r = std::nearbyint(v);
    if (r >= 2147483647.0) return std::numeric_limits<int>::max();
    if (r <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

inline int64_t Round64(double v) {
    if (!(v == v)) return 0;
    double r = std::nearbyint(v);
    if (r >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (r <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

// Integer division truncating toward zero.
inline int Div(int a, int b) { return b == 0 ? 0 : a / b; }

// Value in 16.16 fixed point, rounded; used where sizes are compared at
// 1/65536 precision.
inline int64_t ToFixed(double v) { return Round64(v * 65536.0); }

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TFloatPoint {
    float X = 0, Y = 0;
    bool operator==(const TFloatPoint&) const = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    bool operator==(const TRect&) const = default;
};

// Intersection of two rectangles; empty (possibly with Right < Left) when
// they do not overlap.
inline TRect Intersect(const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

struct TFloatRect {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
    float Width() const { return Right - Left; }
    float Height() const { return Bottom - Top; }
    bool operator==(const TFloatRect&) const = default;
};

inline TRect RoundRect(const TFloatRect& r) {
    return {Round(r.Left), Round(r.Top), Round(r.Right), Round(r.Bottom)};
}

inline TFloatRect FloatRect(const TRect& r) {
    return {float(r.Left), float(r.Top), float(r.Right), float(r.Bottom)};
}

// ---- Colour helpers ----

inline uint8_t AlphaOf(TColor32 c) { return uint8_t(c >> 24); }
inline uint8_t RedOf(TColor32 c) { return uint8_t(c >> 16); }
inline uint8_t GreenOf(TColor32 c) { return uint8_t(c >> 8); }
inline uint8_t BlueOf(TColor32 c) { return uint8_t(c); }
inline TColor32 Color32(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return (TColor32(a) << 24) | (TColor32(r) << 16) | (TColor32(g) << 8) | b;
}
inline TColor32 SetAlpha(TColor32 c, uint8_t a) { return (c & 0x00FFFFFFu) | (TColor32(a) << 24); }

// Platform colour (0x00BBGGRR; negative values name system colours) to
// 0xFFRRGGBB.
TColor32 ToColor32(TColor c);
// 32-bit colour to the platform colour 0x00BBGGRR; alpha dropped.
TColor ToWinColor(TColor32 c);
// (R * 61 + G * 174 + B * 21) >> 8
inline int Intensity(TColor32 c) { return (RedOf(c) * 61 + GreenOf(c) * 174 + BlueOf(c) * 21) >> 8; }
