#include "filters/BmpFilter.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "filters/FilterKernels.h"

// Defined beside the vector routines: the tables this machine can run,
// slowest first (none on machines without them).
std::vector<const TFilterKernels*> VectorFilterKernels();

namespace {

const std::vector<const TFilterKernels*>& Variants() {
    static const std::vector<const TFilterKernels*> v = [] {
        std::vector<const TFilterKernels*> list{&ScalarFilterKernels()};
        for (const TFilterKernels* k : VectorFilterKernels()) list.push_back(k);
        return list;
    }();
    return v;
}

bool On(const FilterParams& p) {
    return p.values[0] != 0.0f;
}
int Param(const FilterParams& p, int i, int def) {
    return On(p) ? Round(p.values[i]) : def;
}

void Blur(const TFilterKernels& k, TBitmap32& picture, int passes) {
    for (int d = passes; d >= 1; --d) k.BlurPass(picture, d);
}

void Sketch(const TFilterKernels& k, TBitmap32& picture, bool grayStep) {
    if (grayStep) k.Gray(picture);
    TBitmap32 copy;
    copy.Assign(picture);
    k.BrightnessContrast(copy, 0, -1.0); // the inverse
    Blur(k, copy, 3);
    k.DodgeCombine(picture, copy);
}

uint64_t ClockSeed() {
    return uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace

const TFilterKernels& FilterKernels() {
    static const TFilterKernels& k = []() -> const TFilterKernels& {
        const char* forced = std::getenv("VELMORA_SCALAR");
        if (forced && *forced && std::strcmp(forced, "0") != 0) return ScalarFilterKernels();
        return *Variants().back();
    }();
    return k;
}

int FilterKernelVariantCount() {
    return int(Variants().size());
}
const TFilterKernels& FilterKernelVariant(int index) {
    return *Variants()[size_t(index)];
}

void EqualizationTables(const uint64_t (&histogram)[3][256], uint64_t pixels, uint8_t (&lut)[3][256]) {
    for (int c = 0; c < 3; ++c) {
        uint64_t cumulative = 0;
        for (int i = 0; i < 256; ++i) {
            cumulative += histogram[c][i];
            lut[c][i] = Clamp255(Round(double(cumulative) * 255.0 / double(pixels)));
        }
    }
}

void RunFilter(const TFilterKernels& k, int index, TBitmap32& picture, const FilterParams& p, uint64_t seed) {
    if (picture.Empty()) return;
    switch (index) {
    case fiGray:
        k.Gray(picture);
        break;
    case fiBrightnessContrast:
        k.BrightnessContrast(picture, Param(p, 1, 50), On(p) ? double(p.values[2]) : 1.0);
        break;
    case fiCarve:
        k.Emboss(picture, TEmboss::Carve);
        break;
    case fiRelievo:
        k.Emboss(picture, TEmboss::Relievo);
        break;
    // the range stays within the 50 rows each side that the source window
    // of the canvas filter covers
    case fiCanvas:
        k.Canvas(picture, std::clamp(Param(p, 1, 2), 0, 50), seed);
        break;
    case fiEqualization:
        k.Equalization(picture);
        break;
    case fiMosaic:
        k.Mosaic(picture, std::max(1, Param(p, 1, 4)));
        break;
    case fiLine:
        k.Emboss(picture, TEmboss::Line);
        break;
    case fiSketch:
        Sketch(k, picture, Param(p, 1, 1) != 0);
        break;
    case fiInverse:
        k.BrightnessContrast(picture, 0, -1.0);
        break;
    case fiBlur:
        Blur(k, picture, Param(p, 1, 2));
        break;
    case fiSaturation:
        k.Saturation(picture, std::max(0, Param(p, 1, 80)));
        break;
    case fiColorMatrix:
        k.ColorMatrix(picture, Param(p, 1, 255), Param(p, 2, 255), Param(p, 3, 255));
        break;
    default:
        break;
    }
}

namespace {
template <int Index> void Public(TBitmap32& picture, const FilterParams& params) {
    RunFilter(FilterKernels(), Index, picture, params, Index == fiCanvas ? ClockSeed() : 0);
}
} // namespace

void GrayFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiGray>(p, f);
}
void BrightnessContrastFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiBrightnessContrast>(p, f);
}
void CarveFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiCarve>(p, f);
}
void RelievoFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiRelievo>(p, f);
}
void CanvasFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiCanvas>(p, f);
}
void EqualizationFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiEqualization>(p, f);
}
void MosaicFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiMosaic>(p, f);
}
void LineFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiLine>(p, f);
}
void SketchFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiSketch>(p, f);
}
void InverseFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiInverse>(p, f);
}
void BlurFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiBlur>(p, f);
}
void SaturationFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiSaturation>(p, f);
}
void ColorMatrixFilter(TBitmap32& p, const FilterParams& f) {
    Public<fiColorMatrix>(p, f);
}

const std::array<TFilterInfo, kFilterCount>& FilterTable() {
    static const std::array<TFilterInfo, kFilterCount> table{{
        {"Gray", GrayFilter},
        {"Brightness and Contrast", BrightnessContrastFilter},
        {"Carve", CarveFilter},
        {"Relievo", RelievoFilter},
        {"Canvas", CanvasFilter},
        {"Equalization", EqualizationFilter},
        {"Mosaic", MosaicFilter},
        {"Line", LineFilter},
        {"Sketch", SketchFilter},
        {"Inverse", InverseFilter},
        {"Blur", BlurFilter},
        {"Saturation", SaturationFilter},
        {"Color Matrix", ColorMatrixFilter},
    }};
    return table;
}
