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

qreal Chemin_Borne::marge() const
{
    const QPen &stylo = pen();
    const qreal largeur = stylo.widthF();
    const bool onglet = stylo.joinStyle() == Qt::MiterJoin || stylo.joinStyle() == Qt::SvgMiterJoin;
    return onglet ? largeur * std::max<qreal>(stylo.miterLimit(), 1.0)
                  : largeur * 0.5 * std::sqrt(2.0);
}

QRectF Chemin_Borne::boundingRect() const
{
    const QPen &stylo = pen();
    if (stylo.style() == Qt::NoPen)
        return path().controlPointRect();
    if (stylo.isCosmetic())
        return QGraphicsPathItem::boundingRect();
    const qreal m = marge();
    return path().controlPointRect().adjusted(-m, -m, m, m);
}

std::vector<QRectF> Chemin_Borne::morceaux(int points) const
{
    const QPainterPath &chemin = path();
    const int n = chemin.elementCount();
    const auto rectangle = [&] { return std::vector<QRectF>{boundingRect()}; };
    if (pen().isCosmetic() || brush().style() != Qt::NoBrush || isSelected() || points < 2 ||
        n == 0)
        return rectangle();
    for (int i = 0; i < n; ++i) {
        if (!chemin.elementAt(i).isMoveTo() && !chemin.elementAt(i).isLineTo())
            return rectangle();
    }
    const qreal m = pen().style() == Qt::NoPen ? 0.0 : marge();
    std::vector<QRectF> boites;
    for (int debut = 0; debut < n; debut += points - 1) {
        const int fin = std::min(n, debut + points);
        qreal x0 = chemin.elementAt(debut).x;
        qreal x1 = x0;
        qreal y0 = chemin.elementAt(debut).y;
        qreal y1 = y0;
        for (int i = debut + 1; i < fin; ++i) {
            const QPainterPath::Element e = chemin.elementAt(i);
            x0 = std::min(x0, e.x);
            x1 = std::max(x1, e.x);
            y0 = std::min(y0, e.y);
            y1 = std::max(y1, e.y);
        }
        boites.emplace_back(QPointF(x0 - m, y0 - m), QPointF(x1 + m, y1 + m));
        if (fin == n)
            break;
    }
    return boites;
}
