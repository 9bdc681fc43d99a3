#include "editing/CropView.h"

#include "engine/PictureUtils.h"

TCropVeilLayer::TCropVeilLayer(TLayerCollection* owner) : TCustomLayer(owner) {
    LayerOptions = loVisible;
    Veil.DrawMode = TDrawMode::Blend;
    Veil.Resampler = TResamplerKind::Nearest;
}

void TCropVeilLayer::Paint(TBitmap32& buffer) {
    if (Veil.Empty() || !LayerCollection() || !LayerCollection()->BitmapRect) return;
    buffer.StretchDraw(*LayerCollection()->BitmapRect, Veil);
}

TCropView::TCropView() {
    // the picture is shown smoothly; the veil keeps crisp edges
    VeilLayer = Screen.Layers.Add<TCropVeilLayer>();
    Band = Screen.Layers.Add<TRubberbandLayer>();
    Band->OnResizing = [this](TRubberbandLayer*) { UpdateVeil(); };
}

int TCropView::FitZoom(int pw, int ph, int viewW, int viewH) {
    int w = viewW - 20, h = viewH - 20;
    if (pw <= 0 || ph <= 0 || w <= 0 || h <= 0) return 100;
    FitInside(pw, ph, w, h);
    if (w <= 0 || h <= 0) return kMinZoom;
    const int zoom = double(ph) / h >= double(pw) / w ? Round(h * 100.0 / ph) : Round(w * 100.0 / pw);
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

void TCropView::Open(const TBitmap32& picture, const TRect& viewed, int viewWidth, int viewHeight) {
    TUpdateScope<TImage32> update(Screen);
    Screen.Bitmap.Assign(picture);
    // transparent parts of a clipart show the grey around, at full opacity
    Screen.Bitmap.DrawMode = TDrawMode::Blend;
    Screen.Bitmap.Resampler = TResamplerKind::Linear;
    Screen.Bitmap.MasterAlpha = 255;
    Screen.BitmapResized();
    TBitmap32& veil = VeilLayer->Veil;
    veil.SetSize(picture.Width(), picture.Height());
    veil.Clear(Color32(0, 0, 0, kVeilAlpha));
    FClear = {};
    FViewW = viewWidth;
    FViewH = viewHeight;
    FResetZoom = FitZoom(picture.Width(), picture.Height(), viewWidth, viewHeight);
    SetZoom(FResetZoom);
    Band->SetLocation(FloatRect(viewed));
    UpdateVeil();
}

void TCropView::SetZoom(int position) {
    FZoom = std::clamp(position, kMinZoom, kMaxZoom);
    const double scale = FZoom / 100.0;
    Screen.SetScale(float(scale));
    Screen.SetSize(std::max(FViewW, Round(Screen.Bitmap.Width() * scale)),
                   std::max(FViewH, Round(Screen.Bitmap.Height() * scale)));
}

void TCropView::SetViewSize(int width, int height) {
    FViewW = width;
    FViewH = height;
    SetZoom(FZoom);
}

TRect TCropView::CutRect() const {
    return RoundRect(Band->Location());
}

namespace {
// Writes colour over the columns [from, to) of a veil row.
void FillSpan(TColor32* row, int from, int to, TColor32 colour) {
    for (int x = from; x < to; ++x) row[x] = colour;
}

// The part of the span [a0, a1) that is not in [b0, b1), as up to two spans.
template <class F> void SpansOutside(int a0, int a1, int b0, int b1, F fill) {
    if (a1 <= a0) return;
    if (b1 <= b0 || b1 <= a0 || a1 <= b0) {
        fill(a0, a1);
        return;
    }
    if (a0 < b0) fill(a0, b0);
    if (b1 < a1) fill(b1, a1);
}
} // namespace

void TCropView::UpdateVeil() {
    TBitmap32& veil = VeilLayer->Veil;
    TRect next = Intersect(CutRect(), veil.BoundsRect());
    if (next.IsEmpty()) next = {};
    const TRect old = FClear;
    if (next == old) return;
    const TColor32 dark = Color32(0, 0, 0, kVeilAlpha), clear = 0;
    // only the rows either rectangle covers, and in them only the columns
    // whose state changes
    const int top = std::min(old.IsEmpty() ? next.Top : old.Top, next.IsEmpty() ? old.Top : next.Top);
    const int bottom =
        std::max(old.IsEmpty() ? next.Bottom : old.Bottom, next.IsEmpty() ? old.Bottom : next.Bottom);
    for (int y = top; y < bottom; ++y) {
        TColor32* row = veil.ScanLine(y);
        const bool inOld = !old.IsEmpty() && y >= old.Top && y < old.Bottom;
        const bool inNext = !next.IsEmpty() && y >= next.Top && y < next.Bottom;
        const int o0 = inOld ? old.Left : 0, o1 = inOld ? old.Right : 0;
        const int n0 = inNext ? next.Left : 0, n1 = inNext ? next.Right : 0;
        SpansOutside(o0, o1, n0, n1, [&](int a, int b) { FillSpan(row, a, b, dark); });
        SpansOutside(n0, n1, o0, o1, [&](int a, int b) { FillSpan(row, a, b, clear); });
    }
    FClear = next;
    VeilLayer->Changed();
}
