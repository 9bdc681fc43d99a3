#pragma once
// A photo-like picture for the filter and history benchmarks: smooth colour
// fields, a few hard edges and sensor-like noise of a few levels, made the
// same way on every run.

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Bitmap32.h"

inline TBitmap32 PhotoLikePicture(int width, int height) {
    TBitmap32 p(width, height);
    std::vector<double> fx(static_cast<size_t>(width)), gx(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double u = x / double(width);
        fx[size_t(x)] = 70 * std::sin(5.0 * u) + 25 * std::cos(23.0 * u);
        gx[size_t(x)] = 60 * std::cos(3.0 * u + 1.0);
    }
    uint32_t seed = 0x2545F491u;
    for (int y = 0; y < height; ++y) {
        const double v = y / double(height);
        const double fy = 50 * std::cos(4.0 * v), gy = 70 * std::sin(7.0 * v);
        TColor32* row = p.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int n = int((seed >> 27) & 15) - 7; // -7 .. 8
            // a bright window and a dark doorway: hard edges
            const bool window = x > width / 5 && x < width / 3 && y > height / 4 && y < height / 2;
            const bool door = x > width * 2 / 3 && x < width * 3 / 4 && y > height / 2;
            int r = int(120 + fx[size_t(x)] + fy) + n, g = int(110 + gx[size_t(x)] + gy) + n,
                b = int(100 + 0.5 * (fx[size_t(x)] - gy)) + n;
            if (window) r += 80, g += 80, b += 70;
            if (door) r -= 70, g -= 60, b -= 50;
            row[x] = Color32(uint8_t(std::clamp(r, 0, 255)), uint8_t(std::clamp(g, 0, 255)),
                             uint8_t(std::clamp(b, 0, 255)));
        }
    }
    return p;
}
