#pragma once
// Layers of the canvas and their ordered collection.
//
// The collection keeps its layers bottom first (index 0 is drawn first). It
// carries what layers need from the canvas view: the view mapping (scale and
// shift, the scale in 16.16 fixed point), the change notification and the
// nesting update bracket that suppresses repaints until the outermost
// EndUpdate.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Bitmap32.h"

class TLayerCollection;

enum class TMouseButton { Left, Right, Middle };

// Modifier keys and buttons held during a pointer event.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssCtrl = 2,
    ssAlt = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

// Cursors the canvas can show; the window side maps them to real cursors.
enum class TCursorKind {
    Default,
    SizeWE,   // west-east
    SizeNESW, // north-east / south-west
    SizeNS,   // north-south
    SizeNWSE, // north-west / south-east
    SizeAll,  // four-way move
    Rotate,   // the custom rotation cursor (number 101)
};
constexpr int crRotate = 101;

enum TLayerOption : unsigned {
    loVisible = 1,
    loMouseEvents = 2,
    loCapture = 4, // becomes the pointer listener when pressed
};

class TCustomLayer {
public:
    explicit TCustomLayer(TLayerCollection* owner);
    virtual ~TCustomLayer() = default;
    TCustomLayer(const TCustomLayer&) = delete;
    TCustomLayer& operator=(const TCustomLayer&) = delete;

    TLayerCollection* LayerCollection() const { return FOwner; }
    // A number no other layer of the run has had: it tells a layer that was
    // deleted (and another created, maybe at the same address) from one that
    // is still there.
    uint64_t Serial() const { return FSerial; }
    int Index() const;
    // Moves the layer to another position in its collection.
    void SetIndex(int index);

    unsigned LayerOptions = loVisible | loMouseEvents;
    bool Visible() const { return LayerOptions & loVisible; }
    bool ReceivesMouse() const { return LayerOptions & loMouseEvents; }
    bool CapturesMouse() const { return LayerOptions & loCapture; }

    virtual void Paint(TBitmap32& buffer) { (void)buffer; }
    virtual bool DoHitTest(int x, int y) {
        (void)x, (void)y;
        return false;
    }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();

    // The cursor to show while the pointer is over this layer.
    TCursorKind Cursor = TCursorKind::Default;

    // Layers drawn over the collage rather than part of it (the selection
    // handles): when only they change, what lies below them is unchanged.
    virtual bool IsOverlay() const { return false; }

    // Signal that the layer is about to change (kept for symmetry with
    // Changed; nothing listens to it yet).
    void Changing() {}
    // Ask the collection to repaint; deferred while inside this layer's own
    // update bracket or the collection's.
    void Changed();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

private:
    TLayerCollection* FOwner;
    const uint64_t FSerial;
    int FUpdateCount = 0;
    bool FChangedWhileUpdating = false;
};

class TLayerCollection {
public:
    TLayerCollection() = default;
    TLayerCollection(const TLayerCollection&) = delete;
    TLayerCollection& operator=(const TLayerCollection&) = delete;

    int Count() const { return int(FItems.size()); }
    TCustomLayer* Items(int index) const { return FItems[size_t(index)].get(); }
    int IndexOf(const TCustomLayer* layer) const;
    // Index of the layer with that serial number, -1 when it is gone.
    int IndexOfSerial(uint64_t serial) const;

    // Creates a layer at the top of the collection.
    template <class T, class... Args> T* Add(Args&&... args) {
        auto layer = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = layer.get();
        Insert(Count(), std::move(layer));
        return raw;
    }
    void Insert(int index, std::unique_ptr<TCustomLayer> layer);
    // Moves the layer at from to position to (the others keep their order).
    void Move(int from, int to);
    // Destroys the layer at index.
    void Delete(int index);
    // Takes the layer out of the collection without destroying it.
    std::unique_ptr<TCustomLayer> Extract(int index);
    void Clear();

    // ---- View mapping ----
    // Scale in 16.16 fixed point and the shift of the canvas origin in the
    // control. Layers with Scaled set map canvas to view through these.
    void SetViewMapping(int64_t scaleX16, int64_t scaleY16, float shiftX, float shiftY);
    float ScaleX() const { return float(FScaleX16) / 65536.0f; }
    float ScaleY() const { return float(FScaleY16) / 65536.0f; }
    float ShiftX() const { return FShiftX; }
    float ShiftY() const { return FShiftY; }
    // The canvas bitmap's rectangle in control coordinates, kept up to date
    // by the canvas control; content layers clip their painting to it. Unset
    // while the collection belongs to no canvas.
    std::optional<TRect> BitmapRect;
    // The visible part of the control in view coordinates, kept by the canvas
    // control: a layer whose screen caches would be too large for memory
    // keeps only what this shows. Unset while the collection belongs to no
    // canvas.
    std::optional<TRect> ViewportRect;
    // True while the canvas paints every layer bottom to top into one buffer
    // (TImage32::PaintTo). Layers may then leave out pixels that a layer
    // above them replaces outright.
    bool PaintingAllLayers = false;

    // ---- Update bracket and change notification ----
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }
    // Ask for a repaint. source is the layer that changed; none means the
    // collection itself (layers added, removed, restacked, the view moved).
    void Changed(const TCustomLayer* source = nullptr);
    std::function<void()> OnChange;
    // Counts the changes of anything but overlay layers, so a painter can
    // tell whether what lies under the overlays must be painted again.
    uint64_t ContentRevision() const { return FContentRevision; }

    // The layer that holds the pointer while a button is down (handles).
    TCustomLayer* MouseListener = nullptr;

    // Topmost layer that receives pointer events and whose hit test at the
    // view point succeeds.
    TCustomLayer* LayerAt(int x, int y) const;

private:
    std::vector<std::unique_ptr<TCustomLayer>> FItems;
    int64_t FScaleX16 = 65536, FScaleY16 = 65536;
    float FShiftX = 0, FShiftY = 0;
    int FUpdateCount = 0;
    bool FChangedWhileUpdating = false;
    uint64_t FContentRevision = 0;
    void Notify();
};

// Scoped update bracket: BeginUpdate now, EndUpdate on every way out.
template <class T> class TUpdateScope {
public:
    explicit TUpdateScope(T& target) : FTarget(&target) { FTarget->BeginUpdate(); }
    ~TUpdateScope() { FTarget->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    T* FTarget;
};
