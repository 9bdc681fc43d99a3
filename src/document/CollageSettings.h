#pragma once
// The page settings of the collage: size, orientation and background. The
// field names are also the keys of the project description and of cfg.ini.

#include <cstdint>
#include <string>

#include "engine/Types.h"

struct TCollageSettings {
    uint8_t SizeType = 1;      // 0 predefined size (PredifineType), 1 custom size
    uint8_t PredifineType = 0; // index into the predefined sizes of the settings dialog
    int32_t Width = 1024;      // page size in pixels, before orientation
    int32_t Height = 768;
    uint8_t WidthUnit = 0; // unit the settings dialog shows: 0 pixel, 1 inch, 2 centimetre
    uint8_t HeightUnit = 0;
    uint8_t Orientation = 0;     // 0 as entered, 1 landscape (width and height swapped)
    uint8_t BKType = 1;          // 0 transparent, 1 solid colour, 2 picture
    TColor BKColor = 0xFFFFFF;   // platform colour 0x00BBGGRR
    std::string BKImageFile;     // full path of the background picture
    uint8_t BKImageFillType = 2; // 0 tile, 1 centre, 2 stretch

    bool operator==(const TCollageSettings&) const = default;
};
