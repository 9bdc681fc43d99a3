// The drawing engine of TNewRotLayer: screen caches, the drop shadow and the
// three render paths (screen, zoom preview, full resolution).
//
// The order of the steps below fixes the resulting colours: every draw onto
// a transparent surface goes through the blend rule, so a semi-transparent
// pixel loses opacity at each such step.
//
// Memory stays bounded: a cache whose size is outside the surface limits of
// Bitmap32.h is left empty and simply not drawn (a layer stretched to zero
// width, an absurd zoom), and reads past a picture are padded only up to
// kPaddedReadLimit.
//
// ---- Sections ----
//   Padded read
//   Screen caches
//   Shadow
//   Rendering

#include <QGuiApplication>
#include <QPalette>

#include "engine/AlphaUtils.h"
#include "engine/Errors.h"
#include "engine/NewRotLayer.h"
#include "engine/ParallelRows.h"

namespace {

int64_t Width64(const TRect& r) {
    return int64_t(r.Right) - r.Left;
}
int64_t Height64(const TRect& r) {
    return int64_t(r.Bottom) - r.Top;
}

bool Inside(const TRect& r, const TBitmap32& s) {
    return r.Left >= 0 && r.Top >= 0 && r.Right <= s.Width() && r.Bottom <= s.Height();
}

bool Overlaps(const TRect& r, const TBitmap32& s) {
    return r.Right > 0 && r.Bottom > 0 && r.Left < s.Width() && r.Top < s.Height();
}

// Sizes cache to (w, h) -- or leaves it empty when that size is not allowed
// -- and clears it to transparent black. Clearing (rather than only zeroing
// alpha) keeps the result independent of what the reused cache held before:
// blending onto a pixel of alpha 0 still mixes in its old colour.
bool PrepareSurface(TBitmap32& cache, int64_t w, int64_t h) {
    if (!PictureSizeAllowed(w, h)) {
        cache.SetSize(0, 0);
        return false;
    }
    cache.SetSize(int(w), int(h));
    cache.Clear(0);
    return true;
}

uint8_t ClampAlpha(int64_t a) {
    return uint8_t(std::clamp<int64_t>(a, 0, 255));
}

} // namespace

// ---- Padded read ----

bool PaddedStretchDraw(TBitmap32& dest, const TRect& destRect, const TBitmap32& source, const TRect& r) {
    const int64_t rw = Width64(r), rh = Height64(r);
    if (rw <= 0 || rh <= 0 || destRect.IsEmpty() || dest.Empty()) return false;
    if (!source.Empty() && Inside(r, source)) {
        dest.StretchDraw(destRect, r, source);
        return true;
    }
    if (rw > kPaddedReadLimit || rh > kPaddedReadLimit || !PictureSizeAllowed(rw, rh)) return false;
    if (source.Empty() || !Overlaps(r, source)) {
        // The padded surface would be all transparent black, copied opaque.
        dest.FillRect(destRect.Left, destRect.Top, destRect.Right, destRect.Bottom, 0);
        return true;
    }
    TBitmap32 padded{int(rw), int(rh)}; // opaque, nearest
    padded.Draw(-r.Left, -r.Top, source);
    dest.StretchDraw(destRect, padded);
    return true;
}

namespace {
// Largest rectangle of set cells in a w × h grid (row-major), found row by
// row as the largest rectangle under the histogram of set runs ending there.
TRect LargestSetRect(const std::vector<uint8_t>& cells, int w, int h) {
    std::vector<int> heights(size_t(w), 0);
    struct TBar {
        int Start, Height;
    };
    std::vector<TBar> stack;
    int64_t best = 0;
    TRect result;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = cells.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) heights[size_t(x)] = row[x] ? heights[size_t(x)] + 1 : 0;
        stack.clear();
        for (int x = 0; x <= w; ++x) {
            const int height = x < w ? heights[size_t(x)] : 0;
            int start = x;
            while (!stack.empty() && stack.back().Height >= height) {
                const TBar bar = stack.back();
                stack.pop_back();
                const int64_t area = int64_t(bar.Height) * (x - bar.Start);
                if (area > best) {
                    best = area;
                    result = {bar.Start, y - bar.Height + 1, x, y + 1};
                }
                start = bar.Start;
            }
            if (height > 0) stack.push_back({start, height});
        }
    }
    return result;
}

bool AllOpaque(const TBitmap32& b) {
    // in chunks, so that a masked picture (transparent at its first corner)
    // is told apart at once
    const TColor32* p = b.Bits();
    const size_t n = b.PixelCount();
    for (size_t start = 0; start < n; start += 4096) {
        uint32_t all = 0xFF000000u;
        for (size_t i = start, end = std::min(n, start + 4096); i < end; ++i) all &= p[i];
        if (all != 0xFF000000u) return false;
    }
    return true;
}
} // namespace

TRect LargestOpaqueRect(const TBitmap32& bitmap, int block) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0) return {};
    if (AllOpaque(bitmap)) return bitmap.BoundsRect();
    block = std::max(block, 1);
    // cells of block × block pixels, set when every pixel in them is opaque
    const int gw = w / block, gh = h / block;
    if (gw == 0 || gh == 0) return {};
    std::vector<uint8_t> cells(size_t(gw) * size_t(gh), 1);
    // bands of whole cell rows, so no two threads touch one cell
    ForRowBands(0, gh, int64_t(gw) * block * gh * block, [&](int firstCellRow, int endCellRow) {
        for (int y = firstCellRow * block; y < endCellRow * block; ++y) {
            const TColor32* row = bitmap.ScanLine(y);
            uint8_t* cellRow = cells.data() + size_t(y / block) * size_t(gw);
            for (int gx = 0; gx < gw; ++gx) {
                uint32_t all = 0xFF000000u;
                for (int k = 0; k < block; ++k) all &= row[gx * block + k];
                if (all != 0xFF000000u) cellRow[gx] = 0;
            }
        }
    });
    const TRect r = LargestSetRect(cells, gw, gh);
    return {r.Left * block, r.Top * block, r.Right * block, r.Bottom * block};
}

// ---- Screen caches ----

void TNewRotLayer::RebuildScreenCache() {
    UpdateViewScale();
    RebuildScreenSource();
    RebuildScreenSubFrame();
    RebuildScreenMask();
    ComposeScreenPicture();
    Changed();
}

void TNewRotLayer::RebuildScreenSource() {
    UpdateViewScale();
    const TRect clip = Picture.ClipRect();
    const int64_t w = Round64(double(clip.Width()) * ViewScaleX);
    const int64_t h = Round64(double(clip.Height()) * ViewScaleY);
    if (!Picture.Empty() && PrepareSurface(ScreenSource, w, h)) {
        ScreenSource.DrawMode = Picture.DrawMode;
        ScreenSource.StretchDraw(ScreenSource.BoundsRect(), Picture.BoundsRect(), Picture);
    } else {
        ScreenSource.SetSize(0, 0);
    }
    if (ShadowOn) RebuildScreenShadow();
}

namespace {
// A cache of the rounded view size holding source stretched with its own
// draw mode and resampler; drawMode is the cache's own draw mode (Picture's).
void BuildViewSized(TBitmap32& cache, const TBitmap32& source, const TRect& view, TDrawMode drawMode) {
    if (!PrepareSurface(cache, Width64(view), Height64(view))) return;
    cache.DrawMode = drawMode;
    cache.StretchDraw(cache.BoundsRect(), source.ClipRect(), source);
    cache.Resampler = TResamplerKind::Linear;
}
} // namespace

void TNewRotLayer::RebuildScreenSubFrame() {
    if (!SubFramePicture) return;
    const TRect v = ViewRectRounded();
    if (!ScreenSubFrame) ScreenSubFrame = std::make_unique<TBitmap32>();
    BuildViewSized(*ScreenSubFrame, *SubFramePicture, v, Picture.DrawMode);
    if (SubFrameMask) {
        if (!ScreenSubFrameMask) ScreenSubFrameMask = std::make_unique<TBitmap32>();
        BuildViewSized(*ScreenSubFrameMask, *SubFrameMask, v, Picture.DrawMode);
    } else {
        ScreenSubFrameMask.reset();
    }
}

void TNewRotLayer::RebuildScreenMask() {
    if (!MaskPicture) return;
    if (!ScreenMask) ScreenMask = std::make_unique<TBitmap32>();
    BuildViewSized(*ScreenMask, *MaskPicture, ViewRectRounded(), Picture.DrawMode);
}

void TNewRotLayer::ComposeScreenPicture() {
    const TRect v = ViewRectRounded();
    if (PrepareSurface(ScreenPicture, Width64(v), Height64(v))) {
        ScreenPicture.DrawMode = ScreenSource.DrawMode;
        // The crop carried over to ScreenSource's scale.
        const TRect r{Round(ViewedRect.Left * double(ViewScaleX)), Round(ViewedRect.Top * double(ViewScaleY)),
                      Round(double(ViewScaleX) * ViewedRect.Right),
                      Round(double(ViewScaleY) * ViewedRect.Bottom)};
        PaddedStretchDraw(ScreenPicture, ScreenPicture.BoundsRect(), ScreenSource, r);
        if (ScreenSubFrame) {
            ScreenPicture.StretchDraw(ScreenPicture.BoundsRect(), *ScreenSubFrame);
            if (ScreenSubFrameMask) ApplyMaskAlpha(ScreenPicture, *ScreenSubFrameMask);
        }
        if (ScreenMask) ApplyMaskAlpha(ScreenPicture, *ScreenMask);
    }
    ScreenPicture.Resampler = TResamplerKind::Linear;
    // A see-through picture drawn onto the transparent cache leaves no pixel
    // fully opaque (only a sub-frame drawn over it can): no need to look.
    ScreenOpaqueRect =
        Picture.MasterAlpha == 255 || ScreenSubFrame ? LargestOpaqueRect(ScreenPicture) : TRect{};
}

void TNewRotLayer::RebuildScreenShadow() {
    if (!ShadowOn) return;
    if (!ShadowPicture || ShadowPicture->Empty()) {
        ScreenShadow.SetSize(0, 0);
        return;
    }
    const int64_t w = Round64(ShadowPicture->Width() * double(ViewSX()));
    const int64_t h = Round64(ShadowPicture->Height() * double(ViewSY()));
    if (!PrepareSurface(ScreenShadow, w, h)) return;
    ScreenShadow.DrawMode = ShadowPicture->DrawMode;
    ScreenShadow.MasterAlpha = 255;
    ShadowPicture->MasterAlpha = 255;
    ScreenShadow.Resampler = TResamplerKind::Linear;
    ScreenShadow.StretchDraw(ScreenShadow.BoundsRect(), *ShadowPicture);
}

// ---- Shadow ----

void TNewRotLayer::SetShadowEnabled(bool on) {
    ShadowOn = on;
    // Turning the shadow off keeps ShadowPicture; it is simply not drawn.
    if (on) BuildShadow();
    Changed();
}

void TNewRotLayer::BuildShadow() {
    const int64_t s = std::clamp(ShadowSmooth, 0, kMaxShadowSmooth);
    // room for the blur spreading the silhouette by 1 + 2 + ... + s pixels
    const int64_t margin = s * (s + 1) + 20;
    const int64_t w = std::max<int64_t>(Round64(Location.Width()), 0);
    const int64_t h = std::max<int64_t>(Round64(Location.Height()), 0);
    if (!ShadowPicture) {
        ShadowPicture = std::make_unique<TBitmap32>();
        ShadowPicture->Resampler = TResamplerKind::Linear;
    }
    TBitmap32& sp = *ShadowPicture;
    sp.DrawMode = TDrawMode::Blend;
    sp.MasterAlpha = 255;
    // A shadow picture beyond the size limits stays empty; drawing the layer
    // at full resolution then fails rather than leave the shadow out unsaid.
    if (!PrepareSurface(sp, w + margin, h + margin) || !PictureSizeAllowed(w, h)) {
        sp.SetSize(0, 0);
        RebuildScreenShadow();
        return;
    }

    // Silhouette: the shadow colour with the alpha of the shown layer.
    TBitmap32 silhouette{int(w), int(h)};
    silhouette.DrawMode = TDrawMode::Blend;
    silhouette.Clear(ShadowColor);
    {
        TBitmap32 shown{int(w), int(h)};
        const TRect& crop = ViewedRect;
        const bool past =
            crop.Left < 0 || crop.Top < 0 || crop.Right >= Picture.Width() || crop.Bottom >= Picture.Height();
        if (Picture.Empty() || crop.IsEmpty()) {
            // nothing of the picture shows
        } else if (!past) {
            shown.StretchDraw(shown.BoundsRect(), crop, Picture);
        } else if (PictureSizeAllowed(Width64(crop), Height64(crop))) {
            // A crop reaching past the picture: transparent where it does.
            TBitmap32 padded{int(Width64(crop)), int(Height64(crop))};
            padded.DrawMode = TDrawMode::Blend;
            if (Overlaps(crop, Picture)) padded.Draw(-crop.Left, -crop.Top, Picture);
            padded.DrawMode = Picture.DrawMode;
            padded.Resampler = Picture.Resampler;
            shown.StretchDraw(shown.BoundsRect(), padded);
        }
        CopyAlpha(silhouette, 0, 0, shown.BoundsRect(), shown);
    }
    if (SubFramePicture) {
        TBitmap32 frame{int(w), int(h)};
        frame.StretchDraw(frame.BoundsRect(), SubFramePicture->ClipRect(), *SubFramePicture);
        AddAlpha(silhouette, frame);
        if (SubFrameMask) {
            TBitmap32 cut{int(w), int(h)};
            cut.StretchDraw(cut.BoundsRect(), SubFrameMask->ClipRect(), *SubFrameMask);
            ApplyMaskAlpha(silhouette, cut);
        }
    }
    if (MaskPicture) {
        TBitmap32 mask{int(w), int(h)};
        mask.StretchDraw(mask.BoundsRect(), MaskPicture->ClipRect(), *MaskPicture);
        ApplyMaskAlpha(silhouette, mask);
    }
    sp.Draw(int((sp.Width() - w) / 2), int((sp.Height() - h) / 2), silhouette);
    SmoothAlpha(sp, int(s));
    Colorize(sp, ShadowColor);
    RebuildScreenShadow();
}

// ---- Rendering ----

namespace {
uint8_t ShadowAlpha(int32_t transparent, uint32_t composite) {
    return ClampAlpha(Round64(transparent / 100.0 * composite));
}
} // namespace

void TNewRotLayer::Paint(TBitmap32& buffer) {
    if (Picture.Empty()) return;
    // Layers never paint over the grey area around the canvas.
    if (LayerCollection() && LayerCollection()->BitmapRect) {
        const TRect& canvas = *LayerCollection()->BitmapRect;
        if (buffer.ClipRect() != canvas) buffer.SetClipRect(canvas);
    }
    Render(buffer, TRenderTarget::Screen);
    buffer.ResetClipRect();
}

void TNewRotLayer::RenderFullResolution(TBitmap32& target) {
    if (Picture.Empty()) return;
    // Canvas coordinates: no view mapping while drawing, restored on every
    // way out; hit tests keep using the screen transform afterwards.
    struct TRestore {
        TNewRotLayer& L;
        bool Scaled;
        ~TRestore() {
            L.Scaled = Scaled;
            L.AdjustScreenTransformation(L.ScreenPicture);
        }
    } restore{*this, Scaled};
    Scaled = false;
    Render(target, TRenderTarget::FullResolution);
}

void TNewRotLayer::Render(TBitmap32& buffer, TRenderTarget target) {
    if (target == TRenderTarget::FullResolution)
        RenderCanvas(buffer);
    else if (ZoomPreview)
        RenderZoomPreview(buffer);
    else
        RenderScreen(buffer);
    DrawPlaceholderText(buffer);
}

bool TNewRotLayer::ScreenCover(TTransformCover& cover) const {
    if (!Visible() || Picture.Empty() || ZoomPreview || CompositeAlpha < 255) return false;
    if (ScreenPicture.Empty() || ScreenPicture.Resampler != TResamplerKind::Linear) return false;
    if (ScreenOpaqueRect.Width() < 2 || ScreenOpaqueRect.Height() < 2) return false;
    cover.Transform = ScreenTransformation(ScreenPicture);
    cover.Opaque = ScreenOpaqueRect;
    return true;
}

void TNewRotLayer::RenderScreen(TBitmap32& buffer) {
    ScreenPicture.MasterAlpha = ClampAlpha(CompositeAlpha);
    // Pixels that opaque layers above replace outright need not be drawn,
    // when the canvas paints all layers in one pass; the layer's own opaque
    // core covers most of its shadow.
    std::vector<TTransformCover> covers;
    TTransformCover own;
    const bool ownCover = ScreenCover(own);
    if (ShadowOn && ownCover) covers.push_back(own);
    const TLayerCollection* layers = LayerCollection();
    if (layers && layers->PaintingAllLayers) {
        for (int i = Index() + 1; i < layers->Count(); ++i) {
            const auto* above = dynamic_cast<const TNewRotLayer*>(layers->Items(i));
            TTransformCover c;
            if (above && above->ScreenCover(c)) covers.push_back(c);
        }
    }
    if (ShadowOn) {
        ScreenShadow.MasterAlpha = ShadowAlpha(ShadowTransparent, CompositeAlpha);
        const TAffineTransformation shadow = AdjustScreenShadowTransformation(ScreenShadow);
        TransformDrawUnder(buffer, ScreenShadow, shadow, covers.data(), int(covers.size()));
    }
    AdjustScreenTransformation(ScreenPicture);
    const size_t skip = ShadowOn && ownCover ? 1 : 0; // not under itself
    TransformDrawUnder(buffer, ScreenPicture, Transformation, covers.data() + skip,
                       int(covers.size() - skip));
}

void TNewRotLayer::RenderZoomPreview(TBitmap32& buffer) {
    // The caches are at the old zoom: stretch them to the new one on the fly.
    const TRect r = RoundRect(LocationScaled(Location));
    if (ShadowOn && ShadowPicture && !ScreenShadow.Empty()) {
        const int64_t w = Round64(ShadowPicture->Width() * double(ViewSX()));
        const int64_t h = Round64(ShadowPicture->Height() * double(ViewSY()));
        TBitmap32 shadow;
        if (PrepareSurface(shadow, w, h)) {
            shadow.DrawMode = ScreenShadow.DrawMode;
            ScreenShadow.MasterAlpha = 255;
            shadow.StretchDraw(shadow.BoundsRect(), ScreenShadow);
            shadow.MasterAlpha = ShadowAlpha(ShadowTransparent, CompositeAlpha);
            AdjustScreenShadowTransformation(shadow);
            TransformDraw(buffer, shadow, Transformation);
        }
    }
    if (PrepareSurface(RenderBuffer, Width64(r), Height64(r))) {
        RenderBuffer.DrawMode = Picture.DrawMode;
        RenderBuffer.MasterAlpha = 255;
        ScreenPicture.MasterAlpha = 255;
        RenderBuffer.StretchDraw(RenderBuffer.BoundsRect(), ScreenPicture);
        RenderBuffer.MasterAlpha = ClampAlpha(CompositeAlpha);
    }
    AdjustScreenTransformation(RenderBuffer);
    TransformDraw(buffer, RenderBuffer, Transformation);
}

void TNewRotLayer::RenderCanvas(TBitmap32& target) {
    const int64_t w = Round64(Location.Width()), h = Round64(Location.Height());
    // The layer is composed first (that touches only RenderBuffer), so that
    // the shadow can leave out what the layer then replaces outright.
    const bool composed = PrepareSurface(RenderBuffer, w, h);
    if (composed) {
        RenderBuffer.DrawMode = TDrawMode::Blend;
        RenderBuffer.MasterAlpha = 255;
        const TRect whole = RenderBuffer.BoundsRect();
        PaddedStretchDraw(RenderBuffer, whole, Picture, ViewedRect);
        if (SubFramePicture) {
            // drawn with the photo's draw mode and resampler
            TBitmap32& frame = *SubFramePicture;
            const TDrawMode mode = frame.DrawMode;
            const TResamplerKind resampler = frame.Resampler;
            frame.DrawMode = Picture.DrawMode;
            frame.Resampler = Picture.Resampler;
            RenderBuffer.StretchDraw(whole, frame);
            frame.DrawMode = mode;
            frame.Resampler = resampler;
            if (SubFrameMask) {
                TBitmap32 cut{int(w), int(h)};
                cut.StretchDraw(cut.BoundsRect(), *SubFrameMask);
                ApplyMaskAlpha(RenderBuffer, cut);
            }
        }
        if (MaskPicture) {
            TBitmap32 mask{int(w), int(h)};
            mask.StretchDraw(mask.BoundsRect(), *MaskPicture);
            ApplyMaskAlpha(RenderBuffer, mask);
        }
        RenderBuffer.MasterAlpha = ClampAlpha(CompositeAlpha);
    }
    if (ShadowOn && composed && ShadowPicture && ShadowPicture->Empty())
        throw EUserError("The shadow of a layer is too large to be drawn.");
    if (ShadowOn && ShadowPicture && !ShadowPicture->Empty()) {
        TTransformCover cover;
        int covers = 0;
        if (composed && RenderBuffer.MasterAlpha == 255 && RenderBuffer.Resampler == TResamplerKind::Linear) {
            cover.Opaque = LargestOpaqueRect(RenderBuffer, 8); // a coarse grid suffices

            cover.Transform = AdjustTransformation();
            covers = 1;
        }
        ShadowPicture->MasterAlpha = ShadowAlpha(ShadowTransparent, CompositeAlpha);
        AdjustShadowTransformation();
        TransformDrawUnder(target, *ShadowPicture, Transformation, &cover, covers);
    }
    if (!composed) return;
    AdjustTransformation();
    TransformDraw(target, RenderBuffer, Transformation);
}

void TNewRotLayer::DrawPlaceholderText(TBitmap32& buffer) {
    if (ImageType != itPlaceholder || PlaceholderLine1.empty()) return;
    const TFloatRect v = LocationToDevice(Location);
    const QFont oldFont = buffer.Font;
    const TColor32 oldColor = buffer.FontColor;
    QFont font; // the application's default face
    // 9 points, in the device pixels the page is painted in
    const float d = Scaled && LayerCollection() ? LayerCollection()->DeviceRatio() : 1.0f;
    if (d == 1.0f)
        font.setPointSize(9);
    else
        font.setPointSizeF(9.0 * d);
    buffer.Font = font;
    buffer.FontColor = qGuiApp ? QGuiApplication::palette().color(QPalette::WindowText).rgba() : 0xFF000000;
    const int h1 = buffer.TextHeight(PlaceholderLine1), w1 = buffer.TextWidth(PlaceholderLine1);
    const bool second = !PlaceholderLine2.empty();
    const int h2 = second ? buffer.TextHeight(PlaceholderLine2) : 0;
    const int w2 = second ? buffer.TextWidth(PlaceholderLine2) : 0;
    // two lines, each centred horizontally, 3 pixels apart, the pair centred
    // vertically on the box; never rotated
    buffer.TextOut(Round((v.Left + v.Right - w1) / 2.0), Round((v.Top + v.Bottom - h1 - h2 - 3) / 2.0),
                   PlaceholderLine1);
    if (second)
        buffer.TextOut(Round((v.Left + v.Right - w2) / 2.0), Round((v.Top + v.Bottom + h1 - h2 + 3) / 2.0),
                       PlaceholderLine2);
    buffer.Font = oldFont;
    buffer.FontColor = oldColor;
}
