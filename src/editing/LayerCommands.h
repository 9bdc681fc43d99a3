#pragma once
// Commands on the selected layers as objects: flips, the quarter turn, the
// four stacking commands, delete, select all, copy, cut and paste through
// the program's own clipboard, the arrow-key nudge, and the rule for what
// the canvas shortcut menu offers.

#include <memory>
#include <vector>

#include "history/LayerSnapshot.h"

class TCanvasEditor;

// The internal clipboard: copies of layers, lowest first. It lives only in
// memory, apart from the system clipboard, and survives new projects.
struct TLayerClipboard {
    std::vector<TLayerSnapshot> Entries;
    bool Empty() const { return Entries.empty(); }
    void Clear() { Entries.clear(); }
};

void SpeedButtonFlipHClick(TCanvasEditor& ed);
void SpeedButtonFlipVClick(TCanvasEditor& ed);
void PMenuRotate90Click(TCanvasEditor& ed);
void MenuSendtoFrontClick(TCanvasEditor& ed);
void MenuSendtoBackClick(TCanvasEditor& ed);
void MenuLayerTopClick(TCanvasEditor& ed);
void MenuLayerBottomClick(TCanvasEditor& ed);
void MenuDeleteClick(TCanvasEditor& ed);
void MenuSelectAllClick(TCanvasEditor& ed);
void MenuCopyClick(TCanvasEditor& ed, TLayerClipboard& clipboard);
void MenuCutClick(TCanvasEditor& ed, TLayerClipboard& clipboard);
void MenuPasteClick(TCanvasEditor& ed, const TLayerClipboard& clipboard);
// dx, dy: one of (-1, 0), (1, 0), (0, -1), (0, 1), in page pixels. Moves
// every selected layer, locked ones included, without touching its crop or
// shadow, and marks the collage modified. A run of nudges of the same
// selection with nothing else recorded in between is one PlaceLayers step.
void NudgeSelection(TCanvasEditor& ed, int dx, int dy);

// Which items the shortcut menu shows, by the selection and the layer
// under the pointer (view coordinates).
struct TPopupItems {
    bool Cut = false, Copy = false, Paste = false, SetShadow = false, DelShadow = false, Crop = false,
         Rotate90 = false, FlipH = false, FlipV = false, Delete = false, Layer = false, DelMask = false,
         DelFrame = false, DelFilter = false, ChangePhoto = false, DelBorder = false;
    bool operator==(const TPopupItems&) const = default;
};
TPopupItems PopupMenuMainPopup(TCanvasEditor& ed, const TLayerClipboard& clipboard, int x, int y);
