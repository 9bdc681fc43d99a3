#include "engine/Image32.h"

TImage32::TImage32() {
    Bitmap.DrawMode = TDrawMode::Blend;
    Bitmap.Resampler = TResamplerKind::Nearest;
}

void TImage32::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight) return;
    FWidth = width;
    FHeight = height;
    UpdateViewMapping();
    Changed();
}

void TImage32::SetScale(float scale) {
    if (!(scale > 0)) return;
    if (scale == FScale) return;
    FScale = scale;
    UpdateViewMapping();
    Changed();
}

void TImage32::SetViewport(int scrollX, int scrollY, int width, int height) {
    if (scrollX == FScrollX && scrollY == FScrollY && width == FViewW && height == FViewH) return;
    FScrollX = scrollX;
    FScrollY = scrollY;
    FViewW = std::max(width, 0);
    FViewH = std::max(height, 0);
    UpdateViewMapping();
    Changed();
}

TRect TImage32::GetBitmapRect() const {
    const int w = Round(double(Bitmap.Width()) * FScale);
    const int h = Round(double(Bitmap.Height()) * FScale);
    const int x = (FWidth - w) / 2 - FScrollX, y = (FHeight - h) / 2 - FScrollY;
    return {x, y, x + w, y + h};
}

void TImage32::UpdateViewMapping() {
    const TRect r = GetBitmapRect();
    int64_t sx = 65536, sy = 65536;
    if (Bitmap.Width() > 0) sx = Round64(double(r.Width()) / Bitmap.Width() * 65536.0);
    if (Bitmap.Height() > 0) sy = Round64(double(r.Height()) / Bitmap.Height() * 65536.0);
    Layers.SetViewMapping(sx, sy, float(r.Left), float(r.Top));
    Layers.BitmapRect = r;
    Layers.ViewportRect = TRect{0, 0, ViewportWidth(), ViewportHeight()};
}

void TImage32::PaintBackground(TBitmap32& buffer) {
    if (OnPaintStage)
        OnPaintStage(buffer);
    else
        buffer.FillRect(0, 0, buffer.Width(), buffer.Height(), Color);
    if (!Bitmap.Empty()) buffer.StretchDraw(GetBitmapRect(), Bitmap);
}

void TImage32::PaintLayers(TBitmap32& buffer, int fromIndex, int toIndex) {
    fromIndex = std::max(fromIndex, 0);
    toIndex = std::min(toIndex, Layers.Count());
    for (int i = fromIndex; i < toIndex; ++i) {
        TCustomLayer* l = Layers.Items(i);
        if (l->Visible()) l->Paint(buffer);
    }
}

namespace {
// While the canvas paints its layers bottom to top into one buffer, layers
// may leave out pixels that a layer above them replaces outright.
struct TAllLayers {
    TLayerCollection& L;
    explicit TAllLayers(TLayerCollection& l) : L(l) { L.PaintingAllLayers = true; }
    ~TAllLayers() { L.PaintingAllLayers = false; }
};
} // namespace

void TImage32::PaintContent(TBitmap32& buffer, int toIndex) {
    buffer.SetSize(ViewportWidth(), ViewportHeight());
    buffer.ResetClipRect();
    if (buffer.Empty()) return;
    // the canvas bitmap may have been resized without BitmapResized()
    Layers.BitmapRect = GetBitmapRect();
    PaintBackground(buffer);
    TAllLayers all(Layers);
    PaintLayers(buffer, 0, toIndex);
}

void TImage32::PaintTo(TBitmap32& buffer) {
    PaintContent(buffer, Layers.Count());
}

void TImage32::PaintToCached(TBitmap32& buffer, TContentCache& cache) {
    int split = Layers.Count();
    while (split > 0 && Layers.Items(split - 1)->IsOverlay()) --split;
    std::vector<const TCustomLayer*> below;
    below.reserve(size_t(split));
    for (int i = 0; i < split; ++i) below.push_back(Layers.Items(i));
    const TRect bitmapRect = GetBitmapRect();
    const bool same = cache.Valid && cache.Revision == Layers.ContentRevision() && cache.Below == below &&
                      cache.ScrollX == FScrollX && cache.ScrollY == FScrollY &&
                      cache.ScaleX == Layers.ScaleX() && cache.ScaleY == Layers.ScaleY() &&
                      cache.ShiftX == Layers.ShiftX() && cache.ShiftY == Layers.ShiftY() &&
                      cache.BitmapRect == bitmapRect && cache.BitmapBits == Bitmap.Bits() &&
                      cache.Content.Width() == ViewportWidth() && cache.Content.Height() == ViewportHeight();
    if (!same) {
        PaintContent(cache.Content, split);
        ++cache.Paints;
        cache.Valid = true;
        cache.Revision = Layers.ContentRevision();
        cache.Below = std::move(below);
        cache.ScrollX = FScrollX;
        cache.ScrollY = FScrollY;
        cache.ScaleX = Layers.ScaleX();
        cache.ScaleY = Layers.ScaleY();
        cache.ShiftX = Layers.ShiftX();
        cache.ShiftY = Layers.ShiftY();
        cache.BitmapRect = bitmapRect;
        cache.BitmapBits = Bitmap.Bits();
    }
    buffer.Assign(cache.Content);
    if (buffer.Empty()) return;
    Layers.BitmapRect = bitmapRect;
    PaintLayers(buffer, split, Layers.Count());
}

namespace {
unsigned ButtonFlag(TMouseButton b) {
    switch (b) {
    case TMouseButton::Left:
        return ssLeft;
    case TMouseButton::Right:
        return ssRight;
    case TMouseButton::Middle:
        return ssMiddle;
    }
    return 0;
}
} // namespace

void TImage32::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    FButtons |= ButtonFlag(button);
    TCustomLayer* layer = Layers.MouseListener ? Layers.MouseListener : Layers.LayerAt(x, y);
    if (layer && layer->CapturesMouse()) {
        Layers.MouseListener = layer;
        layer->MouseDown(button, shift, x, y);
    }
    // the layer may have been destroyed by its own handler; look it up again
    if (layer && Layers.IndexOf(layer) < 0) layer = nullptr;
    if (OnMouseDown) OnMouseDown(button, shift, x, y, layer);
}

void TImage32::MouseMove(TShiftState shift, int x, int y) {
    TCustomLayer* layer = Layers.MouseListener ? Layers.MouseListener : Layers.LayerAt(x, y);
    if (layer) layer->MouseMove(shift, x, y);
    if (layer && Layers.IndexOf(layer) < 0) layer = nullptr;
    if (OnMouseMove) OnMouseMove(shift, x, y, layer);
}

void TImage32::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FButtons &= ~ButtonFlag(button);
    TCustomLayer* layer = Layers.MouseListener ? Layers.MouseListener : Layers.LayerAt(x, y);
    if (layer) layer->MouseUp(button, shift, x, y);
    if (FButtons == 0) Layers.MouseListener = nullptr;
    if (layer && Layers.IndexOf(layer) < 0) layer = nullptr;
    if (OnMouseUp) OnMouseUp(button, shift, x, y, layer);
}

void TImage32::DblClick(int x, int y) {
    TCustomLayer* layer = Layers.MouseListener ? Layers.MouseListener : Layers.LayerAt(x, y);
    if (layer && layer->CapturesMouse()) layer->DblClick();
    if (OnDblClick) OnDblClick();
}

TCursorKind TImage32::CursorAt(int x, int y) const {
    const TCustomLayer* layer = Layers.MouseListener ? Layers.MouseListener : Layers.LayerAt(x, y);
    return layer ? layer->Cursor : TCursorKind::Default;
}
