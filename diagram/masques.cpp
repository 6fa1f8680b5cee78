// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The horizon mask outline: arcs along the altitude circles of the mask points joined by
// radial steps, or the straight lines between the points, closed along the horizon, filled,
// with the horizon circle drawn again on top.
#include "diagram/scene.h"

#include "diagram/chemin_borne.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QLineF>
#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{

// Two mask points closer than this (degrees) in azimuth and in height are the same point.
constexpr double meme_point = 1e-12;

// Start angle of `QPainterPath::arcTo` (degrees, 0 at three o'clock, counter-clockwise on
// screen) that points along azimuth `azimut` (degrees, 0 north, negative east): in (-270, 90].
double angle_arc(double azimut)
{
    return azimut <= 0 ? azimut + 90.0 : azimut - 270.0;
}

// Square of side trunc(s) centred on the zenith, left and top trunc(-s/2), in scene units.
QRectF carre(double cote)
{
    const int bord = static_cast<int>(-cote * 0.5);
    const int largeur = static_cast<int>(cote);
    return QRectF(bord, bord, largeur, largeur);
}

// A straight piece of the outline on the disc is a spiral: it is drawn as chords short enough
// to keep within a small fraction of a pixel of it on any screen. A chord strays by about an
// eighth of its turn times (its turn times the radius, plus twice its change of radius), so
// both the turn and the turn times the change of height are kept small.
constexpr double tour_corde_max = 0.25;           // degrees of azimuth
constexpr double tour_et_hauteur_corde_max = 0.5; // degrees of azimuth times degrees of height

int cordes(double balayage, double montee)
{
    const double n = std::max(balayage / tour_corde_max,
                              std::sqrt(balayage * std::abs(montee) / tour_et_hauteur_corde_max));
    return std::max(1, static_cast<int>(std::ceil(n)));
}

// Stacking of the mask items: below the sun courses, the hour lines and the labels (which
// stay at 0), above the sky disc painted as the background.
constexpr qreal niveau_masque = -1.0;

// The filled outline. Qt's antialiased rasteriser walks the whole outline once for every band
// of its small cell pool, so a jagged skyline of hundreds of radial steps takes it some 30 ms
// on a full-screen view. The fill is therefore laid without antialiasing, and the antialiased
// outline drawn over it in the same pen covers its stepped edge: on screen the two differ by
// a few grey levels along the edge, at a tenth of the cost.
class Contour_Masque : public Chemin_Borne
{
public:
    using Chemin_Borne::Chemin_Borne;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->fillPath(path(), brush());
        painter->restore();
        painter->strokePath(path(), pen());
    }
};

} // namespace

void Scene::tracer_masques(const QPointF *tableau, int nbPoints, QPen pen, QBrush brush,
                           QPainterPath chemin, bool en_ligne)
{
    if (nbPoints < 1)
        return;

    if (!m_projection.est_polaire()) {
        tracer_masques_cylindre(tableau, nbPoints, pen, brush, en_ligne);
        return;
    }
    const int D = diametre0();
    const auto point = [this](double azimut, double hauteur) {
        return m_projection.point(azimut, hauteur);
    };
    const int m = nbPoints - 1;
    const QPointF &premier = tableau[0];
    const QPointF &dernier = tableau[m];
    const bool ferme = std::abs(premier.x() - dernier.x()) <= meme_point &&
                       std::abs(premier.y() - dernier.y()) <= meme_point;

    if (ferme) {
        chemin.moveTo(point(premier.x(), premier.y()));
    } else {
        // Up from the horizon under the first point.
        chemin.moveTo(point(premier.x(), 0.0));
        chemin.lineTo(point(premier.x(), premier.y()));
    }

    // Clockwise along the altitude circle of each point to the azimuth of the next, then the
    // radial step to the next point. The sweeps add up to the horizon arc that closes the
    // outline: back to the first azimuth, or once round for an outline closed on itself.
    double balayage_total = 0.0;
    for (int i = 0; i < m; ++i) {
        const double cote = m_projection.type() == Type_Projection::Equidistante
                                ? (1.0 - tableau[i].y() / 90.0) * D
                                : 2.0 * m_projection.rayon(tableau[i].y());
        const double c = angle_arc(tableau[i].x());
        const double e = angle_arc(tableau[i + 1].x());
        // From the west half to the east half the arc runs through the north.
        const double balayage = (c < 0 && e > 0) ? c + 360.0 - e : std::abs(e - c);
        if (en_ligne) {
            // Clockwise the azimuth falls (from -180 on to 180, the same direction).
            const double montee = tableau[i + 1].y() - tableau[i].y();
            const int n = cordes(balayage, montee);
            for (int k = 1; k < n; ++k) {
                const double part = static_cast<double>(k) / n;
                chemin.lineTo(
                    point(tableau[i].x() - part * balayage, tableau[i].y() + part * montee));
            }
        } else {
            chemin.arcTo(carre(cote), c, -balayage);
        }
        chemin.lineTo(point(tableau[i + 1].x(), tableau[i + 1].y()));
        balayage_total += balayage;
    }

    const int demi = D / 2;
    const QRectF horizon(-demi, -demi, D, D);
    if (ferme) {
        // The profile has gone round the zenith back to its first point: down to the horizon
        // under it, then once round the horizon the other way, so that the fill is the ring of
        // obstacles between the horizon and the profile, not the sky inside the profile. (Two
        // rows on one point sweep nothing: a line down to the horizon and back.)
        chemin.arcTo(horizon, angle_arc(dernier.x()), balayage_total);
    } else {
        chemin.lineTo(point(dernier.x(), 0.0));
        // Back counter-clockwise along the horizon to the first azimuth.
        chemin.arcTo(horizon, angle_arc(dernier.x()), balayage_total);
    }
    chemin.closeSubpath();
    auto contour = std::make_unique<Contour_Masque>(chemin, pen, brush);
    contour->setZValue(niveau_masque);
    addItem(contour.release()); // the scene owns it from here

    // The horizon circle once more, over the fill.
    addEllipse(horizon, pen, QBrush())->setZValue(niveau_masque);
}

void Scene::tracer_masques_cylindre(const QPointF *tableau, int nbPoints, const QPen &pen,
                                    const QBrush &brush, bool en_ligne)
{
    const Projection &p = m_projection;
    const QRectF cadre = p.cadre();
    const double largeur = cadre.width();
    const int m = nbPoints - 1;
    const QPointF &premier = tableau[0];
    const QPointF &dernier = tableau[m];
    const bool ferme = std::abs(premier.x() - dernier.x()) <= meme_point &&
                       std::abs(premier.y() - dernier.y()) <= meme_point;

    // The same outline as on the disc, unrolled: from the first point's abscissa rightwards
    // (clockwise), a run along each point's height to the next point's azimuth, then the step
    // to that point, or the straight run to it; closed along the horizon. What passes the right
    // edge comes back from the left one.
    const auto y = [&](double hauteur) { return p.y_hauteur(hauteur); };
    double x = p.x_azimut(premier.x());
    QPainterPath chemin;
    chemin.moveTo(x, y(ferme ? premier.y() : 0.0));
    chemin.lineTo(x, y(premier.y()));
    for (int i = 0; i < m; ++i) {
        const double balayage = std::fmod(tableau[i].x() - tableau[i + 1].x() + 720.0, 360.0);
        x += balayage / 360.0 * largeur;
        if (!en_ligne)
            chemin.lineTo(x, y(tableau[i].y()));
        chemin.lineTo(x, y(tableau[i + 1].y()));
    }
    chemin.lineTo(x, y(0.0));
    chemin.lineTo(p.x_azimut(premier.x()), y(0.0));
    chemin.closeSubpath();
    QPainterPath dans_cadre;
    dans_cadre.addRect(cadre.adjusted(0.0, -1.0, 0.0, 1.0));
    auto contour = std::make_unique<Contour_Masque>(
        chemin.united(chemin.translated(-largeur, 0.0)).intersected(dans_cadre), pen, brush);
    contour->setZValue(niveau_masque);
    addItem(contour.release()); // the scene owns it from here

    // The horizon once more, over the fill.
    addLine(QLineF(cadre.left(), y(0.0), cadre.right(), y(0.0)), pen)->setZValue(niveau_masque);
}
