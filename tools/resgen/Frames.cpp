// Frames: PNG pictures with alpha (.frm), opaque where the frame is and
// transparent in its opening. They serve both as a photo's sub-frame and as
// the border over the whole page. Frames whose outer edge is not the picture
// rectangle come with a companion grey GIF (.msk) of the same size: white over
// the frame and its opening, black outside the frame's outer shape.
//
// ---- Sections ----
// Moulding engine: shaded relief across the band between outer edge and opening
// Ornaments: corner flourishes and scattered decorations
// Classic, Free, Love, Party, Nature, Baby, Travel, Winter, Wedding frames
// Catalogue

#include <QPainter>
#include <QPainterPathStroker>

#include "Art.h"
#include "Decor.h"
#include "Library.h"
#include "Materials.h"
#include "Shapes.h"

namespace resgen {

namespace {

constexpr int FW = 1000, FH = 750;

struct TFrameArt {
    QImage Frame;
    TPlane Companion; // empty = no companion file
};

// ---- Moulding engine ----

// What a material knows about one pixel of the band.
struct TBand {
    int X = 0, Y = 0;
    float DOut = 0;  // distance from the outer edge, inwards
    float DIn = 0;   // distance from the opening, outwards
    float T = 0;     // 0 at the outer edge .. 1 at the opening
    float Along = 0; // position along the band (pixels)
};

// Geometry of a band: coverages, distances and the along-the-band coordinate.
class TBandGeometry {
public:
    TBandGeometry(TPlane outer, TPlane opening, bool radialAlong = false)
        : Outer(std::move(outer)), Opening(std::move(opening)), W(Outer.W), H(Outer.H) {
        DOut = InsideDistanceCoarse(Outer, true);
        DIn = OutsideDistanceCoarse(Opening);
        Alpha = TPlane(W, H);
        for (size_t i = 0; i < Alpha.V.size(); ++i) Alpha.V[i] = Outer.V[i] * (1.f - Opening.V[i]);
        AlongP = TPlane(W, H);
        const float cx = W * 0.5f, cy = H * 0.5f;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float a;
                if (radialAlong) {
                    a = std::atan2(float(y) - cy, float(x) - cx) * (W + H) * 0.25f;
                } else {
                    // The side of a rectangular band follows the distance
                    // field's gradient; each side gets its own stretch of
                    // "along" so the grain changes at the mitres.
                    const float gx = DOut.AtC(x + 1, y) - DOut.AtC(x - 1, y);
                    const float gy = DOut.AtC(x, y + 1) - DOut.AtC(x, y - 1);
                    if (std::fabs(gx) >= std::fabs(gy))
                        a = float(y) + (gx > 0 ? 0.f : 5000.f);
                    else
                        a = float(x) + (gy > 0 ? 10000.f : 15000.f);
                }
                AlongP.At(x, y) = a;
            }
    }
    TBandGeometry(const QPainterPath& outer, const QPainterPath& opening, int w, int h,
                  bool radialAlong = false)
        : TBandGeometry(Coverage(outer, w, h), Coverage(opening, w, h), radialAlong) {}

    TBand Band(int x, int y) const {
        TBand b;
        b.X = x, b.Y = y;
        const size_t i = size_t(y) * W + x;
        b.DOut = std::max(0.f, DOut.V[i]);
        b.DIn = std::max(0.f, DIn.V[i]);
        b.T = b.DOut + b.DIn > 0 ? b.DOut / (b.DOut + b.DIn) : 0.f;
        b.Along = AlongP.V[i];
        return b;
    }

    TPlane Outer, Opening, DOut, DIn, Alpha, AlongP;
    int W, H;
};

// Opening coverage that keeps a constant band width inside an outer shape.
TPlane InsetCoverage(const TPlane& outerCoverage, float band) {
    const TPlane d = InsideDistanceCoarse(outerCoverage, true);
    TPlane out(d.W, d.H);
    for (size_t i = 0; i < d.V.size(); ++i) out.V[i] = Smoothstep(-0.5f, 0.5f, d.V[i] - band);
    return out;
}

using THeightFn = std::function<float(const TBand&)>;
using TColourFn = std::function<TRgb(const TBand&, const TShade&)>;

// Renders the band lit from the top left: height(band) in 0..1 times depth
// pixels gives the relief, colour() turns the lit normal into a colour.
QImage RenderBand(const TBandGeometry& g, float depth, const THeightFn& height, const TColourFn& colour,
                  float shininess = 24.f) {
    TPlane h(g.W, g.H);
    for (int y = 0; y < g.H; ++y)
        for (int x = 0; x < g.W; ++x) {
            h.V[size_t(y) * g.W + x] = height(g.Band(x, y)) * depth;
        }
    Blur(h, 0.7f);
    QImage out = NewArt(g.W, g.H);
    PaintAlpha(out, g.Alpha,
               [&](int x, int y) { return colour(g.Band(x, y), ShadeAt(h, x, y, 1.f, shininess)); });
    return out;
}

// A profile across the band through (t, height) points, smooth in between.
class TProfile {
public:
    TProfile(std::initializer_list<std::pair<float, float>> pts) : P(pts) {}
    float operator()(float t) const {
        if (t <= P.front().first) return P.front().second;
        if (t >= P.back().first) return P.back().second;
        size_t i = 0;
        while (i + 2 < P.size() && t > P[i + 1].first) ++i;
        const float u = (t - P[i].first) / (P[i + 1].first - P[i].first);
        const float y0 = i > 0 ? P[i - 1].second : P[i].second, y1 = P[i].second, y2 = P[i + 1].second,
                    y3 = i + 2 < P.size() ? P[i + 2].second : P[i + 1].second;
        // Catmull-Rom
        return 0.5f * ((2 * y1) + (-y0 + y2) * u + (2 * y0 - 5 * y1 + 4 * y2 - y3) * u * u +
                       (-y0 + 3 * y1 - 3 * y2 + y3) * u * u * u);
    }

private:
    std::vector<std::pair<float, float>> P;
};

// The classic picture moulding: rounded outer lip, a cove, a bead and a
// slope down into the opening.
const TProfile& ClassicProfile() {
    static const TProfile p{{0.f, 0.25f},  {0.06f, 0.8f},  {0.16f, 1.0f}, {0.34f, 0.62f}, {0.5f, 0.55f},
                            {0.62f, 0.8f}, {0.72f, 0.72f}, {0.9f, 0.42f}, {1.f, 0.1f}};
    return p;
}
// A half-round: a puffy, cushion-like band.
float Cushion(float t) {
    return std::sqrt(std::max(0.f, 1.f - (2.f * t - 1.f) * (2.f * t - 1.f)));
}

QPainterPath RectPath(double l, double t, double r, double b) {
    QPainterPath p;
    p.addRect(QRectF(l, t, r - l, b - t));
    return p;
}
QPainterPath InsetRect(int w, int h, double inset) {
    return RectPath(inset, inset, w - inset, h - inset);
}

TFrameArt Plain(QImage img) {
    return {std::move(img), TPlane()};
}

// ---- Ornaments ----

// A corner flourish in the quadrant x, y >= 0 of size s: a small rosette with
// two curling arms running along the edges, and leaves on the arms.
QPainterPath CornerFlourish(double s) {
    QPainterPath shape;
    shape.setFillRule(Qt::WindingFill);
    shape.addPath(FlowerPath(QPointF(s * 0.2, s * 0.2), s * 0.15, 6, 0.7, 15));
    QPainterPathStroker stroker;
    stroker.setCapStyle(Qt::RoundCap);
    for (int mirror = 0; mirror < 2; ++mirror) {
        QPainterPath arm;
        arm.moveTo(s * 0.3, s * 0.12);
        arm.cubicTo(s * 0.5, s * 0.02, s * 0.72, s * 0.05, s * 0.82, s * 0.15);
        arm.cubicTo(s * 0.9, s * 0.24, s * 0.82, s * 0.32, s * 0.74, s * 0.28);
        arm.cubicTo(s * 0.68, s * 0.25, s * 0.7, s * 0.19, s * 0.75, s * 0.19);
        stroker.setWidth(s * 0.045);
        QPainterPath arms = stroker.createStroke(arm);
        QPainterPath leaf1 = QTransform()
                                 .translate(s * 0.5, s * 0.1)
                                 .rotate(-70)
                                 .map(LeafPath(QRectF(-s * 0.04, -s * 0.14, s * 0.08, s * 0.14)));
        QPainterPath leaf2 = QTransform()
                                 .translate(s * 0.56, s * 0.13)
                                 .rotate(130)
                                 .map(LeafPath(QRectF(-s * 0.035, -s * 0.12, s * 0.07, s * 0.12)));
        QPainterPath part = arms.united(leaf1).united(leaf2);
        if (mirror) part = QTransform(0, 1, 1, 0, 0, 0).map(part); // swap x and y
        shape.addPath(part);
    }
    return shape.simplified();
}

// The path placed in all four corners of a w x h picture, inset by m.
QPainterPath FourCorners(const QPainterPath& corner, int w, int h, double m) {
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    all.addPath(QTransform().translate(m, m).map(corner));
    all.addPath(QTransform(-1, 0, 0, 1, w - m, m).map(corner));
    all.addPath(QTransform(1, 0, 0, -1, m, h - m).map(corner));
    all.addPath(QTransform(-1, 0, 0, -1, w - m, h - m).map(corner));
    return all;
}

// Positions spread along the band of a rectangle (distance `inset` from the
// edges), `count` of them, with a little jitter.
std::vector<QPointF> AlongRect(int w, int h, double inset, int count, TRandom& rnd, double jitter) {
    std::vector<QPointF> pts;
    const double pw = w - 2 * inset, ph = h - 2 * inset, per = 2 * (pw + ph);
    for (int i = 0; i < count; ++i) {
        double d = (i + 0.5) / count * per;
        QPointF p;
        if (d < pw)
            p = QPointF(inset + d, inset);
        else if ((d -= pw) < ph)
            p = QPointF(w - inset, inset + d);
        else if ((d -= ph) < pw)
            p = QPointF(w - inset - d, h - inset);
        else
            p = QPointF(inset, h - inset - (d - pw));
        pts.push_back(p + QPointF(rnd.Range(-jitter, jitter), rnd.Range(-jitter, jitter)));
    }
    return pts;
}

// ---- Classic ----

TRgb WoodColour(const TNoise& n, const TBand& b, const TWoodStyle& style) {
    return WoodAt(n, b.Along, b.DOut * 1.3f + b.Along * 0.01f, style);
}

TFrameArt Walnut() {
    const TBandGeometry g(InsetRect(FW, FH, 0), InsetRect(FW, FH, 66), FW, FH);
    const TNoise grain(401);
    const TWoodStyle style{Hex(0x2e180b), Hex(0x70431f), 0.09f};
    return Plain(RenderBand(
        g, 22.f, [](const TBand& b) { return ClassicProfile()(b.T); },
        [&](const TBand& b, const TShade& s) {
            const TRgb wood = Lit(WoodColour(grain, b, style), s, 0.5f, 0.3f);
            // A thin gilded lip where the frame meets the picture.
            const float lip = Smoothstep(0.86f, 0.9f, b.T);
            return Mix(wood, MetalLit(GoldStops(), s), lip);
        }));
}

float Beads(const TBand& b, float t0, float t1, float pitch) {
    const float u = (b.T - t0) / (t1 - t0);
    if (u <= 0.f || u >= 1.f) return 0.f;
    const float a = (b.Along / pitch - std::floor(b.Along / pitch) - 0.5f) * 2.f, c = (u - 0.5f) * 2.f;
    return std::sqrt(std::max(0.f, 1.f - a * a - c * c));
}

TFrameArt GoldOrnate() {
    const int band = 86;
    const TBandGeometry g(InsetRect(FW, FH, 0), InsetRect(FW, FH, band), FW, FH);
    const TPlane patina = FbmPlane(411, FW, FH, 40, 40, 3);
    QImage frame = RenderBand(
        g, 26.f,
        [](const TBand& b) {
            float h = ClassicProfile()(b.T);
            // Ribs on the outer slope and a row of beads on the inner ridge.
            if (b.T > 0.2f && b.T < 0.4f)
                h += 0.06f * std::sin(b.Along * 2.f * kPi / 7.f) * Cushion((b.T - 0.2f) / 0.2f);
            return h + 0.28f * Beads(b, 0.6f, 0.72f, 12.f);
        },
        [&](const TBand& b, const TShade& s) {
            return MetalLit(GoldStops(), s, 0.05f * patina.At(b.X, b.Y));
        },
        40.f);
    QPainter p(&frame);
    p.end();
    QImage orn = NewArt(FW, FH);
    TPuffy metal;
    metal.Depth = 6;
    metal.Metal = &GoldStops();
    PaintPuffy(orn, FourCorners(CornerFlourish(190), FW, FH, 6), {}, metal);
    QPainter q(&frame);
    q.drawImage(0, 0, WithShadow(orn, 2, 3, 2.5f, 0.5f));
    q.end();
    return Plain(frame);
}

TFrameArt GoldOval() {
    const TPlane outer = Coverage(EllipsePath(QRectF(4, 4, FW - 8, FH - 8)), FW, FH);
    const TPlane opening = InsetCoverage(outer, 74);
    const TBandGeometry g(outer, opening, true);
    const TPlane patina = FbmPlane(421, FW, FH, 40, 40, 3);
    QImage frame = RenderBand(
        g, 24.f, [](const TBand& b) { return ClassicProfile()(b.T) + 0.25f * Beads(b, 0.6f, 0.72f, 13.f); },
        [&](const TBand& b, const TShade& s) {
            return MetalLit(GoldStops(), s, 0.05f * patina.At(b.X, b.Y));
        },
        40.f);
    return {frame, outer};
}

TFrameArt WalnutOval() {
    const TPlane outer = Coverage(EllipsePath(QRectF(4, 4, FW - 8, FH - 8)), FW, FH);
    const TBandGeometry g(outer, InsetCoverage(outer, 64), true);
    const TNoise grain(425);
    const TWoodStyle style{Hex(0x33190b), Hex(0x7a4a22), 0.09f};
    return {RenderBand(
                g, 20.f, [](const TBand& b) { return ClassicProfile()(b.T); },
                [&](const TBand& b, const TShade& s) {
                    // Grain runs round the ring; a gilded lip at the opening.
                    const TRgb wood = Lit(WoodAt(grain, b.Along, b.DOut * 1.3f, style), s, 0.5f, 0.3f);
                    return Mix(wood, MetalLit(GoldStops(), s), Smoothstep(0.86f, 0.9f, b.T));
                }),
            outer};
}

TFrameArt Silver() {
    const TBandGeometry g(InsetRect(FW, FH, 0), InsetRect(FW, FH, 48), FW, FH);
    const TNoise brush(431);
    static const TProfile profile{{0.f, 0.2f},   {0.15f, 0.85f}, {0.45f, 1.f},
                                  {0.75f, 0.7f}, {0.9f, 0.55f},  {1.f, 0.f}};
    return Plain(RenderBand(
        g, 16.f, [](const TBand& b) { return profile(b.T); },
        [&](const TBand& b, const TShade& s) {
            return MetalLit(SilverStops(), s, 0.05f * brush.Fbm(b.Along / 200.f, b.DOut / 1.5f, 2));
        },
        50.f));
}

// A cream mat (passe-partout) between outer and opening, its cut edge
// bevelled and showing the white core.
QImage Mat(const TBandGeometry& g, const TRgb& tone) {
    const TPaper paper(441, g.W, g.H, false, 6, 100);
    return RenderBand(
        g, 5.f, [](const TBand& b) { return b.DIn < 7.f ? b.DIn / 7.f : 1.f; },
        [&](const TBand& b, const TShade& s) {
            if (b.DIn < 7.f) return Lit(Hex(0xfbf9f4), s, 0.7f, 0.05f);
            return Lit(paper.At(b.X, b.Y, tone, 1.5f), s, 0.7f, 0.f);
        },
        10.f);
}

TFrameArt WalnutMat() {
    const int wood = 42;
    const TBandGeometry mg(InsetRect(FW, FH, wood - 2), InsetRect(FW, FH, wood + 72), FW, FH);
    QImage frame = Mat(mg, Hex(0xf1eadc));
    const TBandGeometry wg(InsetRect(FW, FH, 0), InsetRect(FW, FH, wood), FW, FH);
    const TNoise grain(451);
    const TWoodStyle style{Hex(0x21140c), Hex(0x4e3220), 0.1f};
    static const TProfile profile{{0.f, 0.3f}, {0.2f, 1.f}, {0.6f, 0.9f}, {0.85f, 0.5f}, {1.f, 0.f}};
    const QImage woodImg = RenderBand(
        wg, 12.f, [](const TBand& b) { return profile(b.T); },
        [&](const TBand& b, const TShade& s) { return Lit(WoodColour(grain, b, style), s, 0.45f, 0.35f); });
    QPainter p(&frame);
    p.drawImage(0, 0, woodImg);
    return Plain(frame);
}

TFrameArt OvalMat() {
    const int gold = 28;
    const TPlane matOuter = Coverage(InsetRect(FW, FH, gold - 2), FW, FH);
    const TPlane matOpening = Coverage(
        EllipsePath(QRectF(gold + 70, gold + 56, FW - 2 * (gold + 70), FH - 2 * (gold + 56))), FW, FH);
    QImage frame = Mat(TBandGeometry(matOuter, matOpening), Hex(0xe9e2d3));
    const TBandGeometry gg(InsetRect(FW, FH, 0), InsetRect(FW, FH, gold), FW, FH);
    const QImage goldImg = RenderBand(
        gg, 10.f, [](const TBand& b) { return Cushion(b.T) * 0.8f + 0.2f * Beads(b, 0.35f, 0.65f, 9.f); },
        [](const TBand&, const TShade& s) { return MetalLit(GoldStops(), s); }, 40.f);
    QPainter p(&frame);
    p.drawImage(0, 0, goldImg);
    return Plain(frame);
}

TFrameArt OrnateCorners() {
    QImage frame = NewArt(FW, FH);
    {
        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x2c2a2e), 10, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(5, 5, FW - 10, FH - 10));
        p.setPen(QPen(QColor(0xc9a24a), 2.5));
        p.drawRect(QRectF(22, 22, FW - 44, FH - 44));
    }
    QImage orn = NewArt(FW, FH);
    TPuffy metal;
    metal.Depth = 5;
    metal.Metal = &GoldStops();
    PaintPuffy(orn, FourCorners(CornerFlourish(230), FW, FH, 12), {}, metal);
    QPainter p(&frame);
    p.drawImage(0, 0, WithShadow(orn, 2, 3, 2.5f, 0.45f));
    return Plain(frame);
}

// ---- Free ----

TFrameArt Polaroid() {
    const QRectF opening(44, 44, FW - 88, FH - 44 - 150);
    const TPlane hole =
        Coverage(RectPath(opening.left(), opening.top(), opening.right(), opening.bottom()), FW, FH);
    const TPlane d = InsideDistance(hole);
    const TPaper paper(461, FW, FH, false, 6, 160);
    TPlane alpha(FW, FH);
    for (size_t i = 0; i < alpha.V.size(); ++i) {
        // The card, plus a faint shadow the card's edge casts into the photo.
        const float shadow = 0.28f * std::exp(-std::max(0.f, d.V[i]) / 5.f);
        alpha.V[i] = std::max(1.f - hole.V[i], shadow * hole.V[i]);
    }
    QImage img = NewArt(FW, FH);
    PaintAlpha(img, alpha, [&](int x, int y) {
        if (hole.At(x, y) > 0.5f) return Hex(0x1a1612);
        // The card's surface gets a soft sheen from the top left.
        const float sheen = 1.f + 0.015f * (1.f - (x + y) / float(FW + FH));
        return paper.At(x, y, Hex(0xf7f5ef), 1.2f) * sheen;
    });
    return Plain(img);
}

TFrameArt FilmStrip() {
    const int band = 84;
    QPainterPath holes;
    for (double x = 18; x < FW - 30; x += 46) {
        holes.addRoundedRect(QRectF(x, 26, 26, 34), 5, 5);
        holes.addRoundedRect(QRectF(x, FH - 60, 26, 34), 5, 5);
    }
    QPainterPath film = InsetRect(FW, FH, 0).subtracted(holes);
    QPainterPath opening = RoundRectPath(QRectF(28, band, FW - 56, FH - 2 * band), 8);
    const TPlane outer = Coverage(film, FW, FH);
    const TPlane open = Coverage(opening, FW, FH);
    const TBandGeometry g(outer, open);
    const TPlane sheen = FbmPlane(471, FW, FH, 300, 80, 3);
    QImage img = RenderBand(
        g, 2.f, [](const TBand& b) { return Smoothstep(0.f, 2.f, b.DOut) * Smoothstep(0.f, 2.f, b.DIn); },
        [&](const TBand& b, const TShade& s) {
            const TRgb base = Mix(Hex(0x141210), Hex(0x2a241e), 0.5f + 0.5f * sheen.At(b.X, b.Y));
            return Lit(base, s, 0.7f, 0.4f);
        },
        30.f);
    // Edge print along the strip.
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font("DejaVu Sans Condensed");
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(230, 150, 50, 210));
    for (int i = 0; i < 4; ++i) {
        p.drawText(QPointF(60 + i * 240, 17), QString("VELMORA 400   %1").arg(12 + i));
        p.drawText(QPointF(150 + i * 240, FH - 7), QString("%1A  \u25B8").arg(12 + i));
    }
    return {img, outer};
}

TFrameArt GalleryWhite() {
    QImage img = NewArt(FW, FH);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath band = InsetRect(FW, FH, 0).subtracted(InsetRect(FW, FH, 30));
    p.fillPath(band, QColor(0xfcfbf8));
    p.setPen(QPen(QColor(0xb9b3a8), 1.5));
    p.drawRect(QRectF(18, 18, FW - 36, FH - 36));
    // Soft shadow of the white band on the picture.
    for (int i = 0; i < 8; ++i) {
        p.setPen(QPen(QColor(0, 0, 0, 30 - i * 4), 1));
        p.drawRect(QRectF(30.5 + i, 30.5 + i, FW - 61 - 2 * i, FH - 61 - 2 * i));
    }
    return Plain(img);
}

TFrameArt DoubleLine() {
    QImage img = NewArt(FW, FH);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2b2b30), 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(20, 20, FW - 40, FH - 40));
    p.setPen(QPen(QColor(0x2b2b30), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(34, 34, FW - 68, FH - 68));
    return Plain(img);
}

TFrameArt OvalLine() {
    // Two fine ink lines round an oval opening; the companion cuts the photo
    // to the outer line.
    const QRectF outerRect(14, 14, FW - 28, FH - 28);
    QImage img = NewArt(FW, FH);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x2b2b30), 7));
        p.drawEllipse(outerRect.adjusted(3.5, 3.5, -3.5, -3.5));
        p.setPen(QPen(QColor(0x2b2b30), 2));
        p.drawEllipse(outerRect.adjusted(17, 17, -17, -17));
    }
    return {img, Coverage(EllipsePath(outerRect), FW, FH)};
}

TFrameArt Cushioned(const QPainterPath& outerPath, float band, const TRgb& colour, uint32_t seed, int w = FW,
                    int h = FH) {
    const TPlane outer = Coverage(outerPath, w, h);
    const TBandGeometry g(outer, InsetCoverage(outer, band));
    const TPaper cloth(seed, w, h, false, 3, 60);
    QImage img = RenderBand(
        g, band * 0.35f, [](const TBand& b) { return Cushion(b.T); },
        [&](const TBand& b, const TShade& s) { return Lit(cloth.At(b.X, b.Y, colour, 2.f), s, 0.6f, 0.3f); },
        20.f);
    return {img, outer};
}

TFrameArt Rounded() {
    return Cushioned(RoundRectPath(QRectF(4, 4, FW - 8, FH - 8), 110), 58, Hex(0xf1e2d0), 481);
}

TFrameArt Scalloped() {
    TFrameArt art = Cushioned(ScallopPath(QRectF(30, 30, FW - 60, FH - 60), 24), 64, Hex(0xb9e0d0), 491);
    // A dotted stitch line along the middle of the band.
    QPainter p(&art.Frame);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(255, 255, 255, 220), 4, Qt::DotLine, Qt::RoundCap);
    p.setPen(pen);
    p.drawRoundedRect(QRectF(46, 46, FW - 92, FH - 92), 20, 20);
    return art;
}

TFrameArt Denim() {
    const int band = 64;
    const TBandGeometry g(InsetRect(FW, FH, 0), InsetRect(FW, FH, band), FW, FH);
    const TPlane slub = FbmPlane(501, FW, FH, 120, 30, 3), fade = FbmPlane(502, FW, FH, 200, 200, 3);
    QImage img = RenderBand(
        g, 6.f,
        [](const TBand& b) {
            // Folded-over hem: rounded at both edges, a seam groove in the middle.
            return Smoothstep(0.f, 6.f, b.DOut) * Smoothstep(0.f, 4.f, b.DIn) -
                   0.5f * std::exp(-std::pow((b.T - 0.5f) / 0.04f, 2.f));
        },
        [&](const TBand& b, const TShade& s) {
            const float twill = 0.5f + 0.5f * std::sin((b.X + b.Y) * 2.f * kPi / 4.f);
            TRgb c = Mix(Hex(0x20365a), Hex(0x44699a), 0.35f + 0.3f * twill + 0.2f * slub.At(b.X, b.Y));
            c = c * (0.92f + 0.12f * fade.At(b.X, b.Y));
            return Lit(c, s, 0.6f, 0.1f);
        });
    // Stitches in orange thread, two rows.
    QImage stitches = NewArt(FW, FH);
    QPainterPath dashes;
    for (double inset : {12.0, band - 12.0}) {
        const QRectF r(inset, inset, FW - 2 * inset, FH - 2 * inset);
        const double per = 2 * (r.width() + r.height());
        for (double d = 0; d < per; d += 14) {
            QLineF seg;
            auto at = [&](double t) {
                t = std::fmod(t, per);
                if (t < r.width()) return QPointF(r.left() + t, r.top());
                if ((t -= r.width()) < r.height()) return QPointF(r.right(), r.top() + t);
                if ((t -= r.height()) < r.width()) return QPointF(r.right() - t, r.bottom());
                return QPointF(r.left(), r.bottom() - (t - r.width()));
            };
            QPainterPath dash;
            dash.moveTo(at(d));
            dash.lineTo(at(d + 8));
            QPainterPathStroker st;
            st.setWidth(3.2);
            st.setCapStyle(Qt::RoundCap);
            dashes.addPath(st.createStroke(dash));
        }
    }
    dashes.setFillRule(Qt::WindingFill);
    TPuffy thread;
    thread.Depth = 1.6f;
    thread.Gloss = 0.3f;
    PaintPuffy(stitches, dashes, Hex(0xe3a04e), thread);
    QPainter p(&img);
    p.drawImage(0, 0, WithShadow(stitches, 0.8f, 1.2f, 0.8f, 0.5f));
    return Plain(img);
}

TFrameArt Stamp() {
    const TPlane outer = Coverage(StampPath(QRectF(14, 14, FW - 28, FH - 28), 11), FW, FH);
    const TPlane open = Coverage(RectPath(62, 62, FW - 62, FH - 62), FW, FH);
    const TBandGeometry g(outer, open);
    const TPaper paper(511, FW, FH, false, 5, 120);
    QImage img = RenderBand(
        g, 1.5f, [](const TBand& b) { return Smoothstep(0.f, 2.f, b.DOut); },
        [&](const TBand& b, const TShade& s) {
            return Lit(paper.At(b.X, b.Y, Hex(0xfbfaf5), 1.5f), s, 0.8f, 0.f);
        });
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xc0392b), 2));
    p.drawRect(QRectF(52, 52, FW - 104, FH - 104));
    return {img, outer};
}

TFrameArt Vignette() {
    TPlane alpha(FW, FH);
    for (int y = 0; y < FH; ++y)
        for (int x = 0; x < FW; ++x) {
            const float dx = (x + 0.5f - FW / 2.f) / (FW / 2.f), dy = (y + 0.5f - FH / 2.f) / (FH / 2.f);
            // Rounded-rectangle falloff: darker in the corners than at the sides.
            const float r = std::pow(std::pow(std::fabs(dx), 4.f) + std::pow(std::fabs(dy), 4.f), 0.25f);
            alpha.At(x, y) = std::pow(Smoothstep(0.62f, 1.0f, r), 1.4f) * 0.92f;
        }
    QImage img = NewArt(FW, FH);
    PaintAlpha(img, alpha, [](int, int) { return Hex(0x0d0b0a); });
    return Plain(img);
}

TFrameArt TornPaper() {
    const TPlane big = FbmPlane(521, FW, FH, 80, 80, 4), fine = FbmPlane(522, FW, FH, 7, 7, 3);
    TPlane open(FW, FH), fringe(FW, FH);
    for (int y = 0; y < FH; ++y)
        for (int x = 0; x < FW; ++x) {
            const float d =
                std::min(std::min(float(x) - 58, FW - 58.f - x), std::min(float(y) - 58, FH - 58.f - y)) +
                big.At(x, y) * 16.f + fine.At(x, y) * 4.f;
            open.At(x, y) = Smoothstep(-0.7f, 0.7f, d);
            fringe.At(x, y) = Smoothstep(6.f, 0.f, d) * Smoothstep(-1.f, 0.f, d); // fibres at the tear
        }
    const TPaper paper(523, FW, FH, false, 5, 150);
    const TPlane shadowSrc = [&] {
        TPlane s(FW, FH);
        for (size_t i = 0; i < s.V.size(); ++i) s.V[i] = 1.f - open.V[i];
        Blur(s, 4.f);
        return s;
    }();
    TPlane alpha(FW, FH);
    for (size_t i = 0; i < alpha.V.size(); ++i) {
        const float shadow = shadowSrc.V[i] * 0.35f * open.V[i];
        alpha.V[i] = std::max(1.f - open.V[i] + fringe.V[i] * 0.7f * open.V[i], shadow);
    }
    QImage img = NewArt(FW, FH);
    PaintAlpha(img, alpha, [&](int x, int y) {
        const size_t i = size_t(y) * FW + x;
        if (open.V[i] > 0.5f && fringe.V[i] < 0.05f) return Hex(0x000000); // shadow
        const TRgb tone = Mix(Hex(0xfbf8f1), Hex(0xffffff), fringe.V[i]);
        return paper.At(x, y, tone, 1.5f);
    });
    return Plain(img);
}

// ---- Love ----

TFrameArt HeartFrame() {
    const int s = 800;
    const TPlane outer = Coverage(HeartPath(QRectF(12, 40, s - 24, (s - 24) * 29.0 / 32.0)), s, s);
    const TBandGeometry g(outer, InsetCoverage(outer, 78));
    QImage img = RenderBand(
        g, 30.f, [](const TBand& b) { return Cushion(b.T); },
        [](const TBand& b, const TShade& sh) {
            const TRgb base = Mix(Hex(0xd81b48), Hex(0xf06a8c), Clamp01(b.Y / 800.f * 0.4f));
            return Lit(base, sh, 0.5f, 0.7f);
        },
        36.f);
    // Sparkling little hearts on the band.
    QImage deco = NewArt(s, s);
    TRandom rnd(531);
    TPuffy puffy;
    puffy.Depth = 4;
    for (int i = 0; i < 26; ++i) {
        const int x = rnd.Int(s), y = rnd.Int(s);
        const TBand b = g.Band(x, y);
        if (g.Alpha.At(x, y) < 1.f || b.T < 0.3f || b.T > 0.7f) continue;
        const double hs = rnd.Range(14, 24);
        QPainterPath h = QTransform()
                             .translate(x, y)
                             .rotate(rnd.Range(-25, 25))
                             .map(HeartPath(QRectF(-hs * 0.55, -hs / 2, hs * 1.1, hs)));
        PaintPuffy(deco, h, Hex(0xfff0f4), puffy);
    }
    QPainter p(&img);
    p.drawImage(0, 0, deco);
    return {img, outer};
}

TFrameArt HeartGold() {
    const int s = 800;
    const TPlane outer = Coverage(HeartPath(QRectF(12, 40, s - 24, (s - 24) * 29.0 / 32.0)), s, s);
    const TBandGeometry g(outer, InsetCoverage(outer, 62), true);
    const TPlane patina = FbmPlane(535, s, s, 40, 40, 3);
    return {RenderBand(
                g, 22.f,
                [](const TBand& b) { return ClassicProfile()(b.T) + 0.25f * Beads(b, 0.6f, 0.74f, 12.f); },
                [&](const TBand& b, const TShade& sh) {
                    return MetalLit(GoldStops(), sh, 0.05f * patina.At(b.X, b.Y));
                },
                40.f),
            outer};
}

TFrameArt HeartsBorder() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(541);
    const TRgb colours[] = {Hex(0xe63e62), Hex(0xf58aa5), Hex(0xc2185b), Hex(0xffb3c6)};
    TPuffy puffy;
    puffy.Depth = 9;
    for (int ring = 0; ring < 2; ++ring) {
        const auto pts = AlongRect(FW, FH, ring == 0 ? 34 : 74, ring == 0 ? 46 : 40, rnd, 6);
        for (const QPointF& c : pts) {
            const double hs = ring == 0 ? rnd.Range(44, 62) : rnd.Range(26, 40);
            QPainterPath h = QTransform()
                                 .translate(c.x(), c.y())
                                 .rotate(rnd.Range(-30, 30))
                                 .map(HeartPath(QRectF(-hs * 0.55, -hs / 2, hs * 1.1, hs)));
            PaintPuffy(img, h, colours[rnd.Int(4)], puffy);
        }
    }
    return Plain(WithShadow(img, 2, 4, 4, 0.35f));
}

TFrameArt Lace() {
    const TPlane outer = Coverage(ScallopPath(QRectF(34, 34, FW - 68, FH - 68), 26), FW, FH);
    const TPlane open = Coverage(EllipsePath(QRectF(110, 96, FW - 220, FH - 192)), FW, FH);
    // Lace: eyelet holes on a hexagonal grid, kept away from the edges.
    TPlane fabric = outer;
    const float pitch = 22.f;
    const TPlane dOut = InsideDistance(outer, true), dOpenOut = OutsideDistance(open);
    for (int y = 0; y < FH; ++y)
        for (int x = 0; x < FW; ++x) {
            const int row = int(std::floor(y / (pitch * 0.866f)));
            const float cy = (row + 0.5f) * pitch * 0.866f;
            const float cx = (std::floor(x / pitch - (row % 2) * 0.5f) + 0.5f + (row % 2) * 0.5f) * pitch;
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float margin = std::min(dOut.At(x, y), dOpenOut.At(x, y));
            if (margin > 12.f) fabric.At(x, y) *= Smoothstep(4.2f, 5.4f, d);
        }
    const TBandGeometry g(fabric, open, true);
    QImage img = RenderBand(
        g, 3.f, [&](const TBand& b) { return g.Alpha.At(b.X, b.Y); },
        [](const TBand&, const TShade& s) { return Lit(Hex(0xfdfbf6), s, 0.75f, 0.15f); });
    return {WithShadow(img, 1.5f, 2.5f, 2.f, 0.3f), outer};
}

TFrameArt RoseCorners() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(551);
    auto corner = [&](QPointF c, double dir) {
        for (int i = 0; i < 5; ++i)
            PaintLeaf(img, c + QPointF(rnd.Range(-25, 25), rnd.Range(-25, 25)), rnd.Range(110, 160),
                      dir + i * 28 - 15 + rnd.Range(-8, 8), i % 2 ? Hex(0x4f8a3c) : Hex(0x3d7330));
        PaintRose(img, c, 84, Hex(0xe2506f), rnd);
        PaintRose(img, c + QPointF(std::cos(dir * M_PI / 180) * 140, std::sin(dir * M_PI / 180) * 140), 58,
                  Hex(0xf28aa2), rnd);
        PaintRose(
            img,
            c + QPointF(std::cos((dir + 90) * M_PI / 180) * 132, std::sin((dir + 90) * M_PI / 180) * 132), 50,
            Hex(0xf5b2c2), rnd);
    };
    corner(QPointF(80, 80), 0);
    corner(QPointF(FW - 80, FH - 80), 180);
    return Plain(WithShadow(img, 3, 5, 5, 0.35f));
}

// ---- Party ----

TFrameArt Balloons() {
    QImage img = NewArt(FW, FH);
    PaintBalloon(img, QPointF(110, 115), 78, Hex(0xe84a5f), QPointF(230, 420));
    PaintBalloon(img, QPointF(265, 100), 64, Hex(0xf7b733), QPointF(234, 420));
    PaintBalloon(img, QPointF(80, 300), 58, Hex(0x45b5c4), QPointF(232, 424));
    PaintBalloon(img, QPointF(FW - 110, FH - 330), 78, Hex(0x8e6cd8), QPointF(FW - 230, FH - 10));
    PaintBalloon(img, QPointF(FW - 280, FH - 290), 62, Hex(0x5cc46a), QPointF(FW - 232, FH - 12));
    PaintBalloon(img, QPointF(FW - 80, FH - 150), 54, Hex(0xf46fa0), QPointF(FW - 228, FH - 10));
    return Plain(WithShadow(img, 4, 6, 6, 0.3f));
}

TFrameArt Confetti() {
    QImage img = NewArt(FW, FH);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor colours[] = {QColor(0xf25c78), QColor(0xf9c74f), QColor(0x43aa8b),
                              QColor(0x577590), QColor(0xb388eb), QColor(0xf8961e)};
    TRandom rnd(561);
    int placed = 0;
    while (placed < 900) {
        const double x = rnd.Range(0, FW), y = rnd.Range(0, FH);
        const double edge = std::min(std::min(x, FW - x), std::min(y, FH - y));
        // Dense at the edge, thinning out towards the middle.
        if (rnd.Next() > std::exp(-edge / 38.0)) continue;
        ++placed;
        QColor c = colours[rnd.Int(6)];
        p.save();
        p.translate(x, y);
        p.rotate(rnd.Range(0, 360));
        const double s = rnd.Range(6, 13);
        // Tilted pieces catch less light.
        c = c.darker(100 + rnd.Int(25));
        p.setBrush(c);
        switch (rnd.Int(3)) {
        case 0:
            p.drawEllipse(QPointF(0, 0), s * 0.5, s * 0.5);
            break;
        case 1:
            p.drawRect(QRectF(-s * 0.6, -s * 0.3, s * 1.2, s * 0.6));
            break;
        default: {
            QPainterPath curl;
            curl.moveTo(-s * 1.2, 0);
            curl.cubicTo(-s * 0.4, -s, s * 0.4, s, s * 1.2, 0);
            p.strokePath(curl, QPen(c, 3, Qt::SolidLine, Qt::RoundCap));
        }
        }
        p.restore();
    }
    p.end();
    return Plain(WithShadow(img, 1, 2, 1.5f, 0.25f));
}

TFrameArt Stars() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(571);
    TPuffy metal;
    metal.Metal = &GoldStops();
    for (int ring = 0; ring < 2; ++ring) {
        const auto pts = AlongRect(FW, FH, ring == 0 ? 36 : 80, ring == 0 ? 34 : 30, rnd, 10);
        for (const QPointF& c : pts) {
            const double r = ring == 0 ? rnd.Range(20, 34) : rnd.Range(10, 18);
            metal.Depth = float(r * 0.35);
            PaintPuffy(img, SoftStarPath(c, r, r * 0.48, 5, 0.18), {}, metal);
        }
    }
    return Plain(WithShadow(img, 2, 3, 3, 0.35f));
}

TFrameArt Bunting() {
    QImage img = NewArt(FW, FH);
    const TRgb colours[] = {Hex(0xe94f64), Hex(0xf6c453), Hex(0x4fb3bf), Hex(0x8c6fd1), Hex(0x6cc070)};
    auto garland = [&](double y0, double sag, double x0, double x1, int flags, double size) {
        auto curve = [&](double t) { return QPointF(x0 + (x1 - x0) * t, y0 + sag * 4 * t * (1 - t)); };
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath cord;
        cord.moveTo(curve(0));
        for (int i = 1; i <= 60; ++i) cord.lineTo(curve(i / 60.0));
        p.setPen(QPen(QColor(0x8a7060), 3));
        p.drawPath(cord);
        p.end();
        TPuffy cloth;
        cloth.Depth = 5;
        cloth.Gloss = 0.15f;
        for (int i = 0; i < flags; ++i) {
            const double ta = (i + 0.12) / flags, tb = (i + 0.88) / flags;
            const QPointF a = curve(ta), b = curve(tb);
            const QPointF mid = (a + b) / 2;
            const QPointF dir = b - a;
            const QPointF normal(-dir.y(), dir.x());
            const double nl = std::hypot(normal.x(), normal.y());
            QPainterPath flag;
            flag.moveTo(a);
            flag.lineTo(b);
            flag.lineTo(mid + normal / nl * -size);
            flag.closeSubpath();
            // Flags hang downwards: the normal pointing down.
            if ((normal / nl * -size).y() < 0) {
                flag = QPainterPath();
                flag.moveTo(a);
                flag.lineTo(b);
                flag.lineTo(mid + normal / nl * size);
                flag.closeSubpath();
            }
            PaintPuffyFn(
                img, flag,
                [&, i](int x, int y) {
                    // Polka dots on every other flag.
                    if (i % 2) return colours[i % 5];
                    const float u = float(x) / 14.f, v = float(y) / 14.f;
                    const float d = std::hypot(u - std::floor(u) - 0.5f, v - std::floor(v) - 0.5f);
                    return Mix(colours[i % 5], Hex(0xffffff), Smoothstep(0.24f, 0.2f, d) * 0.8f);
                },
                cloth);
        }
    };
    garland(20, 90, -10, FW + 10, 11, 86);
    garland(FH - 150, -60, FW * 0.55, FW + 10, 5, 60);
    garland(FH - 150, -60, -10, FW * 0.45, 5, 60);
    return Plain(WithShadow(img, 3, 5, 4, 0.3f));
}

// ---- Nature ----

TFrameArt LeafWreath() {
    const TPlane outer = Coverage(EllipsePath(QRectF(6, 6, FW - 12, FH - 12)), FW, FH);
    QImage img = NewArt(FW, FH);
    TRandom rnd(581);
    const TRgb greens[] = {Hex(0x3f7d3a), Hex(0x5b9a48), Hex(0x2f6430), Hex(0x7fb35a)};
    // Leaves along an ellipse, pointing clockwise, in two staggered rows.
    const int n = 90;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        for (int row = 0; row < 2; ++row) {
            const double rx = FW / 2.0 - 60 - row * 26, ry = FH / 2.0 - 60 - row * 26;
            const QPointF c(FW / 2.0 + std::cos(a) * rx, FH / 2.0 + std::sin(a) * ry);
            const double tangent = std::atan2(std::cos(a) * ry, -std::sin(a) * rx) * 180 / M_PI;
            const double tilt = row == 0 ? -35 : 35;
            PaintLeaf(img, c, rnd.Range(52, 70), tangent + 90 + tilt + rnd.Range(-10, 10),
                      greens[rnd.Int(4)]);
        }
    }
    // Small white blossoms and berries among the leaves.
    TPuffy puffy;
    puffy.Depth = 5;
    for (int i = 0; i < 22; ++i) {
        const double a = rnd.Range(0, 2 * M_PI);
        const QPointF c(FW / 2.0 + std::cos(a) * (FW / 2.0 - 72), FH / 2.0 + std::sin(a) * (FH / 2.0 - 72));
        if (i % 2)
            PaintPuffy(img, FlowerPath(c, 15, 5, 0.7, rnd.Range(0, 72)), Hex(0xfdfcf5), puffy);
        else
            PaintPuffy(img, EllipsePath(QRectF(c.x() - 7, c.y() - 7, 14, 14)), Hex(0xc6283b), puffy);
    }
    QImage shadowed = WithShadow(img, 3, 4, 3, 0.35f);
    // Nothing may stick out of the outer ellipse: the companion cuts there.
    TPlane a = AlphaPlane(shadowed);
    QImage clipped = NewArt(FW, FH);
    {
        QPainter p(&clipped);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(EllipsePath(QRectF(6, 6, FW - 12, FH - 12)));
        p.drawImage(0, 0, shadowed);
    }
    (void)a;
    return {clipped, outer};
}

TFrameArt DaisyCorners() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(591);
    TPuffy petal;
    petal.Depth = 6;
    petal.Gloss = 0.2f;
    auto daisy = [&](QPointF c, double r) {
        const int petals = 14;
        const double rot = rnd.Range(0, 30);
        for (int i = 0; i < petals; ++i) {
            const double a = rot + i * 360.0 / petals;
            QPainterPath p = QTransform()
                                 .translate(c.x(), c.y())
                                 .rotate(a)
                                 .map(EllipsePath(QRectF(-r * 0.16, -r, r * 0.32, r * 0.78)));
            PaintPuffy(img, p, Hex(0xfdfdf8), petal);
        }
        TPuffy centre;
        centre.Depth = float(r * 0.2);
        PaintPuffyFn(
            img, EllipsePath(QRectF(c.x() - r * 0.3, c.y() - r * 0.3, r * 0.6, r * 0.6)),
            [&](int x, int y) {
                const float g = 0.5f + 0.5f * std::sin(x * 1.7f) * std::sin(y * 1.7f);
                return Mix(Hex(0xe8a317), Hex(0xf7cf4a), g);
            },
            centre);
    };
    auto corner = [&](QPointF c, double dir) {
        for (int i = 0; i < 6; ++i)
            PaintLeaf(img, c, rnd.Range(120, 170), dir - 45 + i * 18 + rnd.Range(-5, 5),
                      i % 2 ? Hex(0x5a9a3f) : Hex(0x477f33));
        daisy(c, 86);
        daisy(c + QPointF(std::cos((dir - 45) * M_PI / 180) * 165, std::sin((dir - 45) * M_PI / 180) * 165),
              60);
        daisy(c + QPointF(std::cos((dir + 45) * M_PI / 180) * 160, std::sin((dir + 45) * M_PI / 180) * 160),
              52);
    };
    corner(QPointF(60, 60), 90 + 45);
    corner(QPointF(FW - 60, FH - 60), -45);
    return Plain(WithShadow(img, 3, 5, 5, 0.35f));
}

TFrameArt Bamboo() {
    QImage img = NewArt(FW, FH);
    const double t = 40;
    TPuffy cane;
    cane.Depth = float(t / 2);
    cane.Gloss = 0.45f;
    cane.Shininess = 30;
    const TPlane streakH = FbmPlane(601, FW, FH, 200, 3, 3), streakV = FbmPlane(601, FW, FH, 3, 200, 3);
    auto pole = [&](QRectF r, bool horizontal) {
        PaintPuffyFn(
            img, RoundRectPath(r, t / 2),
            [&](int x, int y) {
                const float u = horizontal ? float(x) : float(y);
                const TRgb base = Mix(Hex(0x9c8a3e), Hex(0xc9b565),
                                      0.5f + 0.5f * (horizontal ? streakH : streakV).At(x, y));
                // Nodes every so often: a darker, slightly swollen ring.
                const float node = std::exp(-std::pow(std::fmod(u + 37.f, 170.f) - 85.f, 2.f) / 10.f);
                return Mix(base, Hex(0x5f5326), node * 0.7f);
            },
            cane);
    };
    pole(QRectF(8, 10, t, FH - 20), false);
    pole(QRectF(FW - 8 - t, 10, t, FH - 20), false);
    pole(QRectF(-20, 14, FW + 40, t), true);
    pole(QRectF(-20, FH - 14 - t, FW + 40, t), true);
    // Twine lashing at the crossings.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x6b4e2e), 3));
    for (QPointF c : {QPointF(8 + t / 2, 14 + t / 2), QPointF(FW - 8 - t / 2, 14 + t / 2),
                      QPointF(8 + t / 2, FH - 14 - t / 2), QPointF(FW - 8 - t / 2, FH - 14 - t / 2)})
        for (int k = -3; k <= 3; ++k)
            p.drawLine(c + QPointF(-t * 0.6 + k * 4, -t * 0.6 - k * 4),
                       c + QPointF(t * 0.6 + k * 4, t * 0.6 - k * 4));
    p.end();
    return Plain(WithShadow(img, 3, 5, 4, 0.35f));
}

TFrameArt CloudFrame() {
    // Bumps all around a rounded body make a cloud-shaped outer edge.
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addRoundedRect(QRectF(60, 60, FW - 120, FH - 120), 80, 80);
    TRandom rnd(611);
    const auto pts = AlongRect(FW, FH, 92, 26, rnd, 4);
    for (const QPointF& c : pts) {
        const double r = rnd.Range(52, 78);
        cloud.addEllipse(c, r, r);
    }
    cloud = cloud.simplified().intersected(InsetRect(FW, FH, 4));
    TFrameArt art = Cushioned(cloud, 60, Hex(0xfbfdff), 612);
    // Cool shading keeps the white cloud from looking grey.
    QImage tinted = NewArt(FW, FH);
    QPainter p(&tinted);
    p.drawImage(0, 0, art.Frame);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(tinted.rect(), QColor(120, 170, 230, 28));
    p.end();
    art.Frame = tinted;
    return art;
}

// ---- Baby ----

// A soft quilted band in pastel pink with white polka dots and a stitch line.
TFrameArt PastelDots() {
    const QPainterPath outerPath = RoundRectPath(QRectF(6, 6, FW - 12, FH - 12), 70);
    const TPlane outer = Coverage(outerPath, FW, FH);
    const float band = 62;
    const TBandGeometry g(outer, InsetCoverage(outer, band));
    const TPaper cloth(621, FW, FH, false, 3, 60);
    QImage img = RenderBand(
        g, band * 0.3f, [](const TBand& b) { return Cushion(b.T); },
        [&](const TBand& b, const TShade& s) {
            const float u = b.X / 26.f, v = b.Y / 26.f + (int(std::floor(u)) % 2) * 0.5f;
            const float d = std::hypot(u - std::floor(u) - 0.5f, v - std::floor(v) - 0.5f);
            const TRgb base = Mix(Hex(0xf9c9d6), Hex(0xffffff), Smoothstep(0.2f, 0.16f, d));
            return Lit(cloth.At(b.X, b.Y, base, 1.5f), s, 0.65f, 0.25f);
        },
        20.f);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 230), 3, Qt::DashLine, Qt::RoundCap));
    p.drawRoundedRect(QRectF(40, 40, FW - 80, FH - 80), 44, 44);
    return {img, outer};
}

// Pastel stars, moons and little clouds scattered along the edges.
TFrameArt NightSky() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(631);
    const TRgb pastels[] = {Hex(0xffe082), Hex(0xb3e5fc), Hex(0xf8bbd0), Hex(0xc5e1a5), Hex(0xd1c4e9)};
    TPuffy puffy;
    puffy.Gloss = 0.3f;
    for (int ring = 0; ring < 2; ++ring) {
        const auto pts = AlongRect(FW, FH, ring == 0 ? 40 : 92, ring == 0 ? 30 : 24, rnd, 10);
        for (size_t i = 0; i < pts.size(); ++i) {
            const QPointF c = pts[i];
            const double r = ring == 0 ? rnd.Range(22, 34) : rnd.Range(12, 20);
            puffy.Depth = float(r * 0.4);
            const int kind = int((i + ring) % 5);
            if (kind == 0) {
                const QPainterPath moon =
                    EllipsePath(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r))
                        .subtracted(EllipsePath(QRectF(c.x() - r * 0.4, c.y() - r * 1.2, 2 * r, 2 * r)));
                PaintPuffy(img, moon, Hex(0xfff59d), puffy);
            } else if (kind == 3 && ring == 0) {
                PaintPuffy(img, CloudPath(QRectF(c.x() - r * 1.4, c.y() - r * 0.8, r * 2.8, r * 1.6), int(i)),
                           Hex(0xffffff), puffy);
            } else {
                PaintPuffy(img, SoftStarPath(c, r, r * 0.5, 5, 0.3), pastels[rnd.Int(5)], puffy);
            }
        }
    }
    return Plain(WithShadow(img, 2, 3, 3, 0.25f));
}

// ---- Travel ----

// The red and blue diagonal stripes of an airmail envelope on white paper.
TFrameArt Airmail() {
    const int band = 44;
    const TBandGeometry g(InsetRect(FW, FH, 0), InsetRect(FW, FH, band), FW, FH);
    const TPaper paper(641, FW, FH, false, 4, 100);
    QImage img = RenderBand(
        g, 1.5f, [](const TBand& b) { return Smoothstep(0.f, 3.f, b.DOut); },
        [&](const TBand& b, const TShade& s) {
            const float stripe = std::fmod(float(b.X + b.Y) + 4000.f, 84.f);
            TRgb c = Hex(0xfbf8f0);
            if (b.T > 0.12f && b.T < 0.88f) {
                if (stripe < 26)
                    c = Hex(0xd32f2f);
                else if (stripe >= 42 && stripe < 68)
                    c = Hex(0x1a4f9c);
            }
            return Lit(paper.At(b.X, b.Y, c, 1.2f), s, 0.85f, 0.f);
        });
    return Plain(WithShadow(img, 1, 2, 2, 0.2f));
}

// Old map paper with a compass rose in one corner and a dotted route along
// the band.
TFrameArt VintageMap() {
    const QPainterPath outerPath = RectPath(4, 4, FW - 4, FH - 4);
    const TPlane outer = Coverage(outerPath, FW, FH);
    const TPlane open = Coverage(RoundRectPath(QRectF(84, 84, FW - 168, FH - 168), 12), FW, FH);
    const TBandGeometry g(outer, open);
    const TPaper paper(651, FW, FH, false, 4, 90);
    const TTileNoise stain(652, 140);
    QImage img = RenderBand(
        g, 2.f, [](const TBand& b) { return Smoothstep(0.f, 4.f, b.DIn) * 0.6f + 0.4f; },
        [&](const TBand& b, const TShade& s) {
            const float n = 0.5f + 0.5f * stain.Fbm(float(b.X), float(b.Y), 4);
            const TRgb tone =
                Mix(Hex(0xf3e2bd), Hex(0xc9a46b), n * n * 0.8f + Smoothstep(30, 0, b.DOut) * 0.4f);
            return Lit(paper.At(b.X, b.Y, tone, 2.f), s, 0.8f, 0.f);
        });
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 80, 40, 200), 3, Qt::DashLine, Qt::RoundCap));
    QPainterPath route;
    route.moveTo(40, FH - 40);
    route.cubicTo(300, FH - 20, 500, FH - 70, FW - 200, FH - 42);
    route.moveTo(FW - 42, FH - 200);
    route.cubicTo(FW - 20, 420, FW - 70, 200, FW - 42, 150);
    p.drawPath(route);
    p.setPen(QPen(QColor(150, 40, 30), 5, Qt::SolidLine, Qt::RoundCap));
    const QPointF x(FW - 42, 120);
    p.drawLine(x + QPointF(-12, -12), x + QPointF(12, 12));
    p.drawLine(x + QPointF(-12, 12), x + QPointF(12, -12));
    // compass rose
    p.translate(68, 68);
    for (int i = 0; i < 8; ++i) {
        const double len = i % 2 ? 30 : 56;
        QPainterPath ray;
        ray.moveTo(0, -len);
        ray.lineTo(len * 0.18, 0);
        ray.lineTo(0, len * 0.1);
        ray.lineTo(-len * 0.18, 0);
        ray.closeSubpath();
        p.save();
        p.rotate(i * 45);
        p.setPen(Qt::NoPen);
        p.setBrush(i % 2 ? QColor(140, 100, 60) : QColor(90, 55, 30));
        p.drawPath(ray);
        p.restore();
    }
    p.setBrush(QColor(0xf3e2bd));
    p.setPen(QPen(QColor(90, 55, 30), 2));
    p.drawEllipse(QPointF(0, 0), 7, 7);
    p.end();
    return {WithShadow(img, 1, 2, 2, 0.2f), outer};
}

// ---- Winter ----

QPainterPath SnowflakePath(QPointF c, double r, double rotation) {
    QPainterPath arms;
    QPainterPathStroker stroke;
    stroke.setWidth(r * 0.14);
    stroke.setCapStyle(Qt::RoundCap);
    QPainterPath lines;
    for (int i = 0; i < 6; ++i) {
        const double a = (rotation + i * 60) * M_PI / 180;
        const QPointF dir(std::sin(a), -std::cos(a)), side(std::cos(a), std::sin(a));
        lines.moveTo(c);
        lines.lineTo(c + dir * r);
        for (double t : {0.45, 0.7}) {
            const QPointF base = c + dir * (r * t);
            const double l = r * (0.95 - t) * 0.9;
            lines.moveTo(base);
            lines.lineTo(base + dir * l + side * l);
            lines.moveTo(base);
            lines.lineTo(base + dir * l - side * l);
        }
    }
    QPainterPath flake = stroke.createStroke(lines);
    flake.setFillRule(Qt::WindingFill);
    flake.addEllipse(c, r * 0.16, r * 0.16);
    return flake.simplified();
}

TFrameArt Snowflakes() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(661);
    TPuffy ice;
    ice.Gloss = 0.8f;
    ice.Shininess = 40;
    for (int ring = 0; ring < 3; ++ring) {
        const auto pts = AlongRect(FW, FH, 30 + ring * 38, 30 - ring * 6, rnd, 12);
        for (const QPointF& c : pts) {
            const double r = ring == 0 ? rnd.Range(22, 32) : ring == 1 ? rnd.Range(14, 22) : rnd.Range(8, 13);
            ice.Depth = float(r * 0.12);
            PaintPuffyFn(
                img, SnowflakePath(c, r, rnd.Range(0, 60)),
                [](int, int y) { return Mix(Hex(0xffffff), Hex(0xb3e0f7), float(y % 300) / 600.f); }, ice);
        }
    }
    return Plain(WithShadow(img, 1.5f, 2.5f, 2.5f, 0.35f, Hex(0x1a3a5a)));
}

TFrameArt HollyCorners() {
    QImage img = NewArt(FW, FH);
    TRandom rnd(671);
    auto leaf = [&](QPointF at, double angle, double len) {
        QPainterPath l;
        l.moveTo(0, 0);
        const int spikes = 4;
        for (int i = 1; i <= spikes; ++i) {
            const double x0 = len * (i - 1) / spikes, x1 = len * i / spikes;
            const double w = len * 0.3 * std::sin(M_PI * (x0 + x1) / 2 / len) + len * 0.05;
            l.quadTo((x0 + x1) / 2, -w * 0.6, x1, -w - len * 0.05);
        }
        l.lineTo(len * 1.1, 0);
        for (int i = spikes; i >= 1; --i) {
            const double x0 = len * (i - 1) / spikes, x1 = len * i / spikes;
            const double w = len * 0.3 * std::sin(M_PI * (x0 + x1) / 2 / len) + len * 0.05;
            l.quadTo((x0 + x1) / 2, w * 0.6, x0, i > 1 ? w + len * 0.05 : 0);
        }
        l.closeSubpath();
        TPuffy glossy;
        glossy.Depth = float(len * 0.08);
        glossy.Gloss = 0.7f;
        glossy.Shininess = 40;
        PaintPuffyFn(
            img, QTransform().translate(at.x(), at.y()).rotate(angle).map(l),
            [](int, int y) { return Mix(Hex(0x43a047), Hex(0x1b5e20), float(y % 200) / 200.f); }, glossy);
    };
    auto sprig = [&](QPointF c, double dir) {
        for (int i = 0; i < 5; ++i) leaf(c, dir - 44 + i * 22 + rnd.Range(-5, 5), rnd.Range(96, 124));
        TPuffy berry;
        berry.Depth = 8;
        berry.Gloss = 1.f;
        berry.Shininess = 40;
        for (int i = 0; i < 5; ++i) {
            const double a = (dir + rnd.Range(-40, 40)) * M_PI / 180, d = rnd.Range(8, 30);
            const QPointF b = c + QPointF(std::cos(a) * d, std::sin(a) * d);
            PaintPuffy(img, EllipsePath(QRectF(b.x() - 15, b.y() - 15, 30, 30)), Hex(0xd32f2f), berry);
        }
    };
    sprig(QPointF(72, 72), 45);
    sprig(QPointF(FW - 72, 72), 135);
    sprig(QPointF(72, FH - 72), -45);
    sprig(QPointF(FW - 72, FH - 72), -135);
    // a thin red ribbon line between them
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xc62828), 6));
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    p.drawRect(QRectF(34, 34, FW - 68, FH - 68));
    p.end();
    return Plain(WithShadow(img, 3, 4, 4, 0.35f));
}

// ---- Wedding ----

// A string of pearls around a rounded opening on white satin.
TFrameArt Pearls() {
    const QPainterPath outerPath = RoundRectPath(QRectF(6, 6, FW - 12, FH - 12), 40);
    const TPlane outer = Coverage(outerPath, FW, FH);
    const TPlane open = Coverage(EllipsePath(QRectF(96, 80, FW - 192, FH - 160)), FW, FH);
    const TBandGeometry g(outer, open, true);
    const TTileNoise sheen(681, 30, 200, 0, 0);
    QImage img = RenderBand(
        g, 6.f, [](const TBand& b) { return Smoothstep(0.f, 0.2f, b.T) * 0.5f; },
        [&](const TBand& b, const TShade& s) {
            const float n = 0.5f + 0.5f * sheen.Fbm(float(b.X + b.Y), float(b.X - b.Y), 3);
            return Lit(Mix(Hex(0xfbf7f2), Hex(0xffffff), n), s, 0.75f, 0.5f);
        });
    TPuffy pearl;
    pearl.Depth = 9;
    pearl.Gloss = 1.f;
    pearl.Shininess = 50;
    auto ring = [&](double rx, double ry, int count, double r) {
        for (int i = 0; i < count; ++i) {
            const double a = 2 * M_PI * i / count;
            const QPointF c(FW / 2.0 + std::cos(a) * rx, FH / 2.0 + std::sin(a) * ry);
            PaintPuffyFn(
                img, EllipsePath(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r)),
                [](int x, int y) { return Mix(Hex(0xfffdf8), Hex(0xf1e4e8), float((x + y) % 40) / 80.f); },
                pearl);
        }
    };
    ring(FW / 2.0 - 96, FH / 2.0 - 80, 96, 10);
    ring(FW / 2.0 - 40, FH / 2.0 - 36, 130, 8);
    return {WithShadow(img, 1.5f, 2.5f, 2.5f, 0.25f), outer};
}

// Thin double gold lines with gold flourishes in the corners.
TFrameArt GoldFiligree() {
    QImage img = NewArt(FW, FH);
    TPuffy gold;
    gold.Metal = &GoldStops();
    gold.Depth = 3;
    const QPainterPath lines =
        RectPath(30, 30, FW - 30, FH - 30)
            .subtracted(RectPath(36, 36, FW - 36, FH - 36))
            .united(RectPath(46, 46, FW - 46, FH - 46).subtracted(RectPath(49, 49, FW - 49, FH - 49)));
    PaintPuffy(img, lines, {}, gold);
    gold.Depth = 6;
    PaintPuffy(img, FourCorners(CornerFlourish(150), FW, FH, 22), {}, gold);
    // a small heart at the middle of the top and bottom edges
    gold.Depth = 5;
    PaintPuffy(img, HeartPath(QRectF(FW / 2.0 - 16, 24, 32, 28)), {}, gold);
    PaintPuffy(img, HeartPath(QRectF(FW / 2.0 - 16, FH - 52, 32, 28)), {}, gold);
    return Plain(WithShadow(img, 1.5f, 2.5f, 2, 0.3f));
}

// ---- Catalogue ----

TItem FrameItem(const std::string& category, const std::string& name, std::function<TFrameArt()> draw) {
    const std::string base = "Frames/" + category + "/" + name;
    return {base + ".frm", [base, draw] {
                TFrameArt art = draw();
                std::vector<TPicture> files{
                    {base + ".frm", TFormat::Png, art.Frame.convertToFormat(QImage::Format_ARGB32)}};
                if (!art.Companion.V.empty())
                    files.push_back({base + ".msk", TFormat::Gif, PlaneToGrey(art.Companion)});
                return files;
            }};
}

} // namespace

void AddFrames(TCatalogue& items) {
    items.push_back(FrameItem("Classic", "walnut", Walnut));
    items.push_back(FrameItem("Classic", "gold_ornate", GoldOrnate));
    items.push_back(FrameItem("Classic", "gold_oval", GoldOval));
    items.push_back(FrameItem("Classic", "walnut_oval", WalnutOval));
    items.push_back(FrameItem("Classic", "silver", Silver));
    items.push_back(FrameItem("Classic", "walnut_mat", WalnutMat));
    items.push_back(FrameItem("Classic", "oval_mat", OvalMat));
    items.push_back(FrameItem("Classic", "ornate_corners", OrnateCorners));

    items.push_back(FrameItem("Free", "polaroid", Polaroid));
    items.push_back(FrameItem("Free", "filmstrip", FilmStrip));
    items.push_back(FrameItem("Free", "gallery_white", GalleryWhite));
    items.push_back(FrameItem("Free", "double_line", DoubleLine));
    items.push_back(FrameItem("Free", "oval_line", OvalLine));
    items.push_back(FrameItem("Free", "rounded", Rounded));
    items.push_back(FrameItem("Free", "scalloped", Scalloped));
    items.push_back(FrameItem("Free", "denim", Denim));
    items.push_back(FrameItem("Free", "stamp", Stamp));
    items.push_back(FrameItem("Free", "vignette", Vignette));
    items.push_back(FrameItem("Free", "torn_paper", TornPaper));

    items.push_back(FrameItem("Love", "heart", HeartFrame));
    items.push_back(FrameItem("Love", "heart_gold", HeartGold));
    items.push_back(FrameItem("Love", "hearts", HeartsBorder));
    items.push_back(FrameItem("Love", "lace", Lace));
    items.push_back(FrameItem("Love", "roses", RoseCorners));

    items.push_back(FrameItem("Party", "balloons", Balloons));
    items.push_back(FrameItem("Party", "confetti", Confetti));
    items.push_back(FrameItem("Party", "stars", Stars));
    items.push_back(FrameItem("Party", "bunting", Bunting));

    items.push_back(FrameItem("Nature", "leaf_wreath", LeafWreath));
    items.push_back(FrameItem("Nature", "daisies", DaisyCorners));
    items.push_back(FrameItem("Nature", "bamboo", Bamboo));
    items.push_back(FrameItem("Nature", "cloud", CloudFrame));

    items.push_back(FrameItem("Baby", "pastel_dots", PastelDots));
    items.push_back(FrameItem("Baby", "night_sky", NightSky));
    items.push_back(FrameItem("Travel", "airmail", Airmail));
    items.push_back(FrameItem("Travel", "vintage_map", VintageMap));
    items.push_back(FrameItem("Winter", "snowflakes", Snowflakes));
    items.push_back(FrameItem("Winter", "holly", HollyCorners));
    items.push_back(FrameItem("Wedding", "pearls", Pearls));
    items.push_back(FrameItem("Wedding", "gold_filigree", GoldFiligree));
}

} // namespace resgen
