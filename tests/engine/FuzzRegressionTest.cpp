// Every input kept in tests/data/fuzz-regressions (crashes, hangs and memory
// bombs the fuzzers found, and hostile files made by hand) goes through every
// decoder: each must decode to a whole picture or raise EUserError, and take
// little more memory than the picture it makes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CodecHelpers.h"
#include "common/TestSupport.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"

namespace {

template <class F> void DecodesOrRefuses(const std::string& what, F&& decode) {
    TBitmap32 out;
    try {
        decode(out);
        EXPECT_FALSE(out.Empty()) << what;
    } catch (const EUserError& e) {
        EXPECT_TRUE(out.Empty()) << what;
        EXPECT_NE(std::string(e.what()), "") << what;
    }
}

// What one decode did in a child process of its own: the size of the
// picture it made ("" when refused), the refusal, and how far the child's
// peak resident memory rose over what it held when it started. A forked
// child starts with its peak at its current size, so earlier tests of this
// process cannot hide a rise.
struct TDecodeCost {
    std::string Size, Refusal;
    long GrowthKB = -1;
    int64_t Pixels = 0;
};

TDecodeCost DecodeInChild(const std::function<void(TBitmap32&)>& decode) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        std::string report;
        int64_t pixels = 0;
        TBitmap32 out;
        try {
            decode(out);
            pixels = int64_t(out.Width()) * out.Height();
            report = std::to_string(out.Width()) + " x " + std::to_string(out.Height()) + "\n";
        } catch (const EUserError& e) {
            report = std::string("\n") + e.what();
        }
        getrusage(RUSAGE_SELF, &after);
        report =
            std::to_string(after.ru_maxrss - before.ru_maxrss) + " " + std::to_string(pixels) + "\n" + report;
        for (size_t done = 0; done < report.size();) {
            const ssize_t n = write(fds[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    TDecodeCost cost;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return cost;
    const size_t line1 = text.find('\n'), line2 = text.find('\n', line1 + 1);
    if (line1 == text.npos || line2 == text.npos) return cost;
    cost.GrowthKB = std::stol(text.substr(0, line1));
    cost.Pixels = std::stoll(text.substr(text.find(' ') + 1, line1));
    cost.Size = text.substr(line1 + 1, line2 - line1 - 1);
    cost.Refusal = text.substr(line2 + 1);
    return cost;
}

// Memory a decode may take whatever a file claims, on top of a few bytes per
// pixel of the picture it really makes.
constexpr long kSmallKB = 50 * 1024;

void ExpectCheap(const std::string& what, const TDecodeCost& cost) {
    ASSERT_GE(cost.GrowthKB, 0) << what << ": the child failed";
    EXPECT_LT(cost.GrowthKB, kSmallKB + cost.Pixels * 16 / 1024) << what << " (" << cost.Size << ")";
}

const uint8_t kSof0[] = {0xFF, 0xC0};

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(FuzzRegressions, EveryKeptInputIsHandled) {
    const std::filesystem::path dir = TestDataPath("fuzz-regressions");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
        ++files;
        const std::vector<uint8_t> d = testpic::ReadBytes(entry.path().string());
        const std::string name = entry.path().filename().string();
        const uint8_t* p = d.data();
        const size_t n = d.size();
        DecodesOrRefuses(name + " any", [&](TBitmap32& out) { DecodePictureMemory(p, n, out); });
        DecodesOrRefuses(name + " jpeg", [&](TBitmap32& out) { DecodeJPEGMemory(p, n, out); });
        DecodesOrRefuses(name + " jpeg 1/8", [&](TBitmap32& out) {
            TJpegOptions o;
            o.MinWidth = o.MinHeight = 16;
            DecodeJPEGMemory(p, n, out, o);
        });
        DecodesOrRefuses(name + " png", [&](TBitmap32& out) { DecodePNGToBitmapMemory(p, n, out); });
        DecodesOrRefuses(name + " png raw", [&](TBitmap32& out) { AssignPNG32(out, DecodePNGMemory(p, n)); });
        DecodesOrRefuses(name + " gif", [&](TBitmap32& out) { DecodeGIFMemory(p, n, out); });
        DecodesOrRefuses(name + " bmp", [&](TBitmap32& out) { DecodeBMPMemory(p, n, out); });
        ExpectCheap(name, DecodeInChild([&](TBitmap32& out) { DecodePictureMemory(p, n, out); }));
    }
    EXPECT_GT(files, 0);
}

// Lengths and counts a file claims cost nothing until the data is there:
// chunks, markers and extensions the program does not use are skipped, not
// kept, and a length running past the end of the file is refused as such.
TEST(FuzzRegressions, ClaimsInHeadersCostLittleMemory) {
    using namespace testpic;
    // PNG: 16 x 1 pixels with one ancillary chunk declaring almost 2 GB.
    const std::vector<uint8_t> small = EncodePNGMemory(MakePhoto(16, 1), 9);
    const std::vector<uint8_t> head(small.begin(), small.begin() + 33); // signature, IHDR
    const std::vector<uint8_t> idatAndEnd(small.begin() + ptrdiff_t(FindPngChunk(small, "IDAT")),
                                          small.end());
    for (const char* type : {"iTXt", "zTXt", "tEXt", "iCCP", "eXIf", "sPLT", "vpAg"}) {
        std::vector<uint8_t> chunk = PngChunk(type, std::vector<uint8_t>(200, 'k'));
        PutBE32(chunk, 0, 0x71000000);
        const std::vector<uint8_t> png = Concat({head, chunk, idatAndEnd});
        const TDecodeCost cost =
            DecodeInChild([&](TBitmap32& out) { DecodePNGToBitmapMemory(png.data(), png.size(), out); });
        ExpectCheap(type, cost);
        EXPECT_NE(cost.Refusal.find("ends early"), std::string::npos) << type << ": " << cost.Refusal;
        // Present in full, the same chunks are passed over.
        const std::vector<uint8_t> whole =
            Concat({head, PngChunk(type, std::vector<uint8_t>(300000, 'k')), idatAndEnd});
        TBitmap32 out;
        DecodePNGToBitmapMemory(whole.data(), whole.size(), out);
        EXPECT_EQ(out.Width(), 16) << type;
    }
    // The kept 313-byte original, through the file path the thumbnails take.
    const std::string bomb = TestDataPath("fuzz-regressions/png-itxt-claims-1900mb.png");
    const TDecodeCost file = DecodeInChild([&](TBitmap32& out) { LoadPNG32(bomb, out); });
    ExpectCheap("png file", file);
    EXPECT_NE(file.Refusal.find(bomb), std::string::npos) << file.Refusal;

    // JPEG: a million empty APP1 segments ahead of the EXIF block. Only the
    // orientation is read and no segment is kept (keeping them cost memory
    // for each, and time growing with the square of their number).
    const std::vector<uint8_t> jpeg = WithOrientation(EncodeJPEGMemory(MakePhoto(32, 16), 90), 6, false);
    std::vector<uint8_t> marked(jpeg.begin(), jpeg.begin() + 2);
    marked.reserve(4u << 20);
    for (int i = 0; i < 1000000; ++i) marked.insert(marked.end(), {0xFF, 0xE1, 0x00, 0x02});
    marked.insert(marked.end(), jpeg.begin() + 2, jpeg.end());
    const TDecodeCost turned =
        DecodeInChild([&](TBitmap32& out) { DecodeJPEGMemory(marked.data(), marked.size(), out); });
    ExpectCheap("jpeg", turned);
    EXPECT_EQ(turned.Size, "16 x 32") << turned.Refusal;
    // A header claiming 30000 x 8000 pixels (within the limits) ahead of the
    // data of 16 x 16: cut off, refused before the picture is allocated.
    std::vector<uint8_t> claims = EncodeJPEGMemory(MakePhoto(16, 16), 90);
    const size_t sof = size_t(std::search(claims.begin(), claims.end(), kSof0, kSof0 + 2) - claims.begin());
    ASSERT_LT(sof + 8, claims.size());
    claims[sof + 5] = 8000 >> 8, claims[sof + 6] = 8000 & 255, claims[sof + 7] = 30000 >> 8,
    claims[sof + 8] = 30000 & 255;
    const TDecodeCost tall =
        DecodeInChild([&](TBitmap32& out) { DecodeJPEGMemory(claims.data(), claims.size(), out); });
    ExpectCheap("jpeg 30000 x 8000", tall);
    EXPECT_NE(tall.Refusal.find("ends early"), std::string::npos) << tall.Refusal;

    // GIF: a comment extension of 4 MB in 255-byte blocks, then a frame
    // whose data is cut off.
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 16, 0, 16, 0, 0, 0, 0, 0x21, 0xFE};
    for (int i = 0; i < 16000; ++i) {
        gif.push_back(255);
        gif.insert(gif.end(), 255, 'c');
    }
    gif.insert(gif.end(), {0, 0x2C, 0, 0, 0, 0, 16, 0, 16, 0, 0, 8, 255});
    const TDecodeCost cut =
        DecodeInChild([&](TBitmap32& out) { DecodeGIFMemory(gif.data(), gif.size(), out); });
    ExpectCheap("gif", cut);
    EXPECT_NE(cut.Refusal, "");
}
