#include "text/TextCommands.h"

#include <charconv>
#include <cmath>

#include "document/LayerOrder.h"
#include "language/Language.h"
#include "platform/Messages.h"

namespace {

// Blank as the text box sees it: nothing but spaces and control characters.
bool Blank(const std::string& s) {
    for (unsigned char c : s)
        if (c > ' ') return false;
    return true;
}

std::string Trimmed(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (unsigned char)s[a] <= ' ') ++a;
    while (b > a && (unsigned char)s[b - 1] <= ' ') --b;
    return s.substr(a, b - a);
}

std::unique_ptr<TLayerFont> FontOf(const TTextPageState& page, int size) {
    auto font = std::make_unique<TLayerFont>();
    font->Font.setFamily(QString::fromStdString(Trimmed(page.FontName)));
    font->Font.setPixelSize(std::max(1, size));
    font->Font.setBold(page.Bold);
    font->Font.setItalic(page.Italic);
    font->Font.setUnderline(page.Underline);
    font->Color = ToColor32(page.Color);
    return font;
}

// What a layer without a font counts as having.
TLayerFont DefaultLayerFont() {
    TLayerFont f;
    f.Font.setFamily("Arial");
    f.Font.setPixelSize(200);
    f.Color = ToColor32(0xFFFFFF);
    return f;
}

void SetTextStyle(TTextStyle& style, const TTextPageState& page) {
    style.Halation = page.Halation;
    style.HalationColor = page.HalationColor;
    style.HalationSize = page.HalationSize;
    style.TextureFile = page.Texture ? page.TextureFile.substr(0, 255) : std::string();
    style.HorzAlign = uint8_t(std::clamp(page.HorzAlign, 0, 3));
    style.VertAlign = uint8_t(std::clamp(page.VertAlign, 0, 3));
}

// The glow margin of a layer's current picture.
int MarginOf(const TNewRotLayer& layer) {
    if (!layer.TextStyle) return 0;
    TTextLook look;
    look.Halation = layer.TextStyle->Halation;
    look.HalationSize = layer.TextStyle->HalationSize;
    return GlowMargin(look);
}

// Rotation by degrees in the sense the layer is drawn (counter-clockwise on
// screen, y pointing down).
void Rotate(double degrees, double& x, double& y) {
    const double a = degrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    const double rx = x * c + y * s, ry = -x * s + y * c;
    x = rx;
    y = ry;
}

void ShowTooLarge() {
    ShowInfo(Lang("The text is too large: its picture would be more than 8000 pixels wide or high."));
}

void CaptureSide(TTextSide& side, const TNewRotLayer& layer) {
    side.Picture = std::make_unique<TBitmap32>();
    side.Picture->Assign(layer.Picture);
    side.ViewedRect = layer.ViewedRect;
    side.Location = layer.Location;
    side.Font = std::make_unique<TLayerFont>(layer.Font ? *layer.Font : DefaultLayerFont());
    side.AALevel = layer.AALevel;
    side.Text = layer.Text;
    if (layer.TextStyle) {
        side.Halation = layer.TextStyle->Halation;
        side.HalationColor = layer.TextStyle->HalationColor;
        side.HalationSize = layer.TextStyle->HalationSize;
        side.TextureFile = layer.TextStyle->TextureFile;
    } else {
        side.Halation = false;
        side.HalationColor = 0;
        side.HalationSize = 5;
        side.TextureFile.clear();
    }
}

} // namespace

TTextLook LookOf(const TTextPageState& page, int size) {
    TTextLook look;
    look.Text = page.Text;
    look.FontName = page.FontName;
    look.Size = size;
    look.Bold = page.Bold;
    look.Italic = page.Italic;
    look.Underline = page.Underline;
    look.LineAlign = page.LineAlign;
    look.Color = page.Color;
    look.Halation = page.Halation;
    look.HalationColor = page.HalationColor;
    look.HalationSize = page.HalationSize;
    if (page.Texture) look.TextureFile = page.TextureFile;
    return look;
}

TFloatRect PlaceOnPage(float width, float height, int horz, int vert, int pageWidth, int pageHeight) {
    float x = (pageWidth - width) / 2, y = (pageHeight - height) / 2;
    if (horz == 0) x = 0;
    if (horz == 2) x = pageWidth - width;
    if (vert == 0) y = 0;
    if (vert == 2) y = pageHeight - height;
    return {x, y, x + width, y + height};
}

// ---- Typing sessions ----

THistoryRecord* TTextCommands::MergeTarget(const TNewRotLayer& layer, TTextSource source) {
    const TUnReDo& history = Editor.Doc.UndoHistory;
    if (source == TTextSource::Other || FSession.Source != source || FSession.Layer != &layer ||
        FSession.Revision != history.Revision() || FSession.Current != history.Current())
        return nullptr;
    THistoryEntry& step = Editor.Doc.UndoHistory.CurrentStep();
    if (step.Records.size() != 1 || step.Records[0].get() != FSession.Record) return nullptr;
    if (step.Kind != THistoryKind::InsertLayers && step.Kind != THistoryKind::ModifyText) return nullptr;
    // the layer must still be the one the record names
    if (Editor.Doc.ContentLayerAt(step.Records[0]->Position) != &layer) return nullptr;
    return step.Records[0].get();
}

void TTextCommands::Remember(const TNewRotLayer& layer, TTextSource source, const THistoryRecord& record) {
    if (source == TTextSource::Other) {
        FSession = {};
        return;
    }
    const TUnReDo& history = Editor.Doc.UndoHistory;
    FSession = {&layer, source, &record, history.Revision(), history.Current()};
}

// ---- Checks ----

bool TTextCommands::CheckSize(const TTextPageState& page, int& size, TTextResult& refusal) const {
    const std::string text = Trimmed(page.SizeText);
    int value = 0;
    const char* end = text.data() + text.size();
    const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto [ptr, ec] = std::from_chars(first, end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        ShowInfo(Lang("Please set font size."));
        refusal = TTextResult::FocusSizeBox;
        return false;
    }
    if (value <= 0) {
        ShowInfo(Lang("Font size must greater than 0."));
        refusal = TTextResult::FocusSizeBox;
        return false;
    }
    size = value;
    return true;
}

// ---- Insert ----

TTextResult TTextCommands::RenderNewText(const TTextPageState& page, TTextSource source) {
    if (Blank(page.Text)) return TTextResult::Unchanged;
    int size = 0;
    TTextResult refusal = TTextResult::Unchanged;
    if (!CheckSize(page, size, refusal)) return refusal;
    if (page.AALevel < 0) {
        ShowInfo(Lang("Please set antialias level"));
        return TTextResult::FocusAALevel;
    }
    // Drawn before anything changes: a text too large leaves the collage as
    // it was.
    TBitmap32 picture;
    if (DrawTextPicture(LookOf(page, size), picture) == TTextDraw::TooLarge) {
        ShowTooLarge();
        return TTextResult::FocusSizeBox;
    }

    TCollageDocument& doc = Editor.Doc;
    TNewRotLayer* layer = nullptr;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        layer = doc.Layers().Add<TNewRotLayer>();
        KeepBorderOnTop(doc);
        TUpdateScope<TCustomLayer> layerUpdate(*layer);
        layer->ImageType = itText;
        layer->SetFont(FontOf(page, size));
        layer->Text = page.Text;
        layer->Picture.Assign(picture);
        layer->Picture.DrawMode = TDrawMode::Blend;
        const int w = picture.Width(), h = picture.Height();
        layer->SetPictureCenter({w / 2.0f, h / 2.0f});
        layer->AALevel = 0;
        layer->ViewedRect = {0, 0, w, h};
        const TBitmap32& canvas = doc.ImageScreen.Bitmap;
        layer->SetLocation(
            PlaceOnPage(float(w), float(h), page.HorzAlign, page.VertAlign, canvas.Width(), canvas.Height()));
        layer->Picture.Resampler = TResamplerKind::Linear;
        layer->AlphaHit = true;
        layer->SetScaled(true);
        layer->SetViewedRect({0, 0, w, h});
        if (page.Shadow) {
            layer->SetShadowOffsetX(7);
            layer->SetShadowOffsetY(7);
            layer->SetShadowTransparent(100);
            layer->SetShadowSmooth(2);
            layer->SetShadowEnabled(true);
        }
        if (doc.LayerCount() > 0) Editor.DeselectAll();
        layer->TextStyle = std::make_unique<TTextStyle>();
        SetTextStyle(*layer->TextStyle, page);
        layer->TextStyle->TextScaleX = layer->TextStyle->TextScaleY = 1.0f;
        layer->RebuildScreenCache();
        Editor.OpenStep(THistoryKind::InsertLayers);
        auto& record = doc.UndoHistory.Add<TSnapshotRecord>(Editor.PositionOf(layer));
        record.Snapshot = CaptureLayer(*layer, TSnapshotUse::History);
        Remember(*layer, source, record);
        Editor.SelectLayer(layer);
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
    if (Editor.Host) Editor.Host->FocusCanvas();
    return TTextResult::Done;
}

// ---- Modify ----

TTextResult TTextCommands::RenderModifiedText(const TTextPageState& page, TTextSource source) {
    TNewRotLayer* layer = SelectedText();
    if (!layer) return TTextResult::Unchanged;
    if (layer->Locked) {
        ShowInfo(Lang("The layer is locked!"));
        return TTextResult::Unchanged;
    }
    TCollageDocument& doc = Editor.Doc;
    if (Blank(page.Text)) {
        {
            TUpdateScope<TImage32> update(doc.ImageScreen);
            Editor.OpenStep(THistoryKind::DeleteLayers);
            const int position = Editor.PositionOf(layer);
            doc.UndoHistory.Add<TSnapshotRecord>(position).Snapshot =
                CaptureLayer(*layer, TSnapshotUse::History);
            TRotRubberbandLayer* handles = layer->Handles;
            if (Editor.DropTargetLayer == layer) Editor.DropTargetLayer = nullptr;
            if (handles && Editor.DragHandles == handles)
                Editor.DragHandles = nullptr, Editor.HandleDragActive = false;
            doc.Layers().Delete(position);
            if (handles) doc.Layers().Delete(doc.Layers().IndexOf(handles));
        }
        doc.ImageScreen.Changed();
        doc.SetModified(true);
        EndTyping();
        return TTextResult::Done;
    }
    int size = 0;
    TTextResult refusal = TTextResult::Unchanged;
    if (!CheckSize(page, size, refusal)) return refusal;
    if (page.AALevel < 0) {
        ShowInfo(Lang("Please set antialias level"));
        return TTextResult::FocusAALevel;
    }
    TBitmap32 picture;
    if (DrawTextPicture(LookOf(page, size), picture) == TTextDraw::TooLarge) {
        ShowTooLarge();
        return TTextResult::FocusSizeBox;
    }

    THistoryRecord* merged = MergeTarget(*layer, source);
    TTextSide before;
    if (!merged) CaptureSide(before, *layer);
    const int oldMargin = MarginOf(*layer);
    const TFloatRect old = layer->Location;

    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        TUpdateScope<TCustomLayer> layerUpdate(*layer);
        layer->SetFont(FontOf(page, size));
        layer->Text = page.Text;
        if (!layer->TextStyle) layer->TextStyle = std::make_unique<TTextStyle>(); // scales 1.0
        SetTextStyle(*layer->TextStyle, page);
        const uint8_t alpha = layer->Picture.MasterAlpha;
        layer->Picture.Assign(picture);
        layer->Picture.MasterAlpha = alpha;
        layer->Picture.DrawMode = TDrawMode::Blend;
        layer->Picture.Resampler = TResamplerKind::Linear;
        // the flags stay: the new picture is mirrored as the old one was
        if (layer->FlipH) layer->Picture.FlipHorz();
        if (layer->FlipV) layer->Picture.FlipVert();
        const int w = picture.Width(), h = picture.Height();
        layer->SetPictureCenter({w / 2.0f, h / 2.0f});
        layer->AALevel = 1;
        layer->SetViewedRect({0, 0, w, h});

        // The new box keeps the letters where they were on the page: the
        // point at the letters' top-left corner (inside the glow margin)
        // stays put under the layer's rotation and scale. Without a change
        // of glow that is the box's rotated top-left corner.
        const float sx = layer->TextStyle->TextScaleX, sy = layer->TextStyle->TextScaleY;
        const int margin = MarginOf(*layer);
        const double bw = double(w) * sx, bh = double(h) * sy;
        const double ocx = (old.Left + old.Right) / 2.0, ocy = (old.Top + old.Bottom) / 2.0;
        // the letters' corner, on the page
        double qx = old.Left + oldMargin * double(sx) - ocx, qy = old.Top + oldMargin * double(sy) - ocy;
        Rotate(layer->Angle, qx, qy);
        qx += ocx;
        qy += ocy;
        // the same corner in the new box, from the new box's centre
        double vx = margin * double(sx) - bw / 2, vy = margin * double(sy) - bh / 2;
        Rotate(layer->Angle, vx, vy);
        const double cx = qx - vx, cy = qy - vy;
        TFloatRect box{float(cx - bw / 2), float(cy - bh / 2), float(cx + bw / 2), float(cy + bh / 2)};
        const TBitmap32& canvas = doc.ImageScreen.Bitmap;
        const TFloatRect placed = PlaceOnPage(box.Width(), box.Height(), layer->TextStyle->HorzAlign,
                                              layer->TextStyle->VertAlign, canvas.Width(), canvas.Height());
        if (layer->TextStyle->HorzAlign <= 2) box.Left = placed.Left, box.Right = placed.Right;
        if (layer->TextStyle->VertAlign <= 2) box.Top = placed.Top, box.Bottom = placed.Bottom;
        layer->SetLocation(box);
        doc.SyncHandles(*layer);
        layer->RebuildScreenCache();

        if (merged) {
            if (auto* insert = dynamic_cast<TSnapshotRecord*>(merged))
                insert->Snapshot = CaptureLayer(*layer, TSnapshotUse::History);
            else
                CaptureSide(static_cast<TTextRecord*>(merged)->After, *layer);
        } else {
            Editor.OpenStep(THistoryKind::ModifyText);
            auto& record = doc.UndoHistory.Add<TTextRecord>(Editor.PositionOf(layer));
            record.Before = std::move(before);
            CaptureSide(record.After, *layer);
            Remember(*layer, source, record);
        }
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
    if (Editor.Host) Editor.Host->FocusCanvas();
    return TTextResult::Done;
}

// ---- Position and shadow ----

void TTextCommands::PositionBoxChanged(bool horizontal, int index) {
    TNewRotLayer* layer = SelectedText();
    if (!layer) return;
    if (layer->Locked) {
        ShowInfo(Lang("The layer is locked!"));
        return;
    }
    EndTyping();
    TCollageDocument& doc = Editor.Doc;
    index = std::clamp(index, 0, 3);
    Editor.OpenStep(THistoryKind::PlaceLayers);
    const TPlacementSide before = PlacementOf(*layer);
    if (layer->TextStyle)
        (horizontal ? layer->TextStyle->HorzAlign : layer->TextStyle->VertAlign) = uint8_t(index);
    const TFloatRect& r = layer->Location;
    const TBitmap32& canvas = doc.ImageScreen.Bitmap;
    const TFloatRect placed = PlaceOnPage(r.Width(), r.Height(), horizontal ? index : 3,
                                          horizontal ? 3 : index, canvas.Width(), canvas.Height());
    TFloatRect moved = r;
    if (horizontal && index <= 2) moved.Left = placed.Left, moved.Right = placed.Right;
    if (!horizontal && index <= 2) moved.Top = placed.Top, moved.Bottom = placed.Bottom;
    auto& record = doc.UndoHistory.Add<TPlacementRecord>(Editor.PositionOf(layer));
    record.Before = before;
    record.After = before;
    record.After.Location = moved;
    (horizontal ? record.After.HorzAlign : record.After.VertAlign) = uint8_t(index);
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        TUpdateScope<TCustomLayer> layerUpdate(*layer);
        layer->SetLocation(moved);
        doc.SyncHandles(*layer);
    }
    doc.ImageScreen.Changed();
    doc.SetModified(true);
}

namespace {
TShadowSide ShadowOf(const TNewRotLayer& l) {
    return {l.ShadowOffsetX, l.ShadowOffsetY,           l.ShadowTransparent,
            l.ShadowSmooth,  ToWinColor(l.ShadowColor), l.ShadowOn};
}

// One SetShadow step over the selected unlocked layers, each given the
// shadow `change` makes of its own.
template <class F> void ShadowSelection(TCanvasEditor& ed, F change) {
    TCollageDocument& doc = ed.Doc;
    bool opened = false;
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        for (TNewRotLayer* l : ed.SelectedLayers()) {
            if (l->Locked) continue;
            if (!opened) ed.OpenStep(THistoryKind::SetShadow), opened = true;
            auto& record = doc.UndoHistory.Add<TShadowRecord>(ed.PositionOf(l));
            record.Before = ShadowOf(*l);
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            change(*l);
            record.After = ShadowOf(*l);
        }
    }
    if (!opened) return;
    doc.ImageScreen.Changed();
    doc.SetModified(true);
}
} // namespace

void TTextCommands::ShadowBoxUnchecked() {
    EndTyping();
    ShadowSelection(Editor, [](TNewRotLayer& l) { l.SetShadowEnabled(false); });
}

void TTextCommands::ApplyTextShadow() {
    EndTyping();
    ShadowSelection(Editor, [](TNewRotLayer& l) {
        l.SetShadowOffsetX(7);
        l.SetShadowOffsetY(7);
        l.SetShadowTransparent(100);
        l.SetShadowSmooth(2);
        l.SetShadowEnabled(true);
    });
}
