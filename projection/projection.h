// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PROJECTION_PROJECTION_H
#define ORVANE_PROJECTION_PROJECTION_H

// How the sky is laid on the drawing: a direction (azimuth, height) to a point and back, and
// the shape of the grid. Everything that draws or reads the diagram goes through one value of
// this type; no widget here.
//
// Angles are degrees: azimuth from north, negative towards the east, positive towards the
// west, ±180 south (the mask table's convention); heights above the horizon. Points are scene
// units, origin at the centre of the disc or chart, x right, y down.
//
// - Polar equidistant (the default): the height falls linearly from the zenith at the centre
//   to the horizon on the circle of diameter D; north at the top, east on the right.
// - Polar stereographic: the same disc, with r = D/2 · tan((90° − h) / 2), which spreads out
//   the low sky.
// - Cylindrical: azimuth across, height up, both linear. The whole horizon spans the chart's
//   width, centred on the direction of the equator (south for a latitude ≥ 0, north below),
//   bearings growing to the right (east left of south, west left of north); heights run from
//   the horizon at the bottom edge to `hauteur_max` at the top edge.

#include "solar/soleil.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainterPath;

enum class Type_Projection { Equidistante, Stereographique, Cylindrique };

// The name in site files and on the command line: "equidistante", "stereographique",
// "cylindrique"; and back (nothing for any other text).
QString nom_projection(Type_Projection type);
std::optional<Type_Projection> projection_nommee(const QString &nom);
// The name shown to the user: "Polaire équidistante", "Polaire stéréographique", "Cylindrique".
QString libelle_projection(Type_Projection type);

// How the graduations and the read-out write a direction: in the mask table's azimuth (0 north,
// east negative, ±180 south), or in compass bearings (0..360, east 90, west 270).
enum class Graduations_Azimut { Tableau, Caps };
// The name in site files and on the command line: "tableau", "caps"; and back (nothing for any
// other text).
QString nom_graduations(Graduations_Azimut graduations);
std::optional<Graduations_Azimut> graduations_nommees(const QString &nom);
// The compass bearing of an azimuth, rounded to the whole degree: 0..359 ("-90" is 90, "90" is
// 270, "180" is 180).
int cap_entier(double azimut);

class Projection
{
public:
    // Polar equidistant, of diameter 0.
    Projection() = default;
    // A polar projection (`type` not cylindrical) onto a disc of `diametre` scene units.
    static Projection polaire(Type_Projection type, int diametre);
    // The cylindrical chart of `taille` scene units, for a site at `latitude` (degrees), heights
    // 0 to `hauteur_max` (degrees, > 0).
    static Projection cylindrique(const QSizeF &taille, double latitude, double hauteur_max);

    Type_Projection type() const { return m_type; }
    bool est_polaire() const { return m_type != Type_Projection::Cylindrique; }
    // Diameter of the disc (polar) in scene units; 0 for the chart.
    int diametre() const { return m_diametre; }
    // Highest height of the chart (degrees); 90 on a disc.
    double hauteur_max() const { return m_hauteur_max; }
    // Azimuth at the centre of the chart: 180 (south) or 0 (north).
    double azimut_centre() const { return m_vers_nord ? 0.0 : 180.0; }
    // The disc's square or the chart's rectangle, scene units.
    QRectF cadre() const;

    QPointF point(double azimut, double hauteur) const;
    // The direction at `point`; azimuth −180..180. On a disc: the centre gives azimuth 0 and
    // height 90, points outside give negative heights.
    Soleil::Point_Ciel direction(const QPointF &point) const;
    // Whether `point` lies on the disc or the chart.
    bool dans_ciel(const QPointF &point) const;

    // Polar: distance from the centre of the circle of height `hauteur`.
    double rayon(double hauteur) const;
    // Cylindrical: the abscissa of an azimuth, the ordinate of a height.
    double x_azimut(double azimut) const;
    double y_hauteur(double hauteur) const;

    // Adds to `chemin` the segment from `depuis` (its current point) to `vers`, both points of
    // this projection. On the chart a segment whose ends lie on either side of the seam (the
    // edges, where the horizon's ends meet) goes out at one edge and comes back at the other.
    void relier(QPainterPath &chemin, const QPointF &depuis, const QPointF &vers) const;

    bool operator==(const Projection &autre) const;
    bool operator!=(const Projection &autre) const { return !(*this == autre); }

private:
    Type_Projection m_type = Type_Projection::Equidistante;
    int m_diametre = 0;
    double m_largeur = 0.0;
    double m_hauteur = 0.0;
    double m_hauteur_max = 90.0;
    bool m_vers_nord = false;
};

#endif
