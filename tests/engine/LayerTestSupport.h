#pragma once
// Small builders shared by the content layer tests.

#include "engine/Image32.h"
#include "engine/NewRotLayer.h"

// A surface filled with one colour.
inline TBitmap32 Filled(int w, int h, TColor32 c) {
    TBitmap32 b(w, h);
    b.Clear(c);
    return b;
}

// A canvas control showing a canvas bitmap of (cw, ch) filled with colour at
// the given zoom in a control of (vw, vh).
inline void SetUpCanvas(TImage32& image, int cw, int ch, int vw, int vh, float scale,
                        TColor32 colour = 0xFFFFFFFF) {
    image.Bitmap.SetSize(cw, ch);
    image.Bitmap.Clear(colour);
    image.SetSize(vw, vh);
    image.SetScale(scale);
    image.BitmapResized();
}

// A layer created the way every command creates one: picture in blend mode
// with linear resampling, centred rotation, scaled, alpha hit, whole-picture
// crop, caches built.
inline TNewRotLayer* AddPictureLayer(TLayerCollection& layers, const TBitmap32& picture,
                                     const TFloatRect& location, uint8_t kind = itPhoto) {
    TUpdateScope<TLayerCollection> update(layers);
    auto* layer = layers.Add<TNewRotLayer>();
    layer->AssignPicture(&picture);
    layer->Picture.DrawMode = TDrawMode::Blend;
    layer->ImageType = kind;
    layer->SetLocation(location);
    layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
    layer->Picture.Resampler = TResamplerKind::Linear;
    layer->SetScaled(true);
    layer->AlphaHit = true;
    layer->SetViewedRect({0, 0, picture.Width(), picture.Height()});
    layer->RebuildScreenCache();
    return layer;
}

// A grey picture that is white inside the circle inscribed in (w, h) and
// black outside.
inline TBitmap32 CircleMask(int w, int h) {
    TBitmap32 m(w, h);
    const double cx = w / 2.0, cy = h / 2.0, r = std::min(w, h) / 2.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            m.SetPixel(x, y, dx * dx + dy * dy <= r * r ? 0xFFFFFFFF : 0xFF000000);
        }
    return m;
}
