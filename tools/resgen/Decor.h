#pragma once
// Decorations painted with the shaded-surface painter, shared by frames and
// cliparts: roses, leaves, balloons.

#include <QImage>
#include <QPainterPath>

#include "Art.h"

namespace resgen {

// A rose seen from above, radius r.
void PaintRose(QImage& img, QPointF c, double r, const TRgb& colour, TRandom& rnd);
// A leaf of length len growing from `at` towards angle degrees (0 = up).
void PaintLeaf(QImage& img, QPointF at, double len, double angle, const TRgb& colour);
// A balloon of radius r centred at c with its string running to stringEnd.
void PaintBalloon(QImage& img, QPointF c, double r, const TRgb& colour, QPointF stringEnd);
// The outline of a stroked path as a fillable path.
QPainterPath Stroked(const QPainterPath& path, double width, Qt::PenCapStyle cap = Qt::RoundCap);

} // namespace resgen
