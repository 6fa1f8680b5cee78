// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TRACE_LECTURE_H
#define ORVANE_TRACE_LECTURE_H

// What the pointer reads over a diagram: the sky point under it and, near a course, that
// course's date and the time there. Widget-free: the window hands in the pointer's scene point
// and shows the text.
//
// Scene coordinates: origin at the disc's centre (the zenith), x right, y down; the disc has
// diameter `diametre` scene units, or the drawing is that of a `Projection`. Azimuth in degrees
// from north, negative towards the east, positive towards the west, ±180 south (the mask table's
// convention); heights in degrees above the horizon; times in hours of the description's scale.

#include "projection/projection.h"
#include "solar/heure_legale.h"
#include "trace/diagramme.h"

#include <QDate>
#include <QPointF>
#include <QString>
#include <QVector>

#include <utility>
#include <vector>

// One dated course, finely sampled from sunrise to sunset: each point's time is true solar time.
struct Course_Lue {
    QDate date;
    std::vector<Heure_Legale::Point_Course> points;
    // With a facade, the periods of sun on the window that day as the table gives them (hours
    // of the description's scale).
    std::vector<std::pair<double, double>> periodes_fenetre;
};

// The courses of `dates` as the description draws them (its latitude and model of the sun),
// with their periods of sun on the window when it has a facade.
std::vector<Course_Lue> courses_lues(const Description_Diagramme &description,
                                     const QVector<QDate> &dates);

// An hour line of the clock (legal time), sampled over the year as it is drawn: the sun at
// whole hour `heure` of the zone's standard time, day after day.
struct Ligne_Horaire_Lue {
    int heure = 0;
    int annee = 2000;
    std::vector<Heure_Legale::Point_Heure> points;
};

// The hour lines of the description when it draws them on a clock; none in true solar time,
// where a line's hour is the read-out's own.
std::vector<Ligne_Horaire_Lue> lignes_horaires_lues(const Description_Diagramme &description);

struct Lecture {
    // Whether the point lies on the sky disc; nothing else holds when not.
    bool dans_disque = false;
    double azimut = 0.0;
    double hauteur = 0.0;
    // Whether a course passes within the reach asked; then its date and the time there.
    bool sur_course = false;
    QDate date;
    double heure = 0.0;
    // On a course, with a facade: when the window's sun starts and ends that day.
    bool avec_fenetre = false;
    std::vector<std::pair<double, double>> periodes_fenetre;
    // Whether an hour line of the clock passes within the reach asked; then its hour of
    // standard time and the clock's hour on the day read (the course's, else the line's
    // nearest day), which differ while daylight saving is kept.
    bool sur_ligne_horaire = false;
    int heure_ligne = 0;
    double heure_ligne_horloge = 0.0;
};

// Reads scene point `point` of a disc of `diametre` scene units; a course counts when it passes
// within `portee` scene units of the point (the nearest one when several do).
Lecture lire_sous_pointeur(const Description_Diagramme &description,
                           const std::vector<Course_Lue> &courses, int diametre,
                           const QPointF &point, double portee = 5.0);
// The same on the drawing of any projection (projection/projection.h); "dans_disque" then says
// whether the point lies on its disc or chart.
Lecture lire_sous_pointeur(const Description_Diagramme &description,
                           const std::vector<Course_Lue> &courses, const Projection &projection,
                           const QPointF &point, double portee = 5.0);

// Fills in the hour line of `lignes` that passes within `portee` scene units of `point`, the
// nearest one, into a `lecture` already read at that point.
void lire_ligne_horaire(Lecture &lecture, const Description_Diagramme &description,
                        const std::vector<Ligne_Horaire_Lue> &lignes, int diametre,
                        const QPointF &point, double portee = 5.0);
void lire_ligne_horaire(Lecture &lecture, const Description_Diagramme &description,
                        const std::vector<Ligne_Horaire_Lue> &lignes, const Projection &projection,
                        const QPointF &point, double portee = 5.0);

// Compass bearing of an azimuth: degrees clockwise from north, 0..360 (east 90, west 270).
double relevement(double azimut);
// The nearest of the 16 points of the compass, in French: "N", "NNE", ..., "O", "NNO".
QString point_cardinal(double azimut);

// The status bar's text: "Azimut : -45,0° (NE, 45°) — Hauteur : 30,0°" (with the graduations in
// bearings "Cap : 45,0° (NE) — Hauteur : 30,0°"), and near a course
// " — 21 juin : 10h15 (Temps solaire vrai)", and on an hour line of the clock
// " — ligne horaire : 13h heure d'hiver, 14h heure d'été" (the summer hour while daylight
// saving is kept, the bare hour in a zone without it); on a course with a facade, when the
// window gets the sun that day (" — fenêtre au soleil ce jour : 9h40–12h52", "jamais" when
// never); and with a window or walls everything that shades the direction (" — ombre :
// casquette, obstacle 1, masque", `texte_ombre`) or else " — soleil sur la fenêtre"; empty
// outside the disc. Numbers in the default locale.
QString texte_lecture(const Lecture &lecture, const Description_Diagramme &description);

#endif
