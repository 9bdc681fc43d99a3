#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "engine/Image32.h"
#include "engine/RotRubberbandLayer.h"

namespace {

using DS = TDragState;

// A canvas control showing a 400 × 300 canvas at scale 1 with no shift, so
// view and canvas coordinates agree, and one handles layer on the box
// (100, 100, 300, 200): view box right/bottom edges 299/199 inclusive.
struct Canvas {
    TImage32 Img;
    TRotRubberbandLayer* H;

    explicit Canvas(int w = 400, int h = 300) {
        Img.Bitmap.SetSize(400, 300);
        Img.BitmapResized();
        Img.SetSize(w, h);
        H = Img.Layers.Add<TRotRubberbandLayer>();
        H->SetLocation({100, 100, 300, 200});
        H->SetRotateCursor(crRotate);
    }
    void Down(int x, int y, TMouseButton b = TMouseButton::Left, TShiftState s = ssLeft) {
        Img.MouseDown(b, s, x, y);
    }
    void Move(int x, int y, TShiftState s = ssLeft) { Img.MouseMove(s, x, y); }
    void Up(int x, int y, TMouseButton b = TMouseButton::Left) { Img.MouseUp(b, 0, x, y); }
    void Drag(int x0, int y0, int x1, int y1) {
        Down(x0, y0);
        Move(x1, y1);
        Up(x1, y1);
    }
};

// Where a point of the unrotated view box appears on screen: rotated about
// the centre of the rounded view box, counter-clockwise for positive angles.
void ToScreen(const TRotRubberbandLayer& h, double x, double y, double& sx, double& sy) {
    const TRect v = RoundRect(h.LocationToView(h.Location()));
    const double cx = (v.Left + v.Right) / 2.0, cy = (v.Top + v.Bottom) / 2.0;
    const double a = h.Angle() * M_PI / 180.0;
    sx = cx + (x - cx) * std::cos(a) + (y - cy) * std::sin(a);
    sy = cy - (x - cx) * std::sin(a) + (y - cy) * std::cos(a);
}
TPoint ScreenPoint(const TRotRubberbandLayer& h, double x, double y) {
    double sx, sy;
    ToScreen(h, x, y, sx, sy);
    return {int(std::lround(sx)), int(std::lround(sy))};
}

// Screen position of a canvas point of a box rotated about its centre
// (view = canvas here).
void CanvasCorner(const TFloatRect& r, float angle, double x, double y, double& sx, double& sy) {
    const double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
    const double a = angle * M_PI / 180.0;
    sx = cx + (x - cx) * std::cos(a) + (y - cy) * std::sin(a);
    sy = cy - (x - cx) * std::sin(a) + (y - cy) * std::cos(a);
}

void ExpectRect(const TFloatRect& r, float l, float t, float rr, float b, float tol = 1e-3f) {
    EXPECT_NEAR(r.Left, l, tol);
    EXPECT_NEAR(r.Top, t, tol);
    EXPECT_NEAR(r.Right, rr, tol);
    EXPECT_NEAR(r.Bottom, b, tol);
}

} // namespace

// ---- Construction ----

TEST(Handles, CapturesThePointer) {
    TLayerCollection layers;
    auto* h = layers.Add<TRotRubberbandLayer>();
    EXPECT_EQ(layers.Items(layers.Count() - 1), h);
    EXPECT_TRUE(h->Visible() && h->ReceivesMouse() && h->CapturesMouse());
    EXPECT_TRUE(h->Scaled);
    EXPECT_EQ(h->HandleFlags(), hfMoveArea | hfSideHandles | hfCornerHandles | hfFrame);
}

TEST(Handles, SettersNotify) {
    TLayerCollection layers;
    int changes = 0;
    layers.OnChange = [&] { ++changes; };
    auto* h = layers.Add<TRotRubberbandLayer>();
    changes = 0;
    h->SetHandleFlags(15);
    h->SetLocked(false);
    EXPECT_EQ(changes, 0); // unchanged values do not repaint
    h->SetHandleFlags(7);
    h->SetLocked(true);
    h->SetLocation({1, 2, 3, 4});
    h->SetAngle(10);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(h->HandleFlags(), 7);
    EXPECT_TRUE(h->Locked());
    EXPECT_EQ(h->Location(), (TFloatRect{1, 2, 3, 4}));
}

TEST(Handles, SetAngleNormalisation) {
    TLayerCollection layers;
    auto* h = layers.Add<TRotRubberbandLayer>();
    auto angle = [&](float a) {
        h->SetAngle(a);
        return h->Angle();
    };
    EXPECT_FLOAT_EQ(angle(-30), 330);
    EXPECT_FLOAT_EQ(angle(725), 5);
    EXPECT_FLOAT_EQ(angle(360), 0);
    EXPECT_FLOAT_EQ(angle(0), 0);
    EXPECT_FLOAT_EQ(angle(359.5f), 359.5f);
    EXPECT_NEAR(angle(360.4f), 0.4f, 1e-4);
    EXPECT_NEAR(angle(-0.25f), 359.75f, 1e-4);
    EXPECT_NEAR(angle(-1000.5f), 79.5f, 1e-3);
    EXPECT_NEAR(angle(719.6f), 359.6f, 1e-3); // 719.6 − 720 lands below 0 and wraps
    // where taking off the rounded turns overshoots, the angle still ends
    // inside the circle
    EXPECT_FLOAT_EQ(angle(-360), 0);
    EXPECT_FLOAT_EQ(angle(-720), 0);
    EXPECT_NEAR(angle(-359.6f), 0.4f, 1e-3);
    for (float a : {1e10f, -1e10f, 3e38f, -3e38f, std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        const float r = angle(a);
        EXPECT_TRUE(r >= 0 && r < 360) << a << " -> " << r;
    }
    EXPECT_EQ(angle(std::numeric_limits<float>::quiet_NaN()), 0);
}

// ---- Hit classification ----

TEST(Handles, ClassifiesUnrotatedBox) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    EXPECT_EQ(h.GetDragState(299, 199), DS::BottomRight);
    EXPECT_EQ(h.GetDragState(100, 199), DS::BottomLeft);
    EXPECT_EQ(h.GetDragState(299, 100), DS::TopRight);
    EXPECT_EQ(h.GetDragState(100, 100), DS::TopLeft);
    EXPECT_EQ(h.GetDragState(299, 149), DS::Right);
    EXPECT_EQ(h.GetDragState(199, 199), DS::Bottom);
    EXPECT_EQ(h.GetDragState(100, 149), DS::Left);
    EXPECT_EQ(h.GetDragState(199, 100), DS::Top);
    // tolerance HandleSize + 1 = 5 on both sides of the inclusive edge
    EXPECT_EQ(h.GetDragState(304, 204), DS::BottomRight);
    EXPECT_EQ(h.GetDragState(305, 204), DS::None);
    EXPECT_EQ(h.GetDragState(95, 95), DS::TopLeft);
    EXPECT_EQ(h.GetDragState(94, 100), DS::None);
    EXPECT_EQ(h.GetDragState(199, 106), DS::Move);
    EXPECT_EQ(h.GetDragState(206, 100), DS::Move); // beside the top handle: inside the box
    EXPECT_EQ(h.GetDragState(206, 99), DS::None);  // ... and just above the box
    // move area: [left, right') × [top, bottom')
    EXPECT_EQ(h.GetDragState(150, 120), DS::Move);
    EXPECT_EQ(h.GetDragState(298, 170), DS::Move);
    // the rotation handle: (round(399 / 2), 100 − 20) = (200, 80), reach 6
    EXPECT_EQ(h.GetDragState(200, 80), DS::Rotate);
    EXPECT_EQ(h.GetDragState(206, 74), DS::Rotate);
    EXPECT_EQ(h.GetDragState(207, 80), DS::None);
    EXPECT_EQ(h.GetDragState(200, 73), DS::None);
    EXPECT_EQ(h.GetDragState(10, 10), DS::None);
    EXPECT_TRUE(h.DoHitTest(200, 80));
    EXPECT_FALSE(h.DoHitTest(10, 10));
    EXPECT_EQ(c.Img.Layers.LayerAt(150, 150), c.H);
}

TEST(Handles, FlagsSwitchHandlesOff) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetHandleFlags(hfMoveArea | hfSideHandles); // no corners
    EXPECT_EQ(h.GetDragState(299, 199), DS::None);
    EXPECT_EQ(h.GetDragState(299, 149), DS::Right);
    h.SetHandleFlags(hfMoveArea | hfCornerHandles);
    EXPECT_EQ(h.GetDragState(299, 199), DS::BottomRight);
    EXPECT_EQ(h.GetDragState(299, 149), DS::None); // the right edge is outside the move area
    EXPECT_EQ(h.GetDragState(298, 149), DS::Move);
    h.SetHandleFlags(hfCornerHandles | hfSideHandles | hfNoTopLeft | hfNoLeft);
    EXPECT_EQ(h.GetDragState(100, 100), DS::None);
    EXPECT_EQ(h.GetDragState(100, 149), DS::None);
    EXPECT_EQ(h.GetDragState(150, 150), DS::None);  // no move area
    EXPECT_EQ(h.GetDragState(200, 80), DS::Rotate); // the rotation handle has no flag
    EXPECT_EQ(h.GetDragState(100, 199), DS::BottomLeft);
}

// On a box smaller than the tolerance every test matches; the first one in
// the fixed order wins.
TEST(Handles, OrderOfTestsOnATinyBox) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetLocation({100, 100, 108, 108}); // inclusive edges 100..107, centre 103
    const THandleFlags all = hfMoveArea | hfSideHandles | hfCornerHandles;
    const std::pair<THandleFlags, DS> steps[] = {
        {0, DS::BottomRight},
        {hfNoBottomRight, DS::BottomLeft},
        {hfNoBottomRight | hfNoBottomLeft, DS::TopRight},
        {hfNoBottomRight | hfNoBottomLeft | hfNoTopRight, DS::TopLeft},
        {hfNoBottomRight | hfNoBottomLeft | hfNoTopRight | hfNoTopLeft, DS::Right},
        {hfNoBottomRight | hfNoBottomLeft | hfNoTopRight | hfNoTopLeft | hfNoRight, DS::Bottom},
        {hfNoBottomRight | hfNoBottomLeft | hfNoTopRight | hfNoTopLeft | hfNoRight | hfNoBottom, DS::Left},
        {hfNoBottomRight | hfNoBottomLeft | hfNoTopRight | hfNoTopLeft | hfNoRight | hfNoBottom | hfNoLeft,
         DS::Top},
        {hfNoBottomRight | hfNoBottomLeft | hfNoTopRight | hfNoTopLeft | hfNoRight | hfNoBottom | hfNoLeft |
             hfNoTop,
         DS::Move},
    };
    for (const auto& [no, want] : steps) {
        h.SetHandleFlags(THandleFlags(all | no));
        EXPECT_EQ(h.GetDragState(103, 103), want) << "flags " << (all | no);
    }
    // the picture handle comes before the move area
    h.PictureHandle.SetSize(4, 4);
    h.SetHandleFlags(THandleFlags(hfMoveArea | hfPictureHandle));
    EXPECT_EQ(h.GetDragState(103, 103), DS::Pan);
    // a box too short for a move area: right below the rotation handle
    h.SetHandleFlags(hfMoveArea);
    h.SetLocation({100, 100, 110, 101});
    EXPECT_EQ(h.GetDragState(104, 100), DS::None);
    h.SetLocation({100, 100, 110, 124}); // handle at (105, 80), top edge at 100
    EXPECT_EQ(h.GetDragState(105, 86), DS::Rotate);
    EXPECT_EQ(h.GetDragState(105, 87), DS::None);
}

TEST(Handles, RotatedBoxHandlesFollowTheRotation) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetAngle(90);
    // counter-clockwise: the top handle shows on the left side of the box
    const TPoint top = ScreenPoint(h, 199, 100);
    EXPECT_EQ(top, (TPoint{150, 151}));
    EXPECT_EQ(h.GetDragState(top.X, top.Y), DS::Top);
    EXPECT_EQ(h.GetDragState(150, 150), DS::Top);
    // the unrotated places of the handles now are nothing or inside the box
    EXPECT_EQ(h.GetDragState(199, 100), DS::Move);
    EXPECT_EQ(h.GetDragState(299, 199), DS::None);
    const TPoint rot = ScreenPoint(h, 200, 80);
    EXPECT_EQ(rot, (TPoint{130, 150}));
    EXPECT_EQ(h.GetDragState(rot.X, rot.Y), DS::Rotate);
    // every handle at its rotated place, for a few angles
    for (float a : {30.0f, 135.0f, 200.0f, 333.0f}) {
        h.SetAngle(a);
        const std::pair<TPoint, DS> handles[] = {
            {{299, 199}, DS::BottomRight}, {{100, 199}, DS::BottomLeft}, {{299, 100}, DS::TopRight},
            {{100, 100}, DS::TopLeft},     {{299, 149}, DS::Right},      {{199, 199}, DS::Bottom},
            {{100, 149}, DS::Left},        {{199, 100}, DS::Top},        {{150, 130}, DS::Move},
            {{200, 80}, DS::Rotate},
        };
        for (const auto& [p, want] : handles) {
            const TPoint s = ScreenPoint(h, p.X, p.Y);
            EXPECT_EQ(h.GetDragState(s.X, s.Y), want) << "angle " << a << " at " << p.X << "," << p.Y;
        }
    }
}

TEST(Handles, HitTestFollowsTheViewMapping) {
    // 1000 × 800 control showing the 400 × 300 canvas at 200 %: shift (100, 100)
    Canvas c(1000, 800);
    c.Img.SetScale(2);
    TRotRubberbandLayer& h = *c.H;
    const TFloatRect v = h.LocationToView(h.Location());
    ExpectRect(v, 300, 300, 700, 500);
    EXPECT_EQ(h.GetDragState(699, 499), DS::BottomRight);
    EXPECT_EQ(h.GetDragState(500, 280), DS::Rotate); // 20 view pixels, not canvas pixels
    h.Scaled = false;
    EXPECT_EQ(h.GetDragState(299, 199), DS::BottomRight);
}

// ---- Picture handle ----

TEST(Handles, PictureHandleStartsAPanElsewhereAMove) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.PictureHandle.SetSize(20, 20);
    h.SetHandleFlags(THandleFlags(h.HandleFlags() | hfPictureHandle));
    // picture area x [(399 − 20) div 2, (399 + 20) div 2) = [189, 209), y [139, 159)
    EXPECT_EQ(h.GetDragState(189, 139), DS::Pan);
    EXPECT_EQ(h.GetDragState(208, 158), DS::Pan);
    EXPECT_EQ(h.GetDragState(209, 150), DS::Move);
    EXPECT_EQ(h.GetDragState(200, 159), DS::Move);

    std::vector<DS> downs;
    h.OnHandleMouseDown = [&](TRotRubberbandLayer*, DS s, int, int, TShiftState, TMouseButton) {
        downs.push_back(s);
    };
    c.Down(200, 150);
    EXPECT_TRUE(h.IsDragging());
    EXPECT_EQ(h.DragState(), DS::Pan);
    // while a drag runs the picture area does not answer
    EXPECT_EQ(h.GetDragState(200, 150), DS::Move);
    c.Up(200, 150);
    c.Down(120, 120);
    c.Up(120, 120);
    EXPECT_EQ(downs, (std::vector<DS>{DS::Pan, DS::Move}));
    // without the flag the middle is a move area
    h.SetHandleFlags(15);
    EXPECT_EQ(h.GetDragState(200, 150), DS::Move);
}

// ---- Dragging ----

TEST(Handles, MoveThroughTheCanvas) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    c.Down(150, 150);
    EXPECT_EQ(h.DragState(), DS::Move);
    EXPECT_EQ(h.GrabOffset(), (TFloatPoint{50, 50}));
    EXPECT_EQ(c.Img.Layers.MouseListener, c.H);
    c.Move(160, 170);
    ExpectRect(h.Location(), 110, 120, 310, 220);
    // far outside the box the layer still holds the pointer
    c.Move(-40, 0);
    ExpectRect(h.Location(), -90, -50, 110, 50);
    c.Up(-40, 0);
    EXPECT_FALSE(h.IsDragging());
    EXPECT_EQ(c.Img.Layers.MouseListener, nullptr);
    EXPECT_EQ(h.OldLocation(), (TFloatRect{100, 100, 300, 200}));
}

TEST(Handles, MoveAtZoom) {
    Canvas c(1000, 800);
    c.Img.SetScale(2);
    TRotRubberbandLayer& h = *c.H;
    c.Down(400, 400);
    ASSERT_EQ(h.DragState(), DS::Move);
    c.Move(420, 430);
    ExpectRect(h.Location(), 110, 115, 310, 215);
    c.Up(420, 430);
}

TEST(Handles, CornerKeepsTheAspectRatio) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    c.Drag(299, 199, 400, 120); // the vertical pointer position does not matter
    ExpectRect(h.Location(), 100, 100, 400, 250);

    // whole pixels of height, divided with truncation: 100 · 301 div 200 = 150
    h.SetLocation({100, 100, 300, 200});
    c.Drag(299, 199, 401, 199);
    ExpectRect(h.Location(), 100, 100, 401, 250);

    // top-left keeps the bottom-right corner
    h.SetLocation({100, 100, 300, 200});
    c.Drag(100, 100, 0, 150);
    ExpectRect(h.Location(), 0, 50, 300, 200);

    // sizes whose products pass 2^31
    h.SetLocation({0, 0, 100000, 50000});
    c.Img.SetSize(200000, 200000);
    c.Img.Bitmap.SetSize(1, 1);
    c.Img.BitmapResized();
    h.Scaled = false;
    c.Drag(99999, 49999, 150000, 0);
    ExpectRect(h.Location(), 0, 0, 150000, 75000);
}

TEST(Handles, SidesChangeOneDimension) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    c.Drag(299, 149, 400, 170);
    ExpectRect(h.Location(), 100, 100, 400, 200);
    h.SetLocation({100, 100, 300, 200});
    c.Drag(199, 199, 150, 260);
    ExpectRect(h.Location(), 100, 100, 300, 260);
    h.SetLocation({100, 100, 300, 200});
    c.Drag(100, 149, 40, 10);
    ExpectRect(h.Location(), 40, 100, 300, 200);
    h.SetLocation({100, 100, 300, 200});
    c.Drag(199, 100, 0, 120);
    ExpectRect(h.Location(), 100, 120, 300, 200);
}

TEST(Handles, MinimumAndMaximumSize) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    c.Drag(299, 149, 50, 149); // past the left edge
    ExpectRect(h.Location(), 100, 100, 110, 200);
    h.SetLocation({100, 100, 300, 200});
    c.Drag(199, 100, 199, 290);
    ExpectRect(h.Location(), 100, 190, 300, 200);
    h.SetLocation({100, 100, 300, 200});
    c.Drag(100, 149, 299, 149);
    ExpectRect(h.Location(), 290, 100, 300, 200);
    // a maximum not below the minimum limits growth
    h.MaxWidth = 150;
    h.SetLocation({100, 100, 300, 200});
    c.Drag(299, 149, 390, 149);
    ExpectRect(h.Location(), 100, 100, 250, 200);
    // a maximum below the minimum is ignored
    h.MaxWidth = 5;
    h.SetLocation({100, 100, 300, 200});
    c.Drag(299, 149, 390, 149);
    ExpectRect(h.Location(), 100, 100, 390, 200);
}

TEST(Handles, RotatedResizeKeepsTheOppositeEdgeOnScreen) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetAngle(30);
    const TFloatRect before = h.Location();
    double ltx0, lty0, lbx0, lby0;
    CanvasCorner(before, 30, before.Left, before.Top, ltx0, lty0);
    CanvasCorner(before, 30, before.Left, before.Bottom, lbx0, lby0);

    const TPoint grab = ScreenPoint(h, 299, 149);
    ASSERT_EQ(h.GetDragState(grab.X, grab.Y), DS::Right);
    const TPoint to = ScreenPoint(h, 350, 149);
    c.Down(grab.X, grab.Y);
    c.Move(to.X, to.Y);
    c.Up(to.X, to.Y);

    const TFloatRect after = h.Location();
    EXPECT_NEAR(after.Width(), 250, 1.0);
    EXPECT_NEAR(after.Height(), 100, 1e-3);
    EXPECT_GT(std::fabs(after.Left - before.Left), 1); // the box itself had to shift
    double ltx1, lty1, lbx1, lby1;
    CanvasCorner(after, 30, after.Left, after.Top, ltx1, lty1);
    CanvasCorner(after, 30, after.Left, after.Bottom, lbx1, lby1);
    EXPECT_NEAR(ltx1, ltx0, 1e-2);
    EXPECT_NEAR(lty1, lty0, 1e-2);
    EXPECT_NEAR(lbx1, lbx0, 1e-2);
    EXPECT_NEAR(lby1, lby0, 1e-2);
}

TEST(Handles, RotatedTopHandleResizesTheHeight) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetAngle(90);
    // the top handle shows at (150, 151); pulling it further left makes the
    // box taller, its bottom edge (on the right on screen) staying put
    c.Drag(150, 151, 130, 151);
    ExpectRect(h.Location(), 90, 90, 290, 210);
    EXPECT_FLOAT_EQ(h.Angle(), 90);
}

TEST(Handles, RotationFollowsThePointer) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    int moves = 0;
    h.OnHandleMouseMove = [&](TRotRubberbandLayer*, DS s, int, int, TShiftState) {
        EXPECT_EQ(s, DS::Rotate);
        ++moves;
    };
    c.Down(200, 80);
    ASSERT_EQ(h.DragState(), DS::Rotate);
    c.Move(200, 40); // above the centre (200, 150)
    EXPECT_FLOAT_EQ(h.Angle(), 0);
    EXPECT_EQ(moves, 1);
    c.Move(260, 150); // right: level with the centre, no callback
    EXPECT_FLOAT_EQ(h.Angle(), 270);
    EXPECT_EQ(moves, 1);
    c.Move(140, 150); // left, also level
    EXPECT_FLOAT_EQ(h.Angle(), 90);
    EXPECT_EQ(moves, 1);
    c.Move(200, 250); // below
    EXPECT_FLOAT_EQ(h.Angle(), 180);
    c.Move(250, 100); // up and right: a quarter turn clockwise is 315
    EXPECT_NEAR(h.Angle(), 315, 1e-4);
    EXPECT_EQ(moves, 3);
    // wherever the pointer goes, the rotation handle lies on the ray from the
    // centre through it
    for (auto [x, y] : {std::pair{380, 20}, {10, 290}, {30, 60}, {201, 400}, {399, 151}}) {
        c.Move(x, y);
        double hx, hy;
        ToScreen(h, 200, 80, hx, hy);
        const double px = x - 200.0, py = y - 150.0, qx = hx - 200.0, qy = hy - 150.0;
        EXPECT_NEAR((px * qy - py * qx) / std::hypot(px, py), 0, 1.0) << x << "," << y;
        EXPECT_GT(px * qx + py * qy, 0) << x << "," << y;
    }
    c.Up(399, 151);
    ExpectRect(h.Location(), 100, 100, 300, 200); // rotating never moves the box
    EXPECT_FLOAT_EQ(h.OldAngle(), 0);
}

TEST(Handles, CallbackArguments) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    struct Call {
        std::string Kind;
        TRotRubberbandLayer* Sender;
        DS State;
        int X, Y;
        TShiftState Shift;
        TMouseButton Button;
    };
    std::vector<Call> calls;
    h.OnHandleMouseDown = [&](TRotRubberbandLayer* s, DS st, int x, int y, TShiftState sh, TMouseButton b) {
        calls.push_back({"down", s, st, x, y, sh, b});
        // the drag is already set up when the main window hears of it
        EXPECT_TRUE(s->IsDragging());
        EXPECT_EQ(s->OldLocation(), s->Location());
    };
    h.OnHandleMouseMove = [&](TRotRubberbandLayer* s, DS st, int x, int y, TShiftState sh) {
        calls.push_back({"move", s, st, x, y, sh, TMouseButton::Left});
    };
    h.OnHandleMouseUp = [&](TRotRubberbandLayer* s, DS st, int x, int y, TShiftState sh, TMouseButton b) {
        calls.push_back({"up", s, st, x, y, sh, b});
        EXPECT_FALSE(s->IsDragging());
    };
    int dbl = 0;
    h.OnHandleDblClick = [&](TRotRubberbandLayer* s) {
        EXPECT_EQ(s, c.H);
        ++dbl;
    };
    c.Img.MouseDown(TMouseButton::Right, ssRight | ssCtrl, 299, 199);
    c.Img.MouseMove(ssRight | ssShift, 320, 230);
    c.Img.MouseUp(TMouseButton::Right, ssAlt, 321, 231);
    c.Img.DblClick(200, 150);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Kind, "down");
    EXPECT_EQ(calls[0].Sender, c.H);
    EXPECT_EQ(calls[0].State, DS::BottomRight);
    EXPECT_EQ(calls[0].X, 299);
    EXPECT_EQ(calls[0].Y, 199);
    EXPECT_EQ(calls[0].Shift, TShiftState(ssRight | ssCtrl));
    EXPECT_EQ(calls[0].Button, TMouseButton::Right);
    EXPECT_EQ(calls[1].Kind, "move");
    EXPECT_EQ(calls[1].State, DS::BottomRight);
    EXPECT_EQ(calls[1].X, 320); // the pointer as it came, not the box corner
    EXPECT_EQ(calls[1].Y, 230);
    EXPECT_EQ(calls[1].Shift, TShiftState(ssRight | ssShift));
    EXPECT_EQ(calls[2].Kind, "up");
    EXPECT_EQ(calls[2].State, DS::BottomRight);
    EXPECT_EQ(calls[2].X, 321);
    EXPECT_EQ(calls[2].Shift, TShiftState(ssAlt));
    EXPECT_EQ(calls[2].Button, TMouseButton::Right);
    EXPECT_EQ(dbl, 1);

    // a second press while a drag runs is ignored
    calls.clear();
    c.Down(150, 150);
    c.Img.MouseDown(TMouseButton::Right, ssLeft | ssRight, 299, 199);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(h.DragState(), DS::Move);
}

TEST(Handles, LockedOnlyPansCallBack) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.PictureHandle.SetSize(20, 20);
    h.SetHandleFlags(THandleFlags(h.HandleFlags() | hfPictureHandle));
    h.SetLocked(true);
    std::vector<DS> downs, moves, ups;
    h.OnHandleMouseDown = [&](TRotRubberbandLayer*, DS s, int, int, TShiftState, TMouseButton) {
        downs.push_back(s);
    };
    h.OnHandleMouseMove = [&](TRotRubberbandLayer*, DS s, int, int, TShiftState) { moves.push_back(s); };
    h.OnHandleMouseUp = [&](TRotRubberbandLayer*, DS s, int, int, TShiftState, TMouseButton) {
        ups.push_back(s);
    };
    const TFloatRect start = h.Location();
    c.Drag(150, 150, 170, 180); // move
    c.Drag(299, 199, 400, 280); // corner
    c.Drag(299, 149, 390, 149); // side
    c.Drag(200, 80, 300, 150);  // rotate
    c.Drag(200, 150, 230, 160); // pan
    EXPECT_EQ(h.Location(), start);
    EXPECT_EQ(h.Angle(), 0);
    EXPECT_EQ(moves, (std::vector<DS>{DS::Pan}));
    // presses and releases are still reported: the main window says why
    // nothing moved
    EXPECT_EQ(downs, (std::vector<DS>{DS::Move, DS::BottomRight, DS::Right, DS::Rotate, DS::Pan}));
    EXPECT_EQ(ups, downs);
}

// ---- Cursors ----

TEST(Handles, CursorTable) {
    // right side (base 0) turning through all 16 sectors
    const TCursorKind WE = TCursorKind::SizeWE, NESW = TCursorKind::SizeNESW, NS = TCursorKind::SizeNS,
                      NWSE = TCursorKind::SizeNWSE;
    const TCursorKind sectors[16] = {WE, NESW, NESW, NS, NS, NWSE, NWSE, WE,
                                     WE, NESW, NESW, NS, NS, NWSE, NWSE, WE};
    for (int k = 0; k < 16; ++k) {
        for (double off : {-11.2, 0.0, 11.2}) {
            const float a = float(std::fmod(k * 22.5 + off + 360.0, 360.0));
            EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(DS::Right, a), sectors[k]) << "angle " << a;
        }
    }
    // halves round to the even sector: 11.25 → 0, 33.75 → 2, 56.25 → 2, 78.75 → 4
    EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(DS::Right, 11.25f), WE);
    EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(DS::Right, 33.75f), NESW);
    EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(DS::Right, 56.25f), NESW);
    EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(DS::Right, 78.75f), NS);
    // the other handles are the right side turned by their base angle
    const std::pair<DS, float> bases[] = {{DS::Left, 180},       {DS::Top, 90},      {DS::Bottom, 270},
                                          {DS::TopLeft, 135},    {DS::TopRight, 45}, {DS::BottomLeft, 225},
                                          {DS::BottomRight, 315}};
    for (const auto& [s, base] : bases)
        for (float a = 0; a < 360; a += 7.5f)
            EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(s, a),
                      TRotRubberbandLayer::ResizeCursor(DS::Right, std::fmod(base + a, 360.0f)))
                << int(s) << " at " << a;
    EXPECT_EQ(TRotRubberbandLayer::ResizeCursor(DS::Move, 0), TCursorKind::Default);
}

TEST(Handles, HoverCursorThroughTheCanvas) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    auto hover = [&](int x, int y) {
        c.Move(x, y, 0);
        return c.Img.CursorAt(x, y);
    };
    EXPECT_EQ(hover(299, 100), TCursorKind::SizeNESW);
    EXPECT_EQ(hover(100, 100), TCursorKind::SizeNWSE);
    EXPECT_EQ(hover(299, 149), TCursorKind::SizeWE);
    EXPECT_EQ(hover(199, 199), TCursorKind::SizeNS);
    EXPECT_EQ(hover(150, 150), TCursorKind::Default);
    EXPECT_EQ(hover(200, 80), TCursorKind::Rotate);
    EXPECT_EQ(hover(10, 10), TCursorKind::Default);
    c.Move(299, 149, ssLeft); // a button held from elsewhere: not a hover
    EXPECT_EQ(h.Cursor, TCursorKind::Rotate);
    h.SetAngle(90);
    const TPoint tr = ScreenPoint(h, 299, 100);
    EXPECT_EQ(tr, (TPoint{150, 51}));
    EXPECT_EQ(hover(tr.X, tr.Y), TCursorKind::SizeNWSE);
    const TPoint right = ScreenPoint(h, 299, 149);
    EXPECT_EQ(hover(right.X, right.Y), TCursorKind::SizeNS);
    h.SetAngle(0);

    h.PictureHandle.SetSize(20, 20);
    h.SetHandleFlags(THandleFlags(h.HandleFlags() | hfPictureHandle));
    EXPECT_EQ(hover(200, 150), TCursorKind::SizeAll);
    // the cursor stays while dragging and returns to the arrow on release
    EXPECT_EQ(hover(299, 100), TCursorKind::SizeNESW);
    c.Down(299, 100);
    c.Move(330, 60);
    EXPECT_EQ(c.Img.CursorAt(330, 60), TCursorKind::SizeNESW);
    c.Up(330, 60);
    EXPECT_EQ(h.Cursor, TCursorKind::Default);

    // a rotation cursor that was never registered stays the arrow
    h.SetRotateCursor(0);
    EXPECT_EQ(hover(200, 80), TCursorKind::Default);
}

TEST(Handles, LockedHoverOffersNoResizeOrRotation) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.PictureHandle.SetSize(20, 20);
    h.SetHandleFlags(THandleFlags(h.HandleFlags() | hfPictureHandle));
    h.SetLocked(true);
    auto hover = [&](int x, int y) {
        c.Move(x, y, 0);
        return c.Img.CursorAt(x, y);
    };
    EXPECT_EQ(hover(200, 150), TCursorKind::SizeAll);
    for (auto [x, y] : {std::pair{299, 199}, {299, 149}, {199, 100}, {200, 80}})
        EXPECT_EQ(hover(x, y), TCursorKind::SizeAll) << x << "," << y; // unchanged
    EXPECT_EQ(hover(150, 120), TCursorKind::Default);
    for (auto [x, y] : {std::pair{299, 199}, {299, 149}, {199, 100}, {200, 80}})
        EXPECT_EQ(hover(x, y), TCursorKind::Default) << x << "," << y;
}

// ---- Painting ----

namespace {
constexpr TColor32 kBack = 0xFF336699;
constexpr TColor32 kGreen = 0xFF00FF00;
constexpr TColor32 kBlack = 0xFF000000;
constexpr TColor32 kWhite = 0xFFFFFFFF;

TBitmap32 PaintHandles(TRotRubberbandLayer& h) {
    TBitmap32 b(400, 300);
    b.Clear(kBack);
    h.Paint(b);
    return b;
}

void ExpectSquare(const TBitmap32& b, int x, int y) {
    EXPECT_EQ(b.Pixel(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(b.Pixel(x - 3, y + 2), kWhite) << x << "," << y;
    EXPECT_EQ(b.Pixel(x - 4, y - 4), kBlack) << x << "," << y;
    EXPECT_EQ(b.Pixel(x + 3, y + 3), kBlack) << x << "," << y;
    EXPECT_EQ(b.Pixel(x + 3, y - 1), kBlack) << x << "," << y;
}
} // namespace

TEST(HandlesPaint, SquaresRotationHandleAndLine) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetHandleFlags(hfMoveArea | hfSideHandles | hfCornerHandles); // as selected: no frame
    const TBitmap32 b = PaintHandles(h);
    for (TPoint p : {TPoint{100, 100},
                     {300, 100},
                     {300, 200},
                     {100, 200},
                     {200, 100},
                     {100, 150},
                     {300, 150},
                     {200, 200}})
        ExpectSquare(b, p.X, p.Y);
    EXPECT_EQ(b.Pixel(104, 104), kBack); // squares span [x − 4, x + 4)
    EXPECT_EQ(b.Pixel(95, 100), kBack);
    EXPECT_EQ(b.Pixel(150, 100), kBack); // no frame
    EXPECT_EQ(b.Pixel(150, 150), kBack);
    // rotation handle at (200, 80): green disc, black rim
    EXPECT_EQ(b.Pixel(200, 80), kGreen);
    EXPECT_EQ(b.Pixel(204, 80), kGreen);
    EXPECT_EQ(b.Pixel(205, 80), kBlack);
    EXPECT_EQ(b.Pixel(206, 80), kBack);
    EXPECT_EQ(b.Pixel(200, 75), kBlack);
    // solid black line from the top handle to it
    for (int y = 86; y < 96; ++y) EXPECT_EQ(b.Pixel(200, y), kBlack) << y;
    EXPECT_EQ(b.Pixel(201, 90), kBack);

    // painted through the canvas, above the background
    TBitmap32 view;
    c.Img.PaintTo(view);
    EXPECT_EQ(view.Pixel(200, 80), kGreen);
    EXPECT_EQ(view.Pixel(100, 100), kWhite);
}

TEST(HandlesPaint, StippledFrameAndLine) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    const TBitmap32 b = PaintHandles(h); // default flags include the frame
    // top edge from (100, 100): white, white, black, black
    EXPECT_EQ(b.Pixel(108, 100), kWhite);
    EXPECT_EQ(b.Pixel(109, 100), kWhite);
    EXPECT_EQ(b.Pixel(110, 100), kBlack);
    EXPECT_EQ(b.Pixel(111, 100), kBlack);
    EXPECT_EQ(b.Pixel(112, 100), kWhite);
    // the right edge continues the count: (300, 100 + k) is position 200 + k
    EXPECT_EQ(b.Pixel(300, 110), kBlack);
    EXPECT_EQ(b.Pixel(300, 112), kWhite);
    EXPECT_EQ(b.Pixel(150, 150), kBack);
    // after 600 frame positions the line starts the pattern afresh at its
    // first pixel (200, 100) and runs upward
    EXPECT_EQ(b.Pixel(200, 86), kBlack); // position 14
    EXPECT_EQ(b.Pixel(200, 87), kWhite); // 13
    EXPECT_EQ(b.Pixel(200, 88), kWhite); // 12
    EXPECT_EQ(b.Pixel(200, 90), kBlack); // 10
}

TEST(HandlesPaint, RotatedCornersAndHandle) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetHandleFlags(hfMoveArea | hfSideHandles | hfCornerHandles);
    h.SetAngle(90);
    const TBitmap32 b = PaintHandles(h);
    // top-left (100, 100) shows at the bottom left, top-right at the top left
    ExpectSquare(b, 150, 250);
    ExpectSquare(b, 150, 50);
    ExpectSquare(b, 250, 50);
    ExpectSquare(b, 250, 250);
    ExpectSquare(b, 150, 150); // top side handle, on the left
    EXPECT_EQ(b.Pixel(130, 150), kGreen);
    EXPECT_EQ(b.Pixel(200, 80), kBack);
    EXPECT_EQ(b.Pixel(140, 150), kBlack); // the line runs left to the handle
    // "no" flags leave single handles out
    h.SetHandleFlags(hfSideHandles | hfCornerHandles | hfNoTopLeft | hfNoTop);
    const TBitmap32 d = PaintHandles(h);
    EXPECT_EQ(d.Pixel(150, 250), kBack);
    EXPECT_EQ(d.Pixel(150, 145), kBack);
    ExpectSquare(d, 150, 50);
}

TEST(HandlesPaint, PictureHandleAndLocked) {
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    const TColor32 red = 0xFFFF0000;
    h.PictureHandle.SetSize(10, 10);
    h.PictureHandle.Clear(red);
    h.SetHandleFlags(THandleFlags(hfMoveArea | hfSideHandles | hfCornerHandles | hfPictureHandle));
    TBitmap32 b = PaintHandles(h);
    EXPECT_EQ(b.Pixel(195, 145), red); // top-left at ((400 − 10) div 2, (300 − 10) div 2)
    EXPECT_EQ(b.Pixel(204, 154), red);
    EXPECT_EQ(b.Pixel(205, 155), kBack);
    EXPECT_EQ(b.Pixel(194, 150), kBack);

    // hidden while panning, back after the release
    c.Down(200, 150);
    ASSERT_EQ(h.DragState(), DS::Pan);
    b = PaintHandles(h);
    EXPECT_EQ(b.Pixel(200, 150), kBack);
    EXPECT_EQ(b.Pixel(200, 80), kGreen);
    c.Up(200, 150);
    b = PaintHandles(h);
    EXPECT_EQ(b.Pixel(200, 150), red);

    // locked: nothing but the picture handle, even with the frame bit
    h.SetHandleFlags(THandleFlags(h.HandleFlags() | hfFrame));
    h.SetLocked(true);
    b = PaintHandles(h);
    int changed = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            if (b.Pixel(x, y) != kBack) {
                ++changed;
                EXPECT_EQ(b.Pixel(x, y), red) << x << "," << y;
            }
    EXPECT_EQ(changed, 100);

    // a half-transparent picture handle blends
    h.PictureHandle.Clear(0x80FFFFFF);
    b = PaintHandles(h);
    EXPECT_NE(b.Pixel(200, 150), kBack);
    EXPECT_NE(b.Pixel(200, 150), kWhite);
}

// ---- Robustness ----

TEST(Handles, DegenerateAndExtremeInput) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const TFloatRect boxes[] = {
        {100, 100, 100, 100},
        {100, 100, 100, 250},
        {300, 200, 100, 100},
        {-1e30f, -1e30f, 1e30f, 1e30f},
        {1e9f, 1e9f, 1e9f + 500, 1e9f + 500},
        {-inf, 0, inf, 10},
        {nan, nan, nan, nan},
        {0, 0, 3e38f, 3e38f},
    };
    const float angles[] = {0, 30, 90, 271.5f, nan};
    for (const TFloatRect& box : boxes) {
        for (float a : angles) {
            Canvas c;
            TRotRubberbandLayer& h = *c.H;
            h.PictureHandle.SetSize(16, 16);
            h.SetHandleFlags(
                THandleFlags(hfMoveArea | hfSideHandles | hfCornerHandles | hfFrame | hfPictureHandle));
            h.SetLocation(box);
            h.SetAngle(a);
            EXPECT_TRUE(h.Angle() >= 0 && h.Angle() < 360);
            TBitmap32 view;
            c.Img.PaintTo(view);
            for (auto [x, y] :
                 {std::pair{100, 100}, {0, 0}, {200, 150}, {INT_MAX - 100, INT_MIN + 100}, {100, 80}}) {
                c.Img.MouseMove(0, x, y);
                c.Img.MouseDown(TMouseButton::Left, ssLeft, x, y);
                c.Img.MouseMove(ssLeft, x + 37, y - 91);
                c.Img.MouseMove(ssLeft, INT_MIN, INT_MAX);
                c.Img.MouseUp(TMouseButton::Left, 0, x, y);
                c.Img.PaintTo(view);
            }
        }
    }
    // a zero-size box: the drag leaves the box alone rather than dividing by zero
    Canvas c;
    TRotRubberbandLayer& h = *c.H;
    h.SetLocation({100, 100, 100, 100});
    int moves = 0;
    h.OnHandleMouseMove = [&](TRotRubberbandLayer*, DS, int, int, TShiftState) { ++moves; };
    c.Down(100, 100);
    EXPECT_EQ(h.DragState(), DS::BottomRight);
    c.Move(150, 150);
    c.Up(150, 150);
    EXPECT_EQ(h.Location(), (TFloatRect{100, 100, 100, 100}));
    EXPECT_EQ(moves, 0);

    // handle sizes far out of range paint without trouble
    h.SetLocation({100, 100, 300, 200});
    h.HandleSize = INT_MAX;
    h.RotateHandleRadius = INT_MAX;
    h.RotateHandleDistance = INT_MIN;
    TBitmap32 view;
    c.Img.PaintTo(view);
    EXPECT_NE(h.GetDragState(0, 0), DS::None);
}

TEST(Handles, CallbackMayDeleteTheLayer) {
    Canvas c;
    c.H->OnHandleMouseUp = [&](TRotRubberbandLayer* s, DS, int, int, TShiftState, TMouseButton) {
        c.Img.Layers.Delete(s->Index());
    };
    c.Drag(150, 150, 160, 160);
    EXPECT_EQ(c.Img.Layers.Count(), 0);
    EXPECT_EQ(c.Img.Layers.MouseListener, nullptr);

    auto* h = c.Img.Layers.Add<TRotRubberbandLayer>();
    h->SetLocation({100, 100, 300, 200});
    h->OnHandleDblClick = [&](TRotRubberbandLayer* s) { c.Img.Layers.Delete(s->Index()); };
    c.Down(150, 150);
    c.Img.DblClick(150, 150);
    EXPECT_EQ(c.Img.Layers.Count(), 0);
    c.Up(150, 150);
}
