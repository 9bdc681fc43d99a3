// JPEG decoding and encoding through libjpeg-turbo.
//
// libjpeg reports fatal errors by calling error_exit, which here longjmps
// back into the small wrapper function that made the library call. Those
// wrappers hold no C++ objects with destructors, so the jump skips nothing;
// they return a status and the C++ side throws afterwards.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>
}

#include "engine/CodecSupport.h"
#include "engine/Errors.h"

namespace {

// ---- Error handling (C side) ----

struct TJpegError {
    jpeg_error_mgr Pub;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    longjmp(err->Jump, 1);
}

// Warnings mean damaged data (a premature end of the file, a bad Huffman
// code, a lost restart marker): the decoder would go on and deliver a picture
// with grey or garbled parts, so they are fatal. Only the harmless ones found
// in ordinary camera files pass.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return; // trace output
    switch (cinfo->err->msg_code) {
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_BOGUS_ICC:
        cinfo->err->num_warnings++;
        return;
    default:
        JpegErrorExit(cinfo);
    }
}

void JpegProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
        std::snprintf(err->Message, sizeof err->Message, "more than %d scans", kMaxJpegScans);
        longjmp(err->Jump, 1);
    }
}

void InitError(TJpegError& err) {
    jpeg_std_error(&err.Pub);
    err.Pub.error_exit = JpegErrorExit;
    err.Pub.emit_message = JpegEmitMessage;
    err.Message[0] = 0;
}

// ---- Library calls (each returns 0 on success, 1 with err->Message set) ----

int JpegReadHeader(j_decompress_ptr cinfo, TJpegError* err, jpeg_progress_mgr* progress, const uint8_t* data,
                   size_t size) {
    if (setjmp(err->Jump)) return 1;
    jpeg_create_decompress(cinfo);
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    return 0;
}

int JpegCalcOutput(j_decompress_ptr cinfo, TJpegError* err) {
    if (setjmp(err->Jump)) return 1;
    jpeg_calc_output_dimensions(cinfo);
    return 0;
}

// CMYK as Adobe applications write it is stored inverted (255 = no ink).
void CmykToBgra(const uint8_t* cmyk, uint8_t* bgra, unsigned width, bool inverted) {
    for (unsigned x = 0; x < width; ++x, cmyk += 4, bgra += 4) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        }
        bgra[0] = uint8_t((y * k + 127) / 255);
        bgra[1] = uint8_t((m * k + 127) / 255);
        bgra[2] = uint8_t((c * k + 127) / 255);
        bgra[3] = 255;
    }
}

// Decodes every scanline into rows of stride bytes starting at pixels;
// cmykRow (width * 4 bytes) is the staging row of CMYK pictures.
int JpegReadPixels(j_decompress_ptr cinfo, TJpegError* err, uint8_t* pixels, size_t stride,
                   uint8_t* cmykRow) {
    if (setjmp(err->Jump)) return 1;
    jpeg_start_decompress(cinfo);
    bool cmyk = cinfo->out_color_space == JCS_CMYK;
    bool inverted = cinfo->saw_Adobe_marker != 0;
    while (cinfo->output_scanline < cinfo->output_height) {
        uint8_t* row = pixels + size_t(cinfo->output_scanline) * stride;
        JSAMPROW target = cmyk ? cmykRow : row;
        if (jpeg_read_scanlines(cinfo, &target, 1) != 1) {
            std::snprintf(err->Message, sizeof err->Message, "the decoder stopped early");
            return 1;
        }
        if (cmyk) CmykToBgra(cmykRow, row, cinfo->output_width, inverted);
    }
    return 0;
}

// Output into a malloc'ed buffer that grows by doubling; the caller frees
// Buffer whatever happened.
struct TJpegMemoryDest {
    jpeg_destination_mgr Pub;
    unsigned char* Buffer;
    size_t Capacity;
};

void DestInit(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<TJpegMemoryDest*>(cinfo->dest);
    dest->Pub.next_output_byte = dest->Buffer;
    dest->Pub.free_in_buffer = dest->Capacity;
}

boolean DestEmpty(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<TJpegMemoryDest*>(cinfo->dest);
    size_t used = dest->Capacity;
    auto* grown = static_cast<unsigned char*>(std::realloc(dest->Buffer, used * 2));
    if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    dest->Buffer = grown;
    dest->Capacity = used * 2;
    dest->Pub.next_output_byte = grown + used;
    dest->Pub.free_in_buffer = dest->Capacity - used;
    return TRUE;
}

void DestTerm(j_compress_ptr) {}

int JpegEncode(j_compress_ptr cinfo, TJpegError* err, TJpegMemoryDest* dest, const TColor32* pixels,
               int width, int height, int quality) {
    if (setjmp(err->Jump)) return 1;
    jpeg_create_compress(cinfo);
    cinfo->dest = &dest->Pub;
    cinfo->image_width = JDIMENSION(width);
    cinfo->image_height = JDIMENSION(height);
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        // libjpeg only reads the row; its prototype lacks the const.
        JSAMPROW row = reinterpret_cast<JSAMPROW>(
            const_cast<TColor32*>(pixels + size_t(cinfo->next_scanline) * size_t(width)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return 0;
}

// ---- C++ side ----

struct TDecompressor {
    jpeg_decompress_struct Info{};
    TJpegError Error{};
    jpeg_progress_mgr Progress{};
    bool Created = false;

    TDecompressor() {
        InitError(Error);
        Info.err = &Error.Pub;
        Progress.progress_monitor = JpegProgress;
    }
    ~TDecompressor() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;
};

int ExifOrientation(const uint8_t* data, size_t size) {
    ExifData* exif = exif_data_new();
    if (!exif) return 1;
    // Read the tags as they are, without adding the mandatory ones.
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif, data, unsigned(size));
    int orientation = 1;
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->size >= 2 &&
        entry->data)
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    exif_data_unref(exif);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// The orientation from the EXIF block: the body of the first APP1 segment
// starting "Exif\0\0" among the segments before the first scan. The segments
// are walked in place; having libjpeg save APP1 segments instead would keep
// a copy of every one of them, and a file can hold any number.
int FindOrientation(const uint8_t* data, size_t size) {
    size_t pos = 2; // after SOI
    while (pos + 4 <= size) {
        const uint8_t marker = data[pos + 1];
        if (data[pos] != 0xFF || marker == 0xFF || marker == 0x00) {
            ++pos; // stray bytes between segments, fill bytes
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break; // the first scan, the end
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            pos += 2; // markers without a length
            continue;
        }
        const size_t length = size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2) break;
        const uint8_t* body = data + pos + 4;
        const size_t available = std::min(length - 2, size - (pos + 4));
        if (marker == JPEG_APP0 + 1 && available > 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return ExifOrientation(body, available);
        pos += 2 + length;
    }
    return 1;
}

void OpenHeader(TDecompressor& d, const uint8_t* data, size_t size, const std::string& name) {
    if (size == 0) codec::ThrowCorrupt(name, "the file is empty");
    d.Created = true;
    if (JpegReadHeader(&d.Info, &d.Error, &d.Progress, data, size) != 0)
        codec::ThrowCorrupt(name, d.Error.Message);
}

// The picture turned by an EXIF orientation (2-8): mirrored and/or rotated
// so that it appears upright.
TBitmap32 Orient(const TBitmap32& src, int orientation) {
    const int w = src.Width(), h = src.Height();
    const bool swap = orientation >= 5;
    TBitmap32 dst(swap ? h : w, swap ? w : h);
    const int dw = dst.Width();
    for (int y = 0; y < h; ++y) {
        const TColor32* s = src.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            int dx, dy;
            switch (orientation) {
            case 2:
                dx = w - 1 - x, dy = y;
                break; // mirrored left-right
            case 3:
                dx = w - 1 - x, dy = h - 1 - y;
                break; // upside down
            case 4:
                dx = x, dy = h - 1 - y;
                break; // mirrored top-bottom
            case 5:
                dx = y, dy = x;
                break; // transposed
            case 6:
                dx = h - 1 - y, dy = x;
                break; // turned 90 degrees clockwise
            case 7:
                dx = h - 1 - y, dy = w - 1 - x;
                break; // transverse
            case 8:
                dx = y, dy = w - 1 - x;
                break; // turned 90 degrees anticlockwise
            default:
                dx = x, dy = y;
                break;
            }
            dst.Bits()[size_t(dy) * size_t(dw) + size_t(dx)] = s[x];
        }
    }
    return dst;
}

int ChooseScaleDenom(unsigned width, unsigned height, const TJpegOptions& options) {
    if (options.MinWidth <= 0 && options.MinHeight <= 0) return 1;
    for (int denom : {8, 4, 2}) {
        int64_t w = (int64_t(width) + denom - 1) / denom, h = (int64_t(height) + denom - 1) / denom;
        if (w >= options.MinWidth && h >= options.MinHeight) return denom;
    }
    return 1;
}

} // namespace

// ---- Entry points ----

namespace codec {

void DecodeJPEG(const uint8_t* data, size_t size, TBitmap32& out, const TJpegOptions& options,
                const std::string& name) {
    TDecompressor d;
    OpenHeader(d, data, size, name);
    CheckPictureSize(name, d.Info.image_width, d.Info.image_height);
    // Huffman coding spends at least one bit on every block of a scan, and
    // each component has at least one block per MCU: a file too short for
    // the picture its header claims is cut off, and is refused before the
    // picture is allocated. (Arithmetic coding can go far below a bit.)
    const uint64_t mcus =
        uint64_t((d.Info.image_width + 8 * d.Info.max_h_samp_factor - 1) / (8 * d.Info.max_h_samp_factor)) *
        uint64_t((d.Info.image_height + 8 * d.Info.max_v_samp_factor - 1) / (8 * d.Info.max_v_samp_factor));
    if (!d.Info.arith_code && uint64_t(size) * 8 < mcus) ThrowCorrupt(name, "the file ends early");
    int orientation = options.ApplyOrientation ? FindOrientation(data, size) : 1;

    const bool cmyk = d.Info.jpeg_color_space == JCS_CMYK || d.Info.jpeg_color_space == JCS_YCCK;
    d.Info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    d.Info.scale_num = 1;
    d.Info.scale_denom = unsigned(ChooseScaleDenom(d.Info.image_width, d.Info.image_height, options));
    if (JpegCalcOutput(&d.Info, &d.Error) != 0) ThrowCorrupt(name, d.Error.Message);

    TBitmap32 picture(int(d.Info.output_width), int(d.Info.output_height));
    std::unique_ptr<uint8_t[]> cmykRow(cmyk ? new uint8_t[size_t(d.Info.output_width) * 4] : nullptr);
    if (JpegReadPixels(&d.Info, &d.Error, reinterpret_cast<uint8_t*>(picture.Bits()),
                       size_t(picture.Width()) * 4, cmykRow.get()) != 0)
        ThrowCorrupt(name, d.Error.Message);
    if (orientation != 1) picture = Orient(picture, orientation);
    AdoptPixels(out, std::move(picture));
}

TPictureSize ReadJPEGSize(const uint8_t* data, size_t size, const std::string& name) {
    TDecompressor d;
    OpenHeader(d, data, size, name);
    TPictureSize result{int(d.Info.image_width), int(d.Info.image_height)};
    if (FindOrientation(data, size) >= 5) std::swap(result.Width, result.Height);
    return result;
}

} // namespace codec

void DecodeJPEGFile(const std::string& path, TBitmap32& out, const TJpegOptions& options) {
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    codec::DecodeJPEG(data.data(), data.size(), out, options, path);
}

void DecodeJPEGMemory(const uint8_t* data, size_t size, TBitmap32& out, const TJpegOptions& options) {
    codec::DecodeJPEG(data, size, out, options, codec::kMemoryName);
}

TPictureSize ReadJPEGSize(const std::string& path) {
    // The header with its EXIF block sits at the start; a megabyte covers
    // every real file, and a shorter read is retried whole.
    std::vector<uint8_t> head = codec::ReadFileBytes(path, 1 << 20);
    try {
        return codec::ReadJPEGSize(head.data(), head.size(), path);
    } catch (const EUserError&) {
        if (head.size() < size_t(1 << 20)) throw;
    }
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    return codec::ReadJPEGSize(data.data(), data.size(), path);
}

TPictureSize ReadJPEGSizeMemory(const uint8_t* data, size_t size) {
    return codec::ReadJPEGSize(data, size, codec::kMemoryName);
}

std::vector<uint8_t> EncodeJPEGMemory(const TBitmap32& source, int quality) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture as JPEG");
    jpeg_compress_struct info{};
    TJpegError error{};
    InitError(error);
    info.err = &error.Pub;
    TJpegMemoryDest dest{};
    dest.Pub.init_destination = DestInit;
    dest.Pub.empty_output_buffer = DestEmpty;
    dest.Pub.term_destination = DestTerm;
    dest.Capacity = 65536;
    dest.Buffer = static_cast<unsigned char*>(std::malloc(dest.Capacity));
    if (!dest.Buffer) throw std::bad_alloc();
    int status = JpegEncode(&info, &error, &dest, source.Bits(), source.Width(), source.Height(),
                            std::clamp(quality, 1, 100));
    std::vector<uint8_t> result;
    if (status == 0) result.assign(dest.Buffer, dest.Pub.next_output_byte);
    jpeg_destroy_compress(&info);
    std::free(dest.Buffer);
    if (status != 0) throw EUserError(std::string("Cannot encode JPEG: ") + error.Message);
    return result;
}

void EncodeJPEGFile(const std::string& path, const TBitmap32& source, int quality) {
    codec::WritePictureFile(path, EncodeJPEGMemory(source, quality));
}
