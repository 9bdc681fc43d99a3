#pragma once
// TCanvasEditor: the main window's operations on the canvas, without the
// window. Selection (SelectLayer, DeselectAll, LayerAtPoint, ...), the
// pointer gestures (click to select, drag-select, the commits of handle
// drags, double-click replacement, drop-target outlines), the photo content
// zoom and the history commands. What only a window can do (outlines on
// screen, the text panel, focus) goes through TCanvasHost.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "document/CollageDocument.h"
#include "engine/RotRubberbandLayer.h"
#include "history/HistoryRecords.h"

class TCanvasHost {
public:
    virtual ~TCanvasHost() = default;
    // Rubber outlines drawn with an XOR pen: drawing the same one twice
    // erases it. Points in view coordinates.
    virtual void ToggleOutline(const std::vector<TPoint>& polygon, int penWidth) {
        (void)polygon, (void)penWidth;
    }
    virtual void FocusCanvas() {}
    // A text layer was picked: its text, font and style go to the text panel.
    virtual void TextLayerPicked(TNewRotLayer& layer) { (void)layer; }
    // A photo was picked (filter preview and transparency window follow it).
    virtual void PhotoPicked(TNewRotLayer& layer) { (void)layer; }
    // A layer was picked with the transparency window open.
    virtual void LayerPicked(TNewRotLayer& layer) { (void)layer; }
    // Show text alignments in the text panel's position boxes (3 = custom).
    virtual void ShowTextAlignment(int horz, int vert) { (void)horz, (void)vert; }
    // After undo/redo replaced pictures: refresh the filter pages.
    virtual void PicturesReplaced() {}
};

class TCanvasEditor {
public:
    explicit TCanvasEditor(TCollageDocument& doc);

    TCollageDocument& Doc;
    TCanvasHost* Host = nullptr;

    // ---- Selection ----
    void SelectLayer(TNewRotLayer* layer);
    bool PreparePictureHandle(TRotRubberbandLayer* handles);
    void DeselectAll();
    // Topmost content layer under the view point whose kind matches (-1 any).
    TNewRotLayer* LayerAtPoint(int x, int y, int kind = -1) const;
    // The content layer of the topmost handles layer whose layer has that
    // kind (-1 any).
    TNewRotLayer* TopmostSelectedLayer(int kind = -1) const;
    void SelectIntersecting(const TRect& viewRect);
    // The selected content layers, bottom first (in the order of their
    // handles layers).
    std::vector<TNewRotLayer*> SelectedLayers() const;
    // The handles layers, bottom first.
    std::vector<TRotRubberbandLayer*> HandlesLayers() const;

    // ---- Pointer gestures on the canvas ----
    void ImageScreenMouseDown(TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer);
    void ImageScreenMouseMove(TShiftState shift, int x, int y);
    void ImageScreenMouseUp(TMouseButton button, TShiftState shift, int x, int y);

    void HandleMouseDown(TRotRubberbandLayer* handles, TDragState state, int x, int y, TShiftState shift,
                         TMouseButton button);
    void HandleMouseMove(TRotRubberbandLayer* handles, TDragState state, int x, int y, TShiftState shift);
    void HandleMouseUp(TRotRubberbandLayer* handles, TDragState state, int x, int y, TShiftState shift,
                       TMouseButton button);
    void HandleDblClick(TRotRubberbandLayer* handles);

    // ---- Drag and drop of thumbnails ----
    // ActivePanel: 0 photo import, 2 text, 4 border, 5 mask, -1 output.
    int ActivePanel = 0;
    TNewRotLayer* DropTargetLayer = nullptr;
    void CanvasDragOver(int x, int y);
    // Erases the drop-target outline (drop or drag leaving the canvas); the
    // target stays known to the thumbnail list's end-of-drag handler.
    void CanvasDragEnded();
    std::vector<TPoint> DragSelectBox(const TNewRotLayer& layer) const;

    // ---- Zoom ----
    void SpeedButtonZoomInClick();
    void SpeedButtonZoomOutClick();
    void TrackBarScaleMouseDown();
    // Rebuilds every layer's screen cache; progress(i, count) after each.
    void TrackBarScaleMouseUp(const std::function<void(int, int)>& progress = {});

    // ---- History ----
    // Opens a step: push, write the kind, Undo on, Redo off.
    THistoryEntry& OpenStep(THistoryKind kind);
    void MenuUnDoClick();
    void MenuReDoClick();

    // Forgets every gesture and drop target: the layers they named are gone
    // (a project or template replaced the collage).
    void ResetGestures();

    // ---- Gesture state ----
    bool SelectBoxActive = false;
    TPoint DownPoint, LastPoint;
    bool HandleDragActive = false;
    TRotRubberbandLayer* DragHandles = nullptr;
    TFloatRect DragStartLocation;
    TPoint DragStartPoint;
    TRect DragStartCrop;

    // The run of arrow-key nudges going on: the layers it moves and the
    // history revision after its last nudge. A nudge of the same layers with
    // nothing recorded, undone or redone since extends the run's step.
    struct TNudgeRun {
        uint64_t Revision = 0;
        std::vector<const TNewRotLayer*> Layers;
    };
    TNudgeRun NudgeRun;

    // The picture dialog's folder (starts at the library's Photos folder).
    std::string PictureDialogFolder;

    // Index of a layer in the collection (-1 when gone).
    int PositionOf(const TCustomLayer* layer) const { return Doc.Layers().IndexOf(layer); }

private:
    void InstallCallbacks(TRotRubberbandLayer* handles);
    void ToggleSelectBox();
    void ToggleDropOutline(const TNewRotLayer& layer);
    void CommitPlacement(TRotRubberbandLayer* handles, TDragState state);
    void ApplyCropZoom(TNewRotLayer& layer, const TRect& crop);
    void ApplyStep(THistoryEntry& step, bool undo);

    TBitmap32 FCursorPicture;
    bool FCursorPictureLoaded = false;
};

// The text fields a placement record carries, from the layer's text style or
// their defaults.
TPlacementSide PlacementOf(const TNewRotLayer& layer);
