#pragma once
// A full copy of a content layer, as history steps and the internal
// clipboard keep it. Pictures and fonts are copies owned by the snapshot.
// Strings are kept whole. FlipH and FlipV are not part of it: the copied
// Picture already shows the flip (text layers keep the flags themselves).

#include <memory>
#include <string>

#include "engine/NewRotLayer.h"

struct TLayerSnapshot {
    TFloatRect Location;
    bool Scaled = true;
    std::unique_ptr<TBitmap32> Picture;
    std::unique_ptr<TBitmap32> SubFramePicture, SubFrameMask;
    std::string SubFrameName;
    std::unique_ptr<TBitmap32> MaskPicture;
    std::string MaskName;
    bool ShadowOn = false;
    int32_t ShadowOffsetX = 35, ShadowOffsetY = 35, ShadowTransparent = 62, ShadowSmooth = 3;
    TColor32 ShadowColor = 0xFF000000;
    TRect ViewedRect;
    uint8_t ImageType = itPhoto;
    std::string Text, PlaceholderLine1, PlaceholderLine2, SourceFile;
    bool PictureEdited = false;
    float Angle = 0;
    std::unique_ptr<TLayerFont> Font;
    int32_t AALevel = 0;
    std::unique_ptr<TTextStyle> TextStyle;
    bool Locked = false; // only clipboard entries carry it
    // A text layer's mirror flags: its picture is drawn anew on every edit
    // and mirrored by them, so a text that comes back must keep them.
    bool TextFlipH = false, TextFlipV = false;
};

enum class TSnapshotUse {
    History,   // AALevel only with a font; Locked not taken
    Clipboard, // AALevel always; Locked taken
};

TLayerSnapshot CaptureLayer(const TNewRotLayer& layer, TSnapshotUse use);
// Puts a snapshot into a content layer in the order the layer's setters
// expect (picture, location, names, shadow, crop, kind, texts, angle, font,
// sub-frame, mask, text style).
void RestoreLayer(TNewRotLayer& layer, const TLayerSnapshot& snapshot, TSnapshotUse use);
