// Cliparts: 256 x 256 PNG pictures with alpha, drawn as softly shaded
// stickers with a gentle drop shadow. Corners stay transparent.
//
// ---- Sections ----
// Helpers; Free; Love; Party; Nature; Baby; Travel; Winter; Wedding; Catalogue

#include <QPainter>

#include "Art.h"
#include "Decor.h"
#include "Library.h"
#include "Materials.h"
#include "Shapes.h"

namespace resgen {

namespace {

constexpr int S = 256;

// ---- Helpers ----

TPuffy Style(float depth, float gloss = 0.5f, float shininess = 28.f) {
    TPuffy p;
    p.Depth = depth;
    p.Gloss = gloss;
    p.Shininess = shininess;
    return p;
}

void Puffy(QImage& img, const QPainterPath& path, uint32_t colour, float depth = 14.f, float gloss = 0.5f) {
    PaintPuffy(img, path, Hex(colour), Style(depth, gloss));
}

// A vertical two-colour gradient between y0 and y1, as a colour function.
std::function<TRgb(int, int)> Vertical(uint32_t top, uint32_t bottom, float y0 = 0, float y1 = S) {
    const TRgb a = Hex(top), b = Hex(bottom);
    return [a, b, y0, y1](int, int y) { return Mix(a, b, Clamp01((y - y0) / (y1 - y0))); };
}

void Metal(QImage& img, const QPainterPath& path, const std::vector<TRgb>& stops, float depth = 8.f) {
    TPuffy p = Style(depth);
    p.Metal = &stops;
    PaintPuffy(img, path, {}, p);
}

QPainterPath RectPath(double l, double t, double r, double b) {
    QPainterPath p;
    p.addRect(QRectF(l, t, r - l, b - t));
    return p;
}

QPainterPath Circle(double x, double y, double r) { return EllipsePath(QRectF(x - r, y - r, 2 * r, 2 * r)); }

QPainterPath Rotated(const QPainterPath& p, QPointF about, double degrees) {
    return QTransform().translate(about.x(), about.y()).rotate(degrees).translate(-about.x(), -about.y()).map(p);
}

QPainterPath Poly(std::initializer_list<QPointF> pts) {
    QPainterPath p;
    bool first = true;
    for (const QPointF& q : pts) {
        if (first)
            p.moveTo(q);
        else
            p.lineTo(q);
        first = false;
    }
    p.closeSubpath();
    return p;
}

// Text as a path, centred in the box and scaled to fit it.
QPainterPath TextPath(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath p;
    p.addText(0, 0, font, text);
    const QRectF b = p.boundingRect();
    const double k = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-b.center().x(), -b.center().y());
    QPainterPath out = t.map(p);
    out.setFillRule(Qt::WindingFill);
    return out;
}

QImage Finish(const QImage& img) { return WithShadow(img, 3, 5, 4.5f, 0.32f); }

// A small four-pointed sparkle.
QPainterPath Sparkle(QPointF c, double r) {
    QPainterPath p;
    p.moveTo(c.x(), c.y() - r);
    p.quadTo(c, QPointF(c.x() + r, c.y()));
    p.quadTo(c, QPointF(c.x(), c.y() + r));
    p.quadTo(c, QPointF(c.x() - r, c.y()));
    p.quadTo(c, QPointF(c.x(), c.y() - r));
    p.closeSubpath();
    return p;
}

QPainterPath Heart(double cx, double cy, double h) { return HeartPath(QRectF(cx - h * 0.55, cy - h / 2, h * 1.1, h)); }

// ---- Free ----

QImage Star() {
    QImage img = NewArt(S, S);
    Metal(img, SoftStarPath(QPointF(128, 134), 112, 50, 5, 0.14), GoldStops(), 26);
    return Finish(img);
}

QImage StarRed() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, SoftStarPath(QPointF(128, 134), 110, 48, 5, 0.22), Vertical(0xff6b6b, 0xc81d3a), Style(24, 0.7f));
    return Finish(img);
}

QImage Sparkles() {
    QImage img = NewArt(S, S);
    TPuffy p = Style(8, 0.6f);
    p.Metal = &GoldStops();
    PaintPuffy(img, Sparkle(QPointF(110, 130), 92), {}, p);
    PaintPuffy(img, Sparkle(QPointF(196, 64), 40), {}, p);
    PaintPuffy(img, Sparkle(QPointF(202, 196), 28), {}, p);
    return Finish(img);
}

QImage CurvedArrow() {
    QImage img = NewArt(S, S);
    QPainterPath arc;
    arc.moveTo(40, 196);
    arc.cubicTo(40, 96, 110, 60, 176, 78);
    QPainterPath shaft = Stroked(arc, 30, Qt::RoundCap);
    QPainterPath head = Poly({{160, 30}, {226, 96}, {146, 122}});
    PaintPuffyFn(img, shaft.united(head), Vertical(0x4fc3f7, 0x1976d2, 30, 220), Style(13, 0.6f));
    return Finish(img);
}

QImage SpeechBubble() {
    QImage img = NewArt(S, S);
    PaintPuffy(img, SpeechBubblePath(QRectF(18, 28, 220, 200)), Hex(0xfdfdfd), Style(16, 0.4f));
    return Finish(img);
}

QImage ThoughtBubble() {
    QImage img = NewArt(S, S);
    TPuffy p = Style(16, 0.4f);
    PaintPuffy(img, CloudPath(QRectF(24, 14, 214, 170), 9), Hex(0xfbfcff), p);
    PaintPuffy(img, Circle(70, 196, 16), Hex(0xfbfcff), Style(8, 0.4f));
    PaintPuffy(img, Circle(42, 228, 10), Hex(0xfbfcff), Style(6, 0.4f));
    return Finish(img);
}

QImage Sun() {
    QImage img = NewArt(S, S);
    QPainterPath rays;
    rays.setFillRule(Qt::WindingFill);
    for (int i = 0; i < 12; ++i) {
        QPainterPath ray = RoundRectPath(QRectF(120, 8, 16, 60), 8);
        rays.addPath(Rotated(ray, QPointF(128, 128), i * 30));
    }
    PaintPuffyFn(img, rays.simplified(), Vertical(0xffd54f, 0xff9800), Style(7, 0.4f));
    PaintPuffyFn(img, Circle(128, 128, 70), Vertical(0xffee58, 0xffa000, 58, 198), Style(30, 0.6f));
    return Finish(img);
}

QImage Moon() {
    QImage img = NewArt(S, S);
    QPainterPath crescent = Circle(120, 128, 104).subtracted(Circle(172, 100, 92));
    PaintPuffyFn(img, crescent, Vertical(0xfff59d, 0xfbc02d), Style(20, 0.5f));
    TPuffy p = Style(4, 0.8f);
    p.Metal = &GoldStops();
    PaintPuffy(img, Sparkle(QPointF(190, 170), 22), {}, p);
    PaintPuffy(img, Sparkle(QPointF(214, 214), 12), {}, p);
    return Finish(img);
}

QImage CloudArt() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, CloudPath(QRectF(14, 40, 228, 170), 3), Vertical(0xffffff, 0xd6e4f5, 60, 210), Style(22, 0.4f));
    return Finish(img);
}

QImage Rainbow() {
    QImage img = NewArt(S, S);
    const uint32_t colours[] = {0xef5350, 0xffa726, 0xffee58, 0x66bb6a, 0x42a5f5, 0x7e57c2};
    for (int i = 0; i < 6; ++i) {
        const double r = 108 - i * 14;
        QPainterPath arc;
        arc.arcMoveTo(QRectF(128 - r, 170 - r, 2 * r, 2 * r), 180);
        arc.arcTo(QRectF(128 - r, 170 - r, 2 * r, 2 * r), 180, -180);
        Puffy(img, Stroked(arc, 14.5, Qt::FlatCap), colours[i], 6, 0.4f);
    }
    PaintPuffy(img, CloudPath(QRectF(4, 150, 84, 70), 4), Hex(0xffffff), Style(12, 0.3f));
    PaintPuffy(img, CloudPath(QRectF(168, 150, 84, 70), 6), Hex(0xffffff), Style(12, 0.3f));
    return Finish(img);
}

QImage Lightning() {
    QImage img = NewArt(S, S);
    QPainterPath bolt = Poly({{150, 12}, {62, 140}, {118, 140}, {92, 244}, {196, 104}, {138, 104}, {174, 12}});
    PaintPuffyFn(img, bolt, Vertical(0xfff176, 0xffa000), Style(12, 0.6f));
    return Finish(img);
}

QPainterPath NoteHead(double x, double y) {
    return Rotated(EllipsePath(QRectF(x - 30, y - 21, 60, 42)), QPointF(x, y), -22);
}

QImage MusicNote() {
    QImage img = NewArt(S, S);
    QPainterPath note = NoteHead(96, 196).united(RoundRectPath(QRectF(114, 36, 14, 164), 5));
    QPainterPath flag;
    flag.moveTo(116, 36);
    flag.cubicTo(150, 60, 200, 80, 184, 150);
    flag.cubicTo(178, 110, 150, 96, 124, 92);
    flag.closeSubpath();
    PaintPuffyFn(img, note.united(flag), Vertical(0x7e57c2, 0x4527a0), Style(10, 0.7f));
    return Finish(img);
}

QImage MusicNotes() {
    QImage img = NewArt(S, S);
    QPainterPath p = NoteHead(70, 200).united(NoteHead(182, 176));
    p = p.united(RoundRectPath(QRectF(88, 56, 13, 146), 5)).united(RoundRectPath(QRectF(200, 32, 13, 146), 5));
    p = p.united(Poly({{88, 56}, {213, 32}, {213, 62}, {88, 86}}));
    PaintPuffyFn(img, p, Vertical(0x26c6da, 0x00838f), Style(10, 0.7f));
    return Finish(img);
}

QImage Crown() {
    QImage img = NewArt(S, S);
    QPainterPath body = Poly({{30, 190}, {22, 72}, {80, 130}, {128, 52}, {176, 130}, {234, 72}, {226, 190}});
    body = body.united(RoundRectPath(QRectF(28, 180, 200, 36), 8));
    for (QPointF c : {QPointF(22, 66), QPointF(128, 46), QPointF(234, 66)}) body = body.united(Circle(c.x(), c.y(), 13));
    Metal(img, body, GoldStops(), 12);
    Puffy(img, Circle(128, 198, 13), 0xd32f2f, 7, 0.9f);
    Puffy(img, Circle(78, 198, 10), 0x1e88e5, 6, 0.9f);
    Puffy(img, Circle(178, 198, 10), 0x43a047, 6, 0.9f);
    Puffy(img, Poly({{128, 120}, {146, 146}, {128, 172}, {110, 146}}), 0xe53935, 6, 0.9f);
    return Finish(img);
}

QImage Banner() {
    QImage img = NewArt(S, S);
    // Folded ends behind the main band.
    Puffy(img, Poly({{8, 120}, {56, 120}, {56, 176}, {8, 176}, {26, 148}}), 0xa3172e, 8, 0.3f);
    Puffy(img, Poly({{248, 120}, {200, 120}, {200, 176}, {248, 176}, {230, 148}}), 0xa3172e, 8, 0.3f);
    Puffy(img, Poly({{40, 160}, {56, 176}, {56, 160}}), 0x6e0f1f, 3, 0.1f);
    Puffy(img, Poly({{216, 160}, {200, 176}, {200, 160}}), 0x6e0f1f, 3, 0.1f);
    QPainterPath band;
    band.moveTo(40, 86);
    band.quadTo(128, 66, 216, 86);
    band.lineTo(216, 160);
    band.quadTo(128, 140, 40, 160);
    band.closeSubpath();
    PaintPuffyFn(img, band, Vertical(0xef5350, 0xc62828, 70, 160), Style(10, 0.4f));
    return Finish(img);
}

QImage Rosette() {
    QImage img = NewArt(S, S);
    Puffy(img, Poly({{96, 140}, {128, 150}, {100, 246}, {82, 222}, {62, 232}}), 0x1565c0, 8, 0.3f);
    Puffy(img, Poly({{160, 140}, {128, 150}, {156, 246}, {174, 222}, {194, 232}}), 0x1565c0, 8, 0.3f);
    PaintPuffyFn(img, FlowerPath(QPointF(128, 108), 92, 22, 0.9, 0), Vertical(0x42a5f5, 0x1565c0, 20, 200),
                 Style(10, 0.4f));
    Metal(img, Circle(128, 108, 56), GoldStops(), 14);
    PaintPuffyFn(img, SoftStarPath(QPointF(128, 110), 32, 15, 5, 0.2), [](int, int) { return Hex(0xfff8e1); },
                 Style(5, 0.4f));
    return Finish(img);
}

QImage Pushpin() {
    QImage img = NewArt(S, S);
    QPainterPath needle = Poly({{121, 150}, {135, 150}, {130, 246}, {126, 246}});
    Metal(img, Rotated(needle, QPointF(128, 128), 25), SilverStops(), 3);
    QPainterPath body = RoundRectPath(QRectF(100, 96, 56, 64), 14).united(EllipsePath(QRectF(70, 140, 116, 34)));
    PaintPuffyFn(img, Rotated(body, QPointF(128, 128), 25), Vertical(0xff5252, 0xb71c1c), Style(14, 0.8f, 40));
    Puffy(img, Rotated(Circle(128, 72, 50), QPointF(128, 128), 25), 0xef3b3b, 26, 0.9f);
    return Finish(img);
}

QImage PaperClip() {
    QImage img = NewArt(S, S);
    QPainterPath wire;
    wire.moveTo(150, 60);
    wire.lineTo(150, 190);
    wire.arcTo(QRectF(96, 166, 54, 54), 0, -180);
    wire.lineTo(96, 50);
    wire.arcTo(QRectF(96, 14, 76, 76), 180, -180);
    wire.lineTo(172, 200);
    wire.arcTo(QRectF(74, 150, 98, 98), 0, -180);
    wire.lineTo(74, 90);
    Metal(img, Rotated(Stroked(wire, 11), QPointF(128, 128), 18), SilverStops(), 5.5f);
    return Finish(img);
}

QImage WashiTape() {
    QImage img = NewArt(S, S);
    QPainterPath tape;
    tape.moveTo(30, 90);
    for (int i = 0; i <= 8; ++i) tape.lineTo(226 + (i % 2 ? 6 : -2), 90 + i * 9.5);
    for (int i = 8; i >= 0; --i) tape.lineTo(30 + (i % 2 ? -6 : 2), 90 + i * 9.5);
    tape.closeSubpath();
    tape = Rotated(tape, QPointF(128, 128), -18);
    TPlane a = Coverage(tape, S, S);
    for (float& v : a.V) v *= 0.82f; // translucent paper tape
    PaintAlpha(img, a, [](int x, int y) {
        // Pastel diagonal stripes with a few dots.
        const float u = (x + y) / 22.f;
        const bool stripe = (u - std::floor(u)) < 0.5f;
        return stripe ? Hex(0xf8bbd0) : Hex(0xfff3e0);
    });
    return WithShadow(img, 2, 3, 2.5f, 0.22f);
}

QImage Camera() {
    QImage img = NewArt(S, S);
    Puffy(img, RoundRectPath(QRectF(76, 50, 64, 36), 8), 0x37474f, 8, 0.4f);
    PaintPuffyFn(img, RoundRectPath(QRectF(18, 74, 220, 146), 26), Vertical(0x546e7a, 0x263238, 74, 220),
                 Style(14, 0.5f));
    Puffy(img, RoundRectPath(QRectF(18, 120, 220, 56), 4), 0xb0764a, 4, 0.2f); // leather band
    Metal(img, Circle(128, 148, 60), SilverStops(), 10);
    Puffy(img, Circle(128, 148, 44), 0x10161c, 14, 0.9f);
    Puffy(img, Circle(128, 148, 24), 0x1f3a5a, 10, 1.0f);
    Puffy(img, RoundRectPath(QRectF(186, 90, 32, 20), 5), 0xfff9c4, 4, 0.6f);
    return Finish(img);
}

// ---- Love ----

QImage HeartRed() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, Heart(128, 134, 210), Vertical(0xff5a6e, 0xc2112f, 30, 240), Style(34, 0.8f, 36));
    return Finish(img);
}

QImage HeartPink() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, Heart(128, 134, 206), Vertical(0xffb3c8, 0xf06292, 30, 240), Style(30, 0.7f, 30));
    TPuffy p = Style(4, 0.8f);
    PaintPuffy(img, Sparkle(QPointF(88, 80), 18), Hex(0xffffff), p);
    return Finish(img);
}

QImage HeartsPair() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, Rotated(Heart(96, 120, 150), QPointF(96, 120), -14), Vertical(0xff8fab, 0xe91e63, 40, 200),
                 Style(22, 0.7f));
    PaintPuffyFn(img, Rotated(Heart(168, 150, 136), QPointF(168, 150), 12), Vertical(0xff5252, 0xb71c1c, 80, 220),
                 Style(22, 0.7f));
    return Finish(img);
}

QImage HeartArrow() {
    QImage img = NewArt(S, S);
    QPainterPath shaft;
    shaft.moveTo(24, 206);
    shaft.lineTo(232, 54);
    QPainterPath stroke = Stroked(shaft, 9, Qt::FlatCap);
    // The back half of the arrow is drawn before the heart, the front after.
    QPainterPath back = stroke.intersected(RectPath(0, 128, S, S));
    QPainterPath front = stroke.intersected(RectPath(128, 0, S, 128));
    Metal(img, back, GoldStops(), 4);
    Puffy(img, Poly({{24, 206}, {10, 196}, {4, 226}, {32, 232}, {44, 216}}), 0xf8f4ec, 5, 0.3f);
    PaintPuffyFn(img, Heart(124, 130, 170), Vertical(0xff5a6e, 0xc2112f, 40, 220), Style(28, 0.8f));
    Metal(img, front, GoldStops(), 4);
    Metal(img, Poly({{232, 54}, {206, 58}, {224, 80}}).united(Poly({{244, 44}, {214, 52}, {230, 74}})), GoldStops(), 5);
    return Finish(img);
}

QImage HeartBalloon() {
    QImage img = NewArt(S, S);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath string;
    string.moveTo(128, 190);
    string.cubicTo(110, 215, 146, 225, 124, 250);
    p.setPen(QPen(QColor(120, 110, 110), 2.2));
    p.drawPath(string);
    p.end();
    PaintPuffyFn(img, Heart(128, 106, 176), Vertical(0xff6f91, 0xd81b60, 20, 200), Style(30, 0.9f, 42));
    Puffy(img, Poly({{128, 186}, {138, 198}, {118, 198}}), 0xc2185b, 3, 0.3f);
    return Finish(img);
}

QImage Rose() {
    QImage img = NewArt(S, S);
    TRandom rnd(701);
    QPainterPath stem;
    stem.moveTo(128, 140);
    stem.cubicTo(120, 180, 140, 210, 126, 250);
    Puffy(img, Stroked(stem, 8), 0x3f7d3a, 4, 0.3f);
    PaintLeaf(img, QPointF(128, 196), 62, -60, Hex(0x4f8a3c));
    PaintLeaf(img, QPointF(130, 176), 54, 64, Hex(0x3d7330));
    PaintRose(img, QPointF(128, 92), 80, Hex(0xd81b3c), rnd);
    return Finish(img);
}

QImage Ring() {
    QImage img = NewArt(S, S);
    QPainterPath band = EllipsePath(QRectF(40, 100, 176, 140)).subtracted(EllipsePath(QRectF(58, 118, 140, 104)));
    Metal(img, band, GoldStops(), 9);
    // A cut diamond: facets of differing brightness.
    const TRgb ice = Hex(0xd9f3ff);
    struct TFacet {
        QPainterPath Path;
        float Light;
    };
    const TFacet facets[] = {
        {Poly({{84, 58}, {104, 36}, {128, 58}}), 0.95f},  {Poly({{128, 58}, {104, 36}, {152, 36}}), 1.0f},
        {Poly({{128, 58}, {152, 36}, {172, 58}}), 0.85f}, {Poly({{84, 58}, {128, 58}, {128, 118}}), 0.75f},
        {Poly({{128, 58}, {172, 58}, {128, 118}}), 0.6f}, {Poly({{84, 58}, {104, 36}, {90, 44}}), 0.9f},
    };
    for (const TFacet& f : facets) {
        TPlane a = Coverage(f.Path, S, S);
        PaintAlpha(img, a, [&](int x, int y) {
            const float sparkle = 0.04f * std::sin(x * 0.7f) * std::sin(y * 0.9f);
            return Mix(Hex(0x8fc9e8), ice, f.Light + sparkle);
        });
    }
    Metal(img, Poly({{110, 112}, {146, 112}, {150, 126}, {106, 126}}), GoldStops(), 4);
    TPuffy sp = Style(3, 1.f);
    PaintPuffy(img, Sparkle(QPointF(160, 40), 16), Hex(0xffffff), sp);
    return Finish(img);
}

QImage LoveLetter() {
    QImage img = NewArt(S, S);
    QImage env = NewArt(S, S);
    PaintPuffyFn(env, RoundRectPath(QRectF(22, 64, 212, 140), 10), Vertical(0xfff8ee, 0xf1e4d0, 64, 204),
                 Style(8, 0.2f));
    QPainter p(&env);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 180, 160), 2));
    p.drawLine(QPointF(26, 200), QPointF(110, 134));
    p.drawLine(QPointF(230, 200), QPointF(146, 134));
    p.end();
    Puffy(env, Poly({{24, 68}, {232, 68}, {128, 146}}), 0xf7ecdc, 6, 0.2f);
    Puffy(env, Heart(128, 140, 64), 0xd81b3c, 10, 0.8f);
    QPainter q(&img);
    q.drawImage(0, 0, env);
    q.end();
    return Finish(img);
}

QImage WingedHeart() {
    QImage img = NewArt(S, S);
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 4; ++i) {
            const double len = 88 - i * 14;
            QPainterPath feather = EllipsePath(QRectF(-len, -13, len, 26));
            QTransform t;
            t.translate(128 + side * 48, 108 + i * 16);
            if (side > 0) t.scale(-1, 1);
            t.rotate(14 - i * 16);
            Puffy(img, t.map(feather), 0xfafcff, 9, 0.3f);
        }
    }
    PaintPuffyFn(img, Heart(128, 128, 130), Vertical(0xff5a6e, 0xc2112f, 60, 200), Style(22, 0.8f));
    return Finish(img);
}

QImage LoveText() {
    QImage img = NewArt(S, S);
    QFont font("DejaVu Serif");
    font.setBold(true);
    font.setItalic(true);
    font.setPixelSize(120);
    PaintPuffyFn(img, TextPath("Love", font, QRectF(14, 70, 228, 110)), Vertical(0xff80ab, 0xc2185b, 70, 180),
                 Style(7, 0.7f));
    Puffy(img, Heart(214, 62, 40), 0xe53950, 7, 0.8f);
    return Finish(img);
}

QImage HeartSparkle() {
    QImage img = NewArt(S, S);
    Metal(img, Stroked(Heart(124, 132, 190), 16), GoldStops(), 8);
    TPuffy sp = Style(4, 0.8f);
    sp.Metal = &GoldStops();
    PaintPuffy(img, Sparkle(QPointF(202, 52), 28), {}, sp);
    PaintPuffy(img, Sparkle(QPointF(228, 96), 14), {}, sp);
    PaintPuffy(img, Sparkle(QPointF(40, 210), 16), {}, sp);
    return Finish(img);
}

// ---- Party ----

QImage BalloonRed() {
    QImage img = NewArt(S, S);
    PaintBalloon(img, QPointF(128, 96), 78, Hex(0xe53935), QPointF(118, 250));
    return Finish(img);
}

QImage BalloonBunch() {
    QImage img = NewArt(S, S);
    PaintBalloon(img, QPointF(84, 84), 50, Hex(0x42a5f5), QPointF(128, 248));
    PaintBalloon(img, QPointF(178, 80), 50, Hex(0xffca28), QPointF(128, 248));
    PaintBalloon(img, QPointF(130, 60), 52, Hex(0xec407a), QPointF(128, 248));
    return Finish(img);
}

QImage GiftBox() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, RoundRectPath(QRectF(40, 112, 176, 124), 8), Vertical(0x29b6f6, 0x0277bd, 112, 236),
                 Style(10, 0.3f));
    PaintPuffyFn(img, RoundRectPath(QRectF(28, 84, 200, 40), 8), Vertical(0x4fc3f7, 0x0288d1, 84, 124), Style(9, 0.3f));
    Puffy(img, RectPath(112, 84, 144, 236), 0xe53935, 5, 0.5f);
    // Bow: two loops and a knot.
    Puffy(img, Rotated(EllipsePath(QRectF(58, 40, 70, 44)), QPointF(128, 84), 18), 0xef5350, 10, 0.5f);
    Puffy(img, Rotated(EllipsePath(QRectF(128, 40, 70, 44)), QPointF(128, 84), -18), 0xef5350, 10, 0.5f);
    Puffy(img, Circle(128, 80, 16), 0xc62828, 8, 0.5f);
    return Finish(img);
}

QImage PartyHat() {
    QImage img = NewArt(S, S);
    QPainterPath cone = Poly({{128, 24}, {212, 222}, {44, 222}});
    PaintPuffyFn(img, cone,
                 [](int x, int y) {
                     const float u = (x * 0.5f - y * 0.9f) / 26.f;
                     return (u - std::floor(u)) < 0.5f ? Hex(0xab47bc) : Hex(0xffd54f);
                 },
                 Style(18, 0.4f));
    QPainterPath rim;
    rim.moveTo(40, 222);
    for (int i = 0; i <= 16; ++i) rim.lineTo(40 + i * 11, i % 2 ? 236 : 212);
    rim.lineTo(216, 222);
    rim.lineTo(216, 238);
    rim.lineTo(40, 238);
    rim.closeSubpath();
    Puffy(img, rim.simplified(), 0xfafafa, 6, 0.3f);
    Puffy(img, Circle(128, 26, 20), 0xff7043, 10, 0.4f);
    return Finish(img);
}

QImage ConfettiPopper() {
    QImage img = NewArt(S, S);
    TRandom rnd(711);
    const uint32_t colours[] = {0xf25c78, 0xf9c74f, 0x43aa8b, 0x577590, 0xb388eb, 0xf8961e};
    for (int i = 0; i < 26; ++i) {
        const double a = rnd.Range(-2.6, -0.6), d = rnd.Range(40, 150);
        const QPointF c(92 + std::cos(a) * d, 160 + std::sin(a) * d);
        QPainterPath piece =
            i % 3 == 0 ? Circle(c.x(), c.y(), 7) : Rotated(RectPath(c.x() - 9, c.y() - 5, c.x() + 9, c.y() + 5), c, rnd.Range(0, 180));
        Puffy(img, piece, colours[i % 6], 3, 0.4f);
    }
    QPainterPath cone = Poly({{30, 236}, {70, 116}, {146, 190}});
    PaintPuffyFn(img, cone,
                 [](int x, int y) {
                     const float u = (x + y) / 20.f;
                     return (u - std::floor(u)) < 0.5f ? Hex(0xe53935) : Hex(0xfff176);
                 },
                 Style(12, 0.4f));
    Metal(img, Rotated(EllipsePath(QRectF(60, 130, 88, 34)), QPointF(108, 153), 45), GoldStops(), 6);
    return Finish(img);
}

QImage Firework() {
    QImage img = NewArt(S, S);
    TRandom rnd(721);
    const uint32_t colours[] = {0xff5252, 0xffd740, 0x69f0ae, 0x40c4ff, 0xe040fb};
    for (int i = 0; i < 20; ++i) {
        const double a = i * 2 * M_PI / 20;
        const uint32_t c = colours[i % 5];
        for (int k = 0; k < 5; ++k) {
            const double d = 34 + k * 19;
            const double r = 7.5 - k * 1.0;
            Puffy(img, Circle(128 + std::cos(a) * d, 128 + std::sin(a) * d, r), c, float(r * 0.8), 0.6f);
        }
    }
    TPuffy sp = Style(5, 0.9f);
    sp.Metal = &GoldStops();
    PaintPuffy(img, Sparkle(QPointF(128, 128), 30), {}, sp);
    return Finish(img);
}

QImage Cake() {
    QImage img = NewArt(S, S);
    Puffy(img, EllipsePath(QRectF(18, 214, 220, 26)), 0xeceff1, 6, 0.5f);
    PaintPuffyFn(img, RoundRectPath(QRectF(34, 150, 188, 76), 12), Vertical(0xf8bbd0, 0xec407a, 150, 226),
                 Style(12, 0.3f));
    PaintPuffyFn(img, RoundRectPath(QRectF(64, 100, 128, 58), 12), Vertical(0xfce4ec, 0xf48fb1, 100, 158),
                 Style(12, 0.3f));
    // Icing drips along the tiers.
    QPainterPath icing = RoundRectPath(QRectF(32, 146, 192, 18), 9);
    for (int i = 0; i < 8; ++i) icing.addEllipse(QPointF(46 + i * 24, 166 + (i % 2) * 6), 9, 12);
    icing.setFillRule(Qt::WindingFill);
    Puffy(img, icing.simplified(), 0xfffdf7, 6, 0.4f);
    for (int i = 0; i < 3; ++i) {
        const double x = 96 + i * 32;
        PaintPuffyFn(img, RoundRectPath(QRectF(x - 6, 56, 12, 46), 4),
                     [](int, int y) { return (y / 8) % 2 ? Hex(0x81d4fa) : Hex(0xffffff); }, Style(5, 0.4f));
        QPainterPath flame;
        flame.moveTo(x, 22);
        flame.cubicTo(x + 14, 40, x + 10, 54, x, 54);
        flame.cubicTo(x - 10, 54, x - 14, 40, x, 22);
        PaintPuffyFn(img, flame, Vertical(0xffeb3b, 0xff6d00, 22, 54), Style(5, 0.6f));
    }
    return Finish(img);
}

QImage Trophy() {
    QImage img = NewArt(S, S);
    QPainterPath cup;
    cup.moveTo(62, 30);
    cup.lineTo(194, 30);
    cup.cubicTo(194, 120, 170, 150, 128, 158);
    cup.cubicTo(86, 150, 62, 120, 62, 30);
    QPainterPath handles = Stroked(EllipsePath(QRectF(26, 44, 64, 70)), 12).united(Stroked(EllipsePath(QRectF(166, 44, 64, 70)), 12));
    QPainterPath body = cup.united(handles).united(RectPath(116, 150, 140, 196));
    body = body.united(RoundRectPath(QRectF(72, 196, 112, 22), 6)).united(RoundRectPath(QRectF(60, 214, 136, 26), 6));
    Metal(img, body, GoldStops(), 12);
    PaintPuffyFn(img, SoftStarPath(QPointF(128, 82), 30, 13, 5, 0.2), [](int, int) { return Hex(0xfff3c4); },
                 Style(5, 0.5f));
    return Finish(img);
}

QImage Bow() {
    QImage img = NewArt(S, S);
    Puffy(img, Poly({{120, 130}, {84, 236}, {104, 224}, {116, 244}, {136, 134}}), 0xd81b60, 8, 0.4f);
    Puffy(img, Poly({{136, 130}, {172, 236}, {152, 224}, {140, 244}, {120, 134}}), 0xd81b60, 8, 0.4f);
    QPainterPath left;
    left.moveTo(128, 118);
    left.cubicTo(80, 40, 10, 70, 28, 124);
    left.cubicTo(40, 170, 100, 150, 128, 118);
    QPainterPath right = QTransform(-1, 0, 0, 1, 256, 0).map(left);
    PaintPuffyFn(img, left, Vertical(0xf06292, 0xc2185b, 50, 170), Style(16, 0.5f));
    PaintPuffyFn(img, right, Vertical(0xf06292, 0xc2185b, 50, 170), Style(16, 0.5f));
    Puffy(img, RoundRectPath(QRectF(108, 96, 40, 46), 14), 0xe91e63, 10, 0.5f);
    return Finish(img);
}

QImage PartyMask() {
    QImage img = NewArt(S, S);
    QPainterPath mask;
    mask.moveTo(16, 96);
    mask.cubicTo(60, 70, 100, 86, 128, 104);
    mask.cubicTo(156, 86, 196, 70, 240, 96);
    mask.cubicTo(244, 150, 210, 178, 170, 176);
    mask.cubicTo(150, 176, 138, 156, 128, 150);
    mask.cubicTo(118, 156, 106, 176, 86, 176);
    mask.cubicTo(46, 178, 12, 150, 16, 96);
    QPainterPath eyes = Rotated(EllipsePath(QRectF(52, 108, 56, 34)), QPointF(80, 125), 10).united(
        Rotated(EllipsePath(QRectF(148, 108, 56, 34)), QPointF(176, 125), -10));
    PaintPuffyFn(img, mask.subtracted(eyes), Vertical(0x7e57c2, 0x4527a0, 80, 180), Style(12, 0.6f));
    TPuffy sp = Style(3, 0.8f);
    sp.Metal = &GoldStops();
    for (int i = 0; i < 7; ++i) PaintPuffy(img, Circle(40 + i * 29.5, 92 + std::abs(i - 3) * -2.0 + (i == 3 ? 8 : 0), 4), {}, sp);
    return Finish(img);
}

// ---- Nature ----

QImage Daisy() {
    QImage img = NewArt(S, S);
    for (int i = 0; i < 16; ++i) {
        QPainterPath petal = EllipsePath(QRectF(112, 14, 32, 104));
        Puffy(img, Rotated(petal, QPointF(128, 128), i * 22.5), 0xfdfdf8, 9, 0.25f);
    }
    PaintPuffyFn(img, Circle(128, 128, 36),
                 [](int x, int y) {
                     const float g = 0.5f + 0.5f * std::sin(x * 1.3f) * std::sin(y * 1.3f);
                     return Mix(Hex(0xe8a317), Hex(0xfbd54a), g);
                 },
                 Style(14, 0.3f));
    return Finish(img);
}

QImage Tulip() {
    QImage img = NewArt(S, S);
    QPainterPath stem;
    stem.moveTo(128, 130);
    stem.cubicTo(124, 170, 132, 210, 128, 250);
    Puffy(img, Stroked(stem, 10), 0x43a047, 5, 0.3f);
    PaintLeaf(img, QPointF(126, 244), 110, -28, Hex(0x4caf50));
    PaintLeaf(img, QPointF(130, 244), 96, 30, Hex(0x388e3c));
    QPainterPath bloom;
    bloom.moveTo(78, 40);
    bloom.lineTo(103, 66);
    bloom.lineTo(128, 30);
    bloom.lineTo(153, 66);
    bloom.lineTo(178, 40);
    bloom.cubicTo(190, 110, 170, 150, 128, 150);
    bloom.cubicTo(86, 150, 66, 110, 78, 40);
    PaintPuffyFn(img, bloom, Vertical(0xff5c8a, 0xc2185b, 30, 150), Style(20, 0.5f));
    return Finish(img);
}

QImage Sunflower() {
    QImage img = NewArt(S, S);
    for (int ring = 0; ring < 2; ++ring)
        for (int i = 0; i < 20; ++i) {
            QPainterPath petal = LeafPath(QRectF(116, 6 + ring * 10, 24, 78));
            Puffy(img, Rotated(petal, QPointF(128, 128), i * 18 + ring * 9), ring ? 0xffd54f : 0xffb300, 6, 0.3f);
        }
    // Seeds in a sunflower spiral.
    PaintPuffyFn(img, Circle(128, 128, 54),
                 [](int x, int y) {
                     const float dx = x - 128.f, dy = y - 128.f;
                     const float r = std::sqrt(dx * dx + dy * dy) / 4.2f;
                     const float a = std::atan2(dy, dx);
                     const float s = std::sin(r * r * 0.35f - a * 0.0f) * std::sin(a * 21.f + r * 2.f);
                     return Mix(Hex(0x3e2212), Hex(0x7b4a22), 0.5f + 0.5f * s);
                 },
                 Style(16, 0.2f));
    return Finish(img);
}

QImage Leaf() {
    QImage img = NewArt(S, S);
    QPainterPath leaf = Rotated(LeafPath(QRectF(70, 14, 116, 210)), QPointF(128, 128), 30);
    PaintPuffyFn(img, leaf, Vertical(0x8bc34a, 0x33691e, 20, 240), Style(16, 0.4f));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(128, 128);
    p.rotate(30);
    p.setPen(QPen(QColor(200, 230, 150, 170), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, -96), QPointF(0, 104));
    p.setPen(QPen(QColor(200, 230, 150, 130), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const double y = -60 + i * 32;
        p.drawLine(QPointF(0, y + 20), QPointF(-38 + i * 3, y - 6));
        p.drawLine(QPointF(0, y + 20), QPointF(38 - i * 3, y - 6));
    }
    p.resetTransform();
    p.setPen(QPen(QColor(0x5d4037), 6, Qt::SolidLine, Qt::RoundCap));
    // The leaf's base (128, 224) turned 30° about the centre.
    p.drawLine(QPointF(128 - 96 * 0.5, 128 + 96 * 0.866), QPointF(62, 246));
    p.end();
    return Finish(img);
}

QImage MapleLeaf() {
    QImage img = NewArt(S, S);
    std::vector<QPointF> pts;
    for (int i = 0; i < 360; i += 2) {
        const double a = i * M_PI / 180;
        // Five main lobes with serrated edges; the stem sits at the bottom.
        double r = 0.52 + 0.48 * std::pow(std::fabs(std::cos(2.5 * (a + M_PI / 2))), 0.7);
        r *= 1.0 + 0.05 * std::sin(a * 25);
        if (std::fabs(a - M_PI / 2) < 0.5) r *= 0.55 + 0.45 * std::fabs(a - M_PI / 2) / 0.5;
        pts.emplace_back(128 + std::cos(a) * r * 112, 120 + std::sin(a) * r * 104);
    }
    QPainterPath leaf;
    leaf.addPolygon(QPolygonF(QVector<QPointF>(pts.begin(), pts.end())));
    leaf.closeSubpath();
    PaintPuffyFn(img, leaf, Vertical(0xffa726, 0xd84315, 20, 230), Style(12, 0.35f));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 220, 160, 150), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int k = -2; k <= 2; ++k) {
        const double a = -M_PI / 2 + k * 0.72;
        p.drawLine(QPointF(128, 150), QPointF(128 + std::cos(a) * 90, 140 + std::sin(a) * 90));
    }
    p.setPen(QPen(QColor(0x8d4a1e), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(128, 150), QPointF(126, 246));
    p.end();
    return Finish(img);
}

QImage Butterfly() {
    QImage img = NewArt(S, S);
    for (int side = -1; side <= 1; side += 2) {
        QTransform t;
        if (side > 0) t = QTransform(-1, 0, 0, 1, 256, 0);
        QPainterPath upper;
        upper.moveTo(124, 110);
        upper.cubicTo(100, 30, 30, 10, 14, 50);
        upper.cubicTo(0, 90, 40, 130, 124, 124);
        QPainterPath lower;
        lower.moveTo(124, 124);
        lower.cubicTo(60, 130, 30, 190, 60, 216);
        lower.cubicTo(90, 236, 118, 190, 124, 134);
        const QPainterPath wings = t.map(upper.united(lower));
        PaintPuffy(img, wings, Hex(0x2b1a12), Style(8, 0.3f));
        // Orange panels inside the dark wing edge, then white edge spots.
        QPainterPath inner = t.map(QTransform().translate(124, 124).scale(0.78, 0.78).translate(-124, -124).map(upper.united(lower)));
        PaintPuffyFn(img, inner, Vertical(0xffb74d, 0xf57c00, 30, 220), Style(6, 0.4f));
        TRandom rnd(731 + side);
        for (int i = 0; i < 7; ++i) {
            const double a = 3.4 + i * 0.32;
            const QPointF c(124 + std::cos(a) * 98, 120 + std::sin(a) * 82 * (i < 4 ? 1 : -1) * -1);
            Puffy(img, t.map(Circle(c.x(), c.y(), 5.5 - i * 0.3)), 0xffffff, 2, 0.2f);
        }
    }
    Puffy(img, RoundRectPath(QRectF(118, 76, 20, 130), 10), 0x3e2723, 8, 0.5f);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x3e2723), 3, Qt::SolidLine, Qt::RoundCap));
    QPainterPath ant;
    ant.moveTo(124, 80);
    ant.quadTo(110, 40, 88, 28);
    ant.moveTo(132, 80);
    ant.quadTo(146, 40, 168, 28);
    p.drawPath(ant);
    p.setBrush(QColor(0x3e2723));
    p.drawEllipse(QPointF(88, 28), 5, 5);
    p.drawEllipse(QPointF(168, 28), 5, 5);
    p.end();
    return Finish(img);
}

QImage Ladybug() {
    QImage img = NewArt(S, S);
    Puffy(img, Circle(128, 70, 38), 0x212121, 14, 0.6f);
    Puffy(img, Circle(112, 56, 8), 0xffffff, 4, 0.5f);
    Puffy(img, Circle(144, 56, 8), 0xffffff, 4, 0.5f);
    QPainterPath shell = EllipsePath(QRectF(40, 76, 176, 164));
    PaintPuffyFn(img, shell,
                 [](int x, int y) {
                     // Black dots and the centre line on the red shell.
                     static const float dots[][3] = {{90, 130, 16}, {166, 130, 16}, {84, 190, 14},
                                                     {172, 190, 14}, {128, 212, 12}, {104, 96, 10}, {152, 96, 10}};
                     for (const auto& d : dots)
                         if (std::hypot(x - d[0], y - d[1]) < d[2]) return Hex(0x1b1b1b);
                     if (std::fabs(x - 128.f) < 2.5f) return Hex(0x1b1b1b);
                     return Hex(0xe53935);
                 },
                 Style(28, 0.8f, 40));
    return Finish(img);
}

QImage Tree() {
    QImage img = NewArt(S, S);
    QPainterPath trunk = Poly({{114, 250}, {142, 250}, {136, 150}, {158, 118}, {140, 120}, {128, 140}, {116, 116}, {100, 120}, {120, 150}});
    PaintPuffyFn(img, trunk, Vertical(0x8d6e63, 0x4e342e, 110, 250), Style(8, 0.2f));
    QPainterPath crown;
    crown.setFillRule(Qt::WindingFill);
    const QPointF blobs[] = {{128, 70}, {78, 104}, {178, 104}, {96, 150}, {160, 150}, {128, 118}};
    const double radii[] = {60, 50, 50, 44, 44, 56};
    for (int i = 0; i < 6; ++i) crown.addEllipse(blobs[i], radii[i], radii[i]);
    PaintPuffyFn(img, crown.simplified(), Vertical(0x9ccc65, 0x33691e, 10, 200), Style(22, 0.25f));
    for (QPointF c : {QPointF(96, 92), QPointF(162, 80), QPointF(140, 140), QPointF(84, 150)})
        Puffy(img, Circle(c.x(), c.y(), 9), 0xe53935, 5, 0.8f);
    return Finish(img);
}

QImage Mushroom() {
    QImage img = NewArt(S, S);
    QPainterPath stem;
    stem.moveTo(98, 240);
    stem.cubicTo(92, 190, 104, 150, 108, 128);
    stem.lineTo(148, 128);
    stem.cubicTo(152, 150, 164, 190, 158, 240);
    stem.closeSubpath();
    PaintPuffyFn(img, stem, Vertical(0xfffaf0, 0xe8dcc8, 128, 240), Style(14, 0.2f));
    QPainterPath cap;
    cap.moveTo(18, 146);
    cap.cubicTo(18, 40, 238, 40, 238, 146);
    cap.cubicTo(180, 130, 76, 130, 18, 146);
    PaintPuffyFn(img, cap,
                 [](int x, int y) {
                     static const float dots[][3] = {{80, 96, 13}, {128, 72, 15}, {178, 98, 12}, {52, 126, 8}, {206, 128, 8}, {128, 116, 9}};
                     for (const auto& d : dots)
                         if (std::hypot(x - d[0], y - d[1]) < d[2]) return Hex(0xfffdf5);
                     return Mix(Hex(0xef5350), Hex(0xb71c1c), Clamp01((y - 50.f) / 100.f));
                 },
                 Style(22, 0.6f));
    return Finish(img);
}

QImage Snowflake() {
    QImage img = NewArt(S, S);
    QPainterPath arms;
    for (int i = 0; i < 6; ++i) {
        QPainterPath arm;
        arm.moveTo(128, 128);
        arm.lineTo(128, 20);
        for (int k = 0; k < 2; ++k) {
            const double y = 84 - k * 34, l = 26 - k * 6;
            arm.moveTo(128, y);
            arm.lineTo(128 - l, y - l);
            arm.moveTo(128, y);
            arm.lineTo(128 + l, y - l);
        }
        arms.addPath(Rotated(arm, QPointF(128, 128), i * 60));
    }
    QPainterPath flake = Stroked(arms, 12).united(PolygonPath(QPointF(128, 128), 24, 24, 6, 0));
    PaintPuffyFn(img, flake, Vertical(0xe1f5fe, 0x4fc3f7, 20, 236), Style(6, 0.8f, 40));
    return Finish(img);
}

QImage Raindrop() {
    QImage img = NewArt(S, S);
    QPainterPath drop;
    drop.moveTo(128, 14);
    drop.cubicTo(150, 70, 206, 120, 206, 166);
    drop.cubicTo(206, 212, 170, 242, 128, 242);
    drop.cubicTo(86, 242, 50, 212, 50, 166);
    drop.cubicTo(50, 120, 106, 70, 128, 14);
    PaintPuffyFn(img, drop, Vertical(0x81d4fa, 0x0277bd, 14, 242), Style(40, 1.0f, 50));
    return Finish(img);
}

QImage Cherries() {
    QImage img = NewArt(S, S);
    QPainterPath stems;
    stems.moveTo(84, 170);
    stems.cubicTo(96, 110, 130, 60, 150, 34);
    stems.moveTo(176, 176);
    stems.cubicTo(170, 110, 158, 60, 150, 34);
    Puffy(img, Stroked(stems, 6), 0x6d8b3a, 3, 0.3f);
    PaintLeaf(img, QPointF(150, 36), 80, 60, Hex(0x66bb6a));
    PaintPuffyFn(img, Circle(80, 190, 50), Vertical(0xe53950, 0x8e0f26, 140, 240), Style(28, 0.9f, 40));
    PaintPuffyFn(img, Circle(178, 194, 48), Vertical(0xe53950, 0x8e0f26, 146, 242), Style(28, 0.9f, 40));
    return Finish(img);
}

// ---- Baby ----

QImage Teddy() {
    QImage img = NewArt(S, S);
    const auto fur = Vertical(0xc68b59, 0x8d5a34, 20, 250);
    const TPuffy furStyle = Style(16, 0.15f);
    // body, arms and legs under the head
    PaintPuffyFn(img, EllipsePath(QRectF(70, 128, 116, 104)), fur, furStyle);
    PaintPuffyFn(img, Rotated(EllipsePath(QRectF(40, 138, 46, 30)), QPointF(63, 153), -35), fur, furStyle);
    PaintPuffyFn(img, Rotated(EllipsePath(QRectF(170, 138, 46, 30)), QPointF(193, 153), 35), fur, furStyle);
    for (double x : {62.0, 146.0}) {
        PaintPuffyFn(img, EllipsePath(QRectF(x, 196, 48, 52)), fur, furStyle);
        Puffy(img, EllipsePath(QRectF(x + 10, 212, 28, 30)), 0xf3d3b0, 6, 0.2f);
    }
    Puffy(img, EllipsePath(QRectF(100, 150, 56, 58)), 0xe9c39a, 8, 0.15f);
    // head with ears
    for (double x : {62.0, 194.0}) {
        PaintPuffyFn(img, Circle(x, 42, 26), fur, furStyle);
        Puffy(img, Circle(x, 44, 13), 0xf3d3b0, 5, 0.2f);
    }
    PaintPuffyFn(img, Circle(128, 86, 66), fur, Style(20, 0.15f));
    Puffy(img, EllipsePath(QRectF(100, 92, 56, 42)), 0xf3d3b0, 8, 0.2f);
    Puffy(img, EllipsePath(QRectF(116, 96, 24, 16)), 0x3e2723, 5, 0.9f);
    for (double x : {104.0, 152.0}) Puffy(img, Circle(x, 74, 8), 0x2b1b14, 4, 1.f);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x3e2723), 3, Qt::SolidLine, Qt::RoundCap));
    QPainterPath smile;
    smile.moveTo(128, 112);
    smile.lineTo(128, 120);
    smile.moveTo(116, 120);
    smile.quadTo(128, 130, 140, 120);
    p.drawPath(smile);
    p.end();
    // a pink bow at the neck
    Puffy(img, Poly({{128, 150}, {94, 132}, {96, 170}}), 0xf48fb1, 7, 0.5f);
    Puffy(img, Poly({{128, 150}, {162, 132}, {160, 170}}), 0xf48fb1, 7, 0.5f);
    Puffy(img, Circle(128, 151, 11), 0xec6b9b, 5, 0.6f);
    return Finish(img);
}

QImage BabyBottle() {
    QImage img = NewArt(S, S);
    QPainterPath teat;
    teat.moveTo(104, 76);
    teat.cubicTo(104, 52, 114, 44, 118, 30);
    teat.cubicTo(120, 14, 136, 14, 138, 30);
    teat.cubicTo(142, 44, 152, 52, 152, 76);
    teat.closeSubpath();
    PaintPuffyFn(img, Rotated(teat, QPointF(128, 150), 12), Vertical(0xffe0b2, 0xe6b98a, 14, 80),
                 Style(12, 0.6f));
    const QPainterPath body = Rotated(RoundRectPath(QRectF(90, 96, 76, 146), 28), QPointF(128, 150), 12);
    PaintPuffyFn(
        img, body,
        [](int x, int y) {
            // milk up to a level, glass above it
            const float level = 130 + 0.2f * (x - 128);
            return y > level ? Mix(Hex(0xfffdf5), Hex(0xf1ebdc), Clamp01((y - level) / 110.f))
                             : Hex(0xe3f2fd);
        },
        Style(18, 0.8f, 40));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(128, 150);
    p.rotate(12);
    p.translate(-128, -150);
    p.setPen(QPen(QColor(120, 160, 200, 170), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(96, 136 + i * 22), QPointF(i % 2 ? 106 : 114, 136 + i * 22));
    p.end();
    PaintPuffyFn(img, Rotated(RoundRectPath(QRectF(84, 70, 88, 32), 10), QPointF(128, 150), 12),
                 Vertical(0x81d4fa, 0x0288d1, 70, 102), Style(10, 0.7f));
    return Finish(img);
}

QImage Rattle() {
    QImage img = NewArt(S, S);
    QPainterPath handle;
    handle.moveTo(150, 130);
    handle.lineTo(210, 214);
    PaintPuffyFn(img, Stroked(handle, 22), Vertical(0xfff59d, 0xfbc02d, 120, 220), Style(10, 0.6f));
    Puffy(img, Circle(214, 220, 22), 0x80cbc4, 10, 0.7f);
    const QPainterPath ring = Circle(150, 128, 22).subtracted(Circle(150, 128, 11));
    Puffy(img, ring, 0xf48fb1, 7, 0.7f);
    PaintPuffyFn(
        img, Circle(104, 92, 70),
        [](int x, int y) {
            // polka dots on a soft lilac ball
            const float u = (x + y * 0.3f) / 28.f, v = (y - x * 0.3f) / 28.f;
            const float d = std::hypot(u - std::floor(u) - 0.5f, v - std::floor(v) - 0.5f);
            return Mix(Hex(0xb39ddb), Hex(0xffffff), Smoothstep(0.22f, 0.18f, d));
        },
        Style(26, 0.8f, 40));
    return Finish(img);
}

QImage RubberDuck() {
    QImage img = NewArt(S, S);
    QPainterPath body;
    body.moveTo(28, 150);
    body.cubicTo(30, 110, 70, 118, 120, 130);
    body.cubicTo(170, 140, 210, 110, 230, 130);
    body.cubicTo(246, 150, 232, 228, 140, 230);
    body.cubicTo(60, 232, 26, 200, 28, 150);
    body.closeSubpath();
    const auto yellow = Vertical(0xfff176, 0xf9a825, 40, 236);
    PaintPuffyFn(img, body, yellow, Style(22, 0.7f, 36));
    PaintPuffyFn(img, Circle(92, 86, 56), yellow, Style(22, 0.7f, 36));
    QPainterPath beak;
    beak.moveTo(40, 84);
    beak.cubicTo(12, 84, 8, 106, 22, 110);
    beak.cubicTo(36, 116, 54, 108, 60, 100);
    beak.closeSubpath();
    PaintPuffyFn(img, beak, Vertical(0xffb74d, 0xef6c00, 80, 114), Style(8, 0.6f));
    Puffy(img, Circle(84, 70, 9), 0x212121, 4, 1.f);
    QPainterPath wing;
    wing.moveTo(112, 160);
    wing.cubicTo(140, 140, 190, 140, 200, 170);
    wing.cubicTo(180, 196, 130, 196, 112, 160);
    PaintPuffyFn(img, wing, Vertical(0xffee58, 0xf9a825, 140, 200), Style(10, 0.5f));
    return Finish(img);
}

QImage Pram() {
    QImage img = NewArt(S, S);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x546e7a), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(190, 118), QPointF(226, 56)); // handle
    p.drawLine(QPointF(226, 56), QPointF(240, 56));
    p.drawLine(QPointF(86, 170), QPointF(70, 206));
    p.drawLine(QPointF(170, 170), QPointF(186, 206));
    p.end();
    // basket and hood
    QPainterPath basket;
    basket.moveTo(26, 112);
    basket.lineTo(206, 112);
    basket.cubicTo(206, 170, 170, 186, 116, 186);
    basket.cubicTo(62, 186, 26, 170, 26, 112);
    basket.closeSubpath();
    PaintPuffyFn(img, basket, Vertical(0x90caf9, 0x1e88e5, 110, 190), Style(18, 0.5f));
    QPainterPath hood;
    hood.moveTo(26, 116);
    hood.cubicTo(22, 50, 70, 22, 120, 24);
    hood.lineTo(120, 116);
    hood.closeSubpath();
    PaintPuffyFn(
        img, hood,
        [](int x, int y) {
            // stripes fanning out from the hood's corner
            const float a = std::atan2(float(y - 116), float(x - 120));
            return int(std::floor(a * 5.f / kPi * 2)) % 2 ? Hex(0xfff3e0) : Hex(0x64b5f6);
        },
        Style(14, 0.4f));
    for (QPointF c : {QPointF(66, 214), QPointF(190, 214)}) {
        const QPainterPath wheel = Circle(c.x(), c.y(), 30).subtracted(Circle(c.x(), c.y(), 14));
        Puffy(img, wheel, 0x37474f, 8, 0.5f);
        Puffy(img, Circle(c.x(), c.y(), 8), 0xb0bec5, 4, 0.8f);
    }
    return Finish(img);
}

// ---- Travel ----

QImage Airplane() {
    QImage img = NewArt(S, S);
    const QPointF c(128, 128);
    const double turn = -35;
    auto at = [&](const QPainterPath& path) { return Rotated(path, c, turn); };
    PaintPuffyFn(img, at(Poly({{118, 122}, {150, 122}, {112, 28}, {94, 28}})),
                 Vertical(0x90a4ae, 0x546e7a, 20, 130), Style(8, 0.6f));
    PaintPuffyFn(img, at(Poly({{118, 136}, {150, 136}, {112, 228}, {94, 228}})),
                 Vertical(0x90a4ae, 0x546e7a, 130, 230), Style(8, 0.6f));
    PaintPuffyFn(img, at(Poly({{34, 124}, {54, 124}, {40, 86}, {28, 86}})),
                 Vertical(0x1e88e5, 0x0d47a1, 80, 130), Style(6, 0.6f));
    PaintPuffyFn(img, at(Poly({{34, 134}, {54, 134}, {40, 170}, {28, 170}})),
                 Vertical(0x1e88e5, 0x0d47a1, 130, 170), Style(6, 0.6f));
    QPainterPath body;
    body.moveTo(24, 120);
    body.lineTo(200, 114);
    body.cubicTo(240, 114, 246, 128, 246, 129);
    body.cubicTo(246, 130, 240, 144, 200, 144);
    body.lineTo(24, 138);
    body.closeSubpath();
    PaintPuffyFn(img, at(body), Vertical(0xffffff, 0xcfd8dc, 110, 146), Style(12, 0.8f, 40));
    PaintPuffy(img, at(RoundRectPath(QRectF(30, 133, 180, 5), 2)), Hex(0x1e88e5), Style(2, 0.4f));
    for (int i = 0; i < 9; ++i)
        PaintPuffy(img, at(Circle(88 + i * 14, 124, 3.6)), Hex(0x263238), Style(2, 1.f));
    PaintPuffy(img, at(Poly({{222, 118}, {234, 122}, {232, 128}, {220, 127}})), Hex(0x263238), Style(2, 1.f));
    return Finish(img);
}

QImage Suitcase() {
    QImage img = NewArt(S, S);
    const QPainterPath handle =
        RoundRectPath(QRectF(94, 30, 68, 44), 16).subtracted(RoundRectPath(QRectF(106, 42, 44, 40), 10));
    Puffy(img, handle, 0x4e342e, 8, 0.5f);
    PaintPuffyFn(img, RoundRectPath(QRectF(26, 64, 204, 160), 22), Vertical(0xd7894c, 0xa0522d, 64, 226),
                 Style(16, 0.45f));
    for (double x : {70.0, 170.0})
        PaintPuffyFn(img, RoundRectPath(QRectF(x, 62, 18, 164), 5), Vertical(0x6d4c41, 0x3e2723, 60, 228),
                     Style(5, 0.4f));
    for (double x : {70.0, 170.0}) Metal(img, RoundRectPath(QRectF(x - 2, 150, 22, 18), 4), GoldStops(), 4);
    // travel stickers
    Puffy(img, Rotated(RoundRectPath(QRectF(104, 92, 52, 36), 6), QPointF(130, 110), -8), 0xfff8e1, 4, 0.2f);
    Puffy(img, Circle(128, 184, 20), 0x4fc3f7, 5, 0.3f);
    Puffy(img, Rotated(Poly({{196, 96}, {220, 90}, {224, 120}, {200, 124}}), QPointF(210, 108), 10), 0xef5350,
          4, 0.3f);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f("DejaVu Sans");
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xc62828));
    p.translate(130, 110);
    p.rotate(-8);
    p.drawText(QRectF(-26, -14, 52, 28), Qt::AlignCenter, "PARIS");
    p.end();
    return Finish(img);
}

QImage Compass() {
    QImage img = NewArt(S, S);
    const QPainterPath ring = Circle(128, 132, 112).subtracted(Circle(128, 132, 92));
    Metal(img, ring, GoldStops(), 10);
    Metal(img, RoundRectPath(QRectF(116, 6, 24, 22), 8), GoldStops(), 6);
    PaintPuffyFn(img, Circle(128, 132, 93), Vertical(0xfffaf0, 0xeadfc8, 40, 226), Style(4, 0.2f));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8d6e63), 2));
    for (int i = 0; i < 36; ++i) {
        const double a = i * 10 * M_PI / 180, r0 = i % 9 == 0 ? 72 : 82;
        p.drawLine(QPointF(128 + std::sin(a) * r0, 132 - std::cos(a) * r0),
                   QPointF(128 + std::sin(a) * 88, 132 - std::cos(a) * 88));
    }
    QFont f("DejaVu Serif");
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x5d4037));
    p.drawText(QRectF(108, 50, 40, 24), Qt::AlignCenter, "N");
    p.drawText(QRectF(108, 190, 40, 24), Qt::AlignCenter, "S");
    p.drawText(QRectF(42, 120, 40, 24), Qt::AlignCenter, "W");
    p.drawText(QRectF(174, 120, 40, 24), Qt::AlignCenter, "E");
    p.end();
    const QPainterPath north = Rotated(Poly({{128, 64}, {142, 132}, {114, 132}}), QPointF(128, 132), 25);
    const QPainterPath south = Rotated(Poly({{128, 200}, {142, 132}, {114, 132}}), QPointF(128, 132), 25);
    PaintPuffy(img, north, Hex(0xe53935), Style(6, 0.7f));
    PaintPuffy(img, south, Hex(0xeceff1), Style(6, 0.7f));
    Metal(img, Circle(128, 132, 9), GoldStops(), 4);
    return Finish(img);
}

QImage PalmTree() {
    QImage img = NewArt(S, S);
    Puffy(img, EllipsePath(QRectF(40, 212, 180, 36)), 0xf2d49b, 8, 0.2f);
    // a curved trunk of stacked rings
    for (int i = 0; i < 13; ++i) {
        const double t = i / 12.0;
        const QPointF c(150 - 40 * t * t + 10 * t, 226 - 150 * t);
        PaintPuffyFn(img,
                     Rotated(EllipsePath(QRectF(c.x() - 15 + t * 3, c.y() - 10, 30 - t * 6, 22)), c, 20 * t),
                     Vertical(0xa1887f, 0x6d4c41, c.y() - 10, c.y() + 12), Style(6, 0.2f));
    }
    const QPointF top(120, 74);
    const double angles[] = {-160, -120, -70, -20, 20, 60, 200};
    TRandom rnd(881);
    for (double a : angles) {
        QPainterPath frond;
        const double len = rnd.Range(86, 104);
        frond.moveTo(0, -5);
        frond.cubicTo(len * 0.4, -26, len * 0.8, -18, len, 14);
        frond.cubicTo(len * 0.7, 4, len * 0.4, 8, 0, 5);
        frond.closeSubpath();
        const QPainterPath placed = QTransform().translate(top.x(), top.y()).rotate(a).map(frond);
        PaintPuffyFn(img, placed, Vertical(0x9ccc65, 0x2e7d32, 10, 150), Style(8, 0.35f));
    }
    for (QPointF c : {QPointF(112, 84), QPointF(130, 88), QPointF(120, 98)})
        PaintPuffyFn(img, Circle(c.x(), c.y(), 10), Vertical(0x8d6e63, 0x4e342e, c.y() - 10, c.y() + 10),
                     Style(6, 0.6f));
    return Finish(img);
}

QImage MapPin() {
    QImage img = NewArt(S, S);
    Puffy(img, EllipsePath(QRectF(96, 222, 64, 18)), 0x9e9e9e, 4, 0.1f);
    QPainterPath pin;
    pin.moveTo(128, 236);
    pin.cubicTo(100, 190, 48, 150, 48, 100);
    pin.cubicTo(48, 48, 86, 16, 128, 16);
    pin.cubicTo(170, 16, 208, 48, 208, 100);
    pin.cubicTo(208, 150, 156, 190, 128, 236);
    pin.closeSubpath();
    PaintPuffyFn(img, pin, Vertical(0xff6f60, 0xc62828, 16, 236), Style(24, 0.8f, 40));
    Puffy(img, Circle(128, 98, 34), 0xffffff, 8, 0.3f);
    return Finish(img);
}

// ---- Winter ----

QImage Snowman() {
    QImage img = NewArt(S, S);
    const auto snow = Vertical(0xffffff, 0xd4e6f5, 40, 250);
    PaintPuffyFn(img, Circle(128, 190, 58), snow, Style(24, 0.3f));
    PaintPuffyFn(img, Circle(128, 116, 44), snow, Style(20, 0.3f));
    PaintPuffyFn(img, Circle(128, 62, 34), snow, Style(16, 0.3f));
    // scarf
    Puffy(img, RoundRectPath(QRectF(88, 86, 80, 18), 9), 0xe53935, 6, 0.3f);
    Puffy(img, Rotated(RoundRectPath(QRectF(140, 94, 18, 52), 8), QPointF(149, 96), -12), 0xc62828, 6, 0.3f);
    // hat
    Puffy(img, RoundRectPath(QRectF(84, 30, 88, 12), 6), 0x263238, 5, 0.6f);
    Puffy(img, RoundRectPath(QRectF(100, 2, 56, 36), 6), 0x37474f, 8, 0.6f);
    Puffy(img, RoundRectPath(QRectF(100, 24, 56, 8), 2), 0xc62828, 3, 0.3f);
    for (double x : {114.0, 142.0}) Puffy(img, Circle(x, 58, 5), 0x212121, 3, 1.f);
    PaintPuffy(img, Poly({{128, 64}, {170, 74}, {128, 76}}), Hex(0xff8f00), Style(5, 0.5f));
    for (double y : {116.0, 140.0, 176.0}) Puffy(img, Circle(128, y, 6), 0x37474f, 3, 0.9f);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5d4037), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(88, 110), QPointF(36, 80));
    p.drawLine(QPointF(52, 90), QPointF(44, 66));
    p.drawLine(QPointF(168, 110), QPointF(220, 82));
    p.drawLine(QPointF(204, 90), QPointF(218, 68));
    p.end();
    return Finish(img);
}

QImage FirTree() {
    QImage img = NewArt(S, S);
    PaintPuffyFn(img, RoundRectPath(QRectF(112, 200, 32, 44), 5), Vertical(0x8d6e63, 0x4e342e, 200, 244),
                 Style(6, 0.2f));
    for (int tier = 0; tier < 3; ++tier) {
        const double top = 36 + tier * 44, w = 60 + tier * 26, bottom = top + 84;
        QPainterPath t;
        t.moveTo(128, top);
        t.cubicTo(128 + w * 0.3, top + 30, 128 + w * 0.7, bottom - 20, 128 + w, bottom);
        t.quadTo(128, bottom + 16, 128 - w, bottom);
        t.cubicTo(128 - w * 0.7, bottom - 20, 128 - w * 0.3, top + 30, 128, top);
        PaintPuffyFn(img, t, Vertical(0x66bb6a, 0x1b5e20, top, bottom), Style(14, 0.3f));
    }
    const std::pair<QPointF, uint32_t> balls[] = {{{104, 102}, 0xe53935}, {{150, 118}, 0x1e88e5},
                                                  {{90, 160}, 0xfdd835},  {{138, 170}, 0xe53935},
                                                  {{176, 196}, 0xfdd835}, {{72, 206}, 0x1e88e5}};
    for (const auto& [c, colour] : balls) Puffy(img, Circle(c.x(), c.y(), 9), colour, 5, 0.9f);
    Metal(img, SoftStarPath(QPointF(128, 32), 28, 12, 5, 0.15), GoldStops(), 8);
    return Finish(img);
}

QImage Bauble() {
    QImage img = NewArt(S, S);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xb0894a), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(128, 24), 12, 14);
    p.end();
    Metal(img, RoundRectPath(QRectF(106, 34, 44, 26), 6), GoldStops(), 6);
    PaintPuffyFn(
        img, Circle(128, 150, 94),
        [](int x, int y) {
            // a gold band with a zigzag through the red glass
            const float zig = 150 + 10 * std::sin(x * 0.12f);
            const float d = std::fabs(y - zig);
            return d < 12 ? Mix(Hex(0xffd54f), Hex(0xf9a825), d / 12.f)
                          : Mix(Hex(0xef5350), Hex(0xb71c1c), (y - 56) / 190.f);
        },
        Style(34, 1.f, 40));
    for (QPointF c : {QPointF(92, 112), QPointF(170, 118), QPointF(110, 196), QPointF(160, 192)})
        PaintPuffy(img, Sparkle(c, 9), Hex(0xffffff), Style(2, 1.f));
    return Finish(img);
}

QImage CandyCane() {
    QImage img = NewArt(S, S);
    QPainterPath cane;
    cane.moveTo(150, 226);
    cane.lineTo(150, 90);
    cane.cubicTo(150, 30, 70, 30, 70, 86);
    const QPainterPath body = Stroked(cane, 36);
    PaintPuffyFn(
        img, body,
        [](int x, int y) {
            const float s = std::fmod(float(x + y) + 1000.f, 34.f);
            return s < 14 ? Hex(0xd32f2f) : Hex(0xfffaf5);
        },
        Style(16, 0.8f, 40));
    // a green bow
    Puffy(img, Poly({{150, 150}, {112, 128}, {116, 170}}), 0x43a047, 7, 0.4f);
    Puffy(img, Poly({{150, 150}, {188, 128}, {184, 170}}), 0x43a047, 7, 0.4f);
    Puffy(img, Poly({{146, 154}, {126, 206}, {142, 204}}), 0x2e7d32, 5, 0.3f);
    Puffy(img, Poly({{154, 154}, {174, 206}, {158, 204}}), 0x2e7d32, 5, 0.3f);
    Puffy(img, Circle(150, 151, 11), 0x388e3c, 5, 0.5f);
    return Finish(img);
}

QImage Holly() {
    QImage img = NewArt(S, S);
    auto leaf = [&](double angle, bool mirror) {
        QPainterPath l;
        l.moveTo(0, 0);
        const int spikes = 4;
        for (int i = 1; i <= spikes; ++i) {
            const double x0 = 110.0 * (i - 1) / spikes, x1 = 110.0 * i / spikes;
            const double w = 34 * std::sin(M_PI * (x0 + x1) / 2 / 110) + 6;
            l.quadTo((x0 + x1) / 2, -w * 0.6, x1, -w - 6);
        }
        l.lineTo(122, 0);
        for (int i = spikes; i >= 1; --i) {
            const double x0 = 110.0 * (i - 1) / spikes, x1 = 110.0 * i / spikes;
            const double w = 34 * std::sin(M_PI * (x0 + x1) / 2 / 110) + 6;
            l.quadTo((x0 + x1) / 2, w * 0.6, x0, i > 1 ? w + 6 : 0);
        }
        l.closeSubpath();
        QTransform t;
        t.translate(128, 132);
        if (mirror) t.scale(-1, 1);
        t.rotate(angle);
        PaintPuffyFn(img, t.map(l), Vertical(0x4caf50, 0x1b5e20, 20, 240), Style(10, 0.7f, 40));
    };
    leaf(-30, false);
    leaf(-30, true);
    leaf(60, false);
    for (QPointF c : {QPointF(116, 128), QPointF(142, 124), QPointF(130, 148)})
        PaintPuffyFn(img, Circle(c.x(), c.y(), 17), Vertical(0xff5252, 0xb71c1c, c.y() - 17, c.y() + 17),
                     Style(9, 1.f, 40));
    return Finish(img);
}

// ---- Wedding ----

QImage WeddingCake() {
    QImage img = NewArt(S, S);
    Metal(img, EllipsePath(QRectF(28, 222, 200, 24)), SilverStops(), 5);
    const auto cream = [](float top, float bottom) { return Vertical(0xffffff, 0xf3e6d8, top, bottom); };
    PaintPuffyFn(img, RoundRectPath(QRectF(40, 168, 176, 62), 10), cream(168, 230), Style(12, 0.3f));
    PaintPuffyFn(img, RoundRectPath(QRectF(64, 118, 128, 54), 10), cream(118, 172), Style(12, 0.3f));
    PaintPuffyFn(img, RoundRectPath(QRectF(88, 76, 80, 46), 10), cream(76, 122), Style(12, 0.3f));
    // pearl strings and a ribbon on each tier
    for (auto [y, l, r] : {std::tuple{186.0, 44.0, 212.0}, {136.0, 68.0, 188.0}, {92.0, 92.0, 164.0}}) {
        Puffy(img, RoundRectPath(QRectF(l, y, r - l, 9), 4), 0xf8bbd0, 3, 0.4f);
        for (double x = l + 8; x < r - 4; x += 14) Puffy(img, Circle(x, y + 22, 4), 0xfdfdfd, 2, 1.f);
    }
    TRandom rnd(901);
    for (QPointF c : {QPointF(62, 172), QPointF(194, 172), QPointF(88, 122), QPointF(168, 122)})
        PaintRose(img, c, 14, Hex(0xf48fb1), rnd);
    Puffy(img, Heart(116, 52, 34), 0xec407a, 8, 0.8f);
    Puffy(img, Heart(142, 56, 30), 0xf48fb1, 7, 0.8f);
    return Finish(img);
}

QImage Dove() {
    QImage img = NewArt(S, S);
    QPainterPath body;
    body.moveTo(24, 150);
    body.cubicTo(40, 120, 80, 110, 120, 120);
    body.cubicTo(150, 96, 160, 70, 190, 66);
    body.cubicTo(214, 64, 226, 80, 228, 90);
    body.lineTo(246, 96);
    body.lineTo(226, 104);
    body.cubicTo(220, 150, 180, 190, 120, 186);
    body.cubicTo(80, 184, 50, 170, 24, 150);
    body.closeSubpath();
    const auto white = Vertical(0xffffff, 0xd9e2ec, 60, 200);
    PaintPuffyFn(img, body, white, Style(16, 0.4f));
    QPainterPath wing;
    wing.moveTo(110, 130);
    wing.cubicTo(80, 80, 60, 40, 40, 16);
    wing.cubicTo(90, 24, 140, 60, 160, 118);
    wing.closeSubpath();
    PaintPuffyFn(img, wing, white, Style(12, 0.4f));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xc5d0dc), 2));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(70 + i * 18, 60 + i * 16), QPointF(92 + i * 18, 56 + i * 18));
    p.end();
    Puffy(img, Circle(206, 84, 5), 0x263238, 3, 1.f);
    Puffy(img, Poly({{236, 94}, {252, 100}, {236, 104}}), 0xffb74d, 3, 0.5f);
    // an olive twig in the beak
    QPainterPath twig;
    twig.moveTo(240, 104);
    twig.quadTo(220, 140, 196, 150);
    Puffy(img, Stroked(twig, 4), 0x6d8b3a, 2, 0.2f);
    for (auto [x, y, a] : {std::tuple{230.0, 118.0, 40.0}, {218.0, 134.0, 130.0}, {206.0, 144.0, 60.0}})
        PaintLeaf(img, QPointF(x, y), 22, a, Hex(0x7cb342));
    return Finish(img);
}

QImage WeddingBells() {
    QImage img = NewArt(S, S);
    auto bell = [&](QPointF top, double angle) {
        QPainterPath b;
        b.moveTo(0, 0);
        b.cubicTo(34, 0, 40, 40, 44, 80);
        b.cubicTo(46, 100, 62, 108, 62, 116);
        b.lineTo(-62, 116);
        b.cubicTo(-62, 108, -46, 100, -44, 80);
        b.cubicTo(-40, 40, -34, 0, 0, 0);
        b.closeSubpath();
        const QTransform t = QTransform().translate(top.x(), top.y()).rotate(angle).scale(0.8, 0.8);
        Metal(img, t.map(Circle(0, 124, 12)), GoldStops(), 5);
        Metal(img, t.map(b), GoldStops(), 14);
    };
    bell(QPointF(96, 72), 16);
    bell(QPointF(160, 72), -16);
    Puffy(img, Poly({{128, 52}, {70, 24}, {74, 78}}), 0xfafafa, 8, 0.5f);
    Puffy(img, Poly({{128, 52}, {186, 24}, {182, 78}}), 0xfafafa, 8, 0.5f);
    Puffy(img, Poly({{122, 56}, {96, 118}, {114, 114}}), 0xeeeeee, 5, 0.4f);
    Puffy(img, Poly({{134, 56}, {160, 118}, {142, 114}}), 0xeeeeee, 5, 0.4f);
    Puffy(img, Circle(128, 53, 13), 0xf5f5f5, 5, 0.6f);
    PaintPuffy(img, Sparkle(QPointF(42, 150), 14), Hex(0xfff8e1), Style(3, 1.f));
    PaintPuffy(img, Sparkle(QPointF(216, 156), 11), Hex(0xfff8e1), Style(3, 1.f));
    return Finish(img);
}

QImage Bouquet() {
    QImage img = NewArt(S, S);
    for (auto [x, y, a] : {std::tuple{70.0, 110.0, -60.0},
                           {186.0, 110.0, 60.0},
                           {56.0, 80.0, -30.0},
                           {200.0, 80.0, 30.0},
                           {96.0, 54.0, -10.0},
                           {160.0, 54.0, 10.0}})
        PaintLeaf(img, QPointF(x, y + 30), 56, a, Hex(0x5a9a48));
    // the wrap
    QPainterPath wrap = Poly({{60, 120}, {196, 120}, {140, 244}, {116, 244}});
    PaintPuffyFn(img, wrap, Vertical(0xfce4ec, 0xf8bbd0, 120, 244), Style(10, 0.3f));
    TRandom rnd(911);
    const std::pair<QPointF, uint32_t> roses[] = {{{128, 64}, 0xfafafa},  {{86, 86}, 0xf8bbd0},
                                                  {{170, 86}, 0xf8bbd0},  {{106, 118}, 0xfafafa},
                                                  {{152, 118}, 0xfafafa}, {{128, 96}, 0xf48fb1}};
    for (const auto& [c, colour] : roses) PaintRose(img, c, 26, Hex(colour), rnd);
    // ribbon
    Puffy(img, Poly({{128, 178}, {96, 160}, {98, 196}}), 0xd81b60, 6, 0.5f);
    Puffy(img, Poly({{128, 178}, {160, 160}, {158, 196}}), 0xd81b60, 6, 0.5f);
    Puffy(img, Poly({{124, 182}, {104, 236}, {118, 234}}), 0xad1457, 4, 0.3f);
    Puffy(img, Poly({{132, 182}, {152, 236}, {138, 234}}), 0xad1457, 4, 0.3f);
    Puffy(img, Circle(128, 179, 10), 0xc2185b, 5, 0.6f);
    return Finish(img);
}

QImage WeddingRings() {
    QImage img = NewArt(S, S);
    const QPainterPath left = Circle(96, 146, 70).subtracted(Circle(96, 146, 54));
    const QPainterPath right = Circle(164, 134, 66).subtracted(Circle(164, 134, 51));
    Metal(img, right, SilverStops(), 10);
    Metal(img, left, GoldStops(), 10);
    // the gold ring passes in front at the bottom, behind at the top
    const QPainterPath front = right.intersected(RectPath(100, 150, 240, 240));
    Metal(img, front, SilverStops(), 10);
    QPainterPath diamond = Poly({{164, 44}, {182, 64}, {164, 84}, {146, 64}});
    PaintPuffyFn(img, diamond, Vertical(0xe1f5fe, 0x81d4fa, 44, 84), Style(6, 1.f, 60));
    Metal(img, RoundRectPath(QRectF(152, 76, 24, 12), 3), SilverStops(), 3);
    PaintPuffy(img, Sparkle(QPointF(190, 40), 12), Hex(0xffffff), Style(2, 1.f));
    return Finish(img);
}

// ---- Catalogue ----

TItem ClipartItem(const std::string& category, const std::string& name, std::function<QImage()> draw) {
    const std::string path = "Cliparts/" + category + "/" + name + ".png";
    return {path, [path, draw] { return std::vector<TPicture>{{path, TFormat::Png, draw()}}; }};
}

} // namespace

void AddCliparts(TCatalogue& items) {
    const std::pair<const char*, QImage (*)()> free[] = {
        {"star", Star},          {"star_red", StarRed},   {"sparkles", Sparkles},  {"arrow", CurvedArrow},
        {"speech", SpeechBubble}, {"thought", ThoughtBubble}, {"sun", Sun},         {"moon", Moon},
        {"cloud", CloudArt},     {"rainbow", Rainbow},    {"lightning", Lightning}, {"music_note", MusicNote},
        {"music_notes", MusicNotes}, {"crown", Crown},    {"banner", Banner},      {"rosette", Rosette},
        {"pushpin", Pushpin},    {"paper_clip", PaperClip}, {"washi_tape", WashiTape}, {"camera", Camera}};
    for (const auto& [name, fn] : free) items.push_back(ClipartItem("Free", name, fn));
    const std::pair<const char*, QImage (*)()> love[] = {
        {"heart", HeartRed},   {"heart_pink", HeartPink}, {"two_hearts", HeartsPair}, {"heart_arrow", HeartArrow},
        {"heart_balloon", HeartBalloon}, {"rose", Rose}, {"ring", Ring},          {"love_letter", LoveLetter},
        {"winged_heart", WingedHeart}, {"love", LoveText}, {"golden_heart", HeartSparkle}};
    for (const auto& [name, fn] : love) items.push_back(ClipartItem("Love", name, fn));
    const std::pair<const char*, QImage (*)()> party[] = {
        {"balloon", BalloonRed}, {"balloons", BalloonBunch}, {"gift", GiftBox},   {"party_hat", PartyHat},
        {"popper", ConfettiPopper}, {"firework", Firework}, {"cake", Cake},      {"trophy", Trophy},
        {"bow", Bow},            {"mask", PartyMask}};
    for (const auto& [name, fn] : party) items.push_back(ClipartItem("Party", name, fn));
    const std::pair<const char*, QImage (*)()> nature[] = {
        {"daisy", Daisy},      {"tulip", Tulip},         {"sunflower", Sunflower}, {"leaf", Leaf},
        {"maple_leaf", MapleLeaf}, {"butterfly", Butterfly}, {"ladybug", Ladybug}, {"tree", Tree},
        {"mushroom", Mushroom}, {"snowflake", Snowflake}, {"raindrop", Raindrop}, {"cherries", Cherries}};
    for (const auto& [name, fn] : nature) items.push_back(ClipartItem("Nature", name, fn));
    const std::pair<const char*, QImage (*)()> baby[] = {
        {"teddy", Teddy}, {"bottle", BabyBottle}, {"rattle", Rattle}, {"duck", RubberDuck}, {"pram", Pram}};
    for (const auto& [name, fn] : baby) items.push_back(ClipartItem("Baby", name, fn));
    const std::pair<const char*, QImage (*)()> travel[] = {{"airplane", Airplane},
                                                           {"suitcase", Suitcase},
                                                           {"compass", Compass},
                                                           {"palm", PalmTree},
                                                           {"map_pin", MapPin}};
    for (const auto& [name, fn] : travel) items.push_back(ClipartItem("Travel", name, fn));
    const std::pair<const char*, QImage (*)()> winter[] = {{"snowman", Snowman},
                                                           {"fir_tree", FirTree},
                                                           {"bauble", Bauble},
                                                           {"candy_cane", CandyCane},
                                                           {"holly", Holly}};
    for (const auto& [name, fn] : winter) items.push_back(ClipartItem("Winter", name, fn));
    const std::pair<const char*, QImage (*)()> wedding[] = {{"cake", WeddingCake},
                                                            {"dove", Dove},
                                                            {"bells", WeddingBells},
                                                            {"bouquet", Bouquet},
                                                            {"rings", WeddingRings}};
    for (const auto& [name, fn] : wedding) items.push_back(ClipartItem("Wedding", name, fn));
}

} // namespace resgen
