// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PHOTO_OBJECTIF_H
#define ORVANE_PHOTO_OBJECTIF_H

// How a photo of the sky sees it: the lens's radial law, and where the photo lies (the circle of
// its horizon, the bearing of its top, its mirror). A value, saved with the site; no widget here.
//
// Angles: θ is the angle from the zenith, radians in the lens laws; everywhere else degrees.
// Directions are given as the mask table gives them: azimuth from north, negative towards the
// east, positive towards the west, ±180 south; height above the horizon. Bearings are compass
// bearings, 0 north, 90 east, clockwise. Pixels are the image's as oriented (its EXIF orientation
// applied), continuous: the top-left pixel spans 0..1, so its centre is (0.5, 0.5).
//
// A fisheye's law is r/R = f(θ), R the radius of the horizon (θ = 90°) in pixels:
//   equidistant r/R = θ / (π/2)            equisolid   r/R = sin(θ/2) / sin 45°
//   stereographic r/R = tan(θ/2)           orthographic r/R = sin θ
//   polynomial r/R = c1·θ + c2·θ² + c3·θ³
// A panorama is equirectangular: the bearing across its width (its left edge at `nord`), the
// height down its height, the zenith at the top edge, the horizon at mid-height.

#include "solar/soleil.h"

#include <QPointF>
#include <QSize>
#include <QString>

#include <optional>

enum class Type_Objectif {
    Equidistant,
    Equisolide,
    Stereographique,
    Orthographique,
    Polynome,
    Panorama
};

// The name on the command line and in site files: "equidistant", "equisolide",
// "stereographique", "orthographique", "polynome", "panorama"; and back.
QString nom_objectif(Type_Objectif type);
std::optional<Type_Objectif> objectif_nomme(const QString &nom);

struct Calibration_Photo {
    Type_Objectif objectif = Type_Objectif::Equidistant;
    // The polynomial's coefficients (θ in radians); an equidistant law by default.
    double c1 = 0.6366197723675814;
    double c2 = 0.0;
    double c3 = 0.0;
    // A fisheye: the centre of its circle and the radius of its horizon, pixels.
    QPointF centre;
    double rayon = 0.0;
    // The bearing of the image's top (a fisheye) or of its left edge (a panorama), degrees.
    double nord = 0.0;
    // Whether east lies left of north as one turns clockwise on the image (a photo taken looking
    // up), where the diagram's lies right.
    bool miroir = true;

    bool panorama() const { return objectif == Type_Objectif::Panorama; }
    bool operator==(const Calibration_Photo &autre) const;
    bool operator!=(const Calibration_Photo &autre) const { return !(*this == autre); }
};

// A lens as published, by its name.
struct Prereglage_Objectif {
    const char *libelle;
    Type_Objectif type;
    double c1, c2, c3;
    // The angle the image's disc spans, degrees: its edge lies at θ = champ / 2.
    double champ;
};
// The presets, the plain laws first.
const Prereglage_Objectif *prereglages_objectifs(int *nombre);

// r/R at θ (radians), and θ (radians) at r/R, ≥ 0; for a polynomial, the first θ where its law
// reaches r/R (nothing where it never does below 120°).
double rapport_rayon(const Calibration_Photo &calibration, double theta);
std::optional<double> angle_zenithal(const Calibration_Photo &calibration, double rapport);

// Where a direction lies on an image of `taille` pixels.
QPointF pixel_direction(const Calibration_Photo &calibration, const QSize &taille, double azimut,
                        double hauteur);
// The direction at a pixel; nothing past the lens's reach.
std::optional<Soleil::Point_Ciel> direction_pixel(const Calibration_Photo &calibration,
                                                  const QSize &taille, const QPointF &pixel);

// The problem with a calibration for an image of `taille` pixels, in French ("le centre
// (5000, 20) est hors de l'image de 4000 × 3000 pixels"); empty when there is none.
QString probleme_calibration(const Calibration_Photo &calibration, const QSize &taille);

// A fisheye's calibration where nothing better is known: the image's centre and half its short
// side; for a panorama, the whole image.
Calibration_Photo calibration_par_defaut(const QSize &taille, Type_Objectif objectif);

#endif
