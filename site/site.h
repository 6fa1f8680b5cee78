// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_SITE_SITE_H
#define ORVANE_SITE_SITE_H

// A site: everything a user has entered for one place, as a plain value, and its file. The file
// is UTF-8 JSON that a person can read, named by a "format" and an integer "version":
//
//   {
//     "format": "orvane-site", "version": 1,
//     "lieu": {"latitude": 45.5, "longitude": 2.33, "fuseau": "Europe/Paris"},
//     "heure": {"echelle": "solaire" | "legale", "modele": "simple" | "precis"},
//     "dates": {"mode": "dates" | "mois", "date": "2026-06-21",
//               "enregistrees": ["2026-03-20", ...], "jour_des_mois": 21, "annee": 2026},
//     "trace": {"limites": true, "heures": false},
//     "masques": {"lignes": [{"azimut": 0, "hauteur": 12.5}, {"azimut": null, "hauteur": null}],
//                 "conserver": true, "jonction": "paliers" | "ligne"},
//     "affichage": {"graduations": true, "pas_hauteur": 10, "pas_azimut": 10, "opacite": 70,
//                   "projection": "equidistante" | "stereographique" | "cylindrique"},
//       ("graduations": "caps" for graduations in compass bearings, with
//        "graduations_affichees": false when they are hidden; true is "tableau", shown)
//     "fenetre": {"active": true, "orientation": 225,
//                 "casquette": {"active": true, "profondeur": 1.2, "hauteur": 1.5,
//                               "gauche": null, "droite": 2},
//                 "joue_gauche": {"active": true, "profondeur": 0.5, "distance": 1},
//                 "joue_droite": {"active": false, "profondeur": 0.5, "distance": 1}},
//     "obstacles": {"actifs": true, "murs": [{"gisement1": 200, "distance1": 20,
//                   "gisement2": 250, "distance2": 15, "hauteur": 8}]},
//     "photo": {"fichier": "photos/ciel.jpg", "objectif": "equidistant", "centre": [2000, 1500],
//               "rayon": 1450, "nord": 12.5, "miroir": true, "opacite": 60,
//               "coefficients": [0.716, 0.0115, -0.0393]},
//     "projet": {"nom": "Maison Arnaud", "adresse": "12 rue des Lilas, Paris",
//                "client": "M. et Mme Arnaud", "auteur": "Cabinet Leroy"}
//   }
//
// A file is read whole and checked before anything is handed back: the first problem met is
// reported, in French, with the file's name. Fields this version does not know are ignored, so
// that a later release may add some (a longitude beside the latitude under "lieu", say) without
// changing the version; a field whose meaning changes takes a new version, which this one
// refuses. A field that a later version adds is read as optional, with the default that draws
// as before, from files of an earlier version.
//
// The values obey the rules of the command line and the window (trace/regles.h): dates written
// exactly AAAA-MM-JJ from 1752-09-14 to 9999-12-31, years 1 to 9999, any zone of the tz database.
//
// The longitude, the zone ("" for UTC), the time scale and the model of the sun are optional
// when read: a file without them draws as before (0, UTC, true solar time, the simple model).
// So is the way the mask's rows are joined, written only when they are joined by straight lines:
// without it, steps.
// So is the project, written only when one of its texts is given; an absent text is empty.
// So are the window's sections (ombrage/ombrage.h), written only when they hold something:
// without them, no facade and no wall. Their lengths are metres, > 0 (an overhang's end null for
// the whole facade; a wall's height any number), their bearings compass degrees, 0..360.
//
// So is the photo of the sky (photo/photo.h), written only when there is one: its file's path,
// relative to the site's folder where it lies below it, and its calibration (pixels and compass
// degrees; "coefficients" only for the polynomial lens). The image itself is not read here.
//
// Units: latitude in degrees, north positive, −90..90; longitude in degrees, east positive,
// −180..180; mask azimuths in degrees from north,
// negative towards the east, positive towards the west, −180..180; mask heights in degrees
// above the horizon, 0..90.

#include "masks/points_masque.h"
#include "trace/diagramme.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

#include <optional>

// One row of the mask table as typed: each cell empty or a number, degrees.
struct Ligne_Masque_Saisie {
    std::optional<double> azimut;  // −180..180, negative east
    std::optional<double> hauteur; // 0..90

    bool operator==(const Ligne_Masque_Saisie &autre) const;
    bool operator!=(const Ligne_Masque_Saisie &autre) const { return !(*this == autre); }
};

struct Site {
    // Latitude, longitude, time zone, time scale and model of the sun, mode, chosen date, saved
    // dates, day and year of Mode 2, the limit-course and hour-line switches, and the disc's
    // display options. The drawn outline (`masque`) and the drawing's size (`taille`) belong to a
    // drawing, not to a site: they are neither written nor read, nor compared.
    Description_Diagramme diagramme;
    // The mask table's rows as typed, empty rows and empty cells included, at most
    // `lignes_masque_max`, the table's own limit.
    QVector<Ligne_Masque_Saisie> masques;
    // "Conserver les masques": the outline is drawn from the table on every rebuild.
    bool conserver_masques = false;
    // How the table's rows are joined: "en paliers" or "en ligne droite".
    Jonction_Masque jonction_masques = Jonction_Masque::Paliers;

    bool operator==(const Site &autre) const;
    bool operator!=(const Site &autre) const { return !(*this == autre); }
};

// The format's name and the newest version this program reads and the one it writes.
extern const QString format_site;
inline constexpr int version_site = 1;

// Limits of a site file.
inline constexpr qint64 taille_site_max = 1024 * 1024; // bytes
// Rows of the mask table of a fresh window, all empty.
inline constexpr int lignes_masques_initiales = 6;

// The mask table's rows holding `points` (x = azimuth, y = height), as the horizon import fills
// the table: one row per point, then empty rows up to a fresh table's.
QVector<Ligne_Masque_Saisie> lignes_de_points(const std::vector<QPointF> &points);

// The site as the text of a file.
// With `dossier`, the site's folder, a photo below it is written by its relative path.
QByteArray site_en_json(const Site &site, const QString &dossier = QString());

// A site read from a file's bytes, or, when they do not hold a valid site, the first problem
// met, in French, as a clause ("la latitude 95 est hors de −90..90°").
struct Lecture_Site {
    std::optional<Site> site;
    QString probleme;
};
// With `dossier`, a photo's relative path is taken from it.
Lecture_Site site_depuis_json(const QByteArray &octets, const QString &dossier = QString());

// Reads the site file `chemin`. On failure `probleme` is a whole French sentence that names
// the file and the first problem.
Lecture_Site lire_site(const QString &chemin);

// Writes the site to `chemin` through a temporary file that replaces it only once wholly
// written, so that a failed write leaves the old file whole. Returns an empty string on success,
// otherwise a French sentence that names the file and the reason.
QString ecrire_site(const QString &chemin, const Site &site);

// The file filter of the open and save dialogs, and the suffix a name without one is given.
extern const QString filtre_site;
extern const QString suffixe_site;

#endif
