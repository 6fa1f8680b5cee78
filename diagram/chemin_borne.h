// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_DIAGRAM_CHEMIN_BORNE_H
#define ORVANE_DIAGRAM_CHEMIN_BORNE_H

#include <QGraphicsPathItem>

#include <vector>

// A path item that bounds itself without stroking its path. The toolkit's path item strokes
// the whole path once to find its bounding rectangle, which for a sun course costs half as
// much as painting it. Here the path's control points are widened by the farthest the pen can
// reach past them: half its width at a round or bevel join or at a round cap, half its width
// times the square root of two at the corner of a square cap, the miter limit at a miter join.
// The rectangle holds every pixel the item paints, so what the view repaints and shows is
// unchanged. A cosmetic pen, whose width is in device pixels, keeps the toolkit's rectangle.
class Chemin_Borne : public QGraphicsPathItem
{
public:
    Chemin_Borne(const QPainterPath &chemin, const QPen &pen, const QBrush &brush);

    QRectF boundingRect() const override;

    // The boxes of the path's runs of `points` points, each run starting at the last point of
    // the one before, widened as the whole path's rectangle is: together they hold every pixel
    // the item paints, in far less room than its rectangle. A filled path, a path with curves
    // or a cosmetic pen gives its rectangle alone.
    std::vector<QRectF> morceaux(int points) const;

private:
    // The farthest the pen reaches past the path's control points, scene units.
    qreal marge() const;
};

#endif
