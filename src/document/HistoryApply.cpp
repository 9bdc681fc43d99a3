// Undo and Redo: applying the records of a history step to the collage.
#include <QString>

#include "document/CanvasEditor.h"
#include "document/Decorations.h"
#include "document/LayerOrder.h"
#include "document/PageSettings.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "platform/Messages.h"

THistoryEntry& TCanvasEditor::OpenStep(THistoryKind kind) {
    THistoryEntry& step = Doc.UndoHistory.PushStep();
    step.Kind = kind;
    Doc.EnableUndo(true);
    Doc.EnableRedo(false);
    return step;
}

void TCanvasEditor::MenuUnDoClick() {
    THistoryEntry* step = Doc.UndoHistory.StepBack();
    if (!step) {
        Doc.EnableUndo(false);
        return;
    }
    Doc.EnableRedo(true);
    ApplyStep(*step, true);
    Doc.SetModified(true);
}

void TCanvasEditor::MenuReDoClick() {
    THistoryEntry* step = Doc.UndoHistory.StepForward();
    if (!step) {
        Doc.EnableRedo(false);
        return;
    }
    Doc.EnableUndo(true);
    ApplyStep(*step, false);
    Doc.SetModified(true);
}

namespace {
bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

void DestroyWithHandles(TCollageDocument& doc, TNewRotLayer* layer) {
    TRotRubberbandLayer* h = layer->Handles;
    doc.Layers().Delete(doc.Layers().IndexOf(layer));
    if (h) doc.Layers().Delete(doc.Layers().IndexOf(h));
    if (doc.BorderLayer == layer) doc.BorderLayer = nullptr;
}
} // namespace

void TCanvasEditor::ApplyStep(THistoryEntry& step, bool undo) {
    std::string failure;
    if (step.Kind == THistoryKind::PageSettings) {
        failure = ApplyPageSettingsStep(Doc, step, undo);
    } else {
        TUpdateScope<TImage32> update(Doc.ImageScreen);
        auto& records = step.Records;
        // Undo replays a step's changes backwards wherever their order
        // matters. For inserts and deletes this puts every layer back at
        // exactly the place it was recorded at, also when the selection's
        // order differed from the stacking order (walking forwards with
        // shifted positions would then restack the layers, the border frame
        // among them).
        const bool reverse = undo && (step.Kind == THistoryKind::RaiseLayers || step.Kind == THistoryKind::LowerLayers ||
                                      step.Kind == THistoryKind::InsertLayers || step.Kind == THistoryKind::DeleteLayers);
        bool picturesReplaced = false;
        for (size_t n = 0; n < records.size(); ++n) {
            THistoryRecord& rec = *records[reverse ? records.size() - 1 - n : n];
            try {
                switch (step.Kind) {
                case THistoryKind::InsertLayers:
                case THistoryKind::DeleteLayers: {
                    auto& r = static_cast<TSnapshotRecord&>(rec);
                    const bool create = (step.Kind == THistoryKind::InsertLayers) != undo;
                    if (create) {
                        auto* layer = Doc.Layers().Add<TNewRotLayer>();
                        layer->SetIndex(r.Position);
                        RestoreLayer(*layer, r.Snapshot, TSnapshotUse::History);
                        layer->RebuildScreenCache();
                        SelectLayer(layer);
                        if (step.Kind == THistoryKind::InsertLayers && r.Snapshot.TextStyle &&
                            layer->ImageType == itText && Host)
                            Host->ShowTextAlignment(r.Snapshot.TextStyle->HorzAlign, r.Snapshot.TextStyle->VertAlign);
                        // the text page shows the text that came back
                        if (layer->ImageType == itText && Host) Host->TextLayerPicked(*layer);
                    } else {
                        TNewRotLayer* layer = Doc.ContentLayerAt(r.Position);
                        if (!layer) break;
                        DestroyWithHandles(Doc, layer);
                    }
                    break;
                }
                case THistoryKind::RaiseLayers:
                case THistoryKind::LowerLayers: {
                    auto& r = static_cast<TRestackRecord&>(rec);
                    const int from = undo ? r.Position : r.BeforePosition;
                    const int to = undo ? r.BeforePosition : r.Position;
                    if (!Doc.ContentLayerAt(from) || to < 0 || to >= Doc.LayerCount()) break;
                    Doc.Layers().Move(from, to);
                    break;
                }
                default: {
                    TNewRotLayer* layer = Doc.ContentLayerAt(rec.Position);
                    if (step.Kind == THistoryKind::SetBorder) {
                        auto& r = static_cast<TBorderRecord&>(rec);
                        SetBorderByName(Doc, undo ? r.Before : r.After);
                        break;
                    }
                    if (!layer) break; // the collection changed by unrecorded means
                    TUpdateScope<TCustomLayer> layerUpdate(*layer);
                    switch (step.Kind) {
                    case THistoryKind::PlaceLayers: {
                        auto& r = static_cast<TPlacementRecord&>(rec);
                        const TPlacementSide& side = undo ? r.Before : r.After;
                        const bool resized = ToFixed(side.Location.Width()) != ToFixed(layer->Location.Width()) ||
                                             ToFixed(side.Location.Height()) != ToFixed(layer->Location.Height());
                        layer->SetLocation(side.Location);
                        if (resized) layer->RebuildScreenCache();
                        if (layer->TextStyle) {
                            layer->TextStyle->TextScaleX = side.TextScaleX;
                            layer->TextStyle->TextScaleY = side.TextScaleY;
                            layer->TextStyle->HorzAlign = side.HorzAlign;
                            layer->TextStyle->VertAlign = side.VertAlign;
                            if (layer->ImageType == itText && Host)
                                Host->ShowTextAlignment(side.HorzAlign, side.VertAlign);
                        } else if (layer->ImageType == itText && Host) {
                            Host->ShowTextAlignment(3, 3);
                        }
                        layer->SetAngle(side.Angle);
                        Doc.SyncHandles(*layer);
                        break;
                    }
                    case THistoryKind::ReplacePicture: {
                        auto& r = static_cast<TPictureRecord&>(rec);
                        const TPictureSide& side = undo ? r.Before : r.After;
                        if (side.ImageType == itPlaceholder) {
                            layer->ImageType = itPlaceholder;
                            layer->Picture.SetSize(10, 10);
                            layer->Picture.Clear(0xFFFFFFFF);
                            layer->Picture.DrawMode = TDrawMode::Blend;
                            layer->SetScaled(true);
                        } else {
                            TBitmap32 picture;
                            bool ok = true;
                            if (side.Picture)
                                side.Picture->CopyTo(picture);
                            else if (!Blank(side.SourceFile))
                                ok = LoadPicture32(side.SourceFile, picture);
                            if (ok) {
                                const uint8_t alpha = layer->Picture.MasterAlpha;
                                // moved, not copied: a photo's picture may be 96 MB
                                layer->Picture = std::move(picture);
                                layer->Picture.MasterAlpha =
                                    side.Picture ? side.Picture->MasterAlpha() : alpha;
                                layer->Picture.DrawMode = TDrawMode::Blend;
                                layer->Picture.Resampler = TResamplerKind::Linear;
                                layer->PictureEdited = side.PictureEdited;
                            }
                            layer->ImageType = itPhoto;
                            layer->PlaceholderLine1.clear();
                            layer->PlaceholderLine2.clear();
                        }
                        layer->SetViewedRect(side.ViewedRect);
                        layer->SetPictureCenter(
                            {float(layer->Picture.Width()) / 2, float(layer->Picture.Height()) / 2});
                        layer->SourceFile = side.SourceFile;
                        if (layer->Handles) {
                            Doc.SyncHandles(*layer);
                            layer->Handles->SetHandleFlags(layer->Handles->HandleFlags() & ~hfPictureHandle);
                            PreparePictureHandle(layer->Handles);
                        }
                        layer->RebuildScreenCache();
                        picturesReplaced = true;
                        break;
                    }
                    case THistoryKind::SetMask: {
                        auto& r = static_cast<TNameRecord&>(rec);
                        const std::string& name = undo ? r.Before : r.After;
                        if (Blank(name))
                            layer->ClearMask();
                        else
                            ApplyMaskByName(*layer, name);
                        break;
                    }
                    case THistoryKind::SetSubFrame: {
                        auto& r = static_cast<TNameRecord&>(rec);
                        const std::string& name = undo ? r.Before : r.After;
                        if (Blank(name))
                            layer->ClearSubFrame();
                        else
                            ApplySubFrameByName(*layer, name);
                        break;
                    }
                    case THistoryKind::SetCrop: {
                        auto& r = static_cast<TCropRecord&>(rec);
                        const TRect& crop = undo ? r.Before : r.After;
                        const bool resized = crop.Width() != layer->ViewedRect.Width() ||
                                             crop.Height() != layer->ViewedRect.Height();
                        layer->SetViewedRect(crop);
                        if (resized) layer->RebuildScreenCache();
                        if (layer->ShadowOn) layer->SetShadowEnabled(true);
                        break;
                    }
                    case THistoryKind::FlipLayers: {
                        auto& r = static_cast<TFlipRecord&>(rec);
                        if (r.Axis == 0)
                            layer->SetFlipH(!layer->FlipH);
                        else
                            layer->SetFlipV(!layer->FlipV);
                        layer->RebuildScreenCache();
                        break;
                    }
                    case THistoryKind::SetShadow: {
                        auto& r = static_cast<TShadowRecord&>(rec);
                        const TShadowSide& side = undo ? r.Before : r.After;
                        layer->SetShadowOffsetX(side.OffsetX);
                        layer->SetShadowOffsetY(side.OffsetY);
                        layer->SetShadowTransparent(side.Transparent);
                        layer->SetShadowSmooth(side.Smooth);
                        layer->SetShadowColor(ToColor32(side.Color));
                        layer->SetShadowEnabled(side.On);
                        break;
                    }
                    case THistoryKind::SetOpacity: {
                        auto& r = static_cast<TOpacityRecord&>(rec);
                        layer->Picture.MasterAlpha = undo ? r.Before : r.After;
                        // the screen shows the transparency of its last rebuild
                        layer->RebuildScreenCache();
                        break;
                    }
                    case THistoryKind::ModifyText: {
                        auto& r = static_cast<TTextRecord&>(rec);
                        const TTextSide& side = undo ? r.Before : r.After;
                        if (side.Picture) {
                            const uint8_t alpha = layer->Picture.MasterAlpha;
                            layer->Picture.Assign(*side.Picture);
                            layer->Picture.MasterAlpha = alpha;
                        }
                        layer->SetViewedRect(side.ViewedRect);
                        layer->SetLocation(side.Location);
                        layer->SetPictureCenter(
                            {float(layer->Picture.Width()) / 2, float(layer->Picture.Height()) / 2});
                        Doc.SyncHandles(*layer);
                        if (side.Font) layer->SetFont(std::make_unique<TLayerFont>(*side.Font));
                        layer->AALevel = side.AALevel;
                        layer->Text = side.Text;
                        if (!layer->TextStyle) layer->TextStyle = std::make_unique<TTextStyle>();
                        layer->TextStyle->Halation = side.Halation;
                        layer->TextStyle->HalationColor = side.HalationColor;
                        layer->TextStyle->HalationSize = side.HalationSize;
                        layer->TextStyle->TextureFile = side.TextureFile;
                        layer->RebuildScreenCache();
                        if (layer->Handles && Host) Host->TextLayerPicked(*layer);
                        break;
                    }
                    default: break;
                    }
                }
                }
            } catch (const std::exception& e) {
                // a library file gone since the step was recorded: the other
                // records still apply
                if (failure.empty()) failure = ErrorMessage(e);
            }
        }
        if (picturesReplaced && Host) Host->PicturesReplaced();
    }
    Doc.ImageScreen.Changed();
    if (!failure.empty()) ShowError(failure);
}
