// BMP reading and writing. The reader checks every size and offset against
// the data it was given before it touches a pixel; the writer produces 32-bit
// BMPs with a BITMAPV4 header whose alpha bit field keeps the alpha.

#include <cstring>

#include "engine/CodecSupport.h"
#include "engine/Errors.h"

namespace {

inline uint32_t Le16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
inline uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}
inline void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v), p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v), Put16(p + 2, v >> 16);
}

enum : uint32_t { kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct TBmpHeader {
    int64_t Width = 0, Height = 0; // Height as stored: negative = rows top down
    uint32_t BitCount = 0, Compression = kRGB;
    uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    uint32_t PixelOffset = 0;
    uint32_t InfoSize = 0;
    uint32_t ColorsUsed = 0;
};

// One colour channel described by a bit mask, scaled to 8 bits.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;

    explicit TChannel(uint32_t mask) : Mask(mask) {
        if (!mask) return;
        while (!((mask >> Shift) & 1)) ++Shift;
        Max = mask >> Shift;
    }
    uint8_t Get(uint32_t v) const {
        if (!Mask) return 0;
        uint32_t raw = (v & Mask) >> Shift;
        return uint8_t((uint64_t(raw) * 255 + Max / 2) / Max);
    }
};

class TBmpReader {
public:
    TBmpReader(const uint8_t* data, size_t size, const std::string& name)
        : FData(data), FSize(size), FName(name) {}

    TBmpHeader ReadHeader() {
        if (FSize < 2 || FData[0] != 'B' || FData[1] != 'M') Fail("not a BMP file");
        Need(0, 18);
        TBmpHeader h;
        h.PixelOffset = Le32(FData + 10);
        h.InfoSize = Le32(FData + 14);
        if (h.InfoSize == 12) { // OS/2 1.x core header
            Need(14, 12);
            h.Width = Le16(FData + 18);
            h.Height = int16_t(Le16(FData + 20));
            h.BitCount = Le16(FData + 24);
        } else if (h.InfoSize >= 40 && h.InfoSize <= 4096) {
            Need(14, 40);
            h.Width = int32_t(Le32(FData + 18));
            h.Height = int32_t(Le32(FData + 22));
            h.BitCount = Le16(FData + 28);
            h.Compression = Le32(FData + 30);
            h.ColorsUsed = Le32(FData + 46);
            if (h.Compression == kBitFields || h.Compression == kAlphaBitFields) {
                // Masks follow a 40-byte header or are part of a longer one.
                size_t count = h.Compression == kAlphaBitFields || h.InfoSize >= 56 ? 4 : 3;
                Need(54, count * 4);
                for (size_t i = 0; i < count; ++i) h.Masks[i] = Le32(FData + 54 + 4 * i);
            }
        } else {
            Fail("unsupported header");
        }
        return h;
    }

    TPictureSize Size(const TBmpHeader& h) const {
        return {int(std::min<int64_t>(h.Width, 0x7fffffff)),
                int(std::min<int64_t>(h.Height < 0 ? -h.Height : h.Height, 0x7fffffff))};
    }

    TBitmap32 Decode() {
        const TBmpHeader h = ReadHeader();
        const int64_t height = h.Height < 0 ? -h.Height : h.Height;
        codec::CheckPictureSize(FName, h.Width, height);
        const int w = int(h.Width), hh = int(height);
        const bool topDown = h.Height < 0;
        const uint32_t bpp = h.BitCount;

        // Palette for 1, 4 and 8 bits per pixel.
        TColor32 palette[256];
        for (TColor32& c : palette) c = 0xFF000000u;
        if (bpp <= 8) {
            if (bpp != 1 && bpp != 4 && bpp != 8) Fail("unsupported bit depth");
            const size_t entrySize = h.InfoSize == 12 ? 3 : 4;
            size_t at = 14 + size_t(h.InfoSize);
            if (h.Compression == kBitFields) at += 12;
            size_t count = h.ColorsUsed && h.ColorsUsed <= 256 ? h.ColorsUsed : size_t(1) << bpp;
            count = std::min(count, size_t(1) << bpp);
            // Files written with a short palette still decode; missing entries read black.
            count = std::min(count, at < FSize ? (FSize - at) / entrySize : 0);
            for (size_t i = 0; i < count; ++i) {
                const uint8_t* e = FData + at + i * entrySize;
                palette[i] = 0xFF000000u | uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
            }
        }

        // Everything that refuses the file is checked before the picture is
        // allocated: a header of a few bytes may claim a gigabyte.
        if (h.Compression == kRLE8 || h.Compression == kRLE4) {
            if ((h.Compression == kRLE8) != (bpp == 8) || (h.Compression == kRLE4) != (bpp == 4))
                Fail("bit depth does not match the compression");
            if (topDown) Fail("compressed pictures cannot be stored top down");
            DecodeRle(h, palette, w, hh, nullptr);
            TBitmap32 picture(w, hh);
            DecodeRle(h, palette, w, hh, &picture);
            return picture;
        }

        const bool fields = h.Compression == kBitFields || h.Compression == kAlphaBitFields;
        if (h.Compression != kRGB && !fields) Fail("unsupported compression");
        if (fields && bpp != 16 && bpp != 32) Fail("bit fields need 16 or 32 bits per pixel");
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            Fail("unsupported bit depth");
        const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
        if (h.PixelOffset > FSize || stride * size_t(hh) > FSize - h.PixelOffset) Fail("the file ends early");
        const uint8_t* pixels = FData + h.PixelOffset;

        TBitmap32 picture(w, hh);
        auto row = [&](int fileRow) { return picture.ScanLine(topDown ? fileRow : hh - 1 - fileRow); };

        uint32_t masks[4] = {h.Masks[0], h.Masks[1], h.Masks[2], h.Masks[3]};
        if (!fields) {
            if (bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
            // Plain 32-bit RGB leaves the fourth byte unused: only an
            // alpha bit field makes a BMP transparent.
            if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
            masks[3] = 0;
        }
        const TChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);

        for (int y = 0; y < hh; ++y) {
            const uint8_t* src = pixels + size_t(y) * stride;
            TColor32* dst = row(y);
            switch (bpp) {
            case 1:
                for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                for (int x = 0; x < w; ++x) dst[x] = palette[src[x]];
                break;
            case 24:
                for (int x = 0; x < w; ++x, src += 3)
                    dst[x] = 0xFF000000u | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
                break;
            default: // 16 and 32 through the masks
                for (int x = 0; x < w; ++x) {
                    uint32_t v = bpp == 16 ? Le16(src + 2 * size_t(x)) : Le32(src + 4 * size_t(x));
                    uint32_t a = masks[3] ? alpha.Get(v) : 255;
                    dst[x] = a << 24 | uint32_t(red.Get(v)) << 16 | uint32_t(green.Get(v)) << 8 | blue.Get(v);
                }
                break;
            }
        }
        return picture;
    }

private:
    void Need(size_t at, size_t count) const {
        if (at > FSize || count > FSize - at) Fail("the file ends early");
    }
    [[noreturn]] void Fail(const char* reason) const { codec::ThrowCorrupt(FName, reason); }

    // Run-length coded 4- and 8-bit pictures; pixels the runs skip keep
    // palette entry 0. Without a picture the codes are only walked, so that
    // data ending before its end-of-picture code is refused before the
    // picture is allocated.
    void DecodeRle(const TBmpHeader& h, const TColor32* palette, int w, int hh, TBitmap32* picture) const {
        if (picture) picture->Clear(palette[0]);
        if (h.PixelOffset > FSize) Fail("the file ends early");
        const uint8_t* p = FData + h.PixelOffset;
        const uint8_t* end = FData + FSize;
        const bool four = h.Compression == kRLE4;
        int64_t x = 0, y = 0; // y counts rows from the bottom; long runs cannot overflow them
        auto put = [&](unsigned index) {
            if (picture && x < w && y < hh) picture->ScanLine(int(hh - 1 - y))[x] = palette[index & 255];
            ++x;
        };
        for (;;) {
            if (end - p < 2) Fail("the file ends early");
            unsigned count = p[0], value = p[1];
            p += 2;
            if (count > 0) { // a run
                for (unsigned i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
            } else if (value == 0) { // end of line
                x = 0, ++y;
            } else if (value == 1) { // end of picture
                return;
            } else if (value == 2) { // move
                if (end - p < 2) Fail("the file ends early");
                x += p[0], y += p[1];
                p += 2;
            } else { // literal pixels, padded to a 16-bit boundary
                size_t bytes = four ? (value + 1) / 2 : value;
                size_t padded = (bytes + 1) & ~size_t(1);
                if (size_t(end - p) < padded) Fail("the file ends early");
                for (unsigned i = 0; i < value; ++i)
                    put(four ? ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
                p += padded;
            }
            if (y >= hh) return; // runs past the top are ignored
        }
    }

    const uint8_t* FData;
    size_t FSize;
    std::string FName;
};

} // namespace

// ---- Entry points ----

namespace codec {

void DecodeBMP(const uint8_t* data, size_t size, TBitmap32& out, const std::string& name) {
    TBmpReader reader(data, size, name);
    AdoptPixels(out, reader.Decode());
}

TPictureSize ReadBMPSize(const uint8_t* data, size_t size, const std::string& name) {
    TBmpReader reader(data, size, name);
    return reader.Size(reader.ReadHeader());
}

} // namespace codec

void DecodeBMPFile(const std::string& path, TBitmap32& out) {
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    codec::DecodeBMP(data.data(), data.size(), out, path);
}

void DecodeBMPMemory(const uint8_t* data, size_t size, TBitmap32& out) {
    codec::DecodeBMP(data, size, out, codec::kMemoryName);
}

TPictureSize ReadBMPSize(const std::string& path) {
    std::vector<uint8_t> head = codec::ReadFileBytes(path, 256);
    return codec::ReadBMPSize(head.data(), head.size(), path);
}

TPictureSize ReadBMPSizeMemory(const uint8_t* data, size_t size) {
    return codec::ReadBMPSize(data, size, codec::kMemoryName);
}

std::vector<uint8_t> EncodeBMPMemory(const TBitmap32& source) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture as BMP");
    constexpr size_t kFileHeader = 14, kInfoHeader = 108;
    const size_t pixelBytes = source.PixelCount() * 4;
    std::vector<uint8_t> out(kFileHeader + kInfoHeader + pixelBytes, 0);
    uint8_t* p = out.data();
    p[0] = 'B', p[1] = 'M';
    // A picture of 32767 x 32767 pixels exceeds the 32-bit file size field;
    // readers take the size from the info header.
    Put32(p + 2, out.size() <= 0xFFFFFFFFu ? uint32_t(out.size()) : 0);
    Put32(p + 10, uint32_t(kFileHeader + kInfoHeader));
    uint8_t* info = p + kFileHeader;
    Put32(info + 0, uint32_t(kInfoHeader));
    Put32(info + 4, uint32_t(source.Width()));
    Put32(info + 8, uint32_t(source.Height())); // bottom-up rows
    Put16(info + 12, 1);
    Put16(info + 14, 32);
    Put32(info + 16, kBitFields);
    Put32(info + 20, pixelBytes <= 0xFFFFFFFFu ? uint32_t(pixelBytes) : 0);
    Put32(info + 24, 3780); // 96 dpi
    Put32(info + 28, 3780);
    Put32(info + 40, 0x00FF0000);      // red
    Put32(info + 44, 0x0000FF00);      // green
    Put32(info + 48, 0x000000FF);      // blue
    Put32(info + 52, 0xFF000000);      // alpha
    std::memcpy(info + 56, "BGRs", 4); // LCS_sRGB, stored little-endian as 'sRGB'
    uint8_t* pixels = p + kFileHeader + kInfoHeader;
    const size_t rowBytes = size_t(source.Width()) * 4;
    for (int y = 0; y < source.Height(); ++y)
        std::memcpy(pixels + size_t(source.Height() - 1 - y) * rowBytes, source.ScanLine(y), rowBytes);
    return out;
}

void EncodeBMPFile(const std::string& path, const TBitmap32& source) {
    codec::WritePictureFile(path, EncodeBMPMemory(source));
}
