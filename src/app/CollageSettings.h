#pragma once
// The page settings of a collage (also the keys of the configuration and
// project files).

#include <cstdint>
#include <string>

#include "engine/Types.h"

struct TCollageSettings {
    uint8_t SizeType = 1;       // 0 predefined size (PredifineType), 1 custom
    uint8_t PredifineType = 0;  // index into the settings dialog's size list
    int32_t Width = 1024;       // before orientation
    int32_t Height = 768;
    uint8_t WidthUnit = 0;      // 0 pixel, 1 inch, 2 centimetre
    uint8_t HeightUnit = 0;
    uint8_t Orientation = 0;    // 1 landscape: width and height swapped
    uint8_t BKType = 1;         // 0 transparent, 1 colour, 2 picture
    TColor BKColor = 0xFFFFFF;  // 0x00BBGGRR
    std::string BKImageFile;    // full path for BKType 2
    uint8_t BKImageFillType = 2; // 0 tile, 1 centre, 2 stretch

    bool operator==(const TCollageSettings&) const = default;
};
