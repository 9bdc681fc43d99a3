// Loading picture files by extension, PNG transparency import and PNG export.

#include <cerrno>
#include <cstring>

#include "engine/CodecSupport.h"
#include "engine/Codecs.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace {

// BMP, JPEG and GIF pictures arrive as plain colour pictures: their alpha
// (a BMP alpha bit field, the transparent index of a GIF) is not used.
void LoadOpaque(const std::string& path, TBitmap32& target, void (*decode)(const std::string&, TBitmap32&)) {
    TBitmap32 picture;
    decode(path, picture);
    picture.ResetAlpha(255);
    codec::AdoptPixels(target, std::move(picture));
}

void DecodeJPEGPlain(const std::string& path, TBitmap32& out) {
    DecodeJPEGFile(path, out);
}

// Applies the transparency rules to the decoded pixels in place.
bool ApplyPNGTransparency(TBitmap32& picture, const TDecodedPNG& png) {
    picture.ResetAlpha(255);
    TColor32* p = picture.Bits();
    const size_t n = picture.PixelCount();
    if (png.HasKeyColor) {
        for (size_t i = 0; i < n; ++i)
            if (p[i] == png.KeyColor) p[i] &= 0x00FFFFFFu;
    }
    const bool alphaData = png.ColorType == 4 || png.ColorType == 6;
    if (alphaData && png.Alpha.size() == n) {
        for (size_t i = 0; i < n; ++i) p[i] = (p[i] & 0x00FFFFFFu) | TColor32(png.Alpha[i]) << 24;
    }
    return png.HasKeyColor || png.HasPaletteAlpha || alphaData;
}

// The messages about a picture file name it and the reason on a second line.
std::string Missing(const std::string& path) {
    const std::string why = MissingFileReason(path);
    return "Picture does not exists!\r" + path + ": " + (why.empty() ? std::strerror(ENOENT) : why);
}

std::string Unsupported(const std::string& message, const std::string& path) {
    return message + "\r" + path + ": unsupported file type";
}

} // namespace

namespace {
// Decodes by the extension; false (nothing done) for one the loader does not
// read.
bool DecodeByExtension(const std::string& path, TBitmap32& target) {
    const std::string ext = LowerExtension(path);
    if (ext == ".bmp")
        LoadOpaque(path, target, DecodeBMPFile);
    else if (ext == ".jpg" || ext == ".jpeg")
        LoadOpaque(path, target, DecodeJPEGPlain);
    else if (ext == ".gif")
        LoadOpaque(path, target, DecodeGIFFile);
    else if (ext == ".png" || ext == ".frm")
        LoadPNG32(path, target);
    else
        return false;
    return true;
}
} // namespace

bool LoadPicture32(const std::string& path, TBitmap32& target) {
    if (!FileExists(path)) {
        ShowError(Missing(path));
        return false;
    }
    target.Clear(0xFF000000);
    if (!DecodeByExtension(path, target)) {
        ShowError(Unsupported("Picture format must be bmp, jpeg, jpg or png!", path));
        return false;
    }
    return true;
}

void DecodePictureFile(const std::string& path, TBitmap32& target) {
    if (!FileExists(path)) {
        const std::string why = MissingFileReason(path);
        throw EUserError(kPictureReadFailed, path, why.empty() ? std::strerror(ENOENT) : why);
    }
    target.Clear(0xFF000000);
    if (!DecodeByExtension(path, target)) throw EUserError(kPictureReadFailed, path, "unsupported file type");
}

bool AssignPNG32(TBitmap32& target, const TDecodedPNG& png) {
    TBitmap32 picture = png.Pixels;
    bool transparent = ApplyPNGTransparency(picture, png);
    codec::AdoptPixels(target, std::move(picture));
    return transparent;
}

void LoadPNG32(const std::string& path, TBitmap32& target) {
    TDecodedPNG png = DecodePNGFile(path);
    ApplyPNGTransparency(png.Pixels, png);
    codec::AdoptPixels(target, std::move(png.Pixels));
}

void SavePNG32(const std::string& path, const TBitmap32& source, bool to8bit, int level, TColor32 transparent,
               bool keepAlpha) {
    using codec::TPngLayout;
    TPngLayout layout = to8bit ? (keepAlpha ? TPngLayout::PaletteKeyed : TPngLayout::Palette)
                               : (keepAlpha ? TPngLayout::Rgba : TPngLayout::Rgb);
    codec::WritePictureFile(path, codec::EncodePNG(source, level, layout, transparent));
}

bool LoadPictureToBitmap(const std::string& path, QImage& bitmap) {
    if (!FileExists(path)) {
        ShowError(Missing(path));
        return false;
    }
    const std::string ext = LowerExtension(path);
    TBitmap32 picture;
    if (ext == ".bmp") {
        LoadOpaque(path, picture, DecodeBMPFile);
    } else if (ext == ".jpg" || ext == ".jpeg") {
        DecodeJPEGFile(path, picture);
    } else if (ext == ".gif") {
        LoadOpaque(path, picture, DecodeGIFFile);
    } else if (ext == ".png") {
        LoadPNG32(path, picture);
    } else {
        ShowError(Unsupported("Picture format must be bmp, jpeg, jpg, gif or png!", path));
        return false;
    }
    bitmap = picture.ToImage();
    return true;
}
