#pragma once
// Outline shapes shared by masks, frames and cliparts, as Qt paths in the
// caller's pixel coordinates.

#include <QPainterPath>
#include <QRectF>
#include <vector>

namespace resgen {

// The classic parametric heart filling the rectangle.
QPainterPath HeartPath(const QRectF& r);
// Star with n points; rotation in degrees (0 = a point straight up).
QPainterPath StarPath(QPointF c, double outer, double inner, int points, double rotation = 0);
// Star whose points and valleys are rounded (softer, friendlier).
QPainterPath SoftStarPath(QPointF c, double outer, double inner, int points, double roundness = 0.35);
// Regular polygon; rotation in degrees.
QPainterPath PolygonPath(QPointF c, double rx, double ry, int sides, double rotation = 0);
QPainterPath RoundRectPath(const QRectF& r, double radius);
QPainterPath EllipsePath(const QRectF& r);
// Rectangle whose edges are rows of half circles (scallops) of about
// `bump` radius, bulging outwards.
QPainterPath ScallopPath(const QRectF& r, double bump);
// Rectangle with a postage-stamp perforation of holes of radius `hole`.
QPainterPath StampPath(const QRectF& r, double hole);
// Puffy cloud made of overlapping circles inside the rectangle.
QPainterPath CloudPath(const QRectF& r, int seed);
// Flower of `petals` round petals around a centre.
QPainterPath FlowerPath(QPointF c, double radius, int petals, double petalWidth = 0.55, double rotation = 0);
// Speech bubble (rounded box with a tail towards the bottom left).
QPainterPath SpeechBubblePath(const QRectF& r);
// Arch window: rectangle with a half-circle top.
QPainterPath ArchPath(const QRectF& r);
// Teardrop leaf pointing up, in the rectangle.
QPainterPath LeafPath(const QRectF& r);
// A closed smooth curve through points (Catmull-Rom as cubic Béziers).
QPainterPath SmoothClosed(const std::vector<QPointF>& pts);
// Smooth open curve through points.
QPainterPath SmoothOpen(const std::vector<QPointF>& pts);

} // namespace resgen
