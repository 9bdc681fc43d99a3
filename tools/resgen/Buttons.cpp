// The pictures of the picture buttons: the main buttons of the top bar, the
// photo tools beside the canvas and the buttons of the side-panel pages, each
// in its four states (normal, pointer over it, pressed, disabled), at their
// size and at twice their size for high-density screens.
//
// One style throughout: line icons on a 24-unit grid with round ends; the
// main buttons carry them on coloured rounded tiles, the photo tools on the
// dark column with a coloured icon and a soft pill behind it under the
// pointer; the page buttons are coloured pills. The program paints the
// captions in white, so every place a caption goes stays dark enough.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "Art.h"
#include "Library.h"
#include "Shapes.h"

namespace resgen {

namespace {

enum TState { Normal, Hover, Down, Invalid };
const char* const kPrefix[] = {"normal_", "on_", "down_", "invalid_"};

// ---- Icons on a 24-unit grid ----

// The icon's strokes and fills in grid units; drawn by Icon() into a box.
using TIconFn = void (*)(QPainter& p, const QColor& ink, const QColor& fill);

QPen Stroke(const QColor& c, double w = 2.0) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void IconPhoto(QPainter& p, const QColor& ink, const QColor& fill) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 4.5, 18, 15), 2.5, 2.5);
    p.setBrush(ink);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(8.5, 9.5), 1.8, 1.8);
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    QPainterPath hills;
    hills.moveTo(3.5, 17.5);
    hills.lineTo(9, 12.5);
    hills.lineTo(12.5, 15.5);
    hills.lineTo(15.5, 12.5);
    hills.lineTo(20.5, 17);
    p.drawPath(hills);
    // the "add" badge
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(19, 19), 5, 5);
    p.setPen(Stroke(fill, 1.8));
    p.drawLine(QPointF(19, 16.6), QPointF(19, 21.4));
    p.drawLine(QPointF(16.6, 19), QPointF(21.4, 19));
}

QPainterPath Sparkle(QPointF c, double r) {
    QPainterPath s;
    s.moveTo(c.x(), c.y() - r);
    s.quadTo(c, QPointF(c.x() + r, c.y()));
    s.quadTo(c, QPointF(c.x(), c.y() + r));
    s.quadTo(c, QPointF(c.x() - r, c.y()));
    s.quadTo(c, QPointF(c.x(), c.y() - r));
    return s;
}

void IconModify(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink, 2.2));
    p.drawLine(QPointF(4, 20), QPointF(14.5, 9.5));
    p.setPen(Stroke(ink, 1.6));
    p.drawLine(QPointF(13, 8), QPointF(16, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(Sparkle({17.5, 5}, 3.6));
    p.drawPath(Sparkle({20, 12.5}, 2.4));
    p.drawPath(Sparkle({10.5, 4}, 2.2));
}

QPainterPath StarPath(QPointF c, double outer, double inner, int points = 5) {
    QPainterPath s;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -M_PI / 2 + i * M_PI / points;
        const double r = i % 2 ? inner : outer;
        const QPointF q(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            s.moveTo(q);
        else
            s.lineTo(q);
    }
    s.closeSubpath();
    return s;
}

void IconClipart(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawPath(StarPath({10.5, 11}, 8.2, 3.6));
    // a small heart beside the star
    QPainterPath heart;
    heart.moveTo(18.5, 22);
    heart.cubicTo(13.5, 18.5, 14.2, 14, 16.6, 14);
    heart.cubicTo(17.6, 14, 18.2, 14.6, 18.5, 15.3);
    heart.cubicTo(18.8, 14.6, 19.4, 14, 20.4, 14);
    heart.cubicTo(22.8, 14, 23.5, 18.5, 18.5, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(heart);
}

void IconText(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink, 2.4));
    p.drawLine(QPointF(5, 5), QPointF(19, 5));
    p.drawLine(QPointF(12, 5), QPointF(12, 19.5));
    p.setPen(Stroke(ink, 1.8));
    p.drawLine(QPointF(9, 19.5), QPointF(15, 19.5));
    p.drawLine(QPointF(5, 5), QPointF(5, 7.5));
    p.drawLine(QPointF(19, 5), QPointF(19, 7.5));
}

void IconBorder(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2.5, 2.5);
    p.setPen(Stroke(ink, 1.5));
    p.drawRect(QRectF(7.5, 7.5, 9, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (QPointF c : {QPointF(5.6, 5.6), QPointF(18.4, 5.6), QPointF(5.6, 18.4), QPointF(18.4, 18.4)})
        p.drawEllipse(c, 1.1, 1.1);
}

void IconBackdrop(QPainter& p, const QColor& ink, const QColor&) {
    // a painter's palette
    QPainterPath palette;
    palette.moveTo(12, 3);
    palette.cubicTo(6.5, 3, 2.5, 7, 2.5, 12);
    palette.cubicTo(2.5, 17.2, 6.8, 21, 12, 21);
    palette.cubicTo(13.6, 21, 14.2, 19.9, 13.6, 18.6);
    palette.cubicTo(12.8, 16.8, 14, 15.3, 15.8, 15.3);
    palette.lineTo(17.6, 15.3);
    palette.cubicTo(19.8, 15.3, 21.5, 13.7, 21.5, 11.4);
    palette.cubicTo(21.5, 6.8, 17.3, 3, 12, 3);
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawPath(palette);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (QPointF c : {QPointF(7.5, 11), QPointF(9.5, 7), QPointF(14.2, 6.6), QPointF(17.6, 10)})
        p.drawEllipse(c, 1.5, 1.5);
}

void IconSave(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink));
    p.drawLine(QPointF(12, 3), QPointF(12, 14.5));
    QPainterPath head;
    head.moveTo(7, 10);
    head.lineTo(12, 15);
    head.lineTo(17, 10);
    p.drawPath(head);
    QPainterPath tray;
    tray.moveTo(3.5, 14.5);
    tray.lineTo(3.5, 19);
    tray.quadTo(3.5, 20.5, 5, 20.5);
    tray.lineTo(19, 20.5);
    tray.quadTo(20.5, 20.5, 20.5, 19);
    tray.lineTo(20.5, 14.5);
    p.drawPath(tray);
}

void IconCrop(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    QPainterPath a;
    a.moveTo(6.5, 2.5);
    a.lineTo(6.5, 17.5);
    a.lineTo(21.5, 17.5);
    QPainterPath b;
    b.moveTo(2.5, 6.5);
    b.lineTo(17.5, 6.5);
    b.lineTo(17.5, 21.5);
    p.drawPath(a);
    p.drawPath(b);
}

void IconTransparent(QPainter& p, const QColor& ink, const QColor&) {
    QColor soft = ink;
    soft.setAlphaF(ink.alphaF() * 0.38);
    p.setPen(Qt::NoPen);
    p.setBrush(soft);
    p.drawEllipse(QPointF(15, 12), 6.5, 6.5);
    p.setPen(Stroke(ink, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(15, 12), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(9, 12), 6.5, 6.5);
}

void IconShadow(QPainter& p, const QColor& ink, const QColor&) {
    QColor soft = ink;
    soft.setAlphaF(ink.alphaF() * 0.4);
    p.setPen(Qt::NoPen);
    p.setBrush(soft);
    p.drawRoundedRect(QRectF(8.5, 8.5, 13, 13), 2.5, 2.5);
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 3, 13, 13), 2.5, 2.5);
}

void IconFlipH(QPainter& p, const QColor& ink, const QColor&) {
    QPen axis = Stroke(ink, 1.5);
    axis.setDashPattern({1.5, 2.2});
    p.setPen(axis);
    p.drawLine(QPointF(12, 2.5), QPointF(12, 21.5));
    QPolygonF left({QPointF(9.5, 6), QPointF(9.5, 18), QPointF(2.5, 18)});
    QPolygonF right({QPointF(14.5, 6), QPointF(14.5, 18), QPointF(21.5, 18)});
    p.setPen(Stroke(ink, 1.8));
    p.setBrush(ink);
    p.drawPolygon(left);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(right);
}

void IconFlipV(QPainter& p, const QColor& ink, const QColor& fill) {
    p.save();
    p.translate(12, 12);
    p.rotate(90);
    p.scale(1, -1);
    p.translate(-12, -12);
    IconFlipH(p, ink, fill);
    p.restore();
}

void Magnifier(QPainter& p, const QColor& ink) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10.5, 10.5), 7, 7);
    p.setPen(Stroke(ink, 2.6));
    p.drawLine(QPointF(15.8, 15.8), QPointF(21, 21));
}

void IconZoomIn(QPainter& p, const QColor& ink, const QColor&) {
    Magnifier(p, ink);
    p.setPen(Stroke(ink, 1.8));
    p.drawLine(QPointF(10.5, 7.5), QPointF(10.5, 13.5));
    p.drawLine(QPointF(7.5, 10.5), QPointF(13.5, 10.5));
}

void IconZoomOut(QPainter& p, const QColor& ink, const QColor&) {
    Magnifier(p, ink);
    p.setPen(Stroke(ink, 1.8));
    p.drawLine(QPointF(7.5, 10.5), QPointF(13.5, 10.5));
}

void IconUndo(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    QPainterPath head;
    head.moveTo(8.5, 14);
    head.lineTo(3.5, 9);
    head.lineTo(8.5, 4);
    p.drawPath(head);
    QPainterPath arc;
    arc.moveTo(3.5, 9);
    arc.lineTo(14.5, 9);
    arc.cubicTo(18, 9, 20.5, 11.5, 20.5, 14.75);
    arc.cubicTo(20.5, 18, 18, 20.5, 14.5, 20.5);
    arc.lineTo(11, 20.5);
    p.drawPath(arc);
}

void IconRedo(QPainter& p, const QColor& ink, const QColor& fill) {
    p.save();
    p.translate(24, 0);
    p.scale(-1, 1);
    IconUndo(p, ink, fill);
    p.restore();
}

void IconPreview(QPainter& p, const QColor& ink, const QColor&) {
    QPainterPath eye;
    eye.moveTo(2, 12);
    eye.cubicTo(5, 6, 9, 4.5, 12, 4.5);
    eye.cubicTo(15, 4.5, 19, 6, 22, 12);
    eye.cubicTo(19, 18, 15, 19.5, 12, 19.5);
    eye.cubicTo(9, 19.5, 5, 18, 2, 12);
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawPath(eye);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(12, 12), 3.4, 3.4);
}

void IconDelBorder(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2.5, 2.5);
    p.setPen(Stroke(ink, 2.2));
    p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
    p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
}

void IconAddText(QPainter& p, const QColor& ink, const QColor&) {
    p.setPen(Stroke(ink, 2.4));
    p.drawLine(QPointF(3, 5), QPointF(15, 5));
    p.drawLine(QPointF(9, 5), QPointF(9, 20));
    p.setPen(Stroke(ink, 2.2));
    p.drawLine(QPointF(18.5, 12), QPointF(18.5, 20));
    p.drawLine(QPointF(14.5, 16), QPointF(22.5, 16));
}

void IconModifyText(QPainter& p, const QColor& ink, const QColor&) {
    QPainterPath pencil;
    pencil.moveTo(15.5, 4.5);
    pencil.lineTo(19.5, 8.5);
    pencil.lineTo(8.5, 19.5);
    pencil.lineTo(3.5, 20.5);
    pencil.lineTo(4.5, 15.5);
    pencil.closeSubpath();
    p.setPen(Stroke(ink));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pencil);
    p.drawLine(QPointF(13, 7), QPointF(17, 11));
}

// Draws an icon into a square box.
void Icon(QPainter& p, TIconFn icon, const QRectF& box, const QColor& ink,
          const QColor& fill = Qt::transparent) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    icon(p, ink, fill);
    p.restore();
}

// ---- Drawing at a scale ----

// A transparent picture of w x h logical pixels at the given scale, with a
// painter already scaled to logical coordinates.
struct TCanvas {
    QImage Image;
    TCanvas(int w, int h, int scale) : Image(NewArt(w * scale, h * scale)) {}
};

QColor Shade(const QColor& c, double f) {
    // f > 1 lighter, f < 1 darker, in HSL lightness
    float h, s, l, a;
    c.getHslF(&h, &s, &l, &a);
    l = std::clamp(float(l * f), 0.f, 1.f);
    return QColor::fromHslF(h, s, l, a);
}

// ---- Main buttons (93 x 118): a coloured tile with a white icon; the
// caption goes under it at y = 94 ----

struct TMainButton {
    const char* Word;
    TIconFn Icon;
    QColor Top, Bottom;
};

QImage MainButton(const TMainButton& b, TState state, int scale) {
    const int W = 93, H = 118;
    QImage img = NewArt(W * scale, H * scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        // the whole button lights up under the pointer and sinks when pressed
        if (state == Hover || state == Down) {
            p.setPen(Qt::NoPen);
            p.setBrush(state == Hover ? QColor(255, 255, 255, 22) : QColor(0, 0, 0, 60));
            p.drawRoundedRect(QRectF(1, 1, W - 2, H - 2), 12, 12);
            p.setPen(QPen(state == Hover ? QColor(255, 255, 255, 34) : QColor(0, 0, 0, 40), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(1.5, 1.5, W - 3, H - 3), 11.5, 11.5);
        }
    }
    // the tile with its soft shadow
    const double side = 58, x0 = (W - side) / 2.0, y0 = state == Down ? 19 : 17;
    QImage tile = NewArt(W * scale, H * scale);
    {
        QPainter p(&tile);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        const QRectF r(x0, y0, side, side);
        const double k = state == Hover ? 1.12 : state == Down ? 0.86 : 1.0;
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, Shade(b.Top, k));
        g.setColorAt(1, Shade(b.Bottom, k));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(r, 15, 15);
        // a glassy light on the upper half and a fine rim
        QLinearGradient gloss(r.topLeft(), QPointF(r.left(), r.center().y()));
        gloss.setColorAt(0, QColor(255, 255, 255, 70));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(gloss);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -side / 2), 14, 14);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 50), 1));
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 14.5, 14.5);
        const double icon = 32;
        Icon(p, b.Icon, QRectF(r.center().x() - icon / 2, r.center().y() - icon / 2, icon, icon),
             QColor(255, 255, 255), Shade(b.Bottom, k));
    }
    const float sh = state == Down ? 0.25f : 0.45f;
    tile = WithShadow(tile, 0, float(2 * scale), float(3 * scale), sh);
    QPainter p(&img);
    p.drawImage(0, 0, tile);
    return img;
}

// ---- Photo tools (147 x 50): a coloured icon in the 30 pixels on the left;
// under the pointer a soft pill, pressed an accent pill ----

struct TToolButton {
    const char* Word;
    const char* InvalidWord; // the disabled picture's own spelling
    TIconFn Icon;
    QColor Ink;
};

const QColor kAccent(0x3d, 0x7b, 0xf7);

QImage ToolButton(const TToolButton& b, TState state, int scale) {
    const int W = 147, H = 50;
    QImage img = NewArt(W * scale, H * scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QRectF pill(3, 6, W - 6, H - 12);
    if (state == Hover || state == Down || state == Invalid) {
        QColor fill = state == Hover  ? QColor(255, 255, 255, 26)
                      : state == Down ? kAccent
                                      : QColor(0, 0, 0, 46);
        p.setPen(Qt::NoPen);
        if (state == Down) {
            QLinearGradient g(pill.topLeft(), pill.bottomLeft());
            g.setColorAt(0, Shade(kAccent, 1.1));
            g.setColorAt(1, Shade(kAccent, 0.9));
            p.setBrush(g);
        } else {
            p.setBrush(fill);
        }
        p.drawRoundedRect(pill, 10, 10);
        if (state == Hover) {
            p.setPen(QPen(QColor(255, 255, 255, 30), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(pill.adjusted(0.5, 0.5, -0.5, -0.5), 9.5, 9.5);
        }
    }
    QColor ink = b.Ink;
    if (state == Hover) ink = Shade(b.Ink, 1.15);
    if (state == Down) ink = QColor(255, 255, 255);
    if (state == Invalid) ink = QColor(0x5c, 0x63, 0x70);
    const double icon = 20;
    Icon(p, b.Icon, QRectF(19 - icon / 2, H / 2.0 - icon / 2, icon, icon), ink, QColor(0x26, 0x2a, 0x32));
    return img;
}

// ---- Page buttons: coloured pills with the icon (if any) on the left ----

struct TPillButton {
    const char* Folder;
    const char* Word;
    int W, H;
    QColor Colour;
    TIconFn Icon;      // nullptr: a caption only
    double IconCentre; // x of the icon's centre
    double IconSize;
};

QImage PillButton(const TPillButton& b, TState state, int scale) {
    QImage img = NewArt(b.W * scale, b.H * scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        const double dy = state == Down ? 1 : 0;
        const QRectF r(2, 1 + dy, b.W - 4, b.H - 4);
        const double k = state == Hover ? 1.1 : state == Down ? 0.85 : 1.0;
        QColor base = b.Colour;
        if (state == Invalid) base = QColor(0x8a, 0x90, 0x9c);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, Shade(base, 1.08 * k));
        g.setColorAt(1, Shade(base, 0.9 * k));
        p.setPen(QPen(Shade(base, 0.7 * k), 1));
        p.setBrush(g);
        const double radius = std::min(9.0, r.height() / 2);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        p.setPen(Qt::NoPen);
        QLinearGradient gloss(r.topLeft(), QPointF(r.left(), r.center().y()));
        gloss.setColorAt(0, QColor(255, 255, 255, state == Down ? 20 : 55));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(gloss);
        p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -r.height() / 2), radius - 1, radius - 1);
        if (b.Icon) {
            const double s = b.IconSize;
            Icon(p, b.Icon, QRectF(b.IconCentre - s / 2, r.center().y() - s / 2, s, s), QColor(255, 255, 255),
                 base);
        }
    }
    return state == Down ? img : WithShadow(img, 0, float(scale), float(1.2 * scale), 0.28f);
}

// ---- The catalogue entries ----

TPicture Bmp(const std::string& path, QImage image) {
    return {path, TFormat::Bmp, std::move(image)};
}

// Both sizes of one picture: "name.bmp" and "name@2x.bmp".
template <typename Draw> void BothSizes(std::vector<TPicture>& out, const std::string& path, Draw draw) {
    out.push_back(Bmp(path + ".bmp", draw(1)));
    out.push_back(Bmp(path + "@2x.bmp", draw(2)));
}

} // namespace

void AddButtons(TCatalogue& items) {
    static const TMainButton mains[] = {
        {"addphoto", IconPhoto, QColor(0x4f, 0x9c, 0xff), QColor(0x25, 0x63, 0xeb)},
        {"modify", IconModify, QColor(0xb3, 0x7b, 0xff), QColor(0x7c, 0x3a, 0xed)},
        {"clipart", IconClipart, QColor(0xff, 0x8f, 0xb8), QColor(0xe1, 0x1d, 0x74)},
        {"addtext", IconText, QColor(0x2d, 0xd4, 0xbf), QColor(0x0d, 0x94, 0x88)},
        {"border", IconBorder, QColor(0xfb, 0xbf, 0x24), QColor(0xd9, 0x77, 0x06)},
        {"backdrop", IconBackdrop, QColor(0x86, 0xe0, 0x6a), QColor(0x2f, 0x9e, 0x44)},
        {"save&print", IconSave, QColor(0xff, 0x8a, 0x65), QColor(0xe0, 0x4a, 0x2a)},
    };
    for (const TMainButton& b : mains) {
        const std::string base = std::string("resource/mainbutton/");
        items.push_back({base + "normal_" + b.Word + ".bmp", [b, base] {
                             std::vector<TPicture> out;
                             for (TState s : {Normal, Hover, Down})
                                 BothSizes(out, base + kPrefix[s] + b.Word,
                                           [&](int scale) { return MainButton(b, s, scale); });
                             return out;
                         }});
    }

    static const TToolButton tools[] = {
        {"crop", nullptr, IconCrop, QColor(0xff, 0xa9, 0x4d)},
        {"transparent", nullptr, IconTransparent, QColor(0x5c, 0xd6, 0xf0)},
        {"shadow", nullptr, IconShadow, QColor(0xb4, 0x9c, 0xff)},
        {"fliphorizontally", "fliphorizontically", IconFlipH, QColor(0x4a, 0xde, 0xb8)},
        {"flipvertically", nullptr, IconFlipV, QColor(0x4a, 0xde, 0xb8)},
        {"zoomin", nullptr, IconZoomIn, QColor(0x7c, 0xb4, 0xff)},
        {"zoomout", nullptr, IconZoomOut, QColor(0x7c, 0xb4, 0xff)},
        {"undo", nullptr, IconUndo, QColor(0xff, 0xd1, 0x66)},
        {"redo", nullptr, IconRedo, QColor(0xff, 0xd1, 0x66)},
        {"preview", "prview", IconPreview, QColor(0x8e, 0xe5, 0x7a)},
    };
    for (const TToolButton& b : tools) {
        const std::string base = "resource/toolsbtn/";
        items.push_back({base + "normal_" + b.Word + ".bmp", [b, base] {
                             std::vector<TPicture> out;
                             for (TState s : {Normal, Hover, Down, Invalid}) {
                                 const char* word = s == Invalid && b.InvalidWord ? b.InvalidWord : b.Word;
                                 BothSizes(out, base + kPrefix[s] + word,
                                           [&](int scale) { return ToolButton(b, s, scale); });
                             }
                             return out;
                         }});
    }

    static const TPillButton pills[] = {
        {"delborder", "deleteborder", 200, 38, QColor(0xe5, 0x48, 0x4d), IconDelBorder, 22, 20},
        {"addtext", "add", 138, 36, QColor(0x25, 0x63, 0xeb), IconAddText, 13, 17},
        {"addtext", "modify", 138, 36, QColor(0x47, 0x55, 0x69), IconModifyText, 13, 16},
        {"save&print", "saveAsImage", 240, 42, QColor(0x25, 0x63, 0xeb), nullptr, 0, 0},
        {"save&print", "saveAsWallPaper", 240, 42, QColor(0x0d, 0x94, 0x88), nullptr, 0, 0},
        {"save&print", "saveProject", 240, 42, QColor(0x6d, 0x28, 0xd9), nullptr, 0, 0},
    };
    for (const TPillButton& b : pills) {
        const std::string base = std::string("resource/") + b.Folder + "/";
        items.push_back({base + "normal_" + b.Word + ".bmp", [b, base] {
                             std::vector<TPicture> out;
                             for (TState s : {Normal, Hover, Down})
                                 BothSizes(out, base + kPrefix[s] + b.Word,
                                           [&](int scale) { return PillButton(b, s, scale); });
                             return out;
                         }});
    }
}

} // namespace resgen
