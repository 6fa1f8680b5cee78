// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "diagram/chemin_borne.h"

#include <QPen>

#include <algorithm>
#include <cmath>

Chemin_Borne::Chemin_Borne(const QPainterPath &chemin, const QPen &pen, const QBrush &brush)
    : QGraphicsPathItem(chemin)
{
    setPen(pen);
    setBrush(brush);
}

QRectF Chemin_Borne::boundingRect() const
{
    const QPen &stylo = pen();
    if (stylo.style() == Qt::NoPen)
        return path().controlPointRect();
    if (stylo.isCosmetic())
        return QGraphicsPathItem::boundingRect();
    const qreal largeur = stylo.widthF();
    const bool onglet = stylo.joinStyle() == Qt::MiterJoin || stylo.joinStyle() == Qt::SvgMiterJoin;
    const qreal marge = onglet ? largeur * std::max<qreal>(stylo.miterLimit(), 1.0)
                               : largeur * 0.5 * std::sqrt(2.0);
    return path().controlPointRect().adjusted(-marge, -marge, marge, marge);
}
