// TNewRotLayer: state, view mapping, placement transforms and hit test. The
// caches, the shadow and drawing are in LayerCompositor.cpp.

#include "engine/NewRotLayer.h"

#include <cmath>

namespace {

// Crop coordinates produced by the aspect adaptation stay within this range,
// so that widths and mirrored edges never overflow an int.
constexpr double kCropCoordinateLimit = 1 << 30;

int SaturateInt(int64_t v) {
    return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

TNewRotLayer::TNewRotLayer(TLayerCollection* owner) : TCustomLayer(owner) {
    LayerOptions = loVisible | loMouseEvents;
    Picture.DrawMode = TDrawMode::Blend;
    Picture.Resampler = TResamplerKind::Linear;
    RenderBuffer.Resampler = TResamplerKind::Linear;
}

TNewRotLayer::~TNewRotLayer() = default;

// ---- View mapping ----

float TNewRotLayer::ViewSX() const {
    return Scaled && LayerCollection() ? LayerCollection()->ScaleX() : 1.0f;
}

float TNewRotLayer::ViewSY() const {
    return Scaled && LayerCollection() ? LayerCollection()->ScaleY() : 1.0f;
}

TFloatRect TNewRotLayer::LocationToView(const TFloatRect& r) const {
    if (!Scaled || !LayerCollection()) return r;
    const TLayerCollection& c = *LayerCollection();
    const float sx = c.ScaleX(), sy = c.ScaleY(), hx = c.ShiftX(), hy = c.ShiftY();
    return {r.Left * sx + hx, r.Top * sy + hy, r.Right * sx + hx, r.Bottom * sy + hy};
}

TFloatRect TNewRotLayer::LocationScaled(const TFloatRect& r) const {
    if (!Scaled || !LayerCollection()) return r;
    const float sx = LayerCollection()->ScaleX(), sy = LayerCollection()->ScaleY();
    return {r.Left * sx, r.Top * sy, r.Right * sx, r.Bottom * sy};
}

TRect TNewRotLayer::ViewRectRounded() const {
    return RoundRect(LocationToView(Location));
}

// ---- Placement transforms ----

const TAffineTransformation& TNewRotLayer::AdjustTransformation(const TRect& part) {
    const int w = Round(Location.Width()), h = Round(Location.Height());
    // The rotation centre is PictureCenter carried over to the rendered size.
    const int cx =
        Picture.Width() > 0 ? Round(double(w) * PictureCenter.X / Picture.Width()) : Round(w / 2.0);
    const int cy =
        Picture.Height() > 0 ? Round(double(h) * PictureCenter.Y / Picture.Height()) : Round(h / 2.0);
    TAffineTransformation& t = Transformation;
    t.Clear();
    t.Translate(part.Left, part.Top);
    t.Translate(-cx, -cy);
    t.Rotate(Angle);
    t.Translate(cx, cy);
    t.Translate(Location.Left, Location.Top);
    if (Scaled && LayerCollection()) {
        t.Scale(LayerCollection()->ScaleX(), LayerCollection()->ScaleY());
        t.Translate(LayerCollection()->ShiftX(), LayerCollection()->ShiftY());
    }
    return t;
}

TAffineTransformation TNewRotLayer::ScreenBoxTransformation(int width, int height, const TRect& part,
                                                            double scaleX, double scaleY) const {
    const int hw = Round(width / 2.0), hh = Round(height / 2.0);
    const TFloatRect v = LocationToView(Location);
    TAffineTransformation t;
    t.Translate(part.Left, part.Top);
    if (scaleX != 1 || scaleY != 1) t.Scale(scaleX, scaleY);
    t.Translate(-hw, -hh);
    t.Rotate(Angle);
    t.Translate(hw, hh);
    t.Translate(v.Left, v.Top);
    return t;
}

TAffineTransformation TNewRotLayer::ScreenTransformation() const {
    return ScreenBoxTransformation(ScreenPart.WholeWidth, ScreenPart.WholeHeight, ScreenPart.Part);
}

const TAffineTransformation& TNewRotLayer::AdjustScreenTransformation() {
    Transformation = ScreenTransformation();
    return Transformation;
}

TAffineTransformation TNewRotLayer::ScreenShadowBoxTransformation(double width, double height,
                                                                  const TRect& part, double scaleX,
                                                                  double scaleY) const {
    const TFloatRect v = LocationToView(Location);
    const float cx = (v.Left + v.Right) / 2, cy = (v.Top + v.Bottom) / 2;
    TAffineTransformation t;
    t.Translate(part.Left, part.Top);
    if (scaleX != 1 || scaleY != 1) t.Scale(scaleX, scaleY);
    t.Translate(-width / 2.0, -height / 2.0);
    t.Rotate(Angle);
    // the offsets are not rotated with the layer
    t.Translate(ShadowOffsetX * double(ViewSX()) + cx, ShadowOffsetY * double(ViewSY()) + cy);
    return t;
}

const TAffineTransformation& TNewRotLayer::AdjustScreenShadowTransformation() {
    Transformation =
        ScreenShadowBoxTransformation(ShadowPart.WholeWidth, ShadowPart.WholeHeight, ShadowPart.Part);
    return Transformation;
}

const TAffineTransformation& TNewRotLayer::AdjustShadowTransformation() {
    const int w = ShadowPicture ? ShadowPicture->Width() : 0, h = ShadowPicture ? ShadowPicture->Height() : 0;
    const float cx = (Location.Left + Location.Right) / 2, cy = (Location.Top + Location.Bottom) / 2;
    TAffineTransformation& t = Transformation;
    t.Clear();
    t.Translate(-w / 2.0, -h / 2.0);
    t.Rotate(Angle);
    t.Translate(double(ShadowOffsetX) + cx, double(ShadowOffsetY) + cy);
    if (Scaled && LayerCollection()) {
        t.Scale(LayerCollection()->ScaleX(), LayerCollection()->ScaleY());
        t.Translate(LayerCollection()->ShiftX(), LayerCollection()->ShiftY());
    }
    return t;
}

// ---- Hit test ----

bool TNewRotLayer::DoHitTest(int x, int y) {
    if (ImageType == itBorderFrame) return false;
    // The box as it shows now, whatever zoom the caches were built for.
    const TRect rounded = ViewRectRounded();
    const TFloatRect v = LocationToView(Location);
    const int boxW = Round(v.Width()), boxH = Round(v.Height());
    if (boxW <= 0 || boxH <= 0) return false;
    double bx, by;
    if (!ScreenBoxTransformation(rounded.Width(), rounded.Height()).ReverseTransform(x, y, bx, by))
        return false;
    // Rounding the mapped pixel corner picks the pixel whose centre the
    // transformed drawing sampled for (x, y).
    const int px = Round(bx), py = Round(by);
    if (px < 0 || py < 0 || px >= boxW || py >= boxH) return false;
    if (!AlphaHit) return true;
    const int sx = Round(double(ScreenPart.WholeWidth) * px / boxW) - ScreenPart.Part.Left;
    const int sy = Round(double(ScreenPart.WholeHeight) * py / boxH) - ScreenPart.Part.Top;
    if (!ScreenPicture.BoundsRect().Contains(sx, sy)) return false;
    return AlphaOf(ScreenPicture.Pixel(sx, sy)) > 0;
}

// ---- State operations ----

void TNewRotLayer::SetLocation(const TFloatRect& r) {
    Changing();
    if (ImageType == itPhoto) {
        const float ow = Location.Width(), oh = Location.Height();
        const float nw = r.Width(), nh = r.Height();
        if (ToFixed(nw) != ToFixed(ow) || ToFixed(nh) != ToFixed(oh)) {
            // Keep the crop's extent along the axis that changed more and
            // derive the other from the new aspect ratio, so the photo is
            // never distorted. A degenerate box keeps the crop as it is.
            const int64_t cropW = int64_t(ViewedRect.Right) - ViewedRect.Left;
            const int64_t cropH = int64_t(ViewedRect.Bottom) - ViewedRect.Top;
            if (nw > 0 && nh > 0) {
                if (std::fabs(nw - ow) > std::fabs(nh - oh)) {
                    const float ratio = nh / nw;
                    const double b = double(cropW) * ratio + ViewedRect.Top;
                    if (std::isfinite(b) && std::fabs(b) <= kCropCoordinateLimit)
                        ViewedRect.Bottom = Round(b);
                } else {
                    const float ratio = nw / nh;
                    const double rr = double(cropH) * ratio + ViewedRect.Left;
                    if (std::isfinite(rr) && std::fabs(rr) <= kCropCoordinateLimit)
                        ViewedRect.Right = Round(rr);
                }
            }
        }
    }
    Location = r;
    SetShadowEnabled(ShadowOn); // rebuilds the shadow and notifies
}

void TNewRotLayer::SetAngle(float angle) {
    Angle = angle;
    Changed();
}

void TNewRotLayer::SetPictureCenter(const TFloatPoint& p) {
    PictureCenter = p;
    Changed();
}

void TNewRotLayer::SetScaled(bool scaled) {
    Scaled = scaled;
    Changed();
}

void TNewRotLayer::AssignPicture(const TBitmap32* picture) {
    if (picture)
        Picture.Assign(*picture);
    else
        Picture.SetSize(0, 0);
    Changed();
}

void TNewRotLayer::SetViewedRect(const TRect& r) {
    ViewedRect = r;
    UpdateViewScale();
    ComposeScreenPicture();
    Changed();
}

void TNewRotLayer::SetFlipH(bool flip) {
    if (flip == FlipH) return;
    FlipH = flip;
    Picture.FlipHorz();
    // Mirror the crop too, so the same part of the scene stays visible.
    const int64_t w = Picture.Width();
    const TRect old = ViewedRect;
    ViewedRect.Left = SaturateInt(w - old.Right);
    ViewedRect.Right = SaturateInt(w - old.Left);
    RebuildScreenCache();
    if (ShadowOn) SetShadowEnabled(true);
    Changed();
}

void TNewRotLayer::SetFlipV(bool flip) {
    if (flip == FlipV) return;
    FlipV = flip;
    Picture.FlipVert();
    const int64_t h = Picture.Height();
    const TRect old = ViewedRect;
    ViewedRect.Top = SaturateInt(h - old.Bottom);
    ViewedRect.Bottom = SaturateInt(h - old.Top);
    RebuildScreenCache();
    if (ShadowOn) SetShadowEnabled(true);
    Changed();
}

void TNewRotLayer::AssignSubFrame(const TBitmap32* picture, const TBitmap32* mask) {
    if (!picture) return;
    if (!SubFramePicture) SubFramePicture = std::make_unique<TBitmap32>();
    SubFramePicture->Assign(*picture);
    if (mask) {
        if (!SubFrameMask) SubFrameMask = std::make_unique<TBitmap32>();
        SubFrameMask->Assign(*mask);
    } else {
        SubFrameMask.reset();
    }
    RebuildScreenSubFrame();
    ComposeScreenPicture();
    if (ShadowOn) SetShadowEnabled(true);
    Changed();
}

void TNewRotLayer::ClearSubFrame() {
    SubFramePicture.reset();
    SubFrameMask.reset();
    ScreenSubFrame.reset();
    ScreenSubFrameMask.reset();
    SubFrameName.clear();
    ComposeScreenPicture();
    if (ShadowOn) SetShadowEnabled(true);
    Changed();
}

void TNewRotLayer::AssignMask(const TBitmap32* picture) {
    if (!picture) return;
    if (!MaskPicture) MaskPicture = std::make_unique<TBitmap32>();
    MaskPicture->Assign(*picture);
    RebuildScreenMask();
    ComposeScreenPicture();
    if (ShadowOn) SetShadowEnabled(true);
    Changed();
}

void TNewRotLayer::ClearMask() {
    if (!MaskPicture) return;
    MaskPicture.reset();
    ScreenMask.reset();
    MaskName.clear();
    ComposeScreenPicture();
    if (ShadowOn) SetShadowEnabled(true);
    Changed();
}

void TNewRotLayer::SetShadowOffsetX(int32_t value) {
    if (value != ShadowOffsetX) ShadowOffsetX = value;
    Changed();
}

void TNewRotLayer::SetShadowOffsetY(int32_t value) {
    if (value != ShadowOffsetY) ShadowOffsetY = value;
    Changed();
}

void TNewRotLayer::SetShadowTransparent(int32_t value) {
    if (value != ShadowTransparent) ShadowTransparent = std::clamp(value, 0, 100);
    Changed();
}

void TNewRotLayer::SetShadowSmooth(int32_t value) {
    value = std::clamp(value, 0, kMaxShadowSmooth);
    if (value != ShadowSmooth) {
        ShadowSmooth = value;
        SetShadowEnabled(ShadowOn);
    }
    Changed();
}

void TNewRotLayer::SetShadowColor(TColor32 value) {
    if (value != ShadowColor) {
        ShadowColor = value;
        SetShadowEnabled(ShadowOn);
    }
    Changed();
}

void TNewRotLayer::SetFont(std::unique_ptr<TLayerFont> font) {
    Font = std::move(font);
    Changed();
}

void TNewRotLayer::UpdateViewScale() {
    const TRect v = ViewRectRounded();
    const int64_t cropW = int64_t(ViewedRect.Right) - ViewedRect.Left;
    const int64_t cropH = int64_t(ViewedRect.Bottom) - ViewedRect.Top;
    if (cropW != 0) ViewScaleX = float(double(int64_t(v.Right) - v.Left) / double(cropW));
    if (cropH != 0) ViewScaleY = float(double(int64_t(v.Bottom) - v.Top) / double(cropH));
}
