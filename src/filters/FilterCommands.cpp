#include "filters/FilterCommands.h"

#include <algorithm>

#include "engine/PictureUtils.h"
#include "platform/Messages.h"

// ---- The thumbnails ----

TBitmap32 ThumbnailSource(const TBitmap32& picture, int boxWidth, int boxHeight) {
    int w = boxWidth, h = boxHeight;
    FitInside(picture.Width(), picture.Height(), w, h);
    TBitmap32 out(w, h);
    out.Clear(0xFFFFFFFF);
    out.StretchDraw(out.BoundsRect(), picture);
    return out;
}

TBitmap32 FilterThumbnail(const TBitmap32& source, FilterProc proc) {
    TBitmap32 work;
    work.Assign(source);
    proc(work, FilterParams{});
    return work;
}

// ---- The parameter page ----

bool FilterAppliesAtOnce(int i) {
    return i == fiGray || i == fiCarve || i == fiRelievo || i == fiLine || i == fiInverse ||
           i == fiEqualization;
}

int FilterModeOf(int i) {
    switch (i) {
    case fiBrightnessContrast:
        return fmBrightnessContrast;
    case fiCanvas:
        return fmCanvas;
    case fiMosaic:
        return fmMosaic;
    case fiSketch:
        return fmSketch;
    case fiBlur:
        return fmBlur;
    case fiSaturation:
        return fmSaturation;
    case fiColorMatrix:
        return fmColorMatrix;
    default:
        return fmNone;
    }
}

TParamPageSetup ParamPageSetup(int filterIndex) {
    // label indexes into FilterNames(): 13 "Brightness", 14 "Contrast",
    // 15 "Range", 17 "Radius", 18..20 "Red", "Green", "Blue"; the saturation
    // bar is labelled with the filter's own name
    TParamPageSetup s;
    s.Mode = FilterModeOf(filterIndex);
    auto bar = [&](int k, int label, int min, int max, int position) {
        s.Bars[size_t(k)] = {true, label, min, max, position};
    };
    switch (s.Mode) {
    case fmBrightnessContrast:
        bar(0, 13, -255, 255, 0);
        bar(1, 14, 1, 100, 1);
        break;
    case fmCanvas:
        bar(0, 15, 1, 50, 1);
        break;
    case fmMosaic:
        bar(0, 15, 1, 100, 1);
        break;
    case fmSketch:
        s.CheckBox = true;
        break;
    case fmBlur:
        bar(0, 17, 1, 30, 2);
        break;
    case fmSaturation:
        bar(0, fiSaturation, 0, 1555, 100);
        break;
    case fmColorMatrix:
        bar(0, 18, 0, 255, 255);
        bar(1, 19, 0, 255, 255);
        bar(2, 20, 0, 255, 255);
        break;
    default:
        break;
    }
    return s;
}

FilterParams ModeParams(int mode, const TParamValues& v) {
    if (mode == fmSketch) return FilterParams{{-1.0f, v.Checked ? 0.0f : 1.0f, 0.0f, 0.0f}};
    return FilterParams{{-1.0f, float(v.Bars[0]), float(v.Bars[1]), float(v.Bars[2])}};
}

void RunModeFilter(int mode, const TParamValues& values, TBitmap32& picture) {
    static const FilterProc procs[] = {
        BrightnessContrastFilter, CanvasFilter,     MosaicFilter, SketchFilter, BlurFilter,
        SaturationFilter,         ColorMatrixFilter};
    if (mode < 0 || mode >= int(std::size(procs))) return;
    procs[mode](picture, ModeParams(mode, values));
}

void TFilterPreview::Load(const TBitmap32& photo, int boxWidth, int boxHeight) {
    // the preview shows the photo's own pixels, stretched like the photo
    int w = boxWidth, h = boxHeight;
    FitInside(photo.Width(), photo.Height(), w, h);
    TBitmap32 fitted(w, h);
    fitted.Clear(0xFF000000);
    fitted.StretchDraw(fitted.BoundsRect(), photo);
    FilterBackup = std::move(fitted);
    Picture.Assign(FilterBackup);
}

void TFilterPreview::TrackBarChange(const TParamValues& values) {
    if (Mode == fmNone || Mode == fmSketch) return;
    Picture.Assign(FilterBackup);
    RunModeFilter(Mode, values, Picture);
}

void TFilterPreview::CheckBoxClick(const TParamValues& values) {
    if (Mode != fmSketch) return;
    Picture.Assign(FilterBackup);
    RunModeFilter(Mode, values, Picture);
}

// ---- Commands ----

THistoryPicture SharedNewestPicture(TCollageDocument& doc, int position, const TBitmap32& picture) {
    TUnReDo& h = doc.UndoHistory;
    const THistoryEntry& newest = h.Slot(h.Current());
    if (newest.Kind != THistoryKind::ReplacePicture) return nullptr;
    for (const auto& rec : newest.Records) {
        const auto* r = dynamic_cast<const TPictureRecord*>(rec.get());
        if (r && r->Position == position && r->After.Picture && r->After.Picture->SamePixels(picture))
            return r->After.Picture;
    }
    return nullptr;
}

namespace {

TPictureSide SideOf(const TNewRotLayer& layer, THistoryPicture picture) {
    TPictureSide s;
    s.SourceFile = layer.SourceFile;
    s.ViewedRect = layer.ViewedRect;
    s.Picture = std::move(picture);
    s.ImageType = layer.ImageType;
    s.PictureEdited = layer.PictureEdited;
    return s;
}

// Collects the loader's messages instead of showing them, so that several
// photos that fail report once.
class TCollectedErrors : public TMessageService {
public:
    TCollectedErrors() : FPrevious(&MessageService()) { SetMessageService(this); }
    ~TCollectedErrors() override { SetMessageService(FPrevious == this ? nullptr : FPrevious); }
    void Error(const std::string& m) override { Add(m); }
    void Info(const std::string& m) override { Add(m); }
    TAnswer Ask(const std::string& m, const std::string& c, TButtons b) override {
        return FPrevious->Ask(m, c, b);
    }
    void Busy(bool on) override { FPrevious->Busy(on); }
    void Add(const std::string& m) {
        if (std::find(Messages.begin(), Messages.end(), m) == Messages.end()) Messages.push_back(m);
    }
    std::vector<std::string> Messages;

private:
    TMessageService* FPrevious;
};

} // namespace

void FilterPhoto(TCanvasEditor& ed, TNewRotLayer& photo, const std::function<void(TBitmap32&)>& filter) {
    TCollageDocument& doc = ed.Doc;
    TBusyScope busy;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        const int position = ed.PositionOf(&photo);
        THistoryPicture before = SharedNewestPicture(doc, position, photo.Picture);
        if (!before) before = HoldPicture(photo.Picture);
        try {
            filter(photo.Picture);
        } catch (...) {
            // a filter that ran out of memory half-way: the photo as it was
            before->CopyTo(photo.Picture);
            throw;
        }
        ed.OpenStep(THistoryKind::ReplacePicture);
        auto& r = doc.UndoHistory.Add<TPictureRecord>(position);
        r.Before = SideOf(photo, before);
        photo.PictureEdited = true;
        r.After = SideOf(photo, HoldPicture(photo.Picture));
        photo.RebuildScreenCache();
        doc.SetModified(true);
    }
    doc.ImageScreen.Changed();
}

TFilterClick FilterListPanelDBLClick(TCanvasEditor& ed, int filterIndex, TFilterPreview& preview,
                                     int boxWidth, int boxHeight) {
    preview.Mode = fmNone;
    if (filterIndex < 0 || filterIndex >= kFilterCount) return TFilterClick::NoPhoto;
    TNewRotLayer* photo = ed.TopmostSelectedLayer(itPhoto);
    if (!photo) return TFilterClick::NoPhoto;
    const FilterProc proc = FilterTable()[size_t(filterIndex)].Proc;
    if (FilterAppliesAtOnce(filterIndex)) {
        FilterPhoto(ed, *photo, [proc](TBitmap32& p) { proc(p, FilterParams{}); });
        return TFilterClick::Applied;
    }
    preview.Load(photo->Picture, boxWidth, boxHeight);
    preview.Mode = FilterModeOf(filterIndex);
    return TFilterClick::OpenPage;
}

bool ApplyParamFilter(TCanvasEditor& ed, int mode, const TParamValues& values) {
    TNewRotLayer* photo = ed.TopmostSelectedLayer(itPhoto);
    if (!photo || mode == fmNone) return false;
    FilterPhoto(ed, *photo, [mode, values](TBitmap32& p) { RunModeFilter(mode, values, p); });
    return true;
}

int PMenuDelFilterClick(TCanvasEditor& ed) {
    TCollageDocument& doc = ed.Doc;
    const std::vector<TRotRubberbandLayer*> handles = ed.HandlesLayers();
    if (handles.empty()) return 0;
    struct TReload {
        TNewRotLayer* Layer;
        THistoryPicture Before;
        TBitmap32 Picture;
    };
    std::vector<TReload> reloads;
    std::vector<std::string> failures;
    {
        TBusyScope busy;
        TCollectedErrors errors;
        for (TRotRubberbandLayer* h : handles) {
            TNewRotLayer* l = h->EditedLayer();
            if (!l || l->ImageType != itPhoto || l->Locked) continue;
            TBitmap32 picture;
            try {
                if (!LoadPicture32(l->SourceFile, picture)) continue;
            } catch (const std::exception& e) {
                errors.Add(e.what());
                continue;
            }
            // the file holds the picture unmirrored; the layer keeps its flips
            if (l->FlipH) picture.FlipHorz();
            if (l->FlipV) picture.FlipVert();
            reloads.push_back(
                {l, SharedNewestPicture(doc, ed.PositionOf(l), l->Picture), std::move(picture)});
        }
        failures = std::move(errors.Messages);
    }
    {
        TBusyScope busy;
        TUpdateScope<TImage32> update(doc.ImageScreen);
        ed.OpenStep(THistoryKind::ReplacePicture);
        for (TReload& r : reloads) {
            TNewRotLayer& l = *r.Layer;
            auto& rec = doc.UndoHistory.Add<TPictureRecord>(ed.PositionOf(&l));
            rec.Before = SideOf(l, r.Before ? r.Before : HoldPicture(l.Picture));
            const uint8_t alpha = l.Picture.MasterAlpha;
            l.Picture = std::move(r.Picture);
            l.Picture.MasterAlpha = alpha;
            l.Picture.DrawMode = TDrawMode::Blend;
            l.Picture.Resampler = TResamplerKind::Linear;
            l.PictureEdited = false;
            l.SetPictureCenter({float(l.Picture.Width()) / 2, float(l.Picture.Height()) / 2});
            rec.After = SideOf(l, HoldPicture(l.Picture));
            l.RebuildScreenCache();
        }
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
    if (!failures.empty()) {
        std::string text;
        for (const std::string& m : failures) text += (text.empty() ? "" : "\r") + m;
        ShowError(text);
    }
    return int(reloads.size());
}
