// Every input kept in tests/data/fuzz-regressions (crashes and hangs the
// fuzzers found, and hostile files made by hand) goes through every decoder:
// each must decode to a whole picture or raise EUserError.

#include <gtest/gtest.h>

#include <filesystem>

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
    }
    EXPECT_GT(files, 0);
}
