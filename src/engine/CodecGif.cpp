// GIF decoding (first frame) and encoding through giflib, and the colour
// reduction used for GIF and 8-bit PNG output.
//
// The decoder reads record by record instead of slurping the whole file:
// only the first frame is wanted, and slurping would decode (and allocate)
// every frame of an animation before the size of one was checked.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gif_lib.h>
#include <unordered_map>

#include "engine/CodecSupport.h"
#include "engine/Errors.h"

namespace {

// ---- Decoding ----

struct TGifSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

int GifReadData(GifFileType* gif, GifByteType* out, int length) {
    auto* src = static_cast<TGifSource*>(gif->UserData);
    size_t n = std::min(size_t(std::max(length, 0)), src->Size - src->Pos);
    if (n == 0) return 0;
    std::memcpy(out, src->Data + src->Pos, n);
    src->Pos += n;
    return int(n);
}

class TGifReader {
public:
    TGifReader(const uint8_t* data, size_t size, const std::string& name)
        : FName(name), FSource{data, size, 0} {
        int error = 0;
        FGif = DGifOpen(&FSource, GifReadData, &error);
        if (!FGif) Fail(error);
    }
    ~TGifReader() {
        int error = 0;
        if (FGif) DGifCloseFile(FGif, &error);
    }
    TGifReader(const TGifReader&) = delete;
    TGifReader& operator=(const TGifReader&) = delete;

    GifFileType* Gif() const { return FGif; }

    // Skips to the first image descriptor, noting the transparent index of
    // a graphic control extension on the way (-1 when there is none).
    void SeekFirstImage(int& transparent) {
        transparent = -1;
        for (;;) {
            GifRecordType record;
            if (DGifGetRecordType(FGif, &record) == GIF_ERROR) Fail(FGif->Error);
            if (record == IMAGE_DESC_RECORD_TYPE) {
                if (DGifGetImageDesc(FGif) == GIF_ERROR) Fail(FGif->Error);
                return;
            }
            if (record == TERMINATE_RECORD_TYPE) codec::ThrowCorrupt(FName, "the file holds no picture");
            if (record == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(FGif, &code, &block) == GIF_ERROR) Fail(FGif->Error);
                if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                    transparent = (block[1] & 1) ? block[4] : -1;
                while (block) {
                    if (DGifGetExtensionNext(FGif, &block) == GIF_ERROR) Fail(FGif->Error);
                }
            }
            // Other record types are refused by DGifGetRecordType itself.
        }
    }

    [[noreturn]] void Fail(int error) const {
        const char* text = GifErrorString(error);
        codec::ThrowCorrupt(FName, text ? text : "damaged GIF data");
    }

    const std::string& Name() const { return FName; }

private:
    std::string FName;
    TGifSource FSource;
    GifFileType* FGif = nullptr;
};

// ---- Encoding ----

struct TGifSink {
    unsigned char* Buffer;
    size_t Size;
    size_t Capacity;
};

int GifWriteData(GifFileType* gif, const GifByteType* data, int length) {
    auto* sink = static_cast<TGifSink*>(gif->UserData);
    size_t n = size_t(std::max(length, 0));
    if (n > sink->Capacity - sink->Size) {
        size_t capacity = sink->Capacity ? sink->Capacity : 65536;
        while (capacity - sink->Size < n) capacity *= 2;
        auto* grown = static_cast<unsigned char*>(std::realloc(sink->Buffer, capacity));
        if (!grown) return 0; // a short write makes giflib fail
        sink->Buffer = grown;
        sink->Capacity = capacity;
    }
    std::memcpy(sink->Buffer + sink->Size, data, n);
    sink->Size += n;
    return length;
}

// ---- Colour reduction ----

constexpr int kBinBits = 6; // histogram precision per channel
constexpr int kBins = 1 << (3 * kBinBits);

inline int BinOf(TColor32 c) {
    constexpr int shift = 8 - kBinBits;
    return int(((c >> (16 + shift)) & 63) << (2 * kBinBits) | ((c >> (8 + shift)) & 63) << kBinBits |
               ((c >> shift) & 63));
}

struct TBin {
    uint64_t SumR = 0, SumG = 0, SumB = 0;
    uint32_t Count = 0;
    uint8_t Mean[3] = {0, 0, 0}; // mean colour of the pixels in the bin
};

struct TBox {
    size_t Begin, End; // range in the list of used bins
    uint64_t Count;
    int Axis;  // channel with the widest spread
    int Range; // that spread
};

TBox MakeBox(const std::vector<TBin*>& bins, size_t begin, size_t end) {
    TBox box{begin, end, 0, 0, 0};
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (size_t i = begin; i < end; ++i) {
        box.Count += bins[i]->Count;
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min<int>(lo[c], bins[i]->Mean[c]);
            hi[c] = std::max<int>(hi[c], bins[i]->Mean[c]);
        }
    }
    for (int c = 0; c < 3; ++c)
        if (hi[c] - lo[c] > box.Range) box.Range = hi[c] - lo[c], box.Axis = c;
    return box;
}

// Median cut over the histogram: repeatedly halves (by pixel count) the box
// with the largest count x spread along its widest channel.
std::vector<TColor32> MedianCut(std::vector<TBin*>& bins, int maxColors) {
    std::vector<TBox> boxes{MakeBox(bins, 0, bins.size())};
    while (int(boxes.size()) < maxColors) {
        int best = -1;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            double score = double(boxes[i].Count) * boxes[i].Range;
            if (boxes[i].End - boxes[i].Begin > 1 && score > bestScore) bestScore = score, best = int(i);
        }
        if (best < 0) break;
        TBox box = boxes[size_t(best)];
        const int axis = box.Axis;
        std::sort(bins.begin() + ptrdiff_t(box.Begin), bins.begin() + ptrdiff_t(box.End),
                  [axis](const TBin* a, const TBin* b) { return a->Mean[axis] < b->Mean[axis]; });
        uint64_t half = box.Count / 2, running = 0;
        size_t cut = box.Begin;
        while (cut < box.End - 1 && running + bins[cut]->Count <= half) running += bins[cut++]->Count;
        if (cut == box.Begin) cut = box.Begin + 1;
        boxes[size_t(best)] = MakeBox(bins, box.Begin, cut);
        boxes.push_back(MakeBox(bins, cut, box.End));
    }
    std::vector<TColor32> palette;
    for (const TBox& box : boxes) {
        uint64_t r = 0, g = 0, b = 0, n = 0;
        for (size_t i = box.Begin; i < box.End; ++i)
            r += bins[i]->SumR, g += bins[i]->SumG, b += bins[i]->SumB, n += bins[i]->Count;
        if (n == 0) continue;
        palette.push_back(TColor32((r + n / 2) / n) << 16 | TColor32((g + n / 2) / n) << 8 |
                          TColor32((b + n / 2) / n));
    }
    return palette;
}

int Nearest(const std::vector<TColor32>& palette, int r, int g, int b) {
    int best = 0, bestDist = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        int dr = int(palette[i] >> 16 & 255) - r, dg = int(palette[i] >> 8 & 255) - g,
            db = int(palette[i] & 255) - b;
        int dist = dr * dr + dg * dg + db * db;
        if (dist < bestDist) bestDist = dist, best = int(i);
    }
    return best;
}

} // namespace

// ---- Entry points ----

TQuantized QuantizeColors(const TBitmap32& source, int maxColors) {
    maxColors = std::clamp(maxColors, 1, 256);
    TQuantized result;
    const TColor32* p = source.Bits();
    const size_t n = source.PixelCount();
    result.Indexes.resize(n);

    // Few colours: keep them exactly.
    std::unordered_map<TColor32, uint8_t> exact;
    bool fits = true;
    TColor32 last = 0;
    uint8_t lastIndex = 0;
    for (size_t i = 0; i < n && fits; ++i) {
        TColor32 c = p[i] & 0xFFFFFF;
        if (i > 0 && c == last) {
            result.Indexes[i] = lastIndex;
            continue;
        }
        auto it = exact.find(c);
        if (it == exact.end()) {
            if (int(exact.size()) == maxColors) {
                fits = false;
                break;
            }
            it = exact.emplace(c, uint8_t(exact.size())).first;
            result.Palette.push_back(c);
        }
        last = c, lastIndex = it->second;
        result.Indexes[i] = lastIndex;
    }
    if (fits) return result;

    std::vector<TBin> histogram(kBins);
    for (size_t i = 0; i < n; ++i) {
        TBin& bin = histogram[size_t(BinOf(p[i]))];
        bin.SumR += p[i] >> 16 & 255, bin.SumG += p[i] >> 8 & 255, bin.SumB += p[i] & 255;
        ++bin.Count;
    }
    std::vector<TBin*> used;
    for (TBin& bin : histogram) {
        if (!bin.Count) continue;
        bin.Mean[0] = uint8_t((bin.SumR + bin.Count / 2) / bin.Count);
        bin.Mean[1] = uint8_t((bin.SumG + bin.Count / 2) / bin.Count);
        bin.Mean[2] = uint8_t((bin.SumB + bin.Count / 2) / bin.Count);
        used.push_back(&bin);
    }
    result.Palette = MedianCut(used, maxColors);

    // Every pixel of a bin takes the palette colour nearest the bin's mean.
    std::vector<int16_t> map(kBins, -1);
    for (size_t i = 0; i < n; ++i) {
        int bin = BinOf(p[i]);
        if (map[size_t(bin)] < 0) {
            const TBin& b = histogram[size_t(bin)];
            map[size_t(bin)] = int16_t(Nearest(result.Palette, b.Mean[0], b.Mean[1], b.Mean[2]));
        }
        result.Indexes[i] = uint8_t(map[size_t(bin)]);
    }
    return result;
}

namespace codec {

void DecodeGIF(const uint8_t* data, size_t size, TBitmap32& out, const std::string& name) {
    TGifReader reader(data, size, name);
    GifFileType* gif = reader.Gif();
    if (gif->SWidth != 0 || gif->SHeight != 0) CheckPictureSize(name, gif->SWidth, gif->SHeight);
    int transparent = -1;
    reader.SeekFirstImage(transparent);
    const GifImageDesc& desc = gif->Image;
    CheckPictureSize(name, desc.Width, desc.Height);
    // A 12-bit LZW code stands for at most 4096 pixels, so each byte of the
    // file can yield at most about 2731 of them.
    if (int64_t(desc.Width) * desc.Height > int64_t(size) * 2731) ThrowCorrupt(name, "the file ends early");
    // Some writers leave the screen size 0; the frame then defines it.
    const int screenW = gif->SWidth ? gif->SWidth : desc.Left + desc.Width;
    const int screenH = gif->SHeight ? gif->SHeight : desc.Top + desc.Height;
    CheckPictureSize(name, screenW, screenH);

    TColor32 colors[256];
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    for (int i = 0; i < 256; ++i) {
        if (map && map->Colors) {
            // Indexes past the colour table read as black.
            GifColorType c = i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
            colors[i] = 0xFF000000u | unsigned(c.Red) << 16 | unsigned(c.Green) << 8 | c.Blue;
        } else {
            // No colour table at all: show the indexes as grey levels.
            colors[i] = 0xFF000000u | unsigned(i) * 0x010101u;
        }
    }
    if (transparent >= 0) colors[transparent] &= 0x00FFFFFFu;

    // Uncovered screen areas stay transparent.
    TBitmap32 picture(screenW, screenH);
    std::vector<GifPixelType> line(size_t(desc.Width));
    auto putRow = [&](int row) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) reader.Fail(gif->Error);
        const int y = desc.Top + row;
        if (y >= screenH) return;
        TColor32* dst = picture.ScanLine(y);
        const int count = std::min(desc.Width, screenW - desc.Left);
        for (int x = 0; x < count; ++x) dst[desc.Left + x] = colors[line[size_t(x)]];
    };
    if (desc.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = start[pass]; row < desc.Height; row += step[pass]) putRow(row);
    } else {
        for (int row = 0; row < desc.Height; ++row) putRow(row);
    }
    AdoptPixels(out, std::move(picture));
}

TPictureSize ReadGIFSize(const uint8_t* data, size_t size, const std::string& name) {
    TGifReader reader(data, size, name);
    GifFileType* gif = reader.Gif();
    if (gif->SWidth != 0 && gif->SHeight != 0) return {gif->SWidth, gif->SHeight};
    int transparent = -1;
    reader.SeekFirstImage(transparent);
    return {gif->SWidth ? gif->SWidth : gif->Image.Left + gif->Image.Width,
            gif->SHeight ? gif->SHeight : gif->Image.Top + gif->Image.Height};
}

} // namespace codec

void DecodeGIFFile(const std::string& path, TBitmap32& out) {
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    codec::DecodeGIF(data.data(), data.size(), out, path);
}

void DecodeGIFMemory(const uint8_t* data, size_t size, TBitmap32& out) {
    codec::DecodeGIF(data, size, out, codec::kMemoryName);
}

TPictureSize ReadGIFSize(const std::string& path) {
    // The screen descriptor follows the signature; a file leaving it 0 is
    // read whole to find the first frame.
    std::vector<uint8_t> head = codec::ReadFileBytes(path, 16);
    if (SniffPictureFormat(head.data(), head.size()) != TPictureFormat::Gif)
        codec::ThrowCorrupt(path, "not a GIF file");
    const int w = head.size() >= 10 ? head[6] | head[7] << 8 : 0,
              h = head.size() >= 10 ? head[8] | head[9] << 8 : 0;
    if (w && h) return {w, h};
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    return codec::ReadGIFSize(data.data(), data.size(), path);
}

TPictureSize ReadGIFSizeMemory(const uint8_t* data, size_t size) {
    return codec::ReadGIFSize(data, size, codec::kMemoryName);
}

std::vector<uint8_t> EncodeGIFMemory(const TBitmap32& source) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture as GIF");
    TQuantized q = QuantizeColors(source, 256);
    int bits = 1;
    while ((1 << bits) < int(q.Palette.size())) ++bits;
    std::vector<GifColorType> colors(size_t(1) << bits, GifColorType{0, 0, 0});
    for (size_t i = 0; i < q.Palette.size(); ++i)
        colors[i] =
            GifColorType{uint8_t(q.Palette[i] >> 16), uint8_t(q.Palette[i] >> 8), uint8_t(q.Palette[i])};
    ColorMapObject* map = GifMakeMapObject(1 << bits, colors.data());
    if (!map) throw std::bad_alloc();

    TGifSink sink{};
    int error = 0;
    GifFileType* gif = EGifOpen(&sink, GifWriteData, &error);
    bool ok = gif && EGifPutScreenDesc(gif, source.Width(), source.Height(), bits, 0, map) != GIF_ERROR &&
              EGifPutImageDesc(gif, 0, 0, source.Width(), source.Height(), false, nullptr) != GIF_ERROR;
    for (int y = 0; ok && y < source.Height(); ++y)
        ok = EGifPutLine(gif, q.Indexes.data() + size_t(y) * size_t(source.Width()), source.Width()) !=
             GIF_ERROR;
    if (gif && !ok) error = gif->Error;
    if (gif && EGifCloseFile(gif, &error) == GIF_ERROR) ok = false;
    GifFreeMapObject(map);
    std::vector<uint8_t> result;
    if (ok) result.assign(sink.Buffer, sink.Buffer + sink.Size);
    std::free(sink.Buffer);
    if (!ok) {
        const char* text = GifErrorString(error);
        throw EUserError(std::string("Cannot encode GIF: ") + (text ? text : "unknown error"));
    }
    return result;
}

void EncodeGIFFile(const std::string& path, const TBitmap32& source) {
    codec::WritePictureFile(path, EncodeGIFMemory(source));
}
