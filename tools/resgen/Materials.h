#pragma once
// Surface materials as colour functions of a point, shared by textures,
// backgrounds and frames. Each takes pixel coordinates plus the picture's
// tile size (0 = no tiling); with a tile size the pattern repeats exactly.

#include <vector>

#include "Art.h"

namespace resgen {

// Noise over pixel coordinates with a cell size; with a tile size the noise
// repeats after that many pixels (the tile must be a multiple of the cell).
class TTileNoise {
public:
    TTileNoise(uint32_t seed, float cell, int tileW = 0, int tileH = 0) : TTileNoise(seed, cell, cell, tileW, tileH) {}
    // Separate cell sizes per axis give streaky (anisotropic) noise.
    TTileNoise(uint32_t seed, float cellX, float cellY, int tileW, int tileH)
        : FNoise(seed), FCellX(cellX), FCellY(cellY), FPX(tileW > 0 ? int(tileW / cellX + 0.5f) : 0),
          FPY(tileH > 0 ? int(tileH / cellY + 0.5f) : 0) {}
    float Fbm(float x, float y, int octaves, float gain = 0.5f) const {
        return FNoise.Fbm(x / FCellX, y / FCellY, octaves, gain, FPX, FPY);
    }
    float At(float x, float y) const { return FNoise.At(x / FCellX, y / FCellY, FPX, FPY); }

private:
    TNoise FNoise;
    float FCellX, FCellY;
    int FPX, FPY;
};

// Cellular (Worley) noise: distances to the nearest and second nearest
// feature point, in cell units; tiles after `period` cells (0 = none).
struct TWorley {
    float F1 = 0, F2 = 0;
    uint32_t Id = 0; // hash of the nearest feature point's cell
};
TWorley Worley(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);

// Metal colour ramps (dark to bright).
const std::vector<TRgb>& GoldStops();
const std::vector<TRgb>& SilverStops();
const std::vector<TRgb>& CopperStops();

// Wood: u runs along the grain, v across it.
struct TWoodStyle {
    TRgb Dark = Hex(0x5a341a), Light = Hex(0x9c6634);
    float RingScale = 0.16f; // rings per pixel across the grain
};
TRgb WoodAt(const TNoise& noise, float u, float v, const TWoodStyle& style = {});

// Paper: fine fibres and soft mottling over a base tone.
struct TPaper {
    TPlane Fibres, Mottle;
    TPaper(uint32_t seed, int w, int h, bool tile = true, float fibreCell = 8.f, float mottleCell = 128.f);
    TRgb At(int x, int y, const TRgb& tone, float strength = 1.f) const {
        const size_t i = size_t(y) * Fibres.W + x;
        return tone * (1.f + strength * (0.018f * Fibres.V[i] + 0.03f * Mottle.V[i]));
    }
};

} // namespace resgen
