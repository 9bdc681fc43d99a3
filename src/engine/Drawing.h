#pragma once
// Small raster primitives over TBitmap32: solid and stippled lines and a
// filled circle with an outline. All of them clip to the destination's
// ClipRect and cost time only for the visible part, so coordinates anywhere
// in the int range are safe.
//
// Pixels are written with the blend rule of PixelOps.h at master alpha 255:
// opaque colours replace the destination, translucent ones blend.

#include <initializer_list>
#include <vector>

#include "engine/Bitmap32.h"

// A dash pattern walked one entry per drawn pixel position.
//
// Every pixel position along a line takes the colour Pattern[floor(Counter)]
// and then advances Counter by Step (wrapping at the pattern length), so a
// pattern continues across consecutive lines: the four edges of a frame
// drawn one after the other form one unbroken dash sequence. Positions
// outside the clip rectangle advance the counter too. A default TStipple is
// solid black.
struct TStipple {
    std::vector<TColor32> Pattern{0xFF000000};
    double Step = 1.0;
    double Counter = 0.0;

    // New pattern and step; the counter restarts at 0.
    void Set(std::initializer_list<TColor32> pattern, double step);
    // The colour for the next position, then advance by one position.
    TColor32 NextColor();
    // Advance by count positions without drawing.
    void Skip(int64_t count);
};

// Line from (x1, y1) to (x2, y2) in one colour. The end point itself is
// drawn only when drawLast is set, so closed outlines drawn edge by edge
// touch each corner once.
//
// Pixel i (0 ≤ i < n, n = max(|dx|, |dy|)) lies i steps along the major axis
// and round(i·|minor| / n) steps along the minor axis (halves away from the
// start point), which is what Bresenham's incremental loop produces.
void LineS(TBitmap32& dest, int x1, int y1, int x2, int y2, TColor32 color, bool drawLast = false);

// The same pixels, coloured by the stipple pattern (which it advances by the
// full length of the line, drawn or clipped).
void LineFS(TBitmap32& dest, int x1, int y1, int x2, int y2, TStipple& stipple, bool drawLast = false);

// Circle of radius r about the pixel (cx, cy), judged by pixel centres at
// squared distance d² from it: d² ≤ r² − r (inside r − ½) is filled with
// fill, r² − r < d² ≤ r² + r (within half a pixel of the rim) takes the
// outline colour. Radius 5 gives an 11-pixel wide disc with a one-pixel rim.
// Negative radii draw nothing.
void FillCircle(TBitmap32& dest, int cx, int cy, int r, TColor32 fill, TColor32 outline);
