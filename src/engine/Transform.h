#pragma once
// Affine transforms and drawing a surface through one.
//
// A transform is built by composing steps in the order they are called, each
// applied after the previous ones. Rotation by a degrees maps (x, y) to
// (x·cos a + y·sin a, −x·sin a + y·cos a): with the y axis pointing down, a
// positive angle turns the content counter-clockwise on screen.

#include "engine/Bitmap32.h"

class TAffineTransformation {
public:
    TAffineTransformation() { Clear(); }

    void Clear();
    void Translate(double dx, double dy);
    void Rotate(double degrees);
    void Scale(double sx, double sy);

    void Transform(double x, double y, double& ox, double& oy) const;
    TFloatPoint Transform(TFloatPoint p) const;
    // Maps back; returns false (and leaves the outputs at 0) when the
    // transform is singular.
    bool ReverseTransform(double x, double y, double& ox, double& oy) const;
    bool Inverse(TAffineTransformation& inverse) const;
    // Bounding box of a source rectangle after transforming.
    TFloatRect TransformedBounds(const TFloatRect& r) const;

    // x' = A·x + B·y + C, y' = D·x + E·y + F
    double A, B, C, D, E, F;

    bool operator==(const TAffineTransformation&) const = default;
};

// Draws source onto dest through transform t (which maps source pixel
// coordinates to destination pixel coordinates). Every destination pixel
// inside dest's ClipRect whose centre maps back into the source is sampled
// with the source's resampler and combined by its draw mode and master alpha.
// The linear sampler reads OuterColor for neighbours outside the source,
// which gives soft edges, and covers the pixels whose sample footprint
// touches the source.
void TransformDraw(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t);

// The same result computed pixel by pixel with no shortcuts; the reference
// the fast version is tested against.
void TransformDrawReference(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t);

// A surface about to be drawn onto the same destination (same clip) through
// Transform with the linear resampler at full opacity (master alpha 255):
// where its sample has all four neighbours inside its all-opaque rectangle
// Opaque, it will replace the destination pixel outright.
struct TTransformCover {
    TAffineTransformation Transform;
    TRect Opaque; // in the covering surface's pixels
};

// TransformDraw leaving out the pixels the covers will replace: once the
// covers are drawn, the result is the same as drawing everything in full.
// Used for a layer's shadow, which lies mostly under the layer itself, and
// for layers hidden under opaque layers above them.
void TransformDrawUnder(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t,
                        const TTransformCover* covers, int count);
inline void TransformDrawUnder(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t,
                               const TTransformCover& cover) {
    TransformDrawUnder(dest, source, t, &cover, 1);
}

// The implementations of TransformDraw available on this machine (index 0 is
// the portable one); TransformDraw uses the fastest unless VELMORA_SCALAR=1
// is set. All give the reference result bit for bit; tests compare them.
int TransformDrawVariantCount();
const char* TransformDrawVariantName(int index);
void TransformDrawVariant(int index, TBitmap32& dest, const TBitmap32& source,
                          const TAffineTransformation& t);
