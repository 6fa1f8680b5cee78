// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Frame of the point: x east, y north, z up, metres. The facade's outward normal n and the
// right-hand direction r (seen from inside, looking out) are horizontal; a sun of horizontal
// shadow angle HSA (its bearing less the normal's) and height h lies along
// cos h · (cos HSA · n + sin HSA · r) + sin h · z.
#include "ombrage/ombrage.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double pi = 3.141592653589793;
constexpr double degres = 180.0 / pi;
constexpr double radians = pi / 180.0;

// `angle` in [-180, 180], degrees.
double ramener(double angle)
{
    return std::remainder(angle, 360.0);
}

// Horizontal shadow angle of a sun at bearing `gisement` on a facade facing `orientation`.
double angle_horizontal(double orientation, double gisement)
{
    return ramener(gisement - orientation);
}

// Height (degrees) of the overhang's shade boundary at horizontal shadow angle `hsa`: the sun
// is under the plate from this height up. The plate's depth bounds it along the normal, its ends
// across: the ray at height h meets the plate's plane at depth H cos HSA / tan h and at
// H sin HSA / tan h to the side.
double bas_casquette(const Casquette &c, double hsa)
{
    const double s = std::sin(hsa * radians);
    const double profondeur = c.hauteur * std::cos(hsa * radians) / c.profondeur;
    const double bout = s >= 0 ? c.droite : c.gauche;
    const double cote = std::isinf(bout) ? 0.0 : c.hauteur * std::abs(s) / bout;
    return std::atan(std::max(profondeur, cote)) * degres;
}

// Horizontal distance from the point to the wall along bearing `gisement`; negative when the
// bearing misses it.
double distance_mur(const Obstacle &o, double gisement)
{
    const double x1 = o.distance1 * std::sin(o.gisement1 * radians);
    const double y1 = o.distance1 * std::cos(o.gisement1 * radians);
    const double ex = o.distance2 * std::sin(o.gisement2 * radians) - x1;
    const double ey = o.distance2 * std::cos(o.gisement2 * radians) - y1;
    const double wx = std::sin(gisement * radians);
    const double wy = std::cos(gisement * radians);
    const double det = wx * ey - wy * ex;
    if (std::abs(det) < 1e-12)
        return -1.0;
    const double t = (x1 * ey - y1 * ex) / det;
    const double s = (x1 * wy - y1 * wx) / det;
    if (t <= 0.0 || s < -1e-9 || s > 1.0 + 1e-9)
        return -1.0;
    return t;
}

// The facade's shades of the sun at (`azimut`, `hauteur`): behind it alone, or each device that
// hides it, the overhang first.
std::vector<Ombre> ombres_facade(const Facade &facade, double azimut, double hauteur)
{
    std::vector<Ombre> toutes;
    if (!facade.active)
        return toutes;
    const double hsa = angle_horizontal(facade.orientation, gisement_depuis_azimut(azimut));
    if (std::abs(hsa) >= 90.0) {
        toutes.push_back({Cause_Ombre::Derriere_Facade});
        return toutes;
    }
    const Casquette &c = facade.casquette;
    if (c.active && hauteur > 0.0 && hauteur >= bas_casquette(c, hsa))
        toutes.push_back({Cause_Ombre::Casquette});
    // A fin hides the sun past its edge, seen at tan HSA = D / P.
    const double s = std::sin(hsa * radians);
    const double co = std::cos(hsa * radians);
    const Joue &droite = facade.joue_droite;
    if (droite.active && s > 0 && droite.distance * co <= droite.profondeur * s)
        toutes.push_back({Cause_Ombre::Joue_Droite});
    const Joue &gauche = facade.joue_gauche;
    if (gauche.active && s < 0 && gauche.distance * co <= -gauche.profondeur * s)
        toutes.push_back({Cause_Ombre::Joue_Gauche});
    return toutes;
}

// The walls that hide the sun at (`azimut`, `hauteur`), in their order; the first alone with
// `premier`.
std::vector<Ombre> ombres_obstacles(const std::vector<Obstacle> &obstacles, double azimut,
                                    double hauteur, bool premier)
{
    std::vector<Ombre> toutes;
    const double gisement = gisement_depuis_azimut(azimut);
    const double pente = std::tan(std::clamp(hauteur, 0.0, 90.0) * radians);
    for (std::size_t i = 0; i < obstacles.size(); ++i) {
        const Obstacle &o = obstacles[i];
        if (!(o.hauteur > 0.0))
            continue;
        const double t = distance_mur(o, gisement);
        if (t > 0.0 && t * pente < o.hauteur) {
            toutes.push_back({Cause_Ombre::Obstacle, static_cast<int>(i)});
            if (premier)
                break;
        }
    }
    return toutes;
}

} // namespace

bool Casquette::operator==(const Casquette &autre) const
{
    return active == autre.active && profondeur == autre.profondeur && hauteur == autre.hauteur &&
           gauche == autre.gauche && droite == autre.droite;
}

bool Joue::operator==(const Joue &autre) const
{
    return active == autre.active && profondeur == autre.profondeur && distance == autre.distance;
}

bool Facade::operator==(const Facade &autre) const
{
    return active == autre.active && orientation == autre.orientation &&
           casquette == autre.casquette && joue_gauche == autre.joue_gauche &&
           joue_droite == autre.joue_droite;
}

bool Obstacle::operator==(const Obstacle &autre) const
{
    return gisement1 == autre.gisement1 && distance1 == autre.distance1 &&
           gisement2 == autre.gisement2 && distance2 == autre.distance2 && hauteur == autre.hauteur;
}

bool Baie::operator==(const Baie &autre) const
{
    return active == autre.active && largeur == autre.largeur && hauteur == autre.hauteur &&
           allege == autre.allege && epaisseur == autre.epaisseur;
}

bool Ombrage::operator==(const Ombrage &autre) const
{
    return facade == autre.facade && obstacles == autre.obstacles &&
           obstacles_actifs == autre.obstacles_actifs && baie == autre.baie &&
           point == autre.point && hauteur_min == autre.hauteur_min;
}

Position_Point position_point(const Baie &baie, Point_Reference point)
{
    if (!baie.active)
        return {};
    switch (point) {
    case Point_Reference::Seuil_Exterieur:
        break;
    case Point_Reference::Milieu_Baie:
        return {0.0, baie.hauteur / 2.0};
    case Point_Reference::Seuil_Interieur:
        return {baie.epaisseur, 0.0};
    case Point_Reference::Face_Interieure:
        return {baie.epaisseur, std::max(1.20 - baie.allege, 0.30)};
    }
    return {};
}

const char *raison_point_refuse(const Baie &baie, Point_Reference point)
{
    if (point == Point_Reference::Seuil_Exterieur)
        return nullptr;
    if (!baie.active)
        return "ce point de référence se place dans la baie : il faut ses dimensions";
    if (baie.hauteur < position_point(baie, point).hauteur)
        return "le haut de la baie est sous le point de référence (1,20 m au-dessus du sol et "
               "0,30 m au-dessus de l'allège au moins)";
    return nullptr;
}

const std::vector<Obstacle> &Ombrage::murs() const
{
    static const std::vector<Obstacle> aucun;
    return obstacles_actifs ? obstacles : aucun;
}

bool mur_sur_le_point(const Obstacle &o)
{
    if (o.hauteur <= 0.0)
        return false;
    const double x1 = o.distance1 * std::sin(o.gisement1 * radians);
    const double y1 = o.distance1 * std::cos(o.gisement1 * radians);
    const double ex = o.distance2 * std::sin(o.gisement2 * radians) - x1;
    const double ey = o.distance2 * std::cos(o.gisement2 * radians) - y1;
    // The segment's point nearest the point: its foot, or the nearer end.
    const double longueur2 = ex * ex + ey * ey;
    const double t = longueur2 > 0.0 ? std::clamp(-(x1 * ex + y1 * ey) / longueur2, 0.0, 1.0) : 0.0;
    return std::hypot(x1 + t * ex, y1 + t * ey) <= ecart_mur_min;
}

double gisement_depuis_azimut(double azimut)
{
    const double g = std::fmod(-azimut, 360.0);
    return g < 0 ? g + 360.0 : g;
}

double azimut_depuis_gisement(double gisement)
{
    const double a = ramener(-gisement);
    return a == -180.0 ? 180.0 : a;
}

Ombre ombre_facade(const Facade &facade, double azimut, double hauteur)
{
    const std::vector<Ombre> toutes = ombres_facade(facade, azimut, hauteur);
    return toutes.empty() ? Ombre{} : toutes.front();
}

Ombre ombre_obstacles(const std::vector<Obstacle> &obstacles, double azimut, double hauteur)
{
    const std::vector<Ombre> toutes = ombres_obstacles(obstacles, azimut, hauteur, true);
    return toutes.empty() ? Ombre{} : toutes.front();
}

std::vector<Ombre> ombres(const Ombrage &ombrage, double azimut, double hauteur)
{
    return Vue_Fenetre(ombrage).toutes(azimut, hauteur);
}

Obstacle obstacle_depuis_front(const Front_Batiment &f)
{
    const auto gisement = [](double g) {
        const double r = std::fmod(g, 360.0);
        return r < 0 ? r + 360.0 : r;
    };
    // Seen from the point, the left end lies atan(G / d) anticlockwise of the perpendicular.
    return {gisement(f.gisement - std::atan2(f.gauche, f.distance) * degres),
            std::hypot(f.distance, f.gauche),
            gisement(f.gisement + std::atan2(f.droite, f.distance) * degres),
            std::hypot(f.distance, f.droite), f.hauteur};
}

Front_Batiment front_depuis_obstacle(const Obstacle &o)
{
    const double x1 = o.distance1 * std::sin(o.gisement1 * radians);
    const double y1 = o.distance1 * std::cos(o.gisement1 * radians);
    const double x2 = o.distance2 * std::sin(o.gisement2 * radians);
    const double y2 = o.distance2 * std::cos(o.gisement2 * radians);
    // The line's unit direction from end 1 to end 2, and the foot of the perpendicular.
    const double longueur = std::hypot(x2 - x1, y2 - y1);
    const double ux = longueur > 0.0 ? (x2 - x1) / longueur : 1.0;
    const double uy = longueur > 0.0 ? (y2 - y1) / longueur : 0.0;
    const double t = -(x1 * ux + y1 * uy);
    const double px = x1 + t * ux;
    const double py = y1 + t * uy;
    Front_Batiment f;
    f.distance = std::hypot(px, py);
    // The foot's bearing; on a line through the point, the one whose right is the way from end 1
    // to end 2. The signs of G and D say on which side of the foot each end lies.
    double g = f.distance > 0.0 ? std::atan2(px, py) * degres : std::atan2(ux, uy) * degres - 90.0;
    g = std::fmod(g, 360.0);
    f.gisement = g < 0 ? g + 360.0 : g;
    const double rx = std::sin((f.gisement + 90.0) * radians);
    const double ry = std::cos((f.gisement + 90.0) * radians);
    f.gauche = -((x1 - px) * rx + (y1 - py) * ry);
    f.droite = (x2 - px) * rx + (y2 - py) * ry;
    f.hauteur = o.hauteur;
    return f;
}

std::vector<Zone_Ombre> zones_facade(const Facade &facade)
{
    std::vector<Zone_Ombre> zones;
    if (!facade.active)
        return zones;
    const double f = facade.orientation;
    const auto sol = [](double) { return 0.0; };
    const auto zenith = [](double) { return 90.0; };
    zones.push_back({f + 90.0, f + 270.0, sol, zenith});
    const Casquette c = facade.casquette;
    if (c.active)
        zones.push_back({f - 90.0, f + 90.0,
                         [c, f](double g) { return bas_casquette(c, angle_horizontal(f, g)); },
                         zenith});
    const auto bord = [](const Joue &j) { return std::atan2(j.distance, j.profondeur) * degres; };
    if (facade.joue_droite.active)
        zones.push_back({f + bord(facade.joue_droite), f + 90.0, sol, zenith});
    if (facade.joue_gauche.active)
        zones.push_back({f - 90.0, f - bord(facade.joue_gauche), sol, zenith});
    return zones;
}

std::vector<Zone_Ombre> zones_obstacles(const std::vector<Obstacle> &obstacles)
{
    std::vector<Zone_Ombre> zones;
    for (const Obstacle &o : obstacles) {
        if (!(o.hauteur > 0.0))
            continue;
        // The wall spans the shorter way round between its ends' bearings.
        const double ecart = ramener(o.gisement2 - o.gisement1);
        if (ecart == 0.0 || std::abs(ecart) >= 180.0)
            continue;
        const double debut = ecart > 0 ? o.gisement1 : o.gisement2;
        zones.push_back({debut, debut + std::abs(ecart), [](double) { return 0.0; },
                         [o](double g) {
                             const double t = distance_mur(o, g);
                             return t > 0.0 ? std::atan2(o.hauteur, t) * degres : 0.0;
                         }});
    }
    return zones;
}

namespace
{

// Heights (degrees) between which a horizontal plate hides the sun at horizontal shadow angle
// `hsa` (|hsa| < 90): the ray at height h meets the plate's plane H cos HSA / tan h in front of
// the point and H sin HSA / tan h to the side.
double bas_plaque(const Vue_Fenetre::Plaque_Horizontale &p, double hsa)
{
    return bas_casquette({true, p.fin, p.hauteur, p.gauche, p.droite}, hsa);
}

double haut_plaque(const Vue_Fenetre::Plaque_Horizontale &p, double hsa)
{
    if (p.debut <= 0.0)
        return 90.0;
    return std::atan(p.hauteur * std::cos(hsa * radians) / p.debut) * degres;
}

// Bearings (from the normal's) between which a vertical plate hides the sun: the ray meets its
// plane D / tan |HSA| in front of the point.
double bord_plaque(double distance, double profondeur)
{
    return profondeur <= 0.0 ? 90.0 : std::atan2(distance, profondeur) * degres;
}

} // namespace

Vue_Fenetre::Vue_Fenetre(const Ombrage &ombrage)
    : m_facade(ombrage.facade), m_hauteur_min(ombrage.hauteur_min), m_murs(ombrage.murs())
{
    // Without a facade there is no window to stand in: the point stays at the origin.
    const Position_Point p =
        ombrage.facade.active ? position_point(ombrage.baie, ombrage.point) : Position_Point();
    m_origine = p.retrait == 0.0 && p.hauteur == 0.0;
    if (m_origine)
        return;
    const Baie &b = ombrage.baie;
    const double e = p.retrait;
    // The reveal first: nearer the point than any device.
    if (e > 0.0) {
        const double infini = std::numeric_limits<double>::infinity();
        m_horizontales.push_back(
            {0.0, e, b.hauteur - p.hauteur, infini, infini, Cause_Ombre::Embrasure});
        m_verticales.push_back({0.0, e, b.largeur / 2.0, 1.0, Cause_Ombre::Embrasure});
        m_verticales.push_back({0.0, e, b.largeur / 2.0, -1.0, Cause_Ombre::Embrasure});
    }
    const Casquette &c = m_facade.casquette;
    if (c.active && c.hauteur > p.hauteur)
        m_horizontales.push_back({e, e + c.profondeur, c.hauteur - p.hauteur, c.gauche, c.droite,
                                  Cause_Ombre::Casquette});
    const Joue &droite = m_facade.joue_droite;
    if (droite.active)
        m_verticales.push_back(
            {e, e + droite.profondeur, droite.distance, 1.0, Cause_Ombre::Joue_Droite});
    const Joue &gauche = m_facade.joue_gauche;
    if (gauche.active)
        m_verticales.push_back(
            {e, e + gauche.profondeur, gauche.distance, -1.0, Cause_Ombre::Joue_Gauche});
    // The walls seen from the point: their ends from it, their heights above it.
    const double nx = std::sin(m_facade.orientation * radians);
    const double ny = std::cos(m_facade.orientation * radians);
    const auto depuis_point = [&](double gisement, double distance, double &g, double &d) {
        const double x = distance * std::sin(gisement * radians) + e * nx;
        const double y = distance * std::cos(gisement * radians) + e * ny;
        d = std::hypot(x, y);
        g = std::fmod(std::atan2(x, y) * degres + 360.0, 360.0);
    };
    for (Obstacle &o : m_murs) {
        depuis_point(o.gisement1, o.distance1, o.gisement1, o.distance1);
        depuis_point(o.gisement2, o.distance2, o.gisement2, o.distance2);
        o.hauteur -= p.hauteur;
    }
}

Ombre Vue_Fenetre::fenetre(double azimut, double hauteur) const
{
    if (!m_facade.active)
        return {};
    if (m_origine && !(hauteur < m_hauteur_min))
        return ombre_facade(m_facade, azimut, hauteur);
    const double hsa = angle_horizontal(m_facade.orientation, gisement_depuis_azimut(azimut));
    if (std::abs(hsa) >= 90.0)
        return {Cause_Ombre::Derriere_Facade};
    if (hauteur < m_hauteur_min)
        return {Cause_Ombre::Hauteur_Min};
    for (const Plaque_Horizontale &p : m_horizontales)
        if (hauteur > 0.0 && hauteur >= bas_plaque(p, hsa) && hauteur <= haut_plaque(p, hsa))
            return {p.cause};
    const double s = std::sin(hsa * radians);
    const double co = std::cos(hsa * radians);
    for (const Plaque_Verticale &p : m_verticales) {
        const double cote = p.cote * s;
        if (cote > 0 && p.distance * co <= p.fin * cote && p.distance * co >= p.debut * cote)
            return {p.cause};
    }
    return {};
}

std::vector<Ombre> Vue_Fenetre::toutes(double azimut, double hauteur) const
{
    std::vector<Ombre> liste;
    if (m_origine && !(hauteur < m_hauteur_min)) {
        liste = ombres_facade(m_facade, azimut, hauteur);
    } else if (m_facade.active) {
        const double hsa = angle_horizontal(m_facade.orientation, gisement_depuis_azimut(azimut));
        const auto ajouter = [&liste](Cause_Ombre cause) {
            if (liste.empty() || liste.back().cause != cause)
                liste.push_back({cause});
        };
        if (std::abs(hsa) >= 90.0) {
            ajouter(Cause_Ombre::Derriere_Facade);
        } else {
            if (hauteur < m_hauteur_min)
                ajouter(Cause_Ombre::Hauteur_Min);
            for (const Plaque_Horizontale &p : m_horizontales)
                if (hauteur > 0.0 && hauteur >= bas_plaque(p, hsa) &&
                    hauteur <= haut_plaque(p, hsa))
                    ajouter(p.cause);
            const double s = std::sin(hsa * radians);
            const double co = std::cos(hsa * radians);
            for (const Plaque_Verticale &p : m_verticales) {
                const double cote = p.cote * s;
                if (cote > 0 && p.distance * co <= p.fin * cote &&
                    p.distance * co >= p.debut * cote)
                    ajouter(p.cause);
            }
        }
    }
    const std::vector<Ombre> murs = ombres_obstacles(m_murs, azimut, hauteur, false);
    liste.insert(liste.end(), murs.begin(), murs.end());
    return liste;
}

Ombre Vue_Fenetre::murs(double azimut, double hauteur) const
{
    return ombre_obstacles(m_murs, azimut, hauteur);
}

std::vector<Zone_Ombre> Vue_Fenetre::zones_fenetre() const
{
    if (m_origine)
        return zones_facade(m_facade);
    std::vector<Zone_Ombre> zones;
    if (!m_facade.active)
        return zones;
    const double f = m_facade.orientation;
    const auto sol = [](double) { return 0.0; };
    const auto zenith = [](double) { return 90.0; };
    zones.push_back({f + 90.0, f + 270.0, sol, zenith});
    for (const Plaque_Horizontale &p : m_horizontales)
        zones.push_back({f - 90.0, f + 90.0,
                         [p, f](double g) { return bas_plaque(p, angle_horizontal(f, g)); },
                         [p, f](double g) { return haut_plaque(p, angle_horizontal(f, g)); }});
    for (const Plaque_Verticale &p : m_verticales) {
        const double a = bord_plaque(p.distance, p.fin);
        const double b = bord_plaque(p.distance, p.debut);
        if (p.cote > 0)
            zones.push_back({f + a, f + b, sol, zenith});
        else
            zones.push_back({f - b, f - a, sol, zenith});
    }
    return zones;
}

std::vector<Zone_Ombre> Vue_Fenetre::zones_murs() const
{
    return zones_obstacles(m_murs);
}
