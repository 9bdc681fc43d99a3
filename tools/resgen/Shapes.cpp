#include "Shapes.h"

#include <QPolygonF>
#include <cmath>
#include <vector>

#include "Art.h"

namespace resgen {

QPainterPath SmoothClosed(const std::vector<QPointF>& p) {
    QPainterPath path;
    const int n = int(p.size());
    if (n < 3) return path;
    path.moveTo(p[0]);
    for (int i = 0; i < n; ++i) {
        const QPointF& p0 = p[(i - 1 + n) % n];
        const QPointF& p1 = p[i];
        const QPointF& p2 = p[(i + 1) % n];
        const QPointF& p3 = p[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

QPainterPath SmoothOpen(const std::vector<QPointF>& p) {
    QPainterPath path;
    const int n = int(p.size());
    if (n < 2) return path;
    path.moveTo(p[0]);
    for (int i = 0; i + 1 < n; ++i) {
        const QPointF& p0 = p[i > 0 ? i - 1 : 0];
        const QPointF& p1 = p[i];
        const QPointF& p2 = p[i + 1];
        const QPointF& p3 = p[i + 2 < n ? i + 2 : n - 1];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    return path;
}

QPainterPath HeartPath(const QRectF& r) {
    // x = 16 sin³t, y = 13 cos t − 5 cos 2t − 2 cos 3t − cos 4t spans
    // x -16..16 and y -17..12 (before flipping y).
    QPolygonF poly;
    const int n = 240;
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * i / n;
        const double s = std::sin(t);
        const double x = 16 * s * s * s;
        const double y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        poly << QPointF(r.left() + (x + 16.0) / 32.0 * r.width(), r.top() + (12.0 - y) / 29.0 * r.height());
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath StarPath(QPointF c, double outer, double inner, int points, double rotation) {
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double a = (rotation - 90.0) * M_PI / 180.0 + M_PI * i / points;
        const double r = i % 2 == 0 ? outer : inner;
        poly << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath SoftStarPath(QPointF c, double outer, double inner, int points, double roundness) {
    // Each corner is cut and replaced by a quadratic curve through it.
    std::vector<QPointF> v;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -M_PI / 2 + M_PI * i / points;
        const double r = i % 2 == 0 ? outer : inner;
        v.emplace_back(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    const int n = int(v.size());
    QPainterPath path;
    for (int i = 0; i < n; ++i) {
        const QPointF prev = v[(i - 1 + n) % n], cur = v[i], next = v[(i + 1) % n];
        const QPointF a = cur + (prev - cur) * roundness, b = cur + (next - cur) * roundness;
        if (i == 0)
            path.moveTo(a);
        else
            path.lineTo(a);
        path.quadTo(cur, b);
    }
    path.closeSubpath();
    return path;
}

QPainterPath PolygonPath(QPointF c, double rx, double ry, int sides, double rotation) {
    QPolygonF poly;
    for (int i = 0; i < sides; ++i) {
        const double a = (rotation - 90.0) * M_PI / 180.0 + 2.0 * M_PI * i / sides;
        poly << QPointF(c.x() + rx * std::cos(a), c.y() + ry * std::sin(a));
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath RoundRectPath(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath EllipsePath(const QRectF& r) {
    QPainterPath path;
    path.addEllipse(r);
    return path;
}

QPainterPath ScallopPath(const QRectF& r, double bump) {
    QPainterPath path;
    path.addRect(r);
    auto row = [&](QPointF a, QPointF b) {
        const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
        const int n = std::max(1, int(std::round(len / (2 * bump))));
        for (int i = 0; i <= n; ++i) {
            const QPointF c = a + (b - a) * (double(i) / n);
            const double rr = len / n / 2.0 * 1.02;
            path.addEllipse(c, rr, rr);
        }
    };
    row(r.topLeft(), r.topRight());
    row(r.bottomLeft(), r.bottomRight());
    row(r.topLeft(), r.bottomLeft());
    row(r.topRight(), r.bottomRight());
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

QPainterPath StampPath(const QRectF& r, double hole) {
    QPainterPath body;
    body.addRect(r);
    QPainterPath holes;
    auto row = [&](QPointF a, QPointF b) {
        const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
        const int n = std::max(1, int(std::round(len / (hole * 3.0))));
        for (int i = 0; i <= n; ++i) holes.addEllipse(a + (b - a) * (double(i) / n), hole, hole);
    };
    row(r.topLeft(), r.topRight());
    row(r.bottomLeft(), r.bottomRight());
    row(r.topLeft(), r.bottomLeft());
    row(r.topRight(), r.bottomRight());
    return body.subtracted(holes);
}

QPainterPath CloudPath(const QRectF& r, int seed) {
    TRandom rnd(uint64_t(seed) * 7919 + 3);
    QPainterPath path;
    // A flat-bottomed body plus bumps along an upper arc.
    const double cx = r.center().x();
    const double baseY = r.top() + r.height() * 0.68;
    path.addRoundedRect(QRectF(r.left() + r.width() * 0.08, r.top() + r.height() * 0.42, r.width() * 0.84,
                               r.height() * 0.52),
                        r.height() * 0.26, r.height() * 0.26);
    const int bumps = 5;
    for (int i = 0; i < bumps; ++i) {
        const double t = (i + 0.5) / bumps;
        const double x = r.left() + r.width() * (0.14 + 0.72 * t);
        const double arc = std::sin(t * M_PI);
        const double rad = r.height() * (0.16 + 0.14 * arc) * rnd.Range(0.9, 1.1);
        const double y = baseY - r.height() * (0.08 + 0.26 * arc) * rnd.Range(0.92, 1.05);
        path.addEllipse(QPointF(x, y), rad, rad);
    }
    (void)cx;
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

QPainterPath FlowerPath(QPointF c, double radius, int petals, double petalWidth, double rotation) {
    QPainterPath path;
    path.addEllipse(c, radius * 0.62, radius * 0.62);
    for (int i = 0; i < petals; ++i) {
        const double a = rotation * M_PI / 180.0 + 2.0 * M_PI * i / petals;
        const double pr = radius * petalWidth * M_PI / petals * 1.25;
        const QPointF pc(c.x() + (radius - pr) * std::cos(a), c.y() + (radius - pr) * std::sin(a));
        path.addEllipse(pc, pr, pr);
    }
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

QPainterPath SpeechBubblePath(const QRectF& r) {
    QPainterPath body;
    const QRectF box(r.left(), r.top(), r.width(), r.height() * 0.78);
    body.addRoundedRect(box, box.height() * 0.3, box.height() * 0.3);
    QPainterPath tail;
    tail.moveTo(box.left() + box.width() * 0.22, box.bottom() - 4);
    tail.quadTo(box.left() + box.width() * 0.2, r.bottom() - r.height() * 0.06, r.left() + r.width() * 0.1,
                r.bottom());
    tail.quadTo(box.left() + box.width() * 0.32, r.bottom() - r.height() * 0.06, box.left() + box.width() * 0.42,
                box.bottom() - 4);
    tail.closeSubpath();
    return body.united(tail);
}

QPainterPath ArchPath(const QRectF& r) {
    QPainterPath path;
    const double rad = r.width() / 2;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + rad);
    path.arcTo(QRectF(r.left(), r.top(), r.width(), r.width()), 180, -180);
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    return path;
}

QPainterPath LeafPath(const QRectF& r) {
    QPainterPath path;
    const double cx = r.center().x();
    path.moveTo(cx, r.top());
    path.cubicTo(r.right() + r.width() * 0.1, r.top() + r.height() * 0.35, r.right() - r.width() * 0.1,
                 r.bottom() - r.height() * 0.12, cx, r.bottom());
    path.cubicTo(r.left() + r.width() * 0.1, r.bottom() - r.height() * 0.12, r.left() - r.width() * 0.1,
                 r.top() + r.height() * 0.35, cx, r.top());
    path.closeSubpath();
    return path;
}

} // namespace resgen
