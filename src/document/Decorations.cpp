#include "document/Decorations.h"

#include "document/CollageDocument.h"
#include "document/LayerOrder.h"
#include "engine/PictureUtils.h"
#include "engine/RoleLoad.h"
#include "platform/Paths.h"

namespace {
std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}
} // namespace

std::string CompanionPath(const std::string& framePath) {
    const size_t slash = framePath.find_last_of('/');
    const size_t dot = framePath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return framePath + ".msk";
    return framePath.substr(0, dot) + ".msk";
}

std::string LibraryName(const std::string& category, const std::string& fileName) {
    return Trim(category) + "\\" + fileName;
}

std::unique_ptr<TBitmap32> LoadMaskByName(const std::string& name) {
    auto mask = std::make_unique<TBitmap32>();
    LoadJPEGPicture(LibraryFile("Masks/" + NativePath(Trim(name))), *mask);
    return mask;
}

TSubFramePictures LoadSubFrameByName(const std::string& name) {
    TSubFramePictures p;
    const std::string path = LibraryFile("Frames/" + NativePath(Trim(name)));
    p.Frame = std::make_unique<TBitmap32>();
    LoadPNG32(path, *p.Frame);
    p.Frame->DrawMode = TDrawMode::Blend;
    const std::string companion = CompanionPath(path);
    if (FileExists(companion)) {
        p.Mask = std::make_unique<TBitmap32>();
        LoadGIFPicture(companion, *p.Mask);
    }
    return p;
}

void ApplyMaskByName(TNewRotLayer& layer, const std::string& name) {
    auto mask = LoadMaskByName(name);
    layer.AssignMask(mask.get());
    layer.MaskName = name;
}

void ApplySubFrameByName(TNewRotLayer& layer, const std::string& name) {
    TSubFramePictures p = LoadSubFrameByName(name);
    layer.SubFrameName = name;
    layer.AssignSubFrame(p.Frame.get(), p.Mask.get());
}

void SetBorderByName(TCollageDocument& doc, const std::string& name) {
    TUpdateScope<TImage32> update(doc.ImageScreen);
    if (Trim(name).empty()) {
        if (doc.BorderLayer) {
            doc.Layers().Delete(doc.Layers().IndexOf(doc.BorderLayer));
            doc.BorderLayer = nullptr;
        }
        return;
    }
    const std::string path = LibraryFile("Frames/" + NativePath(Trim(name)));
    // read everything first, so a damaged file leaves the old border as it was
    TBitmap32 picture;
    picture.DrawMode = TDrawMode::Blend;
    if (!LoadPicture32(path, picture)) return;
    const std::string companion = CompanionPath(path);
    if (FileExists(companion)) {
        TBitmap32 mask;
        LoadGIFPicture(companion, mask);
        ApplyPaperMask(picture, mask, ToColor32(doc.CollageSettings.BKColor));
    }
    TNewRotLayer* border = doc.BorderLayer;
    if (!border) {
        border = doc.Layers().Add<TNewRotLayer>();
        doc.BorderLayer = border;
    }
    border->Picture.Assign(picture);
    border->ImageType = itBorderFrame;
    border->SourceFile = Trim(name);
    border->Picture.DrawMode = TDrawMode::Blend;
    border->Picture.MasterAlpha = 255;
    const TBitmap32& canvas = doc.ImageScreen.Bitmap;
    border->SetLocation({0, 0, float(canvas.Width()), float(canvas.Height())});
    border->SetPictureCenter({float(picture.Width()) / 2, float(picture.Height()) / 2});
    border->Picture.Resampler = TResamplerKind::Linear;
    border->SetScaled(true);
    border->AlphaHit = true;
    border->SetViewedRect({0, 0, picture.Width(), picture.Height()});
    border->RebuildScreenCache();
    KeepBorderOnTop(doc);
}
