#include "Decor.h"

#include <QPainter>
#include <QPainterPathStroker>

#include "Shapes.h"

namespace resgen {

// A rose seen from above: rings of overlapping petals around a swirl.
void PaintRose(QImage& img, QPointF c, double r, const TRgb& colour, TRandom& rnd) {
    TPuffy puffy;
    puffy.Depth = r * 0.18;
    puffy.Gloss = 0.25f;
    const double rot = rnd.Range(0, 360);
    for (int ring = 0; ring < 3; ++ring) {
        const double rr = r * (1.0 - ring * 0.28);
        const int petals = 5 - ring / 2;
        for (int i = 0; i < petals; ++i) {
            const double a = (rot + ring * 37 + i * 360.0 / petals) * M_PI / 180;
            QPainterPath petal;
            petal.addEllipse(QPointF(c.x() + std::cos(a) * rr * 0.42, c.y() + std::sin(a) * rr * 0.42), rr * 0.52,
                             rr * 0.52);
            PaintPuffy(img, petal, colour * (1.f - ring * 0.1f), puffy);
        }
    }
    QPainterPath centre;
    centre.addEllipse(c, r * 0.2, r * 0.2);
    PaintPuffy(img, centre, colour * 0.72f, puffy);
}

void PaintLeaf(QImage& img, QPointF at, double len, double angle, const TRgb& colour) {
    QPainterPath leaf = QTransform().translate(at.x(), at.y()).rotate(angle).map(
        LeafPath(QRectF(-len * 0.22, -len, len * 0.44, len)));
    TPuffy puffy;
    puffy.Depth = len * 0.12;
    puffy.Gloss = 0.3f;
    PaintPuffy(img, leaf, colour, puffy);
}

void PaintBalloon(QImage& img, QPointF c, double r, const TRgb& colour, QPointF stringEnd) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath string;
    const QPointF knot(c.x(), c.y() + r * 1.18);
    string.moveTo(knot);
    string.cubicTo(knot + QPointF(-r * 0.3, r * 0.6), stringEnd + QPointF(r * 0.3, -r * 0.6), stringEnd);
    p.setPen(QPen(QColor(120, 110, 110, 200), 2));
    p.drawPath(string);
    p.end();
    QPainterPath body;
    body.moveTo(c.x(), c.y() + r * 1.15);
    body.cubicTo(c.x() + r * 1.25, c.y() + r * 0.55, c.x() + r * 1.05, c.y() - r * 1.05, c.x(), c.y() - r * 1.05);
    body.cubicTo(c.x() - r * 1.05, c.y() - r * 1.05, c.x() - r * 1.25, c.y() + r * 0.55, c.x(), c.y() + r * 1.15);
    QPainterPath tie;
    tie.moveTo(c.x(), c.y() + r * 1.1);
    tie.lineTo(c.x() + r * 0.1, c.y() + r * 1.24);
    tie.lineTo(c.x() - r * 0.1, c.y() + r * 1.24);
    tie.closeSubpath();
    TPuffy puffy;
    puffy.Depth = r * 0.7;
    puffy.Gloss = 0.8f;
    puffy.Shininess = 40;
    PaintPuffy(img, body.united(tie), colour, puffy);
}

QPainterPath Stroked(const QPainterPath& path, double width, Qt::PenCapStyle cap) {
    QPainterPathStroker st;
    st.setWidth(width);
    st.setCapStyle(cap);
    st.setJoinStyle(Qt::RoundJoin);
    QPainterPath out = st.createStroke(path);
    out.setFillRule(Qt::WindingFill);
    return out;
}

} // namespace resgen
