// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "solar/soleil.h"

#include <algorithm>
#include <cmath>

double Soleil::declinaison(int numeroJour) const
{
    return -23.45 * std::sin(2.0 * m_pi * (numeroJour + 101) / 365.25);
}

double Soleil::heure_lever(int numeroJour, double latitude) const
{
    const double delta = declinaison(numeroJour);
    const double h0 = std::acos(-std::tan(radians(latitude)) * std::tan(radians(delta)));
    const double lever = arrondi_sup(12.0 - degres(h0) / 15.0, 2);
    // NaN (polar day or night) fails both comparisons and ends as 0.0.
    if (lever >= 0.0 && lever <= 24.0)
        return lever;
    return 0.0;
}

double Soleil::heure_coucher(int numeroJour, double latitude) const
{
    const double delta = declinaison(numeroJour);
    const double h0 = std::acos(-std::tan(radians(latitude)) * std::tan(radians(delta)));
    const double coucher = arrondi(12.0 + degres(h0) / 15.0, 2);
    if (coucher >= 0.0 && coucher <= 24.0)
        return coucher;
    return 24.0;
}

double Soleil::angle_horaire(double tsv)
{
    return (tsv - 12.0) * 15.0;
}

double Soleil::hauteur(double declinaison, double latitude, double angleHoraire) const
{
    return hauteur(journee(declinaison, latitude), angleHoraire);
}

double Soleil::azimut(double declinaison, double latitude, double angleHoraire,
                      double hauteur) const
{
    return azimut(journee(declinaison, latitude), angleHoraire, hauteur);
}

Soleil::Journee Soleil::journee(double declinaison, double latitude) const
{
    const double d = radians(declinaison);
    const double p = radians(latitude);
    return {std::sin(d) * std::sin(p), std::cos(d) * std::cos(p), std::sin(d) * std::cos(p),
            std::cos(d) * std::sin(p)};
}

double Soleil::hauteur(const Journee &journee, double angleHoraire) const
{
    const double h = radians(angleHoraire);
    // asin(sin δ sin φ + cos δ cos φ cos H)
    return degres(std::asin(journee.sin_d_sin_p + journee.cos_d_cos_p * std::cos(h)));
}

double Soleil::azimut(const Journee &journee, double angleHoraire, double hauteur) const
{
    const double h = radians(angleHoraire);
    const double alt = radians(hauteur);
    // acos((sin δ cos φ − cos δ sin φ cos H) / cos h)
    const double c = (journee.sin_d_cos_p - journee.cos_d_sin_p * std::cos(h)) / std::cos(alt);
    // Rounding near the meridian, or cos h = 0 at the zenith, would push the cosine out of
    // acos's domain; clamp it so that the point still lands where it belongs. std::clamp keeps
    // a NaN (from a NaN altitude) as it is.
    return degres(std::acos(std::clamp(c, -1.0, 1.0)));
}

double Soleil::projection_x(int diametre, double azimut, double hauteur) const
{
    const double k = (1.0 - hauteur / 90.0) * diametre;
    return std::sin(radians(azimut)) * (-k) * 0.5;
}

double Soleil::projection_y(int diametre, double azimut, double hauteur) const
{
    const double k = (1.0 - hauteur / 90.0) * diametre;
    return std::cos(radians(azimut)) * (-k) * 0.5;
}

Soleil::Point_Ciel Soleil::point_ciel(int diametre, double x, double y) const
{
    // x = −sin A · r, y = −cos A · r with r = (1 − h / 90) · D / 2.
    const double r = std::hypot(x, y);
    Point_Ciel p;
    p.hauteur = 90.0 * (1.0 - 2.0 * r / diametre);
    p.azimut = r > 0.0 ? degres(std::atan2(-x, -y)) : 0.0;
    return p;
}

double Soleil::equation_du_temps(int numeroJour) const
{
    const double g = 2.0 * m_pi * (numeroJour - 1) / 365.0;
    return 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) -
                     0.014615 * std::cos(2.0 * g) - 0.040849 * std::sin(2.0 * g));
}

double Soleil::arrondi(double x, int decimales)
{
    const double p = std::pow(10.0, decimales);
    return std::floor(p * x + 0.5) / p;
}

double Soleil::arrondi_sup(double x, int decimales)
{
    const double p = std::pow(10.0, decimales);
    return std::ceil(p * x + 0.5) / p;
}
