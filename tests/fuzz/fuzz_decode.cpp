// libFuzzer entry point for the picture decoders. Built once per format
// (VELMORA_FUZZ_FORMAT: 0 any, 1 JPEG, 2 PNG, 3 GIF, 4 BMP); every input
// must either decode or raise EUserError.

#include <cstddef>
#include <cstdint>

#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"

namespace {

template <class F> void Guard(F&& f) {
    try {
        f();
    } catch (const EUserError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBitmap32 out;
#if VELMORA_FUZZ_FORMAT == 1
    Guard([&] { DecodeJPEGMemory(data, size, out); });
    // The thumbnail path scales in the DCT domain.
    Guard([&] {
        TJpegOptions options;
        options.MinWidth = options.MinHeight = 16;
        DecodeJPEGMemory(data, size, out, options);
    });
    Guard([&] { ReadJPEGSizeMemory(data, size); });
#elif VELMORA_FUZZ_FORMAT == 2
    Guard([&] {
        TDecodedPNG png = DecodePNGMemory(data, size);
        AssignPNG32(out, png);
    });
    Guard([&] { DecodePNGToBitmapMemory(data, size, out); });
#elif VELMORA_FUZZ_FORMAT == 3
    Guard([&] { DecodeGIFMemory(data, size, out); });
    Guard([&] { ReadGIFSizeMemory(data, size); });
#elif VELMORA_FUZZ_FORMAT == 4
    Guard([&] { DecodeBMPMemory(data, size, out); });
    Guard([&] { ReadBMPSizeMemory(data, size); });
#else
    Guard([&] { DecodePictureMemory(data, size, out); });
#endif
    return 0;
}
