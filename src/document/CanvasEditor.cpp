#include "document/CanvasEditor.h"

#include <cmath>

#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

TCanvasEditor::TCanvasEditor(TCollageDocument& doc) : Doc(doc) {}

TPlacementSide PlacementOf(const TNewRotLayer& layer) {
    TPlacementSide s;
    s.Location = layer.Location;
    s.Angle = layer.Angle;
    if (layer.TextStyle) {
        s.TextScaleX = layer.TextStyle->TextScaleX;
        s.TextScaleY = layer.TextStyle->TextScaleY;
        s.HorzAlign = layer.TextStyle->HorzAlign;
        s.VertAlign = layer.TextStyle->VertAlign;
    }
    return s;
}

void TCanvasEditor::ResetGestures() {
    SelectBoxActive = false;
    HandleDragActive = false;
    DragHandles = nullptr;
    DropTargetLayer = nullptr;
    NudgeRun = {};
}

// ---- Selection ----

// The handles call back from inside the canvas's pointer routing: each
// callback is a command of its own and runs through the command guard, so a
// failure (a picture that cannot be read after a double-click) is reported
// there and the routing goes on with its state intact.
void TCanvasEditor::InstallCallbacks(TRotRubberbandLayer* h) {
    h->OnHandleMouseDown = [this](TRotRubberbandLayer* s, TDragState st, int x, int y, TShiftState sh,
                                  TMouseButton b) {
        RunGuarded([&] { HandleMouseDown(s, st, x, y, sh, b); });
    };
    h->OnHandleMouseMove = [this](TRotRubberbandLayer* s, TDragState st, int x, int y, TShiftState sh) {
        RunGuarded([&] { HandleMouseMove(s, st, x, y, sh); });
    };
    h->OnHandleMouseUp = [this](TRotRubberbandLayer* s, TDragState st, int x, int y, TShiftState sh,
                                TMouseButton b) { RunGuarded([&] { HandleMouseUp(s, st, x, y, sh, b); }); };
    h->OnHandleDblClick = [this](TRotRubberbandLayer* s) { RunGuarded([&] { HandleDblClick(s); }); };
}

void TCanvasEditor::SelectLayer(TNewRotLayer* layer) {
    if (!layer || layer->ImageType == itBorderFrame) return;
    if (!layer->Handles) layer->Handles = Doc.Layers().Add<TRotRubberbandLayer>();
    TRotRubberbandLayer* h = layer->Handles;
    {
        TUpdateScope<TCustomLayer> update(*h);
        h->SetLocation(layer->Location);
        h->SetAngle(layer->Angle);
        h->SetLocked(layer->Locked);
        h->Scaled = true;
        h->SetHandleFlags(h->HandleFlags() & ~hfFrame);
        h->SetEditedLayer(layer);
        h->SetRotateCursor(crRotate);
        PreparePictureHandle(h);
        InstallCallbacks(h);
    }
    if (Host) Host->FocusCanvas();
}

bool TCanvasEditor::PreparePictureHandle(TRotRubberbandLayer* h) {
    if (!h || !h->EditedLayer() || h->EditedLayer()->ImageType == itText) return false;
    if (h->EditedLayer()->ImageType == itPhoto && !(h->HandleFlags() & hfPictureHandle)) {
        if (!FCursorPictureLoaded) {
            FCursorPictureLoaded = true;
            const std::string file = ResourceRoot() + "cursor.png";
            try {
                if (FileExists(file)) AssignPNG32(FCursorPicture, DecodePNGFile(file));
            } catch (const EUserError&) {
                FCursorPicture.SetSize(0, 0); // a damaged handle picture: no picture handle drawn
            }
            FCursorPicture.DrawMode = TDrawMode::Blend;
        }
        h->PictureHandle.Assign(FCursorPicture);
        h->PictureHandle.DrawMode = TDrawMode::Blend;
        h->SetHandleFlags(h->HandleFlags() | hfPictureHandle);
    }
    h->Changed();
    return true;
}

void TCanvasEditor::DeselectAll() {
    TUpdateScope<TImage32> update(Doc.ImageScreen);
    for (int i = 0; i < Doc.LayerCount(); ++i) {
        TNewRotLayer* l = Doc.ContentLayerAt(i);
        if (!l || !l->Handles) continue;
        const int hi = Doc.Layers().IndexOf(l->Handles);
        if (DragHandles == l->Handles) {
            DragHandles = nullptr;
            HandleDragActive = false;
        }
        l->Handles = nullptr;
        if (hi >= 0) {
            Doc.Layers().Delete(hi);
            if (hi < i) --i;
        }
    }
}

TNewRotLayer* TCanvasEditor::LayerAtPoint(int x, int y, int kind) const {
    for (int i = Doc.LayerCount() - 1; i >= 0; --i) {
        TNewRotLayer* l = Doc.ContentLayerAt(i);
        if (!l || !l->ReceivesMouse() || !l->DoHitTest(x, y)) continue;
        if (kind == -1 || l->ImageType == kind) return l;
    }
    return nullptr;
}

std::vector<TRotRubberbandLayer*> TCanvasEditor::HandlesLayers() const {
    std::vector<TRotRubberbandLayer*> out;
    for (int i = 0; i < Doc.LayerCount(); ++i)
        if (auto* h = dynamic_cast<TRotRubberbandLayer*>(Doc.Layers().Items(i))) out.push_back(h);
    return out;
}

std::vector<TNewRotLayer*> TCanvasEditor::SelectedLayers() const {
    std::vector<TNewRotLayer*> out;
    for (TRotRubberbandLayer* h : HandlesLayers())
        if (h->EditedLayer()) out.push_back(h->EditedLayer());
    return out;
}

TNewRotLayer* TCanvasEditor::TopmostSelectedLayer(int kind) const {
    const auto handles = HandlesLayers();
    for (auto it = handles.rbegin(); it != handles.rend(); ++it) {
        TNewRotLayer* l = (*it)->EditedLayer();
        if (l && (kind == -1 || l->ImageType == kind)) return l;
    }
    return nullptr;
}

void TCanvasEditor::SelectIntersecting(const TRect& r) {
    TUpdateScope<TImage32> update(Doc.ImageScreen);
    std::vector<TNewRotLayer*> hits;
    for (int i = 0; i < Doc.LayerCount(); ++i) {
        TNewRotLayer* l = Doc.ContentLayerAt(i);
        if (!l || l->Handles || l->ImageType == itBorderFrame) continue;
        const TRect v = RoundRect(l->LocationToView(l->Location));
        // touching edges count
        if (v.Left <= r.Right && r.Left <= v.Right && v.Top <= r.Bottom && r.Top <= v.Bottom) hits.push_back(l);
    }
    for (TNewRotLayer* l : hits) SelectLayer(l);
}

// ---- Canvas pointer gestures ----

void TCanvasEditor::ToggleSelectBox() {
    if (!Host) return;
    Host->ToggleOutline({DownPoint, {LastPoint.X, DownPoint.Y}, LastPoint, {DownPoint.X, LastPoint.Y}}, 1);
}

void TCanvasEditor::ImageScreenMouseDown(TMouseButton button, TShiftState shift, int x, int y,
                                         TCustomLayer* layer) {
    if (Host) Host->FocusCanvas();
    const bool isHandles = dynamic_cast<TRotRubberbandLayer*>(layer) != nullptr;
    if (Doc.LayerCount() > 0 && !isHandles && !(shift & ssCtrl)) DeselectAll();
    if (!layer) {
        if (button != TMouseButton::Left) return;
        SelectBoxActive = true;
        DownPoint = LastPoint = {x, y};
        ToggleSelectBox();
        return;
    }
    if (auto* content = dynamic_cast<TNewRotLayer*>(layer)) {
        if (Host) {
            if (content->ImageType == itText) Host->TextLayerPicked(*content);
            if (content->ImageType == itPhoto) Host->PhotoPicked(*content);
        }
        SelectLayer(content);
        if (Host) Host->LayerPicked(*content);
    }
}

void TCanvasEditor::ImageScreenMouseMove(TShiftState, int x, int y) {
    if (!SelectBoxActive) return;
    ToggleSelectBox();
    LastPoint = {x, y};
    ToggleSelectBox();
}

void TCanvasEditor::ImageScreenMouseUp(TMouseButton, TShiftState, int x, int y) {
    if (!SelectBoxActive) return;
    ToggleSelectBox();
    LastPoint = {x, y};
    SelectBoxActive = false;
    if (DownPoint.X != LastPoint.X && DownPoint.Y != LastPoint.Y)
        SelectIntersecting({std::min(DownPoint.X, LastPoint.X), std::min(DownPoint.Y, LastPoint.Y),
                            std::max(DownPoint.X, LastPoint.X), std::max(DownPoint.Y, LastPoint.Y)});
}

// ---- Handle drags ----

void TCanvasEditor::HandleMouseDown(TRotRubberbandLayer* handles, TDragState, int x, int y, TShiftState,
                                    TMouseButton button) {
    if (button != TMouseButton::Left || !handles || !handles->EditedLayer()) return;
    TNewRotLayer* layer = handles->EditedLayer();
    DragStartCrop = layer->ViewedRect;
    if (layer->ImageType == itText && Host) Host->TextLayerPicked(*layer);
    HandleDragActive = true;
    DragHandles = handles;
    DragStartLocation = handles->Location();
    DragStartPoint = {x, y};
    if (Host) Host->FocusCanvas();
}

void TCanvasEditor::HandleMouseMove(TRotRubberbandLayer* handles, TDragState state, int x, int y, TShiftState) {
    if (!HandleDragActive || !handles) return;
    handles->SetHandleFlags(handles->HandleFlags() | hfFrame);
    if (handles != DragHandles) return;
    if (state == TDragState::Move) {
        const float dx = handles->Location().Left - DragStartLocation.Left;
        const float dy = handles->Location().Top - DragStartLocation.Top;
        for (TRotRubberbandLayer* other : HandlesLayers()) {
            if (other == handles || !other->EditedLayer() || other->EditedLayer()->Locked) continue;
            TUpdateScope<TCustomLayer> update(*other);
            other->SetHandleFlags(other->HandleFlags() | hfFrame);
            const TFloatRect r = other->Location();
            other->SetLocation({r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy});
        }
        DragStartLocation = handles->Location();
    } else if (state == TDragState::Pan) {
        TNewRotLayer* layer = handles->EditedLayer();
        if (!layer || layer->Locked) return;
        const float scale = Doc.ImageScreen.Scale();
        const float lw = layer->Location.Width(), lh = layer->Location.Height();
        if (lw == 0 || lh == 0 || scale == 0) return;
        const double rx = double(layer->ViewedRect.Width()) / lw / scale;
        const double ry = double(layer->ViewedRect.Height()) / lh / scale;
        const double u = (x - DragStartPoint.X) * rx, v = (y - DragStartPoint.Y) * ry;
        const double theta = layer->Angle * 3.1415 / 180; // the program has always turned by 3.1415
        const double du = std::cos(theta) * u - std::sin(theta) * v;
        const double dv = std::sin(theta) * u + std::cos(theta) * v;
        layer->SetViewedRect(layer->ViewedRect.Offset(-Round(du), -Round(dv)));
        DragStartPoint = {x, y};
    }
}

void TCanvasEditor::CommitPlacement(TRotRubberbandLayer* handles, TDragState state) {
    TNewRotLayer* dragged = handles->EditedLayer();
    int counted = 0, locked = 0;
    bool opened = false; // only a placement that changes a layer is recorded
    auto record = [&](TNewRotLayer& layer, const TFloatRect& newLocation, float newAngle, float scaleX,
                      float scaleY) {
        if (!opened) OpenStep(THistoryKind::PlaceLayers), opened = true;
        const TPlacementSide before = PlacementOf(layer);
        if (layer.ImageType == itText) {
            if (Host) Host->ShowTextAlignment(3, 3);
            if (layer.TextStyle) {
                layer.TextStyle->HorzAlign = 3;
                layer.TextStyle->VertAlign = 3;
                layer.TextStyle->TextScaleX *= scaleX;
                layer.TextStyle->TextScaleY *= scaleY;
            }
        }
        auto& r = Doc.UndoHistory.Add<TPlacementRecord>(PositionOf(&layer));
        r.Before = before;
        r.After = PlacementOf(layer);
        r.After.Location = newLocation;
        r.After.Angle = newAngle;
    };
    if (state == TDragState::Move) {
        TUpdateScope<TImage32> update(Doc.ImageScreen);
        for (TRotRubberbandLayer* h : HandlesLayers()) {
            TNewRotLayer* layer = h->EditedLayer();
            if (!layer) continue;
            ++counted;
            if (layer->Locked) {
                ++locked;
                continue;
            }
            TUpdateScope<TCustomLayer> layerUpdate(*layer);
            record(*layer, h->Location(), layer->Angle, 1.0f, 1.0f);
            layer->SetLocation(h->Location());
            h->SetHandleFlags(h->HandleFlags() & ~hfFrame);
            Doc.SetModified(true);
        }
    } else {
        ++counted;
        if (dragged->Locked) {
            ++locked;
        } else {
            TUpdateScope<TCustomLayer> layerUpdate(*dragged);
            const float sx = dragged->Location.Width() != 0
                                 ? handles->Location().Width() / dragged->Location.Width()
                                 : 1.0f;
            const float sy = dragged->Location.Height() != 0
                                 ? handles->Location().Height() / dragged->Location.Height()
                                 : 1.0f;
            record(*dragged, handles->Location(), handles->Angle(), sx, sy);
            dragged->SetLocation(handles->Location());
            dragged->SetAngle(handles->Angle());
            dragged->RebuildScreenCache();
            Doc.SetModified(true);
        }
    }
    if (locked > 0) ShowInfo(counted > 1 ? Lang("Some layers have been locked") : Lang("The layer is locked!"));
}

void TCanvasEditor::HandleMouseUp(TRotRubberbandLayer* handles, TDragState state, int, int, TShiftState,
                                  TMouseButton) {
    if (!handles) return;
    if (!HandleDragActive) {
        // A drag with the right or middle button moves the outline but is no
        // command: the outline goes back onto its layer, so that what the
        // handles show is where the layer is.
        if (TNewRotLayer* layer = handles->EditedLayer()) {
            handles->SetHandleFlags(handles->HandleFlags() & ~hfFrame);
            Doc.SyncHandles(*layer);
        }
        return;
    }
    handles->SetHandleFlags(handles->HandleFlags() & ~hfFrame);
    TNewRotLayer* layer = handles->EditedLayer();
    if (!layer) {
        HandleDragActive = false;
        DragHandles = nullptr;
        return;
    }
    if (state == TDragState::Pan || state == TDragState::None) {
        if (layer->ShadowOn) layer->SetShadowEnabled(true);
        if (layer->ViewedRect != DragStartCrop) {
            OpenStep(THistoryKind::SetCrop);
            auto& r = Doc.UndoHistory.Add<TCropRecord>(PositionOf(layer));
            r.Before = DragStartCrop;
            r.After = layer->ViewedRect;
        }
        HandleDragActive = false;
        DragHandles = nullptr;
        Doc.SetModified(true);
        return;
    }
    const bool unchanged = RoundRect(handles->Location()) == RoundRect(layer->Location) &&
                           handles->Angle() == layer->Angle;
    if (!unchanged) {
        CommitPlacement(handles, state);
    } else if (layer->Locked) {
        ShowInfo(Lang("The layer is locked!"));
    }
    HandleDragActive = false;
    DragHandles = nullptr;
}

void TCanvasEditor::HandleDblClick(TRotRubberbandLayer* handles) {
    if (!handles) return;
    handles->LayerOptions = loVisible;
    TNewRotLayer* layer = handles->EditedLayer();
    if (!layer) return;
    if (layer->Locked) {
        ShowInfo(Lang("The layer is locked!"));
        return;
    }
    if (layer->ImageType != itPhoto && layer->ImageType != itPlaceholder) return;
    HandleDragActive = false;
    SelectBoxActive = false;
    DragHandles = nullptr;
    if (PictureDialogFolder.empty() && DirectoryExists(ResourceRoot() + "Photos"))
        PictureDialogFolder = ResourceRoot() + "Photos";
    TFileDialogRequest req;
    req.Filter = "All Supported Format|*.bmp;*.jpg;*.jpeg;*.gif;*.png|BMP Format (high quality)|*.bmp|"
                 "GIF Format (for web)|*.gif|Png Format(*.png)|*.png|JPG Format (small file size)|*.jpg";
    req.InitialDir = PictureDialogFolder;
    const TFileDialogResult chosen = DialogService().OpenFile(req);
    if (chosen.FileName.empty()) return;
    PictureDialogFolder = ExtractFileDir(chosen.FileName);
    // Decode into a scratch picture first: a file that cannot be read leaves
    // the layer as it was.
    TBitmap32 picture;
    if (!LoadPicture32(chosen.FileName, picture)) return;
    const TRect loc = RoundRect(layer->Location);
    int w = loc.Width(), h = loc.Height();
    AspectCut(picture.Width(), picture.Height(), w, h);
    TUpdateScope<TImage32> update(Doc.ImageScreen);
    OpenStep(THistoryKind::ReplacePicture);
    auto& r = Doc.UndoHistory.Add<TPictureRecord>(PositionOf(layer));
    r.Before.SourceFile = layer->SourceFile;
    r.Before.ViewedRect = layer->ViewedRect;
    r.Before.ImageType = layer->ImageType;
    r.Before.PictureEdited = layer->PictureEdited;
    if (layer->SourceFile.find_first_not_of(' ') == std::string::npos || layer->PictureEdited)
        r.Before.Picture = HoldPicture(layer->Picture);
    r.After.SourceFile = chosen.FileName;
    r.After.ViewedRect = {0, 0, w - 1, h - 1};
    r.After.ImageType = itPhoto;
    picture.DrawMode = TDrawMode::Blend;
    picture.Resampler = TResamplerKind::Linear;
    picture.MasterAlpha = layer->Picture.MasterAlpha;
    layer->Picture.Assign(picture);
    layer->SetViewedRect({0, 0, w - 1, h - 1});
    layer->ImageType = itPhoto;
    layer->SetPictureCenter({float(picture.Width()) / 2, float(picture.Height()) / 2});
    layer->SourceFile = chosen.FileName;
    layer->PictureEdited = false;
    layer->PlaceholderLine1.clear();
    layer->PlaceholderLine2.clear();
    layer->RebuildScreenCache();
    PreparePictureHandle(handles);
    Doc.SetModified(true);
}

// ---- Drag and drop ----

std::vector<TPoint> TCanvasEditor::DragSelectBox(const TNewRotLayer& layer) const {
    TRect v = RoundRect(layer.LocationToView(layer.Location));
    v = {v.Left + 3, v.Top + 3, v.Right - 3, v.Bottom - 3};
    const double cx = (v.Left + v.Right) / 2, cy = (v.Top + v.Bottom) / 2;
    const double a = double(layer.Angle) * M_PI / 180.0, cs = std::cos(a), sn = std::sin(a);
    std::vector<TPoint> pts;
    for (auto [x, y] : {std::pair{v.Left, v.Top}, {v.Right, v.Top}, {v.Right, v.Bottom}, {v.Left, v.Bottom}}) {
        const double dx = x - cx, dy = y - cy;
        // counter-clockwise on screen, as the layer draws itself
        pts.push_back({Round(cx + dx * cs + dy * sn), Round(cy - dx * sn + dy * cs)});
    }
    return pts;
}

void TCanvasEditor::ToggleDropOutline(const TNewRotLayer& layer) {
    if (Host) Host->ToggleOutline(DragSelectBox(layer), 3);
}

void TCanvasEditor::CanvasDragOver(int x, int y) {
    if (ActivePanel == 4) return;
    TCustomLayer* l = Doc.Layers().LayerAt(x, y);
    if (l && l != DropTargetLayer) {
        auto* h = dynamic_cast<TRotRubberbandLayer*>(l);
        if (h && h->EditedLayer() == DropTargetLayer) return;
        if (DropTargetLayer) ToggleDropOutline(*DropTargetLayer);
        TNewRotLayer* content = h ? h->EditedLayer() : dynamic_cast<TNewRotLayer*>(l);
        if (!content) {
            DropTargetLayer = nullptr;
            return;
        }
        if (content->ImageType != itPhoto && content->ImageType != itPlaceholder) {
            DropTargetLayer = nullptr;
            return;
        }
        ToggleDropOutline(*content);
        DropTargetLayer = content;
    } else if (!l && DropTargetLayer) {
        ToggleDropOutline(*DropTargetLayer);
        DropTargetLayer = nullptr;
    }
}

void TCanvasEditor::CanvasDragEnded() {
    if (DropTargetLayer) ToggleDropOutline(*DropTargetLayer);
}

// ---- Photo content zoom ----

namespace {
// The step is half of 5 % of the crop, with the constant 0.05 taken at single
// precision: crops narrower than 20 pixels no longer change.
int ZoomStep(int size) { return Round(double(0.05f) * size / 2); }
} // namespace

void TCanvasEditor::ApplyCropZoom(TNewRotLayer& layer, const TRect& crop) {
    TUpdateScope<TImage32> update(Doc.ImageScreen);
    layer.SetViewedRect(crop);
    layer.SetShadowEnabled(layer.ShadowOn);
    layer.RebuildScreenCache();
    if (layer.Handles) PreparePictureHandle(layer.Handles);
    Doc.SetModified(true);
}

void TCanvasEditor::SpeedButtonZoomInClick() {
    TNewRotLayer* layer = TopmostSelectedLayer(-1);
    if (!layer) return;
    const TRect c = layer->ViewedRect;
    const int d = ZoomStep(c.Width()), e = ZoomStep(c.Height());
    const TRect n{c.Left + d, c.Top + e, c.Right - d, c.Bottom - e};
    if (n.Width() < 5 || n.Height() < 5) return;
    ApplyCropZoom(*layer, n);
}

void TCanvasEditor::SpeedButtonZoomOutClick() {
    TNewRotLayer* layer = TopmostSelectedLayer(-1);
    if (!layer) return;
    const TRect c = layer->ViewedRect;
    const int d = ZoomStep(c.Width()), e = ZoomStep(c.Height());
    const TRect n{c.Left - d, c.Top - e, c.Right + d, c.Bottom + e};
    OpenStep(THistoryKind::SetCrop);
    auto& r = Doc.UndoHistory.Add<TCropRecord>(PositionOf(layer));
    r.Before = c;
    r.After = n;
    ApplyCropZoom(*layer, n);
}

void TCanvasEditor::TrackBarScaleMouseDown() {
    for (int i = 0; i < Doc.LayerCount(); ++i)
        if (TNewRotLayer* l = Doc.ContentLayerAt(i)) l->ZoomPreview = true;
}

void TCanvasEditor::TrackBarScaleMouseUp(const std::function<void(int, int)>& progress) {
    TUpdateScope<TImage32> update(Doc.ImageScreen);
    const int count = Doc.LayerCount();
    for (int i = 0; i < count; ++i) {
        if (TNewRotLayer* l = Doc.ContentLayerAt(i)) {
            l->RebuildScreenCache();
            l->ZoomPreview = false;
        }
        if (progress) progress(i + 1, count);
    }
}
