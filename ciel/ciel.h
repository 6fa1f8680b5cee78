// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_CIEL_CIEL_H
#define ORVANE_CIEL_CIEL_H

// The sky of a place: everything the drawing and the counts ask of the sun, whichever sun it is
// and whichever clock its times are read on. Built from the place's longitude, the clock (a time
// zone and a time scale), the model of the sun and the year; the latitude is set on it for each
// drawing. The simple sun (solar/soleil.h) and the accurate sun (solar/soleil_precis.h) each
// answer behind this one interface: no caller tells them apart.
//
// Widget-free: plain C++ over QtCore. Units as in solar/soleil.h and solar/heure_legale.h:
// degrees (latitude north positive, longitude east positive; azimuth from north, negative
// towards the east, ±180 south; heights above the horizon), hours of true solar time (12 at the
// sun's transit; 0 and 24 stand for no sunrise and no sunset) or of the clock, day numbers 1..366
// of the year.

#include "masks/ensoleillement.h"
#include "solar/heure_legale.h"
#include "solar/soleil.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

// The scale of every time the diagram and its table show.
enum class Echelle_Heures {
    // "Temps solaire vrai": 12h when the sun crosses the meridian.
    Temps_solaire_vrai,
    // "Heure légale": the clock of the time zone, daylight saving included; the hour lines are
    // the whole hours of its standard time.
    Heure_legale,
};

// A date's course as the drawing samples it: positions evenly spaced in time from `debut` to
// `fin` (hours of true solar time), their heights cut to thousandths toward minus infinity. A
// segment counts as above the horizon when it starts at or above `horizon` (degrees).
struct Course_Ciel {
    // The day number the course is labelled by.
    int numero = 0;
    double debut = 0.0;
    double fin = 0.0;
    double horizon = 0.0;
    std::vector<Soleil::Point_Ciel> positions;
    // The sun at a true solar time between two samples, cut as they are, where the drawing may
    // ask for finer ones; empty where the positions are already sampled finely enough.
    std::function<Soleil::Point_Ciel(double)> position;
};

// The hour lines as the drawing visits them (Scene::tracer_heures): `position(jour, heure)` is
// the sun at whole hour `heure` of day `jour` (a day number, read past the year's end as the
// next year's), for the hours `heure_min` to `heure_max` and the days `jour_min` to `jour_max`.
struct Lignes_Heures {
    double heure_min = 0.0;
    double heure_max = 0.0;
    int jour_min = 1;
    int jour_max = 1;
    // Noon and midnight have no line: true solar time, whose noon is the meridian.
    bool sans_midi = true;
    // Days visited at most this far apart.
    int pas_max = 15;
    // The most the sun at one hour climbs from one day to the next, and at once besides
    // (degrees): 0 when not known.
    double montee_max = 0.0;
    double bond_max = 0.0;
    std::function<Soleil::Point_Ciel(int, int)> position;
};

class Ciel
{
public:
    // What the sky keeps its memories for: they stay while this stays.
    struct Cle {
        int annee = 0;
        // IANA id of the clock's zone; empty or unknown: UTC.
        QByteArray fuseau;
        double longitude = 0.0;
        Modele_Soleil modele = Modele_Soleil::simple;
        Echelle_Heures echelle = Echelle_Heures::Temps_solaire_vrai;
        // The scale's name: "Temps solaire vrai", or "Heure légale — Europe/Paris" ("UTC" for
        // an empty or unknown zone); the zone's and the sun's as the report page writes them.
        QString nom_echelle() const;
        QString nom_fuseau() const;
        // The clock's zone: UTC for an empty or unknown id.
        QTimeZone zone() const;
        QString nom_modele() const;
        // Whether the hour lines are the whole hours of the clock's standard time.
        bool lignes_standard() const { return echelle == Echelle_Heures::Heure_legale; }
        bool operator==(const Cle &autre) const;
        bool operator!=(const Cle &autre) const { return !(*this == autre); }
    };

    static std::unique_ptr<Ciel> creer(const Cle &cle);
    // This thread's sky for `cle`, set at `latitude`. A redrawing (a latitude dragged, a date or
    // an option changed) asks again with the same key and finds what the earlier one computed:
    // the sky is kept, per thread, until a key differs. Shared, so that a sky in use outlives a
    // request for another.
    static std::shared_ptr<Ciel> du_fil(const Cle &cle, double latitude);
    // The accurate sun's terms of each day, which depend on the date alone: every sky of this
    // thread shares them, so that a sky made again for another key, year or model does not
    // compute them again. Some ten years of days at most.
    static const std::shared_ptr<Soleil_Precis::Memoire_Jours> &jours_du_fil();

    virtual ~Ciel();

    const Cle &cle() const { return m_cle; }
    double latitude() const { return m_latitude; }
    // Sets the latitude; what was computed for another is dropped.
    void placer(double latitude);
    // The clock and sun of the key: its zone (UTC when empty or unknown), longitude and model.
    const Heure_Legale &horloge() const { return m_horloge; }

    // Whether the diagram names its scale: another scale or sun than it was always drawn with
    // (true solar time, simple sun).
    bool nomme_echelle() const;

    // A date's row: its sunrise and sunset on the key's scale.
    struct Jour {
        QDate date;
        // The solar day drawn and counted: `date`, or on the clock the solar day whose noon
        // falls on it (Heure_Legale::jour_solaire).
        QDate jour;
        // Its day number as its course is drawn.
        int numero = 0;
        // Sunrise and sunset as the course is drawn, hours of true solar time: 0 and 24 for
        // none.
        double debut = 0.0;
        double fin = 24.0;
        // Sunrise and sunset on the scale, and on the clock the days after `date` they fall on.
        double lever = 0.0;
        double coucher = 24.0;
        int jour_lever = 0;
        int jour_coucher = 0;
        // The day's length when it is not coucher − lever (times of a clock); NaN otherwise.
        double longueur = std::numeric_limits<double>::quiet_NaN();
    };
    Jour jour(const QDate &date);
    // The course of limit day `numero` (Scene::jour_soleil's) of the key's year; its times in
    // true solar time.
    virtual Jour jour_limite(int numero);

    // The course of `jour`: `segments` + 1 positions, or `segments` × `finesse` + 1 where the sun
    // cannot give a position between samples when asked.
    virtual Course_Ciel course(const Jour &jour, int segments, int finesse) = 0;
    // The same for the read-out: `segments` + 1 points, each with its true solar time.
    std::vector<Heure_Legale::Point_Course> points_course(const Jour &jour, int segments) const;
    // The time on the key's scale of true solar time `tsv` on the row of `date`.
    double heure(const QDate &date, double tsv);

    // Heights of the sun at noon of each day of the key's year (index = day number, 1..366),
    // degrees above the height at which it counts as risen, as Scene::jour_soleil reads them.
    virtual std::array<double, 367> midis() = 0;
    // The highest the sun may stand at noon of the days `numeros` (degrees), as a bound: the
    // simple formula's, and above it what the sun may add to it.
    double midi_le_plus_haut(const std::vector<int> &numeros) const;

    // The hour lines: between the limit days `jour1` and `jour2` from the whole hours of
    // `lever` to those of `coucher` (true solar time, the limit courses' bounds), or on the clock
    // the whole hours of the zone's standard time over the whole year.
    Lignes_Heures lignes_heures(int jour1, int jour2, double lever, double coucher);
    // The clock's hour lines for the read-out, every `pas` days over the year (element h is hour
    // h's line); none in true solar time, where a line's hour is the read-out's own.
    std::vector<std::vector<Heure_Legale::Point_Heure>> lignes_horloge(int pas) const;

    // The sun's direction at `instant` (refraction included for the accurate sun).
    virtual Soleil::Point_Ciel soleil(const QDateTime &instant) = 0;

    // The minute-by-minute counts of the course of solar day `jour` (Jour::jour) behind `cache`, or
    // behind the outline `seul` alone when given (`cache` then tests the same outline).
    virtual Ensoleillement ensoleillement(const QDate &jour, const Test_Cache &cache,
                                          const Profil_Masque *seul = nullptr) = 0;

protected:
    explicit Ciel(const Cle &cle);
    // Degrees by which the sun at noon may stand above the simple formula's.
    virtual double hausse_midi() const = 0;
    // Sunrise and sunset of solar day `date`, hours of true solar time as its course is drawn.
    virtual std::pair<double, double> lever_coucher(const QDate &date) = 0;
    // The sun at whole hour `heure` of true solar time on day `jour` (a day number of the
    // key's year), and what it may climb from one day to the next at one hour (degrees).
    virtual Soleil::Point_Ciel position_tsv(int jour, int heure) = 0;
    virtual double montee_tsv() const = 0;
    // The sun at whole hour `heure` (0..23) of the zone's standard time on day `numero`.
    virtual Soleil::Point_Ciel position_standard(int numero, int heure) = 0;
    // What the sun may climb at once at one hour besides a day's climb (degrees).
    virtual double bond_max() const = 0;
    // Drops what was computed for the latitude.
    virtual void oublier_latitude() = 0;
    // The key's year's first day.
    QDate premier() const { return QDate(m_cle.annee, 1, 1); }
    bool legale() const { return m_cle.lignes_standard(); }

    // With the thread's memory of the accurate sun's days (jours_du_fil).
    Heure_Legale m_horloge;
    double m_latitude = std::numeric_limits<double>::quiet_NaN();

private:
    // The solar day drawn on the row of `date`.
    QDate jour_solaire(const QDate &date);

    Cle m_cle;
    // The solar day of each date asked on the clock, whatever the latitude.
    std::vector<std::pair<QDate, QDate>> m_jours_solaires;
    // Whether the zone's standard time is the same all year: -1 not known yet.
    int m_decalage_fixe = -1;
};

// The simple sun's own answers, which the Scene's drawing of a day number also uses: the course
// of day `numero` from `debut` to `fin` (hours of true solar time) in `segments`, the sun at
// whole hour `heure` of true solar time, and the noon heights.
Course_Ciel course_simple(int numero, double latitude, double debut, double fin, int segments);
Soleil::Point_Ciel position_simple(int numero, double latitude, int heure);
std::array<double, 367> midis_simples(double latitude);

#endif
