#pragma once
// The thirteen picture filters. Each rewrites one picture in place: a
// photo's source picture when a filter is applied, or a small copy of it for
// the filter browser's thumbnails and preview. The filters know nothing of
// layers, history or widgets.
//
// Blue, green and red change; alpha stays unless a filter says otherwise. A
// picture of zero width or height is left as it is by every filter.

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/Bitmap32.h"

// The parameter block every filter takes. values[0] is a switch: 0.0 makes
// the filter use its built-in defaults (the thumbnails do that); any other
// value (the callers pass -1.0) makes it read values[1..3].
struct FilterParams {
    float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

using FilterProc = void (*)(TBitmap32& picture, const FilterParams& params);

// Y = Round(0.3 R + 0.59 G + 0.11 B) into all three channels.
void GrayFilter(TBitmap32& picture, const FilterParams& params);
// Brightness b = Round(values[1]), contrast c = values[2] (defaults 50, 1.0):
// v := Clamp(Round(v c + Round(b - 127 c + 127))).
void BrightnessContrastFilter(TBitmap32& picture, const FilterParams& params);
// Gray, then each pixel minus its upper-left neighbour, around 128.
void CarveFilter(TBitmap32& picture, const FilterParams& params);
// Gray, then each pixel minus its lower-left neighbour, around 128.
void RelievoFilter(TBitmap32& picture, const FilterParams& params);
// Colours moved at random by up to q = Round(values[1]) pixels (default 2);
// the random generator is seeded from the clock, so runs differ.
void CanvasFilter(TBitmap32& picture, const FilterParams& params);
// Per-channel histogram equalization.
void EqualizationFilter(TBitmap32& picture, const FilterParams& params);
// Blocks of n = Round(values[1]) pixels (default 4) take their top-left pixel.
void MosaicFilter(TBitmap32& picture, const FilterParams& params);
// As Relievo with the absolute difference: 128 .. 255.
void LineFilter(TBitmap32& picture, const FilterParams& params);
// Pencil sketch by colour dodge; gray first unless Round(values[1]) is 0.
void SketchFilter(TBitmap32& picture, const FilterParams& params);
// Brightness 0, contrast -1: v := Clamp(254 - v).
void InverseFilter(TBitmap32& picture, const FilterParams& params);
// k = Round(values[1]) blur passes (default 2) at distances k, k-1, ..., 1.
void BlurFilter(TBitmap32& picture, const FilterParams& params);
// Saturation factor s = Round(values[1]) in 256ths (default 80).
void SaturationFilter(TBitmap32& picture, const FilterParams& params);
// Channels scaled by Round(values[1..3]) / 255 (defaults 255, 255, 255).
void ColorMatrixFilter(TBitmap32& picture, const FilterParams& params);

// The filters in the order the filter browser lists them; the names are
// the language keys of their captions.
struct TFilterInfo {
    std::string_view Name;
    FilterProc Proc;
};
constexpr int kFilterCount = 13;
const std::array<TFilterInfo, kFilterCount>& FilterTable();

// Indexes into the table.
enum TFilterIndex : int {
    fiGray = 0,
    fiBrightnessContrast = 1,
    fiCarve = 2,
    fiRelievo = 3,
    fiCanvas = 4,
    fiEqualization = 5,
    fiMosaic = 6,
    fiLine = 7,
    fiSketch = 8,
    fiInverse = 9,
    fiBlur = 10,
    fiSaturation = 11,
    fiColorMatrix = 12,
};
