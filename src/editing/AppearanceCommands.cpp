#include "editing/AppearanceCommands.h"

#include "document/CanvasEditor.h"
#include "history/HistoryRecords.h"

// ---- Crop ----

TNewRotLayer* CropTarget(TCanvasEditor& ed, const TPoint* popupPoint) {
    TNewRotLayer* target = popupPoint ? ed.LayerAtPoint(popupPoint->X, popupPoint->Y, -1) : nullptr;
    return target ? target : ed.TopmostSelectedLayer(-1);
}

void ApplyCrop(TCanvasEditor& ed, TNewRotLayer& layer, const TRect& rect) {
    TCollageDocument& doc = ed.Doc;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        ed.OpenStep(THistoryKind::SetCrop);
        auto& r = doc.UndoHistory.Add<TCropRecord>(ed.PositionOf(&layer));
        r.Before = layer.ViewedRect;
        r.After = rect;
        TUpdateScope<TCustomLayer> layerUpdate(layer);
        layer.SetViewedRect(rect);
        if (layer.ShadowOn) layer.SetShadowEnabled(true);
        layer.RebuildScreenCache();
        if (layer.Handles) ed.PreparePictureHandle(layer.Handles);
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
}

// ---- Transparency ----

int TransparencyOfAlpha(int alpha) {
    return 100 - Round(alpha * 100.0 / 255.0);
}

// Round((100 − t) × 2.55) taken exactly: 2.55 has no exact binary form, and
// t = 50 must give 127.5, rounded to the even 128.
uint8_t AlphaOfTransparency(int transparency) {
    const int t = std::clamp(transparency, 0, 100);
    return uint8_t(Round((100 - t) * 255 / 100.0));
}

void ApplyTransparency(TCanvasEditor& ed, int transparency) {
    TCollageDocument& doc = ed.Doc;
    const uint8_t alpha = AlphaOfTransparency(transparency);
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        for (TNewRotLayer* l : ed.SelectedLayers()) {
            if (l->Locked) continue;
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            if (l->Picture.MasterAlpha != alpha) {
                l->Picture.MasterAlpha = alpha;
                // the screen shows the transparency of its last rebuild
                l->RebuildScreenCache();
            }
            doc.SetModified(true);
        }
    }
    doc.ImageScreen.Changed();
}

std::vector<TOpacitySnapshot> TakeOpacitySnapshots(TCanvasEditor& ed) {
    std::vector<TOpacitySnapshot> out;
    for (TNewRotLayer* l : ed.SelectedLayers()) out.push_back({l->Serial(), l->Picture.MasterAlpha});
    return out;
}

void RecordOpacityStep(TCanvasEditor& ed, const std::vector<TOpacitySnapshot>& snapshots) {
    TCollageDocument& doc = ed.Doc;
    ed.OpenStep(THistoryKind::SetOpacity);
    for (const TOpacitySnapshot& s : snapshots) {
        const int position = doc.Layers().IndexOfSerial(s.Serial);
        const TNewRotLayer* l = doc.ContentLayerAt(position);
        if (!l) continue;
        auto& r = doc.UndoHistory.Add<TOpacityRecord>(position);
        r.Before = s.Alpha;
        r.After = l->Picture.MasterAlpha;
    }
}

// ---- Shadow ----

TShadowValues ShadowValuesOf(const TNewRotLayer& l) {
    return {l.ShadowOffsetX, l.ShadowOffsetY,           l.ShadowTransparent,
            l.ShadowSmooth,  ToWinColor(l.ShadowColor), l.ShadowOn};
}

namespace {
TShadowSide SideOf(const TShadowValues& v) {
    TShadowSide s;
    s.OffsetX = v.OffsetX;
    s.OffsetY = v.OffsetY;
    s.Transparent = v.Opacity;
    s.Smooth = v.Smoothness;
    s.Color = v.Color;
    s.On = v.On;
    return s;
}
} // namespace

TShadowSession::TShadowSession(TCanvasEditor& ed) : FEd(ed) {
    for (TNewRotLayer* l : ed.SelectedLayers())
        FSnapshots.push_back({l->Serial(), ShadowValuesOf(*l), l->ShadowColor});
    if (TNewRotLayer* top = ed.TopmostSelectedLayer(-1)) FInitial = ShadowValuesOf(*top);
    FCurrent = FInitial;
}

TShadowSession::~TShadowSession() {
    // a dialog torn down without Apply leaves nothing half-changed
    if (!FDone) {
        try {
            Cancel();
        } catch (...) {
        }
    }
}

template <class F> void TShadowSession::ForEachLayer(bool unlockedOnly, F change) {
    TCollageDocument& doc = FEd.Doc;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        for (const TSnapshot& s : FSnapshots) {
            TNewRotLayer* l = doc.ContentLayerAt(doc.Layers().IndexOfSerial(s.Serial));
            if (!l || (unlockedOnly && l->Locked)) continue;
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            change(*l);
        }
    }
    doc.ImageScreen.Changed();
}

void TShadowSession::Begin() {
    const TShadowValues v = FInitial;
    ForEachLayer(false, [&](TNewRotLayer& l) {
        // the fields first, so that each shadow is built once below
        l.ShadowOffsetX = v.OffsetX;
        l.ShadowOffsetY = v.OffsetY;
        l.ShadowTransparent = std::clamp(v.Opacity, 0, 100);
        if (l.ShadowSmooth != v.Smoothness) {
            l.ShadowSmooth = v.Smoothness;
            if (l.ShadowOn && l.Locked) l.SetShadowEnabled(true);
        }
        if (!l.Locked) l.SetShadowEnabled(v.On);
        l.Changed();
    });
}

void TShadowSession::SetOffsetX(int value) {
    FCurrent.OffsetX = value;
    ForEachLayer(false, [&](TNewRotLayer& l) { l.SetShadowOffsetX(value); });
}

void TShadowSession::SetOffsetY(int value) {
    FCurrent.OffsetY = value;
    ForEachLayer(false, [&](TNewRotLayer& l) { l.SetShadowOffsetY(value); });
}

void TShadowSession::SetOpacity(int value) {
    FCurrent.Opacity = value;
    ForEachLayer(false, [&](TNewRotLayer& l) { l.SetShadowTransparent(value); });
}

void TShadowSession::SetSmoothness(int value) {
    FCurrent.Smoothness = value;
    ForEachLayer(false, [&](TNewRotLayer& l) { l.SetShadowSmooth(value); });
}

void TShadowSession::SetColor(TColor color) {
    FCurrent.Color = color;
    ForEachLayer(false, [&](TNewRotLayer& l) { l.SetShadowColor(ToColor32(color)); });
}

void TShadowSession::SetShadowShown(bool on) {
    FCurrent.On = on;
    ForEachLayer(true, [&](TNewRotLayer& l) { l.SetShadowEnabled(on); });
}

void TShadowSession::Apply() {
    if (FDone) return;
    FDone = true;
    TCollageDocument& doc = FEd.Doc;
    if (!FSnapshots.empty()) {
        FEd.OpenStep(THistoryKind::SetShadow);
        for (const TSnapshot& s : FSnapshots) {
            const int position = doc.Layers().IndexOfSerial(s.Serial);
            const TNewRotLayer* l = doc.ContentLayerAt(position);
            if (!l) continue;
            auto& r = doc.UndoHistory.Add<TShadowRecord>(position);
            r.Before = SideOf(s.Values);
            // what the layer shows now: a locked layer kept its shadow on or
            // off whatever the check box said, and redo must give it back so
            r.After = SideOf(ShadowValuesOf(*l));
            // the colour as it was chosen (a system colour stays one)
            if (ToColor32(FCurrent.Color) == l->ShadowColor) r.After.Color = FCurrent.Color;
        }
    }
    doc.SetModified(true);
    if (!FCurrent.On) ForEachLayer(true, [](TNewRotLayer& l) { l.SetShadowEnabled(false); });
}

void TShadowSession::Cancel() {
    if (FDone) return;
    FDone = true;
    ForEachLayer(false, [this](TNewRotLayer& l) {
        for (const TSnapshot& s : FSnapshots) {
            if (s.Serial != l.Serial()) continue;
            l.SetShadowOffsetX(s.Values.OffsetX);
            l.SetShadowOffsetY(s.Values.OffsetY);
            l.SetShadowTransparent(s.Values.Opacity);
            // the fields first, so the shadow is built once
            l.ShadowSmooth = s.Values.Smoothness;
            l.ShadowColor = s.Color32;
            l.SetShadowEnabled(s.Values.On);
        }
    });
}

void MenuDelShadowClick(TCanvasEditor& ed) {
    TCollageDocument& doc = ed.Doc;
    bool opened = false;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        for (TNewRotLayer* l : ed.SelectedLayers()) {
            if (l->Locked || !l->ShadowOn) continue;
            if (!opened) {
                ed.OpenStep(THistoryKind::SetShadow);
                opened = true;
            }
            auto& r = doc.UndoHistory.Add<TShadowRecord>(ed.PositionOf(l));
            r.Before = SideOf(ShadowValuesOf(*l));
            r.After = r.Before;
            r.After.On = false;
            l->SetShadowEnabled(false);
        }
    }
    doc.ImageScreen.Changed();
    if (opened) doc.SetModified(true);
}
