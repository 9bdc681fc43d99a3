#include "editing/AddPictures.h"

#include <QFile>
#include <algorithm>

#include "document/CanvasEditor.h"
#include "document/Decorations.h"
#include "document/LayerOrder.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace {
std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The picture of a new layer: decoded in full before anything of the
// collage changes.
bool LoadLayerPicture(const std::string& file, TBitmap32& picture) {
    if (!LoadPicture32(file, picture)) return false;
    picture.DrawMode = TDrawMode::Blend;
    picture.Resampler = TResamplerKind::Linear;
    return !picture.Empty();
}

void SetPictureKeepingTransparency(TNewRotLayer& layer, const TBitmap32& picture) {
    const uint8_t alpha = layer.Picture.Empty() ? 255 : layer.Picture.MasterAlpha;
    layer.Picture.Assign(picture);
    layer.Picture.MasterAlpha = alpha;
    layer.Picture.DrawMode = TDrawMode::Blend;
    layer.Picture.Resampler = TResamplerKind::Linear;
}

const char* kPictureFilter = "All Supported Format|*.bmp;*.jpg;*.jpeg;*.gif;*.png|BMP Format (high quality)|*.bmp|"
                             "GIF Format (for web)|*.gif|Png Format(*.png)|*.png|JPG Format (small file size)|*.jpg";
} // namespace

TNewRotLayer* AddContentLayer(TCanvasEditor& ed, const std::string& file, TPictureKind kind,
                              const std::string& category, TPlacement placement, int dropX, int dropY) {
    TCollageDocument& doc = ed.Doc;
    TBitmap32 picture;
    if (!LoadLayerPicture(file, picture)) return nullptr;
    std::unique_ptr<TBitmap32> mask;
    if (kind == TPictureKind::Photo && FileExists(ResourceRoot() + "Masks/" + NativePath(kDefaultPhotoMask))) {
        try {
            mask = LoadMaskByName(kDefaultPhotoMask);
        } catch (const std::exception&) {
            mask.reset(); // a damaged default mask: the photo comes without one
        }
    }
    TNewRotLayer* layer = nullptr;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        layer = doc.Layers().Add<TNewRotLayer>();
        layer->Picture.Assign(picture);
        if (kind == TPictureKind::Photo) {
            layer->ImageType = itPhoto;
            layer->SourceFile = file;
        } else {
            layer->ImageType = Upper(Trim(category)) == "CUSTOMIZE" ? itUserClipart : itClipart;
            layer->SourceFile = LibraryName(category, ExtractFileName(file));
        }
        int fw = doc.ImageScreen.Bitmap.Width(), fh = doc.ImageScreen.Bitmap.Height();
        FitInside(picture.Width(), picture.Height(), fw, fh);
        float sx = doc.Layers().ScaleX(), sy = doc.Layers().ScaleY();
        if (sx == 0) sx = 1;
        if (sy == 0) sy = 1;
        float x, y;
        if (placement == TPlacement::VisibleCorner) {
            // the page point at the view's top-left corner (the page starts
            // a margin into the control)
            x = std::max(0.0f, -doc.Layers().ShiftX() / sx);
            y = std::max(0.0f, -doc.Layers().ShiftY() / sy);
        } else {
            x = float(Round((dropX - doc.Layers().ShiftX()) / sx));
            y = float(Round((dropY - doc.Layers().ShiftY()) / sy));
        }
        layer->SetLocation({x, y, x + fw, y + fh});
        layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
        layer->SetScaled(true);
        layer->AlphaHit = true;
        layer->SetViewedRect({0, 0, picture.Width(), picture.Height()});
        if (mask) {
            layer->AssignMask(mask.get());
            layer->MaskName = kDefaultPhotoMask;
        }
        layer->RebuildScreenCache();
        ed.DeselectAll();
        ed.SelectLayer(layer);
        KeepBorderOnTop(doc);
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
    // recorded where the layer finally lies, under the border frame
    ed.OpenStep(THistoryKind::InsertLayers);
    auto& r = doc.UndoHistory.Add<TSnapshotRecord>(ed.PositionOf(layer));
    r.Snapshot = CaptureLayer(*layer, TSnapshotUse::History);
    if (ed.Host) ed.Host->FocusCanvas();
    return layer;
}

bool DropPhotoOnLayer(TCanvasEditor& ed, TNewRotLayer& target, const std::string& file) {
    TCollageDocument& doc = ed.Doc;
    if (target.Locked) {
        ed.DropTargetLayer = nullptr;
        ShowInfo(Lang("The layer is locked!"));
        return false;
    }
    TBitmap32 picture;
    if (!LoadLayerPicture(file, picture)) return false;
    int cw = Round(target.Location.Width()), ch = Round(target.Location.Height());
    AspectCut(picture.Width(), picture.Height(), cw, ch);
    const TRect crop{0, 0, cw - 1, ch - 1};
    ed.OpenStep(THistoryKind::ReplacePicture);
    auto& r = doc.UndoHistory.Add<TPictureRecord>(ed.PositionOf(&target));
    r.Before.SourceFile = target.SourceFile;
    r.Before.ViewedRect = target.ViewedRect;
    r.Before.ImageType = target.ImageType;
    r.Before.PictureEdited = target.PictureEdited;
    if (Trim(target.SourceFile).empty() || target.ImageType == itPlaceholder || target.PictureEdited)
        r.Before.Picture = HoldPicture(target.Picture);
    r.After.SourceFile = file;
    r.After.ViewedRect = crop;
    r.After.ImageType = itPhoto;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        SetPictureKeepingTransparency(target, picture);
        target.SetViewedRect(crop);
        if (target.ImageType == itPlaceholder) {
            target.ImageType = itPhoto;
            target.PlaceholderLine1.clear();
            target.PlaceholderLine2.clear();
        }
        target.SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
        target.SourceFile = file;
        target.PictureEdited = false;
        target.RebuildScreenCache();
        if (target.Handles) {
            doc.SyncHandles(target);
            ed.PreparePictureHandle(target.Handles);
        }
        target.Changed();
    }
    doc.SetModified(true);
    ed.DropTargetLayer = nullptr;
    if (ed.Host) ed.Host->FocusCanvas();
    return true;
}

void PMenuChangephotoClick(TCanvasEditor& ed) {
    TCollageDocument& doc = ed.Doc;
    if (Trim(ed.PictureDialogFolder).empty() && DirectoryExists(ResourceRoot() + "Photos"))
        ed.PictureDialogFolder = ResourceRoot() + "Photos";
    TFileDialogRequest req;
    req.Filter = kPictureFilter;
    req.InitialDir = ed.PictureDialogFolder;
    const TFileDialogResult chosen = DialogService().OpenFile(req);
    if (chosen.FileName.empty()) return;
    ed.PictureDialogFolder = ExtractFileDir(chosen.FileName);
    TBitmap32 picture;
    if (!LoadLayerPicture(chosen.FileName, picture)) return;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        bool opened = false;
        for (TRotRubberbandLayer* h : ed.HandlesLayers()) {
            if (!opened) {
                ed.OpenStep(THistoryKind::ReplacePicture);
                opened = true;
            }
            TNewRotLayer* l = h->EditedLayer();
            if (!l || (l->ImageType != itPhoto && l->ImageType != itPlaceholder)) continue;
            auto& r = doc.UndoHistory.Add<TPictureRecord>(ed.PositionOf(l));
            r.Before.SourceFile = l->SourceFile;
            r.Before.ViewedRect = l->ViewedRect;
            r.Before.ImageType = l->ImageType;
            r.Before.PictureEdited = l->PictureEdited;
            if (Trim(l->SourceFile).empty() || l->ImageType == itPlaceholder || l->PictureEdited)
                r.Before.Picture = HoldPicture(l->Picture);
            r.After.SourceFile = chosen.FileName;
            r.After.ViewedRect = l->ViewedRect;
            r.After.ImageType = itPhoto;
            SetPictureKeepingTransparency(*l, picture);
            l->SourceFile = chosen.FileName;
            l->PictureEdited = false;
            l->ImageType = itPhoto;
            l->PlaceholderLine1.clear();
            l->PlaceholderLine2.clear();
            l->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
            l->RebuildScreenCache();
            if (l->Handles) ed.PreparePictureHandle(l->Handles);
        }
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
}

std::string UserClipartFolder() { return ResourceRoot() + "Cliparts/Customize/"; }

std::vector<std::string> AddUserCliparts(const std::vector<std::string>& files) {
    std::vector<std::string> added;
    const std::string folder = UserClipartFolder();
    ForceDirectories(folder);
    for (const std::string& file : files) {
        const std::string name = ExtractFileName(file);
        std::string dest = folder + name;
        const size_t dot = name.rfind('.');
        const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
        const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
        for (int n = 0; FileExists(dest); ++n) dest = folder + base + std::to_string(n) + ext;
        QFile source(QString::fromStdString(file));
        if (!source.copy(QString::fromStdString(dest)))
            throw EUserError(kPictureWriteFailed, dest, source.errorString().toStdString());
        added.push_back(dest);
    }
    return added;
}
