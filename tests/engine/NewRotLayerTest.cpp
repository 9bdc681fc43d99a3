// Content layer state, geometry and hit testing.

#include <gtest/gtest.h>

#include "engine/LayerTestSupport.h"

TEST(NewRotLayer, DefaultsAndPlaceInCollection) {
    TLayerCollection layers;
    layers.Add<TNewRotLayer>();
    auto* layer = layers.Add<TNewRotLayer>();
    EXPECT_EQ(layers.Count(), 2);
    EXPECT_EQ(layer->Index(), 1); // appended at the top

    EXPECT_EQ(layer->Location, (TFloatRect{0, 0, 64, 64}));
    EXPECT_FALSE(layer->ShadowOn);
    EXPECT_EQ(layer->ShadowOffsetX, 35);
    EXPECT_EQ(layer->ShadowOffsetY, 35);
    EXPECT_EQ(layer->ShadowTransparent, 62);
    EXPECT_EQ(layer->ShadowSmooth, 3);
    EXPECT_EQ(layer->ShadowColor, 0xFF000000u);
    EXPECT_EQ(layer->ViewedRect, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(layer->ImageType, itPhoto);
    EXPECT_EQ(layer->CompositeAlpha, 255u);
    EXPECT_FLOAT_EQ(layer->ViewScaleX, 1.0f);
    EXPECT_FLOAT_EQ(layer->ViewScaleY, 1.0f);
    EXPECT_FALSE(layer->AlphaHit);
    EXPECT_FALSE(layer->Scaled);
    EXPECT_EQ(layer->Angle, 0.0f);
    EXPECT_TRUE(layer->Picture.Empty());
    EXPECT_FALSE(layer->ShadowPicture || layer->MaskPicture || layer->SubFramePicture || layer->SubFrameMask);
    EXPECT_FALSE(layer->ScreenMask || layer->ScreenSubFrame || layer->ScreenSubFrameMask);
    EXPECT_FALSE(layer->Font || layer->TextStyle);
    EXPECT_EQ(layer->Handles, nullptr);
    EXPECT_TRUE(layer->Visible());
    EXPECT_TRUE(layer->ReceivesMouse());
    EXPECT_FALSE(layer->CapturesMouse());
    EXPECT_EQ(layer->RenderBuffer.Resampler, TResamplerKind::Linear);
}

TEST(NewRotLayer, StateOperationsNotifyTheCanvas) {
    TLayerCollection layers;
    int changes = 0;
    layers.OnChange = [&] { ++changes; };
    auto* layer = layers.Add<TNewRotLayer>();
    changes = 0;
    layer->SetAngle(30);
    layer->SetScaled(true);
    layer->SetPictureCenter({5, 6});
    layer->SetShadowOffsetX(10);
    layer->SetLocation({1, 2, 3, 4});
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(layer->Angle, 30.0f);
    EXPECT_EQ(layer->PictureCenter, (TFloatPoint{5, 6}));
    {
        // inside an update bracket the repaint waits for the end
        TUpdateScope<TLayerCollection> update(layers);
        layer->SetAngle(45);
        layer->SetAngle(50);
        EXPECT_EQ(changes, 5);
    }
    EXPECT_EQ(changes, 6);
}

// ---- Crop adaptation on resize ----

namespace {
TNewRotLayer* PhotoWithCrop(TLayerCollection& layers, TFloatRect location, TRect crop,
                            uint8_t kind = itPhoto) {
    auto* layer = layers.Add<TNewRotLayer>();
    TBitmap32 pic = Filled(400, 300, 0xFF808080);
    layer->AssignPicture(&pic);
    layer->ImageType = kind;
    layer->Location = location;
    layer->ViewedRect = crop;
    return layer;
}
} // namespace

TEST(NewRotLayer, ResizeAdaptsTheCropToTheNewAspect) {
    TLayerCollection layers;
    // width grows more than height: the crop keeps its width
    auto* a = PhotoWithCrop(layers, {0, 0, 400, 300}, {0, 0, 1600, 1200});
    a->SetLocation({0, 0, 800, 300});
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 1600, 600}));
    EXPECT_EQ(a->Location, (TFloatRect{0, 0, 800, 300}));

    // height grows more: the crop keeps its height, the right edge follows
    auto* b = PhotoWithCrop(layers, {0, 0, 400, 300}, {10, 20, 410, 320});
    b->SetLocation({0, 0, 400, 600});
    EXPECT_EQ(b->ViewedRect, (TRect{10, 20, 210, 320})); // 300 · (400 / 600) + 10

    // equal changes go to the height-keeping branch: 300 · (500 / 400) = 375
    auto* c = PhotoWithCrop(layers, {0, 0, 400, 300}, {0, 0, 400, 300});
    c->SetLocation({0, 0, 500, 400});
    EXPECT_EQ(c->ViewedRect, (TRect{0, 0, 375, 300}));
}

TEST(NewRotLayer, MoveOrTinyChangeKeepsTheCrop) {
    TLayerCollection layers;
    auto* a = PhotoWithCrop(layers, {0, 0, 400, 300}, {5, 6, 1605, 1206});
    a->SetLocation({100, 50, 500, 350}); // pure move
    EXPECT_EQ(a->ViewedRect, (TRect{5, 6, 1605, 1206}));

    // A change below 1/65536 counts as no change at all; adapted, this crop
    // would lose a pixel (1e6 · 1/(1 + 2^-20) < 999999.5).
    auto* b = PhotoWithCrop(layers, {0, 0, 1, 1}, {0, 0, 1000000, 1000000});
    b->SetLocation({0, 0, 1.0f + 1.0f / 1048576, 1});
    EXPECT_EQ(b->ViewedRect, (TRect{0, 0, 1000000, 1000000}));
    b->SetLocation({0, 0, 1.0f + 1.0f / 1024, 1});
    EXPECT_EQ(b->ViewedRect, (TRect{0, 0, 1000000, 999024}));

    // only photos adapt
    auto* clip = PhotoWithCrop(layers, {0, 0, 400, 300}, {0, 0, 400, 300}, itClipart);
    clip->SetLocation({0, 0, 800, 300});
    EXPECT_EQ(clip->ViewedRect, (TRect{0, 0, 400, 300}));
}

TEST(NewRotLayer, DegenerateResizeKeepsTheCropFinite) {
    TLayerCollection layers;
    auto* a = PhotoWithCrop(layers, {0, 0, 400, 300}, {0, 0, 400, 300});
    a->SetLocation({0, 0, 0, 300}); // stretched to zero width
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 400, 300}));
    a->SetLocation({0, 0, 400, 0});
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 400, 300}));
    // from zero width back to a real box adapts normally
    a->SetLocation({0, 0, 200, 300}); // height changed more: 300 · (200 / 300)
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 200, 300}));
    // a ratio that would push the crop out of range leaves it alone
    a->SetLocation({0, 0, 1e-30f, 300});
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 200, 300}));
}

// ---- Flips ----

TEST(NewRotLayer, FlipMirrorsPictureAndCrop) {
    TLayerCollection layers;
    TBitmap32 pic(1000, 200);
    pic.Clear(0xFF000000);
    pic.FillRect(0, 0, 10, 200, 0xFFFF0000); // red stripe on the left
    auto* layer = AddPictureLayer(layers, pic, {0, 0, 200, 200});
    layer->SetViewedRect({100, 0, 300, 200});
    layer->SetFlipH(true);
    EXPECT_TRUE(layer->FlipH);
    EXPECT_EQ(layer->ViewedRect, (TRect{700, 0, 900, 200}));
    EXPECT_EQ(layer->Picture.Pixel(999, 5), 0xFFFF0000u);
    EXPECT_EQ(layer->Picture.Pixel(0, 5), 0xFF000000u);
    layer->SetFlipH(true); // same value: nothing happens
    EXPECT_EQ(layer->ViewedRect, (TRect{700, 0, 900, 200}));
    layer->SetFlipH(false);
    EXPECT_EQ(layer->ViewedRect, (TRect{100, 0, 300, 200}));
    EXPECT_EQ(layer->Picture.Pixel(0, 5), 0xFFFF0000u);

    layer->SetViewedRect({100, 20, 300, 120});
    layer->SetFlipV(true);
    EXPECT_EQ(layer->ViewedRect, (TRect{100, 80, 300, 180}));
}

TEST(NewRotLayer, FlipRebuildsTheScreenPictureAndShadow) {
    TImage32 image;
    SetUpCanvas(image, 100, 100, 100, 100, 1.0f);
    TBitmap32 pic = Filled(20, 10, 0xFF0000FF);
    pic.FillRect(0, 0, 5, 10, 0x00000000); // transparent left quarter
    auto* layer = AddPictureLayer(image.Layers, pic, {10, 10, 30, 20});
    layer->SetShadowSmooth(0);
    layer->SetShadowEnabled(true);
    ASSERT_EQ(layer->ScreenPicture.Width(), 20);
    EXPECT_EQ(AlphaOf(layer->ScreenPicture.Pixel(0, 0)), 0);
    EXPECT_EQ(AlphaOf(layer->ShadowPicture->Pixel(10, 10)), 0);
    layer->SetFlipH(true);
    EXPECT_EQ(AlphaOf(layer->ScreenPicture.Pixel(0, 0)), 255);
    EXPECT_EQ(AlphaOf(layer->ScreenPicture.Pixel(19, 0)), 0);
    EXPECT_EQ(AlphaOf(layer->ShadowPicture->Pixel(10, 10)), 255);
    EXPECT_EQ(AlphaOf(layer->ShadowPicture->Pixel(29, 10)), 0);
}

// ---- Shadow settings ----

TEST(NewRotLayer, ShadowSettersClampAndRebuild) {
    TLayerCollection layers;
    auto* layer = AddPictureLayer(layers, Filled(200, 100, 0xFFFFFFFF), {0, 0, 200, 100});
    layer->SetShadowTransparent(150);
    EXPECT_EQ(layer->ShadowTransparent, 100);
    layer->SetShadowTransparent(-5);
    EXPECT_EQ(layer->ShadowTransparent, 0);
    layer->SetShadowTransparent(40);
    EXPECT_EQ(layer->ShadowTransparent, 40);

    // while off, nothing is built
    layer->SetShadowSmooth(1);
    EXPECT_FALSE(layer->ShadowPicture);
    layer->SetShadowEnabled(true);
    ASSERT_TRUE(layer->ShadowPicture);
    EXPECT_EQ(layer->ShadowPicture->Width(), 200 + 2 + 20);
    // smoothness and colour rebuild at once
    layer->SetShadowSmooth(2);
    EXPECT_EQ(layer->ShadowPicture->Width(), 200 + 6 + 20);
    layer->SetShadowColor(0xFF102030);
    EXPECT_EQ(layer->ShadowPicture->Pixel(0, 0) & 0x00FFFFFFu, 0x102030u);
    // offsets only move it
    const TBitmap32* before = layer->ShadowPicture.get();
    layer->SetShadowOffsetX(-7);
    layer->SetShadowOffsetY(9);
    EXPECT_EQ(layer->ShadowPicture.get(), before);
    EXPECT_EQ(layer->ShadowOffsetX, -7);
    EXPECT_EQ(layer->ShadowOffsetY, 9);
    // off keeps the picture allocated; a resize while off does not rebuild
    layer->SetShadowEnabled(false);
    ASSERT_TRUE(layer->ShadowPicture);
    layer->SetLocation({0, 0, 100, 100});
    EXPECT_EQ(layer->ShadowPicture->Width(), 226);
    layer->SetShadowEnabled(true);
    EXPECT_EQ(layer->ShadowPicture->Width(), 126);
}

TEST(NewRotLayer, MaskAndSubFrameOwnershipAndNames) {
    TLayerCollection layers;
    auto* layer = AddPictureLayer(layers, Filled(40, 40, 0xFF00FF00), {0, 0, 40, 40});
    layer->AssignMask(nullptr); // a missing picture does nothing
    layer->AssignSubFrame(nullptr);
    EXPECT_FALSE(layer->MaskPicture || layer->SubFramePicture);

    TBitmap32 mask = CircleMask(40, 40);
    layer->AssignMask(&mask);
    layer->MaskName = "Circle\\yuan13.msk";
    mask.Clear(0); // the layer keeps its own copy
    ASSERT_TRUE(layer->MaskPicture && layer->ScreenMask);
    EXPECT_EQ(layer->MaskPicture->Pixel(20, 20), 0xFFFFFFFFu);
    layer->ClearMask();
    EXPECT_FALSE(layer->MaskPicture || layer->ScreenMask);
    EXPECT_EQ(layer->MaskName, "");

    TBitmap32 frame = Filled(40, 40, 0x80FF0000), cut = Filled(40, 40, 0xFFFFFFFF);
    layer->AssignSubFrame(&frame, &cut);
    ASSERT_TRUE(layer->SubFramePicture && layer->SubFrameMask && layer->ScreenSubFrame &&
                layer->ScreenSubFrameMask);
    layer->AssignSubFrame(&frame); // without a mask the old cut-out goes
    EXPECT_FALSE(layer->SubFrameMask || layer->ScreenSubFrameMask);
    layer->SubFrameName = "Free\\f1.frm";
    layer->ClearSubFrame();
    EXPECT_FALSE(layer->SubFramePicture || layer->ScreenSubFrame);
    EXPECT_EQ(layer->SubFrameName, "");

    auto font = std::make_unique<TLayerFont>();
    font->Font.setFamily("Liberation Sans");
    font->Color = 0xFF112233;
    layer->SetFont(std::move(font));
    ASSERT_TRUE(layer->Font);
    EXPECT_EQ(layer->Font->Color, 0xFF112233u);
}

// ---- View mapping and transforms ----

TEST(NewRotLayer, ViewMappingFollowsTheCanvas) {
    TImage32 image;
    SetUpCanvas(image, 400, 300, 300, 200, 0.5f); // shown 200 × 150 at (50, 25)
    auto* layer = image.Layers.Add<TNewRotLayer>();
    const TFloatRect r{10, 20, 110, 220};
    EXPECT_EQ(layer->LocationToView(r), r); // not scaled: unchanged
    layer->SetScaled(true);
    EXPECT_EQ(layer->LocationToView(r), (TFloatRect{55, 35, 105, 135}));
    EXPECT_EQ(layer->LocationScaled(r), (TFloatRect{5, 10, 55, 110}));
}

TEST(NewRotLayer, PlacementTransformsComposeInOrder) {
    TImage32 image;
    SetUpCanvas(image, 400, 300, 300, 200, 0.5f);
    auto* layer = AddPictureLayer(image.Layers, Filled(200, 100, 0xFFFFFFFF), {100, 100, 300, 200});
    layer->SetAngle(90);
    double x, y;
    // full resolution: the RenderBuffer centre (100, 50) lands on the view
    // centre of Location, (200·0.5 + 50, 150·0.5 + 25)
    layer->AdjustTransformation().Transform(100, 50, x, y);
    EXPECT_NEAR(x, 150, 1e-9);
    EXPECT_NEAR(y, 100, 1e-9);
    // a point below the centre turns to the right (counter-clockwise)
    layer->Transformation.Transform(100, 60, x, y);
    EXPECT_NEAR(x, 155, 1e-9);
    EXPECT_NEAR(y, 100, 1e-9);

    // the shadow's centre sits on the layer centre plus the unrotated offsets
    layer->SetShadowEnabled(true);
    const TBitmap32& sp = *layer->ShadowPicture;
    layer->AdjustShadowTransformation().Transform(sp.Width() / 2.0, sp.Height() / 2.0, x, y);
    EXPECT_NEAR(x, 150 + 35 * 0.5, 1e-6);
    EXPECT_NEAR(y, 100 + 35 * 0.5, 1e-6);

    // screen: bitmap centre (rounded halves) on the view centre
    layer->ScreenBoxTransformation(101, 51).Transform(50, 26, x, y); // round(50.5) = 50, round(25.5) = 26
    EXPECT_NEAR(x, 150 - 50 + 50, 1e-6);                          // v.Left + 50
    EXPECT_NEAR(y, 75 + 26, 1e-6);                                // v.Top + 26
}

// ---- Hit test ----

TEST(NewRotLayer, HitTestThroughRotation) {
    TImage32 image;
    SetUpCanvas(image, 400, 300, 400, 300, 1.0f);
    auto* layer = AddPictureLayer(image.Layers, Filled(200, 100, 0xFFFFFFFF), {100, 100, 300, 200});
    layer->SetAngle(90);
    TBitmap32 buffer;
    image.PaintTo(buffer); // paints set the screen transform

    // a point right of the view centre maps below the bitmap centre
    double bx, by;
    ASSERT_TRUE(layer->Transformation.ReverseTransform(210, 150, bx, by));
    EXPECT_NEAR(bx, 100, 1e-6);
    EXPECT_NEAR(by, 60, 1e-6);

    // the turned box is 100 wide and 200 high on screen
    EXPECT_TRUE(layer->DoHitTest(200, 150));
    EXPECT_TRUE(layer->DoHitTest(200, 245));
    EXPECT_FALSE(layer->DoHitTest(200, 255));
    EXPECT_FALSE(layer->DoHitTest(280, 150)); // inside the unrotated box, outside the turned one
    EXPECT_TRUE(layer->DoHitTest(245, 150));
    EXPECT_EQ(image.Layers.LayerAt(200, 240), layer);
    EXPECT_EQ(image.Layers.LayerAt(280, 150), nullptr);
}

TEST(NewRotLayer, HitTestFollowsTheMaskAndSkipsBorders) {
    TImage32 image;
    SetUpCanvas(image, 200, 200, 200, 200, 1.0f);
    auto* layer = AddPictureLayer(image.Layers, Filled(100, 100, 0xFFFFFFFF), {50, 50, 150, 150});
    TBitmap32 mask = CircleMask(100, 100);
    layer->AssignMask(&mask);
    TBitmap32 buffer;
    image.PaintTo(buffer);
    EXPECT_TRUE(layer->DoHitTest(100, 100));
    EXPECT_TRUE(layer->DoHitTest(52, 100));
    EXPECT_FALSE(layer->DoHitTest(53, 53)); // transparent corner of the box
    EXPECT_FALSE(layer->DoHitTest(146, 146));
    EXPECT_FALSE(layer->DoHitTest(49, 100)); // outside the box
    layer->AlphaHit = false;                 // then the whole box counts
    EXPECT_TRUE(layer->DoHitTest(53, 53));

    auto* border =
        AddPictureLayer(image.Layers, Filled(200, 200, 0xFFFFFFFF), {0, 0, 200, 200}, itBorderFrame);
    image.PaintTo(buffer);
    EXPECT_FALSE(border->DoHitTest(100, 100));
    EXPECT_FALSE(border->DoHitTest(5, 5));
    EXPECT_EQ(image.Layers.LayerAt(100, 100), layer); // found through the border
}

TEST(NewRotLayer, HitTestAtZoomUsesTheScreenPicture) {
    TImage32 image;
    SetUpCanvas(image, 400, 400, 200, 200, 0.5f);
    TBitmap32 pic = Filled(100, 100, 0xFFFFFFFF);
    pic.FillRect(50, 0, 100, 100, 0x00000000); // right half transparent
    auto* layer = AddPictureLayer(image.Layers, pic, {100, 100, 300, 300});
    TBitmap32 buffer;
    image.PaintTo(buffer);
    // view box (50, 50)-(150, 150), the picture's left half opaque
    EXPECT_TRUE(layer->DoHitTest(60, 100));
    EXPECT_TRUE(layer->DoHitTest(98, 100));
    EXPECT_FALSE(layer->DoHitTest(102, 100));
    EXPECT_FALSE(layer->DoHitTest(140, 100));
}
