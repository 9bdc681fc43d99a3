#pragma once
// Alpha-channel utilities of the layer compositor. Each works in place on a
// destination D of the same size as the second surface; a size mismatch
// limits the work to the common area.

#include "engine/Bitmap32.h"

// For each pixel with Da > 0: Da := Intensity(mask pixel) · Da div 255.
void ApplyMaskAlpha(TBitmap32& dest, const TBitmap32& mask);
// The same on one span of count pixels.
void ApplyMaskAlphaSpan(TColor32* dest, const TColor32* mask, int count);
// Da := min(255, Da + other alpha)
void AddAlpha(TBitmap32& dest, const TBitmap32& other);
// Every pixel := RGB of colour, alpha kept.
void Colorize(TBitmap32& dest, TColor32 color);
// One in-place pass, rows top to bottom, columns left to right:
//   Da(x, y) := (A(x+d, y+d) + A(x+d, y−d) + A(x−d, y+d) + A(x−d, y−d)) >> 2
// with coordinates clamped into the surface and A reading the current, partly
// updated, values. RGB unchanged. Uses the fastest variant below (the
// scalar reference when VELMORA_SCALAR=1).
void BlurAlpha(TBitmap32& dest, int distance);
// BlurAlpha with d = n, n − 1, ..., 1 (nothing for n <= 0).
void SmoothAlpha(TBitmap32& dest, int passes);

// The pass literally as written above: the reference.
void BlurAlphaScalar(TBitmap32& dest, int distance);
// Variants of the pass, the scalar reference first; each gives the
// reference's result bit for bit (tests compare them).
struct TAlphaBlurOps {
    void (*Pass)(TBitmap32& dest, int distance);
    const char* Name;
};
int AlphaBlurVariantCount();
const TAlphaBlurOps& AlphaBlurVariant(int index);
