#pragma once
// TImage32: the canvas control without its widget. It holds the canvas
// bitmap and the layer collection, knows the control's size and zoom, keeps
// the view mapping, paints the three stages into a buffer and routes pointer
// events to the layers. The widget only forwards events here and shows the
// buffer, so everything below can run headless.
//
// The control may be much larger than the part of it on screen (a page zoomed
// to 500 %). Only the viewport - the visible part, at a scroll offset - is
// painted, and view coordinates are viewport coordinates: pointer events,
// layer view rectangles and the paint buffer all share them.

#include <functional>
#include <vector>

#include "engine/Layers.h"

class TImage32 {
public:
    TImage32();

    TBitmap32 Bitmap; // the canvas bitmap (background)
    TLayerCollection Layers;

    // ---- Geometry ----
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetSize(int width, int height);
    float Scale() const { return FScale; }
    void SetScale(float scale);
    // The visible part of the control: offset and size. Until set, the whole
    // control is visible.
    void SetViewport(int scrollX, int scrollY, int width, int height);
    bool HasViewport() const { return FViewW >= 0; }
    int ViewportWidth() const { return FViewW < 0 ? FWidth : FViewW; }
    int ViewportHeight() const { return FViewH < 0 ? FHeight : FViewH; }
    int ScrollX() const { return FScrollX; }
    int ScrollY() const { return FScrollY; }
    // Call after the canvas bitmap changed size.
    void BitmapResized() { UpdateViewMapping(); }
    // The canvas bitmap's rectangle in view coordinates at the current
    // scale: (canvas size × Scale) rounded, centred in the control, less the
    // scroll offset.
    TRect GetBitmapRect() const;

    // ---- Painting ----
    // Stage 1; without a handler the buffer is filled with the control colour.
    std::function<void(TBitmap32& buffer)> OnPaintStage;
    TColor32 Color = 0xFF808080;
    // Sizes buffer to the viewport and paints: stage 1, the canvas bitmap
    // stretched into the bitmap rectangle (by its own draw mode), then every
    // visible layer bottom to top.
    void PaintTo(TBitmap32& buffer);
    // PaintTo for a handle drag: what lies under the overlay layers at the
    // top of the collection is kept in cache and only painted again when
    // something under them changed, the view moved or the layers were
    // restacked; the overlays are painted over a copy of it. Same pixels as
    // PaintTo.
    struct TContentCache {
        TBitmap32 Content;
        bool Valid = false;
        uint64_t Revision = 0;
        std::vector<const TCustomLayer*> Below;
        int ScrollX = 0, ScrollY = 0;
        float ScaleX = 0, ScaleY = 0, ShiftX = 0, ShiftY = 0;
        TRect BitmapRect;
        const TColor32* BitmapBits = nullptr;
        int Paints = 0; // how often the content was painted (for tests)
    };
    void PaintToCached(TBitmap32& buffer, TContentCache& cache);
    void PaintLayers(TBitmap32& buffer, int fromIndex, int toIndex);
    void PaintBackground(TBitmap32& buffer);

    // ---- Pointer ----
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DblClick(int x, int y);
    // The cursor for the pointer at (x, y): the pointer listener's, else the
    // layer's under it, else the default.
    TCursorKind CursorAt(int x, int y) const;

    std::function<void(TMouseButton, TShiftState, int, int, TCustomLayer*)> OnMouseDown;
    std::function<void(TShiftState, int, int, TCustomLayer*)> OnMouseMove;
    std::function<void(TMouseButton, TShiftState, int, int, TCustomLayer*)> OnMouseUp;
    std::function<void()> OnDblClick;

    // ---- Update bracket (of the layer collection) ----
    void BeginUpdate() { Layers.BeginUpdate(); }
    void EndUpdate() { Layers.EndUpdate(); }
    void Changed() { Layers.Changed(); }

private:
    void UpdateViewMapping();
    void PaintContent(TBitmap32& buffer, int toIndex);

    int FWidth = 0, FHeight = 0;
    float FScale = 1.0f;
    int FScrollX = 0, FScrollY = 0, FViewW = -1, FViewH = -1;
    unsigned FButtons = 0;
};
