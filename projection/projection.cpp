// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "projection/projection.h"

#include <QPainterPath>

#include <cmath>

namespace
{
constexpr double pi = 3.141592653589793;

double radians(double degres)
{
    return degres * pi / 180.0;
}

double degres(double radians)
{
    return radians * 180.0 / pi;
}

const Soleil soleil;
} // namespace

namespace
{
// Each projection's name in files and on the command line, and as the user reads it.
struct Noms_Projection {
    Type_Projection type;
    const char *nom;
    const char *libelle;
};
constexpr Noms_Projection noms_projections[] = {
    {Type_Projection::Equidistante, "equidistante", "Polaire équidistante"},
    {Type_Projection::Stereographique, "stereographique", "Polaire stéréographique"},
    {Type_Projection::Cylindrique, "cylindrique", "Cylindrique"},
};

const Noms_Projection &noms(Type_Projection type)
{
    for (const Noms_Projection &n : noms_projections)
        if (n.type == type)
            return n;
    return noms_projections[0];
}
} // namespace

QString nom_projection(Type_Projection type)
{
    return QString::fromLatin1(noms(type).nom);
}

std::optional<Type_Projection> projection_nommee(const QString &nom)
{
    for (const Noms_Projection &n : noms_projections)
        if (nom == QLatin1String(n.nom))
            return n.type;
    return std::nullopt;
}

QString libelle_projection(Type_Projection type)
{
    return QString::fromUtf8(noms(type).libelle);
}

QString nom_graduations(Graduations_Azimut graduations)
{
    return graduations == Graduations_Azimut::Caps ? QStringLiteral("caps")
                                                   : QStringLiteral("tableau");
}

std::optional<Graduations_Azimut> graduations_nommees(const QString &nom)
{
    if (nom == QLatin1String("tableau"))
        return Graduations_Azimut::Tableau;
    if (nom == QLatin1String("caps"))
        return Graduations_Azimut::Caps;
    return std::nullopt;
}

int cap_entier(double azimut)
{
    const long cap = std::lround(-azimut) % 360;
    return static_cast<int>(cap < 0 ? cap + 360 : cap);
}

Projection Projection::polaire(Type_Projection type, int diametre)
{
    Projection p;
    p.m_type = type == Type_Projection::Cylindrique ? Type_Projection::Equidistante : type;
    p.m_diametre = diametre;
    return p;
}

Projection Projection::cylindrique(const QSizeF &taille, double latitude, double hauteur_max)
{
    Projection p;
    p.m_type = Type_Projection::Cylindrique;
    p.m_largeur = taille.width();
    p.m_hauteur = taille.height();
    p.m_hauteur_max = hauteur_max;
    p.m_vers_nord = latitude < 0;
    return p;
}

QRectF Projection::cadre() const
{
    if (!est_polaire())
        return QRectF(-m_largeur / 2.0, -m_hauteur / 2.0, m_largeur, m_hauteur);
    const double demi = m_diametre / 2.0;
    return QRectF(-demi, -demi, m_diametre, m_diametre);
}

double Projection::rayon(double hauteur) const
{
    if (m_type == Type_Projection::Stereographique)
        return m_diametre * 0.5 * std::tan(radians(90.0 - hauteur) / 2.0);
    return (1.0 - hauteur / 90.0) * m_diametre * 0.5;
}

double Projection::x_azimut(double azimut) const
{
    // Bearings grow clockwise, the azimuth's opposite; the centre's bearing is subtracted.
    return std::remainder(-azimut - azimut_centre(), 360.0) / 360.0 * m_largeur;
}

double Projection::y_hauteur(double hauteur) const
{
    return m_hauteur / 2.0 - hauteur / m_hauteur_max * m_hauteur;
}

QPointF Projection::point(double azimut, double hauteur) const
{
    switch (m_type) {
    case Type_Projection::Equidistante:
        return QPointF(soleil.projection_x(m_diametre, azimut, hauteur),
                       soleil.projection_y(m_diametre, azimut, hauteur));
    case Type_Projection::Stereographique: {
        const double r = rayon(hauteur);
        return QPointF(-std::sin(radians(azimut)) * r, -std::cos(radians(azimut)) * r);
    }
    case Type_Projection::Cylindrique:
        break;
    }
    return QPointF(x_azimut(azimut), y_hauteur(hauteur));
}

Soleil::Point_Ciel Projection::direction(const QPointF &p) const
{
    Soleil::Point_Ciel ciel;
    switch (m_type) {
    case Type_Projection::Equidistante:
        return soleil.point_ciel(m_diametre, p.x(), p.y());
    case Type_Projection::Stereographique: {
        const double r = std::hypot(p.x(), p.y());
        ciel.hauteur = 90.0 - 2.0 * degres(std::atan(2.0 * r / m_diametre));
        ciel.azimut = r > 0.0 ? degres(std::atan2(-p.x(), -p.y())) : 0.0;
        return ciel;
    }
    case Type_Projection::Cylindrique:
        break;
    }
    ciel.azimut = std::remainder(-(azimut_centre() + p.x() / m_largeur * 360.0), 360.0);
    ciel.hauteur = (m_hauteur / 2.0 - p.y()) / m_hauteur * m_hauteur_max;
    return ciel;
}

bool Projection::dans_ciel(const QPointF &p) const
{
    if (est_polaire())
        return m_diametre > 0 && std::hypot(p.x(), p.y()) <= m_diametre / 2.0;
    return m_largeur > 0 && m_hauteur > 0 && cadre().contains(p);
}

void Projection::relier(QPainterPath &chemin, const QPointF &depuis, const QPointF &vers) const
{
    const double ecart = vers.x() - depuis.x();
    if (est_polaire() || std::abs(ecart) <= m_largeur / 2.0) {
        chemin.lineTo(vers);
        return;
    }
    // Out at the edge the segment heads for, in again at the other one, at the height where
    // the unbroken segment would cross it.
    const double bord = ecart > 0 ? -m_largeur / 2.0 : m_largeur / 2.0;
    const double x_deroule = vers.x() - (ecart > 0 ? m_largeur : -m_largeur);
    const double t = (bord - depuis.x()) / (x_deroule - depuis.x());
    const double y = depuis.y() + t * (vers.y() - depuis.y());
    chemin.lineTo(bord, y);
    chemin.moveTo(-bord, y);
    chemin.lineTo(vers);
}

bool Projection::operator==(const Projection &autre) const
{
    return m_type == autre.m_type && m_diametre == autre.m_diametre &&
           m_largeur == autre.m_largeur && m_hauteur == autre.m_hauteur &&
           m_hauteur_max == autre.m_hauteur_max && m_vers_nord == autre.m_vers_nord;
}
