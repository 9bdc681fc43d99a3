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
#include <cmath>
#include <optional>
#include <string>

#include "engine/AlphaUtils.h"
#include "engine/NewRotLayer.h"
#include "engine/ParallelRows.h"
#include "engine/PixelOps.h"

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

// The opaque block × block cells of a surface, gathered row by row (so that
// a row can be looked at while it is still in the cache, from any thread, as
// long as each row is added once) and found when every row is in.
class TOpaqueCells {
public:
    TOpaqueCells(int width, int height, int block)
        : FW(width), FH(height), FBlock(std::max(block, 1)), FGW(width / FBlock),
          FRowCells(size_t(FGW) * size_t(height)), FRowOpaque(size_t(height)) {}

    void AddRow(int y, const TColor32* row) {
        uint8_t* cells = FRowCells.data() + size_t(y) * size_t(FGW);
        uint32_t whole = 0xFF000000u;
        for (int gx = 0; gx < FGW; ++gx) {
            uint32_t all = 0xFF000000u;
            for (int k = 0; k < FBlock; ++k) all &= row[gx * FBlock + k];
            cells[gx] = all == 0xFF000000u;
            whole &= all;
        }
        for (int x = FGW * FBlock; x < FW; ++x) whole &= row[x];
        FRowOpaque[size_t(y)] = whole == 0xFF000000u;
    }

    // The largest rectangle of whole opaque cells; the whole surface when
    // every pixel is opaque.
    TRect Result() const {
        if (FW == 0 || FH == 0) return {};
        if (std::all_of(FRowOpaque.begin(), FRowOpaque.end(), [](uint8_t o) { return o != 0; }))
            return {0, 0, FW, FH};
        const int gh = FH / FBlock;
        if (FGW == 0 || gh == 0) return {};
        std::vector<uint8_t> cells(size_t(FGW) * size_t(gh), 1);
        for (int y = 0; y < gh * FBlock; ++y) {
            const uint8_t* row = FRowCells.data() + size_t(y) * size_t(FGW);
            uint8_t* cell = cells.data() + size_t(y / FBlock) * size_t(FGW);
            for (int gx = 0; gx < FGW; ++gx) cell[gx] &= row[gx];
        }
        const TRect r = LargestSetRect(cells, FGW, gh);
        return {r.Left * FBlock, r.Top * FBlock, r.Right * FBlock, r.Bottom * FBlock};
    }

private:
    int FW, FH, FBlock, FGW;
    std::vector<uint8_t> FRowCells; // per row: is each cell's part of the row opaque
    std::vector<uint8_t> FRowOpaque;
};
} // namespace

TRect LargestOpaqueRect(const TBitmap32& bitmap, int block) {
    TOpaqueCells cells(bitmap.Width(), bitmap.Height(), block);
    ForRowBands(0, bitmap.Height(), int64_t(bitmap.Width()) * bitmap.Height(), [&](int first, int end) {
        for (int y = first; y < end; ++y) cells.AddRow(y, bitmap.ScanLine(y));
    });
    return cells.Result();
}

// ---- Cache parts ----

namespace {

int64_t gBudgetOverride = 0;
constexpr int64_t kMinScreenCacheBudget = int64_t(1) << 20;
// Boxes larger than this on screen are not drawn at all (a layer stretched
// beyond any use, an absurd zoom).
constexpr int64_t kMaxWholeSide = int64_t(1) << 30;

bool FitsBudget(int64_t w, int64_t h, int64_t budget) {
    return PictureSizeAllowed(w, h) && w * h <= budget;
}

TCachePart WholePart(int64_t w, int64_t h) {
    TCachePart p;
    if (w <= 0 || h <= 0 || w > kMaxWholeSide || h > kMaxWholeSide) return p;
    p.WholeWidth = int(w);
    p.WholeHeight = int(h);
    p.Part = {0, 0, p.WholeWidth, p.WholeHeight};
    return p;
}

// The part of a whole picture of (w, h) pixels, drawn through t, that lands
// in the rectangle `in` of the destination, widened by margin. Two pixels of
// slack keep every sample the drawing takes for a destination pixel inside
// the part, so drawing the part gives exactly the pixels of the whole.
TRect PartShownIn(int w, int h, const TAffineTransformation& t, const TRect& in, int margin) {
    TAffineTransformation back;
    if (in.IsEmpty() || w <= 0 || h <= 0 || !t.Inverse(back)) return {};
    const TFloatRect b = back.TransformedBounds(FloatRect(in));
    const int64_t slack = 2 + int64_t(margin);
    TRect r{int(std::clamp<int64_t>(int64_t(std::floor(b.Left)) - slack, 0, w)),
            int(std::clamp<int64_t>(int64_t(std::floor(b.Top)) - slack, 0, h)),
            int(std::clamp<int64_t>(int64_t(std::ceil(b.Right)) + slack, 0, w)),
            int(std::clamp<int64_t>(int64_t(std::ceil(b.Bottom)) + slack, 0, h))};
    return r.IsEmpty() ? TRect{} : r;
}

bool Holds(const TRect& held, const TRect& wanted) {
    return wanted.IsEmpty() || (wanted.Left >= held.Left && wanted.Top >= held.Top &&
                                wanted.Right <= held.Right && wanted.Bottom <= held.Bottom);
}

// The whole picture's rectangle in the pixels of a cache holding part of it.
TRect WholeIn(const TCachePart& p) {
    return {-p.Part.Left, -p.Part.Top, p.WholeWidth - p.Part.Left, p.WholeHeight - p.Part.Top};
}

// Scrolling by less than this does not rebuild a cache holding a part.
int PartMargin(const TRect& viewport) {
    return std::max(32, std::max(viewport.Width(), viewport.Height()) / 8);
}

// Crops whose coordinates are this far out draw nothing (their arithmetic
// would leave the int range).
bool CropDrawable(const TRect& crop) {
    constexpr int64_t limit = int64_t(1) << 28;
    auto ok = [](int v) { return std::abs(int64_t(v)) <= limit; };
    return ok(crop.Left) && ok(crop.Top) && ok(crop.Right) && ok(crop.Bottom) && !crop.IsEmpty();
}

} // namespace

int64_t ScreenCacheBudget(int64_t viewportPixels) {
    if (gBudgetOverride > 0) return gBudgetOverride;
    return std::max(kMinScreenCacheBudget, viewportPixels);
}

void SetScreenCacheBudgetOverride(int64_t pixels) {
    gBudgetOverride = std::max<int64_t>(pixels, 0);
}

TCachePart TNewRotLayer::WantedScreenPart() const {
    const TRect v = ViewRectRounded();
    TCachePart p = WholePart(Width64(v), Height64(v));
    const TLayerCollection* c = LayerCollection();
    if (p.Part.IsEmpty() || !c || !c->ViewportRect) return p;
    const TRect& viewport = *c->ViewportRect;
    const int64_t budget = ScreenCacheBudget(int64_t(viewport.Width()) * viewport.Height());
    // ScreenSource holds the whole picture at the view scale
    const int64_t sw = Round64(Picture.Width() * double(ViewScaleX)),
                  sh = Round64(Picture.Height() * double(ViewScaleY));
    if (FitsBudget(p.WholeWidth, p.WholeHeight, budget) && (Picture.Empty() || FitsBudget(sw, sh, budget)))
        return p;
    p.FollowsView = true;
    p.Part = PartShownIn(p.WholeWidth, p.WholeHeight, ScreenBoxTransformation(p.WholeWidth, p.WholeHeight),
                         viewport, PartMargin(viewport));
    return p;
}

TCachePart TNewRotLayer::WantedShadowPart() const {
    if (!ShadowPicture || ShadowPicture->Empty()) return {};
    TCachePart p = WholePart(Round64(ShadowPicture->Width() * double(ViewSX())),
                             Round64(ShadowPicture->Height() * double(ViewSY())));
    const TLayerCollection* c = LayerCollection();
    if (p.Part.IsEmpty() || !c || !c->ViewportRect) return p;
    const TRect& viewport = *c->ViewportRect;
    if (FitsBudget(p.WholeWidth, p.WholeHeight,
                   ScreenCacheBudget(int64_t(viewport.Width()) * viewport.Height())))
        return p;
    p.FollowsView = true;
    p.Part =
        PartShownIn(p.WholeWidth, p.WholeHeight, ScreenShadowBoxTransformation(p.WholeWidth, p.WholeHeight),
                    viewport, PartMargin(viewport));
    return p;
}

bool TNewRotLayer::HoldsWhatShows(const TCachePart& held, const TCachePart& wanted,
                                  const TAffineTransformation& shown) const {
    if (!held.FollowsView) return true; // a whole cache is rebuilt by the commands that change it
    if (held.WholeWidth != wanted.WholeWidth || held.WholeHeight != wanted.WholeHeight) return false;
    const TLayerCollection* c = LayerCollection();
    if (!c || !c->ViewportRect) return true;
    return Holds(held.Part, PartShownIn(held.WholeWidth, held.WholeHeight, shown, *c->ViewportRect, 0));
}

namespace {
// A part held for a larger view than the one now is given back.
bool Oversized(const TCachePart& held, const TCachePart& wanted) {
    const auto area = [](const TRect& r) { return int64_t(r.Width()) * r.Height(); };
    return area(held.Part) > 2 * area(wanted.Part);
}
} // namespace

void TNewRotLayer::FollowViewport() {
    if (ScreenPart.FollowsView) {
        UpdateViewScale();
        const TCachePart wanted = WantedScreenPart();
        if (!HoldsWhatShows(ScreenPart, wanted,
                            ScreenBoxTransformation(wanted.WholeWidth, wanted.WholeHeight)) ||
            Oversized(ScreenPart, wanted))
            BuildScreenCaches(); // the shadow too
    }
    if (ShadowOn && ShadowPart.FollowsView) {
        const TCachePart wanted = WantedShadowPart();
        if (!HoldsWhatShows(ShadowPart, wanted,
                            ScreenShadowBoxTransformation(wanted.WholeWidth, wanted.WholeHeight)) ||
            Oversized(ShadowPart, wanted))
            RebuildScreenShadow();
    }
}

// ---- Screen caches ----

void TNewRotLayer::RebuildScreenCache() {
    BuildScreenCaches();
    Changed();
}

void TNewRotLayer::BuildScreenCaches() {
    UpdateViewScale();
    ScreenPart = WantedScreenPart();
    RebuildScreenSource();
    RebuildScreenSubFrame();
    RebuildScreenMask();
    ComposeScreenPicture();
}

TCachePart TNewRotLayer::BoxPart() const {
    if (ScreenPart.FollowsView) return ScreenPart;
    // a whole cache follows the box's current size
    const TRect v = ViewRectRounded();
    return WholePart(Width64(v), Height64(v));
}

void TNewRotLayer::RebuildScreenSource() {
    UpdateViewScale();
    const TRect clip = Picture.ClipRect();
    const int64_t w = Round64(double(clip.Width()) * ViewScaleX);
    const int64_t h = Round64(double(clip.Height()) * ViewScaleY);
    // A cache holding a part of the box is composed from Picture directly.
    if (!Picture.Empty() && !ScreenPart.FollowsView && PrepareSurface(ScreenSource, w, h)) {
        ScreenSource.DrawMode = Picture.DrawMode;
        ScreenSource.StretchDraw(ScreenSource.BoundsRect(), Picture.BoundsRect(), Picture);
    } else {
        ScreenSource.SetSize(0, 0);
    }
    if (ShadowOn) RebuildScreenShadow();
}

namespace {
// A cache of (part of) the box holding source stretched over the whole box
// with its own draw mode and resampler; drawMode is the cache's own draw
// mode (Picture's).
void BuildViewSized(TBitmap32& cache, const TBitmap32& source, const TCachePart& part, TDrawMode drawMode) {
    if (!PrepareSurface(cache, part.Part.Width(), part.Part.Height())) return;
    cache.DrawMode = drawMode;
    cache.StretchDraw(WholeIn(part), source.ClipRect(), source);
    cache.Resampler = TResamplerKind::Linear;
}
} // namespace

void TNewRotLayer::RebuildScreenSubFrame() {
    if (!SubFramePicture) return;
    const TCachePart part = BoxPart();
    if (!ScreenSubFrame) ScreenSubFrame = std::make_unique<TBitmap32>();
    BuildViewSized(*ScreenSubFrame, *SubFramePicture, part, Picture.DrawMode);
    if (SubFrameMask) {
        if (!ScreenSubFrameMask) ScreenSubFrameMask = std::make_unique<TBitmap32>();
        BuildViewSized(*ScreenSubFrameMask, *SubFrameMask, part, Picture.DrawMode);
    } else {
        ScreenSubFrameMask.reset();
    }
}

void TNewRotLayer::RebuildScreenMask() {
    if (!MaskPicture) return;
    if (!ScreenMask) ScreenMask = std::make_unique<TBitmap32>();
    BuildViewSized(*ScreenMask, *MaskPicture, BoxPart(), Picture.DrawMode);
}

void TNewRotLayer::ComposeScreenPicture() {
    const TCachePart part = BoxPart();
    ScreenPart = part;
    if (PrepareSurface(ScreenPicture, part.Part.Width(), part.Part.Height())) {
        // The crop carried over to ScreenSource's scale.
        const TRect r{Round(ViewedRect.Left * double(ViewScaleX)), Round(ViewedRect.Top * double(ViewScaleY)),
                      Round(double(ViewScaleX) * ViewedRect.Right),
                      Round(double(ViewScaleY) * ViewedRect.Bottom)};
        if (!part.FollowsView) {
            ScreenPicture.DrawMode = ScreenSource.DrawMode;
            PaddedStretchDraw(ScreenPicture, ScreenPicture.BoundsRect(), ScreenSource, r);
        } else if (!Picture.Empty() && CropDrawable(ViewedRect)) {
            // Only the part of what ScreenSource would hold that lands in the
            // part of the box, drawn the same two times (so that transparency
            // looks the same at every zoom): the same pixels as a whole cache.
            ScreenPicture.DrawMode = Picture.DrawMode;
            TBitmap32 scaled;
            if (PrepareSurface(scaled, part.Part.Width(), part.Part.Height())) {
                scaled.DrawMode = Picture.DrawMode;
                const int64_t sw = Round64(double(Picture.Width()) * ViewScaleX);
                const int64_t sh = Round64(double(Picture.Height()) * ViewScaleY);
                const int64_t left = -(int64_t(part.Part.Left) + r.Left),
                              top = -(int64_t(part.Part.Top) + r.Top);
                constexpr int64_t limit = int64_t(1) << 30;
                if (sw > 0 && sh > 0 && sw < limit && sh < limit && std::abs(left) < limit &&
                    std::abs(top) < limit)
                    scaled.StretchDraw({int(left), int(top), int(left + sw), int(top + sh)},
                                       Picture.BoundsRect(), Picture);
                else // far beyond what ScreenSource could be: the crop alone
                    scaled.StretchDraw(WholeIn(part), ViewedRect, Picture);
                ScreenPicture.Draw(0, 0, scaled);
            }
        }
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
    ShadowPart = WantedShadowPart();
    if (ShadowPart.Part.IsEmpty() ||
        !PrepareSurface(ScreenShadow, ShadowPart.Part.Width(), ShadowPart.Part.Height())) {
        ScreenShadow.SetSize(0, 0);
        return;
    }
    ScreenShadow.DrawMode = ShadowPicture->DrawMode;
    ScreenShadow.MasterAlpha = 255;
    ShadowPicture->MasterAlpha = 255;
    ScreenShadow.Resampler = TResamplerKind::Linear;
    ScreenShadow.StretchDraw(WholeIn(ShadowPart), *ShadowPicture);
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
    if (!ZoomPreview) FollowViewport();
    // Layers never paint over the grey area around the canvas.
    if (LayerCollection() && LayerCollection()->BitmapRect) {
        const TRect& canvas = *LayerCollection()->BitmapRect;
        if (buffer.ClipRect() != canvas) buffer.SetClipRect(canvas);
    }
    Render(buffer, TRenderTarget::Screen);
    buffer.ResetClipRect();
}

namespace {
// Canvas coordinates for the full-resolution drawing: no view mapping while
// the layer is composed or drawn, restored on every way out, with the screen
// transform. Touches only the layer itself.
struct TCanvasCoordinates {
    TNewRotLayer& L;
    bool Scaled;
    explicit TCanvasCoordinates(TNewRotLayer& l) : L(l), Scaled(l.Scaled) { L.Scaled = false; }
    ~TCanvasCoordinates() {
        L.Scaled = Scaled;
        L.AdjustScreenTransformation();
    }
};
} // namespace

bool TNewRotLayer::RenderFullResolution(TBitmap32& target, std::string* why) {
    if (Picture.Empty()) return true;
    ComposeFullResolution(target.ClipRect());
    return DrawFullResolution(target, why);
}

bool TNewRotLayer::DrawFullResolution(TBitmap32& target, std::string* why) {
    if (Picture.Empty()) return true;
    TCanvasCoordinates canvas(*this);
    const bool drawn = RenderCanvas(target, why);
    DrawPlaceholderText(target);
    return drawn;
}

bool TNewRotLayer::Render(TBitmap32& buffer, TRenderTarget target, std::string* why) {
    if (target == TRenderTarget::FullResolution) return RenderFullResolution(buffer, why);
    if (ZoomPreview)
        RenderZoomPreview(buffer);
    else
        RenderScreen(buffer);
    DrawPlaceholderText(buffer);
    return true;
}

bool TNewRotLayer::ScreenCover(TTransformCover& cover) const {
    if (!Visible() || Picture.Empty() || ZoomPreview || CompositeAlpha < 255) return false;
    if (ScreenPicture.Empty() || ScreenPicture.Resampler != TResamplerKind::Linear) return false;
    if (ScreenOpaqueRect.Width() < 2 || ScreenOpaqueRect.Height() < 2) return false;
    // a cache holding a part that is about to follow the view covers nothing yet
    if (!HoldsWhatShows(ScreenPart, WantedScreenPart(),
                        ScreenBoxTransformation(ScreenPart.WholeWidth, ScreenPart.WholeHeight)))
        return false;
    cover.Transform = ScreenTransformation();
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
        const TAffineTransformation shadow = AdjustScreenShadowTransformation();
        TransformDrawUnder(buffer, ScreenShadow, shadow, covers.data(), int(covers.size()));
    }
    AdjustScreenTransformation();
    const size_t skip = ShadowOn && ownCover ? 1 : 0; // not under itself
    TransformDrawUnder(buffer, ScreenPicture, Transformation, covers.data() + skip,
                       int(covers.size() - skip));
}

void TNewRotLayer::RenderZoomPreview(TBitmap32& buffer) {
    // The caches are at the old zoom: drawn scaled to the new one, without
    // a buffer of the new size (which may be far larger than the screen).
    const TRect r = RoundRect(LocationScaled(Location));
    if (ShadowOn && ShadowPicture && !ScreenShadow.Empty() && ShadowPart.WholeWidth > 0 &&
        ShadowPart.WholeHeight > 0) {
        const double w = double(Round64(ShadowPicture->Width() * double(ViewSX())));
        const double h = double(Round64(ShadowPicture->Height() * double(ViewSY())));
        Transformation = ScreenShadowBoxTransformation(w, h, ShadowPart.Part, w / ShadowPart.WholeWidth,
                                                       h / ShadowPart.WholeHeight);
        ScreenShadow.MasterAlpha = ShadowAlpha(ShadowTransparent, CompositeAlpha);
        TransformDraw(buffer, ScreenShadow, Transformation);
    }
    if (!ScreenPicture.Empty() && ScreenPart.WholeWidth > 0 && ScreenPart.WholeHeight > 0) {
        Transformation = ScreenBoxTransformation(r.Width(), r.Height(), ScreenPart.Part,
                                                 double(r.Width()) / ScreenPart.WholeWidth,
                                                 double(r.Height()) / ScreenPart.WholeHeight);
        ScreenPicture.MasterAlpha = ClampAlpha(CompositeAlpha);
        TransformDraw(buffer, ScreenPicture, Transformation);
    }
}

namespace {
// One stretch of a layer's composition, produced row by row: a plan and how
// its rows combine. A mask's rows are made in a scratch line that starts
// transparent black, as the fresh surface the rule stretches it onto.
struct TComposeStep {
    TStretchPlan Plan;
    TCombineKind Kind;
    uint32_t Master;
    bool Skip; // blend mode at master alpha 0 draws nothing

    TComposeStep(const TRect& whole, const TRect& clip, const TBitmap32& source, TDrawMode mode,
                 TResamplerKind resampler, bool ontoClear)
        : Plan(whole, source.BoundsRect(), source, clip, resampler),
          Kind(mode == TDrawMode::Opaque ? TCombineKind::Copy
                                         : (ontoClear ? TCombineKind::BlendOnClear : TCombineKind::Blend)),
          Master(source.MasterAlpha), Skip(mode == TDrawMode::Blend && source.MasterAlpha == 0) {}

    // Row y of the stretch over a row that holds what lies under it.
    void Over(int y, TColor32* row) const {
        if (!Skip && !Plan.Clip().IsEmpty()) Plan.Row(y, row + Plan.Clip().Left, Kind, Master);
    }
    // Row y of the stretch onto transparent black, in line (the whole width).
    void Alone(int y, TColor32* line, int width) const {
        const TRect& c = Plan.Clip();
        const bool outside = Skip || c.IsEmpty() || y < c.Top || y >= c.Bottom;
        if (outside || c.Left > 0 || c.Right < width) {
            std::fill(line, line + width, 0);
            if (outside) return;
        }
        Plan.Row(y, line + c.Left, Kind, Master);
    }
};
} // namespace

void TNewRotLayer::ComposeFullResolution(const TRect& clip) {
    FCanvasComposed = false;
    FCanvasPart = {};
    FCanvasOpaque = {};
    FCanvasProblem.clear();
    if (Picture.Empty()) return;
    TCanvasCoordinates canvas(*this);
    // Only the part of the layer that lands in the clip is composed (the
    // same pixels as composing all of it), so a layer much larger than the
    // page draws too.
    const int64_t w = Round64(Location.Width()), h = Round64(Location.Height());
    TCachePart part = WholePart(w, h);
    if (!part.Part.IsEmpty())
        part.Part = PartShownIn(part.WholeWidth, part.WholeHeight, AdjustTransformation(), clip, 0);
    if (part.Part.IsEmpty()) return;
    const int pw = part.Part.Width(), ph = part.Part.Height();
    if (!PictureSizeAllowed(pw, ph)) {
        RenderBuffer.SetSize(0, 0);
        FCanvasProblem = "too large to draw (" + std::to_string(pw) + " x " + std::to_string(ph) + " pixels)";
        return;
    }
    // Reused from the last render when the size is the same; every pixel is
    // written below, so it is not cleared first.
    RenderBuffer.SetSize(pw, ph);
    RenderBuffer.DrawMode = TDrawMode::Blend;
    RenderBuffer.MasterAlpha = 255;
    const TRect whole = WholeIn(part), bounds = RenderBuffer.BoundsRect();
    // The photo, the sub-frame (with the photo's draw mode and resampler) and
    // its cut-out, and the mask are stretched row by row into the buffer:
    // each row passes every step while it is in the cache. The steps work
    // pixel by pixel, so the result is that of one stretch after the other.
    const bool direct = !ViewedRect.IsEmpty() && Inside(ViewedRect, Picture);
    std::optional<TStretchPlan> photo;
    if (direct) {
        photo.emplace(whole, ViewedRect, Picture, bounds, Picture.Resampler);
    } else {
        // a crop reaching past the picture: read through a padded surface
        RenderBuffer.Clear(0);
        PaddedStretchDraw(RenderBuffer, whole, Picture, ViewedRect);
    }
    const TCombineKind photoKind =
        Picture.DrawMode == TDrawMode::Opaque ? TCombineKind::Copy : TCombineKind::BlendOnClear;
    std::optional<TComposeStep> frame, cut, mask;
    if (SubFramePicture) {
        frame.emplace(whole, bounds, *SubFramePicture, Picture.DrawMode, Picture.Resampler, false);
        if (SubFrameMask)
            cut.emplace(whole, bounds, *SubFrameMask, SubFrameMask->DrawMode, SubFrameMask->Resampler, true);
    }
    if (MaskPicture)
        mask.emplace(whole, bounds, *MaskPicture, MaskPicture->DrawMode, MaskPicture->Resampler, true);
    // The layer replaces most of its shadow outright; where, is found from
    // the rows as they are finished (a coarse grid suffices).
    const bool cover = ShadowOn && CompositeAlpha >= 255 && RenderBuffer.Resampler == TResamplerKind::Linear;
    std::optional<TOpaqueCells> opaque;
    if (cover) opaque.emplace(pw, ph, 8);
    ForRowBands(0, ph, int64_t(pw) * ph, [&](int first, int end) {
        std::vector<TColor32> line(cut || mask ? size_t(pw) : 0);
        for (int y = first; y < end; ++y) {
            TColor32* row = RenderBuffer.ScanLine(y);
            if (photo) photo->Row(y, row, photoKind, Picture.MasterAlpha);
            if (frame) {
                frame->Over(y, row);
                if (cut) {
                    cut->Alone(y, line.data(), pw);
                    ApplyMaskAlphaSpan(row, line.data(), pw);
                }
            }
            if (mask) {
                mask->Alone(y, line.data(), pw);
                ApplyMaskAlphaSpan(row, line.data(), pw);
            }
            if (opaque) opaque->AddRow(y, row);
        }
    });
    RenderBuffer.MasterAlpha = ClampAlpha(CompositeAlpha);
    FCanvasComposed = true;
    FCanvasPart = part.Part;
    if (opaque) FCanvasOpaque = opaque->Result();
}

bool TNewRotLayer::RenderCanvas(TBitmap32& target, std::string* why) {
    const int64_t w = Round64(Location.Width()), h = Round64(Location.Height());
    bool drawn = true;
    auto fail = [&](const std::string& reason) {
        drawn = false;
        if (why && why->empty()) *why = reason;
    };
    if (!FCanvasProblem.empty()) fail(FCanvasProblem);
    if (ShadowOn && w > 0 && h > 0 && (!ShadowPicture || ShadowPicture->Empty()))
        fail("its shadow is too large to draw");
    if (ShadowOn && ShadowPicture && !ShadowPicture->Empty()) {
        TTransformCover cover;
        int covers = 0;
        if (FCanvasComposed && !FCanvasOpaque.IsEmpty()) {
            cover.Opaque = FCanvasOpaque;
            cover.Transform = AdjustTransformation(FCanvasPart);
            covers = 1;
        }
        ShadowPicture->MasterAlpha = ShadowAlpha(ShadowTransparent, CompositeAlpha);
        AdjustShadowTransformation();
        TransformDrawUnder(target, *ShadowPicture, Transformation, &cover, covers);
    }
    if (!FCanvasComposed) return drawn;
    AdjustTransformation(FCanvasPart);
    TransformDraw(target, RenderBuffer, Transformation);
    return drawn;
}

namespace {
// Runs step for layer i; false with why set (when it is still empty) when
// the step fails or throws.
template <class Step> bool LayerStep(Step step, std::string* why) {
    std::string reason;
    bool ok = false;
    try {
        ok = step(&reason);
    } catch (const std::bad_alloc&) {
        reason = "not enough memory";
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (!ok && why && why->empty()) *why = reason;
    return ok;
}
} // namespace

int RenderLayersFullResolution(TNewRotLayer* const* layers, int count, TBitmap32& target, std::string* why) {
    const int threads = DrawThreadCount();
    if (threads <= 1 || count < 2) {
        for (int i = 0; i < count; ++i)
            if (!LayerStep([&](std::string* r) { return layers[i]->RenderFullResolution(target, r); }, why))
                return i;
        return count;
    }
    // The pictures first, several at once (each layer touches only its own
    // buffer and transform); then each drawn onto the page in bands, bottom
    // first.
    std::vector<std::string> failures(static_cast<size_t>(count));
    const TRect clip = target.ClipRect();
    ForEachConcurrently(count, threads, [&](int i) {
        LayerStep(
            [&](std::string*) {
                layers[i]->ComposeFullResolution(clip);
                return true;
            },
            &failures[size_t(i)]);
    });
    for (int i = 0; i < count; ++i) {
        if (!failures[size_t(i)].empty()) {
            if (why && why->empty()) *why = failures[size_t(i)];
            return i;
        }
        if (!LayerStep([&](std::string* r) { return layers[i]->DrawFullResolution(target, r); }, why))
            return i;
    }
    return count;
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
