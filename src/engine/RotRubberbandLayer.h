#pragma once
// TRotRubberbandLayer: the selection handles of one content layer.
//
// An overlay layer above the content that draws the selection frame, eight
// square resize handles, a round rotation handle and (for photos) a picture
// handle, all in the frame of the content's rotation. Pointer drags on them
// change only this layer's own Location and Angle; the four callbacks tell
// the main window, which commits the result to the content layer at
// mouse-up. The handles never touch the content layer themselves.
//
// Coordinates: Location is in canvas pixels; pointer events and painting are
// in view pixels. With Scaled set the view box is Location scaled and shifted
// by the collection's view mapping.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/Drawing.h"
#include "engine/Layers.h"

class TNewRotLayer;

// What a press on the handles grabbed; the values are part of the interface
// with the main window.
enum class TDragState : int {
    None = 0,
    Move = 1,
    Rotate = 2,
    Pan = 3, // the picture handle: slide the photo inside its box
    Left = 4,
    Top = 5,
    Right = 6,
    Bottom = 7,
    TopLeft = 8,
    TopRight = 9,
    BottomLeft = 10,
    BottomRight = 11,
};

// Bits of HandleFlags.
using THandleFlags = uint16_t;
constexpr THandleFlags hfMoveArea = 1 << 0;
constexpr THandleFlags hfSideHandles = 1 << 1;
constexpr THandleFlags hfCornerHandles = 1 << 2;
constexpr THandleFlags hfFrame = 1 << 3; // dashed outline (on while dragging)
constexpr THandleFlags hfPictureHandle = 1 << 4;
constexpr THandleFlags hfNoLeft = 1 << 5;
constexpr THandleFlags hfNoRight = 1 << 6;
constexpr THandleFlags hfNoTop = 1 << 7;
constexpr THandleFlags hfNoBottom = 1 << 8;
constexpr THandleFlags hfNoTopLeft = 1 << 9;
constexpr THandleFlags hfNoTopRight = 1 << 10;
constexpr THandleFlags hfNoBottomLeft = 1 << 11;
constexpr THandleFlags hfNoBottomRight = 1 << 12;
constexpr THandleFlags hfDefault = hfMoveArea | hfSideHandles | hfCornerHandles | hfFrame; // 15

class TRotRubberbandLayer : public TCustomLayer {
public:
    bool IsOverlay() const override { return true; }
    using THandleMouseEvent = std::function<void(TRotRubberbandLayer* sender, TDragState state, int x, int y,
                                                 TShiftState shift, TMouseButton button)>;
    using THandleMouseMoveEvent =
        std::function<void(TRotRubberbandLayer* sender, TDragState state, int x, int y, TShiftState shift)>;
    using THandleNotifyEvent = std::function<void(TRotRubberbandLayer* sender)>;

    explicit TRotRubberbandLayer(TLayerCollection* owner);
    ~TRotRubberbandLayer() override;

    // ---- Settings ----
    bool Scaled = true; // follow the view mapping (zoom and scroll)
    std::array<TColor32, 4> FramePattern{0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000};
    double FrameStippleStep = 1.0;
    TColor32 HandleFrame = 0xFF000000;
    TColor32 HandleFill = 0xFFFFFFFF;
    int32_t HandleSize = 4;            // half the side of a square handle
    int32_t RotateHandleDistance = 20; // view pixels above the top edge
    int32_t RotateHandleRadius = 5;
    float MinWidth = 10.0f, MinHeight = 10.0f; // canvas pixels
    // Largest box; only applies while not below the minimum.
    float MaxWidth = 0.0f, MaxHeight = 0.0f;
    // Drawn unrotated at the box centre when hfPictureHandle is set; blended.
    TBitmap32 PictureHandle;

    // ---- Callbacks (installed by the main window) ----
    THandleMouseEvent OnHandleMouseDown;
    THandleMouseMoveEvent OnHandleMouseMove;
    THandleMouseEvent OnHandleMouseUp;
    THandleNotifyEvent OnHandleDblClick;

    // ---- State with change notification ----
    const TFloatRect& Location() const { return FLocation; }
    void SetLocation(const TFloatRect& r);
    float Angle() const { return FAngle; }
    // Brings the angle into [0, 360) and repaints.
    void SetAngle(float a);
    THandleFlags HandleFlags() const { return FHandleFlags; }
    // Repaints when the flags change.
    void SetHandleFlags(THandleFlags flags);
    TNewRotLayer* EditedLayer() const { return FEditedLayer; }
    void SetEditedLayer(TNewRotLayer* layer) { FEditedLayer = layer; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool locked);
    uint16_t RotateCursor() const { return FRotateCursor; }
    void SetRotateCursor(uint16_t cursor) { FRotateCursor = cursor; }

    // ---- Drag state ----
    bool IsDragging() const { return FIsDragging; }
    TDragState DragState() const { return FDragState; }
    const TFloatRect& OldLocation() const { return FOldLocation; }
    float OldAngle() const { return FOldAngle; }
    const TFloatPoint& GrabOffset() const { return FGrabOffset; }

    // ---- Geometry ----
    // A canvas rectangle in view coordinates (unchanged when not Scaled).
    TFloatRect LocationToView(const TFloatRect& r) const;
    // What a press at the view point would grab.
    TDragState GetDragState(int x, int y) const;
    // The resize cursor for a side or corner of a box rotated by angle.
    static TCursorKind ResizeCursor(TDragState state, float angle);

    // ---- Layer interface ----
    bool DoHitTest(int x, int y) override { return GetDragState(x, y) != TDragState::None; }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void Paint(TBitmap32& buffer) override;

private:
    void UpdateHoverCursor(int x, int y);
    // Move or resize towards the pointer; false when the view box is
    // degenerate and nothing can be derived from the pointer.
    bool DragTo(int x, int y);

    TFloatRect FLocation{};
    float FAngle = 0.0f;
    THandleFlags FHandleFlags = hfDefault;
    TNewRotLayer* FEditedLayer = nullptr; // not owned
    bool FLocked = false;
    uint16_t FRotateCursor = 0;

    bool FIsDragging = false;
    TDragState FDragState = TDragState::None;
    TFloatRect FOldLocation{};
    float FOldAngle = 0.0f;
    TFloatPoint FGrabOffset{};

    // Cleared on destruction, so that a callback that deletes this layer
    // does not make the caller touch freed memory afterwards.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
