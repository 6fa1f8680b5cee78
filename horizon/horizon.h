// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_HORIZON_HORIZON_H
#define ORVANE_HORIZON_HORIZON_H

// Horizon profiles from and to files, widget-free: reading a PVGIS horizon (JSON or its
// text form) or a plain two-column file, turning a profile into the rows of the mask table,
// joined by straight lines, and writing the table back as CSV in a chosen convention.
//
// Angles are degrees. Heights: above the horizontal, -5..90 in a file, 0..90 in the table
// (a horizon below the horizontal hides nothing above it). Azimuths, in one of three
// conventions:
//  - Nord: compass bearing, 0 north, 90 east, 180 south, 270 west, clockwise, 0..360;
//  - Sud: 0 south, west positive, east negative, -180..180 (±180 north), as PVGIS;
//  - Tableau: the mask table's own, 0 north, east negative, west positive, ±180 south,
//    -180..180.

#include "masks/points_masque.h"

#include <QByteArray>
#include <QPointF>
#include <QString>

#include <utility>
#include <vector>

enum class Convention_Azimut { Nord, Sud, Tableau };

// A file larger than this is refused unread, bytes.
inline constexpr qint64 taille_max_horizon = 1024 * 1024;
// Heights accepted in a file, degrees.
inline constexpr double hauteur_horizon_min = -5.0;
inline constexpr double hauteur_horizon_max = 90.0;

struct Horizon_Lu {
    // x = azimuth in `convention`, y = height, in the file's order.
    std::vector<QPointF> points;
    Convention_Azimut convention = Convention_Azimut::Tableau;
    // Recognised as PVGIS by its content; its convention is then Sud whatever was asked.
    bool pvgis = false;
    // The first problem, in French, naming its line (or its point of a JSON profile); empty
    // when the file was read.
    QString erreur;

    bool valide() const { return erreur.isEmpty(); }
};

// Reads a horizon from the bytes of a file (UTF-8). A plain file is read in `convention`.
Horizon_Lu lire_horizon(const QByteArray &contenu, Convention_Azimut convention);
// The same from a file, refused unread over `taille_max_horizon`.
Horizon_Lu lire_fichier_horizon(const QString &chemin, Convention_Azimut convention);

// Range of the azimuths of a convention, degrees.
double azimut_min(Convention_Azimut convention);
double azimut_max(Convention_Azimut convention);

// Azimuth of the same direction in the table's convention, in -180..180 (-180 for south,
// 0 for north), and back from it.
double azimut_vers_tableau(double azimut, Convention_Azimut convention);
double azimut_depuis_tableau(double azimut, Convention_Azimut convention);

// A gap between neighbouring directions of a file wider than this, degrees, is named by the
// import: the line crosses it with no point of the file.
inline constexpr double trou_horizon_signale = 45.0;

struct Horizon_Ligne {
    // The mask table's rows (table convention), joined `Jonction_Masque::Ligne`.
    std::vector<QPointF> points;
    // The file's distinct directions.
    int directions = 0;
    // Whether the line was thinned, and the largest height left between the line kept and the
    // file's line, degrees.
    bool eclaircie = false;
    double ecart = 0.0;
    // The gaps wider than `trou_horizon_signale` between neighbouring directions, clockwise
    // from one to the next, in the file's convention.
    std::vector<std::pair<double, double>> trous;
};

// A horizon is a closed line: the straight line from each direction of the file to the next
// clockwise, and from the last back to the first (points in one direction keeping the highest,
// the line below 0 taken as 0), read in `convention`. Its rows for the mask table start at
// north, on the line, and end on their first row again; where the line crosses the horizontal
// a row lies too. When they would be more than `limite`, the line is thinned to `limite` rows
// by Douglas–Peucker: from north, the vertex farthest in height from the line kept so far is
// kept first.
Horizon_Ligne horizon_en_ligne(const std::vector<QPointF> &points, Convention_Azimut convention,
                               int limite);

struct Masque_Horizon {
    Points_Masque rangs;
    // The line whose points are the rows.
    Horizon_Ligne ligne;
};

// The mask table's rows for a horizon read without a problem, at most `limite` of them
// (`horizon_en_ligne`), checked by the table's own rules (`points_masque`): the rows to draw, or
// the table's problem and its warning. The import and the command line both go through it.
Masque_Horizon masque_de_horizon(const Horizon_Lu &lu, int limite);

// The table's points (table convention) as CSV in `convention`, one "azimuth,height" row per
// point in the table's order after a header: "A,H_hor" for Sud (PVGIS's names),
// "azimut,hauteur" otherwise. Decimal point, UTF-8, LF. The last row of an outline closed on
// itself at north is written at 360 (Nord) or 180 (Sud), the end of the convention's range.
QByteArray horizon_csv(const std::vector<QPointF> &points, Convention_Azimut convention);

// Name of a convention for the user.
QString nom_convention(Convention_Azimut convention);

#endif
