#pragma once
// TNewRotLayer: the one layer class for everything placed on the collage --
// photos, clipart, text, photo placeholders and the border frame.
//
// A layer keeps its source Picture at native resolution and describes how it
// is placed: the unrotated box Location on the canvas plus a rotation Angle
// about its centre, the crop ViewedRect (the part of Picture stretched into
// Location, which may reach past the picture), mirror flags, an optional
// mask, sub-frame overlay and drop shadow, and the layer transparency (the
// master alpha of Picture).
//
// On screen the layer paints from caches built at the current zoom
// (ScreenSource, ScreenPicture, ScreenShadow...), so a repaint transforms one
// pre-composed bitmap per layer whatever the photo's size. For output,
// RenderFullResolution composes from the source pictures every time.
// NewRotLayer.cpp holds the state and geometry; LayerCompositor.cpp the
// caches, the shadow and the drawing.

#include <QFont>
#include <memory>
#include <string>

#include "engine/Layers.h"
#include "engine/Transform.h"

class TRotRubberbandLayer;

// Font of a text layer: face, size and style live in the QFont.
struct TLayerFont {
    QFont Font;
    TColor32 Color = 0xFF000000;
};

// Text effects and alignment of a text layer.
struct TTextStyle {
    bool Halation = false;    // glow around the letters
    TColor HalationColor = 0; // platform colour 0x00BBGGRR
    int32_t HalationSize = 5; // glow pen width in pixels
    std::string TextureFile;  // full path of the texture picture; empty = solid colour
    float TextScaleX = 1.0f;  // Location width / Picture width, changed by resizing
    float TextScaleY = 1.0f;
    uint8_t HorzAlign = 3; // 0 left, 1 centre, 2 right, 3 custom
    uint8_t VertAlign = 3; // 0 top, 1 middle, 2 bottom, 3 custom
};

// Layer kinds (ImageType).
enum : uint8_t {
    itPhoto = 0,
    itClipart = 1,
    itText = 2,
    itPlaceholder = 3,
    itBorderFrame = 4,
    itUserClipart = 7,
};

// Where Render draws: the screen buffer from the caches, or an output surface
// at canvas resolution from the source pictures.
enum class TRenderTarget { Screen, FullResolution };

// The most blur passes a shadow takes: the range the shadow dialog offers.
constexpr int32_t kMaxShadowSmooth = 10;

// Rectangles of a source read past its edges are padded through a temporary
// surface only up to this size; a larger read draws nothing.
constexpr int kPaddedReadLimit = 20000;

// The part of a cached picture that a cache holds. A screen cache normally
// holds its whole picture (the layer's box, or its shadow, at the zoom it was
// built for: Whole); when that would take more memory than one cache may,
// only the part the viewport shows, with a margin, is kept -- so a layer
// shows at any zoom at the cost of a rebuild when the view moves past the
// margin. Part is in pixels of the whole picture.
struct TCachePart {
    TRect Part;
    int WholeWidth = 0, WholeHeight = 0;
    // The whole would exceed the budget: the part follows the viewport.
    bool FollowsView = false;
    bool operator==(const TCachePart&) const = default;
};

// Pixels one screen cache may hold before it keeps only the visible part of
// its picture: the viewport's pixels, and never less than 1 M pixels (4 MB).
// (Measured in bench/ZoomBench.cpp: at 500 % a page of large photos keeps
// about as much as at 100 %, where whole caches would take ten times that.)
// A positive override (tests, measurements) replaces the rule; 0 restores it.
int64_t ScreenCacheBudget(int64_t viewportPixels);
void SetScreenCacheBudgetOverride(int64_t pixels);

class TNewRotLayer : public TCustomLayer {
public:
    explicit TNewRotLayer(TLayerCollection* owner);
    ~TNewRotLayer() override;

    // ---- Fields used from the base layer role ----
    TBitmap32 Picture;                    // source picture; its MasterAlpha is the layer transparency
    TFloatPoint PictureCenter;            // rotation reference inside Picture
    TAffineTransformation Transformation; // last transform drawn through (hit tests map back with it)
    bool AlphaHit = false;                // hit only where the shown pixel is not fully transparent
    bool Scaled = false;                  // follow the canvas zoom and scroll
    float Angle = 0;                      // degrees, counter-clockwise on screen

    // ---- Own fields ----
    TFloatRect Location{0, 0, 64, 64}; // unrotated box on the canvas
    TBitmap32 RenderBuffer;            // scratch of the compositor
    std::unique_ptr<TBitmap32> SubFramePicture;
    std::unique_ptr<TBitmap32> SubFrameMask;
    std::string SubFrameName;
    std::unique_ptr<TBitmap32> MaskPicture;
    std::string MaskName;
    bool ShadowOn = false;
    std::unique_ptr<TBitmap32> ShadowPicture; // full-resolution shadow
    int32_t ShadowOffsetX = 35;
    int32_t ShadowOffsetY = 35;
    int32_t ShadowTransparent = 62; // opacity in percent, 0..100
    int32_t ShadowSmooth = 3;       // blur passes, 0..kMaxShadowSmooth
    TColor32 ShadowColor = 0xFF000000;
    TRect ViewedRect{0, 0, 0, 0};           // the crop, in Picture pixels
    TRotRubberbandLayer* Handles = nullptr; // owned by the collection, not by the layer
    uint8_t ImageType = itPhoto;
    std::string Text;
    std::string PlaceholderLine1, PlaceholderLine2;
    std::string SourceFile;
    // Picture is no longer what SourceFile holds (a filter ran on it): a
    // save writes the picture itself, and deleting the filters reloads it.
    bool PictureEdited = false;
    bool FlipH = false, FlipV = false;
    bool Locked = false;
    int32_t AALevel = 0;
    std::unique_ptr<TLayerFont> Font;
    std::unique_ptr<TTextStyle> TextStyle;

    // Screen-resolution caches.
    TBitmap32 ScreenPicture, ScreenShadow, ScreenSource;
    std::unique_ptr<TBitmap32> ScreenSubFrame, ScreenSubFrameMask, ScreenMask;
    // The largest all-opaque rectangle of ScreenPicture, kept by
    // ComposeScreenPicture: the shadow is not drawn where the picture will
    // replace it anyway.
    TRect ScreenOpaqueRect;
    // Which part of the box (ScreenPicture, ScreenSubFrame, ScreenSubFrameMask,
    // ScreenMask) and of the shadow (ScreenShadow) the caches hold.
    TCachePart ScreenPart, ShadowPart;
    float ViewScaleX = 1.0f, ViewScaleY = 1.0f; // screen pixels per Picture pixel
    bool ZoomPreview = false;                   // paint from stale caches while the zoom is dragged
    uint32_t CompositeAlpha = 255;

    // ---- Canvas entry points ----
    bool DoHitTest(int x, int y) override;
    void Paint(TBitmap32& buffer) override;

    // ---- View mapping ----
    // Canvas to view: scaled and shifted by the collection's view mapping
    // when Scaled, unchanged otherwise.
    TFloatRect LocationToView(const TFloatRect& r) const;
    // Canvas to the device pixels the screen caches and painting use:
    // LocationToView times the collection's device ratio when Scaled,
    // unchanged otherwise.
    TFloatRect LocationToDevice(const TFloatRect& r) const;
    // Scaled only (no shift), in device pixels, when Scaled.
    TFloatRect LocationScaled(const TFloatRect& r) const;
    // LocationToDevice(Location) with each coordinate rounded: the size of
    // the screen caches.
    TRect ViewRectRounded() const;
    // The scale from canvas to device pixels (sx, sy) when Scaled, (1, 1)
    // otherwise.
    float ViewSX() const;
    float ViewSY() const;

    // ---- Placement transforms (each stores its result in Transformation) ----
    // Full resolution, source RenderBuffer holding part of the box of the
    // rounded Location size (the whole box when part is empty at the origin).
    const TAffineTransformation& AdjustTransformation(const TRect& part = {});
    // Screen, source ScreenPicture: the part it holds of its whole box,
    // turned about the whole box's centre and placed at the box's view
    // position.
    const TAffineTransformation& AdjustScreenTransformation();
    // The same transform without storing it.
    TAffineTransformation ScreenTransformation() const;
    // A box of the given view size (its top-left corner at the box's view
    // position), for a cache holding part of it; a cache built for another
    // zoom is scaled to the box by (scaleX, scaleY).
    TAffineTransformation ScreenBoxTransformation(int width, int height, const TRect& part = {},
                                                  double scaleX = 1, double scaleY = 1) const;
    // Screen shadow, source ScreenShadow, likewise (a shadow picture of the
    // given view size).
    const TAffineTransformation& AdjustScreenShadowTransformation();
    TAffineTransformation ScreenShadowBoxTransformation(double width, double height, const TRect& part = {},
                                                        double scaleX = 1, double scaleY = 1) const;
    // Full-resolution shadow, source ShadowPicture.
    const TAffineTransformation& AdjustShadowTransformation();

    // ---- State operations (each notifies the canvas) ----
    // Photos adapt their crop to a new aspect ratio; rebuilds the shadow.
    void SetLocation(const TFloatRect& r);
    void SetAngle(float angle);
    void SetPictureCenter(const TFloatPoint& p);
    void SetScaled(bool scaled);
    // Picture := copy of picture (nullptr empties it).
    void AssignPicture(const TBitmap32* picture);
    // Stores the crop, recomputes the view scale and recomposes ScreenPicture.
    void SetViewedRect(const TRect& r);
    // Mirror Picture and the crop, rebuild the caches and the shadow.
    void SetFlipH(bool flip);
    void SetFlipV(bool flip);
    // Copies of the sub-frame and its optional cut-out (nullptr mask drops
    // the old one); a null picture does nothing.
    void AssignSubFrame(const TBitmap32* picture, const TBitmap32* mask = nullptr);
    void ClearSubFrame();
    void AssignMask(const TBitmap32* picture);
    void ClearMask();
    // Stores ShadowOn; when on, builds ShadowPicture and ScreenShadow.
    void SetShadowEnabled(bool on);
    void SetShadowOffsetX(int32_t value);
    void SetShadowOffsetY(int32_t value);
    // Stored clamped to 0..100.
    void SetShadowTransparent(int32_t value);
    // Stored clamped to 0..kMaxShadowSmooth.
    void SetShadowSmooth(int32_t value);
    void SetShadowColor(TColor32 value);
    void SetFont(std::unique_ptr<TLayerFont> font);

    // ---- Compositing ----
    // View scale, screen source, sub-frame and mask caches, then the
    // composed ScreenPicture.
    void RebuildScreenCache();
    void RebuildScreenSource();
    void RebuildScreenSubFrame();
    void RebuildScreenMask();
    void ComposeScreenPicture();
    void RebuildScreenShadow();
    // Draws the layer at canvas resolution into target (the canvas size),
    // then restores the screen transform so hit tests keep working. Only the
    // part of the layer that lands in the target is composed, so a layer far
    // larger than the canvas still draws. False (and why says why) when a
    // part that should show could not be drawn for its size.
    bool RenderFullResolution(TBitmap32& target, std::string* why = nullptr);
    // The same in two steps: the part of the layer's picture that lands in
    // clip composed into RenderBuffer -- which touches nothing but the
    // layer's own scratch and transform and only reads its pictures, so
    // several layers may be composed at once -- and then drawn with its
    // shadow onto the page, in stacking order.
    void ComposeFullResolution(const TRect& clip);
    bool DrawFullResolution(TBitmap32& target, std::string* why = nullptr);
    bool Render(TBitmap32& buffer, TRenderTarget target, std::string* why = nullptr);
    // Whether the next screen paint of this layer replaces some pixels
    // outright (its opaque core drawn at full opacity), and where.
    bool ScreenCover(TTransformCover& cover) const;

private:
    // ViewScaleX/Y from the rounded view size and the crop size (kept when
    // the crop has no width or height).
    void UpdateViewScale();
    void BuildShadow();
    // The parts the box and shadow caches are to hold for the current zoom
    // and viewport.
    TCachePart WantedScreenPart() const;
    TCachePart WantedShadowPart() const;
    // The part the box caches are built for: the held part, or the whole box
    // at its current size.
    TCachePart BoxPart() const;
    // Whether a cache holding a part still holds all that the viewport shows
    // of it (drawn through shown); whole caches always do.
    bool HoldsWhatShows(const TCachePart& held, const TCachePart& wanted,
                        const TAffineTransformation& shown) const;
    // RebuildScreenCache without the change notice.
    void BuildScreenCaches();
    // Caches holding only a part are built again when the view moved past
    // what they hold or the zoom changed.
    void FollowViewport();
    void RenderScreen(TBitmap32& buffer);
    void RenderZoomPreview(TBitmap32& buffer);
    bool RenderCanvas(TBitmap32& target, std::string* why);

    // What ComposeFullResolution left for DrawFullResolution.
    bool FCanvasComposed = false;
    TRect FCanvasPart;          // the part of the layer RenderBuffer holds
    TRect FCanvasOpaque;        // all-opaque part of RenderBuffer, found for the shadow
    std::string FCanvasProblem; // why a part that should show was not composed
    void DrawPlaceholderText(TBitmap32& buffer);
};

// Stretches rectangle r of source onto destRect of dest. Inside the source it
// is read directly (source's draw mode and resampler); reaching past it, the
// rectangle is first drawn into a transparent temporary surface of r's size
// (source's draw mode and master alpha) that is then copied stretched with
// nearest sampling. Reads larger than kPaddedReadLimit, or beyond the surface
// size limits, and empty rectangles draw nothing; the result says whether
// anything was read.
// The largest rectangle of pixels with alpha 255 (empty when there is none);
// with block > 1 the largest one made of whole opaque block × block cells,
// which is cheaper on big surfaces. A fully opaque surface gives its bounds.
TRect LargestOpaqueRect(const TBitmap32& bitmap, int block = 1);

bool PaddedStretchDraw(TBitmap32& dest, const TRect& destRect, const TBitmap32& source, const TRect& r);

// Draws the layers at full resolution onto target, bottom first. Within a
// TParallelDrawScope their pictures are composed on several threads at once
// and each is then drawn in bands of rows; the pixels are the same as
// RenderFullResolution one layer after the other. Returns how many layers
// were drawn: all, or those below the first that failed to draw (why then
// says why that one failed).
int RenderLayersFullResolution(TNewRotLayer* const* layers, int count, TBitmap32& target,
                               std::string* why = nullptr);
