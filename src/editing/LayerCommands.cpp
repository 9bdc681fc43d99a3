#include "editing/LayerCommands.h"

#include <algorithm>

#include "document/CanvasEditor.h"
#include "document/LayerOrder.h"
#include "history/HistoryRecords.h"

namespace {
// ---- Positions ----

// Index of the topmost content layer (the border frame counts), -1 when
// there is none.
int TopContent(const TCollageDocument& doc) {
    for (int i = doc.LayerCount() - 1; i >= 0; --i)
        if (doc.ContentLayerAt(i)) return i;
    return -1;
}

bool Movable(const TNewRotLayer* l) { return l && l->Handles && !l->Locked; }

// After a stacking command: the handles go back above all content, in the
// order of their layers; the border frame stays on top of the content.
void RestoreHandleOrder(TCanvasEditor& ed) {
    TCollageDocument& doc = ed.Doc;
    const int top = TopContent(doc);
    int n = 1;
    for (int m = 0; m <= top; ++m) {
        TNewRotLayer* l = doc.ContentLayerAt(m);
        if (Movable(l)) {
            l->Handles->SetIndex(top + n);
            ++n;
        }
    }
    KeepBorderOnTop(doc);
}

void Flip(TCanvasEditor& ed, int axis) {
    TCollageDocument& doc = ed.Doc;
    TUpdateScope<TImage32> update(doc.ImageScreen);
    bool opened = false;
    for (TRotRubberbandLayer* h : ed.HandlesLayers()) {
        if (!opened) {
            ed.OpenStep(THistoryKind::FlipLayers);
            opened = true;
        }
        TNewRotLayer* l = h->EditedLayer();
        if (!l) continue;
        TUpdateScope<TCustomLayer> layerUpdate(*l);
        doc.UndoHistory.Add<TFlipRecord>(ed.PositionOf(l)).Axis = axis;
        if (axis == 0)
            l->SetFlipH(!l->FlipH);
        else
            l->SetFlipV(!l->FlipV);
    }
    if (opened) doc.SetModified(true);
}

void Restack(TCanvasEditor& ed, THistoryKind kind, bool& opened, int to, int from) {
    if (!opened) {
        ed.OpenStep(kind);
        opened = true;
    }
    auto& r = ed.Doc.UndoHistory.Add<TRestackRecord>(to);
    r.BeforePosition = from;
    ed.Doc.Layers().Move(from, to);
    ed.Doc.SetModified(true);
}

template <class F> void Stacking(TCanvasEditor& ed, F body) {
    TCollageDocument& doc = ed.Doc;
    if (TopContent(doc) < 0) return;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        body(TopContent(doc));
        RestoreHandleOrder(ed);
    }
    doc.ImageScreen.Changed();
}
} // namespace

void SpeedButtonFlipHClick(TCanvasEditor& ed) { Flip(ed, 0); }
void SpeedButtonFlipVClick(TCanvasEditor& ed) { Flip(ed, 1); }

void PMenuRotate90Click(TCanvasEditor& ed) {
    TCollageDocument& doc = ed.Doc;
    TUpdateScope<TImage32> update(doc.ImageScreen);
    bool opened = false;
    for (int i = 0; i < doc.LayerCount(); ++i) {
        TNewRotLayer* l = doc.ContentLayerAt(i);
        if (!l || !l->Handles || l->Locked) continue;
        // the step opens with the first layer that turns: a turn that moves
        // nothing leaves no Undo that does nothing
        if (!opened) {
            ed.OpenStep(THistoryKind::PlaceLayers);
            opened = true;
        }
        const TPlacementSide before = PlacementOf(*l);
        {
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            l->SetAngle(l->Angle - 90); // not wrapped: -90, -180, -270, -360 ...
        }
        l->Handles->SetAngle(l->Handles->Angle() - 90);
        auto& r = doc.UndoHistory.Add<TPlacementRecord>(i);
        r.Before = before;
        r.After = before;
        r.After.Angle = l->Angle;
        doc.SetModified(true);
    }
}

void MenuSendtoFrontClick(TCanvasEditor& ed) {
    Stacking(ed, [&](int top) {
        bool opened = false;
        int limit = top;
        for (int j = top; j >= 0; --j) {
            TNewRotLayer* l = ed.Doc.ContentLayerAt(j);
            if (!Movable(l)) continue;
            if (j == limit) {
                limit = j - 1;
            } else {
                Restack(ed, THistoryKind::RaiseLayers, opened, j + 1, j);
                limit = j;
            }
        }
    });
}

void MenuSendtoBackClick(TCanvasEditor& ed) {
    Stacking(ed, [&](int top) {
        bool opened = false;
        int floor = 0;
        for (int j = 0; j <= top; ++j) {
            TNewRotLayer* l = ed.Doc.ContentLayerAt(j);
            if (!Movable(l)) continue;
            if (j == floor) {
                floor = j + 1;
            } else {
                Restack(ed, THistoryKind::LowerLayers, opened, j - 1, j);
                floor = j;
            }
        }
    });
}

void MenuLayerTopClick(TCanvasEditor& ed) {
    Stacking(ed, [&](int top) {
        bool opened = false;
        int a = top;
        for (int j = top; j >= 0; --j) {
            TNewRotLayer* l = ed.Doc.ContentLayerAt(j);
            if (!Movable(l)) continue;
            if (j != a) Restack(ed, THistoryKind::RaiseLayers, opened, a, j);
            --a;
        }
    });
}

void MenuLayerBottomClick(TCanvasEditor& ed) {
    Stacking(ed, [&](int top) {
        bool opened = false;
        int k = 0;
        for (int j = 0; j <= top; ++j) {
            TNewRotLayer* l = ed.Doc.ContentLayerAt(j);
            if (!Movable(l)) continue;
            if (j != k) Restack(ed, THistoryKind::LowerLayers, opened, k, j);
            ++k;
        }
    });
}

void MenuDeleteClick(TCanvasEditor& ed) {
    TCollageDocument& doc = ed.Doc;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        bool opened = false;
        for (int j = 0; j < doc.LayerCount(); ++j) {
            auto* h = dynamic_cast<TRotRubberbandLayer*>(doc.Layers().Items(j));
            if (!h) continue;
            TNewRotLayer* l = h->EditedLayer();
            if (!l || l->Locked) continue;
            // a selection of locked layers only deletes nothing and records nothing
            if (!opened) {
                ed.OpenStep(THistoryKind::DeleteLayers);
                opened = true;
            }
            const int pos = ed.PositionOf(l);
            auto& r = doc.UndoHistory.Add<TSnapshotRecord>(pos);
            r.Snapshot = CaptureLayer(*l, TSnapshotUse::History);
            if (ed.DropTargetLayer == l) ed.DropTargetLayer = nullptr;
            if (ed.DragHandles == h) ed.DragHandles = nullptr, ed.HandleDragActive = false;
            doc.Layers().Delete(pos);
            doc.SetModified(true);
            doc.Layers().Delete(doc.Layers().IndexOf(h));
            // both left the collection at or below j: go on at j - 1
            j -= 2;
            if (j < -1) j = -1;
        }
    }
    doc.ImageScreen.Changed();
}

void MenuSelectAllClick(TCanvasEditor& ed) {
    TUpdateScope<TImage32> update(ed.Doc.ImageScreen);
    for (int i = 0; i < ed.Doc.LayerCount(); ++i) {
        TNewRotLayer* l = ed.Doc.ContentLayerAt(i);
        if (l && !l->Handles && l != ed.Doc.BorderLayer) ed.SelectLayer(l);
    }
}

void MenuCopyClick(TCanvasEditor& ed, TLayerClipboard& clipboard) {
    clipboard.Clear();
    for (int i = 0; i < ed.Doc.LayerCount(); ++i) {
        TNewRotLayer* l = ed.Doc.ContentLayerAt(i);
        if (l && l->Handles) clipboard.Entries.push_back(CaptureLayer(*l, TSnapshotUse::Clipboard));
    }
}

void MenuCutClick(TCanvasEditor& ed, TLayerClipboard& clipboard) {
    if (ed.Doc.LayerCount() == 0) return;
    MenuCopyClick(ed, clipboard);
    MenuDeleteClick(ed);
}

void MenuPasteClick(TCanvasEditor& ed, const TLayerClipboard& clipboard) {
    if (clipboard.Empty()) return;
    TCollageDocument& doc = ed.Doc;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        ed.DeselectAll();
        const int m0 = doc.LayerCount();
        bool first = true;
        std::vector<std::pair<TSnapshotRecord*, TNewRotLayer*>> records;
        for (const TLayerSnapshot& entry : clipboard.Entries) {
            if (first) {
                ed.OpenStep(THistoryKind::InsertLayers);
                if (ed.Host) ed.Host->FocusCanvas();
                first = false;
            }
            auto* l = doc.Layers().Add<TNewRotLayer>();
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            RestoreLayer(*l, entry, TSnapshotUse::Clipboard);
            // 5 pixels right and down, unless that leaves the copy too near
            // the far edges of the canvas control
            const TFloatRect r = l->Location;
            const TFloatRect moved{r.Left + 5, r.Top + 5, r.Right + 5, r.Bottom + 5};
            if (moved.Left < doc.ImageScreen.Width() - 50 && moved.Top < doc.ImageScreen.Height() - 50)
                l->SetLocation(moved);
            auto& rec = doc.UndoHistory.Add<TSnapshotRecord>(ed.PositionOf(l));
            rec.Snapshot = CaptureLayer(*l, TSnapshotUse::History);
            records.push_back({&rec, l});
            l->RebuildScreenCache();
        }
        for (int i = m0; i < doc.LayerCount(); ++i)
            if (TNewRotLayer* l = doc.ContentLayerAt(i)) ed.SelectLayer(l);
        KeepBorderOnTop(doc);
        // The border frame has risen above the pasted layers: the records
        // name the places the layers finally have, or undo would remove the
        // border in their stead.
        for (auto& [rec, layer] : records) rec->Position = ed.PositionOf(layer);
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
}

void NudgeSelection(TCanvasEditor& ed, int dx, int dy) {
    TCollageDocument& doc = ed.Doc;
    std::vector<TNewRotLayer*> moved;
    for (int i = 0; i < doc.LayerCount(); ++i) {
        TNewRotLayer* l = doc.ContentLayerAt(i);
        if (l && l->Handles) moved.push_back(l);
    }
    if (moved.empty()) return;
    // Holding an arrow key repeats it: the whole run of nudges of one
    // selection is one step, so one Undo takes it back.
    TUnReDo& history = doc.UndoHistory;
    const auto& run = ed.NudgeRun.Layers;
    const bool extend = ed.NudgeRun.Revision == history.Revision() &&
                        std::equal(moved.begin(), moved.end(), run.begin(), run.end()) && history.CanUndo() &&
                        history.CurrentStep().Kind == THistoryKind::PlaceLayers &&
                        history.CurrentStep().Records.size() == moved.size();
    if (!extend) {
        ed.OpenStep(THistoryKind::PlaceLayers);
        for (const TNewRotLayer* l : moved) {
            auto& r = history.Add<TPlacementRecord>(ed.PositionOf(l));
            r.Before = r.After = PlacementOf(*l);
        }
    }
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        auto& records = history.CurrentStep().Records;
        for (size_t k = 0; k < moved.size(); ++k) {
            TNewRotLayer* l = moved[k];
            TFloatRect& r = l->Location; // moved as it is: crop and shadow stay
            r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
            l->Changed();
            l->Handles->SetLocation(r);
            static_cast<TPlacementRecord&>(*records[k]).After.Location = r;
        }
    }
    doc.SetModified(true);
    ed.NudgeRun.Revision = history.Revision();
    ed.NudgeRun.Layers.assign(moved.begin(), moved.end());
}

TPopupItems PopupMenuMainPopup(TCanvasEditor& ed, const TLayerClipboard& clipboard, int x, int y) {
    TPopupItems p;
    p.DelBorder = ed.Doc.BorderLayer != nullptr;
    p.Paste = !clipboard.Empty();
    int masks = 0, frames = 0, shadows = 0, photos = 0, all = 0;
    for (TNewRotLayer* l : ed.SelectedLayers()) {
        ++all;
        masks += l->MaskPicture != nullptr;
        frames += l->SubFramePicture != nullptr;
        shadows += l->ShadowOn;
        photos += l->ImageType == itPhoto;
    }
    if (all == 0) return p;
    p.Cut = p.Copy = true;
    p.DelMask = masks > 0;
    p.DelFrame = frames > 0;
    p.DelShadow = shadows > 0;
    p.DelFilter = photos > 0;
    TNewRotLayer* l = ed.LayerAtPoint(x, y, -1);
    if (!l) return p;
    if (!l->Locked) {
        p.Crop = true;
        p.ChangePhoto = l->ImageType == itPhoto || l->ImageType == itPlaceholder;
    }
    p.Rotate90 = p.FlipH = p.FlipV = p.Delete = p.Layer = true;
    return p;
}
