// Writing true-colour PNG (8-bit RGBA or RGB) without libpng: the chunks are
// few and simple, and the time goes into compression, which libdeflate does
// several times faster than zlib at the same or better ratio.
//
// Rows are filtered as libpng filters them: each row takes the filter type
// whose output has the smallest sum of absolute values (bytes read as signed),
// the earlier type on a tie (None, Sub, Up, Average, Paeth). Filtering a row
// needs only that row and the one above, so the picture is cut into pieces of
// whole rows, each filtered and compressed by whichever thread takes it up
// (only the pieces in work are held uncompressed). Each piece becomes a raw
// deflate stream; every one but the last is then made to continue (its last
// block no longer marked last, and an empty stored block bringing it to a
// byte boundary, as zlib's sync flush does), so that the pieces form one zlib
// stream.
//
// ---- Sections ----
//   Filtering
//   Compression
//   Chunks

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "engine/CodecSupport.h"
#include "engine/Errors.h"
#include "engine/ParallelRows.h"

namespace codec {

// ---- Filtering ----

namespace {

enum : uint8_t { kNone, kSub, kUp, kAverage, kPaeth };

inline uint32_t Magnitude(uint8_t v) {
    return v < 128 ? v : 256u - v;
}

inline int PaethPredictor(int a, int b, int c) {
    const int p = b - c, q = a - c;
    const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// The filtered byte i of a row of n bytes (bpp bytes a pixel) with the row
// above `up` (zeros above the first row).
template <int Filter> inline uint8_t Filtered(const uint8_t* row, const uint8_t* up, size_t i, size_t bpp) {
    const int x = row[i];
    const int a = i >= bpp ? row[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
    switch (Filter) {
    case kNone:
        return uint8_t(x);
    case kSub:
        return uint8_t(x - a);
    case kUp:
        return uint8_t(x - b);
    case kAverage:
        return uint8_t(x - ((a + b) >> 1));
    default:
        return uint8_t(x - PaethPredictor(a, b, c));
    }
}

template <int Filter> uint64_t FilterSum(const uint8_t* row, const uint8_t* up, size_t n, size_t bpp) {
    uint64_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += Magnitude(Filtered<Filter>(row, up, i, bpp));
    return sum;
}

template <int Filter>
void FilterRow(const uint8_t* row, const uint8_t* up, size_t n, size_t bpp, uint8_t* out) {
    for (size_t i = 0; i < n; ++i) out[i] = Filtered<Filter>(row, up, i, bpp);
}

// Row y of the picture in PNG byte order (R, G, B[, A]).
void RawRow(const TBitmap32& source, int y, bool alpha, uint8_t* out) {
    const TColor32* p = source.ScanLine(y);
    const int w = source.Width();
    if (alpha) {
        for (int x = 0; x < w; ++x, out += 4) {
            const TColor32 c = p[x];
            out[0] = uint8_t(c >> 16), out[1] = uint8_t(c >> 8), out[2] = uint8_t(c),
            out[3] = uint8_t(c >> 24);
        }
    } else {
        for (int x = 0; x < w; ++x, out += 3) {
            const TColor32 c = p[x];
            out[0] = uint8_t(c >> 16), out[1] = uint8_t(c >> 8), out[2] = uint8_t(c);
        }
    }
}

} // namespace

namespace {
// Rows [first, end) filtered into out (a leading filter type byte a row).
void FilterRows(const TBitmap32& source, bool alpha, int first, int end, std::vector<uint8_t>& out) {
    const size_t bpp = alpha ? 4 : 3;
    const size_t n = size_t(source.Width()) * bpp, stride = n + 1;
    out.resize(stride * size_t(end - first));
    std::vector<uint8_t> above(n, 0), row(n);
    if (first > 0) RawRow(source, first - 1, alpha, above.data());
    for (int y = first; y < end; ++y) {
        RawRow(source, y, alpha, row.data());
        const uint64_t sums[5] = {FilterSum<kNone>(row.data(), above.data(), n, bpp),
                                  FilterSum<kSub>(row.data(), above.data(), n, bpp),
                                  FilterSum<kUp>(row.data(), above.data(), n, bpp),
                                  FilterSum<kAverage>(row.data(), above.data(), n, bpp),
                                  FilterSum<kPaeth>(row.data(), above.data(), n, bpp)};
        const uint8_t best = uint8_t(std::min_element(sums, sums + 5) - sums); // the first of equals
        uint8_t* o = out.data() + size_t(y - first) * stride;
        o[0] = best;
        switch (best) {
        case kNone:
            FilterRow<kNone>(row.data(), above.data(), n, bpp, o + 1);
            break;
        case kSub:
            FilterRow<kSub>(row.data(), above.data(), n, bpp, o + 1);
            break;
        case kUp:
            FilterRow<kUp>(row.data(), above.data(), n, bpp, o + 1);
            break;
        case kAverage:
            FilterRow<kAverage>(row.data(), above.data(), n, bpp, o + 1);
            break;
        default:
            FilterRow<kPaeth>(row.data(), above.data(), n, bpp, o + 1);
            break;
        }
        std::swap(row, above);
    }
}
} // namespace

std::vector<uint8_t> FilterPNGRows(const TBitmap32& source, bool alpha) {
    std::vector<uint8_t> out;
    FilterRows(source, alpha, 0, source.Height(), out);
    return out;
}

// ---- Compression ----

namespace {

struct TCompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// zlib's levels carried over to libdeflate's. Its levels up to 9 match zlib's
// in spirit; zlib's best (9) becomes libdeflate's first near-optimal level,
// which makes files no larger than zlib's best, where its own 9 may not.
int DeflateLevel(int zlibLevel) {
    return zlibLevel >= 9 ? 10 : std::clamp(zlibLevel, 0, 9);
}

std::vector<uint8_t> Deflate(const uint8_t* data, size_t size, int level) {
    std::unique_ptr<libdeflate_compressor, TCompressorDeleter> c(libdeflate_alloc_compressor(level));
    if (!c) throw std::bad_alloc();
    std::vector<uint8_t> out(libdeflate_deflate_compress_bound(c.get(), size));
    const size_t written = libdeflate_deflate_compress(c.get(), data, size, out.data(), out.size());
    if (written == 0) throw std::runtime_error("the compressor gave up");
    out.resize(written);
    return out;
}

// Makes a complete raw deflate stream continuable: its last block loses the
// last-block mark, and an empty stored block ends it on a byte boundary. The
// blocks are found by inflating the stream with zlib, which stops at every
// block boundary when asked to; the output is thrown away.
void MakeContinuable(std::vector<uint8_t>& stream) {
    if (stream.empty()) throw std::runtime_error("an empty stream");
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) throw std::bad_alloc();
    struct TEnd {
        z_stream& Z;
        ~TEnd() { inflateEnd(&Z); }
    } end{z};
    std::vector<uint8_t> junk(1 << 16);
    z.next_in = stream.data();
    z.avail_in = uInt(stream.size());
    // the first bit of a block header says whether it is the last block
    size_t headerByte = 0;
    uint8_t headerMask = 1;
    int unused = -1; // bits left over in the last byte after the last block
    for (;;) {
        z.next_out = junk.data();
        z.avail_out = uInt(junk.size());
        const int r = inflate(&z, Z_BLOCK);
        if (r == Z_STREAM_END) break;
        if (r != Z_OK) throw std::runtime_error("the compressed data does not inflate");
        if ((z.data_type & 128) == 0) continue; // not at a block boundary
        // bits left in the last byte read, and the block just ended the last?
        const int left = z.data_type & 7;
        if (z.data_type & 64) {
            unused = left;
            continue;
        }
        const size_t next = size_t(z.next_in - stream.data());
        if (left != 0) {
            headerByte = next - 1;
            headerMask = uint8_t(0x100 >> left);
        } else {
            headerByte = next;
            headerMask = 1;
        }
    }
    if (z.avail_in != 0 || unused < 0) throw std::runtime_error("the compressed stream ends unexpectedly");
    stream[headerByte] &= uint8_t(~headerMask);
    // The stored block's three header bits (not last, type 0) go into the
    // unused bits of the last byte when there are three of them, else into a
    // new byte; then LEN = 0 and NLEN = ~0 on the byte boundary.
    stream.back() &= uint8_t(0xFF >> unused); // unused bits as zeros
    if (unused < 3) stream.push_back(0);
    for (uint8_t b : {0x00, 0x00, 0xFF, 0xFF}) stream.push_back(b);
}

// The zlib stream of `pieces` pieces of data, piece i made by fill(i, buffer)
// when a thread takes it up, so that only the pieces being worked on are
// held uncompressed. Each piece is a raw deflate stream, all but the last
// made continuable; the Adler-32 sums of the pieces are combined.
template <class Fill> std::vector<uint8_t> CompressPieces(int pieces, int level, Fill fill) {
    const int deflateLevel = DeflateLevel(level);
    std::vector<std::vector<uint8_t>> compressed(static_cast<size_t>(pieces));
    std::vector<uint32_t> adler(static_cast<size_t>(pieces));
    std::vector<size_t> sizes(static_cast<size_t>(pieces));
    std::vector<std::exception_ptr> failures(static_cast<size_t>(pieces));
    ForEachConcurrently(pieces, ThreadBudget(), [&](int i) {
        try {
            std::vector<uint8_t> data;
            fill(i, data);
            adler[size_t(i)] = uint32_t(libdeflate_adler32(1, data.data(), data.size()));
            sizes[size_t(i)] = data.size();
            compressed[size_t(i)] = Deflate(data.data(), data.size(), deflateLevel);
            if (i + 1 < pieces) MakeContinuable(compressed[size_t(i)]);
        } catch (...) {
            failures[size_t(i)] = std::current_exception();
        }
    });
    for (const std::exception_ptr& f : failures)
        if (f) std::rethrow_exception(f);
    // zlib wrapper: deflate with a 32 KB window at the best level, Adler-32
    std::vector<uint8_t> out{0x78, 0xDA};
    size_t total = 2 + 4;
    for (const auto& c : compressed) total += c.size();
    out.reserve(total);
    uLong sum = adler[0];
    for (int i = 0; i < pieces; ++i) {
        out.insert(out.end(), compressed[size_t(i)].begin(), compressed[size_t(i)].end());
        compressed[size_t(i)] = {};
        if (i > 0) sum = adler32_combine(sum, adler[size_t(i)], z_off_t(sizes[size_t(i)]));
    }
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(sum >> shift));
    return out;
}

// Pieces of at least 4 MB, a few per thread so that the threads finish
// together (each takes the next piece when it gets free), at most `limit`.
int PieceCount(size_t bytes, int limit) {
    if (ThreadBudget() == 1) return 1;
    const size_t wanted = std::clamp<size_t>(bytes / (size_t(4) << 20), 1, size_t(4 * ThreadBudget()));
    return int(std::max<size_t>(1, std::min<size_t>(wanted, size_t(std::max(limit, 1)))));
}

} // namespace

std::vector<uint8_t> CompressPNGData(const std::vector<uint8_t>& data, int level, int pieces) {
    if (pieces <= 0) pieces = PieceCount(data.size(), int(std::min<size_t>(data.size(), 1u << 30)));
    pieces = std::max(1, std::min<int>(pieces, int(std::max<size_t>(data.size(), 1))));
    return CompressPieces(pieces, level, [&](int i, std::vector<uint8_t>& out) {
        const size_t from = data.size() * size_t(i) / size_t(pieces);
        const size_t to = data.size() * size_t(i + 1) / size_t(pieces);
        out.assign(data.begin() + std::ptrdiff_t(from), data.begin() + std::ptrdiff_t(to));
    });
}

// ---- Chunks ----

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const uint8_t* data, size_t size) {
    Put32(out, uint32_t(size));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    Put32(out, uint32_t(libdeflate_crc32(0, out.data() + start, size + 4)));
}

} // namespace

std::vector<uint8_t> EncodePNGTrueColor(const TBitmap32& source, int level, bool alpha, int pieces) {
    if (source.Empty()) throw EUserError("Cannot write an empty picture as PNG");
    // pieces of whole rows, each filtered by the thread that compresses it
    const int h = source.Height();
    const size_t bytes = (size_t(source.Width()) * (alpha ? 4 : 3) + 1) * size_t(h);
    if (pieces <= 0) pieces = PieceCount(bytes, h);
    pieces = std::clamp(pieces, 1, h);
    const std::vector<uint8_t> idat = CompressPieces(pieces, level, [&](int i, std::vector<uint8_t>& out) {
        FilterRows(source, alpha, int(int64_t(h) * i / pieces), int(int64_t(h) * (i + 1) / pieces), out);
    });
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.reserve(idat.size() + (idat.size() >> 18) * 12 + 64);
    uint8_t header[13];
    for (int k = 0; k < 4; ++k) {
        header[k] = uint8_t(uint32_t(source.Width()) >> (24 - 8 * k));
        header[4 + k] = uint8_t(uint32_t(source.Height()) >> (24 - 8 * k));
    }
    header[8] = 8;               // bits per sample
    header[9] = alpha ? 6 : 2;   // RGBA or RGB
    header[10] = header[11] = 0; // deflate, adaptive filtering
    header[12] = 0;              // not interlaced
    PutChunk(out, "IHDR", header, sizeof header);
    constexpr size_t kChunk = size_t(1) << 20;
    for (size_t at = 0; at < idat.size(); at += kChunk)
        PutChunk(out, "IDAT", idat.data() + at, std::min(kChunk, idat.size() - at));
    PutChunk(out, "IEND", nullptr, 0);
    return out;
}

} // namespace codec
