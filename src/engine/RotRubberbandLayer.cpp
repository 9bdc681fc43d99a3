#include "engine/RotRubberbandLayer.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct TPt64 {
    int64_t X, Y;
};

// Rotation by degrees about (cx, cy), counter-clockwise on screen for
// positive angles: (dx, dy) -> (dx·cos a + dy·sin a, −dx·sin a + dy·cos a).
void RotateAbout(double x, double y, double cx, double cy, double degrees, double& ox, double& oy) {
    const double r = degrees * kPi / 180.0;
    const double cs = std::cos(r), sn = std::sin(r);
    const double dx = x - cx, dy = y - cy;
    ox = cx + dx * cs + dy * sn;
    oy = cy - dx * sn + dy * cs;
}

TPt64 RotateRounded(double x, double y, double cx, double cy, double degrees) {
    double ox, oy;
    RotateAbout(x, y, cx, cy, degrees, ox, oy);
    return {Round(ox), Round(oy)};
}

// Keeps painting arithmetic (handle squares, picture position) far from the
// int limits; nothing visible is ever near them.
int Clamp30(int64_t v) {
    return int(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30));
}

bool IsFinite(const TFloatRect& r) {
    return std::isfinite(r.Left) && std::isfinite(r.Top) && std::isfinite(r.Right) && std::isfinite(r.Bottom);
}

bool IsLeftState(TDragState s) {
    return s == TDragState::Left || s == TDragState::TopLeft || s == TDragState::BottomLeft;
}
bool IsRightState(TDragState s) {
    return s == TDragState::Right || s == TDragState::TopRight || s == TDragState::BottomRight;
}
bool IsTopState(TDragState s) {
    return s == TDragState::Top || s == TDragState::TopLeft || s == TDragState::TopRight;
}
bool IsBottomState(TDragState s) {
    return s == TDragState::Bottom || s == TDragState::BottomLeft || s == TDragState::BottomRight;
}
bool IsCornerState(TDragState s) {
    return int(s) >= int(TDragState::TopLeft);
}
bool IsResizeState(TDragState s) {
    return int(s) >= int(TDragState::Left);
}

} // namespace

TRotRubberbandLayer::TRotRubberbandLayer(TLayerCollection* owner) : TCustomLayer(owner) {
    LayerOptions = loVisible | loMouseEvents | loCapture;
    PictureHandle.DrawMode = TDrawMode::Blend;
}

TRotRubberbandLayer::~TRotRubberbandLayer() {
    *FAlive = false;
}

// ---- State ----

void TRotRubberbandLayer::SetLocation(const TFloatRect& r) {
    Changing();
    FLocation = r;
    Changed();
}

void TRotRubberbandLayer::SetAngle(float a) {
    // Whole turns are taken off by the rounded angle, so the result can
    // land a fraction outside [0, 360) (−360 gives 360, −359.6 gives 360.4);
    // those and angles too large for the integer turn count are folded
    // back, and a non-finite angle counts as unrotated.
    double v = std::isfinite(a) ? double(a) : 0.0;
    if (v >= 360.0) v = double(float(v - double(Div(Round(v), 360)) * 360.0));
    if (v < 0.0) v = double(float(v - double(Div(Round(v), 360)) * 360.0 + 360.0));
    if (!(v >= 0.0 && v < 360.0)) {
        v = std::fmod(v, 360.0);
        if (v < 0.0) v += 360.0;
    }
    float f = float(v);
    if (!(f >= 0.0f && f < 360.0f)) f = 0.0f; // 359.99999 rounding up to 360.0f
    FAngle = f;
    Changed();
}

void TRotRubberbandLayer::SetHandleFlags(THandleFlags flags) {
    if (flags == FHandleFlags) return;
    FHandleFlags = flags;
    Changed();
}

void TRotRubberbandLayer::SetLocked(bool locked) {
    if (locked == FLocked) return;
    FLocked = locked;
    Changed();
}

// ---- Geometry ----

TFloatRect TRotRubberbandLayer::LocationToView(const TFloatRect& r) const {
    const TLayerCollection* c = LayerCollection();
    if (!Scaled || !c) return r;
    const float sx = c->ScaleX(), sy = c->ScaleY(), hx = c->ShiftX(), hy = c->ShiftY();
    return {r.Left * sx + hx, r.Top * sy + hy, r.Right * sx + hx, r.Bottom * sy + hy};
}

TDragState TRotRubberbandLayer::GetDragState(int x, int y) const {
    const TRect v = RoundRect(LocationToView(FLocation));
    const double cx = (double(v.Left) + v.Right) / 2.0, cy = (double(v.Top) + v.Bottom) / 2.0;
    // into the unrotated box
    const TPt64 p = RotateRounded(x, y, cx, cy, -double(FAngle));
    const int64_t px = p.X, py = p.Y;

    // inclusive box
    const int64_t l = v.Left, t = v.Top, r = int64_t(v.Right) - 1, b = int64_t(v.Bottom) - 1;
    const int64_t tol = int64_t(HandleSize) + 1;
    auto near = [tol](int64_t a, int64_t c) { return (a > c ? a - c : c - a) <= tol; };
    const bool nearLeft = near(l, px), nearRight = near(r, px), nearHCentre = near((l + r) / 2, px);
    const bool nearTop = near(t, py), nearVCentre = near((t + b) / 2, py), nearBottom = near(b, py);

    const THandleFlags f = FHandleFlags;
    auto corner = [f](THandleFlags no) { return (f & hfCornerHandles) && !(f & no); };
    auto side = [f](THandleFlags no) { return (f & hfSideHandles) && !(f & no); };
    if (corner(hfNoBottomRight) && nearRight && nearBottom) return TDragState::BottomRight;
    if (corner(hfNoBottomLeft) && nearLeft && nearBottom) return TDragState::BottomLeft;
    if (corner(hfNoTopRight) && nearRight && nearTop) return TDragState::TopRight;
    if (corner(hfNoTopLeft) && nearLeft && nearTop) return TDragState::TopLeft;
    if (side(hfNoRight) && nearRight && nearVCentre) return TDragState::Right;
    if (side(hfNoBottom) && nearHCentre && nearBottom) return TDragState::Bottom;
    if (side(hfNoLeft) && nearLeft && nearVCentre) return TDragState::Left;
    if (side(hfNoTop) && nearTop && nearHCentre) return TDragState::Top;

    // The picture handle hides while its own drag runs, so the box answers
    // as a move area then.
    if ((f & hfPictureHandle) && !FIsDragging) {
        const int64_t w = PictureHandle.Width(), h = PictureHandle.Height();
        if (px >= (l + r - w) / 2 && px < (l + r + w) / 2 && py >= (t + b - h) / 2 && py < (t + b + h) / 2)
            return TDragState::Pan;
    }

    if ((f & hfMoveArea) && l <= px && px < r && t <= py && py < b) return TDragState::Move;

    const int64_t hx = Round((double(l) + double(r)) / 2.0);
    const int64_t hy = t - RotateHandleDistance;
    const int64_t reach = int64_t(RotateHandleRadius) + 1;
    if (std::llabs(px - hx) <= reach && std::llabs(py - hy) <= reach) return TDragState::Rotate;
    return TDragState::None;
}

TCursorKind TRotRubberbandLayer::ResizeCursor(TDragState state, float angle) {
    double base;
    switch (state) {
    case TDragState::Left:
        base = 180;
        break;
    case TDragState::Top:
        base = 90;
        break;
    case TDragState::Right:
        base = 0;
        break;
    case TDragState::Bottom:
        base = 270;
        break;
    case TDragState::TopLeft:
        base = 135;
        break;
    case TDragState::TopRight:
        base = 45;
        break;
    case TDragState::BottomLeft:
        base = 225;
        break;
    case TDragState::BottomRight:
        base = 315;
        break;
    default:
        return TCursorKind::Default;
    }
    // 16 sectors of 22.5°, each naming the screen direction of the edge's
    // outward normal
    int k = Round((base + double(angle)) / 22.5) % 16;
    if (k < 0) k += 16;
    static constexpr TCursorKind table[16] = {
        TCursorKind::SizeWE, TCursorKind::SizeNESW, TCursorKind::SizeNESW, TCursorKind::SizeNS,
        TCursorKind::SizeNS, TCursorKind::SizeNWSE, TCursorKind::SizeNWSE, TCursorKind::SizeWE,
        TCursorKind::SizeWE, TCursorKind::SizeNESW, TCursorKind::SizeNESW, TCursorKind::SizeNS,
        TCursorKind::SizeNS, TCursorKind::SizeNWSE, TCursorKind::SizeNWSE, TCursorKind::SizeWE,
    };
    return table[k];
}

void TRotRubberbandLayer::UpdateHoverCursor(int x, int y) {
    const TDragState s = GetDragState(x, y);
    // A locked layer cannot be resized or rotated, so it never offers those
    // cursors.
    if (FLocked && s != TDragState::Move && s != TDragState::Pan) return;
    switch (s) {
    case TDragState::None:
    case TDragState::Move:
        Cursor = TCursorKind::Default;
        break;
    case TDragState::Rotate:
        Cursor = FRotateCursor == crRotate ? TCursorKind::Rotate : TCursorKind::Default;
        break;
    case TDragState::Pan:
        Cursor = TCursorKind::SizeAll;
        break;
    default:
        Cursor = ResizeCursor(s, FAngle);
        break;
    }
}

// ---- Pointer ----

void TRotRubberbandLayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (FIsDragging) return;
    FDragState = GetDragState(x, y);
    FIsDragging = FDragState != TDragState::None;
    if (FIsDragging) {
        FOldLocation = FLocation;
        FOldAngle = FAngle;
        if (FDragState == TDragState::Move) {
            const TFloatRect w = LocationToView(FLocation);
            FGrabOffset = {float(x - double(w.Left)), float(y - double(w.Top))};
        } else {
            FGrabOffset = {0, 0};
        }
    }
    const std::shared_ptr<bool> alive = FAlive;
    if (OnHandleMouseDown) OnHandleMouseDown(this, FDragState, x, y, shift, button);
    if (*alive) TCustomLayer::MouseDown(button, shift, x, y);
}

bool TRotRubberbandLayer::DragTo(int x, int y) {
    const TDragState s = FDragState;
    double px = x, py = y;
    if (IsResizeState(s)) {
        // into the frame of the box as it was at the press
        const TFloatRect ov = LocationToView(FOldLocation);
        const double ocx = (double(ov.Left) + ov.Right) / 2.0, ocy = (double(ov.Top) + ov.Bottom) / 2.0;
        RotateAbout(x, y, ocx, ocy, -double(FAngle), px, py);
    }
    px -= FGrabOffset.X;
    py -= FGrabOffset.Y;

    // view to canvas
    const TFloatRect w = LocationToView(FLocation);
    const double ww = double(w.Right) - w.Left, wh = double(w.Bottom) - w.Top;
    if (!(ww != 0.0) || !(wh != 0.0)) return false;
    px = FLocation.Left + (px - w.Left) / ww * (double(FLocation.Right) - FLocation.Left);
    py = FLocation.Top + (py - w.Top) / wh * (double(FLocation.Bottom) - FLocation.Top);

    const double l0 = FOldLocation.Left, t0 = FOldLocation.Top, r0 = FOldLocation.Right,
                 b0 = FOldLocation.Bottom;
    const double W0 = r0 - l0, H0 = b0 - t0;
    double l = l0, t = t0, r = r0, b = b0;

    if (s == TDragState::Move) {
        l = px;
        t = py;
        r = l + W0;
        b = t + H0;
    } else {
        const double minW = MinWidth, maxW = MaxWidth, minH = MinHeight, maxH = MaxHeight;
        if (IsLeftState(s)) {
            l = px;
            if (r - l < minW) l = r - minW;
            if (minW <= maxW && maxW < r - l) l = r - maxW;
        }
        if (IsRightState(s)) {
            r = px;
            if (r - l < minW) r = l + minW;
            if (minW <= maxW && maxW < r - l) r = l + maxW;
        }
        if (IsTopState(s)) {
            t = py;
            if (b - t < minH) t = b - minH;
            if (minH <= maxH && maxH < b - t) t = b - maxH;
        }
        if (IsBottomState(s)) {
            b = py;
            if (b - t < minH) b = t + minH;
            if (minH <= maxH && maxH < b - t) b = t + maxH;
        }

        // Corners keep the proportions of the box at the press, in whole
        // canvas pixels of height. A box with no width has no proportions.
        const int64_t w0 = Round64(W0);
        if (IsCornerState(s) && w0 != 0) {
            const int64_t f = Round64(H0 * (r - l)) / w0;
            if (IsTopState(s))
                t = b - double(f);
            else
                b = t + double(f);
        }

        // Keep the opposite edge where it was on screen: place the new centre
        // where the old frame, rotated, puts it.
        double ax = (l0 + r0) / 2.0, ay = (t0 + b0) / 2.0;
        const double ocx = ax, ocy = ay;
        if (IsLeftState(s)) ax = r0 - (r - l) / 2.0;
        if (IsRightState(s)) ax = l0 + (r - l) / 2.0;
        if (IsTopState(s)) ay = b0 - (b - t) / 2.0;
        if (IsBottomState(s)) ay = t0 + (b - t) / 2.0;
        double rx, ry;
        RotateAbout(ax, ay, ocx, ocy, double(FAngle), rx, ry);
        const double dx = rx - (l + r) / 2.0, dy = ry - (t + b) / 2.0;
        l += dx;
        r += dx;
        t += dy;
        b += dy;
    }

    const TFloatRect next{float(l), float(t), float(r), float(b)};
    if (IsFinite(next) && next != FLocation) SetLocation(next);
    return true;
}

void TRotRubberbandLayer::MouseMove(TShiftState shift, int x, int y) {
    if (!FIsDragging) {
        // A press that started elsewhere (a drag-select passing over the
        // handles) does not turn the cursor into a handle cursor.
        if (!(shift & (ssLeft | ssRight | ssMiddle))) UpdateHoverCursor(x, y);
        return;
    }
    if (FLocked) {
        // Only panning goes on; the main window decides whether the photo
        // may slide.
        if (FDragState == TDragState::Pan && OnHandleMouseMove)
            OnHandleMouseMove(this, FDragState, x, y, shift);
        return;
    }
    switch (FDragState) {
    case TDragState::None:
        break;
    case TDragState::Rotate: {
        const TFloatRect o = LocationToView(FOldLocation);
        const double f = x - (double(o.Left) + o.Right) / 2.0;
        const double g = y - (double(o.Top) + o.Bottom) / 2.0;
        if (std::fabs(g) <= 0.001) {
            SetAngle(f >= 0 ? -90.0f : 90.0f);
            return;
        }
        const double deg = std::atan(f / g) * 180.0 / kPi;
        SetAngle(float(g >= 0 ? deg + 180.0 : deg));
        break;
    }
    case TDragState::Pan:
        break; // the main window slides the photo
    default:
        if (!DragTo(x, y)) return;
        break;
    }
    if (OnHandleMouseMove) OnHandleMouseMove(this, FDragState, x, y, shift);
}

void TRotRubberbandLayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FIsDragging = false;
    if (FHandleFlags & hfPictureHandle) Changed(); // the picture handle shows again
    const std::shared_ptr<bool> alive = FAlive;
    if (OnHandleMouseUp) OnHandleMouseUp(this, FDragState, x, y, shift, button);
    if (*alive) TCustomLayer::MouseUp(button, shift, x, y);
}

void TRotRubberbandLayer::DblClick() {
    const std::shared_ptr<bool> alive = FAlive;
    if (OnHandleDblClick) OnHandleDblClick(this);
    if (*alive) TCustomLayer::DblClick();
}

// ---- Painting ----

void TRotRubberbandLayer::Paint(TBitmap32& buffer) {
    // painted in device pixels (see TLayerCollection::DeviceRatio): the
    // same shapes, as large on screen as on an ordinary one
    const float d = LayerCollection() ? LayerCollection()->DeviceRatio() : 1.0f;
    const auto px = [d](int32_t n) { return d == 1.0f ? n : int32_t(Round(double(n) * d)); };
    TFloatRect w = LocationToView(FLocation);
    w = {w.Left * d, w.Top * d, w.Right * d, w.Bottom * d};
    const TRect v = RoundRect(w);
    const double cx = (double(v.Left) + v.Right) / 2.0, cy = (double(v.Top) + v.Bottom) / 2.0;
    const double angle = FAngle;
    auto rot = [&](double x, double y) {
        const TPt64 p = RotateRounded(x, y, cx, cy, angle);
        return TPoint{int(p.X), int(p.Y)};
    };
    const TPoint p1 = rot(v.Left, v.Top), p2 = rot(v.Right, v.Top), p3 = rot(v.Right, v.Bottom),
                 p4 = rot(v.Left, v.Bottom);
    auto mid = [](TPoint u, TPoint w) {
        return TPoint{int((int64_t(u.X) + w.X) / 2), int((int64_t(u.Y) + w.Y) / 2)};
    };
    const THandleFlags f = FHandleFlags;

    if (!FLocked) {
        // The line to the rotation handle continues the frame's dashes when
        // the frame is drawn, and is solid black otherwise.
        TStipple stipple;
        if (f & hfFrame) {
            stipple.Pattern.assign(FramePattern.begin(), FramePattern.end());
            stipple.Step = FrameStippleStep;
            stipple.Counter = 0;
            LineFS(buffer, p1.X, p1.Y, p2.X, p2.Y, stipple);
            LineFS(buffer, p2.X, p2.Y, p3.X, p3.Y, stipple);
            LineFS(buffer, p3.X, p3.Y, p4.X, p4.Y, stipple);
            LineFS(buffer, p4.X, p4.Y, p1.X, p1.Y, stipple);
        }
        const TPoint top = mid(p1, p2);
        const TPoint h =
            rot(Round((double(v.Left) + v.Right) / 2.0), double(v.Top) - px(RotateHandleDistance));
        LineFS(buffer, top.X, top.Y, h.X, h.Y, stipple);
        FillCircle(buffer, h.X, h.Y, px(RotateHandleRadius), 0xFF00FF00, 0xFF000000);
    }

    if ((f & hfPictureHandle) && !(FIsDragging && FDragState == TDragState::Pan) && !PictureHandle.Empty()) {
        const int hw = px(PictureHandle.Width()), hh = px(PictureHandle.Height());
        const int64_t x = (int64_t(v.Left) + v.Right - hw) / 2;
        const int64_t y = (int64_t(v.Top) + v.Bottom - hh) / 2;
        if (d == 1.0f)
            buffer.Draw(Clamp30(x), Clamp30(y), PictureHandle);
        else
            buffer.StretchDraw({Clamp30(x), Clamp30(y), Clamp30(x + hw), Clamp30(y + hh)}, PictureHandle);
    }

    if (FLocked) return;
    auto square = [&](TPoint p) {
        const int64_t s = px(HandleSize);
        const TRect r{Clamp30(p.X - s), Clamp30(p.Y - s), Clamp30(p.X + s), Clamp30(p.Y + s)};
        buffer.FillRect(r.Left, r.Top, r.Right, r.Bottom, HandleFill);
        buffer.FrameRect(r, HandleFrame);
    };
    if (f & hfCornerHandles) {
        if (!(f & hfNoTopLeft)) square(p1);
        if (!(f & hfNoTopRight)) square(p2);
        if (!(f & hfNoBottomLeft)) square(p4);
        if (!(f & hfNoBottomRight)) square(p3);
    }
    if (f & hfSideHandles) {
        if (!(f & hfNoTop)) square(mid(p1, p2));
        if (!(f & hfNoLeft)) square(mid(p1, p4));
        if (!(f & hfNoRight)) square(mid(p2, p3));
        if (!(f & hfNoBottom)) square(mid(p4, p3));
    }
}
