#pragma once
// TRubberbandLayer: a plain, unrotated rubber band -- a dashed rectangle with
// eight square sizing handles that the user moves and resizes with the
// pointer. Unlike the selection handles it changes its own Location as the
// pointer moves (sides and corners move freely, without keeping the
// proportions) and reports every change through OnResizing.
//
// Location is in the collection's canvas coordinates; with Scaled set it
// follows the view mapping, so pointer events and painting are in view
// pixels.

#include <functional>

#include "engine/Layers.h"
#include "engine/RotRubberbandLayer.h"

class TRubberbandLayer : public TCustomLayer {
public:
    explicit TRubberbandLayer(TLayerCollection* owner);
    bool IsOverlay() const override { return true; }

    bool Scaled = true;
    int32_t HandleSize = 3; // half the side of a handle square, view pixels
    TColor32 HandleFill = 0xFFFFFFFF, HandleFrame = 0xFF000000;
    float MinWidth = 1.0f, MinHeight = 1.0f; // canvas pixels

    const TFloatRect& Location() const { return FLocation; }
    void SetLocation(const TFloatRect& r);
    // After every change the pointer made (not after SetLocation).
    std::function<void(TRubberbandLayer*)> OnResizing;

    TFloatRect LocationToView(const TFloatRect& r) const;
    // What a press at the view point grabs: a side, a corner, the inside
    // (Move) or nothing.
    TDragState GetDragState(int x, int y) const;
    bool IsDragging() const { return FDragState != TDragState::None; }

    bool DoHitTest(int x, int y) override { return GetDragState(x, y) != TDragState::None; }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint(TBitmap32& buffer) override;

private:
    TFloatRect FLocation{};
    TDragState FDragState = TDragState::None;
    TFloatRect FOldLocation{};
    TPoint FDownPoint;
};
