#include "engine/RubberbandLayer.h"

#include <cmath>

#include "engine/Drawing.h"

namespace {
bool Grabs(TDragState s, TDragState a, TDragState b, TDragState c) {
    return s == a || s == b || s == c;
}
bool LeftEdge(TDragState s) {
    return Grabs(s, TDragState::Left, TDragState::TopLeft, TDragState::BottomLeft);
}
bool RightEdge(TDragState s) {
    return Grabs(s, TDragState::Right, TDragState::TopRight, TDragState::BottomRight);
}
bool TopEdge(TDragState s) {
    return Grabs(s, TDragState::Top, TDragState::TopLeft, TDragState::TopRight);
}
bool BottomEdge(TDragState s) {
    return Grabs(s, TDragState::Bottom, TDragState::BottomLeft, TDragState::BottomRight);
}

TCursorKind CursorOf(TDragState s) {
    switch (s) {
    case TDragState::Left:
    case TDragState::Right:
        return TCursorKind::SizeWE;
    case TDragState::Top:
    case TDragState::Bottom:
        return TCursorKind::SizeNS;
    case TDragState::TopLeft:
    case TDragState::BottomRight:
        return TCursorKind::SizeNWSE;
    case TDragState::TopRight:
    case TDragState::BottomLeft:
        return TCursorKind::SizeNESW;
    case TDragState::Move:
        return TCursorKind::SizeAll;
    default:
        return TCursorKind::Default;
    }
}

// Keeps view arithmetic far from the int limits.
int Clamp30(double v) {
    if (!(v == v)) return 0;
    return int(std::clamp(v, -1073741824.0, 1073741824.0));
}
} // namespace

TRubberbandLayer::TRubberbandLayer(TLayerCollection* owner) : TCustomLayer(owner) {
    LayerOptions = loVisible | loMouseEvents | loCapture;
}

void TRubberbandLayer::SetLocation(const TFloatRect& r) {
    if (r == FLocation) return;
    FLocation = r;
    Changed();
}

TFloatRect TRubberbandLayer::LocationToView(const TFloatRect& r) const {
    const TLayerCollection* c = LayerCollection();
    if (!Scaled || !c) return r;
    const float sx = c->ScaleX(), sy = c->ScaleY(), hx = c->ShiftX(), hy = c->ShiftY();
    return {r.Left * sx + hx, r.Top * sy + hy, r.Right * sx + hx, r.Bottom * sy + hy};
}

TDragState TRubberbandLayer::GetDragState(int x, int y) const {
    const TFloatRect v = LocationToView(FLocation);
    const int l = Clamp30(Round(v.Left)), t = Clamp30(Round(v.Top));
    const int r = Clamp30(Round(v.Right)), b = Clamp30(Round(v.Bottom));
    const int tol = HandleSize + 1;
    auto near = [tol](int a, int c) { return std::abs(a - c) <= tol; };
    const bool nl = near(x, l), nr = near(x, r), nt = near(y, t), nb = near(y, b);
    const bool nh = near(x, (l + r) / 2), nv = near(y, (t + b) / 2);
    if (nr && nb) return TDragState::BottomRight;
    if (nl && nb) return TDragState::BottomLeft;
    if (nr && nt) return TDragState::TopRight;
    if (nl && nt) return TDragState::TopLeft;
    if (nr && nv) return TDragState::Right;
    if (nh && nb) return TDragState::Bottom;
    if (nl && nv) return TDragState::Left;
    if (nh && nt) return TDragState::Top;
    if (x >= l && x < r && y >= t && y < b) return TDragState::Move;
    return TDragState::None;
}

void TRubberbandLayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::Left) {
        FDragState = GetDragState(x, y);
        FOldLocation = FLocation;
        FDownPoint = {x, y};
        Cursor = CursorOf(FDragState);
    }
    TCustomLayer::MouseDown(button, shift, x, y);
}

void TRubberbandLayer::MouseMove(TShiftState shift, int x, int y) {
    if (FDragState == TDragState::None) {
        if (!(shift & (ssLeft | ssRight | ssMiddle))) Cursor = CursorOf(GetDragState(x, y));
        return;
    }
    const TLayerCollection* c = LayerCollection();
    const double sx = Scaled && c ? c->ScaleX() : 1.0, sy = Scaled && c ? c->ScaleY() : 1.0;
    if (!(sx > 0) || !(sy > 0)) return;
    // the pointer's way since the press, in canvas pixels
    const double dx = (x - FDownPoint.X) / sx, dy = (y - FDownPoint.Y) / sy;
    const TFloatRect o = FOldLocation;
    double l = o.Left, t = o.Top, r = o.Right, b = o.Bottom;
    if (FDragState == TDragState::Move) {
        l += dx, r += dx, t += dy, b += dy;
    } else {
        if (LeftEdge(FDragState)) l = std::min(o.Left + dx, r - MinWidth);
        if (RightEdge(FDragState)) r = std::max(o.Right + dx, l + MinWidth);
        if (TopEdge(FDragState)) t = std::min(o.Top + dy, b - MinHeight);
        if (BottomEdge(FDragState)) b = std::max(o.Bottom + dy, t + MinHeight);
    }
    const TFloatRect next{float(l), float(t), float(r), float(b)};
    if (next == FLocation) return;
    SetLocation(next);
    if (OnResizing) OnResizing(this);
}

void TRubberbandLayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FDragState = TDragState::None;
    TCustomLayer::MouseUp(button, shift, x, y);
}

void TRubberbandLayer::Paint(TBitmap32& buffer) {
    const TFloatRect v = LocationToView(FLocation);
    const int l = Clamp30(Round(v.Left)), t = Clamp30(Round(v.Top));
    const int r = Clamp30(Round(v.Right)), b = Clamp30(Round(v.Bottom));
    TStipple stipple;
    stipple.Set({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFF000000}, 1.0);
    LineFS(buffer, l, t, r, t, stipple);
    LineFS(buffer, r, t, r, b, stipple);
    LineFS(buffer, r, b, l, b, stipple);
    LineFS(buffer, l, b, l, t, stipple);
    const int s = HandleSize;
    for (const TPoint p : {TPoint{l, t}, TPoint{(l + r) / 2, t}, TPoint{r, t}, TPoint{r, (t + b) / 2},
                           TPoint{r, b}, TPoint{(l + r) / 2, b}, TPoint{l, b}, TPoint{l, (t + b) / 2}}) {
        const TRect q{p.X - s, p.Y - s, p.X + s + 1, p.Y + s + 1};
        buffer.FillRect(q.Left, q.Top, q.Right, q.Bottom, HandleFill);
        buffer.FrameRect(q, HandleFrame);
    }
}
