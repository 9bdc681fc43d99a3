#pragma once
// The commands that change how a layer looks without touching the pixels of
// its picture: the crop (which part of the picture the box shows), the
// transparency of the selected layers and their drop shadows.
//
// The transparency and shadow windows work live: every movement of a
// control changes the layers at once. What they changed is kept in
// snapshots that name each layer by its serial number, so a layer deleted
// meanwhile is skipped and never mistaken for the layer that took its place
// in the collection.

#include <cstdint>
#include <vector>

#include "engine/Types.h"

class TCanvasEditor;
class TNewRotLayer;

// ---- Crop ----

// The layer the crop dialog works on: the one under the shortcut menu's
// point (view coordinates) when the command came from there, otherwise, or
// when there is none, the topmost selected layer. None: no dialog.
TNewRotLayer* CropTarget(TCanvasEditor& ed, const TPoint* popupPoint);
// "C&ut" in the crop dialog: the layer shows rect of its picture (which may
// reach past the picture) in the same box. One SetCrop step.
void ApplyCrop(TCanvasEditor& ed, TNewRotLayer& layer, const TRect& rect);

// ---- Transparency ----

// Transparency in percent (0 opaque .. 100 invisible) and master alpha.
int TransparencyOfAlpha(int alpha);
uint8_t AlphaOfTransparency(int transparency);

// Every selected layer that is not locked takes the transparency, and the
// canvas shows it at once. Records nothing.
void ApplyTransparency(TCanvasEditor& ed, int transparency);

struct TOpacitySnapshot {
    uint64_t Serial = 0;
    uint8_t Alpha = 255;
};
// The master alpha of every selected layer (taken when the track bar is
// pressed).
std::vector<TOpacitySnapshot> TakeOpacitySnapshots(TCanvasEditor& ed);
// One SetOpacity step with a record per snapshot whose layer is still there
// (before: the snapshot, after: the layer's alpha now).
void RecordOpacityStep(TCanvasEditor& ed, const std::vector<TOpacitySnapshot>& snapshots);

// ---- Shadow ----

// The six shadow settings of a layer; the colour is a platform colour.
struct TShadowValues {
    int32_t OffsetX = 35, OffsetY = 35, Opacity = 62, Smoothness = 3;
    TColor Color = 0;
    bool On = false;
    bool operator==(const TShadowValues&) const = default;
};
TShadowValues ShadowValuesOf(const TNewRotLayer& layer);

// The shadow dialog's work on the selected layers, from opening to Apply or
// Cancel. Opening takes a snapshot of every selected layer; each Set...
// changes every snapshot layer still there at once, inside one canvas
// update. Apply records one SetShadow step; Cancel -- and destruction
// without Apply -- puts every snapshot back, locked or not.
class TShadowSession {
public:
    explicit TShadowSession(TCanvasEditor& ed);
    ~TShadowSession();
    TShadowSession(const TShadowSession&) = delete;
    TShadowSession& operator=(const TShadowSession&) = delete;

    // Nothing selected: the dialog is not shown.
    bool Empty() const { return FSnapshots.empty(); }
    // What the dialog shows first: the topmost selected layer's settings.
    const TShadowValues& Initial() const { return FInitial; }

    // Gives every selected layer the topmost layer's offsets, opacity and
    // smoothness, and the shadow switched as the topmost layer has it on
    // every unlocked one.
    void Begin();
    void SetOffsetX(int value);
    void SetOffsetY(int value);
    void SetOpacity(int value);
    void SetSmoothness(int value);
    void SetColor(TColor color);
    // "Set Shadow": the shadow on or off on every unlocked layer.
    void SetShadowShown(bool on);
    void Apply();
    void Cancel();

private:
    struct TSnapshot {
        uint64_t Serial = 0;
        TShadowValues Values;
        uint32_t Color32 = 0; // the layer's own colour, restored as it was
    };
    template <class F> void ForEachLayer(bool unlockedOnly, F change);
    TCanvasEditor& FEd;
    std::vector<TSnapshot> FSnapshots;
    TShadowValues FInitial, FCurrent;
    bool FDone = false;
};

// "&Del Shadow": the shadow off on every selected, unlocked layer. One
// SetShadow step when any shadow went off.
void MenuDelShadowClick(TCanvasEditor& ed);
