// PNG decoding, and encoding of palette pictures, through libpng (true-colour
// pictures are written by PngWriter.cpp; libpng writes them too, as the
// reference that writer is compared with).
//
// libpng reports errors through PngError, which longjmps back into the small
// wrapper function that made the library call; those wrappers hold no C++
// objects with destructors. The C++ side throws once the wrapper returned.

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <png.h>

#include "engine/CodecSupport.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"

namespace {

// ---- C side: error handling and data transfer ----

struct TPngState {
    jmp_buf Jump;
    char Message[256];
};

[[noreturn]] void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<TPngState*>(png_get_error_ptr(png));
    std::snprintf(state->Message, sizeof state->Message, "%s", message ? message : "unknown error");
    longjmp(state->Jump, 1);
}

// Ancillary-chunk trouble (a bad colour profile, a damaged text chunk)
// leaves the picture itself intact.
void PngWarning(png_structp, png_const_charp) {}

struct TPngSource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

void PngReadData(png_structp png, png_bytep out, size_t length) {
    auto* src = static_cast<TPngSource*>(png_get_io_ptr(png));
    if (length > src->Size - src->Pos) png_error(png, "the file ends early");
    std::memcpy(out, src->Data + src->Pos, length);
    src->Pos += length;
}

struct TPngSink {
    unsigned char* Buffer;
    size_t Size;
    size_t Capacity;
};

void PngWriteData(png_structp png, png_bytep data, size_t length) {
    auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
    if (length > sink->Capacity - sink->Size) {
        size_t capacity = sink->Capacity ? sink->Capacity : 65536;
        while (capacity - sink->Size < length) capacity *= 2;
        auto* grown = static_cast<unsigned char*>(std::realloc(sink->Buffer, capacity));
        if (!grown) png_error(png, "out of memory");
        sink->Buffer = grown;
        sink->Capacity = capacity;
    }
    std::memcpy(sink->Buffer + sink->Size, data, length);
    sink->Size += length;
}

void PngFlush(png_structp) {}

// What the header says, copied out of libpng's structures.
struct TPngHeader {
    png_uint_32 Width, Height;
    int BitDepth, ColorType, Interlace;
    int PaletteCount;
    png_color Palette[256];
    int TransCount; // tRNS entries of a palette picture
    uint8_t TransAlpha[256];
    bool HasTransColor; // tRNS of a grey or RGB picture
    png_color_16 TransColor;
    size_t RowBytes;
    int Passes;
};

int PngReadHeader(png_structp png, png_infop info, TPngState* state, TPngHeader* h) {
    if (setjmp(state->Jump)) return 1;
    // Only IHDR, PLTE, tRNS, IDAT and IEND make the picture; every other
    // chunk (text, colour profiles, private chunks) is skipped unread. libpng
    // merely warns about a chunk longer than its limit and would then
    // allocate whatever length a text chunk declares, up to 2 GB for a file
    // of a few hundred bytes, before finding the data missing.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    png_get_IHDR(png, info, &h->Width, &h->Height, &h->BitDepth, &h->ColorType, &h->Interlace, nullptr,
                 nullptr);
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) && palette) {
        h->PaletteCount = std::min(count, 256);
        std::memcpy(h->Palette, palette, sizeof(png_color) * size_t(h->PaletteCount));
    }
    png_bytep alphas = nullptr;
    png_color_16p color = nullptr;
    count = 0;
    if (png_get_tRNS(png, info, &alphas, &count, &color)) {
        if (h->ColorType == PNG_COLOR_TYPE_PALETTE && alphas) {
            h->TransCount = std::min(count, 256);
            std::memcpy(h->TransAlpha, alphas, size_t(h->TransCount));
        } else if (color) {
            h->HasTransColor = true;
            h->TransColor = *color;
        }
    }
    return 0;
}

// Unpacks 1/2/4-bit samples to one byte each (values kept) and keeps the
// high byte of 16-bit samples; colour conversion is done by ConvertRow.
int PngSetup(png_structp png, png_infop info, TPngState* state, TPngHeader* h) {
    if (setjmp(state->Jump)) return 1;
    if (h->BitDepth < 8) png_set_packing(png);
    if (h->BitDepth == 16) png_set_strip_16(png);
    h->Passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    h->RowBytes = png_get_rowbytes(png, info);
    return 0;
}

// Where converted rows go: opaque RGB pixels and, when Alpha is set, one
// alpha byte per pixel.
struct TPngTarget {
    const TPngHeader* Header;
    TColor32* Pixels;
    uint8_t* Alpha;
    TColor32 Palette[256];     // 0xFFRRGGBB
    uint8_t PaletteAlpha[256]; // tRNS alphas (255 past the end of tRNS)
};

inline uint8_t ScaleGrey(unsigned v, int bitDepth) {
    switch (bitDepth) {
    case 1:
        return uint8_t(v ? 255 : 0);
    case 2:
        return uint8_t(v * 85);
    case 4:
        return uint8_t(v * 17);
    default:
        return uint8_t(v);
    }
}

void ConvertRow(const TPngTarget* t, const uint8_t* raw, png_uint_32 y) {
    const png_uint_32 w = t->Header->Width;
    TColor32* dst = t->Pixels + size_t(y) * w;
    uint8_t* alpha = t->Alpha ? t->Alpha + size_t(y) * w : nullptr;
    switch (t->Header->ColorType) {
    case PNG_COLOR_TYPE_GRAY:
        for (png_uint_32 x = 0; x < w; ++x) {
            unsigned g = ScaleGrey(raw[x], t->Header->BitDepth);
            dst[x] = 0xFF000000u | g << 16 | g << 8 | g;
        }
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        for (png_uint_32 x = 0; x < w; ++x, raw += 2) {
            unsigned g = raw[0];
            dst[x] = 0xFF000000u | g << 16 | g << 8 | g;
            if (alpha) alpha[x] = raw[1];
        }
        break;
    case PNG_COLOR_TYPE_RGB:
        for (png_uint_32 x = 0; x < w; ++x, raw += 3)
            dst[x] = 0xFF000000u | unsigned(raw[0]) << 16 | unsigned(raw[1]) << 8 | raw[2];
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        for (png_uint_32 x = 0; x < w; ++x, raw += 4) {
            dst[x] = 0xFF000000u | unsigned(raw[0]) << 16 | unsigned(raw[1]) << 8 | raw[2];
            if (alpha) alpha[x] = raw[3];
        }
        break;
    case PNG_COLOR_TYPE_PALETTE:
        for (png_uint_32 x = 0; x < w; ++x) {
            dst[x] = t->Palette[raw[x]];
            if (alpha) alpha[x] = t->PaletteAlpha[raw[x]];
        }
        break;
    default:
        break;
    }
}

// raw holds one row, or the whole picture for interlaced files (their
// passes fill the rows bit by bit).
int PngReadRows(png_structp png, png_infop info, TPngState* state, const TPngTarget* target, uint8_t* raw) {
    if (setjmp(state->Jump)) return 1;
    const TPngHeader* h = target->Header;
    if (h->Interlace != PNG_INTERLACE_NONE) {
        for (int pass = 0; pass < h->Passes; ++pass)
            for (png_uint_32 y = 0; y < h->Height; ++y)
                png_read_row(png, raw + size_t(y) * h->RowBytes, nullptr);
        for (png_uint_32 y = 0; y < h->Height; ++y) ConvertRow(target, raw + size_t(y) * h->RowBytes, y);
    } else {
        for (png_uint_32 y = 0; y < h->Height; ++y) {
            png_read_row(png, raw, nullptr);
            ConvertRow(target, raw, y);
        }
    }
    png_read_end(png, info);
    return 0;
}

// ---- C++ side ----

class TPngReader {
public:
    TPngReader(const uint8_t* data, size_t size, const std::string& name) : FName(name) {
        FSource = {data, size, 0};
        FState.Message[0] = 0;
        FPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, &FState, PngError, PngWarning);
        if (FPng) FInfo = png_create_info_struct(FPng);
    }
    ~TPngReader() {
        if (FPng) png_destroy_read_struct(&FPng, FInfo ? &FInfo : nullptr, nullptr);
    }
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    // Reads the chunks up to the picture data.
    void Open() {
        if (!FPng || !FInfo) throw std::bad_alloc();
        if (FSource.Size < 8 || png_sig_cmp(FSource.Data, 0, 8) != 0)
            codec::ThrowCorrupt(FName, "not a PNG file");
        // Sizes are judged by CheckPictureSize, which names the file.
        png_set_user_limits(FPng, 0x7fffffff, 0x7fffffff);
        png_set_read_fn(FPng, &FSource, PngReadData);
        if (PngReadHeader(FPng, FInfo, &FState, &FHeader) != 0) Fail();
    }

    const TPngHeader& Header() const { return FHeader; }

    // Decodes the pixels; alpha (when not null) receives colour types 4 and 6
    // alpha and, for palette pictures, the tRNS alpha of each pixel.
    void ReadPixels(TBitmap32& pixels, std::vector<uint8_t>* alpha) {
        codec::CheckPictureSize(FName, FHeader.Width, FHeader.Height);
        // Deflate shrinks data at most about 1032:1; a file too short to
        // hold the rows its header claims is cut off, and is refused before
        // the picture is allocated.
        const int channels[] = {1, 0, 3, 1, 2, 0, 4};
        const uint64_t rowBits =
            uint64_t(FHeader.Width) * uint64_t(FHeader.BitDepth) *
            uint64_t(FHeader.ColorType <= 6 ? std::max(channels[FHeader.ColorType], 1) : 1);
        const uint64_t rawBytes = (rowBits / 8 + 1) * uint64_t(FHeader.Height);
        if (uint64_t(FSource.Size) * 1032 < rawBytes) codec::ThrowCorrupt(FName, "the file ends early");
        if (PngSetup(FPng, FInfo, &FState, &FHeader) != 0) Fail();
        pixels.SetSize(int(FHeader.Width), int(FHeader.Height));
        if (alpha) alpha->assign(pixels.PixelCount(), 255);
        TPngTarget target{};
        target.Header = &FHeader;
        target.Pixels = pixels.Bits();
        target.Alpha = alpha ? alpha->data() : nullptr;
        for (int i = 0; i < 256; ++i) {
            // Indexes past the palette read as black.
            const png_color c = i < FHeader.PaletteCount ? FHeader.Palette[i] : png_color{0, 0, 0};
            target.Palette[i] = 0xFF000000u | unsigned(c.red) << 16 | unsigned(c.green) << 8 | c.blue;
            target.PaletteAlpha[i] = i < FHeader.TransCount ? FHeader.TransAlpha[i] : 255;
        }
        const bool interlaced = FHeader.Interlace != PNG_INTERLACE_NONE;
        std::vector<uint8_t> raw(FHeader.RowBytes * (interlaced ? size_t(FHeader.Height) : 1));
        if (PngReadRows(FPng, FInfo, &FState, &target, raw.data()) != 0) Fail();
    }

private:
    [[noreturn]] void Fail() { codec::ThrowCorrupt(FName, FState.Message); }

    std::string FName;
    TPngSource FSource{};
    TPngState FState{};
    TPngHeader FHeader{};
    png_structp FPng = nullptr;
    png_infop FInfo = nullptr;
};

// The tRNS colour of a grey or RGB picture reduced like its pixels, or
// nothing when it names a value no pixel can have.
bool KeyColor(const TPngHeader& h, TColor32& key) {
    const unsigned maxValue = (1u << h.BitDepth) - 1;
    auto reduce = [&](unsigned v, uint8_t& out) {
        if (v > maxValue) return false;
        out = h.BitDepth == 16 ? uint8_t(v >> 8) : ScaleGrey(v, h.BitDepth);
        return true;
    };
    uint8_t r, g, b;
    if (h.ColorType == PNG_COLOR_TYPE_GRAY) {
        if (!reduce(h.TransColor.gray, g)) return false;
        r = b = g;
    } else if (h.ColorType == PNG_COLOR_TYPE_RGB) {
        if (!reduce(h.TransColor.red, r) || !reduce(h.TransColor.green, g) || !reduce(h.TransColor.blue, b))
            return false;
    } else {
        return false;
    }
    key = 0xFF000000u | unsigned(r) << 16 | unsigned(g) << 8 | b;
    return true;
}

void FillTransparency(const TPngHeader& h, TDecodedPNG& png) {
    png.ColorType = h.ColorType;
    if (h.ColorType == PNG_COLOR_TYPE_PALETTE) {
        // A palette tRNS is a single transparent colour when every entry is
        // fully transparent or fully opaque: the colour of its first
        // transparent entry. Any in-between alpha makes it partial
        // transparency instead, which palette pictures do not carry (they
        // load opaque).
        png.HasPaletteAlpha = h.TransCount > 0;
        int first = -1;
        bool binary = true;
        for (int i = 0; i < h.TransCount; ++i) {
            if (h.TransAlpha[i] != 0 && h.TransAlpha[i] != 255) binary = false;
            if (h.TransAlpha[i] == 0 && first < 0 && i < h.PaletteCount) first = i;
        }
        if (binary && first >= 0) {
            const png_color c = h.Palette[first];
            png.HasKeyColor = true;
            png.KeyColor = 0xFF000000u | unsigned(c.red) << 16 | unsigned(c.green) << 8 | c.blue;
        }
    } else if (h.HasTransColor) {
        png.HasKeyColor = KeyColor(h, png.KeyColor);
    }
}

// ---- Encoding ----

struct TPngWriteJob {
    const TColor32* Pixels;
    const uint8_t* Indexes; // palette layout
    int Width, Height, Level;
    int ColorType;
    int PaletteCount;
    png_color Palette[256];
    int TransCount;
    uint8_t TransAlpha[256];
};

int PngWrite(png_structp png, png_infop info, TPngState* state, TPngSink* sink, const TPngWriteJob* job) {
    if (setjmp(state->Jump)) return 1;
    png_set_write_fn(png, sink, PngWriteData, PngFlush);
    png_set_IHDR(png, info, png_uint_32(job->Width), png_uint_32(job->Height), 8, job->ColorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (job->ColorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, job->Palette, job->PaletteCount);
        if (job->TransCount > 0) png_set_tRNS(png, info, job->TransAlpha, job->TransCount, nullptr);
    }
    png_set_compression_level(png, job->Level);
    png_write_info(png, info);
    if (job->ColorType != PNG_COLOR_TYPE_PALETTE) {
        // The surface is B, G, R, A in memory.
        png_set_bgr(png);
        if (job->ColorType == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    for (int y = 0; y < job->Height; ++y) {
        const void* row = job->ColorType == PNG_COLOR_TYPE_PALETTE
                              ? static_cast<const void*>(job->Indexes + size_t(y) * size_t(job->Width))
                              : static_cast<const void*>(job->Pixels + size_t(y) * size_t(job->Width));
        png_write_row(png, static_cast<png_const_bytep>(row));
    }
    png_write_end(png, info);
    return 0;
}

} // namespace

// ---- Entry points ----

namespace codec {

TDecodedPNG DecodePNG(const uint8_t* data, size_t size, const std::string& name) {
    TPngReader reader(data, size, name);
    reader.Open();
    TDecodedPNG png;
    const int type = reader.Header().ColorType;
    const bool withAlpha = type == PNG_COLOR_TYPE_GRAY_ALPHA || type == PNG_COLOR_TYPE_RGB_ALPHA;
    reader.ReadPixels(png.Pixels, withAlpha ? &png.Alpha : nullptr);
    FillTransparency(reader.Header(), png);
    return png;
}

void DecodePNGToBitmap(const uint8_t* data, size_t size, TBitmap32& out, const std::string& name) {
    TPngReader reader(data, size, name);
    reader.Open();
    const TPngHeader& h = reader.Header();
    const bool alphaData = h.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA ||
                           h.ColorType == PNG_COLOR_TYPE_RGB_ALPHA ||
                           (h.ColorType == PNG_COLOR_TYPE_PALETTE && h.TransCount > 0);
    TBitmap32 picture;
    std::vector<uint8_t> alpha;
    reader.ReadPixels(picture, alphaData ? &alpha : nullptr);
    TColor32* p = picture.Bits();
    const size_t n = picture.PixelCount();
    if (alphaData) {
        for (size_t i = 0; i < n; ++i) p[i] = (p[i] & 0x00FFFFFFu) | TColor32(alpha[i]) << 24;
    } else if (TColor32 key; h.HasTransColor && KeyColor(h, key)) {
        for (size_t i = 0; i < n; ++i)
            if (p[i] == key) p[i] &= 0x00FFFFFFu;
    }
    AdoptPixels(out, std::move(picture));
}

// Straight from IHDR, which must be the first chunk.
TPictureSize ReadPNGSize(const uint8_t* data, size_t size, const std::string& name) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) ThrowCorrupt(name, "not a PNG file");
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) ThrowCorrupt(name, "the header is missing");
    auto be32 = [&](size_t at) {
        return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 |
               data[at + 3];
    };
    return {int(std::min<uint32_t>(be32(16), 0x7fffffff)), int(std::min<uint32_t>(be32(20), 0x7fffffff))};
}

std::vector<uint8_t> EncodePNG(const TBitmap32& source, int level, TPngLayout layout, TColor32 transparent) {
    if (layout == TPngLayout::Rgba || layout == TPngLayout::Rgb)
        return EncodePNGTrueColor(source, level, layout == TPngLayout::Rgba);
    return EncodePNGLibpng(source, level, layout, transparent);
}

std::vector<uint8_t> EncodePNGLibpng(const TBitmap32& source, int level, TPngLayout layout,
                                     TColor32 transparent) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture as PNG");
    auto job = std::make_unique<TPngWriteJob>();
    job->Pixels = source.Bits();
    job->Width = source.Width();
    job->Height = source.Height();
    job->Level = std::clamp(level, 0, 9);
    TQuantized quantized;
    switch (layout) {
    case TPngLayout::Rgba:
        job->ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
        break;
    case TPngLayout::Rgb:
        job->ColorType = PNG_COLOR_TYPE_RGB;
        break;
    case TPngLayout::Palette:
    case TPngLayout::PaletteKeyed:
        job->ColorType = PNG_COLOR_TYPE_PALETTE;
        quantized = QuantizeColors(source, 256);
        job->Indexes = quantized.Indexes.data();
        job->PaletteCount = int(quantized.Palette.size());
        for (int i = 0; i < job->PaletteCount; ++i) {
            const TColor32 c = quantized.Palette[size_t(i)];
            job->Palette[i] = png_color{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
            if (layout == TPngLayout::PaletteKeyed && (c & 0xFFFFFF) == (transparent & 0xFFFFFF)) {
                for (int j = job->TransCount; j < i; ++j) job->TransAlpha[j] = 255;
                job->TransAlpha[i] = 0;
                job->TransCount = i + 1;
            }
        }
        break;
    }
    TPngState state{};
    TPngSink sink{};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    int status = png && info ? PngWrite(png, info, &state, &sink, job.get()) : -1;
    png_destroy_write_struct(&png, &info);
    std::vector<uint8_t> result;
    if (status == 0) result.assign(sink.Buffer, sink.Buffer + sink.Size);
    std::free(sink.Buffer);
    if (status < 0) throw std::bad_alloc();
    if (status > 0) throw EUserError(std::string("Cannot encode PNG: ") + state.Message);
    return result;
}

} // namespace codec

TDecodedPNG DecodePNGFile(const std::string& path) {
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    return codec::DecodePNG(data.data(), data.size(), path);
}

TDecodedPNG DecodePNGMemory(const uint8_t* data, size_t size) {
    return codec::DecodePNG(data, size, codec::kMemoryName);
}

void DecodePNGToBitmapFile(const std::string& path, TBitmap32& out) {
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    codec::DecodePNGToBitmap(data.data(), data.size(), out, path);
}

void DecodePNGToBitmapMemory(const uint8_t* data, size_t size, TBitmap32& out) {
    codec::DecodePNGToBitmap(data, size, out, codec::kMemoryName);
}

TPictureSize ReadPNGSize(const std::string& path) {
    std::vector<uint8_t> head = codec::ReadFileBytes(path, 64);
    return codec::ReadPNGSize(head.data(), head.size(), path);
}

TPictureSize ReadPNGSizeMemory(const uint8_t* data, size_t size) {
    return codec::ReadPNGSize(data, size, codec::kMemoryName);
}

std::vector<uint8_t> EncodePNGMemory(const TBitmap32& source, int level) {
    return codec::EncodePNG(source, level, codec::TPngLayout::Rgba, 0);
}

void EncodePNGFile(const std::string& path, const TBitmap32& source, int level) {
    codec::WritePictureFile(path, EncodePNGMemory(source, level));
}

std::vector<uint8_t> EncodePNGMemoryLibpng(const TBitmap32& source, int level) {
    return codec::EncodePNGLibpng(source, level, codec::TPngLayout::Rgba, 0);
}
