// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "photo/objectif.h"

#include <QLocale>

#include <cmath>
#include <iterator>

namespace
{
constexpr double pi = 3.141592653589793;
constexpr double demi_pi = pi / 2.0;

double radians(double degres)
{
    return degres * pi / 180.0;
}

double degres(double radians)
{
    return radians * 180.0 / pi;
}

struct Nom_Objectif {
    Type_Objectif type;
    const char *nom;
};
constexpr Nom_Objectif noms_objectifs[] = {
    {Type_Objectif::Equidistant, "equidistant"},
    {Type_Objectif::Equisolide, "equisolide"},
    {Type_Objectif::Stereographique, "stereographique"},
    {Type_Objectif::Orthographique, "orthographique"},
    {Type_Objectif::Polynome, "polynome"},
    {Type_Objectif::Panorama, "panorama"},
};

// The laws as published: the equidistant's polynomial is 2/π·θ; the three fisheyes are those of
// hemispherical canopy photography (a 10.5 mm lens, a 190° converter, an 8 mm lens).
constexpr Prereglage_Objectif prereglages[] = {
    {"Équidistant (r = k·θ)", Type_Objectif::Equidistant, 2.0 / pi, 0.0, 0.0, 180.0},
    {"Équisolide (r = k·sin(θ/2))", Type_Objectif::Equisolide, 0.0, 0.0, 0.0, 180.0},
    {"Stéréographique (r = k·tan(θ/2))", Type_Objectif::Stereographique, 0.0, 0.0, 0.0, 180.0},
    {"Orthographique (r = k·sin θ)", Type_Objectif::Orthographique, 0.0, 0.0, 0.0, 180.0},
    {"Fisheye 10,5 mm", Type_Objectif::Polynome, 0.716, 0.0115, -0.0393, 180.0},
    {"Convertisseur fisheye 190°", Type_Objectif::Polynome, 0.643, 0.0346, -0.0245, 190.0},
    {"Fisheye 8 mm", Type_Objectif::Polynome, 0.689, 0.0131, -0.0295, 180.0},
    {"Panorama 360° équirectangulaire", Type_Objectif::Panorama, 0.0, 0.0, 0.0, 360.0},
};

// The farthest from the zenith a polynomial law is followed, radians.
constexpr double theta_max = 2.0 * pi / 3.0;

double polynome(const Calibration_Photo &c, double t)
{
    return ((c.c3 * t + c.c2) * t + c.c1) * t;
}

double derivee(const Calibration_Photo &c, double t)
{
    return (3.0 * c.c3 * t + 2.0 * c.c2) * t + c.c1;
}

// The bearing (degrees) at angle `a` (degrees clockwise from the image's top, or across a
// panorama), and back.
double gisement_image(const Calibration_Photo &c, double a)
{
    return c.miroir ? c.nord - a : c.nord + a;
}

double angle_image(const Calibration_Photo &c, double gisement)
{
    return c.miroir ? c.nord - gisement : gisement - c.nord;
}
} // namespace

QString nom_objectif(Type_Objectif type)
{
    for (const Nom_Objectif &n : noms_objectifs)
        if (n.type == type)
            return QString::fromLatin1(n.nom);
    return QString();
}

std::optional<Type_Objectif> objectif_nomme(const QString &nom)
{
    for (const Nom_Objectif &n : noms_objectifs)
        if (nom == QLatin1String(n.nom))
            return n.type;
    return std::nullopt;
}

bool Calibration_Photo::operator==(const Calibration_Photo &autre) const
{
    return objectif == autre.objectif && c1 == autre.c1 && c2 == autre.c2 && c3 == autre.c3 &&
           centre == autre.centre && rayon == autre.rayon && nord == autre.nord &&
           miroir == autre.miroir;
}

const Prereglage_Objectif *prereglages_objectifs(int *nombre)
{
    *nombre = static_cast<int>(std::size(prereglages));
    return prereglages;
}

double rapport_rayon(const Calibration_Photo &c, double theta)
{
    switch (c.objectif) {
    case Type_Objectif::Equidistant:
        return theta / demi_pi;
    case Type_Objectif::Equisolide:
        return std::sin(theta / 2.0) / std::sin(pi / 4.0);
    case Type_Objectif::Stereographique:
        return std::tan(theta / 2.0);
    case Type_Objectif::Orthographique:
        return std::sin(theta);
    case Type_Objectif::Polynome:
        return polynome(c, theta);
    case Type_Objectif::Panorama:
        break;
    }
    return theta / pi;
}

std::optional<double> angle_zenithal(const Calibration_Photo &c, double rapport)
{
    if (rapport < 0.0 || std::isnan(rapport))
        return std::nullopt;
    switch (c.objectif) {
    case Type_Objectif::Equidistant:
        return rapport * demi_pi;
    case Type_Objectif::Equisolide: {
        const double s = rapport * std::sin(pi / 4.0);
        if (s > 1.0)
            return std::nullopt;
        return 2.0 * std::asin(s);
    }
    case Type_Objectif::Stereographique:
        return 2.0 * std::atan(rapport);
    case Type_Objectif::Orthographique:
        if (rapport > 1.0)
            return std::nullopt;
        return std::asin(rapport);
    case Type_Objectif::Polynome:
        break;
    case Type_Objectif::Panorama:
        return rapport * pi;
    }
    // Newton's from the equidistant guess, where the law climbs; halving the bracket otherwise.
    double t = std::min(rapport * demi_pi, theta_max);
    for (int i = 0; i < 8; ++i) {
        const double d = derivee(c, t);
        if (!(d > 0.0))
            break;
        const double suivant = t - (polynome(c, t) - rapport) / d;
        if (!(suivant >= 0.0 && suivant <= theta_max))
            break;
        if (std::abs(suivant - t) < 1e-12) {
            t = suivant;
            break;
        }
        t = suivant;
    }
    if (std::abs(polynome(c, t) - rapport) < 1e-9)
        return t;
    // The first crossing: a coarse walk out from the zenith, then halving.
    double bas = 0.0;
    for (int i = 1; i <= 240; ++i) {
        double haut = theta_max * i / 240.0;
        if (polynome(c, haut) >= rapport) {
            for (int k = 0; k < 50; ++k) {
                const double milieu = (bas + haut) / 2.0;
                (polynome(c, milieu) >= rapport ? haut : bas) = milieu;
            }
            return (bas + haut) / 2.0;
        }
        bas = haut;
    }
    return std::nullopt;
}

QPointF pixel_direction(const Calibration_Photo &c, const QSize &taille, double azimut,
                        double hauteur)
{
    const double a = angle_image(c, -azimut);
    if (c.panorama()) {
        const double x = (a - 360.0 * std::floor(a / 360.0)) / 360.0 * taille.width();
        return QPointF(x, (90.0 - hauteur) / 180.0 * taille.height());
    }
    const double r = c.rayon * rapport_rayon(c, radians(90.0 - hauteur));
    return QPointF(c.centre.x() + r * std::sin(radians(a)),
                   c.centre.y() - r * std::cos(radians(a)));
}

std::optional<Soleil::Point_Ciel> direction_pixel(const Calibration_Photo &c, const QSize &taille,
                                                  const QPointF &pixel)
{
    Soleil::Point_Ciel ciel;
    if (c.panorama()) {
        if (taille.isEmpty())
            return std::nullopt;
        ciel.azimut = std::remainder(-gisement_image(c, pixel.x() / taille.width() * 360.0), 360.0);
        ciel.hauteur = 90.0 - pixel.y() / taille.height() * 180.0;
        return ciel;
    }
    if (!(c.rayon > 0.0))
        return std::nullopt;
    const double dx = pixel.x() - c.centre.x();
    const double dy = pixel.y() - c.centre.y();
    const std::optional<double> theta = angle_zenithal(c, std::hypot(dx, dy) / c.rayon);
    if (!theta)
        return std::nullopt;
    ciel.azimut = std::remainder(-gisement_image(c, degres(std::atan2(dx, -dy))), 360.0);
    ciel.hauteur = 90.0 - degres(*theta);
    return ciel;
}

QString probleme_calibration(const Calibration_Photo &c, const QSize &taille)
{
    const QLocale c_locale = QLocale::c();
    if (taille.isEmpty())
        return QStringLiteral("l'image est vide");
    if (c.panorama())
        return QString();
    if (!(c.rayon > 0.0) || !std::isfinite(c.rayon))
        return QStringLiteral("le rayon %1 doit être plus grand que 0 pixel")
            .arg(c_locale.toString(c.rayon, 'g', 10));
    if (!(c.centre.x() >= 0.0 && c.centre.x() <= taille.width() && c.centre.y() >= 0.0 &&
          c.centre.y() <= taille.height()))
        return QStringLiteral("le centre (%1, %2) est hors de l'image de %3 × %4 pixels")
            .arg(c_locale.toString(c.centre.x(), 'g', 10), c_locale.toString(c.centre.y(), 'g', 10))
            .arg(taille.width())
            .arg(taille.height());
    if (c.rayon > 4.0 * std::max(taille.width(), taille.height()))
        return QStringLiteral("le rayon %1 dépasse de loin l'image de %2 × %3 pixels")
            .arg(c_locale.toString(c.rayon, 'g', 10))
            .arg(taille.width())
            .arg(taille.height());
    if (c.objectif == Type_Objectif::Polynome) {
        // The law must climb from the zenith to the horizon, or a radius has two directions.
        for (int i = 0; i < 90; ++i)
            if (!(derivee(c, radians(i)) > 0.0))
                return QStringLiteral("les coefficients %1:%2:%3 ne donnent pas un rayon "
                                      "croissant du zénith à l'horizon")
                    .arg(c_locale.toString(c.c1, 'g', 10), c_locale.toString(c.c2, 'g', 10),
                         c_locale.toString(c.c3, 'g', 10));
    }
    return QString();
}

Calibration_Photo calibration_par_defaut(const QSize &taille, Type_Objectif objectif)
{
    Calibration_Photo c;
    c.objectif = objectif;
    c.centre = QPointF(taille.width() / 2.0, taille.height() / 2.0);
    c.rayon = std::min(taille.width(), taille.height()) / 2.0;
    c.miroir = objectif != Type_Objectif::Panorama;
    return c;
}
