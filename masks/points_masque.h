// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_MASKS_POINTS_MASQUE_H
#define ORVANE_MASKS_POINTS_MASQUE_H

// The rules of a mask table, without the table: from the cells' values (as the table holds
// them, empty cells included) to the points of the outline, or to the first problem with the
// warning the table shows for it. The table's button, the horizon import and anything else
// that fills the table go through these same rules.
//
// Points: x = azimuth in degrees, 0 north, ±180 south, negative towards the east, positive
// towards the west, -180..180; y = height in degrees above the horizon, 0..90.

#include <QAbstractItemModel>
#include <QPointF>
#include <QString>
#include <QVariant>

#include <vector>

// One row of the table: a cell is empty when its value is a null variant; a cell holding 0
// is filled.
struct Ligne_Masque {
    QVariant azimut;
    QVariant hauteur;
};

// What the rules found, in the order they are checked.
enum class Probleme_Masque {
    Aucun,
    Vide,        // no cell filled at all
    Incomplet,   // a row with one cell only
    LignesVides, // a filled row below an empty one
    Valeur,      // text, NaN, or a value out of its column's range
    Azimut,      // an azimuth twice, other than the first and last rows as the same point
    Ordre,       // azimuths not clockwise from north (0 down to -180, then 180 down to 0)
};

struct Points_Masque {
    Probleme_Masque probleme = Probleme_Masque::Aucun;
    // For Valeur: the row (from 0) of the first bad cell; -1 otherwise.
    int ligne = -1;
    // The full rows in table order when there is no problem, nothing converted or sorted.
    std::vector<QPointF> points;

    bool valide() const { return probleme == Probleme_Masque::Aucun; }
    // Whether the problem is found before the azimuths are compared (the window resets its
    // stored outline path only once the rows themselves are sound).
    bool probleme_de_lignes() const
    {
        return probleme == Probleme_Masque::Vide || probleme == Probleme_Masque::Incomplet ||
               probleme == Probleme_Masque::LignesVides || probleme == Probleme_Masque::Valeur;
    }
    // The warning of the table for the problem, in French; empty when there is none.
    QString titre() const;
    QString texte() const;
};

// Ranges of the table's columns, degrees (those of its cell editors).
inline constexpr double azimut_masque_min = -180.0;
inline constexpr double azimut_masque_max = 180.0;
inline constexpr double hauteur_masque_min = 0.0;
inline constexpr double hauteur_masque_max = 90.0;

// How the table's rows are joined into an outline, from each row clockwise to the next:
// - Paliers ("en paliers", a typed table): each row's height holds up to the next row's
//   azimuth, where the outline steps to that row's height;
// - Ligne ("en ligne droite", an imported horizon): the height runs along the straight line
//   from each row to the next, linear in the azimuth swept.
enum class Jonction_Masque { Paliers, Ligne };

// The most rows the mask table holds; an imported horizon is thinned to as many.
inline constexpr int lignes_masque_max = 500;

Points_Masque points_masque(const std::vector<Ligne_Masque> &lignes);

// The rows of a two-column model (column 0 azimuth, column 1 height), display role.
std::vector<Ligne_Masque> lignes_du_modele(const QAbstractItemModel &modele);

// Whether azimuth `b` may follow azimuth `a` (degrees) when the table is read from the top.
bool suite_horaire(double a, double b);

#endif
