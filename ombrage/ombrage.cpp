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

bool Ombrage::operator==(const Ombrage &autre) const
{
    return facade == autre.facade && obstacles == autre.obstacles &&
           obstacles_actifs == autre.obstacles_actifs;
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
    std::vector<Ombre> toutes = ombres_facade(ombrage.facade, azimut, hauteur);
    const std::vector<Ombre> murs = ombres_obstacles(ombrage.murs(), azimut, hauteur, false);
    toutes.insert(toutes.end(), murs.begin(), murs.end());
    return toutes;
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
