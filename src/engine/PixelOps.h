#pragma once
// Pixel operations over spans of 32-bit ARGB words.
//
// Every operation has a scalar reference here; the table returned by
// PixelOps() may point to faster versions (selected once at start-up) that
// must give the same result bit for bit. Setting VELMORA_SCALAR=1 in the
// environment forces the scalar table.

#include "engine/Types.h"

// Weight of a source pixel under the master alpha M:
//   W = Sa when M = 255, otherwise ((M + 1) * Sa) >> 8.
// Both cases are ((M + 1) * Sa) >> 8, since (256 * Sa) >> 8 = Sa.
inline uint32_t BlendWeight(uint32_t sa, uint32_t master) {
    return ((master + 1) * sa) >> 8;
}

// The blend rule, one pixel, literally:
//   W = 0            -> D unchanged
//   M = 255, Sa = 255 -> D := S
//   otherwise each byte c' = (256·Dc + 128 + (Sc − Dc)·W) >> 8, alpha included.
inline TColor32 BlendPixel(TColor32 s, TColor32 d, uint32_t master) {
    uint32_t sa = s >> 24;
    uint32_t w = BlendWeight(sa, master);
    if (w == 0) return d;
    if (master == 255 && sa == 255) return s;
    TColor32 r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int sc = int((s >> shift) & 0xFF), dc = int((d >> shift) & 0xFF);
        int c = (256 * dc + 128 + (sc - dc) * int(w)) >> 8;
        r |= TColor32(c) << shift;
    }
    return r;
}

// Linear interpolation of one byte with an 8-bit weight f in 0..255:
//   (a·(256 − f) + b·f + 128) >> 8
inline uint32_t Lerp8(uint32_t a, uint32_t b, uint32_t f) {
    return (a * (256 - f) + b * f + 128) >> 8;
}

// Bilinear sample of four neighbours, all four bytes alike: first along x
// with fx, then along y with fy (weights 0..255).
inline TColor32 BilinearPixel(TColor32 c00, TColor32 c10, TColor32 c01, TColor32 c11, uint32_t fx,
                              uint32_t fy) {
    TColor32 r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t top = Lerp8((c00 >> shift) & 0xFF, (c10 >> shift) & 0xFF, fx);
        uint32_t bottom = Lerp8((c01 >> shift) & 0xFF, (c11 >> shift) & 0xFF, fx);
        r |= Lerp8(top, bottom, fy) << shift;
    }
    return r;
}

// Lerp8 on all four bytes at once, two bytes per 32-bit multiply (no lane
// overflows: a·(256 − f) + b·f + 128 < 65536).
inline TColor32 LerpPacked(TColor32 c0, TColor32 c1, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb =
        ((((c0 & 0x00FF00FFu) * g) + ((c1 & 0x00FF00FFu) * f) + 0x00800080u) >> 8) & 0x00FF00FFu;
    const uint32_t ag =
        ((((c0 >> 8) & 0x00FF00FFu) * g) + (((c1 >> 8) & 0x00FF00FFu) * f) + 0x00800080u) & 0xFF00FF00u;
    return rb | ag;
}

// BilinearPixel computed with LerpPacked; the same result bit for bit.
inline TColor32 BilinearPixelPacked(TColor32 c00, TColor32 c10, TColor32 c01, TColor32 c11, uint32_t fx,
                                    uint32_t fy) {
    return LerpPacked(LerpPacked(c00, c10, fx), LerpPacked(c01, c11, fx), fy);
}

struct TPixelOps {
    // dst[i] := BlendPixel(src[i], dst[i], master) for i < count
    void (*BlendLine)(const TColor32* src, TColor32* dst, int count, uint32_t master);
    const char* Name;
};

// The table in use (fast paths when the machine has them).
const TPixelOps& PixelOps();
// The plain scalar reference table.
const TPixelOps& ScalarPixelOps();
// All tables available on this machine (scalar first); tests compare them.
int PixelOpsVariantCount();
const TPixelOps& PixelOpsVariant(int index);

void BlendLineScalar(const TColor32* src, TColor32* dst, int count, uint32_t master);

// One row of the linear stretch: for k < count
//   out[k] := BilinearPixelPacked(r0[x0[k]], r0[x1[k]], r1[x0[k]], r1[x1[k]], fx[k], fy)
// with the horizontal weights fx[k] and the row's vertical weight fy in 0..255.
using TStretchRowFn = void (*)(const TColor32* r0, const TColor32* r1, const int32_t* x0, const int32_t* x1,
                               const uint32_t* fx, uint32_t fy, TColor32* out, int count);
struct TStretchRowOps {
    TStretchRowFn Row;
    const char* Name;
};
// The row routine in use (the fastest this machine has unless VELMORA_SCALAR
// is set) and every available one, scalar first; tests compare them.
const TStretchRowOps& StretchRowOps();
int StretchRowVariantCount();
const TStretchRowOps& StretchRowVariant(int index);
