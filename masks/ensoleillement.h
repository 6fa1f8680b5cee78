// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_MASKS_ENSOLEILLEMENT_H
#define ORVANE_MASKS_ENSOLEILLEMENT_H

// The sun a mask takes away on one day, widget-free: the hours of direct sun above the mask
// outline and the hours the sun spends behind it, between the program's sunrise and sunset.
//
// Mask points as the table gives them to the drawing: x = azimuth in degrees (0 north, ±180
// south, negative towards the east), y = height in degrees, 0..90, in the table's order. The
// outline is the drawn one: from each point clockwise up to the azimuth of the next, the point's
// height holds (`Jonction_Masque::Paliers`) or runs straight to the next point's height
// (`Jonction_Masque::Ligne`); the last point ends the outline, and when it repeats the first,
// the outline goes all round. Outside the outline nothing is hidden. Where spans overlap (a
// table winding more than once round) the highest one counts.

#include "masks/points_masque.h"
#include "solar/soleil.h"

#include <QPointF>

#include <functional>
#include <utility>
#include <vector>

struct Ensoleillement {
    double soleil_direct = 0.0; // hours, sun above the horizon and above the outline
    double masque = 0.0;        // hours, sun above the horizon but behind the outline
    // The spans of direct sun in the order of the day, (start, end) in hours of true solar time,
    // cut where the count changes state: their lengths add up to `soleil_direct`.
    std::vector<std::pair<double, double>> periodes;
};

// Height of the outline at `azimut` (degrees, table convention), degrees; negative where the
// outline does not reach. Goes through every point.
double hauteur_contour(const std::vector<QPointF> &points, double azimut,
                       Jonction_Masque jonction = Jonction_Masque::Paliers);

// The same heights, prepared once for many azimuths: a search among the outline's pieces.
class Profil_Masque
{
public:
    explicit Profil_Masque(const std::vector<QPointF> &points,
                           Jonction_Masque jonction = Jonction_Masque::Paliers);
    double hauteur(double azimut) const;
    // The outline's greatest height: `hauteur` never exceeds it.
    double plus_haute() const { return maximum; }
    // The lowest and highest heights within `ecart` degrees of `azimut` either side.
    std::pair<double, double> bornes(double azimut, double ecart) const;

private:
    // The height along piece `i` at `angle` degrees clockwise from north, within the piece.
    double sur_piece(std::size_t i, double angle) const;

    // Pieces clockwise from north (degrees, 0..360, the first 0), each from its start up to the
    // next start (the last one up to north): the height runs straight from `hauteurs` at the
    // start to `fins` at the end (the same for a step), -1 where no outline is.
    std::vector<double> debuts;
    std::vector<double> hauteurs;
    std::vector<double> fins;
    double maximum = -1.0;
};

// For day `numeroJour` (1..366) at `latitude` (degrees, north positive): the day runs in true
// solar time from `heure_lever` to `heure_coucher` of `soleil` (all day in polar day, not at
// all in polar night), so that with no mask, or a mask of height 0, the direct sun is the
// day length of the output table. The sun is behind the mask while its height is below the
// outline's height at its azimuth. The day is sampled every minute and each change of state
// between two samples is found to within a second.
Ensoleillement ensoleillement(const Soleil &soleil, int numeroJour, double latitude,
                              const std::vector<QPointF> &points,
                              Jonction_Masque jonction = Jonction_Masque::Paliers);
// The same behind an outline prepared once for many days.
Ensoleillement ensoleillement(const Soleil &soleil, int numeroJour, double latitude,
                              const Profil_Masque &profil);

// The same from the sun's positions sampled along the day from sunrise to sunset, `pas_heures`
// hours apart (x = azimuth, y = height, degrees): for a sun given only by its positions, as the
// accurate one is. Each step counts half for the state at each of its ends.
Ensoleillement ensoleillement(const std::vector<QPointF> &positions, double pas_heures,
                              const Profil_Masque &profil);

// The sun at one sample of a course: azimuth and height as the mask points give them, and the
// height before the atmosphere's refraction (Soleil_Precis::refraction), degrees.
struct Place_Soleil {
    double azimut = 0.0;
    double hauteur = 0.0;
    double hauteur_geometrique = 0.0;
};

// The same counts as from the positions above, for a course of the accurate sun sampled
// n + 1 times `pas_heures` apart (at most a minute) whose positions are costly: `position(k)`,
// k = 0..n, is asked every few samples, and between them only where the sun's place, known
// there to some hundredths of a degree from its smooth course, does not tell its side of the
// outline.
Ensoleillement ensoleillement(int n, double pas_heures,
                              const std::function<Place_Soleil(int)> &position,
                              const Profil_Masque &profil);

// Whether the sun at (`azimut`, `hauteur`), degrees as the mask points give them, is hidden;
// heights a hair below 0 at sunrise and sunset are given as 0.
using Test_Cache = std::function<bool(double azimut, double hauteur)>;

// The same counts behind any test: the outline and other things between the sun and the point.
// From positions, the first one is at true solar time `debut` (hours), which the periods start
// from; each sample then stands for the half steps either side of it.
Ensoleillement ensoleillement(const Soleil &soleil, int numeroJour, double latitude,
                              const Test_Cache &cache);
Ensoleillement ensoleillement(const std::vector<QPointF> &positions, double pas_heures,
                              const Test_Cache &cache, double debut = 0.0);

#endif
