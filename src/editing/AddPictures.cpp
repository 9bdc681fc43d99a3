#include "editing/AddPictures.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

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

bool IsPhotoFile(const std::string& path) {
    const std::string ext = LowerExtension(path);
    return ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".gif" || ext == ".bmp";
}

TFileDrop PlanFileDrop(const std::vector<std::string>& files) {
    TFileDrop drop;
    for (const std::string& f : files)
        if (LowerExtension(f) == ".clv" && FileExists(f)) {
            drop.Project = f;
            return drop;
        }
    for (const std::string& f : files) {
        if (!IsPhotoFile(f) || !FileExists(f)) return {};
        drop.Pictures.push_back(f);
    }
    return drop;
}

namespace {
// A new layer for an already decoded picture, at the top of the collection
// (under the border frame), its top-left corner at the view point (vx, vy)
// or, for the visible corner, where the view shows the page's scrolled-to
// corner. No selection, no history: the callers add those.
TNewRotLayer* NewContentLayer(TCanvasEditor& ed, const TBitmap32& picture, const std::string& file,
                              TPictureKind kind, const std::string& category, TPlacement placement, float vx,
                              float vy, const TBitmap32* mask) {
    TCollageDocument& doc = ed.Doc;
    TNewRotLayer* layer = doc.Layers().Add<TNewRotLayer>();
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
        // the page point at the view's top-left corner (the page starts a
        // margin into the control), moved on by (vx, vy)
        x = std::max(0.0f, -doc.Layers().ShiftX() / sx) + vx / sx;
        y = std::max(0.0f, -doc.Layers().ShiftY() / sy) + vy / sy;
    } else {
        x = float(Round((vx - doc.Layers().ShiftX()) / sx));
        y = float(Round((vy - doc.Layers().ShiftY()) / sy));
    }
    layer->SetLocation({x, y, x + fw, y + fh});
    layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
    layer->SetScaled(true);
    layer->AlphaHit = true;
    layer->SetViewedRect({0, 0, picture.Width(), picture.Height()});
    if (mask) {
        layer->AssignMask(mask);
        layer->MaskName = kDefaultPhotoMask;
    }
    layer->RebuildScreenCache();
    return layer;
}

// The default mask of a new photo, or none when its file is missing or
// damaged.
std::unique_ptr<TBitmap32> DefaultPhotoMask() {
    if (!FileExists(LibraryFile("Masks/" + NativePath(kDefaultPhotoMask)))) return nullptr;
    try {
        return LoadMaskByName(kDefaultPhotoMask);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// Selects exactly the new layers and records them as one step.
void FinishAdding(TCanvasEditor& ed, const std::vector<TNewRotLayer*>& layers) {
    TCollageDocument& doc = ed.Doc;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        ed.DeselectAll();
        for (TNewRotLayer* l : layers) ed.SelectLayer(l);
        KeepBorderOnTop(doc);
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
    // recorded where the layers finally lie, under the border frame
    ed.OpenStep(THistoryKind::InsertLayers);
    for (TNewRotLayer* l : layers) {
        auto& r = doc.UndoHistory.Add<TSnapshotRecord>(ed.PositionOf(l));
        r.Snapshot = CaptureLayer(*l, TSnapshotUse::History);
    }
    if (ed.Host) ed.Host->FocusCanvas();
}
} // namespace

TNewRotLayer* AddContentLayer(TCanvasEditor& ed, const std::string& file, TPictureKind kind,
                              const std::string& category, TPlacement placement, int dropX, int dropY) {
    TBitmap32 picture;
    if (!LoadLayerPicture(file, picture)) return nullptr;
    std::unique_ptr<TBitmap32> mask = kind == TPictureKind::Photo ? DefaultPhotoMask() : nullptr;
    TNewRotLayer* layer = nullptr;
    {
        TUpdateScope<TImage32> update(ed.Doc.ImageScreen);
        const bool corner = placement == TPlacement::VisibleCorner;
        layer = NewContentLayer(ed, picture, file, kind, category, placement, corner ? 0.0f : float(dropX),
                                corner ? 0.0f : float(dropY), mask.get());
    }
    FinishAdding(ed, {layer});
    return layer;
}

int AddPhotoLayers(TCanvasEditor& ed, const std::vector<TDroppedPicture>& pictures, TPlacement placement,
                   int x, int y) {
    if (pictures.empty()) return 0;
    // every picture is decoded before the collage changes: one that cannot
    // be read leaves everything as it was
    std::vector<TBitmap32> decoded(pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i].Picture) {
            decoded[i].Assign(*pictures[i].Picture);
            decoded[i].DrawMode = TDrawMode::Blend;
            decoded[i].Resampler = TResamplerKind::Linear;
            if (decoded[i].Empty()) return 0;
        } else if (!LoadLayerPicture(pictures[i].File, decoded[i])) {
            return 0;
        }
    }
    std::unique_ptr<TBitmap32> mask = DefaultPhotoMask();
    std::vector<TNewRotLayer*> layers;
    {
        TUpdateScope<TImage32> update(ed.Doc.ImageScreen);
        const bool corner = placement == TPlacement::VisibleCorner;
        for (size_t i = 0; i < pictures.size(); ++i) {
            // each a little below and right of the one before, so all show
            const float step = float(kDroppedPictureStep * int(i));
            const float vx = (corner ? 0.0f : float(x)) + step, vy = (corner ? 0.0f : float(y)) + step;
            layers.push_back(NewContentLayer(ed, decoded[i], pictures[i].File, TPictureKind::Photo, "",
                                             placement, vx, vy, mask.get()));
        }
    }
    FinishAdding(ed, layers);
    return int(layers.size());
}

bool DropPhotoOnLayer(TCanvasEditor& ed, TNewRotLayer& target, const std::string& file,
                      const TBitmap32* decoded) {
    TCollageDocument& doc = ed.Doc;
    if (target.Locked) {
        ed.DropTargetLayer = nullptr;
        ShowInfo(Lang("The layer is locked!"));
        return false;
    }
    TBitmap32 picture;
    if (decoded) {
        picture.Assign(*decoded);
        picture.DrawMode = TDrawMode::Blend;
        picture.Resampler = TResamplerKind::Linear;
        if (picture.Empty()) return false;
    } else if (!LoadLayerPicture(file, picture)) {
        return false;
    }
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

std::string UserClipartFolder(const std::string& category) {
    return UserLibraryRoot() + "Cliparts/" + Trim(category) + "/";
}

void AddUserCliparts(const std::vector<std::string>& files, std::vector<std::string>& added,
                     const std::string& category) {
    const std::string folder = UserClipartFolder(category);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw EUserError(kPictureWriteFailed, folder, ec.message());
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
}

void DeleteUserClipart(const std::string& file) {
    if (::unlink(file.c_str()) != 0) throw EUserError(kPictureDeleteFailed, file, std::strerror(errno));
}
