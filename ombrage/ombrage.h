// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_OMBRAGE_OMBRAGE_H
#define ORVANE_OMBRAGE_OMBRAGE_H

// A window's facade, its shading devices and the walls around it, widget-free: whether a sun
// direction reaches the window's reference point, what shades it when not, and the sky zones
// each of them hides, for drawing.
//
// Lengths are metres, from the reference point (a point of the window: its sill for the
// full-shade mask, its mid-height for the half-shade one) on the facade. Bearings are compass
// degrees, 0..360: 0 north, 90 east, 180 south, 270 west. Left and right are as seen from inside,
// looking out. Sun directions are given as the diagram gives them: azimuth in degrees from north,
// negative towards the east, positive towards the west, ±180 south; height in degrees above the
// horizon.

#include <functional>
#include <limits>
#include <vector>

// "Casquette": a horizontal plate from the facade out to `profondeur`, `hauteur` above the
// point, reaching `gauche` and `droite` beyond it on either side (infinite: the whole facade).
struct Casquette {
    bool active = false;
    double profondeur = 1.0;
    double hauteur = 1.0;
    double gauche = std::numeric_limits<double>::infinity();
    double droite = std::numeric_limits<double>::infinity();

    bool operator==(const Casquette &autre) const;
    bool operator!=(const Casquette &autre) const { return !(*this == autre); }
};

// "Joue": a vertical plate perpendicular to the facade, `profondeur` deep, `distance` to the side
// of the point, as high as the facade.
struct Joue {
    bool active = false;
    double profondeur = 0.5;
    double distance = 1.0;

    bool operator==(const Joue &autre) const;
    bool operator!=(const Joue &autre) const { return !(*this == autre); }
};

// The facade and its devices. The sun behind the facade's plane never reaches the point.
struct Facade {
    bool active = false;
    double orientation = 180.0; // bearing of the outward normal
    Casquette casquette;
    Joue joue_gauche;
    Joue joue_droite;

    bool operator==(const Facade &autre) const;
    bool operator!=(const Facade &autre) const { return !(*this == autre); }
};

// A vertical wall between two ground points (bearing and horizontal distance from the point,
// metres > 0), rising `hauteur` above the point; at or below it, it hides nothing.
struct Obstacle {
    double gisement1 = 0.0;
    double distance1 = 1.0;
    double gisement2 = 0.0;
    double distance2 = 1.0;
    double hauteur = 0.0;

    bool operator==(const Obstacle &autre) const;
    bool operator!=(const Obstacle &autre) const { return !(*this == autre); }
};

inline constexpr int obstacles_max = 50;

// The same wall entered as a building front: the foot of the perpendicular from the point to the
// wall's line lies `distance` metres away at bearing `gisement`; the wall runs `gauche` metres to
// the left of that foot and `droite` to its right, as seen from the point looking at the wall
// (negative: the end lies past the foot on the other side). End 1 is the left one.
struct Front_Batiment {
    double distance = 10.0;
    double gisement = 180.0;
    double gauche = 5.0;
    double droite = 5.0;
    double hauteur = 0.0;
};
// The wall of a front, and the front of a wall. A wall whose line passes through the point gets
// a distance of 0 and the bearing that keeps end 2 on the right.
Obstacle obstacle_depuis_front(const Front_Batiment &front);
Front_Batiment front_depuis_obstacle(const Obstacle &obstacle);

// A wall rising above the point whose line passes this close to it (metres) stands on it and
// would hide a whole half of the sky: every way in (the command line, a site file, the dialog)
// refuses it, with this reason. A wall at or below the point hides nothing wherever it runs.
inline constexpr double ecart_mur_min = 0.01;
inline constexpr char raison_mur_sur_le_point[] =
    "le mur passe à 1 cm ou moins du point de la fenêtre";
// Whether the wall rises above the point and its ground segment passes within `ecart_mur_min`
// of it.
bool mur_sur_le_point(const Obstacle &obstacle);

// Everything around the window. With the facade off and no wall on, nothing is hidden.
struct Ombrage {
    Facade facade;
    // The walls, at most `obstacles_max`, kept while switched off.
    std::vector<Obstacle> obstacles;
    bool obstacles_actifs = true;

    bool facade_active() const { return facade.active; }
    bool avec_obstacles() const { return obstacles_actifs && !obstacles.empty(); }
    // The walls that hide: none while they are switched off.
    const std::vector<Obstacle> &murs() const;
    bool operator==(const Ombrage &autre) const;
    bool operator!=(const Ombrage &autre) const { return !(*this == autre); }
};

// What keeps the sun from the point.
enum class Cause_Ombre { Aucune, Derriere_Facade, Casquette, Joue_Gauche, Joue_Droite, Obstacle };

struct Ombre {
    Cause_Ombre cause = Cause_Ombre::Aucune;
    int obstacle = -1; // index of the wall, for Cause_Ombre::Obstacle
    explicit operator bool() const { return cause != Cause_Ombre::Aucune; }
};

// The facade's shade of the sun at (`azimut`, `hauteur`): behind it, or under one of its
// devices (the overhang named first); Aucune when the facade is off.
Ombre ombre_facade(const Facade &facade, double azimut, double hauteur);
// The first wall that hides the sun at (`azimut`, `hauteur`); Aucune when none.
Ombre ombre_obstacles(const std::vector<Obstacle> &obstacles, double azimut, double hauteur);

// A zone of the sky that one element hides: over the bearings from `debut` clockwise to `fin`
// (degrees, `debut` <= `fin` <= `debut` + 360), every height from `bas(bearing)` up to
// `haut(bearing)` (degrees, 0..90).
struct Zone_Ombre {
    double debut = 0.0;
    double fin = 0.0;
    std::function<double(double gisement)> bas;
    std::function<double(double gisement)> haut;
};

// Every element of `ombrage` that hides the sun at (`azimut`, `hauteur`), in the order the
// facade's devices are named (behind the facade, then the overhang and the fins), then the walls
// that hide it, in their order; empty when the sun reaches the point.
std::vector<Ombre> ombres(const Ombrage &ombrage, double azimut, double hauteur);

// The zones that the facade and its devices hide (behind the facade; above the overhang's edge,
// where the vertical shadow angle reaches atan(H / P), cut by the lines of its ends; beside the
// fins, past HSA = ± atan(D / P)).
std::vector<Zone_Ombre> zones_facade(const Facade &facade);
// The zones the walls hide, each up to its profile atan(H / distance along the bearing).
std::vector<Zone_Ombre> zones_obstacles(const std::vector<Obstacle> &obstacles);

// Bearing of a diagram azimuth and back: 0..360 from −180..180 (negative east), and −180..180.
double gisement_depuis_azimut(double azimut);
double azimut_depuis_gisement(double gisement);

#endif
