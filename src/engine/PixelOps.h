#pragma once
// Pixel operations over spans of 32-bit ARGB words.
//
// Every operation has a scalar reference here; the tables returned by
// PixelOps() and StretchRowOps() may point to faster versions (selected once
// at start-up) that must give the same result bit for bit. Setting
// VELMORA_SCALAR=1 in the environment forces the scalar tables.

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

// A mask pixel M applied to the alpha of D: where Da > 0,
//   Da := Intensity(M)·Da div 255, RGB kept
// (Intensity = (R·61 + G·174 + B·21) >> 8); Da = 0 stays as it is.
inline TColor32 MaskPixelAlpha(TColor32 d, TColor32 m) {
    const uint32_t a = d >> 24;
    if (a == 0) return d;
    return SetAlpha(d, uint8_t(uint32_t(Intensity(m)) * a / 255));
}

// How sampled pixels S land on the destination D.
enum class TCombineKind : uint8_t {
    Copy,         // D := S (opaque draw mode)
    Blend,        // D := BlendPixel(S, D, master)
    BlendOnClear, // D := BlendPixel(S, 0, master): D is known to be transparent
                  // black, so it is neither read nor cleared beforehand
};

inline TColor32 CombinePixel(TColor32 s, TColor32 d, TCombineKind kind, uint32_t master) {
    switch (kind) {
    case TCombineKind::Copy:
        return s;
    case TCombineKind::Blend:
        return BlendPixel(s, d, master);
    case TCombineKind::BlendOnClear:
        break;
    }
    return BlendPixel(s, 0, master);
}

struct TPixelOps {
    // dst[i] := BlendPixel(src[i], dst[i], master) for i < count
    void (*BlendLine)(const TColor32* src, TColor32* dst, int count, uint32_t master);
    // dst[i] := BlendPixel(src[i], 0, master) for i < count (dst not read)
    void (*BlendLineOnClear)(const TColor32* src, TColor32* dst, int count, uint32_t master);
    // dst[i] := MaskPixelAlpha(dst[i], mask[i]) for i < count
    void (*MaskAlphaLine)(TColor32* dst, const TColor32* mask, int count);
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

// A span combined by kind through the table in use.
void CombineSpan(const TColor32* src, TColor32* dst, int count, TCombineKind kind, uint32_t master);
// Every pixel of a span combined with one colour.
void CombineSolid(TColor32 color, TColor32* dst, int count, TCombineKind kind, uint32_t master);

// One row of the linear stretch, combined into dst as it is sampled: for
// k < count
//   S = BilinearPixelPacked(r0[x[k]], r0[x[k] + 1], r1[x[k]], r1[x[k] + 1], fx[k], fy)
//   dst[k] := CombinePixel(S, dst[k], kind, master)
// with the horizontal weights fx[k] and the row's vertical weight fy in
// 0..255. The caller keeps x[k] + 1 inside the source rows.
using TStretchRowFn = void (*)(const TColor32* r0, const TColor32* r1, const int32_t* x, const uint32_t* fx,
                               uint32_t fy, TColor32* dst, int count, TCombineKind kind, uint32_t master);
// One row of the nearest-neighbour stretch: for k < count
//   dst[k] := CombinePixel(row[x[k]], dst[k], kind, master)
using TNearestRowFn = void (*)(const TColor32* row, const int32_t* x, TColor32* dst, int count,
                               TCombineKind kind, uint32_t master);
struct TStretchRowOps {
    TStretchRowFn Row;
    TNearestRowFn Nearest;
    const char* Name;
};
// The row routine in use (the fastest this machine has unless VELMORA_SCALAR
// is set) and every available one, scalar first; tests compare them.
const TStretchRowOps& StretchRowOps();
int StretchRowVariantCount();
const TStretchRowOps& StretchRowVariant(int index);

// A span of a destination row drawn through an affine transform with the
// linear resampler, every pixel's four neighbours inside the source: pixel k
// samples at (U + k·Ux, V + k·Vx), 16.16 source coordinates whose integer
// positions are pixel centres, and
//   S = BilinearPixelPacked(p(x, y), p(x + 1, y), p(x, y + 1), p(x + 1, y + 1), fx, fy)
//   Dst[k] := CombinePixel(S, Dst[k], Kind, Master)
// with x, y the integer parts and fx, fy the top bytes of the fractions.
struct TTransformSpan {
    const TColor32* Bits; // the source, Stride pixels a row
    int Stride;
    int64_t U, V, Ux, Vx;
    // where the pixels this many rows further down will read, relative to
    // their position here: fetched ahead into the cache (0, 0: nothing)
    int64_t AheadU, AheadV;
    TColor32* Dst;
    int Count;
    TCombineKind Kind;
    uint32_t Master;
};
void TransformSpanScalar(const TTransformSpan& span);

// Whether VELMORA_SCALAR asks for the scalar references.
bool ScalarForced();
