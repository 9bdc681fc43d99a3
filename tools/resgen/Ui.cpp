// The program's own pictures: the start-up splash, the rotation cursor and
// the picture handle drawn on a selected photo.

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "Art.h"
#include "Library.h"
#include "Shapes.h"

namespace resgen {

namespace {

// A tiny landscape for the splash's photo cards: sky gradient, sun, two
// hill silhouettes.
void MiniLandscape(QPainter& p, const QRectF& r, QColor skyTop, QColor skyBottom, QColor sun, QColor far,
                   QColor near, bool peaks) {
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, skyTop);
    sky.setColorAt(1, skyBottom);
    p.fillRect(r, sky);
    QRadialGradient glow(QPointF(r.left() + r.width() * 0.68, r.top() + r.height() * 0.45), r.width() * 0.5);
    QColor g = sun;
    g.setAlpha(150);
    glow.setColorAt(0, g);
    g.setAlpha(0);
    glow.setColorAt(1, g);
    p.fillRect(r, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.68, r.top() + r.height() * 0.45), r.width() * 0.09,
                  r.width() * 0.09);
    auto hills = [&](double base, double amp, double phase, QColor c, bool sharp) {
        QPainterPath path;
        path.moveTo(r.left(), r.bottom());
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            double v = std::sin(t * 7 + phase) * 0.5 + std::sin(t * 13 + phase * 2) * 0.25;
            if (sharp) v = 1.0 - std::fabs(std::sin(t * 5 + phase)) * 1.6 + std::sin(t * 17) * 0.15;
            path.lineTo(r.left() + t * r.width(), r.top() + r.height() * (base - amp * v));
        }
        path.lineTo(r.right(), r.bottom());
        path.closeSubpath();
        p.setBrush(c);
        p.drawPath(path);
    };
    hills(0.62, 0.12, 0.4, far, peaks);
    hills(0.82, 0.08, 2.1, near, false);
}

// A polaroid-style card with a picture, rotated about its centre; scale
// shrinks or enlarges the whole card with its shadow.
void PhotoCard(QImage& img, QPointF centre, double angle,
               const std::function<void(QPainter&, const QRectF&)>& picture, double scale = 1) {
    const double w = 122, h = 142;
    QImage card = NewArt(img.width(), img.height());
    {
        QPainter p(&card);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(centre);
        p.rotate(angle);
        p.scale(scale, scale);
        const QRectF body(-w / 2, -h / 2, w, h);
        QLinearGradient paper(body.topLeft(), body.bottomRight());
        paper.setColorAt(0, QColor(0xfdfcf8));
        paper.setColorAt(1, QColor(0xece8e0));
        p.setPen(Qt::NoPen);
        p.setBrush(paper);
        p.drawRoundedRect(body, 2, 2);
        const QRectF photo(-w / 2 + 8, -h / 2 + 8, w - 16, h - 36);
        p.save();
        p.setClipRect(photo);
        picture(p, photo);
        p.restore();
    }
    const QImage shadowed =
        WithShadow(card, float(3 * scale), float(6 * scale), float(std::max(5 * scale, 1.0)), 0.5f);
    QPainter q(&img);
    q.drawImage(0, 0, shadowed);
}

// The three pictures of the program's photo cards: mountains, a dusk, a beach.
void Mountains(QPainter& p, const QRectF& r) {
    MiniLandscape(p, r, QColor(0x2f6fc0), QColor(0xbcd8f0), QColor(0xfff6dc), QColor(0x8aa0bc),
                  QColor(0x2e5a3a), true);
}
void Dusk(QPainter& p, const QRectF& r) {
    MiniLandscape(p, r, QColor(0x4a2f6e), QColor(0xffb070), QColor(0xfff0c0), QColor(0x6a3a5a),
                  QColor(0x2a1a2e), false);
}
void Beach(QPainter& p, const QRectF& r) {
    MiniLandscape(p, r, QColor(0x5aa8e0), QColor(0xd8f0f0), QColor(0xffffff), QColor(0x2ec4c8),
                  QColor(0xe0cc9a), false);
}

// The fan of three cards whose first card's centre is at `first`, all
// positions and sizes times `scale`.
void CardFan(QImage& img, QPointF first, double scale) {
    const QPointF o = first - QPointF(92, 118) * scale;
    PhotoCard(img, o + QPointF(92, 118) * scale, -13, Mountains, scale);
    PhotoCard(img, o + QPointF(138, 196) * scale, 9, Dusk, scale);
    PhotoCard(img, o + QPointF(74, 234) * scale, -4, Beach, scale);
}

// The dark card behind the splash and the About box: a night-blue to plum
// gradient with a cool light on the left, a warm one on the lower right and a
// few bokeh dots along the bottom.
void NightBackdrop(QPainter& p, const QRectF& r, double radius, uint64_t seed) {
    QLinearGradient bg(r.topLeft(), r.bottomRight());
    bg.setColorAt(0, QColor(0x222a4a));
    bg.setColorAt(0.55, QColor(0x1c1f38));
    bg.setColorAt(1, QColor(0x35203f));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    if (radius > 0)
        p.drawRoundedRect(r, radius, radius);
    else
        p.drawRect(r);
    p.save();
    p.setClipPath(RoundRectPath(r, radius));
    QRadialGradient warm(QPointF(r.right() - 50, r.bottom() - 20), r.width() * 0.45);
    warm.setColorAt(0, QColor(240, 140, 110, 90));
    warm.setColorAt(1, QColor(240, 140, 110, 0));
    p.fillRect(r, warm);
    QRadialGradient cool(QPointF(r.left() + 82, r.top() + 162), r.width() * 0.33);
    cool.setColorAt(0, QColor(120, 150, 255, 70));
    cool.setColorAt(1, QColor(120, 150, 255, 0));
    p.fillRect(r, cool);
    TRandom rnd(seed);
    for (int i = 0; i < 14; ++i) {
        const QPointF c(r.left() + rnd.Range(0.43, 0.98) * r.width(), r.bottom() - rnd.Range(2, 58));
        const double d = rnd.Range(4, 14);
        QRadialGradient dot(c, d);
        dot.setColorAt(0, QColor(255, 210, 170, 60));
        dot.setColorAt(0.85, QColor(255, 210, 170, 45));
        dot.setColorAt(1, QColor(255, 210, 170, 0));
        p.setBrush(dot);
        p.drawEllipse(c, d, d);
    }
    p.restore();
}

// The product name in its light face, with its ink gradient and the golden
// line under it.
void Wordmark(QPainter& p, QPointF baseline, double pixelSize, bool line) {
    QFont title("DejaVu Sans");
    title.setPixelSize(int(std::lround(pixelSize)));
    title.setWeight(QFont::Light);
    title.setLetterSpacing(QFont::PercentageSpacing, 104);
    QPainterPath text;
    text.addText(baseline, title, "Velmora");
    QLinearGradient ink(QPointF(0, baseline.y() - pixelSize * 0.8), QPointF(0, baseline.y()));
    ink.setColorAt(0, QColor(0xffffff));
    ink.setColorAt(1, QColor(0xe6dcf4));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(text);
    if (!line) return;
    const double w = text.boundingRect().width() * 1.1;
    QLinearGradient gold(QPointF(baseline.x() + 2, 0), QPointF(baseline.x() + 2 + w, 0));
    gold.setColorAt(0, QColor(0xf2c46d));
    gold.setColorAt(1, QColor(242, 196, 109, 0));
    p.fillRect(QRectF(baseline.x() + 2, baseline.y() + pixelSize * 0.28, w, std::max(1.0, pixelSize / 28)),
               gold);
}

// The start-up picture at `scale` times its size (2 for high-density
// screens): the same drawing on a finer grid.
QImage Splash(double scale) {
    const int W = 520, H = 320, m = 8;
    const int SW = int(std::lround(W * scale)), SH = int(std::lround(H * scale));
    QImage img = NewArt(SW, SH);
    const QRectF cardRect(m, m, W - 2 * m, H - 2 * m);
    QImage card = NewArt(SW, SH);
    {
        QPainter p(&card);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        QLinearGradient bg(cardRect.topLeft(), cardRect.bottomRight());
        bg.setColorAt(0, QColor(0x222a4a));
        bg.setColorAt(0.55, QColor(0x1c1f38));
        bg.setColorAt(1, QColor(0x35203f));
        p.setPen(Qt::NoPen);
        p.setBrush(bg);
        p.drawRoundedRect(cardRect, 22, 22);
        // Soft light in the lower right and behind the cards; the area where
        // the loading text is written stays dark and calm.
        p.setClipPath(RoundRectPath(cardRect, 22));
        QRadialGradient warm(QPointF(470, 300), 230);
        warm.setColorAt(0, QColor(240, 140, 110, 90));
        warm.setColorAt(1, QColor(240, 140, 110, 0));
        p.fillRect(cardRect, warm);
        QRadialGradient cool(QPointF(90, 170), 170);
        cool.setColorAt(0, QColor(120, 150, 255, 70));
        cool.setColorAt(1, QColor(120, 150, 255, 0));
        p.fillRect(cardRect, cool);
        // A few faint bokeh dots along the bottom edge.
        TRandom rnd(1101);
        for (int i = 0; i < 14; ++i) {
            const QPointF c(rnd.Range(230, 510), rnd.Range(262, 318));
            const double r = rnd.Range(4, 14);
            QRadialGradient dot(c, r);
            dot.setColorAt(0, QColor(255, 210, 170, 60));
            dot.setColorAt(0.85, QColor(255, 210, 170, 45));
            dot.setColorAt(1, QColor(255, 210, 170, 0));
            p.setBrush(dot);
            p.drawEllipse(c, r, r);
        }
        // Fine edge highlight.
        p.setClipping(false);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.drawRoundedRect(cardRect.adjusted(0.5, 0.5, -0.5, -0.5), 22, 22);
    }
    // Three photo cards fanned out on the left: the collage motif.
    CardFan(card, QPointF(92, 118) * scale, scale);
    {
        QPainter p(&card);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(scale, scale);
        QFont title("DejaVu Sans");
        title.setPixelSize(56);
        title.setWeight(QFont::Light);
        title.setLetterSpacing(QFont::PercentageSpacing, 104);
        QPainterPath text;
        text.addText(232, 176, title, "Velmora");
        QLinearGradient ink(QPointF(0, 130), QPointF(0, 180));
        ink.setColorAt(0, QColor(0xffffff));
        ink.setColorAt(1, QColor(0xe6dcf4));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(text);
        QLinearGradient line(QPointF(234, 0), QPointF(470, 0));
        line.setColorAt(0, QColor(0xf2c46d));
        line.setColorAt(1, QColor(242, 196, 109, 0));
        p.fillRect(QRectF(234, 192, 236, 2), line);
        QFont tag("DejaVu Sans");
        tag.setPixelSize(15);
        p.setFont(tag);
        p.setPen(QColor(0xc9c2e0));
        p.drawText(QPointF(234, 220), "Photo collages, beautifully simple");
    }
    QPainter q(&img);
    q.drawImage(0, 0, WithShadow(card, 0, float(3 * scale), float(4 * scale), 0.45f));
    return img;
}

// The About box's picture (593 x 422 logical pixels): the night backdrop
// filling the window, the card fan and the name across its upper part; the
// lower part stays calm for the texts the program writes there.
QImage AboutPicture(int scale) {
    const int W = 593, H = 422;
    QImage img = NewArt(W * scale, H * scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        NightBackdrop(p, QRectF(0, 0, W, H), 0, 2203);
        // a faint band under the texts keeps them readable over the glows
        QLinearGradient band(QPointF(0, 160), QPointF(0, H));
        band.setColorAt(0, QColor(10, 12, 24, 0));
        band.setColorAt(0.25, QColor(10, 12, 24, 90));
        band.setColorAt(1, QColor(10, 12, 24, 120));
        p.fillRect(QRectF(0, 160, W, H - 160), band);
    }
    CardFan(img, QPointF(70 * scale, 70 * scale), 0.52 * scale);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(scale, scale);
        Wordmark(p, QPointF(178, 98), 52, true);
        QFont tag("DejaVu Sans");
        tag.setPixelSize(15);
        p.setFont(tag);
        p.setPen(QColor(0xc9c2e0));
        p.drawText(QPointF(181, 140), "Photo collages, beautifully simple");
    }
    return img;
}

// The logo at the right end of the top bar (176 x 48): a small card fan and
// the name, white on the dark bar.
QImage LogoPicture(int scale) {
    const int W = 176, H = 48;
    QImage img = NewArt(W * scale, H * scale);
    CardFan(img, QPointF(16 * scale, 14 * scale), 0.16 * scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    Wordmark(p, QPointF(46, 33), 27, false);
    return img;
}

// The rotation cursor: a circular arrow, black with a white outline so it
// shows on any background; its hot spot is the centre.
QImage RotateCursor() {
    QImage img = NewArt(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arc;
    arc.arcMoveTo(QRectF(6, 6, 20, 20), 100);
    arc.arcTo(QRectF(6, 6, 20, 20), 100, 290);
    const QPointF tip = arc.currentPosition();
    // Arrowhead at the end of the arc, pointing along it (clockwise end).
    const double a = (100 + 290) * M_PI / 180.0;
    const QPointF dir(-std::sin(a), -std::cos(a)); // tangent of the arc direction
    const QPointF normal(std::cos(a), -std::sin(a));
    QPainterPath head;
    head.moveTo(tip + dir * 5.5);
    head.lineTo(tip - normal * 5.0 - dir * 1.5);
    head.lineTo(tip + normal * 5.0 - dir * 1.5);
    head.closeSubpath();
    p.setPen(QPen(Qt::white, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setBrush(Qt::white);
    p.drawPath(head);
    p.setPen(QPen(Qt::black, 2.6, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(head);
    return img;
}

// The picture handle: a round badge with a four-way arrow, drawn at the
// centre of a selected photo; dragging it pans the photo inside its box.
QImage PictureHandle() {
    const int S = 28;
    QImage img = NewArt(S, S);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF c(S / 2.0, S / 2.0);
        QRadialGradient face(QPointF(c.x() - 3, c.y() - 4), 15);
        face.setColorAt(0, QColor(0xffffff));
        face.setColorAt(1, QColor(0xdfe6f0));
        p.setPen(QPen(QColor(30, 50, 80, 200), 1.4));
        p.setBrush(face);
        p.drawEllipse(c, 11.5, 11.5);
        QPainterPath arrows;
        const double l = 8.2, w = 1.1, hw = 3.2, hl = 3.4;
        for (int i = 0; i < 4; ++i) {
            QPainterPath one;
            one.moveTo(0, -w);
            one.lineTo(l - hl, -w);
            one.lineTo(l - hl, -hw);
            one.lineTo(l, 0);
            one.lineTo(l - hl, hw);
            one.lineTo(l - hl, w);
            one.lineTo(0, w);
            one.closeSubpath();
            arrows.addPath(QTransform().translate(c.x(), c.y()).rotate(i * 90).map(one));
        }
        arrows.setFillRule(Qt::WindingFill);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f4f8f));
        p.drawPath(arrows.simplified());
    }
    return WithShadow(img, 0, 1, 1, 0.35f);
}

TItem UiItem(const std::string& path, std::function<QImage()> draw) {
    return {path, [path, draw] { return std::vector<TPicture>{{path, TFormat::Png, draw()}}; }};
}

} // namespace

void AddUi(TCatalogue& items) {
    items.push_back(UiItem("resource/start.png", [] { return Splash(1); }));
    items.push_back(UiItem("resource/start@2x.png", [] { return Splash(2); }));
    items.push_back(UiItem("resource/rotate.png", RotateCursor));
    items.push_back(UiItem("cursor.png", PictureHandle));
    using TDraw = QImage (*)(int);
    for (auto [name, draw] : {std::pair<const char*, TDraw>{"resource/about", AboutPicture},
                              std::pair<const char*, TDraw>{"resource/logo", LogoPicture}}) {
        const std::string path = name;
        auto paint = draw;
        items.push_back({path + ".png", [path, paint] {
                             return std::vector<TPicture>{{path + ".png", TFormat::Png, paint(1)},
                                                          {path + "@2x.png", TFormat::Png, paint(2)}};
                         }});
    }
}

} // namespace resgen
