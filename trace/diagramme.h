// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TRACE_DIAGRAMME_H
#define ORVANE_TRACE_DIAGRAMME_H

// A diagram as a plain value, and its drawing. `Description_Diagramme` holds everything a
// diagram is drawn from; `dessiner_diagramme` draws one onto a Scene and returns the rows of
// the output table as values. Neither reads nor writes a widget: the window fills a description
// from its widgets and writes the rows into its table, the command line fills one from its
// arguments, and the export and print take the scene and the rows as they come out.
//
// Angles are degrees: latitude north positive, −90..90; azimuth from north, negative towards
// the east, positive towards the west, ±180 south; heights above the horizon, 0..90; longitude
// east positive, −180..180. Times are hours of the description's scale: true solar time (the
// default) or the clock of its time zone.

#include "ciel/ciel.h"
#include "export/pages.h"
#include "exposition/exposition.h"
#include "masks/points_masque.h"
#include "ombrage/ombrage.h"
#include "photo/photo.h"
#include "projection/projection.h"
#include "solar/heure_legale.h"

#include <QByteArray>
#include <QColor>
#include <QDate>
#include <QPair>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

class Scene;

// Which dates the diagram shows.
enum class Mode_Dates {
    // Mode 1: the chosen date in red, then the saved dates in their colours.
    Dates_choisies,
    // Mode 2: the same day of every month of one year, each month in its colour.
    Jour_des_mois,
};

// The display options of the sky disc or chart, as committed by "Options du disque".
struct Options_Disque {
    int pas_hauteur = 10; // height graduation step, degrees, 5..15
    int pas_azimut = 10;  // azimuth graduation step, degrees, 5..30
    int opacite = 70;     // disc opacity, percent, 0..100
    bool graduations = true;
    // How the sky is laid on the drawing (projection/projection.h).
    Type_Projection projection = Type_Projection::Equidistante;
    // How the graduations and the read-out write azimuths: as the mask table, or as bearings.
    Graduations_Azimut graduations_azimut = Graduations_Azimut::Tableau;

    bool operator==(const Options_Disque &autres) const;
    bool operator!=(const Options_Disque &autres) const { return !(*this == autres); }
};

// The study's project: who and what the report is for. It draws nothing; the report's title
// block starts with it and the window's title names it. All empty: no project, shown nowhere.
struct Projet {
    QString nom;
    QString adresse;
    QString client;
    QString auteur;

    bool vide() const
    {
        return nom.isEmpty() && adresse.isEmpty() && client.isEmpty() && auteur.isEmpty();
    }
    bool operator==(const Projet &autre) const
    {
        return nom == autre.nom && adresse == autre.adresse && client == autre.client &&
               auteur == autre.auteur;
    }
    bool operator!=(const Projet &autre) const { return !(*this == autre); }
};

// Everything a diagram is drawn from. Fields are added at the end of their group with a
// default that draws as before.
struct Description_Diagramme {
    // Latitude of the site, degrees, north positive, −90..90.
    double latitude = 0.0;
    // Longitude of the site, degrees, east positive, −180..180: it sets the clock against the
    // sun, and the accurate sun's instants; the simple model in true solar time ignores it.
    double longitude = 0.0;
    // IANA id of the clock's time zone ("Europe/Paris"); empty or unknown: UTC.
    QByteArray fuseau;
    Echelle_Heures echelle = Echelle_Heures::Temps_solaire_vrai;
    // "Simple": the diagram's own formulas; "Précis": the apparent sun of the ephemeris, with
    // refraction (courses, limit days, hour lines and table).
    Modele_Soleil modele = Modele_Soleil::simple;

    Mode_Dates mode = Mode_Dates::Dates_choisies;
    // Mode 1: the date drawn in red, first row of the table. In both modes its year is the
    // year in which the limit courses' day numbers are read as dates.
    QDate date_choisie;
    // Mode 1: the saved dates, at most 12, in the order they take the course colours: by day of
    // the year. One equal to `date_choisie` is already drawn in red and is passed over.
    QVector<QDate> dates_enregistrees;
    // Mode 2: the day of the month, 1..31 (a month without that day is left out), and the year.
    int jour_des_mois = 1;
    int annee = 2000;

    // "Délimiter la course": the courses of the two limit days, labelled beside their curves.
    bool limites = false;
    // "Afficher les heures": the hour lines between the limit courses; drawn only with them.
    bool heures = false;

    // The kept horizon mask, already validated: points (x = azimuth, y = height, degrees)
    // clockwise from north. Empty: no outline.
    QVector<QPointF> masque;
    // How its points are joined (masks/points_masque.h): drawn and counted alike.
    Jonction_Masque jonction = Jonction_Masque::Paliers;

    // The window's facade, its devices and the walls around it (ombrage/ombrage.h): the zones
    // they hide are drawn under the courses, the walls count with the mask, and with the facade
    // on each row counts the sun on the window. Default: none, nothing changes.
    Ombrage ombrage;
    // The exposure rule assessed on the window (exposition/exposition.h): its least height is
    // drawn, with the assessed day's sunlit periods along its course. Default: none.
    Regle_Exposition exposition;

    Options_Disque options;

    // The photo of the sky under the grid (photo/photo.h): none by default.
    Photo_Diagramme photo;

    // Size of the drawing in pixels (the window's view): the scene rectangle, the disc's
    // diameter and the legend follow from it (`ajuster_scene`), the latitude caption sits in
    // its bottom-left corner.
    QSize taille = QSize(1920, 1080);

    // The project named on the report page; the drawing itself ignores it.
    Projet projet;
};

// One row of the output table: a dated course. Mode 1: the chosen date, then each saved date;
// Mode 2: each month that has the day. A course below the horizon all day has its row too.
struct Ligne_Sortie {
    QDate date;
    // Sunrise and sunset, hours of the description's scale, 0..24 (0 and 24: none, the sun
    // staying up); on the clock a sunset past midnight reads less than its sunrise.
    double lever = 0.0;
    double coucher = 0.0;
    // On the clock, the days after `date` on which the sunrise and the sunset fall: a sunset
    // past the clock's midnight is a day on (1), a sunrise before it a day back (−1).
    int jour_lever = 0;
    int jour_coucher = 0;
    // The solar day drawn and counted: `date`, or the day before or after it where the clock
    // runs twelve hours or more ahead of the sun or behind it, so that the row is its calendar
    // day on the clock.
    QDate jour;
    // Length of the day, hours, when it is not coucher − lever (times of a clock); NaN otherwise.
    double longueur = std::numeric_limits<double>::quiet_NaN();
    // Whether any part of the course lies above the horizon; when not, the times are not shown.
    bool tracee = false;
    // The colour of the course and of its legend stroke.
    QColor couleur;
    // Whether the row was drawn with a mask outline; then, for a course drawn, the hours of
    // direct sun above the outline and the hours the sun spends behind it between sunrise and
    // sunset (together the day's length), as `ensoleillement` (masks/ensoleillement.h) counts
    // them on the outline as drawn.
    bool avec_masque = false;
    double soleil_direct = 0.0;
    double masque = 0.0;
    // Whether the row was drawn with a facade; then, for a course drawn, the hours of direct sun
    // on the window's point between sunrise and sunset: in front of the facade, under no device,
    // above the mask and the walls.
    bool avec_fenetre = false;
    double soleil_fenetre = 0.0;
    // Its periods, (start, end) in hours of the description's scale, as `soleil_fenetre`
    // (annee/grille_annee.h) gives them: their lengths add up to `soleil_fenetre`.
    std::vector<std::pair<double, double>> periodes_fenetre;

    // Length of the day, hours.
    double duree() const { return std::isnan(longueur) ? coucher - lever : longueur; }
};

// The most saved dates a Mode 1 diagram draws besides the chosen one; there are as many
// course colours.
inline constexpr int dates_enregistrees_max = 12;

// The course colour of rank `rang`, 0..11: the saved dates take them in order, the months of
// Mode 2 take that of their number − 1.
QColor couleur_course(int rang);

// Fits the scene to a drawing of `taille` pixels: the scene rectangle is that size centred on
// the origin, the disc's diameter min(W − 300, H − 140), the legend's origin 10 px right of and
// 15 px below the top-left corner. A drawing where that diameter would be less than 60 % of its
// smaller side is compact (`Scene::compacte`): the disc takes that 60 %, and its labels and the
// legend make room round it.
void ajuster_scene(Scene &scene, const QSize &taille);

// The projection that draws `description` on `scene`: polar on the scene's disc, or the
// cylindrical chart in the frame the disc fills (W − 300 by H − 140 of the scene's rectangle),
// up to the highest height that a course, the mask, a wall or a device reaches, rounded up to the
// height step.
Projection projection_diagramme(const Scene &scene, const Description_Diagramme &description);

// Clears the scene and draws the description on it, in this order (later items lie on top):
// the latitude caption, the dates of the mode, the limit courses, the hour lines, the saved
// dates, the mask outline, and the scale caption when there is one (`texte_echelle`). The disc's
// options and the projection are committed to the scene; its rectangle and diameter are left as
// they are (see `ajuster_scene`). Returns the output table's rows, with the sun the mask takes away
// when the description has one.
QVector<Ligne_Sortie> dessiner_diagramme(Scene &scene, const Description_Diagramme &description);

// Decimal hours as the output table writes them: 6.5 → "6h30", 24 → "24h00"; minutes rounded
// half up, 6.995 → "7h00".
QString texte_heure(double heure);

// The four cells of a row as the output table writes them: the date in `format_date`, the
// sunrise, the sunset and the day's length; "-" for the three times of a course not drawn. With
// `jours`, a time on another day of the clock than the row's says so: "1h39 (+1)".
QStringList textes_ligne(const Ligne_Sortie &ligne,
                         const QString &format_date = QStringLiteral("dd/MM/yyyy"),
                         bool jours = true);

// The headers of the output table's four columns.
QStringList entetes_sorties();

// The two cells a row adds while a mask outline is drawn: the hours of direct sun and the hours
// behind the mask, written as `texte_heure` writes them; "-" for a course not drawn.
QStringList textes_masque(const Ligne_Sortie &ligne);

// Their headers: "Soleil direct", "Masqué".
QStringList entetes_masque();

// Whether the rows of `description` have the two columns of the mask: a mask outline or a wall
// is drawn.
bool colonnes_masque(const Description_Diagramme &description);

// The cell a row adds while a facade is given: the hours of sun on the window, "-" for a course
// not drawn; and its header, "Soleil sur la fenêtre".
QString texte_fenetre(const Ligne_Sortie &ligne);
QString entete_fenetre();
// The periods of sun on the window: "21h12–21h58, 11h05–11h40" in the table and the read-out,
// "21h12-21h58 11h05-11h40" in the CSV (`csv`); an end past the clock's midnight reads as the
// next day's time.
QString texte_periodes(const std::vector<std::pair<double, double>> &periodes, bool csv = false);
// The table's cell with the periods beside the total: "0h45 : 21h12–21h58"; the total alone
// when the window gets no sun, "-" for a course not drawn.
QString texte_fenetre_periodes(const Ligne_Sortie &ligne);
// What keeps the sun from the window's point of `description`: behind its facade or under a
// device, behind the mask outline or a wall. The test keeps its own copy of what it needs.
Test_Cache test_fenetre(const Description_Diagramme &description);

// The latitude caption of the diagram: "Latitude: 45°".
QString texte_latitude(double latitude);

// The scale of the description's times: "Temps solaire vrai", or "Heure légale — Europe/Paris"
// ("UTC" for an empty or unknown zone). The diagram writes it beside the latitude caption
// unless it is drawn as it always was (true solar time, simple model), and the report page's
// caption always.
QString texte_echelle(const Description_Diagramme &description);

// The clock of the hour lines, when the description draws them on a clock that keeps daylight
// saving in the chosen date's year: "lignes horaires en heure d'hiver (UTC+1)", the zone's
// standard offset on the chosen date; empty otherwise.
QString texte_lignes_horaires(const Description_Diagramme &description);

// The scale caption of the diagram: `texte_echelle`, then the hour lines' clock when there is
// one to name ("Heure légale — Europe/Paris, lignes horaires en
// heure d'hiver (UTC+1)").
QString texte_legende_echelle(const Description_Diagramme &description);

// Whether `zone` keeps daylight saving at some time of `annee`.
bool heure_ete_dans_annee(const QTimeZone &zone, int annee);

// The clock and sun of a description: its zone (UTC when empty or unknown), longitude and model.
Heure_Legale horloge_description(const Description_Diagramme &description);

// The sky of a description (ciel/ciel.h): this thread's, kept while the year of the chosen date,
// the zone, the longitude, the model and the scale stay the same, set at its latitude.
Ciel::Cle cle_description(const Description_Diagramme &description);
std::shared_ptr<Ciel> ciel_description(const Description_Diagramme &description);

// What the exposure verdict of `description` is computed from.
Etude_Exposition etude_exposition(const Description_Diagramme &description);

// A date's label on the diagram: day of the month, a space, the default locale's short month
// name ("21 juin", "3 févr." in French).
QString texte_date(const QDate &date);

// The report page's caption and table for a description and the rows it was drawn with: the
// latitude caption, the longitude, the zone, the model of the sun, the scale and the hour lines'
// clock, each row's date label in its course's
// colour, the table's headers and cells (with the two columns of the mask when the description has
// one).
Legende_page legende_page(const Description_Diagramme &description,
                          const QVector<Ligne_Sortie> &lignes);

// Draws `description` on `scene` for the report page: at a size of the page's own, whatever the
// description's `taille`, so that the page is the same from the window and the command line;
// every label takes a shade readable on white paper (`couleur_lisible`).
void dessiner_pour_page(Scene &scene, const Description_Diagramme &description);

// Month (1..12) and day of the month of day number `numero` (1 for 1 January) in a common or a
// leap (`bissextile`) year. Anything up to 31 is January, anything after November December, so
// day numbers outside the year give days outside 1..31.
int mois_depuis_numero(int numero, bool bissextile);
int jour_depuis_numero(int numero, bool bissextile);

#endif
