#pragma once
// The filters' pixel work, with their parameters already decoded, as tables
// of routines: the plain scalar reference (each filter written as its rule
// reads) and the vector versions that must give the same pixels bit for bit.
// FilterKernels() is the table in use: the fastest this machine runs, or
// the reference when VELMORA_SCALAR=1 is set. Tests run every table against
// the reference; benchmarks time them side by side.

#include <cstdint>

#include "filters/BmpFilter.h"

enum class TEmboss { Carve, Relievo, Line };

struct TFilterKernels {
    const char* Name;
    void (*Gray)(TBitmap32& picture);
    // v := Clamp(Round(v c + offset)), offset = Round(b - 127 c + 127).
    void (*BrightnessContrast)(TBitmap32& picture, int b, double c);
    // Gray and the emboss of the kind, in their in-place orders.
    void (*Emboss)(TBitmap32& picture, TEmboss kind);
    // q in 0 .. 50; the random sequence follows from the seed.
    void (*Canvas)(TBitmap32& picture, int q, uint64_t seed);
    void (*Equalization)(TBitmap32& picture);
    void (*Mosaic)(TBitmap32& picture, int n);
    // One blur pass at distance d >= 1, in place.
    void (*BlurPass)(TBitmap32& picture, int d);
    // The last step of the sketch: picture := dodge(picture, mask).
    void (*DodgeCombine)(TBitmap32& picture, const TBitmap32& mask);
    void (*Saturation)(TBitmap32& picture, int s);
    void (*ColorMatrix)(TBitmap32& picture, int fr, int fg, int fb);
};

const TFilterKernels& FilterKernels();
const TFilterKernels& ScalarFilterKernels();
// Every table this machine can run, the reference first.
int FilterKernelVariantCount();
const TFilterKernels& FilterKernelVariant(int index);

// Runs filter `index` of the filter table through the given routines, with
// the parameter rules of the public filters. CanvasFilter takes its random
// sequence from `seed` here.
void RunFilter(const TFilterKernels& kernels, int index, TBitmap32& picture, const FilterParams& params,
               uint64_t seed);

// ---- Shared by the tables ----

// The random generator of CanvasFilter (a 64-bit permuted congruential
// generator); R(n) is uniform in 0 .. n - 1 (n >= 1).
class TCanvasRandom {
public:
    explicit TCanvasRandom(uint64_t seed) : FState(seed + 0x9E3779B97F4A7C15ull) { Next32(); }
    uint32_t Next32() {
        const uint64_t old = FState;
        FState = old * 6364136223846793005ull + 1442695040888963407ull;
        const uint32_t xorshifted = uint32_t(((old >> 18u) ^ old) >> 27u);
        const uint32_t rot = uint32_t(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
    }
    // Lemire's multiply-and-reject: exactly uniform.
    uint32_t R(uint32_t n) {
        uint64_t m = uint64_t(Next32()) * n;
        uint32_t low = uint32_t(m);
        if (low < n) {
            const uint32_t threshold = uint32_t(-n) % n;
            while (low < threshold) {
                m = uint64_t(Next32()) * n;
                low = uint32_t(m);
            }
        }
        return uint32_t(m >> 32);
    }

private:
    uint64_t FState;
};

inline uint8_t Clamp255(int v) {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Y = Round(0.3 R + 0.59 G + 0.11 B), evaluated in double as written.
inline int GrayValue(TColor32 c) {
    return Round(0.3 * double(RedOf(c)) + 0.59 * double(GreenOf(c)) + 0.11 * double(BlueOf(c)));
}

// The equalization tables: LUT(i) = Round(C(i) 255 / (W H)) per channel from
// the histograms (blue, green, red).
void EqualizationTables(const uint64_t (&histogram)[3][256], uint64_t pixels, uint8_t (&lut)[3][256]);
