#include "document/CollageDocument.h"

#include "engine/ParallelRows.h"
#include "engine/RotRubberbandLayer.h"

#include <cstdio>

#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "platform/Messages.h"

TCollageDocument::TCollageDocument() {
    CaptionBase = std::string(kProductName) + " " + kVersion;
    ImageScreen.Bitmap.DrawMode = TDrawMode::Blend;
    ImageScreen.Bitmap.CombineMode = TCombineMode::Blend;
    ImageScreen.Bitmap.Resampler = TResamplerKind::Nearest;
    ImageScreen.OnPaintStage = [this](TBitmap32& buffer) { PaintBackgroundStage(buffer); };
}

void TCollageDocument::Notify() {
    if (Observer) Observer->DocumentStateChanged();
}

void TCollageDocument::SetModified(bool value) {
    Modified = value;
    Notify();
}

void TCollageDocument::EnableUndo(bool on) {
    UndoEnabled = on;
    if (Observer) Observer->UndoRedoEnabled(UndoEnabled, RedoEnabled);
}

void TCollageDocument::EnableRedo(bool on) {
    RedoEnabled = on;
    if (Observer) Observer->UndoRedoEnabled(UndoEnabled, RedoEnabled);
}

std::string TCollageDocument::Caption() const {
    switch (CaptionTitle) {
    case TCaptionTitle::None:
        return CaptionBase;
    case TCaptionTitle::Untitled:
        return CaptionBase + " - " + Lang("Untitled");
    case TCaptionTitle::Project: {
        // a path with doubled separators is shown with single ones
        std::string path;
        for (char c : ProjectFile)
            if (!(path.size() && (c == '/' || c == '\\') && path.back() == c)) path += c;
        return CaptionBase + " - " + path;
    }
    }
    return CaptionBase;
}

std::string TCollageDocument::SizeLabel() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, ": %d X %d", ImageScreen.Bitmap.Width(), ImageScreen.Bitmap.Height());
    return Lang("Size") + buf;
}

std::string TCollageDocument::SavedLabel() const {
    return Modified ? Lang("Unsaved") : Lang("Saved");
}

void TCollageDocument::SetScrollBoxSize(int width, int height) {
    FScrollBoxWidth = std::max(width, 0);
    FScrollBoxHeight = std::max(height, 0);
    UpdateControlSize();
}

void TCollageDocument::UpdateControlSize(bool notify) {
    const float scale = ImageScreen.Scale();
    const int w =
        std::max(FScrollBoxWidth - 8, Round(double(ImageScreen.Bitmap.Width()) * scale) + 2 * kPageMargin);
    const int h =
        std::max(FScrollBoxHeight - 8, Round(double(ImageScreen.Bitmap.Height()) * scale) + 2 * kPageMargin);
    ImageScreen.SetSize(w, h);
    if (notify && Observer) Observer->CanvasGeometryChanged();
}

void TCollageDocument::SetZoom(int percent) {
    SetZoomAt(percent, ImageScreen.ViewportWidth() / 2, ImageScreen.ViewportHeight() / 2);
}

void TCollageDocument::SetZoomAt(int percent, int x, int y) {
    TImage32& screen = ImageScreen;
    const TLayerCollection& view = screen.Layers;
    // the page point under (x, y) now
    const double px = (x - view.ShiftX()) / view.ScaleX(), py = (y - view.ShiftY()) / view.ScaleY();
    FZoom = percent;
    screen.SetScale(float(percent) / 100.0f);
    UpdateControlSize(false);
    // scrolled so that it lies under (x, y) again, as far as the control
    // reaches; the shift without scrolling is the page centred in the control
    const TRect page = screen.GetBitmapRect();
    const int w = screen.ViewportWidth(), h = screen.ViewportHeight();
    const double left = page.Left + screen.ScrollX(), top = page.Top + screen.ScrollY();
    const int sx = std::clamp(Round(px * view.ScaleX() + left - x), 0, std::max(0, screen.Width() - w));
    const int sy = std::clamp(Round(py * view.ScaleY() + top - y), 0, std::max(0, screen.Height() - h));
    if (screen.HasViewport()) screen.SetViewport(sx, sy, w, h);
    if (Observer) Observer->CanvasGeometryChanged();
}

void TCollageDocument::ApplyCanvasSettings() {
    TBitmap32& canvas = ImageScreen.Bitmap;
    const TCollageSettings& s = CollageSettings;
    const int cw = s.Orientation == 1 ? s.Height : s.Width;
    const int ch = s.Orientation == 1 ? s.Width : s.Height;
    canvas.SetSize(cw, ch);
    canvas.Clear(0xFFFFFFFF);
    ImageScreen.BitmapResized();
    UpdateControlSize();
    Notify(); // size label

    switch (s.BKType) {
    case 0:
        canvas.Clear(0xFFFFFFFF);
        canvas.ResetAlpha(0);
        break;
    case 1:
        canvas.Clear(ToColor32(s.BKColor));
        break;
    case 2: {
        TBitmap32 picture;
        picture.DrawMode = canvas.DrawMode;
        bool loaded = false;
        try {
            loaded = LoadPicture32(s.BKImageFile, picture);
        } catch (const EUserError& e) {
            ShowError(ErrorMessage(e));
        }
        if (!loaded || picture.Empty()) {
            canvas.Clear(0xFFFFFFFF);
            ImageScreen.Changed();
            return;
        }
        picture.DrawMode = canvas.DrawMode;
        const int w = picture.Width(), h = picture.Height();
        switch (s.BKImageFillType) {
        case 0:
            for (int x = 0; x < cw - 1; x += w)
                for (int y = 0; y < ch - 1; y += h) canvas.Draw(x, y, picture);
            break;
        case 1:
            canvas.Draw((cw - w) / 2, (ch - h) / 2, picture);
            break;
        default:
            picture.Resampler = canvas.Resampler;
            canvas.StretchDraw(canvas.BoundsRect(), picture);
            break;
        }
        break;
    }
    default:
        break;
    }
    ImageScreen.Changed();

    // the fitting zoom: shrink the page into the scroll box less the margin
    // kept around it, so that no scroll bar is needed
    const int boxW = FScrollBoxWidth - 8 - 2 * kPageMargin, boxH = FScrollBoxHeight - 8 - 2 * kPageMargin;
    if (boxW > 0 && boxH > 0 && cw > 0 && ch > 0) {
        int fw = boxW, fh = boxH;
        FitInside(cw, ch, fw, fh);
        const int zoom =
            double(ch) / boxH >= double(cw) / boxW ? Round(fh * 100.0 / ch) : Round(fw * 100.0 / cw);
        if (Observer)
            Observer->RequestZoom(zoom);
        else
            SetZoom(zoom);
    }
}

TNewRotLayer* TCollageDocument::ContentLayerAt(int index) const {
    if (index < 0 || index >= ImageScreen.Layers.Count()) return nullptr;
    return dynamic_cast<TNewRotLayer*>(ImageScreen.Layers.Items(index));
}

void TCollageDocument::AdjustAllLayer(int oldWidth, int oldHeight, int newWidth, int newHeight) {
    if ((oldWidth == newWidth && oldHeight == newHeight) || ImageScreen.Layers.Count() == 0) return;
    if (oldWidth <= 0 || oldHeight <= 0) return;
    TUpdateScope<TImage32> update(ImageScreen);
    const float sx = float(newWidth) / float(oldWidth), sy = float(newHeight) / float(oldHeight);
    for (int i = 0; i < LayerCount(); ++i) {
        TNewRotLayer* l = ContentLayerAt(i);
        if (!l) continue;
        const TFloatRect r = l->Location;
        l->SetLocation({r.Left * sx, r.Top * sy, r.Left * sx + (r.Right - r.Left) * sx,
                        r.Top * sy + (r.Bottom - r.Top) * sy});
        // a text keeps the size it is shown at when it is next edited
        if (l->TextStyle) {
            l->TextStyle->TextScaleX *= sx;
            l->TextStyle->TextScaleY *= sy;
        }
        l->RebuildScreenCache();
        SyncHandles(*l);
    }
}

bool TCollageDocument::RenderCollage(TBitmap32& target, std::string* failure) {
    // the page at full resolution is what the user waits for: let the large
    // drawings use every core
    TParallelDrawScope parallel;
    target.Assign(ImageScreen.Bitmap);
    target.DrawMode = ImageScreen.Bitmap.DrawMode;
    std::vector<TNewRotLayer*> layers;
    for (int i = 0; i < LayerCount(); ++i)
        if (TNewRotLayer* l = ContentLayerAt(i)) layers.push_back(l);
    // the layers above a failing one are missing: say so
    std::string why;
    const int drawn = RenderLayersFullResolution(layers.data(), int(layers.size()), target, &why);
    if (drawn == int(layers.size())) return true;
    if (failure) *failure = LayerName(*layers[size_t(drawn)]) + ": " + why;
    return false;
}

std::string TCollageDocument::LayerName(const TNewRotLayer& layer) const {
    if (!layer.SourceFile.empty()) return layer.SourceFile;
    if (layer.ImageType == itText && !layer.Text.empty()) return "\"" + layer.Text + "\"";
    int position = 0; // among the content layers, bottom first
    for (int i = 0; i < LayerCount(); ++i)
        if (const TNewRotLayer* l = ContentLayerAt(i)) {
            ++position;
            if (l == &layer) break;
        }
    // the number goes in by hand: a translation is no format string to trust
    std::string name = Lang("Layer %d");
    const size_t at = name.find("%d");
    if (at == std::string::npos) return name + " " + std::to_string(position);
    return name.replace(at, 2, std::to_string(position));
}

void TCollageDocument::PaintBackgroundStage(TBitmap32& buffer) const {
    const TRect clip = buffer.ClipRect();
    buffer.FillRect(clip.Left, clip.Top, clip.Right, clip.Bottom, 0xFF808080);
    const TLayerCollection& layers = ImageScreen.Layers;
    // in device pixels: on a high-density screen squares and outline keep
    // their size on screen
    const float d = layers.DeviceRatio();
    const float hx = layers.ShiftX() * d, hy = layers.ShiftY() * d;
    const TBitmap32& canvas = ImageScreen.Bitmap;
    const int one = std::max(1, Round(d)), square = std::max(1, Round(13.0 * d));
    const TRect r{Round(hx - one), Round(hy - one), Round(hx + canvas.Width() * layers.ScaleX() * d + one),
                  Round(hy + canvas.Height() * layers.ScaleY() * d + one)};
    if (CollageSettings.BKType == 0) {
        buffer.SetClipRect(r);
        const TRect vis = buffer.ClipRect();
        const int cols = (r.Width() - 2 * one) / square, rows = (r.Height() - 2 * one) / square;
        // only the squares that touch the visible part are filled
        const int c0 = std::max(0, (vis.Left - r.Left) / square),
                  c1 = std::min(cols, (vis.Right - r.Left) / square);
        const int r0 = std::max(0, (vis.Top - r.Top) / square),
                  r1 = std::min(rows, (vis.Bottom - r.Top) / square);
        for (int row = r0; row <= r1; ++row)
            for (int col = c0; col <= c1; ++col) {
                const TColor32 c = (col % 2) == (row % 2) ? 0xFFB0B0B0 : 0xFFFFFFFF;
                const int x = r.Left + col * square, y = r.Top + row * square;
                buffer.FillRect(x, y, x + square, y + square, c);
            }
        buffer.SetClipRect(clip);
    }
    for (int i = 0; i < one; ++i)
        buffer.FrameRect({r.Left + i, r.Top + i, r.Right - i, r.Bottom - i}, 0xFF0000FF);
}

bool TCollageDocument::RelabelPlaceholders() {
    bool any = false;
    for (int i = 0; i < LayerCount(); ++i) {
        TNewRotLayer* l = ContentLayerAt(i);
        if (!l || l->ImageType != itPlaceholder) continue;
        l->PlaceholderLine1 = Lang("Double Click or");
        l->PlaceholderLine2 = Lang("Drag Photo Here.");
        any = true;
    }
    if (any) ImageScreen.Changed();
    return any;
}

void TCollageDocument::SyncHandles(TNewRotLayer& layer) {
    if (!layer.Handles) return;
    TUpdateScope<TCustomLayer> update(*layer.Handles);
    layer.Handles->SetLocation(layer.Location);
    layer.Handles->SetAngle(layer.Angle);
}
