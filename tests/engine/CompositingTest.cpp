// Layer compositing: screen caches, the shadow picture, the three render
// paths and small reference images whose expected pixels are computed here
// step by step from the blend rule.

#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "engine/AlphaUtils.h"
#include "engine/Errors.h"
#include "engine/LayerTestSupport.h"
#include "engine/PixelOps.h"
#include "engine/RotRubberbandLayer.h"

#include <random>

namespace {

// Intensity written out independently of the library helper.
uint32_t Grey(TColor32 c) {
    return (((c >> 16) & 0xFF) * 61 + ((c >> 8) & 0xFF) * 174 + (c & 0xFF) * 21) >> 8;
}

TColor32 MaskAlpha(TColor32 d, TColor32 mask) {
    const uint32_t a = d >> 24;
    if (a == 0) return d;
    return (d & 0x00FFFFFFu) | ((Grey(mask) * a / 255) << 24);
}

bool SameRgb(TColor32 a, TColor32 b) {
    return (a & 0x00FFFFFFu) == (b & 0x00FFFFFFu);
}

// Paints the whole control and returns the buffer.
TBitmap32 Paint(TImage32& image) {
    TBitmap32 buffer;
    image.PaintTo(buffer);
    return buffer;
}

} // namespace

// ---- Cache sizes ----

TEST(Compositing, ScreenCachesAtQuarterZoom) {
    TImage32 image;
    SetUpCanvas(image, 3000, 2000, 800, 600, 0.25f);
    auto* layer = AddPictureLayer(image.Layers, Filled(3000, 2000, 0xFF406080), {0, 0, 3000, 2000});
    EXPECT_FLOAT_EQ(layer->ViewScaleX, 0.25f);
    EXPECT_FLOAT_EQ(layer->ViewScaleY, 0.25f);
    EXPECT_EQ(layer->ScreenSource.Width(), 750);
    EXPECT_EQ(layer->ScreenSource.Height(), 500);
    EXPECT_EQ(layer->ScreenPicture.Width(), 750);
    EXPECT_EQ(layer->ScreenPicture.Height(), 500);
    EXPECT_EQ(layer->ScreenPicture.Resampler, TResamplerKind::Linear);

    // A photo fitted into a 750 × 500 box at 100 %: the caches and the output
    // are at the box size, not at the photo's native size.
    TImage32 fitted;
    SetUpCanvas(fitted, 1000, 800, 1000, 800, 1.0f);
    auto* photo = AddPictureLayer(fitted.Layers, Filled(3000, 2000, 0xFF406080), {0, 0, 750, 500});
    EXPECT_EQ(photo->ScreenSource.Width(), 750);
    EXPECT_EQ(photo->ScreenPicture.Height(), 500);
    TBitmap32 page = Filled(1000, 800, 0xFFFFFFFF);
    photo->RenderFullResolution(page);
    EXPECT_EQ(photo->RenderBuffer.Width(), 750);
    EXPECT_EQ(photo->RenderBuffer.Height(), 500);
    EXPECT_EQ(page.Pixel(749, 499), 0xFF406080u);
    EXPECT_EQ(page.Pixel(750, 250), 0xFFFFFFFFu);
}

// ---- Shadow picture ----

TEST(Compositing, ShadowPictureSizeAndSilhouette) {
    TLayerCollection layers;
    auto* layer = AddPictureLayer(layers, Filled(200, 100, 0xFF00FF00), {0, 0, 200, 100});
    layer->SetShadowColor(0xFF336699);
    layer->SetShadowEnabled(true);
    const TBitmap32& sp = *layer->ShadowPicture;
    ASSERT_EQ(sp.Width(), 232);
    ASSERT_EQ(sp.Height(), 132);
    EXPECT_EQ(sp.DrawMode, TDrawMode::Blend);
    EXPECT_EQ(sp.Resampler, TResamplerKind::Linear);

    // silhouette of the opaque photo at (16, 16), blurred at 3, 2, 1
    TBitmap32 expected(232, 132);
    expected.FillRect(16, 16, 216, 116, 0xFF000000);
    BlurAlphaScalar(expected, 3);
    BlurAlphaScalar(expected, 2);
    BlurAlphaScalar(expected, 1);
    Colorize(expected, 0xFF336699);
    EXPECT_EQ(MaxChannelDiff(sp, expected), 0);
    EXPECT_EQ(sp.Pixel(0, 0), 0x00336699u);

    // smoothness 0: 220 × 120 and a hard-edged silhouette at (10, 10)
    layer->SetShadowSmooth(0);
    const TBitmap32& hard = *layer->ShadowPicture;
    ASSERT_EQ(hard.Width(), 220);
    ASSERT_EQ(hard.Height(), 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 220; ++x) {
            const bool inside = x >= 10 && x < 210 && y >= 10 && y < 110;
            ASSERT_EQ(hard.Pixel(x, y), inside ? 0xFF336699u : 0x00336699u) << x << "," << y;
        }
}

// Every variant of the blur pass against the literal scalar pass, on random
// pictures of awkward sizes (thinner than the distance, one pixel, widths
// that are no multiple of the vector width) and every distance a shadow uses.
TEST(Compositing, AlphaBlurVariantsMatchTheScalarPass) {
    std::mt19937 rng(11);
    auto random = [&] {
        const int w = std::uniform_int_distribution<int>(1, 70)(rng),
                  h = std::uniform_int_distribution<int>(1, 40)(rng);
        TBitmap32 b(w, h);
        for (size_t i = 0; i < b.PixelCount(); ++i) b.Bits()[i] = rng();
        return b;
    };
    ASSERT_GE(AlphaBlurVariantCount(), 2);
    for (int n = 0; n < 150; ++n) {
        const TBitmap32 source = n == 0 ? TBitmap32(1, 1) : random();
        for (int d : {1, 2, 3, 5, 8, 10, 0, -2, 45}) {
            TBitmap32 expected;
            expected.Assign(source);
            BlurAlphaScalar(expected, d);
            for (int v = 1; v < AlphaBlurVariantCount(); ++v) {
                TBitmap32 got;
                got.Assign(source);
                AlphaBlurVariant(v).Pass(got, d);
                ASSERT_EQ(MaxChannelDiff(got, expected), 0)
                    << AlphaBlurVariant(v).Name << " " << source.Width() << "x" << source.Height() << " d "
                    << d;
            }
        }
    }
    // a whole shadow's worth of passes on a large picture
    TBitmap32 big(1031, 257);
    for (size_t i = 0; i < big.PixelCount(); ++i) big.Bits()[i] = (i / 97) % 3 ? 0xFF102030u : rng();
    TBitmap32 expected;
    expected.Assign(big);
    for (int d = 10; d >= 1; --d) BlurAlphaScalar(expected, d);
    SmoothAlpha(big, 10);
    EXPECT_EQ(MaxChannelDiff(big, expected), 0);
}

TEST(Compositing, ShadowFollowsMaskAndSubFrame) {
    TLayerCollection layers;
    TBitmap32 pic = Filled(8, 8, 0xFF00FF00);
    auto* layer = AddPictureLayer(layers, pic, {0, 0, 8, 8});
    // the sub-frame adds its alpha, its cut-out and the mask take it away
    TBitmap32 frame(8, 8);
    frame.DrawMode = TDrawMode::Blend;
    TBitmap32 cut = Filled(8, 8, 0xFFFFFFFF), mask = Filled(8, 8, 0xFFFFFFFF);
    cut.FillRect(0, 0, 8, 1, 0xFF000000);  // top row cut away
    mask.FillRect(0, 7, 8, 8, 0xFF808080); // bottom row half
    layer->AssignSubFrame(&frame, &cut);
    layer->AssignMask(&mask);
    layer->ShadowSmooth = 0;
    layer->SetShadowEnabled(true);
    const TBitmap32& sp = *layer->ShadowPicture;
    EXPECT_EQ(AlphaOf(sp.Pixel(10, 10)), 0); // cut-out
    EXPECT_EQ(AlphaOf(sp.Pixel(10, 11)), 255);
    // the silhouette is blended onto the transparent shadow picture, so a
    // half-masked row (alpha 128) ends at (128 + 128 · 128) >> 8 = 64
    EXPECT_EQ(Grey(0xFF808080), 128u);
    EXPECT_EQ(AlphaOf(sp.Pixel(10, 17)), 64);

    // a transparent photo still casts the sub-frame's shadow
    TBitmap32 clear(8, 8);
    layer->AssignPicture(&clear);
    frame.FillRect(0, 0, 8, 8, 0x40FFFFFF);
    layer->AssignSubFrame(&frame);
    layer->ClearMask();
    // blended onto a transparent scratch surface (alpha 16) and then onto
    // the shadow picture: (128 + 16 · 16) >> 8 = 1
    EXPECT_EQ(AlphaOf(BlendPixel(0x40FFFFFF, 0, 255)), 16);
    EXPECT_EQ(AlphaOf(layer->ShadowPicture->Pixel(12, 12)), 1);
}

// ---- Transparency ----

TEST(Compositing, TransparencyIsBlendedAtEveryStep) {
    TImage32 image;
    SetUpCanvas(image, 20, 20, 20, 20, 1.0f);
    const TColor32 c = 0xFF4080C0, white = 0xFFFFFFFF;
    auto* layer = AddPictureLayer(image.Layers, Filled(10, 10, c), {5, 5, 15, 15});
    layer->Picture.MasterAlpha = 128;
    layer->RebuildScreenCache();

    // output: onto the transparent render buffer, then onto the page
    TBitmap32 page = Filled(20, 20, white);
    layer->RenderFullResolution(page);
    const TColor32 out = BlendPixel(BlendPixel(c, 0, 128), white, 255);
    EXPECT_EQ(page.Pixel(5, 5), out);
    EXPECT_EQ(page.Pixel(14, 14), out);
    EXPECT_EQ(page.Pixel(4, 5), white);
    EXPECT_EQ(page.Pixel(15, 14), white);
    // about a quarter of the photo's colour is left
    EXPECT_NEAR(BlueOf(out), 0xC0 / 4 + 255 / 2, 2);

    // screen: picture -> screen source -> screen picture -> view
    const TBitmap32 view = Paint(image);
    const TColor32 shown = BlendPixel(BlendPixel(BlendPixel(c, 0, 128), 0, 255), white, 255);
    EXPECT_EQ(view.Pixel(5, 5), shown);
    EXPECT_EQ(view.Pixel(14, 14), shown);
    EXPECT_EQ(view.Pixel(4, 4), white);

    // the screen follows a transparency change only after a rebuild
    layer->Picture.MasterAlpha = 255;
    EXPECT_EQ(Paint(image).Pixel(8, 8), shown);
    layer->RebuildScreenCache();
    EXPECT_EQ(Paint(image).Pixel(8, 8), c);
}

// ---- Crops past the picture ----

TEST(Compositing, CropPastThePictureIsTransparentWithoutShadow) {
    TImage32 image;
    SetUpCanvas(image, 600, 400, 600, 400, 1.0f);
    const TColor32 red = 0xFFFF0000, white = 0xFFFFFFFF;
    auto* layer = AddPictureLayer(image.Layers, Filled(800, 600, red), {0, 0, 500, 300});
    layer->SetViewedRect({-100, 0, 900, 600});
    layer->RebuildScreenCache();
    layer->ShadowSmooth = 0;
    layer->SetShadowEnabled(true);

    // screen: 50-pixel transparent bands left and right
    const TBitmap32& sp = layer->ScreenPicture;
    ASSERT_EQ(sp.Width(), 500);
    for (int x : {0, 49, 450, 499}) EXPECT_EQ(sp.Pixel(x, 150), 0u) << x;
    for (int x : {50, 250, 449}) EXPECT_EQ(sp.Pixel(x, 150), red) << x;

    // no shadow under the bands (silhouette at (10, 10))
    const TBitmap32& shadow = *layer->ShadowPicture;
    for (int x : {10, 59, 460, 509}) EXPECT_EQ(AlphaOf(shadow.Pixel(x, 100)), 0) << x;
    for (int x : {60, 459}) EXPECT_EQ(AlphaOf(shadow.Pixel(x, 100)), 255) << x;

    // output: the same bands
    layer->SetShadowEnabled(false);
    TBitmap32 page = Filled(600, 400, white);
    layer->RenderFullResolution(page);
    for (int x : {0, 49, 450, 499}) EXPECT_EQ(page.Pixel(x, 100), white) << x;
    for (int x : {50, 449}) EXPECT_EQ(page.Pixel(x, 100), red) << x;
}

TEST(Compositing, PaddedReadStopsAtTheLimit) {
    TBitmap32 source = Filled(10, 10, 0xFF0000FF);
    source.DrawMode = TDrawMode::Blend;
    TBitmap32 dest = Filled(40, 4, 0xFF00FF00);
    // inside: a direct read
    EXPECT_TRUE(PaddedStretchDraw(dest, {0, 0, 10, 4}, source, {0, 0, 10, 4}));
    EXPECT_EQ(dest.Pixel(0, 0), 0xFF0000FFu);
    // past the edge: padded with transparent black and copied opaque
    dest.Clear(0xFF00FF00);
    EXPECT_TRUE(PaddedStretchDraw(dest, {0, 0, 10, 4}, source, {-2, 0, 8, 10}));
    EXPECT_EQ(dest.Pixel(1, 0), 0u);
    EXPECT_EQ(dest.Pixel(2, 0), 0xFF0000FFu);
    EXPECT_EQ(dest.Pixel(10, 0), 0xFF00FF00u);
    // up to the limit the read still happens (here it lands on the padding)
    EXPECT_TRUE(PaddedStretchDraw(dest, {10, 0, 30, 4}, source, {0, 0, kPaddedReadLimit, 10}));
    EXPECT_EQ(dest.Pixel(10, 0), 0u);
    EXPECT_EQ(dest.Pixel(29, 3), 0u);
    EXPECT_EQ(dest.Pixel(30, 0), 0xFF00FF00u);
    // beyond it nothing is read
    dest.Clear(0xFF00FF00);
    EXPECT_FALSE(PaddedStretchDraw(dest, {0, 0, 40, 4}, source, {0, 0, kPaddedReadLimit + 1, 10}));
    EXPECT_EQ(dest.Pixel(0, 0), 0xFF00FF00u);
    EXPECT_FALSE(PaddedStretchDraw(dest, {0, 0, 40, 4}, source, {-5, -kPaddedReadLimit, 5, 5}));
    // empty, inverted and absurd rectangles read nothing and allocate nothing
    EXPECT_FALSE(PaddedStretchDraw(dest, {0, 0, 40, 4}, source, {5, 5, 5, 9}));
    EXPECT_FALSE(PaddedStretchDraw(dest, {0, 0, 40, 4}, source, {9, 0, 2, 9}));
    EXPECT_FALSE(PaddedStretchDraw(dest, {0, 0, 40, 4}, source,
                                   {std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 9}));
    // entirely outside but within the limit: transparent black, nothing allocated
    EXPECT_TRUE(PaddedStretchDraw(dest, {0, 0, 4, 4}, source, {-1000000, 0, -999990, 10}));
    EXPECT_EQ(dest.Pixel(0, 0), 0u);
    EXPECT_EQ(dest.Pixel(4, 0), 0xFF00FF00u);

    // A layer whose crop is wider than the limit shows no picture content in
    // the output; its sub-frame still draws.
    TLayerCollection layers;
    auto* layer = AddPictureLayer(layers, Filled(100, 100, 0xFF0000FF), {0, 0, 200, 100});
    TBitmap32 frame = Filled(200, 100, 0x00000000);
    frame.FillRect(100, 0, 200, 100, 0xFFFF0000);
    frame.DrawMode = TDrawMode::Blend;
    layer->AssignSubFrame(&frame);
    layer->SetViewedRect({0, 0, kPaddedReadLimit + 1, 100});
    TBitmap32 page = Filled(200, 100, 0xFFFFFFFF);
    layer->RenderFullResolution(page);
    EXPECT_EQ(page.Pixel(0, 50), 0xFFFFFFFFu);
    EXPECT_EQ(page.Pixel(150, 50), 0xFFFF0000u);
    // at the limit the picture shows in the leftmost column
    layer->SetViewedRect({0, 0, kPaddedReadLimit, 100});
    page.Clear(0xFFFFFFFF);
    layer->RenderFullResolution(page);
    EXPECT_EQ(page.Pixel(0, 50), 0xFF0000FFu);
    EXPECT_EQ(page.Pixel(1, 50), 0xFFFFFFFFu);
}

// ---- Shadow placement on screen ----

TEST(Compositing, ShadowOffsetScalesWithTheZoom) {
    TImage32 image;
    SetUpCanvas(image, 400, 400, 200, 200, 0.5f);
    auto* layer = AddPictureLayer(image.Layers, Filled(100, 100, 0xFFFF0000), {100, 100, 200, 200});
    layer->ShadowSmooth = 0;
    layer->SetShadowEnabled(true);
    ASSERT_EQ(layer->ScreenShadow.Width(), 60); // 120 × 0.5

    // the shadow centre is 17.5 view pixels right and down of the layer centre (75, 75)
    double x, y;
    const TBitmap32& ss = layer->ScreenShadow;
    layer->AdjustScreenShadowTransformation().Transform(ss.Width() / 2.0, ss.Height() / 2.0, x, y);
    EXPECT_DOUBLE_EQ(x, 92.5);
    EXPECT_DOUBLE_EQ(y, 92.5);

    // On a row below the picture the silhouette spans 67.5 .. 117.5: the two
    // edge pixels are equally half covered, the ones beyond untouched.
    const TBitmap32 view = Paint(image);
    const TColor32 white = 0xFFFFFFFF, full = BlendPixel(0xFF000000, white, 158); // round(0.62 · 255)
    EXPECT_EQ(view.Pixel(90, 110), full);
    EXPECT_EQ(view.Pixel(67, 110), view.Pixel(117, 110));
    EXPECT_GT(RedOf(view.Pixel(67, 110)), RedOf(full));
    EXPECT_LT(RedOf(view.Pixel(67, 110)), 255);
    EXPECT_EQ(view.Pixel(66, 110), white);
    EXPECT_EQ(view.Pixel(118, 110), white);
}

// ---- Reference images ----

TEST(Compositing, ReferenceRotatedQuarterTurn) {
    // A 4 × 2 picture turned by 90 degrees about its centre lands on whole
    // pixels: source pixel (i, j) goes to (j + 11, 12 − i) for Location
    // (10, 10)-(14, 12).
    TLayerCollection layers;
    TBitmap32 pic(4, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i)
            pic.SetPixel(i, j, Color32(uint8_t(40 * i + 10), uint8_t(100 * j + 20), 77));
    auto* layer = AddPictureLayer(layers, pic, {10, 10, 14, 12});
    layer->SetAngle(90);
    const TColor32 bg = 0xFF202020;
    TBitmap32 page = Filled(30, 30, bg);
    layer->RenderFullResolution(page);

    TBitmap32 expected = Filled(30, 30, bg);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i) expected.SetPixel(j + 11, 12 - i, pic.Pixel(i, j));
    int differing = 0;
    EXPECT_EQ(MaxChannelDiff(page, expected, &differing), 0);
    EXPECT_EQ(differing, 0);
}

namespace {
struct TMaskedScene {
    TBitmap32 Pic{4, 4}, Frame{4, 4}, Cut{4, 4}, Mask{4, 4};
    TMaskedScene() {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const uint8_t a = (x + y) % 3 == 0 ? 200 : 255;
                Pic.SetPixel(x, y, Color32(uint8_t(60 * x), uint8_t(50 * y + 30), 180, a));
                const uint8_t fa = uint8_t((x * 4 + y) * 17 % 256);
                Frame.SetPixel(x, y, Color32(250, 240, uint8_t(20 * x), fa));
                Cut.SetPixel(x, y, y == 0 ? 0xFF404040 : 0xFFFFFFFF);
                Mask.SetPixel(x, y, Color32(uint8_t(255 - 60 * x), uint8_t(255 - 30 * y), 128));
            }
        Frame.DrawMode = TDrawMode::Blend;
    }
    TNewRotLayer* AddTo(TLayerCollection& layers) const {
        auto* layer = AddPictureLayer(layers, Pic, {2, 3, 6, 7});
        layer->AssignSubFrame(&Frame, &Cut);
        layer->AssignMask(&Mask);
        return layer;
    }
};
} // namespace

TEST(Compositing, ReferenceMaskAndSubFrameAtFullResolution) {
    TMaskedScene scene;
    TLayerCollection layers;
    auto* layer = scene.AddTo(layers);
    const TColor32 bg = 0xFF336699;
    TBitmap32 page = Filled(10, 10, bg);
    layer->RenderFullResolution(page);

    TBitmap32 expected = Filled(10, 10, bg);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            TColor32 p = BlendPixel(scene.Pic.Pixel(x, y), 0, 255); // onto the cleared render buffer
            p = BlendPixel(scene.Frame.Pixel(x, y), p, 255);        // sub-frame over it
            p = MaskAlpha(p, scene.Cut.Pixel(x, y));                // its cut-out
            p = MaskAlpha(p, scene.Mask.Pixel(x, y));               // the photo mask
            expected.SetPixel(x + 2, y + 3, BlendPixel(p, bg, 255));
        }
    int differing = 0;
    EXPECT_EQ(MaxChannelDiff(page, expected, &differing), 0);
    EXPECT_EQ(differing, 0);
}

TEST(Compositing, ReferenceMaskAndSubFrameOnScreen) {
    TMaskedScene scene;
    TImage32 image;
    SetUpCanvas(image, 10, 10, 10, 10, 1.0f);
    scene.AddTo(image.Layers);
    const TBitmap32 view = Paint(image);

    TBitmap32 expected = Filled(10, 10, 0xFFFFFFFF);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            TColor32 p = BlendPixel(scene.Pic.Pixel(x, y), 0, 255);         // screen source
            p = BlendPixel(p, 0, 255);                                      // screen picture
            const TColor32 f = BlendPixel(scene.Frame.Pixel(x, y), 0, 255); // screen sub-frame
            p = BlendPixel(f, p, 255);
            p = MaskAlpha(p, scene.Cut.Pixel(x, y));
            p = MaskAlpha(p, scene.Mask.Pixel(x, y));
            expected.SetPixel(x + 2, y + 3, BlendPixel(p, 0xFFFFFFFF, 255));
        }
    int differing = 0;
    EXPECT_EQ(MaxChannelDiff(view, expected, &differing), 0);
    EXPECT_EQ(differing, 0);
}

TEST(Compositing, ReferenceShadowAtFullResolution) {
    // Smoothness 0: the 220 × 120 shadow picture lands at (25, 25), so its
    // silhouette covers (35, 35)-(235, 135), drawn at 62 % and under the photo.
    TLayerCollection layers;
    const TColor32 red = 0xFFFF0000, white = 0xFFFFFFFF;
    auto* layer = AddPictureLayer(layers, Filled(200, 100, red), {0, 0, 200, 100});
    layer->SetShadowSmooth(0);
    layer->SetShadowEnabled(true);
    TBitmap32 page = Filled(300, 200, white);
    layer->RenderFullResolution(page);

    TBitmap32 expected = Filled(300, 200, white);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            TColor32 p = white;
            if (x >= 35 && x < 235 && y >= 35 && y < 135) p = BlendPixel(0xFF000000, p, 158);
            if (x < 200 && y < 100) p = red;
            expected.SetPixel(x, y, p);
        }
    int differing = 0;
    EXPECT_EQ(MaxChannelDiff(page, expected, &differing), 0);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(layer->ShadowPicture->MasterAlpha, 158);
}

// ---- Painting ----

TEST(Compositing, PaintStaysOnTheCanvasBitmap) {
    TImage32 image;
    SetUpCanvas(image, 100, 100, 200, 200, 1.0f); // canvas at (50, 50)-(150, 150)
    auto* layer = AddPictureLayer(image.Layers, Filled(60, 60, 0xFF0000FF), {-20, -20, 40, 40});
    const TBitmap32 view = Paint(image);
    EXPECT_EQ(view.Pixel(35, 35), 0xFF808080u); // the grey around the canvas stays
    EXPECT_EQ(view.Pixel(55, 55), 0xFF0000FFu);
    EXPECT_EQ(view.Pixel(95, 95), 0xFFFFFFFFu);
    EXPECT_EQ(view.ClipRect(), view.BoundsRect()); // reset after the layer
    (void)layer;
}

TEST(Compositing, ZoomPreviewStretchesStaleCaches) {
    TImage32 image;
    SetUpCanvas(image, 200, 200, 200, 200, 1.0f);
    auto* layer = AddPictureLayer(image.Layers, Filled(100, 100, 0xFF0000FF), {0, 0, 100, 100});
    layer->SetShadowEnabled(true);
    image.SetScale(0.5f); // canvas now at (50, 50)-(150, 150); caches still at 100 %

    // without the preview flag the stale 100 × 100 picture overflows its box
    EXPECT_EQ(Paint(image).Pixel(120, 75), 0xFF0000FFu);
    layer->ZoomPreview = true;
    const TBitmap32 view = Paint(image);
    EXPECT_EQ(view.Pixel(75, 75), 0xFF0000FFu);
    EXPECT_EQ(view.Pixel(99, 99), 0xFF0000FFu); // scaled onto the 50 x 50 box
    EXPECT_NE(view.Pixel(101, 75), 0xFF0000FFu);
    EXPECT_NE(view.Pixel(120, 75), 0xFF0000FFu);
    // the hit test follows the preview buffer
    EXPECT_TRUE(layer->DoHitTest(98, 98));
    EXPECT_FALSE(layer->DoHitTest(102, 60));

    // release: rebuilt at the new zoom, the same box
    layer->RebuildScreenCache();
    layer->ZoomPreview = false;
    const TBitmap32 after = Paint(image);
    EXPECT_EQ(layer->ScreenPicture.Width(), 50);
    EXPECT_EQ(after.Pixel(75, 75), 0xFF0000FFu);
    EXPECT_EQ(after.Pixel(51, 51), 0xFF0000FFu);
}

namespace {
// A scene of two layers with masks, a sub-frame, shadows and a turn, on a
// 400 x 300 page at 500 % seen through a 300 x 200 viewport.
void ZoomedScene(TImage32& image) {
    SetUpCanvas(image, 400, 300, 2000, 1500, 5.0f);
    TBitmap32 pic(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) pic.SetPixel(x, y, Color32(uint8_t(x * 4), uint8_t(y * 6), 90));
    pic.FillRect(0, 0, 60, 4, 0x80FF00FF); // a translucent band
    const TBitmap32 mask = CircleMask(60, 40);
    TBitmap32 frame = Filled(60, 40, 0xFF20C020);
    frame.FillRect(6, 6, 54, 34, 0);
    frame.DrawMode = TDrawMode::Blend;
    auto* a = AddPictureLayer(image.Layers, pic, {20, 20, 220, 160});
    a->AssignMask(&mask);
    a->SetShadowEnabled(true);
    auto* b = AddPictureLayer(image.Layers, pic, {150, 90, 390, 250});
    b->SetViewedRect({-10, 5, 50, 45}); // reaching past the picture
    b->AssignSubFrame(&frame);
    b->SetAngle(30);
    b->SetShadowEnabled(true);
    b->RebuildScreenCache();
}

struct TBudget {
    explicit TBudget(int64_t pixels) { SetScreenCacheBudgetOverride(pixels); }
    ~TBudget() { SetScreenCacheBudgetOverride(0); }
};
} // namespace

// Caches too large for their budget keep only what the viewport shows; what
// the screen shows is what whole caches give, wherever the view is scrolled.
TEST(Compositing, CachesHoldingOnlyTheViewShowTheSamePicture) {
    TImage32 whole;
    ZoomedScene(whole);
    auto layer = [](TImage32& image, int i) { return static_cast<TNewRotLayer*>(image.Layers.Items(i)); };
    ASSERT_FALSE(layer(whole, 0)->ScreenPart.FollowsView);
    const TBudget budget(50000);
    TImage32 parts;
    ZoomedScene(parts);
    for (auto [x, y] : {std::pair{0, 0}, {350, 400}, {900, 800}, {1700, 1300}, {360, 410}}) {
        whole.SetViewport(x, y, 300, 200);
        parts.SetViewport(x, y, 300, 200);
        int differing = 0;
        // exact where nothing turns; the turned layer's transforms differ in
        // the last bits of a double
        EXPECT_LE(MaxChannelDiff(Paint(whole), Paint(parts), &differing), 1) << x << "," << y;
        EXPECT_LT(differing, 300) << x << "," << y;
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(layer(parts, i)->ScreenPart.FollowsView);
            EXPECT_LT(layer(parts, i)->ScreenPicture.PixelCount(),
                      layer(whole, i)->ScreenPicture.PixelCount() / 2);
            EXPECT_LT(layer(parts, i)->ScreenShadow.PixelCount(),
                      layer(whole, i)->ScreenShadow.PixelCount() / 2);
        }
    }
    // the hit test reads the part held
    parts.SetViewport(300, 300, 300, 200);
    Paint(parts);
    EXPECT_TRUE(layer(parts, 0)->DoHitTest(300, 150)); // page (120, 90): the middle of the mask
    parts.SetViewport(0, 0, 300, 200);
    Paint(parts);
    EXPECT_FALSE(layer(parts, 0)->DoHitTest(125, 125)); // page (25, 25): cut away by the mask's corner
}

// Only the part of a layer that lands on the page is composed for output:
// the same pixels as composing all of it, and a layer far beyond the size a
// picture may have still draws.
TEST(Compositing, OutputComposesWhatLandsOnThePage) {
    TBitmap32 pic(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) pic.SetPixel(x, y, Color32(uint8_t(x * 4), uint8_t(y * 6), 90));
    const TBitmap32 mask = CircleMask(60, 40);
    auto layerAt = [&](TLayerCollection& layers, const TFloatRect& where) {
        auto* l = AddPictureLayer(layers, pic, where);
        l->AssignMask(&mask);
        l->SetShadowEnabled(true);
        return l;
    };
    // composed whole on a large page, then cut: the reference
    TLayerCollection big, small;
    TBitmap32 reference = Filled(700, 500, 0xFFFFFFFF);
    EXPECT_TRUE(layerAt(big, {0, 0, 700, 500})->RenderFullResolution(reference));
    TBitmap32 page = Filled(100, 100, 0xFFFFFFFF);
    std::string why;
    EXPECT_TRUE(layerAt(small, {-300, -200, 400, 300})->RenderFullResolution(page, &why));
    EXPECT_EQ(why, "");
    EXPECT_LE(static_cast<TNewRotLayer*>(small.Items(0))->RenderBuffer.Width(), 110);
    TBitmap32 cut(100, 100);
    cut.Draw(-300, -200, reference);
    int differing = 0;
    EXPECT_EQ(MaxChannelDiff(page, cut, &differing), 0);
    EXPECT_EQ(differing, 0);

    // 40100 pixels wide: beyond any picture, yet its middle shows
    TLayerCollection huge;
    auto* wide = AddPictureLayer(huge, Filled(20, 20, 0xFF0000FF), {-20000, -20000, 20100, 20100});
    page.Clear(0xFFFFFFFF);
    EXPECT_TRUE(wide->RenderFullResolution(page, &why)) << why;
    EXPECT_EQ(page.Pixel(50, 50), 0xFF0000FFu);
    // its shadow cannot be made: the output says so instead of leaving it out
    wide->SetShadowEnabled(true);
    EXPECT_FALSE(wide->RenderFullResolution(page, &why));
    EXPECT_EQ(why, "its shadow is too large to draw");
}

TEST(Compositing, FullResolutionRestoresTheScreenState) {
    TImage32 image;
    SetUpCanvas(image, 400, 400, 300, 300, 0.5f);
    auto* layer = AddPictureLayer(image.Layers, Filled(100, 100, 0xFF00FF00), {100, 100, 200, 200});
    layer->SetAngle(20);
    layer->SetShadowEnabled(true);
    Paint(image);
    const TAffineTransformation screen = layer->Transformation;
    TBitmap32 page = Filled(400, 400, 0xFFFFFFFF);
    layer->RenderFullResolution(page);
    EXPECT_TRUE(layer->Scaled);
    EXPECT_EQ(layer->Transformation, screen);
    // drawn at canvas resolution: the centre of Location is covered
    EXPECT_EQ(page.Pixel(150, 150), 0xFF00FF00u);
    EXPECT_EQ(page.Pixel(10, 10), 0xFFFFFFFFu);
}

namespace {
bool Ink(const TBitmap32& view, int x, int y) {
    return !SameRgb(view.Pixel(x, y), 0xFFFFFFFF);
}

// Bounding boxes of the text lines inside area: groups of rows with ink,
// separated by blank rows.
std::vector<TRect> InkLines(const TBitmap32& view, const TRect& area) {
    std::vector<TRect> lines;
    bool inLine = false;
    for (int y = area.Top; y < area.Bottom; ++y) {
        int left = area.Right, right = area.Left;
        for (int x = area.Left; x < area.Right; ++x)
            if (Ink(view, x, y)) left = std::min(left, x), right = std::max(right, x + 1);
        if (left < right) {
            if (!inLine) lines.push_back({left, y, right, y + 1});
            TRect& l = lines.back();
            l.Left = std::min(l.Left, left), l.Right = std::max(l.Right, right), l.Bottom = y + 1;
        }
        inLine = left < right;
    }
    return lines;
}
} // namespace

TEST(Compositing, PlaceholderLinesAreCentredAndUpright) {
    TImage32 image;
    SetUpCanvas(image, 400, 300, 400, 300, 1.0f);
    // a transparent placeholder picture, so only the hint leaves ink
    auto* layer =
        AddPictureLayer(image.Layers, Filled(10, 10, 0x00FFFFFF), {40, 40, 300, 160}, itPlaceholder);
    layer->PlaceholderLine1 = "Double Click or";
    layer->PlaceholderLine2 = "Drag Photo Here.";
    const TBitmap32 view = Paint(image);
    const std::vector<TRect> lines = InkLines(view, {40, 40, 300, 160});
    ASSERT_EQ(lines.size(), 2u);
    for (const TRect& l : lines) EXPECT_NEAR((l.Left + l.Right) / 2.0, 170, 3);
    EXPECT_NEAR((lines[0].Top + lines[1].Bottom) / 2.0, 100, 4);
    EXPECT_GE(lines[1].Top - lines[0].Bottom, 3); // stacked with a gap

    // Half zoom and turned: the same upright lines, centred on the new box.
    layer->SetAngle(30);
    image.SetScale(0.5f); // canvas (100, 75)-(300, 225), box (120, 95)-(250, 155)
    layer->RebuildScreenCache();
    const TBitmap32 turned = Paint(image);
    const std::vector<TRect> lines2 = InkLines(turned, {100, 75, 300, 225});
    ASSERT_EQ(lines2.size(), 2u);
    for (const TRect& l : lines2) EXPECT_NEAR((l.Left + l.Right) / 2.0, 185, 3);
    EXPECT_NEAR((lines2[0].Top + lines2[1].Bottom) / 2.0, 125, 4);
    for (size_t i = 0; i < 2; ++i) {
        const TRect &a = lines[i], &b = lines2[i];
        ASSERT_EQ(a.Width(), b.Width());
        ASSERT_EQ(a.Height(), b.Height());
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                ASSERT_EQ(Ink(view, a.Left + x, a.Top + y), Ink(turned, b.Left + x, b.Top + y)) << i;
    }

    // one line alone is centred on the box
    layer->PlaceholderLine2.clear();
    const std::vector<TRect> single = InkLines(Paint(image), {100, 75, 300, 225});
    ASSERT_EQ(single.size(), 1u);
    EXPECT_NEAR((single[0].Top + single[0].Bottom) / 2.0, 125, 4);
    // no first line, no hint
    layer->PlaceholderLine1.clear();
    layer->PlaceholderLine2 = "Drag Photo Here.";
    EXPECT_TRUE(InkLines(Paint(image), {100, 75, 300, 225}).empty());
}

// ---- Robustness ----

TEST(Compositing, EmptyPictureDrawsNothing) {
    TImage32 image;
    SetUpCanvas(image, 50, 50, 50, 50, 1.0f);
    auto* layer = image.Layers.Add<TNewRotLayer>();
    layer->SetScaled(true);
    layer->AlphaHit = true;
    layer->SetShadowEnabled(true);
    layer->RebuildScreenCache();
    EXPECT_EQ(MaxChannelDiff(Paint(image), Filled(50, 50, 0xFFFFFFFF)), 0);
    TBitmap32 page = Filled(50, 50, 0xFF123456);
    layer->RenderFullResolution(page);
    EXPECT_EQ(MaxChannelDiff(page, Filled(50, 50, 0xFF123456)), 0);
    EXPECT_FALSE(layer->DoHitTest(10, 10));
}

TEST(Compositing, DegenerateSizesDrawNothingAndStayBounded) {
    TImage32 image;
    SetUpCanvas(image, 100, 100, 100, 100, 1.0f);
    auto* layer = AddPictureLayer(image.Layers, Filled(50, 50, 0xFF0000FF), {10, 10, 60, 60});
    TBitmap32 mask = CircleMask(50, 50);
    layer->AssignMask(&mask);
    layer->SetShadowEnabled(true);

    // stretched to zero width
    layer->SetLocation({10, 10, 10, 60});
    layer->RebuildScreenCache();
    EXPECT_TRUE(layer->ScreenPicture.Empty());
    Paint(image);
    EXPECT_FALSE(layer->DoHitTest(10, 30));
    TBitmap32 page = Filled(100, 100, 0xFFFFFFFF);
    layer->RenderFullResolution(page);
    EXPECT_EQ(MaxChannelDiff(page, Filled(100, 100, 0xFFFFFFFF)), 0);

    // a zero-size crop keeps the previous view scale and shows nothing
    layer->SetLocation({10, 10, 60, 60});
    layer->SetViewedRect({5, 5, 5, 5});
    EXPECT_TRUE(std::isfinite(layer->ViewScaleX) && std::isfinite(layer->ViewScaleY));
    layer->RebuildScreenCache();
    EXPECT_EQ(AlphaOf(layer->ScreenPicture.Pixel(25, 25)), 0);
    layer->RenderFullResolution(page);

    // absurd crops: nothing drawn, nothing huge allocated
    layer->SetViewedRect({std::numeric_limits<int>::min(), -5, std::numeric_limits<int>::max(), 5});
    layer->RebuildScreenCache();
    layer->SetShadowEnabled(true);
    Paint(image);
    layer->RenderFullResolution(page);

    // an absurd zoom (a box 500000 pixels wide): the caches hold only about
    // what the 100 x 100 viewport shows, and the layer still shows
    layer->SetViewedRect({0, 0, 50, 50});
    layer->SetLocation({-450, -450, 550, 550}); // centred on the page
    image.SetScale(500.0f);
    layer->RebuildScreenCache();
    EXPECT_TRUE(layer->ScreenSource.Empty());
    EXPECT_FALSE(layer->ScreenPicture.Empty());
    EXPECT_LT(layer->ScreenPicture.PixelCount(), 300u * 300u);
    EXPECT_LT(layer->ScreenShadow.PixelCount(), 300u * 300u);
    EXPECT_EQ(Paint(image).Pixel(50, 50), 0xFF0000FFu);
    EXPECT_TRUE(layer->DoHitTest(50, 50));

    // the smoothness is held to what the shadow dialog offers: a huge one
    // (from a damaged file) blurs ten times, a negative one not at all
    image.SetScale(1.0f);
    layer->SetLocation({0, 0, 100, 100});
    layer->SetShadowSmooth(100000);
    EXPECT_EQ(layer->ShadowSmooth, kMaxShadowSmooth);
    EXPECT_EQ(layer->ShadowPicture->Width(), 100 + 130);
    layer->SetShadowSmooth(-4);
    EXPECT_EQ(layer->ShadowPicture->Width(), 100 + 20);
    // a shadow picture past the size limits cannot be made: drawing the
    // layer at full resolution then fails and says why instead of leaving it
    // out unsaid
    layer->SetShadowSmooth(10);
    layer->SetLocation({0, 0, float(kMaxPictureSide - 100), 10});
    EXPECT_TRUE(layer->ShadowPicture->Empty());
    std::string why;
    EXPECT_FALSE(layer->RenderFullResolution(page, &why));
    EXPECT_EQ(why, "its shadow is too large to draw");
}

TEST(Compositing, LargestOpaqueRectIsMaximal) {
    std::mt19937 rng(5);
    for (int n = 0; n < 300; ++n) {
        const int w = std::uniform_int_distribution<int>(1, 9)(rng),
                  h = std::uniform_int_distribution<int>(1, 7)(rng);
        TBitmap32 b(w, h);
        for (size_t i = 0; i < b.PixelCount(); ++i)
            b.Bits()[i] = std::uniform_int_distribution<int>(0, 3)(rng) ? 0xFF102030 : 0xFE102030;
        auto opaque = [&](const TRect& r) {
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    if (AlphaOf(b.Pixel(x, y)) != 255) return false;
            return true;
        };
        int best = 0;
        for (int t = 0; t < h; ++t)
            for (int bt = t + 1; bt <= h; ++bt)
                for (int l = 0; l < w; ++l)
                    for (int r = l + 1; r <= w; ++r)
                        if (opaque({l, t, r, bt})) best = std::max(best, (r - l) * (bt - t));
        const TRect got = LargestOpaqueRect(b);
        EXPECT_EQ(got.IsEmpty() ? 0 : got.Width() * got.Height(), best) << n;
        EXPECT_TRUE(opaque(got));
    }
    EXPECT_TRUE(LargestOpaqueRect(TBitmap32()).IsEmpty());
}

// Painting the whole canvas leaves out pixels hidden under opaque layers
// above; the picture must be exactly the one painted layer by layer.
TEST(Compositing, HiddenPixelsAreSkippedWithoutChangingThePicture) {
    std::mt19937 rng(31);
    std::uniform_real_distribution<float> pos(-40, 260), size(20, 160), angle(-180, 180);
    std::uniform_int_distribution<int> pick(0, 9);
    const TBitmap32 mask = CircleMask(60, 40);
    for (int scene = 0; scene < 12; ++scene) {
        TImage32 image;
        SetUpCanvas(image, 300, 240, 320, 260, scene % 3 == 0 ? 1.0f : 0.73f);
        for (int i = 0; i < 8; ++i) {
            TBitmap32 pic(60, 40);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 60; ++x)
                    pic.SetPixel(x, y, Color32(uint8_t(x * 4 + i * 20), uint8_t(y * 6), uint8_t(i * 30)));
            if (pick(rng) == 0) pic.FillRect(0, 0, 60, 5, 0x80FF00FF); // a translucent band
            const float x = pos(rng), y = pos(rng);
            auto* layer = AddPictureLayer(image.Layers, pic, {x, y, x + size(rng), y + size(rng)});
            if (pick(rng) < 5) layer->SetAngle(angle(rng));
            if (pick(rng) < 3) layer->AssignMask(&mask);
            if (pick(rng) < 4) layer->SetShadowEnabled(true);
            if (pick(rng) == 0) layer->CompositeAlpha = 200;
            if (pick(rng) == 0) layer->LayerOptions = 0; // hidden
            if (pick(rng) == 0) layer->ZoomPreview = true;
            if (pick(rng) == 0) {
                layer->Picture.MasterAlpha = 150;
                layer->RebuildScreenCache();
            }
        }
        const TBitmap32 culled = Paint(image);
        TBitmap32 plain(image.Width(), image.Height());
        image.PaintBackground(plain);
        image.Layers.BitmapRect = image.GetBitmapRect();
        ASSERT_FALSE(image.Layers.PaintingAllLayers);
        image.PaintLayers(plain, 0, image.Layers.Count());
        int differing = 0;
        ASSERT_EQ(MaxChannelDiff(culled, plain, &differing), 0)
            << "scene " << scene << " differing " << differing;
    }
}

TEST(Compositing, CoarseOpaqueRectStaysOpaque) {
    std::mt19937 rng(8);
    for (int n = 0; n < 100; ++n) {
        const int w = std::uniform_int_distribution<int>(1, 60)(rng),
                  h = std::uniform_int_distribution<int>(1, 50)(rng);
        TBitmap32 b = Filled(w, h, 0xFF000000);
        const int holes = std::uniform_int_distribution<int>(0, 6)(rng);
        for (int i = 0; i < holes; ++i)
            b.SetPixel(std::uniform_int_distribution<int>(0, w - 1)(rng),
                       std::uniform_int_distribution<int>(0, h - 1)(rng), 0xFE000000);
        const TRect fine = LargestOpaqueRect(b), coarse = LargestOpaqueRect(b, 8);
        if (holes == 0) {
            EXPECT_EQ(coarse, b.BoundsRect());
        }
        EXPECT_LE(int64_t(coarse.Width()) * coarse.Height(), int64_t(fine.Width()) * fine.Height());
        for (int y = coarse.Top; y < coarse.Bottom; ++y)
            for (int x = coarse.Left; x < coarse.Right; ++x) ASSERT_EQ(AlphaOf(b.Pixel(x, y)), 255) << n;
    }
    // a picture with a hole in the middle still gives a large coarse core
    TBitmap32 ring = Filled(400, 300, 0xFF000000);
    ring.SetPixel(200, 150, 0);
    const TRect core = LargestOpaqueRect(ring, 8);
    EXPECT_GE(int64_t(core.Width()) * core.Height(), 400 * 140);
}

// During a handle drag the canvas keeps what lies under the handles: moving
// handles repaints no layer, and the result is always what a full paint
// gives. Any change below the handles (a layer, the view, the order) paints
// the content again.
TEST(CanvasPaintCache, HandleMovesReuseTheContentAndMatchAFullPaint) {
    TImage32 image;
    SetUpCanvas(image, 400, 300, 420, 320, 1.0f);
    const TBitmap32 photo = Filled(80, 60, 0xFF3080C0);
    TNewRotLayer* a = AddPictureLayer(image.Layers, photo, {20, 20, 180, 140});
    AddPictureLayer(image.Layers, Filled(40, 40, 0x80FF2000), {100, 80, 260, 240});
    auto* h = image.Layers.Add<TRotRubberbandLayer>();
    h->SetLocation({20, 20, 180, 140});
    h->SetHandleFlags(15);

    TImage32::TContentCache cache;
    TBitmap32 cached, full;
    auto same = [&] {
        image.PaintToCached(cached, cache);
        image.PaintTo(full);
        return MaxChannelDiff(cached, full) == 0;
    };
    EXPECT_TRUE(same());
    EXPECT_EQ(cache.Paints, 1);
    for (int i = 1; i <= 5; ++i) {
        h->SetLocation({20.0f + i * 7, 20.0f + i * 3, 180.0f + i * 7, 140.0f + i * 3});
        h->SetAngle(float(i * 11));
        EXPECT_TRUE(same()) << "move " << i;
    }
    EXPECT_EQ(cache.Paints, 1) << "handle moves must not repaint the layers";

    a->SetLocation({30, 30, 190, 150}); // a content layer changes
    EXPECT_TRUE(same());
    EXPECT_EQ(cache.Paints, 2);
    image.Layers.Items(0)->SetIndex(1); // restacking
    EXPECT_TRUE(same());
    EXPECT_EQ(cache.Paints, 3);
    image.SetViewport(10, 5, 300, 200); // scrolling
    EXPECT_TRUE(same());
    EXPECT_EQ(cache.Paints, 4);
    image.SetScale(0.5f); // zooming
    image.BitmapResized();
    EXPECT_TRUE(same());
    EXPECT_EQ(cache.Paints, 5);
    // a change inside the collection's update bracket still counts
    {
        TUpdateScope<TLayerCollection> update(image.Layers);
        a->SetAngle(12);
    }
    EXPECT_TRUE(same());
    EXPECT_EQ(cache.Paints, 6);
}

TEST(Compositing, HighDensityScreenPaintsAtDevicePixelsAndHitsInViewPixels) {
    // a page with a one-pixel black column at x = 40, shown at 100 % on a
    // screen with two device pixels per view pixel
    TImage32 image;
    SetUpCanvas(image, 100, 60, 100, 60, 1.0f);
    image.Bitmap.FillRect(40, 0, 41, 60, 0xFF000000);
    auto* layer = AddPictureLayer(image.Layers, Filled(40, 40, 0xFF2080C0), {50, 10, 90, 50});
    image.SetDeviceRatio(2.0f);
    layer->RebuildScreenCache();
    const TBitmap32 buffer = Paint(image);
    ASSERT_EQ(buffer.Width(), 200);
    ASSERT_EQ(buffer.Height(), 120);
    for (const int y : {0, 59, 119}) {
        EXPECT_EQ(buffer.Pixel(79, y), 0xFFFFFFFFu) << y;
        EXPECT_EQ(buffer.Pixel(80, y), 0xFF000000u) << y;
        EXPECT_EQ(buffer.Pixel(81, y), 0xFF000000u) << y;
        EXPECT_EQ(buffer.Pixel(82, y), 0xFFFFFFFFu) << y;
    }
    // the layer covers its box in device pixels, edge to edge
    EXPECT_EQ(layer->ScreenPicture.Width(), 80);
    EXPECT_EQ(buffer.Pixel(100, 20), 0xFF2080C0u);
    EXPECT_EQ(buffer.Pixel(179, 99), 0xFF2080C0u);
    EXPECT_EQ(buffer.Pixel(180, 99), 0xFFFFFFFFu);
    // pointer positions stay in view pixels
    EXPECT_EQ(image.Layers.LayerAt(51, 11), layer);
    EXPECT_EQ(image.Layers.LayerAt(89, 49), layer);
    EXPECT_EQ(image.Layers.LayerAt(91, 30), nullptr);
    EXPECT_EQ(image.Layers.LayerAt(45, 30), nullptr);
}
