#pragma once
// Pictures and byte-level helpers for the codec and picture-loading tests.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "engine/Bitmap32.h"

namespace testpic {

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// Smooth gradients with a little texture: compresses like a photo.
inline TBitmap32 MakePhoto(int w, int h, uint32_t seed = 1) {
    TBitmap32 b(w, h);
    uint32_t rnd = seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            rnd = rnd * 1664525u + 1013904223u;
            int noise = int(rnd >> 28) - 8;
            int r = std::clamp(x * 255 / std::max(w - 1, 1) + noise, 0, 255);
            int g = std::clamp(y * 255 / std::max(h - 1, 1) + noise, 0, 255);
            int bl = std::clamp(128 + int(100 * std::sin(x * 0.05) * std::cos(y * 0.04)) + noise, 0, 255);
            b.SetPixel(x, y, 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(bl));
        }
    return b;
}

// A picture using exactly `colors` distinct opaque colours in blocks, with
// a varying alpha byte when withAlpha.
inline TBitmap32 MakeFewColors(int w, int h, int colors, bool withAlpha = false) {
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t i = uint32_t((x / 3 + y * 7 + x * y) % colors);
            uint32_t rgb = (i * 2654435761u) & 0xFFFFFF;
            uint32_t a = withAlpha ? uint32_t((x * 37 + y * 11) & 255) : 255;
            b.SetPixel(x, y, a << 24 | rgb);
        }
    return b;
}

inline TBitmap32 FromQImage(const QImage& img) {
    TBitmap32 b;
    b.FromImage(img);
    return b;
}

inline uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void PutBE32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = uint8_t(x >> 24), v[at + 1] = uint8_t(x >> 16), v[at + 2] = uint8_t(x >> 8),
    v[at + 3] = uint8_t(x);
}

// A PNG chunk with its length and CRC.
inline std::vector<uint8_t> PngChunk(const char* type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> c(12 + body.size());
    PutBE32(c, 0, uint32_t(body.size()));
    std::copy(type, type + 4, c.begin() + 4);
    std::copy(body.begin(), body.end(), c.begin() + 8);
    PutBE32(c, 8 + body.size(), Crc32(c.data() + 4, 4 + body.size()));
    return c;
}

// Offset of the first chunk of a type, or npos.
inline size_t FindPngChunk(const std::vector<uint8_t>& png, const char* type) {
    size_t p = 8;
    while (p + 12 <= png.size()) {
        uint32_t len =
            uint32_t(png[p]) << 24 | uint32_t(png[p + 1]) << 16 | uint32_t(png[p + 2]) << 8 | png[p + 3];
        if (std::equal(type, type + 4, png.begin() + ptrdiff_t(p) + 4)) return p;
        p += 12 + size_t(len);
    }
    return std::string::npos;
}

// Inserts an APP1 Exif block holding only an orientation tag right after SOI.
inline std::vector<uint8_t> WithOrientation(std::vector<uint8_t> jpeg, int orientation, bool bigEndian) {
    std::vector<uint8_t> tiff;
    auto u16 = [&](int v) {
        if (bigEndian)
            tiff.insert(tiff.end(), {uint8_t(v >> 8), uint8_t(v)});
        else
            tiff.insert(tiff.end(), {uint8_t(v), uint8_t(v >> 8)});
    };
    auto u32 = [&](uint32_t v) {
        if (bigEndian)
            u16(int(v >> 16)), u16(int(v & 0xFFFF));
        else
            u16(int(v & 0xFFFF)), u16(int(v >> 16));
    };
    tiff.insert(tiff.end(), bigEndian ? std::initializer_list<uint8_t>{'M', 'M'}
                                      : std::initializer_list<uint8_t>{'I', 'I'});
    u16(42);
    u32(8);      // IFD0 offset
    u16(1);      // one entry
    u16(0x0112); // Orientation
    u16(3);      // SHORT
    u32(1);      // one value
    u16(orientation);
    u16(0);
    u32(0); // no next IFD
    std::vector<uint8_t> app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    size_t len = app1.size() - 2;
    app1[2] = uint8_t(len >> 8), app1[3] = uint8_t(len);
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

} // namespace testpic
