#include "document/PageSettings.h"

#include <iterator>

#include "document/CanvasEditor.h"
#include "document/Decorations.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "platform/Paths.h"
#include "platform/Units.h"

// ---- The page-settings step ----

TLayerFit LayerFitOf(const TNewRotLayer& layer) {
    TLayerFit f;
    f.Location = layer.Location;
    f.ViewedRect = layer.ViewedRect;
    if (layer.TextStyle) {
        f.TextScaleX = layer.TextStyle->TextScaleX;
        f.TextScaleY = layer.TextStyle->TextScaleY;
    }
    return f;
}

namespace {

struct TPlacedFit {
    int Position;
    TLayerFit Fit;
};

std::vector<TPlacedFit> CaptureFits(const TCollageDocument& doc) {
    std::vector<TPlacedFit> fits;
    for (int i = 0; i < doc.LayerCount(); ++i)
        if (const TNewRotLayer* l = doc.ContentLayerAt(i)) fits.push_back({i, LayerFitOf(*l)});
    return fits;
}

// Puts a layer exactly where a record says: the fields are set as they are
// (SetLocation would adapt a photo's crop again), then the pictures that
// depend on them are rebuilt once.
void ApplyFit(TCollageDocument& doc, TNewRotLayer& layer, const TLayerFit& fit) {
    TUpdateScope<TCustomLayer> update(layer);
    layer.Location = fit.Location;
    layer.ViewedRect = fit.ViewedRect;
    if (layer.TextStyle) {
        layer.TextStyle->TextScaleX = fit.TextScaleX;
        layer.TextStyle->TextScaleY = fit.TextScaleY;
    }
    layer.RebuildScreenCache();
    if (layer.ShadowOn) layer.SetShadowEnabled(true);
    doc.SyncHandles(layer);
}

// The border frame covers the new page; with a new page colour its paper
// is made again from the frame's files. A frame whose files have gone or are
// damaged keeps the picture it has: the reason comes back.
std::string RefitBorder(TCollageDocument& doc, bool newPaper) {
    TNewRotLayer* border = doc.BorderLayer;
    if (!border) return {};
    const TBitmap32& canvas = doc.ImageScreen.Bitmap;
    {
        TUpdateScope<TCustomLayer> update(*border);
        border->SetLocation({0, 0, float(canvas.Width()), float(canvas.Height())});
        border->RebuildScreenCache();
    }
    if (!newPaper) return {};
    try {
        SetBorderByName(doc, border->SourceFile);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace

void ChangeCollageSettings(TCanvasEditor& ed, const TCollageSettings& settings) {
    TCollageDocument& doc = ed.Doc;
    const TCollageSettings before = doc.CollageSettings;
    const std::vector<TPlacedFit> fitsBefore = CaptureFits(doc);
    const int w0 = doc.ImageScreen.Bitmap.Width(), h0 = doc.ImageScreen.Bitmap.Height();
    std::string failure;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        doc.CollageSettings = settings;
        doc.ApplyCanvasSettings();
        doc.AdjustAllLayer(w0, h0, doc.ImageScreen.Bitmap.Width(), doc.ImageScreen.Bitmap.Height());
        failure = RefitBorder(doc, before.BKColor != settings.BKColor);

        ed.OpenStep(THistoryKind::PageSettings);
        auto& page = doc.UndoHistory.Add<TPageSettingsRecord>(-1);
        page.Before = before;
        page.After = settings;
        // the collection itself is unchanged: the positions still hold
        for (const TPlacedFit& f : fitsBefore) {
            const TNewRotLayer* l = doc.ContentLayerAt(f.Position);
            if (!l) continue;
            auto& r = doc.UndoHistory.Add<TLayerFitRecord>(f.Position);
            r.Before = f.Fit;
            r.After = LayerFitOf(*l);
        }
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
    if (!failure.empty()) throw EUserError(failure);
}

std::string ApplyPageSettingsStep(TCollageDocument& doc, const THistoryEntry& step, bool undo) {
    TUpdateScope<TImage32> update(doc.ImageScreen);
    const TColor oldColor = doc.CollageSettings.BKColor;
    for (const auto& rec : step.Records) {
        if (const auto* page = dynamic_cast<const TPageSettingsRecord*>(rec.get())) {
            doc.CollageSettings = undo ? page->Before : page->After;
            doc.ApplyCanvasSettings();
        } else if (const auto* fit = dynamic_cast<const TLayerFitRecord*>(rec.get())) {
            if (TNewRotLayer* l = doc.ContentLayerAt(fit->Position))
                ApplyFit(doc, *l, undo ? fit->Before : fit->After);
        }
    }
    return RefitBorder(doc, doc.CollageSettings.BKColor != oldColor);
}

// ---- The settings dialog's input ----

namespace {
bool Blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

TPageInputCheck Refuse(const char* message, bool error, TPageInputField field) {
    return {false, error, message, field};
}
} // namespace

TPageInputCheck CheckPageSettingsInput(const TPageSettingsInput& in, TCollageSettings& s) {
    if (in.Predefined) {
        s.SizeType = 0;
        if (in.PredefinedIndex < 0 || in.PredefinedIndex >= int(std::size(kPredefinedSizes)))
            return Refuse("Please choose a collage size.", false, TPageInputField::SizeList);
        s.PredifineType = uint8_t(in.PredefinedIndex);
        s.Width = kPredefinedSizes[in.PredefinedIndex].Width;
        s.Height = kPredefinedSizes[in.PredefinedIndex].Height;
    } else {
        s.SizeType = 1;
        if (Blank(in.WidthText)) return Refuse("Please input width value.", false, TPageInputField::Width);
        s.WidthUnit = uint8_t(in.WidthUnit);
        s.HeightUnit = uint8_t(in.HeightUnit);
        const auto w = ParseLength(in.WidthText);
        if (!w) return Refuse("Width is invalid.", true, TPageInputField::Width);
        const int width = ToPixels(TLengthUnit(in.WidthUnit), *w);
        if (width < 10 || width > 10000)
            return Refuse("Width must be range from 10 to 10000.", false, TPageInputField::Width);
        s.Width = width;
        if (Blank(in.HeightText)) return Refuse("Please input height value.", false, TPageInputField::Height);
        const auto h = ParseLength(in.HeightText);
        if (!h) return Refuse("Height is invalid.", true, TPageInputField::Height);
        const int height = ToPixels(TLengthUnit(in.HeightUnit), *h);
        if (height < 10 || height > 10000)
            return Refuse("Height must be range from 10 to 10000.", false, TPageInputField::Height);
        s.Height = height;
    }
    s.Orientation = in.Landscape ? 1 : 0;
    s.BKType = uint8_t(std::clamp(in.BKType, 0, 2));
    if (s.BKType == 2) {
        if (!FileExists(in.BKImageFile))
            return Refuse("Please load an image for background.", false, TPageInputField::Background);
        TBitmap32 probe;
        try {
            // the loader reports a missing file or an unknown format itself
            if (!LoadPicture32(in.BKImageFile, probe)) return Refuse("", true, TPageInputField::Background);
        } catch (const EUserError& e) {
            TPageInputCheck c = Refuse("", true, TPageInputField::Background);
            c.Message = e.what();
            return c;
        }
    }
    s.BKImageFile = in.BKImageFile;
    s.BKColor = in.BKColor;
    s.BKImageFillType = uint8_t(std::clamp(in.FillType, 0, 2));
    return {};
}
