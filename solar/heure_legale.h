// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_SOLAR_HEURE_LEGALE_H
#define ORVANE_SOLAR_HEURE_LEGALE_H

// Clock time: from the true solar time at a longitude to the clock of a time zone and back,
// with either model of the sun, and the points of the hour lines of the clock. Qt Core only
// (QTimeZone over the system's tz database).
//
// Units and conventions:
//  - longitude: degrees, east positive, −180..180; latitude: degrees, north positive;
//  - true solar time ("TSV"): hours, 12.0 when the sun crosses the meridian of the longitude;
//  - clock time: hours since the clock's midnight, always in [0, 24): a course that crosses
//    midnight on the clock reads 23.5 then 0.2, never 24.2 or −0.3;
//  - "standard" clock time: the zone's time without daylight saving (the hour lines);
//  - instants: QDateTime in UTC;
//  - offsets: the tz database's for each instant, the local mean time it gives a zone before
//    its first change included (QTimeZone reads that time as the offset after the change);
//  - a zone that QTimeZone does not know (isValid() false) reads as UTC: check it first;
//  - azimuth and altitude: degrees, as in solar/soleil.h (0 north, east negative, ±180 south).

#include "solar/soleil.h"
#include "solar/soleil_precis.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <memory>
#include <vector>

// Whether `id` names a zone of the tz database: a plain name ("Europe/Paris", "Etc/GMT+5") whose
// file in the system's zone folder is a regular TZif file; not a path that leaves the folder,
// not a POSIX rule ("ABC-3"), and nothing is opened that could block.
bool zone_de_la_base(const QByteArray &id);

enum class Modele_Soleil {
    simple, // the diagram's own formulas (solar/soleil.h), Spencer's equation of time
    precis  // the apparent sun of ERFA with refraction (solar/soleil_precis.h)
};

class Heure_Legale
{
public:
    // `jours`: the accurate sun's memory of its days, shared with whoever keeps it across
    // drawings; a memory of its own when null.
    Heure_Legale(const QTimeZone &zone, double longitude,
                 Modele_Soleil modele = Modele_Soleil::simple,
                 std::shared_ptr<Soleil_Precis::Memoire_Jours> jours = nullptr);

    const QTimeZone &zone() const { return m_zone; }
    double longitude() const { return m_longitude; }
    Modele_Soleil modele() const { return m_modele; }
    // The accurate sun the clock computes with.
    const Soleil_Precis &precis() const { return m_precis; }

    // Equation of time on `date`, minutes (true minus mean solar time): Spencer's series for
    // the simple model, the apparent sun at the longitude's solar noon for the accurate one.
    double equation_du_temps(const QDate &date) const;

    // The instant of true solar time `tsv` (hours, any value: 25.0 is 1 h the next day) of
    // the solar day `date` at the longitude.
    QDateTime instant(const QDate &date, double tsv) const;
    // True solar time at the longitude at `instant`, hours in [0, 24).
    double tsv(const QDateTime &instant) const;

    // Clock time of the zone at `instant`, hours in [0, 24): daylight saving included
    // (QTimeZone::offsetFromUtc at that instant), or the standard time when `standard`.
    double heure(const QDateTime &instant, bool standard = false) const;
    // The zone's offset from UTC at `instant`, seconds east: the tz database's for that instant,
    // the local mean time before the zone took a standard time included.
    int decalage(const QDateTime &instant, bool standard = false) const;
    // The instant of clock time `temps` of `date` on the zone's clock.
    QDateTime instant_local(const QDate &date, const QTime &temps) const;
    // The day on the zone's clock at `instant`.
    QDate date_horloge(const QDateTime &instant) const;
    // The solar day whose noon falls on the clock's day `date`: `date` itself but where the
    // clock runs twelve hours or more ahead of the sun or behind it (Pacific/Chatham, Kiritimati).
    QDate jour_solaire(const QDate &date) const;
    // The zone's offset from UTC without daylight saving on `date`, hours (east positive).
    double decalage_standard(const QDate &date) const;
    // Whether that offset is the same on every day of `annee`.
    bool decalage_standard_fixe(int annee) const;

    // Clock time of true solar time `tsv` of the solar day `date`, and the reverse: true solar
    // time, in [0, 24), of clock time `heure` (hours, 0..24) of `date` on the zone's clock.
    double heure_depuis_tsv(const QDate &date, double tsv, bool standard = false) const;
    double tsv_depuis_heure(const QDate &date, double heure, bool standard = false) const;

    // Sunrise and sunset of `date` at `latitude`, in hours of the clock (`legale`: the clock
    // day of the zone, daylight saving included) or of true solar time (the solar day), NaN
    // where there is none; `toujours_leve` / `jamais_leve` tell a polar day from a polar night.
    // The simple model converts its own rounded times (Soleil::heure_lever, heure_coucher); the
    // accurate one searches the upper limb on the horizon.
    Soleil_Precis::Lever_Coucher lever_coucher(const QDate &date, double latitude,
                                               bool legale) const;

    // The sun at true solar time `tsv` (hours) of the solar day `date`.
    Soleil::Point_Ciel position_tsv(const QDate &date, double tsv, double latitude) const;

    // The course of `date` from `debut` to `fin`, hours of the clock (`legale`, daylight
    // saving included; `fin` may pass 24 for a course that crosses the clock's midnight) or
    // of true solar time: `segments` + 1 points evenly spaced in time, each with its time in
    // that scale, read in [0, 24) on the clock. The accurate model computes its slow part once.
    struct Point_Course {
        double heure = 0.0;
        double azimut = 0.0;
        double hauteur = 0.0;
    };
    std::vector<Point_Course> course(const QDate &date, double latitude, double debut, double fin,
                                     int segments, bool legale) const;
    // The accurate model's course as `course` samples it, for a caller that asks for its points
    // one by one: point i is the position at `instant(i)` in `repere`.
    struct Course_Precise {
        double t0 = 0.0;
        double t1 = 0.0;
        int segments = 1;
        Soleil_Precis::Repere repere;
        double instant(int i) const { return t0 + i * (t1 - t0) / segments; }
    };
    Course_Precise course_precise(const QDate &date, double latitude, double debut, double fin,
                                  int segments, bool legale) const;

    // The sun at whole hour `heure` (0..23) of the zone's standard time on `date`.
    Soleil::Point_Ciel position_heure(const QDate &date, int heure, double latitude) const;
    // What every hour of `date` shares in the simple model: an hour line visits the same day
    // for each of its hours, and these give the same positions as the call above.
    struct Jour_Simple {
        double decalage = 0.0; // decalage_standard(date)
        double equation = 0.0; // the equation of time, minutes
        Soleil::Journee journee;
    };
    Jour_Simple jour_simple(const QDate &date, double latitude) const;
    Soleil::Point_Ciel position_heure(const Jour_Simple &jour, int heure) const;

    // An hour line of the clock: the sun at `heure` of standard time on the days `jour_debut`
    // to `jour_fin` (day numbers of `annee`, 1..366) every `pas` days and on the last day.
    struct Point_Heure {
        int jour = 0;
        double azimut = 0.0;
        double hauteur = 0.0;
    };
    std::vector<Point_Heure> ligne_heure(int annee, int heure, int jour_debut, int jour_fin,
                                         double latitude, int pas = 1) const;
    // The 24 hour lines at once, over the whole of `annee`: element h is hour h's line. The
    // accurate sun computes its slow part once a day, at the middle of the standard day, which
    // keeps every hour of that day within half a day of it.
    std::vector<std::vector<Point_Heure>> lignes_heures(int annee, double latitude,
                                                        int pas = 1) const;

private:
    // Day numbers of `annee` from `jour_debut` to `jour_fin` (kept within the year) every `pas`
    // days, and the last.
    static std::vector<int> jours_visites(int annee, int jour_debut, int jour_fin, int pas);
    // Clock time `h` of `date` (past 24: the next days) as an instant.
    QDateTime instant_horloge(const QDate &date, double h) const;
    // The simple model's sun at true solar time `tsv` of a day.
    Soleil::Point_Ciel position_simple(const Soleil::Journee &journee, double tsv) const;

    // Instant (seconds) of true solar time `tsv` of the solar day `date` with the accurate sun;
    // the frame it used, for `latitude`, in `repere` when given.
    double instant_precis(const QDate &date, double tsv, double latitude,
                          Soleil_Precis::Repere *repere) const;

    QTimeZone m_zone;
    // The zone's time before its first change (see `decalage`): until m_fin_initial, ms since
    // the epoch, m_decalage_initial seconds east of UTC.
    bool m_initial_connu = false;
    qint64 m_fin_initial = 0;
    int m_decalage_initial = 0;
    double m_longitude = 0.0;
    Modele_Soleil m_modele = Modele_Soleil::simple;
    Soleil m_soleil;
    Soleil_Precis m_precis;
};

#endif
