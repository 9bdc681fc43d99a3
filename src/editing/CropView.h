#pragma once
// The picture view of the crop dialog, without the window: the whole picture
// at full resolution under a dark veil, and a rubber band the user moves and
// resizes over it. The part of the picture inside the band shows clear.
//
// The veil is a surface of the picture's size, black at alpha 220, with the
// chosen part at alpha 0. When the band moves only the pixels whose state
// changes are written (the band's old and new rectangles differ in a few
// rows and columns), so a move costs little however large the picture is.

#include "engine/Image32.h"
#include "engine/RubberbandLayer.h"

// The veil over the picture: drawn stretched onto the picture's place in the
// view.
class TCropVeilLayer : public TCustomLayer {
public:
    explicit TCropVeilLayer(TLayerCollection* owner);
    TBitmap32 Veil;
    void Paint(TBitmap32& buffer) override;
};

class TCropView {
public:
    static constexpr uint8_t kVeilAlpha = 220;
    static constexpr int kMinZoom = 3, kMaxZoom = 200;

    TCropView();

    // The view, its picture (a copy of the layer's), the veil and the band.
    TImage32 Screen;
    TCropVeilLayer* VeilLayer = nullptr;
    TRubberbandLayer* Band = nullptr;

    // Shows a copy of picture with the band at the crop rectangle viewed,
    // in a view area of the given size (the scroll box's less 8); sets the
    // starting zoom.
    void Open(const TBitmap32& picture, const TRect& viewed, int viewWidth, int viewHeight);
    // The zoom at which the picture fits the view area less a margin of 20
    // (100 when it fits as it is).
    static int FitZoom(int pictureWidth, int pictureHeight, int viewWidth, int viewHeight);
    int ResetZoom() const { return FResetZoom; }
    int Zoom() const { return FZoom; }
    // A zoom position: the picture scaled by position / 100 and the control
    // at least the size of the view area.
    void SetZoom(int position);
    // The view area changed size (the dialog was resized).
    void SetViewSize(int width, int height);

    // The band rounded to whole picture pixels (not limited to the picture).
    TRect CutRect() const;
    // Brings the veil in line with the band: clear inside the band's part
    // of the picture, dark elsewhere.
    void UpdateVeil();
    // The veil's clear part.
    const TRect& ClearRect() const { return FClear; }

private:
    int FZoom = 100, FResetZoom = 100;
    int FViewW = 0, FViewH = 0;
    TRect FClear;
};
