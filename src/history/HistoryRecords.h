#pragma once
// The records of the history steps, one struct per kind of step. Position
// (in THistoryRecord) is the layer's index in the canvas collection when the
// step was recorded.

#include "history/LayerSnapshot.h"
#include "history/UnRedo.h"

// InsertLayers, DeleteLayers
struct TSnapshotRecord : THistoryRecord {
    TLayerSnapshot Snapshot;
};

// One side of a placement: where the layer was and how its text scaled.
struct TPlacementSide {
    TFloatRect Location;
    float Angle = 0;
    float TextScaleX = 1.0f, TextScaleY = 1.0f;
    uint8_t HorzAlign = 3, VertAlign = 3;
};

// PlaceLayers
struct TPlacementRecord : THistoryRecord {
    TPlacementSide After, Before;
};

// RaiseLayers, LowerLayers: the layer went from BeforePosition to Position.
struct TRestackRecord : THistoryRecord {
    int BeforePosition = -1;
};

// One side of a picture replacement. A side whose SourceFile names a file
// keeps no picture and reloads the file; a filter result keeps its picture
// (and the layer's SourceFile), so that undo and redo restore exactly the
// pixels before and after the filter. Neighbouring filter steps share the
// picture between them (the one after a filter is the one before the next).
struct TPictureSide {
    std::string SourceFile;
    TRect ViewedRect;
    THistoryPicture Picture;
    int32_t ImageType = itPhoto;
    bool PictureEdited = false; // the picture is not what SourceFile holds
};

// ReplacePicture
struct TPictureRecord : THistoryRecord {
    TPictureSide Before, After;
    void HeldPictures(std::vector<THistoryPicture>& out) const override {
        for (const TPictureSide* s : {&Before, &After})
            if (s->Picture) out.push_back(s->Picture);
    }
};

// SetMask, SetSubFrame: names relative to the Masks / Frames folder; empty
// = none.
struct TNameRecord : THistoryRecord {
    std::string Before, After;
};

// SetCrop
struct TCropRecord : THistoryRecord {
    TRect Before, After;
};

// FlipLayers
struct TFlipRecord : THistoryRecord {
    int32_t Axis = 0; // 0 horizontal, 1 vertical
};

struct TShadowSide {
    int32_t OffsetX = 35, OffsetY = 35, Transparent = 62, Smooth = 3;
    TColor Color = 0; // platform colour; applied as 32-bit ARGB
    bool On = false;
};

// SetShadow
struct TShadowRecord : THistoryRecord {
    TShadowSide After, Before;
};

// SetOpacity
struct TOpacityRecord : THistoryRecord {
    uint8_t Before = 255, After = 255;
};

struct TTextSide {
    std::unique_ptr<TBitmap32> Picture;
    TRect ViewedRect;
    TFloatRect Location;
    std::unique_ptr<TLayerFont> Font;
    int32_t AALevel = 0;
    std::string Text;
    bool Halation = false;
    TColor HalationColor = 0;
    int32_t HalationSize = 5;
    std::string TextureFile;
};

// ModifyText
struct TTextRecord : THistoryRecord {
    TTextSide After, Before;
};

// SetBorder: the border frame's SourceFile (relative to Frames); empty = no
// border frame.
struct TBorderRecord : THistoryRecord {
    std::string After, Before;
};
