#pragma once
// The collage document: page settings, the canvas (bitmap and layers), the
// border frame, the project identity and the history. The main window owns
// one; commands receive it. Nothing here knows about widgets: the window
// observes the document through TDocumentObserver.

#include <string>

#include "document/CollageSettings.h"
#include "engine/Image32.h"
#include "engine/NewRotLayer.h"
#include "history/UnRedo.h"

class TDocumentObserver {
public:
    virtual ~TDocumentObserver() = default;
    // The size label, saved label or caption changed.
    virtual void DocumentStateChanged() {}
    // The page asks for this zoom (percent); the zoom track bar takes it and
    // applies it through TCollageDocument::SetZoom.
    virtual void RequestZoom(int percent) { (void)percent; }
    // The control size changed (zoom or page size).
    virtual void CanvasGeometryChanged() {}
    // The Undo and Redo controls are to be enabled or disabled.
    virtual void UndoRedoEnabled(bool undo, bool redo) { (void)undo, (void)redo; }
};

// What the caption shows after the product name and version.
enum class TCaptionTitle { None, Untitled, Project };

class TCollageDocument {
public:
    TCollageDocument();

    TCollageSettings CollageSettings;
    TImage32 ImageScreen; // canvas bitmap + layer collection
    TDocumentObserver* Observer = nullptr;
    // The border frame over the whole page, or none; it lies above every
    // content layer and below every selection-handles layer.
    TNewRotLayer* BorderLayer = nullptr;
    TUnReDo UndoHistory;

    // ---- Layers ----
    TLayerCollection& Layers() { return ImageScreen.Layers; }
    // The content layer at index, or nullptr for a handles layer or an index
    // outside the collection.
    TNewRotLayer* ContentLayerAt(int index) const;
    int LayerCount() const { return ImageScreen.Layers.Count(); }
    // Moves a selected layer's handles to its Location and Angle.
    void SyncHandles(TNewRotLayer& layer);
    // Gives every photo placeholder the two prompt lines of the current
    // language and repaints; true when there was any.
    bool RelabelPlaceholders();

    // ---- Project identity ----
    std::string ProjectFile;
    bool Modified = false;
    std::string CaptionBase;
    TCaptionTitle CaptionTitle = TCaptionTitle::None;
    void SetModified(bool value);
    // The enabled state of the Undo and Redo controls.
    void EnableUndo(bool on);
    void EnableRedo(bool on);
    bool UndoEnabled = false, RedoEnabled = false;
    std::string Caption() const;
    std::string SizeLabel() const;
    std::string SavedLabel() const;

    // ---- Page ----
    // Size of the scroll box around the canvas control (its client area).
    void SetScrollBoxSize(int width, int height);
    int ScrollBoxWidth() const { return FScrollBoxWidth; }
    int ScrollBoxHeight() const { return FScrollBoxHeight; }
    // Sizes the canvas bitmap for the page, paints its background and asks
    // for the fitting zoom. A background picture that cannot be loaded leaves
    // the canvas white and the zoom as it was.
    void ApplyCanvasSettings();
    // Scales every content layer from the old to the new canvas size.
    void AdjustAllLayer(int oldWidth, int oldHeight, int newWidth, int newHeight);
    // The whole collage at canvas resolution: background, then every content
    // layer bottom to top. Returns false when a layer failed to draw (the
    // layers above it are then missing from the target); failure then names
    // the layer and says why.
    bool RenderCollage(TBitmap32& target, std::string* failure = nullptr);
    // How a message names a layer: its file, its text, or its place.
    std::string LayerName(const TNewRotLayer& layer) const;

    // ---- Zoom ----
    int ZoomPercent() const { return FZoom; }
    // Applies a zoom position of the track bar: Scale := percent / 100, the
    // control sized to cover the scroll box, and the view scrolled so that
    // the page point at its centre stays there.
    void SetZoom(int percent);
    // The same keeping the page point under the view point (x, y) in place
    // (the pointer, for zooming with the wheel).
    void SetZoomAt(int percent, int x, int y);
    // View pixels kept around the page in the control, so that the handles
    // of a layer at the page's edge (the rotation handle above it included)
    // can always be reached.
    static constexpr int kPageMargin = 32;

    // The first paint stage of the canvas: grey surround, checkerboard of a
    // transparent page, blue outline.
    void PaintBackgroundStage(TBitmap32& buffer) const;

private:
    void UpdateControlSize(bool notify = true);
    void Notify();

    int FScrollBoxWidth = 800, FScrollBoxHeight = 600;
    int FZoom = 100;
};

// Product name and version shown in the caption; the version is also written
// into project files.
inline constexpr const char* kProductName = "Velmora";
inline constexpr const char* kVersion = "2011.5.02";
